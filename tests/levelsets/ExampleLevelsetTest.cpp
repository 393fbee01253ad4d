// The example levelset offered at a start without the game's data directory.
#include "levelsets/ExampleLevelset.h"

#include "base/Error.h"
#include "support/ScriptedUi.h"
#include "levelsets/LevelsetDirs.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace vantrel {
namespace {

namespace fs = std::filesystem;

TEST(ExampleLevelsetTest, OfferedOnlyWithoutGameAndTakenOnlyOnYes)
{
    struct Case {
        const char* what;
        bool gameThere;
        bool examplesThere;
        bool answer;
        bool copiedBefore;  // an earlier copy with a level the user changed
        bool asked;
        bool taken;
    };
    const Case cases[] = {
        {"game found", true, true, true, false, false, false},
        {"no examples installed", false, false, true, false, false, false},
        {"user says No", false, true, false, false, true, false},
        {"user says Yes", false, true, true, false, true, true},
        {"earlier copy kept", false, true, true, true, true, true},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const fs::path game = dir.Path() / "game", examples = dir.Path() / "examples", copy = dir.Path() / "copy";
        if (c.gameThere) fs::create_directories(game / "levels");
        if (c.examplesThere) {
            fs::create_directories(examples / "levels/set");
            std::ofstream(examples / "levels/set/001.level") << "RND1";
        }
        if (c.copiedBefore) {
            fs::create_directories(copy / "levels/set");
            std::ofstream(copy / "levels/set/001.level") << "changed";
        }
        test::MemorySettings settings;
        settings.values["datadir"] = c.gameThere ? game.string() : "";
        test::ScriptedUi ui;
        ui.answers = {c.answer};
        EXPECT_EQ(OfferExampleLevelset(settings, ui, examples.string(), copy.string()), c.taken) << c.what;
        EXPECT_EQ(ui.questions, c.asked ? std::vector<std::string>{ExamplesOfferText(copy.string())}
                                        : std::vector<std::string>{})
            << c.what;
        EXPECT_EQ(settings.values["datadir"], c.taken ? copy.string() : c.gameThere ? game.string() : "") << c.what;
        if (c.taken) {
            EXPECT_EQ(test::ReadFile(copy / "levels/set/001.level"), c.copiedBefore ? "changed" : "RND1") << c.what;
        }
    }
}

TEST(ExampleLevelsetTest, FailedCopyIsReportedAndLeavesTheSetting)
{
    test::TempDir dir;
    fs::create_directories(dir.Path() / "examples/levels");
    const std::string blocker = dir.Write("file", "not a folder");
    test::MemorySettings settings;
    test::ScriptedUi ui;
    ui.answers = {true};
    EXPECT_THROW(OfferExampleLevelset(settings, ui, (dir.Path() / "examples").string(), blocker + "/copy"),
                 VantrelError);
    EXPECT_EQ(settings.ReadSetting("datadir"), "");
}

}  // namespace
}  // namespace vantrel
