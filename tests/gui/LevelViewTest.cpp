// The "Level View" page driven through its real controls: the view's size
// and scroll bars at a load, tiles drawn where the map puts them, "Count
// emeralds", "Save Image", and selections made with the mouse that the popup
// menu's commands cut, copy, paste and delete straight into the level file.
#include "gui/GuiFixture.h"
#include "gui/TileCompare.h"
#include "gui/level/FileInfoPage.h"
#include "support/LevelBuilder.h"
#include "gui/view/LevelViewPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QLabel>
#include <QToolButton>
#include <QMenu>
#include <QWheelEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <filesystem>
#include <optional>

namespace vantrel::test {
namespace {

class LevelViewTest : public GuiTest {
protected:
    // Writes a width x height level whose cell (x, y) holds code(x, y), and returns its path.
    template <typename Code>
    std::string WriteLevel(const std::string& name, int width, int height, bool wide, Code code)
    {
        std::vector<std::uint16_t> cells;
        for (int y = 1; y <= height; ++y)
            for (int x = 1; x <= width; ++x) cells.push_back(code(x, y));
        return dir.Write(name, LevelBuilder::Standard({.width = static_cast<std::uint8_t>(width),
                                                       .height = static_cast<std::uint8_t>(height),
                                                       .wide = wide},
                                                      cells)
                                   .Data());
    }
    std::string WriteSpreadLevel(const std::string& name, int width, int height)
    {
        return WriteLevel(name, width, height, true, SpreadCode);
    }

    // Each level opens fitted to the view; the tests here read cells of 16
    // pixels, so each level is then shown at 100 %, its top-left cell first.
    void DirectLoad(const std::string& path)
    {
        GuiTest::DirectLoad(path);
        View()->ZoomTo(kViewCellSize, QPoint(0, 0));
    }

    LevelViewPage* View() { return main->LevelView(); }
    QWidget* Img() { return Find<QWidget>("LView_Img"); }
    QScrollBar* SX() { return Find<QScrollBar>("SX"); }
    QScrollBar* SY() { return Find<QScrollBar>("SY"); }
    // What LView_Img shows on the screen.
    QImage Shown() { return Img()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    void ShowLevelView()
    {
        main->Book()->setCurrentIndex(kLevelViewPage);
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    }
    // A drag with the left button from one view pixel to another.
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(Img(), Qt::LeftButton, {}, from);
        QTest::mouseRelease(Img(), Qt::LeftButton, {}, to);
    }
    static QPoint CellCenter(int viewX, int viewY) { return {16 * (viewX - 1) + 8, 16 * (viewY - 1) + 8}; }
    void Popup(const char* item) { Find<QAction>(item)->trigger(); }

    // Every view cell shows the tile of the map cell the scroll positions put there.
    void ExpectViewShowsMap(const QImage& shown, int columns, int rows)
    {
        const OpenLevel& lvl = main->Level();
        for (int i = 1; i <= columns; ++i)
            for (int j = 1; j <= rows; ++j)
                ASSERT_TRUE(HoldsCode(shown, {16 * (i - 1), 16 * (j - 1)},
                                      lvl.Grid().At(i + SX()->value(), j + SY()->value())))
                    << "view cell " << i << "," << j;
    }

