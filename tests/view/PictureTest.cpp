// The core's pictures: the exact bytes of a Windows bitmap, PNG written and
// read back through libpng, bytes that are no PNG, and the map drawn tile
// for tile from the compiled-in atlas.
#include "base/Error.h"
#include "view/Picture.h"
#include "view/TileAtlas.h"
#include "view/Tiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Picture, BitmapBytesAreBottomUpBgrRowsPaddedToFourBytes)
{
    Picture p(2, 2);
    p.Set(0, 0, 0xFF112233);
    p.Set(1, 0, 0xFF445566);
    p.Set(0, 1, 0xFF778899);
    p.Set(1, 1, 0xFFAABBCC);
    const Bytes want = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,               // file header: size 70, pixels at 54
        40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,  // 2 x 2, one plane, 24 bits, no compression
        16, 0, 0, 0, 0xC4, 0x0E, 0, 0, 0xC4, 0x0E, 0, 0,               // 16 bytes of pixels, 3780 dots a metre
        0, 0, 0, 0, 0, 0, 0, 0,                                        // no colour table
        0x99, 0x88, 0x77, 0xCC, 0xBB, 0xAA, 0, 0,                      // the bottom row first, padded
        0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0, 0,
    };
    EXPECT_EQ(EncodeBmp(p), want);
}

TEST(Picture, PngReadsBackAsTheSamePixels)
{
    Picture p(37, 5);
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) p.Set(x, y, 0xFF000000u | static_cast<Rgb>(x * 6151 + y * 977) % 0x1000000u);
    const Bytes png = EncodePng(p);
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(std::string(png.begin(), png.begin() + 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(DecodePng(png.data(), png.size()), p);
}

TEST(Picture, BytesThatAreNoPngAreRefused)
{
    const std::string cases[] = {"", "not a picture", std::string("\x89PNG\r\n\x1a\n", 8) + "cut short"};
    for (const std::string& c : cases) {
        EXPECT_THROW(DecodePng(reinterpret_cast<const std::uint8_t*>(c.data()), c.size()), VantrelError) << c;
    }
}

TEST(Picture, AnEmptyPictureIsNotWritten)
{
    EXPECT_THROW(EncodeBmp(Picture(0, 5)), VantrelError);
    EXPECT_THROW(EncodePng(Picture()), VantrelError);
}

TEST(TileAtlas, TheCompiledInAtlasHasItsSizeAndCutsTilesFromTheirPlaces)
{
    const TileAtlas& atlas = BuiltInAtlas();
    EXPECT_EQ(&atlas, &BuiltInAtlas());
    ASSERT_EQ(atlas.Sheet().Width(), kAtlasWidth);
    ASSERT_EQ(atlas.Sheet().Height(), kAtlasHeight);
    for (const std::uint16_t code : {0, 1, 359, 360, 615, 623}) {
        const PixelRect r = *ElementTileRect(code);
        for (int y = 0; y < kTileSize; ++y)
            for (int x = 0; x < kTileSize; ++x)
                ASSERT_EQ(atlas.TilePixels(code)[y * kTileSize + x], atlas.Sheet().At(r.left + x, r.top + y)) << code;
    }
    const Picture none = NoPicturePixels();
    for (const std::uint16_t code : {624, 65535})
        EXPECT_EQ(std::vector<Rgb>(atlas.TilePixels(code), atlas.TilePixels(code) + 256),
                  std::vector<Rgb>(none.Line(0), none.Line(0) + 256));
}

TEST(TileAtlas, DrawingClipsAtThePicturesEdgesAndSkipsCellsOffTheGrid)
{
    CellGrid grid(3, 1);
    grid.Set(1, 1, 1);
    grid.Set(2, 1, 2);
    grid.Set(3, 1, 700);
    Picture p(36, 10, 0xFF123456);
    // Columns 0..3 from pixel -8: column 0 is off the grid, column 1 half shown, column 3 cut at the right edge.
    DrawMapCells({p.Line(0), p.Width(), p.Height(), p.Width()}, {-24, -6}, PlainAtlas(), grid, 0, 1, 4, 1);
    const TileAtlas& atlas = BuiltInAtlas();
    EXPECT_EQ(p.At(0, 0), atlas.TilePixels(1)[6 * 16 + 8]);
    EXPECT_EQ(p.At(8, 9), atlas.TilePixels(2)[15 * 16 + 0]);
    EXPECT_EQ(p.At(30, 0), NoPicturePixels().At(6, 6));
    EXPECT_EQ(p.At(30, 0), 0xFFFF00FFu);
    EXPECT_EQ(p.At(35, 9), NoPicturePixels().At(11, 15));
}

}  // namespace
}  // namespace vantrel
