// The level view's redraw beside its floor. RedrawLevelView copies 1,200
// tiles of 16 x 16 pixels into the view's off-screen picture (it runs on
// every scroll and every press in the view); the floor is copying one
// 640 x 480 picture once, the same number of pixels in one piece. Also timed:
// the drawing function alone (no window), one full scroll change through
// the scroll bar, and the redraw at every zoom beside a copy of the picture
// the view then shows. Run with QT_QPA_PLATFORM=offscreen (set when unset).
#include "level/OpenLevel.h"
#include "app/MainWindow.h"
#include "support/LevelBuilder.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "gui/view/AtlasQt.h"
#include "gui/view/LevelViewPage.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

using namespace vantrel;

// A main window with a 128 x 128 two-byte level open, made once for the run.
struct BenchWindow {
    BenchWindow()
    {
        std::vector<std::uint16_t> cells;
        for (int y = 1; y <= 128; ++y)
            for (int x = 1; x <= 128; ++x) cells.push_back(static_cast<std::uint16_t>((x * 7 + y * 31) % 623 + 1));
        const std::string path =
            dir.Write("bench.level", test::LevelBuilder::Standard({.width = 128, .height = 128, .wide = true}, cells)
                                         .Data());
        main = std::make_unique<MainWindow>(ui, settings);
        main->Document().Doc().SetOpenDialogName("%" + path);
        main->File_LoadLevelClick();
        if (!main->Level().LevelOpen()) throw std::runtime_error("the benchmark level did not load");
    }
    test::TempDir dir;
    test::ScriptedUi ui;
    test::MemorySettings settings;
    std::unique_ptr<MainWindow> main;
};

// Made in main, after the application object and destroyed before it.
BenchWindow* benchWindow = nullptr;

BenchWindow& Window()
{
    return *benchWindow;
}

void BM_RedrawLevelView(benchmark::State& state)
{
    LevelViewPage* view = Window().main->LevelView();
    for (auto _ : state) {
        view->RedrawLevelView();
        benchmark::DoNotOptimize(view->Picture().constBits());
    }
    state.SetItemsProcessed(state.iterations() * 1200);
    state.SetLabel("1,200 tiles");
}
BENCHMARK(BM_RedrawLevelView);

void BM_DrawMapCells(benchmark::State& state)
{
    const OpenLevel& lvl = Window().main->Level();
    const SizedAtlas& tiles = PlainAtlas();
    QImage picture(640, 480, QImage::Format_RGB32);
    for (auto _ : state) {
        DrawMapCells(picture, {0, 0}, tiles, lvl.Grid(), 1, 1, 40, 30);
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.SetItemsProcessed(state.iterations() * 1200);
}
BENCHMARK(BM_DrawMapCells);

// A scroll change as the user makes it: the scroll bar's value moves, the view is redrawn.
void BM_ScrollChange(benchmark::State& state)
{
    auto* sx = Window().main->findChild<QScrollBar*>(QStringLiteral("SX"));
    int value = 0;
    for (auto _ : state) {
        value = value == 0 ? 1 : 0;
        sx->setValue(value);
    }
}
BENCHMARK(BM_ScrollChange);

// The floor: one 640 x 480 picture copied once.
void BM_CopyOnePicture(benchmark::State& state)
{
    QImage from(640, 480, QImage::Format_RGB32);
    from.fill(Qt::darkGreen);
    QImage to(640, 480, QImage::Format_RGB32);
    for (auto _ : state) {
        std::memcpy(to.bits(), from.constBits(), static_cast<std::size_t>(from.sizeInBytes()));
        benchmark::DoNotOptimize(to.constBits());
    }
    state.SetBytesProcessed(state.iterations() * from.sizeInBytes());
}
BENCHMARK(BM_CopyOnePicture);

// The redraw at each zoom (cells of 4, 8, 16, 32 and 48 pixels, and 2, the
// smallest "fit the whole map" takes), beside its floor: one copy of a picture
// of the size the view then shows (BM_CopyPictureAtZoom, same argument).
LevelViewPage* ViewAtZoom(int cellSize)
{
    LevelViewPage* view = Window().main->LevelView();
    view->ZoomTo(cellSize);
    return view;
}

void BM_RedrawAtZoom(benchmark::State& state)
{
    LevelViewPage* view = ViewAtZoom(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        view->RedrawLevelView();
        benchmark::DoNotOptimize(view->Picture().constBits());
    }
    const QSize size = view->Picture().size();
    state.SetLabel(std::to_string(size.width()) + " x " + std::to_string(size.height()) + " pixels");
    view->ZoomTo(16);
}
BENCHMARK(BM_RedrawAtZoom)->Arg(2)->Arg(4)->Arg(8)->Arg(16)->Arg(32)->Arg(48);

void BM_CopyPictureAtZoom(benchmark::State& state)
{
    const QSize size = ViewAtZoom(static_cast<int>(state.range(0)))->Picture().size();
    Window().main->LevelView()->ZoomTo(16);
    QImage from(size, QImage::Format_RGB32);
    from.fill(Qt::darkGreen);
    QImage to(size, QImage::Format_RGB32);
    for (auto _ : state) {
        std::memcpy(to.bits(), from.constBits(), static_cast<std::size_t>(from.sizeInBytes()));
        benchmark::DoNotOptimize(to.constBits());
    }
}
BENCHMARK(BM_CopyPictureAtZoom)->Arg(2)->Arg(4)->Arg(8)->Arg(16)->Arg(32)->Arg(48);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    BenchWindow window;
    benchWindow = &window;
    benchmark::RunSpecifiedBenchmarks();
    benchWindow = nullptr;
    benchmark::Shutdown();
    return 0;
}
