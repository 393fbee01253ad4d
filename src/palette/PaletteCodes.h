// The texts of the element palette: which code a tile of the atlas reports,
// the id text, the window titles and hint, and the "Check It" entry rules.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

// The code reported by the atlas pixel (x, y): tiles row by row from code 1,
// the last row's tiles right of the custom element tile are codes 616..623,
// and tile (2, 14) reports 0 (empty space). The pixel is held inside the atlas.
std::uint16_t PaletteCodeAt(int x, int y);

// The id as shown: the decimal code cut to its first 4 characters and filled
// with "0" in front to at least 3 (6 gives "006", 65535 gives "6553").
std::string PaletteIdText(std::uint16_t code);

// The hint over a tile of the atlas: "Element 006: Emerald".
std::string PaletteHint(std::uint16_t code);

// The title while an element is selected (a click, "Check It", the level
// view's eyedropper): "Element id 006 ($0006): Emerald".
std::string PaletteSelectedTitle(std::uint16_t code);

// The code of a "Check It" entry, cut to its first 4 characters: 4
// characters are read as hexadecimal ("0168" is 360), 3 as decimal ("360"),
// fewer give 0. An entry of 3 or 4 characters that is no number in its base
// throws VantrelError.
std::uint16_t CheckEntryCode(const std::string& entry);

// The title after "Check It": "Element id 360 ($0168)".
std::string PaletteCheckTitle(std::uint16_t code);

// The title while the pointer is over a tile of the atlas, the code in at
// least two hexadecimal digits: "Element id 001 ($01)", "Element id 360 ($168)".
std::string PaletteMoveTitle(std::uint16_t code);

// What "Check It" made of an entry, shown under the id box: how the entry
// was read, the code and the element's name; for a code that names no
// element, that it cannot be painted. An entry that is no number in its
// base throws as CheckEntryCode does.
std::string CheckEntryMeaning(const std::string& entry);

}  // namespace vantrel
