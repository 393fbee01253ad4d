#include "view/TileAtlas.h"

#include "base/Elements.h"
#include "base/Error.h"
#include "view/Tiles.h"

#include <algorithm>
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

const TileAtlas& BuiltInAtlas()
{
    static const TileAtlas atlas([] {
        Picture sheet(kAtlasPixelsWidth, kAtlasPixelsHeight);
        const std::size_t pixels = static_cast<std::size_t>(kAtlasPixelsWidth) * kAtlasPixelsHeight;
        std::memcpy(sheet.Line(0), kAtlasPixels, pixels * sizeof(Rgb));
        return sheet;
    }());
    return atlas;
}

namespace {

// The digits 0..9 in 3 x 5 pixels, one row a byte of three bits, top row first.
constexpr std::uint8_t kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};
constexpr Rgb kNumberGround = 0xFF202020;
constexpr Rgb kNumberInk = 0xFFFFFFFF;
constexpr Rgb kCeMarkFill = 0xFFFF40FF;
constexpr Rgb kCeMarkEdge = 0xFF000000;
constexpr int kCeMarkSize = 5;

// A 16 x 16 tile as a picture, from 256 pixels row after row.
Picture TileOf(const Rgb* pixels)
{
    Picture tile(kTileSize, kTileSize);
    for (int r = 0; r < kTileSize; ++r) std::memcpy(tile.Line(r), pixels + r * kTileSize, kTileSize * sizeof(Rgb));
    return tile;
}

// The number in white digits on a dark box in the tile's bottom-right corner.
void DrawNumber(Picture& tile, int number)
{
    const std::string digits = std::to_string(number);
    const int width = 4 * static_cast<int>(digits.size()) + 1, height = 7;
    const int left = kTileSize - width, top = kTileSize - height;
    for (int y = top; y < kTileSize; ++y)
        for (int x = left; x < kTileSize; ++x) tile.Set(x, y, kNumberGround);
    for (std::size_t d = 0; d < digits.size(); ++d) {
        const auto& glyph = kDigits[digits[d] - '0'];
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (glyph[row] & (4 >> col)) tile.Set(left + 1 + 4 * static_cast<int>(d) + col, top + 1 + row, kNumberInk);
    }
}

// The custom element mark: a small triangle in the top-left corner.
void DrawCeMark(Picture& tile)
{
    for (int y = 0; y < kCeMarkSize; ++y)
        for (int x = 0; x + y < kCeMarkSize; ++x) tile.Set(x, y, x + y == kCeMarkSize - 1 ? kCeMarkEdge : kCeMarkFill);
}

// Scales a 16 x 16 tile to size x size into out: each pixel the average of
// the source pixels it covers (a nearest pick when it covers less than one).
void ScaleTile(const Picture& tile, int size, Rgb* out)
{
    for (int y = 0; y < size; ++y) {
        const int y0 = y * kTileSize / size, y1 = std::max(y0 + 1, (y + 1) * kTileSize / size);
        for (int x = 0; x < size; ++x) {
            const int x0 = x * kTileSize / size, x1 = std::max(x0 + 1, (x + 1) * kTileSize / size);
            unsigned r = 0, g = 0, b = 0, n = 0;
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx) {
                    const Rgb p = tile.Line(sy)[sx];
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                    ++n;
                }
            out[y * size + x] = 0xFF000000 | (r / n) << 16 | (g / n) << 8 | (b / n);
        }
    }
}

constexpr int kCeTileBase = kTiledCodes + 1;  // after the codes 0..623 and the no-picture tile

}  // namespace

SizedAtlas::SizedAtlas(const TileAtlas& atlas, int cellSize, const CeGraphics& ce)
    : size_(std::clamp(cellSize, 1, 4 * kTileSize)), ce_(ce)
{
    const std::size_t area = static_cast<std::size_t>(size_) * size_;
    pixels_.resize((kCeTileBase + kCeCount) * area);
    for (int index = 0; index <= kTiledCodes; ++index) {
        const Rgb* from = index < kTiledCodes ? atlas.TilePixels(static_cast<std::uint16_t>(index))
                                              : atlas.TilePixels(kFirstGroupCode);
        ScaleTile(TileOf(from), size_, pixels_.data() + index * area);
    }
    std::vector<Picture> numbered;
    numbered.reserve(kCeCount);
    for (int n = 1; n <= kCeCount; ++n) {
        numbered.push_back(TileOf(atlas.TilePixels(CeElementCode(n))));
        DrawNumber(numbered.back(), n);
    }
    for (int n = 1; n <= kCeCount; ++n) {
        Picture tile = numbered[n - 1];
        if (const std::optional<std::uint16_t> graphic = ce_[n - 1]) {
            // The graphic of the element named, one step: a CE named shows its own numbered tile.
            tile = IsCeCode(*graphic) ? numbered[CeNumberOf(*graphic) - 1] : TileOf(atlas.TilePixels(*graphic));
            DrawCeMark(tile);
        }
        ScaleTile(tile, size_, pixels_.data() + (kCeTileBase + n - 1) * area);
    }
}

int SizedAtlas::IndexOf(std::uint16_t code)
{
    if (IsCeCode(code)) return kCeTileBase + CeNumberOf(code) - 1;
    return code < kTiledCodes ? code : kNoPictureIndex;
}

const SizedAtlas& PlainAtlas()
{
    static const SizedAtlas tiles(BuiltInAtlas(), kTileSize);
    return tiles;
}

