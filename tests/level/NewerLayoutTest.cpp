// Levels of the newer layout (file version 3.0: NAME, AUTH, INFO, BODY of
// two-byte cells, CUSX): files written byte by byte, and every real file of
// the corpus compared with what a small reader of its own finds in its bytes.
#include "ce/CeTransfer.h"
#include "counter/Counter.h"
#include "level/HeaderEdit.h"
#include "level/Loader.h"

#include "base/Bytes.h"
#include "base/Error.h"
#include "support/LevelBuilder.h"
#include "support/Lines.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "tell/Tell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {
namespace {

using test::Bytes;
using test::Concat;
using test::LevelBuilder;
using test::Line;
using test::PatternCells;
using LB = test::LevelBuilder;

struct NewerRun {
    test::TempDir dir;
    std::string path;
    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadReport report;
    std::optional<std::string> error;

    void Load(const Bytes& bytes)
    {
        path = dir.Write("n.level", bytes);
        LoadOptions o;
        o.TickMs = [] { return std::int64_t{7}; };
        try {
            LoadAndTell(lvl, path, ui, report, o);
        } catch (const VantrelError& e) {
            error = e.what();
        }
    }
    std::vector<Line> Log(std::vector<Line> lines) const
    {
        lines.insert(lines.begin(), {Line("Loading " + path), "RND1 file - checking version",
                                     "CAVEVERS 0300000004010401 seek to 28"});
        return lines;
    }
};

// DATE at 28, NAME at 40, AUTH at 80, INFO at 120: the prefix every file of the game has.
LevelBuilder Prefix(const std::string& title = "Newer", const std::string& author = "Me")
{
    LevelBuilder b = LevelBuilder::Newer();
    b.Chunk("DATE", {0x07, 0xEA, 12, 7}).Name(title).Auth(author);
    return b;
}

TEST(NewerLayout, ReadsNameAuthorInfoAndTwoByteMap)
{
    const auto cells = PatternCells(3, 2, true);
    NewerRun run;
    run.Load(Prefix("Magic balls", "ncrecc").Info(Concat({LB::InfoEntries(3, 2, 150, 7), LB::E8(0x0B, 1)}))
                 .Body(cells, true)
                 .Data());
    ASSERT_FALSE(run.error) << *run.error;
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(),
                               run.Log({"DATE at 28 seek to 40", "NAME at 40 seek to 80", "AUTH at 80 seek to 120",
                                        "INFO at 120 seek to 144", "BODY at 144 seek to 164",
                                        "164 bytes loaded in 0 milliseconds"})));
    EXPECT_EQ(UpToZero(run.report.Title), "Magic balls");
    EXPECT_EQ(UpToZero(run.report.Author), "ncrecc");
    ASSERT_TRUE(run.report.HeaderBoxes);
    EXPECT_EQ(run.report.HeaderBoxes->MapSize, "3x2");
    EXPECT_EQ(run.report.HeaderBoxes->Time, 150);
    EXPECT_EQ(run.report.HeaderBoxes->Emeralds, 7);
    const ChunkIndex& ix = run.lvl.Index();
    EXPECT_TRUE(ix.Newer);
    EXPECT_TRUE(ix.Wide16);
    EXPECT_EQ(ix.HeadPos, -1);
    EXPECT_EQ(ix.NamePos, 44);
    EXPECT_EQ(ix.AuthPos, 84);
    EXPECT_EQ(ix.InfoPos, 124);
    EXPECT_EQ(ix.InfoTimePos, 137);
    EXPECT_EQ(ix.InfoEmeraldsPos, 140);
    EXPECT_EQ(ix.BodyStart, 152);
    for (int y = 1; y <= 2; ++y)
        for (int x = 1; x <= 3; ++x) EXPECT_EQ(run.lvl.Grid().At(x, y), cells[(y - 1) * 3 + (x - 1)]);
    EXPECT_EQ(CellFileOffset(run.lvl, PackCell(2, 2)), 152 + 2 * 4);
}

// INFO entries: missing ones keep the game's defaults, unknown keys of every
// size class are stepped over, malformed ones are told and skipped.
struct InfoCase {
    const char* name;
    Bytes entries;
    int width, height;
    std::uint16_t time, emeralds;
    std::int32_t timePos, emeraldsPos;  // -1: no entry
    std::vector<Line> problems;         // lines after "INFO at 120 seek to ..."
};
void PrintTo(const InfoCase& c, std::ostream* os) { *os << c.name; }

