// Sort the levels: renumbers the level files of one directory in listing
// order from the set's first level as the game numbers it (001.level,
// 002.level, ... for a set that starts at 1; 000.level, ... for one that
// starts at 0). A rename never replaces a file: the renames are made in an
// order in which each new name is free (a level moving up waits for the
// level above it to move first), and a level whose new name is held by a
// file that stays keeps its name. A level's backup NAME.level.bak moves with
// it, before it. The backup of a level that is gone does not stand in the
// way: it is moved aside under a free name, or, when a level without a
// backup of its own is the backup's bytes with changes after them, put
// beside that level. A first_level the game cannot number levels from
// (below 0, or one that would take the last level past 999) refuses the
// sort, as does a levelinfo.conf that cannot be read. A level that a
// program of ours left half-changed (its journal beside it) is put back
// before it is renamed; one that cannot be put back refuses the sort. The
// renames are planned whole and written into the folder's journal before the
// first is made: a sort stopped in its middle is finished as planned by the
// next sort, which renumbers nothing else.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

struct SortRename {
    std::string From;
    std::string To;
    bool WithBackup = false;  // FROM.bak became TO.bak as well
};

struct SortSkip {
    std::string Entry;
    std::string Reason;
    bool Refused = false;  // the system refused the rename
};

struct SortResult {
    std::vector<SortRename> Renamed;
    std::vector<SortSkip> Skipped;
    long Kept = 0;  // entries that already bore their number
    // Backups of levels that are gone, moved aside (to NAME.level.old.bak,
    // never replacing a file) because a level took their level's number.
    std::vector<SortRename> BackupsMoved;
    // Backups of levels that are gone, left where they are after the sort.
    std::vector<std::string> BackupsKept;
    // Backups of levels that are gone, put beside the level they hold an
    // earlier version of (a level renamed while its backup was not).
    std::vector<SortRename> BackupsJoined;
    // What was said of levels put back before the sort, as they were before a
    // change that was cut off (their journal is found by their name).
    std::vector<std::string> PutBack;
    // A sort that was stopped in its middle was found and finished as it had
    // planned (Renamed holds what was left of it); nothing else was renumbered.
    bool FinishedStoppedSort = false;
};

// The highest level number the game reads (its levels are 000 to 999).
inline constexpr long kLastGameLevel = 999;

// The number of a levelset's first level as the game reads it: the
// "first_level" of the folder's levelinfo.conf, else that of the level
// groups above it, else 0. A folder without levelinfo.conf (which the game
// does not read as a levelset) starts at 0 when it holds 000.level, else at 1.
// Throws VantrelError when a levelinfo.conf cannot be read or gives a
// first_level the game cannot number levels from.
long GameFirstLevel(const std::string& dir, const std::vector<std::string>& entries);

// Renumbers entries (names of files in dir, in listing order) from GameFirstLevel. With dryRun,
// nothing on disk changes and the result says what a sort would do. Throws
// VantrelError, nothing renamed, when the set's first level cannot be read
// or the levels would be numbered past kLastGameLevel.
SortResult SortLevels(const std::string& dir, const std::vector<std::string>& entries, bool dryRun = false);

// The question asked once before a sort of the listed levels in dir, naming
// the numbers they will take.
std::string SortQuestion(const std::string& dir, const std::vector<std::string>& entries);

// What is said when a sort that was stopped was finished instead of a new sort.
inline constexpr char kStoppedSortFinishedMessage[] =
    "A sort of this folder was stopped before it was done: the renames it had planned were made now, and no other "
    "level was renumbered. Sort again to renumber the levels as they are listed now.";

// One text that sums up a sort: what was renamed, what was skipped and why.
std::string SortSummary(const SortResult& result);

// The new path of the level at levelPath when the sort of dir renamed it;
// empty when it lies in another folder or kept its name.
std::string RenamedPath(const SortResult& result, const std::string& dir, const std::string& levelPath);

}  // namespace vantrel
