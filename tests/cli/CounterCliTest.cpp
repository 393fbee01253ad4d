// vantrel-cli counter: the run on a level file, its dry run, and its refusals.
#include "counter/Counter.h"
#include "support/LevelBuilder.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vantrel {
namespace {

using test::Bytes;

Bytes BaseLevel()
{
    return test::LevelBuilder::Standard({.width = 3, .height = 2, .title = "Counter"}, {1, 2, 3, 4, 5, 6}, "Me")
        .Data();
}

TEST(CliCounterTest, RunDryRunAndRefusals)
{
    const std::string closing5 =
        "5 Counter Elements Created (starting at CE number 100), but not placed on the map\n"
        "Be sure to change the change conditions in CE 100\n";
    const std::string ces5 = "CE 100 code 459 (01CB) pages 2: 16 counter maker by vantrel\n"
                             "CE 101 code 460 (01CC) pages 17: counter -3 16\n"
                             "CE 102 code 461 (01CD) pages 17: counter 5 16\n"
                             "CE 103 code 462 (01CE) pages 17: counter -1 16\n"
                             "CE 104 code 463 (01CF) pages 17: counter 1 16\n";
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string out, err;
        bool written;
        std::string changed;  // what follows "changed: PATH" on standard output
    };
    const std::vector<Row> rows = {
        {{"--verbose"}, 0,
         "2 Counter Elements Created (starting at CE number 1), but not placed on the map\n"
         "Be sure to change the change conditions in CE 1\n"
         "CE 1 code 360 (0168) pages 1: 10 counter maker by vantrel\n"
         "CE 2 code 361 (0169) pages 11: counter 1 10\n",
         "", true, ", 1 write of 784 bytes, 202 -> 986 bytes long\nwrite: offset 202, 784 bytes (784 appended)\n"},
        {{"--steps", "16", "--inc=-3", "--inc", "5", "--start", "100"}, 0, closing5 + ces5, "", true,
         ", 1 write of 3880 bytes, 202 -> 4082 bytes long\n"},
        {{"--steps", "16", "--inc=-3", "--inc", "5", "--start", "100", "--dry-run"}, 0, closing5 + ces5,
         "message: dry run: nothing was written\n", false, ""},
        {{"--inc", "5", "--start", "255"}, 1, "",
         "message: The counter needs 3 CEs, CE 255 to CE 257, but CE numbers end at 256: start it at CE 254 or "
         "lower. Nothing was written.\n",
         false, ""},
    };
    for (const Row& row : rows) {
        test::TempDir dir;
        const std::string path = dir.Write("counter.level", BaseLevel());
        std::vector<std::string> args{"counter", path};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const test::CliResult r = test::RunCli(args, dir);
        SCOPED_TRACE(testing::PrintToString(row.args));
        EXPECT_EQ(r.status, row.status);
        EXPECT_EQ(r.out, row.out + (row.changed.empty() ? "" : "changed: " + path + row.changed));
        EXPECT_EQ(r.err, row.err);
        const Bytes after = test::ReadBytes(path);
        if (!row.args.empty() && row.args.back() == "--dry-run") {
            EXPECT_FALSE(std::filesystem::exists(path + ".bak"));  // a dry run writes no backup either
        }
        if (!row.written) {
            EXPECT_EQ(after, BaseLevel());
            continue;
        }
        if (row.args.size() == 1)
            EXPECT_EQ(after.size(), BaseLevel().size() + 152 + 632);
        else
            EXPECT_EQ(Bytes(after.begin() + static_cast<long>(BaseLevel().size()), after.end()),
                      CounterChunks(PlanCounter(16, {-3, 5}, 100)));
    }
}

// A counter over CE numbers the level uses would put the level's own custom
// elements out of play (the game takes the later chunk): refused without --yes.
TEST(CliCounterTest, CeNumbersInUseAreNamedAndRefusedWithoutYes)
{
    if (test::CorpusDir().empty()) GTEST_SKIP() << "no corpus";
    const std::string question =
        "question: Custom Element Ids 1 and 2 are occupied in this level; the counter would add a second custom "
        "element under each. Use anyways?\n";
    const std::string refusal =
        "message: Nothing was written: the level's own custom elements 1 and 2 are in use, and the game would take "
        "the counter's in their place (--yes adds the counter all the same).\n";
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string err;
        bool written;
    };
    const Row rows[] = {
        {{}, 1, question + "answer: no\n" + refusal, false},
        {{"--dry-run"}, 1, question + "answer: no\n" + refusal, false},
        {{"--yes"}, 0, question + "answer: yes\n", true},
        {{"--start", "2", "--inc", "1", "--inc", "2"}, 1,
         "question: Custom Element Ids 2, 3 and 4 are occupied in this level; the counter would add a second custom "
         "element under each. Use anyways?\nanswer: no\nmessage: Nothing was written: the level's own custom "
         "elements 2, 3 and 4 are in use, and the game would take the counter's in their place (--yes adds the "
         "counter all the same).\n",
         false},
        {{"--start", "100"}, 0, "", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        test::TempDir dir;
        const std::string path = test::CopyFromCorpus("levels/Tutorials/rnd_tutorial_niko_boehm/042.level", dir);
        const Bytes before = test::ReadBytes(path);
        std::vector<std::string> args{"counter", path};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const test::CliResult r = test::RunCli(args, dir);
        EXPECT_EQ(r.status, row.status);
        EXPECT_EQ(r.err, row.err);
        EXPECT_EQ(test::ReadBytes(path).size() > before.size(), row.written);
        if (!row.written) {
            EXPECT_EQ(test::ReadBytes(path), before);
        }
    }
}

TEST(CliCounterTest, WrongCommandLines)
{
    test::TempDir dir;
    const std::string path = dir.Write("counter.level", BaseLevel());
    std::vector<std::string> seventeen{"counter", path};
    for (int i = 0; i < 17; ++i) seventeen.push_back("--inc=1");
    for (const auto& args : {seventeen, std::vector<std::string>{"counter", path, "--steps", "17"},
                             std::vector<std::string>{"counter", path, "--start", "256"}}) {
        EXPECT_EQ(test::RunCli(args, dir).status, 2) << testing::PrintToString(args);
    }
    EXPECT_EQ(test::ReadBytes(path), BaseLevel());
    const test::CliResult none = test::RunCli({"counter", (dir.Path() / "missing.level").string()}, dir);
    EXPECT_EQ(none.status, 1);
}

}  // namespace
}  // namespace vantrel