class NewerInfoTest : public ::testing::TestWithParam<InfoCase> {};

TEST_P(NewerInfoTest, TakesEntriesAndDefaults)
{
    const InfoCase& c = GetParam();
    const auto cells = PatternCells(c.width, c.height, true);
    NewerRun run;
    run.Load(Prefix().Info(c.entries).Body(cells, true).Data());
    ASSERT_FALSE(run.error) << *run.error;
    const std::int64_t body = 128 + static_cast<std::int64_t>(c.entries.size());
    const std::int64_t end = body + 8 + static_cast<std::int64_t>(cells.size()) * 2;
    std::vector<Line> lines{"DATE at 28 seek to 40", "NAME at 40 seek to 80", "AUTH at 80 seek to 120",
                            Line("INFO at 120 seek to " + std::to_string(body))};
    lines.insert(lines.end(), c.problems.begin(), c.problems.end());
    lines.push_back(Line("BODY at " + std::to_string(body) + " seek to " + std::to_string(end)));
    lines.push_back(Line(std::to_string(end) + " bytes loaded in 0 milliseconds"));
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(), run.Log(lines)));
    ASSERT_TRUE(run.report.HeaderBoxes);
    EXPECT_EQ(run.report.HeaderBoxes->MapSize, std::to_string(c.width) + "x" + std::to_string(c.height));
    EXPECT_EQ(run.report.HeaderBoxes->Time, c.time);
    EXPECT_EQ(run.report.HeaderBoxes->Emeralds, c.emeralds);
    EXPECT_EQ(run.lvl.Index().InfoTimePos, c.timePos);
    EXPECT_EQ(run.lvl.Index().InfoEmeraldsPos, c.emeraldsPos);
    EXPECT_EQ(run.lvl.Grid().At(c.width, c.height), cells.back());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NewerInfoTest,
    ::testing::Values(
        InfoCase{"OnlyEngineGivesDefaults", LB::E8(0x01, 1), 64, 32, 100, 0, -1, -1, {}},
        InfoCase{"SizeOnly", Concat({LB::E16(0x41, 5), LB::E16(0x42, 4)}), 5, 4, 100, 0, -1, -1, {}},
        InfoCase{"EveryUnknownSizeClassSkipped",
                 Concat({LB::E8(0x3F, 9), LB::E16(0x7F, 0x4344), LB::E32(0xBF, 0x43004400),
                         LB::EText(0xFF, "C\x01\x02"), LB::InfoEntries(4, 3, 9999, 12), LB::EBytes(0xC5, {})}),
                 4, 3, 9999, 12, 128 + 2 + 3 + 5 + 6 + 8 + 1, 128 + 2 + 3 + 5 + 6 + 11 + 1, {}},
        InfoCase{"NegativeGemsKeepTheirBits", LB::InfoEntries(2, 2, 0, 0xFFF6), 2, 2, 0, 0xFFF6, 137, 140, {}},
        InfoCase{"EntryWithoutKeyNumberSkipped", Concat({LB::E16(0x40, 7), LB::InfoEntries(2, 2, 5, 6)}), 2, 2, 5,
                 6, 140, 143, {"INFO at 120: entry 0x40 at 128 has no key number (an unknown entry); skipped"}},
        InfoCase{"EntryPastTheEndStopsTheChunk", Concat({LB::InfoEntries(2, 2, 5, 6), Bytes{0x82, 0, 0}}), 2, 2, 5,
                 6, 137, 140,
                 {"INFO at 120: entry 0x82 at 142 needs 5 bytes and runs past the chunk's end at 145; the rest of "
                  "the chunk is skipped"}},
        InfoCase{"CountPastTheEnd", Concat({LB::InfoEntries(2, 2, 5, 6), Bytes{0xC1, 0, 9, 'a'}}), 2, 2, 5, 6, 137,
                 140,
                 {"INFO at 120: entry 0xC1 at 142 needs 12 bytes and runs past the chunk's end at 146; the rest of "
                  "the chunk is skipped"}},
        InfoCase{"KeyWithoutCount", Concat({LB::InfoEntries(2, 2, 5, 6), Bytes{0xC1, 0}}), 2, 2, 5, 6, 137, 140,
                 {"INFO at 120: entry 0xC1 at 142 runs past the chunk's end at 144; the rest of the chunk is "
                  "skipped"}}));

