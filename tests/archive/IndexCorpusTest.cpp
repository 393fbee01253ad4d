// The index of the real levels against what vantrel-cli load and check
// print of each of them: every field the index keeps.
#include "archive/LevelIndex.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// The value after "Caption: " on its line of load's output.
std::string Field(const std::string& out, const std::string& caption)
{
    const std::size_t at = out.find("\n" + caption + ": ");
    if (at == std::string::npos) return "(none)";
    const std::size_t from = at + caption.size() + 3;
    return out.substr(from, out.find('\n', from) - from);
}

// What load --map prints of a level, in the index's words.
struct Loaded {
    std::string Title, Author, Version, Size, Time, Emeralds;
    std::vector<std::string> Ces;
    std::map<int, std::uint32_t> Counts;
};

Loaded Parse(const std::string& out)
{
    Loaded l{Field(out, "Level Title"), Field(out, "Author"), Field(out, "File Version"),
             Field(out, "Map Size"), Field(out, "Time left"), Field(out, "Emeralds to collect"), {}, {}};
    std::istringstream lines(out.substr(out.find("\nCE list:\n") + 10));
    std::string line;
    while (std::getline(lines, line) && line != "Map:") l.Ces.push_back(line);
    while (std::getline(lines, line)) {
        std::istringstream codes(line);
        for (int code = 0; codes >> code;) ++l.Counts[code];
    }
    return l;
}

Loaded FromIndex(const IndexEntry& e)
{
    Loaded l{e.Title, e.Author, e.Version, e.Width ? std::to_string(e.Width) + "x" + std::to_string(e.Height) : "",
             std::to_string(e.Time), std::to_string(e.Emeralds), {}, {}};
    for (const IndexedCe& ce : e.Ces) l.Ces.push_back(std::to_string(ce.Number) + ": " + ce.Name);
    for (const ElementCount& c : e.Elements) l.Counts[c.Code] = c.Count;
    return l;
}

TEST(IndexCorpusTest, AgreesWithLoadAndCheckOnEveryRealLevel)
{
    if (test::CorpusDir().empty()) GTEST_SKIP() << "the corpus ../shared/corpus is absent";
    test::TempDir dir;
    const fs::path copy = dir.Path() / "corpus";
    fs::copy(test::CorpusDir(), copy, fs::copy_options::recursive);
    const ArchiveIndex index = BuildArchiveIndex({copy.string()});
    EXPECT_TRUE(index.Notices.empty());
    std::size_t levels = 0;
    for (const auto& f : fs::recursive_directory_iterator(copy))
        levels += f.path().extension() == ".level" ? 1 : 0;
    ASSERT_EQ(index.Entries.size(), levels);
    ASSERT_GT(levels, 100u);

    std::string findings;
    for (const IndexEntry& e : index.Entries) {
        SCOPED_TRACE(e.Path);
        EXPECT_EQ(e.State, IndexState::Level) << e.Problem;
        EXPECT_EQ(e.FileSize, static_cast<std::int64_t>(fs::file_size(e.Path)));
        const test::CliResult load = test::RunCli({"load", "--map", e.Path}, dir);
        ASSERT_EQ(load.status, 0);
        const Loaded want = Parse(load.out), got = FromIndex(e);
        EXPECT_EQ(got.Title, want.Title);
        EXPECT_EQ(got.Author, want.Author);
        EXPECT_EQ(got.Version, want.Version);
        EXPECT_EQ(got.Size, want.Size);
        EXPECT_EQ(got.Time, want.Time);
        EXPECT_EQ(got.Emeralds, want.Emeralds);
        EXPECT_EQ(got.Ces, want.Ces);
        EXPECT_EQ(got.Counts, want.Counts);
        const std::string name = fs::path(e.Path).filename().string();
        EXPECT_EQ(e.Number, name == "template.level" ? -1 : std::stoi(name));
        for (const IndexedFinding& f : e.Findings)
            findings += e.Path + ": " + std::to_string(f.Offset) + ": " + (f.Note ? "note: " : "") + f.Text + "\n";
    }
    // check prints the findings in the order of the sorted paths, as the index holds them.
    const test::CliResult check = test::RunCli({"check", copy.string()}, dir);
    EXPECT_EQ(check.out.substr(0, check.out.rfind('\n', check.out.size() - 2) + 1), findings);
}

TEST(IndexCorpusTest, NamesTheLevelsetsByTheirLevelinfo)
{
    if (test::CorpusDir().empty()) GTEST_SKIP() << "the corpus ../shared/corpus is absent";
    test::TempDir dir;
    const fs::path copy = dir.Path() / "corpus";
    fs::copy(test::CorpusDir(), copy, fs::copy_options::recursive);
    std::map<std::string, int> sets;
    for (const IndexEntry& e : BuildArchiveIndex({copy.string()}).Entries) ++sets[e.Levelset];
    // The newer levels lie in folders without levelinfo.conf: the folder's name stands.
    EXPECT_EQ(sets["long_plan"], 4);
    EXPECT_EQ(sets["Sokoban"], 50);
    EXPECT_EQ(sets["Niko B\xF6hm's Tutorial"], 41);
}

}  // namespace
}  // namespace vantrel
