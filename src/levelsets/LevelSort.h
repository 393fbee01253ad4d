// Sort the levels: renumbers the level files of one directory 001.level,
// 002.level, ... in listing order. A rename never replaces a file: a level
// whose new name is taken keeps its name, and a level's backup
// NAME.level.bak moves with it. The backup of a level that is gone does not
// stand in the way: it is moved aside under a free name.
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
};

// Renumbers entries (names of files in dir, in listing order). With dryRun,
// nothing on disk changes and the result says what a sort would do.
SortResult SortLevels(const std::string& dir, const std::vector<std::string>& entries, bool dryRun = false);

// The question asked once before a sort of count listed levels in dir.
std::string SortQuestion(const std::string& dir, std::size_t count);

// One text that sums up a sort: what was renamed, what was skipped and why.
std::string SortSummary(const SortResult& result);

}  // namespace vantrel