TEST(NewerLayout, MapSizeAbove128IsRefused)
{
    NewerRun run;
    run.Load(Prefix().Info(LB::InfoEntries(129, 2, 0, 0)).Body(PatternCells(2, 2, true), true).Data());
    EXPECT_TRUE(run.report.Rejected);
    EXPECT_FALSE(run.lvl.LevelOpen());
    EXPECT_EQ(run.ui.messages,
              std::vector<std::string>{"Error: Can not open file\nThe map is 129x2 cells; a level holds at most 128x128."});
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(), run.Log({"DATE at 28 seek to 40", "NAME at 40 seek to 80",
                                                      "AUTH at 80 seek to 120", "INFO at 120: map size 129x2 refused",
                                                      "158 bytes loaded in 0 milliseconds"})));
}

TEST(NewerLayout, BodyShorterThanTheMapIsRefusedLongerIsTold)
{
    NewerRun shorter;
    shorter.Load(Prefix().Info(LB::InfoEntries(3, 2, 0, 0)).Body(PatternCells(3, 2, true), true, 10).Data());
    ASSERT_TRUE(shorter.error);
    EXPECT_NE(shorter.error->find("The map (BODY chunk) holds 10 bytes, but a map of 3x2 cells of two bytes needs 12"),
              std::string::npos)
        << *shorter.error;
    EXPECT_FALSE(shorter.lvl.LevelOpen());

    NewerRun longer;
    longer.Load(Prefix().Info(LB::InfoEntries(3, 2, 0, 0)).Body(PatternCells(4, 2, true), true).Data());
    ASSERT_FALSE(longer.error) << *longer.error;
    EXPECT_TRUE(test::LinesAre(longer.lvl.Log(),
                               longer.Log({"DATE at 28 seek to 40", "NAME at 40 seek to 80", "AUTH at 80 seek to 120",
                                           "INFO at 120 seek to 142", "BODY at 142 seek to 166",
                                           "BODY at 142 holds 16 bytes; the map of 3x2 cells uses the first 12",
                                           "166 bytes loaded in 0 milliseconds"})));
}

TEST(NewerLayout, NameOfAnotherSizeIsSteppedOver)
{
    NewerRun run;
    run.Load(LevelBuilder::Newer().Chunk("NAME", Bytes(30, 'x')).Info(LB::InfoEntries(1, 1, 0, 0))
                 .Body({5}, true).Data());
    ASSERT_FALSE(run.error) << *run.error;
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(),
                               run.Log({"NAME at 28 seek to 66", "NAME at 28: 30 bytes instead of 32; the title is not "
                                                                 "taken from it",
                                        "INFO at 66 seek to 88", "BODY at 88 seek to 98",
                                        "98 bytes loaded in 0 milliseconds"})));
    EXPECT_EQ(run.lvl.Index().NamePos, -1);
    EXPECT_EQ(run.report.Title, "");
}

