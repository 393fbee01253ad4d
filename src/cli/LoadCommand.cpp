#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "level/Loader.h"
#include "base/Error.h"
#include "tell/Tell.h"

#include <iostream>

namespace vantrel {

namespace {

// The load log; after a completed load also the header boxes, the CE list and (withMap) the map.
void PrintLoad(const OpenLevel& lvl, const LoadReport& report, bool withMap, std::ostream& out)
{
    for (const std::string_view line : lvl.Log()) out << line << '\n';
    if (!report.Completed) return;  // a refused or failed load has nothing more to show
    out << "--\n";
    const LoadReport::Header header = report.HeaderBoxes.value_or(LoadReport::Header{});
    out << "Level Title: " << UpToZero(report.Title) << '\n';
    out << "Author: " << UpToZero(report.Author) << '\n';
    out << "File Version: " << report.FileVersion.value_or("") << '\n';
    out << "Map Size: " << header.MapSize << '\n';
    // The newer layout stores both as signed 16-bit numbers.
    const bool newer = lvl.Index().Newer;
    out << "Time left: " << (newer ? static_cast<std::int16_t>(header.Time) : header.Time) << '\n';
    out << "Emeralds to collect: " << (newer ? static_cast<std::int16_t>(header.Emeralds) : header.Emeralds) << '\n';
    out << "CE list:\n";
    for (const std::string_view line : report.CeList) out << line << '\n';
    if (withMap) {
        out << "Map:\n";
        for (int y = 1; y <= lvl.MapHeight(); ++y) {
            for (int x = 1; x <= lvl.MapWidth(); ++x) out << (x > 1 ? " " : "") << lvl.Grid().At(x, y);
            out << '\n';
        }
    }
}

}  // namespace

int RunLoad(const std::string& file, bool withMap)
{
    CliUserInterface ui(std::cerr);
    OpenLevel lvl;
    LoadReport report;
    try {
        LoadAndTell(lvl, file, ui, report, ReadOnlyLoad());
    } catch (const VantrelError&) {
        PrintLoad(lvl, report, false, std::cout);  // what the load found before it failed
        throw;
    }
    PrintLoad(lvl, report, withMap, std::cout);
    lvl.CloseLevelFile();
    return report.Completed ? 0 : 1;
}

}  // namespace vantrel
