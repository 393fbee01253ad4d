// Pictures of every page with a level loaded, for a person to look at:
// set VANTREL_SCREENSHOTS to a folder and run this test.
#include "gui/GuiFixture.h"

#include <QCoreApplication>
#include <QPixmap>

namespace vantrel::test {
namespace {

TEST_F(GuiTest, ScreenshotsOfEveryPage)
{
    const QString out = qEnvironmentVariable("VANTREL_SCREENSHOTS");
    if (out.isEmpty()) GTEST_SKIP() << "set VANTREL_SCREENSHOTS to a folder to take pictures of the pages";
    if (CorpusMissing()) GTEST_SKIP() << "../shared/corpus is absent";
    DirectLoad(CopyFromCorpus("levels/Tutorials/rnd_tutorial_niko_boehm/042.level", dir));
    main->show();
    for (int page = 0; page < main->Book()->count(); ++page) {
        main->Book()->setCurrentIndex(page);
        QCoreApplication::processEvents();
        EXPECT_TRUE(main->grab().save(QStringLiteral("%1/page%2.png").arg(out).arg(page)));
    }
}

}  // namespace
}  // namespace vantrel::test
