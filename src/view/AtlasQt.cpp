#include "view/AtlasQt.h"

#include "base/Error.h"
#include "view/Tiles.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <utility>

// The atlas is compiled into the program as a resource of a static library;
// naming its initialiser makes the linker keep it.
static void InitAtlasResource()
{
    Q_INIT_RESOURCE(resources);
}

namespace vantrel {

namespace {

constexpr int kTilePixels = kTileSize * kTileSize;
constexpr int kTiledCodes = kFirstGroupCode;  // codes 0..623 have a tile
constexpr int kNoPictureIndex = kTiledCodes;
constexpr char kAtlasResource[] = ":/atlas.png";
constexpr int kDotsPerMeter = 3780;

constexpr QRgb kNoPictureGround = 0xFF303030;
constexpr QRgb kNoPictureMark = 0xFFFF00FF;

// Keeps [from, from + length) inside [0, limit); returns the part's start offset into the source.
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

QImage NoPictureTile()
{
    QImage tile(kTileSize, kTileSize, QImage::Format_RGB32);
    tile.fill(kNoPictureGround);
    const int last = kTileSize - 1;
    for (int i = 0; i < kTileSize; ++i) {
        const std::initializer_list<std::pair<int, int>> marks = {{i, 0}, {i, last}, {0, i},
                                                                  {last, i}, {i, i}, {last - i, i}};
        for (const auto& [x, y] : marks) tile.setPixel(x, y, kNoPictureMark);
    }
    return tile;
}

TileSheet::TileSheet(const QImage& atlas)
{
    if (atlas.isNull() || atlas.width() != kAtlasWidth || atlas.height() != kAtlasHeight)
        throw VantrelError("The element atlas must be a picture of " + std::to_string(kAtlasWidth) + " x " +
                           std::to_string(kAtlasHeight) + " pixels");
    atlas_ = atlas.convertToFormat(QImage::Format_RGB32);
    pixels_.resize(static_cast<std::size_t>(kTiledCodes + 1) * kTilePixels);
    auto cut = [this](int index, const QImage& from, int left, int top) {
        QRgb* out = pixels_.data() + static_cast<std::size_t>(index) * kTilePixels;
        for (int r = 0; r < kTileSize; ++r) {
            const auto* line = reinterpret_cast<const QRgb*>(from.constScanLine(top + r));
            std::memcpy(out + r * kTileSize, line + left, kTileSize * sizeof(QRgb));
        }
    };
    for (int code = 0; code < kTiledCodes; ++code) {
        const std::optional<PixelRect> rect = ElementTileRect(static_cast<std::uint16_t>(code));
        cut(code, atlas_, rect->left, rect->top);  // every code below 624 has a tile
    }
    cut(kNoPictureIndex, NoPictureTile(), 0, 0);
}

const QRgb* TileSheet::TilePixels(std::uint16_t code) const
{
    const int index = code < kTiledCodes ? code : kNoPictureIndex;
    return pixels_.data() + static_cast<std::size_t>(index) * kTilePixels;
}

QImage TileSheet::Tile(std::uint16_t code) const
{
    QImage tile(kTileSize, kTileSize, QImage::Format_RGB32);
    const QRgb* from = TilePixels(code);
    for (int r = 0; r < kTileSize; ++r)
        std::memcpy(tile.scanLine(r), from + r * kTileSize, kTileSize * sizeof(QRgb));
    return tile;
}

const TileSheet& ElementAtlas()
{
    static const TileSheet sheet = [] {
        InitAtlasResource();
        QImage atlas(QString::fromLatin1(kAtlasResource));
        if (atlas.isNull())
            throw VantrelError(std::string("The element atlas ") + kAtlasResource + " could not be read");
        return TileSheet(atlas);
    }();
    return sheet;
}

void DrawMapCells(QImage& target, PixelPoint origin, const TileSheet& sheet, const CellGrid& grid, int firstX,
                  int firstY, int columns, int rows)
{
    if (target.isNull()) return;
    if (target.format() != QImage::Format_RGB32 && target.format() != QImage::Format_ARGB32)
        target.convertTo(QImage::Format_RGB32);
    const int width = target.width(), height = target.height();
    for (int i = 0; i < columns; ++i) {
        const int x = firstX + i;
        if (x < 1 || x > kMaxMapSize) continue;
        int left = origin.x + i * kTileSize, spanX = kTileSize, skipX = 0;
        if (!ClipSpan(left, spanX, width, skipX)) continue;
        for (int j = 0; j < rows; ++j) {
            const int y = firstY + j;
            if (y < 1 || y > kMaxMapSize) continue;
            int top = origin.y + j * kTileSize, spanY = kTileSize, skipY = 0;
            if (!ClipSpan(top, spanY, height, skipY)) continue;
            const QRgb* tile = sheet.TilePixels(grid.At(x, y));
            for (int r = 0; r < spanY; ++r) {
                auto* line = reinterpret_cast<QRgb*>(target.scanLine(top + r));
                std::memcpy(line + left, tile + (skipY + r) * kTileSize + skipX,
                            static_cast<std::size_t>(spanX) * sizeof(QRgb));
            }
        }
    }
}

QImage MapPicture(const TileSheet& sheet, const OpenLevel& lvl)
{
    QImage picture(lvl.MapWidth() * kTileSize, lvl.MapHeight() * kTileSize, QImage::Format_RGB32);
    picture.fill(Qt::white);
    // 96 dots an inch, whatever screen (if any) the program runs on: the same map gives the same file.
    picture.setDotsPerMeterX(kDotsPerMeter);
    picture.setDotsPerMeterY(kDotsPerMeter);
    DrawMapCells(picture, {0, 0}, sheet, lvl.Grid(), 1, 1, lvl.MapWidth(), lvl.MapHeight());
    return picture;
}

void SavePicture(const QImage& picture, const std::string& path, const char* format)
{
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    if (picture.isNull() || !picture.save(name, format))
        throw VantrelError("The picture could not be written to " + path);
}

void DrawDottedFrame(QImage& image, const PixelRect& rect)
{
    if (image.isNull() || rect.right <= rect.left || rect.bottom <= rect.top) return;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image.convertTo(QImage::Format_RGB32);
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
