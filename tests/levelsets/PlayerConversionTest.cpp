// Set 3 players / Set 4 players over level files in a temporary folder: the
// placements on both cell widths, checked byte for byte against the file
// before the batch; a mixed levelset and its summary; a second run; a batch
// that an error ends; a dry run.
#include "levelsets/PlayerConversion.h"

#include "level/OpenLevel.h"
#include "support/LevelBuilder.h"
#include "support/SystemOnly.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using Cells = std::map<std::pair<int, int>, std::uint16_t>;  // (x, y) -> code; other cells hold 1 (dirt)

struct LevelFile {
    Bytes bytes;
    std::size_t bodyStart = 0;
    int width = 0;
    bool wide = false;

    // The file with the code written at (x, y).
    Bytes With(const std::vector<std::tuple<int, int, std::uint16_t>>& writes) const
    {
        Bytes out = bytes;
        for (auto [x, y, code] : writes) {
            std::size_t at = bodyStart + (wide ? 2 : 1) * static_cast<std::size_t>((y - 1) * width + (x - 1));
            if (wide) out[at++] = static_cast<std::uint8_t>(code >> 8);
            out[at] = static_cast<std::uint8_t>(code & 0xFF);
        }
        return out;
    }
};

// A chunked level; with cus1, a CUS1 chunk before the map (the loader says it is not supported).
LevelFile MakeLevel(int w, int h, bool wide, const Cells& cells, bool cus1 = false)
{
    std::vector<std::uint16_t> map(static_cast<std::size_t>(w * h), 1);
    for (const auto& [at, code] : cells) map[static_cast<std::size_t>((at.second - 1) * w + at.first - 1)] = code;
    test::LevelBuilder b = test::LevelBuilder::Rnd1();
    b.Head({.width = static_cast<std::uint8_t>(w), .height = static_cast<std::uint8_t>(h), .title = "T", .wide = wide})
        .Auth("Me");
    if (cus1) b.Chunk("CUS1", Bytes(4, 0));
    const std::size_t bodyStart = b.Size() + 8;
    b.Body(map, wide);
    return {b.Data(), bodyStart, w, wide};
}

struct PlacementCase {
    const char* name;
    int players;
    int w, h;
    Cells cells;
    std::vector<std::tuple<int, int, std::uint16_t>> written;
    std::string line;  // LevelLine
};