    // The code the level file on disk holds for cell (x, y) of a standard level.
    static std::uint16_t DiskCell(const std::string& path, int width, bool wide, int x, int y)
    {
        const auto bytes = ReadBytes(path);
        const std::size_t at = 196 + (wide ? 2u : 1u) * static_cast<std::size_t>((y - 1) * width + x - 1);
        return wide ? static_cast<std::uint16_t>(bytes.at(at) << 8 | bytes.at(at + 1)) : bytes.at(at);
    }
};

// --- size and scroll bars ---

struct SizeCase {
    int width;
    int height;
    QSize view;
    int maxX;
    int maxY;
};

void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.width << "x" << c.height; }

class ViewSizeAtLoad : public LevelViewTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(ViewSizeAtLoad, SizesTheViewAndItsScrollBars)
{
    const SizeCase& c = GetParam();
    SX()->setRange(0, 99);
    SX()->setValue(7);  // left from an earlier level
    DirectLoad(WriteSpreadLevel("a.level", c.width, c.height));
    ASSERT_TRUE(main->Level().LevelOpen());
    EXPECT_EQ(Img()->size(), c.view);
    EXPECT_EQ(SX()->value(), 0);
    EXPECT_EQ(SY()->value(), 0);
    EXPECT_EQ(SX()->minimum(), 0);
    EXPECT_EQ(SY()->minimum(), 0);
    EXPECT_EQ(SX()->maximum(), c.maxX);
    EXPECT_EQ(SY()->maximum(), c.maxY);
    ExpectViewShowsMap(Shown(), std::min(c.width, 40), std::min(c.height, 30));
}

INSTANTIATE_TEST_SUITE_P(Maps, ViewSizeAtLoad,
                         ::testing::Values(SizeCase{64, 32, {640, 480}, 24, 2}, SizeCase{10, 12, {160, 192}, 0, 0},
                                           SizeCase{60, 50, {640, 480}, 20, 20}, SizeCase{40, 30, {640, 480}, 0, 0},
                                           SizeCase{41, 30, {640, 480}, 1, 0}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

TEST_F(LevelViewTest, ControlsStandWhereTheyBelong)
{
    main->Book()->setCurrentIndex(kLevelViewPage);
    main->show();
    QCoreApplication::processEvents();
    // The view's area at the top left, at least 40 x 30 cells in the first window, the scroll bars along its
    // bottom and right edges, the status line under them, the buttons beside them.
    auto inPage = [this](QWidget* w) { return QRect(w->mapTo(View(), QPoint(0, 0)), w->size()); };
    const QRect img = inPage(Find<QWidget>("LView_Area")), sx = SX()->geometry(), sy = SY()->geometry();
    EXPECT_EQ(img.topLeft(), QPoint(0, 0));
    EXPECT_GE(img.width(), 640);
    EXPECT_GE(img.height(), 480);
    EXPECT_EQ(inPage(Img()), img) << "blank before a load, over the whole area";
    EXPECT_EQ(sx.top(), img.bottom() + 1);
    EXPECT_EQ(sx.left(), img.left());
    EXPECT_EQ(sx.width(), img.width());
    EXPECT_EQ(sy.left(), img.right() + 1);
    EXPECT_GE(sy.height(), img.height());
    EXPECT_GT(inPage(Find<QLabel>("LView_Status")).top(), sx.bottom());
    const QRect count = inPage(Find<QPushButton>("LView_CountEmeralds"));
    const QRect save = inPage(Find<QPushButton>("LView_SaveImage"));
    EXPECT_GT(count.left(), sy.right());
    EXPECT_LT(count.bottom(), save.top()) << "Count emeralds stands above Save Image";
    for (const QRect& r : {img, sx, sy, count, save}) EXPECT_TRUE(View()->rect().contains(r)) << "clipped";
    for (QPushButton* b : {Find<QPushButton>("LView_CountEmeralds"), Find<QPushButton>("LView_SaveImage")})
        EXPECT_GE(b->width(), b->sizeHint().width()) << "caption cut: " << b->text().toStdString();
    EXPECT_EQ(SX()->orientation(), Qt::Horizontal);
    EXPECT_EQ(SY()->orientation(), Qt::Vertical);
    EXPECT_EQ(SX()->singleStep(), 1);
    EXPECT_EQ(SY()->singleStep(), 1);
    EXPECT_EQ(SX()->pageStep(), 30);
    EXPECT_EQ(SY()->pageStep(), 32);
    EXPECT_EQ(Find<QPushButton>("LView_CountEmeralds")->text(), "Count emeralds");
    EXPECT_EQ(Find<QPushButton>("LView_SaveImage")->text(), "Save Image");
    QStringList items;
    for (QAction* a : View()->PopupMenu()->actions()) items << a->text();
    EXPECT_EQ(items, QStringList({"Cut", "Copy", "Copy as Level Sketch", "Paste", "Delete"}));
    EXPECT_EQ(View()->PopupMenu()->objectName(), "LView_ImgPop");
}

// --- drawing and scrolling ---

TEST_F(LevelViewTest, ScrolledFiveAndThreeTheTopLeftCellShowsMapCellSixFour)
{
    DirectLoad(WriteSpreadLevel("a.level", 60, 50));
    SX()->setValue(5);
    SY()->setValue(3);
    const QImage shown = Shown();
    EXPECT_TRUE(HoldsCode(shown, {0, 0}, SpreadCode(6, 4)));
    EXPECT_FALSE(HoldsCode(shown, {0, 0}, SpreadCode(1, 1)));
    ExpectViewShowsMap(shown, 40, 30);
}

TEST_F(LevelViewTest, ScrollBarsMoveByOneCellAndByTheirLargeChanges)
{
    DirectLoad(WriteSpreadLevel("a.level", 100, 100));
    SX()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(SX()->value(), 1);
    SX()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(SX()->value(), 31);
    SY()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(SY()->value(), 32);
    SY()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(SY()->value(), 64);
    SY()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(SY()->value(), 70) << "held at the maximum, 100 - 30";
    ExpectViewShowsMap(Shown(), 40, 30);
    EXPECT_TRUE(HoldsCode(Shown(), {39 * 16, 29 * 16}, SpreadCode(71, 100)));
}

TEST_F(LevelViewTest, WithPaintLevelsClearedALoadLeavesTheViewWhiteUntilAScroll)
{
    Find<QCheckBox>("Option_PaintLevel")->setChecked(false);
    DirectLoad(WriteSpreadLevel("a.level", 60, 50));
    QImage white(Img()->size(), QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(Shown(), white);
    SX()->setValue(1);
    ExpectViewShowsMap(Shown(), 40, 30);
}

TEST_F(LevelViewTest, CodesWithoutAPictureShowTheNoPictureTile)
{
    DirectLoad(WriteLevel("a.level", 4, 1, true, [](int x, int) -> std::uint16_t {
        const std::uint16_t codes[] = {623, 624, 999, 65535};
        return codes[x - 1];
    }));
    const QImage shown = Shown();
    EXPECT_TRUE(HoldsCode(shown, {0, 0}, 623));
    for (int x : {16, 32, 48}) EXPECT_TRUE(HoldsTile(shown, {x, 0}, NoPictureTile())) << x;
    EXPECT_FALSE(HoldsTile(shown, {0, 0}, NoPictureTile()));
}

TEST_F(LevelViewTest, DrawMapCellDrawsOneCellWhereTheViewShowsIt)
{
    DirectLoad(WriteSpreadLevel("a.level", 60, 50));
    SX()->setValue(5);
    SY()->setValue(3);
    const QImage before = Shown();
    main->Level().Grid().Set(8, 5, 80);  // view cell (3, 2)
    View()->DrawMapCell(8, 5);
    QImage want = before;
    QPainter(&want).drawImage(32, 16, BuiltInAtlasQt().Tile(80));
    EXPECT_EQ(Shown(), want);
}

// --- Count emeralds ---

TEST_F(LevelViewTest, CountEmeraldsShowsTheWeightedTotal)
{
    DirectLoad(WriteLevel("a.level", 10, 5, false, [](int x, int y) -> std::uint16_t {
        if (y == 1 && x <= 3) return 6;
        if (y == 2 && x <= 2) return 14;
        if (y == 3 && x == 1) return 9;
        return 2;
    }));
    QTest::mouseClick(Find<QPushButton>("LView_CountEmeralds"), Qt::LeftButton);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"16 emeralds on map"});
}

// --- Save Image ---

class SaveImage : public LevelViewTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(SaveImage, WritesTheWholeMapAsABitmapNextToTheLevel)
{
    const auto [width, height] = GetParam();
    const std::string path = WriteSpreadLevel("042.level", width, height);
    DirectLoad(path);
    SX()->setValue(SX()->maximum());  // what the view shows does not matter
    Drag(CellCenter(1, 1), CellCenter(2, 2));
    std::filesystem::path bmp = path + ".bmp";
    WriteLevel("042.level.bmp", 1, 1, false, [](int, int) { return 0; });  // an older file is replaced

    QTest::mouseClick(Find<QPushButton>("LView_SaveImage"), Qt::LeftButton);

    EXPECT_EQ(ui.messages, std::vector<std::string>{"The picture of the level was saved to " + bmp.string()});
    QImage saved;
    ASSERT_TRUE(saved.load(QString::fromStdString(bmp.string()), "BMP"));
    EXPECT_EQ(saved.size(), QSize(width * 16, height * 16));
    const auto header = ReadBytes(bmp);
    ASSERT_GE(header.size(), 30u);
    EXPECT_EQ(header[0], 'B');
    EXPECT_EQ(header[1], 'M');
    EXPECT_EQ(header[28], 24) << "24 bits a pixel";
    for (int x = 1; x <= width; ++x)
        for (int y = 1; y <= height; ++y)
            ASSERT_TRUE(HoldsCode(saved, {16 * (x - 1), 16 * (y - 1)}, SpreadCode(x, y))) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Maps, SaveImage, ::testing::Values(std::pair{20, 10}, std::pair{60, 50}, std::pair{128, 1}),
                         [](const auto& info) {
                             return std::to_string(info.param.first) + "x" + std::to_string(info.param.second);
                         });

TEST_F(LevelViewTest, SaveImageOfALevelWithoutMapCellsSaysSoAndWritesNothing)
{
    const std::string path = WriteSpreadLevel("a.level", 0, 0);
    DirectLoad(path);
    ASSERT_TRUE(main->Level().LevelOpen());
    QTest::mouseClick(Find<QPushButton>("LView_SaveImage"), Qt::LeftButton);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"The level has no map to draw."});
    EXPECT_FALSE(std::filesystem::exists(path + ".bmp"));
}

