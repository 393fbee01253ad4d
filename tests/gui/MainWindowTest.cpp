// The main window driven through its real controls: start-up, menu, loading,
// header edits, Save and Close, and the error boundary.
#include "gui/ce/CeManagerPage.h"
#include "gui/GuiFixture.h"
#include "gui/level/FileInfoPage.h"
#include "support/LevelBuilder.h"
#include "gui/view/LevelViewPage.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QMimeData>
#include <QRegularExpression>
#include <QDropEvent>
#include <QMenu>
#include <QUrl>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

namespace vantrel::test {
namespace {

const char kLevel001[] = "levels/Tutorials/rnd_tutorial_niko_boehm/001.level";
const char kLevel042[] = "levels/Tutorials/rnd_tutorial_niko_boehm/042.level";
constexpr int kHeadPos001 = 32;  // HEAD chunk at 28, its size field at 32

QStringList LogLines(QPlainTextEdit* log)
{
    const QString text = log->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

std::string BytesAt(const std::string& path, std::size_t offset, std::size_t n)
{
    const auto bytes = ReadBytes(path);
    return std::string(bytes.begin() + static_cast<long>(offset), bytes.begin() + static_cast<long>(offset + n));
}

TEST_F(GuiTest, StartsOnTheLevelsetPageWithEverythingEmpty)
{
    EXPECT_EQ(main->windowTitle(), "Vantrel");
    EXPECT_EQ(main->Book()->currentIndex(), 2);
    const QStringList captions{"File Info",  "Files Archive", "Levelset Manager",
                               "Level View", "CE Manager",    "Calcing and Counting"};
    ASSERT_EQ(main->Book()->count(), captions.size());
    for (int i = 0; i < captions.size(); ++i) EXPECT_EQ(main->Book()->tabText(i), captions[i]);
    for (const char* name : {"Edit_LevelName", "Edit_Author", "Edit_MapSize", "FileVersion"})
        EXPECT_TRUE(Find<QLineEdit>(name)->text().isEmpty()) << name;
    EXPECT_EQ(Find<QSpinBox>("Edit_Time")->value(), 0);
    EXPECT_EQ(Find<QSpinBox>("Edit_Emeralds")->value(), 0);
    EXPECT_TRUE(Find<QPlainTextEdit>("Log")->toPlainText().isEmpty());
    EXPECT_FALSE(main->Level().LevelOpen());
    EXPECT_TRUE(Find<QCheckBox>("Option_PaintLevel")->isChecked());
    EXPECT_EQ(main->width(), 820);
    EXPECT_NE(main->minimumSize(), main->maximumSize()) << "the window can be resized and maximised";
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(GuiTest, ADroppedLevelLoadsAndTheLastEightLevelsAreOfferedInTheFileMenu)
{
    std::vector<std::string> paths;
    for (int i = 1; i <= 9; ++i)
        paths.push_back(dir.Write(std::to_string(i) + ".level", LevelBuilder::Standard({.width = 4, .height = 4}, std::vector<std::uint16_t>(16, 1)).Data()));
    main->show();
    for (const std::string& path : paths) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(main.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(main.get(), &drop);
        QCoreApplication::processEvents();  // the level opens once the drop has ended
        ASSERT_EQ(main->Level().LevelPath(), path) << (ui.messages.empty() ? "" : ui.messages.back());
        ASSERT_TRUE(main->Level().LevelOpen());
    }
    main->File_RecentShow();
    QStringList items;
    for (QAction* a : Find<QMenu>("File_Recent")->actions()) items << a->text();
    ASSERT_EQ(items.size(), 8);
    EXPECT_EQ(items.front(), "&1 " + QString::fromStdString(paths[8]));
    EXPECT_EQ(items.back(), "&8 " + QString::fromStdString(paths[1]));
    EXPECT_EQ(settings.values["recentfile1"], paths[8]) << "kept in the settings";
    Find<QAction>("File_Recent3")->trigger();
    EXPECT_EQ(main->Level().LevelPath(), paths[6]);
    EXPECT_EQ(settings.values["recentfile1"], paths[6]) << "opened again, it moves to the top";
    EXPECT_TRUE(ui.messages.empty());
}

// What the pages built when first needed show beside the same pages built at start.
QStringList Shown(MainWindow& w)
{
    QStringList out;
    for (QLineEdit* box : w.FileInfo()->findChildren<QLineEdit*>())
        out << box->objectName() + "=" + box->text() + (box->isReadOnly() ? " (read-only)" : "");
    for (QAbstractSpinBox* spin : w.FileInfo()->findChildren<QAbstractSpinBox*>()) out << spin->text();
    // The load's milliseconds differ from one window's load to the other's.
    static const QRegularExpression kMilliseconds(QStringLiteral("loaded in \\d+ milliseconds"));
    for (QPlainTextEdit* memo : w.FileInfo()->findChildren<QPlainTextEdit*>())
        out << memo->toPlainText().replace(kMilliseconds, QStringLiteral("loaded in N milliseconds"));
    auto* ces = w.CeManager()->findChild<QListWidget*>("CEMan_CEList");
    for (int i = 0; i < ces->count(); ++i) out << ces->item(i)->text();
    return out;
}

TEST_F(GuiTest, APageBuiltAfterLoadsShowsWhatItWouldHaveShownFromTheStart)
{
    const std::string rich = dir.Write("rich.level", LevelBuilder::Rnd1()
                                                         .Head({.width = 4, .height = 3, .title = "Rich"})
                                                         .Auth("Author")
                                                         .Cus4(361, "first", 1)
                                                         .Cus4(362, "second", 0)
                                                         .Body(PatternCells(4, 3, false), false)
                                                         .Data());
    const std::string missing = (dir.Path() / "missing.level").string();
    struct Case {
        const char* name;
        std::vector<std::string> loads;
        bool close;
        int ces;  // the CE list's lines
    };
    const Case cases[] = {
        {"a load", {rich}, false, 2},
        {"a load, then one that fails", {rich, missing}, false, 0},
        {"a load, then Save and Close", {rich}, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedUi earlyUi, lateUi;
        MemorySettings earlySettings, lateSettings;
        MainWindow early(earlyUi, earlySettings), late(lateUi, lateSettings);
        for (int page = 0; page < kPageCount; ++page) early.Page(page);
        for (int page : {kFileInfoPage, kLevelViewPage, kCeManagerPage})
            EXPECT_EQ(late.Book()->widget(page)->findChild<QLineEdit*>(), nullptr) << page << " was built at start";
        for (MainWindow* w : {&early, &late}) {
            w->Document().SetQuoteText("[quote]");
            for (const std::string& path : c.loads) {
                w->Document().Doc().SetOpenDialogName("%" + path);
                w->File_LoadLevelClick();
            }
            if (c.close) w->File_SaveLevelClick();
        }
        late.show();
        for (int page : {kFileInfoPage, kCeManagerPage, kLevelViewPage}) late.Book()->setCurrentIndex(page);
        early.show();  // the view fills the same room in both windows
        early.Book()->setCurrentIndex(kLevelViewPage);
        EXPECT_EQ(Shown(late), Shown(early));
        EXPECT_TRUE(late.LevelView()->Picture() == early.LevelView()->Picture()) << "the level view differs";
        EXPECT_EQ(late.LevelView()->Picture().isNull(), c.close) << "no map after Save and Close";
        EXPECT_EQ(late.CeManager()->findChild<QListWidget*>("CEMan_CEList")->count(), c.ces);
        EXPECT_EQ(late.findChild<QLineEdit*>("Edit_LevelName")->text(), c.close ? "" : "Rich");
    }
}

TEST_F(GuiTest, ControlsHoldTheirRanges)
{
    EXPECT_EQ(Find<QLineEdit>("Edit_LevelName")->maxLength(), 32);
    EXPECT_EQ(Find<QLineEdit>("Edit_Author")->maxLength(), 32);
    for (const char* name : {"Edit_Time", "Edit_Emeralds"}) {
        EXPECT_EQ(Find<QSpinBox>(name)->minimum(), 0);
        EXPECT_EQ(Find<QSpinBox>(name)->maximum(), 65535);
    }
    auto* quote = Find<QPlainTextEdit>("Info_QuotePost");
    EXPECT_EQ(quote->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(quote->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(quote->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(Find<QPlainTextEdit>("Log")->isReadOnly());
    EXPECT_EQ(Find<QPushButton>("Edit_SaveTimeAndCollect")->text(), "Save time left and emeralds to collect");
}

TEST_F(GuiTest, MenuItemsCarryTheirCaptionsAndKeys)
{
    struct Item {
        const char* name;
        const char* caption;
        const char* key;
        bool enabled;
    };
    const Item items[] = {
        {"File_LoadLevel", "&Load Level", "F2", true},
        {"File_SaveLevel", "&Save and Close Level", "F3", true},
        {"File_RestoreBackup", "&Restore from Backup...", "", true},
        {"File_Exit", "E&xit", "Esc", true},
        {"Edit_Undo", "&Undo", "Ctrl+Z", false},
        {"Edit_Redo", "&Redo", "Ctrl+Shift+Z", false},
        {"Tool_MainInfo", "&Main info", "F4", true},
        {"Tool_FilesArchive", "&Files Archive", "F5", true},
        {"Tool_LevelsetManager", "Level&set Manager", "F6", true},
        {"Tool_LevelView", "Level &View", "F7", true},
        {"Tool_CEManager", "&CE Manager", "F8", true},
        {"Tool_CounterCreator", "C&ounter Creator", "F9", true},
        {"Tool_ElementView", "Element View", "F10", true},
        {"Help_Help", "&Help", "F1", false},
        {"Help_About", "&About", "F11", true},
    };
    for (const Item& item : items) {
        auto* action = Find<QAction>(item.name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), item.caption) << item.name;
        EXPECT_EQ(action->shortcut().toString(), item.key) << item.name;
        EXPECT_EQ(action->isEnabled(), item.enabled) << item.name;
    }
    QStringList menus;
    for (QAction* a : main->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&Tool", "&Help"}));
}

TEST_F(GuiTest, EveryToolItemShowsThePageItNames)
{
    const std::pair<const char*, int> items[] = {
        {"Tool_MainInfo", 0},  {"Tool_FilesArchive", 1}, {"Tool_LevelsetManager", 2},
        {"Tool_LevelView", 3}, {"Tool_CEManager", 4},    {"Tool_CounterCreator", 5},
    };
    for (const auto& [name, page] : items) {
        main->Book()->setCurrentIndex(page == 0 ? 5 : 0);
        Find<QAction>(name)->trigger();
        EXPECT_EQ(main->Book()->currentIndex(), page) << name;
    }
}

TEST_F(GuiTest, ElementViewShowsThePaletteAndClosingOnlyHidesIt)
{
    QWidget palette(nullptr, Qt::Window);
    main->SetPaletteWindow(&palette);
    Find<QAction>("Tool_ElementView")->trigger();
    EXPECT_TRUE(palette.isVisible());
}

TEST_F(GuiTest, DirectLoadFillsEveryBoxAndTheLogWithoutADialog)
{
    if (CorpusMissing()) GTEST_SKIP() << "../shared/corpus is absent";
    const std::string path = CopyFromCorpus(kLevel001, dir);
    QStringList captions;
    QObject::connect(main.get(), &QWidget::windowTitleChanged, [&](const QString& t) { captions << t; });
    DirectLoad(path);

    EXPECT_TRUE(ui.fileDialogTitles.empty()) << "a direct load shows no dialog";
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(main->Level().LevelOpen());
    EXPECT_EQ(Find<QLineEdit>("Edit_LevelName")->text(), "Emeralds & diamonds");
    EXPECT_EQ(Find<QLineEdit>("Edit_Author")->text(), "Niko Boehm");
    EXPECT_EQ(Find<QLineEdit>("FileVersion")->text(), "0200000003000803");
    EXPECT_EQ(Find<QLineEdit>("Edit_MapSize")->text(), "15x15");
    EXPECT_EQ(Find<QSpinBox>("Edit_Time")->value(), 200);
    EXPECT_EQ(Find<QSpinBox>("Edit_Emeralds")->value(), 64);
    const QStringList log = LogLines(Find<QPlainTextEdit>("Log"));
    ASSERT_EQ(log.size(), 9);
    EXPECT_EQ(log[0], "Loading " + QString::fromStdString(path));
    EXPECT_EQ(log[5], "BODY at 188 seek to 646");
    EXPECT_TRUE(log[8].startsWith("1073 bytes loaded in ")) << log[8].toStdString();
    EXPECT_EQ(captions, QStringList({"Vantrel - Load complete", "Vantrel - Loading map elements",
                                     "Vantrel - Scroll change", "Vantrel", "Vantrel - 001.level"}));
    EXPECT_EQ(main->Document().Doc().OpenDialogName(), path);
    EXPECT_TRUE(std::filesystem::exists(path + ".bak"));
}

TEST_F(GuiTest, LoadFillsTheCeListUnchecked)
{
    if (CorpusMissing()) GTEST_SKIP() << "../shared/corpus is absent";
    DirectLoad(CopyFromCorpus(kLevel042, dir));
    auto* list = Find<QListWidget>("CEMan_CEList");
    ASSERT_EQ(list->count(), 38);
    EXPECT_EQ(list->item(0)->text(), "1: Walk over");
    for (int i = 0; i < list->count(); ++i) EXPECT_EQ(list->item(i)->checkState(), Qt::Unchecked);
}

TEST_F(GuiTest, LoadLevelAsksWithTheOpenDialogAndCancelChangesNothing)
{
    if (CorpusMissing()) GTEST_SKIP() << "../shared/corpus is absent";
    main->setWindowTitle("something else");
    main->File_LoadLevelClick();  // the script cancels
    EXPECT_EQ(ui.fileDialogTitles, std::vector<std::string>{"Open RnD Level File"});
    EXPECT_EQ(main->windowTitle(), "Vantrel");
    EXPECT_FALSE(main->Level().LevelOpen());

    const std::string path = CopyFromCorpus(kLevel001, dir);
    ui.files.push_back(path);
    Find<QAction>("File_LoadLevel")->trigger();
    EXPECT_TRUE(main->Level().LevelOpen());
    EXPECT_EQ(Find<QLineEdit>("Edit_MapSize")->text(), "15x15");
}

class TitleEdit : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        if (CorpusMissing()) GTEST_SKIP() << "../shared/corpus is absent";
        path = CopyFromCorpus(kLevel001, dir);
        DirectLoad(path);
        ASSERT_TRUE(main->Level().LevelOpen());
        ASSERT_EQ(main->Level().HeadPos(), kHeadPos001);
    }
    std::string path;
};

TEST_F(TitleEdit, EnterWritesAllThirtyTwoTitleBytes)
{
    struct Case {
        const char* box;
        const char* typed;
    };
    // Each box writes its own 32 bytes (the author into the AUTH data at 156) and nothing else.
    for (const Case& c : {Case{"Edit_LevelName", "Cave"}, Case{"Edit_LevelName", ""}, Case{"Edit_Author", "Cave"}}) {
        ui.messages.clear();
        const bool title = std::string(c.box) == "Edit_LevelName";
        const std::size_t at = title ? kHeadPos001 + 10 : 156, other = title ? 156 : kHeadPos001 + 10;
        const std::string otherBefore = BytesAt(path, other, 32);
        Find<QLineEdit>(c.box)->setText(QString::fromLatin1(c.typed));
        QTest::keyClick(Find<QLineEdit>(c.box), Qt::Key_Return);
        std::string expected(c.typed);
        expected.resize(32, '\0');
        EXPECT_EQ(BytesAt(path, at, 32), expected) << c.box << " '" << c.typed << "'";
        EXPECT_EQ(BytesAt(path, other, 32), otherBefore) << c.box;
        EXPECT_EQ(ui.messages.at(0), title ? "Level title updated!" : "Level author updated!");
    }
}

TEST_F(TitleEdit, TypingStopsAtThirtyTwoCharacters)
{
    auto* title = Find<QLineEdit>("Edit_LevelName");
    title->clear();
    QTest::keyClicks(title, QString(40, QLatin1Char('x')));
    EXPECT_EQ(title->text().size(), 32);
}

TEST_F(TitleEdit, TimeAndEmeraldsAreWrittenWithTheNoteAbove999)
{
    struct Case {
        int time;
        int emeralds;
        bool note;
        std::string bytes;
    };
    const Case cases[] = {
        {1000, 5, true, std::string("\x03\xE8\x00\x05", 4)},
        {999, 0, false, std::string("\x03\xE7\x00\x00", 4)},
        {0, 65535, true, std::string("\x00\x00\xFF\xFF", 4)},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        Find<QSpinBox>("Edit_Time")->setValue(c.time);
        Find<QSpinBox>("Edit_Emeralds")->setValue(c.emeralds);
        QTest::mouseClick(Find<QPushButton>("Edit_SaveTimeAndCollect"), Qt::LeftButton);
        EXPECT_EQ(BytesAt(path, kHeadPos001 + 6, 4), c.bytes) << c.time << "/" << c.emeralds;
        EXPECT_EQ(ui.messages.size(), c.note ? 2u : 1u);
        EXPECT_EQ(ui.messages.back(), "Time left and emeralds to collect updated!");
        if (c.note) {
            EXPECT_EQ(ui.messages[0].rfind("NOTE: When setting time left or emeralds to collect", 0), 0u);
        }
    }
}

TEST_F(TitleEdit, SaveAndCloseEmptiesTheWindowAndClosesTheFile)
{
    Find<QAction>("File_SaveLevel")->trigger();
    EXPECT_FALSE(main->Level().LevelOpen());
    EXPECT_FALSE(main->Level().HasFile());
    for (const char* name : {"Edit_LevelName", "Edit_Author", "Edit_MapSize", "FileVersion"})
        EXPECT_TRUE(Find<QLineEdit>(name)->text().isEmpty()) << name;
    EXPECT_EQ(Find<QSpinBox>("Edit_Time")->value(), 0);
    EXPECT_EQ(Find<QSpinBox>("Edit_Emeralds")->value(), 0);
    EXPECT_TRUE(Find<QPlainTextEdit>("Log")->toPlainText().isEmpty());
    EXPECT_EQ(Find<QListWidget>("CEMan_CEList")->count(), 0);
    EXPECT_TRUE(main->Document().Doc().OpenDialogName().empty());
    // A second run, and the edits after it: NoLevelOpenTest.cpp.
}

TEST_F(TitleEdit, ClosingTheWindowClosesTheLevelFile)
{
    main->close();
    EXPECT_FALSE(main->Level().HasFile());
    EXPECT_FALSE(main->Level().LevelOpen());
}

TEST_F(TitleEdit, LoadingAnotherLevelClosesTheFirst)
{
    const std::string other = CopyFromCorpus(kLevel042, dir);
    DirectLoad(other);
    EXPECT_TRUE(main->Level().LevelOpen());
    EXPECT_EQ(main->Level().File().Name(), other);
    EXPECT_EQ(Find<QLineEdit>("Edit_LevelName")->text(), "In memory of douglas adams");
}

TEST_F(GuiTest, ARejectedFileShowsTheTwoLineMessageAndLeavesNoLevelOpen)
{
    const std::string path = dir.Write("notes.level", std::string("just some text, not a level at all\n"));
    const auto before = ReadBytes(path);
    DirectLoad(path);
    EXPECT_EQ(ui.messages, std::vector<std::string>{
                               "Error: Can not open file\nNot a Rocks'n'Diamonds level, or unknown file version."});
    EXPECT_FALSE(main->Level().LevelOpen());
    EXPECT_FALSE(main->Level().HasFile());
    EXPECT_TRUE(Find<QLineEdit>("Edit_LevelName")->text().isEmpty());
    EXPECT_EQ(LogLines(Find<QPlainTextEdit>("Log")).size(), 1);
    EXPECT_EQ(ReadBytes(path), before);  // the commands after it: NoLevelOpenTest.cpp
}

TEST_F(GuiTest, TinyFilesAreRefusedToo)
{
    // Two guard lines and the timing line: three log lines, but still no level open.
    DirectLoad(dir.Write("tiny.level", std::string("RN")));
    EXPECT_EQ(LogLines(Find<QPlainTextEdit>("Log")).size(), 3);
    EXPECT_FALSE(main->Level().LevelOpen());
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(GuiTest, AnErrorIsShownAndTheProgramGoesOn)
{
    DirectLoad((dir.Path() / "missing.level").string());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "The level file " + (dir.Path() / "missing.level").string() +
                                  " does not exist (deleted, moved or never made), so nothing was read or written.");
    EXPECT_FALSE(main->Level().LevelOpen());

    // A level without a map ends with its own message, the log kept as far as it got.
    std::string bytes = "RND1";
    bytes += std::string("\0\0\0\0CAVEVERS\0\0\0\x08\x02\0\0\0\x03\0\x08\x03", 20);
    ui.messages.clear();
    DirectLoad(dir.Write("nomap.level", bytes));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find("no map (BODY chunk)"), std::string::npos) << ui.messages[0];
    EXPECT_FALSE(main->Level().LevelOpen());
    EXPECT_EQ(LogLines(Find<QPlainTextEdit>("Log")).size(), 3);
}

}  // namespace
}  // namespace vantrel::test
