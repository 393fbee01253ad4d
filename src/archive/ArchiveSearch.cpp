#include "archive/ArchiveSearch.h"

#include "base/Bytes.h"
#include "base/ElementTable.h"
#include "base/Text.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace vantrel {

namespace {

unsigned char Lower(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

bool SameLowered(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return Lower(x) == Lower(y);
           });
}

// Whether needle stands in haystack, ASCII letters of any case.
bool Contains(std::string_view haystack, std::string_view needle)
{
    if (needle.empty()) return true;
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                       [](char x, char y) { return Lower(x) == Lower(y); }) != haystack.end();
}

// The Latin-1 bytes of a UTF-8 text whose characters all fit Latin-1 and
// that holds one outside ASCII ("Café"); nothing for any other text.
std::optional<std::string> Latin1Form(std::string_view text)
{
    const std::string typed(text);
    std::string beyond;
    std::optional<std::string> latin1 = Latin1OfUtf8(typed, beyond);
    // The same bytes: ASCII, or no UTF-8 (kept as given).
    if (latin1 && *latin1 == typed) return std::nullopt;
    return latin1;
}

// A text of the query: the game's texts (titles, authors, CE names, most
// levelset names) are Latin-1, while what the user types is UTF-8, so a text
// stands in a field as it is typed or in its Latin-1 form.
struct Needle {
    std::string_view Typed;
    std::optional<std::string> Latin1;
    explicit Needle(std::string_view typed) : Typed(typed), Latin1(Latin1Form(typed)) {}
};

std::vector<std::string_view> Words(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

bool Contains(std::string_view haystack, const Needle& needle)
{
    return Contains(haystack, needle.Typed) || (needle.Latin1 && Contains(haystack, *needle.Latin1));
}

bool WordStands(const IndexEntry& e, const Needle& word)
{
    if (Contains(e.Title, word) || Contains(e.Author, word) || Contains(e.Levelset, word)) return true;
    return std::any_of(e.Ces.begin(), e.Ces.end(), [&](const IndexedCe& ce) { return Contains(ce.Name, word); });
}

std::vector<Needle> Needles(std::string_view text)
{
    std::vector<Needle> needles;
    for (const std::string_view word : Words(text)) needles.emplace_back(word);
    return needles;
}

int Compare(long long a, long long b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

int CompareText(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int c = Compare(Lower(a[i]), Lower(b[i]));
        if (c != 0) return c;
    }
    return Compare(static_cast<long long>(a.size()), static_cast<long long>(b.size()));
}

int CompareBy(const IndexEntry& a, const IndexEntry& b, ArchiveColumn column)
{
    switch (column) {
    case ArchiveColumn::Levelset: return CompareText(a.Levelset, b.Levelset);
    case ArchiveColumn::Number: return Compare(a.Number, b.Number);
    case ArchiveColumn::Title: return CompareText(a.Title, b.Title);
    case ArchiveColumn::Author: return CompareText(a.Author, b.Author);
    case ArchiveColumn::Size: {
        const int cells = Compare(static_cast<long long>(a.Width) * a.Height, static_cast<long long>(b.Width) * b.Height);
        return cells != 0 ? cells : Compare(a.Width, b.Width);
    }
    case ArchiveColumn::Layout: return Compare(static_cast<int>(a.Layout), static_cast<int>(b.Layout));
    case ArchiveColumn::Version: return a.Version.compare(b.Version);
    case ArchiveColumn::Time: return Compare(a.Time, b.Time);
    case ArchiveColumn::Emeralds: return Compare(a.Emeralds, b.Emeralds);
    case ArchiveColumn::Ces: return Compare(static_cast<long long>(a.Ces.size()), static_cast<long long>(b.Ces.size()));
    case ArchiveColumn::Findings: {
        const auto count = [](const IndexEntry& e) {
            return std::count_if(e.Findings.begin(), e.Findings.end(), [](const IndexedFinding& f) { return !f.Note; });
        };
        return Compare(count(a), count(b));
    }
    case ArchiveColumn::Path:
    case ArchiveColumn::Count: break;
    }
    return 0;
}

constexpr const char* kColumnNames[] = {"levelset", "number", "title", "author",   "size", "layout",
                                        "version",  "time",   "emeralds", "ces", "findings", "path"};
static_assert(std::size(kColumnNames) == static_cast<std::size_t>(ArchiveColumn::Count));

}  // namespace

bool ArchiveQuery::AsksLevel() const
{
    return !Title.empty() || !Author.empty() || !CeName.empty() || !Uses.empty() || HasCes || HasFindings || Layout ||
           MinWidth > 0 || MinHeight > 0 || MaxWidth > 0 || MaxHeight > 0;
}

