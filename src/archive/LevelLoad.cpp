#include "archive/LevelLoad.h"

#include "base/Error.h"
#include "base/Text.h"
#include "ce/CeGraphics.h"
#include "level/Loader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>

namespace vantrel {

namespace {

constexpr std::string_view kCannotOpenLine = "Error: Can not open file\n";

// A message on one line: the rejection's first line ("Error: Can not open
// file") left out, the other line breaks made blanks.
std::string OneLine(std::string text)
{
    if (text.starts_with(kCannotOpenLine)) text.erase(0, kCannotOpenLine.size());
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

LevelLayout LayoutOf(const ChunkIndex& index)
{
    if (index.Format != LevelFormat::Rnd1) return LevelLayout::Cookie;
    return index.Newer ? LevelLayout::Newer : LevelLayout::Chunked;
}

// How often each code stands in the map, codes ascending.
std::vector<ElementCount> CountElements(const CellGrid& grid, int width, int height)
{
    std::array<std::uint32_t, 1024> low{};
    std::map<std::uint16_t, std::uint32_t> high;
    for (int y = 1; y <= height; ++y) {
        for (int x = 1; x <= width; ++x) {
            const std::uint16_t code = grid.At(x, y);
            if (code < low.size())
                ++low[code];
            else
                ++high[code];
        }
    }
    std::vector<ElementCount> counts;
    for (std::size_t code = 0; code < low.size(); ++code)
        if (low[code] != 0) counts.push_back({static_cast<std::uint16_t>(code), low[code]});
    for (const auto& [code, n] : high) counts.push_back({code, n});
    return counts;
}

// The CE list's lines, "45: name", as number and name, with the graphic each borrows.
std::vector<IndexedCe> CesOf(const OpenLevel& lvl, const TextLines& ceList)
{
    std::vector<IndexedCe> ces;
    if (ceList.empty()) return ces;
    const CeGraphics looks = CeGraphicsOf(lvl);
    for (const std::string_view line : ceList) {
        IndexedCe ce;
        const std::size_t colon = line.find(": ");
        const std::string_view digits = line.substr(0, colon);
        std::from_chars(digits.data(), digits.data() + digits.size(), ce.Number);
        if (colon != std::string_view::npos) ce.Name = std::string(line.substr(colon + 2));
        if (ce.Number >= 1 && ce.Number <= kCeCount) ce.Graphic = looks[static_cast<std::size_t>(ce.Number - 1)];
        ces.push_back(std::move(ce));
    }
    return ces;
}

}  // namespace

void LoadIndexedLevel(const std::string& path, std::vector<std::uint8_t> bytes, IndexEntry& e,
                      const std::function<void(const OpenLevel&)>& use)
{
    OpenLevel lvl;
    LoadReport report;
    LoadOptions options;
    options.TickMs = [] { return std::int64_t{0}; };  // no time is shown
    e.State = IndexState::Level;
    try {
        LoadLevelFrom(lvl, std::make_unique<MemoryFile>(path, std::move(bytes)), report, options);
    } catch (const std::exception& error) {
        e.State = IndexState::Damaged;
        e.Problem = OneLine(error.what());
    }
    if (report.FileVersion) {
        e.Version = *report.FileVersion;
        e.Layout = LayoutOf(lvl.Index());
    }
    if (e.State == IndexState::Level && !report.Completed) {
        e.State = IndexState::NotLevel;
        e.Problem = report.Notices.empty() ? std::string("not a level") : OneLine(report.Notices.front().Text);
    }
    if (!report.Completed) return;
    e.Title = UpToZero(report.Title);
    e.Author = UpToZero(report.Author);
    if (report.HeaderBoxes) {
        const bool newer = lvl.Index().Newer;  // signed 16-bit numbers in the newer layout
        e.Time = newer ? static_cast<std::int16_t>(report.HeaderBoxes->Time) : report.HeaderBoxes->Time;
        e.Emeralds = newer ? static_cast<std::int16_t>(report.HeaderBoxes->Emeralds) : report.HeaderBoxes->Emeralds;
        e.Width = lvl.MapWidth();
        e.Height = lvl.MapHeight();
    }
    e.Elements = CountElements(lvl.Grid(), std::min(lvl.MapWidth(), lvl.Grid().Width()),
                               std::min(lvl.MapHeight(), lvl.Grid().Height()));
    e.Ces = CesOf(lvl, report.CeList);
    if (use) use(lvl);
    lvl.CloseLevelFile();
}

}  // namespace vantrel
