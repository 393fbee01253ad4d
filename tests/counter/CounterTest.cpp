// The counter creator on real files: the chunks a run appends, compared
// whole with chunks built here from the record layout; the level loaded
// again and read through the CE record readers; runs near CE 256; a level
// without an open file; a copy of a real level.
#include "counter/Counter.h"

#include "base/Error.h"
#include "ce/CeRecord.h"
#include "level/Loader.h"
#include "support/LevelBuilder.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "tell/Tell.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel {
namespace {

using test::Bytes;

// The pictures of the characters 0..9, A..F, written out here on their own.
const std::uint16_t kGlyph[16] = {136, 137, 138, 139, 140, 141, 142, 143, 144, 145, 153, 154, 155, 156, 157, 158};

struct Page {
    std::uint16_t k = 0, g = 0, u = 0, d = 0;
    bool delay = false;
};

struct Ce {
    int number = 1;
    std::string name;
    bool controller = false;
    std::vector<Page> pages;
};

void Word(Bytes& b, std::size_t at, int v)
{
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v);
}

// A chunk as the creator lays it out, byte by byte from the record layout.
Bytes Chunk(const Ce& ce, int counterBase)
{
    const std::size_t length = 96 + 48 * ce.pages.size();
    Bytes b(8 + length, 0);
    b[0] = 'C', b[1] = 'U', b[2] = 'S', b[3] = '4';
    b[6] = static_cast<std::uint8_t>(length >> 8), b[7] = static_cast<std::uint8_t>(length);
    const std::size_t r = 8;
    Word(b, r, 359 + ce.number);
    for (std::size_t i = 0; i < ce.name.size(); ++i) b[r + 2 + i] = static_cast<std::uint8_t>(ce.name[i]);
    Word(b, r + 36, ce.controller ? 0x00A0 : 0x0180);
    b[r + 42] = static_cast<std::uint8_t>(ce.pages.size());
    Word(b, r + 49, ce.number);
    const std::uint8_t fixed[] = {0x0A, 0x01, 0x00, 0x08, 0x00, 0x08, 0, 0, 0, 0, 0, 0x01, 0x01, 0x10};
    for (std::size_t i = 0; i < sizeof fixed; ++i) b[r + 51 + i] = fixed[i];
    for (std::size_t p = 1; p <= ce.pages.size(); ++p) {
        const Page& s = ce.pages[p - 1];
        const std::size_t q = r + 48 + 48 * p;
        b[q + 1] = 4, b[q + 2] = 1, b[q + 3] = s.delay ? 1 : 0;
        Word(b, q + 4, s.g);
        Word(b, q + 6, 2);
        Word(b, q + 10, 1);
        Word(b, q + 12, s.k);
        b[q + 15] = 1;
        b[q + 18] = 100;
        b[q + 19] = s.g == counterBase ? 0 : 2;
        Word(b, q + 22, s.u);
        Word(b, q + 28, s.g);
        Word(b, q + 34, s.d);
        b[q + 38] = 1;
        b[q + 39] = 4;
    }
    return b;
}

// The controller of a run from the code base over n list lines.
Ce Controller(int number, int steps, int base, int n)
{
    Ce ce{number, std::to_string(steps) + " counter maker by vantrel", true, {}};
    for (int i = 1; i <= n; ++i)
        ce.pages.push_back({static_cast<std::uint16_t>(i - 1), static_cast<std::uint16_t>(base),
                            static_cast<std::uint16_t>(base + i), 0, false});
    return ce;
}

// A digit CE: next[k] is the digit that follows digit k, target[k] the code its carry goes to.
Ce Digit(int number, const std::string& name, const std::vector<int>& next, const std::vector<int>& target)
{
    Ce ce{number, name, false, {}};
    for (std::size_t k = 0; k < next.size(); ++k)
        ce.pages.push_back({kGlyph[k], static_cast<std::uint16_t>(target[k]), 0,
                            kGlyph[static_cast<std::size_t>(next[k])], false});
    ce.pages.push_back({13, 0, 0, 0, true});
    return ce;
}

Bytes Chunks(const std::vector<Ce>& ces, int base)
{
    Bytes all;
    for (const Ce& ce : ces) {
        const Bytes c = Chunk(ce, base);
        all.insert(all.end(), c.begin(), c.end());
    }
    return all;
}

Bytes Cat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A small level of 3 x 2 cells and no custom element: 202 bytes.
Bytes BaseLevel()
{
    return test::LevelBuilder::Standard({.width = 3, .height = 2, .title = "Counter"}, {1, 2, 3, 4, 5, 6}, "Me")
        .Data();
}

struct RunCase {
    const char* label;
    int steps;
    std::vector<std::int32_t> list;
    int start;
    std::vector<Ce> expected;
    std::vector<std::int32_t> listAfter;
};

