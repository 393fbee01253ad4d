#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "level/Loader.h"
#include "shell/Error.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>

namespace vantrel {

namespace {

void PrintLoad(const OpenLevel& lvl, const LoadReport& report, bool withMap, std::ostream& out)
{
    for (const std::string& line : lvl.Log) out << line << '\n';
    out << "--\n";
    const LoadReport::Header header = report.HeaderBoxes.value_or(LoadReport::Header{});
    out << "Level Title: " << UpToZero(report.Title) << '\n';
    out << "Author: " << UpToZero(report.Author) << '\n';
    out << "File Version: " << report.FileVersion.value_or("") << '\n';
    out << "Map Size: " << header.MapSize << '\n';
    out << "Time left: " << header.Time << '\n';
    out << "Emeralds to collect: " << header.Emeralds << '\n';
    out << "CE list:\n";
    for (const std::string& line : report.CeList) out << line << '\n';
    if (withMap && report.Completed) {
        out << "Map:\n";
        for (int y = 1; y <= lvl.MapHeight; ++y) {
            for (int x = 1; x <= lvl.MapWidth; ++x) out << (x > 1 ? " " : "") << lvl.MapGrid[x][y];
            out << '\n';
        }
    }
}

int RunLoad(const std::string& file, bool withMap)
{
    CliUserInterface ui(std::cerr);
    OpenLevel lvl;
    LoadReport report;
    try {
        LoadLevel(lvl, file, ui, report);
    } catch (const VantrelError& e) {
        PrintLoad(lvl, report, false, std::cout);
        std::cerr << e.what() << '\n';
        return 1;
    }
    PrintLoad(lvl, report, withMap, std::cout);
    lvl.CloseLevelFile();
    return report.Completed ? 0 : 1;
}

}  // namespace

void AddLoadCommand(CLI::App& app, CliRun& run)
{
    struct Options {
        std::string file;
        bool map = false;
    };
    auto opts = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "load",
        "Load a level file as the window does (its backup included) and print the load log, a line \"--\", "
        "the header boxes, the custom element list and, with --map, the map");
    cmd->add_option("FILE", opts->file, "The .level file")->required();
    cmd->add_flag("--map", opts->map, "Also print the map, one row a line, codes in decimal");
    cmd->callback([&run, opts] { run = [opts] { return RunLoad(opts->file, opts->map); }; });
}

}  // namespace vantrel
