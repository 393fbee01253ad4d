// Undo, redo and restore from backup: each kind of change undone and redone
// gives back the file's bytes whole; an undo after another program changed
// the file is refused with nothing written.
#include "base/Error.h"
#include "ce/CeBytes.h"
#include "ce/CeTransfer.h"
#include "counter/Counter.h"
#include "level/HeaderEdit.h"
#include "level/LevelDocument.h"
#include "level/Restore.h"
#include "support/LevelBuilder.h"
#include "support/RunCli.h"
#include "support/ScriptedUi.h"
#include "support/SystemOnly.h"
#include "support/TempDir.h"
#include "view/MapClipboard.h"
#include "view/Paint.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace vantrel {
namespace {

using test::Bytes;

Bytes Level(const std::string& title = "Whole")
{
    return test::LevelBuilder::Standard({.width = 4, .height = 3, .title = title}, test::PatternCells(4, 3, false))
        .Data();
}

struct Session {
    test::TempDir dir;
    test::ScriptedUi ui;
    test::MemorySettings settings;
    LevelDocument doc{ui, settings};
    LoadReport report;
    std::string path = dir.Write("a.level", Level());

    void Load(const LoadOptions& options = {})
    {
        doc.SetOpenDialogName("%" + path);
        doc.LoadLevelCommand(report, options);
    }
    Bytes File() const { return test::ReadBytes(path); }
    MapSelection Cells(int x1, int y1, int x2, int y2) const { return {PackCell(x1, y1), PackCell(x2, y2), {}, {}}; }
    std::string Refused(const std::function<void()>& command)
    {
        try {
            command();
        } catch (const VantrelError& e) {
            return e.what();
        }
        return "not refused";
    }
};

TEST(Undo, EveryKindOfChangeIsUndoneRedoneAndRefusedAfterAnOutsideChange)
{
    struct Row {
        const char* name;
        std::function<void(Session&)> change;
    };
    const Row rows[] = {
        {"Title", [](Session& s) { WriteLevelTitle(s.doc.Level(), "Cave"); }},
        {"Time and Emeralds", [](Session& s) { WriteTimeAndEmeralds(s.doc.Level(), 1000, 5); }},
        {"Paste 2 x 2 cells", [](Session& s) {
             MapClipboard clip;
             CopySelection(s.doc.Level(), s.Cells(1, 1, 2, 2), clip);
             PasteSelection(s.doc.Level(), s.Cells(3, 2, 4, 3), clip);
         }},
        {"Cut 2 x 1 cells", [](Session& s) {
             MapClipboard clip;
             CutSelection(s.doc.Level(), s.Cells(2, 3, 3, 3), clip);
         }},
        {"Delete 1 x 1 cell", [](Session& s) { DeleteSelection(s.doc.Level(), s.Cells(4, 1, 4, 1)); }},
        {"Paint 3 cells", [](Session& s) {
             PaintStroke stroke(0x05);
             stroke.ExtendTo(PackCell(1, 3), s.doc.Level().MapWidth(), s.doc.Level().MapHeight());
             stroke.ExtendTo(PackCell(3, 3), s.doc.Level().MapWidth(), s.doc.Level().MapHeight());
             PaintCells(s.doc.Level(), stroke);
         }},
        {"Counter (2 CEs)", [](Session& s) {
             CounterSettings settings;
             RunCounterCreation(s.doc.Level(), settings, s.doc.Ui());
         }},
        {"Import of 2 CEs", [](Session& s) {
             test::CeSpec four, nine;
             four.number = 4, nine.number = 9;
             four.pages.resize(1), nine.pages.resize(1);
             const std::string vce = s.dir.Write("b.vce", test::Concat({test::Cus4Chunk(four), test::Cus4Chunk(nine)}));
             CeImportList list;
             ASSERT_TRUE(LoadVceFile(vce, list));
             FinishImport(s.doc.Level(), {}, list, s.ui);
         }},
        {"Restore from Backup", [](Session& s) {
             s.ui.answers.push_back(true);
             s.doc.RestoreBackupCommand(s.report);
         }},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.name);
        Session s;
        s.dir.Write("a.level.bak", Level("Backup"));  // what a restore puts back
        s.Load();
        const Bytes before = s.File();
        row.change(s);
        s.doc.TakeSteps();
        const Bytes after = s.File();
        ASSERT_NE(after, before);
        EXPECT_EQ(s.doc.History().UndoText(), std::string("Undo ") + row.name);

        ASSERT_TRUE(s.doc.UndoCommand(s.report));
        EXPECT_EQ(s.File(), before);
        EXPECT_EQ(s.doc.History().RedoText(), std::string("Redo ") + row.name);
        EXPECT_EQ(s.doc.Level().Log().back(), std::string("Undone: ") + row.name);
        ASSERT_TRUE(s.doc.RedoCommand(s.report));
        EXPECT_EQ(s.File(), after);

        // Another program changes the file; the undo then writes nothing.
        Bytes outside = after;
        std::string why;
        switch (i % 4) {
        case 0:
            outside.push_back(0);
            why = "was changed by another program since it was loaded (it is " + std::to_string(outside.size()) +
                  " bytes long, not " + std::to_string(after.size()) + "), so nothing was written. Load it again to change it.";
            break;
        case 1:
            outside.pop_back();
            why = "was changed by another program since it was loaded (it is " + std::to_string(outside.size()) +
                  " bytes long, not " + std::to_string(after.size()) + "), so nothing was written. Load it again to change it.";
            break;
        case 2: {
            const auto at = std::mismatch(before.begin(), before.end(), after.begin()).second - after.begin();
            outside[static_cast<std::size_t>(at)] ^= 0xFF;  // a byte the change wrote
            std::ofstream(s.path, std::ios::binary | std::ios::in | std::ios::out)
                .seekp(at)
                .put(static_cast<char>(outside[static_cast<std::size_t>(at)]));
            why = std::string("Undo ") + row.name + " is refused: the level file " + s.path +
                  " was changed by another program since (its bytes at offset " + std::to_string(at) +
                  " are not what " + row.name + " left there), so nothing was written.";
            break;
        }
        case 3:
            test::ReplaceFile(s.dir.Write("new.level", outside), s.path);
            why = "was moved, replaced or deleted since it was loaded, so nothing was written. Load it again to change it.";
            break;
        }
        if (i % 4 != 2 && i % 4 != 3) s.dir.Write("a.level", outside);
        const std::string refusal = s.Refused([&] { s.doc.UndoCommand(s.report); });
        EXPECT_NE(refusal.find(why), std::string::npos) << refusal;
        EXPECT_EQ(s.File(), outside);
    }
}

