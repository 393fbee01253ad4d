// The levels opened last, most recent first, kept in the settings (one
// setting a place: "recentfile1" .. "recentfile8") so that the File menu can
// offer them again in the next session.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

class SettingsStore;

inline constexpr int kRecentFilesKept = 8;

// The list as the settings hold it, empty places left out.
std::vector<std::string> ReadRecentFiles(SettingsStore& settings);
// Puts path first; a path already listed moves up, the ninth falls off.
void NoteRecentFile(SettingsStore& settings, const std::string& path);

}  // namespace vantrel
