// The game's directory tree as the levelset manager reads it: the two
// directory settings, where the data directory is, one key of a levelinfo.conf,
// and how a levelset directory is named in the levelset tree.
#pragma once

#include "base/Text.h"

#include <optional>
#include <string>
#include <vector>

namespace vantrel {

class SettingsStore;
class UserInterface;

inline constexpr char kDataDirSetting[] = "datadir";
inline constexpr char kOutputDirSetting[] = "outputdir";
inline constexpr char kLevelinfoName[] = "levelinfo.conf";
inline constexpr char kSelectDirectoryMessage[] = "Select directory for ";
inline constexpr char kFindSetupMessage[] =
    "Please find Rocks'n'diamonds setup.conf file or a levelsetup.conf file (look in the My documents directory)";
inline constexpr char kFindSetupTitle[] = "Find setup.conf";
inline constexpr char kFindSetupFilterName[] = "setup.conf or levelsetup.conf";
inline constexpr char kFindSetupPattern[] = "setup.conf levelsetup.conf";
inline constexpr char kSetupNotFoundMessage[] = "setup.conf not found";

// A directory setting made valid on demand: the stored directory when it
// exists; otherwise the user is asked for one in a directory chooser titled
// "Select directory for NAME", which is then stored. A typed directory that
// does not exist yet is created once the user agrees. The empty text when the
// user cancels (the stored value stays as it was). Throws when the directory
// cannot be created.
std::string DirectorySetting(const std::string& name, SettingsStore& settings, UserInterface& ui);

// Makes sure a directory the user named exists: one that does not is created
// (with the folders above it) once the user agrees. False when the user
// declines; throws when it cannot be created.
bool MakeDirectoryIfAgreed(const std::string& directory, UserInterface& ui);
// The question asked before a directory is created.
std::string CreateDirectoryQuestion(const std::string& directory);

// The data directory a chosen folder names: the folder itself, or its parent
// when the folder is the game's "levels" folder (named "levels", holding no
// "levels" of its own, its parent holding it).
std::string DataDirectoryOf(const std::string& chosen);
// A data directory the user typed or picked, made what DataDirectoryOf names;
// nothing when it holds no "levels" folder (NoLevelsFolderMessage says so).
std::optional<std::string> CheckedDataDirectory(const std::string& chosen);
std::string NoLevelsFolderMessage(const std::string& chosen);

// The data directory (the one holding "levels") that "datadir" names, asked
// for when it names no folder (DirectorySetting); the "levels" folder itself
// stands for the one above it. Nothing when it holds no "levels" folder: the
// window then says kFindSetupMessage and asks for the game's setup.conf
// (DataDirectoryFromSetupFile).
std::optional<std::string> StoredDataDirectory(SettingsStore& settings, UserInterface& ui);
// Asks for the game's setup.conf or levelsetup.conf (a file dialog titled
// kFindSetupTitle, starting in startDir) and stores its folder as "datadir".
// Nothing when the user cancels: the window then says kSetupNotFoundMessage
// and the scan ends.
std::optional<std::string> DataDirectoryFromSetupFile(SettingsStore& settings, UserInterface& ui,
                                                      const std::string& startDir);

// The text without its leading tabs and blanks.
std::string StripLeadingBlanks(const std::string& text);

// The value of key in a configuration file of the game: the first line that
// begins with the key and a colon and gives a non-empty value. Lines end at a
// line feed, a carriage return before it is dropped. Throws when the file
// cannot be read.
std::string ReadConfValue(const std::string& path, const std::string& key);

enum class LevelsetKind { Levelset, Group };

struct LevelsetInfo {
    LevelsetKind Kind = LevelsetKind::Levelset;
    std::string Label;  // name + " (Group)", or name + " (N levels)"
    long Levels = 0;    // N; 0 for a group
};

// Kind and label of a directory that holds a levelinfo.conf.
LevelsetInfo LevelsetLabel(const std::string& directory);

// Whether a name is listed as a level: it ends in ".level".
bool IsLevelFileName(const std::string& name);
// The order of names in listings: ASCII letters compare lowered, byte by
// byte; names equal that way compare by their raw bytes.
bool LevelNameLess(const std::string& a, const std::string& b);
// The level files directly in a directory (regular files, links followed),
// names only, in listing order. Throws when the directory cannot be listed.
std::vector<std::string> ListLevelFiles(const std::string& directory);

}  // namespace vantrel
