#include "archive/IndexText.h"

#include "base/ElementTable.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace vantrel {

namespace {

void AppendLatin1AsUtf8(std::string& out, unsigned char c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsUtf8(const std::string& s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// A JSON string of text whose bytes are UTF-8 (utf8) or Latin-1.
std::string Quoted(const std::string& text, bool utf8)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else if (utf8) {
            out += ch;
        } else {
            AppendLatin1AsUtf8(out, c);
        }
    }
    return out + "\"";
}

std::string Latin1(const std::string& text) { return Quoted(text, false); }
std::string PathText(const std::string& text) { return Quoted(text, IsUtf8(text)); }

std::size_t FindingCount(const IndexEntry& e)
{
    return static_cast<std::size_t>(
        std::count_if(e.Findings.begin(), e.Findings.end(), [](const IndexedFinding& f) { return !f.Note; }));
}

}  // namespace

long long ModifiedSeconds(const IndexEntry& e)
{
    constexpr std::int64_t kSecond = 1000000000;
    return e.ModTime >= 0 ? e.ModTime / kSecond : -((-e.ModTime + kSecond - 1) / kSecond);
}

namespace {

void AppendNumber(std::string& out, std::int64_t n)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    out.append(digits, end);
}

// ", 3 CEs": the count and its noun.
void AppendCounted(std::string& out, std::size_t n, std::string_view one, std::string_view many)
{
    out += ", ";
    AppendNumber(out, static_cast<std::int64_t>(n));
    out += n == 1 ? one : many;
}

// The line's fields as they are, control bytes and all.
void AppendIndexFields(std::string& out, const IndexEntry& e)
{
    out += e.Path;
    out += ": ";
    if (!e.IsLevel()) {
        out += StateName(e.State);
        out += ": ";
        out += e.Problem;
        return;
    }
    out += e.Levelset;
    if (e.Number >= 0) {
        out += ' ';
        AppendNumber(out, e.Number);
    }
    out += " \"";
    out += e.Title;
    out += '"';
    if (!e.Author.empty()) {
        out += " by ";
        out += e.Author;
    }
    out += ", ";
    AppendNumber(out, e.Width);
    out += 'x';
    AppendNumber(out, e.Height);
    out += ", ";
    out += LayoutName(e.Layout);
    out += ' ';
    out += e.Version;
    out += ", time ";
    AppendNumber(out, e.Time);
    out += ", emeralds ";
    AppendNumber(out, e.Emeralds);
    AppendCounted(out, e.Elements.size(), " element", " elements");
    AppendCounted(out, e.Ces.size(), " CE", " CEs");
    const std::size_t findings = FindingCount(e);
    if (findings == 0)
        out += ", clean";
    else
        AppendCounted(out, findings, " finding", " findings");
}

}  // namespace

void AppendIndexLine(std::string& out, const IndexEntry& e)
{
    const std::size_t start = out.size();
    AppendIndexFields(out, e);
    for (std::size_t i = start; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c < 0x20 || c == 0x7F) out[i] = '?';
    }
}

std::string IndexLine(const IndexEntry& e)
{
    std::string line;
    AppendIndexLine(line, e);
    return line;
}

std::string IndexJson(const IndexEntry& e)
{
    std::string j = "{\"path\":" + PathText(e.Path);
    j += ",\"levelset\":" + PathText(e.Levelset);
    j += ",\"number\":" + (e.Number >= 0 ? std::to_string(e.Number) : std::string("null"));
    j += std::string(",\"state\":\"") + StateName(e.State) + "\"";
    j += ",\"problem\":" + PathText(e.Problem);
    j += std::string(",\"layout\":\"") + LayoutName(e.Layout) + "\"";
    j += ",\"version\":" + Latin1(e.Version);
    j += ",\"title\":" + Latin1(e.Title);
    j += ",\"author\":" + Latin1(e.Author);
    j += ",\"width\":" + std::to_string(e.Width) + ",\"height\":" + std::to_string(e.Height);
    j += ",\"time\":" + std::to_string(e.Time) + ",\"emeralds\":" + std::to_string(e.Emeralds);
    j += ",\"bytes\":" + std::to_string(e.FileSize) + ",\"modified\":" + std::to_string(ModifiedSeconds(e));
    j += ",\"elements\":[";
    for (std::size_t i = 0; i < e.Elements.size(); ++i) {
        const ElementCount& c = e.Elements[i];
        j += (i ? ",{\"code\":" : "{\"code\":") + std::to_string(c.Code) + ",\"name\":" + Latin1(ElementName(c.Code)) +
             ",\"count\":" + std::to_string(c.Count) + "}";
    }
    j += "],\"ces\":[";
    for (std::size_t i = 0; i < e.Ces.size(); ++i) {
        const IndexedCe& ce = e.Ces[i];
        j += (i ? ",{\"number\":" : "{\"number\":") + std::to_string(ce.Number) + ",\"name\":" + Latin1(ce.Name) +
             ",\"graphic\":" + (ce.Graphic ? std::to_string(*ce.Graphic) : std::string("null")) + "}";
    }
    j += "],\"findings\":[";
    for (std::size_t i = 0; i < e.Findings.size(); ++i) {
        const IndexedFinding& f = e.Findings[i];
        j += (i ? ",{\"offset\":" : "{\"offset\":") + std::to_string(f.Offset) + ",\"text\":" + Latin1(f.Text) +
             ",\"note\":" + (f.Note ? "true" : "false") + "}";
    }
    j += std::string("],\"clean\":") + (e.Clean ? "true" : "false") + "}";
    return j;
}

}  // namespace vantrel
