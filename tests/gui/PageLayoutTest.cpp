// Every page inside the fixed window: no control cut off by the page's edge,
// no caption cut short, no two controls of a page on top of each other.
#include "gui/GuiFixture.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace vantrel::test {
namespace {

// The visible controls of a page, in page coordinates; those of an inner notebook's hidden pages are not shown.
std::vector<std::pair<QWidget*, QRect>> Controls(QWidget* page)
{
    std::vector<std::pair<QWidget*, QRect>> out;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(page) || w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        out.emplace_back(w, QRect(w->mapTo(page, QPoint(0, 0)), w->size()));
    }
    return out;
}

TEST_F(GuiTest, EveryPageFitsTheWindowAndNoControlCoversAnother)
{
    if (!CorpusMissing()) DirectLoad(CopyFromCorpus("levels/Tutorials/rnd_tutorial_niko_boehm/042.level", dir));
    main->show();
    for (int i = 0; i < main->Book()->count(); ++i) {
        main->Book()->setCurrentIndex(i);
        QCoreApplication::processEvents();
        QWidget* page = main->Book()->widget(i);
        SCOPED_TRACE(main->Book()->tabText(i).toStdString());
        const auto controls = Controls(page);
        for (const auto& [w, r] : controls) {
            const std::string name = w->objectName().toStdString();
            EXPECT_TRUE(page->rect().contains(r)) << name << " is cut off by the page's edge";
            if (auto* b = qobject_cast<QAbstractButton*>(w); b && !b->text().isEmpty()) {
                EXPECT_GE(b->width(), b->minimumSizeHint().width()) << name << "'s caption is cut short";
            }
        }
        for (std::size_t a = 0; a < controls.size(); ++a) {
            for (std::size_t b = a + 1; b < controls.size(); ++b) {
                const auto& [wa, ra] = controls[a];
                const auto& [wb, rb] = controls[b];
                if (wa->isAncestorOf(wb) || wb->isAncestorOf(wa)) continue;
                EXPECT_FALSE(ra.intersects(rb)) << wa->objectName().toStdString() << " and "
                                                << wb->objectName().toStdString() << " overlap";
            }
        }
    }
}

}  // namespace
}  // namespace vantrel::test
