// The Windows build of vantrel-cli, run under Wine, beside this build on the
// same copies of real levels: every writing command writes the same bytes
// into the same files (backups, .vce files, pictures, new and renamed levels)
// and prints the same text, the folder's name aside. It runs when a Windows
// build is at hand (VANTREL_WINDOWS_CLI names its vantrel-cli.exe, as
// scripts/windows.sh and test.sh set it); else it skips, saying so.
#include "support/Process.h"
#include "support/RunCli.h"
#include "support/SystemOnly.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

namespace vantrel {
namespace {

namespace fs = std::filesystem;

constexpr char kTutorial[] = "levels/Tutorials/rnd_tutorial_niko_boehm";

// Every file under dir, by its name relative to dir, with its bytes.
std::map<std::string, std::string> Files(const fs::path& dir)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file()) files[fs::relative(entry.path(), dir).generic_string()] = test::ReadText(entry.path());
    return files;
}

// What a run printed, with its folder written as DIR, names under it joined
// by "/", and what differs from run to run (milliseconds, the minute a backup
// was made) left out.
std::string Normal(std::string text, const fs::path& folder)
{
    // Wine reads "/tmp/x" as \tmp\x on drive Z:, which the program may show with or without the drive.
    std::string unix = folder.string(), bare = folder.string();
    for (char& c : bare)
        if (c == '/') c = '\\';
    const std::string windows = "Z:" + bare;
    for (const std::string& form : {windows + "\\", bare + "\\", unix + "\\", unix + "/", windows, bare, unix})
        for (std::size_t at = 0; (at = text.find(form, at)) != std::string::npos;)
            text.replace(at, form.size(), form.back() == '\\' || form.back() == '/' ? "DIR/" : "DIR");
    text = std::regex_replace(text, std::regex("in [0-9]+ milliseconds"), "in N milliseconds");
    return std::regex_replace(text, std::regex("of [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}"), "of DATE");
}

struct Copy {
    const char* from;  // in the corpus
    const char* to;    // in the folder
};

struct Scenario {
    const char* name;
    std::vector<Copy> copies;
    // Each command's arguments; "@" at the start of one stands for the folder ("@/a.level").
    std::vector<std::vector<std::string>> commands;
};

const std::string k042 = std::string(kTutorial) + "/042.level";
const std::string k019 = std::string(kTutorial) + "/019.level";
const std::string k025 = std::string(kTutorial) + "/025.level";
const std::string kNewer = "newer/train1/136.level";

const Scenario kScenarios[] = {
    {"counter", {{k019.c_str(), "a.level"}},
     {{"counter", "@/a.level"}, {"counter", "@/a.level", "--steps", "16", "--inc=-3", "--start", "40", "--yes"}}},
    {"counter on a level of the newer layout", {{kNewer.c_str(), "n.level"}}, {{"counter", "@/n.level", "--yes"}}},
    {"set", {{k019.c_str(), "a.level"}, {kNewer.c_str(), "n.level"}},
     {{"set", "@/a.level", "--title", "Title from Windows", "--author", "Me", "--time", "321", "--emeralds", "45"},
      {"set", "@/n.level", "--title", "Newer", "--time", "32767", "--emeralds", "7", "--verbose"},
      {"set", "@/a.level", "--time", "70000"}}},
    {"export and import", {{k042.c_str(), "ces.level"}, {k019.c_str(), "into.level"}},
     {{"export", "@/ces.level", "--all"},
      {"import", "@/into.level", "@/ces.level.vce", "--yes", "--verbose"},
      {"import", "@/into.level", "@/ces.level.vce", "--shift=3", "--yes"}}},
    {"players", {{k019.c_str(), "set/001.level"}, {k025.c_str(), "set/002.level"}, {k042.c_str(), "set/003.level"}},
     {{"players", "3", "@/set"}, {"players", "4", "@/set"}}},
    {"sort", {{k019.c_str(), "set/003.level"}, {k025.c_str(), "set/010.level"}, {k042.c_str(), "set/a.level"},
              {"levels/Tutorials/levelinfo.conf", "set/levelinfo.conf"}},
     {{"sort", "@/set", "--dry-run"}, {"counter", "@/set/010.level"}, {"sort", "@/set"}}},
    {"quote", {}, {{"quote", VANTREL_RESOURCES_DIR "/examples/quote-post.txt", "--out", "@"},
                   {"quote", VANTREL_RESOURCES_DIR "/examples/counter-level.txt", "--out", "@"}}},
    {"render", {{k042.c_str(), "a.level"}, {kNewer.c_str(), "n.level"}},
     {{"render", "@/a.level", "@/a.png"}, {"render", "@/a.level", "@/a.bmp"}, {"render", "@/n.level", "@/n.png"}}},
    {"restore", {{k042.c_str(), "a.level"}},
     {{"counter", "@/a.level"}, {"restore", "@/a.level", "--verbose"}, {"restore", "@/a.level.missing"}}},
    {"a name outside every code page", {{k019.c_str(), "\xce\xa9mega \xe2\x98\x85.level"}},
     {{"set", "@/\xce\xa9mega \xe2\x98\x85.level", "--title", "Omega"}, {"counter", "@/\xce\xa9mega \xe2\x98\x85.level"},
      {"load", "@/\xce\xa9mega \xe2\x98\x85.level"}}},
    {"read only", {{k042.c_str(), "a.level"}, {kNewer.c_str(), "n.level"}},
     {{"load", "@/a.level", "--map"}, {"ce", "@/a.level", "2"}, {"check", "@"}, {"sketch", "@/n.level"},
      {"levelsets", "@/missing"}}},
};

