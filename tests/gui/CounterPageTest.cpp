// The "Calcing and Counting" page driven through its real widgets: the
// controls as the page starts, the create button's caption after each
// change, adding and deleting increments, and runs on a loaded level.
#include "counter/Counter.h"
#include "gui/GuiFixture.h"
#include "support/LevelBuilder.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace vantrel::test {
namespace {

QStringList Lines(QListWidget* list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
}

Bytes BaseLevel()
{
    return LevelBuilder::Standard({.width = 3, .height = 2, .title = "Counter"}, {1, 2, 3, 4, 5, 6}, "Me").Data();
}

class CounterPageTest : public GuiTest {
protected:
    QLabel* LabelOf(QWidget* control)
    {
        for (QLabel* label : main->findChildren<QLabel*>())
            if (label->buddy() == control) return label;
        return nullptr;
    }
    QString Caption() { return Find<QPushButton>("CC_DoCreate")->text(); }
    QListWidget* List() { return Find<QListWidget>("CC_ChangeInc"); }
    void SetList(const QList<int>& values)
    {
        while (List()->count() > 0) {  // every line deleted as the user does it
            List()->setCurrentRow(0);
            QTest::keyClick(List(), Qt::Key_Delete);
        }
        for (const int v : values) {
            Find<QSpinBox>("CC_CurrentChange")->setValue(v);
            QTest::mouseClick(Find<QPushButton>("CC_AddInc"), Qt::LeftButton);
        }
    }
    void Create() { QTest::mouseClick(Find<QPushButton>("CC_DoCreate"), Qt::LeftButton); }
};

TEST_F(CounterPageTest, ControlsAsThePageStarts)
{
    struct Spin {
        const char* name;
        int min, max, value;
        bool enabled;
        const char* label;
    };
    const Spin spins[] = {
        {"CC_DigitCount", 2, 125, 3, false, "Number of Digits:"},
        {"CC_DigitSteps", 2, 16, 10, true,
         "Number of steps for each digit (Normal = 10, Hexadecimal = 16, Binary = 2)"},
        {"CC_SpecialChange", 0, 0, 0, false, "Special change on count:"},
        {"CC_CurrentChange", -1000, 1000, 1, true, nullptr},
        {"CC_StartWriteAt", 1, 255, 1, true, "Start writing Counter CEs at CE:"},
    };
    for (const Spin& s : spins) {
        SCOPED_TRACE(s.name);
        auto* spin = Find<QSpinBox>(s.name);
        ASSERT_NE(spin, nullptr);
        EXPECT_EQ(spin->minimum(), s.min);
        EXPECT_EQ(spin->maximum(), s.max);
        EXPECT_EQ(spin->value(), s.value);
        EXPECT_EQ(spin->isEnabled(), s.enabled);
        QLabel* label = LabelOf(spin);
        if (!s.label) {
            EXPECT_EQ(label, nullptr);
            continue;
        }
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), s.label);
        EXPECT_EQ(label->isEnabled(), s.enabled);
    }
    EXPECT_EQ(Lines(List()), QStringList{"1"});
    ASSERT_NE(LabelOf(List()), nullptr);
    EXPECT_EQ(LabelOf(List())->text(), "Different changes (max 16)");
    EXPECT_EQ(Find<QPushButton>("CC_AddInc")->text(), "Add Increament");
    auto* mode = Find<QComboBox>("CC_CreateMode");
    ASSERT_EQ(mode->count(), 2);
    EXPECT_EQ(mode->itemText(0), "Kelbrin and Orvel (A couple of CEs and some space...)");
    EXPECT_EQ(mode->itemText(1), "Orvel (3+z CEs) (UNSUPPORTED)");
    EXPECT_EQ(mode->currentIndex(), 0);
    EXPECT_EQ(Caption(), "CREATE (2 CEs needed - or a few more)");
    EXPECT_EQ(Find<QPlainTextEdit>("Memo1")->toPlainText().split(QLatin1Char('\n')),
              (QStringList{"When creating a counter, remember this:", "",
                           "- Vantrel does create the counter CEs as needed,",
                           " but does NOT place anything on the map.", "",
                           "- There may be some extra elements created", " when counting backwards (change < 0)", "",
                           "- Vantrel might create more CEs (when needed) than ",
                           " what it says on the button caption below,",
                           " make sure you have at least 10 CE spots avalibe.", "",
                           "- If it was a bad result, don't worry,",
                           " a backup of your level has been created by Vantrel"}));
}

