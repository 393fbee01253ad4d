// vantrel-cli index DIR... and find DIR...: the index of every level under
// the folders (kept in the user's cache folder between runs), printed whole
// or searched.
#include "archive/ArchiveSearch.h"
#include "archive/IndexText.h"
#include "archive/LevelIndex.h"
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"

#include <cstdlib>
#include <iostream>

namespace vantrel {

namespace {

// The index of the folders, with the walk's notices on standard error.
ArchiveIndex MakeIndex(const std::vector<std::string>& folders, const std::string& cache)
{
    IndexOptions options;
    options.CachePath = cache;
    ArchiveIndex index = BuildArchiveIndex(folders, options);
    for (const std::string& notice : index.Notices) PrintMessage(std::cerr, notice);
    return index;
}

void Print(const IndexEntry& e, bool json, std::string& out)
{
    if (json)
        out += IndexJson(e);
    else
        AppendIndexLine(out, e);
    out += '\n';
    if (out.size() > (1 << 16)) {
        std::cout << out;
        out.clear();
    }
}

}  // namespace

std::string DefaultIndexCache()
{
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && *xdg == '/') return std::string(xdg) + "/vantrel/" + kIndexCacheName;
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.cache/vantrel/" + kIndexCacheName;
    return {};
}

int RunIndex(const std::vector<std::string>& folders, bool json, const std::string& cache)
{
    const ArchiveIndex index = MakeIndex(folders, cache);
    std::string out;
    for (const IndexEntry& e : index.Entries) Print(e, json, out);
    std::cout << out << std::flush;
    return index.RootsNotWalked > 0 ? 1 : 0;  // a folder named was not there to index
}

int RunFind(const std::vector<std::string>& folders, const ArchiveQuery& query, const std::string& sortBy,
            bool descending, bool json, const std::string& cache)
{
    const ArchiveIndex index = MakeIndex(folders, cache);
    std::vector<std::size_t> found = Search(index.Entries, query);
    if (!sortBy.empty()) SortResults(found, index.Entries, *ColumnFromName(sortBy), descending);
    std::string out;
    for (const std::size_t i : found) Print(index.Entries[i], json, out);
    std::cout << out << std::flush;
    return found.empty() || index.RootsNotWalked > 0 ? 1 : 0;
}

}  // namespace vantrel
