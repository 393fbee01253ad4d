// The CE list and views of a real level, checked against the file's bytes,
// and the command line's "ce" command.
#include "ce/CeBytes.h"
#include "ce/CeRecord.h"
#include "ce/CeViews.h"
#include "level/Loader.h"
#include "support/ScriptedUi.h"
#include "support/RunCli.h"
#include "support/TempDir.h"
#include "tell/Tell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vantrel {
namespace {

using test::RunCli;

using test::Bytes;

const char kLevel042[] = "levels/Tutorials/rnd_tutorial_niko_boehm/042.level";

std::string Hex4(std::uint16_t v)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", v);
    return buf;
}

// A row of three codes as the memo shows it: each code and a blank.
std::string RowText(const Bytes& b, std::size_t at)
{
    return Hex4(test::WordAt(b, at)) + " " + Hex4(test::WordAt(b, at + 2)) + " " + Hex4(test::WordAt(b, at + 4)) + " ";
}

std::string NameAt(const Bytes& b, std::size_t r)
{
    std::string name;
    for (std::size_t i = r + 2; i < r + 32 && b[i] != 0; ++i) name.push_back(static_cast<char>(b[i]));
    return name;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class Ce042Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (test::CorpusDir().empty()) GTEST_SKIP() << "the corpus folder ../shared/corpus is absent";
        path_ = test::CopyFromCorpus(kLevel042, dir_);
        bytes_ = test::ReadBytes(path_);
        test::ScriptedUi ui;
        LoadAndTell(lvl_, path_, ui, report_);
        ASSERT_TRUE(report_.Completed);
    }
    void TearDown() override { lvl_.CloseLevelFile(); }

    test::TempDir dir_;
    std::string path_;
    Bytes bytes_;
    OpenLevel lvl_;
    LoadReport report_;
};

TEST_F(Ce042Test, EveryListLineIsTheCeNumberAndNameStoredAtItsRecord)
{
    ASSERT_EQ(report_.CeList.size(), 38u);
    ASSERT_EQ(lvl_.CePositions().size(), 38u);
    for (std::size_t k = 0; k < 38; ++k) {
        const auto r = static_cast<std::size_t>(lvl_.CePositions()[k]);
        ASSERT_EQ(std::string(bytes_.begin() + static_cast<long>(r) - 8, bytes_.begin() + static_cast<long>(r) - 4),
                  "CUS4");
        const int pages = bytes_[r + 42];
        const std::size_t stored = (std::size_t{bytes_[r - 4]} << 24) | (std::size_t{bytes_[r - 3]} << 16) |
                                   (std::size_t{bytes_[r - 2]} << 8) | bytes_[r - 1];
        EXPECT_EQ(stored, 96u + 48u * static_cast<std::size_t>(pages)) << k;
        // The chunks lie back to back up to the end of the file.
        const std::size_t next = k + 1 < 38 ? static_cast<std::size_t>(lvl_.CePositions()[k + 1]) : bytes_.size() + 8;
        EXPECT_EQ(r + 96 + 48 * static_cast<std::size_t>(pages) + 8, next) << k;

        const std::string line = std::to_string(test::WordAt(bytes_, r) - 359) + ": " + NameAt(bytes_, r);
        EXPECT_EQ(report_.CeList[k], line);
        EXPECT_EQ(ReadCeName(lvl_.File(), static_cast<std::int64_t>(r)), NameAt(bytes_, r));
    }
    EXPECT_EQ(report_.CeList.front(), "1: Walk over");
    EXPECT_EQ(report_.CeList[20], "21: Changer");
}

TEST_F(Ce042Test, EveryViewShowsTheBytesOfItsRecord)
{
    for (std::size_t k = 0; k < lvl_.CePositions().size(); ++k) {
        SCOPED_TRACE("CE list line " + std::string(report_.CeList[k]));
        const auto r = static_cast<std::size_t>(lvl_.CePositions()[k]);
        const auto v = CeViewOfLine(lvl_, static_cast<int>(k), std::string(report_.CeList[k]));
        ASSERT_TRUE(v);
        EXPECT_EQ(v->Name, NameAt(bytes_, r));
        EXPECT_EQ(v->UseGraphicOf, bytes_[r + 48] == 1);
        EXPECT_EQ(v->GraphicOf, Hex4(test::WordAt(bytes_, r + 49)));
        EXPECT_EQ(v->ExplodeContLines,
                  (std::array<std::string, 3>{RowText(bytes_, r + 66), RowText(bytes_, r + 72), RowText(bytes_, r + 78)}));
        const int pages = bytes_[r + 42];
        EXPECT_EQ(v->ChangePageLabel, "Current Change Page =              of " + std::to_string(pages));
        EXPECT_EQ(v->PageValue, pages);
        EXPECT_TRUE(v->Notice.empty());
        for (int p = 1; p <= pages; ++p) {
            const auto page = ChangePageViewOf(lvl_, static_cast<int>(k), p);
            ASSERT_TRUE(page);
            const std::size_t q = r + 48 + 48 * static_cast<std::size_t>(p);
            EXPECT_EQ(page->CanChange, bytes_[q + 38] == 1);
            EXPECT_EQ(page->ChangeTo, Hex4(test::WordAt(bytes_, q + 4)));
            EXPECT_EQ(page->DelayCheck, (bytes_[q + 3] & 1) != 0);
            EXPECT_EQ(page->DelayFixed, std::min<int>(test::WordAt(bytes_, q + 6), 999));
            EXPECT_EQ(page->DelayRandom, std::min<int>(test::WordAt(bytes_, q + 8), 999));
            EXPECT_EQ(page->DelayTypeIndex, test::WordAt(bytes_, q + 10) == 50 ? 1 : 0);
            EXPECT_EQ(page->ChangeCondEl, Hex4(test::WordAt(bytes_, q + 12)));
            EXPECT_EQ(page->ExtChangeCheck, bytes_[q + 15] == 1);
            EXPECT_EQ(page->ExtChangeLines, (std::array<std::string, 3>{RowText(bytes_, q + 20), RowText(bytes_, q + 26),
                                                                        RowText(bytes_, q + 32)}));
            if (p == pages) {
                EXPECT_EQ(*page, v->ChangePage);
            }
        }
    }
}

