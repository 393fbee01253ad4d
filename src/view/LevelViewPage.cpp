#include "view/LevelViewPage.h"
#include "shell/NamedWidget.h"

#include "level/FileInfoPage.h"
#include "level/Loader.h"
#include "shell/ErrorBoundary.h"
#include "shell/MainWindow.h"
#include "shell/QtUserInterface.h"
#include "view/AtlasQt.h"
#include "view/EmeraldCount.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <initializer_list>
#include <utility>

namespace vantrel {

namespace {

constexpr char kNoLevelToSave[] = "No level is open, so there is no picture to save.";

constexpr int kButtonWidth = 96;  // from x 668 to the page's right edge
constexpr int kButtonHeight = 25;

// Places the buttons of the right column; where a caption would not fit, all of them get a slightly smaller font.
void FitButtons(std::initializer_list<std::pair<QPushButton*, int>> buttons, int x)
{
    QFont font = buttons.begin()->first->font();
    auto widest = [&buttons] {
        int w = 0;
        for (const auto& [button, y] : buttons) w = std::max(w, button->sizeHint().width());
        return w;
    };
    while (widest() > kButtonWidth && font.pointSize() > 7) {
        font.setPointSize(font.pointSize() - 1);
        for (const auto& [button, y] : buttons) button->setFont(font);
    }
    for (const auto& [button, y] : buttons) button->setGeometry(x, y, kButtonWidth, kButtonHeight);
}

PixelPoint ToPixel(QPoint p)
{
    return {p.x(), p.y()};
}

}  // namespace

// --- LView_Img ---

LevelPicture::LevelPicture(LevelViewPage& page) : QWidget(&page), page_(page)
{
    setObjectName(QStringLiteral("LView_Img"));
}

void LevelPicture::paintEvent(QPaintEvent*)
{
    if (picture_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);  // the whole picture in one copy
}

void LevelPicture::mousePressEvent(QMouseEvent* event)
{
    page_.LView_ImgMouseDown(event->button(), event->position().toPoint());
}

void LevelPicture::mouseReleaseEvent(QMouseEvent* event)
{
    page_.LView_ImgMouseUp(event->button(), event->position().toPoint());
}

void LevelPicture::contextMenuEvent(QContextMenuEvent* event)
{
    page_.PopupMenu()->popup(event->globalPos());
}

// --- the page ---

LevelViewPage::LevelViewPage(AMain& main) : main_(main)
{
    setObjectName(QStringLiteral("LevelViewPage"));
    img_ = new LevelPicture(*this);
    img_->setGeometry(0, 0, kViewWidth, kViewHeight);

    sx_ = Named(new QScrollBar(Qt::Horizontal, this), "SX");
    sx_->setGeometry(0, kViewHeight, kViewWidth, 16);
    sy_ = Named(new QScrollBar(Qt::Vertical, this), "SY");
    sy_->setGeometry(kViewWidth, 2, 16, kViewHeight);
    sx_->setSingleStep(kScrollSmallChange);
    sx_->setPageStep(kScrollLargeChangeX);
    sy_->setSingleStep(kScrollSmallChange);
    sy_->setPageStep(kScrollLargeChangeY);
    // Nothing to scroll before the first load.
    sx_->setRange(0, 0);
    sy_->setRange(0, 0);
    connect(sx_, &QScrollBar::valueChanged, this, [this] { ScrollChange(); });
    connect(sy_, &QScrollBar::valueChanged, this, [this] { ScrollChange(); });

    countEmeralds_ = Named(new QPushButton(tr("Count emeralds"), this), "LView_CountEmeralds");
    saveImage_ = Named(new QPushButton(tr("Save Image"), this), "LView_SaveImage");
    FitButtons({{countEmeralds_, 4}, {saveImage_, 44}}, 668);
    connect(countEmeralds_, &QPushButton::clicked, this, [this] { LView_CountEmeraldsClick(); });
    connect(saveImage_, &QPushButton::clicked, this, [this] { LView_SaveImageClick(); });

    BuildPopup();
}

void LevelViewPage::BuildPopup()
{
    popup_ = Named(new QMenu(this), "LView_ImgPop");
    struct Item {
        const char* name;
        QString caption;
        void (LevelViewPage::*handler)();
    };
    const Item items[] = {
        {"ImgPop_Cut", tr("Cut"), &LevelViewPage::ImgPop_CutClick},
        {"ImgPop_Copy", tr("Copy"), &LevelViewPage::ImgPop_CopyClick},
        {"ImgPop_CopyLS", tr("Copy as Level Sketch"), &LevelViewPage::ImgPop_CopyLSClick},
        {"ImgPop_Paste", tr("Paste"), &LevelViewPage::ImgPop_PasteClick},
        {"ImgPop_Delete", tr("Delete"), &LevelViewPage::ImgPop_DeleteClick},
    };
    for (const Item& item : items) {
        QAction* action = popup_->addAction(item.caption);
        action->setObjectName(QString::fromLatin1(item.name));
        connect(action, &QAction::triggered, this, [this, handler = item.handler] { (this->*handler)(); });
    }
}

ViewPosition LevelViewPage::Position() const
{
    return {sx_->value(), sy_->value(), img_->width(), img_->height()};
}

void LevelViewPage::PrepareAfterLoad(const LoadReport&, bool paint)
{
    const OpenLevel& lvl = main_.Level();
    const ViewGeometry g = ViewGeometryOf(lvl.MapWidth, lvl.MapHeight);
    QImage& picture = img_->Picture();
    if (picture.isNull()) picture = QImage(kViewWidth, kViewHeight, QImage::Format_RGB32);
    picture.fill(Qt::white);
    img_->setFixedSize(g.Width, g.Height);
    {
        // The program sets the positions and ranges; the redraw below is the only one.
        const QSignalBlocker blockX(sx_), blockY(sy_);
        sx_->setValue(0);
        sy_->setValue(0);
        sx_->setRange(0, g.ScrollMaxX);
        sy_->setRange(0, g.ScrollMaxY);
    }
    img_->update();
    if (paint) ScrollChange();
}

void LevelViewPage::ScrollChange()
{
    RunGuarded(main_.Ui(), [this] { RedrawLevelView(); });
}

void LevelViewPage::RedrawLevelView()
{
    QImage& picture = img_->Picture();
    if (picture.isNull()) return;  // nothing is shown before the first load
    const ViewPosition at = Position();
    DrawMapCells(picture, {0, 0}, ElementAtlas(), main_.Level().MapGrid, at.ScrollX + 1, at.ScrollY + 1,
                 kViewColumns, kViewRows);
    img_->update();
}

void LevelViewPage::DrawMapCell(int x, int y)
{
    QImage& picture = img_->Picture();
    if (picture.isNull()) return;
    const ViewPosition at = Position();
    const PixelPoint origin = CellOrigin(PackCell(x - at.ScrollX, y - at.ScrollY), kViewCellSize);
    DrawMapCells(picture, origin, ElementAtlas(), main_.Level().MapGrid, x, y, 1, 1);
    img_->update();
}

void LevelViewPage::LView_CountEmeraldsClick()
{
    main_.Handle([this] { main_.Ui().Message(EmeraldCountMessage(CountEmeralds(main_.Level()))); });
}

void LevelViewPage::LView_SaveImageClick()
{
    main_.Handle([this] {
        const OpenLevel& lvl = main_.Level();
        if (!lvl.LevelOpen() || main_.OpenLevelFileName().isEmpty()) {
            main_.Ui().Message(kNoLevelToSave);
            return;
        }
        SavePicture(MapPicture(ElementAtlas(), lvl), LevelImagePath(ToPath(main_.OpenLevelFileName())), "BMP");
    });
}

void LevelViewPage::LView_ImgMouseDown(Qt::MouseButton button, QPoint at)
{
    if (button != Qt::LeftButton) return;
    RunGuarded(main_.Ui(), [this, at] {
        RedrawLevelView();
        SelectionPress(selection_, ToPixel(at), Position());
    });
}

void LevelViewPage::LView_ImgMouseUp(Qt::MouseButton button, QPoint at)
{
    if (button != Qt::LeftButton) return;
    RunGuarded(main_.Ui(), [this, at] {
        const PixelRect frame = SelectionRelease(selection_, ToPixel(at), Position());
        if (img_->Picture().isNull()) return;
        InvertDottedFrame(img_->Picture(), frame);
        img_->update();
    });
}

void LevelViewPage::ImgPop_CutClick()
{
    main_.Handle([this] {
        if (CutSelection(main_.Level(), selection_, clipboard_)) RedrawLevelView();
    });
}

void LevelViewPage::ImgPop_CopyClick()
{
    main_.Handle([this] { CopySelection(main_.Level(), selection_, clipboard_); });
}

void LevelViewPage::ImgPop_CopyLSClick()
{
    main_.Handle([this] {
        if (!SelectedBlock(selection_, main_.Level())) return;
        QPlainTextEdit* memo = main_.FileInfo()->QuotePost();
        memo->clear();
        CopySelection(main_.Level(), selection_, clipboard_);
        QStringList lines;
        for (const std::string& line : LevelSketchLines(clipboard_)) lines << QString::fromLatin1(line);
        memo->setPlainText(lines.join(QLatin1Char('\n')));
    });
}

void LevelViewPage::ImgPop_PasteClick()
{
    main_.Handle([this] {
        const PasteResult result = PasteSelection(main_.Level(), selection_, clipboard_);
        if (result.Written) RedrawLevelView();
        if (result.Skipped > 0) main_.Ui().Message(PasteSkippedMessage(result.Skipped));
    });
}

void LevelViewPage::ImgPop_DeleteClick()
{
    main_.Handle([this] {
        if (DeleteSelection(main_.Level(), selection_)) RedrawLevelView();
    });
}

}  // namespace vantrel