TEST(Undo, TheHistoryEndsWithTheLevelAndANewChangeEndsRedo)
{
    Session s;
    s.Load();
    WriteLevelTitle(s.doc.Level(), "Cave");
    s.doc.TakeSteps();
    s.doc.UndoCommand(s.report);
    WriteTimeAndEmeralds(s.doc.Level(), 7, 8);
    s.doc.TakeSteps();
    EXPECT_FALSE(s.doc.History().CanRedo());
    EXPECT_EQ(s.doc.History().UndoText(), "Undo Time and Emeralds");
    s.Load();  // an undo never reaches across a load
    EXPECT_FALSE(s.doc.History().CanUndo());
    EXPECT_EQ(s.doc.Level().Log().back(),
              "Undo history cleared (a level was loaded): 1 change to " + s.path + " can no longer be undone or redone");
    WriteLevelTitle(s.doc.Level(), "Cave");
    s.doc.TakeSteps();
    EXPECT_TRUE(s.doc.SaveAndClose().empty());
    EXPECT_EQ(std::vector<std::string>(s.doc.Level().Log().begin(), s.doc.Level().Log().end()),
              std::vector<std::string>{"Undo history cleared (Save and Close): 1 change to " + s.path +
                                       " can no longer be undone or redone"});
    s.Load(ReadOnlyLoad());
    EXPECT_EQ(s.Refused([&] { s.doc.UndoCommand(s.report); }), "There is nothing to undo.");
    EXPECT_EQ(s.Refused([&] { s.doc.RedoCommand(s.report); }), "There is nothing to redo.");
}

TEST(Undo, AnUndoWhoseWriteFailsPartWayLeavesTheLevelAsItWas)
{
    // A file whose writes fail once 32 + 5 bytes are written: the title, then five bytes of its undo.
    class FailingFile : public MemoryFile {
    public:
        using MemoryFile::MemoryFile;
        std::size_t budget = 37;

    protected:
        void WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t n) override
        {
            const std::size_t k = std::min(n, budget);
            MemoryFile::WriteAt(offset, data, k);
            budget = k == n ? budget - k : SIZE_MAX;
            if (k < n) throw VantrelError("Cannot write to the file (No space left on device): a.level");
        }
    };
    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadReport report;
    LoadLevelFrom(lvl, std::make_unique<FailingFile>("a.level", Level()), report);
    UndoHistory history;
    WriteLevelTitle(lvl, "A longer title than before");
    history.Take(lvl);
    const Bytes titled = dynamic_cast<const MemoryFile&>(lvl.File()).Bytes();
    try {
        history.Undo(lvl);
        ADD_FAILURE() << "no error";
    } catch (const VantrelError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write to the file (No space left on device): a.level. Nothing was "
                                         "changed: the level is as it was before this command.");
    }
    EXPECT_EQ(dynamic_cast<const MemoryFile&>(lvl.File()).Bytes(), titled);
    EXPECT_EQ(history.UndoText(), "Undo Title");  // still there to try again
}

