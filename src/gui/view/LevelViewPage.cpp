#include "gui/view/LevelViewPage.h"
#include "gui/base/NamedWidget.h"

#include "base/ElementTable.h"
#include "base/Error.h"
#include "tell/ErrorBoundary.h"
#include "ce/CeGraphics.h"
#include "gui/base/QtText.h"
#include "gui/level/LevelDocumentQt.h"
#include "gui/view/AtlasQt.h"
#include "view/EmeraldCount.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace vantrel {

namespace {

constexpr char kNoLevelToSave[] = "No level is open: load a level (File > Load Level), then save its picture.";
constexpr char kNoLevelToCount[] = "No level is open: load a level (File > Load Level), then count its emeralds.";

PixelPoint ToPixel(QPoint p)
{
    return {p.x(), p.y()};
}

PixelTarget PixelsOf(QImage& image)
{
    if (image.format() != QImage::Format_RGB32) image.convertTo(QImage::Format_RGB32);
    return {reinterpret_cast<Rgb*>(image.bits()), image.width(), image.height(),
            static_cast<int>(image.bytesPerLine() / sizeof(Rgb))};
}

QString ZoomText(int cellSize)
{
    return QStringLiteral("%1%").arg(cellSize * 100 / kViewCellSize);
}

}  // namespace

// --- LView_Img ---

