// The generator's own bitmap fonts, so no system font is ever read.
#pragma once

#include <string_view>
#include <vector>

namespace atlasgen {

using Glyph = std::vector<std::string_view>;  // rows, '#' set

// A 7-row glyph (5 columns, 7 for the circled signs) for the Latin-1 byte
// ch: ASCII 32..95 and the few special letters of the game's character
// elements. Empty for a byte without a glyph.
const Glyph& LargeGlyph(unsigned char ch);

// A 3 x 5 digit, 0..9.
const Glyph& SmallDigit(int digit);

}  // namespace atlasgen
