// The level view's geometry: its shown size and scroll maxima for a map, and
// which map cell a view pixel shows.
#include "view/ViewGeometry.h"

#include "view/ViewLevels.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct SizeCase {
    int mapWidth;
    int mapHeight;
    ViewGeometry view;
};

void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.mapWidth << "x" << c.mapHeight; }

class ViewSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ViewSize, ShownSizeAndScrollMaxima)
{
    const SizeCase& c = GetParam();
    EXPECT_EQ(ViewGeometryOf(c.mapWidth, c.mapHeight), c.view);
}

// The loader sizes the view by the same rule when it reads the map.
TEST_P(ViewSize, LoaderReportsTheSame)
{
    const SizeCase& c = GetParam();
    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadReport report;
    const auto bytes = test::LevelBuilder::Standard({.width = static_cast<std::uint8_t>(c.mapWidth),
                                                     .height = static_cast<std::uint8_t>(c.mapHeight),
                                                     .wide = true},
                                                    test::PatternCells(c.mapWidth, c.mapHeight, true))
                           .Data();
    LoadLevelFrom(lvl, std::make_unique<MemoryFile>("m.level", bytes), report);
    ASSERT_TRUE(report.ViewPrepared);
    EXPECT_EQ(ViewGeometryOf(lvl.MapWidth(), lvl.MapHeight()), c.view);
}

INSTANTIATE_TEST_SUITE_P(Maps, ViewSize,
                         ::testing::Values(SizeCase{64, 32, {640, 480, 24, 2}}, SizeCase{10, 12, {160, 192, 0, 0}},
                                           SizeCase{60, 50, {640, 480, 20, 20}}, SizeCase{40, 30, {640, 480, 0, 0}},
                                           SizeCase{41, 30, {640, 480, 1, 0}}, SizeCase{20, 10, {320, 160, 0, 0}},
                                           SizeCase{39, 31, {624, 480, 0, 1}}, SizeCase{1, 1, {16, 16, 0, 0}},
                                           SizeCase{128, 128, {640, 480, 88, 98}}));

struct PixelCase {
    const char* name;
    PixelPoint pixel;
    ViewPosition view;
    PackedCell viewCell;
    PackedCell mapCell;
};

void PrintTo(const PixelCase& c, std::ostream* os) { *os << c.name; }

class ViewPixel : public ::testing::TestWithParam<PixelCase> {};

TEST_P(ViewPixel, ShowsMapCell)
{
    const PixelCase& c = GetParam();
    EXPECT_EQ(ViewCellAt(c.pixel, c.view), c.viewCell);
    EXPECT_EQ(MapCellOfViewCell(ViewCellAt(c.pixel, c.view), c.view), c.mapCell);
}

INSTANTIATE_TEST_SUITE_P(
    Pixels, ViewPixel,
    ::testing::Values(
        PixelCase{"TopLeftScrolled", {0, 0}, {5, 3}, PackCell(1, 1), PackCell(6, 4)},
        PixelCase{"LastPixelOfFirstCell", {15, 15}, {5, 3}, PackCell(1, 1), PackCell(6, 4)},
        PixelCase{"SecondCell", {16, 16}, {5, 3}, PackCell(2, 2), PackCell(7, 5)},
        PixelCase{"BottomRight", {639, 479}, {20, 20}, PackCell(40, 30), PackCell(60, 50)},
        PixelCase{"ThirdColumnSecondRow", {40, 20}, {10, 0}, PackCell(3, 2), PackCell(13, 2)},
        // A pointer dragged past the view's edge is held on the edge cell.
        PixelCase{"PastRightAndBottom", {900, 700}, {0, 0}, PackCell(40, 30), PackCell(40, 30)},
        PixelCase{"PastLeftAndTop", {-40, -300}, {2, 2}, PackCell(1, 1), PackCell(3, 3)},
        PixelCase{"PastASmallView", {500, 170}, {0, 0, 320, 160}, PackCell(20, 10), PackCell(20, 10)},
        PixelCase{"InsideASmallView", {319, 159}, {0, 0, 320, 160}, PackCell(20, 10), PackCell(20, 10)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LevelImagePath, AppendsBmpToTheLevelFileName)
{
    EXPECT_EQ(LevelImagePath("/levels/042.level"), "/levels/042.level.bmp");
    EXPECT_EQ(LevelImagePath("a b.level"), "a b.level.bmp");
}

}  // namespace
}  // namespace vantrel
