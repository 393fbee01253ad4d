// Every level file of the game's distribution in the corpus folder, loaded
// from a copy: it loads without error, its backup is an exact copy, and the
// grid holds the cells its map bytes say.
#include "level/Loader.h"

#include "base/Error.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "tell/Tell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr char kAbsent[] = "<corpus absent>";
constexpr char kSkipMessage[] =
    "The level corpus ../shared/corpus is absent: the tests over the game's own level files are skipped";

// The .level files of the game's levelsets (the corpus's "levels" folder, the
// older layouts), relative to the corpus, in order; one placeholder when it is
// absent. Files of the newer layout have tests of their own.
std::vector<std::string> CorpusLevels()
{
    std::vector<std::string> files;
    const fs::path dir = test::CorpusDir();
    if (!dir.empty() && fs::is_directory(dir / "levels")) {
        for (const auto& e : fs::recursive_directory_iterator(dir / "levels"))
            if (e.is_regular_file() && e.path().extension() == ".level")
                files.push_back(fs::relative(e.path(), dir).generic_string());
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) files.push_back(kAbsent);
    return files;
}

std::uint32_t BigEndian(const Bytes& b, std::size_t at, int n)
{
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | b.at(at + i);
    return v;
}

std::size_t CountOccurrences(const Bytes& bytes, const std::string& name)
{
    std::size_t n = 0;
    for (auto it = bytes.begin(); (it = std::search(it, bytes.end(), name.begin(), name.end())) != bytes.end(); ++it)
        ++n;
    return n;
}

class CorpusLevelTest : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusLevelTest, LoadsAndGridMatchesTheMapBytes)
{
    if (GetParam() == kAbsent) GTEST_SKIP() << kSkipMessage;
    test::TempDir dir;
    const std::string path = test::CopyFromCorpus(GetParam(), dir);
    const Bytes bytes = test::ReadBytes(path);

    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadReport report;
    LoadOptions options;
    options.TickMs = [] { return std::int64_t{42}; };
    ASSERT_NO_THROW(LoadAndTell(lvl, path, ui, report, options));
    EXPECT_TRUE(report.Completed);
    EXPECT_TRUE(lvl.LevelOpen());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(test::ReadBytes(path + ".bak"), bytes);
    EXPECT_EQ(lvl.Index().LoadedFileSize, static_cast<std::int32_t>(bytes.size()));

    // The log: the path first, the timing line last, and no line of trouble between.
    ASSERT_GE(lvl.Log().size(), 3u);
    EXPECT_EQ(lvl.Log().front(), "Loading " + path);
    EXPECT_EQ(lvl.Log().back(), std::to_string(bytes.size()) + " bytes loaded in 0 milliseconds");
    const std::regex chunkLine(R"((HEAD|AUTH|BODY|CNT2|CNT3 \(\d\)|GRP1 \(\d+\)|CONT) at \d+ seek to \d+)"
                               R"(|CUS4 \(\d+\) found at \d+ seek to \d+|CAVEVERS [0-9A-F]{16} seek to 28)");
    for (std::size_t i = 1; i + 1 < lvl.Log().size(); ++i) {
        const std::string line(lvl.Log()[i]);
        if (line == "RND1 file - checking version" || line.rfind("File version = ", 0) == 0) continue;
        EXPECT_TRUE(std::regex_match(line, chunkLine)) << "line " << i + 1 << ": " << line;
    }

    // One CE list line and one position per CUS4 chunk.
    EXPECT_EQ(report.CeList.size(), CountOccurrences(bytes, "CUS4"));
    EXPECT_EQ(lvl.CePositions().size(), report.CeList.size());
    for (std::int32_t pos : lvl.CePositions()) EXPECT_EQ(std::string(bytes.begin() + pos - 8, bytes.begin() + pos - 4), "CUS4");

    if (lvl.HeadPos() == -1) return;
    // The map size and cell width from the HEAD bytes; the cells from the BODY bytes.
    const int w = bytes.at(lvl.HeadPos() + 4), h = bytes.at(lvl.HeadPos() + 5);
    const bool wide = bytes.at(lvl.HeadPos() + 100) != 0;
    const std::size_t cellBytes = wide ? 2 : 1;
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    EXPECT_EQ(lvl.MapWidth(), w);
    EXPECT_EQ(lvl.MapHeight(), h);
    EXPECT_EQ(lvl.Wide16(), wide);
    ASSERT_TRUE(report.HeaderBoxes);
    EXPECT_EQ(report.HeaderBoxes->MapSize, std::to_string(w) + "x" + std::to_string(h));
    if (lvl.Format() == LevelFormat::Cookie10) {
        EXPECT_EQ(lvl.HeadPos(), 34);
        EXPECT_EQ(lvl.BodyStart(), 150);
        EXPECT_EQ(bytes.size() - 150, w * h * cellBytes);
    } else {
        EXPECT_EQ(std::string(bytes.begin() + lvl.HeadPos() - 4, bytes.begin() + lvl.HeadPos()), "HEAD");
        ASSERT_GE(lvl.BodyStart(), 8);
        EXPECT_EQ(std::string(bytes.begin() + lvl.BodyStart() - 8, bytes.begin() + lvl.BodyStart() - 4), "BODY");
        EXPECT_EQ(BigEndian(bytes, lvl.BodyStart() - 4, 4), w * h * cellBytes);
    }
    ASSERT_LE(lvl.BodyStart() + w * h * cellBytes, bytes.size());
    int wrong = 0;
    for (int y = 1; y <= h; ++y) {
        for (int x = 1; x <= w; ++x) {
            const std::size_t at = lvl.BodyStart() + ((y - 1) * w + (x - 1)) * cellBytes;
            const std::uint16_t want = static_cast<std::uint16_t>(BigEndian(bytes, at, static_cast<int>(cellBytes)));
            if (lvl.Grid().At(x, y) != want && ++wrong <= 5)
                ADD_FAILURE() << "cell (" << x << "," << y << ") holds " << lvl.Grid().At(x, y) << ", the file " << want;
        }
    }
    EXPECT_EQ(wrong, 0);
    lvl.CloseLevelFile();
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusLevelTest, ::testing::ValuesIn(CorpusLevels()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

TEST(CorpusTutorialTest, Level042ListsItsThirtyEightCustomElements)
{
    if (test::CorpusDir().empty()) GTEST_SKIP() << kSkipMessage;
    test::TempDir dir;
    const std::string path = test::CopyFromCorpus("levels/Tutorials/rnd_tutorial_niko_boehm/042.level", dir);
    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadReport report;
    LoadAndTell(lvl, path, ui, report);
    ASSERT_TRUE(lvl.LevelOpen());
    ASSERT_EQ(report.CeList.size(), 38u);
    ASSERT_EQ(lvl.CePositions().size(), 38u);
    const std::regex ceLine(R"(\d+: .*)");
    for (const std::string& line : report.CeList.Lines()) EXPECT_TRUE(std::regex_match(line, ceLine)) << line;
    // The first chunk's name is "Walk over" followed by a zero byte and leftovers of an older name.
    EXPECT_EQ(report.CeList.front(), "1: Walk over");
    EXPECT_EQ(lvl.CePositions().front(), 654);
    std::size_t cus4Lines = 0;
    for (const std::string_view line : lvl.Log()) cus4Lines += line.rfind("CUS4 (", 0) == 0;
    EXPECT_EQ(cus4Lines, 38u);
    lvl.CloseLevelFile();
}

}  // namespace
}  // namespace vantrel
