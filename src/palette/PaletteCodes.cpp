#include "palette/PaletteCodes.h"

#include "base/Bytes.h"
#include "base/ElementTable.h"
#include "base/Error.h"
#include "base/Text.h"
#include "view/Tiles.h"

#include <algorithm>
#include <cctype>

namespace vantrel {

namespace {

constexpr int kCustomElementColumn = 8;
constexpr int kLastRowOffset = 255;  // tile (9, 23) is code 361 + 255 = 616
constexpr int kEmptySpaceColumn = 2;
constexpr int kEmptySpaceRow = 14;

std::string Hex(std::uint16_t code, int digits)
{
    return HexText(code, digits);
}

bool AllDecimalDigits(const std::string& s)
{
    return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

}  // namespace

std::uint16_t PaletteCodeAt(int x, int y)
{
    const int column = std::clamp(x, 0, kAtlasWidth - 1) / kTileSize + 1;
    const int row = std::clamp(y, 0, kAtlasHeight - 1) / kTileSize + 1;
    int code = (row - 1) * kAtlasColumns + column;
    if (row == kAtlasRows && column > kCustomElementColumn) code += kLastRowOffset;
    if (column == kEmptySpaceColumn && row == kEmptySpaceRow) code = 0;
    return static_cast<std::uint16_t>(code);
}

std::string PaletteIdText(std::uint16_t code)
{
    std::string id = std::to_string(code).substr(0, 4);
    if (id.size() < 3) id.insert(0, 3 - id.size(), '0');
    return id;
}

std::string PaletteHint(std::uint16_t code)
{
    return "Element " + PaletteIdText(code) + ": " + ElementName(code);
}

std::string PaletteSelectedTitle(std::uint16_t code)
{
    return PaletteCheckTitle(code) + ": " + ElementName(code);
}

std::uint16_t CheckEntryCode(const std::string& entry)
{
    const std::string id = entry.substr(0, 4);
    if (id.size() < 3) return 0;
    const bool hex = id.size() == 4;
    if (hex) {
        if (const auto v = ParseHex(id, 4)) return static_cast<std::uint16_t>(*v);
    } else if (AllDecimalDigits(id)) {
        return static_cast<std::uint16_t>(std::stoul(id));
    }
    throw VantrelError("'" + id + "' is not a valid " + (hex ? "hexadecimal" : "decimal") + " number");
}

std::string PaletteCheckTitle(std::uint16_t code)
{
    return "Element id " + PaletteIdText(code) + " ($" + Hex(code, 4) + ")";
}

std::string PaletteMoveTitle(std::uint16_t code)
{
    return "Element id " + PaletteIdText(code) + " ($" + Hex(code, 2) + ")";
}

std::string CheckEntryMeaning(const std::string& entry)
{
    const std::string id = entry.substr(0, 4);
    const std::uint16_t code = CheckEntryCode(id);
    std::string how;
    if (id.size() < 3)
        how = "\"" + id + "\" has fewer than 3 characters and is read as " + PaletteIdText(code);
    else
        how = "\"" + id + "\" is read as " + (id.size() == 4 ? "hexadecimal" : "decimal") + ": " +
              std::to_string(code);
    if (ElementByCode(code) == nullptr) return how + ", which names no element of the game and cannot be painted";
    return how + ", " + ElementName(code);
}

}  // namespace vantrel
