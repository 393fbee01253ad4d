// The index of every level under a set of folders (the game's data directory
// and the folders the user adds): for each ".level" file what the loader
// reads of it (title, author, size, layout and version, time, emeralds, the
// elements it uses and its custom elements) and what the game's reading
// finds in it. Built on every core with progress; a file that is no level,
// a damaged and an unreadable one are listed as such and never stop the
// walk. A cache file keeps the index between runs, keyed by path, size and
// time of change, so that a second build reads only the files that changed.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// What became of a file.
enum class IndexState : std::uint8_t {
    Level = 0,       // loaded whole
    NotLevel = 1,    // refused: no level's signature, empty, larger than any level
    Damaged = 2,     // a level whose load fails part way
    Unreadable = 3,  // the file could not be read
};

// How the file is laid out.
enum class LevelLayout : std::uint8_t {
    None = 0,     // not known (no level)
    Cookie = 1,   // the cookie formats "1.0" to "1.4"
    Chunked = 2,  // the chunked "RND1" layout of HEAD, CUS4, ...
    Newer = 3,    // the newer chunked layout of NAME, INFO, CUSX, ...
};

struct IndexedCe {
    int Number = 0;
    std::string Name;
    std::optional<std::uint16_t> Graphic;  // the element whose graphic it is drawn with
    bool operator==(const IndexedCe&) const = default;
};

struct IndexedFinding {
    std::int64_t Offset = 0;
    std::string Text;
    bool Note = false;
    bool operator==(const IndexedFinding&) const = default;
};

struct ElementCount {
    std::uint16_t Code = 0;
    std::uint32_t Count = 0;
    bool operator==(const ElementCount&) const = default;
};

struct IndexEntry {
    // The key: the file as it was read.
    std::string Path;           // full path
    std::int64_t FileSize = 0;  // bytes
    std::int64_t ModTime = 0;   // the time of its last change: nanoseconds since 1970 (UTC)

    IndexState State = IndexState::Level;
    std::string Problem;  // why it is no level, damaged or unreadable

    // From the folder and the name, found again at every walk.
    std::string Levelset;  // the name its folder's levelinfo.conf gives, else the folder's name
    int Number = -1;       // the number its name gives (042.level: 42); -1 for another name

    // What the load read.
    LevelLayout Layout = LevelLayout::None;
    std::string Version;  // as the File Version box shows it: "1.0", "0200000003000803"
    std::string Title;    // up to the first zero byte, Latin-1
    std::string Author;
    int Width = 0;  // cells; 0 for a level without a header
    int Height = 0;
    int Time = 0;  // time left
    int Emeralds = 0;
    std::vector<ElementCount> Elements;  // every code the map holds, codes ascending
    std::vector<IndexedCe> Ces;          // the CE list, in order
    // What the game's reading says of it (vantrel-cli check).
    std::vector<IndexedFinding> Findings;
    bool Clean = true;  // no finding but notes

    bool IsLevel() const { return State == IndexState::Level; }
    bool HasFindings() const { return IsLevel() && !Clean; }
    // How many cells hold code (0 when none).
    std::uint32_t CountOf(std::uint16_t code) const;
    bool operator==(const IndexEntry&) const = default;
};

// The word for a state and a layout, as the command line and the page show them.
const char* StateName(IndexState state);
const char* LayoutName(LevelLayout layout);
std::optional<LevelLayout> LayoutFromName(const std::string& name);  // any case

// One level read from its bytes: the loader's reading and the game's. Fills
// everything but the key and the folder's fields (Levelset, Number).
IndexEntry IndexLevelBytes(const std::string& path, std::vector<std::uint8_t> bytes);
// One level file read from disk, its key and folder fields included.
IndexEntry IndexLevelFile(const std::string& path);
// The file at path, of size bytes as looked at, read and indexed (a file
// larger than any level is not read); fills what IndexLevelBytes fills.
IndexEntry ReadIndexEntry(const std::string& path, std::int64_t size);

// The number a level's file name gives: its digits before ".level" ("042.level": 42), else -1.
int LevelNumberOfName(const std::string& fileName);
// The levelset name of a folder: "name" of its levelinfo.conf, else the folder's own name.
std::string LevelsetNameOf(const std::string& folder);

// The cache file's name in the user's cache folder.
inline constexpr char kIndexCacheName[] = "archive.index";

struct IndexOptions {
    // The cache file; empty: no cache. It is read first and written again
    // whole when anything changed; a damaged one is built again.
    std::string CachePath{};
    // After each file read (from any thread, one call at a time): files done and files to read.
    std::function<void(std::size_t done, std::size_t total)> Progress{};
    // Set from another thread to end the build early (the index then holds what was done).
    const std::atomic<bool>* Cancel = nullptr;
    unsigned Threads = 0;  // 0: every core
};

struct ArchiveIndex {
    std::vector<IndexEntry> Entries;  // by path
    std::size_t Read = 0;             // files read this time (the others came from the cache)
    std::size_t FromCache = 0;
    bool Cancelled = false;
    // Folders named that were not walked at all: they do not exist or cannot be listed.
    std::size_t RootsNotWalked = 0;
    // What the walk and the cache have to tell: folders that cannot be
    // listed, a damaged cache that was built again, a cache that cannot be written.
    std::vector<std::string> Notices;
};

// Walks the folders (following links to folders, each folder once, as the
// game does; and takes files named directly), reads every ".level"
// file the cache does not hold as it is now, and writes the cache. Throws
// nothing for a file or folder that cannot be read: it says so in the index.
ArchiveIndex BuildArchiveIndex(const std::vector<std::string>& roots, const IndexOptions& options = {});

// Runs work(i) for i in 0..count on every core (threads: 0), each index once.
void OnEveryCore(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work);

}  // namespace vantrel