LevelPicture::LevelPicture(LevelViewPage& page, QWidget* parent) : QWidget(parent), page_(page)
{
    setObjectName(QStringLiteral("LView_Img"));
    setFocusPolicy(Qt::StrongFocus);  // a click gives the view the keys: Ctrl+C, Ctrl+X, Ctrl+V, Delete
    setMouseTracking(true);           // the status line follows the pointer
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

void LevelPicture::mouseMoveEvent(QMouseEvent* event)
{
    page_.LView_ImgMouseMove(event->position().toPoint(), event->buttons());
}

void LevelPicture::mouseReleaseEvent(QMouseEvent* event)
{
    page_.LView_ImgMouseUp(event->button(), event->position().toPoint());
}

void LevelPicture::wheelEvent(QWheelEvent* event)
{
    page_.LView_ImgWheel(event->angleDelta(), event->modifiers(), event->position().toPoint());
    event->accept();
}

void LevelPicture::contextMenuEvent(QContextMenuEvent* event)
{
    // In paint mode the right button is the eyedropper.
    if (page_.PopupAllowed()) page_.PopupMenu()->popup(event->globalPos());
}

void LevelPicture::leaveEvent(QEvent*)
{
    page_.LView_ImgLeave();
}

// --- the page ---

LevelViewPage::LevelViewPage(LevelDocumentQt& doc) : doc_(doc)
{
    setObjectName(QStringLiteral("LevelViewPage"));
    // The view's area takes what room the page has; the view lies in its top-left corner.
    area_ = Named(new QWidget, "LView_Area");
    area_->setMinimumSize(4 * kViewCellSize, 4 * kViewCellSize);
    area_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    img_ = new LevelPicture(*this, area_);
    img_->setGeometry(0, 0, kViewWidth, kViewHeight);
    area_->installEventFilter(this);

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

    status_ = Named(new QLabel, "LView_Status");
    status_->setTextFormat(Qt::PlainText);
    status_->setContentsMargins(4, 1, 4, 1);
    status_->setMinimumHeight(status_->fontMetrics().height() + 2);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(area_, 0, 0);
    grid->addWidget(scrollY_, 0, 1);
    grid->addWidget(scrollX_, 1, 0);
    grid->addWidget(status_, 2, 0, 1, 2);
    grid->addWidget(BuildSide(), 0, 2, 3, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(0, 1);

    // A selection belongs to the level it was made in: a load or a close forgets it.
    connect(&doc_, &LevelDocumentQt::loaded, this, [this](const LoadReport& report) {
        selection_ = {};
        ceLooksKnown_ = false;  // what the level's CEs look like is read again
        whole_.Forget();
        // The same level again (after an undo): the view keeps its place when the map kept its size.
        const QSize area = AreaSize();
        const ViewGeometry g = ViewGeometryOf(doc_.Level().MapWidth(), doc_.Level().MapHeight(), area.width(),
                                              area.height(), cellSize_);
        if (report.Reread && report.ViewPrepared && g.ScrollMaxX == scrollX_->maximum() &&
            g.ScrollMaxY == scrollY_->maximum() && doc_.Doc().PaintLevels())
            ScrollChange();
        else if (report.ViewPrepared)
            PrepareAfterLoad(doc_.Doc().PaintLevels());
    });
    connect(&doc_, &LevelDocumentQt::closed, this, [this] { ShowNoMap(); });
    connect(&doc_, &LevelDocumentQt::elementSelected, this, &LevelViewPage::ShowSelectedElement);
    BuildPopup();
    ShowSelectedElement(doc_.SelectedElement());
    // Built after a load read a map, the view shows that map as the load left it.
    if (const std::optional<bool> paint = doc_.Doc().LastMapPainted()) PrepareAfterLoad(*paint);
}

LevelViewPage::~LevelViewPage() = default;

QWidget* LevelViewPage::BuildSide()
{
    countEmeralds_ = Named(new QPushButton(tr("Count emeralds")), "LView_CountEmeralds");
    saveImage_ = Named(new QPushButton(tr("Save Image")), "LView_SaveImage");
    connect(countEmeralds_, &QPushButton::clicked, this, [this] { LView_CountEmeraldsClick(); });
    connect(saveImage_, &QPushButton::clicked, this, [this] { LView_SaveImageClick(); });

    paintMode_ = Named(new QToolButton, "LView_Paint");
    paintMode_->setCheckable(true);
    paintMode_->setText(tr("Paint"));
    // On, the button is plainly pressed: the selection's colours and a dark frame.
    paintMode_->setStyleSheet(QStringLiteral(
        "QToolButton:checked { background-color: palette(highlight); color: palette(highlighted-text);"
        " border: 2px solid palette(shadow); border-radius: 3px; padding: 2px 6px; }"));
    paintMode_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    paintMode_->setToolTip(tr("Paint mode (P): the left button paints the selected element, the right button picks "
                              "the element under the pointer"));
    paintElement_ = Named(new QLabel, "LView_PaintElement");
    paintElement_->setFixedSize(kViewCellSize, kViewCellSize);
    auto* paintKey = new QAction(this);
    paintKey->setShortcut(QKeySequence(Qt::Key_P));
    paintKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(paintKey);
    connect(paintKey, &QAction::triggered, paintMode_, &QToolButton::toggle);

    struct ZoomButton {
        const char* name;
        QString text;
        QString tip;
        QList<QKeySequence> keys;
        void (LevelViewPage::*handler)();
    };
    const ZoomButton zooms[] = {
        {"LView_ZoomOut", QStringLiteral("-"), tr("Zoom out (Ctrl+-, Ctrl+wheel)"),
         {QKeySequence::ZoomOut, QKeySequence(Qt::CTRL | Qt::Key_Minus)}, &LevelViewPage::LView_ZoomOutClick},
        {"LView_ZoomIn", QStringLiteral("+"), tr("Zoom in (Ctrl++, Ctrl+wheel)"),
         {QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
         &LevelViewPage::LView_ZoomInClick},
        {"LView_ZoomFit", tr("Fit"), tr("Fit the whole map into the view (Ctrl+0)"), {QKeySequence(Qt::CTRL | Qt::Key_0)},
         &LevelViewPage::LView_ZoomFitClick},
    };
    auto* zoomRow = new QHBoxLayout;
    zoomRow->setSpacing(2);
    for (const ZoomButton& z : zooms) {
        auto* button = Named(new QToolButton, z.name);
        button->setText(z.text);
        button->setToolTip(z.tip);
        connect(button, &QToolButton::clicked, this, [this, handler = z.handler] { (this->*handler)(); });
        auto* key = new QAction(button);
        QList<QKeySequence> keys;  // a key given twice would make the shortcut ambiguous
        for (const QKeySequence& k : z.keys)
            if (!keys.contains(k)) keys << k;
        key->setShortcuts(keys);
        key->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(key);
        connect(key, &QAction::triggered, this, [this, handler = z.handler] { (this->*handler)(); });
        zoomRow->addWidget(button);
    }
    zoomLabel_ = Named(new QLabel(ZoomText(cellSize_)), "LView_Zoom");
    zoomRow->addWidget(zoomLabel_);
    zoomRow->addStretch(1);
    connect(paintMode_, &QToolButton::toggled, this, [this](bool on) { SetPaintMode(on); });

    auto* paintRow = new QHBoxLayout;
    paintRow->addWidget(paintMode_);
    paintRow->addWidget(paintElement_);
    paintRow->addStretch(1);

    auto* side = new QWidget;
    auto* buttons = new QVBoxLayout(side);
    buttons->setContentsMargins(4, 4, 2, 0);
    buttons->addWidget(countEmeralds_);
    buttons->addWidget(saveImage_);
    buttons->addSpacing(12);
    buttons->addLayout(paintRow);
    buttons->addSpacing(12);
    buttons->addLayout(zoomRow);
    buttons->addStretch(1);
    return side;
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
    return {scrollX_->value(), scrollY_->value(), img_->width(), img_->height(), cellSize_};
}

const SizedAtlas& LevelViewPage::Tiles()
{
    if (!ceLooksKnown_) {
        ceLooks_ = CeGraphicsOf(doc_.Level());
        ceLooksKnown_ = true;
        tiles_.reset();
    }
    if (!tiles_ || tiles_->Size() != cellSize_) {
        tiles_ = std::make_unique<SizedAtlas>(BuiltInAtlas(), cellSize_, ceLooks_);
        whole_.Forget();
    }
    return *tiles_;
}

bool LevelViewPage::AreaShown() const
{
    return window()->isVisible() && area_->isVisible();
}

QSize LevelViewPage::AreaSize() const
{
    // A page not shown yet has no size of its own: it takes the first window's, until it is shown.
    return AreaShown() ? area_->size() : QSize(kViewWidth, kViewHeight);
}

int LevelViewPage::FitZoom() const
{
    const OpenLevel& lvl = doc_.Level();
    if (lvl.MapWidth() < 1 || lvl.MapHeight() < 1) return cellSize_;
    const QSize area = AreaSize();
    return FitCellSize(lvl.MapWidth(), lvl.MapHeight(), area.width(), area.height());
}

void LevelViewPage::ShowZoom()
{
    zoomLabel_->setText(ZoomText(cellSize_));
}

void LevelViewPage::Relayout()
{
    QImage& picture = img_->Picture();
    const QSize area = AreaSize();
    if (picture.isNull()) {
        img_->setGeometry(0, 0, area.width(), area.height());  // blank until the first load
        return;
    }
    const OpenLevel& lvl = doc_.Level();
    if (fitPending_ && AreaShown()) {
        // Opened while the view was not shown: fitted to the area it has
        // now, until the user chooses a zoom.
        cellSize_ = FitZoom();
        ShowZoom();
        const QSignalBlocker blockX(scrollX_), blockY(scrollY_);
        scrollX_->setValue(0);
        scrollY_->setValue(0);
    }
    const ViewGeometry g = ViewGeometryOf(lvl.MapWidth(), lvl.MapHeight(), area.width(), area.height(), cellSize_);
    img_->setGeometry(0, 0, g.Width, g.Height);
    if (picture.width() != g.Width || picture.height() != g.Height) {
        picture = QImage(std::max(g.Width, 1), std::max(g.Height, 1), QImage::Format_RGB32);
        picture.fill(Qt::white);
    }
    {
        // The program sets the ranges; the redraw below is the only one.
        const QSignalBlocker blockX(scrollX_), blockY(scrollY_);
        scrollX_->setRange(0, g.ScrollMaxX);
        scrollY_->setRange(0, g.ScrollMaxY);
    }
    if (drawn_)
        RunGuarded(doc_.Ui(), [this] { RedrawLevelView(); });
    else
        img_->update();
}

bool LevelViewPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == area_ && event->type() == QEvent::Resize) Relayout();
    return QWidget::eventFilter(watched, event);
}

void LevelViewPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    layout()->activate();
    Relayout();
}

