// Sort the levels on real files: every file checked by name and content
// afterwards, collisions and backups included, and the summary text.
#include "levelsets/LevelSort.h"

#include "levelsets/LevelsetConfig.h"
#include "levelsets/LevelsetDirs.h"

#include <gtest/gtest.h>

#include <map>

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::string>;  // name -> content

void MakeFiles(const fs::path& dir, const Files& files)
{
    for (const auto& [name, content] : files) test::WriteFile(dir / name, content);
}

Files FilesIn(const fs::path& dir)
{
    Files files;
    for (const auto& e : fs::directory_iterator(dir)) files[e.path().filename().string()] = test::ReadFile(e.path());
    return files;
}

SortResult SortDir(const fs::path& dir, bool dryRun = false)
{
    return SortLevels(dir.string(), ListLevelFiles(dir.string()), dryRun);
}

TEST(SortLevelsTest, RenumbersInListingOrder)
{
    test::TempDir dir;
    MakeFiles(dir.Path(), {{"001.level", "a"}, {"005.level", "b"}, {"010.level", "c"}, {"intro.level", "d"}});
    const SortResult r = SortDir(dir.Path());
    EXPECT_EQ(FilesIn(dir.Path()), (Files{{"001.level", "a"}, {"002.level", "b"}, {"003.level", "c"},
                                          {"004.level", "d"}}));
    EXPECT_EQ(r.Kept, 1);
    EXPECT_EQ(SortSummary(r), "3 levels renamed, 0 skipped.\nRenamed:\n005.level -> 002.level\n"
                              "010.level -> 003.level\nintro.level -> 004.level");
}

// The first number is the set's first level as the game reads it.
TEST(SortLevelsTest, StartsAtTheSetsFirstLevel)
{
    struct Case {
        const char* name;
        Files set;           // the set's folder, a "set" folder inside a group folder
        const char* group;   // the group's levelinfo.conf, or nullptr for none
        Files expected;
    };
    const Case cases[] = {
        {"ConfSaysZero", {{"levelinfo.conf", "first_level: 0\n"}, {"001.level", "a"}, {"002.level", "b"}}, nullptr,
         {{"levelinfo.conf", "first_level: 0\n"}, {"000.level", "a"}, {"001.level", "b"}}},
        {"ConfGivesNoneTheGameStartsAtZero", {{"levelinfo.conf", "name: S\n"}, {"001.level", "a"}}, nullptr,
         {{"levelinfo.conf", "name: S\n"}, {"000.level", "a"}}},
        {"GroupGivesIt", {{"levelinfo.conf", "name: S\n"}, {"001.level", "a"}}, "level_group: true\nfirst_level: 5\n",
         {{"levelinfo.conf", "name: S\n"}, {"005.level", "a"}}},
        {"NoConfFilesFromZero", {{"000.level", "a"}, {"002.level", "b"}}, nullptr, {{"000.level", "a"}, {"001.level", "b"}}},
        {"NoConfFilesFromOne", {{"002.level", "a"}}, nullptr, {{"001.level", "a"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        if (c.group) test::WriteFile(dir.Path() / "levelinfo.conf", c.group);
        fs::create_directory(dir.Path() / "set");
        MakeFiles(dir.Path() / "set", c.set);
        SortDir(dir.Path() / "set");
        EXPECT_EQ(FilesIn(dir.Path() / "set"), c.expected);
    }
}

TEST(SortLevelsTest, EmptyListRenamesNothing)
{
    test::TempDir dir;
    MakeFiles(dir.Path(), {{"notes.txt", "n"}});
    const SortResult r = SortDir(dir.Path());
    EXPECT_EQ(FilesIn(dir.Path()), (Files{{"notes.txt", "n"}}));
    EXPECT_EQ(SortSummary(r), "No level was renamed.");
}

const Files kCollisions = {
    {".level", "nameless"},
    {"0001.level", "A"},
    {"001.level", "B"},
    {"abc.level", "C"},
    {"abc.level.bak", "C backup"},
    {"003.level.bak", "stale backup"},
    {"009.level.bak", "another stale backup"},
    {"b.level", "D"},
    {"c.level", "E"},
    {"c.level.bak", "E backup"},
    {"x.level.level", "X"},
};

TEST(SortLevelsTest, NeverReplacesAFileAndMovesBackupsStaleOnesAside)
{
    test::TempDir dir;
    MakeFiles(dir.Path(), kCollisions);
    MakeFiles(dir.Path(), {{"003.level.old.bak", "moved aside before"}});
    const SortResult r = SortDir(dir.Path());
    EXPECT_EQ(FilesIn(dir.Path()), (Files{
                                       {".level", "nameless"},
                                       {"0001.level", "A"},  // 001.level is taken
                                       {"002.level", "B"},   // 001 moves up, n counts on
                                       {"003.level", "C"},   // the gap of the deleted 003.level closes
                                       {"003.level.bak", "C backup"},
                                       {"003.level.old.bak", "moved aside before"},
                                       {"003.level.old2.bak", "stale backup"},
                                       {"004.level", "D"},
                                       {"005.level", "E"},
                                       {"005.level.bak", "E backup"},
                                       {"009.level.bak", "another stale backup"},
                                       {"x.level.level", "X"},
                                   }));
    EXPECT_EQ(SortSummary(r), "4 levels renamed, 3 skipped.\n"
                              "Renamed:\n"
                              "001.level -> 002.level\n"
                              "abc.level -> 003.level (with its backup)\n"
                              "b.level -> 004.level\n"
                              "c.level -> 005.level (with its backup)\n"
                              "Not renamed:\n"
                              ".level: its name has nothing before \".level\"\n"
                              "0001.level: 001.level exists\n"
                              "x.level.level: there is no file x.level\n"
                              "Backups of levels that are gone, moved aside:\n"
                              "003.level.bak -> 003.level.old2.bak\n"
                              "Backups of levels that are gone, kept where they are:\n"
                              "009.level.bak");
}

TEST(SortLevelsTest, DryRunTellsTheSameAndChangesNothing)
{
    test::TempDir real, dry;
    MakeFiles(real.Path(), kCollisions);
    MakeFiles(dry.Path(), kCollisions);
    const std::string planned = SortSummary(SortDir(dry.Path(), true));
    EXPECT_EQ(FilesIn(dry.Path()), kCollisions);
    EXPECT_EQ(planned, SortSummary(SortDir(real.Path())));
}

}  // namespace
}  // namespace vantrel