TEST_F(LevelViewTest, SaveImageIntoAFolderWithoutWriteAccessShowsTheError)
{
    const std::string path = WriteSpreadLevel("a.level", 5, 5);
    DirectLoad(path);
    std::filesystem::create_directory(path + ".bmp");  // a folder stands where the picture would go
    QTest::mouseClick(Find<QPushButton>("LView_SaveImage"), Qt::LeftButton);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"The file " + path +
                                                    ".bmp could not be written (replacing the file: Is a directory); "
                                                    "nothing was changed."});
}

// vantrel-cli render draws with the same code: its bitmap is Save Image's, byte for byte.
TEST_F(LevelViewTest, RenderOnTheCommandLineWritesWhatSaveImageWrites)
{
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/../vantrel-cli");
    if (!QFileInfo::exists(cli)) GTEST_SKIP() << "vantrel-cli is not built beside the tests";
    const std::string path = WriteSpreadLevel("a.level", 45, 33);
    DirectLoad(path);
    QTest::mouseClick(Find<QPushButton>("LView_SaveImage"), Qt::LeftButton);
    main->File_SaveLevelClick();
    for (const char* name : {"render.bmp", "render.png"}) {
        const std::string out = (dir.Path() / name).string();
        QProcess render;
        render.start(cli, {QStringLiteral("render"), QString::fromStdString(path), QString::fromStdString(out)});
        ASSERT_TRUE(render.waitForFinished(30000));
        ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
        QImage picture;
        ASSERT_TRUE(picture.load(QString::fromStdString(out)));
        ASSERT_EQ(picture.size(), QSize(45 * 16, 33 * 16));
        for (int x = 1; x <= 45; ++x)
            for (int y = 1; y <= 33; ++y)
                ASSERT_TRUE(HoldsCode(picture, {16 * (x - 1), 16 * (y - 1)}, SpreadCode(x, y))) << x << "," << y;
    }
    EXPECT_EQ(ReadBytes(dir.Path() / "render.bmp"), ReadBytes(path + ".bmp"));
}

