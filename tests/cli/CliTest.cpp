// vantrel-cli load: the program itself, run as a user would, on synthetic
// levels and on a copy of a real one; its output, messages and exit status.
#include "level/Loader.h"

#include "support/LevelBuilder.h"
#include "support/Lines.h"
#include "support/ScriptedUi.h"
#include "support/RunCli.h"
#include "support/TempDir.h"
#include "tell/Tell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace vantrel {
namespace {

using test::CliResult;
using test::RunCli;

using test::Bytes;
using test::LevelBuilder;
using test::Line;
using test::StartsWith;


// RND1, HEAD (3x2, one-byte cells), AUTH, BODY and one custom element: 306 bytes.
Bytes SmallLevel()
{
    return LevelBuilder::Standard({.width = 3, .height = 2, .time = 100, .emeralds = 5, .title = "Test"},
                                  {1, 2, 3, 40, 50, 255}, "Me")
        .Cus4(CeElementCode(2), "Alpha", 0)
        .Data();
}

TEST(CliLoadTest, PrintsLogBoxesCeListAndMap)
{
    test::TempDir dir;
    const std::string path = dir.Write("small.level", SmallLevel());
    const CliResult r = RunCli({"load", "--map", path}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(test::LinesAre(test::SplitLines(r.out),
                               {"Loading " + path,
                                "RND1 file - checking version",
                                "CAVEVERS 0200000003000803 seek to 28",
                                "HEAD at 28 seek to 148",
                                "AUTH at 148 seek to 188",
                                "BODY at 188 seek to 202",
                                "CUS4 (2) found at 206 seek to 306",
                                StartsWith("306 bytes loaded in "),
                                "--",
                                "Level Title: Test",
                                "Author: Me",
                                "File Version: 0200000003000803",
                                "Map Size: 3x2",
                                "Time left: 100",
                                "Emeralds to collect: 5",
                                "CE list:",
                                "2: Alpha",
                                "Map:",
                                "1 2 3",
                                "40 50 255"}));
    EXPECT_FALSE(std::filesystem::exists(path + ".bak")) << "load only reads: no backup";
}

TEST(CliLoadTest, TwoByteCookieLevelWithoutMapOption)
{
    test::TempDir dir;
    const Bytes file = LevelBuilder::Cookie("1.2")
                           .Head({.width = 2, .height = 2, .time = 7, .emeralds = 0, .title = "Wide", .wide = true})
                           .Body({360, 615, 0, 1000}, true, 4)
                           .Data();
    const std::string path = dir.Write("wide.level", file);
    const CliResult r = RunCli({"load", path}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(test::LinesAre(test::SplitLines(r.out),
                               {"Loading " + path, "File version = 1.2", "10 at 37", "HEAD at 38 seek to 158",
                                "BODY at 158 seek to 174", StartsWith("174 bytes loaded in "), "--",
                                "Level Title: Wide", "Author: ", "File Version: 1.2", "Map Size: 2x2", "Time left: 7",
                                "Emeralds to collect: 0", "CE list:"}));
    const CliResult withMap = RunCli({"load", "--map", path}, dir);
    EXPECT_EQ(withMap.status, 0);
    const auto lines = test::SplitLines(withMap.out);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
              (std::vector<std::string>{"Map:", "360 615", "0 1000"}));
}

TEST(CliLoadTest, MessagesGoToStandardError)
{
    test::TempDir dir;
    const std::string path =
        dir.Write("cus.level", LevelBuilder::Standard({}, {1, 2, 3, 4, 5, 6}).Chunk("CUS1", Bytes(2)).Data());
    const CliResult r = RunCli({"load", path}, dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "message: CUS1 chunks not supported in CE Manager yet\n");
}

TEST(CliLoadTest, CorpusLevelAgreesWithTheLoader)
{
    if (test::CorpusDir().empty()) GTEST_SKIP() << "The level corpus ../shared/corpus is absent";
    const std::string relative = "levels/Tutorials/rnd_tutorial_niko_boehm/042.level";
    test::TempDir dir, other;
    const std::string path = test::CopyFromCorpus(relative, dir);
    const CliResult r = RunCli({"load", "--map", path}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");

    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadReport report;
    const std::string copy = test::CopyFromCorpus(relative, other);
    LoadAndTell(lvl, copy, ui, report);
    ASSERT_TRUE(lvl.LevelOpen());

    std::vector<Line> want;
    want.push_back("Loading " + path);
    for (std::size_t i = 1; i + 1 < lvl.Log().size(); ++i) want.push_back(std::string(lvl.Log()[i]));
    want.push_back(StartsWith(std::to_string(lvl.Index().LoadedFileSize) + " bytes loaded in "));
    want.push_back("--");
    want.push_back("Level Title: " + UpToZero(report.Title));
    want.push_back("Author: " + UpToZero(report.Author));
    want.push_back("File Version: 0200000003000803");
    want.push_back("Map Size: " + std::to_string(lvl.MapWidth()) + "x" + std::to_string(lvl.MapHeight()));
    want.push_back("Time left: " + std::to_string(report.HeaderBoxes->Time));
    want.push_back("Emeralds to collect: " + std::to_string(report.HeaderBoxes->Emeralds));
    want.push_back("CE list:");
    for (const std::string_view ce : report.CeList) want.push_back(std::string(ce));
    want.push_back("Map:");
    for (int y = 1; y <= lvl.MapHeight(); ++y) {
        std::string row;
        for (int x = 1; x <= lvl.MapWidth(); ++x) row += (x > 1 ? " " : "") + std::to_string(lvl.Grid().At(x, y));
        want.push_back(row);
    }
    EXPECT_EQ(report.CeList.size(), 38u);
    EXPECT_TRUE(test::LinesAre(test::SplitLines(r.out), want));
    lvl.CloseLevelFile();
}

// Exit status: 0 done, 1 refused or failed, 2 wrong command line.
TEST(CliLoadTest, RefusedFileExitsWithOneAndTheMessage)
{
    test::TempDir dir;
    const std::string path = dir.Write("notes.level", std::string("just some notes, nothing more to see here"));
    const CliResult r = RunCli({"load", "--map", path}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "message: Error: Can not open file\n"
                     "message: Not a Rocks'n'Diamonds level, or unknown file version.\n");
    // A refused file prints its log lines and nothing more: no header boxes of a level it is not.
    EXPECT_TRUE(test::LinesAre(test::SplitLines(r.out), {StartsWith("41 bytes loaded in ")}));
    EXPECT_FALSE(std::filesystem::exists(path + ".bak"));
}

TEST(CliLoadTest, LevelWithoutMapExitsWithOne)
{
    test::TempDir dir;
    const std::string path = dir.Write("nobody.level", LevelBuilder::Rnd1().Head({}).Auth("Me").Data());
    const CliResult r = RunCli({"load", path}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no map (BODY chunk)"), std::string::npos) << r.err;
    const auto lines = test::SplitLines(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Loading " + path);
}

TEST(CliLoadTest, MissingFileExitsWithOneAndPrintsNoHeader)
{
    test::TempDir dir;
    const std::string path = (dir.Path() / "missing.level").string();
    const CliResult r = RunCli({"load", "--map", path}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "") << "no header block of empty boxes";
    EXPECT_EQ(r.err, "message: The level file " + path +
                         " does not exist (deleted, moved or never made), so nothing was read or written.\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".bak"));
}

TEST(CliLoadTest, WrongCommandLineExitsWithTwo)
{
    test::TempDir dir;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"load"}, {"no-such-command"}, {"load", "--no-such-option", "a.level"}}) {
        std::string shown;
        for (const auto& a : args) shown += " " + a;
        SCOPED_TRACE("vantrel-cli" + shown);
        const CliResult r = RunCli(args, dir);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err, "");
    }
}

}  // namespace
}  // namespace vantrel
