// vantrel-cli set (the File Info edits, checked whole first) and check (the
// game's reading of each level: findings with offsets, a summary, the status).
#include "support/LevelBuilder.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using test::Bytes;
using LB = test::LevelBuilder;

Bytes Older() { return LB::Standard({.width = 3, .height = 2, .title = "Old"}, {1, 8, 3, 4, 5, 6}, "Me").Data(); }
Bytes Newer() { return LB::Newer().Name("New").Auth("Me").Info(LB::InfoEntries(1, 1, 5, 6)).Body({0}, true).Data(); }

TEST(CliSetTest, WritesEveryValueOrNone)
{
    struct Row {
        Bytes level;
        std::vector<std::string> args;
        int status;
        std::string err, shown;  // the messages; what load then shows of the header
    };
    std::vector<Row> rows = {
        {Older(), {"--title", "Cave", "--author", "Ann", "--time", "1000"}, 0,
         "message: Level title, author, time left and emeralds to collect updated! (The game's level editor "
         "resets time left and emeralds to collect above 999 to 999 when its Level Settings screen is opened.)\n",
         "Level Title: Cave|Author: Ann|Time left: 1000|Emeralds to collect: 0"},
        {Newer(), {"--emeralds", "7", "--title", "Neu"}, 0,
         "message: Level title, time left and emeralds to collect updated!\n",
         "Level Title: Neu|Author: Me|Time left: 5|Emeralds to collect: 7"},
        {Older(), {"--author", "Ann"}, 0, "message: Level author updated!\n",
         "Level Title: Old|Author: Ann|Time left: 0|Emeralds to collect: 0"},
        {Older(), {"--title", std::string(33, 'x'), "--time", "5"}, 1,
         "message: The title \"" + std::string(33, 'x') + "\" holds 33 characters; a level keeps at most 32. Nothing "
         "was written.\n", "Level Title: Old|Author: Me|Time left: 0|Emeralds to collect: 0"},
        {Newer(), {"--title", "Neu", "--time", "40000"}, 1,
         "message: In this level time left and emeralds to collect are signed 16-bit numbers: values above 32767 "
         "cannot be stored. Nothing was written.\n", "Level Title: New|Author: Me|Time left: 5|Emeralds to collect: 6"},
        // Typed as UTF-8, stored as the level stores text: one byte (Latin-1) a character.
        {Older(), {"--title", "Zo\xC3\xAB " + std::string(28, 'x'), "--author", "\xC3\x85ngstr\xC3\xB6m"}, 0,
         "message: Level title, author updated!\n",
         "Level Title: Zo\xEB " + std::string(28, 'x') + "|Author: \xC5ngstr\xF6m|Time left: 0|Emeralds to collect: 0"},
        {Older(), {"--title", "Cave", "--author", "\xE5\x90\x8D\xE5\x89\x8D"}, 1,
         "message: The author cannot hold the character \"\xE5\x90\x8D\": a level stores one byte (Latin-1) a "
         "character. Nothing was written.\n", "Level Title: Old|Author: Me|Time left: 0|Emeralds to collect: 0"},
    };
#ifndef _WIN32
    // Latin-1 bytes given as they are (no UTF-8) are stored as they are.
    rows.push_back({Older(), {"--title", "Caf\xE9"}, 0, "message: Level title updated!\n",
                    "Level Title: Caf\xE9|Author: Me|Time left: 0|Emeralds to collect: 0"});
#endif
    for (const Row& row : rows) {
        test::TempDir dir;
        const std::string path = dir.Write("a.level", row.level);
        std::vector<std::string> args{"set", path};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const auto r = test::RunCli(args, dir);
        EXPECT_EQ(r.status, row.status);
        EXPECT_EQ(r.err, row.err);
        std::string shown;
        for (const char* field : {"Level Title: ", "Author: ", "Time left: ", "Emeralds to collect: "}) {
            const std::string out = test::RunCli({"load", path}, dir).out;
            const auto at = out.find(std::string("\n") + field);
            shown += (shown.empty() ? "" : "|") + out.substr(at + 1, out.find('\n', at + 1) - at - 1);
        }
        EXPECT_EQ(shown, row.shown);
    }
}

TEST(CliCheckTest, FindingsAndSummary)
{
    test::TempDir dir;
    const std::string clean = dir.Write("set/001.level", Older());
    Bytes faulty = Newer();
    const std::size_t end = faulty.size();
    faulty.insert(faulty.end(), {'A', 'B', 'C', 'D', 0, 0, 0, 1, 9, 'C', 'U', 'S', '4', 0, 0, 0, 96, 1, 0x68});
    faulty.resize(faulty.size() + 94);
    const std::string bad = dir.Write("set/002.level", faulty);
    const auto r = test::RunCli({"check", (dir.Path() / "set").string()}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, clean + ": 197: note: BODY holds the code 8 once: the game reads it as 80\n" + clean +
                         ": 200: note: BODY holds the code 5 once: the game reads it as 32\n" + bad + ": " +
                         std::to_string(end) + ": unknown chunk \"ABCD\" of 1 bytes: the game skips it\n" + bad + ": " +
                         std::to_string(end + 9) + ": CUS4 chunk for CE 1 has 0 change pages: the game reads one "
                         "change page of 48 bytes from what follows it and goes on at " + std::to_string(end + 161) +
                         ", out of step with the chunks after it\n2 levels checked: 1 clean, 1 with findings\n");
    EXPECT_EQ(test::RunCli({"check", clean}, dir).status, 0);
}

}  // namespace
}  // namespace vantrel
