// What a level designer meets on a second try: the settings dialog, the
// level's name in the caption, selections and views that forget the previous
// level, questions before typed text is lost or CE numbers are taken twice.
#include "gui/GuiFixture.h"

#include "app/SettingsDialog.h"
#include "gui/ce/CeManagerPage.h"
#include "gui/level/FileInfoPage.h"
#include "gui/levelsets/LevelsetPage.h"
#include "gui/view/LevelViewPage.h"
#include "levelsets/LevelsetDirs.h"
#include "support/LevelBuilder.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <fstream>
#include <QTreeWidget>

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

// A 5 x 5 level of a pattern of cells, or of one code in every cell, with CEs 1..ces.
std::string Level(const TempDir& dir, const std::string& name, int fill = -1, int ces = 0)
{
    LevelBuilder b = LevelBuilder::Standard({.width = 5, .height = 5, .title = "T"},
                                            fill < 0 ? PatternCells(5, 5, false) : std::vector<std::uint16_t>(25, fill));
    for (int ce = 1; ce <= ces; ++ce) b.Cus4(static_cast<std::uint16_t>(359 + ce), "ce", 1);
    return dir.Write(name, b.Data());
}

TEST_F(GuiTest, TheSettingsDialogTakesTheLevelsFolderAsTheDataDirectoryAndScansAgain)
{
    const fs::path game = dir.Path() / "game", out = dir.Path() / "made" / "out";
    MakeLevelset(game / "levels" / "Set", "Set", 2);
    Find<QAction>("File_Settings")->trigger();
    auto* dialog = main->findChild<SettingsDialog*>();
    auto ok = [&] { dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click(); };
    dialog->findChild<QLineEdit*>("Settings_DataDir")->setText(QString::fromStdString(dir.Path().string()));
    ok();  // no levels folder there: refused, the dialog stays
    EXPECT_EQ(ui.errors, std::vector<std::string>{"The folder " + dir.Path().string() + " holds no \"levels\" folder: "
                                                  "choose the game's data directory, the folder that holds \"levels\"."});
    ui.directories.push_back((game / "levels").string());
    QTest::mouseClick(dialog->findChild<QPushButton*>("Settings_DataDirBrowse"), Qt::LeftButton);
    std::ofstream(dir.Path() / "file") << "a file where the output folder would go";
    const std::string blocked = (dir.Path() / "file" / "out").string();
    dialog->findChild<QLineEdit*>("Settings_OutputDir")->setText(QString::fromStdString(blocked));
    ui.answers.push_back(true);
    ok();  // the folder cannot be made: said, nothing stored, the dialog stays
    ASSERT_EQ(ui.errors.size(), 2u);
    EXPECT_EQ(ui.errors[1].rfind("Cannot create the folder " + blocked + ": ", 0), 0u) << ui.errors[1];
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(settings.values.count("outputdir"), 0u);
    dialog->findChild<QLineEdit*>("Settings_OutputDir")->setText(QString::fromStdString(out.string()));
    ui.answers.push_back(true);
    ok();
    EXPECT_EQ(settings.values["datadir"], game.string());
    EXPECT_TRUE(fs::is_directory(out));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Find<QTreeWidget>("Lvlman_Levelsets")->topLevelItemCount(), 1) << "scanned again";
}