std::vector<int> Seq(int from, int n, int mod)
{
    std::vector<int> v;
    for (int i = 0; i < n; ++i) v.push_back(((from + i) % mod + mod) % mod);
    return v;
}

std::vector<int> Fill(std::initializer_list<std::pair<int, int>> runs)
{
    std::vector<int> v;
    for (const auto& [value, n] : runs) v.insert(v.end(), static_cast<std::size_t>(n), value);
    return v;
}

std::vector<RunCase> RunCases()
{
    return {
        {"StartState", 10, {1}, 1,
         {Controller(1, 10, 360, 1), Digit(2, "counter 1 10", Seq(1, 10, 10), Fill({{0, 9}, {361, 1}}))},
         {1}},
        {"FiveCarriesIntoAddedOne", 10, {5}, 1,
         {Controller(1, 10, 360, 1), Digit(2, "counter 5 10", Seq(5, 10, 10), Fill({{0, 5}, {362, 5}})),
          Digit(3, "counter 1 10", Seq(1, 10, 10), Fill({{0, 9}, {362, 1}}))},
         {5, 1}},
        {"MinusOneBorrowsFromItself", 10, {-1}, 1,
         {Controller(1, 10, 360, 1), Digit(2, "counter -1 10", Seq(-1, 10, 10), Fill({{361, 1}, {0, 9}}))},
         {-1}},
        {"MinusThreeAddsMinusOne", 10, {-3}, 1,
         {Controller(1, 10, 360, 1), Digit(2, "counter -3 10", Seq(-3, 10, 10), Fill({{362, 3}, {0, 7}})),
          Digit(3, "counter -1 10", Seq(-1, 10, 10), Fill({{362, 1}, {0, 9}}))},
         {-3, -1}},
        {"Hexadecimal", 16, {1}, 1,
         {Controller(1, 16, 360, 1), Digit(2, "counter 1 16", Seq(1, 16, 16), Fill({{0, 15}, {361, 1}}))},
         {1}},
        {"ZeroIsASecondController", 10, {0}, 1, {Controller(1, 10, 360, 1), Controller(2, 10, 360, 1)}, {0}},
        {"EmptyList", 10, {}, 1, {Controller(1, 10, 360, 0)}, {}},
        {"TwoIncrementsFromCe40", 10, {1, 5}, 40,
         {Controller(40, 10, 399, 2), Digit(41, "counter 1 10", Seq(1, 10, 10), Fill({{0, 9}, {400, 1}})),
          Digit(42, "counter 5 10", Seq(5, 10, 10), Fill({{0, 5}, {400, 5}}))},
         {1, 5}},
        {"EndsExactlyAtCe256", 10, {5}, 254,
         {Controller(254, 10, 613, 1), Digit(255, "counter 5 10", Seq(5, 10, 10), Fill({{0, 5}, {615, 5}})),
          Digit(256, "counter 1 10", Seq(1, 10, 10), Fill({{0, 9}, {615, 1}}))},
         {5, 1}},
    };
}

void PrintTo(const RunCase& c, std::ostream* os)
{
    *os << c.label;
}

class CounterRunTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(CounterRunTest, AppendsTheChunksOfTheRunAndListsThemAfterALoad)
{
    const RunCase& c = GetParam();
    test::TempDir dir;
    const std::string path = dir.Write("counter.level", BaseLevel());
    test::ScriptedUi ui;
    OpenLevel lvl;
    LoadReport report;
    LoadAndTell(lvl, path, ui, report);
    ASSERT_TRUE(report.Completed);

    CounterSettings settings{c.steps, c.list, c.start};
    const CounterResult result = CreateCounter(lvl, settings, ui);
    const int base = 359 + c.start;
    EXPECT_EQ(result.Outcome, CounterOutcome::Created);
    ASSERT_EQ(lvl.Steps().size(), 1u);
    EXPECT_EQ(lvl.Steps()[0].Edits.size(), 1u) << "one write for the whole run";
    lvl.CloseLevelFile();
    EXPECT_EQ(test::ReadBytes(path), Cat(BaseLevel(), Chunks(c.expected, base)));
    EXPECT_EQ(settings.Increments, c.listAfter);
    const std::string n = std::to_string(c.expected.size()), s = std::to_string(c.start);
    EXPECT_EQ(result.Message, n + " Counter Elements Created (starting at CE number " + s +
                                  "), but not placed on the map\rBe sure to change the change conditions in CE " + s +
                                  "\r");
    EXPECT_TRUE(ui.messages.empty()) << "the window says the result";

