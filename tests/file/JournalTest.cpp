// The journal that keeps a step whole: a level stopped at any point of a
// step, with the journal as it then was on disk, is put back exactly as it
// was before the step; a journal left beside a level open in the window is
// taken back before the next step; long level names get a journal name that
// fits.
#include "file/Journal.h"

#include "file/WholeFile.h"
#include "level/HeaderEdit.h"
#include "level/Loader.h"
#include "support/LevelBuilder.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "tell/Tell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

Bytes Level(const std::string& title = "Journal")
{
    return test::LevelBuilder::Standard({.width = 4, .height = 3, .title = title}, test::PatternCells(4, 3, false))
        .Data();
}

void Put(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// One write of a step: where, and what.
struct Write {
    std::int64_t offset;
    Bytes bytes;
};

// A step of writes (and a cut to a length, when given) on a copy of before:
// the level and the journal after each of its writes.
struct Stage {
    Bytes level;
    Bytes journal;
};

std::vector<Stage> Stages(const test::TempDir& dir, const Bytes& before, const std::vector<Write>& writes)
{
    const fs::path level = dir.Path() / "s.level";
    Put(level, before);
    std::vector<Stage> stages;
    StepJournal journal(level.string());
    Bytes now = before;
    for (const Write& w : writes) {
        const std::int64_t inside =
            std::clamp<std::int64_t>(static_cast<std::int64_t>(before.size()) - w.offset, 0,
                                     std::min<std::int64_t>(static_cast<std::int64_t>(w.bytes.size()),
                                                            static_cast<std::int64_t>(now.size()) - w.offset));
        journal.Record(static_cast<std::int64_t>(before.size()), w.offset, now.data() + w.offset,
                       static_cast<std::size_t>(inside), w.bytes.data(), w.bytes.size());
        if (now.size() < w.offset + w.bytes.size()) now.resize(static_cast<std::size_t>(w.offset) + w.bytes.size());
        std::copy(w.bytes.begin(), w.bytes.end(), now.begin() + w.offset);
        stages.push_back({now, test::ReadBytes(JournalNameOf(level.string()))});
    }
    journal.Keep();
    fs::remove(JournalNameOf(level.string()));
    fs::remove(level);
    return stages;
}

TEST(Journal, AStepStoppedAnywhereIsPutBackExactly)
{
    const Bytes before = Level();
    const std::int64_t end = static_cast<std::int64_t>(before.size());
    struct Case {
        const char* name;
        std::vector<Write> writes;
    };
    const Case cases[] = {
        {"title, author, time", {{32, Bytes(32, 'T')}, {4, Bytes(8, 'A')}, {34, {0, 77}}}},
        {"the same bytes twice", {{40, {1, 2, 3}}, {41, {9, 9}}}},
        {"appended twice", {{end, Bytes(100, 7)}, {end + 100, Bytes(50, 8)}}},
        {"over the end", {{end - 4, Bytes(20, 5)}, {0, {'X'}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        const std::vector<Stage> stages = Stages(dir, before, c.writes);
        const fs::path level = dir.Path() / "s.level";
        const std::string journal = JournalNameOf(level.string());
        // Stopped after write k was made, with the journal cut anywhere from
        // the end of its record k to just before the end of record k + 1.
        for (std::size_t k = 0; k < stages.size(); ++k) {
            const std::size_t from = stages[k].journal.size();
            const std::size_t to = k + 1 < stages.size() ? stages[k + 1].journal.size() : from + 1;
            for (std::size_t cut = from; cut < to; ++cut) {
                Put(level, stages[k].level);
                const Bytes& whole = k + 1 < stages.size() ? stages[k + 1].journal : stages[k].journal;
                Put(journal, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)));
                const JournalRollBack back = RollBackJournal(level.string(), "shown", 0);
                ASSERT_TRUE(back.PutBack) << back.Message;
                EXPECT_EQ(back.Message, "The level shown was put back as it was before a change that was cut off (the "
                                        "program making it was stopped before the change was whole; the journal " +
                                            journal + " held what to put back).");
                ASSERT_EQ(test::ReadBytes(level), before) << "write " << k << ", journal cut at " << cut;
                EXPECT_FALSE(fs::exists(journal));
            }
        }
        // Stopped in the middle of write k (its first half made), its record whole.
        for (std::size_t k = 0; k < stages.size(); ++k) {
            Bytes half = k == 0 ? before : stages[k - 1].level;
            const Write& w = c.writes[k];
            const std::size_t made = (w.bytes.size() + 1) / 2;
            if (half.size() < w.offset + made) half.resize(static_cast<std::size_t>(w.offset) + made);
            std::copy(w.bytes.begin(), w.bytes.begin() + static_cast<std::ptrdiff_t>(made), half.begin() + w.offset);
            Put(level, half);
            Put(journal, stages[k].journal);
            const JournalRollBack back = RollBackJournal(level.string(), "shown", 0);
            EXPECT_TRUE(back.PutBack) << back.Message;
            ASSERT_EQ(test::ReadBytes(level), before) << "write " << k << " half made";
        }
        // Stopped before the first write was made, its record whole or not.
        for (std::size_t cut = 1; cut <= stages[0].journal.size(); ++cut) {
            Put(level, before);
            Put(journal, Bytes(stages[0].journal.begin(), stages[0].journal.begin() + static_cast<std::ptrdiff_t>(cut)));
            const JournalRollBack back = RollBackJournal(level.string(), "shown", 0);
            EXPECT_TRUE(back.PutBack);
            if (cut < 32) {  // inside the header: the journal is said to be cut, the level untouched
                EXPECT_EQ(back.Message, "The journal " + journal + " was cut short: the program writing it was "
                                        "stopped before it changed the level shown, so the level is as it was; the "
                                        "journal was removed.");
            }
            ASSERT_EQ(test::ReadBytes(level), before) << "journal cut at " << cut;
            EXPECT_FALSE(fs::exists(journal));
        }
    }
}

// A level that another program wrote after our step was cut off (the game's
// editor saves a level over itself) is not the level the journal was made
// for: its bytes are kept, the journal goes, and the user is told.
TEST(Journal, ALevelWrittenByAnotherProgramSinceIsLeftAsItIs)
{
    const Bytes before = Level();
    Bytes oneByte = before;  // the step's title write made, then one map byte changed by the other program
    std::fill(oneByte.begin() + 32, oneByte.begin() + 64, 'T');
    oneByte[oneByte.size() - 1] ^= 1;
    Bytes grown = before;  // written back whole, as it was, with a chunk more
    grown.insert(grown.end(), 40, 'G');
    const std::pair<const char*, Bytes> others[] = {
        {"another level saved over it", Level("Other")},
        {"a byte the step did not write", oneByte},
        {"longer than the step left it", grown},
        {"cut shorter", Bytes(before.begin(), before.begin() + 20)},
        {"empty", Bytes{}},
    };
    for (const auto& [name, other] : others) {
        SCOPED_TRACE(name);
        test::TempDir dir;
        const std::vector<Stage> stages = Stages(dir, before, {{32, Bytes(32, 'T')}, {4, Bytes(8, 'A')}});
        const fs::path level = dir.Path() / "s.level";
        const std::string journal = JournalNameOf(level.string());
        Put(journal, stages[0].journal);
        Put(level, other);
        const JournalRollBack back = RollBackJournal(level.string(), "shown", 0);
        EXPECT_TRUE(back.Found);
        EXPECT_FALSE(back.PutBack);
        EXPECT_EQ(back.Message, "The journal " + journal + " was left by a change to the level shown that was cut off, "
                                "but another program has written the level since (it holds neither what that change "
                                "began from nor a part of it), so the journal was not put back: the level is left as "
                                "the other program wrote it, and the journal was removed.");
        EXPECT_EQ(test::ReadBytes(level), other);
        EXPECT_FALSE(fs::exists(journal));
    }
}

TEST(Journal, AnEmptyOrMissingJournalPutsNothingBack)
{
    test::TempDir dir;
    const std::string level = dir.Write("a.level", Level("After"));
    EXPECT_FALSE(RollBackJournal(level, level, 0).Found);
    dir.Write("a.level.journal", Bytes{});  // emptied after its step was whole
    const JournalRollBack back = RollBackJournal(level, level, 0);
    EXPECT_FALSE(back.Found);
    EXPECT_EQ(back.Message, "");
    EXPECT_EQ(test::ReadBytes(level), Level("After"));
    EXPECT_FALSE(fs::exists(level + ".journal"));
    // A journal beside a level that is gone: the level's opening says it is gone, nothing more.
    dir.Write("gone.level.journal", "VNTJ");
    const JournalRollBack gone = RollBackJournal((dir.Path() / "gone.level").string(), "gone", 0);
    EXPECT_FALSE(gone.Found);
    EXPECT_EQ(gone.Message, "");
    EXPECT_TRUE(fs::exists(dir.Path() / "gone.level.journal"));
}

// The load and the window's next step put a level back from its journal and say so.
TEST(Journal, TheNextLoadOrStepPutsTheLevelBackAndSaysSo)
{
    for (const bool window : {false, true}) {
        SCOPED_TRACE(window ? "a step of a level open before" : "a load");
        test::TempDir dir;
        const std::string path = dir.Write("a.level", Level());
        test::ScriptedUi ui;
        OpenLevel lvl;
        LoadReport report;
        if (window) LoadAndTell(lvl, path, ui, report);
        {
            // Another program of ours, stopped after the title's write.
            StepJournal journal(path);
            const Bytes before = Level();
            const std::size_t at = before.size() - 8;  // the map's last cells
            const Bytes zs(100, 'Z');
            journal.Record(static_cast<std::int64_t>(before.size()), static_cast<std::int64_t>(at), before.data() + at, 8,
                           zs.data(), 8);
            // and an append the length takes off
            journal.Record(static_cast<std::int64_t>(before.size()), static_cast<std::int64_t>(before.size()), nullptr,
                           0, zs.data(), zs.size());
            Bytes half = before;
            std::fill(half.begin() + static_cast<std::ptrdiff_t>(at), half.end(), 'Z');
            half.insert(half.end(), 100, 'Z');
            Put(path, half);
            journal.Keep();
        }
        const std::string said = "The level " + path + " was put back as it was before a change that was cut off (the "
                                 "program making it was stopped before the change was whole; the journal " +
                                 path + ".journal held what to put back).";
        if (window) {
            ASSERT_TRUE(WriteTimeAndEmeralds(lvl, 99, 7));
            EXPECT_NE(std::find(lvl.Log().begin(), lvl.Log().end(), said), lvl.Log().end());
            const Bytes got = test::ReadBytes(path);
            ASSERT_EQ(got.size(), Level().size());
            EXPECT_TRUE(std::equal(got.end() - 8, got.end(), Level().end() - 8)) << "the other program's step is taken back";
            EXPECT_NE(got, Level()) << "and the time and emeralds are written after it";
        } else {
            LoadAndTell(lvl, path, ui, report);
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0], said);
            EXPECT_EQ(test::ReadBytes(path), Level());
            EXPECT_EQ(report.Title.substr(0, 7), "Journal");
        }
        EXPECT_FALSE(fs::exists(path + ".journal"));
    }
}