void LevelViewPage::PrepareAfterLoad(bool paint)
{
    stroke_.reset();
    selecting_ = false;
    ceLooksKnown_ = false;
    drawn_ = false;
    QImage& picture = img_->Picture();
    if (picture.isNull()) picture = QImage(kViewWidth, kViewHeight, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        const QSignalBlocker blockX(scrollX_), blockY(scrollY_);
        scrollX_->setValue(0);
        scrollY_->setValue(0);
    }
    // Each level opens fitted to the view: the whole map, as large as the area allows.
    cellSize_ = FitZoom();
    fitPending_ = !AreaShown();
    ShowZoom();
    Relayout();
    picture.fill(Qt::white);
    img_->update();
    if (paint) ScrollChange();
}

void LevelViewPage::ShowNoMap()
{
    whole_.Forget();
    selection_ = {};
    selecting_ = false;
    stroke_.reset();
    drawn_ = false;
    img_->Picture() = QImage();
    {
        const QSignalBlocker blockX(scrollX_), blockY(scrollY_);
        scrollX_->setRange(0, 0);
        scrollY_->setRange(0, 0);
    }
    status_->clear();
    Relayout();
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
    const PixelTarget target = PixelsOf(picture);
    // Below the tiles' own size the view shows many cells: it copies them from the whole map drawn once.
    if (cellSize_ < kViewCellSize)
        whole_.Draw(target, Tiles(), doc_.Level().Grid(), at.ScrollX + 1, at.ScrollY + 1, at.Columns(), at.Rows());
    else
        DrawMapCells(target, {0, 0}, Tiles(), doc_.Level().Grid(), at.ScrollX + 1, at.ScrollY + 1, at.Columns(),
                     at.Rows());
    drawn_ = true;
    if (stroke_) DrawStrokeCells(0);
    img_->update();
}