const PlacementCase kCases[] = {
    {"Set3Right", 3, 10, 8, {{{5, 5}, 80}, {{6, 5}, 81}}, {{7, 5, 82}}, "001.level: 7,5=82 (Player 3)"},
    {"Set4Right", 4, 10, 8, {{{5, 5}, 80}, {{6, 5}, 81}}, {{7, 5, 82}, {8, 5, 83}}, "001.level: 7,5=82 (Player 3) 8,5=83 (Player 4)"},
    {"Set3Slant", 3, 20, 8, {{{10, 3}, 80}, {{12, 4}, 81}}, {{14, 5, 82}}, "001.level: 14,5=82 (Player 3)"},
    {"Set4Slant", 4, 20, 8, {{{10, 3}, 80}, {{12, 4}, 81}}, {{14, 5, 82}, {16, 6, 83}}, "001.level: 14,5=82 (Player 3) 16,6=83 (Player 4)"},
    {"Set3Left", 3, 10, 8, {{{3, 1}, 80}, {{2, 1}, 81}}, {{1, 1, 82}}, "001.level: 1,1=82 (Player 3)"},
    {"Set4LeftColumnZero", 4, 10, 8, {{{3, 1}, 80}, {{2, 1}, 81}}, {{1, 1, 82}},
     "001.level: 1,1=82 (Player 3) (outside the map: 0,1=83 (Player 4))"},
    {"Set3Wraps", 3, 10, 8, {{{3, 1}, 80}, {{1, 1}, 81}}, {},
     "001.level: skipped, the new players fall outside the map (255,1=82 (Player 3))"},
    {"Set4KeepsPlayer3", 4, 12, 10, {{{1, 1}, 80}, {{2, 1}, 81}, {{9, 9}, 82}}, {{10, 9, 83}}, "001.level: 10,9=83 (Player 4)"},
    {"Set3Player3There", 3, 12, 10, {{{1, 1}, 80}, {{2, 1}, 81}, {{9, 9}, 82}}, {},
     "001.level: skipped, player 3 is already on the map"},
    {"Set4Player4There", 4, 12, 10, {{{1, 1}, 80}, {{2, 1}, 81}, {{9, 9}, 83}}, {},
     "001.level: skipped, player 4 is already on the map"},
    {"Set3NoPlayer2", 3, 10, 8, {{{5, 5}, 80}}, {}, "001.level: skipped, player 1 or player 2 is not on the map"},
    // The old player code 8 is player 1 to the game, as in the levels of file version 1.0.
    {"OldPlayerCode", 3, 10, 8, {{{5, 5}, 8}, {{6, 5}, 81}}, {{7, 5, 82}}, "001.level: 7,5=82 (Player 3)"},
    {"Set4NoPlayer1", 4, 10, 8, {{{5, 5}, 81}}, {}, "001.level: skipped, player 1 or player 2 is not on the map"},
    // Two cells hold player 1: the first in reading order counts, the upper one, then the left one.
    {"FirstPlayer1Upper", 3, 10, 8, {{{4, 2}, 80}, {{1, 3}, 80}, {{5, 2}, 81}}, {{6, 2, 82}}, "001.level: 6,2=82 (Player 3)"},
    {"FirstPlayer1Left", 3, 10, 8, {{{2, 2}, 80}, {{8, 2}, 80}, {{3, 2}, 81}}, {{4, 2, 82}}, "001.level: 4,2=82 (Player 3)"},
    // Player 3 at column 255, player 4 at 382: its remainder 126 lies on the map, yet the line left it.
    {"Set4TwiceWrapped", 4, 128, 2, {{{1, 1}, 80}, {{128, 1}, 81}}, {},
     "001.level: skipped, the new players fall outside the map (255,1=82 (Player 3) 126,1=83 (Player 4))"},
};

void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.name; }

class PlacementTest : public ::testing::TestWithParam<std::tuple<PlacementCase, bool>> {};

TEST_P(PlacementTest, WritesOnlyThePlayersCells)
{
    const auto& [c, wide] = GetParam();
    test::TempDir dir;
    const LevelFile level = MakeLevel(c.w, c.h, wide, c.cells);
    const std::string path = dir.Write("001.level", level.bytes);
    const Bytes expected = level.With(c.written);

    OpenLevel lvl;
    const PlayerBatchResult r = ConvertPlayers(lvl, dir.Path().string(), {"001.level"}, c.players);
    EXPECT_EQ(test::ReadBytes(path), expected);
    EXPECT_EQ(test::ReadBytes(path + ".bak"), level.bytes);
    ASSERT_EQ(r.Levels.size(), 1u);
    EXPECT_EQ(LevelLine(r.Levels[0], c.players), c.line);
    EXPECT_FALSE(r.StoppedAt);
    EXPECT_FALSE(lvl.HasFile());
}

INSTANTIATE_TEST_SUITE_P(Cases, PlacementTest, ::testing::Combine(::testing::ValuesIn(kCases), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "TwoByte" : "OneByte");
                         });

class BatchTest : public ::testing::Test {
protected:
    std::string Dir() const { return dir.Path().string(); }
    Bytes Read(const char* name) const { return test::ReadBytes(dir.Path() / name); }

    test::TempDir dir;
    OpenLevel lvl;
};

