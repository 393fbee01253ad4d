// The scan over real directory trees in a temporary folder and over the
// corpus: the tree, the totals, the messages, and what the scan refuses.
#include "levelsets/LevelsetScan.h"

#include "base/Text.h"
#include "levelsets/LevelsetDirs.h"
#include "support/ScriptedUi.h"
#include "support/SystemOnly.h"

#include <gtest/gtest.h>



namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::MakeGroup;
using test::MakeLevelset;
using test::WriteFile;
using Lines = std::vector<std::string>;

class ScanTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScriptedUi ui;
    fs::path Levels() const { return dir.Path() / "levels"; }
    // A scan whose notices are said as the window says them, also before its error.
    LevelsetScanResult Scan(const ScanOptions& options = {})
    {
        LevelsetScanResult result;
        try {
            ScanLevelsDirectory(Levels().string(), result, options);
        } catch (...) {
            ui.messages.insert(ui.messages.end(), result.Notices.begin(), result.Notices.end());
            throw;
        }
        ui.messages.insert(ui.messages.end(), result.Notices.begin(), result.Notices.end());
        return result;
    }
};

TEST(TotalsText, ACountOfOneTakesTheSingular)
{
    const std::pair<ScanTotals, const char*> cases[] = {
        {{1, 1, 1}, "1 level in |1 levelset in |1 levelgroup"},
        {{0, 0, 0}, "0 levels in |0 levelsets in |0 levelgroups"},
        {{11, 2, 21}, "11 levels in |2 levelsets in |21 levelgroups"},
    };
    for (const auto& [totals, text] : cases) EXPECT_EQ(TotalsText(totals, "|"), text);
}

TEST_F(ScanTest, GroupsFirstDepthFirstTotalsAndMissingLevelinfo)
{
    MakeGroup(Levels() / "Classics", "Classics");
    MakeLevelset(Levels() / "Classics" / "B", "B", 5);
    MakeLevelset(Levels() / "Classics" / "A", "A", 10);
    MakeLevelset(Levels() / "Tutorials", "Tutorials", 8);
    fs::create_directories(Levels() / "Misc");
    fs::create_directories(Levels() / "Odd" / "levelinfo.conf");  // a folder of that name
    WriteFile(Levels() / "stray.level", "not in a levelset");
    std::vector<ScanTotals> progress;
    const fs::path workingDir = fs::current_path();
    const LevelsetScanResult r = Scan({.Progress = [&](const ScanTotals& t) { progress.push_back(t); }});
    EXPECT_EQ(TreeLines(r.Roots),
              (Lines{"Classics (Group)", "  A (10 levels)", "  B (5 levels)", "Tutorials (8 levels)"}));
    EXPECT_EQ(r.Totals, (ScanTotals{23, 3, 1}));
    EXPECT_EQ(TotalsText(r.Totals, "\n"), "23 levels in \n3 levelsets in \n1 levelgroup");
    EXPECT_EQ(r.LastListed, (Levels() / "Tutorials").string());
    EXPECT_EQ(r.Roots[0].Children[1].DirName, "B");
    EXPECT_EQ(ui.messages, (Lines{(Levels() / "Misc" / "levelinfo.conf").string() + " not found!",
                                  (Levels() / "Odd" / "levelinfo.conf").string() + " not found!"}));
    EXPECT_TRUE(ui.errors.empty()) << "a note, not an error";
    ASSERT_EQ(progress.size(), 4u);
    EXPECT_EQ(progress.back(), r.Totals);
    EXPECT_EQ(fs::current_path(), workingDir) << "listing never changes the working directory";
}

