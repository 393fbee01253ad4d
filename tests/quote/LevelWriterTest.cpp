// The new level writer: the exact bytes of a new file, the choice of its
// name, and that it never replaces a file nor leaves half a level behind.
#include "quote/LevelWriter.h"

#include "base/Error.h"
#include "level/Loader.h"
#include "quote/QuoteFiles.h"
#include "support/Lines.h"
#include "support/RunCli.h"
#include "support/ScriptedUi.h"
#include "support/SystemOnly.h"
#include "tell/Tell.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::ExpectedLevel;

struct WriterCase {
    const char* name;
    NewLevel level;
    ExpectedLevel expected;
};

std::vector<WriterCase> WriterCases()
{
    const std::string long40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";
    return {
        {"ThreeByTwo", {"Me", "Test", 3, 2, 5, 0, {1, 2, 3, 4, 5, 6}}, {3, 2, 0, 5, "Test", "Me", {1, 2, 3, 4, 5, 6}}},
        {"EmptyTitleAndAuthor", {"", "", 1, 1, 0, 0, {0}}, {1, 1, 0, 0, "", "", {0}}},
        {"WideCodesTimeAndEmeralds", {"A", "B", 2, 1, 0x1234, 999, {0x0168, 0xFFFF}},
         {2, 1, 999, 0x1234, "B", "A", {0x0168, 0xFFFF}}},
        {"LongTextsCutTo32", {long40, long40, 1, 1, 0, 0, {6}}, {1, 1, 0, 0, long40.substr(0, 32), long40.substr(0, 32), {6}}},
    };
}

TEST(LevelWriterTest, NewLevelBytesFollowTheLayout)
{
    for (const WriterCase& c : WriterCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NewLevelBytes(c.level), test::ExpectedLevelBytes(c.expected));
    }
}

TEST(LevelWriterTest, ThreeByTwoLevelIs208BytesWithItsFieldsInPlace)
{
    const auto b = NewLevelBytes({"Me", "Test", 3, 2, 5, 0, {1, 2, 3, 4, 5, 6}});
    ASSERT_EQ(b.size(), 208u);
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 32, b.begin() + 46),
              (std::vector<std::uint8_t>{0, 0, 0, 0x50, 3, 2, 0, 0, 0, 5, 'T', 'e', 's', 't'}));
    EXPECT_EQ(std::count(b.begin() + 46, b.begin() + 74, 0), 28);
    EXPECT_EQ(b[132], 1);
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 192, b.begin() + 196), (std::vector<std::uint8_t>{0, 0, 0, 12}));
}

TEST(LevelWriterTest, NextFreeLevelPathTakesTheFirstMissingNumber)
{
    const struct {
        std::vector<int> present;
        const char* expected;
    } cases[] = {{{}, "001.level"}, {{1, 2}, "003.level"}, {{2, 5, 900}, "001.level"}, {{1, 2, 3, 5}, "004.level"}};
    for (const auto& c : cases) {
        test::TempDir dir;
        for (int n : c.present) dir.Write(ZeroPadInt(n, 3) + ".level", "x");
        EXPECT_EQ(NextFreeLevelPath(dir.Path().string()), (dir.Path() / c.expected).string());
    }
}

// Each refusal: the message, and the directories exactly as they were.
TEST(LevelWriterTest, RefusesWhenNoNameIsFreeAndWritesNothing)
{
    test::TempDir out, fallback;
    for (int n = 1; n <= 999; ++n) out.Write(ZeroPadInt(n, 3) + ".level", "old");
    fallback.Write("000.level", "old level");
    const std::string missing = (out.Path() / "missing").string();
    const struct {
        const char* name;
        std::string outputDir;
        std::string fallbackDir;
        std::string reason;
    } cases[] = {
        {"AllNumbersTaken", out.Path().string(), fallback.Path().string(),
         "No free level file name in " + out.Path().string() + ": 001.level to 999.level all exist."},
        {"FallbackHoldsZeroLevel", missing, fallback.Path().string(),
         "The output directory " + missing + " does not exist, and " + (fallback.Path() / "000.level").string() +
             " exists already."},
        {"NoOutputAndNoFallback", "", "",
         "No output directory is set, and no directory was listed on the Levelset Manager page."},
        {"OutputIsAFile", (out.Path() / "001.level").string(), "",
         "The output directory " + (out.Path() / "001.level").string() +
             " is not a directory, and no directory was listed on the Levelset Manager page."},
    };
    const auto before = test::Snapshot(out.Path()), beforeFallback = test::Snapshot(fallback.Path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string reason;
        EXPECT_EQ(SaveNewLevel({"Me", "Test", 1, 1, 0, 0, {1}}, c.outputDir, c.fallbackDir, reason), std::nullopt);
        EXPECT_EQ(reason, c.reason);
        EXPECT_EQ(test::Snapshot(out.Path()), before);
        EXPECT_EQ(test::Snapshot(fallback.Path()), beforeFallback);
    }
}

