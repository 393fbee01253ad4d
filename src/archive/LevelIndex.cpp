#include "archive/LevelIndex.h"

#include "archive/IndexCache.h"
#include "archive/LevelLoad.h"
#include "base/Error.h"
#include "base/PathText.h"
#include "base/Text.h"
#include "file/ByteFile.h"
#include "format/GameRead.h"
#include "level/Loader.h"
#include "levelsets/LevelsetConfig.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>

namespace vantrel {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxFolderDepth = 64;

// A level file the walk found, and what its look at it gave.
struct Found {
    std::string Path;
    std::size_t Folder = 0;  // into the folders' levelset names
    std::string Name;        // the file's own name
    std::int64_t Size = 0;
    std::int64_t ModTime = 0;
    std::string Unreadable;  // why it could not be looked at
};

struct Walk {
    std::vector<Found> Files;          // by path
    std::vector<std::string> Folders;  // every folder holding a level file
    std::vector<bool> HasLevelinfo;    // whether the folder's listing names a levelinfo.conf
    std::vector<std::string> Notices;
    std::size_t RootsNotWalked = 0;    // folders named that do not exist or cannot be listed
    // Links that may lead to folders, with the depth their folders lie at: followed after the walk.
    std::vector<std::pair<std::string, int>> Links;
};

std::string Lowered(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::int64_t Nanoseconds(const platform::FileInfo& info)
{
    return info.Modified * 1000000000 + info.ModifiedNanos;
}

// What one folder holds: its level files (looked at, by name) and its folders.
struct Listed {
    std::string Folder;
    std::vector<Found> Files;
    std::vector<std::string> Folders;
    bool HasLevelinfo = false;
    std::string Notice;
    bool Unlisted = false;  // nothing of it could be listed
    std::vector<std::string> Links;  // links that may lead to folders
};

// Lists a folder and looks at its level files relative to it (their whole
// paths are not walked again): their size and time of change.
Listed ListFolder(const std::string& folder, int depth)
{
    Listed listed;
    listed.Folder = folder;
    if (depth > kMaxFolderDepth) {
        listed.Notice = "The folder " + folder + " lies more than " + Num(kMaxFolderDepth) + " folders deep and is left out.";
        return listed;
    }
    std::vector<platform::FolderEntry> entries;
    const platform::Outcome outcome =
        platform::ListFolder(folder, entries, [](const std::string& name) { return IsLevelFileName(name); });
    if (!outcome.Ok()) {
        listed.Unlisted = entries.empty();
        listed.Notice = "The folder " + folder + (entries.empty() ? " cannot be listed (" : " cannot be listed whole (") +
                        outcome.Text + ").";
    }
    for (platform::FolderEntry& e : entries) {
        if (e.Type == platform::Kind::Directory) {
            listed.Folders.push_back(JoinPath(folder, e.Name));
            continue;
        }
        // A link to a folder is followed after the walk, once for each folder it leads to.
        if (e.Type == platform::Kind::Link &&
            (!e.LookedAt || (e.Looked.Ok() && e.Info.Type == platform::Kind::Directory)))
            listed.Links.push_back(JoinPath(folder, e.Name));
        if (!e.LookedAt) {
            if (e.Name == kLevelinfoName) listed.HasLevelinfo = true;
            continue;
        }
        // A level file, or a link to one; a link that leads nowhere or to no file is passed over.
        const bool file = e.Type == platform::Kind::Regular ||
                          (e.Type == platform::Kind::Link && e.Looked.Ok() && e.Info.Type == platform::Kind::Regular);
        if (!file) continue;
        Found& f = listed.Files.emplace_back();
        f.Path = JoinPath(folder, e.Name);
        f.Name = std::move(e.Name);
        if (e.Looked.Ok()) {
            f.Size = e.Info.Size;
            f.ModTime = Nanoseconds(e.Info);
        } else {
            f.Unreadable = std::move(e.Looked.Text);
        }
    }
    std::sort(listed.Files.begin(), listed.Files.end(), [](const Found& a, const Found& b) { return a.Name < b.Name; });
    return listed;
}

bool ByPath(const Found& a, const Found& b) { return a.Path < b.Path; }

// Lists the folders below the starts (each at its depth) and looks at their
// level files, a folder at a time on every core; the files come out by path.
void WalkFolders(const std::vector<std::pair<std::string, int>>& starts, unsigned threads, Walk& walk)
{
    std::mutex mutex;
    std::condition_variable change;
    std::deque<std::pair<std::string, int>> waiting(starts.begin(), starts.end());
    std::vector<Listed> listed;
    int busy = 0;
    const auto work = [&] {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            change.wait(lock, [&] { return !waiting.empty() || busy == 0; });
            if (waiting.empty()) return;
            const auto [folder, depth] = std::move(waiting.front());
            waiting.pop_front();
            ++busy;
            lock.unlock();
            Listed one = ListFolder(folder, depth);
            lock.lock();
            if (depth == 0 && one.Unlisted) ++walk.RootsNotWalked;
            for (std::string& sub : one.Folders) waiting.emplace_back(std::move(sub), depth + 1);
            one.Folders.clear();
            for (std::string& link : one.Links) walk.Links.emplace_back(std::move(link), depth + 1);
            one.Links.clear();
            listed.push_back(std::move(one));
            --busy;
            change.notify_all();
        }
    };
    const unsigned cores = threads != 0 ? threads : std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < cores; ++t) pool.emplace_back(work);
    work();
    for (std::thread& t : pool) t.join();

