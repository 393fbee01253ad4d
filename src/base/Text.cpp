#include "base/Text.h"

#include "base/Bytes.h"
#include "base/PathText.h"

#include <algorithm>
#include <filesystem>

namespace vantrel {

PackedCell PackCell(int x, int y)
{
    return static_cast<PackedCell>(((y & 0xFF) << 8) | (x & 0xFF));
}

PixelPoint CellOrigin(PackedCell cell, std::uint8_t tile)
{
    return {tile * (CellX(cell) - 1), tile * (CellY(cell) - 1)};
}

PixelRect CellRect(PackedCell cell, std::uint8_t tile)
{
    const PixelPoint o = CellOrigin(cell, tile);
    return {o.x, o.y, o.x + tile, o.y + tile};
}

PixelRect RectFromCorners(PixelPoint a, PixelPoint b)
{
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

void OrderCellCorners(PackedCell& first, PackedCell& second)
{
    int x1 = CellX(first), y1 = CellY(first), x2 = CellX(second), y2 = CellY(second);
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    first = PackCell(x1, y1);
    second = PackCell(x2, y2);
}

std::string JoinPath(const std::string& directory, const std::string& name)
{
#ifdef _WIN32
    if (!directory.empty() && (directory.back() == '/' || directory.back() == '\\')) return directory + name;
    return directory + "\\" + name;
#else
    if (!directory.empty() && directory.back() == '/') return directory + name;
    return directory + "/" + name;
#endif
}

bool IsDirectory(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(PathOf(path), ec);
}

std::string Counted(std::int64_t count, const std::string& one, const std::string& many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string ZeroPadInt(long long n, std::size_t width)
{
    std::string s = std::to_string(n);
    if (s.size() < width) s.insert(0, width - s.size(), '0');
    return s;
}

std::string BytesToHex(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out.push_back(kHexDigits[c >> 4]);
        out.push_back(kHexDigits[c & 0xF]);
    }
    return out;
}

std::uint16_t MakeBigEndianWord(unsigned high, unsigned low)
{
    return static_cast<std::uint16_t>(high * 256u + low);
}

std::string TextBefore(const std::string& s, const std::string& sep, bool includeSep)
{
    const auto at = s.find(sep);
    if (at == std::string::npos) return {};
    return includeSep ? s.substr(0, at) + sep : s.substr(0, at);
}

std::string TextAfter(const std::string& s, const std::string& sep, bool includeSep)
{
    const auto at = s.find(sep);
    if (at == std::string::npos) return {};
    std::string rest = s.substr(at + sep.size());
    return includeSep ? sep + rest : rest;
}

std::string TextBetween(const std::string& s, const std::string& startSep, const std::string& endSep,
                        bool includeEnd, bool includeStart)
{
    std::string r = TextBefore(TextAfter(s, startSep), endSep);
    if (includeEnd) r += endSep;
    if (includeStart) r = startSep + r;
    return r;
}

int CountFields(const std::string& s, const std::string& sep)
{
    if (sep.empty()) return 1;
    int count = 1;
    std::size_t from = 0;
    while (from <= s.size()) {
        const auto at = s.find(sep, from);
        if (at == std::string::npos) break;
        ++count;
        from = at + sep.size() + 1;  // the character after the separator goes with it
    }
    return count;
}

namespace {

// Where the n-th field (from 1) starts and ends; end is npos when it runs to the end of s.
struct FieldSpan {
    std::size_t start;
    std::size_t end;
};

FieldSpan FindField(const std::string& s, int n, const std::string& sep)
{
    std::size_t start = 0;
    if (sep.empty()) return {0, std::string::npos};
    for (int i = 1; i < n; ++i) {
        const auto at = s.find(sep, start);
        if (at == std::string::npos) return {start, std::string::npos};
        start = at + sep.size();
    }
    return {start, s.find(sep, start)};
}

}  // namespace

std::string NthField(const std::string& s, int n, const std::string& sep)
{
    const FieldSpan f = FindField(s, n, sep);
    return f.end == std::string::npos ? s.substr(f.start) : s.substr(f.start, f.end - f.start);
}

std::string UpToZero(const std::string& s)
{
    return s.substr(0, s.find('\0'));
}

std::optional<std::string> Latin1OfUtf8(const std::string& text, std::string& beyond)
{
    std::string latin1;
    std::string first;  // the first character beyond Latin-1
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > text.size()) return text;  // no UTF-8: Latin-1 as given
        std::uint32_t code = n == 1 ? b : b & (0x7F >> n);
        for (std::size_t k = 1; k < n; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) return text;
            code = code << 6 | (c & 0x3F);
        }
        static constexpr std::uint32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kLeast[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return text;  // overlong, no character
        if (code > 0xFF && first.empty()) first = text.substr(i, n);
        latin1 += static_cast<char>(code & 0xFF);
        i += n;
    }
    if (!first.empty()) {
        beyond = first;
        return std::nullopt;
    }
    return latin1;
}

}  // namespace vantrel