TEST(Restore, RefusedWithoutABackupOfALevelOrOnAReadOnlyLevel)
{
    Session s;
    s.Load();
    const std::string bak = s.path + ".bak";
    std::filesystem::remove(bak);
    EXPECT_EQ(s.Refused([&] { s.doc.RestoreBackupCommand(s.report); }),
              "There is no backup of this level (" + bak + "), so nothing was restored.");
    s.dir.Write("a.level.bak", std::string("not a level at all"));
    EXPECT_EQ(s.Refused([&] { s.doc.RestoreBackupCommand(s.report); }),
              "The backup " + bak + " is not a level (the loader does not take it), so nothing was restored.");
    s.Load(ReadOnlyLoad());
    EXPECT_EQ(s.Refused([&] { s.doc.RestoreBackupCommand(s.report); }),
              "This level is open read-only, so it cannot be restored from its backup: " + s.path);
    EXPECT_EQ(s.File(), Level());
    EXPECT_TRUE(s.ui.questions.empty());
}

// A backup cut short is no earlier version of the level: the window and the
// command line refuse it, naming where the loader's scan stopped.
TEST(Restore, ABackupCutShortIsRefused)
{
    if (test::CorpusDir().empty()) GTEST_SKIP() << "no corpus";
    struct Cut {
        std::size_t keep;    // bytes of the level kept in the backup
        const char* stopped;  // the loader's line
    };
    const Cut cuts[] = {
        {1000, "CUS4 at 896 would seek to 1048, past the end of the file (1000 bytes)"},
        {1047, "CUS4 at 896 would seek to 1048, past the end of the file (1047 bytes)"},
        {900, "CUS4 at 896 runs past the end of the file (900 bytes)"},
    };
    for (const Cut& cut : cuts) {
        SCOPED_TRACE(cut.keep);
        Session s;
        const std::string level = test::CopyFromCorpus("levels/Tutorials/rnd_tutorial_niko_boehm/025.level", s.dir);
        const Bytes whole = test::ReadBytes(level);
        ASSERT_EQ(whole.size(), 1048u);
        s.dir.Write("025.level.bak", Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut.keep)));
        const std::string said = "The backup " + level + ".bak is not a whole level (Scan stopped: " + cut.stopped +
                                 "), so nothing was restored.";
        const test::CliResult r = test::RunCli({"restore", level}, s.dir);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "message: " + said + "\n");
        EXPECT_EQ(test::ReadBytes(level), whole);

        s.path = level;
        s.Load();
        EXPECT_EQ(s.Refused([&] { s.doc.RestoreBackupCommand(s.report); }), said);
        EXPECT_TRUE(s.ui.questions.empty());
        EXPECT_EQ(test::ReadBytes(level), whole);
    }
}

// What restore says when it cannot look for the backup.
TEST(Restore, SaysWhatIsMissing)
{
    VANTREL_SKIP_ON_WINDOWS("a name past PATH_MAX (4096 bytes) is POSIX's");
    test::TempDir dir;
    // A folder whose path leaves room for a level's name but not for its backup's.
    std::filesystem::path deep = dir.Path();
    const std::size_t levelPath = 4094;  // "/a.level" included; with ".bak" past the system's 4095
    while (deep.string().size() < levelPath - 9 - 255) deep /= std::string(200, 'd');
    deep /= std::string(levelPath - 9 - deep.string().size(), 'n');
    std::filesystem::create_directories(deep);
    const std::string level = (deep / "a.level").string();
    ASSERT_LT(level.size(), 4096u);
    ASSERT_GE(level.size() + 4, 4096u);
    const Bytes bytes = Level();
    { std::ofstream(level, std::ios::binary) << std::string(bytes.begin(), bytes.end()); }
    const std::string missing = (dir.Path() / "gone.level").string();
    const std::pair<std::string, std::string> rows[] = {
        {missing, "The level file " + missing + " does not exist (deleted, moved or never made), so nothing was read "
                  "or written."},
        {level, "The backup " + level + ".bak cannot be looked at (File name too long), so nothing was restored."},
    };
    for (const auto& [path, said] : rows) {
        const test::CliResult r = test::RunCli({"restore", path}, dir);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "message: " + said + "\n");
    }
    EXPECT_EQ(test::ReadBytes(level), Level());
}

