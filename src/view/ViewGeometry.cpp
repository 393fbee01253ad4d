#include "view/ViewGeometry.h"

#include <algorithm>

namespace vantrel {

ViewGeometry ViewGeometryOf(int mapWidth, int mapHeight, int areaWidth, int areaHeight, int cellSize)
{
    const int cell = std::max(cellSize, 1);
    const int wholeColumns = std::max(areaWidth, 0) / cell, wholeRows = std::max(areaHeight, 0) / cell;
    ViewGeometry g;
    g.Width = std::min(std::max(areaWidth, 0), mapWidth * cell);
    g.Height = std::min(std::max(areaHeight, 0), mapHeight * cell);
    g.ScrollMaxX = std::max(mapWidth - wholeColumns, 0);
    g.ScrollMaxY = std::max(mapHeight - wholeRows, 0);
    return g;
}

PixelPoint HoldInsideView(PixelPoint p, const ViewPosition& view)
{
    return {std::clamp(p.x, 0, std::max(view.Width, 1) - 1), std::clamp(p.y, 0, std::max(view.Height, 1) - 1)};
}

PackedCell ViewCellAt(PixelPoint p, const ViewPosition& view)
{
    const PixelPoint held = HoldInsideView(p, view);
    const int cell = std::max(view.CellSize, 1);
    return PackCell(held.x / cell + 1, held.y / cell + 1);
}

PackedCell MapCellOfViewCell(PackedCell viewCell, const ViewPosition& view)
{
    return PackCell(CellX(viewCell) + view.ScrollX, CellY(viewCell) + view.ScrollY);
}

PackedCell MapCellAt(PixelPoint p, const ViewPosition& view)
{
    return MapCellOfViewCell(ViewCellAt(p, view), view);
}

int NextZoomStep(int cellSize, int direction)
{
    if (direction > 0) {
        for (const int step : kZoomSteps)
            if (step > cellSize) return step;
    } else {
        for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
            if (*it < cellSize) return *it;
    }
    return cellSize;
}

int FitCellSize(int mapWidth, int mapHeight, int areaWidth, int areaHeight)
{
    if (mapWidth < 1 || mapHeight < 1) return kViewCellSize;
    return std::clamp(std::min(areaWidth / mapWidth, areaHeight / mapHeight), kSmallestCellSize, kLargestCellSize);
}

int ScrollKeeping(int cell, int pixel, int cellSize, int max)
{
    return std::clamp(cell - 1 - pixel / std::max(cellSize, 1), 0, std::max(max, 0));
}

std::string LevelImagePath(const std::string& levelPath)
{
    return levelPath + ".bmp";
}

}  // namespace vantrel
