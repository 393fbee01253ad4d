// vantrel-cli index, find and sheet on a made levelset: the lines and JSON
// printed, the searches, the cache in the user's cache folder, the sheet.
#include "support/LevelBuilder.h"
#include "support/RunCli.h"
#include "support/SystemOnly.h"
#include "support/TempDir.h"
#include "view/Picture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using LB = test::LevelBuilder;

class ArchiveCliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(Set());
        dir.Write("set/levelinfo.conf", std::string("name: Set\n"));
        Put("001.level", LB::Standard({.width = 3, .height = 1, .time = 50, .emeralds = 2, .title = "One"}, {1, 2, 3}, "Me")
                             .Data());
        Put("002.level", test::Bytes{'h', 'e', 'l', 'l', 'o'});
        Put("003.level", LB::Rnd1()
                             .Head({.width = 2, .height = 1, .title = "Ce", .wide = true})
                             .Auth("Ann")
                             .Body({360, 6}, true)
                             .Cus4(360, "Door", 1)
                             .Data());
    }
    void Put(const std::string& name, const test::Bytes& bytes)
    {
        const std::string path = dir.Write("set/" + name, bytes);
        // A known time of change: 2023-11-14 22:13:20 UTC.
        using namespace std::chrono;
        fs::last_write_time(path, file_clock::from_sys(sys_seconds{seconds{1700000000}}));
    }
    std::string Set() const { return (dir.Path() / "set").string(); }
    test::CliResult Run(std::vector<std::string> args)
    {
        args.insert(args.begin() + 1, Set());
        args.push_back("--no-cache");
        return test::RunCli(args, dir);
    }
    std::string Line1() const
    {
        return Set() + test::kSep + "001.level: Set 1 \"One\" by Me, 3x1, RND1 0200000003000803, time 50, emeralds 2, 3 elements, 0 "
                       "CEs, clean\n";
    }
    std::string Line2() const
    {
        return Set() + test::kSep + "002.level: not a level: Not a Rocks'n'Diamonds level, or unknown file version.\n";
    }
    std::string Line3() const
    {
        return Set() + test::kSep + "003.level: Set 3 \"Ce\" by Ann, 2x1, RND1 0200000003000803, time 0, emeralds 0, 2 elements, 1 "
                       "CE, clean\n";
    }

    test::TempDir dir;
};

TEST_F(ArchiveCliTest, IndexPrintsALineALevel)
{
    const test::CliResult r = Run({"index"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, Line1() + Line2() + Line3());
}

TEST_F(ArchiveCliTest, IndexJsonHoldsEveryField)
{
    const test::CliResult r = Run({"index", "--json"});
    EXPECT_EQ(r.status, 0);
    const std::string third = r.out.substr(r.out.rfind('\n', r.out.size() - 2) + 1);
    std::string path = Set() + test::kSep + "003.level";  // as JSON writes it: a backslash doubled
    for (std::size_t at = 0; (at = path.find('\\', at)) != std::string::npos; at += 2) path.insert(at, 1, '\\');
    EXPECT_EQ(third, "{\"path\":\"" + path +
                         "\",\"levelset\":\"Set\",\"number\":3,\"state\":\"level\",\"problem\":\"\","
                         "\"layout\":\"RND1\",\"version\":\"0200000003000803\",\"title\":\"Ce\",\"author\":\"Ann\","
                         "\"width\":2,\"height\":1,\"time\":0,\"emeralds\":0,\"bytes\":352,\"modified\":1700000000,"
                         "\"elements\":[{\"code\":6,\"name\":\"Emerald\",\"count\":1},{\"code\":360,\"name\":\"Custom "
                         "element 1\",\"count\":1}],\"ces\":[{\"number\":1,\"name\":\"Door\",\"graphic\":null}],"
                         "\"findings\":[],\"clean\":true}\n");
    EXPECT_NE(r.out.find("\"state\":\"not a level\",\"problem\":\"Not a Rocks'n'Diamonds level, or unknown file "
                         "version.\",\"layout\":\"\""),
              std::string::npos);
}

TEST_F(ArchiveCliTest, FindAsksTheQuestionsOfThePage)
{
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string out;
    };
    const Row rows[] = {
        {{"find", "--uses", "0x0168"}, 0, Line3()},
        {{"find", "--uses", "360", "--uses", "emerald"}, 0, Line3()},
        {{"find", "--uses", "Normal wall"}, 0, Line1()},
        {{"find", "--author", "ME"}, 0, Line1()},
        {{"find", "--ce", "doo"}, 0, Line3()},
        {{"find", "--text", "set"}, 0, Line1() + Line2() + Line3()},
        {{"find", "--damaged"}, 0, Line2()},
        {{"find", "--has-ces"}, 0, Line3()},
        {{"find", "--min-size", "3x1"}, 0, Line1()},
        {{"find", "--max-size", "2x1", "--layout", "rnd1"}, 0, Line3()},
        {{"find", "--sort", "title", "--reverse"}, 0, Line1() + Line3() + Line2()},
        {{"find", "--uses", "steelwall"}, 1, ""},
        {{"find", "--findings"}, 1, ""},
    };
    for (const Row& row : rows) {
        const test::CliResult r = Run(row.args);
        EXPECT_EQ(r.status, row.status) << row.args[1];
        EXPECT_EQ(r.out, row.out) << row.args[1];
        EXPECT_EQ(r.err, "") << row.args[1];
    }
}