void LevelViewPage::DrawMapCell(int x, int y)
{
    QImage& picture = img_->Picture();
    if (picture.isNull()) return;
    const ViewPosition at = Position();
    const PixelPoint origin{(x - at.ScrollX - 1) * cellSize_, (y - at.ScrollY - 1) * cellSize_};
    DrawMapCells(PixelsOf(picture), origin, Tiles(), doc_.Level().Grid(), x, y, 1, 1);
    img_->update();
}

void LevelViewPage::DrawStrokeCells(std::size_t from)
{
    QImage& picture = img_->Picture();
    if (picture.isNull() || !stroke_) return;
    const ViewPosition at = Position();
    const PixelTarget target = PixelsOf(picture);
    const auto& cells = stroke_->Cells();
    for (std::size_t i = from; i < cells.size(); ++i) {
        const PixelPoint origin{(CellX(cells[i]) - at.ScrollX - 1) * cellSize_,
                                (CellY(cells[i]) - at.ScrollY - 1) * cellSize_};
        DrawTile(target, origin, Tiles(), stroke_->Code());
    }
    img_->update();
}

void LevelViewPage::LView_ImgWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers, QPoint at)
{
    pointer_ = at;
    if (modifiers & Qt::ControlModifier) {
        // Ctrl and the wheel zoom in (away from the user) or out, around the pointer.
        if (angleDelta.y() != 0) ZoomTo(NextZoomStep(cellSize_, angleDelta.y() > 0 ? 1 : -1), at);
        return;
    }
    // One notch (120) scrolls as many cells as the desktop's wheel setting says lines; Shift scrolls sideways.
    const bool sideways = (modifiers & Qt::ShiftModifier) || angleDelta.y() == 0;
    const int delta = angleDelta.y() != 0 ? angleDelta.y() : angleDelta.x();
    QScrollBar* bar = sideways ? scrollX_ : scrollY_;
    const int cells = -delta * QApplication::wheelScrollLines() / 120;
    if (cells != 0) bar->setValue(bar->value() + cells);
}

