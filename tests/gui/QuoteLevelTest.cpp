// "Make Level From Quote" on the File Info page: the button and the image
// address label, Save and Close before the level is made, the output
// directory from the setting or the chooser, and the fallback directory.
#include "gui/GuiFixture.h"
#include "quote/QuotePost.h"
#include "support/LevelBuilder.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

class QuoteLevelTest : public GuiTest {
protected:
    void Post(const std::string& text) { Find<QPlainTextEdit>("Info_QuotePost")->setPlainText(QString::fromLatin1(text)); }
    void Click() { Find<QPushButton>("Info_MakeQuoteLevel")->click(); }
    std::string OpenSmallLevel()
    {
        const std::string path =
            dir.Write("open.level", LevelBuilder::Standard({.width = 2, .height = 1, .wide = true}, {1, 2}).Data());
        DirectLoad(path);
        EXPECT_TRUE(main->Level().LevelOpen());
        return path;
    }
};

TEST_F(QuoteLevelTest, ButtonAndImageAddressStandBesideTheMemo)
{
    auto* button = Find<QPushButton>("Info_MakeQuoteLevel");
    EXPECT_EQ(button->text(), "Make Level From Quote (using IMG tags by forum Level Sketch)");
    auto* label = Find<QLabel>("Info_ImagePrefix");
    EXPECT_EQ(label->text(), QString("Level Sketch images are read from ") + kDefaultImagePrefix);
    EXPECT_EQ(button->parentWidget(), Find<QPlainTextEdit>("Info_QuotePost")->parentWidget());

    settings.values[kImagePrefixSetting] = "http://pictures.example/I/";
    Click();
    EXPECT_EQ(label->text(), "Level Sketch images are read from http://pictures.example/I/");
}

TEST_F(QuoteLevelTest, ClosesTheOpenLevelThenMakesTheLevelInTheOutputDirectory)
{
    const fs::path out = dir.Path() / "out";
    fs::create_directory(out);
    settings.values["outputdir"] = out.string();
    OpenSmallLevel();
    Post("[quote author=Alice link=topic=1 date=2]My Level\n`001`006\n`014`001\n\n");
    Click();
    EXPECT_FALSE(main->Level().LevelOpen());
    EXPECT_TRUE(Find<QPlainTextEdit>("Log")->toPlainText().isEmpty());
    const std::string made = (out / "001.level").string();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Level saved to:\n" + made});
    EXPECT_TRUE(ui.fileDialogTitles.empty());

    DirectLoad(made);
    EXPECT_EQ(Find<QLineEdit>("Edit_LevelName")->text(), "My Level");
    EXPECT_EQ(Find<QLineEdit>("Edit_Author")->text(), "Alice");
    EXPECT_EQ(Find<QLineEdit>("Edit_MapSize")->text(), "2x2");
    EXPECT_EQ(Find<QSpinBox>("Edit_Emeralds")->value(), 4);
}

TEST_F(QuoteLevelTest, EmptyMemoClosesTheLevelAndSaysNoLevelIsInIt)
{
    OpenSmallLevel();
    Post("");
    Click();
    EXPECT_FALSE(main->Level().LevelOpen());
    EXPECT_EQ(ui.messages, std::vector<std::string>{kNoSizeMessage});
    EXPECT_TRUE(ui.fileDialogTitles.empty()) << "no directory is asked for when there is no level";
}

TEST_F(QuoteLevelTest, OutputDirectoryIsChosenOnceOrFallsBackToTheDirectoryLastListed)
{
    const fs::path chosen = dir.Path() / "chosen", listed = dir.Path() / "listed";
    fs::create_directory(chosen);
    fs::create_directory(listed);
    Post("`001");

    ui.directories.push_back(chosen.string());
    Click();
    EXPECT_EQ(ui.fileDialogTitles, std::vector<std::string>{"Select directory for outputdir"});
    EXPECT_EQ(settings.values["outputdir"], chosen.string());
    EXPECT_TRUE(fs::exists(chosen / "001.level"));
    Click();
    EXPECT_TRUE(fs::exists(chosen / "002.level")) << "the stored directory is used without asking";
    EXPECT_EQ(ui.fileDialogTitles.size(), 1u);

    settings.values["outputdir"] = (dir.Path() / "gone").string();
    main->Document().SetListing(listed.string(), {});
    ui.messages.clear();
    Click();  // the chooser is cancelled
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Level saved to:\n" + (listed / "000.level").string()});

    main->Document().SetListing({}, {});
    ui.messages.clear();
    const auto before = fs::current_path();
    Click();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"No output directory is set, and no directory was listed on the "
                                                    "Levelset Manager page.\nNo level was written."});
    EXPECT_FALSE(fs::exists(before / "000.level"));
}

}  // namespace
}  // namespace vantrel::test
