// The commands of vantrel-cli, each a function of its parsed arguments that
// returns the exit status: 0 done, 1 refused or failed, 2 a wrong command
// line the parser cannot see (export without lines or --all, an import's
// --set that is not OLD=NEW, set with nothing to change). main.cpp alone
// parses the command line.
#pragma once

#include "archive/ArchiveSearch.h"
#include "level/HeaderEdit.h"

#include <string>
#include <vector>

namespace vantrel {

int RunLoad(const std::string& file, bool withMap);
int RunCe(const std::string& file, int line);
int RunRender(const std::string& file, const std::string& out);
int RunExport(const std::string& file, const std::vector<int>& lines, bool all, bool force = false);
int RunImport(const std::string& file, const std::string& vce, const std::vector<std::string>& sets, int shift,
              bool yes, bool verbose);
// Creates a counter's custom elements at the end of the level file (none with dryRun).
int RunCounter(const std::string& file, int steps, const std::vector<int>& increments, int startCe, bool dryRun,
               bool yes, bool verbose);
// Puts the level's backup back into the level.
int RunRestore(const std::string& file, bool verbose);
int RunLevelsets(const std::string& dataDir);
int RunSort(const std::string& dir, bool dryRun);
// Set 3 players / Set 4 players over the level files of dir (nothing written with dryRun).
int RunPlayers(int players, const std::string& dir, bool dryRun);
int RunQuote(const std::string& postFile, const std::string& outDir, const std::string& imagePrefix);
// The File Info edits of a level: title, author, time left, emeralds to collect.
int RunSet(const std::string& file, const HeaderChanges& changes, bool verbose);
// What the game makes of each level: findings, then a summary; 0 only when all are clean.
int RunCheck(const std::vector<std::string>& names);
int RunSketch(const std::string& file, const std::vector<int>& rect);
// The index of every level under the folders, one line (or JSON object) a level.
int RunIndex(const std::vector<std::string>& folders, bool json, const std::string& cache);
// The levels of the index that match the query; 1 when none does.
int RunFind(const std::vector<std::string>& folders, const ArchiveQuery& query, const std::string& sortBy,
            bool descending, bool json, const std::string& cache);
// The index cache in the user's cache folder: $XDG_CACHE_HOME/vantrel or ~/.cache/vantrel.
std::string DefaultIndexCache();
// A contact sheet of a levelset's levels, columns thumbnails a row.
int RunSheet(const std::string& set, const std::string& out, int columns);

}  // namespace vantrel
