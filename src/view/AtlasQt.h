// The element atlas as pictures: loaded once from the program's resources,
// cut into one tile a code, and the one function that draws map cells tile
// for tile. The level view, "Save Image", the palette window and
// "vantrel-cli render" all draw through it. Qt Gui only (no widgets).
#pragma once

#include "level/OpenLevel.h"
#include "base/Text.h"

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

// The atlas picture and its tiles, cut once. Codes 0..623 have a tile in the
// atlas; every higher code gets the "no picture" tile, which is drawn by the
// program and never read from the atlas.
class TileSheet {
public:
    // Throws VantrelError unless atlas is a 256 x 368 picture.
    explicit TileSheet(const QImage& atlas);

    const QImage& Atlas() const { return atlas_; }
    // The 16 rows of 16 pixels of a code's tile, row after row.
    const QRgb* TilePixels(std::uint16_t code) const;
    // A code's tile as a 16 x 16 picture.
    QImage Tile(std::uint16_t code) const;

private:
    QImage atlas_;
    std::vector<QRgb> pixels_;  // one tile of 256 pixels per code 0..623, then the no-picture tile
};

// The atlas the program ships with (":/atlas.png"), loaded and cut at its
// first use and shared by every view. Throws VantrelError when the resource
// cannot be read.
const TileSheet& ElementAtlas();

// The tile drawn for codes that have no picture in the atlas: a dark square
// crossed in magenta.
QImage NoPictureTile();

// Draws columns x rows map cells, map cell (firstX + i, firstY + j) as a
// 16 x 16 tile at pixel (origin.x + 16 i, origin.y + 16 j) of target, which
// is made 32-bit RGB if it is not. Cells outside MapGrid (below 1 or above
// 128) and pixels outside target are left alone.
void DrawMapCells(QImage& target, PixelPoint origin, const TileSheet& sheet, const CellGrid& grid, int firstX,
                  int firstY, int columns, int rows);

// The whole map, MapWidth x 16 by MapHeight x 16 pixels, every cell drawn.
QImage MapPicture(const TileSheet& sheet, const OpenLevel& lvl);

// Writes picture to path as format ("BMP" or "PNG"), replacing a file of
// that name. Throws VantrelError naming the file when it cannot be written.
void SavePicture(const QImage& picture, const std::string& path, const char* format);

// The selection frame: dots of black and white in turn along the border of
// rect (right and bottom exclusive), as far as the border lies inside image,
// so that it shows on every tile. A redraw of the view takes it away.
inline constexpr QRgb kFrameDark = 0xFF000000;
inline constexpr QRgb kFrameLight = 0xFFFFFFFF;
void DrawDottedFrame(QImage& image, const PixelRect& rect);

}  // namespace vantrel
