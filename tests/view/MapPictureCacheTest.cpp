// The whole map kept at a small size: what a view copies from it is what
// drawing the cells would give, and a cell set since is drawn again.
#include "view/TileAtlas.h"
#include "view/Tiles.h"

#include <gtest/gtest.h>

namespace vantrel::test {
namespace {

PixelTarget TargetOf(Picture& p)
{
    return {p.Line(0), p.Width(), p.Height(), p.Width()};
}

TEST(MapPictureCache, CopiesWhatDrawingTheCellsGivesAndSeesACellSetSince)
{
    CellGrid grid(40, 30);
    for (int y = 1; y <= 30; ++y)
        for (int x = 1; x <= 40; ++x) grid.Set(x, y, static_cast<std::uint16_t>((x * 7 + y * 3) % 600));
    struct Case {
        int size, firstX, firstY, width, height;
    };
    const Case cases[] = {
        {4, 1, 1, 160, 120},  // the whole map
        {4, 11, 5, 64, 48},   // a part inside it
        {8, 30, 20, 100, 100}, // the view reaches past the map's last cells: the rest stays white
        {2, 40, 30, 10, 10},   // the last cell alone
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + " px from " + std::to_string(c.firstX) + "," + std::to_string(c.firstY));
        const SizedAtlas tiles(BuiltInAtlas(), c.size);
        const int columns = (c.width + c.size - 1) / c.size, rows = (c.height + c.size - 1) / c.size;
        Picture drawn(c.width, c.height), copied(c.width, c.height);
        DrawMapCells(TargetOf(drawn), {0, 0}, tiles, grid, c.firstX, c.firstY, columns, rows);
        MapPictureCache cache;
        cache.Draw(TargetOf(copied), tiles, grid, c.firstX, c.firstY, columns, rows);
        EXPECT_EQ(copied, drawn);

        grid.Set(c.firstX, c.firstY, 6);
        DrawMapCells(TargetOf(drawn), {0, 0}, tiles, grid, c.firstX, c.firstY, columns, rows);
        cache.Draw(TargetOf(copied), tiles, grid, c.firstX, c.firstY, columns, rows);
        EXPECT_EQ(copied, drawn) << "the cell set since the first copy";
    }
}

}  // namespace
}  // namespace vantrel::test
