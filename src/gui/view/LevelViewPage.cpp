#include "gui/view/LevelViewPage.h"
#include "gui/base/NamedWidget.h"

#include "base/ErrorBoundary.h"
#include "gui/level/LevelDocumentQt.h"
#include "gui/view/AtlasQt.h"
#include "view/EmeraldCount.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace vantrel {

namespace {

constexpr char kNoLevelToSave[] = "No level is open, so there is no picture to save.";

PixelPoint ToPixel(QPoint p)
{
    return {p.x(), p.y()};
}

}  // namespace

// --- LView_Img ---

LevelPicture::LevelPicture(LevelViewPage& page) : QWidget(&page), page_(page)
{
    setObjectName(QStringLiteral("LView_Img"));
    setFocusPolicy(Qt::StrongFocus);  // a click gives the view the keys: Ctrl+C, Ctrl+X, Ctrl+V, Delete
}

void LevelPicture::paintEvent(QPaintEvent*)
{
    if (picture_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);  // the whole picture in one copy
}

void LevelPicture::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    page_.LView_ImgMouseDown(event->button(), event->position().toPoint());
}

void LevelPicture::mouseReleaseEvent(QMouseEvent* event)
{
    page_.LView_ImgMouseUp(event->button(), event->position().toPoint());
}

void LevelPicture::wheelEvent(QWheelEvent* event)
{
    page_.LView_ImgWheel(event->angleDelta(), event->modifiers());
    event->accept();
}

void LevelPicture::contextMenuEvent(QContextMenuEvent* event)
{
    page_.PopupMenu()->popup(event->globalPos());
}

// --- the page ---