    // Loaded again: the loader lists the new CEs, the readers find every page.
    OpenLevel again;
    LoadAndTell(again, path, ui, report);
    ASSERT_EQ(report.CeList.size(), c.expected.size());
    ByteFile& f = again.File();
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
        const Ce& ce = c.expected[i];
        SCOPED_TRACE("CE " + std::to_string(ce.number));
        EXPECT_EQ(report.CeList[i], std::to_string(ce.number) + ": " + ce.name);
        const std::int64_t r = again.CePositions()[i];
        EXPECT_EQ(ReadCeElementCode(f, r), 359 + ce.number);
        EXPECT_EQ(ReadGraphicOf(f, r), ce.number);
        EXPECT_EQ(ReadUseGraphicOf(f, r), false);
        ASSERT_EQ(ReadChangePageCount(f, r), static_cast<int>(ce.pages.size()));
        for (int p = 1; p <= static_cast<int>(ce.pages.size()); ++p) {
            const Page& e = ce.pages[static_cast<std::size_t>(p - 1)];
            SCOPED_TRACE("page " + std::to_string(p));
            EXPECT_EQ(ReadChangeCondElement(f, r, p), e.k);
            EXPECT_EQ(ReadChangeTo(f, r, p), e.g);
            EXPECT_EQ(ReadExtChange(f, r, p, 1, 2), e.u);
            EXPECT_EQ(ReadExtChange(f, r, p, 2, 2), e.g);
            EXPECT_EQ(ReadExtChange(f, r, p, 3, 2), e.d);
            for (const auto& [row, col] : {std::pair{1, 1}, {1, 3}, {2, 1}, {2, 3}, {3, 1}, {3, 3}})
                EXPECT_EQ(ReadExtChange(f, r, p, row, col), 0);
            EXPECT_EQ(ReadDelayCondition(f, r, p), e.delay);
            EXPECT_EQ(ReadUseExtChange(f, r, p), true);
            EXPECT_EQ(ReadCanChange(f, r, p), true);
            EXPECT_EQ(ReadDelayFixed(f, r, p), 2);
            EXPECT_EQ(ReadDelayType(f, r, p), 1);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, CounterRunTest, ::testing::ValuesIn(RunCases()),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(CounterChunkTest, ACeOutsideCe1To256IsNeverLaidOut)
{
    for (const int number : {0, 257, 300}) {
        CounterCe ce;
        ce.Number = number;
        ce.Controller = true;
        EXPECT_THROW(CounterChunk(ce, 360), VantrelError) << number;
    }
}

TEST(CounterCaptionTest, CEsNeeded)
{
    struct Row {
        int mode, special, steps, lines, needed;
    };
    for (const Row& r : {Row{0, 0, 10, 1, 2}, Row{0, 0, 10, 0, 1}, Row{0, 0, 16, 16, 17}, Row{1, 0, 10, 1, -1},
                         Row{0, 9, 10, 1, 3}, Row{0, 10, 10, 1, 4}, Row{0, 100, 10, 1, 5}})
        EXPECT_EQ(CEsNeededForCounter(r.mode, r.special, r.steps, r.lines), r.needed)
            << r.mode << " " << r.special << " " << r.steps << " " << r.lines;
    EXPECT_EQ(CreateButtonCaption(2), "CREATE COUNTER (2 CEs needed)");
    EXPECT_EQ(CreateButtonCaption(-1), "CREATE COUNTER (-1 CEs needed)");
}

// Runs that cannot be written change nothing: not the file, not the list.
TEST(CounterRefusalTest, NothingIsWrittenForARunThatCannotBe)
{
    struct Row {
        int steps;
        std::vector<std::int32_t> list;
        int start;
        std::string message;
    };
    const std::vector<Row> rows = {
        {10, {5}, 255,
         "The counter needs 3 CEs, CE 255 to CE 257, but CE numbers end at 256: start it at CE 254 or lower. "
         "Nothing was written."},
        {10, {1}, 256,
         "The counter needs 2 CEs, CE 256 to CE 257, but CE numbers end at 256: start it at CE 255 or lower. "
         "Nothing was written."},
        {10, {-3}, 0, "The counter cannot start at CE 0: CE numbers run from 1 to 256. Nothing was written."},
        {17, {1}, 1, "The number of steps for each digit must lie between 2 and 16, not 17. Nothing was written."},
        {10, std::vector<std::int32_t>(256, 1), 1,
         "The counter needs 257 CEs, more than the 256 a level can hold. Nothing was written."},
    };
    for (const Row& row : rows) {
        test::TempDir dir;
        const std::string path = dir.Write("counter.level", BaseLevel());
        test::ScriptedUi ui;
        OpenLevel lvl;
        LoadReport report;
        LoadAndTell(lvl, path, ui, report);
        CounterSettings settings{row.steps, row.list, row.start};
        const CounterResult result = CreateCounter(lvl, settings, ui);
        EXPECT_EQ(result.Outcome, CounterOutcome::Refused);
        EXPECT_EQ(result.Message, row.message);
        EXPECT_EQ(settings.Increments, row.list);
        EXPECT_TRUE(lvl.Steps().empty());
        lvl.CloseLevelFile();
        EXPECT_EQ(test::ReadBytes(path), BaseLevel());
    }
}

TEST(CounterRefusalTest, NoLevelOpenIsSaidAndNothingIsDone)
{
    test::TempDir dir;
    const std::string path = dir.Write("counter.level", BaseLevel());
    test::ScriptedUi ui;
    CounterSettings settings;

    OpenLevel never;
    EXPECT_EQ(CreateCounter(never, settings, ui).Outcome, CounterOutcome::NoLevel);

    OpenLevel closed;
    LoadReport report;
    LoadAndTell(closed, path, ui, report);
    closed.Close();  // Save and Close
    EXPECT_EQ(CreateCounter(closed, settings, ui).Outcome, CounterOutcome::NoLevel);

    OpenLevel rejected;  // a file that is no level leaves no level open
    LoadAndTell(rejected, dir.Write("other.level", std::string("not a level")), ui, report);
    const CounterResult refused = CreateCounter(rejected, settings, ui);
    EXPECT_EQ(refused.Outcome, CounterOutcome::NoLevel);
    EXPECT_EQ(refused.Message, "No level is open: load a level (File > Load Level), then create the counter.");
    EXPECT_EQ(test::ReadBytes(path), BaseLevel());
    EXPECT_EQ(settings.Increments, std::vector<std::int32_t>{1});
}

TEST(CounterRunTest, ASecondRunCreatesTheAddedLinesFromTheStart)
{
    test::TempDir dir;
    const std::string path = dir.Write("counter.level", BaseLevel());
    test::ScriptedUi ui;
    OpenLevel lvl;
    LoadReport report;
    LoadAndTell(lvl, path, ui, report);
    CounterSettings settings{10, {5}, 1};
    const CounterResult first = CreateCounter(lvl, settings, ui);
    ui.answers = {true};  // the first run's numbers are in use now
    const CounterResult second = CreateCounter(lvl, settings, ui);
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Custom Element Ids 1, 2 and 3 are occupied in this level; the "
                                                     "counter would add a second custom element under each. Use "
                                                     "anyways?"});
    ASSERT_EQ(second.Plan.Ces.size(), 3u);
    EXPECT_EQ(second.Plan.Ces[0].Pages.size(), 2u) << "the controller has a page for each of the two lines now";
    EXPECT_EQ(settings.Increments, (std::vector<std::int32_t>{5, 1}));
    lvl.CloseLevelFile();
    EXPECT_EQ(test::ReadBytes(path),
              Cat(Cat(BaseLevel(), CounterChunks(first.Plan)),
                  Chunks({Controller(1, 10, 360, 2), Digit(2, "counter 5 10", Seq(5, 10, 10), Fill({{0, 5}, {362, 5}})),
                          Digit(3, "counter 1 10", Seq(1, 10, 10), Fill({{0, 9}, {362, 1}}))},
                         360)));
}

