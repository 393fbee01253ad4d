// The "Files Archive" page through its widgets: the index of the data
// directory built when the page is shown, a search that fills the list, a
// double click that loads, the folder shown in the Levelset Manager, the
// grid's thumbnails and the Levelset Manager's, the element picker, an
// added folder, and the index kept over a restart.
#include "GuiFixture.h"

#include "gui/archive/ArchiveModel.h"
#include "gui/archive/ArchivePage.h"
#include "gui/archive/ThumbnailSource.h"
#include "gui/level/FileInfoPage.h"
#include "gui/levelsets/LevelsetPage.h"
#include "support/LevelBuilder.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <filesystem>

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

class ArchivePageTest : public GuiTest {
protected:
    fs::path Set() const { return dir.Path() / "data" / "levels" / "set"; }

    void StartWithData()
    {
        fs::create_directories(Set());
        dir.Write("data/levels/set/levelinfo.conf", std::string("name: Tricks\n"));
        first = dir.Write("data/levels/set/001.level",
                          LevelBuilder::Standard({.width = 2, .height = 1, .title = "Conveyor Trick"}, {6, 1}, "Niko").Data());
        dir.Write("data/levels/set/002.level",
                  LevelBuilder::Standard({.width = 2, .height = 1, .title = "Rocks"}, {4, 4}, "Anna").Data());
        settings.values["datadir"] = (dir.Path() / "data").string();
        Restart();
        Show();
    }
    // Shows the page (which builds the index) and waits for its index.
    void Show()
    {
        page = qobject_cast<ArchivePage*>(main->Page(kArchivePage));
        ASSERT_NE(page, nullptr);
        page->SetCachePath((dir.Path() / "cache" / "archive.index").string());
        main->show();
        main->Book()->setCurrentIndex(kArchivePage);
        page->WaitForIndex();
        QCoreApplication::processEvents();  // laid out
    }
    std::vector<std::string> Titles()
    {
        std::vector<std::string> titles;
        auto* list = Find<QTableView>("Archive_List");
        for (int r = 0; r < list->model()->rowCount(); ++r)
            titles.push_back(list->model()->index(r, static_cast<int>(ArchiveColumn::Title)).data().toString().toStdString());
        return titles;
    }
    std::string Count() { return Find<QLabel>("Archive_Count")->text().toStdString(); }
    void Type(const char* box, const char* text)
    {
        auto* edit = Find<QLineEdit>(box);
        edit->clear();
        QTest::keyClicks(edit, QString::fromLatin1(text));
    }

    ArchivePage* page = nullptr;
    std::string first;
};

TEST_F(ArchivePageTest, KeepsItsTwoLabelsOnTop)
{
    StartWithData();
    EXPECT_EQ(Find<QLabel>("Archive_Notice")->text().toStdString(),
              "Vantrel will soon work together with an online archive of level files.");
    EXPECT_NE(Find<QLabel>("Archive_WebAddress")->text().indexOf(QStringLiteral("https://orvel.org/vantrel")), -1);
    EXPECT_LT(Find<QLabel>("Archive_WebAddress")->y(), Find<QLineEdit>("Archive_Search")->y());
}

TEST_F(ArchivePageTest, ASearchFillsTheList)
{
    StartWithData();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Conveyor Trick", "Rocks"}));
    EXPECT_EQ(Count(), "2 level files");
    struct Row {
        const char* search;
        const char* uses;
        std::vector<std::string> titles;
        std::string count;
    };
    const Row rows[] = {
        {"conveyor", "", {"Conveyor Trick"}, "1 of 2 level files"},
        {"anna", "", {"Rocks"}, "1 of 2 level files"},
        {"tricks", "", {"Conveyor Trick", "Rocks"}, "2 level files"},  // the levelset's name
        {"", "emerald", {"Conveyor Trick"}, "1 of 2 level files"},
        {"", "0x0004", {"Rocks"}, "1 of 2 level files"},
        {"", "6, 4", {}, "0 of 2 level files"},
        {"", "shiny thing", {"Conveyor Trick", "Rocks"},
         "2 level files - No element is named \"shiny thing\": give its code (360 or 0x0168), its token or its name."},
    };
    for (const Row& row : rows) {
        Type("Archive_Search", row.search);
        Type("Archive_Uses", row.uses);
        EXPECT_EQ(Titles(), row.titles) << row.search << row.uses;
        EXPECT_EQ(Count(), row.count) << row.search << row.uses;
    }
}

