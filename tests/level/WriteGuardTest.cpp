// What keeps edits from landing where they are lost: a level whose file was
// moved, replaced or deleted after its load, a level that may only be read,
// a header field past the end of the file, and a backup that cannot be made.
#include "level/HeaderEdit.h"
#include "level/Loader.h"
#include "base/Error.h"
#include "support/LevelBuilder.h"
#include "support/Process.h"
#include "support/ScriptedUi.h"
#include "support/SystemOnly.h"
#include "support/TempDir.h"
#include "tell/Tell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

void WriteFileAt(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

Bytes SmallLevel(const std::string& title = "Small")
{
    return test::LevelBuilder::Standard({.width = 3, .height = 2, .title = title}, test::PatternCells(3, 2, false),
                                        "Me")
        .Data();
}

struct ChangeCase {
    const char* name;
    std::function<void(const fs::path&)> change;  // what happens to the file after its load
    bool replacementLeft;                           // a file of other bytes now has the level's name
};

class ChangedFileTest : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(ChangedFileTest, EveryWriteIsRefusedAndNothingIsReportedAsDone)
{
    if (test::UnderWine() && std::string(GetParam().name) == "Deleted")
        GTEST_SKIP() << "Wine keeps a file deleted while it is held open under its name";
    test::TempDir dir;
    const fs::path path = dir.Write("a.level", SmallLevel());
    test::ScriptedUi ui;
    OpenLevel lvl;
    LoadReport report;
    LoadAndTell(lvl, path.string(), ui, report);
    ASSERT_TRUE(lvl.LevelOpen());
    GetParam().change(path);
    const Bytes replacement = GetParam().replacementLeft ? test::ReadBytes(path) : Bytes{};

    const std::string refusal = FileChangedRefusal(lvl.LevelPath());
    for (const auto& edit : std::vector<std::function<void()>>{
             [&] { WriteLevelTitle(lvl, "New title"); },
             [&] { WriteTimeAndEmeralds(lvl, 5, 6); },
             [&] { SetCell(lvl, PackCell(1, 1), 7); },
         }) {
        try {
            edit();
            ADD_FAILURE() << "the write was not refused";
        } catch (const VantrelError& e) {
            EXPECT_EQ(e.what(), refusal);
        }
    }
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();  // "Level title updated!" above all
    EXPECT_TRUE(lvl.Steps().empty());
    EXPECT_EQ(lvl.Grid().At(1, 1), test::PatternCells(3, 2, false)[0]) << "the grid stays as the file is";
    if (GetParam().replacementLeft) {
        EXPECT_EQ(test::ReadBytes(path), replacement);
    }
}

// A program that takes no lock changes the file between the checks and the
// writes: the step is written into the file that was loaded, and it is told
// that this file is no longer the level.
TEST_P(ChangedFileTest, AChangeWhileTheStepIsWrittenIsToldAfterIt)
{
    if (test::UnderWine() && std::string(GetParam().name) == "Deleted")
        GTEST_SKIP() << "Wine keeps a file deleted while it is held open under its name";
    test::TempDir dir;
    const fs::path path = dir.Write("a.level", SmallLevel());
    test::ScriptedUi ui;
    OpenLevel lvl;
    LoadReport report;
    LoadAndTell(lvl, path.string(), ui, report);
    ASSERT_TRUE(lvl.LevelOpen());
    const std::uint8_t byte = 9;
    std::string said;
    try {
        LevelWrite step(lvl, "Cell");
        lvl.Patch(lvl.BodyStart(), &byte, 1);
        GetParam().change(path);
        step.Commit();
    } catch (const VantrelError& e) {
        said = e.what();
    }
    const std::string shown = lvl.LevelPath();
    EXPECT_EQ(said, GetParam().replacementLeft
                        ? "The change was written into the level file that was loaded, but another program replaced " +
                              shown + " meanwhile: the change went into a file that is no longer the level, and " +
                              shown + " holds the other program's bytes. Load the level again to change it."
                        : "The change was written into the level file that was loaded, but another program moved or "
                          "deleted " + shown + " meanwhile: the file written is no longer the level, and there is no "
                          "file of that name now.");
    if (GetParam().replacementLeft) {
        EXPECT_EQ(test::ReadBytes(path), SmallLevel("Other"));
    }
    if (fs::exists(path.string() + ".moved")) {
        EXPECT_EQ(test::ReadBytes(path.string() + ".moved")[static_cast<std::size_t>(lvl.BodyStart())], 9);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ChangedFileTest,
    ::testing::Values(ChangeCase{"Deleted", [](const fs::path& p) { fs::remove(p); }, false},
                      ChangeCase{"Renamed", [](const fs::path& p) { fs::rename(p, p.string() + ".moved"); }, false},
                      ChangeCase{"Replaced",
                                 [](const fs::path& p) {
                                     const fs::path other = p.string() + ".new";
                                     WriteFileAt(other, SmallLevel("Other"));
                                     test::ReplaceFile(other, p);
                                 },
                                 true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HeaderFieldPastTheEnd, TheTitleAndTimeAreNotWrittenAndNotReportedAsWritten)
{
    test::TempDir dir;
    const fs::path path = dir.Write("a.level", SmallLevel());
    test::ScriptedUi ui;
    OpenLevel lvl;
    LoadReport report;
    LoadAndTell(lvl, path.string(), ui, report);
    ASSERT_TRUE(lvl.LevelOpen());
    fs::resize_file(path, 40);  // the same file, cut short after its load: the title at 42 lies past its end
    const Bytes cut = test::ReadBytes(path);
    const Notices title{{"The title was not written: its 32 bytes at offset 42 lie past the end of the file (40 "
                         "bytes). Nothing was written.",
                         true}};
    EXPECT_EQ(HeaderEditNotices(WriteLevelTitle(lvl, "New")), title) << "no \"Level title updated!\"";
    fs::resize_file(path, 38);
    const Notices time{{"The time left and emeralds to collect was not written: its 4 bytes at offset 38 lie past "
                        "the end of the file (38 bytes). Nothing was written.",
                        true}};
    EXPECT_EQ(HeaderEditNotices(WriteTimeAndEmeralds(lvl, 1, 2)), time);
    HeaderChanges both;
    both.Author = "Ann";
    both.Emeralds = 3;
    EXPECT_FALSE(WriteHeaderChanges(lvl, both)) << "no field of the command is written";
    lvl.CloseLevelFile();
    EXPECT_EQ(test::ReadBytes(path), Bytes(cut.begin(), cut.begin() + 38));
}

TEST(MissingBackup, TheUserIsToldOnceAtLoadAndTheLoadGoesOn)
{
    test::TempDir dir;
    struct Case {
        const char* why;
        std::string name;
        std::function<void(const fs::path&)> prepare;
    };
    const Case cases[] = {
        {"File name too long", std::string(248, 'n') + ".level", [](const fs::path&) {}},
        {"the name is taken by a link that leads nowhere", "linked.level",
         [](const fs::path& p) { fs::create_symlink("no-such-folder/x", p.string() + ".bak"); }},
    };
    for (const Case& c : cases) {
        if (test::kWindows) break;  // names longer than 255 bytes and links are POSIX's
        SCOPED_TRACE(c.why);
        const fs::path path = dir.Write(c.name, SmallLevel());
        c.prepare(path);
        test::ScriptedUi ui;
        OpenLevel lvl;
        LoadReport report;
        LoadAndTell(lvl, path.string(), ui, report);
        EXPECT_TRUE(lvl.LevelOpen());
        EXPECT_EQ(ui.errors, std::vector<std::string>{NoBackupMessage(path.string(), c.why)});
    }
    // A copy cut short by a file size limit leaves no half backup behind (POSIX only).
    if (!test::kWindows) {
        const fs::path path = dir.Write("big.level", test::LevelBuilder::Standard({.width = 64, .height = 64},
                                                                                  test::PatternCells(64, 64, false))
                                                         .Data());
        test::ScriptedUi ui;
        OpenLevel lvl;
        LoadReport report;
        {
            test::FileSizeLimit limit(1024);
            LoadAndTell(lvl, path.string(), ui, report);
        }
        EXPECT_TRUE(lvl.LevelOpen());
        EXPECT_EQ(ui.errors, std::vector<std::string>{NoBackupMessage(path.string(), "File too large")});
        EXPECT_FALSE(fs::exists(path.string() + ".bak"));
    }
    // A backup made before is kept, and nothing is said.
    const fs::path path = dir.Write("kept.level", SmallLevel());
    WriteFileAt(path.string() + ".bak", Bytes{1, 2, 3});
    test::ScriptedUi ui;
    OpenLevel lvl;
    LoadReport report;
    LoadAndTell(lvl, path.string(), ui, report);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(test::ReadBytes(path.string() + ".bak"), (Bytes{1, 2, 3}));
}

// A level file that may not be written opens for viewing: no backup, a log
// line and caption that say so, and every write refused with the file as it was.
void ExpectReadOnlyLevel(const fs::path& path)
{
    const Bytes before = test::ReadBytes(path);
    test::ScriptedUi ui;
    OpenLevel lvl;
    LoadReport report;
    LoadAndTell(lvl, path.string(), ui, report);
    ASSERT_TRUE(lvl.LevelOpen());
    EXPECT_TRUE(lvl.ReadOnly());
    EXPECT_EQ(lvl.Log().at(1), std::string(kReadOnlyLogLine) + " (" + test::kDeniedText + ")");
    EXPECT_EQ(report.Caption, kCaptionReadOnly);
    EXPECT_EQ(lvl.Grid().At(3, 2), test::PatternCells(3, 2, false)[5]) << "the map is there to see";
    EXPECT_FALSE(fs::exists(path.string() + ".bak"));
    EXPECT_THROW(SetCell(lvl, PackCell(1, 1), 9), VantrelError);
    try {
        WriteLevelTitle(lvl, "New");
        ADD_FAILURE() << "the title was written";
    } catch (const VantrelError& e) {
        EXPECT_EQ(e.what(), ReadOnlyRefusal(lvl.LevelPath()));
    }
    EXPECT_TRUE(ui.messages.empty());
    lvl.CloseLevelFile();
    EXPECT_EQ(test::ReadBytes(path), before);
}

// Runs check as a user without root's right to write anything: in a child
// that gives up root when the tests run as root.
void AsOrdinaryUser(const std::function<void()>& check)
{
    if (!test::Superuser()) {
        check();
        return;
    }
#ifndef _WIN32
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
        check();
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the checks failed as an ordinary user (see the child's output above)";
#endif
}

TEST(ReadOnlyLevel, OpensForViewingAndRefusesEveryWrite)
{
    test::TempDir dir;
    const fs::path path = dir.Write("ro.level", SmallLevel());
    fs::permissions(path, fs::perms(0444));  // on Windows: the read-only attribute
    fs::permissions(dir.Path(), fs::perms(0755));
    AsOrdinaryUser([&] { ExpectReadOnlyLevel(path); });
}

TEST(MissingBackup, AFolderThatMayNotBeWrittenIsSaidAndEditsStillWork)
{
    VANTREL_SKIP_ON_WINDOWS("a folder's permission bits are POSIX's");
    test::TempDir dir;
    const fs::path path = dir.Write("a.level", SmallLevel());
    fs::permissions(path, fs::perms(0666));       // the level may be written...
    fs::permissions(dir.Path(), fs::perms(0555));  // ...but nothing may be added to its folder
    AsOrdinaryUser([&] {
        test::ScriptedUi ui;
        OpenLevel lvl;
        LoadReport report;
        LoadAndTell(lvl, path.string(), ui, report);
        ASSERT_TRUE(lvl.LevelOpen());
        EXPECT_FALSE(lvl.ReadOnly());
        EXPECT_EQ(ui.errors, std::vector<std::string>{NoBackupMessage(path.string(), "Permission denied")});
        EXPECT_FALSE(fs::exists(path.string() + ".bak"));
        EXPECT_TRUE(SetCell(lvl, PackCell(1, 1), 9)) << "the level itself is written as before";
    });
    fs::permissions(dir.Path(), fs::perms(0755));
}

}  // namespace
}  // namespace vantrel
