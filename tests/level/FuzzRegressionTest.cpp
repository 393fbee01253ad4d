// Every input kept under fuzz/corpus/loader (inputs that once troubled the
// loader, and small hand-made edge cases) loads to one of the three outcomes a
// load may have: a completed load, a refused file, or a VantrelError. A file
// whose name starts with "completes-", "refused-" or "fails-" must reach that
// outcome. The same bytes load the same from memory and from a file on disk.
#include "level/Loader.h"
#include "level/OpenLevel.h"
#include "base/Error.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "tell/Tell.h"

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

struct Loaded {
    std::unique_ptr<OpenLevel> lvl = std::make_unique<OpenLevel>();
    test::ScriptedUi ui;
    LoadReport report;
    Outcome outcome = Outcome::Failed;
};

// Loads the file through LoadLevelFrom; anything thrown but a VantrelError fails the test by itself.
void Load(std::unique_ptr<WritableFile> file, Loaded& out)
{
    LoadOptions options;
    options.TickMs = [] { return std::int64_t{0}; };
    try {
        LoadLevelFrom(*out.lvl, std::move(file), out.report, options);
        ASSERT_NE(out.report.Completed, out.report.Rejected) << "a load that returns is either completed or refused";
        out.outcome = out.report.Completed ? Outcome::Completed : Outcome::Refused;
    } catch (const VantrelError&) {
        out.outcome = Outcome::Failed;
    }
    Tell(out.report.Notices, out.ui);
}

class FuzzRegressionTest : public ::testing::TestWithParam<fs::path> {};

TEST_P(FuzzRegressionTest, LoadEndsInACompletedLoadARefusalOrAnError)
{
    const fs::path& file = GetParam();
    const std::vector<std::uint8_t> bytes = test::ReadBytes(file);
    Loaded loaded;
    ASSERT_NO_FATAL_FAILURE(Load(std::make_unique<MemoryFile>(file.filename().string(), bytes), loaded));
    const OpenLevel& lvl = *loaded.lvl;
    const Outcome outcome = loaded.outcome;

    EXPECT_LE(lvl.Log().size(), bytes.size() + 10) << "the scan went round in circles";
    EXPECT_EQ(lvl.LevelOpen(), outcome == Outcome::Completed);
    if (outcome != Outcome::Completed) {
        EXPECT_FALSE(lvl.HasFile());
    }
    if (outcome != Outcome::Failed) {
        ASSERT_FALSE(lvl.Log().empty());
        EXPECT_EQ(lvl.Log().back(), std::to_string(bytes.size()) + " bytes loaded in 0 milliseconds");
    }
    if (outcome == Outcome::Completed) {
        EXPECT_LE(lvl.MapWidth(), kMaxMapSize);
        EXPECT_LE(lvl.MapHeight(), kMaxMapSize);
        EXPECT_GE(lvl.Log().size(), 3u);
    }

    const std::string name = file.filename().string();
    for (Outcome expected : {Outcome::Completed, Outcome::Refused, Outcome::Failed}) {
        const std::string prefix = std::string(OutcomeName(expected)) + "-";
        if (name.rfind(prefix, 0) == 0) {
            EXPECT_STREQ(OutcomeName(outcome), OutcomeName(expected));
        }
    }
}

TEST_P(FuzzRegressionTest, LoadsTheSameFromDiskAsFromMemory)
{
    const fs::path& file = GetParam();
    const std::vector<std::uint8_t> bytes = test::ReadBytes(file);
    test::TempDir dir;
    const std::string copy = dir.Write(file.filename().string(), bytes);
    Loaded memory, disk;
    ASSERT_NO_FATAL_FAILURE(Load(std::make_unique<MemoryFile>(copy, bytes), memory));
    ASSERT_NO_FATAL_FAILURE(Load(std::make_unique<DiskFile>(copy, DiskFile::Mode::ReadWrite), disk));

    EXPECT_STREQ(OutcomeName(disk.outcome), OutcomeName(memory.outcome));
    EXPECT_EQ(disk.lvl->Log(), memory.lvl->Log());
    EXPECT_EQ(disk.ui.messages, memory.ui.messages);
    EXPECT_EQ(disk.report.CeList, memory.report.CeList);
    EXPECT_EQ(disk.report.Title, memory.report.Title);
    EXPECT_EQ(disk.report.Author, memory.report.Author);
    EXPECT_EQ(disk.lvl->CePositions(), memory.lvl->CePositions());
    EXPECT_EQ(disk.lvl->HeadPos(), memory.lvl->HeadPos());
    EXPECT_EQ(disk.lvl->BodyStart(), memory.lvl->BodyStart());
    EXPECT_EQ(disk.lvl->AuthPos(), memory.lvl->AuthPos());
    EXPECT_EQ(disk.lvl->Index().EnvelopePos, memory.lvl->Index().EnvelopePos);
    EXPECT_EQ(disk.lvl->Index().GroupPos, memory.lvl->Index().GroupPos);
    EXPECT_TRUE(disk.lvl->Grid() == memory.lvl->Grid()) << "the grids differ";
    EXPECT_EQ(test::ReadBytes(copy), bytes) << "loading changed the file";
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
