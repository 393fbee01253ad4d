// vantrel-cli render FILE OUT: the whole map of a level as a picture, drawn
// tile for tile as the level view draws it; vantrel-cli sheet SET OUT: a
// contact sheet of a levelset's levels.
#include "archive/Thumbnails.h"
#include "ce/CeGraphics.h"
#include "base/PathText.h"
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "level/Loader.h"
#include "levelsets/LevelsetConfig.h"
#include "tell/Tell.h"
#include "view/Picture.h"
#include "view/TileAtlas.h"
#include "view/Tiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <optional>

namespace vantrel {

namespace {

// BMP or PNG by the output file's extension, or nothing for another one.
std::optional<PictureFormat> PictureFormatOf(const std::string& out)
{
    std::string ext = PathOf(out).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".bmp") return PictureFormat::Bmp;
    if (ext == ".png") return PictureFormat::Png;
    return std::nullopt;
}

}  // namespace

int RunRender(const std::string& file, const std::string& out)
{
    const std::optional<PictureFormat> format = PictureFormatOf(out);
    if (!format) {
        PrintMessage(std::cerr, std::string() + "The picture file must end in .bmp or .png: " + out);
        return 1;
    }
    CliUserInterface ui(std::cerr);
    OpenLevel lvl;
    LoadReport report;
    // The picture never takes the place of the level.
    std::error_code differ;
    if (std::filesystem::equivalent(PathOf(file), PathOf(out), differ)) {
        PrintMessage(std::cerr, "The picture would replace the level " + file + " itself; name another file for it.");
        return 1;
    }
    LoadAndTell(lvl, file, ui, report, ReadOnlyLoad());
    if (!report.Completed) return 1;  // refused: the loader has said why
    const SizedAtlas tiles(BuiltInAtlas(), kTileSize, CeGraphicsOf(lvl));  // read while the file is open
    lvl.CloseLevelFile();
    const Picture picture = MapPicture(tiles, lvl);
    SavePicture(picture, out, *format);
    std::cout << out << ": " << picture.Width() << " x " << picture.Height() << " pixels, " << lvl.MapWidth()
              << " x " << lvl.MapHeight() << " cells\n";
    return 0;
}

int RunSheet(const std::string& set, const std::string& out, int columns)
{
    const std::optional<PictureFormat> format = PictureFormatOf(out);
    if (!format) {
        PrintMessage(std::cerr, std::string() + "The picture file must end in .bmp or .png: " + out);
        return 1;
    }
    const std::vector<std::string> names = ListLevelFiles(set);
    if (names.empty()) {
        PrintMessage(std::cerr, "The folder " + set + " holds no level files.");
        return 1;
    }
    // The thumbnails on every core, then the sheet in the order of the levels.
    std::vector<SheetLevel> levels(names.size());
    OnEveryCore(names.size(), 0, [&](std::size_t i) {
        IndexEntry entry;
        levels[i].Thumbnail = LevelThumbnail(JoinPath(set, names[i]), kThumbnailBox, &entry);
        levels[i].Label = names[i].substr(0, names[i].size() - 6);
        levels[i].Title = entry.IsLevel() ? entry.Title : std::string(StateName(entry.State));
    });
    const Picture sheet = ContactSheet(levels, columns);
    SavePicture(sheet, out, *format);
    std::cout << out << ": " << sheet.Width() << " x " << sheet.Height() << " pixels, " << names.size()
              << (names.size() == 1 ? " level\n" : " levels\n");
    return 0;
}

}  // namespace vantrel
