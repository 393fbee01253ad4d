// The "Levelset Manager" page through its widgets: the start-up scan with and
// without a data directory, listing a levelset, opening a level from the list,
// the context menu, Sort the levels, and a scan that fails.
#include "GuiFixture.h"

#include "level/LevelDocument.h"
#include "levelsets/LevelsetConfig.h"
#include "gui/levelsets/LevelsetPage.h"
#include "support/LevelBuilder.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

void Write(const fs::path& file, const std::string& bytes)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string LevelTitled(const std::string& title)
{
    const Bytes bytes = LevelBuilder::Standard({.width = 2, .height = 1, .title = title}, {1, 2}, "Me").Data();
    return std::string(bytes.begin(), bytes.end());
}

void MakeLevelset(const fs::path& dir, const std::string& name, const std::vector<std::string>& files)
{
    Write(dir / "levelinfo.conf", "name: " + name + "\n");
    for (const std::string& f : files) Write(dir / f, LevelTitled(name + " " + f));
}

std::vector<std::string> Numbered(int count)
{
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i) names.push_back(ZeroPadInt(i, 3) + ".level");
    return names;
}

void AddLines(QTreeWidgetItem* item, const std::string& indent, Lines& lines)
{
    lines.push_back(indent + item->text(0).toStdString());
    for (int i = 0; i < item->childCount(); ++i) AddLines(item->child(i), indent + "  ", lines);
}

class LevelsetPageTest : public GuiTest {
protected:
    fs::path Data() const { return dir.Path() / "data"; }
    fs::path Levels() const { return Data() / "levels"; }

    void MakeData()
    {
        Write(Levels() / "Classics" / "levelinfo.conf", "name: Classics\nlevel_group: true\n");
        MakeLevelset(Levels() / "Classics" / "A", "A", Numbered(10));
        MakeLevelset(Levels() / "Classics" / "B", "B", {"001.level", "005.level", "010.level", "intro.level",
                                                        "0002.LEVEL"});
        MakeLevelset(Levels() / "Tutorials", "Tutorials", Numbered(8));
    }

    void StartWithData()
    {
        MakeData();
        settings.values["datadir"] = Data().string();
        Restart();
        main->show();
        QCoreApplication::processEvents();
        ASSERT_TRUE(ui.messages.empty()) << ui.messages.front();
    }

    QTreeWidget* Tree() { return Find<QTreeWidget>("Lvlman_Levelsets"); }
    QListWidget* FileList() { return Find<QListWidget>("Lvlman_FileList"); }
    std::string Caption(const char* name) { return Find<QLabel>(name)->text().toStdString(); }

    Lines TreeLines()
    {
        Lines lines;
        for (int i = 0; i < Tree()->topLevelItemCount(); ++i) AddLines(Tree()->topLevelItem(i), "", lines);
        return lines;
    }
    Lines Files() { return ListLines("Lvlman_FileList"); }
    QTreeWidgetItem* Node(const char* label)
    {
        const auto found = Tree()->findItems(QString::fromLatin1(label), Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_EQ(found.size(), 1) << label;
        return found.value(0);
    }
    void ClickNode(QTreeWidgetItem* node)
    {
        Tree()->scrollToItem(node);
        QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Tree()->visualItemRect(node).center());
    }
    void PressEnter(QWidget* w)
    {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Return);
    }
    void Pop(const char* action) { Find<QAction>(action)->trigger(); }

    const Lines kTree = {"Classics (Group)", "  A (10 levels)", "  B (4 levels)", "Tutorials (8 levels)"};
};

TEST_F(LevelsetPageTest, FirstStartAsksForDataDirectoryAndScans)
{
    MakeData();
    settings.values.clear();
    ScriptedUi script;
    script.directories.push_back(Data().string());
    Restart(std::move(script));
    EXPECT_TRUE(ui.messages.empty()) << "the chooser's title says what it is for: no box before it";
    EXPECT_EQ(ui.fileDialogTitles, Lines{"Select directory for datadir"});
    EXPECT_EQ(settings.values["datadir"], Data().string());
    EXPECT_EQ(TreeLines(), kTree);
    EXPECT_EQ(Caption("Lvlman_Counter"), "22 levels in \n3 levelsets in \n1 levelgroup");
    EXPECT_FALSE(FileList()->isHidden());
    EXPECT_EQ(Files(), Numbered(8));
    EXPECT_EQ(Caption("Lvlman_CurrSet"), (Levels() / "Tutorials").string());
    EXPECT_EQ(main->Book()->currentIndex(), kLevelsetPage);
}

