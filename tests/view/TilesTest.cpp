#include "base/ElementTable.h"
#include "view/Tiles.h"

#include <gtest/gtest.h>

#include <map>

namespace vantrel {
namespace {

struct TileCase {
    std::uint16_t code;
    int col;  // 0: no tile
    int row;
};

void PrintTo(const TileCase& c, std::ostream* os) { *os << "code " << c.code; }

class ElementTileLookup : public testing::TestWithParam<TileCase> {};

TEST_P(ElementTileLookup, FindsTheTile)
{
    const TileCase& c = GetParam();
    const std::optional<PixelRect> rect = ElementTileRect(c.code);
    if (c.col == 0) {
        EXPECT_EQ(ElementTile(c.code), std::nullopt);
        EXPECT_EQ(rect, std::nullopt);
        return;
    }
    EXPECT_EQ(ElementTile(c.code), PackCell(c.col, c.row));
    const PixelRect expected{16 * (c.col - 1), 16 * (c.row - 1), 16 * c.col, 16 * c.row};
    EXPECT_EQ(rect, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ElementTileLookup,
    testing::Values(
        // Empty space shares its tile with code 210.
        TileCase{0, 2, 14}, TileCase{210, 2, 14},
        // Codes 1..359 row by row.
        TileCase{1, 1, 1}, TileCase{16, 16, 1}, TileCase{17, 1, 2}, TileCase{80, 16, 5}, TileCase{352, 16, 22},
        TileCase{353, 1, 23}, TileCase{359, 7, 23},
        // One tile for every custom element.
        TileCase{360, 8, 23}, TileCase{500, 8, 23}, TileCase{615, 8, 23},
        // Keys and envelopes close the last row.
        TileCase{616, 9, 23}, TileCase{620, 13, 23}, TileCase{623, 16, 23},
        // Group elements and beyond: no picture.
        TileCase{624, 0, 0}, TileCase{655, 0, 0}, TileCase{656, 0, 0}, TileCase{999, 0, 0},
        TileCase{4660, 0, 0}, TileCase{0xFFFF, 0, 0}));

TEST(BuiltInAtlas, EveryRectangleLiesInsideTheAtlas)
{
    for (int code = 0; code <= 0xFFFF; ++code) {
        const auto rect = ElementTileRect(static_cast<std::uint16_t>(code));
        if (!rect) continue;
        ASSERT_GE(rect->left, 0) << code;
        ASSERT_GE(rect->top, 0) << code;
        ASSERT_LE(rect->right, kAtlasWidth) << code;
        ASSERT_LE(rect->bottom, kAtlasHeight) << code;
        ASSERT_EQ(rect->right - rect->left, kTileSize) << code;
        ASSERT_EQ(rect->bottom - rect->top, kTileSize) << code;
    }
}

// Each of the 368 tiles stands for exactly the codes the lookup sends to it:
// one code each, except (2,14) for codes 0 and 210 and (8,23) for the 256
// custom elements.
TEST(BuiltInAtlas, EveryTileIsUsedAndOnlyTheKnownTilesAreShared)
{
    std::map<PackedCell, int> users;
    for (const ElementInfo& e : AllElements()) {
        if (const auto tile = ElementTile(e.code)) ++users[*tile];
    }
    ASSERT_EQ(users.size(), static_cast<std::size_t>(kAtlasColumns * kAtlasRows));
    for (const auto& [tile, count] : users) {
        int expected = 1;
        if (tile == PackCell(2, 14)) expected = 2;
        if (tile == PackCell(8, 23)) expected = 256;
        EXPECT_EQ(count, expected) << "tile (" << CellX(tile) << ", " << CellY(tile) << ")";
    }
}

}  // namespace
}  // namespace vantrel
