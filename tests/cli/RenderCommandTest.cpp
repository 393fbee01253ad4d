// vantrel-cli render: the whole map written as a picture, run as a user
// would; the file's format by its extension, its size, and the refusals.
// (That its pixels are the view's tiles is checked by the window tests,
// which can read the atlas.)
#include "support/LevelBuilder.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#ifndef _WIN32
#include <sys/wait.h>
#endif
#include <vector>

namespace vantrel {
namespace {

using test::CliResult;
using test::RunCli;

using test::LevelBuilder;


std::uint32_t Little32(const std::string& b, std::size_t at)
{
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8 |
           static_cast<unsigned char>(b[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint32_t Big32(const std::string& b, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) << 24 |
           static_cast<unsigned char>(b[at + 1]) << 16 | static_cast<unsigned char>(b[at + 2]) << 8 |
           static_cast<unsigned char>(b[at + 3]);
}

std::string WriteLevel(const test::TempDir& dir, int width, int height, bool wide)
{
    return dir.Write("a.level", LevelBuilder::Standard({.width = static_cast<std::uint8_t>(width),
                                                        .height = static_cast<std::uint8_t>(height), .wide = wide},
                                                       test::PatternCells(width, height, wide))
                                    .Data());
}

TEST(CliRenderTest, WritesAWindowsBitmapOfSixteenPixelsACell)
{
    test::TempDir dir;
    const std::string level = WriteLevel(dir, 60, 50, true);
    const std::string out = (dir.Path() / "map.bmp").string();
    const CliResult r = RunCli({"render", level, out}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, out + ": 960 x 800 pixels, 60 x 50 cells\n");
    const std::string bmp = test::ReadText(out);
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(Little32(bmp, 2), bmp.size());
    EXPECT_EQ(Little32(bmp, 18), 960u);
    EXPECT_EQ(Little32(bmp, 22), 800u);
    EXPECT_EQ(static_cast<unsigned char>(bmp[28]), 24) << "24 bits a pixel";
    EXPECT_FALSE(std::filesystem::exists(level + ".bak")) << "render only reads the level: no backup";
}

TEST(CliRenderTest, WritesAPngWhenTheNameEndsInPng)
{
    test::TempDir dir;
    const std::string level = WriteLevel(dir, 3, 2, false);
    for (const char* name : {"map.png", "MAP.PNG"}) {
        const std::string out = (dir.Path() / name).string();
        const CliResult r = RunCli({"render", level, out}, dir);
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string png = test::ReadText(out);
        ASSERT_GE(png.size(), 24u);
        EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
        EXPECT_EQ(png.substr(12, 4), "IHDR");
        EXPECT_EQ(Big32(png, 16), 48u);
        EXPECT_EQ(Big32(png, 20), 32u);
    }
}

TEST(CliRenderTest, RefusesOtherPictureNamesBeforeLoading)
{
    test::TempDir dir;
    const std::string level = WriteLevel(dir, 3, 2, false);
    for (const char* name : {"map.jpg", "map", "map.bmp.txt"}) {
        const std::string out = (dir.Path() / name).string();
        const CliResult r = RunCli({"render", level, out}, dir);
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_EQ(r.err, "message: The picture file must end in .bmp or .png: " + out + "\n");
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    EXPECT_FALSE(std::filesystem::exists(level + ".bak")) << "nothing was loaded";
}

TEST(CliRenderTest, AFileThatIsNoLevelWritesNoPicture)
{
    test::TempDir dir;
    const std::string level = dir.Write("a.level", std::string("not a level at all"));
    const std::string out = (dir.Path() / "map.png").string();
    const CliResult r = RunCli({"render", level, out}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "message: Error: Can not open file\nmessage: Not a Rocks'n'Diamonds level, or unknown file version.\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(CliRenderTest, APictureThatCannotBeWrittenIsAnError)
{
    test::TempDir dir;
    const std::string level = WriteLevel(dir, 3, 2, false);
    const std::string out = (dir.Path() / "no-such-folder" / "map.png").string();
    const CliResult r = RunCli({"render", level, out}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "message: The file " + out +
                         " could not be written (cannot create a file in its folder: No such file or directory); "
                         "nothing was changed.\n");
}

TEST(CliRenderTest, APictureCutShortByAFileSizeLimitLeavesNoFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "runs the tool under sh with a file size limit";
#else
    test::TempDir dir;
    const std::string level = WriteLevel(dir, 30, 20, false);
    for (const char* name : {"map.bmp", "map.png"}) {
        const std::string out = (dir.Path() / name).string();
        // 4 blocks of 512 bytes: less than either picture; the limit holds for the program alone.
        const std::string command = "ulimit -f 4; exec '" + std::string(VANTREL_CLI_PATH) + "' render '" + level +
                                    "' '" + out + "' 2>'" + (dir.Path() / "err").string() + "' >/dev/null";
        const int raw = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(raw)) << name << ": ended by a signal";
        EXPECT_EQ(WEXITSTATUS(raw), 1) << name;
        EXPECT_EQ(test::ReadText(dir.Path() / "err"),
                  "message: The file " + out + " could not be written (writing: File too large); nothing was changed.\n");
        EXPECT_FALSE(std::filesystem::exists(out)) << name;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2)
        << "a.level and err (render only reads the level: no backup): no temporary file left";
#endif
}

TEST(CliRenderTest, ALevelWithoutMapCellsSaysSo)
{
    test::TempDir dir;
    const std::string level = WriteLevel(dir, 0, 0, false);
    const std::string out = (dir.Path() / "map.png").string();
    const CliResult r = RunCli({"render", level, out}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "message: The level has no map to draw.\n");
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(CliRenderTest, NeedsBothFiles)
{
    test::TempDir dir;
    EXPECT_EQ(RunCli({"render", "a.level"}, dir).status, 2);
}

}  // namespace
}  // namespace vantrel