TEST(LevelWriterTest, MissingOutputDirectoryWritesZeroLevelInTheFallback)
{
    test::TempDir fallback;
    const NewLevel level{"Me", "Test", 3, 2, 5, 0, {1, 2, 3, 4, 5, 6}};
    std::string reason;
    for (const std::string& outputDir : {std::string(), (fallback.Path() / "gone").string()}) {
        const auto path = SaveNewLevel(level, outputDir, fallback.Path().string(), reason);
        ASSERT_EQ(path, (fallback.Path() / "000.level").string());
        EXPECT_EQ(test::ReadBytes(*path), NewLevelBytes(level));
        fs::remove(*path);
    }
}

TEST(LevelWriterTest, ExistingFileIsNeverReplaced)
{
    test::TempDir dir;
    const std::string path = dir.Write("001.level", "precious");
    std::string reason;
    const NewLevel level{"", "", 1, 1, 0, 0, {1}};
    EXPECT_EQ(SaveNewLevel(level, dir.Path().string(), "", reason), (dir.Path() / "002.level").string());
    EXPECT_EQ(test::ReadText(path), "precious");
}

TEST(LevelWriterTest, FailedCreateNamesThePath)
{
    test::TempDir dir;
    const std::string fallback = (dir.Path() / "not-there").string();
    std::string reason;
    try {
        SaveNewLevel({"", "", 1, 1, 0, 0, {1}}, "", fallback, reason);
        FAIL() << "no error";
    } catch (const VantrelError& e) {
        EXPECT_EQ(std::string(e.what()), "The file " + (dir.Path() / "not-there" / "000.level").string() +
                                             " could not be written (cannot create a file in its folder: "
                                             "No such file or directory); nothing was changed.");
    }
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

// A file size limit of 100 bytes makes the write fail part way: the
// unfinished file must not stay.
TEST(LevelWriterTest, FailedWriteRemovesTheUnfinishedFile)
{
    VANTREL_SKIP_ON_WINDOWS("a file size limit is POSIX's");
    test::TempDir dir;
    std::string message, reason;
    try {
        test::FileSizeLimit limit(100);
        SaveNewLevel({"Me", "Test", 3, 2, 5, 0, {1, 2, 3, 4, 5, 6}}, dir.Path().string(), "", reason);
    } catch (const VantrelError& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "The file " + (dir.Path() / "001.level").string() +
                           " could not be written (writing: File too large); nothing was changed.");
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

TEST(LevelWriterTest, NewFileLoadsWithItsChunksWhereTheLayoutPutsThem)
{
    test::TempDir dir;
    std::string reason;
    const auto path = SaveNewLevel({"Me", "Test", 3, 2, 5, 0, {1, 2, 3, 4, 5, 6}}, dir.Path().string(), "", reason);
    ASSERT_TRUE(path);
    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadReport report;
    LoadOptions options;
    options.TickMs = [] { return std::int64_t{0}; };
    LoadAndTell(lvl, *path, ui, report, options);
    EXPECT_TRUE(test::LinesAre(lvl.Log(), {"Loading " + *path, "RND1 file - checking version",
                                           "CAVEVERS 0200000003000803 seek to 28", "HEAD at 28 seek to 148",
                                           "AUTH at 148 seek to 188", "BODY at 188 seek to 208",
                                           "208 bytes loaded in 0 milliseconds"}));
    EXPECT_EQ(report.FileVersion, "0200000003000803");
    EXPECT_EQ(UpToZero(report.Title), "Test");
    EXPECT_EQ(UpToZero(report.Author), "Me");
    ASSERT_TRUE(report.HeaderBoxes);
    EXPECT_EQ(report.HeaderBoxes->Emeralds, 5);
    EXPECT_EQ(lvl.Grid(), [] {
        CellGrid g(3, 2);
        for (int i = 0; i < 6; ++i) g.Set(i % 3 + 1, i / 3 + 1, static_cast<std::uint16_t>(i + 1));
        return g;
    }());
}

}  // namespace
}  // namespace vantrel
