// vantrel-cli players, run as a user would: a dry run, the real run, and a
// directory that cannot be listed.
#include "support/LevelBuilder.h"
#include "support/RunCli.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

namespace fs = std::filesystem;

test::Bytes Level(std::vector<std::uint16_t> cells)
{
    return test::LevelBuilder::Standard({.width = 4, .height = 2}, cells).Data();
}

TEST(PlayersCliTest, LinesThenSummary)
{
    test::TempDir dir;
    const fs::path set = dir.Path() / "set";
    fs::create_directories(set);
    const test::Bytes good = Level({80, 81, 0, 0, 0, 0, 0, 0});
    const test::Bytes lone = Level({80, 0, 0, 0, 0, 0, 0, 0});
    dir.Write("set/002.level", good);
    dir.Write("set/001.level", lone);
    dir.Write("set/notes.level", "text");
    const std::string lines = "001.level: skipped, player 1 or player 2 is not on the map\n"
                              "002.level: 3,1=82 (Player 3) 4,1=83 (Player 4)\n"
                              "notes.level: skipped, not a level file: Not a Rocks'n'Diamonds level, or unknown "
                              "file version.\n";
    test::CliResult r = test::RunCli({"players", "4", set.string(), "--dry-run"}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, lines + "Set 4 players (dry run, nothing written): 1 level to change, 2 skipped.\n");
    EXPECT_EQ(test::ReadBytes(set / "002.level"), good);

    r = test::RunCli({"players", "4", set.string()}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, lines + "Set 4 players: 1 level changed, 2 skipped.\n");
    EXPECT_EQ(r.err, "");
    test::Bytes converted = good;
    converted[196 + 2] = 82;
    converted[196 + 3] = 83;
    EXPECT_EQ(test::ReadBytes(set / "002.level"), converted);

    r = test::RunCli({"players", "5", set.string()}, dir);
    EXPECT_EQ(r.status, 2);
    r = test::RunCli({"players", "3", (dir.Path() / "none").string()}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Cannot list the folder"), std::string::npos) << r.err;
}

#ifdef VANTREL_FILE_FAULTS
// A write that fails ends the batch; what went wrong is said on standard
// error, as every command says its failures, and the level stays as it was.
TEST(PlayersCliTest, AFailedWriteIsSaidOnStandardError)
{
    test::TempDir dir;
    const fs::path set = dir.Path() / "set";
    fs::create_directories(set);
    const test::Bytes good = Level({80, 81, 0, 0, 0, 0, 0, 0});
    dir.Write("set/a.level", good);
    dir.Write("set/a.level.bak", good);
    const std::string level = (set / "a.level").string();
    const test::CliResult r =
        test::RunCli({"players", "3", set.string()}, dir,
                     {"/usr/bin/env", std::string("LD_PRELOAD=") + VANTREL_FILE_FAULTS, "VANTREL_FAULT=eio",
                      "VANTREL_FAULT_AT=1", "VANTREL_FAULT_FILE=/a.level"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "message: Set 3 players stopped at a.level: Cannot write to the file (Input/output error): " +
                         level + ". Nothing was changed: the level is as it was before this command.\n"
                         "message: Before it 0 levels were changed and 0 skipped; they stay as they are. 0 levels were "
                         "not reached.\n");
    EXPECT_EQ(test::ReadBytes(set / "a.level"), good);
}
#endif

}  // namespace
}  // namespace vantrel
