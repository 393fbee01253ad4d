// Painting cells: the cells a stroke crosses, the stroke written as one
// command, what the status line says, the zoom's geometry, and the tiles the
// view draws custom elements with.
#include "base/ElementTable.h"
#include "base/Error.h"
#include "ce/CeGraphics.h"
#include "level/Loader.h"
#include "support/TempDir.h"
#include "view/Paint.h"
#include "view/TileAtlas.h"
#include "view/ViewGeometry.h"
#include "view/ViewLevels.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

std::vector<PackedCell> Cells(std::initializer_list<std::pair<int, int>> xy)
{
    std::vector<PackedCell> cells;
    for (const auto& [x, y] : xy) cells.push_back(PackCell(x, y));
    return cells;
}

TEST(CellsOnLine, EachCellTouchesTheOneBefore)
{
    EXPECT_EQ(CellsOnLine(PackCell(2, 2), PackCell(6, 4)), Cells({{2, 2}, {3, 3}, {4, 3}, {5, 4}, {6, 4}}));
    EXPECT_EQ(CellsOnLine(PackCell(7, 3), PackCell(4, 3)), Cells({{7, 3}, {6, 3}, {5, 3}, {4, 3}}));
    EXPECT_EQ(CellsOnLine(PackCell(3, 3), PackCell(1, 1)), Cells({{3, 3}, {2, 2}, {1, 1}}));
    EXPECT_EQ(CellsOnLine(PackCell(5, 5), PackCell(5, 5)), Cells({{5, 5}}));
}

TEST(PaintStroke, KeepsEachCellOnceAndLeavesOutCellsOffTheMap)
{
    PaintStroke stroke(6);
    stroke.ExtendTo(PackCell(3, 1), 4, 3);
    stroke.ExtendTo(PackCell(6, 1), 4, 3);  // past the right edge
    stroke.ExtendTo(PackCell(2, 1), 4, 3);  // back over cells painted already
    EXPECT_EQ(stroke.Cells(), Cells({{3, 1}, {4, 1}, {2, 1}}));
}

TEST(PaintCells, WritesTheStrokesCellsAsOneCommandAndRefusesWhatTheLevelCannotHold)
{
    OpenLevel lvl;
    test::LoadMemoryLevel(lvl, 6, 4, false, test::NumberedCells(6, 4));
    PaintStroke stroke(9);
    for (const PackedCell c : Cells({{1, 1}, {2, 2}, {3, 2}, {3, 4}})) stroke.ExtendTo(c, 6, 4);
    const std::vector<std::uint8_t> before = test::FileBytes(lvl);
    EXPECT_EQ(PaintCells(lvl, stroke), 4) << "(3, 2) holds 9 already";
    EXPECT_EQ(lvl.Steps().size(), 1u) << "one stroke, one step";
    std::vector<std::uint8_t> want = before;
    for (const auto& [x, y] : {std::pair{1, 1}, {2, 2}, {3, 2}, {3, 3}, {3, 4}})
        want[static_cast<std::size_t>(test::kStandardBodyStart + (y - 1) * 6 + x - 1)] = 9;
    EXPECT_EQ(test::FileBytes(lvl), want);

    PaintStroke wide(360);
    wide.ExtendTo(PackCell(4, 4), 6, 4);
    try {
        PaintCells(lvl, wide);
        ADD_FAILURE() << "a one-byte level took code 360";
    } catch (const VantrelError& e) {
        EXPECT_STREQ(e.what(), "This level keeps one byte a cell, so it cannot hold element 0x0168 Custom element 1 "
                               "(only codes up to 0x00FF): nothing was painted.");
    }
    EXPECT_EQ(test::FileBytes(lvl), want);
}

