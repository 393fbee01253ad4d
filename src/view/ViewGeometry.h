// The geometry of the level view: square cells of CellSize pixels (16 at
// zoom 1), as many as the view's area holds, two scroll bars counting whole
// cells, which map cell a view pixel shows, and the zoom steps.
#pragma once

#include "base/Text.h"
#include "base/TileLayout.h"

#include <iterator>
#include <string>

namespace vantrel {

constexpr int kViewColumns = 40;
constexpr int kViewRows = 30;
constexpr int kViewCellSize = kTileSize;  // 100 %: one atlas tile a cell
constexpr int kViewWidth = kViewColumns * kViewCellSize;   // 640: the area the view has in a window of its first size
constexpr int kViewHeight = kViewRows * kViewCellSize;     // 480
constexpr int kScrollSmallChange = 1;
constexpr int kScrollLargeChangeX = 30;  // columns, not 40
constexpr int kScrollLargeChangeY = 32;  // rows, not 30

// The zoom steps as cell sizes in pixels: 1/4, 1/2, 1, 2 and 3 times the 16 x 16 tiles.
constexpr int kZoomSteps[] = {4, 8, 16, 32, 48};
constexpr int kSmallestCellSize = 2;  // "fit the whole map" may go below the smallest step
constexpr int kLargestCellSize = kZoomSteps[std::size(kZoomSteps) - 1];

// The shown size of the view and the maxima of its scroll bars for a map
// shown in an area of areaWidth x areaHeight pixels with cells of cellSize
// pixels. The view is as large as the area, or as the map where the map is
// smaller; a scroll maximum lets the last column (row) be shown whole.
struct ViewGeometry {
    int Width = 0;
    int Height = 0;
    int ScrollMaxX = 0;
    int ScrollMaxY = 0;
    bool operator==(const ViewGeometry&) const = default;
};

ViewGeometry ViewGeometryOf(int mapWidth, int mapHeight, int areaWidth = kViewWidth, int areaHeight = kViewHeight,
                            int cellSize = kViewCellSize);

// Where the view stands: its scroll positions (first shown column and row
// minus one), the size it is shown at and its cells' size in pixels.
struct ViewPosition {
    int ScrollX = 0;
    int ScrollY = 0;
    int Width = kViewWidth;
    int Height = kViewHeight;
    int CellSize = kViewCellSize;
    // The cells the view shows, the last ones perhaps in part.
    int Columns() const { return (Width + CellSize - 1) / CellSize; }
    int Rows() const { return (Height + CellSize - 1) / CellSize; }
};

// A view pixel held inside the shown view: a pointer dragged past the view's
// edge counts as being on the edge cell.
PixelPoint HoldInsideView(PixelPoint p, const ViewPosition& view);

// The view cell (from 1, 1) under a view pixel, the pixel held inside the view.
PackedCell ViewCellAt(PixelPoint p, const ViewPosition& view);

// The map cell shown by a view cell: view cell (i, j) shows map cell
// (i + ScrollX, j + ScrollY).
PackedCell MapCellOfViewCell(PackedCell viewCell, const ViewPosition& view);

// The map cell under a view pixel, the pixel held inside the view.
PackedCell MapCellAt(PixelPoint p, const ViewPosition& view);

// The next zoom step in (+1) or out (-1) from a cell size; the size itself at either end.
int NextZoomStep(int cellSize, int direction);

// The largest cell size (kSmallestCellSize..kLargestCellSize) at which the
// whole map fits in the area.
int FitCellSize(int mapWidth, int mapHeight, int areaWidth, int areaHeight);

// The scroll position that keeps map cell `cell` (a column or a row) under
// the view pixel `pixel` at cells of cellSize pixels, held in 0..max.
int ScrollKeeping(int cell, int pixel, int cellSize, int max);

// The bitmap that "Save Image" writes for a level file: its path with ".bmp" appended.
std::string LevelImagePath(const std::string& levelPath);

}  // namespace vantrel
