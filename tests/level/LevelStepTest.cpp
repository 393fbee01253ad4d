// A command's writes into the level, whole or not at all: a write that fails
// part way is taken back, another program's lock or change refuses the write.
#include "counter/Counter.h"
#include "level/HeaderEdit.h"
#include "level/Loader.h"
#include "base/Error.h"
#include "platform/Platform.h"
#include "support/LevelBuilder.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "tell/Tell.h"

#include <gtest/gtest.h>

#include <functional>

namespace vantrel {
namespace {

using test::Bytes;

// Bytes in memory whose writes fail once budget bytes are written (the
// bytes before that are written); taking back fails too when failBack.
class FailingFile : public MemoryFile {
public:
    FailingFile(test::Bytes bytes, std::size_t budget, bool failBack)
        : MemoryFile("a.level", std::move(bytes)), budget_(budget), failBack_(failBack) {}

protected:
    void WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t n) override
    {
        const std::size_t k = std::min(n, budget_);
        MemoryFile::WriteAt(offset, data, k);
        budget_ -= k;
        if (k == n) return;
        if (!failBack_) budget_ = SIZE_MAX;
        throw VantrelError("Cannot write to the file (No space left on device): a.level");
    }

private:
    std::size_t budget_;
    bool failBack_;
};

Bytes Level()
{
    return test::LevelBuilder::Standard({.width = 4, .height = 3, .title = "Whole"}, test::PatternCells(4, 3, false))
        .Data();
}

TEST(LevelStep, AWriteThatFailsPartWayIsTakenBackWhole)
{
    struct Command {
        const char* name;
        std::function<void(OpenLevel&, UserInterface&)> run;
        bool appends = false;  // taken back by cutting the file, which does not fail here
    };
    const Command commands[] = {
        {"counter", [](OpenLevel& l, UserInterface&) { l.Append(CounterChunks(PlanCounter(10, {1}, 1))); }, true},
        {"title", [](OpenLevel& l, UserInterface&) { WriteLevelTitle(l, "A new title"); }},
        {"time and emeralds", [](OpenLevel& l, UserInterface&) { WriteTimeAndEmeralds(l, 300, 12); }},
        {"map block", [](OpenLevel& l, UserInterface&) {
             for (int y = 1; y <= 3; ++y)
                 for (int x = 1; x <= 4; ++x) l.Grid().Set(x, y, 99);
             WriteGridRect(l, PackCell(1, 1), PackCell(4, 3));
         }},
    };
    for (const Command& c : commands) {
        for (const std::size_t budget : {0, 3}) {
            for (const bool failBack : {false, true}) {
                SCOPED_TRACE(std::string(c.name) + " after " + std::to_string(budget) + " bytes" +
                             (failBack ? ", taking back fails" : ""));
                OpenLevel lvl;
                test::ScriptedUi ui;
                LoadReport report;
                LoadLevelFrom(lvl, std::make_unique<FailingFile>(Level(), budget, failBack), report);
                const CellGrid grid = lvl.Grid();
                const bool cut = failBack && budget > 0 && !c.appends;  // what was written stays
                try {
                    c.run(lvl, ui);
                    ADD_FAILURE() << "no error";
                } catch (const VantrelError& e) {
                    const std::string text = e.what();
                    EXPECT_EQ(text.find("Nothing was changed: the level is as it was before this command.") !=
                                  std::string::npos,
                              !cut)
                        << text;
                    if (cut) {
                        EXPECT_NE(text.find("Putting the level back failed too"), std::string::npos) << text;
                    }
                }
                EXPECT_TRUE(lvl.Steps().empty());
                if (cut) continue;
                EXPECT_EQ(dynamic_cast<const MemoryFile&>(lvl.File()).Bytes(), Level());
                EXPECT_EQ(lvl.Grid(), grid);
            }
        }
    }
}

TEST(LevelStep, AWriteThatWouldPassTheSizeBoundIsRefusedBeforeAnyByte)
{
    Bytes big = Level();
    big.resize(kMaxLevelFileSize - 10);
    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadReport report;
    LoadLevelFrom(lvl, std::make_unique<MemoryFile>("a.level", big), report);
    ASSERT_TRUE(lvl.LevelOpen());
    try {
        lvl.Append(Bytes(20, 1));
        ADD_FAILURE() << "appended";
    } catch (const VantrelError& e) {
        EXPECT_EQ(std::string(e.what()), "This would make the level 1048586 bytes long, more than any level can be "
                                         "(at most 1048576 bytes), so nothing was written: a.level");
    }
    EXPECT_EQ(dynamic_cast<const MemoryFile&>(lvl.File()).Bytes(), big);
}

TEST(LevelStep, AnotherProgramsLockOrChangeRefusesTheWrite)
{
    test::TempDir dir;
    const std::string path = dir.Write("a.level", Level());
    OpenLevel lvl;
    lvl.SetLockWait(std::chrono::milliseconds(50));
    test::ScriptedUi ui;
    LoadReport report;
    LoadAndTell(lvl, path, ui, report);
    // Another of our programs holds the level (its own open file and lock).
    platform::File other;
    platform::OpenHow how;
    how.Write = true;
    ASSERT_TRUE(platform::Open(path, how, other).Ok());
    ASSERT_TRUE(platform::TryLock(other).Ok());
    const auto refused = [&](const std::string& why) {
        try {
            SetCell(lvl, PackCell(1, 1), 9);
            ADD_FAILURE() << "written";
        } catch (const VantrelError& e) {
            EXPECT_EQ(e.what(), why);
        }
    };
    refused("The level file " + path +
            " is being changed by another program, so nothing was written. Try again when it is done.");
    platform::Unlock(other);
    const std::uint8_t x = 'x';
    ASSERT_TRUE(platform::WriteAt(other, static_cast<std::int64_t>(Level().size()), &x, 1).Ok());
    refused("The level file " + path + " was changed by another program since it was loaded (it is " +
            std::to_string(Level().size() + 1) + " bytes long, not " + std::to_string(Level().size()) +
            "), so nothing was written. Load it again to change it.");
    platform::Close(other);
    EXPECT_EQ(lvl.Grid().At(1, 1), test::PatternCells(4, 3, false)[0]);
}

}  // namespace
}  // namespace vantrel
