#include "view/Tiles.h"

#include "base/Elements.h"

namespace vantrel {

namespace {

constexpr std::uint16_t kLastRowByRowCode = kFirstCeCode - 1;
constexpr std::uint16_t kFirstRowTwentyThreeCode = 616;  // tiles (9,23) .. (16,23)
constexpr int kEmptySpaceColumn = 2;
constexpr int kEmptySpaceRow = 14;
constexpr int kCustomElementColumn = 8;

}  // namespace

std::optional<PackedCell> ElementTile(std::uint16_t code)
{
    if (code == 0) return PackCell(kEmptySpaceColumn, kEmptySpaceRow);
    if (code <= kLastRowByRowCode) return PackCell((code - 1) % kAtlasColumns + 1, (code - 1) / kAtlasColumns + 1);
    if (code <= kLastCeCode) return PackCell(kCustomElementColumn, kAtlasRows);
    if (code < kFirstGroupCode) {
        return PackCell(code - kFirstRowTwentyThreeCode + kCustomElementColumn + 1, kAtlasRows);
    }
    return std::nullopt;
}

std::optional<PixelRect> ElementTileRect(std::uint16_t code)
{
    const std::optional<PackedCell> tile = ElementTile(code);
    if (!tile) return std::nullopt;
    return CellRect(*tile, static_cast<std::uint8_t>(kTileSize));
}

}  // namespace vantrel
