#include "gui/view/AtlasQt.h"

#include "view/Tiles.h"

#include <cstring>

namespace vantrel {

namespace {

bool IsRgb32(const QImage& image)
{
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
}

}  // namespace

QImage ToQImage(const Picture& picture)
{
    QImage image(picture.Width(), picture.Height(), QImage::Format_RGB32);
    for (int y = 0; y < picture.Height(); ++y)
        std::memcpy(image.scanLine(y), picture.Line(y), static_cast<std::size_t>(picture.Width()) * sizeof(Rgb));
    return image;
}

Picture FromQImage(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    Picture picture(rgb.width(), rgb.height());
    for (int y = 0; y < picture.Height(); ++y)
        std::memcpy(picture.Line(y), rgb.constScanLine(y), static_cast<std::size_t>(picture.Width()) * sizeof(Rgb));
    return picture;
}

QImage NoPictureTile()
{
    return ToQImage(NoPicturePixels());
}

AtlasQt::AtlasQt(const QImage& atlas)
    : own_(std::make_unique<TileAtlas>(FromQImage(atlas))), tiles_(own_.get()), atlas_(ToQImage(tiles_->Sheet()))
{
}

AtlasQt::AtlasQt(const TileAtlas& tiles) : tiles_(&tiles), atlas_(ToQImage(tiles.Sheet())) {}

QImage AtlasQt::Tile(std::uint16_t code) const
{
    QImage tile(kTileSize, kTileSize, QImage::Format_RGB32);
    const QRgb* from = TilePixels(code);
    for (int r = 0; r < kTileSize; ++r)
        std::memcpy(tile.scanLine(r), from + r * kTileSize, kTileSize * sizeof(QRgb));
    return tile;
}

const AtlasQt& BuiltInAtlasQt()
{
    static const AtlasQt sheet(BuiltInAtlas());
    return sheet;
}

void DrawMapCells(QImage& target, PixelPoint origin, const SizedAtlas& tiles, const CellGrid& grid, int firstX,
                  int firstY, int columns, int rows)
{
    if (target.isNull()) return;
    if (!IsRgb32(target)) target.convertTo(QImage::Format_RGB32);
    const PixelTarget pixels{reinterpret_cast<Rgb*>(target.bits()), target.width(), target.height(),
                             static_cast<int>(target.bytesPerLine() / sizeof(Rgb))};
    DrawMapCells(pixels, origin, tiles, grid, firstX, firstY, columns, rows);
}

QImage TileImage(const SizedAtlas& tiles, std::uint16_t code)
{
    const int size = tiles.Size();
    QImage tile(size, size, QImage::Format_RGB32);
    const QRgb* from = tiles.TilePixels(code);
    for (int r = 0; r < size; ++r)
        std::memcpy(tile.scanLine(r), from + r * size, static_cast<std::size_t>(size) * sizeof(QRgb));
    return tile;
}

void DrawDottedFrame(QImage& image, const PixelRect& rect)
{
    if (image.isNull() || rect.right <= rect.left || rect.bottom <= rect.top) return;
    if (!IsRgb32(image)) image.convertTo(QImage::Format_RGB32);
    const int right = rect.right - 1, bottom = rect.bottom - 1;
    auto invert = [&image](int x, int y) {
        if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return;
        // Black and white dots in turn: the frame shows on every tile, dark or light.
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        line[x] = (x + y) % 2 == 0 ? kFrameDark : kFrameLight;
    };
    for (int x = rect.left; x <= right; ++x) {
        invert(x, rect.top);
        if (bottom != rect.top) invert(x, bottom);
    }
    for (int y = rect.top + 1; y < bottom; ++y) {
        invert(rect.left, y);
        if (right != rect.left) invert(right, y);
    }
}

}  // namespace vantrel