namespace {

// Copies rows of a tile of S pixels a row into the target, spanX pixels of each.
template <int S>
void CopyTileRows(Rgb* to, int stride, const Rgb* tile, int size, int spanX, int spanY)
{
    if (S > 0 && spanX == S) {
        for (int r = 0; r < spanY; ++r, to += stride, tile += S) std::memcpy(to, tile, S * sizeof(Rgb));
    } else {
        for (int r = 0; r < spanY; ++r, to += stride, tile += size)
            std::memcpy(to, tile, static_cast<std::size_t>(spanX) * sizeof(Rgb));
    }
}

template <int S>
void DrawCells(const PixelTarget& target, PixelPoint origin, const SizedAtlas& tiles, const CellGrid& grid, int firstX,
               int firstY, int columns, int rows)
{
    const int size = S > 0 ? S : tiles.Size();
    for (int j = 0; j < rows; ++j) {
        const int y = firstY + j;
        if (y < 1 || y > kMaxMapSize) continue;
        int top = origin.y + j * size, spanY = size, skipY = 0;
        if (!ClipSpan(top, spanY, target.Height, skipY)) continue;
        Rgb* band = target.Pixels + static_cast<std::ptrdiff_t>(top) * target.Stride;
        // One band of tiles, tile after tile: each tile's rows are copied into the band's rows.
        for (int i = 0; i < columns; ++i) {
            const int x = firstX + i;
            if (x < 1 || x > kMaxMapSize) continue;
            int left = origin.x + i * size, spanX = size, skipX = 0;
            if (!ClipSpan(left, spanX, target.Width, skipX)) continue;
            const Rgb* tile = tiles.TilePixels(grid.At(x, y)) + skipY * size + skipX;
            CopyTileRows<S>(band + left, target.Stride, tile, size, spanX, spanY);
        }
    }
}

}  // namespace

void DrawMapCells(const PixelTarget& target, PixelPoint origin, const SizedAtlas& tiles, const CellGrid& grid,
                  int firstX, int firstY, int columns, int rows)
{
    if (!target.Pixels) return;
    // The zoom steps' sizes get copies of a size known when compiled.
    switch (tiles.Size()) {
    case 4: return DrawCells<4>(target, origin, tiles, grid, firstX, firstY, columns, rows);
    case 8: return DrawCells<8>(target, origin, tiles, grid, firstX, firstY, columns, rows);
    case 16: return DrawCells<16>(target, origin, tiles, grid, firstX, firstY, columns, rows);
    case 32: return DrawCells<32>(target, origin, tiles, grid, firstX, firstY, columns, rows);
    case 48: return DrawCells<48>(target, origin, tiles, grid, firstX, firstY, columns, rows);
    default: return DrawCells<0>(target, origin, tiles, grid, firstX, firstY, columns, rows);
    }
}

void DrawTile(const PixelTarget& target, PixelPoint at, const SizedAtlas& tiles, std::uint16_t code)
{
    if (!target.Pixels) return;
    const int size = tiles.Size();
    int left = at.x, top = at.y, spanX = size, spanY = size, skipX = 0, skipY = 0;
    if (!ClipSpan(left, spanX, target.Width, skipX) || !ClipSpan(top, spanY, target.Height, skipY)) return;
    CopyTileRows<0>(target.Pixels + static_cast<std::ptrdiff_t>(top) * target.Stride + left, target.Stride,
                    tiles.TilePixels(code) + skipY * size + skipX, size, spanX, spanY);
}

namespace {

// The cells of a map of width x height, as one picture of that size in tiles.
Picture WholeMap(const SizedAtlas& tiles, const CellGrid& grid, int width, int height)
{
    Picture picture(width * tiles.Size(), height * tiles.Size());
    DrawMapCells({picture.Line(0), picture.Width(), picture.Height(), picture.Width()}, {0, 0}, tiles, grid, 1, 1,
                 width, height);
    return picture;
}

}  // namespace

void MapPictureCache::Draw(const PixelTarget& target, const SizedAtlas& tiles, const CellGrid& grid, int firstX,
                           int firstY, int columns, int rows)
{
    // The columns and rows that lie in the map; cells past it are drawn as ever.
    const int inX = std::min(columns, grid.Width() - firstX + 1), inY = std::min(rows, grid.Height() - firstY + 1);
    if (!target.Pixels || firstX < 1 || firstY < 1 || inX <= 0 || inY <= 0)
        return DrawMapCells(target, {0, 0}, tiles, grid, firstX, firstY, columns, rows);
    const int s = tiles.Size();
    const Key key{&tiles, &grid, grid.Changes(), grid.Width(), grid.Height(), s};
    if (!(key == key_)) {
        whole_ = WholeMap(tiles, grid, grid.Width(), grid.Height());
        key_ = key;
    }
    const int left = (firstX - 1) * s, top = (firstY - 1) * s;
    const int width = std::min(target.Width, inX * s), height = std::min(target.Height, inY * s);
    for (int y = 0; y < height; ++y)
        std::memcpy(target.Pixels + static_cast<std::ptrdiff_t>(y) * target.Stride, whole_.Line(top + y) + left,
                    static_cast<std::size_t>(width) * sizeof(Rgb));
    if (inX < columns) DrawMapCells(target, {inX * s, 0}, tiles, grid, firstX + inX, firstY, columns - inX, rows);
    if (inY < rows) DrawMapCells(target, {0, inY * s}, tiles, grid, firstX, firstY + inY, inX, rows - inY);
}

Picture MapPicture(const SizedAtlas& tiles, const OpenLevel& lvl)
{
    if (lvl.MapWidth() <= 0 || lvl.MapHeight() <= 0) throw VantrelError(kNoMapToDraw);
    return WholeMap(tiles, lvl.Grid(), lvl.MapWidth(), lvl.MapHeight());
}

}  // namespace vantrel