// The game's titles are Latin-1 and a folder's name is UTF-8: each is shown as
// itself, and what is typed into the search finds both.
TEST_F(ArchivePageTest, ShowsAndFindsLatin1TitlesAndUtf8FolderNames)
{
    fs::create_directories(dir.Path() / "data" / "levels" / "Stra\xc3\x9f" "e");
    dir.Write("data/levels/Stra\xc3\x9f" "e/001.level",
              LevelBuilder::Standard({.width = 2, .height = 1, .title = "Caf\xe9"}, {6, 1}).Data());
    const std::string empty = dir.Write("data/levels/Stra\xc3\x9f" "e/002.level", std::string());
    settings.values["datadir"] = (dir.Path() / "data").string();
    Restart();
    Show();
    auto* list = Find<QTableView>("Archive_List");
    const auto cell = [&](ArchiveColumn c) { return list->model()->index(0, static_cast<int>(c)).data().toString(); };
    EXPECT_EQ(cell(ArchiveColumn::Levelset), QString::fromUtf8("Stra\xc3\x9f" "e"));
    EXPECT_EQ(cell(ArchiveColumn::Title), QString::fromUtf8("Caf\xc3\xa9"));
    // The empty file, after the level: what is wrong with it names its path as it is.
    const QModelIndex why = list->model()->index(1, static_cast<int>(ArchiveColumn::Findings));
    EXPECT_EQ(why.data().toString(), QString::fromUtf8("The file " + empty + " is empty (0 bytes): there is no level in it."));
    EXPECT_TRUE(why.data(Qt::ToolTipRole).toString().endsWith(why.data().toString()));
    const std::pair<const char*, int> rows[] = {
        {"Caf\xc3\xa9", 1}, {"caf\xc3\xa9", 1}, {"Stra\xc3\x9f" "e", 2}, {"Strasse", 0}, {"Caf\xc3\xa8", 0}};
    for (const auto& [typed, found] : rows) {
        Find<QLineEdit>("Archive_Search")->setText(QString::fromUtf8(typed));  // as typed: keys beyond ASCII
        EXPECT_EQ(list->model()->rowCount(), found) << typed;
    }
}

TEST_F(ArchivePageTest, ADoubleClickLoadsTheLevel)
{
    StartWithData();
    auto* list = Find<QTableView>("Archive_List");
    const QRect cell = list->visualRect(list->model()->index(0, static_cast<int>(ArchiveColumn::Title)));
    ASSERT_TRUE(cell.isValid());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_TRUE(main->Level().LevelOpen());
    EXPECT_EQ(main->Level().LevelPath(), first);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ArchivePageTest, ADoubleClickAsksBeforeTypingNotYetWrittenIsDropped)
{
    StartWithData();
    DirectLoad((Set() / "002.level").string());
    main->FileInfo()->findChild<QLineEdit*>("Edit_LevelName")->setText("Typed");
    ui.choices = {UserInterface::Answer::Cancel};
    auto* list = Find<QTableView>("Archive_List");
    const QRect cell = list->visualRect(list->model()->index(0, static_cast<int>(ArchiveColumn::Title)));
    ASSERT_TRUE(cell.isValid());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(main->Level().LevelPath(), (Set() / "002.level").string()) << "Cancel keeps the level open";
}