// --- zoom ---

std::optional<QPoint> LevelViewPage::PointerInView() const
{
    if (pointer_ && img_->rect().contains(*pointer_)) return pointer_;
    return std::nullopt;
}

void LevelViewPage::ZoomTo(int cellSize, std::optional<QPoint> anchor)
{
    cellSize = std::clamp(cellSize, kSmallestCellSize, kLargestCellSize);
    fitPending_ = false;  // the user's zoom, or the fit done
    if (cellSize == cellSize_) return;
    const QPoint pixel = anchor.value_or(QPoint(img_->width() / 2, img_->height() / 2));
    const PackedCell kept = MapCellAt(ToPixel(pixel), Position());
    cellSize_ = cellSize;
    ShowZoom();
    const bool shown = drawn_;
    drawn_ = false;  // one redraw, below
    Relayout();
    drawn_ = shown;
    {
        const QSignalBlocker blockX(scrollX_), blockY(scrollY_);
        scrollX_->setValue(ScrollKeeping(CellX(kept), pixel.x(), cellSize_, scrollX_->maximum()));
        scrollY_->setValue(ScrollKeeping(CellY(kept), pixel.y(), cellSize_, scrollY_->maximum()));
    }
    if (drawn_) ScrollChange();
    if (const auto at = PointerInView()) ShowCellStatus(*at);
}

void LevelViewPage::LView_ZoomInClick()
{
    ZoomTo(NextZoomStep(cellSize_, 1), PointerInView());
}

void LevelViewPage::LView_ZoomOutClick()
{
    ZoomTo(NextZoomStep(cellSize_, -1), PointerInView());
}

void LevelViewPage::LView_ZoomFitClick()
{
    const OpenLevel& lvl = doc_.Level();
    if (lvl.MapWidth() < 1 || lvl.MapHeight() < 1) return;
    ZoomTo(FitZoom(), QPoint(0, 0));
}

// --- commands ---

void LevelViewPage::LView_CountEmeraldsClick()
{
    doc_.Run([this] {
        // A closed level's map is no level's: there is nothing to count.
        if (!doc_.Level().LevelOpen()) {
            doc_.Ui().Message(kNoLevelToCount);
            return;
        }
        doc_.Ui().Message(EmeraldCountMessage(CountEmeralds(doc_.Level())));
    });
}

void LevelViewPage::LView_SaveImageClick()
{
    doc_.Run([this] {
        const OpenLevel& lvl = doc_.Level();
        if (!lvl.LevelOpen() || lvl.LevelPath().empty()) {
            doc_.Ui().Message(kNoLevelToSave);
            return;
        }
        const SizedAtlas tiles(BuiltInAtlas(), kViewCellSize, CeGraphicsOf(lvl));
        const std::string path = LevelImagePath(lvl.LevelPath());
        SavePicture(MapPicture(tiles, lvl), path, PictureFormat::Bmp);
        doc_.Ui().Message("The picture of the level was saved to " + path);
    });
}

// --- the mouse ---

void LevelViewPage::SetPaintMode(bool on)
{
    if (paintMode_->isChecked() != on) paintMode_->setChecked(on);  // comes back here through toggled
    EndStroke();
    selecting_ = false;
    img_->setCursor(on ? Qt::CrossCursor : Qt::ArrowCursor);
}

bool LevelViewPage::PaintMode() const
{
    return paintMode_->isChecked();
}

void LevelViewPage::ShowSelectedElement(std::uint16_t code)
{
    paintElement_->setPixmap(QPixmap::fromImage(BuiltInAtlasQt().Tile(code)));
    paintElement_->setToolTip(QString::fromLatin1(ElementLabel(code)));
}