// --- selection with the mouse ---

struct DragCase {
    const char* name;
    int width, height;  // the map
    int scrollX;
    QPoint from, to;  // view pixels
    PackedCell start, end;
    std::optional<PixelPoint> frameStart, frameEnd;
};

void PrintTo(const DragCase& c, std::ostream* os) { *os << c.name; }

class DragSelects : public LevelViewTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(DragSelects, TheCellsBetweenPressAndRelease)
{
    const DragCase& c = GetParam();
    ShowLevelView();
    DirectLoad(WriteSpreadLevel("a.level", c.width, c.height));
    SX()->setValue(c.scrollX);
    Drag(c.from, c.to);
    EXPECT_EQ(View()->Selection().SelectionStart, c.start);
    EXPECT_EQ(View()->Selection().SelectionEnd, c.end);
    if (c.frameStart) {
        EXPECT_EQ(View()->Selection().FrameStart, *c.frameStart);
    }
    if (c.frameEnd) {
        EXPECT_EQ(View()->Selection().FrameEnd, *c.frameEnd);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Drags, DragSelects,
    ::testing::Values(
        // A click selects the cell under the pointer, scrolled.
        DragCase{"click", 60, 50, 10, {40, 24}, {40, 24}, PackCell(13, 2), PackCell(13, 2), {}, {}},
        // Up and left: the corners are ordered, the frame runs from the press's cell to the release's.
        DragCase{"up and left", 60, 50, 0, {72, 72}, {24, 40}, PackCell(2, 3), PackCell(5, 5), PixelPoint{80, 80},
                 PixelPoint{16, 32}},
        // Past the view's edge: the map's last cell.
        DragCase{"past the edge", 20, 10, 0, {280, 136}, {900, 700}, PackCell(18, 9), PackCell(20, 10), {}, {}}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == ' ') ch = '_';
        return name;
    });

TEST_F(LevelViewTest, AClickFramesTheCellAndTheNextPressWipesTheFrame)
{
    ShowLevelView();
    DirectLoad(WriteSpreadLevel("a.level", 60, 50));
    SX()->setValue(10);
    const QImage before = Shown();
    Drag(CellCenter(3, 2), CellCenter(3, 2));

    // The dotted frame paints the cell's border black and white in turn; nothing else changes.
    const QImage after = Shown();
    const QRect frame(32, 16, 16, 16);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const bool onBorder = frame.contains(x, y) &&
                                  (x == frame.left() || x == frame.right() || y == frame.top() || y == frame.bottom());
            const QRgb want = !onBorder ? before.pixel(x, y) : (x + y) % 2 == 0 ? kFrameDark : kFrameLight;
            ASSERT_EQ(after.pixel(x, y), want) << x << "," << y;
        }
    }
    // The next press redraws the view, which wipes the frame.
    QTest::mousePress(Img(), Qt::LeftButton, {}, CellCenter(20, 20));
    EXPECT_EQ(Shown(), before);
    QTest::mouseRelease(Img(), Qt::LeftButton, {}, CellCenter(20, 20));
}

TEST_F(LevelViewTest, TheRightButtonOpensThePopupAndSelectsNothing)
{
    ShowLevelView();
    DirectLoad(WriteSpreadLevel("a.level", 20, 10));
    Drag(CellCenter(2, 2), CellCenter(3, 3));
    // The right button's press and release, then the context menu request the platform makes of them.
    QTest::mouseClick(Img(), Qt::RightButton, {}, CellCenter(9, 9));
    QContextMenuEvent request(QContextMenuEvent::Mouse, CellCenter(9, 9), Img()->mapToGlobal(CellCenter(9, 9)));
    QApplication::sendEvent(Img(), &request);
    EXPECT_TRUE(View()->PopupMenu()->isVisible());
    View()->PopupMenu()->hide();
    EXPECT_EQ(View()->Selection().SelectionStart, PackCell(2, 2));
    EXPECT_EQ(View()->Selection().SelectionEnd, PackCell(3, 3));
}

// --- the popup menu's commands ---

TEST_F(LevelViewTest, CopyAndPasteWriteTheBlockIntoTheFile)
{
    ShowLevelView();
    const std::string path = WriteSpreadLevel("a.level", 20, 10);
    DirectLoad(path);
    Drag(CellCenter(1, 1), CellCenter(3, 2));  // 3 x 2
    Popup("ImgPop_Copy");
    Drag(CellCenter(10, 5), CellCenter(11, 6));  // 2 x 2: the block's top-left part
    Popup("ImgPop_Paste");
    EXPECT_EQ(DiskCell(path, 20, true, 10, 5), SpreadCode(1, 1));
    EXPECT_EQ(DiskCell(path, 20, true, 11, 5), SpreadCode(2, 1));
    EXPECT_EQ(DiskCell(path, 20, true, 10, 6), SpreadCode(1, 2));
    EXPECT_EQ(DiskCell(path, 20, true, 11, 6), SpreadCode(2, 2));
    EXPECT_EQ(DiskCell(path, 20, true, 12, 5), SpreadCode(12, 5));
    EXPECT_TRUE(HoldsCode(Shown(), {9 * 16, 4 * 16}, SpreadCode(1, 1))) << "the view is redrawn";

    const auto pasted = ReadBytes(path);
    Drag(CellCenter(15, 8), CellCenter(18, 9));  // 4 x 2: wider than the block, nothing pasted, nothing written
    Popup("ImgPop_Paste");
    EXPECT_EQ(ReadBytes(path), pasted);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].substr(0, 54), "The selection is 4 x 2 cells, the copied block 3 x 2: ");
}