    std::sort(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) { return a.Folder < b.Folder; });
    std::size_t files = 0;
    for (const Listed& l : listed) files += l.Files.size();
    walk.Files.reserve(walk.Files.size() + files);
    for (Listed& l : listed) {
        if (!l.Notice.empty()) walk.Notices.push_back(std::move(l.Notice));
        if (l.Files.empty()) continue;
        for (Found& f : l.Files) {
            f.Folder = walk.Folders.size();
            walk.Files.push_back(std::move(f));
        }
        walk.Folders.push_back(std::move(l.Folder));
        walk.HasLevelinfo.push_back(l.HasLevelinfo);
    }
    // Folders by path, each one's files by name: by path already, unless a
    // folder's name sorts between its parent's files.
    if (!std::is_sorted(walk.Files.begin(), walk.Files.end(), ByPath))
        std::sort(walk.Files.begin(), walk.Files.end(), ByPath);
}

// A root as the index names it: a full path without a slash at its end.
std::string RootPath(const std::string& root)
{
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(root), ec);
    if (ec) p = fs::path(root);
    p = p.lexically_normal();
    std::string s = p.string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

// The file's size and time of change, in one look.
void LookAtFile(Found& f)
{
    platform::FileInfo info;
    const platform::Outcome looked = platform::Look(f.Path, info);
    if (!looked.Ok()) {
        f.Unreadable = looked.Text;
        return;
    }
    f.Size = info.Size;
    f.ModTime = Nanoseconds(info);
}

// The separators of a name's folders: "/", and on Windows "\\" too.
bool IsSeparator(char c)
{
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

bool Under(const std::string& path, const std::string& root)
{
    return path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
           (IsSeparator(root.back()) || IsSeparator(path[root.size()]));
}

// Appends another walk's folders and files (the files' order is left to the caller).
void Append(Walk& walk, Walk&& more)
{
    const std::size_t base = walk.Folders.size();
    walk.Files.reserve(walk.Files.size() + more.Files.size());
    for (Found& f : more.Files) {
        f.Folder += base;
        walk.Files.push_back(std::move(f));
    }
    walk.Folders.insert(walk.Folders.end(), more.Folders.begin(), more.Folders.end());
    walk.HasLevelinfo.insert(walk.HasLevelinfo.end(), more.HasLevelinfo.begin(), more.HasLevelinfo.end());
    walk.Notices.insert(walk.Notices.end(), more.Notices.begin(), more.Notices.end());
    walk.RootsNotWalked += more.RootsNotWalked;
}

// Follows the walk's links to folders (a levels folder or a levelset kept
// elsewhere), in the order of their paths: a link is walked when the folder
// it leads to is neither inside nor around a folder walked already, so that
// no level is listed twice and a loop ends at once.
void FollowLinks(const std::vector<std::string>& roots, unsigned threads, Walk& walk)
{
    if (walk.Links.empty()) return;
    std::vector<std::string> walked;  // the folders walked, their links resolved
    for (const std::string& root : roots) {
        std::error_code ec;
        const fs::path real = fs::canonical(PathOf(root), ec);
        if (!ec) walked.push_back(real.string());
    }
    std::vector<std::pair<std::string, int>> links = std::move(walk.Links);
    walk.Links.clear();
    while (!links.empty()) {
        std::sort(links.begin(), links.end());
        std::vector<std::pair<std::string, int>> follow;
        for (const auto& [link, depth] : links) {
            std::error_code ec;
            const fs::path real = fs::canonical(PathOf(link), ec);
            if (ec || !fs::is_directory(real, ec)) continue;  // leads nowhere, or to a file
            const std::string target = real.string();
            const bool seen = std::any_of(walked.begin(), walked.end(), [&](const std::string& w) {
                return target == w || Under(target, w) || Under(w, target);
            });
            if (seen) continue;
            walked.push_back(target);
            follow.emplace_back(link, depth);
        }
        if (follow.empty()) break;
        Walk more;
        WalkFolders(follow, threads, more);
        links = std::move(more.Links);
        more.Links.clear();
        Append(walk, std::move(more));
    }
}

}  // namespace