TEST_F(CounterPageTest, CaptionAfterEachChange)
{
    Find<QSpinBox>("CC_DigitSteps")->setValue(16);
    EXPECT_EQ(Caption(), "CREATE COUNTER (2 CEs needed)");
    Find<QComboBox>("CC_CreateMode")->setCurrentIndex(1);
    EXPECT_EQ(Caption(), "CREATE COUNTER (-1 CEs needed)");
    Find<QComboBox>("CC_CreateMode")->setCurrentIndex(0);
    EXPECT_EQ(Caption(), "CREATE COUNTER (2 CEs needed)");
    Find<QSpinBox>("CC_CurrentChange")->setValue(-7);
    EXPECT_EQ(Caption(), "CREATE COUNTER (2 CEs needed)");
    QTest::mouseClick(Find<QPushButton>("CC_AddInc"), Qt::LeftButton);
    EXPECT_EQ(Lines(List()), (QStringList{"1", "-7"}));
    EXPECT_EQ(Caption(), "CREATE COUNTER (3 CEs needed)");
}

TEST_F(CounterPageTest, AtMostSixteenLinesAndDeleteRemovesTheSelectedOne)
{
    auto* add = Find<QPushButton>("CC_AddInc");
    Find<QSpinBox>("CC_CurrentChange")->setValue(0);
    for (int i = 0; i < 15; ++i) QTest::mouseClick(add, Qt::LeftButton);
    ASSERT_EQ(List()->count(), 16);
    Find<QPushButton>("CC_DoCreate")->setText("stale");
    QTest::mouseClick(add, Qt::LeftButton);  // the 17th
    EXPECT_EQ(List()->count(), 16);
    EXPECT_EQ(Caption(), "CREATE COUNTER (17 CEs needed)");

    SetList({1, 5, -3});
    List()->clearSelection();
    List()->setCurrentRow(-1);
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_EQ(Lines(List()), (QStringList{"1", "5", "-3"})) << "no line selected: nothing deleted";
    List()->setCurrentRow(1);
    QTest::keyClick(List(), Qt::Key_A);
    EXPECT_EQ(List()->count(), 3);
    QTest::keyClick(List(), Qt::Key_Delete);
    EXPECT_EQ(Lines(List()), (QStringList{"1", "-3"}));
    EXPECT_EQ(Caption(), "CREATE COUNTER (3 CEs needed)");
}

TEST_F(CounterPageTest, CreateAppendsTheRunAndKeepsTheAddedLines)
{
    const std::string path = dir.Write("counter.level", BaseLevel());
    DirectLoad(path);
    ASSERT_TRUE(main->Level().LevelOpen());
    SetList({5});
    Find<QSpinBox>("CC_StartWriteAt")->setValue(7);
    Find<QComboBox>("CC_CreateMode")->setCurrentIndex(1);  // the run is the same in both modes
    ui.messages.clear();
    Create();
    EXPECT_EQ(ui.messages, std::vector<std::string>{CounterClosingMessage(3, 7)});
    EXPECT_EQ(Lines(List()), (QStringList{"5", "1"}));
    EXPECT_EQ(Caption(), "CREATE COUNTER (-1 CEs needed)");
    Find<QComboBox>("CC_CreateMode")->setCurrentIndex(0);
    EXPECT_EQ(Caption(), "CREATE COUNTER (3 CEs needed)");
    main->File_SaveLevelClick();
    Bytes expected = BaseLevel();
    const Bytes chunks = CounterChunks(PlanCounter(10, {5}, 7));
    expected.insert(expected.end(), chunks.begin(), chunks.end());
    EXPECT_EQ(ReadBytes(path), expected);
}

TEST_F(CounterPageTest, RefusedRunsSayWhy)
{
    const std::string path = dir.Write("counter.level", BaseLevel());
    DirectLoad(path);
    SetList({-3});
    Find<QSpinBox>("CC_StartWriteAt")->setValue(255);
    ui.messages.clear();
    Create();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"The counter needs 3 CEs, CE 255 to CE 257, but CE numbers end "
                                                    "at 256: start it at CE 254 or lower. Nothing was written."});
    EXPECT_EQ(Lines(List()), QStringList{"-3"});
    main->File_SaveLevelClick();
    EXPECT_EQ(ReadBytes(path), BaseLevel());
}

}  // namespace
}  // namespace vantrel::test
