// Sort the levels on real files: every file checked by name and content
// afterwards, collisions and backups included, and the summary text.
#include "levelsets/LevelSort.h"

#include "base/Error.h"
#include "file/Journal.h"
#include "levelsets/LevelsetConfig.h"
#include "levelsets/LevelsetDirs.h"
#include "support/SystemOnly.h"

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
                                       {"001.level", "A"},  // once 001.level has moved up
                                       {"002.level", "B"},
                                       {"003.level", "C"},  // the gap of the deleted 003.level closes
                                       {"003.level.bak", "C backup"},
                                       {"003.level.old.bak", "moved aside before"},
                                       {"003.level.old2.bak", "stale backup"},
                                       {"004.level", "D"},
                                       {"005.level", "E"},
                                       {"005.level.bak", "E backup"},
                                       {"009.level.bak", "another stale backup"},
                                       {"x.level.level", "X"},
                                   }));
    EXPECT_EQ(SortSummary(r), "5 levels renamed, 2 skipped.\n"
                              "Renamed:\n"
                              "0001.level -> 001.level\n"
                              "001.level -> 002.level\n"
                              "abc.level -> 003.level (with its backup)\n"
                              "b.level -> 004.level\n"
                              "c.level -> 005.level (with its backup)\n"
                              "Not renamed:\n"
                              ".level: its name has nothing before \".level\"\n"
                              "x.level.level: there is no file x.level\n"
                              "Backups of levels that are gone, moved aside:\n"
                              "003.level.bak -> 003.level.old2.bak\n"
                              "Backups of levels that are gone, kept where they are:\n"
                              "009.level.bak");
}