TEST_F(ArchiveCliTest, FindRefusesWhatNamesNothing)
{
    struct Row {
        std::vector<std::string> args;
        std::string says;
    };
    const Row rows[] = {
        {{"find", "--uses", "nothing_such"}, "No element is named \"nothing_such\""},
        {{"find", "--uses", "0x10000"}, "There is no element code 0x10000"},
        {{"find", "--layout", "round"}, "cookie, RND1 or newer, not round"},
        {{"find", "--min-size", "64"}, "a map size such as 64x32, not 64"},
        {{"find", "--sort", "colour"}, "no column is named colour"},
    };
    for (const Row& row : rows) {
        const test::CliResult r = Run(row.args);
        EXPECT_EQ(r.status, 2) << row.args[1];
        EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

// A folder named that is not there fails the command, after what the others hold.
TEST_F(ArchiveCliTest, FailsWhenAFolderNamedIsNotThere)
{
    const std::string gone = (dir.Path() / "gone").string();
    const std::string says = "message: The folder " + gone + " does not exist.\n";
    struct Row {
        std::vector<std::string> args;
        std::string out, err;
        int status;
    };
    const Row rows[] = {
        {{"index", gone}, "", says, 1},
        {{"index", Set(), gone}, Line1() + Line2() + Line3(), says, 1},
        {{"index", Set()}, Line1() + Line2() + Line3(), "", 0},
        {{"find", gone, "--title", "One"}, "", says, 1},
        {{"find", Set(), gone, "--title", "One"}, Line1(), says, 1},
        {{"find", Set(), "--title", "One"}, Line1(), "", 0},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args = row.args;
        args.push_back("--no-cache");
        const test::CliResult r = test::RunCli(args, dir);
        EXPECT_EQ(r.out, row.out) << row.args.size();
        EXPECT_EQ(r.err, row.err) << row.args.size();
        EXPECT_EQ(r.status, row.status) << row.args[0] << " " << row.args.size();
    }
}

TEST_F(ArchiveCliTest, KeepsTheIndexInTheUsersCacheFolder)
{
    VANTREL_SKIP_ON_WINDOWS("the program is started through env with XDG_CACHE_HOME set");
    const fs::path cache = dir.Path() / "xdg" / "vantrel" / "archive.index";
    const std::vector<std::string> prefix = {"/usr/bin/env", "XDG_CACHE_HOME=" + (dir.Path() / "xdg").string()};
    const test::CliResult first = test::RunCli({"index", Set()}, dir, prefix);
    ASSERT_TRUE(fs::exists(cache));
    const auto written = fs::last_write_time(cache);
    const test::CliResult second = test::RunCli({"index", Set()}, dir, prefix);
    EXPECT_EQ(second.out, first.out);
    EXPECT_EQ(fs::last_write_time(cache), written);  // nothing changed: not written again
    const fs::path other = dir.Path() / "other.index";
    EXPECT_EQ(test::RunCli({"index", Set(), "--cache", other.string()}, dir, prefix).out, first.out);
    EXPECT_TRUE(fs::exists(other));
    fs::remove(cache);
    EXPECT_EQ(test::RunCli({"index", Set(), "--no-cache"}, dir, prefix).out, first.out);
    EXPECT_FALSE(fs::exists(cache));
}

TEST_F(ArchiveCliTest, SheetDrawsTheSetsThumbnails)
{
    const std::string out = (dir.Path() / "sheet.png").string();
    const test::CliResult r = test::RunCli({"sheet", Set(), out}, dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, out + ": 416 x 178 pixels, 3 levels\n");
    const test::Bytes png = test::ReadBytes(out);
    const Picture sheet = DecodePng(png.data(), png.size());
    ASSERT_EQ(sheet.Width(), 416);
    ASSERT_EQ(sheet.Height(), 178);
    EXPECT_EQ(sheet.At(8 + 136, 8), 0xFF909090u);  // 002.level is no level: a crossed box
    EXPECT_EQ(sheet.At(47, 70), kWhite);  // 001.level: 3 x 1 cells of 16 pixels, centred from (48, 64)
    EXPECT_NE(sheet.At(60, 70), kWhite);

    fs::create_directories(dir.Path() / "empty");
    const test::CliResult none = test::RunCli({"sheet", (dir.Path() / "empty").string(), out}, dir);
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "message: The folder " + (dir.Path() / "empty").string() + " holds no level files.\n");
}

}  // namespace
}  // namespace vantrel
