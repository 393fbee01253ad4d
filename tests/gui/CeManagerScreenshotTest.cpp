// Pictures of the CE Manager's sub-pages with a custom element shown, for a
// person to look at: set VANTREL_SCREENSHOTS to a folder and run this test.
#include "ce/CeBytes.h"
#include "gui/GuiFixture.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QPixmap>
#include <QSpinBox>
#include <QTest>

namespace vantrel::test {
namespace {

void ClickLine(QListWidget* list, int row)
{
    list->scrollToItem(list->item(row));
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

class CeScreenshots : public GuiTest {
protected:
    void Shoot(const QString& out, const QString& prefix)
    {
        auto* book = Find<QTabWidget>("CEMan__");
        for (int page = 0; page < book->count(); ++page) {
            book->setCurrentIndex(page);
            QCoreApplication::processEvents();
            EXPECT_TRUE(main->grab().save(QStringLiteral("%1/%2-%3.png").arg(out, prefix).arg(page)));
        }
    }
};

TEST_F(CeScreenshots, EverySubPageOfTheCeManager)
{
    const QString out = qEnvironmentVariable("VANTREL_SCREENSHOTS");
    if (out.isEmpty()) GTEST_SKIP() << "set VANTREL_SCREENSHOTS to a folder to take pictures of the pages";
    if (CorpusMissing()) GTEST_SKIP() << "../shared/corpus is absent";
    DirectLoad(CopyFromCorpus("levels/Tutorials/rnd_tutorial_niko_boehm/042.level", dir));
    main->show();
    main->Book()->setCurrentIndex(kCeManagerPage);
    QCoreApplication::processEvents();
    ClickLine(Find<QListWidget>("CEMan_CEList"), 34);  // "35: four": an explode content of three kinds
    Shoot(out, QStringLiteral("ce042"));

    // A record whose last page uses every field, and one without a page.
    PageSpec full;
    full.eventBits = 1;
    full.changeTo = 360;
    full.delayFixed = 1234;
    full.delayRandom = 7;
    full.delayType = 50;
    full.condElement = 80;
    full.useExtChange = 1;
    full.extChange = {1, 2, 3, 360, 0, 700, 84, 85, 86};
    full.canChange = 1;
    CeSpec three{200, std::string(30, 'W'), 1, 615, {360, 0, 361, 2, 3, 4, 624, 655, 1}, {PageSpec{}, PageSpec{}, full}};
    CeSpec none{7, "no pages", 0, 0, {}, {}};
    DirectLoad(dir.Write("synthetic.level", LevelWithChunks({Cus4Chunk(three), Cus4Chunk(none)})));
    ClickLine(Find<QListWidget>("CEMan_CEList"), 0);
    Shoot(out, QStringLiteral("three"));
    ClickLine(Find<QListWidget>("CEMan_CEList"), 1);
    Shoot(out, QStringLiteral("none"));
}

}  // namespace
}  // namespace vantrel::test