// CUSX chunks: listed by their CE number and name; malformed ones are told.
TEST(NewerLayout, CusxChunksFillTheCeList)
{
    const std::string longName(40, 'L');
    LevelBuilder b = Prefix().Info(LB::InfoEntries(1, 1, 0, 0)).Body({0}, true);
    const std::size_t c1 = b.Size();
    b.Cusx(360, Concat({LB::EText(0xC1, "Door"), LB::E32(0x81, 0x08080000), LB::E8(0x09, 2), LB::E8(0x01, 0),
                        LB::E16(0x41, 361), LB::E8(0x01, 1), LB::E8(0x02, 1)}));
    const std::size_t c2 = b.Size();
    b.Cusx(361, Concat({LB::E8(0x09, 1), LB::E8(0x01, 0)}));
    const std::size_t c3 = b.Size();
    b.Cusx(300, Concat({LB::E8(0x09, 1)}));
    const std::size_t c4 = b.Size();
    b.Cusx(615, Concat({LB::EText(0xC1, longName), LB::E8(0x09, 1), LB::E8(0x01, 3)}));
    const std::size_t c5 = b.Size();
    b.Cusx(400, LB::E8(0x02, 3));
    const std::size_t end = b.Size();
    NewerRun run;
    run.Load(b.Data());
    ASSERT_FALSE(run.error) << *run.error;
    const auto at = [](std::size_t v) { return std::to_string(v); };
    EXPECT_TRUE(test::LinesAre(
        run.lvl.Log(),
        run.Log({"DATE at 28 seek to 40", "NAME at 40 seek to 80", "AUTH at 80 seek to 120", "INFO at 120 seek to 142",
                 "BODY at 142 seek to 152", Line("CUSX (1) at " + at(c1) + " seek to " + at(c2)),
                 Line("CUSX (2) at " + at(c2) + " seek to " + at(c3)),
                 Line("CUSX (-59) at " + at(c3) + " seek to " + at(c4)),
                 Line("CUSX (-59) at " + at(c3) + ": element code 300 is not a custom element (360..615); not listed"),
                 Line("CUSX (256) at " + at(c4) + " seek to " + at(c5)),
                 Line("CUSX (256) at " + at(c4) + ": name at " + at(c4 + 10) +
                      " holds 40 characters; only the first 32 are kept"),
                 Line("CUSX (256) at " + at(c4) + ": page index 3 at " + at(c4 + 10 + 43 + 2) +
                      " is not below the page count 1; the rest of the chunk is skipped"),
                 Line("CUSX (41) at " + at(c5) + " seek to " + at(end)),
                 Line("CUSX (41) at " + at(c5) +
                      ": ends before its page count (key 0x09); the element keeps one page"),
                 Line(at(end) + " bytes loaded in 0 milliseconds")})));
    EXPECT_EQ(run.report.CeList, (std::vector<std::string>{"1: Door", "2: Custom element 2",
                                                           "41: Custom element 41", "256: " + longName.substr(0, 32)}));
    EXPECT_EQ(run.lvl.Index().CusxPositions,
              (std::vector<std::int32_t>{static_cast<std::int32_t>(c1 + 8), static_cast<std::int32_t>(c2 + 8),
                                         static_cast<std::int32_t>(c4 + 8), static_cast<std::int32_t>(c5 + 8)}));
    EXPECT_TRUE(run.lvl.CePositions().empty());
}

// A file with HEAD and INFO is read chunk by chunk: the later one wins for what it says.
TEST(NewerLayout, HeadAndInfoLaterWins)
{
    const test::HeadSpec head{.width = 2, .height = 1, .time = 40, .emeralds = 4, .title = "Head", .wide = true};
    NewerRun infoLast;
    infoLast.Load(LevelBuilder::Newer().Head(head).Info(Concat({LB::E16(0x43, 77)})).Body({1, 2}, true).Data());
    ASSERT_FALSE(infoLast.error) << *infoLast.error;
    EXPECT_EQ(infoLast.report.HeaderBoxes->MapSize, "2x1");
    EXPECT_EQ(infoLast.report.HeaderBoxes->Time, 77);
    EXPECT_EQ(infoLast.report.HeaderBoxes->Emeralds, 4);
    EXPECT_FALSE(infoLast.lvl.Index().Newer);

    NewerRun headLast;
    headLast.Load(LevelBuilder::Newer().Name("Name").Info(LB::InfoEntries(9, 9, 1, 1)).Head(head).Body({1, 2}, true)
                      .Data());
    ASSERT_FALSE(headLast.error) << *headLast.error;
    EXPECT_EQ(headLast.report.HeaderBoxes->MapSize, "2x1");
    EXPECT_EQ(headLast.report.HeaderBoxes->Time, 40);
    EXPECT_EQ(UpToZero(headLast.report.Title), "Head");
    EXPECT_EQ(headLast.lvl.Grid().At(2, 1), 2);
}

