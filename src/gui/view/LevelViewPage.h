// The "Level View" page: the playfield drawn from the element atlas, 40 x 30
// cells at a time, its scroll bars, "Count emeralds", "Save Image", and the
// selection with its popup menu (Cut, Copy, Copy as Level Sketch, Paste,
// Delete) that edits blocks of cells straight into the level file.
#pragma once

#include "view/MapClipboard.h"
#include "view/ViewGeometry.h"

#include <QImage>
#include <QWidget>

class QMenu;
class QPushButton;
class QScrollBar;

namespace vantrel {

class LevelDocumentQt;
class LevelViewPage;

// LView_Img: shows the view's off-screen picture in one piece and passes
// mouse presses and releases to the page.
class LevelPicture : public QWidget {
    Q_OBJECT
public:
    explicit LevelPicture(LevelViewPage& page);
    QImage& Picture() { return picture_; }
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    LevelViewPage& page_;
    QImage picture_;  // 640 x 480 once a level was loaded; null before
};

class LevelViewPage : public QWidget {
    Q_OBJECT
public:
    explicit LevelViewPage(LevelDocumentQt& doc);

    // Prepares the view after a load: white picture, its shown size, both
    // scroll positions 0 and their maxima, and a redraw when paint is set.
    void PrepareAfterLoad(bool paint);
    // After Save and Close: no map, no selection, nothing to scroll.
    void ShowNoMap();

    // Change notification of SX and SY: a full redraw.
    void ScrollChange();
    // Draws all 40 x 30 view cells into the off-screen picture and shows it once.
    void RedrawLevelView();
    // Draws map cell (x, y) into the off-screen picture where the view shows it.
    void DrawMapCell(int x, int y);

    void LView_CountEmeraldsClick();
    void LView_SaveImageClick();
    void LView_ImgMouseDown(Qt::MouseButton button, QPoint at);
    void LView_ImgMouseUp(Qt::MouseButton button, QPoint at);
    // The mouse wheel scrolls the view up and down, with Shift (or a sideways wheel) left and right.
    void LView_ImgWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers);
    void ImgPop_CutClick();
    void ImgPop_CopyClick();
    void ImgPop_CopyLSClick();
    void ImgPop_PasteClick();
    void ImgPop_DeleteClick();

    QMenu* PopupMenu() const { return popup_; }
    const QImage& Picture() const { return img_->Picture(); }
    const MapSelection& Selection() const { return selection_; }
    // The scroll positions and the shown size of LView_Img.
    ViewPosition Position() const;

private:
    void BuildPopup();
    // Copy: the selected cells become the document's clipboard. False when nothing is selected.
    bool CopySelectionToClipboard();

    LevelDocumentQt& doc_;
    LevelPicture* img_;
    QScrollBar* scrollX_;
    QScrollBar* scrollY_;
    QPushButton* countEmeralds_;
    QPushButton* saveImage_;
    QMenu* popup_ = nullptr;
    MapSelection selection_;
};

}  // namespace vantrel