bool Matches(const IndexEntry& e, const ArchiveQuery& q)
{
    const std::vector<Needle> words = Needles(q.Text);
    if (!e.IsLevel()) {
        // A file that is no level has only its folder and its name to be found by.
        if (q.AsksLevel()) return false;
        const std::string_view name = std::string_view(e.Path).substr(e.Path.rfind('/') + 1);
        return std::all_of(words.begin(), words.end(),
                           [&](const Needle& w) { return Contains(e.Levelset, w) || Contains(name, w.Typed); });
    }
    if (q.Damaged) return false;
    if (q.HasCes && e.Ces.empty()) return false;
    if (q.HasFindings && e.Clean) return false;
    if (q.Layout && e.Layout != *q.Layout) return false;
    if (e.Width < q.MinWidth || e.Height < q.MinHeight) return false;
    if ((q.MaxWidth > 0 && e.Width > q.MaxWidth) || (q.MaxHeight > 0 && e.Height > q.MaxHeight)) return false;
    for (const std::uint16_t code : q.Uses)
        if (e.CountOf(code) == 0) return false;
    if (!Contains(e.Title, Needle(q.Title)) || !Contains(e.Author, Needle(q.Author))) return false;
    if (!q.CeName.empty()) {
        const Needle name(q.CeName);
        if (std::none_of(e.Ces.begin(), e.Ces.end(), [&](const IndexedCe& ce) { return Contains(ce.Name, name); }))
            return false;
    }
    return std::all_of(words.begin(), words.end(), [&](const Needle& w) { return WordStands(e, w); });
}

std::vector<std::size_t> Search(const std::vector<IndexEntry>& entries, const ArchiveQuery& query)
{
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (Matches(entries[i], query)) found.push_back(i);
    return found;
}

const char* ColumnName(ArchiveColumn column)
{
    const auto i = static_cast<std::size_t>(column);
    return i < std::size(kColumnNames) ? kColumnNames[i] : "";
}

std::optional<ArchiveColumn> ColumnFromName(const std::string& name)
{
    for (std::size_t i = 0; i < std::size(kColumnNames); ++i)
        if (SameLowered(name, kColumnNames[i])) return static_cast<ArchiveColumn>(i);
    return std::nullopt;
}

void SortResults(std::vector<std::size_t>& found, const std::vector<IndexEntry>& entries, ArchiveColumn column,
                 bool descending)
{
    std::stable_sort(found.begin(), found.end(), [&](std::size_t i, std::size_t j) {
        const IndexEntry& a = entries[i];
        const IndexEntry& b = entries[j];
        // Files that are no level come last, whichever way.
        if (a.IsLevel() != b.IsLevel()) return a.IsLevel();
        int c = a.IsLevel() ? CompareBy(a, b, column) : 0;
        if (c == 0) c = a.Path.compare(b.Path);
        return descending ? c > 0 : c < 0;
    });
}

std::optional<std::uint16_t> ParseElement(const std::string& given, std::string& error)
{
    std::string_view text = given;
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty()) {
        error = "No element is named.";
        return std::nullopt;
    }
    const auto code = [&](std::uint32_t v) -> std::optional<std::uint16_t> {
        if (v <= 0xFFFF) return static_cast<std::uint16_t>(v);
        error = "There is no element code " + given + ": codes go from 0 to 65535 (0xFFFF).";
        return std::nullopt;
    };
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        if (const auto v = ParseHex(text.substr(2), 8)) return code(*v);
        error = "\"" + given + "\" is no hexadecimal element code (such as 0x0168).";
        return std::nullopt;
    }
    if (std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        if (text.size() > 9) return code(0x10000);
        std::uint32_t v = 0;
        std::from_chars(text.data(), text.data() + text.size(), v);
        return code(v);
    }
    for (const ElementInfo& e : AllElements())
        if (SameLowered(e.token, text)) return e.code;
    std::vector<std::uint16_t> named;
    for (const ElementInfo& e : AllElements())
        if (SameLowered(e.description, text)) named.push_back(e.code);
    if (named.size() == 1) return named.front();
    if (named.empty()) {
        error = "No element is named \"" + given + "\": give its code (360 or 0x0168), its token or its name.";
    } else {
        error = "\"" + given + "\" names " + std::to_string(named.size()) + " elements (";
        for (std::size_t i = 0; i < named.size(); ++i) error += (i ? ", 0x" : "0x") + HexText(named[i], 4);
        error += "): give its code.";
    }
    return std::nullopt;
}

std::optional<std::pair<int, int>> ParseMapSize(const std::string& text)
{
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos || x == 0 || x + 1 >= text.size() || x > 3 || text.size() - x - 1 > 3) return std::nullopt;
    const auto number = [](std::string_view s) -> std::optional<int> {
        int v = 0;
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
        return v;
    };
    const auto w = number(std::string_view(text).substr(0, x)), h = number(std::string_view(text).substr(x + 1));
    if (!w || !h) return std::nullopt;
    return std::make_pair(*w, *h);
}

}  // namespace vantrel