// The CE list holds what the game holds: a CUS4 appended for CE n stands for
// CE n, and a later CUSX without a name keeps the name before it.
TEST(NewerLayout, AppendedRecordsStandForTheirCe)
{
    auto cus4 = [](std::uint16_t code, const std::string& name) {
        Bytes record(144, 0);
        record[0] = static_cast<std::uint8_t>(code >> 8), record[1] = static_cast<std::uint8_t>(code);
        std::copy(name.begin(), name.end(), record.begin() + 2);
        record[42] = 1;
        return record;
    };
    NewerRun run;
    run.Load(Prefix().Info(LB::InfoEntries(1, 1, 0, 0)).Body({0}, true)
                 .Cusx(362, Concat({LB::EText(0xC1, "Old three"), LB::E8(0x09, 1)}))
                 .Cusx(365, LB::E8(0x09, 1))
                 .Chunk("CUS4", cus4(362, "New three")).Chunk("CUS4", cus4(360, "One"))
                 .Chunk("CUS4", cus4(365, "Six")).Cusx(365, LB::E8(0x09, 1))
                 .Data());
    EXPECT_EQ(run.report.CeList, (std::vector<std::string>{"1: One", "3: New three", "6: Six"}));
    EXPECT_EQ(run.lvl.Index().CeLines.size(), 3u);
    EXPECT_TRUE(run.lvl.Index().CeLines[2].Cusx);
}

// --- in-place patches ---

struct Patched {
    NewerRun run;
    Bytes before;
    Bytes After() const { return test::ReadBytes(run.path); }
};

TEST(NewerLayout, TitleTimeAndEmeraldsPatchExactlyTheirBytes)
{
    Patched p;
    p.before = Prefix("Old title").Info(Concat({LB::InfoEntries(2, 1, 100, 3), LB::E8(0x0B, 1)}))
                   .Body({1, 2}, true).Data();
    p.run.Load(p.before);
    ASSERT_TRUE(p.run.lvl.LevelOpen());
    const HeaderEditResult title = WriteLevelTitle(p.run.lvl, "Cave");
    const HeaderEditResult time = WriteTimeAndEmeralds(p.run.lvl, 32767, 999);
    Bytes expected = p.before;
    std::fill(expected.begin() + 48, expected.begin() + 80, 0);
    expected[48] = 'C', expected[49] = 'a', expected[50] = 'v', expected[51] = 'e';
    expected[137] = 0x7F, expected[138] = 0xFF, expected[140] = 0x03, expected[141] = 0xE7;
    EXPECT_EQ(p.After(), expected);
    EXPECT_EQ(HeaderEditNotices(title), Notices{{"Level title updated!"}});
    EXPECT_EQ(HeaderEditNotices(time),
              (Notices{{"NOTE: When setting time left or emeralds to collect to a value more than 999, the value will be "
                        "reset to 999 when going to the Level Settings screen in the Level Editor (Don't blame me for "
                        "this, blame Doval!)"},
                       {"Time left and emeralds to collect updated!"}}));
}

TEST(NewerLayout, PatchesThatDoNotFitAreRefused)
{
    Patched big;
    big.before = Prefix().Info(LB::InfoEntries(2, 1, 100, 3)).Body({1, 2}, true).Data();
    big.run.Load(big.before);
    const Notices tooLarge{{"In this level time left and emeralds to collect are signed 16-bit numbers: values above "
                            "32767 cannot be stored. Nothing was written."}};
    EXPECT_EQ(HeaderEditNotices(WriteTimeAndEmeralds(big.run.lvl, 32768, 0)), tooLarge);
    EXPECT_EQ(HeaderEditNotices(WriteTimeAndEmeralds(big.run.lvl, 0, 40000)), tooLarge);
    EXPECT_EQ(big.After(), big.before);

    Patched noTime;
    noTime.before = Prefix().Info(Concat({LB::E16(0x41, 2), LB::E16(0x42, 1), LB::E16(0x44, 3)}))
                        .Body({1, 2}, true).Data();
    noTime.run.Load(noTime.before);
    const HeaderEditResult noEntry = WriteTimeAndEmeralds(noTime.run.lvl, 10, 10);
    EXPECT_FALSE(noEntry);
    EXPECT_EQ(HeaderEditNotices(noEntry), Notices{{"This level's INFO chunk holds no entry for time left or for "
                                                   "emeralds to collect (the game takes its default then), so they "
                                                   "cannot be changed in place. Nothing was written."}});
    EXPECT_EQ(noTime.After(), noTime.before);

    Patched noName;
    noName.before = LevelBuilder::Newer().Info(LB::InfoEntries(2, 1, 100, 3)).Body({1, 2}, true).Data();
    noName.run.Load(noName.before);
    EXPECT_EQ(HeaderEditNotices(WriteLevelTitle(noName.run.lvl, "Cave")),
              Notices{{"This level has no title chunk (NAME); nothing was written."}});
    EXPECT_EQ(noName.After(), noName.before);
}

