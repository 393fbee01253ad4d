#include "quote/LevelWriter.h"

#include "base/Bytes.h"
#include "base/Error.h"
#include "base/Text.h"
#include "level/ByteFile.h"
#include "level/OpenLevel.h"
#include "level/WholeFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace vantrel {

namespace {

namespace fs = std::filesystem;

// A text field of 32 bytes as hexadecimal digits: the text cut to 32
// characters, then zero bytes.
std::string TextField(const std::string& text)
{
    std::string hex = BytesToHex(text.substr(0, kNewLevelTextSize));
    while (hex.size() < 2 * kNewLevelTextSize) hex += "00";
    return hex;
}

bool IsDirectory(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

bool Exists(const fs::path& path)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

// The full path of name in directory.
std::string Join(const std::string& directory, const std::string& name)
{
    std::error_code ec;
    fs::path dir = fs::absolute(directory, ec);
    if (ec) dir = directory;
    return (dir / name).lexically_normal().string();
}

enum class Created { Yes, NameTaken };

// Writes bytes as the new file path, whole or not at all; NameTaken when path exists.
Created TryCreateLevelFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    return WriteNewWholeFile(path, bytes) ? Created::Yes : Created::NameTaken;
}

}  // namespace

std::optional<std::string> NextFreeLevelPath(const std::string& directory)
{
    for (int n = 1; n <= 999; ++n) {
        std::string path = Join(directory, ZeroPadInt(n, 3) + ".level");
        if (!Exists(path)) return path;
    }
    return std::nullopt;
}

void WriteNewLevelHeader(WritableFile& file, const std::string& author, const std::string& title, std::uint8_t width,
                         std::uint8_t height, std::uint16_t emeralds, std::uint16_t timeLeft)
{
    WriteHexAtPos(-1, file, "524E4431000000004341564556455253");  // "RND1", 0, "CAVE" "VERS"
    WriteHexAtPos(-1, file, "00000008020000000300080348454144");  // 8, the versions, "HEAD"
    WriteHexAtPos(-1, file, "00000050" + HexText(width, 2) + HexText(height, 2) + HexText(timeLeft, 4) +
                                HexText(emeralds, 4) + TextField(title));
    std::string defaults;
    RepeatHexByte(16, 10, defaults);
    RepeatHexByte(36, 4, defaults);
    RepeatHexByte(2, 10, defaults);
    WriteHexAtPos(-1, file, defaults);
    WriteHexAtPos(-1, file, "0A0E0000010000000000000000000000");  // 10, 14, 0, 0, cell width flag 1, zeros
    WriteHexAtPos(-1, file, "000000004155544800000020" + TextField(author));
}

void WriteBodyHeader(WritableFile& file, std::uint8_t width, std::uint8_t height)
{
    WriteHexAtPos(-1, file, "424F4459" + HexText(static_cast<std::uint32_t>(width) * height * 2, 8));
}

void WriteBodyCells(WritableFile& file, const std::vector<std::uint16_t>& cells)
{
    std::string hex;
    hex.reserve(cells.size() * 4);
    for (const std::uint16_t code : cells) hex += HexText(code, 4);
    WriteHexAtPos(-1, file, hex);
}

std::vector<std::uint8_t> NewLevelBytes(const NewLevel& level)
{
    MemoryFile file("new.level", {});
    WriteNewLevelHeader(file, level.Author, level.Title, level.Width, level.Height, level.Emeralds, level.TimeLeft);
    WriteBodyHeader(file, level.Width, level.Height);
    WriteBodyCells(file, level.Cells);
    return file.Bytes();
}

std::optional<std::string> ChooseNewLevelPath(const std::string& outputDir, const std::string& fallbackDir,
                                              std::string& reason)
{
    if (IsDirectory(outputDir)) {
        auto path = NextFreeLevelPath(outputDir);
        if (!path) reason = "No free level file name in " + outputDir + ": 001.level to 999.level all exist.";
        return path;
    }
    const std::string why = outputDir.empty() ? "No output directory is set"
                            : Exists(outputDir) ? "The output directory " + outputDir + " is not a directory"
                                                : "The output directory " + outputDir + " does not exist";
    if (fallbackDir.empty()) {
        reason = why + ", and no directory was listed on the Levelset Manager page.";
        return std::nullopt;
    }
    std::string path = Join(fallbackDir, "000.level");
    if (Exists(path)) {
        reason = why + ", and " + path + " exists already.";
        return std::nullopt;
    }
    return path;
}

void CreateLevelFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    if (TryCreateLevelFile(path, bytes) == Created::NameTaken)
        throw VantrelError("Cannot create the file (it exists already): " + path + "\nNo level was written.");
}

std::optional<std::string> SaveNewLevel(const NewLevel& level, const std::string& outputDir,
                                        const std::string& fallbackDir, std::string& reason)
{
    const std::vector<std::uint8_t> bytes = NewLevelBytes(level);
    // Each name found taken at the create is one more existing file, so this ends.
    for (int tries = 0; tries < 1000; ++tries) {
        std::optional<std::string> path = ChooseNewLevelPath(outputDir, fallbackDir, reason);
        if (!path) return std::nullopt;
        if (TryCreateLevelFile(*path, bytes) == Created::Yes) return path;
    }
    reason = "No free level file name in " + outputDir + ".";
    return std::nullopt;
}

}  // namespace vantrel
