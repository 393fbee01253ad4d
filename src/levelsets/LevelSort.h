// Sort the levels: renumbers the level files of one directory 001.level,
// 002.level, ... in listing order. A rename never replaces a file: a level
// whose new name (or that name's backup) is taken keeps its name, and a
// level's backup NAME.level.bak moves with it.
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
};

struct SortResult {
    std::vector<SortRename> Renamed;
    std::vector<SortSkip> Skipped;
    long Kept = 0;  // entries that already bore their number
};

// Renumbers entries (names of files in dir, in listing order). With dryRun,
// nothing on disk changes and the result says what a sort would do.
SortResult SortLevels(const std::string& dir, const std::vector<std::string>& entries, bool dryRun = false);

// One text that sums up a sort: what was renamed, what was skipped and why.
std::string SortSummary(const SortResult& result);

}  // namespace vantrel
