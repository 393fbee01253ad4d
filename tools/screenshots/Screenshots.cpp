// Pictures of the window for a person to look at: the Files Archive over the
// corpus as a list and as thumbnails, every page with a level of the corpus loaded, the CE Manager's sub-pages with custom elements shown,
// the level view scrolled with a selection, the palette, and the AppStream
// screenshot of an example level. Checks nothing;
// scripts/screenshots.sh builds and runs it.
//
//   vantrel-screenshots FOLDER
#include "app/MainWindow.h"
#include "ce/CeBytes.h"
#include "gui/archive/ArchivePage.h"
#include "gui/archive/ThumbnailSource.h"
#include "gui/levelsets/LevelsetPage.h"
#include "gui/palette/PaletteWindow.h"
#include "gui/view/LevelViewPage.h"
#include "support/LevelBuilder.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <cstdio>
#include <filesystem>
#include <string>

namespace vantrel::test {
namespace {

// Settings whose data directory is the corpus (laid out as the game's), when it is there.
MemorySettings CorpusSettings()
{
    MemorySettings settings;
    if (!CorpusDir().empty()) settings.values["datadir"] = CorpusDir().string();
    return settings;
}

class Shooter {
public:
    explicit Shooter(QString out) : out_(std::move(out)), settings_(CorpusSettings()), main_(ui_, settings_)
    {
        main_.show();
    }

    void Load(const std::string& path)
    {
        main_.Document().Doc().SetOpenDialogName("%" + path);
        main_.File_LoadLevelClick();
    }
    template <typename W>
    W* Find(const char* name)
    {
        for (int page = 0; page < kPageCount; ++page) main_.Page(page);
        return main_.findChild<W*>(QString::fromLatin1(name));
    }
    void Save(QWidget* w, const QString& name)
    {
        QCoreApplication::processEvents();
        const QString file = out_ + QLatin1Char('/') + name + QStringLiteral(".png");
        if (w->grab().save(file))
            std::printf("%s\n", file.toLocal8Bit().constData());
        else
            ++failures_;
    }

    void EveryPage()
    {
        for (int page = 0; page < main_.Book()->count(); ++page) {
            main_.Book()->setCurrentIndex(page);
            Save(&main_, QStringLiteral("page%1").arg(page));
        }
    }

    // The Files Archive over the data directory (its index cached in the run's
    // own folder): the list, then the levels with custom element 1 as thumbnails.
    void Archive(const TempDir& dir)
    {
        auto* page = qobject_cast<ArchivePage*>(main_.Page(kArchivePage));
        page->SetCachePath((dir.Path() / "archive.index").string());
        main_.Book()->setCurrentIndex(kArchivePage);
        page->WaitForIndex();
        Save(&main_, QStringLiteral("archive-list"));
        Find<QLineEdit>("Archive_Uses")->setText(QStringLiteral("0x0168"));
        Find<QToolButton>("Archive_ShowGrid")->click();
        QCoreApplication::processEvents();  // the grid painted: its thumbnails asked for
        page->Thumbnails().WaitForAll();
        Save(&main_, QStringLiteral("archive-grid"));
        Find<QLineEdit>("Archive_Uses")->clear();
        Find<QToolButton>("Archive_ShowList")->click();
    }

    void CeLine(int row, const QString& prefix)
    {
        main_.Book()->setCurrentIndex(kCeManagerPage);
        auto* list = Find<QListWidget>("CEMan_CEList");
        if (row >= list->count()) return;
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
        auto* book = Find<QTabWidget>("CEMan__");
        for (int page = 0; page < book->count(); ++page) {
            book->setCurrentIndex(page);
            Save(&main_, QStringLiteral("%1-%2").arg(prefix).arg(page));
        }
    }

    void ScrolledView(const std::string& path)
    {
        Load(path);
        main_.Book()->setCurrentIndex(kLevelViewPage);
        Find<QScrollBar>("SY")->setValue(1);
        auto* img = Find<QWidget>("LView_Img");
        QTest::mousePress(img, Qt::LeftButton, {}, {16 * 4 + 8, 16 * 14 + 8});
        QTest::mouseRelease(img, Qt::LeftButton, {}, {16 * 11 + 8, 16 * 19 + 8});
        Save(&main_, QStringLiteral("levelview"));
    }