TEST(Journal, NamesFitAFileName)
{
    const std::string shortName = "/set/001.level";
    EXPECT_EQ(JournalNameOf(shortName), "/set/001.level.journal");
    const std::string fits(255 - 8, 'a');
    EXPECT_EQ(JournalNameOf("/set/" + fits), "/set/" + fits + ".journal");
    for (const std::size_t length : {248u, 255u}) {
        const std::string name = std::string(length - 6, 'b') + ".level";
        const std::string journal = fs::path(JournalNameOf("/set/" + name)).filename().string();
        EXPECT_LE(journal.size(), 255u);
        EXPECT_EQ(journal.rfind("." + std::string(200, 'b') + "-", 0), 0u) << journal;
        EXPECT_NE(JournalNameOf("/set/" + name), JournalNameOf("/set/x" + name.substr(1)));
    }
}

// Temporary files are named as ours and short; those of processes that are
// gone are removed when their folder is next written, others are kept.
TEST(TemporaryFiles, StaleOnesOfGoneProcessesAreRemoved)
{
    const std::pair<std::string, std::optional<std::uint64_t>> names[] = {
        {".vantrel-tmp-123-4", 123},  {".vantrel-tmp-123-", std::nullopt}, {".vantrel-tmp--4", std::nullopt},
        {".vantrel-tmp-12a-4", std::nullopt}, {".a.level.Xy3k9Q", std::nullopt}, {"vantrel-tmp-1-1", std::nullopt},
    };
    for (const auto& [name, process] : names) EXPECT_EQ(TemporaryNameProcess(name), process) << name;
    EXPECT_LE(TemporaryName(4294967295u, 99999).size(), 40u);

    test::TempDir dir;
    const std::string gone = TemporaryName(999999999, 1);  // no process has that number
    const std::string mine = TemporaryName(platform::ProcessId(), 1);
    for (const std::string& name : {gone, mine, std::string(".a.level.Xy3k9Q")}) dir.Write(name, "left");
    EXPECT_EQ(RemoveStaleTemporaryFiles(dir.Path().string(), true), std::vector<std::string>{gone});
    EXPECT_FALSE(fs::exists(dir.Path() / gone));
    EXPECT_TRUE(fs::exists(dir.Path() / mine));
    EXPECT_TRUE(fs::exists(dir.Path() / ".a.level.Xy3k9Q"));
}

// A level name too long for the temporary name of old still gets its backup.
TEST(TemporaryFiles, ALongLevelNameGetsItsBackup)
{
    for (const std::size_t length : {243u, 251u}) {
        test::TempDir dir;
        const std::string name = std::string(length - 6, 'n') + ".level";
        const std::string path = dir.Write(name, Level());
        test::ScriptedUi ui;
        OpenLevel lvl;
        LoadReport report;
        LoadAndTell(lvl, path, ui, report);
        EXPECT_TRUE(ui.errors.empty()) << ui.errors.front();
        EXPECT_EQ(test::ReadBytes(path + ".bak"), Level()) << length;
    }
}

}  // namespace
}  // namespace vantrel
