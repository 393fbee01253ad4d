// Edit > Undo and Redo name the change and give back the file's bytes;
// File > Restore from Backup asks first and can itself be undone.
#include "GuiFixture.h"
#include "support/LevelBuilder.h"

#include <QLineEdit>
#include <QTest>

namespace vantrel::test {
namespace {

TEST_F(GuiTest, UndoRedoAndRestoreFromTheMenus)
{
    const Bytes level = LevelBuilder::Standard({.width = 4, .height = 3, .title = "Whole"}, PatternCells(4, 3, false)).Data();
    const std::string path = dir.Write("a.level", level);
    DirectLoad(path);
    auto* title = Find<QLineEdit>("Edit_LevelName");
    auto* undo = Find<QAction>("Edit_Undo");
    auto* redo = Find<QAction>("Edit_Redo");
    title->setText("Cave");
    QTest::keyClick(title, Qt::Key_Return);
    const Bytes titled = ReadBytes(path);
    ASSERT_NE(titled, level);
    EXPECT_EQ(undo->text(), "&Undo Title");
    EXPECT_TRUE(undo->isEnabled());

    undo->trigger();
    EXPECT_EQ(ReadBytes(path), level);
    EXPECT_EQ(title->text(), "Whole");  // the page shows the file as it now is
    EXPECT_EQ(redo->text(), "&Redo Title");
    EXPECT_FALSE(undo->isEnabled());
    redo->trigger();
    EXPECT_EQ(ReadBytes(path), titled);
    EXPECT_EQ(title->text(), "Cave");

    ui.answers.push_back(true);
    Find<QAction>("File_RestoreBackup")->trigger();
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].rfind("Put the backup " + path + ".bak of ", 0), 0u) << ui.questions[0];
    EXPECT_EQ(ReadBytes(path), level);
    EXPECT_EQ(undo->text(), "&Undo Restore from Backup");
    undo->trigger();
    EXPECT_EQ(ReadBytes(path), titled);
    EXPECT_EQ(title->text(), "Cave");
}

TEST_F(GuiTest, CtrlZInTheTitleBoxUndoesTheLevelUnlessTheBoxHoldsTypingNotYetWritten)
{
    const Bytes level = LevelBuilder::Standard({.width = 4, .height = 3, .title = "Whole"}, PatternCells(4, 3, false)).Data();
    const std::string path = dir.Write("a.level", level);
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    DirectLoad(path);
    main->Book()->setCurrentIndex(0);
    auto* title = Find<QLineEdit>("Edit_LevelName");
    title->setFocus();
    title->selectAll();
    QTest::keyClicks(title, "Cave");
    QTest::keyClick(title, Qt::Key_Return);
    const Bytes titled = ReadBytes(path);
    ASSERT_NE(titled, level);

    QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier);  // the typing is written: the level's Undo
    EXPECT_EQ(ReadBytes(path), level);
    EXPECT_EQ(title->text(), "Whole");
    QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ReadBytes(path), titled);
    EXPECT_EQ(title->text(), "Cave");

    QTest::keyClicks(title, "s");  // not written yet: the box takes its own typing back
    QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(title->text(), "Cave");
    EXPECT_EQ(ReadBytes(path), titled);
}

}  // namespace
}  // namespace vantrel::test
