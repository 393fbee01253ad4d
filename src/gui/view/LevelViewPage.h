// The "Level View" page: the playfield drawn from the element atlas, as many
// cells as the page has room for at the zoom chosen, its scroll bars, "Count
// emeralds", "Save Image", the selection with its popup menu (Cut, Copy,
// Copy as Level Sketch, Paste, Delete) that edits blocks of cells straight
// into the level file, painting with the palette's element, and a status
// line that names the cell under the pointer.
#pragma once

#include "view/MapClipboard.h"
#include "view/Paint.h"
#include "view/TileAtlas.h"
#include "view/ViewGeometry.h"

#include <QImage>
#include <QWidget>
#include <memory>
#include <optional>

class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;
class QToolButton;

namespace vantrel {

class LevelDocumentQt;
class LevelViewPage;

// LView_Img: shows the view's off-screen picture in one piece and passes
// the mouse to the page.
class LevelPicture : public QWidget {
    Q_OBJECT
public:
    explicit LevelPicture(LevelViewPage& page, QWidget* parent);
    QImage& Picture() { return picture_; }
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    LevelViewPage& page_;
    QImage picture_;  // the size of the shown view once a level was loaded; null before
};

class LevelViewPage : public QWidget {
    Q_OBJECT
public:
    explicit LevelViewPage(LevelDocumentQt& doc);
    ~LevelViewPage() override;

    // Prepares the view after a load: white picture, its shown size, both
    // scroll positions 0 and their maxima, and a redraw when paint is set.
    void PrepareAfterLoad(bool paint);
    // After Save and Close: no map, no selection, nothing to scroll.
    void ShowNoMap();

    // Change notification of SX and SY: a full redraw.
    void ScrollChange();
    // Draws every visible cell into the off-screen picture and shows it once.
    void RedrawLevelView();
    // Draws map cell (x, y) into the off-screen picture where the view shows it.
    void DrawMapCell(int x, int y);

    void LView_CountEmeraldsClick();
    void LView_SaveImageClick();
    void LView_ImgMouseDown(Qt::MouseButton button, QPoint at);
    void LView_ImgMouseMove(QPoint at, Qt::MouseButtons buttons);
    void LView_ImgMouseUp(Qt::MouseButton button, QPoint at);
    // The pointer left LView_Img (no button held).
    void LView_ImgLeave();
    // The mouse wheel scrolls the view up and down, with Shift (or a sideways
    // wheel) left and right; with Ctrl it zooms around the pointer.
    void LView_ImgWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers, QPoint at);
    void ImgPop_CutClick();
    void ImgPop_CopyClick();
    void ImgPop_CopyLSClick();
    void ImgPop_PasteClick();
    void ImgPop_DeleteClick();

    // Paint mode: the left button paints the selected element, the right
    // button picks the element under the pointer (off: the left button selects).
    void SetPaintMode(bool on);
    bool PaintMode() const;
    // Zoom to cells of cellSize pixels, keeping the map cell under the view
    // pixel `anchor` where it is (the view's centre when empty).
    void ZoomTo(int cellSize, std::optional<QPoint> anchor = std::nullopt);
    void LView_ZoomInClick();
    void LView_ZoomOutClick();
    void LView_ZoomFitClick();
    int CellSize() const { return cellSize_; }

    QMenu* PopupMenu() const { return popup_; }
    bool PopupAllowed() const { return !PaintMode(); }
    const QImage& Picture() const { return img_->Picture(); }
    const MapSelection& Selection() const { return selection_; }
    // The scroll positions, the shown size of LView_Img and the cell size.
    ViewPosition Position() const;
    // The status line's text.
    QString StatusText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildPopup();
    // Copy: the selected cells become the document's clipboard. False when nothing is selected.
    bool CopySelectionToClipboard();
    QWidget* BuildSide();
    // Sizes the view to its area and the map, sets the scroll bars' ranges and redraws.
    void Relayout();
    QSize AreaSize() const;
    bool AreaShown() const;
    // The zoom at which the whole map fits the view's area (up to the largest step).
    int FitZoom() const;
    void ShowZoom();
    const SizedAtlas& Tiles();
    void ShowCellStatus(QPoint at);
    void ShowSelectedElement(std::uint16_t code);
    void DrawStrokeCells(std::size_t from);
    void EndStroke();
    // The pointer position of the last move over the view, if it is over it.
    std::optional<QPoint> PointerInView() const;

    LevelDocumentQt& doc_;
    QWidget* area_;
    LevelPicture* img_;
    QScrollBar* scrollX_;
    QScrollBar* scrollY_;
    QPushButton* countEmeralds_;
    QPushButton* saveImage_;
    QToolButton* paintMode_;
    QLabel* paintElement_;
    QLabel* zoomLabel_;
    QLabel* status_;
    QMenu* popup_ = nullptr;
    MapSelection selection_;
    int cellSize_ = kViewCellSize;
    bool drawn_ = false;        // the picture shows the map (a load without paint leaves it white)
    bool ceLooksKnown_ = false; // the tiles know how the level's custom elements look
    CeGraphics ceLooks_{};
    std::unique_ptr<SizedAtlas> tiles_;
    MapPictureCache whole_;  // the whole map at a zoom below the tiles' size
    std::optional<PaintStroke> stroke_;
    bool selecting_ = false;
    bool fitPending_ = false;  // opened while the view was not shown: fitted to the area it gets, until a zoom
    std::optional<QPoint> pointer_;
};

}  // namespace vantrel