TEST_F(Ce042Test, TheFirstCeAsTheFileHoldsIt)
{
    // Record at 654: "Walk over", a NUL, then left-over bytes of an older name.
    ASSERT_EQ(lvl_.CePositions().front(), 654);
    EXPECT_EQ(std::string(bytes_.begin() + 656, bytes_.begin() + 672), std::string("Walk over\0ment 1", 16));
    const auto v = CeViewOfLine(lvl_, 0, std::string(report_.CeList.front()));
    ASSERT_TRUE(v);
    EXPECT_EQ(v->Name, "Walk over");
    EXPECT_TRUE(v->UseGraphicOf);
    EXPECT_EQ(v->GraphicOf, "013C");
    EXPECT_EQ(v->GraphicOfTiles, (std::vector<TileCode>{{1, 1, 0x013C, {0, 0, 16, 16}}}));
    EXPECT_EQ(v->PageCount, 1);
    const CeChangePageView& p = v->ChangePage;
    EXPECT_TRUE(p.CanChange);
    EXPECT_TRUE(p.GroupVisible);
    EXPECT_TRUE(p.DelayCheck);
    EXPECT_EQ(p.DelayFixed, 1);
    EXPECT_EQ(p.DelayTypeIndex, 0);
    EXPECT_TRUE(p.ExtChangeCheck);
    EXPECT_EQ(p.ExtChangeLines[1], "0000 0168 0000 ");
    EXPECT_EQ(p.ExtChangeTiles[4], (TileCode{2, 2, 0x0168, {16, 16, 32, 32}}));
}

TEST_F(Ce042Test, TheCliListsTheCesAndShowsOne)
{
    lvl_.CloseLevelFile();
    const test::CliResult list = RunCli({"ce", path_}, dir_);
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(SplitLines(list.out), report_.CeList);

    const test::CliResult one = RunCli({"ce", path_, "1"}, dir_);
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out,
              "CE list line 1: 1: Walk over\n"
              "Record position: 654\n"
              "Name: Walk over\n"
              "Explode To Content: 0000 0000 0000 / 0000 0000 0000 / 0000 0000 0000\n"
              "Use Graphic of: yes\n"
              "Graphic of: 013C\n"
              "Change pages: 1\n"
              "Current Change Page = 1 of 1\n"
              "Element Changes: yes\n"
              "Change to: 0000\n"
              "Delay: yes\n"
              "Delay fixed: 1\n"
              "+ Random: 0\n"
              "Delay unit: Frames\n"
              "Condition element: 0000\n"
              "Use Extended Change Target: yes\n"
              "Extended Change Target: 0000 0000 0000 / 0000 0168 0000 / 0000 0168 0000\n");

    const test::CliResult past = RunCli({"ce", path_, "39"}, dir_);
    EXPECT_EQ(past.status, 1);
    EXPECT_EQ(past.out, "");
    EXPECT_EQ(past.err, "message: There is no line 39 in the CE list: it has 38 lines\n");
}

// --- the command on levels made here (no corpus needed) ---

TEST(CeCliTest, ACeWithoutChangePagesShowsNoPage)
{
    test::TempDir dir;
    test::CeSpec zero;
    zero.number = 12;
    zero.name = "Nothing";
    zero.explode = {0, 360, 0, 0, 0, 0, 0, 0, 615};
    test::CeSpec two;
    two.number = 13;
    two.name = "Two";
    two.pages.resize(2);
    two.pages[0].delayFixed = 1200;
    two.pages[1].delayType = 50;
    two.pages[1].canChange = 1;
    const std::string path = dir.Write("made.level", test::LevelWithChunks({test::Cus4Chunk(zero), test::Cus4Chunk(two)}));

    const test::CliResult list = RunCli({"ce", path}, dir);
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "12: Nothing\n13: Two\n");

    const test::CliResult none = RunCli({"ce", path, "1"}, dir);
    EXPECT_EQ(none.status, 0) << none.err;
    EXPECT_EQ(none.out,
              "CE list line 1: 12: Nothing\n"
              "Record position: 168\n"
              "Name: Nothing\n"
              "Explode To Content: 0000 0168 0000 / 0000 0000 0000 / 0000 0000 0267\n"
              "Use Graphic of: no\n"
              "Graphic of: 0000\n"
              "Change pages: 0\n");

    const test::CliResult pages = RunCli({"ce", path, "2"}, dir);
    EXPECT_EQ(pages.status, 0) << pages.err;
    const std::vector<std::string> lines = SplitLines(pages.out);
    const std::vector<std::string> want = {"Current Change Page = 1 of 2", "Element Changes: no",
                                           "Delay fixed: 999 (stored 1200)", "Delay unit: Frames",
                                           "Current Change Page = 2 of 2", "Element Changes: yes",
                                           "Delay unit: Seconds"};
    auto at = lines.begin();
    for (const std::string& w : want) {
        at = std::find(at, lines.end(), w);
        EXPECT_NE(at, lines.end()) << "missing, or out of order: " << w << "\n" << pages.out;
    }

    EXPECT_EQ(RunCli({"ce", path, "0"}, dir).status, 2);
    const test::CliResult missing = RunCli({"ce", (dir.Path() / "absent.level").string()}, dir);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("absent.level"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace vantrel