TEST_F(ScanTest, EmptyAndMissingLevelsDirectory)
{
    LevelsetScanResult r = Scan();
    EXPECT_FALSE(r.LevelsDirFound);
    fs::create_directories(Levels());
    r = Scan();
    EXPECT_TRUE(r.LevelsDirFound);
    EXPECT_TRUE(r.Roots.empty());
    EXPECT_EQ(r.Totals, (ScanTotals{0, 0, 0}));
    EXPECT_EQ(r.LastListed, "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ScanTest, NestedGroupsInListingOrder)
{
    MakeGroup(Levels() / "g", "G");
    MakeGroup(Levels() / "g" / "h", "H");
    MakeGroup(Levels() / "g" / "h" / "i", "I");
    MakeLevelset(Levels() / "g" / "h" / "i" / "deep", "Deep", 2);
    // Windows names "alpha" and "Alpha" one folder.
    for (const char* name : {"b", "_u", "!bang", "alpha", "Alpha"})
        if (!test::kWindows || name != std::string("alpha")) MakeLevelset(Levels() / "g" / name, name, 1);
    const LevelsetScanResult r = Scan();
    Lines tree{"G (Group)", "  !bang (1 levels)", "  _u (1 levels)", "  Alpha (1 levels)", "  alpha (1 levels)",
               "  b (1 levels)", "  H (Group)", "    I (Group)", "      Deep (2 levels)"};
    if (test::kWindows) tree.erase(tree.begin() + 4);
    EXPECT_EQ(TreeLines(r.Roots), tree);
    EXPECT_EQ(r.Totals, test::kWindows ? (ScanTotals{6, 5, 3}) : (ScanTotals{7, 6, 3}));
}

TEST_F(ScanTest, MoreThanThreeMissingLevelinfoInOneMessage)
{
    for (const char* name : {"d", "c", "b"}) fs::create_directories(Levels() / name);
    Scan();
    EXPECT_EQ(ui.messages.size(), 3u) << "three: one message each";
    ui.messages.clear();
    fs::create_directories(Levels() / "a");
    Scan();
    const auto l = [&](const char* name) { return (Levels() / name).string(); };
    EXPECT_EQ(ui.messages,
              Lines{"levelinfo.conf not found in 4 folders:\n" + l("a") + "\n" + l("b") + "\n" + l("c") + "\n" + l("d")});
}

TEST_F(ScanTest, LinksBackToAHoldingFolderAreLeftOutOtherLinksShown)
{
    VANTREL_SKIP_ON_WINDOWS("links to folders take a privilege on Windows");
    MakeGroup(Levels() / "g", "G");
    MakeLevelset(Levels() / "g" / "set", "Set", 1);
    fs::create_directory_symlink("..", Levels() / "g" / "up");   // back to levels
    fs::create_directory_symlink(".", Levels() / "g" / "self");  // g itself
    fs::create_directory_symlink("g/set", Levels() / "z");       // set a second time
    const LevelsetScanResult r = Scan();
    EXPECT_EQ(TreeLines(r.Roots), (Lines{"G (Group)", "  Set (1 levels)", "Set (1 levels)"}));
    EXPECT_EQ(ui.messages, (Lines{(Levels() / "g" / "self").string() + " leads back to a folder that holds it; it is left out.",
                                  (Levels() / "g" / "up").string() + " leads back to a folder that holds it; it is left out."}));
}

TEST_F(ScanTest, DepthIsBounded)
{
    fs::path d = Levels();
    for (int i = 0; i < 5; ++i) MakeGroup(d /= "g" + std::to_string(i), "G" + std::to_string(i));
    const LevelsetScanResult r = Scan({.Progress = {}, .MaxDepth = 3});
    EXPECT_EQ(TreeLines(r.Roots), (Lines{"G0 (Group)", "  G1 (Group)", "    G2 (Group)"}));
    EXPECT_EQ(ui.messages, Lines{"The folders inside " + (Levels() / "g0" / "g1" / "g2").string() +
                                 " lie more than 3 levels deep; they are left out."});
}

TEST_F(ScanTest, AnUnreadableLevelinfoLeavesItsFolderOutNamingIt)
{
    VANTREL_SKIP_ON_WINDOWS("named pipes and link loops are POSIX's");
    MakeLevelset(Levels() / "a", "A", 1);
    fs::create_directories(Levels() / "b");
    ASSERT_TRUE(test::MakeFifo(Levels() / "b" / "levelinfo.conf"));  // no file to read
    fs::create_directories(Levels() / "c");
    fs::create_directories(Levels() / "d");
    test::MakeFifo(Levels() / "d" / "levelinfo.conf");
    fs::create_directories(Levels() / "e");
    fs::create_symlink("levelinfo.conf", Levels() / "e" / "levelinfo.conf");  // a link loop
    MakeLevelset(Levels() / "f", "F", 2);
    const LevelsetScanResult r = Scan();
    EXPECT_EQ(TreeLines(r.Roots), (Lines{"A (1 levels)", "F (2 levels)"}));
    const std::string l = Levels().string();
    EXPECT_EQ(ui.messages, (Lines{"Cannot read " + l + "/b/levelinfo.conf: it is not a regular file; the folder is left out.",
                                  "Cannot read " + l + "/d/levelinfo.conf: it is not a regular file; the folder is left out.",
                                  "Cannot read " + l + "/e/levelinfo.conf: Too many levels of symbolic links; the folder is left out.",
                                  l + "/c/levelinfo.conf not found!"}));
}

TEST_F(ScanTest, UnlistableFolderEndsTheScanNamingIt)
{
    VANTREL_SKIP_ON_WINDOWS("a folder's permission bits are POSIX's");
    if (test::Superuser()) GTEST_SKIP() << "root lists every folder";
    MakeGroup(Levels() / "b", "B");
    fs::permissions(Levels() / "b", fs::perms::owner_read);
    EXPECT_THROW(
        try { Scan(); } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find((Levels() / "b").string()), std::string::npos) << e.what();
            throw;
        },
        std::exception);
    fs::permissions(Levels() / "b", fs::perms::owner_all);
}

TEST(CorpusScanTest, TwoGroupsOfOneLevelsetEach)
{
    const fs::path corpus = test::CorpusDir();
    if (corpus.empty()) GTEST_SKIP() << "../shared/corpus is absent";
    auto count = [](const fs::path& d) {
        long n = 0;
        for (const auto& e : fs::directory_iterator(d))
            if (e.is_regular_file() && e.path().extension() == ".level") ++n;
        return n;
    };
    const long sokoban = count(corpus / "levels/Classic_Games/classic_sokoban");
    const long tutorial = count(corpus / "levels/Tutorials/rnd_tutorial_niko_boehm");
    test::ScriptedUi ui;
    test::MemorySettings settings;
    settings.values["datadir"] = corpus.string();
    const auto dataDir = StoredDataDirectory(settings, ui);
    ASSERT_EQ(dataDir, corpus.string());
    std::optional<LevelsetScanResult> r(std::in_place);
    ScanLevelsDirectory(JoinPath(*dataDir, "levels"), *r);
    EXPECT_TRUE(r->Notices.empty());
    EXPECT_EQ(TreeLines(r->Roots), (Lines{"Classic Original Games (Group)",
                                          "  Sokoban (" + std::to_string(sokoban) + " levels)", "Tutorials (Group)",
                                          "  Niko B\xf6hm's Tutorial (" + std::to_string(tutorial) + " levels)"}));
    EXPECT_EQ(r->Totals, (ScanTotals{sokoban + tutorial, 2, 2}));
    EXPECT_EQ(r->LastListed, (corpus / "levels" / "Tutorials" / "rnd_tutorial_niko_boehm").string());
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace vantrel
