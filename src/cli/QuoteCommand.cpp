// vantrel-cli quote POSTFILE [--out DIR]: a new level from a forum post or
// Level Sketch text; vantrel-cli sketch LEVEL [X Y W H]: the Level Sketch
// text of a level's map or of a rectangle of it (the level is only read).
#include "base/PathText.h"
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "file/ByteFile.h"
#include "level/Loader.h"
#include "quote/QuotePost.h"
#include "tell/Tell.h"
#include "view/MapClipboard.h"

#include <filesystem>
#include <iostream>
#include <sstream>

namespace vantrel {

namespace {

std::string ReadPost(const std::string& postFile)
{
    if (postFile == "-") {
        std::ostringstream text;
        text << std::cin.rdbuf();
        return text.str();
    }
    const std::vector<std::uint8_t> bytes = ReadFileToEnd(postFile);  // a named pipe to its end too
    return {bytes.begin(), bytes.end()};
}

}  // namespace

int RunQuote(const std::string& postFile, const std::string& outDir, const std::string& imagePrefix)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(PathOf(outDir), ec)) {
        PrintMessage(std::cerr, "The output folder " + outDir + " does not exist or is no folder: make it, or name "
                                "another with --out. No level was written.");
        return 1;
    }
    const std::string post = ReadPost(postFile);
    const QuoteLevelResult made = MakeLevelFromQuote(post, outDir, "", imagePrefix);
    PrintMessage(std::cerr, made.Message);
    if (!made.Path) return 1;
    std::cout << *made.Path << '\n';
    return 0;
}

int RunSketch(const std::string& file, const std::vector<int>& rect)
{
    CliUserInterface ui(std::cerr);
    OpenLevel lvl;
    LoadReport report;
    LoadAndTell(lvl, file, ui, report, ReadOnlyLoad());
    if (!report.Completed) return 1;  // refused: the loader has said why
    const int width = lvl.MapWidth(), height = lvl.MapHeight();
    int x = 1, y = 1, w = width, h = height;
    if (rect.size() == 4) {
        x = rect[0], y = rect[1], w = rect[2], h = rect[3];
        if (x < 1 || y < 1 || w < 1 || h < 1 || x + w - 1 > width || y + h - 1 > height) {
            PrintMessage(std::cerr, "The rectangle of " + std::to_string(w) + " x " + std::to_string(h) +
                                        " cells from column " + std::to_string(x) + ", row " + std::to_string(y) +
                                        " does not lie inside the map of " + std::to_string(width) + " x " +
                                        std::to_string(height) + " cells.");
            return 1;
        }
    }
    MapSelection sel;
    sel.SelectionStart = PackCell(x, y);
    sel.SelectionEnd = PackCell(x + w - 1, y + h - 1);
    MapClipboard clip;
    if (!CopySelection(lvl, sel, clip)) {
        PrintMessage(std::cerr, "The level has no map.");
        return 1;
    }
    for (const std::string& line : LevelSketchLines(clip)) std::cout << line << '\n';
    return 0;
}

}  // namespace vantrel
