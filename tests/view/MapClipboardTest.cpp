// Selection and the map clipboard: which cells a drag selects, and what
// Copy, Cut, Paste and Delete leave in the level's grid and in its file.
#include "view/MapClipboard.h"

#include "level/OpenLevel.h"
#include "view/ViewLevels.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using test::FileBytes;
using test::FileCell;
using test::LoadMemoryLevel;
using test::NumberedCells;

// A selection as a completed drag leaves it.
MapSelection Selected(int x1, int y1, int x2, int y2)
{
    MapSelection sel;
    sel.SelectionStart = PackCell(x1, y1);
    sel.SelectionEnd = PackCell(x2, y2);
    return sel;
}

PixelPoint CenterOf(int viewX, int viewY)
{
    return {16 * (viewX - 1) + 8, 16 * (viewY - 1) + 8};
}

// Every cell of the map as the file holds it equals the grid.
void ExpectFileMatchesGrid(const OpenLevel& lvl)
{
    for (int y = 1; y <= lvl.MapHeight(); ++y)
        for (int x = 1; x <= lvl.MapWidth(); ++x)
            ASSERT_EQ(FileCell(lvl, x, y), lvl.Grid().At(x, y)) << "cell " << x << "," << y;
}

// --- press and release ---

struct DragCase {
    const char* name;
    PixelPoint press;
    PixelPoint release;
    ViewPosition view;
    PackedCell start;
    PackedCell end;
    PixelRect frame;
};

void PrintTo(const DragCase& c, std::ostream* os) { *os << c.name; }

class Drag : public ::testing::TestWithParam<DragCase> {};

TEST_P(Drag, SelectsCellsAndFrame)
{
    const DragCase& c = GetParam();
    MapSelection sel;
    SelectionPress(sel, c.press, c.view);
    const PixelRect frame = SelectionRelease(sel, c.release, c.view);
    EXPECT_EQ(sel.SelectionStart, c.start);
    EXPECT_EQ(sel.SelectionEnd, c.end);
    EXPECT_EQ(frame, c.frame);
}

