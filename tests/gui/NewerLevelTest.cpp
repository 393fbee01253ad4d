// A level of the newer layout in the window: the File Info boxes, the CE
// Manager's view of a CUSX chunk, and its export into a .vce file.
#include "gui/ce/CeManagerPage.h"
#include "ce/CeTransfer.h"
#include "ce/CeViews.h"
#include "gui/GuiFixture.h"
#include "support/LevelBuilder.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <filesystem>

namespace vantrel::test {
namespace {

using LB = LevelBuilder;

class NewerLevel : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        path = dir.Write("newer.level",
                         LB::Newer()
                             .Name("Newer title")
                             .Auth("Someone")
                             .Info(LB::InfoEntries(3, 2, 300, 12))
                             .Body({1, 2, 80, 360, 700, 0}, true)
                             .Cusx(361, Concat({LB::EText(0xC1, "Door"), LB::E8(0x01, 1), LB::E16(0x41, 0x50),
                                                LB::EBytes(0xC2, {0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 1, 0x68,
                                                                  0, 0, 0, 9}),
                                                LB::E8(0x09, 1), LB::E8(0x01, 0), LB::E16(0x41, 360)}))
                             .Data());
        DirectLoad(path);
    }
    void ClickLine(int row)
    {
        auto* list = Find<QListWidget>("CEMan_CEList");
        const QRect r = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    }
    std::string path;
};

TEST_F(NewerLevel, FileInfoShowsNameAuthorAndInfo)
{
    EXPECT_EQ(Find<QLineEdit>("Edit_LevelName")->text(), "Newer title");
    EXPECT_EQ(Find<QLineEdit>("Edit_Author")->text(), "Someone");
    EXPECT_EQ(Find<QLineEdit>("Edit_MapSize")->text(), "3x2");
    EXPECT_EQ(Find<QLineEdit>("FileVersion")->text(), "0300000004010401");
    EXPECT_EQ(Find<QSpinBox>("Edit_Time")->value(), 300);
    EXPECT_EQ(Find<QSpinBox>("Edit_Emeralds")->value(), 12);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(NewerLevel, CeManagerShowsTheEntriesOfACusxChunk)
{
    main->show();
    main->Book()->setCurrentIndex(kCeManagerPage);
    EXPECT_EQ(Find<QLabel>("CEMan_Notice")->text(), kCusxNotice) << "shown before any CE is clicked";
    ClickLine(0);
    EXPECT_EQ(Find<QLineEdit>("CEMan_Conf_Name")->text(), "Door");
    auto* entries = Find<QListWidget>("CEMan_Cusx_Entries");
    ASSERT_EQ(entries->count(), 7);
    EXPECT_EQ(entries->item(3)->text(), "base  C2  explosion content = 1 content: 0001 0002 0003 / 0004 0005 0006 / "
                                        "0168 0000 0009");
    EXPECT_EQ(entries->item(6)->text(), "page 1  41  target element = 0168 Custom element 1");
    EXPECT_TRUE(Find<QCheckBox>("CEMan_Adv_GraphicOfCheck")->isChecked());
    EXPECT_EQ(Find<QLineEdit>("CEMan_Adv_GraphicOf")->text(), "0050");
    EXPECT_EQ(Find<QPlainTextEdit>("CEMan_Conf_ExplodeCont")->toPlainText(),
              "0001 0002 0003 \n0004 0005 0006 \n0168 0000 0009 ");
    EXPECT_FALSE(Find<QCheckBox>("CEMan_Conf_CanMove")->isEnabled());
    EXPECT_TRUE(Find<QGroupBox>("CEMan_Cusx_Group")->isVisibleTo(main.get()));
    EXPECT_EQ(Find<QLabel>("CEMan_Notice")->text(), kCusxNotice);
    EXPECT_FALSE(Find<QCheckBox>("CEMan_Adv_CanChange")->isEnabled());
    EXPECT_FALSE(Find<QSpinBox>("CEMan_Adv_Page")->isEnabled());

    // The entry of an element code draws that element's tile.
    auto* img = Find<ElementCodesImage>("CEMan_Cusx_EntryImg");
    const QImage blank = img->Picture().copy();
    entries->setCurrentRow(6);
    EXPECT_NE(img->Picture(), blank);

    // A level of the older layout loaded next shows nothing of this one.
    DirectLoad(dir.Write("older.level", LB::Standard({.width = 2, .height = 1}, {1, 2}).Cus4(361, "Old", 1).Data()));
    EXPECT_TRUE(Find<QLabel>("CEMan_Notice")->isHidden());
    EXPECT_EQ(Find<QLineEdit>("CEMan_Conf_Name")->text(), "");
    EXPECT_FALSE(Find<QGroupBox>("CEMan_Cusx_Group")->isVisibleTo(main.get()));
    EXPECT_TRUE(Find<QCheckBox>("CEMan_Conf_CanMove")->isEnabled());
}

TEST_F(NewerLevel, ExportWritesTheCusxChunkAndImportListsIt)
{
    auto* list = Find<QListWidget>("CEMan_CEList");
    list->item(0)->setCheckState(Qt::Checked);
    Find<QPushButton>("CEMan_ExportBtn")->click();
    ui.files.push_back(path + ".vce");
    Find<QPushButton>("CEMan_Info_LoadVCE")->click();
    EXPECT_EQ(ui.messages, std::vector<std::string>{"1 CE exported successfully to " + path + ".vce"});
    EXPECT_EQ(Find<QListWidget>("CEMan_Info_ImportedCEList")->item(0)->text(), "2:Door-->2");
}

}  // namespace
}  // namespace vantrel::test