void LevelViewPage::LView_ImgMouseDown(Qt::MouseButton button, QPoint at)
{
    if (img_->Picture().isNull()) return;
    const PackedCell cell = MapCellAt(ToPixel(at), Position());
    if (PaintMode()) {
        if (button == Qt::RightButton) {
            // The eyedropper: the element under the pointer becomes the palette's.
            if (doc_.Level().LevelOpen() && doc_.Level().Grid().Contains(CellX(cell), CellY(cell)))
                doc_.SelectElement(doc_.Level().Grid().At(CellX(cell), CellY(cell)));
            return;
        }
        if (button != Qt::LeftButton) return;
        const std::uint16_t code = doc_.SelectedElement();
        RunGuarded(doc_.Ui(), [this, code, cell] {
            // Refused before the stroke starts: nothing is drawn that would not be written.
            if (const std::string why = PaintRefusal(doc_.Level(), code); !why.empty()) throw VantrelError(why);
            doc_.Level().EnsureWritable();
            stroke_.emplace(code);
            stroke_->ExtendTo(cell, doc_.Level().MapWidth(), doc_.Level().MapHeight());
            DrawStrokeCells(0);
        });
        return;
    }
    if (button != Qt::LeftButton) return;
    RunGuarded(doc_.Ui(), [this, at] {
        RedrawLevelView();
        SelectionPress(selection_, ToPixel(at), Position());
        selecting_ = true;
    });
    ShowCellStatus(at);
}

void LevelViewPage::LView_ImgLeave()
{
    pointer_.reset();
    if (!selecting_) status_->clear();
}

void LevelViewPage::LView_ImgMouseMove(QPoint at, Qt::MouseButtons buttons)
{
    pointer_ = at;
    if (stroke_ && (buttons & Qt::LeftButton)) {
        const std::size_t before = stroke_->Cells().size();
        stroke_->ExtendTo(MapCellAt(ToPixel(at), Position()), doc_.Level().MapWidth(), doc_.Level().MapHeight());
        DrawStrokeCells(before);
    }
    if (selecting_ && !(buttons & Qt::LeftButton)) selecting_ = false;
    ShowCellStatus(at);
}

void LevelViewPage::LView_ImgMouseUp(Qt::MouseButton button, QPoint at)
{
    if (button != Qt::LeftButton) return;
    if (stroke_) {
        stroke_->ExtendTo(MapCellAt(ToPixel(at), Position()), doc_.Level().MapWidth(), doc_.Level().MapHeight());
        EndStroke();
        return;
    }
    if (PaintMode()) return;
    selecting_ = false;
    RunGuarded(doc_.Ui(), [this, at] {
        const PixelRect frame = SelectionRelease(selection_, ToPixel(at), Position());
        if (img_->Picture().isNull()) return;
        DrawDottedFrame(img_->Picture(), frame);
        img_->update();
    });
    ShowCellStatus(at);
}

void LevelViewPage::EndStroke()
{
    if (!stroke_) return;
    const PaintStroke stroke = std::move(*stroke_);
    stroke_.reset();
    // The stroke's cells are written in one command: one step.
    doc_.Run([this, &stroke] { PaintCells(doc_.Level(), stroke); });
    RunGuarded(doc_.Ui(), [this] { RedrawLevelView(); });
    if (pointer_) ShowCellStatus(*pointer_);
}

void LevelViewPage::ShowCellStatus(QPoint at)
{
    const bool inside = img_->rect().contains(at);
    if (img_->Picture().isNull() || (!inside && !selecting_)) {
        status_->clear();
        return;
    }
    // Outside the view while a drag selects, the selection reaches the edge cell: its size stays shown.
    const PackedCell cell = MapCellAt(ToPixel(at), Position());
    std::string text = inside ? CellStatusText(doc_.Level(), cell) : std::string();
    if (selecting_) {
        const std::string size = SelectionSizeText(selection_.SelectionStart, cell);
        text = text.empty() ? size : text + "; " + size;
    }
    status_->setText(FromBytes(text));
}

QString LevelViewPage::StatusText() const
{
    return status_->text();
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
        if (!result.Refusal.empty()) {
            doc_.Ui().Error(result.Refusal);
            return;
        }
        if (result.Written) RedrawLevelView();
        status_->setText(FromBytes(PasteStatusText(result)));
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
