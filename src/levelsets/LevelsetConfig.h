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
// exists; otherwise the user is asked for one, which is then stored. A typed
// directory that does not exist yet is created once the user agrees. The
// empty text when the user cancels (the stored value stays as it was).
std::string DirectorySetting(const std::string& name, SettingsStore& settings, UserInterface& ui);

// Makes sure a directory the user named exists: one that does not is created
// (with the folders above it) once the user agrees. False when the user
// declines or it cannot be created (then said in an error box).
bool MakeDirectoryIfAgreed(const std::string& directory, UserInterface& ui);
// The question asked before a directory is created.
std::string CreateDirectoryQuestion(const std::string& directory);

// The data directory a chosen folder names: the folder itself, or its parent
// when the folder is the game's "levels" folder (named "levels", holding no
// "levels" of its own, its parent holding it).
std::string DataDirectoryOf(const std::string& chosen);
// A data directory the user typed or picked, made what DataDirectoryOf names;
// nothing, after an error box, when it holds no "levels" folder.
std::optional<std::string> CheckedDataDirectory(const std::string& chosen, UserInterface& ui);

// The data directory (the one holding "levels"), found through "datadir" or,
// failing that, through the user pointing at the game's setup.conf or
// levelsetup.conf. Nothing when the user cancels that: the scan ends.
std::optional<std::string> LocateDataDirectory(SettingsStore& settings, UserInterface& ui);

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