TEST_F(BatchTest, MixedSetSummaryNamesEachLevel)
{
    const Cells good{{{2, 2}, 80}, {{3, 2}, 81}};
    const LevelFile l1 = MakeLevel(6, 4, false, good);
    const LevelFile l2 = MakeLevel(6, 4, true, {{{2, 2}, 80}});
    const LevelFile l3 = MakeLevel(6, 4, false, {{{2, 2}, 80}, {{3, 2}, 81}, {{6, 4}, 82}});
    const LevelFile l5 = MakeLevel(6, 4, true, {{{5, 1}, 80}, {{4, 1}, 81}}, true);
    // A header and no map, after a good level of the same size: its conversion has no map to search.
    const Bytes noMap = test::LevelBuilder::Rnd1().Head({.width = 6, .height = 4}).Data();
    const Bytes tooWide = MakeLevel(1, 1, false, {}).bytes;
    dir.Write("001.level", l1.bytes);
    dir.Write("002.level", l2.bytes);
    dir.Write("003.level", l3.bytes);
    dir.Write("004.level", "just some text");
    dir.Write("005.level", l5.bytes);
    dir.Write("006.level", noMap);
    Bytes wide200 = tooWide;
    wide200[28 + 8] = 200;  // the HEAD's width byte
    dir.Write("007.level", wide200);

    const PlayerBatchResult r = ConvertLevelsetPlayers(lvl, Dir(), 3, {}, {"001.level", "002.level", "0025.level"});
    EXPECT_EQ(Read("001.level"), l1.With({{4, 2, 82}}));
    EXPECT_EQ(Read("002.level"), l2.bytes);
    EXPECT_EQ(Read("003.level"), l3.bytes);
    EXPECT_EQ(Read("005.level"), l5.With({{3, 1, 82}}));
    EXPECT_EQ(Read("006.level"), noMap);
    EXPECT_EQ(Read("007.level"), wide200);
    EXPECT_EQ(BatchSummary(r),
              "Set 3 players: 2 levels changed, 6 skipped.\n"
              "Changed:\n001.level: 4,2=82 (Player 3)\n005.level: 3,1=82 (Player 3)\n"
              "Skipped:\n"
              "002.level: player 1 or player 2 is not on the map\n"
              "0025.level: the file is no longer there\n"
              "003.level: player 3 is already on the map\n"
              "004.level: not a level file: Not a Rocks'n'Diamonds level, or unknown file version.\n"
              "006.level: not a level file: This level has no map (BODY chunk), so it cannot be opened: " +
                  (fs::path(Dir()) / "006.level").string() +
                  "\n"
                  "007.level: not a level file: The map is 200x1 cells; a level holds at most 128x128.\n"
                          "The loads said:\n005.level: CUS1 chunks not supported in CE Manager yet");
    EXPECT_FALSE(lvl.HasFile());
    EXPECT_TRUE(lvl.Log().empty());
}

TEST_F(BatchTest, SecondRunChangesNothingAndSaysWhy)
{
    const LevelFile a = MakeLevel(8, 4, false, {{{1, 1}, 80}, {{2, 2}, 81}});
    const LevelFile b = MakeLevel(8, 3, true, {{{2, 1}, 80}, {{1, 1}, 81}});
    dir.Write("a.level", a.bytes);
    dir.Write("B.level", b.bytes);
    const std::string outside = "\nOutside the map, not written:\nB.level: player 3 at 0,1\nB.level: player 4 at 255,1";
    const PlayerBatchResult first = ConvertLevelsetPlayers(lvl, Dir(), 4);
    EXPECT_EQ(BatchSummary(first), "Set 4 players: 1 level changed, 1 skipped.\nChanged:\na.level: 3,3=82 (Player 3) 4,4=83 (Player 4)\n"
                                   "Skipped:\nB.level: the new players fall outside the map" + outside);
    EXPECT_EQ(Read("a.level"), a.With({{3, 3, 82}, {4, 4, 83}}));
    EXPECT_EQ(Read("B.level"), b.bytes);

    const PlayerBatchResult second = ConvertLevelsetPlayers(lvl, Dir(), 4);
    EXPECT_EQ(BatchSummary(second), "Set 4 players: 0 levels changed, 2 skipped.\nSkipped:\n"
                                    "a.level: player 4 is already on the map\n"
                                    "B.level: the new players fall outside the map" + outside);
    EXPECT_EQ(Read("a.level"), a.With({{3, 3, 82}, {4, 4, 83}}));
    EXPECT_EQ(Read("a.level.bak"), a.bytes) << "the backup keeps the level as it was before its first conversion";
}

