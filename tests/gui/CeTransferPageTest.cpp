// Export and import on the "CE Manager" page, driven through its real
// widgets with a scripted user: the checked lines into LEVEL.vce, a .vce file
// into the import list, Set Pos, Inc/Dec All, Finish Import, and Save and
// Close emptying the import list.
#include "ce/CeBytes.h"
#include "gui/ce/CeManagerPage.h"
#include "ce/CeTransfer.h"
#include "gui/GuiFixture.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

namespace vantrel::test {
namespace {

QStringList Lines(QListWidget* list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
}

class CeTransferPageTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        CeSpec linked = Ce(4, "Linked to five", 1);
        linked.pages[0].changeTo = Code(5);
        chunks = {Cus4Chunk(Ce(1, "One", 1)), Cus4Chunk(linked), Cus4Chunk(Ce(5, "A rather long name of five", 2))};
        source = dir.Write("017.level", LevelWithChunks(chunks));
        target = dir.Write("018.level", LevelWithChunks({Cus4Chunk(Ce(1, "In target", 1))}));
        main->show();
        main->Book()->setCurrentIndex(kCeManagerPage);
        QCoreApplication::processEvents();
    }
    void Click(const char* name) { QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton); }
    void ClickImportLine(int row)
    {
        auto* list = Find<QListWidget>("CEMan_Info_ImportedCEList");
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
        ASSERT_EQ(list->currentRow(), row);
    }
    QListWidget* Imported() { return Find<QListWidget>("CEMan_Info_ImportedCEList"); }

    std::vector<Bytes> chunks;
    std::string source, target;
};

TEST_F(CeTransferPageTest, ExportWritesTheCheckedLinesAndImportRenumbersThemIntoAnotherLevel)
{
    DirectLoad(source);
    auto* ceList = Find<QListWidget>("CEMan_CEList");
    ASSERT_EQ(ceList->count(), 3);
    ceList->item(1)->setCheckState(Qt::Checked);
    ceList->item(2)->setCheckState(Qt::Checked);
    Click("CEMan_ExportBtn");
    const std::string vce = source + ".vce";
    EXPECT_EQ(ReadBytes(vce), Concat({chunks[1], chunks[2]}));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"2 CEs exported successfully to " + vce});
    ui.messages.clear();

    DirectLoad(target);
    ui.files = {vce};
    Click("CEMan_Info_LoadVCE");
    EXPECT_EQ(ui.fileDialogTitles.back(), "Open Vantrel Custom Element File");
    EXPECT_EQ(Lines(Imported()), (QStringList{"4:Linked to five-->4", "5:A rather long name of five-->5"}));
    const int text = QFontMetrics(Imported()->font()).horizontalAdvance("5:A rather long name of five-->5");
    EXPECT_GT(Imported()->property("horizontalExtent").toInt(), text);

    ClickImportLine(1);
    EXPECT_EQ(Find<QSpinBox>("CEMan_Info_ImportAt")->value(), 5);
    Find<QSpinBox>("CEMan_Info_ImportAt")->setValue(1);  // occupied by "In target": No keeps the line
    Click("CEMan_Info_SetImportPos");
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Custom Element Id 1 is occupied by \"In target\", use anyways?"});
    Find<QSpinBox>("CEMan_Info_ImportAt")->setValue(30);
    Click("CEMan_Info_SetImportPos");
    Find<QSpinBox>("CEMan_Info_IncDecAllValue")->setValue(-2);
    Click("CEMan_Info_IncDecAll");
    EXPECT_EQ(Lines(Imported()), (QStringList{"4:Linked to five-->2", "5:A rather long name of five-->28"}));

    const Bytes before = ReadBytes(target);
    ui.messages.clear();
    Click("CEMan_Info_FinishImport");
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"1 Links detected and changed!", "Importing CEs finished"}))
        << "the bytes of each chunk go to the log, not into boxes";
    CeSpec linked = Ce(2, "Linked to five", 1);
    linked.pages[0].changeTo = Code(28);
    CeSpec five = Ce(28, "A rather long name of five", 2);
    const Bytes imported = Concat({before, Cus4Chunk(linked), Cus4Chunk(five)});
    EXPECT_EQ(ReadBytes(target), imported);
    EXPECT_EQ(ReadBytes(vce), Concat({chunks[1], chunks[2]}));
    // The CE list shows them at once and the import is done: a second Finish Import adds nothing.
    EXPECT_EQ(Lines(Find<QListWidget>("CEMan_CEList")),
              (QStringList{"1: In target", "2: Linked to five", "28: A rather long name of five"}));
    EXPECT_EQ(Imported()->count(), 0);
    Click("CEMan_Info_FinishImport");
    EXPECT_EQ(ui.messages.back(), kNothingToImportMessage);
    EXPECT_EQ(ReadBytes(target), imported);
}

TEST_F(CeTransferPageTest, ANoToAnOccupiedIdSaysNothingWasImportedAndKeepsTheList)
{
    const std::string vce = dir.Write("in.vce", Cus4Chunk(Ce(1, "Also one", 1)));
    DirectLoad(target);
    ui.files = {vce};
    Click("CEMan_Info_LoadVCE");
    const Bytes before = ReadBytes(target);
    ui.messages.clear();
    ui.answers = {false};
    Click("CEMan_Info_FinishImport");
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Custom Element Id 1 is occupied by \"In target\", continue? The "
                                                     "imported custom element takes its place: the game reads it "
                                                     "after \"In target\" and plays the imported one."});
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Nothing was imported: the level is as it was."});
    EXPECT_EQ(ReadBytes(target), before);
    EXPECT_EQ(Lines(Imported()), QStringList{"1:Also one-->1"}) << "the list stays for another try";
}

TEST_F(CeTransferPageTest, SaveAndCloseEmptiesTheImportList)
{
    const std::string vce = dir.Write("in.vce", Cus4Chunk(Ce(7, "Seven", 1)));
    DirectLoad(target);
    ui.files = {vce};
    Click("CEMan_Info_LoadVCE");
    ASSERT_EQ(Imported()->count(), 1);
    main->File_SaveLevelClick();
    EXPECT_EQ(Imported()->count(), 0);
    DirectLoad(target);
    const Bytes before = ReadBytes(target);
    Click("CEMan_Info_FinishImport");
    EXPECT_EQ(ui.messages.back(), kNothingToImportMessage);
    EXPECT_EQ(ReadBytes(target), before);
}

}  // namespace
}  // namespace vantrel::test
