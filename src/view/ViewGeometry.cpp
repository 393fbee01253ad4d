#include "view/ViewGeometry.h"

#include <algorithm>

namespace vantrel {

ViewGeometry ViewGeometryOf(int mapWidth, int mapHeight)
{
    ViewGeometry g;
    g.Width = mapWidth >= kViewColumns ? kViewWidth : mapWidth * kViewCellSize;
    g.Height = mapHeight >= kViewRows ? kViewHeight : mapHeight * kViewCellSize;
    g.ScrollMaxX = mapWidth > kViewColumns ? mapWidth - kViewColumns : 0;
    g.ScrollMaxY = mapHeight > kViewRows ? mapHeight - kViewRows : 0;
    return g;
}

PixelPoint HoldInsideView(PixelPoint p, const ViewPosition& view)
{
    const int right = std::clamp(view.Width, 1, kViewWidth) - 1;
    const int bottom = std::clamp(view.Height, 1, kViewHeight) - 1;
    return {std::clamp(p.x, 0, right), std::clamp(p.y, 0, bottom)};
}

PackedCell ViewCellAt(PixelPoint p, const ViewPosition& view)
{
    return CellAtPixel(HoldInsideView(p, view), static_cast<std::uint8_t>(kViewCellSize));
}

PackedCell MapCellOfViewCell(PackedCell viewCell, const ViewPosition& view)
{
    return PackCell(CellX(viewCell) + view.ScrollX, CellY(viewCell) + view.ScrollY);
}

std::string LevelImagePath(const std::string& levelPath)
{
    return levelPath + ".bmp";
}

}  // namespace vantrel
