// The open level store: cell offsets, cell writes, element counts and the
// positioned reads and writes, with their guards and failures.
#include "level/OpenLevel.h"

#include "base/Error.h"
#include "format/RecordLayouts.h"
#include "level/Loader.h"
#include "support/LevelBuilder.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "tell/Tell.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vantrel {
namespace {

using test::Bytes;
using test::ScriptedUi;

std::unique_ptr<MemoryFile> Memory(const Bytes& bytes)
{
    return std::make_unique<MemoryFile>("memory.level", bytes);
}

const Bytes& BytesOf(const OpenLevel& lvl) { return static_cast<const MemoryFile&>(lvl.File()).Bytes(); }

// A level of width x height cells whose map starts at offset 10 of a file
// filled with 0x11, cells one or two bytes each.
OpenLevel SmallLevel(int width, int height, bool wide)
{
    OpenLevel lvl;
    ChunkIndex index;
    index.MapWidth = static_cast<std::uint8_t>(width);
    index.MapHeight = static_cast<std::uint8_t>(height);
    index.Wide16 = wide;
    index.BodyStart = 10;
    lvl.SetIndex(index);
    lvl.SetGrid(CellGrid(width, height));
    lvl.AttachFile(Memory(Bytes(10 + static_cast<std::size_t>(width * height) * (wide ? 2 : 1), 0x11)));
    lvl.SetLoaded(true);
    return lvl;
}

// --- CellFileOffset ---

struct OffsetCase {
    int width;
    bool wide;
    std::int32_t bodyStart;
    PackedCell cell;
    std::int64_t offset;
};

class CellFileOffsetTest : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(CellFileOffsetTest, RowByRowFromBodyStart)
{
    OpenLevel lvl;
    ChunkIndex index;
    index.MapWidth = static_cast<std::uint8_t>(GetParam().width);
    index.MapHeight = 30;
    index.Wide16 = GetParam().wide;
    index.BodyStart = GetParam().bodyStart;
    lvl.SetIndex(index);
    EXPECT_EQ(CellFileOffset(lvl, GetParam().cell), GetParam().offset);
}

INSTANTIATE_TEST_SUITE_P(Offsets, CellFileOffsetTest,
                         ::testing::Values(OffsetCase{40, false, 200, PackCell(3, 2), 242},
                                           OffsetCase{40, true, 200, PackCell(3, 2), 284},
                                           OffsetCase{40, false, 200, PackCell(1, 1), 200},
                                           OffsetCase{40, false, 200, PackCell(40, 1), 239},
                                           OffsetCase{40, false, 200, PackCell(1, 2), 240},
                                           OffsetCase{3, true, 196, PackCell(3, 2), 196 + 2 * 5},
                                           OffsetCase{128, true, 196, PackCell(128, 128), 196 + 2 * (128 * 128 - 1)},
                                           OffsetCase{19, false, 150, PackCell(19, 11), 150 + 10 * 19 + 18}));

// --- SetCell ---

struct SetCellCase {
    const char* name;
    bool wide;
    PackedCell cell;
    std::uint16_t code;
    bool accepted;
    std::int64_t offset;  // where the cell's bytes go when accepted
};
void PrintTo(const SetCellCase& c, std::ostream* os) { *os << c.name; }

class SetCellTest : public ::testing::TestWithParam<SetCellCase> {};

TEST_P(SetCellTest, WritesGridAndFileOrNothing)
{
    const SetCellCase& c = GetParam();
    OpenLevel lvl = SmallLevel(4, 3, c.wide);
    lvl.Grid().Set(CellX(c.cell) % 129, CellY(c.cell) % 129, 0x7777);
    const CellGrid gridBefore = lvl.Grid();
    Bytes want = BytesOf(lvl);
    lvl.File().Seek(3);

    EXPECT_EQ(SetCell(lvl, c.cell, c.code), c.accepted);

    if (c.accepted) {
        if (c.wide) {
            want[c.offset] = static_cast<std::uint8_t>(c.code >> 8);
            want[c.offset + 1] = static_cast<std::uint8_t>(c.code);
        } else {
            want[c.offset] = static_cast<std::uint8_t>(c.code);
        }
        EXPECT_EQ(lvl.Grid().At(CellX(c.cell), CellY(c.cell)), c.code);
        EXPECT_EQ(lvl.File().Position(), c.offset + (c.wide ? 2 : 1)) << "left after the written bytes";
    } else {
        EXPECT_EQ(lvl.Grid(), gridBefore);
    }
    EXPECT_EQ(BytesOf(lvl), want);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, SetCellTest,
    ::testing::Values(SetCellCase{"OneByte", false, PackCell(2, 3), 0x41, true, 10 + 9},
                      SetCellCase{"OneByteTopLeft", false, PackCell(1, 1), 0, true, 10},
                      SetCellCase{"OneByteLargestCode", false, PackCell(4, 3), 255, true, 10 + 11},
                      SetCellCase{"OneByteCode256", false, PackCell(1, 1), 256, false, 0},
                      SetCellCase{"OneByteCode300", false, PackCell(2, 2), 300, false, 0},
                      SetCellCase{"TwoBytesCode300", true, PackCell(4, 3), 300, true, 10 + 2 * 11},
                      SetCellCase{"TwoBytesCustomElement", true, PackCell(2, 1), 615, true, 10 + 2},
                      SetCellCase{"ColumnZero", false, PackCell(0, 1), 1, false, 0},
                      SetCellCase{"ColumnPastWidth", false, PackCell(5, 1), 1, false, 0},
                      SetCellCase{"RowZero", true, PackCell(1, 0), 1, false, 0},
                      SetCellCase{"RowPastHeight", true, PackCell(1, 4), 1, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SetCellTest, ChangeIsInTheFileOnDiskWhenTheCallReturns)
{
    test::TempDir dir;
    const auto cells = test::PatternCells(3, 2, true);
    const std::string path = dir.Write("a.level", test::LevelBuilder::Standard({.width = 3, .height = 2, .title = "", .wide = true},
                                                                             cells).Data());
    OpenLevel lvl;
    ScriptedUi ui;
    LoadReport report;
    LoadAndTell(lvl, path, ui, report);
    ASSERT_TRUE(lvl.LevelOpen());

    ASSERT_TRUE(SetCell(lvl, PackCell(2, 2), 0x0168));
    const Bytes onDisk = test::ReadBytes(path);
    ASSERT_EQ(onDisk.size(), 208u);
    EXPECT_EQ(onDisk[196 + 2 * 4], 0x01);
    EXPECT_EQ(onDisk[196 + 2 * 4 + 1], 0x68);
    lvl.CloseLevelFile();
}

// --- the grid over the file's bytes ---

TEST(CellGridTest, ReadsAndWritesTheCellsWhereTheFileHasThem)
{
    // Two one-byte rows of 3 cells after 2 bytes of something else, then 2 more.
    CellGrid narrow(3, 2, 1, {9, 9, 1, 2, 3, 4, 5, 6, 9, 9}, 2);
    EXPECT_EQ(narrow.At(1, 1), 1);
    EXPECT_EQ(narrow.At(3, 2), 6);
    EXPECT_EQ(narrow.At(4, 1), 0);
    EXPECT_FALSE(narrow.Set(2, 2, 0x100)) << "a one-byte cell cannot hold 256";
    EXPECT_TRUE(narrow.Set(2, 2, 0xFF));
    EXPECT_EQ(narrow.At(2, 2), 0xFF);
    EXPECT_EQ(narrow.TakeBytes(), (std::vector<std::uint8_t>{9, 9, 1, 2, 3, 4, 0xFF, 6, 9, 9}));

    CellGrid wide(2, 1, 2, {0x01, 0x68, 0x00, 0x07}, 0);
    EXPECT_EQ(wide.At(1, 1), 0x0168);
    CellGrid same(2, 1);
    same.Set(1, 1, 0x0168);
    same.Set(2, 1, 7);
    EXPECT_EQ(wide, same) << "the same cells, whatever their width in bytes";
    try {
        CellGrid(2, 2, 2, {0, 0, 0, 0, 0, 0, 0}, 0);
        ADD_FAILURE() << "no error";
    } catch (const VantrelError& e) {
        EXPECT_STREQ(e.what(), "The file does not hold the whole map: 2 x 2 cells need 8 bytes.");
    }
}

// --- WriteGridRect ---

TEST(WriteGridRectTest, WritesTheRectangleOfTheGridOnly)
{
    for (bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "two-byte cells" : "one-byte cells");
        OpenLevel lvl = SmallLevel(4, 3, wide);
        for (int x = 1; x <= 4; ++x)
            for (int y = 1; y <= 3; ++y) lvl.Grid().Set(x, y, static_cast<std::uint16_t>(0x0100 * y + x));
        const CellGrid grid = lvl.Grid();
        Bytes want = BytesOf(lvl);
        const int b = wide ? 2 : 1;
        for (int y = 1; y <= 2; ++y) {
            for (int x = 2; x <= 3; ++x) {
                std::size_t at = 10 + b * ((y - 1) * 4 + (x - 1));
                if (wide) want[at++] = static_cast<std::uint8_t>(y);  // high byte first
                want[at] = static_cast<std::uint8_t>(x);              // one-byte cells: the low byte only
            }
        }
        WriteGridRect(lvl, PackCell(2, 1), PackCell(3, 2));
        EXPECT_EQ(BytesOf(lvl), want);
        EXPECT_EQ(lvl.Grid(), grid);

        // An empty rectangle writes nothing.
        WriteGridRect(lvl, PackCell(3, 1), PackCell(2, 3));
        WriteGridRect(lvl, PackCell(1, 3), PackCell(4, 2));
        EXPECT_EQ(BytesOf(lvl), want);
    }
}

// --- counting ---

OpenLevel LevelWithCodeAt(std::uint16_t code, std::vector<PackedCell> cells)
{
    OpenLevel lvl = SmallLevel(6, 4, true);
    for (int x = 1; x <= 6; ++x)
        for (int y = 1; y <= 4; ++y) lvl.Grid().Set(x, y, 1);
    for (PackedCell c : cells) lvl.Grid().Set(CellX(c), CellY(c), code);
    lvl.Grid().Set(7, 1, code);  // outside the map: never counted or found
    lvl.Grid().Set(1, 5, code);
    lvl.Grid().Set(6, 4, static_cast<std::uint16_t>(code & 0xFF));  // same low byte, another code
    return lvl;
}

TEST(CountElementTest, CountsWholeCodesInsideTheRectangle)
{
    const std::uint16_t code = 0x0168;
    const OpenLevel lvl = LevelWithCodeAt(code, {PackCell(5, 1), PackCell(2, 3), PackCell(6, 3)});
    EXPECT_EQ(CountElement(lvl, code), 3);
    EXPECT_EQ(CountElement(lvl, 0x0068), 1);
    EXPECT_EQ(CountElement(lvl, 1), 6 * 4 - 4);
    EXPECT_EQ(CountElementInRect(lvl, code, 1, 1, 6, 4), 3);
    EXPECT_EQ(CountElementInRect(lvl, code, 1, 1, 5, 4), 2);
    EXPECT_EQ(CountElementInRect(lvl, code, 2, 3, 2, 3), 1);
    EXPECT_EQ(CountElementInRect(lvl, code, 3, 2, 4, 4), 0);
    EXPECT_EQ(CountElementInRect(lvl, code, 6, 1, 1, 4), 0);  // x2 < x1
    EXPECT_EQ(CountElementInRect(lvl, code, 1, 4, 6, 1), 0);  // y2 < y1
}

// --- ReadFileString ---

TEST(ReadFileStringTest, ReadsEveryByteAndMovesPastThem)
{
    OpenLevel lvl;
    MemoryFile f("f", Bytes{'A', 0, 'B', 0xFF, 'C'});
    EXPECT_EQ(ReadFileString(lvl, 3, f, 1), std::string("\0B\xFF", 3));
    EXPECT_EQ(f.Position(), 4);
    f.Seek(0);
    EXPECT_EQ(ReadFileString(lvl, 5, f), std::string("A\0B\xFF" "C", 5));  // -1: from the current position
    EXPECT_EQ(f.Position(), 5);
    EXPECT_EQ(ReadFileString(lvl, 0, f), "");
    EXPECT_TRUE(lvl.Log().empty());
}

TEST(ReadFileStringTest, TooShortFileLogsTheGuardLineAndReadsNothing)
{
    OpenLevel lvl;
    MemoryFile f("f", Bytes(10, 'x'));
    EXPECT_EQ(ReadFileString(lvl, 34, f, 0), "");
    EXPECT_EQ(f.Position(), 0);
    f.Seek(8);
    EXPECT_EQ(ReadFileString(lvl, 3, f), "");
    EXPECT_EQ(f.Position(), 8);
    EXPECT_EQ(ReadFileString(lvl, 4, f, 12), "");  // a position past the end
    EXPECT_EQ(lvl.Log(), (std::vector<std::string>{"The 34 bytes at 0 run past the end of the file (10 bytes): nothing was read there",
                                                  "The 3 bytes at 8 run past the end of the file (10 bytes): nothing was read there",
                                                  "The 4 bytes at 12 run past the end of the file (10 bytes): nothing was read there"}));
    EXPECT_EQ(ReadFileString(lvl, 2, f, 8), "xx");  // an exact fit is no failure
    EXPECT_EQ(lvl.Log().size(), 3u);
}

// --- GetBytesAtPos, GetByteAtPos, GetWordAtPos ---

struct BytesAtCase {
    std::int64_t offset;
    int n;
    std::uint32_t want;
};

class GetBytesAtPosTest : public ::testing::TestWithParam<BytesAtCase> {};

TEST_P(GetBytesAtPosTest, BigEndianAndKeepsThePosition)
{
    MemoryFile f("f", Bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0xFF});
    f.Seek(2);
    EXPECT_EQ(GetBytesAtPos(GetParam().offset, f, GetParam().n), GetParam().want);
    EXPECT_EQ(f.Position(), 2);
}

INSTANTIATE_TEST_SUITE_P(Reads, GetBytesAtPosTest,
                         ::testing::Values(BytesAtCase{0, 1, 1}, BytesAtCase{0, 2, 258}, BytesAtCase{0, 3, 66051},
                                           BytesAtCase{0, 4, 16909060}, BytesAtCase{2, 4, 0x030405FF},
                                           BytesAtCase{4, 2, 0x05FF}, BytesAtCase{0, 5, 0}, BytesAtCase{0, 0, 0},
                                           BytesAtCase{0, -1, 0},
                                           // other n read nothing, so even an offset outside the file gives 0
                                           BytesAtCase{100, 5, 0}));

TEST(GetBytesAtPosTest, ReadPastTheEndIsAnError)
{
    MemoryFile f("f", Bytes{1, 2, 3});
    EXPECT_THROW(GetBytesAtPos(1, f, 4), VantrelError);
}

TEST(GetByteAtPosTest, ReadsAtTheOffsetAndKeepsThePosition)
{
    MemoryFile f("f", Bytes{0x10, 0x20, 0x30, 0x40});
    f.Seek(1);
    EXPECT_EQ(GetByteAtPos(3, f), 0x40);
    EXPECT_EQ(f.Position(), 1);
    EXPECT_EQ(GetByteAtPos(5, f), 0);  // greater than the size: 0
    EXPECT_EQ(f.Position(), 1);
    EXPECT_THROW(GetByteAtPos(4, f), VantrelError);  // equal to the size: the read fails
}

TEST(GetWordAtPosTest, HighByteFirstAtTheOffset)
{
    MemoryFile f("f", Bytes{0x01, 0x68, 0x02, 0x6F, 0xFF});
    f.Seek(4);
    EXPECT_EQ(GetWordAtPos(0, f), 360);
    EXPECT_EQ(GetWordAtPos(2, f), 0x026F);
    EXPECT_EQ(f.Position(), 4);
    EXPECT_EQ(GetWordAtPos(6, f), 0);
    EXPECT_EQ(f.Position(), 4);
    EXPECT_THROW(GetWordAtPos(5, f), VantrelError);
}

// --- SetWordAtPos: the guard ---

struct GuardCase {
    const char* name;
    std::int64_t offset;
    Bytes want;  // the file afterwards; the file starts as 10 20 30 40
    bool refused;
};
void PrintTo(const GuardCase& c, std::ostream* os) { *os << c.name; }

class SetAtPosTest : public ::testing::TestWithParam<GuardCase> {};

TEST_P(SetAtPosTest, WritesOrRefusesAndKeepsThePosition)
{
    const GuardCase& c = GetParam();
    MemoryFile f("copy.vce", Bytes{0x10, 0x20, 0x30, 0x40});
    f.Seek(2);
    std::string refusal;
    try {
        SetWordAtPos(c.offset, f, 0xABCD);
    } catch (const VantrelError& e) {
        refusal = e.what();
    }
    EXPECT_EQ(f.Bytes(), c.want);
    EXPECT_EQ(f.Position(), 2);
    EXPECT_EQ(refusal, c.refused ? "An element code was to be written at offset " + std::to_string(c.offset) +
                                       " of copy.vce, which holds only 4 bytes; nothing was written."
                                 : "");
}

INSTANTIATE_TEST_SUITE_P(
    Guard, SetAtPosTest,
    ::testing::Values(GuardCase{"WordInside", 0, {0xAB, 0xCD, 0x30, 0x40}, false},
                      GuardCase{"WordAtTheEnd", 2, {0x10, 0x20, 0xAB, 0xCD}, false},
                      GuardCase{"WordOverTheLastByteRefused", 3, {0x10, 0x20, 0x30, 0x40}, true},
                      GuardCase{"WordAtSizeRefused", 4, {0x10, 0x20, 0x30, 0x40}, true},
                      GuardCase{"WordPastSizeRefused", 5, {0x10, 0x20, 0x30, 0x40}, true},
                      GuardCase{"WordBeforeTheStartRefused", -1, {0x10, 0x20, 0x30, 0x40}, true},
                      GuardCase{"WordFarPastSizeRefused", 1000, {0x10, 0x20, 0x30, 0x40}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// --- custom element numbers ---

TEST(CustomElementNumbersTest, CodesLengthsAndNumbers)
{
    EXPECT_EQ(Cus4ChunkLength(0), 104);
    EXPECT_EQ(Cus4ChunkLength(1), 152);
    EXPECT_EQ(Cus4ChunkLength(3), 248);
    EXPECT_EQ(Cus4ChunkLength(16), 872);
    EXPECT_EQ(Cus4ChunkLength(255), 104 + 48 * 255);
    EXPECT_EQ(CeElementCode(1), 360);
    EXPECT_EQ(CeElementCode(256), 615);
    EXPECT_EQ(CeNumberOf(360), 1);
    EXPECT_EQ(CeNumberOf(615), 256);
    EXPECT_EQ(CeNumberOf(0), 65177);  // unsigned 16-bit arithmetic
    EXPECT_EQ(CeNumberOf(359), 0);
}

}  // namespace
}  // namespace vantrel
