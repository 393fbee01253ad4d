// levelinfo.conf reading, labels, the order of listings, and how the data
// directory is found (settings in memory, a scripted user).
#include "base/Error.h"
#include "levelsets/LevelsetConfig.h"

#include "levelsets/LevelsetDirs.h"
#include "support/ScriptedUi.h"
#include "support/SystemOnly.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

struct ConfCase {
    const char* what;
    std::string text;
    const char* key;
    std::string value;
};

TEST(ReadConfValueTest, FirstNonEmptyValueOfKeyAtLineStart)
{
    const ConfCase cases[] = {
        {"group with blank", "level_group: true\n", "level_group", "true"},
        {"group without blank", "level_group:true\n", "level_group", "true"},
        {"capital True", "level_group: True\n", "level_group", "True"},
        {"trailing blank kept", "level_group: true \n", "level_group", "true "},
        {"empty value does not stop", "name:\nname: Tutorials\n", "name", "Tutorials"},
        {"indented line skipped", "  name: X\n", "name", ""},
        {"key is case-sensitive", "Name: X\n", "name", ""},
        {"longer key skipped", "name_sorting: a\nname: B\n", "name", "B"},
        {"CR LF", "file: x\r\nname: A\r\n", "name", "A"},
        {"tab after colon", "name:\t \tA b\n", "name", "A b"},
        {"last line without feed", "x: y\nname: Z", "name", "Z"},
        {"key inside a line", "x name: Y\n", "name", ""},
        {"value after first key and colon", "name:name: Q\n", "name", "name: Q"},
        {"Latin-1 byte kept", "name: K\xf6ln\n", "name", "K\xf6ln"},
        {"empty file", "", "name", ""},
    };
    test::TempDir dir;
    for (const ConfCase& c : cases) {
        const std::string file = dir.Write("levelinfo.conf", c.text);
        EXPECT_EQ(ReadConfValue(file, c.key), c.value) << c.what;
    }
}

TEST(ReadConfValueTest, UnreadableFileEndsWithItsName)
{
    test::TempDir dir;
    const std::string missing = (dir.Path() / "none.conf").string();
    fs::create_directory(dir.Path() / "folder.conf");
    for (const std::string& path : {missing, (dir.Path() / "folder.conf").string()}) {
        try {
            ReadConfValue(path, "name");
            ADD_FAILURE() << path;
        } catch (const std::exception& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Cannot read " + path + ": ", 0), 0u) << e.what();
        }
    }
}

TEST(LevelsetLabelTest, KindNameAndLevelCount)
{
    struct Case {
        std::string conf;
        int levels;
        std::string label;
        LevelsetKind kind;
    };
    const Case cases[] = {
        {"name: Classics\nlevel_group: true\n", 2, "Classics (Group)", LevelsetKind::Group},
        {"name: Yes\nlevel_group: yes\n", 3, "Yes (3 levels)", LevelsetKind::Levelset},
        {"level_group: true \nname: T\n", 1, "T (1 levels)", LevelsetKind::Levelset},
        {"  name: Hidden\nName: Capital\n", 3, " (3 levels)", LevelsetKind::Levelset},
        {"name: Empty\n", 0, "Empty (0 levels)", LevelsetKind::Levelset},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        WriteFile(dir.Path() / "levelinfo.conf", c.conf);
        for (int i = 0; i < c.levels; ++i) WriteFile(dir.Path() / (std::to_string(i) + ".level"), "x");
        const LevelsetInfo info = LevelsetLabel(dir.Path().string());
        EXPECT_EQ(info.Label, c.label);
        EXPECT_EQ(info.Kind, c.kind) << c.label;
        EXPECT_EQ(info.Levels, c.kind == LevelsetKind::Group ? 0 : c.levels);
    }
}

TEST(ListLevelFilesTest, RegularFilesEndingInLevelInListingOrder)
{
    VANTREL_SKIP_ON_WINDOWS("links and names that differ only in case are POSIX's");
    test::TempDir dir;
    const fs::path d = dir.Path();
    for (const char* name : {"b.level", "_x.level", "!bang.level", "Alpha.level", "alpha.level", "B.level",
                             "a.level", ".level", "c.LEVEL", "c.level.bak", "notes.txt"})
        WriteFile(d / name, "x");
    fs::create_directory(d / "dir.level");
    fs::create_symlink(d / "a.level", d / "link.level");
    fs::create_symlink(d / "gone", d / "broken.level");
    EXPECT_EQ(ListLevelFiles(d.string()),
              (std::vector<std::string>{"!bang.level", ".level", "_x.level", "a.level", "Alpha.level",
                                        "alpha.level", "B.level", "b.level", "link.level"}));
    EXPECT_THROW(ListLevelFiles((d / "none").string()), std::exception);
}

class LocateTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScriptedUi ui;
    test::MemorySettings settings;
    std::string DataDir(const char* name, bool withLevels)
    {
        const fs::path d = dir.Path() / name;
        fs::create_directories(withLevels ? d / "levels" : d);
        return d.string();
    }
};

TEST_F(LocateTest, FirstStartAsksForDirectoryAndStoresIt)
{
    const std::string data = DataDir("game", true);
    ui.directories.push_back(data);
    EXPECT_EQ(StoredDataDirectory(settings, ui), data);
    EXPECT_TRUE(ui.messages.empty()) << "no box before the chooser: its title says what it is for";
    EXPECT_EQ(ui.fileDialogTitles, std::vector<std::string>{"Select directory for datadir"});
    EXPECT_EQ(settings.values["datadir"], data);
}

TEST_F(LocateTest, CancelledChooserThenCancelledSetupSearchEndsTheScan)
{
    EXPECT_EQ(StoredDataDirectory(settings, ui), std::nullopt);
    EXPECT_EQ(DataDirectoryFromSetupFile(settings, ui, ""), std::nullopt);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.fileDialogTitles, (std::vector<std::string>{"Select directory for datadir", "Find setup.conf"}));
    EXPECT_TRUE(settings.values.empty()) << "nothing stored";
}

TEST_F(LocateTest, DataDirWithoutLevelsGoesStraightToSetupSearch)
{
    settings.values["datadir"] = DataDir("nolevels", false);
    const std::string game = DataDir("game", false);  // not tested for "levels" once picked
    ui.files.push_back(game + "/setup.conf");
    EXPECT_EQ(StoredDataDirectory(settings, ui), std::nullopt);
    EXPECT_TRUE(ui.fileDialogTitles.empty()) << "the stored folder is not asked for again";
    EXPECT_EQ(DataDirectoryFromSetupFile(settings, ui, settings.values["datadir"]), game);
    EXPECT_EQ(ui.fileDialogTitles, std::vector<std::string>{"Find setup.conf"});
    EXPECT_EQ(settings.values["datadir"], game);
}

TEST_F(LocateTest, MissingStoredDirectoryAskedAgainCancelKeepsIt)
{
    settings.values["outputdir"] = (dir.Path() / "moved").string();
    EXPECT_EQ(DirectorySetting("outputdir", settings, ui), "");
    EXPECT_EQ(ui.fileDialogTitles, std::vector<std::string>{"Select directory for outputdir"});
    EXPECT_EQ(settings.values["outputdir"], (dir.Path() / "moved").string());
    ui.directories.push_back(DataDir("out", false));
    EXPECT_EQ(DirectorySetting("outputdir", settings, ui), DataDir("out", false));
    EXPECT_EQ(settings.values["outputdir"], DataDir("out", false));
    EXPECT_EQ(DirectorySetting("outputdir", settings, ui), DataDir("out", false));
    EXPECT_EQ(ui.fileDialogTitles.size(), 2u) << "an existing directory is returned silently";
}

TEST_F(LocateTest, ALevelsFolderPickedOrStoredStandsForTheDataDirectoryAbove)
{
    const std::string game = DataDir("game", true);
    settings.values["datadir"] = game + "/levels/";
    EXPECT_EQ(StoredDataDirectory(settings, ui), game);
    EXPECT_EQ(settings.values["datadir"], game);
    EXPECT_TRUE(ui.fileDialogTitles.empty()) << "no setup.conf search";
    EXPECT_EQ(DataDirectoryOf(DataDir("levels", true)), DataDir("levels", true)) << "a data directory named levels";
}

TEST_F(LocateTest, ATypedDirectoryIsCreatedOnlyOnceTheUserAgrees)
{
    const std::string typed = (dir.Path() / "new" / "out").string();
    ui.directories = {typed, typed};
    ui.answers = {false, true};
    EXPECT_EQ(DirectorySetting("outputdir", settings, ui), "");
    EXPECT_FALSE(fs::exists(typed));
    EXPECT_EQ(DirectorySetting("outputdir", settings, ui), typed);
    EXPECT_TRUE(fs::is_directory(typed));
    EXPECT_EQ(ui.questions, std::vector<std::string>(2, "The folder " + typed + " does not exist. Create it?"));
}

TEST_F(LocateTest, AFolderThatCannotBeCreatedEndsTheCommandAndNothingIsStored)
{
    std::ofstream(dir.Path() / "file") << "a file where a folder would go";
    const std::string typed = (dir.Path() / "file" / "out").string();
    ui.directories = {typed};
    ui.answers = {true};
    try {
        DirectorySetting("outputdir", settings, ui);
        ADD_FAILURE() << "no error";
    } catch (const VantrelError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create the folder " + typed + ": ", 0), 0u) << e.what();
    }
    EXPECT_TRUE(ui.messages.empty()) << "the error is the command's end, said once by whoever runs it";
    EXPECT_TRUE(settings.values.empty());
}

}  // namespace
}  // namespace vantrel