TEST_F(ArchivePageTest, ShowsTheFolderInTheLevelsetManager)
{
    StartWithData();
    page->Archive_ShowFolderRow(1);
    EXPECT_EQ(main->Book()->currentIndex(), kLevelsetPage);
    EXPECT_EQ(ListLines("Lvlman_FileList"), (std::vector<std::string>{"001.level", "002.level"}));
    EXPECT_EQ(Find<QLabel>("Lvlman_CurrSet")->text().toStdString(), Set().string());
}

TEST_F(ArchivePageTest, DrawsThumbnailsOffTheWindowsThread)
{
    StartWithData();
    Find<QToolButton>("Archive_ShowGrid")->click();
    auto* grid = Find<QListView>("Archive_Grid");
    const QModelIndex item = grid->model()->index(0, static_cast<int>(ArchiveColumn::Title));
    EXPECT_EQ(item.data().toString().toStdString(), "001 Conveyor Trick");
    item.data(Qt::DecorationRole);  // asks for it
    page->Thumbnails().WaitForAll();
    const QPixmap thumbnail = item.data(Qt::DecorationRole).value<QPixmap>();
    EXPECT_EQ(thumbnail.size(), QSize(32, 16));  // 2 x 1 cells of 16 pixels

    // The Levelset Manager's file list shows the set the same way.
    auto* levelsets = main->Levelsets();
    page->Archive_ShowFolderRow(0);
    Find<QCheckBox>("Lvlman_Thumbnails")->setChecked(true);
    levelsets->Thumbnails().WaitForAll();
    auto* files = Find<QListWidget>("Lvlman_FileList");
    EXPECT_EQ(files->viewMode(), QListView::IconMode);
    ASSERT_EQ(files->count(), 2);
    EXPECT_EQ(files->item(1)->icon().availableSizes().value(0), QSize(32, 16));
}

TEST_F(ArchivePageTest, PicksTheElementFromTheElementView)
{
    StartWithData();
    Find<QPushButton>("Archive_PickElement")->click();
    main->Document().SelectElement(4);
    EXPECT_EQ(Find<QLineEdit>("Archive_Uses")->text().toStdString(), "0x0004");
    EXPECT_EQ(Titles(), std::vector<std::string>{"Rocks"});
    main->Document().SelectElement(6);  // picked once: the box stays
    EXPECT_EQ(Find<QLineEdit>("Archive_Uses")->text().toStdString(), "0x0004");
}

// Another data directory chosen while the window is open: the page shows its levels when shown next.
TEST_F(ArchivePageTest, FollowsTheDataDirectoryWhenShownAgain)
{
    StartWithData();
    fs::create_directories(dir.Path() / "data2" / "levels" / "other");
    dir.Write("data2/levels/other/001.level", LevelBuilder::Standard({.width = 1, .height = 1, .title = "Elsewhere"}, {2}).Data());
    settings.values["datadir"] = (dir.Path() / "data2").string();
    main->Book()->setCurrentIndex(0);
    main->Book()->setCurrentIndex(kArchivePage);
    page->WaitForIndex();
    EXPECT_EQ(Titles(), std::vector<std::string>{"Elsewhere"});
    EXPECT_EQ(Find<QLabel>("Archive_Folders")->text().toStdString(), (dir.Path() / "data2").string());
}

TEST_F(ArchivePageTest, AddsAFolderAndKeepsTheIndexOverARestart)
{
    StartWithData();
    fs::create_directories(dir.Path() / "mine");
    dir.Write("mine/x.level", LevelBuilder::Standard({.width = 1, .height = 1, .title = "Mine"}, {2}).Data());
    ui.directories.push_back((dir.Path() / "mine").string());
    page->Archive_AddFolderClick();
    page->WaitForIndex();
    EXPECT_EQ(settings.values["archivefolders"], (dir.Path() / "mine").string());
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Conveyor Trick", "Rocks", "Mine"}));

    Restart();
    Show();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Conveyor Trick", "Rocks", "Mine"}));
    EXPECT_TRUE(fs::exists(dir.Path() / "cache" / "archive.index"));
}

}  // namespace
}  // namespace vantrel::test
