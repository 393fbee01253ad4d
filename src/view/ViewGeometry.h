// The geometry of the level view: 40 x 30 cells of 16 x 16 pixels at a time,
// two scroll bars counting whole cells, and which map cell a view pixel shows.
#pragma once

#include "base/Text.h"

#include <string>

namespace vantrel {

constexpr int kViewColumns = 40;
constexpr int kViewRows = 30;
constexpr int kViewCellSize = 16;
constexpr int kViewWidth = kViewColumns * kViewCellSize;   // 640
constexpr int kViewHeight = kViewRows * kViewCellSize;     // 480
constexpr int kScrollSmallChange = 1;
constexpr int kScrollLargeChangeX = 30;  // columns, not 40
constexpr int kScrollLargeChangeY = 32;  // rows, not 30

// The shown size of the view and the maxima of its scroll bars for a map.
struct ViewGeometry {
    int Width = 0;
    int Height = 0;
    int ScrollMaxX = 0;
    int ScrollMaxY = 0;
    bool operator==(const ViewGeometry&) const = default;
};

ViewGeometry ViewGeometryOf(int mapWidth, int mapHeight);

// Where the view stands: its scroll positions (first shown column and row
// minus one) and the size it is shown at.
struct ViewPosition {
    int ScrollX = 0;
    int ScrollY = 0;
    int Width = kViewWidth;
    int Height = kViewHeight;
};

// A view pixel held inside the shown view: a pointer dragged past the view's
// edge counts as being on the edge cell.
PixelPoint HoldInsideView(PixelPoint p, const ViewPosition& view);

// The view cell (1..40, 1..30) under a view pixel, the pixel held inside the view.
PackedCell ViewCellAt(PixelPoint p, const ViewPosition& view);

// The map cell shown by a view cell: view cell (i, j) shows map cell
// (i + ScrollX, j + ScrollY).
PackedCell MapCellOfViewCell(PackedCell viewCell, const ViewPosition& view);

// The bitmap that "Save Image" writes for a level file: its path with ".bmp" appended.
std::string LevelImagePath(const std::string& levelPath);

}  // namespace vantrel
