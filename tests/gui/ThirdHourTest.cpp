// What a level designer meets on a third try: typing not yet written is
// never dropped unasked, an export does not replace an earlier one unasked,
// the CE Manager's controls only show, a file dropped on any control opens,
// Recent Levels works at once, Esc does not quit away the undo history, a
// sort that renames the open level takes the window along, and the players
// batch with nothing to do leaves the open level alone.
#include "gui/GuiFixture.h"

#include "ce/CeBytes.h"
#include "gui/ce/CeManagerPage.h"
#include "gui/level/FileInfoPage.h"
#include "gui/levelsets/LevelsetPage.h"
#include "support/LevelBuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include <filesystem>
#include <functional>

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;
using Answer = UserInterface::Answer;
using Lines = std::vector<std::string>;

// A 3 x 2 level titled "Old".
std::string Level(const TempDir& dir, const std::string& name)
{
    return dir.Write(name, LevelBuilder::Standard({.width = 3, .height = 2, .title = "Old"}, PatternCells(3, 2, false),
                                                  "Me")
                               .Data());
}

// The title as the file holds it (32 bytes from offset 42 of a standard level).
std::string FileTitle(const std::string& path)
{
    const auto bytes = ReadBytes(path);
    std::string title(bytes.begin() + 42, bytes.begin() + 74);
    return title.substr(0, title.find('\0'));
}

// A title typed and entered: one change the level's history holds.
void EnterTitle(MainWindow& window, const char* text)
{
    auto* title = window.FileInfo()->findChild<QLineEdit*>("Edit_LevelName");  // the page built if it was not
    title->setText(QString::fromLatin1(text));
    QTest::keyClick(title, Qt::Key_Return);
}

constexpr char kTitleQuestion[] =
    "The box \"Level Title\" holds a change not yet written into the level. Write it before the level is closed?";

// --- typing not yet written ---

struct Closing {
    const char* name;
    std::function<void()> run;  // closes or replaces the open level
};

class TypedTextTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        path = Level(dir, "a.level");
        other = Level(dir, "b.level");
        DirectLoad(path);
        ASSERT_TRUE(main->Level().LevelOpen());
        Find<QLineEdit>("Edit_LevelName")->setText("Typed");
        ui = ScriptedUi();
    }
    std::string path, other;
};

TEST_F(TypedTextTest, EveryCommandThatClosesTheLevelAsksWriteDropOrStay)
{
    const Closing commands[] = {
        {"Save and Close", [this] { main->File_SaveLevelClick(); }},
        {"Load Level", [this] { main->OpenLevelPath(other); }},
        {"Make Level From Quote",
         [this] { QTest::mouseClick(Find<QPushButton>("Info_MakeQuoteLevel"), Qt::LeftButton); }},
        {"Restore from Backup", [this] { main->File_RestoreBackupClick(); }},
    };
    for (const Closing& c : commands) {
        SCOPED_TRACE(c.name);
        Level(dir, "a.level");  // titled "Old" again
        DirectLoad(path);
        auto* title = Find<QLineEdit>("Edit_LevelName");
        title->setText("Typed");
        // Cancel: the level stays open with the typing in its box.
        ui = ScriptedUi();
        ui.choices = {Answer::Cancel};
        c.run();
        EXPECT_EQ(ui.questions, Lines{kTitleQuestion});
        EXPECT_EQ(main->Level().LevelPath(), path);
        EXPECT_TRUE(main->Level().LevelOpen());
        EXPECT_EQ(title->text(), "Typed");
        EXPECT_EQ(FileTitle(path), "Old");
        EXPECT_TRUE(ui.messages.empty());
        // Yes: written into the level before it goes.
        ui = ScriptedUi();
        ui.choices = {Answer::Yes};
        ui.answers = {false};  // Restore from Backup's own question: no
        c.run();
        EXPECT_EQ(FileTitle(path), "Typed");
        EXPECT_EQ(ui.messages.front(), "Level title updated!");
        // No: dropped, and the command goes on.
        main->File_SaveLevelClick();
        DirectLoad(path);
        Find<QLineEdit>("Edit_LevelName")->setText("Dropped");
        ui = ScriptedUi();
        ui.choices = {Answer::No};
        c.run();
        EXPECT_EQ(FileTitle(path), "Typed");
        EXPECT_EQ(ui.questions.front(), kTitleQuestion);
    }
}

