// Files that are no level at all (huge, a folder, a pipe, a device), loads
// for reading only, maps cut short, names in folders deeper than the system
// can name whole, and level files that change under an open level.
#include "level/Loader.h"
#include "ce/CeTransfer.h"
#include "counter/Counter.h"
#include "level/HeaderEdit.h"
#include "level/Restore.h"
#include "levelsets/LevelSort.h"
#include "quote/QuotePost.h"
#include "tell/Tell.h"
#include "view/Paint.h"
#include "base/Error.h"
#include "tell/ErrorBoundary.h"
#include "support/LevelBuilder.h"
#include "support/LoadRun.h"
#include "support/Process.h"
#include "support/ScriptedUi.h"
#include "support/SystemOnly.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <new>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

Bytes SmallLevel()
{
    return test::LevelBuilder::Standard({.width = 3, .height = 2, .title = "Small"}, test::PatternCells(3, 2, false),
                                        "Me")
        .Data();
}

std::vector<std::string> Names(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs body in a child that has given up root (root may write any file), so
// that file modes count; the child's failed checks fail the test.
void AsPlainUser([[maybe_unused]] const fs::path& dir, const std::function<void()>& body)
{
    if (!test::Superuser()) {
        body();
        return;
    }
#ifndef _WIN32
    ::chmod(dir.c_str(), 0777);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
        body();
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the child failed its checks (see its output above)";
#endif
}

struct RefusedCase {
    const char* name;
    std::function<std::string(const test::TempDir&)> make;  // makes the file, returns its name
    std::function<std::string(const std::string&)> message;
    bool posixOnly = false;  // named pipes and /dev/null
};
void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

std::string NotRegular(const std::string& kind, const std::string& path)
{
    return "This is not a regular file (it is " + kind + "), so it cannot be opened as a level: " + path;
}

class RefusedFileTest : public ::testing::TestWithParam<std::tuple<RefusedCase, bool>> {};

// Refused at once: no backup, nothing read, the level that was open is closed.
TEST_P(RefusedFileTest, IsRefusedBeforeAnyBackupOrRead)
{
    const auto& [c, readOnly] = GetParam();
    if (test::kWindows && c.posixOnly) GTEST_SKIP() << "named pipes and devices in folders are POSIX's";
    test::TempDir dir;
    const std::string path = c.make(dir);
    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadReport report;
    LoadOptions options;
    options.ReadOnly = readOnly;
    try {
        LoadAndTell(lvl, path, ui, report, options);
        ADD_FAILURE() << "loaded";
    } catch (const VantrelError& e) {
        EXPECT_EQ(std::string(e.what()), c.message(path));
    }
    EXPECT_FALSE(lvl.LevelOpen());
    EXPECT_TRUE(lvl.Log().empty());
    EXPECT_FALSE(fs::exists(fs::symlink_status(path + ".bak")));
    EXPECT_TRUE(ui.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, RefusedFileTest,
    ::testing::Combine(
        ::testing::Values(
            RefusedCase{"ThreeGigabytes",
                        [](const test::TempDir& d) {
                            const std::string p = d.Write("big.level", SmallLevel());
                            fs::resize_file(p, 3LL << 30);  // sparse: takes no room
                            return p;
                        },
                        [](const std::string& p) {
                            return "The file is 3221225472 bytes long, more than any level can be (at most 1048576 "
                                   "bytes), so it is not opened: " + p;
                        }},
            RefusedCase{"OneByteOverTheBound",
                        [](const test::TempDir& d) {
                            const std::string p = d.Write("over.level", SmallLevel());
                            fs::resize_file(p, kMaxLevelFileSize + 1);
                            return p;
                        },
                        [](const std::string& p) { return TooLargeMessage(p, kMaxLevelFileSize + 1); }},
            RefusedCase{"Directory",
                        [](const test::TempDir& d) {
                            fs::create_directory(d.Path() / "dir.level");
                            return (d.Path() / "dir.level").string();
                        },
                        [](const std::string& p) { return NotRegular("a directory", p); }},
            RefusedCase{"Fifo",
                        [](const test::TempDir& d) {
                            const std::string p = (d.Path() / "pipe.level").string();
                            test::MakeFifo(p);
                            return p;
                        },
                        [](const std::string& p) { return NotRegular("a named pipe", p); }, true},
            RefusedCase{"Device",
                        [](const test::TempDir& d) {
                            const fs::path p = d.Path() / "null.level";
                            fs::create_symlink("/dev/null", p);
                            return p.string();
                        },
                        [](const std::string& p) { return NotRegular("a device", p); }, true}),
        ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "ReadOnly" : "ReadWrite");
    });

TEST(HostileFileTest, TheLargestLevelFileIsStillLoaded)
{
    test::TempDir dir;
    const std::string path = dir.Write("padded.level", SmallLevel());
    fs::resize_file(path, kMaxLevelFileSize);  // zero bytes after the map: stray bytes the scan steps over
    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadReport report;
    LoadAndTell(lvl, path, ui, report, ReadOnlyLoad());
    EXPECT_TRUE(report.Completed);
}

Bytes LoadAndLog(const std::string& path, bool readOnly, std::vector<std::string>& log, LoadReport& report)
{
    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadOptions options;
    options.TickMs = [] { return std::int64_t{0}; };
    options.ReadOnly = readOnly;
    LoadAndTell(lvl, path, ui, report, options);
    log = lvl.Log();
    if (readOnly) {
        try {
            SetCell(lvl, PackCell(1, 1), 7);
            ADD_FAILURE() << "a read-only load wrote";
        } catch (const VantrelError& e) {
            EXPECT_EQ(std::string(e.what()), ReadOnlyRefusal(path));
        }
    }
    return test::ReadBytes(path);
}

// Loaded for reading only: the same log and caption as a load for writing,
// no backup, and every write refused.
TEST(ReadOnlyLoadTest, LogsAsTheWindowDoesMakesNoBackupAndWritesNothing)
{
    test::TempDir dir;
    const std::string path = dir.Write("a.level", SmallLevel());
    std::vector<std::string> readOnlyLog, writableLog;
    LoadReport readOnlyReport, writableReport;
    EXPECT_EQ(LoadAndLog(path, true, readOnlyLog, readOnlyReport), SmallLevel());
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"a.level"});
    LoadAndLog(path, false, writableLog, writableReport);
    EXPECT_EQ(readOnlyLog, writableLog);
    EXPECT_EQ(readOnlyReport.Caption, kCaption);
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"a.level", "a.level.bak"}));
}