// Levels that move to higher numbers move from the far end first, so that no
// new name is taken when its turn comes and the set is left without holes.
TEST(SortLevelsTest, MovesEveryLevelWhenTheNumbersGoUp)
{
    struct Case {
        const char* name;
        const char* group;  // the group's levelinfo.conf, or nullptr
        Files set;
        Files expected;
    };
    const Case cases[] = {
        {"FourFromOne",
         nullptr,
         {{"levelinfo.conf", "first_level: 1\n"}, {"000.level", "a"}, {"001.level", "b"}, {"002.level", "c"},
          {"003.level", "d"}, {"001.level.bak", "b backup"}},
         {{"levelinfo.conf", "first_level: 1\n"}, {"001.level", "a"}, {"002.level", "b"}, {"002.level.bak", "b backup"},
          {"003.level", "c"}, {"004.level", "d"}}},
        {"TenFromFive",
         nullptr,
         {{"levelinfo.conf", "first_level: 5\n"}, {"001.level", "1"}, {"002.level", "2"}, {"003.level", "3"},
          {"004.level", "4"}, {"005.level", "5"}, {"006.level", "6"}, {"007.level", "7"}, {"008.level", "8"},
          {"009.level", "9"}, {"010.level", "10"}},
         {{"levelinfo.conf", "first_level: 5\n"}, {"005.level", "1"}, {"006.level", "2"}, {"007.level", "3"},
          {"008.level", "4"}, {"009.level", "5"}, {"010.level", "6"}, {"011.level", "7"}, {"012.level", "8"},
          {"013.level", "9"}, {"014.level", "10"}}},
        {"InheritedFromTheGroup",
         "level_group: true\nfirst_level: 3\n",
         {{"levelinfo.conf", "name: S\n"}, {"001.level", "a"}, {"002.level", "b"}, {"003.level", "c"},
          {"004.level", "d"}},
         {{"levelinfo.conf", "name: S\n"}, {"003.level", "a"}, {"004.level", "b"}, {"005.level", "c"},
          {"006.level", "d"}}},
        {"DownAndUpInOneSet",  // 004 moves down into the gap, 002 and 003 up behind the newcomer
         nullptr,
         {{"levelinfo.conf", "first_level: 1\n"}, {"001.level", "a"}, {"001a.level", "new"}, {"002.level", "b"},
          {"003.level", "c"}, {"009.level", "d"}},
         {{"levelinfo.conf", "first_level: 1\n"}, {"001.level", "a"}, {"002.level", "new"}, {"003.level", "b"},
          {"004.level", "c"}, {"005.level", "d"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        if (c.group) test::WriteFile(dir.Path() / "levelinfo.conf", c.group);
        fs::create_directory(dir.Path() / "set");
        MakeFiles(dir.Path() / "set", c.set);
        const SortResult r = SortDir(dir.Path() / "set");
        EXPECT_EQ(FilesIn(dir.Path() / "set"), c.expected);
        EXPECT_TRUE(r.Skipped.empty()) << SortSummary(r);
    }
}

// The first_level is read as the game reads its setup files.
TEST(SortLevelsTest, ReadsFirstLevelAsTheGame)
{
    const std::pair<const char*, long> cases[] = {
        {"first_level: 4\n", 4},
        {"first_level=4\n", 4},
        {"  first_level :\t4   # from four\n", 4},
        {"first_level 4\n", 4},
        {"first_level: 2\nfirst_level: 4\n", 4},  // the last one counts
        {"first_level: \\\n4\n", 0},              // no line goes on in the next: the game reads 0
        {"first_level: yes\n", 1},
        {"first_level: off\n", 0},
        {"first_level: 4th\n", 4},
        {"first_level: level four\n", 0},
        {"first_level:\n", 0},  // given, though empty: not taken from the group
        {"include: more.conf\n", 4},
        {"First_level: 7\n", 9},  // no first_level of its own: the group's
    };
    for (const auto& [conf, first] : cases) {
        SCOPED_TRACE(conf);
        test::TempDir dir;
        test::WriteFile(dir.Path() / "levelinfo.conf", "level_group: true\nfirst_level: 9\n");
        fs::create_directory(dir.Path() / "set");
        test::WriteFile(dir.Path() / "set" / "levelinfo.conf", conf);
        test::WriteFile(dir.Path() / "set" / "more.conf", "first_level: 4\n");
        EXPECT_EQ(GameFirstLevel((dir.Path() / "set").string(), {}), first);
    }
}

// A first_level the game cannot number levels from, or a levelinfo.conf that
// cannot be read, refuses the sort before anything is renamed.
TEST(SortLevelsTest, RefusesWhatTheGameCannotNumber)
{
    struct Case {
        const char* name;
        std::string conf;  // the set's levelinfo.conf; a folder of that name when empty
        std::string said;  // after the path of the set's folder
    };
    const Case cases[] = {
        {"Negative", "first_level: -5\n", "levelinfo.conf is -5: the game numbers its levels from 000 to 999, "
                                          "so the levels were not renumbered."},
        {"Overflow", "first_level: 9223372036854775807\n",
         "levelinfo.conf is 9223372036854775807: the game numbers its levels from 000 to 999, so the levels were not "
         "renumbered."},
        {"PastTheLast", "first_level: 998\n", ""},
        {"Unreadable", "", "levelinfo.conf (it is a folder), so the levels were not renumbered."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const Files files = {{"001.level", "a"}, {"002.level", "b"}, {"003.level", "c"}};
        MakeFiles(dir.Path(), files);
        if (c.conf.empty())
            fs::create_directory(dir.Path() / "levelinfo.conf");
        else
            test::WriteFile(dir.Path() / "levelinfo.conf", c.conf);
        const std::string set = dir.Path().string();
        std::string said;
        try {
            SortDir(dir.Path());
        } catch (const VantrelError& e) {
            said = e.what();
        }
        if (std::string(c.name) == "PastTheLast")
            EXPECT_EQ(said, "The 3 levels of " + set + " would be numbered from 998 to 1000 (the first_level of " + set + test::kSep +
                                "levelinfo.conf), but the game reads levels up to 999 only, so the levels were not "
                                "renumbered.");
        else if (std::string(c.name) == "Unreadable")
            EXPECT_EQ(said, "Cannot read " + set + test::kSep + c.said);
        else
            EXPECT_EQ(said, "The first_level in " + set + test::kSep + c.said);
        Files left;
        for (const auto& [name, content] : files) left[name] = test::ReadFile(dir.Path() / name);
        EXPECT_EQ(left, files);
    }
}

// A backup whose level is gone is put beside the one level without a backup
// that begins with its bytes: what a sort stopped between the renames of a
// level and its backup leaves is made whole by the next one.
TEST(SortLevelsTest, PutsAnOrphanedBackupBesideItsLevel)
{
    struct Case {
        const char* name;
        Files files;
        Files expected;
        const char* summary;
    };
    const Case cases[] = {
        {"StoppedAfterTheBackup",
         {{"levelinfo.conf", "first_level: 1\n"}, {"000.level", "level A"}, {"001.level.bak", "level A"}},
         {{"levelinfo.conf", "first_level: 1\n"}, {"001.level", "level A"}, {"001.level.bak", "level A"}},
         "1 level renamed, 0 skipped.\nRenamed:\n000.level -> 001.level (with its backup)\n"
         "Backups of levels that are gone, put beside the level they are a backup of:\n001.level.bak -> 000.level.bak"},
        {"StoppedBeforeTheBackupWithChunksAppendedSince",
         {{"002.level", "level B+CUS4"}, {"005.level.bak", "level B"}, {"001.level", "level A"}},
         {{"001.level", "level A"}, {"002.level", "level B+CUS4"}, {"002.level.bak", "level B"}},
         "No level was renamed.\n"
         "Backups of levels that are gone, put beside the level they are a backup of:\n005.level.bak -> 002.level.bak"},
        {"TwoLevelsCouldOwnIt",
         {{"001.level", "same"}, {"002.level", "same"}, {"007.level.bak", "same"}},
         {{"001.level", "same"}, {"002.level", "same"}, {"007.level.bak", "same"}},
         "No level was renamed.\nBackups of levels that are gone, kept where they are:\n007.level.bak"},
        {"NoneBeginsWithIt",
         {{"001.level", "level A"}, {"007.level.bak", "level C"}},
         {{"001.level", "level A"}, {"007.level.bak", "level C"}},
         "No level was renamed.\nBackups of levels that are gone, kept where they are:\n007.level.bak"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir real, dry;
        MakeFiles(real.Path(), c.files);
        MakeFiles(dry.Path(), c.files);
        EXPECT_EQ(SortSummary(SortDir(dry.Path(), true)), c.summary);
        EXPECT_EQ(FilesIn(dry.Path()), c.files);
        EXPECT_EQ(SortSummary(SortDir(real.Path())), c.summary);
        EXPECT_EQ(FilesIn(real.Path()), c.expected);
    }
}

// A level left half-changed by a step that was cut off is put back before it
// is renamed: its journal, found by the level's name, would otherwise stay
// beside the level that takes that name.
TEST(SortLevelsTest, PutsBackAHalfChangedLevelBeforeItIsRenamed)
{
    test::TempDir dir;
    MakeFiles(dir.Path(), {{"001.level", "level A"}, {"005.level", "level B"}, {"007.level", "level C"}});
    const std::string half = (dir.Path() / "005.level").string();
    {
        StepJournal journal(half);
        const std::string before = "B", after = "Z";
        journal.Record(7, 6, reinterpret_cast<const std::uint8_t*>(before.data()), 1,
                       reinterpret_cast<const std::uint8_t*>(after.data()), 1);
        test::WriteFile(half, "level Z");
        journal.Keep();
    }
    const SortResult r = SortDir(dir.Path());
    EXPECT_EQ(FilesIn(dir.Path()), (Files{{"001.level", "level A"}, {"002.level", "level B"}, {"003.level", "level C"}}));
    EXPECT_EQ(SortSummary(r), "2 levels renamed, 0 skipped.\nRenamed:\n005.level -> 002.level\n007.level -> 003.level\n"
                              "The level " + half + " was put back as it was before a change that was cut off (the "
                              "program making it was stopped before the change was whole; the journal " + half +
                              ".journal held what to put back).");
}

// Where the open level went: the window follows it by this.
TEST(SortLevelsTest, RenamedPathFollowsALevelOfTheSortedFolder)
{
    test::TempDir dir;
    fs::create_directories(dir.Path() / "set");
    fs::create_directories(dir.Path() / "other");
    MakeFiles(dir.Path() / "set", {{"001.level", "a"}, {"005.level", "b"}, {"intro.level", "c"}});
    const std::string set = (dir.Path() / "set").string();
    const SortResult r = SortDir(dir.Path() / "set");
    const std::pair<fs::path, std::string> cases[] = {
        {dir.Path() / "set" / "005.level", (dir.Path() / "set" / "002.level").string()},
        {dir.Path() / "set" / "intro.level", (dir.Path() / "set" / "003.level").string()},
        {dir.Path() / "set" / ".." / "set" / "005.level", (dir.Path() / "set" / "002.level").string()},
        {dir.Path() / "set" / "001.level", ""},    // kept its name
        {dir.Path() / "other" / "005.level", ""},  // another folder
        {dir.Path() / "gone" / "005.level", ""},   // no folder at all
    };
    for (const auto& [level, moved] : cases) EXPECT_EQ(RenamedPath(r, set, level.string()), moved) << level;
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
