// Where an element's picture lies in the element atlas: a 256 x 368-pixel
// picture of 16 x 16-pixel tiles, 16 columns by 23 rows, tiles named by
// (column, row) counted from 1.
//
//   tiles (1,1) .. (7,23)  codes 1..359, row by row
//   tile  (2,14)           also code 0 (empty space), beside code 210
//   tile  (8,23)           every custom element, codes 360..615
//   tiles (9,23) .. (16,23) codes 616..623
//
// Codes 624 and above (group elements and beyond) have no tile.
#pragma once

#include "base/Text.h"
#include "base/TileLayout.h"

#include <cstdint>
#include <optional>

namespace vantrel {

// The tile of a code as a packed cell (column in the low byte, row in the
// high byte, both from 1), or empty when the atlas holds no picture for it.
std::optional<PackedCell> ElementTile(std::uint16_t code);

// The 16 x 16 pixel rectangle of a code's tile in the atlas, or empty when
// the atlas holds no picture for it. A rectangle given always lies inside
// the atlas.
std::optional<PixelRect> ElementTileRect(std::uint16_t code);

}  // namespace vantrel
