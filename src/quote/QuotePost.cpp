#include "quote/QuotePost.h"

#include "base/Text.h"
#include "base/UserInterface.h"
#include "quote/LevelWriter.h"

#include <algorithm>

namespace vantrel {

namespace {

constexpr char kImageEnd[] = ".gif[/";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsElementName(const std::string& name)
{
    return name.size() == 3 && std::all_of(name.begin(), name.end(), IsDigit);
}

std::uint16_t ElementCode(const std::string& name)
{
    return static_cast<std::uint16_t>((name[0] - '0') * 100 + (name[1] - '0') * 10 + (name[2] - '0'));
}

// One cell of a row: the code, and whether an element image named it.
struct Cell {
    std::uint16_t code = 0;
    bool element = false;
};

Cell NamedCell(const std::string& name)
{
    if (!IsElementName(name)) return {};
    return {ElementCode(name), true};
}

// The cells of a line of image tags: one per ".gif[/", named by the text
// after the prefix in the piece before it.
std::vector<Cell> ImageLineCells(const std::string& line, const std::string& prefix)
{
    std::vector<Cell> cells;
    const std::string end = kImageEnd;
    std::size_t from = 0;
    for (std::size_t at = line.find(end); at != std::string::npos; at = line.find(end, from)) {
        cells.push_back(NamedCell(TextAfter(line.substr(from, at - from), prefix)));
        from = at + end.size();
    }
    return cells;
}

std::string TrimBlanks(const std::string& line)
{
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return line.substr(first, line.find_last_not_of(" \t") - first + 1);
}

// A Level Sketch token names its code in as many digits as it needs
// ("`1217"); forum images are named in three.
Cell SketchCell(const std::string& digits)
{
    long code = 0;
    for (const char c : digits) {
        code = code * 10 + (c - '0');
        if (code > 0xFFFF) return {};
    }
    return {static_cast<std::uint16_t>(code), true};
}

// The cells of a Level Sketch line (IsLevelSketchLine holds).
std::vector<Cell> SketchLineCells(const std::string& line)
{
    std::vector<Cell> cells;
    const std::string text = TrimBlanks(line);
    std::size_t from = 1;
    while (from <= text.size()) {
        std::size_t next = text.find('`', from);
        if (next == std::string::npos) next = text.size();
        cells.push_back(SketchCell(text.substr(from, next - from)));
        from = next + 1;
    }
    return cells;
}

}  // namespace

std::string ImagePrefix(SettingsStore& settings)
{
    std::string value = settings.ReadSetting(kImagePrefixSetting);
    return value.empty() ? std::string(kDefaultImagePrefix) : value;
}

std::vector<std::string> SplitPostLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

bool IsLevelSketchLine(const std::string& line)
{
    const std::string text = TrimBlanks(line);
    if (text.empty() || text[0] != '`') return false;
    std::size_t digits = 0;
    for (std::size_t i = 1; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '`') {
            if (digits < 3) return false;
            digits = 0;
        } else if (IsDigit(text[i])) {
            ++digits;
        } else {
            return false;
        }
    }
    return true;
}

int QuoteEmeraldWeight(std::uint16_t code)
{
    switch (code) {
    case 6: case 25: case 49: case 56: case 57: case 58: case 59:
    case 96: case 97: case 98: case 99: case 214:
        return 1;
    case 14: case 50:
        return 3;
    case 256: case 258:
        return 5;
    case 257: case 259:
        return 8;
    default:
        return 0;
    }
}