LevelViewPage::LevelViewPage(LevelDocumentQt& doc) : doc_(doc)
{
    setObjectName(QStringLiteral("LevelViewPage"));
    img_ = new LevelPicture(*this);

    scrollX_ = Named(new QScrollBar(Qt::Horizontal), "SX");
    scrollY_ = Named(new QScrollBar(Qt::Vertical), "SY");
    scrollX_->setSingleStep(kScrollSmallChange);
    scrollX_->setPageStep(kScrollLargeChangeX);
    scrollY_->setSingleStep(kScrollSmallChange);
    scrollY_->setPageStep(kScrollLargeChangeY);
    // Nothing to scroll before the first load.
    scrollX_->setRange(0, 0);
    scrollY_->setRange(0, 0);
    connect(scrollX_, &QScrollBar::valueChanged, this, [this] { ScrollChange(); });
    connect(scrollY_, &QScrollBar::valueChanged, this, [this] { ScrollChange(); });

    countEmeralds_ = Named(new QPushButton(tr("Count emeralds")), "LView_CountEmeralds");
    saveImage_ = Named(new QPushButton(tr("Save Image")), "LView_SaveImage");
    connect(countEmeralds_, &QPushButton::clicked, this, [this] { LView_CountEmeraldsClick(); });
    connect(saveImage_, &QPushButton::clicked, this, [this] { LView_SaveImageClick(); });

    // The view keeps its 640 x 480 place (a smaller map shows in its top-left
    // corner), the scroll bars run along it, the buttons stand beside it.
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->setColumnMinimumWidth(0, kViewWidth);
    grid->setRowMinimumHeight(0, kViewHeight);
    grid->addWidget(img_, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(scrollY_, 0, 1);
    grid->addWidget(scrollX_, 1, 0);
    auto* buttons = new QVBoxLayout;
    buttons->setContentsMargins(4, 4, 2, 0);
    buttons->addWidget(countEmeralds_);
    buttons->addWidget(saveImage_);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 2, 2, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(2, 1);
    img_->setFixedSize(kViewWidth, kViewHeight);

    // A selection belongs to the level it was made in: a load or a close forgets it.
    connect(&doc_, &LevelDocumentQt::loaded, this, [this](const LoadReport& report) {
        selection_ = {};
        // The same level again (after an undo): the view keeps its place when the map kept its size.
        const ViewGeometry g = ViewGeometryOf(doc_.Level().MapWidth(), doc_.Level().MapHeight());
        if (report.Reread && report.ViewPrepared && g.ScrollMaxX == scrollX_->maximum() &&
            g.ScrollMaxY == scrollY_->maximum() && doc_.Doc().PaintLevels())
            ScrollChange();
        else if (report.ViewPrepared)
            PrepareAfterLoad(doc_.Doc().PaintLevels());
    });
    connect(&doc_, &LevelDocumentQt::closed, this, [this] { ShowNoMap(); });
    BuildPopup();
    // Built after a load read a map, the view shows that map as the load left it.
    if (const std::optional<bool> paint = doc_.Doc().LastMapPainted()) PrepareAfterLoad(*paint);
}

void LevelViewPage::BuildPopup()
{
    popup_ = Named(new QMenu(this), "LView_ImgPop");
    struct Item {
        const char* name;
        QString caption;
        QKeySequence key;
        void (LevelViewPage::*handler)();
    };
    const Item items[] = {
        {"ImgPop_Cut", tr("Cut"), QKeySequence::Cut, &LevelViewPage::ImgPop_CutClick},
        {"ImgPop_Copy", tr("Copy"), QKeySequence::Copy, &LevelViewPage::ImgPop_CopyClick},
        {"ImgPop_CopyLS", tr("Copy as Level Sketch"), QKeySequence(), &LevelViewPage::ImgPop_CopyLSClick},
        {"ImgPop_Paste", tr("Paste"), QKeySequence::Paste, &LevelViewPage::ImgPop_PasteClick},
        {"ImgPop_Delete", tr("Delete"), QKeySequence(Qt::Key_Delete), &LevelViewPage::ImgPop_DeleteClick},
    };
    for (const Item& item : items) {
        QAction* action = popup_->addAction(item.caption);
        action->setObjectName(QString::fromLatin1(item.name));
        // The keys work wherever the page has the focus, as the popup's items do.
        action->setShortcut(item.key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, [this, handler = item.handler] { (this->*handler)(); });
    }
}

ViewPosition LevelViewPage::Position() const
{
    return {scrollX_->value(), scrollY_->value(), img_->width(), img_->height()};
}

void LevelViewPage::PrepareAfterLoad(bool paint)
{
    const OpenLevel& lvl = doc_.Level();
    const ViewGeometry g = ViewGeometryOf(lvl.MapWidth(), lvl.MapHeight());
    QImage& picture = img_->Picture();
    if (picture.isNull()) picture = QImage(kViewWidth, kViewHeight, QImage::Format_RGB32);
    picture.fill(Qt::white);
    img_->setFixedSize(g.Width, g.Height);
    {
        // The program sets the positions and ranges; the redraw below is the only one.
        const QSignalBlocker blockX(scrollX_), blockY(scrollY_);
        scrollX_->setValue(0);
        scrollY_->setValue(0);
        scrollX_->setRange(0, g.ScrollMaxX);
        scrollY_->setRange(0, g.ScrollMaxY);
    }
    img_->update();
    if (paint) ScrollChange();
}

void LevelViewPage::ShowNoMap()
{
    selection_ = {};
    img_->Picture() = QImage();
    {
        const QSignalBlocker blockX(scrollX_), blockY(scrollY_);
        scrollX_->setRange(0, 0);
        scrollY_->setRange(0, 0);
    }
    img_->update();
}

void LevelViewPage::ScrollChange()
{
    RunGuarded(doc_.Ui(), [this] { RedrawLevelView(); });
}

void LevelViewPage::RedrawLevelView()
{
    QImage& picture = img_->Picture();
    if (picture.isNull()) return;  // nothing is shown before the first load
    const ViewPosition at = Position();
    DrawMapCells(picture, {0, 0}, ElementAtlas(), doc_.Level().Grid(), at.ScrollX + 1, at.ScrollY + 1,
                 kViewColumns, kViewRows);
    img_->update();
}

void LevelViewPage::DrawMapCell(int x, int y)
{
    QImage& picture = img_->Picture();
    if (picture.isNull()) return;
    const ViewPosition at = Position();
    const PixelPoint origin = CellOrigin(PackCell(x - at.ScrollX, y - at.ScrollY), kViewCellSize);
    DrawMapCells(picture, origin, ElementAtlas(), doc_.Level().Grid(), x, y, 1, 1);
    img_->update();
}

void LevelViewPage::LView_ImgWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers)
{
    // One notch (120) scrolls as many cells as the desktop's wheel setting says lines; Shift scrolls sideways.
    const bool sideways = (modifiers & Qt::ShiftModifier) || angleDelta.y() == 0;
    const int delta = angleDelta.y() != 0 ? angleDelta.y() : angleDelta.x();
    QScrollBar* bar = sideways ? scrollX_ : scrollY_;
    const int cells = -delta * QApplication::wheelScrollLines() / 120;
    if (cells != 0) bar->setValue(bar->value() + cells);
}