TEST_F(BatchTest, ErrorEndsTheBatchAndSaysWhatWasDone)
{
    VANTREL_SKIP_ON_WINDOWS("a name longer than the system takes is read as missing there, not as an error");
    const LevelFile good = MakeLevel(6, 4, false, {{{2, 2}, 80}, {{3, 2}, 81}});
    dir.Write("001.level", good.bytes);
    dir.Write("003.level", good.bytes);
    const std::string tooLong = std::string(300, 'x') + ".level";  // the system refuses the name
    const PlayerBatchResult r = ConvertPlayers(lvl, Dir(), {"001.level", tooLong, "003.level"}, 3);
    EXPECT_EQ(Read("001.level"), good.With({{4, 2, 82}}));
    EXPECT_EQ(Read("003.level"), good.bytes);
    EXPECT_EQ(BatchSummary(r), "Set 3 players stopped at " + tooLong + ": Cannot read the file (File name too long): " +
                                   Dir() + "/" + tooLong +
                                   "\nBefore it 1 level was changed and 0 skipped; they stay as they are. "
                                   "1 level was not reached.\nChanged:\n001.level: 4,2=82 (Player 3)");
    EXPECT_FALSE(lvl.HasFile());
}

TEST_F(BatchTest, DryRunWritesNothing)
{
    const LevelFile good = MakeLevel(6, 4, true, {{{2, 2}, 80}, {{3, 2}, 81}});
    dir.Write("001.level", good.bytes);
    PlayerBatchOptions options;
    options.DryRun = true;
    std::vector<std::string> progress;
    options.Progress = [&](std::size_t i, std::size_t n, const std::string& entry) {
        progress.push_back(std::to_string(i) + "/" + std::to_string(n) + " " + entry);
    };
    const PlayerBatchResult r = ConvertLevelsetPlayers(lvl, Dir(), 4, options);
    EXPECT_EQ(BatchSummary(r), "Set 4 players (dry run, nothing written): 1 level to change, 0 skipped.\n"
                               "To change:\n001.level: 4,2=82 (Player 3) 5,2=83 (Player 4)");
    EXPECT_EQ(Read("001.level"), good.bytes);
    EXPECT_FALSE(fs::exists(dir.Path() / "001.level.bak"));
    EXPECT_EQ(progress, std::vector<std::string>{"0/1 001.level"});
}

TEST_F(BatchTest, CookieLevelGetsItsCellsWritten)
{
    std::vector<std::uint16_t> cells(5 * 3, 1);
    cells[5 + 1] = 80;
    cells[5 + 2] = 81;
    const Bytes bytes = test::LevelBuilder::Cookie("1.0").HeadData({.width = 5, .height = 3}).Cells(cells, false).Data();
    dir.Write("001.level", bytes);
    const PlayerBatchResult r = ConvertLevelsetPlayers(lvl, Dir(), 3);
    Bytes expected = bytes;
    expected[150 + 5 + 3] = 82;  // the map of a "1.0" file starts at 150
    EXPECT_EQ(Read("001.level"), expected);
    EXPECT_EQ(BatchHeadline(r), "Set 3 players: 1 level changed, 0 skipped.");
}

TEST_F(BatchTest, ReadOnlyLevelIsSkipped)
{
    if (test::Superuser()) GTEST_SKIP() << "root may write any file";
    const LevelFile good = MakeLevel(6, 4, false, {{{2, 2}, 80}, {{3, 2}, 81}});
    const std::string path = dir.Write("001.level", good.bytes);
    fs::permissions(path, fs::perms::owner_read);
    const PlayerBatchResult r = ConvertLevelsetPlayers(lvl, Dir(), 3);
    EXPECT_EQ(BatchSummary(r), "Set 3 players: 0 levels changed, 1 skipped.\nSkipped:\n"
                               "001.level: the file may not be written (" + std::string(test::kDeniedText) + ")");
    EXPECT_EQ(Read("001.level"), good.bytes);
}

}  // namespace
}  // namespace vantrel