TEST_F(LevelViewTest, DeleteAndCutWriteEmptySpace)
{
    ShowLevelView();
    const std::string path = WriteLevel("a.level", 8, 4, false, [](int x, int y) { return (y - 1) * 8 + x; });
    DirectLoad(path);
    Drag(CellCenter(2, 2), CellCenter(3, 3));
    Popup("ImgPop_Delete");
    auto bytes = ReadBytes(path);
    const std::vector<std::uint8_t> body(bytes.begin() + 196, bytes.end());
    std::vector<std::uint8_t> want;
    for (int i = 1; i <= 32; ++i) want.push_back(static_cast<std::uint8_t>(i));
    for (int at : {9, 10, 17, 18}) want[static_cast<std::size_t>(at)] = 0;
    EXPECT_EQ(body, want);
    EXPECT_TRUE(HoldsCode(Shown(), {16, 16}, 0));

    Drag(CellCenter(8, 4), CellCenter(8, 4));
    Popup("ImgPop_Cut");
    EXPECT_EQ(DiskCell(path, 8, false, 8, 4), 0);
    Drag(CellCenter(1, 1), CellCenter(1, 1));
    Popup("ImgPop_Paste");
    EXPECT_EQ(DiskCell(path, 8, false, 1, 1), 32) << "Cut kept the cell in the clipboard";
}