void LevelViewPage::LView_CountEmeraldsClick()
{
    doc_.Run([this] { doc_.Ui().Message(EmeraldCountMessage(CountEmeralds(doc_.Level()))); });
}

void LevelViewPage::LView_SaveImageClick()
{
    doc_.Run([this] {
        const OpenLevel& lvl = doc_.Level();
        if (!lvl.LevelOpen() || lvl.LevelPath().empty()) {
            doc_.Ui().Message(kNoLevelToSave);
            return;
        }
        const std::string path = LevelImagePath(lvl.LevelPath());
        SavePicture(MapPicture(ElementTiles(), lvl), path, PictureFormat::Bmp);
        doc_.Ui().Message("The picture of the level was saved to " + path);
    });
}

void LevelViewPage::LView_ImgMouseDown(Qt::MouseButton button, QPoint at)
{
    if (button != Qt::LeftButton) return;
    RunGuarded(doc_.Ui(), [this, at] {
        RedrawLevelView();
        SelectionPress(selection_, ToPixel(at), Position());
    });
}

void LevelViewPage::LView_ImgMouseUp(Qt::MouseButton button, QPoint at)
{
    if (button != Qt::LeftButton) return;
    RunGuarded(doc_.Ui(), [this, at] {
        const PixelRect frame = SelectionRelease(selection_, ToPixel(at), Position());
        if (img_->Picture().isNull()) return;
        DrawDottedFrame(img_->Picture(), frame);
        img_->update();
    });
}

void LevelViewPage::ImgPop_CutClick()
{
    doc_.Run([this] {
        MapClipboard clip;
        if (!CutSelection(doc_.Level(), selection_, clip)) return;
        doc_.Doc().SetClipboard(std::move(clip));
        RedrawLevelView();
    });
}

bool LevelViewPage::CopySelectionToClipboard()
{
    MapClipboard clip;
    if (!CopySelection(doc_.Level(), selection_, clip)) return false;
    doc_.Doc().SetClipboard(std::move(clip));
    return true;
}

void LevelViewPage::ImgPop_CopyClick()
{
    doc_.Run([this] { CopySelectionToClipboard(); });
}

void LevelViewPage::ImgPop_CopyLSClick()
{
    doc_.Run([this] {
        if (!CopySelectionToClipboard()) return;
        std::string text;
        for (const std::string& line : LevelSketchLines(doc_.Doc().Clipboard())) {
            if (!text.empty()) text += '\n';
            text += line;
        }
        doc_.SetQuoteText(text);
    });
}

void LevelViewPage::ImgPop_PasteClick()
{
    doc_.Run([this] {
        const PasteResult result = PasteSelection(doc_.Level(), selection_, doc_.Doc().Clipboard());
        if (result.Written) RedrawLevelView();
        if (result.Skipped > 0) doc_.Ui().Message(PasteSkippedMessage(result.Skipped));
    });
}

void LevelViewPage::ImgPop_DeleteClick()
{
    doc_.Run([this] {
        if (DeleteSelection(doc_.Level(), selection_)) RedrawLevelView();
    });
}

}  // namespace vantrel
