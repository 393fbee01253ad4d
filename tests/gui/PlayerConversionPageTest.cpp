// "Set 3 players" and "Set 4 players" on the Levelset Manager page, pressed
// as a user would: one summary at the end, the files changed, the open level
// closed, the painting option and the caption as they were, the list read again.
#include "GuiFixture.h"

#include "support/LevelBuilder.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

Bytes Level(std::vector<std::uint16_t> cells)
{
    return LevelBuilder::Standard({.width = 4, .height = 2}, cells).Data();
}

class PlayerConversionPageTest : public GuiTest {
protected:
    fs::path Set() const { return dir.Path() / "data" / "levels" / "Set"; }

    void Start()
    {
        dir.Write("data/levels/Set/levelinfo.conf", "name: Set\n");
        dir.Write("data/levels/Set/001.level", good);
        dir.Write("data/levels/Set/002.level", Level({80, 0, 0, 0, 0, 0, 0, 0}));
        settings.values["datadir"] = (dir.Path() / "data").string();
        Restart();
        ui = ScriptedUi();
        ASSERT_EQ(Files(), (Lines{"001.level", "002.level"}));
    }

    Lines Files() { return ListLines("Lvlman_FileList"); }

    const Bytes good = Level({80, 81, 0, 0, 0, 0, 0, 0});
};

TEST_F(PlayerConversionPageTest, Set4PlayersConvertsTheLevelsOnDiskAndSumsUp)
{
    Start();
    DirectLoad((Set() / "002.level").string());
    ASSERT_TRUE(main->Level().LevelOpen());
    dir.Write("data/levels/Set/003.level", good);  // not listed yet: the batch takes the folder as it is now
    Lines captions;
    QObject::connect(&main->Document(), &LevelDocumentQt::captionChanged,
                     [&](const QString& caption) { captions.push_back(caption.toStdString()); });
    auto* button = Find<QPushButton>("Lvlman_Make4");
    EXPECT_EQ(button->text().toStdString(), "Set 4 players");
    button->click();  // the script says Cancel
    EXPECT_EQ(ReadBytes(Set() / "003.level"), good);
    ui.answers = {true};
    button->click();
    EXPECT_EQ(ui.questions, Lines(2, "Make all 3 levels in " + Set().string() +
                                         " levels for 4 players? Each level file is changed in place."));

    EXPECT_EQ(ui.messages, Lines{"Set 4 players: 2 levels changed, 1 skipped.\n"
                                 "Changed:\n001.level: 3,1=82 (Player 3) 4,1=83 (Player 4)\n003.level: 3,1=82 (Player 3) 4,1=83 (Player 4)\n"
                                 "Skipped:\n002.level: player 1 or player 2 is not on the map"});
    Bytes converted = good;
    converted[196 + 2] = 82;
    converted[196 + 3] = 83;
    EXPECT_EQ(ReadBytes(Set() / "001.level"), converted);
    EXPECT_EQ(ReadBytes(Set() / "003.level"), converted);
    EXPECT_EQ(Files(), (Lines{"001.level", "002.level", "003.level"}));
    EXPECT_FALSE(main->Level().HasFile());
    EXPECT_TRUE(main->Level().Log().empty());
    EXPECT_TRUE(Find<QCheckBox>("Option_PaintLevel")->isChecked());
    ASSERT_GE(captions.size(), 2u);
    EXPECT_EQ(captions[0], "Vantrel") << "the open level is closed first";
    EXPECT_EQ(captions[1], "Vantrel - Set 4 players: 1 of 3, 001.level");
    EXPECT_EQ(captions.back(), "Vantrel");
    EXPECT_EQ(main->windowTitle().toStdString(), "Vantrel");
}

TEST_F(PlayerConversionPageTest, Set3PlayersTwiceAndAVanishedFile)
{
    Start();
    Find<QCheckBox>("Option_PaintLevel")->setChecked(false);
    fs::remove(Set() / "002.level");  // still listed on the page
    ui.answers = {true, true};
    Find<QPushButton>("Lvlman_Make3")->click();
    Find<QPushButton>("Lvlman_Make3")->click();
    EXPECT_EQ(ui.messages, (Lines{"Set 3 players: 1 level changed, 1 skipped.\nChanged:\n001.level: 3,1=82 (Player 3)\n"
                                  "Skipped:\n002.level: the file is no longer there",
                                  "Set 3 players: 0 levels changed, 1 skipped.\n"
                                  "Skipped:\n001.level: player 3 is already on the map"}));
    EXPECT_TRUE(ui.errors.empty());
    EXPECT_EQ(Files(), Lines{"001.level"});
    EXPECT_FALSE(Find<QCheckBox>("Option_PaintLevel")->isChecked());
}

}  // namespace
}  // namespace vantrel::test