TEST_F(TypedTextTest, QuittingAndTheLevelsetListAskTheSameQuestion)
{
    main->show();
    ui.choices = {Answer::Cancel};
    Find<QAction>("File_Exit")->trigger();
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(ui.questions, Lines{kTitleQuestion});

    // Opening another level from the levelset's list.
    main->Document().SetListing(dir.Path().string(), {"a.level", "b.level"});
    auto* list = Find<QListWidget>("Lvlman_FileList");
    list->setCurrentRow(1);
    ui = ScriptedUi();
    ui.choices = {Answer::Cancel};
    main->Levelsets()->Lvlman_FileListDblClick();
    EXPECT_EQ(main->Level().LevelPath(), path);
    EXPECT_EQ(ui.questions, Lines{kTitleQuestion});

    ui = ScriptedUi();
    ui.choices = {Answer::Yes};
    Find<QAction>("File_Exit")->trigger();
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(FileTitle(path), "Typed");
}

TEST_F(TypedTextTest, AWriteThatIsRefusedKeepsTheLevelOpen)
{
    Find<QLineEdit>("Edit_LevelName")->setText(QString::fromUtf8("Caf\xe2\x82\xac"));  // Latin-1 cannot hold it
    ui.choices = {Answer::Yes};
    main->File_SaveLevelClick();
    EXPECT_TRUE(main->Level().LevelOpen());
    EXPECT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(FileTitle(path), "Old");
}

// --- export ---

TEST_F(GuiTest, ExportAsksBeforeReplacingAnEarlierExport)
{
    const Bytes one = Cus4Chunk(Ce(1, "One", 1)), two = Cus4Chunk(Ce(2, "Two", 1));
    const std::string level = dir.Write("017.level", LevelWithChunks({one, two}));
    DirectLoad(level);
    auto* list = Find<QListWidget>("CEMan_CEList");
    for (int i : {0, 1}) list->item(i)->setCheckState(Qt::Checked);
    QTest::mouseClick(Find<QPushButton>("CEMan_ExportBtn"), Qt::LeftButton);
    ASSERT_EQ(ReadBytes(level + ".vce"), Concat({one, two}));
    list->item(0)->setCheckState(Qt::Unchecked);
    ui = ScriptedUi();  // says No
    QTest::mouseClick(Find<QPushButton>("CEMan_ExportBtn"), Qt::LeftButton);
    EXPECT_EQ(ui.questions, Lines{"The file " + level + ".vce exists already. Replace it with the 1 custom element "
                                  "ticked now?"});
    EXPECT_EQ(ReadBytes(level + ".vce"), Concat({one, two}));
    EXPECT_TRUE(ui.messages.empty());
    ui.answers = {true};
    QTest::mouseClick(Find<QPushButton>("CEMan_ExportBtn"), Qt::LeftButton);
    EXPECT_EQ(ReadBytes(level + ".vce"), two);
    EXPECT_EQ(ui.messages, Lines{"1 CE exported successfully to " + level + ".vce"});
}

// --- the CE Manager only shows ---

