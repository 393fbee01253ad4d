// vantrel-cli quote and sketch: a post file or standard input made into a
// level, refusals that leave the directory alone, and Level Sketch text of a
// level that is only read; sketch then quote gives the map back.
#include "quote/QuotePost.h"

#include "support/LevelBuilder.h"
#include "support/RunCli.h"
#include "support/SystemOnly.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::CliResult;
using test::RunCli;

// A 3 x 2 level of two-byte cells: 1 2 3 / 14 257 6.
std::string WriteSmallLevel(const test::TempDir& dir)
{
    return dir.Write("small.level",
                     test::LevelBuilder::Standard({.width = 3, .height = 2, .title = "Small", .wide = true},
                                                  {1, 2, 3, 14, 257, 6})
                         .Data());
}

TEST(QuoteCliTest, QuoteWritesTheLevelAndPrintsItsPath)
{
    test::TempDir dir;
    const fs::path out = dir.Path() / "out";
    fs::create_directory(out);
    const std::string post = dir.Write("post.txt", "`001`006\r\n`014`001\r\n");
    const std::string made = (out / "001.level").string();
    CliResult r = RunCli({"quote", post, "--out", out.string()}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, made + "\n");
    EXPECT_EQ(r.err, "message: Level saved to:\nmessage: " + made + "\n");
    EXPECT_EQ(test::ReadBytes(made).size(), 196u + 8);

    // An image address of the user's own.
    const std::string other = dir.Write("other.txt", "[img]http://pics.example/I/014.gif[/img]");
    EXPECT_EQ(RunCli({"quote", other, "--out", out.string(), "--image-prefix", "http://pics.example/I/"}, dir).status, 0);
    const auto second = test::ReadBytes(out / "002.level");
    ASSERT_EQ(second.size(), 198u);
    EXPECT_EQ(second[41], 3) << "one diamond, three emeralds";
}

TEST(QuoteCliTest, RefusalsExitWithOneAndWriteNothing)
{
    test::TempDir dir;
    const fs::path out = dir.Path() / "out";
    fs::create_directory(out);
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"quote", dir.Write("empty.txt", "no images here\n"), "--out", out.string()},
         "message: No width or height detected, are you sure there is some Level Sketch images included in the post?\n"},
        {{"quote", dir.Write("one.txt", "`001"), "--out", (dir.Path() / "missing").string()},
         "message: The output folder " + (dir.Path() / "missing").string() +
             " does not exist or is no folder: make it, or name another with --out. No level was written.\n"},
        {{"quote", (dir.Path() / "nopost.txt").string(), "--out", out.string()},
         "message: Cannot open the file for reading (No such file or directory): " + (dir.Path() / "nopost.txt").string() +
             "\n"},
    };
    for (const auto& c : cases) {
        const CliResult r = RunCli(c.args, dir);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
        EXPECT_TRUE(fs::is_empty(out));
    }
}

TEST(QuoteCliTest, HelpNamesTheDefaultImageAddress)
{
    test::TempDir dir;
    const CliResult r = RunCli({"quote", "--help"}, dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find(kDefaultImagePrefix), std::string::npos) << r.out;
}

TEST(QuoteCliTest, SketchPrintsTheMapOrARectangleAndOnlyReadsTheLevel)
{
    test::TempDir dir;
    const std::string level = WriteSmallLevel(dir);
    const auto bytes = test::ReadBytes(level);
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string err;
    } cases[] = {
        {{"sketch", level}, 0, "`001`002`003\n`014`257`006\n", ""},
        {{"sketch", level, "2", "1", "2", "2"}, 0, "`002`003\n`257`006\n", ""},
        {{"sketch", level, "3", "2", "1", "1"}, 0, "`006\n", ""},
        {{"sketch", level, "2", "2", "2", "2"}, 1, "",
         "message: The rectangle of 2 x 2 cells from column 2, row 2 does not lie inside the map of 3 x 2 cells.\n"},
    };
    for (const auto& c : cases) {
        const CliResult r = RunCli(c.args, dir);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
    }
    EXPECT_EQ(test::ReadBytes(level), bytes);
    EXPECT_FALSE(fs::exists(level + ".bak"));
}

// The README's pipe: sketch into quote reading standard input, with the
// current directory as the output directory; the path printed is a full one.
TEST(QuoteCliTest, SketchPipedIntoQuoteGivesTheMapBack)
{
    VANTREL_SKIP_ON_WINDOWS("runs a pipeline of sh");
    test::TempDir dir;
    const std::string level = WriteSmallLevel(dir);
    const std::string cli = std::string("'") + VANTREL_CLI_PATH + "'";
    const std::string command = "cd '" + dir.Path().string() + "' && " + cli + " sketch small.level | " + cli +
                                " quote - >out.txt 2>err.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << test::ReadText(dir.Path() / "err.txt");
    const std::string made = (dir.Path() / "001.level").string();
    EXPECT_EQ(test::ReadText(dir.Path() / "out.txt"), made + "\n");
    EXPECT_EQ(RunCli({"sketch", made}, dir).out, "`001`002`003\n`014`257`006\n");
    EXPECT_EQ(test::ReadBytes(made)[41], 12) << "3 for the diamond, 8 for code 257, 1 for 6";
}

}  // namespace
}  // namespace vantrel