TEST_F(LevelsetPageTest, StartWithoutUsableDataDirectoryLeavesPageEmpty)
{
    struct Case {
        const char* what;
        bool datadirWithoutLevels;
        Lines messages;
    };
    const Case cases[] = {
        {"no datadir, chooser cancelled", false, {kFindSetupMessage, "setup.conf not found"}},
        {"datadir without levels", true, {kFindSetupMessage, "setup.conf not found"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings.values.clear();
        if (c.datadirWithoutLevels) {
            fs::create_directories(Data());
            settings.values["datadir"] = Data().string();
        }
        Restart();
        EXPECT_EQ(ui.messages, c.messages);
        EXPECT_EQ(ui.fileDialogTitles.back(), "Find setup.conf");
        EXPECT_EQ(Tree()->topLevelItemCount(), 0);
        EXPECT_FALSE(FileList()->isHidden()) << "shown, empty";
        EXPECT_EQ(Caption("Lvlman_Counter"), "");
        EXPECT_EQ(Caption("Lvlman_CurrSet"), "Current levelset");
    }
}

TEST_F(LevelsetPageTest, ClickOrEnterListsTheLevelsetOfTheNode)
{
    StartWithData();
    ClickNode(Node("B (4 levels)"));
    EXPECT_EQ(Files(), (Lines{"001.level", "005.level", "010.level", "intro.level"}));
    EXPECT_EQ(Caption("Lvlman_CurrSet"), "/Classics/B");
    EXPECT_EQ(main->Document().Doc().DirectoryLastListed(), (Levels() / "Classics" / "B").string());

    Tree()->setCurrentItem(Node("Tutorials (8 levels)"));
    PressEnter(Tree());
    EXPECT_EQ(Files(), Numbered(8));
    EXPECT_EQ(Caption("Lvlman_CurrSet"), "/Tutorials");

    Tree()->setCurrentItem(Node("Classics (Group)"));
    PressEnter(Tree());
    EXPECT_EQ(Files(), Lines{});
    EXPECT_EQ(Caption("Lvlman_CurrSet"), "/Classics");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LevelsetPageTest, DoubleClickOrEnterOpensTheLevel)
{
    StartWithData();
    ClickNode(Node("B (4 levels)"));
    QListWidget* list = FileList();
    const QRect r = list->visualItemRect(list->item(1));
    // A double click as the system delivers it: press, release, then the double click press.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(main->Level().LevelPath(), (Levels() / "Classics" / "B" / "005.level").string());
    EXPECT_EQ(Find<QLineEdit>("Edit_LevelName")->text(), "B 005.level");

    list->setCurrentRow(3);
    PressEnter(list);
    EXPECT_EQ(main->Level().LevelPath(), (Levels() / "Classics" / "B" / "intro.level").string());
    EXPECT_TRUE(main->Level().LevelOpen());
    EXPECT_TRUE(ui.fileDialogTitles.empty()) << "a direct load shows no dialog";
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
}

TEST_F(LevelsetPageTest, ContextMenuPlaceholdersAndDelete)
{
    StartWithData();
    const std::string totals = Caption("Lvlman_Counter");
    QTreeWidgetItem* tutorials = Node("Tutorials (8 levels)");
    Tree()->setCurrentItem(tutorials);
    Pop("Lvlman_LevelsetsPop_NewGrp");
    EXPECT_TRUE(tutorials->isExpanded());
    Pop("Lvlman_LevelsetsPop_NewSet");  // beside Tutorials
    Tree()->clearSelection();
    Pop("Lvlman_LevelsetsPop_NewGrp");  // nothing selected: a root node
    EXPECT_EQ(TreeLines(), (Lines{"Classics (Group)", "  A (10 levels)", "  B (4 levels)", "Tutorials (8 levels)",
                                  "  Test child", "Test create", "Test child"}));
    EXPECT_EQ(Caption("Lvlman_Counter"), totals);

    const Lines before = Files();
    ClickNode(Node("Test create"));
    EXPECT_EQ(Files(), before) << "a placeholder has no directory";

    for (const char* refused : {"Classics (Group)", "Tutorials (8 levels)"}) {
        Tree()->setCurrentItem(Node(refused));
        Pop("Lvlman_LevelsetsPop_Del");
    }
    EXPECT_EQ(ui.messages, (Lines{"This is a levelgroup, you must first delete the levelsets within this and then "
                                  "delete it",
                                  "Levelset is not empty, please delete the levels first"}));
    ui.answers = {false, true};
    Tree()->setCurrentItem(Node("Test create"));
    Pop("Lvlman_LevelsetsPop_Del");
    Pop("Lvlman_LevelsetsPop_Del");
    EXPECT_EQ(ui.questions, Lines(2, "Are you sure you want to delete levelset \"Test create\"?"));
    EXPECT_EQ(TreeLines(), (Lines{"Classics (Group)", "  A (10 levels)", "  B (4 levels)", "Tutorials (8 levels)",
                                  "  Test child", "Test child"}));
    EXPECT_TRUE(fs::exists(Levels() / "Tutorials" / "levelinfo.conf"));

    Find<QPushButton>("Lvlman_CheckLevels")->click();
    EXPECT_EQ(TreeLines(), kTree) << "a scan removes the placeholders";
}

TEST_F(LevelsetPageTest, DragInTheTreeMovesNothing)
{
    StartWithData();
    QTreeWidget* tree = Tree();
    const QModelIndex from = tree->indexFromItem(Node("Tutorials (8 levels)"));
    QMimeData* mime = tree->model()->mimeData({from});
    const QPoint onto = tree->visualItemRect(Node("Classics (Group)")).center();
    QDragEnterEvent enter(onto, Qt::MoveAction, mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(tree->viewport(), &enter);
    QDropEvent drop(QPointF(onto), Qt::MoveAction, mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(tree->viewport(), &drop);
    delete mime;
    EXPECT_EQ(TreeLines(), kTree);
}

TEST_F(LevelsetPageTest, SortRenumbersAndReadsTheListAgain)
{
    StartWithData();
    const fs::path b = Levels() / "Classics" / "B";
    Write(b / "intro.level.bak", "backup of intro");
    ClickNode(Node("B (4 levels)"));
    Tree()->setCurrentItem(Node("Tutorials (8 levels)"));  // highlighted, not listed: the listed folder is named
    Find<QPushButton>("Lvlman_Sort")->click();  // the script says Cancel
    EXPECT_EQ(ui.questions, Lines{"Renumber the 4 levels listed in " + b.string() +
                                  " as 000.level, 001.level, ... in the order shown? Files are renamed on disk."});
    EXPECT_TRUE(ui.messages.empty());
    ui.answers = {true};
    Find<QPushButton>("Lvlman_Sort")->click();  // its levelinfo.conf names no first level: the game starts at 0
    EXPECT_EQ(Files(), (Lines{"000.level", "001.level", "002.level", "003.level"}));
    EXPECT_EQ(ui.messages, Lines{"4 levels renamed, 0 skipped.\nRenamed:\n001.level -> 000.level\n"
                                 "005.level -> 001.level\n010.level -> 002.level\n"
                                 "intro.level -> 003.level (with its backup)"});
    EXPECT_TRUE(fs::exists(b / "003.level.bak"));
}

TEST_F(LevelsetPageTest, CancelledDataDirectorySearchCaptionsTheListedDirectory)
{
    StartWithData();
    ClickNode(Node("B (4 levels)"));
    const std::string totals = Caption("Lvlman_Counter");
    fs::rename(Levels(), Data() / "moved");
    Find<QPushButton>("Lvlman_CheckLevels")->click();
    EXPECT_EQ(ui.messages, (Lines{kFindSetupMessage, "setup.conf not found"}));
    EXPECT_EQ(Caption("Lvlman_CurrSet"), (Levels() / "Classics" / "B").string());
    EXPECT_EQ(TreeLines(), kTree);
    EXPECT_EQ(Caption("Lvlman_Counter"), totals);
}

TEST_F(LevelsetPageTest, AnUnreadableLevelinfoLeavesOnlyItsFolderOut)
{
    StartWithData();
    fs::remove(Levels() / "Tutorials" / "levelinfo.conf");
    ASSERT_EQ(::mkfifo((Levels() / "Tutorials" / "levelinfo.conf").c_str(), 0600), 0);
    Find<QPushButton>("Lvlman_CheckLevels")->click();
    EXPECT_EQ(ui.messages, Lines{"Cannot read " + (Levels() / "Tutorials" / "levelinfo.conf").string() +
                                 ": it is not a regular file; the folder is left out."});
    EXPECT_EQ(TreeLines(), (Lines{"Classics (Group)", "  A (10 levels)", "  B (4 levels)"}));
    EXPECT_EQ(Caption("Lvlman_Counter"), "14 levels in \n2 levelsets in \n1 levelgroup");
    EXPECT_FALSE(FileList()->isHidden());
}

}  // namespace
}  // namespace vantrel::test