TEST_F(GuiTest, TheCeManagersControlsOnlyShowAndEveryLoadEmptiesItsViews)
{
    CeSpec first = Ce(1, "First", 1);
    first.explode = {Code(2), 0, 0, 0, 0, 0, 0, 0, 0};
    const std::string level = dir.Write("017.level", LevelWithChunks({Cus4Chunk(first), Cus4Chunk(Ce(2, "Second", 1))}));
    const auto bytes = ReadBytes(level);
    main->show();
    main->Book()->setCurrentIndex(kCeManagerPage);
    DirectLoad(level);
    auto* list = Find<QListWidget>("CEMan_CEList");
    list->setCurrentRow(0);
    main->CeManager()->CEMan_CEListClick();
    Find<QTabWidget>("CEMan__")->setCurrentIndex(1);
    QCoreApplication::processEvents();

    // The user tries to change what the views show.
    auto* canFall = Find<QCheckBox>("CEMan_Conf_CanFall");
    QTest::mouseClick(canFall, Qt::LeftButton, {}, QPoint(6, canFall->height() / 2));
    QTest::keyClick(canFall, Qt::Key_Space);
    auto* score = Find<QSpinBox>("CEMan_Conf_Score");
    score->setFocus();
    QTest::keyClicks(score, "55");
    QTest::keyClick(score, Qt::Key_Up);
    auto* name = Find<QLineEdit>("CEMan_Conf_Name");
    name->setFocus();
    QTest::keyClicks(name, "xyz");
    auto* speed = Find<QComboBox>("CEMan_Conf_MoveSpeed");
    QTest::mouseClick(speed, Qt::LeftButton);
    QWheelEvent wheel(QPointF(5, 5), speed->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(speed, &wheel);
    EXPECT_FALSE(canFall->isChecked());
    EXPECT_EQ(score->value(), 0);
    EXPECT_EQ(name->text(), "First");
    EXPECT_EQ(speed->currentIndex(), 2);
    for (QWidget* w : std::initializer_list<QWidget*>{canFall, score, name, speed})
        EXPECT_TRUE(w->toolTip().startsWith("Read-only")) << w->objectName().toStdString();
    EXPECT_EQ(canFall->palette().color(QPalette::Base), canFall->palette().color(QPalette::Window)) << "looks it";
    // Set from the program, a default does not stay for the next CE either.
    score->setValue(55);
    canFall->setChecked(true);
    list->setCurrentRow(1);
    main->CeManager()->CEMan_CEListClick();
    EXPECT_EQ(score->value(), 0);
    EXPECT_FALSE(canFall->isChecked());
    EXPECT_EQ(name->text(), "Second");
    EXPECT_EQ(ReadBytes(level), bytes);

    // A load of a level without CEs: no picture, no import line of the earlier level stays.
    list->setCurrentRow(0);
    main->CeManager()->CEMan_CEListClick();
    auto* picture = main->findChild<ElementCodesImage*>("CEMan_Conf_ExplodeContImg");
    ASSERT_NE(picture->Picture().pixel(8, 8), qRgb(255, 255, 255));
    Find<QListWidget>("CEMan_Info_ImportedCEList")->addItem("1:First-->3");
    DirectLoad(Level(dir, "plain.level"));
    QImage white(48, 48, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(picture->Picture(), white);
    EXPECT_EQ(Find<QListWidget>("CEMan_Info_ImportedCEList")->count(), 0);
    EXPECT_TRUE(Find<QLineEdit>("CEMan_Conf_Name")->text().isEmpty());
}

// --- dropping a file, Recent Levels, Esc ---

TEST_F(GuiTest, ALevelFileDroppedOnAnyControlOpens)
{
    main->show();
    main->Book()->setCurrentIndex(kFileInfoPage);
    QCoreApplication::processEvents();
    const std::string path = Level(dir, "dropped.level");
    auto* memo = Find<QPlainTextEdit>("Info_QuotePost");
    memo->setPlainText("a post");
    // Over the window's frame, over the forum post (which takes dropped text) and over the title box.
    QWidget* targets[] = {main.get(), memo->viewport(), Find<QLineEdit>("Edit_LevelName")};
    for (QWidget* target : targets) {
        SCOPED_TRACE(target->objectName().toStdString());
        main->File_SaveLevelClick();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        mime.setText(QString::fromStdString(path));
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        EXPECT_TRUE(move.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_TRUE(drop.isAccepted());
        EXPECT_EQ(drop.dropAction(), Qt::CopyAction) << "the dragging program keeps its file";
        QCoreApplication::processEvents();
        EXPECT_EQ(main->Level().LevelPath(), path);
        EXPECT_EQ(main->windowTitle(), "Vantrel - dropped.level");
        EXPECT_EQ(memo->toPlainText(), "a post");
        EXPECT_EQ(Find<QLineEdit>("Edit_LevelName")->text(), "Old");
    }
    // Text and several files are not taken for a level.
    QMimeData text;
    text.setText("just text");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(GuiTest, RecentLevelsOffersTheFirstLevelsAtOnce)
{
    auto* recent = Find<QMenu>("File_Recent");
    EXPECT_FALSE(recent->isEnabled()) << "nothing opened yet";
    const std::string a = Level(dir, "a.level"), b = Level(dir, "b.level");
    DirectLoad(a);
    EXPECT_TRUE(recent->isEnabled());
    DirectLoad(b);
    const QList<QAction*> items = recent->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("&1 %1").arg(QString::fromStdString(b)));
    items[1]->trigger();
    EXPECT_EQ(main->Level().LevelPath(), a);
}

TEST_F(GuiTest, EscQuitsAtOnceOnlyWhenNothingCouldBeUndone)
{
    main->show();
    Find<QAction>("File_Exit")->trigger();
    EXPECT_FALSE(main->isVisible()) << "no level, no history: no question";
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_EQ(Find<QAction>("File_Exit")->shortcut(), QKeySequence(Qt::Key_Escape));

    main->show();
    const std::string path = Level(dir, "a.level");
    DirectLoad(path);
    EnterTitle(*main, "New");  // one change to undo
    ui = ScriptedUi();  // Cancel
    Find<QAction>("File_Exit")->trigger();
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->Level().LevelOpen());
    EXPECT_EQ(ui.questions, Lines{"Quit Vantrel? Every change is in the level file already, but once the level is "
                                  "closed, Edit > Undo can no longer take the changes back."});
    ui.answers = {true};
    Find<QAction>("File_Exit")->trigger();
    EXPECT_FALSE(main->isVisible());
}

// --- the levelset page ---

class LevelsetTest : public GuiTest {
protected:
    fs::path Set() const { return dir.Path() / "data" / "levels" / "Set"; }
    void Start(const std::vector<std::string>& levels)
    {
        dir.Write("data/levels/Set/levelinfo.conf", "name: Set\nfirst_level: 1\n");
        for (const std::string& name : levels)
            dir.Write("data/levels/Set/" + name,
                      LevelBuilder::Standard({.width = 3, .height = 1, .title = name}, {80, 81, 0}).Data());
        settings.values["datadir"] = (dir.Path() / "data").string();
        Restart();
        ui = ScriptedUi();
    }
};

TEST_F(LevelsetTest, ASortThatRenamesTheOpenLevelTakesTheWindowAlong)
{
    Start({"001.level", "005.level"});
    DirectLoad((Set() / "005.level").string());
    ui.answers = {true};
    QTest::mouseClick(Find<QPushButton>("Lvlman_Sort"), Qt::LeftButton);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_NE(ui.questions[0].find("\n\nThe open level 005.level becomes 002.level: it is closed for the sort and "
                                   "opened again under its new name (Edit > Undo starts afresh)."),
              std::string::npos)
        << ui.questions[0];
    EXPECT_EQ(main->Level().LevelPath(), (Set() / "002.level").string());
    EXPECT_EQ(main->windowTitle(), "Vantrel - 002.level");
    EXPECT_EQ(Find<QLineEdit>("Edit_LevelName")->text(), "005.level") << "the same level, under its new name";
    QTest::keyClick(Find<QLineEdit>("Edit_LevelName"), Qt::Key_Return);
    EXPECT_EQ(ui.messages.back(), "Level title updated!") << "edits go on into the renamed file";
    EXPECT_EQ(FileTitle((Set() / "002.level").string()), "005.level");
}

TEST_F(LevelsetTest, SetPlayersOnAFolderWithoutLevelsLeavesTheOpenLevelAlone)
{
    Start({});
    const std::string path = Level(dir, "a.level");
    DirectLoad(path);
    EnterTitle(*main, "New");
    ASSERT_TRUE(Find<QAction>("Edit_Undo")->isEnabled());
    ui = ScriptedUi();
    QTest::mouseClick(Find<QPushButton>("Lvlman_Make3"), Qt::LeftButton);
    EXPECT_TRUE(main->Level().LevelOpen());
    EXPECT_TRUE(Find<QAction>("Edit_Undo")->isEnabled()) << "the history stays";
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_EQ(ui.messages, Lines{"The folder " + Set().string() +
                                 " holds no level files: there is no level to set players on. Nothing was changed."});
}

TEST_F(GuiTest, SortAndSetPlayersWithNoLevelsetChosenSaySo)
{
    const struct {
        const char* button;
        const char* message;
    } cases[] = {
        {"Lvlman_Sort", "No levelset is chosen: click a levelset in the tree, then sort its levels."},
        {"Lvlman_Make3", "No levelset is chosen: click a levelset in the tree, then set the players of its levels."},
        {"Lvlman_Make4", "No levelset is chosen: click a levelset in the tree, then set the players of its levels."},
    };
    const std::string path = Level(dir, "a.level");
    DirectLoad(path);
    for (const auto& c : cases) {
        ui = ScriptedUi();
        QTest::mouseClick(Find<QPushButton>(c.button), Qt::LeftButton);
        EXPECT_EQ(ui.messages, Lines{c.message});
        EXPECT_TRUE(main->Level().LevelOpen());
    }
}

}  // namespace
}  // namespace vantrel::test
