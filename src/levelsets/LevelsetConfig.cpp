#include "levelsets/LevelsetConfig.h"

#include "base/Error.h"
#include "base/PathText.h"
#include "base/Text.h"
#include "base/UserInterface.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace vantrel {

namespace {

[[noreturn]] void ThrowCannotRead(const std::string& path, const std::string& why)
{
    throw VantrelError("Cannot read " + path + ": " + why);
}

char Lowered(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string DirectorySetting(const std::string& name, SettingsStore& settings, UserInterface& ui)
{
    const std::string stored = settings.ReadSetting(name);
    if (IsDirectory(stored)) return stored;
    // The chooser's title says what it is for.
    const auto chosen = ui.ChooseDirectory(kSelectDirectoryMessage + name, stored);
    if (!chosen || chosen->empty() || !MakeDirectoryIfAgreed(*chosen, ui)) return {};
    settings.WriteSetting(name, *chosen);
    return *chosen;
}

std::string CreateDirectoryQuestion(const std::string& directory)
{
    return "The folder " + directory + " does not exist. Create it?";
}

bool MakeDirectoryIfAgreed(const std::string& directory, UserInterface& ui)
{
    if (IsDirectory(directory)) return true;
    if (!ui.WarningYesNo(CreateDirectoryQuestion(directory))) return false;
    std::error_code ec;
    fs::create_directories(PathOf(directory), ec);
    if (ec || !IsDirectory(directory))
        throw VantrelError("Cannot create the folder " + directory + ": " + (ec ? ec.message() : "a file has its name"));
    return true;
}

std::string DataDirectoryOf(const std::string& chosen)
{
    fs::path path = PathOf(chosen);
    while (!path.empty() && !path.has_filename() && path != path.root_path()) path = path.parent_path();
    if (path.filename() != "levels" || IsDirectory(JoinPath(chosen, "levels"))) return chosen;
    const fs::path parent = path.parent_path();
    if (parent.empty() || !IsDirectory(JoinPath(parent.string(), "levels"))) return chosen;
    return parent.string();
}

std::optional<std::string> CheckedDataDirectory(const std::string& chosen)
{
    const std::string dir = DataDirectoryOf(chosen);
    if (!dir.empty() && IsDirectory(JoinPath(dir, "levels"))) return dir;
    return std::nullopt;
}

std::string NoLevelsFolderMessage(const std::string& chosen)
{
    return "The folder " + (chosen.empty() ? std::string("\"\"") : chosen) +
           " holds no \"levels\" folder: choose the game's data directory, the folder that holds \"levels\".";
}

std::optional<std::string> StoredDataDirectory(SettingsStore& settings, UserInterface& ui)
{
    std::string dir = DirectorySetting(kDataDirSetting, settings, ui);
    // The "levels" folder itself stands for the data directory above it.
    if (const std::string above = DataDirectoryOf(dir); above != dir) {
        settings.WriteSetting(kDataDirSetting, above);
        dir = above;
    }
    // An empty setting names no directory (it must not become "/levels").
    if (!dir.empty() && IsDirectory(JoinPath(dir, "levels"))) return dir;
    return std::nullopt;
}

std::optional<std::string> DataDirectoryFromSetupFile(SettingsStore& settings, UserInterface& ui,
                                                      const std::string& startDir)
{
    const auto chosen = ui.ChooseFile(kFindSetupTitle, kFindSetupFilterName, kFindSetupPattern, startDir);
    if (!chosen || chosen->empty()) return std::nullopt;
    std::error_code ec;
    fs::path parent = fs::absolute(PathOf(*chosen), ec).lexically_normal().parent_path();
    std::string found = parent.string();
    while (found.size() > 1 && found.back() == '/') found.pop_back();
    settings.WriteSetting(kDataDirSetting, found);
    return found;
}

std::string StripLeadingBlanks(const std::string& text)
{
    const auto first = text.find_first_not_of("\t ");
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string ReadConfValue(const std::string& path, const std::string& key)
{
    // Not blocking: a named pipe in the name's place must not hold the scan up.
    platform::OpenHow how;
    how.NoWait = true;
    platform::File file;
    if (const platform::Outcome opened = platform::Open(path, how, file); !opened.Ok())
        ThrowCannotRead(path, opened.Text);
    platform::FileInfo info;
    if (const platform::Outcome looked = platform::Look(file, info); !looked.Ok()) ThrowCannotRead(path, looked.Text);
    if (info.Type == platform::Kind::Directory) ThrowCannotRead(path, std::strerror(EISDIR));
    if (info.Type != platform::Kind::Regular) ThrowCannotRead(path, "it is not a regular file");

    const std::string separator = key + ":";
    // The value of one line, or the empty text when it is no entry of the key.
    auto valueOf = [&](std::string line) -> std::string {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, key.size(), key) != 0) return {};
        return StripLeadingBlanks(TextAfter(line, separator));
    };

    std::string pending;  // the line read so far
    char buffer[8192];
    for (;;) {
        std::size_t got = 0;
        const platform::Outcome read =
            platform::ReadNext(file, reinterpret_cast<std::uint8_t*>(buffer), sizeof buffer, got);
        if (!read.Ok()) ThrowCannotRead(path, read.Text);
        if (got == 0) break;
        const char* begin = buffer;
        const char* end = buffer + got;
        while (begin < end) {
            const char* feed = std::find(begin, end, '\n');
            pending.append(begin, feed);
            if (feed == end) break;
            std::string value = valueOf(std::move(pending));
            if (!value.empty()) return value;
            pending.clear();
            begin = feed + 1;
        }
    }
    return valueOf(std::move(pending));
}

bool IsLevelFileName(const std::string& name)
{
    static constexpr std::string_view suffix = ".level";
    return name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool LevelNameLess(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(Lowered(a[i]));
        const auto cb = static_cast<unsigned char>(Lowered(b[i]));
        if (ca != cb) return ca < cb;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;  // std::string compares bytes as unsigned
}

std::vector<std::string> ListLevelFiles(const std::string& directory)
{
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(PathOf(directory), ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!IsLevelFileName(name)) continue;
        std::error_code statError;
        if (it->is_regular_file(statError)) names.push_back(name);
    }
    if (ec) throw VantrelError("Cannot list the folder " + directory + ": " + ec.message());
    std::sort(names.begin(), names.end(), LevelNameLess);
    return names;
}

LevelsetInfo LevelsetLabel(const std::string& directory)
{
    const std::string conf = JoinPath(directory, kLevelinfoName);
    LevelsetInfo info;
    const std::string name = ReadConfValue(conf, "name");
    if (ReadConfValue(conf, "level_group") == "true") {
        info.Kind = LevelsetKind::Group;
        info.Label = name + " (Group)";
        return info;
    }
    info.Levels = static_cast<long>(ListLevelFiles(directory).size());
    info.Label = name + " (" + std::to_string(info.Levels) + " levels)";
    return info;
}

}  // namespace vantrel
