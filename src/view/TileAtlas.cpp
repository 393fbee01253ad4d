#include "view/TileAtlas.h"

#include "base/Elements.h"
#include "base/Error.h"
#include "view/Tiles.h"

#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>

// The pixels of resources/atlas.png, compiled in by the build (tools/embedpicture).
extern const std::uint32_t kAtlasPixels[];
extern const int kAtlasPixelsWidth;
extern const int kAtlasPixelsHeight;

namespace vantrel {

namespace {

constexpr int kTilePixels = kTileSize * kTileSize;
constexpr int kTiledCodes = kFirstGroupCode;  // codes 0..623 have a tile
constexpr int kNoPictureIndex = kTiledCodes;

constexpr Rgb kNoPictureGround = 0xFF303030;
constexpr Rgb kNoPictureMark = 0xFFFF00FF;

// Keeps [from, from + length) inside [0, limit); skip is how far the part starts into the source.
bool ClipSpan(int& from, int& length, int limit, int& skip)
{
    skip = 0;
    if (from < 0) {
        skip = -from;
        length -= skip;
        from = 0;
    }
    if (from + length > limit) length = limit - from;
    return length > 0;
}

}  // namespace

Picture NoPicturePixels()
{
    Picture tile(kTileSize, kTileSize, kNoPictureGround);
    const int last = kTileSize - 1;
    for (int i = 0; i < kTileSize; ++i) {
        const std::initializer_list<std::pair<int, int>> marks = {{i, 0}, {i, last}, {0, i},
                                                                  {last, i}, {i, i}, {last - i, i}};
        for (const auto& [x, y] : marks) tile.Set(x, y, kNoPictureMark);
    }
    return tile;
}

TileAtlas::TileAtlas(Picture atlas) : atlas_(std::move(atlas))
{
    if (atlas_.Width() != kAtlasWidth || atlas_.Height() != kAtlasHeight)
        throw VantrelError("The element atlas must be a picture of " + std::to_string(kAtlasWidth) + " x " +
                           std::to_string(kAtlasHeight) + " pixels");
    pixels_.resize(static_cast<std::size_t>(kTiledCodes + 1) * kTilePixels);
    auto cut = [this](int index, const Picture& from, int left, int top) {
        Rgb* out = pixels_.data() + static_cast<std::size_t>(index) * kTilePixels;
        for (int r = 0; r < kTileSize; ++r)
            std::memcpy(out + r * kTileSize, from.Line(top + r) + left, kTileSize * sizeof(Rgb));
    };
    for (int code = 0; code < kTiledCodes; ++code) {
        const std::optional<PixelRect> rect = ElementTileRect(static_cast<std::uint16_t>(code));
        cut(code, atlas_, rect->left, rect->top);  // every code below 624 has a tile
    }
    cut(kNoPictureIndex, NoPicturePixels(), 0, 0);
}

const Rgb* TileAtlas::TilePixels(std::uint16_t code) const
{
    const int index = code < kTiledCodes ? code : kNoPictureIndex;
    return pixels_.data() + static_cast<std::size_t>(index) * kTilePixels;
}

const TileAtlas& ElementTiles()
{
    static const TileAtlas atlas([] {
        Picture sheet(kAtlasPixelsWidth, kAtlasPixelsHeight);
        const std::size_t pixels = static_cast<std::size_t>(kAtlasPixelsWidth) * kAtlasPixelsHeight;
        std::memcpy(sheet.Line(0), kAtlasPixels, pixels * sizeof(Rgb));
        return sheet;
    }());
    return atlas;
}

void DrawMapCells(const PixelTarget& target, PixelPoint origin, const TileAtlas& atlas, const CellGrid& grid,
                  int firstX, int firstY, int columns, int rows)
{
    if (!target.Pixels) return;
    for (int j = 0; j < rows; ++j) {
        const int y = firstY + j;
        if (y < 1 || y > kMaxMapSize) continue;
        int top = origin.y + j * kTileSize, spanY = kTileSize, skipY = 0;
        if (!ClipSpan(top, spanY, target.Height, skipY)) continue;
        Rgb* band = target.Pixels + static_cast<std::ptrdiff_t>(top) * target.Stride;
        // One band of tiles, row by row of pixels: each pixel row of the band is written left to right.
        for (int i = 0; i < columns; ++i) {
            const int x = firstX + i;
            if (x < 1 || x > kMaxMapSize) continue;
            int left = origin.x + i * kTileSize, spanX = kTileSize, skipX = 0;
            if (!ClipSpan(left, spanX, target.Width, skipX)) continue;
            const Rgb* tile = atlas.TilePixels(grid.At(x, y)) + skipY * kTileSize + skipX;
            Rgb* to = band + left;
            if (spanX == kTileSize) {
                for (int r = 0; r < spanY; ++r, to += target.Stride, tile += kTileSize)
                    std::memcpy(to, tile, kTileSize * sizeof(Rgb));
            } else {
                for (int r = 0; r < spanY; ++r, to += target.Stride, tile += kTileSize)
                    std::memcpy(to, tile, static_cast<std::size_t>(spanX) * sizeof(Rgb));
            }
        }
    }
}

Picture MapPicture(const TileAtlas& atlas, const OpenLevel& lvl)
{
    if (lvl.MapWidth() <= 0 || lvl.MapHeight() <= 0) throw VantrelError(kNoMapToDraw);
    Picture picture(lvl.MapWidth() * kTileSize, lvl.MapHeight() * kTileSize);
    DrawMapCells({picture.Line(0), picture.Width(), picture.Height(), picture.Width()}, {0, 0}, atlas, lvl.Grid(), 1,
                 1, lvl.MapWidth(), lvl.MapHeight());
    return picture;
}

}  // namespace vantrel