const char* StateName(IndexState state)
{
    switch (state) {
    case IndexState::Level: return "level";
    case IndexState::NotLevel: return "not a level";
    case IndexState::Damaged: return "damaged";
    case IndexState::Unreadable: return "unreadable";
    }
    return "?";
}

const char* LayoutName(LevelLayout layout)
{
    switch (layout) {
    case LevelLayout::None: return "";
    case LevelLayout::Cookie: return "cookie";
    case LevelLayout::Chunked: return "RND1";
    case LevelLayout::Newer: return "newer";
    }
    return "?";
}

std::optional<LevelLayout> LayoutFromName(const std::string& name)
{
    const std::string lowered = Lowered(name);
    for (const LevelLayout layout : {LevelLayout::Cookie, LevelLayout::Chunked, LevelLayout::Newer}) {
        if (lowered == Lowered(LayoutName(layout))) return layout;
    }
    return std::nullopt;
}

std::uint32_t IndexEntry::CountOf(std::uint16_t code) const
{
    const auto it = std::lower_bound(Elements.begin(), Elements.end(), code,
                                     [](const ElementCount& c, std::uint16_t v) { return c.Code < v; });
    return it != Elements.end() && it->Code == code ? it->Count : 0;
}

int LevelNumberOfName(const std::string& fileName)
{
    if (!IsLevelFileName(fileName)) return -1;
    const std::string stem = fileName.substr(0, fileName.size() - 6);
    if (stem.empty() || stem.size() > 9 ||
        !std::all_of(stem.begin(), stem.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::stoi(stem);
}

std::string LevelsetNameOf(const std::string& folder)
{
    const std::string conf = JoinPath(folder, kLevelinfoName);
    std::error_code ec;
    if (fs::is_regular_file(conf, ec)) {
        try {
            std::string name = ReadConfValue(conf, "name");
            if (!name.empty()) return name;
        } catch (const VantrelError&) {
            // An unreadable levelinfo.conf names nothing: the folder's name stands.
        }
    }
    return fs::path(folder).filename().string();
}

IndexEntry IndexLevelBytes(const std::string& path, std::vector<std::uint8_t> bytes)
{
    IndexEntry e;
    e.Path = path;
    e.FileSize = static_cast<std::int64_t>(bytes.size());
    const GameReading reading = ReadAsTheGame(bytes);
    e.Clean = reading.Clean();
    e.Findings.reserve(reading.Findings.size());
    for (const GameFinding& f : reading.Findings) e.Findings.push_back({f.Offset, f.Text, f.Note});
    LoadIndexedLevel(path, std::move(bytes), e, {});
    return e;
}

IndexEntry IndexLevelFile(const std::string& path)
{
    Found f{path, 0, fs::path(path).filename().string(), 0, 0, {}};
    LookAtFile(f);
    IndexEntry e;
    if (!f.Unreadable.empty()) {
        e.Path = path;
        e.State = IndexState::Unreadable;
        e.Problem = f.Unreadable;
    } else {
        e = ReadIndexEntry(path, f.Size);
    }
    e.FileSize = f.Size;
    e.ModTime = f.ModTime;
    e.Number = LevelNumberOfName(f.Name);
    e.Levelset = LevelsetNameOf(fs::path(path).parent_path().string());
    return e;
}

IndexEntry ReadIndexEntry(const std::string& path, std::int64_t size)
{
    IndexEntry e;
    if (size > kMaxLevelFileSize) {
        e.Path = path;
        e.State = IndexState::NotLevel;
        e.Problem = TooLargeMessage(path, size);
        return e;
    }
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadFileToEnd(path);
    } catch (const VantrelError& error) {
        e.Path = path;
        e.State = IndexState::Unreadable;
        e.Problem = error.what();
        return e;
    }
    return IndexLevelBytes(path, std::move(bytes));
}

void OnEveryCore(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work)
{
    if (count == 0) return;
    const unsigned cores = threads != 0 ? threads : std::max(1u, std::thread::hardware_concurrency());
    const std::size_t n = std::min<std::size_t>(cores, count);
    std::atomic<std::size_t> next{0};
    auto run = [&] {
        for (std::size_t i = next++; i < count; i = next++) work(i);
    };
    std::vector<std::thread> pool;
    pool.reserve(n - 1);
    for (std::size_t t = 1; t < n; ++t) pool.emplace_back(run);
    run();
    for (std::thread& t : pool) t.join();
}

ArchiveIndex BuildArchiveIndex(const std::vector<std::string>& givenRoots, const IndexOptions& options)
{
    ArchiveIndex index;
    std::vector<std::string> roots;
    for (const std::string& r : givenRoots) roots.push_back(RootPath(r));
    // A folder inside another is walked with it, once.
    std::sort(roots.begin(), roots.end());
    roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
    const std::vector<std::string> all = roots;
    std::erase_if(roots, [&](const std::string& r) {
        return std::any_of(all.begin(), all.end(), [&](const std::string& other) { return Under(r, other); });
    });

    // The walk on threads of its own, while the cache is read on this one
    // (whose memory grows at less cost than a new thread's).
    Walk walk;
    const auto walkRoots = [&] {
        std::vector<std::string> folders;
        for (const std::string& root : roots) {
            std::error_code ec;
            if (fs::is_directory(PathOf(root), ec)) {
                folders.push_back(root);
            } else if (fs::exists(PathOf(root), ec)) {
                walk.Folders.push_back(PathOf(root).parent_path().string());
                walk.HasLevelinfo.push_back(true);
                walk.Files.push_back({root, walk.Folders.size() - 1, PathOf(root).filename().string(), 0, 0, {}});
                LookAtFile(walk.Files.back());
            } else {
                walk.Notices.push_back("The folder " + root + " does not exist.");
                ++walk.RootsNotWalked;
            }
        }
        if (folders.empty()) return;
        Walk walked;
        std::vector<std::pair<std::string, int>> starts;
        for (const std::string& folder : folders) starts.emplace_back(folder, 0);
        WalkFolders(starts, options.Threads, walked);
        FollowLinks(folders, options.Threads, walked);
        if (walk.Files.empty()) {
            walked.RootsNotWalked += walk.RootsNotWalked;
            walked.Notices.insert(walked.Notices.begin(), walk.Notices.begin(), walk.Notices.end());
            walk = std::move(walked);
        } else {
            Append(walk, std::move(walked));
        }
        if (!std::is_sorted(walk.Files.begin(), walk.Files.end(), ByPath))
            std::sort(walk.Files.begin(), walk.Files.end(), ByPath);
    };
    std::vector<std::string> cacheNotices;
    std::optional<std::vector<IndexEntry>> cached;
    if (options.CachePath.empty()) {
        walkRoots();
    } else {
        std::thread walker(walkRoots);
        try {
            cached = ReadIndexCache(options.CachePath, cacheNotices);
        } catch (...) {
            walker.join();  // never a running thread left behind
            throw;
        }
        walker.join();
    }
    index.Notices = std::move(walk.Notices);
    index.RootsNotWalked = walk.RootsNotWalked;
    index.Notices.insert(index.Notices.end(), cacheNotices.begin(), cacheNotices.end());

    // Each file from the cache when the cache holds it as it is now, else
    // read again. The cache is written by path: both lists are walked side by side.
    std::vector<IndexEntry> noCache;
    std::vector<IndexEntry>& fromCache = cached ? *cached : noCache;
    std::vector<std::size_t> byPath(fromCache.size());
    for (std::size_t k = 0; k < byPath.size(); ++k) byPath[k] = k;
    const auto pathLess = [&](std::size_t a, std::size_t b) { return fromCache[a].Path < fromCache[b].Path; };
    if (!std::is_sorted(byPath.begin(), byPath.end(), pathLess)) std::sort(byPath.begin(), byPath.end(), pathLess);
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<std::size_t> match(walk.Files.size(), kNone);  // each file's entry in the cache
    std::vector<bool> usedFromCache(fromCache.size(), false);
    std::vector<std::size_t> toRead;
    std::size_t next = 0;  // into byPath
    for (std::size_t i = 0; i < walk.Files.size(); ++i) {
        const Found& f = walk.Files[i];
        if (!f.Unreadable.empty()) continue;
        int order = 1;
        while (next < byPath.size() && (order = fromCache[byPath[next]].Path.compare(f.Path)) < 0) ++next;
        if (order == 0) {
            const IndexEntry& c = fromCache[byPath[next]];
            // A file that could not be read is tried again: its permissions may have changed.
            if (c.FileSize == f.Size && c.ModTime == f.ModTime && c.State != IndexState::Unreadable) {
                match[i] = byPath[next];
                usedFromCache[byPath[next]] = true;
                ++index.FromCache;
                continue;
            }
        }
        toRead.push_back(i);
    }
    // Nothing changed, nothing came or went: the cache's entries are the index as they lie.
    bool unchanged = fromCache.size() == walk.Files.size();
    for (std::size_t i = 0; unchanged && i < match.size(); ++i) unchanged = match[i] == i;
    if (unchanged) {
        index.Entries = std::move(fromCache);
    } else {
        index.Entries.reserve(walk.Files.size());
        for (std::size_t i = 0; i < walk.Files.size(); ++i) {
            const Found& f = walk.Files[i];
            if (match[i] != kNone) {
                index.Entries.push_back(std::move(fromCache[match[i]]));
                continue;
            }
            IndexEntry& e = index.Entries.emplace_back();  // read below, unless it cannot be looked at
            if (!f.Unreadable.empty()) {
                e.Path = f.Path;
                e.State = IndexState::Unreadable;
                e.Problem = f.Unreadable;
            }
        }
    }

    std::mutex progress;
    std::atomic<std::size_t> done{0};
    std::atomic<bool> cancelled{false};
    OnEveryCore(toRead.size(), options.Threads, [&](std::size_t k) {
        if (options.Cancel && options.Cancel->load()) {
            cancelled = true;
            return;
        }
        const Found& f = walk.Files[toRead[k]];
        IndexEntry& e = index.Entries[toRead[k]];
        e = ReadIndexEntry(f.Path, f.Size);
        e.FileSize = f.Size;
        e.ModTime = f.ModTime;
        const std::size_t finished = ++done;
        if (options.Progress) {
            std::lock_guard<std::mutex> lock(progress);
            options.Progress(finished, toRead.size());
        }
    });
    index.Read = done;
    index.Cancelled = cancelled;

    // The folder's fields, found again at every walk.
    // A folder whose listing names no levelinfo.conf is named after itself.
    std::vector<std::string> names(walk.Folders.size());
    std::vector<std::size_t> configured;
    for (std::size_t i = 0; i < walk.Folders.size(); ++i) {
        if (walk.HasLevelinfo[i])
            configured.push_back(i);
        else
            names[i] = PathOf(walk.Folders[i]).filename().string();
    }
    OnEveryCore(configured.size(), options.Threads,
                [&](std::size_t k) { names[configured[k]] = LevelsetNameOf(walk.Folders[configured[k]]); });
    for (std::size_t i = 0; i < index.Entries.size(); ++i) {
        index.Entries[i].Number = LevelNumberOfName(walk.Files[i].Name);
        index.Entries[i].Levelset = names[walk.Files[i].Folder];
    }
    if (index.Cancelled) {
        // What was not read stays out of the index.
        std::erase_if(index.Entries, [](const IndexEntry& e) { return e.Path.empty(); });
    }

    // The cache: what this walk found, and what it held of other folders that are still there.
    if (!options.CachePath.empty() && !index.Cancelled) {
        std::vector<IndexEntry> keep;
        std::size_t dropped = 0;
        if (cached && !unchanged) {
            for (std::size_t i = 0; i < cached->size(); ++i) {
                if (usedFromCache[i]) continue;
                IndexEntry& c = (*cached)[i];
                const bool walked = std::any_of(roots.begin(), roots.end(),
                                                [&](const std::string& r) { return c.Path == r || Under(c.Path, r); });
                std::error_code ec;
                if (walked || !fs::exists(PathOf(c.Path), ec)) {
                    ++dropped;
                    continue;
                }
                keep.push_back(std::move(c));
            }
        }
        if (!cached || index.Read > 0 || dropped > 0) {
            std::vector<const IndexEntry*> all;
            all.reserve(index.Entries.size() + keep.size());
            for (const IndexEntry& e : index.Entries)
                if (e.State != IndexState::Unreadable) all.push_back(&e);
            for (const IndexEntry& c : keep) all.push_back(&c);
            // By path, as the next start walks it.
            std::sort(all.begin(), all.end(), [](const IndexEntry* a, const IndexEntry* b) { return a->Path < b->Path; });
            try {
                WriteIndexCache(options.CachePath, all);
            } catch (const VantrelError& error) {
                // A file that is no cache of ours is left as it is, and said once.
                const std::string notice = error.what() == NoCacheFileNotice(options.CachePath)
                                               ? std::string(error.what())
                                               : std::string("The index cache cannot be written: ") + error.what();
                if (std::find(index.Notices.begin(), index.Notices.end(), notice) == index.Notices.end())
                    index.Notices.push_back(notice);
            }
        }
    }
    return index;
}

}  // namespace vantrel