// Restore writes into the level's own file: its owner, group, mode, hard
// links and identity stay, and an undo takes the restore back.
TEST(Restore, TheBackupGoesIntoTheLevelsOwnFile)
{
#ifdef _WIN32
    GTEST_SKIP() << "owners, hard links and permission bits are POSIX's";
#else
    if (!test::Superuser()) GTEST_SKIP() << "giving a file to another user needs root";
    Session s;
    const std::string link = (s.dir.Path() / "link.level").string();
    ASSERT_EQ(::link(s.path.c_str(), link.c_str()), 0);
    ASSERT_EQ(::chown(s.path.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(s.path.c_str(), 0640), 0);
    s.Load();
    Bytes longer = Level();
    longer.resize(longer.size() + 100, 7);  // the level grew since its backup
    {
        std::ofstream(s.path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(longer.data()), static_cast<std::streamsize>(longer.size()));
    }
    s.dir.Write("a.level.bak", Level("Backup"));
    s.Load();
    struct stat before {};
    ASSERT_EQ(::stat(s.path.c_str(), &before), 0);
    s.ui.answers.push_back(true);
    ASSERT_TRUE(s.doc.RestoreBackupCommand(s.report));
    struct stat after {};
    ASSERT_EQ(::stat(s.path.c_str(), &after), 0);
    EXPECT_EQ(test::ReadBytes(link), Level("Backup"));
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_EQ(after.st_uid, 65534u);
    EXPECT_EQ(after.st_gid, 65534u);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(s.doc.History().UndoText(), "Undo Restore from Backup");
    ASSERT_TRUE(s.doc.UndoCommand(s.report));
    EXPECT_EQ(s.File(), longer);
#endif
}

TEST(Restore, TheBackupTakesTheLevelsPlaceKeepingItsLinkAndPermissions)
{
    VANTREL_SKIP_ON_WINDOWS("links and permission bits are POSIX's");
    Session s;
    const std::string real = s.dir.Write("real.level", Level());
    std::filesystem::permissions(real, std::filesystem::perms(0604));
    std::filesystem::remove(s.path);
    std::filesystem::create_symlink(real, s.path);
    s.dir.Write("a.level.bak", Level("Backup"));
    s.Load();
    s.ui.answers.push_back(true);
    ASSERT_TRUE(s.doc.RestoreBackupCommand(s.report));
    ASSERT_EQ(s.ui.questions.size(), 1u);
    EXPECT_EQ(s.ui.questions[0].rfind("Put the backup " + s.path + ".bak of 20", 0), 0u) << s.ui.questions[0];
    EXPECT_TRUE(std::filesystem::is_symlink(s.path));
    EXPECT_EQ(test::ReadBytes(real), Level("Backup"));
    EXPECT_EQ(std::filesystem::status(real).permissions(), std::filesystem::perms(0604));
    EXPECT_EQ(s.report.Title.substr(0, 6), "Backup");  // loaded again
}

TEST(Restore, FromTheCommandLine)
{
    test::TempDir dir;
    const std::string path = dir.Write("a.level", Level());
    ASSERT_EQ(test::RunCli({"counter", path}, dir).status, 0);  // the backup is made, the level grows
    const std::size_t grown = test::ReadBytes(path).size();
    const test::CliResult r = test::RunCli({"restore", path, "--verbose"}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::ReadBytes(path), Level());
    const std::string head = "restored: " + path + " from " + path + ".bak of ";
    ASSERT_EQ(r.out.rfind(head, 0), 0u) << r.out;
    const std::string size = std::to_string(Level().size());
    EXPECT_EQ(r.out.substr(r.out.find('\n') + 1),
              "changed: " + path + ", 2 writes of " + size + " bytes, " + std::to_string(grown) + " -> " + size +
                  " bytes long\nwrite: offset 0, " + size + " bytes\ncut: offset " + size + ", " +
                  std::to_string(grown - Level().size()) + " bytes\n");
    std::filesystem::remove(path + ".bak");
    const test::CliResult none = test::RunCli({"restore", path}, dir);
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "message: There is no backup of this level (" + path + ".bak), so nothing was restored.\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".bak"));
}

}  // namespace
}  // namespace vantrel