TEST(PaintCells, RefusesCodesThatNameNoElementOfTheGame)
{
    struct Case {
        std::uint16_t code;
        bool wide;
        const char* refusal;  // empty: painted
    };
    const Case cases[] = {
        {0x1234, true, "The code 0x1234 (4660) names no element of the game: nothing was painted. Pick an element in "
                       "Tool > Element View."},
        {999, true, "The code 0x03E7 (999) names no element of the game: nothing was painted. Pick an element in "
                    "Tool > Element View."},
        // Not even a one-byte level's limit comes first: the code is no element at all.
        {0x1234, false, "The code 0x1234 (4660) names no element of the game: nothing was painted. Pick an element "
                        "in Tool > Element View."},
        {656, true, ""},  // the game's own "unknown" element is an element
        {615, true, ""},  // custom element 256
        {0, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        OpenLevel lvl;
        test::LoadMemoryLevel(lvl, 3, 2, c.wide, test::NumberedCells(3, 2));
        PaintStroke stroke(c.code);
        stroke.ExtendTo(PackCell(2, 2), 3, 2);
        const std::vector<std::uint8_t> before = test::FileBytes(lvl);
        EXPECT_EQ(PaintRefusal(lvl, c.code), c.refusal);
        if (*c.refusal == 0) {
            EXPECT_EQ(PaintCells(lvl, stroke), 1);
            EXPECT_EQ(lvl.Grid().At(2, 2), c.code);
            continue;
        }
        EXPECT_THROW(PaintCells(lvl, stroke), VantrelError);
        EXPECT_EQ(test::FileBytes(lvl), before);
        EXPECT_TRUE(lvl.Steps().empty());
    }
}

TEST(CellStatusText, NamesTheCellAndTheElement)
{
    OpenLevel lvl;
    test::LoadMemoryLevel(lvl, 4, 3, true, {0, 1, 2, 3, 80, 360, 615, 999, 6, 6, 6, 6});
    EXPECT_EQ(CellStatusText(lvl, PackCell(2, 2)), "x 2, y 2: 0x0168 Custom element 1");
    EXPECT_EQ(CellStatusText(lvl, PackCell(1, 2)), "x 1, y 2: 0x0050 Player 1");
    EXPECT_EQ(CellStatusText(lvl, PackCell(4, 2)), "x 4, y 2: 0x03E7 no element of the game");
    EXPECT_EQ(CellStatusText(lvl, PackCell(5, 2)), "") << "off the map";
    EXPECT_EQ(SelectionSizeText(PackCell(5, 2), PackCell(3, 7)), "selection 3 x 6");
}

struct ZoomCase {
    const char* name;
    int mapWidth, mapHeight, areaWidth, areaHeight, cellSize;
    ViewGeometry view;
};

TEST(ViewGeometryOf, FollowsTheAreaAndTheCellSize)
{
    const ZoomCase cases[] = {
        {"quarter", 128, 128, 640, 480, 4, {512, 480, 0, 8}},
        {"double", 64, 32, 900, 700, 32, {900, 700, 36, 11}},
        {"triple, last column in part", 64, 32, 100, 100, 48, {100, 100, 62, 30}},
        {"small map", 10, 5, 900, 700, 48, {480, 240, 0, 0}},
    };
    for (const ZoomCase& c : cases)
        EXPECT_EQ(ViewGeometryOf(c.mapWidth, c.mapHeight, c.areaWidth, c.areaHeight, c.cellSize), c.view) << c.name;
    EXPECT_EQ(NextZoomStep(16, 1), 32);
    EXPECT_EQ(NextZoomStep(16, -1), 8);
    EXPECT_EQ(NextZoomStep(48, 1), 48);
    EXPECT_EQ(NextZoomStep(4, -1), 4);
    EXPECT_EQ(NextZoomStep(5, -1), 4) << "from a fitted size to the next step";
    EXPECT_EQ(FitCellSize(128, 128, 640, 480), 3);
    EXPECT_EQ(FitCellSize(20, 10, 900, 700), 45);
    EXPECT_EQ(FitCellSize(10, 5, 900, 700), 48);
    // Map cell 23 under pixel 200 at 32 pixels a cell: scroll 16 shows it in view cell 7.
    EXPECT_EQ(ScrollKeeping(23, 200, 32, 80), 16);
    EXPECT_EQ(ScrollKeeping(3, 200, 32, 80), 0) << "held in the scroll range";
    const ViewPosition zoomed{16, 4, 900, 700, 32};
    EXPECT_EQ(MapCellAt({200, 150}, zoomed), PackCell(23, 9));
}

TEST(SizedAtlas, DrawsCustomElementsWithTheirGraphicOrTheirNumber)
{
    CeGraphics looks;
    looks[0] = 4;    // CE 1 looks like a rock
    looks[2] = 361;  // CE 3 looks like CE 2
    const SizedAtlas tiles(BuiltInAtlas(), 16, looks);
    const TileAtlas& atlas = BuiltInAtlas();
    auto pixel = [](const Rgb* tile, int x, int y) { return tile[y * 16 + x]; };
    EXPECT_EQ(pixel(tiles.TilePixels(360), 8, 8), pixel(atlas.TilePixels(4), 8, 8));
    EXPECT_EQ(pixel(tiles.TilePixels(360), 0, 0), 0xFFFF40FFu) << "the CE mark";
    EXPECT_EQ(pixel(tiles.TilePixels(361), 0, 0), pixel(atlas.TilePixels(361), 0, 0)) << "no mark";
    EXPECT_NE(pixel(tiles.TilePixels(361), 12, 13), pixel(tiles.TilePixels(363), 12, 13)) << "numbers differ";
    EXPECT_EQ(pixel(tiles.TilePixels(362), 8, 8), pixel(tiles.TilePixels(361), 8, 8));
    EXPECT_EQ(pixel(tiles.TilePixels(6), 3, 5), pixel(atlas.TilePixels(6), 3, 5));
    const SizedAtlas doubled(BuiltInAtlas(), 32);
    EXPECT_EQ(pixel(doubled.TilePixels(6) + 0, 0, 0), atlas.TilePixels(6)[0]);
    EXPECT_EQ(doubled.TilePixels(6)[(2 * 5 + 1) * 32 + 2 * 3 + 1], pixel(atlas.TilePixels(6), 3, 5));
}

TEST(CeGraphicsOf, ReadsTheGraphicsOfARealLevel)
{
    if (test::CorpusDir().empty()) GTEST_SKIP() << "no corpus";
    test::TempDir dir;
    const std::string path = test::CopyFromCorpus("levels/Tutorials/rnd_tutorial_niko_boehm/042.level", dir);
    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadReport report;
    LoadLevel(lvl, path, report, ReadOnlyLoad());
    const CeGraphics looks = CeGraphicsOf(lvl);
    EXPECT_EQ(looks[0], std::optional<std::uint16_t>(0x013C));
    EXPECT_EQ(looks[1], std::optional<std::uint16_t>(0));
    EXPECT_EQ(looks[255], std::nullopt);
}

}  // namespace
}  // namespace vantrel
