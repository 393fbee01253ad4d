// The element palette's texts: the code each atlas tile reports, the titles
// and hint, and the "Check It" entry rules.
#include "palette/PaletteCodes.h"

#include "base/Error.h"
#include "view/Tiles.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct TileCase {
    int col;
    int row;
    std::uint16_t code;
    const char* hint;
    const char* title;  // while the pointer is over the tile
};

void PrintTo(const TileCase& c, std::ostream* os) { *os << "tile (" << c.col << ", " << c.row << ")"; }

class PointerOverTile : public ::testing::TestWithParam<TileCase> {};

TEST_P(PointerOverTile, ReportsTheCodeDrawnThere)
{
    const TileCase& c = GetParam();
    // Every pixel of the tile reports the same code.
    for (const auto& [dx, dy] : {std::pair{0, 0}, {15, 0}, {0, 15}, {15, 15}, {7, 9}}) {
        const std::uint16_t code = PaletteCodeAt(16 * (c.col - 1) + dx, 16 * (c.row - 1) + dy);
        ASSERT_EQ(code, c.code) << dx << "," << dy;
    }
    EXPECT_EQ(PaletteHint(c.code), c.hint);
    EXPECT_EQ(PaletteMoveTitle(c.code), c.title);
    // The tile reports a code whose picture is this very tile.
    EXPECT_EQ(ElementTile(c.code), PackCell(c.col, c.row));
}

INSTANTIATE_TEST_SUITE_P(
    Tiles, PointerOverTile,
    ::testing::Values(TileCase{1, 1, 1, "Element 001: Sand", "Element id 001 ($01)"},
                      TileCase{6, 1, 6, "Element 006: Emerald", "Element id 006 ($06)"},
                      TileCase{16, 22, 352, "Element 352: Tube (left & down)", "Element id 352 ($160)"},
                      TileCase{7, 23, 359, "Element 359: -", "Element id 359 ($167)"},
                      TileCase{8, 23, 360, "Element 360: Custom element 1", "Element id 360 ($168)"},
                      TileCase{9, 23, 616, "Element 616: Key 1 (EM style)", "Element id 616 ($268)"},
                      TileCase{16, 23, 623, "Element 623: Mail envelope 4", "Element id 623 ($26F)"},
                      // The empty-space tile, although (14 - 1) x 16 + 2 would be 210.
                      TileCase{2, 14, 0, "Element 000: Empty space", "Element id 000 ($00)"},
                      TileCase{1, 14, 209, "Element 209: Key (obsolete)", "Element id 209 ($D1)"}));

TEST(PaletteCodeAt, APointerPastTheAtlasCountsAsOnItsEdge)
{
    EXPECT_EQ(PaletteCodeAt(-3, -3), 1);
    EXPECT_EQ(PaletteCodeAt(300, 400), 623);
    EXPECT_EQ(PaletteCodeAt(255, 367), 623);
}

TEST(PaletteIdText, DecimalCutToFourAndPaddedToThree)
{
    EXPECT_EQ(PaletteIdText(0), "000");
    EXPECT_EQ(PaletteIdText(6), "006");
    EXPECT_EQ(PaletteIdText(99), "099");
    EXPECT_EQ(PaletteIdText(360), "360");
    EXPECT_EQ(PaletteIdText(4660), "4660");
    EXPECT_EQ(PaletteIdText(65535), "6553");
}

struct EntryCase {
    const char* entry;
    std::uint16_t code;
    const char* title;
    const char* meaning;  // what the palette says under the id box
};

void PrintTo(const EntryCase& c, std::ostream* os) { *os << "entry \"" << c.entry << "\""; }

class CheckEntry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(CheckEntry, FourCharactersHexadecimalThreeDecimal)
{
    const EntryCase& c = GetParam();
    const std::uint16_t code = CheckEntryCode(c.entry);
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(PaletteCheckTitle(code), c.title);
    EXPECT_EQ(CheckEntryMeaning(c.entry), c.meaning);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, CheckEntry,
    ::testing::Values(
        EntryCase{"0168", 360, "Element id 360 ($0168)", "\"0168\" is read as hexadecimal: 360, Custom element 1"},
        EntryCase{"360", 360, "Element id 360 ($0168)", "\"360\" is read as decimal: 360, Custom element 1"},
        EntryCase{"1234", 4660, "Element id 4660 ($1234)",
                  "\"1234\" is read as hexadecimal: 4660, which names no element of the game and cannot be painted"},
        EntryCase{"00ff", 255, "Element id 255 ($00FF)", "\"00ff\" is read as hexadecimal: 255, Burning dynamite (EM style)"},
        EntryCase{"FFFF", 65535, "Element id 6553 ($FFFF)",
                  "\"FFFF\" is read as hexadecimal: 65535, which names no element of the game and cannot be painted"},
        EntryCase{"006", 6, "Element id 006 ($0006)", "\"006\" is read as decimal: 6, Emerald"},
        EntryCase{"999", 999, "Element id 999 ($03E7)",
                  "\"999\" is read as decimal: 999, which names no element of the game and cannot be painted"},
        EntryCase{"0300", 768, "Element id 768 ($0300)",
                  "\"0300\" is read as hexadecimal: 768, which names no element of the game and cannot be painted"},
        // Fewer than three characters: code 0, and the palette says so.
        EntryCase{"99", 0, "Element id 000 ($0000)", "\"99\" has fewer than 3 characters and is read as 000, Empty space"},
        EntryCase{"7", 0, "Element id 000 ($0000)", "\"7\" has fewer than 3 characters and is read as 000, Empty space"},
        EntryCase{"", 0, "Element id 000 ($0000)", "\"\" has fewer than 3 characters and is read as 000, Empty space"},
        EntryCase{"zz", 0, "Element id 000 ($0000)", "\"zz\" has fewer than 3 characters and is read as 000, Empty space"},
        // Only the first four characters count.
        EntryCase{"016899", 360, "Element id 360 ($0168)", "\"0168\" is read as hexadecimal: 360, Custom element 1"}));

TEST(CheckEntry, NoNumberInItsBaseIsAConversionError)
{
    struct Bad {
        const char* entry;
        const char* message;
    };
    const Bad cases[] = {
        {"12G", "'12G' is not a valid decimal number"},
        {"zz00", "'zz00' is not a valid hexadecimal number"},
        {"abc", "'abc' is not a valid decimal number"},
        {"-12", "'-12' is not a valid decimal number"},
        {"+0FF", "'+0FF' is not a valid hexadecimal number"},
        {" 12", "' 12' is not a valid decimal number"},
        {"$168", "'$168' is not a valid hexadecimal number"},
    };
    for (const Bad& c : cases) {
        try {
            CheckEntryCode(c.entry);
            ADD_FAILURE() << c.entry << " was accepted";
        } catch (const VantrelError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

}  // namespace
}  // namespace vantrel
