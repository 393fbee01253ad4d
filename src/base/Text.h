// Text and cell helpers shared by every part of the program.
// Texts are byte strings: one byte a character, every byte kept.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

// A packed cell: high byte the row y, low byte the column x, both from 1.
using PackedCell = std::uint16_t;

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// Left and top inclusive, right and bottom exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const PixelRect&) const = default;
};

PackedCell PackCell(int x, int y);
inline int CellX(PackedCell c) { return c & 0xFF; }
inline int CellY(PackedCell c) { return c >> 8; }
PixelPoint CellOrigin(PackedCell cell, std::uint8_t tile);
PixelRect CellRect(PackedCell cell, std::uint8_t tile);
PixelRect RectFromCorners(PixelPoint a, PixelPoint b);
void OrderCellCorners(PackedCell& first, PackedCell& second);

std::string ZeroPadInt(long long n, std::size_t width);
// A number in decimal.
inline std::string Num(std::int64_t n) { return std::to_string(n); }
// The path of name in directory: directory, one separator ("/"; "\\" on Windows), name.
std::string JoinPath(const std::string& directory, const std::string& name);
// Whether path names a directory (a link to one too); false for the empty text.
bool IsDirectory(const std::string& path);
// A count and its noun: "1 level", "3 levels" (one and many name the noun).
std::string Counted(std::int64_t count, const std::string& one, const std::string& many);
std::string BytesToHex(const std::string& bytes);
std::uint16_t MakeBigEndianWord(unsigned high, unsigned low);

std::string TextBefore(const std::string& s, const std::string& sep, bool includeSep = false);
std::string TextAfter(const std::string& s, const std::string& sep, bool includeSep = false);
std::string TextBetween(const std::string& s, const std::string& startSep, const std::string& endSep,
                        bool includeEnd = false, bool includeStart = false);
int CountFields(const std::string& s, const std::string& sep);
std::string NthField(const std::string& s, int n, const std::string& sep);

// The text up to the first zero byte: how a fixed-size text field is shown.
std::string UpToZero(const std::string& s);

// What a level stores of a text typed as UTF-8 (a command line's argument):
// one byte (Latin-1) a character. A text that is no UTF-8 is taken as Latin-1
// already and kept. Nothing when a character lies beyond Latin-1; that
// character (as UTF-8) is then put into beyond.
std::optional<std::string> Latin1OfUtf8(const std::string& text, std::string& beyond);

}  // namespace vantrel