TEST_F(LevelViewTest, KeysRunTheSelectionCommandsAndTheWheelScrolls)
{
    ShowLevelView();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    const std::string path = WriteSpreadLevel("a.level", 100, 60);
    DirectLoad(path);
    Drag(CellCenter(1, 1), CellCenter(2, 1));
    QTest::keyClick(Img(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(main->Document().Doc().Clipboard().ClipSize, PackCell(2, 1)) << "Ctrl+C copies";
    Drag(CellCenter(5, 5), CellCenter(6, 5));
    QTest::keyClick(Img(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(DiskCell(path, 100, true, 5, 5), SpreadCode(1, 1)) << "Ctrl+V pastes";
    EXPECT_EQ(DiskCell(path, 100, true, 6, 5), SpreadCode(2, 1));
    Drag(CellCenter(8, 8), CellCenter(8, 8));
    QTest::keyClick(Img(), Qt::Key_Delete);
    EXPECT_EQ(DiskCell(path, 100, true, 8, 8), 0) << "Delete empties";
    Drag(CellCenter(9, 9), CellCenter(9, 9));
    QTest::keyClick(Img(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(DiskCell(path, 100, true, 9, 9), 0) << "Ctrl+X cuts";
    EXPECT_EQ(main->Document().Doc().Clipboard().ClipBuffer, (std::vector<std::vector<std::uint16_t>>{{SpreadCode(9, 9)}}));

    // One notch down scrolls down by the desktop's wheel lines; with Shift, sideways.
    const int lines = QApplication::wheelScrollLines();
    auto wheel = [this](int delta, Qt::KeyboardModifiers modifiers) {
        QWheelEvent e(QPointF(50, 50), Img()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Img(), &e);
    };
    wheel(-120, Qt::NoModifier);
    EXPECT_EQ(SY()->value(), lines);
    EXPECT_EQ(SX()->value(), 0);
    wheel(-120, Qt::ShiftModifier);
    EXPECT_EQ(SX()->value(), lines);
    wheel(120, Qt::NoModifier);
    EXPECT_EQ(SY()->value(), 0);
    EXPECT_TRUE(HoldsCode(Shown(), {0, 0}, SpreadCode(1 + lines, 1))) << "the view follows the scroll";
}

TEST_F(LevelViewTest, TheClipboardIsCarriedIntoTheNextLevel)
{
    ShowLevelView();
    DirectLoad(WriteSpreadLevel("a.level", 20, 10));
    Drag(CellCenter(4, 4), CellCenter(5, 4));
    Popup("ImgPop_Copy");
    const std::string second = WriteLevel("b.level", 6, 6, true, [](int, int) { return 2; });
    DirectLoad(second);
    Drag(CellCenter(1, 6), CellCenter(2, 6));
    Popup("ImgPop_Paste");
    EXPECT_EQ(DiskCell(second, 6, true, 1, 6), SpreadCode(4, 4));
    EXPECT_EQ(DiskCell(second, 6, true, 2, 6), SpreadCode(5, 4));
    EXPECT_EQ(DiskCell(second, 6, true, 3, 6), 2);
}

TEST_F(LevelViewTest, PastingCodesAbove255IntoAOneByteLevelSkipsThemAndSaysSo)
{
    ShowLevelView();
    DirectLoad(WriteLevel("a.level", 3, 1, true, [](int x, int) -> std::uint16_t { return x == 2 ? 300 : 6; }));
    Drag(CellCenter(1, 1), CellCenter(3, 1));
    Popup("ImgPop_Copy");
    const std::string second = WriteLevel("b.level", 3, 1, false, [](int, int) { return 2; });
    DirectLoad(second);
    Drag(CellCenter(1, 1), CellCenter(3, 1));
    Popup("ImgPop_Paste");
    EXPECT_EQ(ReadBytes(second).back(), 6);
    EXPECT_EQ(DiskCell(second, 3, false, 1, 1), 6);
    EXPECT_EQ(DiskCell(second, 3, false, 2, 1), 2) << "300 would have reached the file as 44";
    EXPECT_EQ(main->Level().Grid().At(2, 1), 2);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"1 cell was not pasted: this level stores one byte per cell, "
                                                    "which cannot hold element codes of 256 and above."});
}

TEST_F(LevelViewTest, CopyAsLevelSketchFillsTheQuoteMemo)
{
    ShowLevelView();
    DirectLoad(WriteLevel("a.level", 3, 3, true, [](int x, int y) -> std::uint16_t {
        const std::uint16_t codes[3][3] = {{1, 500, 630}, {700, 0, 6}, {2, 2, 2}};
        return codes[y - 1][x - 1];
    }));
    auto* memo = Find<QPlainTextEdit>("Info_QuotePost");
    memo->setPlainText("an older post");
    Drag(CellCenter(1, 1), CellCenter(3, 2));
    Popup("ImgPop_CopyLS");
    EXPECT_EQ(memo->toPlainText(), "`001`360`624\n`700`000`006");
    EXPECT_EQ(main->Book()->currentIndex(), kLevelViewPage) << "the page shown does not change";
    EXPECT_EQ(main->Document().Doc().Clipboard().ClipSize, PackCell(3, 2));
}

TEST_F(LevelViewTest, PopupCommandsChangeNothingBeforeASelectionOrWithNoLevelOpen)
{
    ShowLevelView();
    const std::string path = WriteSpreadLevel("a.level", 20, 10);
    DirectLoad(path);
    const auto bytes = ReadBytes(path);
    auto* memo = Find<QPlainTextEdit>("Info_QuotePost");
    memo->setPlainText("kept");
    for (const char* item : {"ImgPop_Copy", "ImgPop_CopyLS", "ImgPop_Paste", "ImgPop_Delete", "ImgPop_Cut"})
        Popup(item);
    EXPECT_EQ(main->Document().Doc().Clipboard().ClipSize, 0);
    EXPECT_EQ(memo->toPlainText(), "kept");

    Drag(CellCenter(1, 1), CellCenter(2, 2));
    main->File_SaveLevelClick();
    memo->setPlainText("kept");
    for (const char* item : {"ImgPop_Copy", "ImgPop_CopyLS", "ImgPop_Paste", "ImgPop_Delete", "ImgPop_Cut"})
        Popup(item);
    EXPECT_EQ(main->Document().Doc().Clipboard().ClipSize, 0);
    EXPECT_EQ(memo->toPlainText(), "kept");
    EXPECT_EQ(ReadBytes(path), bytes);
    EXPECT_TRUE(ui.messages.empty());
}

// --- painting, the status line, zoom ---

TEST_F(LevelViewTest, AStrokeOfPaintWritesExactlyTheCellsUnderItsPathAndTheRightButtonPicks)
{
    ShowLevelView();
    const std::string path = WriteSpreadLevel("a.level", 20, 10);
    DirectLoad(path);
    main->Document().SelectElement(6);
    QTest::mouseClick(Find<QToolButton>("LView_Paint"), Qt::LeftButton);
    ASSERT_TRUE(View()->PaintMode());
    // From (2, 2) right to (5, 2), down to (5, 4), then on a slant to (7, 6).
    QTest::mousePress(Img(), Qt::LeftButton, {}, CellCenter(2, 2));
    for (const QPoint to : {CellCenter(5, 2), CellCenter(5, 4), CellCenter(7, 6)}) {
        QMouseEvent move(QEvent::MouseMove, to, Img()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Img(), &move);
    }
    QTest::mouseRelease(Img(), Qt::LeftButton, {}, CellCenter(7, 6));
    std::vector<std::uint8_t> want = ReadBytes(path + ".bak");
    for (const auto& [x, y] : {std::pair{2, 2}, {3, 2}, {4, 2}, {5, 2}, {5, 3}, {5, 4}, {6, 5}, {7, 6}}) {
        const std::size_t at = 196 + 2 * static_cast<std::size_t>((y - 1) * 20 + x - 1);
        want[at] = 0;
        want[at + 1] = 6;
    }
    EXPECT_EQ(ReadBytes(path), want);
    ASSERT_EQ(main->Level().Steps().size(), 1u) << "one stroke, one step";
    EXPECT_EQ(main->Level().Steps().front().Edits.size(), 8u);
    EXPECT_TRUE(HoldsCode(Shown(), {16 * 5, 16 * 4}, 6)) << "the view shows what was written";

    QTest::mouseClick(Img(), Qt::RightButton, {}, CellCenter(9, 3));
    EXPECT_EQ(main->Document().SelectedElement(), SpreadCode(9, 3)) << "the eyedropper";
    EXPECT_FALSE(View()->PopupMenu()->isVisible());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LevelViewTest, PaintingACodeAOneByteLevelCannotHoldIsRefused)
{
    ShowLevelView();
    const std::string path = WriteLevel("a.level", 8, 4, false, [](int, int) { return 2; });
    DirectLoad(path);
    main->Document().SelectElement(360);
    View()->SetPaintMode(true);
    Drag(CellCenter(1, 1), CellCenter(4, 1));
    EXPECT_EQ(ReadBytes(path), ReadBytes(path + ".bak"));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"This level keeps one byte a cell, so it cannot hold element "
                                                    "0x0168 Custom element 1 (only codes up to 0x00FF): nothing "
                                                    "was painted."});
    EXPECT_TRUE(HoldsCode(Shown(), {0, 0}, 2));
}

TEST_F(LevelViewTest, TheStatusLineNamesTheCellUnderThePointerAndTheSelectionsSize)
{
    ShowLevelView();
    DirectLoad(WriteLevel("a.level", 20, 10, true, [](int x, int y) -> std::uint16_t { return x == 12 && y == 7 ? 360 : 1; }));
    QTest::mouseMove(Img(), CellCenter(12, 7));
    EXPECT_EQ(View()->StatusText(), "x 12, y 7: 0x0168 Custom element 1");
    QTest::mousePress(Img(), Qt::LeftButton, {}, CellCenter(10, 6));
    QMouseEvent move(QEvent::MouseMove, CellCenter(12, 7), Img()->mapToGlobal(CellCenter(12, 7)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Img(), &move);
    EXPECT_EQ(View()->StatusText(), "x 12, y 7: 0x0168 Custom element 1; selection 3 x 2");
    QTest::mouseRelease(Img(), Qt::LeftButton, {}, CellCenter(12, 7));
}

TEST_F(LevelViewTest, ZoomKeepsTheCellUnderThePointerInPlace)
{
    ShowLevelView();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    DirectLoad(WriteSpreadLevel("a.level", 100, 100));
    SX()->setValue(10);
    SY()->setValue(10);
    const QPoint pointer(200, 150);  // view cell (13, 10): map cell (23, 20)
    auto ctrlWheel = [this, pointer](int delta) {
        QWheelEvent e(pointer, Img()->mapToGlobal(QPointF(pointer)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Img(), &e);
    };
    ctrlWheel(120);
    EXPECT_EQ(View()->CellSize(), 32);
    EXPECT_EQ(Find<QLabel>("LView_Zoom")->text(), "200%");
    // Pixel (200, 150) lies in view cell (7, 5) at 32 pixels a cell.
    const QImage big = TileImage(SizedAtlas(BuiltInAtlas(), 32), SpreadCode(23, 20));
    EXPECT_EQ(Shown().copy(6 * 32, 4 * 32, 32, 32), big);
    EXPECT_EQ(SX()->value(), 16);
    EXPECT_EQ(SY()->value(), 15);
    Img()->setFocus();
    QTest::keyClick(Img(), Qt::Key_Minus, Qt::ControlModifier);  // the pointer is still over (200, 150)
    EXPECT_EQ(View()->CellSize(), 16);
    EXPECT_TRUE(HoldsCode(Shown(), {12 * 16, 9 * 16}, SpreadCode(23, 20)));
    QTest::mouseClick(Find<QToolButton>("LView_ZoomFit"), Qt::LeftButton);
    EXPECT_EQ(SX()->maximum(), 0);
    EXPECT_EQ(SY()->maximum(), 0) << "the whole map is shown";
    EXPECT_LE(Img()->width(), Find<QWidget>("LView_Area")->width());
}

TEST_F(LevelViewTest, PaintingACodeThatNamesNoElementIsRefused)
{
    ShowLevelView();
    const std::string path = WriteLevel("a.level", 6, 3, true, [](int x, int y) -> std::uint16_t {
        return x == 6 && y == 3 ? 0x1234 : 1;
    });
    DirectLoad(path);
    View()->SetPaintMode(true);
    QTest::mouseClick(Img(), Qt::RightButton, {}, CellCenter(6, 3));  // the eyedropper picks what the map holds
    ASSERT_EQ(main->Document().SelectedElement(), 0x1234);
    Drag(CellCenter(1, 1), CellCenter(3, 1));
    EXPECT_EQ(ReadBytes(path), ReadBytes(path + ".bak"));
    EXPECT_TRUE(main->Level().Steps().empty());
    EXPECT_EQ(ui.messages, std::vector<std::string>{"The code 0x1234 (4660) names no element of the game: nothing "
                                                    "was painted. Pick an element in Tool > Element View."});
}

TEST_F(LevelViewTest, APasteThatDoesNotFitWritesNothingAndAOneCellClickPastesTheWholeBlock)
{
    ShowLevelView();
    const std::string path = WriteSpreadLevel("a.level", 20, 10);
    DirectLoad(path);
    Drag(CellCenter(1, 1), CellCenter(3, 2));  // 3 x 2
    Popup("ImgPop_Copy");
    Drag(CellCenter(10, 5), CellCenter(14, 7));  // 5 x 3: larger than the block
    Popup("ImgPop_Paste");
    EXPECT_EQ(ReadBytes(path), ReadBytes(path + ".bak"));
    EXPECT_FALSE(Find<QAction>("Edit_Undo")->isEnabled()) << "nothing to undo";
    EXPECT_EQ(ui.errors, std::vector<std::string>{
                             "The selection is 5 x 3 cells, the copied block 3 x 2: a paste fills the selection from "
                             "the block's top-left corner, so the selection may not be wider or higher than the "
                             "block. Click one cell to paste the whole block there. Nothing was pasted."});

    Drag(CellCenter(19, 9), CellCenter(19, 9));  // one cell, two from the map's right and bottom edges
    Popup("ImgPop_Paste");
    for (int y = 9; y <= 10; ++y)
        for (int x = 19; x <= 20; ++x) EXPECT_EQ(DiskCell(path, 20, true, x, y), SpreadCode(x - 18, y - 8)) << x << "," << y;
    EXPECT_EQ(DiskCell(path, 20, true, 18, 9), SpreadCode(18, 9));
    EXPECT_EQ(View()->StatusText(), "pasted 2 x 2 cells at x 19, y 9");
    EXPECT_EQ(Find<QAction>("Edit_Undo")->text(), "&Undo Paste 2 x 2 cells");
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(LevelViewTest, WhileADragSelectsPastTheViewTheStatusLineKeepsTheSelectionsSize)
{
    ShowLevelView();
    DirectLoad(WriteSpreadLevel("a.level", 20, 10));  // a view of 320 x 160 pixels
    QTest::mousePress(Img(), Qt::LeftButton, {}, CellCenter(10, 6));
    struct Case {
        QPoint at;
        const char* status;
    };
    const Case cases[] = {
        {{-40, 400}, "selection 10 x 5"},
        {{900, -3}, "selection 11 x 6"},
        {CellCenter(12, 7), "x 12, y 7: 0x012E Sign (wheel chair); selection 3 x 2"},
    };
    for (const Case& c : cases) {
        QMouseEvent move(QEvent::MouseMove, c.at, Img()->mapToGlobal(c.at), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(Img(), &move);
        EXPECT_EQ(View()->StatusText(), c.status);
    }
    QTest::mouseRelease(Img(), Qt::LeftButton, {}, QPoint(-40, 400));
    EXPECT_EQ(View()->Selection().SelectionStart, PackCell(1, 6));
    EXPECT_EQ(View()->Selection().SelectionEnd, PackCell(10, 10));
    EXPECT_EQ(View()->StatusText(), "") << "the drag is over, the pointer is off the view";
}

TEST_F(LevelViewTest, ThePaintButtonIsPlainlyPressedWhenOn)
{
    ShowLevelView();
    auto* paint = Find<QToolButton>("LView_Paint");
    const QColor highlight = paint->palette().color(QPalette::Highlight);
    auto background = [paint] {
        const QImage look = paint->grab().toImage();
        return look.pixelColor(look.width() - 5, look.height() / 2);
    };
    EXPECT_NE(background(), highlight);
    paint->click();
    ASSERT_TRUE(View()->PaintMode());
    EXPECT_EQ(background(), highlight);
    paint->click();
    EXPECT_NE(background(), highlight);
}

// A level opens fitted to the view, up to 300 %; the zoom chosen for one
// level does not carry over to the next; an undo keeps the zoom.
TEST_F(LevelViewTest, EachLevelOpensFittedToTheView)
{
    ShowLevelView();
    const QSize area = Find<QWidget>("LView_Area")->size();
    struct Case {
        int width, height;
        int cellSize;
    };
    const Case cases[] = {
        {15, 15, std::min({area.width() / 15, area.height() / 15, 48})},
        {3, 2, 48},
        {128, 128, std::max(std::min(area.width(), area.height()) / 128, 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        GuiTest::DirectLoad(WriteSpreadLevel("a.level", c.width, c.height));
        EXPECT_EQ(View()->CellSize(), c.cellSize);
        EXPECT_EQ(Find<QLabel>("LView_Zoom")->text(), QStringLiteral("%1%").arg(c.cellSize * 100 / 16));
        EXPECT_EQ(SX()->maximum(), 0);
        EXPECT_EQ(SY()->maximum(), 0) << "the whole map is shown";
        EXPECT_EQ(Img()->size(), QSize(c.width * c.cellSize, c.height * c.cellSize));
        QTest::mouseClick(Find<QToolButton>("LView_ZoomOut"), Qt::LeftButton);
    }
    // Undone, the same level keeps the zoom it is shown at.
    const std::string path = WriteSpreadLevel("b.level", 15, 15);
    GuiTest::DirectLoad(path);
    QTest::mouseClick(Find<QToolButton>("LView_ZoomOut"), Qt::LeftButton);
    const int zoomed = View()->CellSize();
    Drag(QPoint(2, 2), QPoint(2, 2));
    Popup("ImgPop_Delete");
    Find<QAction>("Edit_Undo")->trigger();
    EXPECT_EQ(View()->CellSize(), zoomed);
}

TEST_F(LevelViewTest, ALevelOpenedWhileTheViewIsHiddenIsFittedWhenItIsShown)
{
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    main->Book()->setCurrentIndex(kFileInfoPage);
    GuiTest::DirectLoad(WriteSpreadLevel("a.level", 15, 15));
    main->Book()->setCurrentIndex(kLevelViewPage);
    QCoreApplication::processEvents();
    const QSize area = Find<QWidget>("LView_Area")->size();
    EXPECT_EQ(View()->CellSize(), std::min({area.width() / 15, area.height() / 15, 48}));
    EXPECT_EQ(Img()->size(), QSize(15 * View()->CellSize(), 15 * View()->CellSize()));
}

}  // namespace
}  // namespace vantrel::test
