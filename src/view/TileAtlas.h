// The element atlas in the core: the picture the program carries inside
// itself (the pixels of resources/atlas.png, compiled in), cut at its first use
// into one 16 x 16 tile a code, and the drawing of map cells tile for tile.
// The level view, "Save Image", the palette window and "vantrel-cli render"
// all draw through it.
#pragma once

#include "base/Elements.h"
#include "base/Text.h"
#include "level/OpenLevel.h"
#include "view/Picture.h"

#include <cstdint>
#include <vector>

namespace vantrel {

// The atlas picture and its tiles, cut once. Codes 0..623 have a tile in the
// atlas; every higher code gets the "no picture" tile, which is drawn by the
// program and never read from the atlas.
class TileAtlas {
public:
    // Throws VantrelError unless atlas is a 256 x 368 picture.
    explicit TileAtlas(Picture atlas);

    const Picture& Sheet() const { return atlas_; }
    // The 16 rows of 16 pixels of a code's tile, row after row.
    const Rgb* TilePixels(std::uint16_t code) const;

private:
    Picture atlas_;
    std::vector<Rgb> pixels_;  // one tile of 256 pixels per code 0..623, then the no-picture tile
};

// The atlas the program ships with, cut at its first use and shared by
// every caller.
const TileAtlas& BuiltInAtlas();

// The tile drawn for codes that have no picture in the atlas: a dark square
// crossed in magenta.
Picture NoPicturePixels();

// The tiles a view draws a level with, at one size (cellSize x cellSize
// pixels, scaled from the atlas's 16 x 16): every code's tile, and each
// custom element as the level says it looks: the CE tile with its number,
// or the graphic of the element its record names with a small mark in the
// top-left corner that says it is a custom element.
class SizedAtlas {
public:
    SizedAtlas(const TileAtlas& atlas, int cellSize, const CeGraphics& ce = {});
    int Size() const { return size_; }
    const CeGraphics& Ce() const { return ce_; }
    // The cellSize rows of cellSize pixels of a code's tile, row after row.
    const Rgb* TilePixels(std::uint16_t code) const
    {
        return pixels_.data() + static_cast<std::size_t>(IndexOf(code)) * size_ * size_;
    }

private:
    static int IndexOf(std::uint16_t code);

    int size_;
    CeGraphics ce_;
    std::vector<Rgb> pixels_;
};

// The tiles at 16 x 16 with every custom element drawn with its number.
const SizedAtlas& PlainAtlas();

// A picture's pixels in memory as the drawing sees them: Width x Height
// pixels, Stride pixels from one row to the next.
struct PixelTarget {
    Rgb* Pixels = nullptr;
    int Width = 0;
    int Height = 0;
    int Stride = 0;
};

// Draws columns x rows map cells, map cell (firstX + i, firstY + j) as a
// tile of s x s pixels (s the set's size) at pixel (origin.x + s i,
// origin.y + s j) of target. Cells outside the map (below 1 or above 128)
// and pixels outside target are left alone.
void DrawMapCells(const PixelTarget& target, PixelPoint origin, const SizedAtlas& tiles, const CellGrid& grid,
                  int firstX, int firstY, int columns, int rows);
// The whole map drawn once at a tile set's size, from which a view copies
// the part it shows: at small sizes a view shows thousands of tiles, and a
// redraw (a scroll, a repaint) becomes one copy of its picture. The map is
// drawn again when the grid or the tiles are other ones or a cell was set
// since; Forget() after anything else that changes what a tile shows.
class MapPictureCache {
public:
    // Draws what DrawMapCells draws with the origin at the target's corner.
    void Draw(const PixelTarget& target, const SizedAtlas& tiles, const CellGrid& grid, int firstX, int firstY,
              int columns, int rows);
    void Forget() { key_ = {}; }

private:
    struct Key {
        const SizedAtlas* Tiles = nullptr;
        const CellGrid* Grid = nullptr;
        std::uint64_t Changes = 0;
        int Width = 0, Height = 0, Size = 0;
        bool operator==(const Key&) const = default;
    };
    Key key_;
    Picture whole_;
};
// Draws one code's tile at a pixel of target (what is outside target is left alone).
void DrawTile(const PixelTarget& target, PixelPoint at, const SizedAtlas& tiles, std::uint16_t code);

// The whole map, MapWidth x 16 by MapHeight x 16 pixels, every cell drawn.
// Throws VantrelError with kNoMapToDraw for a level whose map has no cells.
inline constexpr char kNoMapToDraw[] = "The level has no map to draw.";
Picture MapPicture(const SizedAtlas& tiles, const OpenLevel& lvl);

}  // namespace vantrel
