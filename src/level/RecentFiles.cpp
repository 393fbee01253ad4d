#include "level/RecentFiles.h"

#include "base/PathText.h"
#include "base/UserInterface.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace vantrel {

namespace {

std::string RecentKey(int place)
{
    return "recentfile" + std::to_string(place);
}

}  // namespace

std::vector<std::string> ReadRecentFiles(SettingsStore& settings)
{
    std::vector<std::string> paths;
    for (int place = 1; place <= kRecentFilesKept; ++place) {
        std::string path = settings.ReadSetting(RecentKey(place));
        if (!path.empty()) paths.push_back(std::move(path));
    }
    return paths;
}

void NoteRecentFile(SettingsStore& settings, const std::string& given)
{
    if (given.empty()) return;
    // Kept as a full path: a level opened by a relative name opens again from anywhere.
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(PathOf(given), error);
    const std::string path = error ? given : full.lexically_normal().string();
    std::vector<std::string> paths = ReadRecentFiles(settings);
    paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
    paths.insert(paths.begin(), path);
    for (int place = 1; place <= kRecentFilesKept; ++place) {
        const auto i = static_cast<std::size_t>(place - 1);
        settings.WriteSetting(RecentKey(place), i < paths.size() ? paths[i] : std::string());
    }
}

}  // namespace vantrel
