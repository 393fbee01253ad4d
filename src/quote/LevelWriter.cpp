#include "quote/LevelWriter.h"

#include "base/Bytes.h"
#include "base/Error.h"
#include "base/PathText.h"
#include "base/Text.h"
#include "file/WholeFile.h"
#include "format/RecordLayouts.h"

#include <array>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace vantrel {

namespace {

namespace fs = std::filesystem;

bool Exists(const std::string& path)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(PathOf(path), ec));
}

// The full path of name in directory, or the name in directory as given
// when the full path is longer than the system takes.
std::string Join(const std::string& directory, const std::string& name)
{
    std::error_code ec;
    const fs::path dir = fs::absolute(PathOf(directory), ec);
    const std::string full = JoinPath((ec ? PathOf(directory) : dir).lexically_normal().string(), name);
    return full.size() > kLongestPath ? JoinPath(directory, name) : full;
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
    for (int n = 1; n <= kLastLevelNumber; ++n) {
        std::string path = Join(directory, ZeroPadInt(n, 3) + ".level");
        if (!Exists(path)) return path;
    }
    return std::nullopt;
}

std::vector<std::uint8_t> NewLevelBytes(const NewLevel& level)
{
    std::vector<std::uint8_t> out;
    out.reserve(kNewLevelFixedSize + level.Cells.size() * 2);
    const auto chunk = [&out](std::string_view name, std::uint32_t size) {
        out.insert(out.end(), name.begin(), name.end());
        AppendBigEndian(out, size, 4);
    };
    const auto record = [&out](const auto& bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); };
    // "RND1" with a size the game never reads, "CAVE", the version chunk.
    chunk("RND1", 0);
    record(std::string_view("CAVE"));
    std::array<std::uint8_t, kVersLength> vers{};
    PutField(vers.data(), VersField::FileVersion, kNewLevelFileVersion);
    PutField(vers.data(), VersField::GameVersion, kNewLevelGameVersion);
    chunk("VERS", kVersLength);
    record(vers);
    // The header: the level's own values, the game's defaults for the rest.
    std::array<std::uint8_t, kHeadLength> head{};
    std::uint8_t* const h = head.data();
    PutField(h, HeadField::Width, level.Width);
    PutField(h, HeadField::Height, level.Height);
    PutField(h, HeadField::Time, level.TimeLeft);
    PutField(h, HeadField::Emeralds, level.Emeralds);
    PutTextField(h, HeadField::Title, level.Title);
    FillField(h, HeadField::Scores, 10);
    FillField(h, HeadField::YamYamContents, 4);  // rocks
    PutField(h, HeadField::AmoebaSpeed, 10);
    PutField(h, HeadField::MagicWallTime, 10);
    PutField(h, HeadField::WheelTime, 10);
    PutField(h, HeadField::AmoebaContent, 14);  // diamonds
    PutField(h, HeadField::Wide16, 1);
    chunk("HEAD", kHeadStatedSize);
    record(head);
    std::array<std::uint8_t, kAuthChunkSize> author{};
    PutTextField(author.data(), {0, kAuthChunkSize}, level.Author);
    chunk("AUTH", kAuthChunkSize);
    record(author);
    chunk("BODY", static_cast<std::uint32_t>(level.Width) * level.Height * 2);
    for (const std::uint16_t code : level.Cells) AppendBigEndian(out, code, 2);
    return out;
}

std::optional<std::string> ChooseNewLevelPath(const std::string& outputDir, const std::string& fallbackDir,
                                              std::string& reason)
{
    if (IsDirectory(outputDir)) {
        auto path = NextFreeLevelPath(outputDir);
        if (!path) reason = "No free level file name in " + outputDir + ": 001.level to " + ZeroPadInt(kLastLevelNumber, 3) +
                                ".level all exist.";
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

std::optional<std::string> SaveNewLevel(const NewLevel& level, const std::string& outputDir,
                                        const std::string& fallbackDir, std::string& reason)
{
    const std::vector<std::uint8_t> bytes = NewLevelBytes(level);
    // Each name found taken at the create is one more existing file, so this ends.
    for (int tries = 0; tries <= kLastLevelNumber; ++tries) {
        std::optional<std::string> path = ChooseNewLevelPath(outputDir, fallbackDir, reason);
        if (!path) return std::nullopt;
        if (TryCreateLevelFile(*path, bytes) == Created::Yes) return path;
    }
    reason = "No free level file name in " + outputDir + ".";
    return std::nullopt;
}

}  // namespace vantrel