INSTANTIATE_TEST_SUITE_P(
    Drags, Drag,
    ::testing::Values(
        // A click selects the one cell under the pointer; its frame is that cell's square.
        DragCase{"ClickScrolled", CenterOf(3, 2), CenterOf(3, 2), {10, 0}, PackCell(13, 2), PackCell(13, 2),
                 {32, 16, 48, 32}},
        DragCase{"UpAndLeft", CenterOf(5, 5), CenterOf(2, 3), {0, 0}, PackCell(2, 3), PackCell(5, 5),
                 {16, 32, 80, 80}},
        DragCase{"DownAndRight", CenterOf(2, 3), CenterOf(5, 5), {0, 0}, PackCell(2, 3), PackCell(5, 5),
                 {16, 32, 80, 80}},
        DragCase{"UpAndRight", CenterOf(1, 4), CenterOf(3, 1), {1, 1}, PackCell(2, 2), PackCell(4, 5),
                 {0, 0, 48, 64}},
        // Dragged past the view's edge: the selection ends on the edge cell.
        DragCase{"PastTheEdge", CenterOf(38, 29), {5000, 5000}, {20, 20}, PackCell(58, 49), PackCell(60, 50),
                 {592, 448, 640, 480}},
        DragCase{"PastTheEdgeOfASmallView", CenterOf(2, 2), {-100, 900}, {0, 0, 160, 192}, PackCell(1, 2),
                 PackCell(2, 12), {0, 16, 32, 192}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- the selection cut to the map ---

TEST(SelectedBlock, IsCutToTheMap)
{
    OpenLevel lvl;
    LoadMemoryLevel(lvl, 10, 8, false, NumberedCells(10, 8));
    EXPECT_EQ(SelectedBlock(Selected(2, 3, 5, 4), lvl), (CellBlock{2, 3, 5, 4}));
    // Made on a larger level before this one was loaded.
    EXPECT_EQ(SelectedBlock(Selected(5, 5, 40, 30), lvl), (CellBlock{5, 5, 10, 8}));
    EXPECT_EQ(SelectedBlock(Selected(20, 2, 30, 3), lvl), std::nullopt);
    EXPECT_EQ(SelectedBlock(Selected(2, 9, 3, 12), lvl), std::nullopt);
    // Before the first selection both corners are 0, which names no cell.
    EXPECT_EQ(SelectedBlock(MapSelection{}, lvl), std::nullopt);
}

TEST(SelectedBlock, NothingWithNoLevelOpen)
{
    OpenLevel lvl;
    LoadMemoryLevel(lvl, 10, 8, false, NumberedCells(10, 8));
    lvl.CloseLevelFile();
    EXPECT_EQ(SelectedBlock(Selected(1, 1, 2, 2), lvl), std::nullopt);
}

TEST(MapClipboardCommands, ChangeNothingBeforeTheFirstSelectionOrWithNoLevelOpen)
{
    for (const bool open : {true, false}) {
        SCOPED_TRACE(open ? "level open, no selection" : "no level open");
        OpenLevel lvl;
        LoadMemoryLevel(lvl, 4, 3, true, NumberedCells(4, 3));
        const MapSelection sel = open ? MapSelection{} : Selected(1, 1, 2, 2);
        const auto bytes = FileBytes(lvl);
        if (!open) lvl.SetLoaded(false);  // as after a load that did not complete
        const CellGrid grid = lvl.Grid();
        MapClipboard clip;
        clip.ClipBuffer = {{7}};
        clip.ClipSize = PackCell(1, 1);

        EXPECT_FALSE(CopySelection(lvl, sel, clip));
        EXPECT_FALSE(CutSelection(lvl, sel, clip));
        EXPECT_FALSE(DeleteSelection(lvl, sel));
        EXPECT_FALSE(PasteSelection(lvl, sel, clip).Written);

        EXPECT_EQ(lvl.Grid(), grid);
        EXPECT_EQ(FileBytes(lvl), bytes);
        EXPECT_EQ(clip.ClipBuffer, (std::vector<std::vector<std::uint16_t>>{{7}}));
        EXPECT_EQ(clip.ClipSize, PackCell(1, 1));
    }
}

// --- Copy, Delete, Cut ---

class ClipboardOnLevel : public ::testing::TestWithParam<bool> {
protected:
    bool Wide() const { return GetParam(); }
};

TEST_P(ClipboardOnLevel, CopyTakesTheSelectedBlockColumnByRowAndLeavesTheFile)
{
    OpenLevel lvl;
    LoadMemoryLevel(lvl, 6, 4, Wide(), NumberedCells(6, 4));
    const auto bytes = FileBytes(lvl);
    MapClipboard clip;
    ASSERT_TRUE(CopySelection(lvl, Selected(2, 2, 4, 3), clip));
    EXPECT_EQ(clip.ClipSize, PackCell(3, 2));
    EXPECT_EQ(clip.Columns(), 3);
    EXPECT_EQ(clip.Rows(), 2);
    // [column][row]: cell (x, y) holds (y - 1) * 6 + x.
    EXPECT_EQ(clip.ClipBuffer, (std::vector<std::vector<std::uint16_t>>{{8, 14}, {9, 15}, {10, 16}}));
    EXPECT_EQ(FileBytes(lvl), bytes);
}

TEST_P(ClipboardOnLevel, DeleteWritesEmptySpaceForEverySelectedCell)
{
    OpenLevel lvl;
    LoadMemoryLevel(lvl, 6, 4, Wide(), NumberedCells(6, 4));
    auto want = FileBytes(lvl);
    ASSERT_TRUE(DeleteSelection(lvl, Selected(5, 3, 6, 4)));
    const std::size_t cellBytes = Wide() ? 2 : 1;
    for (const auto& [x, y] : {std::pair{5, 3}, {6, 3}, {5, 4}, {6, 4}}) {
        EXPECT_EQ(lvl.Grid().At(x, y), 0);
        for (std::size_t b = 0; b < cellBytes; ++b)
            want[test::kStandardBodyStart + cellBytes * ((y - 1) * 6 + x - 1) + b] = 0;
    }
    EXPECT_EQ(FileBytes(lvl), want) << "only the selected cells change, to zero bytes";
    // One write a row of the block (each write of a step waits for the disk), not one a cell.
    ASSERT_EQ(lvl.Steps().size(), 1u);
    const std::vector<LevelEdit>& edits = lvl.Steps()[0].Edits;
    ASSERT_EQ(edits.size(), 2u);
    for (std::size_t row = 0; row < 2; ++row) {
        EXPECT_EQ(edits[row].Offset, static_cast<std::int64_t>(test::kStandardBodyStart + cellBytes * ((2 + row) * 6 + 4)));
        EXPECT_EQ(edits[row].After, std::vector<std::uint8_t>(2 * cellBytes, 0));
    }
}

TEST_P(ClipboardOnLevel, CutCopiesThenDeletes)
{
    OpenLevel lvl;
    LoadMemoryLevel(lvl, 6, 4, Wide(), NumberedCells(6, 4));
    MapClipboard clip;
    ASSERT_TRUE(CutSelection(lvl, Selected(1, 1, 2, 1), clip));
    EXPECT_EQ(clip.ClipBuffer, (std::vector<std::vector<std::uint16_t>>{{1}, {2}}));
    EXPECT_EQ(FileCell(lvl, 1, 1), 0);
    EXPECT_EQ(FileCell(lvl, 2, 1), 0);
    EXPECT_EQ(FileCell(lvl, 3, 1), 3);
    ExpectFileMatchesGrid(lvl);
}

// --- Paste ---

TEST_P(ClipboardOnLevel, PasteIntoASmallerSelectionLaysTheBlocksTopLeftPart)
{
    OpenLevel lvl;
    LoadMemoryLevel(lvl, 8, 6, Wide(), NumberedCells(8, 6));
    MapClipboard clip;
    ASSERT_TRUE(CopySelection(lvl, Selected(1, 1, 3, 2), clip));  // 3 x 2: 1 2 3 / 9 10 11
    const PasteResult r = PasteSelection(lvl, Selected(5, 4, 6, 5), clip);
    EXPECT_TRUE(r.Written);
    EXPECT_EQ(r.Pasted, 4);
    EXPECT_EQ(r.Skipped, 0);
    EXPECT_EQ(FileCell(lvl, 5, 4), 1);
    EXPECT_EQ(FileCell(lvl, 6, 4), 2);
    EXPECT_EQ(FileCell(lvl, 5, 5), 9);
    EXPECT_EQ(FileCell(lvl, 6, 5), 10);
    EXPECT_EQ(FileCell(lvl, 7, 4), 31) << "the block's third column is not pasted";
    ExpectFileMatchesGrid(lvl);
}

TEST_P(ClipboardOnLevel, ASelectionLargerThanTheBlockPastesNothingWritesNothingAndSaysWhy)
{
    struct Case {
        int x1, y1, x2, y2;
        const char* refusal;
    };
    const Case cases[] = {
        {2, 5, 5, 6, "The selection is 4 x 2 cells, the copied block 3 x 2"},
        {1, 3, 5, 5, "The selection is 5 x 3 cells, the copied block 3 x 2"},
        {6, 4, 6, 6, "The selection is 1 x 3 cells, the copied block 3 x 2"},
    };
    OpenLevel lvl;
    LoadMemoryLevel(lvl, 8, 6, Wide(), NumberedCells(8, 6));
    MapClipboard clip;
    ASSERT_TRUE(CopySelection(lvl, Selected(1, 1, 3, 2), clip));
    const CellGrid grid = lvl.Grid();
    const auto bytes = FileBytes(lvl);
    for (const Case& c : cases) {
        const PasteResult r = PasteSelection(lvl, Selected(c.x1, c.y1, c.x2, c.y2), clip);
        EXPECT_FALSE(r.Written);
        EXPECT_EQ(r.Pasted, 0);
        EXPECT_EQ(r.Refusal, std::string(c.refusal) +
                                 ": a paste fills the selection from the block's top-left corner, so the selection "
                                 "may not be wider or higher than the block. Click one cell to paste the whole block "
                                 "there. Nothing was pasted.");
        EXPECT_EQ(PasteStatusText(r), "");
    }
    EXPECT_EQ(lvl.Grid(), grid);
    EXPECT_EQ(FileBytes(lvl), bytes);
    EXPECT_TRUE(lvl.Steps().empty()) << "no step to undo";
}

TEST_P(ClipboardOnLevel, AOneCellSelectionTakesTheWholeBlockAsFarAsTheMapReaches)
{
    struct Case {
        int x, y;
        CellBlock block;
        const char* status;
        const char* step;
    };
    const Case cases[] = {
        {4, 3, {4, 3, 6, 4}, "pasted 3 x 2 cells at x 4, y 3", "Paste 3 x 2 cells"},
        {7, 6, {7, 6, 8, 6}, "pasted 2 x 1 cells at x 7, y 6", "Paste 2 x 1 cells"},  // cut at the map's edges
        {8, 1, {8, 1, 8, 2}, "pasted 1 x 2 cells at x 8, y 1", "Paste 1 x 2 cells"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        OpenLevel lvl;
        LoadMemoryLevel(lvl, 8, 6, Wide(), NumberedCells(8, 6));
        MapClipboard clip;
        ASSERT_TRUE(CopySelection(lvl, Selected(1, 1, 3, 2), clip));  // 1 2 3 / 9 10 11
        const CellGrid before = lvl.Grid();
        const PasteResult r = PasteSelection(lvl, Selected(c.x, c.y, c.x, c.y), clip);
        EXPECT_TRUE(r.Written);
        EXPECT_EQ(r.Block, c.block);
        EXPECT_EQ(r.Pasted, c.block.Width() * c.block.Height());
        EXPECT_EQ(PasteStatusText(r), c.status);
        for (int y = 1; y <= 6; ++y)
            for (int x = 1; x <= 8; ++x) {
                const bool in = x >= c.block.Left && x <= c.block.Right && y >= c.block.Top && y <= c.block.Bottom;
                const std::uint16_t want = in ? static_cast<std::uint16_t>((y - c.y) * 8 + (x - c.x) + 1) : before.At(x, y);
                ASSERT_EQ(FileCell(lvl, x, y), want) << x << "," << y;
            }
        ASSERT_EQ(lvl.Steps().size(), 1u);
        EXPECT_EQ(lvl.Steps()[0].Name, c.step);
        ExpectFileMatchesGrid(lvl);
    }
}

TEST_P(ClipboardOnLevel, TheClipboardIsCarriedIntoTheNextLevel)
{
    OpenLevel lvl;
    LoadMemoryLevel(lvl, 8, 6, true, NumberedCells(8, 6, 100));
    MapClipboard clip;
    ASSERT_TRUE(CopySelection(lvl, Selected(2, 2, 3, 3), clip));  // 110 111 / 118 119

    LoadMemoryLevel(lvl, 5, 5, Wide(), std::vector<std::uint16_t>(25, 2));
    const PasteResult r = PasteSelection(lvl, Selected(4, 4, 5, 5), clip);
    EXPECT_EQ(r.Pasted, 4);
    EXPECT_EQ(FileCell(lvl, 4, 4), 110);
    EXPECT_EQ(FileCell(lvl, 5, 4), 111);
    EXPECT_EQ(FileCell(lvl, 4, 5), 118);
    EXPECT_EQ(FileCell(lvl, 5, 5), 119);
    ExpectFileMatchesGrid(lvl);
}

INSTANTIATE_TEST_SUITE_P(CellWidths, ClipboardOnLevel, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "TwoBytes" : "OneByte"; });

TEST(Paste, CodesOf256AndAboveAreNotWrittenIntoAOneByteLevel)
{
    OpenLevel lvl;
    LoadMemoryLevel(lvl, 4, 2, true, {300, 5, 256, 255, 1, 1, 1, 1});
    MapClipboard clip;
    ASSERT_TRUE(CopySelection(lvl, Selected(1, 1, 4, 1), clip));

    LoadMemoryLevel(lvl, 4, 2, false, {9, 9, 9, 9, 9, 9, 9, 9});
    const auto before = FileBytes(lvl);
    const PasteResult r = PasteSelection(lvl, Selected(1, 2, 4, 2), clip);
    EXPECT_TRUE(r.Written);
    EXPECT_EQ(r.Pasted, 2);
    EXPECT_EQ(r.Skipped, 2);
    // 300 and 256 would reach the file as 44 and 0: those cells stay as they were.
    EXPECT_EQ(lvl.Grid().At(1, 2), 9);
    EXPECT_EQ(lvl.Grid().At(3, 2), 9);
    EXPECT_EQ(lvl.Grid().At(2, 2), 5);
    EXPECT_EQ(lvl.Grid().At(4, 2), 255);
    auto want = before;
    want[test::kStandardBodyStart + 5] = 5;
    want[test::kStandardBodyStart + 7] = 255;
    EXPECT_EQ(FileBytes(lvl), want);
    EXPECT_EQ(PasteSkippedMessage(r.Skipped),
              "2 cells were not pasted: this level stores one byte per cell, which cannot hold element codes "
              "of 256 and above.");
    EXPECT_EQ(PasteSkippedMessage(1).substr(0, 20), "1 cell was not paste");
}

TEST(Paste, AnEmptyClipboardPastesNothingWritesNothingAndSaysSo)
{
    OpenLevel lvl;
    LoadMemoryLevel(lvl, 4, 2, false, NumberedCells(4, 2));
    const CellGrid grid = lvl.Grid();
    const auto bytes = FileBytes(lvl);
    for (const MapSelection& sel : {Selected(1, 1, 1, 1), Selected(1, 1, 3, 2)}) {
        const PasteResult r = PasteSelection(lvl, sel, MapClipboard{});
        EXPECT_FALSE(r.Written);
        EXPECT_EQ(r.Pasted, 0);
        EXPECT_EQ(r.Refusal, "Nothing has been copied yet: select cells and Copy them (Ctrl+C) first. Nothing was "
                             "pasted.");
    }
    EXPECT_EQ(lvl.Grid(), grid);
    EXPECT_EQ(FileBytes(lvl), bytes);
    EXPECT_TRUE(lvl.Steps().empty());
}

TEST(Paste, ABlockOfOnlyCodesAOneByteLevelCannotHoldWritesNothing)
{
    OpenLevel lvl;
    LoadMemoryLevel(lvl, 2, 1, true, {300, 400});
    MapClipboard clip;
    ASSERT_TRUE(CopySelection(lvl, Selected(1, 1, 2, 1), clip));
    LoadMemoryLevel(lvl, 3, 1, false, {9, 9, 9});
    const auto bytes = FileBytes(lvl);
    const PasteResult r = PasteSelection(lvl, Selected(2, 1, 2, 1), clip);
    EXPECT_FALSE(r.Written);
    EXPECT_EQ(r.Skipped, 2);
    EXPECT_EQ(FileBytes(lvl), bytes);
    EXPECT_TRUE(lvl.Steps().empty());
}

// --- Level Sketch ---

struct TokenCase {
    std::uint16_t code;
    const char* token;
};

void PrintTo(const TokenCase& c, std::ostream* os) { *os << "code " << c.code; }

class SketchToken : public ::testing::TestWithParam<TokenCase> {};

TEST_P(SketchToken, BackquoteAndThreeDigits)
{
    EXPECT_EQ(LevelSketchToken(GetParam().code), GetParam().token);
}

INSTANTIATE_TEST_SUITE_P(Codes, SketchToken,
                         ::testing::Values(TokenCase{0, "`000"}, TokenCase{1, "`001"}, TokenCase{6, "`006"},
                                           TokenCase{99, "`099"}, TokenCase{359, "`359"}, TokenCase{360, "`360"},
                                           TokenCase{500, "`360"}, TokenCase{615, "`360"}, TokenCase{616, "`616"},
                                           TokenCase{623, "`623"}, TokenCase{624, "`624"}, TokenCase{630, "`624"},
                                           TokenCase{655, "`624"}, TokenCase{656, "`656"}, TokenCase{700, "`700"},
                                           TokenCase{1000, "`1000"}, TokenCase{65535, "`65535"}));

TEST(LevelSketch, OneLineARowTopRowFirst)
{
    OpenLevel lvl;
    LoadMemoryLevel(lvl, 3, 3, true, {1, 500, 630, 700, 700, 0, 6, 7, 8});
    MapClipboard clip;
    ASSERT_TRUE(CopySelection(lvl, Selected(1, 1, 3, 2), clip));
    EXPECT_EQ(LevelSketchLines(clip), (std::vector<std::string>{"`001`360`624", "`700`700`000"}));
    ASSERT_TRUE(CopySelection(lvl, Selected(1, 2, 1, 2), clip));
    EXPECT_EQ(LevelSketchLines(clip), (std::vector<std::string>{"`700"}));
    EXPECT_TRUE(LevelSketchLines(MapClipboard{}).empty());
}

}  // namespace
}  // namespace vantrel
