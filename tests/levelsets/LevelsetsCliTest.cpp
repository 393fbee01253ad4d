// vantrel-cli levelsets and sort, run as a user would.
#include "levelsets/LevelsetDirs.h"
#include "support/RunCli.h"
#include "support/SystemOnly.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace vantrel {
namespace {

namespace fs = std::filesystem;

TEST(LevelsetsCliTest, PrintsTreeAndTotals)
{
    test::TempDir dir;
    const fs::path levels = dir.Path() / "data" / "levels";
    test::MakeGroup(levels / "Classics", "Classics");
    test::MakeLevelset(levels / "Classics" / "A", "A", 10);
    test::MakeLevelset(levels / "Classics" / "B", "B", 5);
    test::MakeLevelset(levels / "Tutorials", "Tutorials", 8);
    fs::create_directories(levels / "Misc");
    const test::CliResult r = test::RunCli({"levelsets", (dir.Path() / "data").string()}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Classics (Group)\n  A (10 levels)\n  B (5 levels)\nTutorials (8 levels)\n"
                     "23 levels in 3 levelsets in 1 levelgroup\n");
    EXPECT_EQ(r.err, "message: " + (levels / "Misc").string() + test::kSep + "levelinfo.conf not found!\n");
}

TEST(LevelsetsCliTest, DataDirWithoutLevelsFails)
{
    test::TempDir dir;
    const test::CliResult r = test::RunCli({"levelsets", dir.Path().string()}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "message: The folder " + dir.Path().string() + " holds no \"levels\" folder: choose the "
                     "game's data directory, the folder that holds \"levels\".\n");
}

TEST(LevelsetsCliTest, SortPrintsRenamesAndSkips)
{
    test::TempDir dir;
    const fs::path set = dir.Path() / "set";
    for (const char* name : {"001.level", "001.level.bak", "005.level", "005.level.bak", "a.level", "003.level.bak",
                             "b.level"})
        test::WriteFile(set / name, name);
    const std::string expected = "005.level -> 002.level\n005.level.bak -> 002.level.bak\na.level -> 003.level\n"
                                 "b.level -> 004.level\nmoved aside 003.level.bak -> 003.level.old.bak\n";
    test::CliResult r = test::RunCli({"sort", set.string(), "--dry-run"}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected);
    EXPECT_TRUE(fs::exists(set / "005.level")) << "a dry run renames nothing";
    r = test::RunCli({"sort", set.string()}, dir);
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(test::ReadFile(set / "002.level.bak"), "005.level.bak");
    EXPECT_EQ(test::ReadFile(set / "003.level"), "a.level");
    EXPECT_EQ(test::ReadFile(set / "003.level.old.bak"), "003.level.bak");
}

// A folder that may not be changed: every rename the system refuses fails the sort. Root may change any
// folder, so the tool then runs as nobody.
TEST(LevelsetsCliTest, SortInAFolderThatMayNotBeChangedFails)
{
#ifdef _WIN32
    GTEST_SKIP() << "a folder's permission bits and other users are POSIX's";
#else
    if (::geteuid() == 0 && !fs::exists("/usr/bin/setpriv")) GTEST_SKIP() << "no setpriv";
    test::TempDir dir;
    const fs::path set = dir.Path() / "set";
    for (const char* name : {"a.level", "b.level", "002.level.bak"}) test::WriteFile(set / name, name);
    fs::permissions(set, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
    const test::CliResult r = test::RunCli(
        {"sort", set.string()}, dir,
        ::geteuid() == 0 ? std::vector<std::string>{"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"}
                         : std::vector<std::string>{});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "skipped a.level: it could not be renamed to 001.level: Permission denied\nskipped b.level: "
                     "002.level.bak exists and could not be moved aside: Permission denied\nkept 002.level.bak\n");
    EXPECT_EQ(r.err, "message: 2 of the renames were refused by the system (see the lines above); those levels "
                     "keep their names.\n");
#endif
}

}  // namespace
}  // namespace vantrel
