// The element atlas as the program loads it: tiles cut once where
// ElementTileRect puts them, the no-picture tile for codes without one, and
// the drawing of map cells with its clipping; the dotted frame.
#include "gui/TileCompare.h"
#include "base/Error.h"
#include "gui/view/AtlasQt.h"
#include "view/Tiles.h"

#include <gtest/gtest.h>

namespace vantrel::test {
namespace {

QImage AtlasPiece(std::uint16_t code)
{
    const PixelRect r = *ElementTileRect(code);
    return BuiltInAtlasQt().Atlas().copy(r.left, r.top, 16, 16);
}

TEST(BuiltInAtlasQt, IsLoadedOnceAtItsSize)
{
    const AtlasQt& sheet = BuiltInAtlasQt();
    EXPECT_EQ(&sheet, &BuiltInAtlasQt());
    EXPECT_EQ(sheet.Atlas().size(), QSize(256, 368));
    // The core decodes the compiled-in bytes with libpng; Qt's own reader of the file sees the same pixels.
    const QString file = QStringLiteral(VANTREL_RESOURCES_DIR "/atlas.png");
    QImage fromFile(file);
    ASSERT_FALSE(fromFile.isNull()) << file.toStdString();
    EXPECT_EQ(sheet.Atlas(), fromFile.convertToFormat(QImage::Format_RGB32));
}

TEST(BuiltInAtlasQt, EveryCodeWithATileIsCutFromItsPlace)
{
    for (int code = 0; code < 624; ++code)
        ASSERT_EQ(BuiltInAtlasQt().Tile(static_cast<std::uint16_t>(code)), AtlasPiece(static_cast<std::uint16_t>(code)))
            << code;
    EXPECT_EQ(BuiltInAtlasQt().Tile(0), BuiltInAtlasQt().Tile(210)) << "empty space shares its tile";
    EXPECT_EQ(BuiltInAtlasQt().Tile(360), BuiltInAtlasQt().Tile(615)) << "one tile for every custom element";
    EXPECT_NE(BuiltInAtlasQt().Tile(1), BuiltInAtlasQt().Tile(2));
}

TEST(BuiltInAtlasQt, CodesWithoutATileGetTheNoPictureTile)
{
    const QImage none = NoPictureTile();
    EXPECT_EQ(none.size(), QSize(16, 16));
    for (int code : {624, 655, 656, 999, 4660, 65535})
        EXPECT_EQ(BuiltInAtlasQt().Tile(static_cast<std::uint16_t>(code)), none) << code;
    // It is no picture of the atlas.
    for (int code = 0; code < 624; ++code)
        ASSERT_NE(BuiltInAtlasQt().Tile(static_cast<std::uint16_t>(code)), none) << code;
}

TEST(AtlasQt, RefusesAPictureOfAnotherSize)
{
    for (const QSize size : {QSize(255, 368), QSize(256, 352), QSize(0, 0)}) {
        QImage wrong(size, QImage::Format_RGB32);
        EXPECT_THROW(AtlasQt{wrong}, VantrelError) << size.width() << "x" << size.height();
    }
}

TEST(DrawMapCells, DrawsEachCellAtItsPlace)
{
    CellGrid grid(kMaxMapSize, kMaxMapSize);
    grid.Set(3, 5, 6);
    grid.Set(4, 5, 700);
    grid.Set(3, 6, 80);
    QImage picture(48, 48, QImage::Format_RGB32);
    picture.fill(Qt::white);
    DrawMapCells(picture, {16, 0}, PlainAtlas(), grid, 3, 5, 2, 2);
    EXPECT_TRUE(HoldsCode(picture, {16, 0}, 6));
    EXPECT_TRUE(HoldsTile(picture, {32, 0}, NoPictureTile()));
    EXPECT_TRUE(HoldsCode(picture, {16, 16}, 80));
    EXPECT_TRUE(HoldsCode(picture, {32, 16}, 0));
    for (int y = 0; y < 48; ++y) ASSERT_EQ(picture.pixel(0, y), qRgb(255, 255, 255)) << "left of the origin";
    for (int x = 0; x < 48; ++x) ASSERT_EQ(picture.pixel(x, 40), qRgb(255, 255, 255)) << "below the cells";
}

TEST(DrawMapCells, CutsTilesAtThePicturesEdgeAndSkipsCellsOutsideTheGrid)
{
    CellGrid grid(kMaxMapSize, kMaxMapSize);
    for (int y = 1; y <= kMaxMapSize; ++y)
        for (int x = 1; x <= kMaxMapSize; ++x) grid.Set(x, y, 6);
    QImage picture(24, 24, QImage::Format_RGB32);
    picture.fill(Qt::white);
    // Origin above and left of the picture: only the bottom-right quarter of the first tile shows.
    DrawMapCells(picture, {-8, -8}, PlainAtlas(), grid, 1, 1, 2, 2);
    const QImage tile = BuiltInAtlasQt().Tile(6);
    EXPECT_EQ(picture.pixel(0, 0), tile.pixel(8, 8));
    EXPECT_EQ(picture.pixel(23, 23), tile.pixel(15, 15));
    EXPECT_EQ(picture.pixel(8, 8), tile.pixel(0, 0));

    QImage untouched(32, 16, QImage::Format_RGB32);
    untouched.fill(Qt::white);
    const QImage white = untouched;
    DrawMapCells(untouched, {0, 0}, PlainAtlas(), grid, 129, 1, 2, 1);  // past the grid's last column
    DrawMapCells(untouched, {0, 0}, PlainAtlas(), grid, -1, 1, 2, 1);   // before its first
    EXPECT_EQ(untouched, white);

    QImage other(16, 16, QImage::Format_Indexed8);  // another format is made 32-bit first
    DrawMapCells(other, {0, 0}, PlainAtlas(), grid, 1, 1, 1, 1);
    EXPECT_TRUE(HoldsCode(other, {0, 0}, 6));
}

TEST(DrawDottedFrame, BlackAndWhiteDotsInTurnShowOnEveryColour)
{
    for (const QRgb fill : {qRgb(10, 200, 30), qRgb(127, 127, 127), qRgb(0, 0, 0), qRgb(255, 255, 255)}) {
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(fill);
        const QImage before = picture;
        DrawDottedFrame(picture, {4, 6, 20, 22});
        EXPECT_EQ(picture.pixel(4, 6), qRgb(0, 0, 0));
        EXPECT_EQ(picture.pixel(5, 6), qRgb(255, 255, 255));
        EXPECT_EQ(picture.pixel(19, 21), qRgb(0, 0, 0)) << "right and bottom are exclusive";
        EXPECT_EQ(picture.pixel(20, 22), fill);
        EXPECT_EQ(picture.pixel(10, 12), fill) << "inside stays";
        // Partly or wholly outside the picture: only what lies inside is touched.
        QImage outside = before;
        DrawDottedFrame(outside, {-10, -10, 100, 100});
        DrawDottedFrame(outside, {50, 50, 60, 60});
        EXPECT_EQ(outside, before);
    }
}

}  // namespace
}  // namespace vantrel::test
