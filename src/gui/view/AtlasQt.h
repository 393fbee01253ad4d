// The element atlas for the window: the core's tiles (view/TileAtlas.h) seen
// as Qt pictures, and the drawing of map cells into a Qt picture. Qt Gui
// only (no widgets).
#pragma once

#include "level/OpenLevel.h"
#include "base/Text.h"
#include "view/TileAtlas.h"

#include <QImage>
#include <cstdint>
#include <memory>

namespace vantrel {

// The core's atlas with its picture as a QImage.
class AtlasQt {
public:
    // Throws VantrelError unless atlas is a 256 x 368 picture.
    explicit AtlasQt(const QImage& atlas);
    explicit AtlasQt(const TileAtlas& tiles);

    const QImage& Atlas() const { return atlas_; }
    const TileAtlas& Tiles() const { return *tiles_; }
    // The 16 rows of 16 pixels of a code's tile, row after row.
    const QRgb* TilePixels(std::uint16_t code) const { return tiles_->TilePixels(code); }
    // A code's tile as a 16 x 16 picture.
    QImage Tile(std::uint16_t code) const;

private:
    std::unique_ptr<TileAtlas> own_;  // set when made from a QImage
    const TileAtlas* tiles_;
    QImage atlas_;
};

// The atlas the program ships with (BuiltInAtlas()), cut at its first use
// and shared by every view.
const AtlasQt& BuiltInAtlasQt();

// A core picture as a QImage (a copy), and back.
QImage ToQImage(const Picture& picture);
Picture FromQImage(const QImage& image);

// The tile drawn for codes that have no picture in the atlas: a dark square
// crossed in magenta.
QImage NoPictureTile();

// Draws columns x rows map cells, map cell (firstX + i, firstY + j) as a
// tile of s x s pixels (the set's size) at pixel (origin.x + s i,
// origin.y + s j) of target, which is made 32-bit RGB if it is not. Cells
// outside the grid (below 1 or above 128) and pixels outside target are left
// alone.
void DrawMapCells(QImage& target, PixelPoint origin, const SizedAtlas& tiles, const CellGrid& grid, int firstX,
                  int firstY, int columns, int rows);
// A code's tile of a set as a picture of the set's size.
QImage TileImage(const SizedAtlas& tiles, std::uint16_t code);

// The selection frame: dots of black and white in turn along the border of
// rect (right and bottom exclusive), as far as the border lies inside image,
// so that it shows on every tile. A redraw of the view takes it away.
inline constexpr QRgb kFrameDark = 0xFF000000;
inline constexpr QRgb kFrameLight = 0xFFFFFFFF;
void DrawDottedFrame(QImage& image, const PixelRect& rect);

}  // namespace vantrel