    // Paint mode: a stroke of walls, the status line over a cell; then zoomed in, and the whole map.
    void PaintAndZoom()
    {
        auto* view = main_.LevelView();
        auto* img = Find<QWidget>("LView_Img");
        main_.Document().SelectElement(2);
        view->SetPaintMode(true);
        QTest::mousePress(img, Qt::LeftButton, {}, {16 * 20 + 8, 16 * 15 + 8});
        for (const QPoint to : {QPoint(16 * 30 + 8, 16 * 18 + 8), QPoint(16 * 30 + 8, 16 * 24 + 8)}) {
            QMouseEvent move(QEvent::MouseMove, to, img->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(img, &move);
        }
        QTest::mouseRelease(img, Qt::LeftButton, {}, {16 * 30 + 8, 16 * 24 + 8});
        QTest::mouseMove(img, {16 * 13 + 8, 16 * 10 + 8});
        Save(&main_, QStringLiteral("levelpaint"));
        view->ZoomTo(32, QPoint(16 * 13 + 8, 16 * 10 + 8));
        Save(&main_, QStringLiteral("levelzoom"));
        view->LView_ZoomFitClick();
        Save(&main_, QStringLiteral("levelfit"));
        view->ZoomTo(16);
        view->SetPaintMode(false);
    }

    // The AppStream screenshot: the example levelset the build wrote, its
    // level from a forum post in the Level View. On a copy: a load makes a backup.
    void AppStream(const std::string& examples, const TempDir& dir)
    {
        const std::string copy = (dir.Path() / "examples").string();
        std::filesystem::copy(examples, copy, std::filesystem::copy_options::recursive);
        settings_.values["datadir"] = copy;
        main_.Levelsets()->Scan();
        Load(copy + "/levels/vantrel_examples/quote/001.level");
        main_.Book()->setCurrentIndex(kLevelViewPage);
        Save(&main_, QStringLiteral("appstream"));
    }

    void Palette()
    {
        PaletteWindow palette(main_.Document());
        palette.show();
        auto* atlas = palette.findChild<QWidget*>(QStringLiteral("El"));
        const QPoint tile(16 * 5 + 5, 11);
        QTest::mouseMove(atlas, tile);
        QTest::mouseClick(atlas, Qt::LeftButton, {}, tile);
        Save(&palette, QStringLiteral("palette"));
    }

    int Failures() const { return failures_; }

private:
    QString out_;
    ScriptedUi ui_;
    MemorySettings settings_;
    MainWindow main_;
    int failures_ = 0;
};

// A 64 x 40 level with a steel border, a line of text, the players, the first
// codes, keys, custom elements, a code without a picture and some rubble.
std::string ViewLevel(const TempDir& dir)
{
    const std::string text = "VANTREL LEVEL VIEW 0123456789";
    std::vector<std::uint16_t> cells;
    for (int y = 1; y <= 40; ++y)
        for (int x = 1; x <= 64; ++x) {
            std::uint16_t code = y > 12 && (x + y) % 3 == 0 ? 1 : 0;
            if (y > 12 && (x + 2 * y) % 17 == 0) code = 14;
            if (y > 12 && (x * 3 + y) % 11 == 0) code = 4;
            if (y > 12 && (x * y) % 13 == 0) code = 6;
            if (y > 12 && (x + y) % 9 == 0) code = 2;
            if (y == 3 && x >= 3 && x - 3 < static_cast<int>(text.size()))
                code = static_cast<std::uint16_t>(120 + text[static_cast<std::size_t>(x - 3)] - 32);
            if (y == 5 && x >= 3 && x <= 6) code = static_cast<std::uint16_t>(80 + x - 3);
            if ((y == 7 || y == 9) && x >= 3 && x <= 30) code = static_cast<std::uint16_t>(x - 2 + (y == 9 ? 28 : 0));
            if (y == 11 && x >= 3 && x <= 10) code = static_cast<std::uint16_t>(616 + x - 3);
            if (y == 11 && x >= 12 && x <= 14) code = static_cast<std::uint16_t>(360 + x);
            if (y == 11 && x == 16) code = 700;
            if (x == 1 || y == 1 || x == 64 || y == 40) code = 13;
            cells.push_back(code);
        }
    return dir.Write("view.level", LevelBuilder::Standard({.width = 64, .height = 40, .wide = true}, cells).Data());
}

// A custom element whose last page uses every field, and one without a page.
std::string CeLevel(const TempDir& dir)
{
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
    return dir.Write("synthetic.level", LevelWithChunks({Cus4Chunk(three), Cus4Chunk(none)}));
}

}  // namespace
}  // namespace vantrel::test

int main(int argc, char** argv)
{
    using namespace vantrel::test;
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantrel-screenshots FOLDER\n");
        return 2;
    }
    TempDir dir;
    Shooter shooter(QString::fromLocal8Bit(argv[1]));
    if (CorpusDir().empty()) {
        std::fprintf(stderr, "the corpus is absent: no pictures of a real level\n");
    } else {
        shooter.Archive(dir);
        shooter.Load(CopyFromCorpus("levels/Tutorials/rnd_tutorial_niko_boehm/042.level", dir));
        shooter.EveryPage();
        shooter.CeLine(34, QStringLiteral("ce042"));  // "35: four": an explode content of three kinds
    }
    shooter.Load(CeLevel(dir));
    shooter.CeLine(0, QStringLiteral("three"));
    shooter.CeLine(1, QStringLiteral("none"));
    shooter.ScrolledView(ViewLevel(dir));
    shooter.PaintAndZoom();
    shooter.Palette();
    shooter.AppStream(VANTREL_EXAMPLES_DIR, dir);
    return shooter.Failures() == 0 ? 0 : 1;
}
