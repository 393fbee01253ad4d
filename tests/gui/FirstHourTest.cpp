// What a new user meets in the window: edits into a file that is gone are
// refused, a level without a header shows empty boxes, a title Latin-1 cannot
// hold is refused, a level that may only be read can be looked at, and the
// palette goes when the main window goes.
#include "gui/GuiFixture.h"
#include "level/Loader.h"
#include "gui/palette/PaletteWindow.h"
#include "support/LevelBuilder.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <filesystem>

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

std::string Level(const TempDir& dir, const std::string& name, std::uint16_t time = 0)
{
    return dir.Write(name, LevelBuilder::Standard({.width = 3, .height = 2, .time = time, .title = "Old"},
                                                  PatternCells(3, 2, false), "Me")
                               .Data());
}

void PressEnterIn(QLineEdit* box, const QString& text)
{
    box->setText(text);
    QTest::keyClick(box, Qt::Key_Return);
}

TEST_F(GuiTest, AnEditIntoAFileReplacedSinceTheLoadIsRefusedNotReportedAsSaved)
{
    const std::string path = Level(dir, "a.level");
    DirectLoad(path);
    const std::string other = Level(dir, "b.level", 77);
    fs::rename(other, path);  // another file now has the level's name
    const auto replacement = ReadBytes(path);
    ui.messages.clear();
    PressEnterIn(Find<QLineEdit>("Edit_LevelName"), "New title");
    QTest::mouseClick(Find<QPushButton>("Edit_SaveTimeAndCollect"), Qt::LeftButton);
    const std::string refusal = FileChangedRefusal(path);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{refusal, refusal}));
    EXPECT_EQ(ui.errors, ui.messages) << "shown as errors";
    EXPECT_EQ(ReadBytes(path), replacement);
}

TEST_F(GuiTest, ALevelWithoutAHeaderShowsEmptyBoxesNotThePreviousLevels)
{
    DirectLoad(Level(dir, "a.level", 300));
    EXPECT_EQ(Find<QLineEdit>("Edit_MapSize")->text(), "3x2");
    DirectLoad(dir.Write("nohead.level", LevelBuilder::Rnd1().Auth("Nobody").Body({1, 2, 3}, false).Data()));
    ASSERT_TRUE(main->Level().LevelOpen());
    EXPECT_EQ(Find<QLineEdit>("Edit_MapSize")->text(), "");
    EXPECT_EQ(Find<QSpinBox>("Edit_Time")->text(), "");
    EXPECT_EQ(Find<QSpinBox>("Edit_Emeralds")->text(), "");
    EXPECT_EQ(Find<QLineEdit>("Edit_Author")->text(), "Nobody");
    EXPECT_TRUE(Find<QPlainTextEdit>("Log")->toPlainText().contains(QString::fromLatin1(kNoHeaderLogLine)));
}

TEST_F(GuiTest, ATitleWithACharacterLatin1CannotHoldIsRefused)
{
    const std::string path = Level(dir, "a.level");
    DirectLoad(path);
    const auto before = ReadBytes(path);
    ui.messages.clear();
    PressEnterIn(Find<QLineEdit>("Edit_LevelName"), QString::fromUtf8("Caf\xc3\xa9 5 \xe2\x82\xac and more"));
    EXPECT_EQ(ui.errors, std::vector<std::string>{"The title cannot hold the character \"\xe2\x82\xac\": a level "
                                                  "stores one byte (Latin-1) a character. Nothing was written."});
    EXPECT_EQ(ReadBytes(path), before);
    PressEnterIn(Find<QLineEdit>("Edit_LevelName"), QString::fromUtf8("Caf\xc3\xa9"));
    EXPECT_EQ(ui.messages.back(), "Level title updated!");
    EXPECT_EQ(ReadBytes(path)[42 + 3], 0xE9) << "Latin-1 characters are stored as their byte";
}

TEST_F(GuiTest, ThePaletteClosesWithTheMainWindowAndTheProgramEnds)
{
    PaletteWindow palette(main->Document());
    main->SetPaletteWindow(&palette);
    main->show();
    bool paletteShown = false, timedOut = false;
    // The event loop runs as in the program: closing the main window must end it, the palette open or not.
    QTimer::singleShot(0, main.get(), [&] {
        Find<QAction>("Tool_ElementView")->trigger();
        paletteShown = palette.isVisible();
        main->close();
    });
    QTimer safety;  // ends with the test, so it never fires into another one
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [&] {
        timedOut = true;
        QApplication::exit(1);
    });
    safety.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(timedOut) << "the program did not end";
    EXPECT_TRUE(paletteShown);
    EXPECT_FALSE(palette.isVisible());
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
}

TEST_F(GuiTest, EnterInThePalettesIdBoxRunsCheckIt)
{
    PaletteWindow palette(main->Document());
    auto* id = palette.findChild<QLineEdit*>("CheckElId");
    id->setText("0168");
    QTest::keyClick(id, Qt::Key_Return);
    EXPECT_EQ(palette.windowTitle(), "Element id 360 ($0168): Custom element 1");
    EXPECT_EQ(palette.PaletteCode(), 360);
}

}  // namespace
}  // namespace vantrel::test