QuoteLevel ParseQuotePost(const std::string& post, const std::string& imagePrefix)
{
    QuoteLevel level;
    const std::vector<std::string> lines = SplitPostLines(post);
    if (lines.size() > 3 && lines[0].find("[quote") != std::string::npos) {
        const std::string& first = lines[0];
        level.Author = TextBetween(first, "[quote author=", " link=").substr(0, kNewLevelTextSize);
        const auto bracket = first.find(']');
        level.Title = (bracket == std::string::npos ? first : first.substr(bracket + 1)).substr(0, kNewLevelTextSize);
    }

    std::vector<std::vector<std::uint16_t>> rows;
    for (const std::string& line : lines) {
        std::vector<Cell> cells;
        if (!imagePrefix.empty() && line.find(imagePrefix) != std::string::npos)
            cells = ImageLineCells(line, imagePrefix);
        else if (IsLevelSketchLine(line))
            cells = SketchLineCells(line);
        const auto elements = std::count_if(cells.begin(), cells.end(), [](const Cell& c) { return c.element; });
        if (elements == 0) continue;
        std::vector<std::uint16_t>& row = rows.emplace_back();
        for (const Cell& c : cells) {
            row.push_back(c.code);
            level.Emeralds += QuoteEmeraldWeight(c.code);
        }
        level.ElementCount += static_cast<int>(elements);
        level.Width = std::max(level.Width, static_cast<int>(row.size()));
    }
    level.Height = static_cast<int>(rows.size());
    if (level.Width > kMaxQuoteLevelSize || level.Height > kMaxQuoteLevelSize) return level;
    level.Cells.reserve(static_cast<std::size_t>(level.Width) * rows.size());
    for (std::vector<std::uint16_t>& row : rows) {
        if (static_cast<int>(row.size()) < level.Width) ++level.FilledRows;
        row.resize(static_cast<std::size_t>(level.Width), 0);
        level.Cells.insert(level.Cells.end(), row.begin(), row.end());
    }
    return level;
}

std::string LevelSavedMessage(const std::string& path, const QuoteLevel& level)
{
    std::string text = std::string(kLevelSavedMessage) + "\n" + path;
    if (level.FilledRows > 0) {
        const bool one = level.FilledRows == 1;
        text += "\n" + std::to_string(level.FilledRows) + (one ? " row had" : " rows had") + " fewer than " +
                std::to_string(level.Width) + " cells and " + (one ? "was" : "were") +
                " filled with empty space at the end.";
    }
    return text;
}

QuoteLevelResult MakeLevelFromQuote(const std::string& post, const std::function<std::string()>& outputDir,
                                    const std::string& fallbackDir, const std::string& imagePrefix)
{
    const QuoteLevel quote = ParseQuotePost(post, imagePrefix);
    if (quote.Width == 0 || quote.Height == 0) return {std::nullopt, kNoSizeMessage};
    if (quote.Width > kMaxQuoteLevelSize || quote.Height > kMaxQuoteLevelSize)
        return {std::nullopt, "The level would be " + std::to_string(quote.Width) + " x " +
                                  std::to_string(quote.Height) + " cells; a level can be at most " +
                                  std::to_string(kMaxQuoteLevelSize) + " x " + std::to_string(kMaxQuoteLevelSize) +
                                  " cells.\nNo level was written."};
    // Every row is filled to the width, so this holds; kept as the last guard before the file.
    if (static_cast<std::size_t>(quote.Width) * quote.Height != quote.Cells.size() ||
        quote.ElementCount > quote.Width * quote.Height)
        return {std::nullopt, kNotRectangularMessage};

    NewLevel level;
    level.Author = quote.Author;
    level.Title = quote.Title;
    level.Width = static_cast<std::uint8_t>(quote.Width);
    level.Height = static_cast<std::uint8_t>(quote.Height);
    level.Emeralds = static_cast<std::uint16_t>(std::min<long>(quote.Emeralds, 65535));
    level.Cells = quote.Cells;

    std::string reason;
    const std::optional<std::string> path = SaveNewLevel(level, outputDir(), fallbackDir, reason);
    if (!path) return {std::nullopt, reason + "\nNo level was written."};
    return {path, LevelSavedMessage(*path, quote)};
}

QuoteLevelResult MakeLevelFromQuote(const std::string& post, const std::string& outputDir,
                                    const std::string& fallbackDir, const std::string& imagePrefix)
{
    return MakeLevelFromQuote(post, [&outputDir] { return outputDir; }, fallbackDir, imagePrefix);
}

}  // namespace vantrel