void PrintTo(const Scenario& scenario, std::ostream* os) { *os << scenario.name; }

class WindowsCli : public testing::TestWithParam<Scenario> {};

TEST_P(WindowsCli, WritesAndPrintsWhatThisBuildDoes)
{
    VANTREL_SKIP_ON_WINDOWS("compares the Windows build with the Linux one, from Linux");
    const char* windowsCli = std::getenv("VANTREL_WINDOWS_CLI");
    if (!windowsCli || !fs::exists(windowsCli))
        GTEST_SKIP() << "no Windows build (VANTREL_WINDOWS_CLI; scripts/windows.sh makes one)";
    const fs::path corpus = test::CorpusDir();
    if (corpus.empty()) GTEST_SKIP() << "the level corpus is absent";
    const Scenario& scenario = GetParam();
    test::TempDir dir;
    const fs::path here = dir.Path() / "linux", there = dir.Path() / "windows";
    for (const fs::path& folder : {here, there}) {
        fs::create_directories(folder);
        for (const Copy& copy : scenario.copies) {
            fs::create_directories((folder / copy.to).parent_path());
            fs::copy_file(corpus / copy.from, folder / copy.to);
            fs::permissions(folder / copy.to, fs::perms::owner_write, fs::perm_options::add);
        }
    }
    for (const std::vector<std::string>& command : scenario.commands) {
        SCOPED_TRACE(testing::PrintToString(command));
        const auto argsIn = [&](const fs::path& folder) {
            std::vector<std::string> args;
            for (const std::string& a : command) args.push_back(a[0] == '@' ? folder.string() + a.substr(1) : a);
            return args;
        };
        const auto out = dir.Path() / "out", err = dir.Path() / "err";
        const int linuxStatus = test::RunProgram(VANTREL_CLI_PATH, argsIn(here), {out, err, {}});
        const std::string linuxOut = test::ReadText(out), linuxErr = test::ReadText(err);
        std::vector<std::string> underWine = argsIn(there);
        underWine.insert(underWine.begin(), windowsCli);
        const int windowsStatus = test::RunProgram(VANTREL_WINE_RUN, underWine, {out, err, {}});
        EXPECT_EQ(windowsStatus, linuxStatus);
        EXPECT_EQ(Normal(test::ReadText(out), there), Normal(linuxOut, here));
        EXPECT_EQ(Normal(test::ReadText(err), there), Normal(linuxErr, here));
        const auto written = Files(there), expected = Files(here);
        std::vector<std::string> writtenNames, expectedNames;
        for (const auto& [name, bytes] : written) writtenNames.push_back(name);
        for (const auto& [name, bytes] : expected) expectedNames.push_back(name);
        ASSERT_EQ(writtenNames, expectedNames) << "the files both builds wrote";
        for (const auto& [name, bytes] : expected) EXPECT_TRUE(written.at(name) == bytes) << name << " differs";
    }
}

INSTANTIATE_TEST_SUITE_P(BothBuilds, WindowsCli, testing::ValuesIn(kScenarios), [](const auto& info) {
    std::string name;
    for (const char c : std::string(info.param.name)) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
});

}  // namespace
}  // namespace vantrel