TEST(CounterCorpusTest, RunOnACopyOf042)
{
    if (test::CorpusDir().empty()) GTEST_SKIP() << "no corpus folder ../shared/corpus";
    test::TempDir dir;
    const std::string path = test::CopyFromCorpus("levels/Tutorials/rnd_tutorial_niko_boehm/042.level", dir);
    const Bytes before = test::ReadBytes(path);
    test::ScriptedUi ui;
    OpenLevel lvl;
    LoadReport report;
    LoadAndTell(lvl, path, ui, report);
    ASSERT_TRUE(report.Completed);
    const std::vector<std::string> listBefore = report.CeList;
    ASSERT_EQ(listBefore.size(), 38u);

    CounterSettings settings{10, {-1}, 200};
    ASSERT_EQ(CreateCounter(lvl, settings, ui).Outcome, CounterOutcome::Created);
    lvl.CloseLevelFile();
    EXPECT_EQ(test::ReadBytes(path),
              Cat(before, Chunks({Controller(200, 10, 559, 1),
                                  Digit(201, "counter -1 10", Seq(-1, 10, 10), Fill({{560, 1}, {0, 9}}))},
                                 559)));
    OpenLevel again;
    LoadAndTell(again, path, ui, report);
    std::vector<std::string> expected = listBefore;
    expected.push_back("200: 10 counter maker by vantrel");
    expected.push_back("201: counter -1 10");
    EXPECT_EQ(report.CeList, expected);
}

}  // namespace
}  // namespace vantrel
