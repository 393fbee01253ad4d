// The CE Manager page's views: what every bound control shows for a CE list
// line, and what is read (and not read) to show it.
#include "ce/CeBytes.h"
#include "ce/CeRecord.h"
#include "ce/CeViews.h"
#include "level/Loader.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

namespace vantrel {
namespace {

using test::Bytes;
using test::CeSpec;
using test::Cus4Chunk;
using test::PageSpec;

const std::string kLabel = "Current Change Page =              of ";

// A level loaded from bytes in memory, its CE list and a log of the reads
// made after the load.
struct Level {
    OpenLevel lvl;
    LoadReport report;
    test::ReadLogFile* file = nullptr;

    std::int64_t Record(int line) const { return lvl.CePositions().at(static_cast<std::size_t>(line)); }
    CeView Click(int line) const
    {
        const auto view = CeViewOfLine(lvl, line, std::string(report.CeList.at(static_cast<std::size_t>(line))));
        EXPECT_TRUE(view.has_value());
        return view.value_or(CeView{});
    }
};

std::unique_ptr<Level> LoadCes(const std::vector<CeSpec>& ces)
{
    auto level = std::make_unique<Level>();
    std::vector<Bytes> chunks;
    for (const CeSpec& ce : ces) chunks.push_back(Cus4Chunk(ce));
    auto file = std::make_unique<test::ReadLogFile>("level", test::LevelWithChunks(chunks));
    level->file = file.get();
    test::ScriptedUi ui;
    LoadLevelFrom(level->lvl, std::move(file), level->report);
    EXPECT_TRUE(level->report.Completed);
    EXPECT_EQ(level->lvl.CePositions().size(), ces.size());
    level->file->reads.clear();
    return level;
}

// An open level whose file holds bytes and whose CE position list is given,
// as a file changed after its load can be.
std::unique_ptr<Level> OpenBytes(const Bytes& bytes, std::vector<std::int32_t> positions)
{
    auto level = std::make_unique<Level>();
    auto file = std::make_unique<test::ReadLogFile>("level", bytes);
    level->file = file.get();
    level->lvl.AttachFile(std::move(file));
    level->lvl.SetLoaded(true);
    ChunkIndex index;
    index.CePositions = std::move(positions);
    level->lvl.SetIndex(std::move(index));
    for (std::size_t i = 0; i < level->lvl.CePositions().size(); ++i)
        level->report.CeList.push_back(std::to_string(i + 1) + ": cut " + std::to_string(i + 1));
    return level;
}

PageSpec Page(std::uint16_t changeTo, std::uint8_t canChange = 1)
{
    PageSpec p;
    p.changeTo = changeTo;
    p.canChange = canChange;
    return p;
}

CeSpec Ce(int number, std::string name, std::vector<PageSpec> pages)
{
    CeSpec ce;
    ce.number = number;
    ce.name = std::move(name);
    ce.pages = std::move(pages);
    return ce;
}

// --- HexOfFileBytes and the tiles ---

struct HexCase {
    std::int64_t position;
    int count;
    int group;
    std::optional<std::string> want;
};

TEST(HexOfFileBytesTest, BytesAsUpperCaseHexWithASeparatorAfterEveryGroup)
{
    MemoryFile file("hex", Bytes{0x00, 0x00, 0x01, 0x68, 0xAB, 0xCD, 0x0F});
    const std::vector<HexCase> cases = {
        {2, 2, 0, "0168"},           {0, 6, 2, "0000 0168 ABCD "}, {4, 3, 1, "AB CD 0F "},
        {4, 3, 2, "ABCD 0F"},         {0, 0, 2, ""},               {7, 0, 0, ""},
        {6, 2, 0, std::nullopt},      {2, 6, 2, std::nullopt},     {-1, 2, 0, std::nullopt},
    };
    for (const HexCase& c : cases) {
        file.Seek(1);
        EXPECT_EQ(HexOfFileBytes(file, c.position, c.count, c.group, " "), c.want)
            << c.position << "," << c.count << "," << c.group;
        EXPECT_EQ(file.Position(), 1);
    }
    EXPECT_EQ(HexOfFileBytes(file, 0, 6, 2, " ")->size(), 15u);
}

TEST(ElementCodesToDrawTest, OneCodeOrRowsOfThree)
{
    EXPECT_EQ(ElementCodesToDraw("0168"), (std::vector<TileCode>{{1, 1, 0x0168, {0, 0, 16, 16}}}));
    EXPECT_EQ(ElementCodesToDraw("013c"), (std::vector<TileCode>{{1, 1, 0x013C, {0, 0, 16, 16}}}));
    EXPECT_TRUE(ElementCodesToDraw("").empty());
    EXPECT_TRUE(ElementCodesToDraw("01G8").empty());
    EXPECT_TRUE(ElementCodesToDraw("10000").empty());

    const std::vector<TileCode> tiles =
        ElementCodesToDraw(MemoText({"0001 0002 0003 ", "0004 0005 0006 ", "0007 0008 0168 "}));
    ASSERT_EQ(tiles.size(), 9u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(tiles[static_cast<std::size_t>(i)].Code, i + 1);
    EXPECT_EQ(tiles[1], (TileCode{2, 1, 2, {16, 0, 32, 16}}));
    EXPECT_EQ(tiles[5], (TileCode{3, 2, 6, {32, 16, 48, 32}}));
    EXPECT_EQ(tiles[8], (TileCode{3, 3, 0x0168, {32, 32, 48, 48}}));

    // Lines that are left empty paint nothing in their row.
    const std::vector<TileCode> partial = ElementCodesToDraw(MemoText({"0001 0002 0003 ", "", ""}));
    EXPECT_EQ(partial.size(), 3u);
    EXPECT_EQ(MemoText({"a", "b", "c"}), "a\r\nb\r\nc\r\n");
}

// --- the click on a CE list line ---

struct OpenPageCase {
    int pages;
};

class CeOpensOnLastPageTest : public ::testing::TestWithParam<OpenPageCase> {};

TEST_P(CeOpensOnLastPageTest, SpinEditOffersEveryPageAndShowsTheLast)
{
    const int pages = GetParam().pages;
    std::vector<PageSpec> specs;
    for (int p = 1; p <= pages; ++p) specs.push_back(Page(static_cast<std::uint16_t>(0x0100 + p)));
    const auto level = LoadCes({Ce(3, "three", specs)});
    const CeView v = level->Click(0);
    EXPECT_EQ(v.ChangePageLabel, kLabel + std::to_string(pages));
    EXPECT_EQ(v.PageCount, pages);
    EXPECT_EQ(v.PagesOffered, pages);
    EXPECT_TRUE(v.PageEnabled);
    EXPECT_EQ(v.PageMin, 1);
    EXPECT_EQ(v.PageMax, pages);
    EXPECT_EQ(v.PageValue, pages);
    EXPECT_EQ(v.ChangePage.Page, pages);
    EXPECT_EQ(v.ChangePage.Position, level->Record(0) + 48 + 48 * pages);
    char want[8];
    std::snprintf(want, sizeof want, "%04X", 0x0100 + pages);
    EXPECT_EQ(v.ChangePage.ChangeTo, want);
    EXPECT_TRUE(v.Notice.empty());
    EXPECT_LT(level->file->ReadSpan().second, level->Record(0) + 96 + 48 * pages);
}

INSTANTIATE_TEST_SUITE_P(Pages, CeOpensOnLastPageTest,
                         ::testing::Values(OpenPageCase{1}, OpenPageCase{3}, OpenPageCase{16}, OpenPageCase{20}));

TEST(CeViewsTest, ThreePagesOpenOnPage3)
{
    const auto level = LoadCes({Ce(1, "a", {Page(0x0161), Page(0x0162), Page(0x0163)})});
    const CeView v = level->Click(0);
    EXPECT_EQ(v.ChangePageLabel, "Current Change Page =              of 3");
    EXPECT_EQ(v.ChangePageLabel.size(), 38u + 1u);
    EXPECT_EQ(v.PageValue, 3);
    EXPECT_EQ(v.ChangePage.ChangeTo, "0163");
    for (int p = 1; p <= 3; ++p) {
        const auto page = ChangePageViewOf(level->lvl, 0, p);
        ASSERT_TRUE(page) << p;
        EXPECT_EQ(page->ChangeTo, "016" + std::to_string(p));
    }
}

TEST(CeViewsTest, ACeWithoutChangePagesOffersNoPageAndReadsOnlyItsBaseBlock)
{
    CeSpec zero = Ce(7, "no pages", {});
    zero.graphicOf = 0x0168;
    CeSpec next = Ce(8, "next", {Page(0x0999), Page(0x0999)});
    const auto level = LoadCes({zero, next});
    const std::int64_t r = level->Record(0);

    const CeView v = level->Click(0);
    EXPECT_EQ(v.ChangePageLabel, "Current Change Page =              of 0");
    EXPECT_EQ(v.PageCount, 0);
    EXPECT_EQ(v.PagesOffered, 0);
    EXPECT_FALSE(v.PageEnabled);
    EXPECT_EQ(v.PageMin, 0);
    EXPECT_EQ(v.PageMax, 0);
    EXPECT_EQ(v.PageValue, 0);
    EXPECT_EQ(v.ChangePage, CeChangePageView{});
    EXPECT_FALSE(v.ChangePage.GroupVisible);
    EXPECT_FALSE(v.ChangePage.CanChange);
    EXPECT_EQ(v.GraphicOf, "0168");
    EXPECT_EQ(v.Name, "no pages");
    EXPECT_TRUE(v.Notice.empty());
    auto [lo, hi] = level->file->ReadSpan();
    EXPECT_GE(lo, r);
    EXPECT_LT(hi, r + 96);

    for (int page : {0, 1, 2, -1}) {
        level->file->reads.clear();
        EXPECT_FALSE(ChangePageViewOf(level->lvl, 0, page)) << page;
        EXPECT_LT(level->file->ReadSpan().second, r + 96) << page;
    }
}

TEST(CeViewsTest, APageNumberOutsideTheRecordShowsNothingNewAndReadsNothingOutside)
{
    const auto level = LoadCes({Ce(1, "a", {Page(1), Page(2), Page(3)}), Ce(2, "b", {Page(9)})});
    const std::int64_t r = level->Record(0);
    for (int page : {0, 4, 5, -1, 256, 1 << 20}) {
        level->file->reads.clear();
        EXPECT_FALSE(ChangePageViewOf(level->lvl, 0, page)) << page;
        const auto [lo, hi] = level->file->ReadSpan();
        if (lo != -1) {
            EXPECT_GE(lo, r) << page;
            EXPECT_LT(hi, r + 96 + 3 * 48) << page;
        }
    }
    EXPECT_TRUE(ChangePageViewOf(level->lvl, 0, 1));
}

TEST(CeViewsTest, CanChangeShowsAndHidesTheChangePageGroup)
{
    const auto level = LoadCes({Ce(1, "a", {Page(0x0168, 1), Page(0x0169, 0), Page(0x016A, 7)})});
    const CeView v = level->Click(0);
    EXPECT_FALSE(v.ChangePage.CanChange);  // page 3: 7 is not 1
    EXPECT_FALSE(v.ChangePage.GroupVisible);
    const std::vector<std::pair<int, bool>> cases = {{1, true}, {2, false}, {1, true}, {3, false}};
    for (const auto& [page, shown] : cases) {
        const auto p = ChangePageViewOf(level->lvl, 0, page);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->CanChange, shown) << page;
        EXPECT_EQ(p->GroupVisible, shown) << page;
    }
}

struct DelayTypeCase {
    std::uint16_t stored;
    int index;
};

class CeDelayTypeTest : public ::testing::TestWithParam<DelayTypeCase> {};

TEST_P(CeDelayTypeTest, FiftyFramesAUnitMeanSeconds)
{
    PageSpec p = Page(0);
    p.delayType = GetParam().stored;
    const auto level = LoadCes({Ce(1, "a", {p})});
    const CeView v = level->Click(0);
    EXPECT_EQ(v.ChangePage.DelayTypeIndex, GetParam().index);
    EXPECT_EQ(v.ChangePage.DelayTypeStored, GetParam().stored);
    EXPECT_EQ(kDelayTypeItems[static_cast<std::size_t>(v.ChangePage.DelayTypeIndex)],
              GetParam().index == 1 ? "Seconds" : "Frames");
}

INSTANTIATE_TEST_SUITE_P(Types, CeDelayTypeTest,
                         ::testing::Values(DelayTypeCase{50, 1}, DelayTypeCase{1, 0}, DelayTypeCase{0, 0},
                                           DelayTypeCase{25, 0}, DelayTypeCase{0x3200, 0}));

struct DelayBitCase {
    std::uint32_t eventBits;
    bool checked;
};

class CeDelayBitTest : public ::testing::TestWithParam<DelayBitCase> {};

TEST_P(CeDelayBitTest, TheDelayBoxFollowsBit0OfTheLowByteAlone)
{
    PageSpec p = Page(0);
    p.eventBits = GetParam().eventBits;
    const auto level = LoadCes({Ce(1, "a", {p})});
    EXPECT_EQ(level->Click(0).ChangePage.DelayCheck, GetParam().checked);
}

INSTANTIATE_TEST_SUITE_P(Bits, CeDelayBitTest,
                         ::testing::Values(DelayBitCase{0x01, true}, DelayBitCase{0x03, true},
                                           DelayBitCase{0x02, false}, DelayBitCase{0x00, false},
                                           DelayBitCase{0x0100, false}, DelayBitCase{0x01000000, false},
                                           DelayBitCase{0xFFFFFFFF, true}));

TEST(CeViewsTest, DelaysAboveTheSpinRangeShowAs999AndKeepTheStoredValue)
{
    PageSpec p = Page(0);
    p.delayFixed = 1200;
    p.delayRandom = 999;
    const auto level = LoadCes({Ce(1, "a", {p})});
    const CeChangePageView v = level->Click(0).ChangePage;
    EXPECT_EQ(v.DelayFixed, 999);
    EXPECT_EQ(v.DelayFixedStored, 1200);
    EXPECT_EQ(v.DelayRandom, 999);
    EXPECT_EQ(v.DelayRandomStored, 999);
}

TEST(CeViewsTest, ExplodeContentTopRowWithCe1InTheMiddle)
{
    CeSpec ce = Ce(1, "a", {Page(0)});
    ce.explode = {0, 360, 0, 0, 0, 0, 0, 0, 0};
    const auto level = LoadCes({ce});
    const CeView v = level->Click(0);
    EXPECT_EQ(v.ExplodeContLines[0], "0000 0168 0000 ");
    EXPECT_EQ(v.ExplodeContLines[0].size(), 15u);
    EXPECT_EQ(v.ExplodeContLines[1], "0000 0000 0000 ");
    EXPECT_EQ(v.ExplodeContLines[2], "0000 0000 0000 ");
    ASSERT_EQ(v.ExplodeContTiles.size(), 9u);
    EXPECT_EQ(v.ExplodeContTiles[1], (TileCode{2, 1, 360, {16, 0, 32, 16}}));
    for (std::size_t i : {0u, 2u, 3u, 8u}) EXPECT_EQ(v.ExplodeContTiles[i].Code, 0) << i;
}

CeSpec Rich(int number, std::uint16_t base)
{
    CeSpec ce;
    ce.number = number;
    ce.name = "CE " + std::to_string(number);
    ce.useGraphicOf = number % 2 ? 1 : 0;
    ce.graphicOf = base;
    for (std::size_t i = 0; i < 9; ++i) ce.explode[i] = static_cast<std::uint16_t>(base + i);
    for (int p = 1; p <= number; ++p) {
        PageSpec s;
        s.eventBits = static_cast<std::uint32_t>(number % 2);
        s.changeTo = static_cast<std::uint16_t>(base + 0x10 + p);
        s.delayFixed = static_cast<std::uint16_t>(number * 10 + p);
        s.delayRandom = static_cast<std::uint16_t>(number * 20 + p);
        s.delayType = number % 2 ? 50 : 1;
        s.condElement = static_cast<std::uint16_t>(base + 0x20 + p);
        s.useExtChange = number % 2 ? 1 : 0;
        for (std::size_t i = 0; i < 9; ++i) s.extChange[i] = static_cast<std::uint16_t>(base + 0x30 + i);
        s.canChange = number % 2 ? 1 : 0;
        ce.pages.push_back(s);
    }
    return ce;
}

TEST(CeViewsTest, TwoClicksOnDifferentCesShowTheSecondCesValuesInEveryControl)
{
    const auto level = LoadCes({Rich(1, 0x0100), Rich(2, 0x0200)});
    const CeView first = level->Click(0);
    const CeView second = level->Click(1);
    EXPECT_EQ(second, ReadCeView(level->lvl.File(), level->Record(1), "CE 2"));
    EXPECT_EQ(second.Name, "CE 2");
    EXPECT_FALSE(second.UseGraphicOf);
    EXPECT_EQ(second.GraphicOf, "0200");
    EXPECT_EQ(second.GraphicOfTiles, (std::vector<TileCode>{{1, 1, 0x0200, {0, 0, 16, 16}}}));
    EXPECT_EQ(second.ExplodeContLines, (std::array<std::string, 3>{"0200 0201 0202 ", "0203 0204 0205 ",
                                                                   "0206 0207 0208 "}));
    EXPECT_EQ(second.ChangePageLabel, kLabel + "2");
    EXPECT_EQ(second.PageValue, 2);
    const CeChangePageView& p = second.ChangePage;
    EXPECT_FALSE(p.CanChange);
    EXPECT_FALSE(p.GroupVisible);
    EXPECT_EQ(p.ChangeTo, "0212");
    EXPECT_FALSE(p.DelayCheck);
    EXPECT_EQ(p.DelayFixed, 22);
    EXPECT_EQ(p.DelayRandom, 42);
    EXPECT_EQ(p.DelayTypeIndex, 0);
    EXPECT_EQ(p.ChangeCondEl, "0222");
    EXPECT_FALSE(p.ExtChangeCheck);
    EXPECT_EQ(p.ExtChangeLines[2], "0236 0237 0238 ");
    ASSERT_EQ(p.ExtChangeTiles.size(), 9u);
    EXPECT_EQ(p.ExtChangeTiles[8].Code, 0x0238);

    // Every bound control of the first view showed something else.
    EXPECT_NE(first.Name, second.Name);
    EXPECT_NE(first.UseGraphicOf, second.UseGraphicOf);
    EXPECT_NE(first.GraphicOf, second.GraphicOf);
    EXPECT_NE(first.ExplodeContLines, second.ExplodeContLines);
    EXPECT_NE(first.ChangePageLabel, second.ChangePageLabel);
    EXPECT_NE(first.PageValue, second.PageValue);
    EXPECT_NE(first.ChangePage.CanChange, p.CanChange);
    EXPECT_NE(first.ChangePage.ChangeTo, p.ChangeTo);
    EXPECT_NE(first.ChangePage.DelayCheck, p.DelayCheck);
    EXPECT_NE(first.ChangePage.DelayFixed, p.DelayFixed);
    EXPECT_NE(first.ChangePage.DelayRandom, p.DelayRandom);
    EXPECT_NE(first.ChangePage.DelayTypeIndex, p.DelayTypeIndex);
    EXPECT_NE(first.ChangePage.ChangeCondEl, p.ChangeCondEl);
    EXPECT_NE(first.ChangePage.ExtChangeCheck, p.ExtChangeCheck);
    EXPECT_NE(first.ChangePage.ExtChangeLines, p.ExtChangeLines);

    // And back: the first CE again shows exactly what it showed before.
    EXPECT_EQ(level->Click(0), first);
}

TEST(CeViewsTest, TheNameComesFromTheListLineUpToItsFirstColonBlank)
{
    const auto level = LoadCes({Ce(1, "a: b", {Page(0)})});
    EXPECT_EQ(level->report.CeList.at(0), "1: a: b");
    EXPECT_EQ(level->Click(0).Name, "a: b");
    EXPECT_EQ(CeListLineNumber("45: custom element 45"), "45");
    EXPECT_EQ(CeListLineName("45: custom element 45"), "custom element 45");
}

TEST(CeViewsTest, AClickThatSelectsNoRecordFillsNothing)
{
    const auto level = LoadCes({Ce(1, "a", {Page(0)}), Ce(2, "b", {Page(0)})});
    EXPECT_FALSE(CeViewOfLine(level->lvl, -1, ""));
    EXPECT_FALSE(CeViewOfLine(level->lvl, 2, "3: c"));
    EXPECT_FALSE(ChangePageViewOf(level->lvl, -1, 1));
    EXPECT_FALSE(ChangePageViewOf(level->lvl, 2, 1));
    EXPECT_TRUE(level->file->reads.empty());
    level->lvl.CloseLevelFile();
    EXPECT_FALSE(CeViewOfLine(level->lvl, 0, "1: a"));
    EXPECT_FALSE(ChangePageViewOf(level->lvl, 0, 1));
}

// --- records cut short by the end of the file ---

struct CutCase {
    const char* label;
    int pages;                  // stored page count
    std::int64_t length;        // bytes of the record inside the file
    std::optional<int> pageCount;
    int offered;
    bool useGraphicKnown;
    std::string graphicOf;
    int explodeRowsShown;
    std::string notice;         // after "The custom element record at R runs past the end of the file (S bytes): "
};

class CeCutRecordTest : public ::testing::TestWithParam<CutCase> {};

TEST_P(CeCutRecordTest, ShowsWhatLiesInsideTheFileAndNothingFalse)
{
    const CutCase c = GetParam();
    std::vector<PageSpec> pages;
    for (int p = 1; p <= c.pages; ++p) pages.push_back(Page(static_cast<std::uint16_t>(0x0170 + p)));
    CeSpec ce = Ce(5, "cut", pages);
    ce.useGraphicOf = 1;
    ce.graphicOf = 0x0168;
    ce.explode = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const std::int64_t r = 20 + 8;
    Bytes bytes = test::Concat({Bytes(20, 0), Cus4Chunk(ce)});
    bytes.resize(static_cast<std::size_t>(r + c.length));
    const auto level = OpenBytes(bytes, {static_cast<std::int32_t>(r)});

    const CeView v = level->Click(0);
    EXPECT_EQ(v.PageCount, c.pageCount);
    EXPECT_EQ(v.ChangePageLabel, kLabel + (c.pageCount ? std::to_string(*c.pageCount) : std::string()));
    EXPECT_EQ(v.PagesOffered, c.offered);
    EXPECT_EQ(v.PageEnabled, c.offered > 0);
    EXPECT_EQ(v.PageMax, c.offered);
    EXPECT_EQ(v.PageValue, c.offered);
    EXPECT_EQ(v.ChangePage.Page, c.offered);
    if (c.offered > 0) {
        EXPECT_EQ(v.ChangePage.ChangeTo, "017" + std::to_string(c.offered));
    }
    EXPECT_EQ(v.UseGraphicOfEnabled, c.useGraphicKnown);
    EXPECT_EQ(v.UseGraphicOf, c.useGraphicKnown);
    EXPECT_EQ(v.GraphicOf, c.graphicOf);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(v.ExplodeContLines[static_cast<std::size_t>(row)].empty(), row >= c.explodeRowsShown) << row;
    EXPECT_EQ(v.ExplodeContTiles.size(), static_cast<std::size_t>(3 * c.explodeRowsShown));
    const std::string start = "The custom element record at 28 runs past the end of the file (" +
                              std::to_string(bytes.size()) + " bytes): ";
    EXPECT_EQ(v.Notice, c.notice.empty() ? "" : start + c.notice);
    EXPECT_LT(level->file->ReadSpan().second, static_cast<std::int64_t>(bytes.size()));

    for (int page = c.offered + 1; page <= c.pages + 1; ++page) EXPECT_FALSE(ChangePageViewOf(level->lvl, 0, page));
    EXPECT_LT(level->file->ReadSpan().second, static_cast<std::int64_t>(bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, CeCutRecordTest,
    ::testing::Values(
        CutCase{"whole", 3, 96 + 3 * 48, 3, 3, true, "0168", 3, ""},
        CutCase{"lastPageCut", 3, 96 + 2 * 48 + 47, 3, 2, true, "0168", 3, "change page 3 is not shown."},
        CutCase{"twoPagesCut", 3, 96 + 48 + 10, 3, 1, true, "0168", 3, "change pages 2 to 3 are not shown."},
        CutCase{"allPagesCut", 2, 96, 2, 0, true, "0168", 3, "change pages 1 to 2 are not shown."},
        CutCase{"baseCutInExplode", 2, 78, 2, 0, true, "0168", 2,
                "fields beyond the end are left empty and change pages 1 to 2 are not shown."},
        CutCase{"baseCutBeforeExplode", 0, 70, 0, 0, true, "0168", 0, "fields beyond the end are left empty."},
        CutCase{"baseCutInGraphic", 1, 50, 1, 0, true, "", 0,
                "fields beyond the end are left empty and change page 1 is not shown."},
        CutCase{"baseCutBeforeFlag", 1, 45, 1, 0, false, "", 0,
                "fields beyond the end are left empty and change page 1 is not shown."},
        CutCase{"baseCutBeforeCount", 1, 40, std::nullopt, 0, false, "", 0, "fields beyond the end are left empty."},
        CutCase{"nothingInside", 1, 0, std::nullopt, 0, false, "", 0, "fields beyond the end are left empty."}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CeViewsTest, ARecordPositionPastTheEndOfTheFileDoesNotFail)
{
    const auto level = OpenBytes(Bytes(30, 0), {1000, -5});
    const CeView far = level->Click(0);
    EXPECT_EQ(far.PagesOffered, 0);
    EXPECT_FALSE(far.PageCount);
    EXPECT_TRUE(far.GraphicOf.empty());
    EXPECT_FALSE(far.Notice.empty());
    const CeView negative = level->Click(1);
    EXPECT_EQ(negative.Notice, "There is no custom element record at -5.");
    EXPECT_TRUE(level->file->reads.empty());
}

// --- the controls no record field feeds ---

TEST(CeUnboundControlsTest, InitialValuesAndItems)
{
    const std::vector<CeUnboundControl>& controls = CeUnboundControls();
    EXPECT_EQ(controls.size(), 35u);
    std::set<std::string> names;
    for (const CeUnboundControl& c : controls) {
        EXPECT_TRUE(names.insert(c.Name).second) << c.Name;
        EXPECT_TRUE(c.Name.rfind("CEMan_Conf_", 0) == 0 || c.Name.rfind("CEMan_Adv_", 0) == 0) << c.Name;
        if (c.Kind == CeControlKind::CheckBox) {
            EXPECT_EQ(c.Value, 0) << c.Name;
        }
        if (c.Kind == CeControlKind::SpinEdit) {
            EXPECT_LE(c.Min, c.Value);
            EXPECT_LE(c.Value, c.Max);
        }
    }
    const std::vector<std::pair<std::string, std::string>> initial = {
        {"CEMan_Conf_WalkPass", "Walk"},
        {"CEMan_Conf_WalkPassMode", "Over"},
        {"CEMan_Conf_DigColPush", "Diggable"},
        {"CEMan_Conf_CanMoveDirs", "All Directions"},
        {"CEMan_Conf_MoveStartDir", "Automatic"},
        {"CEMan_Conf_MoveSpeed", "Normal (1 step per 9 frames)"},
        {"CEMan_Conf_CanSmashWhat", "Player"},
        {"CEMan_Conf_SlipperyTo", "Random"},
        {"CEMan_Conf_DeadlyWhen", "Running Into"},
        {"CEMan_Conf_ExplodeMode", "Can Explode 3x3"},
        {"CEMan_Adv_ChangeCondNoParam", "Touched by Player ..."},
        {"CEMan_Adv_ChangeCondWithParam", "Player Touches ..."},
        {"CEMan_Adv_ChangeCondSide", "At Any Side"},
        {"CEMan_Adv_ExtChangeReplaceCond", "Empty"},
    };
    std::size_t dropDowns = 0;
    for (const CeUnboundControl& c : controls) {
        if (c.Kind != CeControlKind::DropDown) continue;
        ++dropDowns;
        const auto it = std::find_if(initial.begin(), initial.end(), [&](const auto& e) { return e.first == c.Name; });
        ASSERT_NE(it, initial.end()) << c.Name;
        ASSERT_LT(static_cast<std::size_t>(c.Value), c.Items.size()) << c.Name;
        EXPECT_EQ(c.Items[static_cast<std::size_t>(c.Value)], it->second) << c.Name;
    }
    EXPECT_EQ(dropDowns, initial.size());
    const auto move = std::find_if(controls.begin(), controls.end(),
                                   [](const auto& c) { return c.Name == "CEMan_Conf_MoveDelayFixed"; });
    ASSERT_NE(move, controls.end());
    EXPECT_EQ(move->Value, 65535);
    EXPECT_EQ(move->Max, 65535);
}

}  // namespace
}  // namespace vantrel