TEST(ReadOnlyLoadTest, AFileThatMayNotBeWrittenLoadsWithoutTheReadOnlyLine)
{
    test::TempDir dir;
    const std::string path = dir.Write("ro.level", SmallLevel());
    fs::permissions(path, fs::perms(0444));  // on Windows: the read-only attribute
    AsPlainUser(dir.Path(), [&] {
        std::vector<std::string> log;
        LoadReport report;
        LoadAndLog(path, true, log, report);
        EXPECT_TRUE(report.Completed);
        EXPECT_EQ(report.Caption, kCaption);
        for (const std::string& line : log) EXPECT_EQ(line.find("Opened read-only"), std::string::npos) << line;
        EXPECT_FALSE(fs::exists(path + ".bak"));
    });
}

// A map that the file or its BODY chunk cannot hold: a map larger than its
// BODY chunk would lie over the chunks after it, where map edits would
// overwrite them. The level is not opened, and the error says why.
TEST(HostileFileTest, AMapTheFileCannotHoldIsNotOpened)
{
    Bytes cut = SmallLevel();
    cut.resize(cut.size() - 2);
    const struct {
        const char* name;
        Bytes file;
        std::string error;  // then ": " and the path
    } cases[] = {
        {"CutShort", cut,
         "The map of this level (BODY chunk) is cut short: 2 bytes are missing at the end of the file, so it cannot "
         "be opened"},
        {"LargerThanItsBody",
         test::LevelBuilder::Rnd1()
             .Head({.width = 3, .height = 2})
             .Auth("Me")
             .Chunk("BODY", 4, Bytes{1, 2, 3, 4})
             .Chunk("CNT2", 12, Bytes(12))
             .Data(),
         "The map of 3x2 cells needs 6 bytes, but its BODY chunk holds only 4, so it cannot be opened"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::LoadRun run;
        run.readOnly = true;
        run.Load(c.file);
        EXPECT_EQ(run.error, c.error + ": " + run.path);
        EXPECT_FALSE(run.lvl.LevelOpen());
    }
}

TEST(HostileFileTest, OutOfMemoryIsReportedAsASentence)
{
    test::ScriptedUi ui;
    EXPECT_FALSE(RunGuarded(ui, [] { throw std::bad_alloc(); }));
    EXPECT_EQ(ui.errors, std::vector<std::string>{"There was not enough memory to finish the command; nothing more was done."});
}

#ifndef _WIN32
// Goes down into a chain of folders whose full name is longer than the system
// takes (PATH_MAX); comes back and removes them when it goes.
class DeepFolder {
public:
    explicit DeepFolder(const fs::path& base) : back_(::open(".", O_RDONLY | O_DIRECTORY))
    {
        const std::string name(200, 'd');
        EXPECT_EQ(::chdir(base.c_str()), 0);
        for (int i = 0; i < depth_; ++i) {
            ::mkdir(name.c_str(), 0755);
            EXPECT_EQ(::chdir(name.c_str()), 0);
        }
    }
    ~DeepFolder()
    {
        const std::string name(200, 'd');
        for (int i = 0; i < depth_; ++i) {
            for (const char* f : {"a.level", "a.level.bak", "a.level.vce", "set/levelinfo.conf", "set/001.level",
                                  "set/002.level", "set/003.level"})
                ::unlink(f);
            ::rmdir("set");
            ::chdir("..");
            ::rmdir(name.c_str());
        }
        ::fchdir(back_);
        ::close(back_);
    }

private:
    int back_;
    int depth_ = 25;  // 25 x 201 bytes: more than 4096
};
#endif

TEST(HostileFileTest, ARelativeNameLoadsAndEditsInAFolderTooDeepToName)
{
#ifdef _WIN32
    GTEST_SKIP() << "names longer than PATH_MAX are POSIX's";
#else
    test::TempDir dir;
    DeepFolder deep(dir.Path());
    const Bytes level = SmallLevel();
    {
        FILE* f = std::fopen("a.level", "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(level.data(), 1, level.size(), f);
        std::fclose(f);
    }
    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadReport report;
    LoadAndTell(lvl, "a.level", ui, report);
    ASSERT_TRUE(report.Completed) << (ui.errors.empty() ? "" : ui.errors.front());
    EXPECT_TRUE(ui.errors.empty()) << ui.errors.front();
    SetCell(lvl, PackCell(1, 1), 9);
    lvl.CloseLevelFile();
    EXPECT_EQ(test::ReadBytes("a.level.bak"), level);
    EXPECT_EQ(test::ReadBytes("a.level").size(), level.size());
    EXPECT_NE(test::ReadBytes("a.level"), level);
#endif
}

// The counter, the export and restore reach the level's files by the name it
// was opened by, as the load and the edits do, not by its full path.
TEST(HostileFileTest, CounterExportAndRestoreWorkInAFolderTooDeepToName)
{
#ifdef _WIN32
    GTEST_SKIP() << "names longer than PATH_MAX are POSIX's";
#else
    test::TempDir dir;
    DeepFolder deep(dir.Path());
    const Bytes level = SmallLevel();
    {
        FILE* f = std::fopen("a.level", "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(level.data(), 1, level.size(), f);
        std::fclose(f);
    }
    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadReport report;
    LoadAndTell(lvl, "a.level", ui, report);
    ASSERT_TRUE(report.Completed);
    CounterSettings settings;
    const CounterResult counted = CreateCounter(lvl, settings, ui);
    EXPECT_EQ(counted.Outcome, CounterOutcome::Created) << counted.Message;
    const Bytes withCounter = test::ReadBytes("a.level");
    ASSERT_GT(withCounter.size(), level.size());
    LoadAndTell(lvl, "a.level", ui, report);
    ASSERT_EQ(report.CeList.size(), 2u);
    const ExportPlan plan = PlanExport(lvl, report.CeList, {true, true});
    EXPECT_EQ(plan.Path, lvl.LevelPath() + ".vce");
    EXPECT_TRUE(WriteExport(plan, ui).Written);
    EXPECT_EQ(test::ReadBytes("a.level.vce"), Bytes(withCounter.begin() + static_cast<std::ptrdiff_t>(level.size()),
                                                   withCounter.end()));
    const LevelBackup backup = ReadLevelBackup(lvl);
    EXPECT_EQ(backup.Name, lvl.LevelPath() + ".bak");
    RestoreFromBackup(lvl, backup);
    lvl.CloseLevelFile();
    EXPECT_EQ(test::ReadBytes("a.level"), level);
    EXPECT_TRUE(ui.errors.empty()) << ui.errors.front();
#endif
}

// Sort the levels reads the set's levelinfo.conf, and a level from a quote is
// written, by names the system takes where the full path is too long.
TEST(HostileFileTest, SortAndQuoteWorkInAFolderTooDeepToName)
{
#ifdef _WIN32
    GTEST_SKIP() << "names longer than PATH_MAX are POSIX's";
#else
    test::TempDir dir;
    DeepFolder deep(dir.Path());
    ASSERT_EQ(::mkdir("set", 0755), 0);
    for (const auto& [name, text] : {std::pair{"set/levelinfo.conf", "first_level: 2\n"}, {"set/001.level", "A"}}) {
        FILE* f = std::fopen(name, "wb");
        ASSERT_NE(f, nullptr);
        std::fputs(text, f);
        std::fclose(f);
    }
    const SortResult sorted = SortLevels("set", {"001.level"});
    ASSERT_EQ(sorted.Renamed.size(), 1u);
    EXPECT_EQ(sorted.Renamed[0].To, "002.level");
    const QuoteLevelResult made = MakeLevelFromQuote("`001`006\r\n`014`001\r\n", "set", "");
    EXPECT_EQ(made.Path, std::optional<std::string>("set/001.level")) << made.Message;
    EXPECT_TRUE(fs::exists("set/001.level"));
#endif
}

// The level file removed, or made read-only, between the load and an edit:
// the edit is refused with its reason and no file changes.
TEST(ChangedUnderTheLevelTest, RemovedFileIsNotWrittenNorMadeAgain)
{
    if (test::UnderWine()) GTEST_SKIP() << "Wine keeps a file deleted while it is held open under its name";
    test::TempDir dir;
    const std::string path = dir.Write("a.level", SmallLevel());
    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadReport report;
    LoadAndTell(lvl, path, ui, report);
    fs::remove(path);
    try {
        SetCell(lvl, PackCell(1, 1), 9);
        ADD_FAILURE() << "written";
    } catch (const VantrelError& e) {
        EXPECT_EQ(std::string(e.what()), FileChangedRefusal(path));
    }
    EXPECT_EQ(std::string(FileChangedRefusal(path)),
              "The level file " + path + " is gone (deleted or moved since it was read), so nothing was written.");
    lvl.CloseLevelFile();  // Windows keeps the name of a deleted file until it is closed
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"a.level.bak"});
    EXPECT_EQ(test::ReadBytes(path + ".bak"), SmallLevel());
}

// The window's commands that find no level open say so, and how to open one.
TEST(ChangedUnderTheLevelTest, CommandsWithoutALevelSaySo)
{
    OpenLevel lvl;
    test::ScriptedUi ui;
    CeImportList list;
    for (const Notice& n : HeaderEditNotices(WriteLevelTitle(lvl, "T"))) ui.messages.push_back(n.Text);
    ui.messages.push_back(ChooseAndLoadVceFile(lvl, list, ui, "").Refusal->Text);
    ui.messages.push_back(PaintRefusal(lvl, 1));
    const std::string none = "No level is open: load a level (File > Load Level), then ";
    EXPECT_EQ(ui.messages, (std::vector<std::string>{none + "change its File Info.",
                                                     none + "import custom elements into it.", none + "paint into it."}));
}

TEST(ChangedUnderTheLevelTest, FileMadeReadOnlyAfterTheLoadIsNotWritten)
{
    test::TempDir dir;
    const std::string path = dir.Write("a.level", SmallLevel());
#ifndef _WIN32
    if (test::Superuser()) {
        ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);  // the plain user's own level
    }
#endif
    AsPlainUser(dir.Path(), [&] {
        OpenLevel lvl;
        test::ScriptedUi ui;
        LoadReport report;
        LoadAndTell(lvl, path, ui, report);
        ASSERT_FALSE(lvl.ReadOnly());
        fs::permissions(path, fs::perms(0444));  // on Windows: the read-only attribute
        try {
            SetCell(lvl, PackCell(1, 1), 9);
            ADD_FAILURE() << "written";
        } catch (const VantrelError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "The level file " + path + " was made read-only since it was loaded, so nothing was written.");
        }
        lvl.CloseLevelFile();
        EXPECT_EQ(test::ReadBytes(path), SmallLevel());
    });
    fs::permissions(path, fs::perms(0644));
}

}  // namespace
}  // namespace vantrel