TEST_F(GuiTest, ASelectionOrAMapDoesNotOutliveItsLevelAndTheCaptionNamesTheLevel)
{
    for (const char* action : {"ImgPop_Delete", "ImgPop_Paste", "ImgPop_Cut"}) {
        DirectLoad(Level(dir, "a.level", 2));
        auto* img = Find<QWidget>("LView_Img");
        QTest::mousePress(img, Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mouseRelease(img, Qt::LeftButton, {}, QPoint(52, 52));
        Find<QAction>("ImgPop_Copy")->trigger();
        const std::string b = Level(dir, "b.level");
        const auto before = ReadBytes(b);
        DirectLoad(b);
        EXPECT_EQ(main->windowTitle(), "Vantrel - b.level");
        Find<QAction>(action)->trigger();
        EXPECT_EQ(ReadBytes(b), before) << action;
        Find<QAction>("File_SaveLevel")->trigger();
        EXPECT_TRUE(main->LevelView()->Picture().isNull()) << "no map after Save and Close";
        EXPECT_EQ(main->windowTitle(), "Vantrel");
    }
}

TEST_F(GuiTest, TheCounterProposesFreeCeNumbersAndAsksBeforeTakingOnesInUse)
{
    const std::string path = Level(dir, "ces.level", -1, 5);
    DirectLoad(path);
    auto* start = Find<QSpinBox>("CC_StartWriteAt");
    EXPECT_EQ(start->value(), 6) << "the first free run of two";
    for (const int at : {1, 6, 7}) {
        start->setValue(at);
        QTest::mouseClick(Find<QPushButton>("CC_DoCreate"), Qt::LeftButton);  // the script says No
    }
    ASSERT_EQ(ui.questions.size(), 2u) << testing::PrintToString(ui.questions);
    EXPECT_EQ(ui.questions[0], "Custom Element Ids 1 and 2 are occupied in this level; the counter would add a "
                               "second custom element under each. Use anyways?");
    EXPECT_EQ(ui.questions[1].rfind("Custom Element Id 7 is occupied", 0), 0u);
    DirectLoad(path);
    EXPECT_EQ(Find<QListWidget>("CEMan_CEList")->count(), 7) << "only the run from 6 was written";
}

TEST_F(GuiTest, QuittingAsksWhileABoxHoldsAChangeNotYetWritten)
{
    DirectLoad(Level(dir, "a.level"));
    main->show();
    Find<QLineEdit>("Edit_LevelName")->setText("Typed, not entered");
    Find<QSpinBox>("Edit_Time")->setValue(77);
    ui.choices = {UserInterface::Answer::Cancel};
    Find<QAction>("File_Exit")->trigger();
    EXPECT_EQ(ui.questions, std::vector<std::string>{"The boxes \"Level Title\", \"Time left\" hold changes not "
                                                     "yet written into the level. Write them before the level is "
                                                     "closed?"});
    EXPECT_TRUE(main->isVisible());
    QTest::mouseClick(Find<QPushButton>("Edit_SaveTimeAndCollect"), Qt::LeftButton);
    QTest::keyClick(Find<QLineEdit>("Edit_LevelName"), Qt::Key_Return);
    ui.questions.clear();
    ui.answers = {true};
    Find<QAction>("File_Exit")->trigger();  // everything written: only whether to quit with changes to undo
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions.back().rfind("Quit Vantrel?", 0), 0u);
    EXPECT_FALSE(main->isVisible());
}

TEST_F(GuiTest, AnotherLevelsetIsListedFromItsTop)
{
    for (const char* set : {"Long", "Other"}) MakeLevelset(dir.Path() / "game" / "levels" / set, set, 90);
    settings.values["datadir"] = (dir.Path() / "game").string();
    main->Levelsets()->Scan();
    main->show();
    auto* tree = Find<QTreeWidget>("Lvlman_Levelsets");
    QScrollBar* bar = Find<QListWidget>("Lvlman_FileList")->verticalScrollBar();
    for (int node : {0, 1}) {
        tree->setCurrentItem(tree->topLevelItem(node));
        main->Levelsets()->Lvlman_LevelsetsDblClick();
        QCoreApplication::processEvents();
        EXPECT_EQ(bar->value(), 0);
        bar->setValue(bar->maximum());
    }
}

TEST_F(GuiTest, TabLeavesTheForumPostAndEveryControlShowsItsFocus)
{
    DirectLoad(Level(dir, "a.level"));
    main->show();
    main->Book()->setCurrentIndex(kFileInfoPage);
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    auto* post = Find<QPlainTextEdit>("Info_QuotePost");
    post->setFocus();
    QTest::keyClick(post, Qt::Key_Tab);
    EXPECT_FALSE(post->hasFocus() || post->toPlainText().contains(QLatin1Char('\t')));
    for (QWidget* w : main->FileInfo()->findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible()) continue;
        if (QWidget* focused = QApplication::focusWidget()) focused->clearFocus();
        const QImage unfocused = w->grab().toImage();
        w->setFocus(Qt::TabFocusReason);
        EXPECT_NE(w->grab().toImage(), unfocused) << w->objectName().toStdString() << " shows no focus";
    }
}

TEST(FitListScrollWidthTest, TheWidestLineFitsWithItsCheckBox)
{
    struct Probe : QListWidget {  // tells how wide its own delegate draws a line
        using QListWidget::initViewItemOption;
    };
    for (const bool checkable : {true, false}) {
        Probe list;
        auto* item = new QListWidgetItem(QStringLiteral("212: A custom element with a long name WWW"), &list);
        if (checkable) item->setCheckState(Qt::Unchecked);
        QStyleOptionViewItem option;
        list.initViewItemOption(&option);
        const int needed = list.itemDelegate()->sizeHint(option, list.model()->index(0, 0)).width();
        EXPECT_GE(FitListScrollWidth(&list), needed) << checkable;
    }
}

}  // namespace
}  // namespace vantrel::test
