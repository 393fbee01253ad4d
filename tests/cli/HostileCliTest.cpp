// vantrel-cli on hostile files and names: commands that only read make no
// backup, a huge file is refused at once, and names are bytes.
#include "support/LevelBuilder.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::CliResult;
using test::RunCli;

std::vector<std::string> LevelNames(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().rfind("cli.", 0) != 0) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

test::Bytes SmallLevel()
{
    return test::LevelBuilder::Standard({.width = 3, .height = 2, .title = "Small"}, test::PatternCells(3, 2, false),
                                        "Me")
        .Data();
}

TEST(HostileCliTest, CommandsThatOnlyReadMakeNoBackup)
{
    test::TempDir dir;
    const std::string level = dir.Write("a.level", SmallLevel());
    const std::string picture = (dir.Path() / "a.bmp").string();
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"load", level}, {"ce", level}, {"sketch", level}, {"render", level, picture}}) {
        const CliResult r = RunCli(args, dir);
        EXPECT_EQ(r.status, 0) << args[0] << ": " << r.err;
        EXPECT_EQ(r.err, "") << args[0];
        std::vector<std::string> expected{"a.level"};
        if (args[0] == "render") expected.insert(expected.begin(), "a.bmp");
        EXPECT_EQ(LevelNames(dir.Path()), expected) << args[0];
        EXPECT_EQ(test::ReadBytes(level), SmallLevel()) << args[0];
    }
}

TEST(HostileCliTest, AHugeFileIsRefusedAtOnceWithoutABackup)
{
    test::TempDir dir;
    const std::string level = dir.Write("big.level", SmallLevel());
    fs::resize_file(level, 3LL << 30);
    const CliResult r = RunCli({"load", level}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "message: The file is 3221225472 bytes long, more than any level can be (at most 1048576 bytes), "
                     "so it is not opened: " + level + "\n");
    EXPECT_EQ(LevelNames(dir.Path()), std::vector<std::string>{"big.level"});
}

// A byte that is no UTF-8 in a level's name and in an output folder's name
// reaches the file system unchanged.
TEST(HostileCliTest, NamesThatAreNoUtf8PassUnchanged)
{
    test::TempDir dir;
    const std::string level = dir.Write("lvl_\xe9.level", SmallLevel());
    const CliResult load = RunCli({"load", level}, dir);
    EXPECT_EQ(load.status, 0) << load.err;
    EXPECT_EQ(load.out.substr(0, load.out.find('\n')), "Loading " + level);

    const fs::path out = dir.Path() / "out_\xe9";
    fs::create_directory(out);
    const CliResult quote = RunCli({"quote", dir.Write("post.txt", std::string("`001\n")), "--out", out.string()},
                                   dir);
    EXPECT_EQ(quote.status, 0) << quote.err;
    EXPECT_EQ(quote.out, (out / "001.level").string() + "\n");
    EXPECT_TRUE(fs::is_regular_file(out / "001.level"));
}

}  // namespace
}  // namespace vantrel