// No INFO chunk: the game reads a map of 64 x 32 two-byte cells, time 100, no emeralds.
TEST(NewerLayout, WithoutInfoTheGamesDefaultsAreTaken)
{
    const auto cells = PatternCells(64, 32, true);
    Patched p;
    p.before = Prefix().Body(cells, true).Data();
    p.run.Load(p.before);
    ASSERT_FALSE(p.run.error) << *p.run.error;
    EXPECT_EQ(p.run.lvl.Log()[7], "No INFO chunk: the game's defaults are used: map size 64x32, time left 100, "
                                  "emeralds to collect 0");
    EXPECT_EQ(p.run.report.HeaderBoxes->MapSize + " " + std::to_string(p.run.report.HeaderBoxes->Time), "64x32 100");
    EXPECT_EQ(p.run.lvl.Grid().At(64, 32), cells.back());
    EXPECT_EQ(HeaderEditNotices(WriteTimeAndEmeralds(p.run.lvl, 10, 10)),
              Notices{{"This level has no INFO chunk (the game takes its defaults then), so time left and emeralds to "
                       "collect cannot be changed in place. Nothing was written."}});
    EXPECT_EQ(p.After(), p.before);
}

TEST(NewerLayout, CellsAreWrittenAsTwoBytes)
{
    Patched p;
    p.before = Prefix().Info(LB::InfoEntries(3, 2, 100, 3)).Body(PatternCells(3, 2, true), true).Data();
    p.run.Load(p.before);
    ASSERT_TRUE(SetCell(p.run.lvl, PackCell(3, 2), 0x0168));
    Bytes expected = p.before;
    expected[150 + 2 * 5] = 0x01, expected[150 + 2 * 5 + 1] = 0x68;
    EXPECT_EQ(p.After(), expected);
    EXPECT_EQ(p.run.lvl.Grid().At(3, 2), 0x0168);
}

// The game reads CUS4 and CUSX chunks in files of either layout: export
// copies the CUSX chunk, import renumbers it and the element it names when
// that lies in the imported set, and the counter appends its CUS4 records.
TEST(NewerLayout, CustomElementCommandsAppendWhatTheGameReads)
{
    Patched p;
    const Bytes cusx = Concat({Bytes{'C', 'U', 'S', 'X', 0, 0, 0, 12, 0x01, 0x68}, LB::E16(0x41, 360), LB::E8(0x09, 1),
                               LB::E8(0x01, 0), LB::E16(0x45, 361)});
    p.before = Concat({Prefix().Info(LB::InfoEntries(1, 1, 100, 3)).Body({0}, true).Data(), cusx});
    p.run.Load(p.before);
    const ExportResult exported = WriteExport(PlanExport(p.run.lvl, p.run.report.CeList, {true}), p.run.ui);
    EXPECT_EQ(test::ReadBytes(exported.Path), cusx);
    CeImportList list;
    ASSERT_TRUE(LoadVceFile(exported.Path, list));
    EXPECT_EQ(list.Lines, std::vector<std::string>{"1:Custom element 1-->1"});
    IncDecAll(list, 1);
    EXPECT_EQ(FinishImport(p.run.lvl, p.run.report.CeList, list, p.run.ui).LinkCount, 1);
    CounterSettings settings;
    const CounterResult counter = RunCounterCreation(p.run.lvl, settings, p.run.ui);
    ASSERT_EQ(counter.Outcome, CounterOutcome::Created);
    Bytes renumbered = cusx;
    renumbered[9] = renumbered[12] = 0x69;  // own code and borrowed graphic CE 1 -> CE 2; the trigger CE 2 stays
    EXPECT_EQ(p.After(), Concat({p.before, renumbered, CounterChunks(counter.Plan)}));
    EXPECT_EQ(p.run.ui.questions, std::vector<std::string>{});
}

// --- the real files ---

// What a small reader of its own finds in a newer file's bytes.
struct Expected {
    std::string title, author;
    int width = 64, height = 32, time = 100, gems = 0;
    std::vector<std::uint16_t> cells;
    std::vector<std::string> ceList;
};

