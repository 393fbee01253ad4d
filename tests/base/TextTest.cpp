// The text and cell helpers: packed cells and pixels, number texts, and the
// separator-based slicing that list lines, log lines and forum text go through.
#include "base/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel {
namespace {

const std::string CR = "\r";
const std::string CRLF = "\r\n";

// --- cells and pixels ---

TEST(PackCellTest, RowIsTheHighByteColumnTheLow)
{
    EXPECT_EQ(PackCell(1, 1), 0x0101);
    EXPECT_EQ(PackCell(5, 3), 3 * 256 + 5);
    EXPECT_EQ(PackCell(128, 128), 0x8080);
    EXPECT_EQ(PackCell(255, 255), 0xFFFF);
    // Only the low byte of each coordinate counts.
    EXPECT_EQ(PackCell(257, 2), PackCell(1, 2));
    EXPECT_EQ(PackCell(3, 256 + 4), PackCell(3, 4));
    EXPECT_EQ(CellX(PackCell(7, 9)), 7);
    EXPECT_EQ(CellY(PackCell(7, 9)), 9);
}

struct CellPixelCase {
    PackedCell cell;
    std::uint8_t tile;
    PixelPoint origin;
    PixelRect rect;
};

class CellGeometryTest : public ::testing::TestWithParam<CellPixelCase> {};

TEST_P(CellGeometryTest, OriginAndRect)
{
    const CellPixelCase& c = GetParam();
    EXPECT_EQ(CellOrigin(c.cell, c.tile), c.origin);
    EXPECT_EQ(CellRect(c.cell, c.tile), c.rect);
}

INSTANTIATE_TEST_SUITE_P(Cells, CellGeometryTest,
                         ::testing::Values(CellPixelCase{PackCell(1, 1), 16, {0, 0}, {0, 0, 16, 16}},
                                           CellPixelCase{PackCell(2, 1), 16, {16, 0}, {16, 0, 32, 16}},
                                           CellPixelCase{PackCell(3, 5), 16, {32, 64}, {32, 64, 48, 80}},
                                           CellPixelCase{PackCell(40, 30), 16, {624, 464}, {624, 464, 640, 480}},
                                           CellPixelCase{PackCell(128, 128), 16, {2032, 2032}, {2032, 2032, 2048, 2048}},
                                           CellPixelCase{PackCell(4, 2), 32, {96, 32}, {96, 32, 128, 64}},
                                           CellPixelCase{PackCell(1, 1), 1, {0, 0}, {0, 0, 1, 1}}));

TEST(RectFromCornersTest, SameRectangleWhicheverCornerComesFirst)
{
    const PixelRect expected{10, 20, 50, 70};
    const PixelPoint topLeft{10, 20}, topRight{50, 20}, bottomLeft{10, 70}, bottomRight{50, 70};
    EXPECT_EQ(RectFromCorners(topLeft, bottomRight), expected);
    EXPECT_EQ(RectFromCorners(bottomRight, topLeft), expected);
    EXPECT_EQ(RectFromCorners(topRight, bottomLeft), expected);
    EXPECT_EQ(RectFromCorners(bottomLeft, topRight), expected);
    EXPECT_EQ(RectFromCorners({5, 5}, {5, 5}), (PixelRect{5, 5, 5, 5}));
}

struct OrderCase {
    PackedCell first, second;
    PackedCell wantFirst, wantSecond;
};

class OrderCellCornersTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(OrderCellCornersTest, ColumnsAndRowsExchangedIndependently)
{
    PackedCell a = GetParam().first, b = GetParam().second;
    OrderCellCorners(a, b);
    EXPECT_EQ(a, GetParam().wantFirst);
    EXPECT_EQ(b, GetParam().wantSecond);
}

INSTANTIATE_TEST_SUITE_P(
    Corners, OrderCellCornersTest,
    ::testing::Values(
        OrderCase{PackCell(2, 3), PackCell(5, 7), PackCell(2, 3), PackCell(5, 7)},   // already ordered
        OrderCase{PackCell(5, 7), PackCell(2, 3), PackCell(2, 3), PackCell(5, 7)},   // both swapped
        OrderCase{PackCell(5, 1), PackCell(2, 3), PackCell(2, 1), PackCell(5, 3)},   // only the columns
        OrderCase{PackCell(2, 3), PackCell(5, 1), PackCell(2, 1), PackCell(5, 3)},   // only the rows
        OrderCase{PackCell(4, 4), PackCell(4, 4), PackCell(4, 4), PackCell(4, 4)},   // one cell
        OrderCase{PackCell(200, 1), PackCell(1, 128), PackCell(1, 1), PackCell(200, 128)}));

// --- numbers and bytes ---

TEST(ZeroPadIntTest, PadsToTheMinimumWidthOnly)
{
    EXPECT_EQ(ZeroPadInt(7, 3), "007");
    EXPECT_EQ(ZeroPadInt(12, 3), "012");
    EXPECT_EQ(ZeroPadInt(6, 3), "006");
    EXPECT_EQ(ZeroPadInt(360, 3), "360");
    EXPECT_EQ(ZeroPadInt(1234, 3), "1234");
    EXPECT_EQ(ZeroPadInt(0, 3), "000");
    EXPECT_EQ(ZeroPadInt(5, 0), "5");
    EXPECT_EQ(ZeroPadInt(5, 1), "5");
}

TEST(BytesToHexTest, TwoUpperCaseDigitsPerByteNothingBetween)
{
    EXPECT_EQ(BytesToHex("CE1"), "434531");
    EXPECT_EQ(BytesToHex(""), "");
    EXPECT_EQ(BytesToHex(std::string("\x00\xFF\x0a\x7f", 4)), "00FF0A7F");
    EXPECT_EQ(BytesToHex("\xab\xcd"), "ABCD");
}

TEST(WordTest, BigEndianAssembly)
{
    EXPECT_EQ(MakeBigEndianWord(0x12, 0x34), 0x1234);
    EXPECT_EQ(MakeBigEndianWord(0, 0), 0);
    EXPECT_EQ(MakeBigEndianWord(0xFF, 0xFF), 0xFFFF);
    EXPECT_EQ(MakeBigEndianWord(1, 104), 360);
    // high * 256 + low, truncated to 16 bits
    EXPECT_EQ(MakeBigEndianWord(0x100, 0x01), 0x0001);
    EXPECT_EQ(MakeBigEndianWord(1, 300), 556);
}

// --- text slicing ---

struct BeforeAfterCase {
    std::string s, sep;
    bool include;
    std::string before, after;
};

class BeforeAfterTest : public ::testing::TestWithParam<BeforeAfterCase> {};

TEST_P(BeforeAfterTest, FirstSeparatorSplits)
{
    const BeforeAfterCase& c = GetParam();
    EXPECT_EQ(TextBefore(c.s, c.sep, c.include), c.before);
    EXPECT_EQ(TextAfter(c.s, c.sep, c.include), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Slices, BeforeAfterTest,
    ::testing::Values(BeforeAfterCase{"CE3: Lava", ": ", false, "CE3", "Lava"},
                      BeforeAfterCase{"CE3: Lava", ": ", true, "CE3: ", ": Lava"},
                      BeforeAfterCase{"CE3 Lava", ": ", false, "", ""},
                      BeforeAfterCase{"CE3 Lava", ": ", true, "", ""},  // the flag adds sep only when found
                      BeforeAfterCase{"a:b:c", ":", false, "a", "b:c"},
                      BeforeAfterCase{"1:Rock-->7", "-->", false, "1:Rock", "7"},
                      BeforeAfterCase{":x", ":", false, "", "x"},
                      BeforeAfterCase{"x:", ":", false, "x", ""},
                      BeforeAfterCase{"", ":", false, "", ""},
                      BeforeAfterCase{"Lava", "lava", false, "", ""},  // case-sensitive
                      BeforeAfterCase{"%/tmp/a%b.level", "%", false, "", "/tmp/a%b.level"}));

struct BetweenCase {
    std::string s, start, end;
    bool includeEnd, includeStart;
    std::string want;
};

class TextBetweenTest : public ::testing::TestWithParam<BetweenCase> {};

TEST_P(TextBetweenTest, BeforeOfAfter)
{
    const BetweenCase& c = GetParam();
    EXPECT_EQ(TextBetween(c.s, c.start, c.end, c.includeEnd, c.includeStart), c.want);
}

INSTANTIATE_TEST_SUITE_P(
    Slices, TextBetweenTest,
    ::testing::Values(BetweenCase{"name=[Lava] x", "[", "]", false, false, "Lava"},
                      BetweenCase{"name=[Lava] x", "[", "]", true, false, "Lava]"},
                      BetweenCase{"name=[Lava] x", "[", "]", false, true, "[Lava"},
                      BetweenCase{"name=[Lava] x", "[", "]", true, true, "[Lava]"},
                      BetweenCase{"[a][b]", "[", "]", false, false, "a"},
                      BetweenCase{"no brackets", "[", "]", false, false, ""},
                      // the separators are added whether or not they were found
                      BetweenCase{"no brackets", "[", "]", true, true, "[]"},
                      BetweenCase{"[open only", "[", "]", false, false, ""},
                      BetweenCase{"[open only", "[", "]", true, false, "]"},
                      BetweenCase{"<img src=\"006.gif\">", "src=\"", ".gif", false, false, "006"}));

struct CountCase {
    std::string s, sep;
    int want;
};

class CountFieldsTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountFieldsTest, OnePlusSeparatorsFound)
{
    EXPECT_EQ(CountFields(GetParam().s, GetParam().sep), GetParam().want);
}

INSTANTIATE_TEST_SUITE_P(Slices, CountFieldsTest,
                         ::testing::Values(CountCase{"a" + CR + "b" + CR + "c", CR, 3},
                                           CountCase{"", CR, 1},
                                           CountCase{"one" + CRLF + "two" + CRLF + "three", CR, 3},
                                           // the character after each separator is consumed with it
                                           CountCase{"a" + CR + CR + "b", CR, 2},
                                           CountCase{"no separator", CR, 1},
                                           CountCase{"a" + CR, CR, 2},
                                           CountCase{"a-->b-->c", "-->", 3},
                                           CountCase{"a,,b", ",", 2},
                                           CountCase{"a,b,c,d", ",", 4}));

struct FieldCase {
    std::string s;
    int n;
    std::string sep;
    std::string field;
};

class NthFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(NthFieldTest, Field)
{
    const FieldCase& c = GetParam();
    EXPECT_EQ(NthField(c.s, c.n, c.sep), c.field);
}

INSTANTIATE_TEST_SUITE_P(
    Slices, NthFieldTest,
    ::testing::Values(FieldCase{"a-->b-->c", 1, "-->", "a"},
                      FieldCase{"a-->b-->c", 2, "-->", "b"},
                      FieldCase{"a-->b-->c", 3, "-->", "c"},
                      // fewer separators than asked for: the rest of the text
                      FieldCase{"a-->b-->c", 5, "-->", "c"},
                      FieldCase{"abc", 1, "-->", "abc"},
                      FieldCase{"abc", 2, "-->", "abc"},
                      FieldCase{"a,,b", 2, ",", ""},
                      FieldCase{"a,,b", 3, ",", "b"},
                      FieldCase{",a", 1, ",", ""},
                      FieldCase{"a,", 2, ",", ""},
                      FieldCase{"", 1, ",", ""},
                      FieldCase{"12:Rock-->45", 1, ":", "12"},
                      FieldCase{"k = v = w", 2, " = ", "v"}));

TEST(UpToZeroTest, TextUpToTheFirstZeroByte)
{
    EXPECT_EQ(UpToZero(std::string("Walk over\0ment 1", 16)), "Walk over");
    EXPECT_EQ(UpToZero(std::string(32, '\0')), "");
    EXPECT_EQ(UpToZero("no zero"), "no zero");
}

}  // namespace
}  // namespace vantrel
