// Every input kept under fuzz/corpus/loader (inputs that once troubled the
// loader, and small hand-made edge cases) loads to one of the three outcomes a
// load may have: a completed load, a refused file, or a VantrelError. A file
// whose name starts with "completes-", "refused-" or "fails-" must reach that
// outcome.
#include "level/Loader.h"
#include "level/OpenLevel.h"
#include "shell/Error.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> LoaderCases()
{
    std::vector<fs::path> files;
    const fs::path dir = fs::path(VANTREL_FUZZ_CASES_DIR) / "loader";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.is_regular_file() && entry.path().filename().string().rfind("README", 0) != 0)
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

enum class Outcome { Completed, Refused, Failed };

const char* OutcomeName(Outcome o)
{
    return o == Outcome::Completed ? "completes" : o == Outcome::Refused ? "refused" : "fails";
}

class FuzzRegressionTest : public ::testing::TestWithParam<fs::path> {};

TEST_P(FuzzRegressionTest, LoadEndsInACompletedLoadARefusalOrAnError)
{
    const fs::path& file = GetParam();
    const std::vector<std::uint8_t> bytes = test::ReadBytes(file);
    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadReport report;
    LoadOptions options;
    options.TickMs = [] { return std::int64_t{0}; };

    Outcome outcome;
    try {
        LoadLevelFrom(lvl, std::make_unique<MemoryFile>(file.filename().string(), bytes), ui, report, options);
        ASSERT_NE(report.Completed, report.Rejected) << "a load that returns is either completed or refused";
        outcome = report.Completed ? Outcome::Completed : Outcome::Refused;
    } catch (const VantrelError&) {
        outcome = Outcome::Failed;
    }
    // Anything else thrown fails the test by itself.

    EXPECT_LE(lvl.Log.size(), bytes.size() + 10) << "the scan went round in circles";
    EXPECT_EQ(lvl.LevelOpen(), outcome == Outcome::Completed);
    if (outcome != Outcome::Completed) {
        EXPECT_EQ(lvl.LevelFile, nullptr);
    }
    if (outcome != Outcome::Failed) {
        ASSERT_FALSE(lvl.Log.empty());
        EXPECT_EQ(lvl.Log.back(), std::to_string(bytes.size()) + " bytes loaded in 0 milliseconds");
    }
    if (outcome == Outcome::Completed) {
        EXPECT_LE(lvl.MapWidth, kMaxMapSize);
        EXPECT_LE(lvl.MapHeight, kMaxMapSize);
        EXPECT_GE(lvl.Log.size(), 3u);
    }

    const std::string name = file.filename().string();
    for (Outcome expected : {Outcome::Completed, Outcome::Refused, Outcome::Failed}) {
        const std::string prefix = std::string(OutcomeName(expected)) + "-";
        if (name.rfind(prefix, 0) == 0) {
            EXPECT_STREQ(OutcomeName(outcome), OutcomeName(expected));
        }
    }
}

std::string CaseName(const ::testing::TestParamInfo<fs::path>& info)
{
    std::string name = info.param.stem().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(LoaderCases, FuzzRegressionTest, ::testing::ValuesIn(LoaderCases()), CaseName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FuzzRegressionTest);

// The two kinds of hand-made case that must always be there.
TEST(FuzzRegressionCases, IncludeAHugeSizeFieldAndALateVersionChunk)
{
    const std::vector<fs::path> files = LoaderCases();
    const auto has = [&](const std::string& part) {
        return std::any_of(files.begin(), files.end(),
                           [&](const fs::path& f) { return f.filename().string().find(part) != std::string::npos; });
    };
    EXPECT_TRUE(has("size-ffffffff"));
    EXPECT_TRUE(has("cavevers-later"));
}

}  // namespace
}  // namespace vantrel