Expected ReadIndependently(const Bytes& f)
{
    Expected e;
    const auto u32 = [&](std::size_t at) { return std::uint32_t(f[at]) << 24 | f[at + 1] << 16 | f[at + 2] << 8 | f[at + 3]; };
    const auto u16 = [&](std::size_t at) { return static_cast<std::uint16_t>(f[at] << 8 | f[at + 1]); };
    const auto text = [&](std::size_t at, std::size_t n) {
        std::string s(f.begin() + at, f.begin() + at + n);
        return s.substr(0, s.find('\0'));
    };
    std::size_t p = 12;
    while (p + 8 <= f.size()) {
        const std::string id(f.begin() + p, f.begin() + p + 4);
        const std::size_t size = u32(p + 4), d = p + 8;
        if (id == "NAME") e.title = text(d, 32);
        if (id == "AUTH") e.author = text(d, 32);
        if (id == "INFO")
            for (std::size_t k = d; k < d + size;) {
                const int cls = f[k] >> 6;
                if (cls == 1) {
                    const int v = static_cast<std::int16_t>(u16(k + 1));
                    if (f[k] == 0x41) e.width = v;
                    if (f[k] == 0x42) e.height = v;
                    if (f[k] == 0x43) e.time = v;
                    if (f[k] == 0x44) e.gems = v;
                }
                k += cls == 3 ? 3 + u16(k + 1) : 1 + (cls == 0 ? 1 : cls == 1 ? 2 : 4);
            }
        if (id == "BODY")
            for (std::size_t i = 0; i < size; i += 2) e.cells.push_back(u16(d + i));
        if (id == "CUSX") {
            std::string name = "Custom element " + std::to_string(u16(d) - 359);
            for (std::size_t k = d + 2; k < d + size && f[k] != 0x09;) {
                const int cls = f[k] >> 6;
                if (f[k] == 0xC1) name = std::string(f.begin() + k + 3, f.begin() + k + 3 + u16(k + 1));
                k += cls == 3 ? 3 + u16(k + 1) : 1 + (cls == 0 ? 1 : cls == 1 ? 2 : 4);
            }
            e.ceList.push_back(std::to_string(u16(d) - 359) + ": " + name);
        }
        p = d + size;
    }
    return e;
}

TEST(NewerCorpus, EveryFileLoadsAsItsBytesSay)
{
    const auto dir = test::CorpusDir() / "newer";
    if (test::CorpusDir().empty() || !std::filesystem::is_directory(dir))
        GTEST_SKIP() << "the corpus of newer level files (../shared/corpus/newer) is not there";
    int files = 0, withCes = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (entry.path().extension() != ".level") continue;
        ++files;
        const Bytes bytes = test::ReadBytes(entry.path());
        const Expected e = ReadIndependently(bytes);
        NewerRun run;
        run.Load(bytes);
        SCOPED_TRACE(entry.path().string());
        ASSERT_FALSE(run.error) << *run.error;
        ASSERT_TRUE(run.report.Completed);
        EXPECT_TRUE(run.lvl.Index().Newer);
        EXPECT_EQ(UpToZero(run.report.Title), e.title);
        EXPECT_EQ(UpToZero(run.report.Author), e.author);
        ASSERT_TRUE(run.report.HeaderBoxes);
        EXPECT_EQ(run.report.HeaderBoxes->MapSize, std::to_string(e.width) + "x" + std::to_string(e.height));
        EXPECT_EQ(static_cast<std::int16_t>(run.report.HeaderBoxes->Time), e.time);
        EXPECT_EQ(static_cast<std::int16_t>(run.report.HeaderBoxes->Emeralds), e.gems);
        ASSERT_EQ(e.cells.size(), static_cast<std::size_t>(e.width * e.height));
        for (int y = 1; y <= e.height; ++y)
            for (int x = 1; x <= e.width; ++x)
                ASSERT_EQ(run.lvl.Grid().At(x, y), e.cells[static_cast<std::size_t>((y - 1) * e.width + x - 1)]);
        EXPECT_EQ(run.report.CeList, e.ceList);
        withCes += e.ceList.empty() ? 0 : 1;
        for (const std::string_view line : run.lvl.Log()) {
            EXPECT_EQ(line.find("guessed chunk"), std::string::npos) << line;
            EXPECT_NE(line, kNoHeaderLogLine);
        }
    }
    EXPECT_EQ(files, 40);
    EXPECT_GE(withCes, 4);
}

}  // namespace
}  // namespace vantrel
