// The one byte and hexadecimal codec: big-endian numbers as the game's files
// store them, and hexadecimal digits as the program shows and reads them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// A big-endian number of n bytes (1 to 4) at p.
inline std::uint32_t ReadBigEndian(const std::uint8_t* p, int n)
{
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | p[i];
    return v;
}

inline std::uint16_t ReadWord(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }

// Appends value as a big-endian number of n bytes (1 to 4).
inline void AppendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int n)
{
    for (int i = n - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Writes value as a big-endian number of n bytes (1 to 4) at p.
inline void PutBigEndian(std::uint8_t* p, std::uint32_t value, int n)
{
    for (int i = 0; i < n; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * (n - 1 - i)));
}

// The value of one hexadecimal digit, upper or lower case; -1 for any other character.
inline int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A whole text of 1 to maxDigits hexadecimal digits; nothing for any other text.
inline std::optional<std::uint32_t> ParseHex(std::string_view text, std::size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits || maxDigits > 8) return std::nullopt;
    std::uint32_t v = 0;
    for (const char c : text) {
        const int d = HexDigitValue(c);
        if (d < 0) return std::nullopt;
        v = v * 16 + static_cast<std::uint32_t>(d);
    }
    return v;
}

// The upper-case hexadecimal digits, by value.
inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// value in exactly eight upper-case hexadecimal digits, written at out.
inline void PutHex8(char* out, std::uint32_t value)
{
    for (int i = 7; i >= 0; --i, value >>= 4) out[i] = kHexDigits[value & 0xF];
}

// value in upper-case hexadecimal, at least `digits` digits with leading zeros.
inline std::string HexText(std::uint32_t value, int digits)
{
    std::string out;
    do {
        out.insert(out.begin(), kHexDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (static_cast<int>(out.size()) < digits) out.insert(0, static_cast<std::size_t>(digits) - out.size(), '0');
    return out;
}

}  // namespace vantrel
