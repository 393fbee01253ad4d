#include "levelsets/LevelSort.h"

#include "base/Error.h"
#include "base/PathText.h"
#include "base/Text.h"
#include "file/ByteFile.h"
#include "file/Journal.h"
#include "level/OpenLevel.h"
#include "level/Restore.h"
#include "levelsets/LevelsetConfig.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <set>

namespace vantrel {

namespace {

constexpr std::size_t kMaxListedInSummary = 20;
constexpr long kLockWaitMs = 3000;  // for another program of ours that is writing a level

// The file operations a sort needs, on names inside one directory.
class SortFiles {
public:
    virtual ~SortFiles() = default;
    virtual bool Exists(const std::string& name) = 0;
    // Renames without replacing anything; the system's text when it fails.
    virtual std::optional<std::string> Rename(const std::string& from, const std::string& to) = 0;
    // The names the directory holds.
    virtual std::vector<std::string> Names() = 0;
    // The bytes of a file as the sort began (empty when it cannot be read).
    virtual std::vector<std::uint8_t> Bytes(const std::string& name) = 0;
    // Before its first rename, a sort writes (synced) every rename it plans,
    // in order, into its journal in the folder; when they are made, the
    // journal goes. A sort stopped in its middle leaves the journal, and the
    // next sort makes the renames left, as planned: renumbered half-way, the
    // levels' names no longer list them in the order the sort was given.
    virtual void BeginPlan(const std::vector<std::pair<std::string, std::string>>& /*renames*/) {}
    virtual void EndPlan() {}
    // The renames a sort that was stopped had planned, if one was.
    virtual std::optional<std::vector<std::pair<std::string, std::string>>> StoppedPlan() { return std::nullopt; }
};

constexpr char kSortJournal[] = ".vantrel-sort.journal";

std::vector<std::uint8_t> ReadLevelBytes(const std::string& path)
{
    FileLook look;
    if (!LookAt(path, look) || look.OtherKind || look.Size > kMaxLevelFileSize) return {};
    try {
        return ReadFileToEnd(path);
    } catch (const VantrelError&) {
        return {};
    }
}

// The renames a sort stopped in its middle had planned, from the sort's
// journal in dir. A plan cut short (never followed by a rename) is removed
// with removeCut. Throws when the journal cannot be read, or when the sort
// that wrote it is still running.
std::optional<std::vector<std::pair<std::string, std::string>>> ReadStoppedPlan(const std::string& dir, bool removeCut)
{
    const std::string journal = JoinPath(dir, kSortJournal);
    platform::FileInfo info;
    if (platform::Look(journal, info, false).Why == platform::Failure::NotFound) return std::nullopt;
    std::string text;
    try {
        const std::vector<std::uint8_t> bytes = ReadFileToEnd(journal);
        text.assign(bytes.begin(), bytes.end());
    } catch (const VantrelError& e) {
        throw VantrelError(std::string(e.what()) + ", so the levels were not renumbered.");
    }
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    std::uint64_t process = 0;
    if (!lines.empty()) std::from_chars(lines[0].data(), lines[0].data() + lines[0].size(), process);
    if (process != 0 && process != platform::ProcessId() && platform::ProcessRunning(process))
        throw VantrelError("Another sort is renaming the levels of " + dir + " (process " + std::to_string(process) +
                           "), so the levels were not renumbered. Try again when it is done.");
    // A whole plan ends in "."; a journal of one pair (no end mark) is what an
    // earlier version wrote around a level and its backup.
    const bool whole = lines.size() % 2 == 0 && !lines.empty() && lines.back() == ".";
    if (!whole && lines.size() != 3) {
        if (removeCut) platform::Remove(journal);
        return std::nullopt;
    }
    std::vector<std::pair<std::string, std::string>> renames;
    for (std::size_t k = 1; k + 1 < lines.size(); k += 2) renames.emplace_back(lines[k], lines[k + 1]);
    return renames;
}

class DiskFiles : public SortFiles {
public:
    explicit DiskFiles(std::string dir) : dir_(std::move(dir)) {}
    bool Exists(const std::string& name) override
    {
        platform::FileInfo info;
        return platform::Look(JoinPath(dir_, name), info, false).Ok();
    }
    std::optional<std::string> Rename(const std::string& from, const std::string& to) override
    {
        const platform::Outcome renamed = platform::RenameNoReplace(JoinPath(dir_, from), JoinPath(dir_, to));
        if (renamed.Ok()) return std::nullopt;
        return renamed.Text;
    }
    std::vector<std::string> Names() override
    {
        std::vector<std::string> names;
        std::error_code ec;
        std::filesystem::directory_iterator it(PathOf(dir_), ec), end;
        for (; !ec && it != end; it.increment(ec)) names.push_back(it->path().filename().string());
        return names;
    }
    std::vector<std::uint8_t> Bytes(const std::string& name) override { return ReadLevelBytes(JoinPath(dir_, name)); }

    void BeginPlan(const std::vector<std::pair<std::string, std::string>>& renames) override
    {
        const std::string journal = JoinPath(dir_, kSortJournal);
        std::string text = std::to_string(platform::ProcessId()) + "\n";
        for (const auto& [from, to] : renames) text += from + "\n" + to + "\n";
        text += ".\n";  // the plan is whole
        platform::OpenHow how;
        how.Write = true;
        how.Create = platform::Creation::New;
        platform::File file;
        platform::Outcome done = platform::Open(journal, how, file);
        if (done.Ok()) done = platform::WriteAt(file, 0, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        if (done.Ok()) done = platform::Sync(file);
        if (file.IsOpen()) platform::Close(file);
        if (done.Ok()) return;
        platform::Remove(journal);
        // A folder that may not be written: its renames are refused too, and said so one by one.
        if (done.Why == platform::Failure::Denied) return;
        throw VantrelError("Cannot write the sort's journal " + journal + " (" + done.Text +
                           "), so no level was renamed.");
    }
    void EndPlan() override { platform::Remove(JoinPath(dir_, kSortJournal)); }

    std::optional<std::vector<std::pair<std::string, std::string>>> StoppedPlan() override
    {
        return ReadStoppedPlan(dir_, true);
    }

private:
    std::string dir_;
};

// What a sort would do, over the names the directory holds now.
class DryRunFiles : public SortFiles {
public:
    explicit DryRunFiles(const std::string& dir) : dir_(dir)
    {
        std::error_code ec;
        std::filesystem::directory_iterator it(PathOf(dir), ec), end;
        for (; !ec && it != end; it.increment(ec)) names_[it->path().filename().string()] = it->path().filename().string();
        if (ec) throw VantrelError("Cannot list the folder " + dir + ": " + ec.message());
    }
    bool Exists(const std::string& name) override { return names_.count(name) != 0; }
    std::optional<std::string> Rename(const std::string& from, const std::string& to) override
    {
        if (names_.count(to)) return std::strerror(EEXIST);
        const auto it = names_.find(from);
        if (it == names_.end()) return std::strerror(ENOENT);
        const std::string real = it->second;
        names_.erase(it);
        names_[to] = real;
        return std::nullopt;
    }
    std::vector<std::string> Names() override
    {
        std::vector<std::string> names;
        for (const auto& [name, real] : names_) names.push_back(name);
        return names;
    }
    std::vector<std::uint8_t> Bytes(const std::string& name) override
    {
        const auto it = names_.find(name);
        return it == names_.end() ? std::vector<std::uint8_t>() : ReadLevelBytes(JoinPath(dir_, it->second));
    }
    std::optional<std::vector<std::pair<std::string, std::string>>> StoppedPlan() override
    {
        return ReadStoppedPlan(dir_, false);
    }

private:
    std::string dir_;
    std::map<std::string, std::string> names_;  // a name now, the file's name on disk
};

// The level a backup name belongs to ("003.level" of "003.level.bak"); empty for any other name.
std::string LevelOfBackup(const std::string& name)
{
    const std::size_t n = sizeof kBackupSuffix - 1;
    if (name.size() <= n || name.compare(name.size() - n, n, kBackupSuffix) != 0) return {};
    std::string level = name.substr(0, name.size() - n);
    return IsLevelFileName(level) ? level : std::string();
}

// A level renamed while its backup was not (a sort stopped between the two)
// leaves the backup under a name whose level is gone. When exactly one level
// without a backup of its own begins with the backup's bytes (the level as it
// was then, perhaps with chunks appended since), the backup is put beside it.
void JoinOrphanedBackups(SortFiles& files, SortResult& result)
{
    const std::vector<std::string> names = files.Names();
    std::vector<std::string> orphans, bare;  // backups without a level, levels without a backup
    for (const std::string& name : names) {
        const std::string level = LevelOfBackup(name);
        if (!level.empty() && !files.Exists(level)) orphans.push_back(name);
        if (IsLevelFileName(name) && !files.Exists(name + kBackupSuffix)) bare.push_back(name);
    }
    if (orphans.empty() || bare.empty()) return;
    std::map<std::string, std::vector<std::uint8_t>> levels;
    for (const std::string& name : bare) levels[name] = files.Bytes(name);
    std::sort(orphans.begin(), orphans.end(), LevelNameLess);
    for (const std::string& orphan : orphans) {
        const std::vector<std::uint8_t> backup = files.Bytes(orphan);
        if (backup.empty()) continue;
        std::vector<std::string> holders;
        for (const auto& [name, bytes] : levels)
            if (bytes.size() >= backup.size() && std::equal(backup.begin(), backup.end(), bytes.begin()))
                holders.push_back(name);
        if (holders.size() != 1) continue;
        const std::string to = holders.front() + kBackupSuffix;
        if (files.Rename(orphan, to)) continue;  // left where it is, and reported so
        result.BackupsJoined.push_back({orphan, to, false});
        levels.erase(holders.front());
    }
}

// One rename the sort plans: a level, its new name, and its place in the listing.
struct Move {
    std::string From;
    std::string To;
    std::size_t Place = 0;
};

// Renames a level to a free name, its backup first, so that a sort stopped
// between the two leaves the backup under the new name of a level not yet
// there (which the next sort puts back beside it).
void RunMove(SortFiles& files, const Move& m, SortResult& result, std::vector<std::size_t>& places,
             std::vector<std::size_t>& skippedPlaces)
{
    auto skip = [&](const std::string& reason, bool refused = false) {
        result.Skipped.push_back({m.From, reason, refused});
        skippedPlaces.push_back(m.Place);
    };
    if (files.Exists(m.To)) {
        skip(m.To + " exists");
        return;
    }
    const std::string toBackup = m.To + kBackupSuffix, fromBackup = m.From + kBackupSuffix;
    if (files.Exists(toBackup)) {
        // The backup of a level that is gone: were it left, a load of the
        // level renamed to m.To would take it for its own backup.
        std::string aside = m.To + ".old.bak";
        for (int k = 2; files.Exists(aside); ++k) aside = m.To + ".old" + std::to_string(k) + kBackupSuffix;
        if (const auto error = files.Rename(toBackup, aside)) {
            skip(toBackup + " exists and could not be moved aside: " + *error, true);
            return;
        }
        result.BackupsMoved.push_back({toBackup, aside, false});
    }
    const bool withBackup = files.Exists(fromBackup);
    if (withBackup) {
        if (const auto error = files.Rename(fromBackup, toBackup)) {
            skip("its backup could not be renamed to " + toBackup + ": " + *error, true);
            return;
        }
    }
    if (const auto error = files.Rename(m.From, m.To)) {
        if (withBackup) files.Rename(toBackup, fromBackup);
        skip("it could not be renamed to " + m.To + ": " + *error, true);
        return;
    }
    result.Renamed.push_back({m.From, m.To, withBackup});
    places.push_back(m.Place);
}

// Makes what is left of a rename a stopped sort planned: nothing when the
// level has its new name already, the level alone when its backup was
// renamed before the sort was stopped, else the whole rename.
void FinishRename(SortFiles& files, const std::string& from, const std::string& to, SortResult& result)
{
    if (!files.Exists(from) || files.Exists(to)) return;  // made, or left out as the sort left it
    if (files.Exists(to + kBackupSuffix) && !files.Exists(from + kBackupSuffix)) {
        if (const auto error = files.Rename(from, to))
            result.Skipped.push_back({from, "it could not be renamed to " + to + ": " + *error, true});
        else
            result.Renamed.push_back({from, to, true});
        return;
    }
    std::vector<std::size_t> places, skippedPlaces;
    RunMove(files, {from, to, 0}, result, places, skippedPlaces);
}

// Puts the items of a list into listing order, by the place of each.
template <typename T>
void InListingOrder(std::vector<T>& items, const std::vector<std::size_t>& places)
{
    std::vector<std::size_t> order(items.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return places[a] < places[b]; });
    std::vector<T> sorted;
    for (const std::size_t i : order) sorted.push_back(std::move(items[i]));
    items = std::move(sorted);
}

// A set's first level, and the levelinfo.conf it was read from (empty: no file gives one).
struct FirstLevel {
    long Number = 0;
    std::string From;
};

// What the game's setup files say: one line an entry, the key and its value
// apart at the first ':' or '=' (else at the first blank), "#" beginning a
// comment, "include" reading another file of the folder, and the last entry
// of a key counting. (A line ending in a backslash does not go on in the
// next as the game means it to: the game reads no number from it.)
class GameSetupFile {
public:
    static std::optional<std::string> Value(const std::string& path, const std::string& key)
    {
        GameSetupFile file;
        file.Read(path);
        const auto it = file.values_.find(key);
        if (it == file.values_.end()) return std::nullopt;
        return it->second;
    }

private:
    static constexpr std::size_t kMaxSetupFile = std::size_t{1} << 20;

    void Read(const std::string& path)
    {
        included_.insert(PathOf(path).filename().string());
        const std::string text = ReadText(path);
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = text.find('\n', at);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(at, end - at);
            at = end + 1;
            while (!line.empty() && line.back() == '\r') line.pop_back();
            Entry(path, line);
        }
    }

    void Entry(const std::string& path, std::string line)
    {
        if (const std::size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        const auto blank = [](char c) { return c == ' ' || c == '\t'; };
        while (!line.empty() && blank(line.back())) line.pop_back();
        std::size_t from = 0;
        while (from < line.size() && blank(line[from])) ++from;
        if (from == line.size()) return;
        std::size_t split = line.find_first_of(":=", from);
        std::size_t valueAt = split == std::string::npos ? std::string::npos : split + 1;
        if (split == std::string::npos) {
            split = line.find_first_of(" \t", from);
            valueAt = split == std::string::npos ? line.size() : split + 1;
            if (split == std::string::npos) split = line.size();
        }
        std::string key = line.substr(from, split - from);
        while (!key.empty() && blank(key.back())) key.pop_back();
        while (valueAt < line.size() && blank(line[valueAt])) ++valueAt;
        std::string value = valueAt < line.size() ? line.substr(valueAt) : std::string();
        if (key.empty()) return;
        if (key == "include") {
            const std::string name = PathOf(value).filename().string();
            if (name.empty() || included_.count(name)) return;
            const std::string other = (PathOf(path).parent_path() / PathOf(name)).string();
            platform::FileInfo info;
            if (platform::Look(other, info).Why == platform::Failure::NotFound) return;  // as the game: skipped
            Read(other);
            return;
        }
        values_[key] = std::move(value);
    }

    // The file's text; throws when it cannot be read.
    static std::string ReadText(const std::string& path)
    {
        const auto fail = [&](const std::string& why) -> void {
            throw VantrelError("Cannot read " + path + " (" + why + "), so the levels were not renumbered.");
        };
        // Not waiting: a named pipe in the name's place must not hold the sort up.
        platform::OpenHow how;
        how.NoWait = true;
        platform::File file;
        if (const platform::Outcome opened = platform::Open(path, how, file); !opened.Ok()) fail(opened.Text);
        platform::FileInfo info;
        if (const platform::Outcome looked = platform::Look(file, info); !looked.Ok()) fail(looked.Text);
        if (info.Type != platform::Kind::Regular)
            fail(info.Type == platform::Kind::Directory ? "it is a folder" : "it is not a regular file");
        std::string text;
        std::uint8_t buffer[8192];
        for (;;) {
            std::size_t got = 0;
            if (const platform::Outcome read = platform::ReadNext(file, buffer, sizeof buffer, got); !read.Ok())
                fail(read.Text);
            if (got == 0) break;
            text.append(reinterpret_cast<const char*>(buffer), got);
            if (text.size() > kMaxSetupFile) fail("it is larger than any levelinfo.conf");
        }
        return text;
    }

    std::map<std::string, std::string> values_;
    std::set<std::string> included_;
};

// A number as the game reads one from its setup files: leading digits (after
// blanks and a sign), or "true", "yes", "on" as 1 and "false", "no", "off" as
// 0; nothing when it does not fit the game's numbers.
std::optional<long> GameNumber(const std::string& value)
{
    std::string lowered;
    for (const char c : value) lowered += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (value.empty() || value[0] < '0' || value[0] > '9') {
        if (lowered == "false" || lowered == "no" || lowered == "off") return 0;
        if (lowered == "true" || lowered == "yes" || lowered == "on") return 1;
    }
    std::size_t i = 0;
    while (i < value.size() && std::isspace(static_cast<unsigned char>(value[i]))) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
    long long n = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        n = n * 10 + (value[i] - '0');
        if (n > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    }
    return static_cast<long>(negative ? -n : n);
}

// Whether a levelinfo.conf is there (reached by the name access, named conf);
// throws when it cannot be looked at.
bool HasConf(const std::filesystem::path& access, const std::filesystem::path& conf)
{
    platform::FileInfo info;
    const platform::Outcome looked = platform::Look(access.string(), info);
    if (looked.Ok()) return true;
    if (looked.Why == platform::Failure::NotFound) return false;
    throw VantrelError("Cannot read " + conf.string() + " (" + looked.Text + "), so the levels were not renumbered.");
}

FirstLevel ReadFirstLevel(const std::string& dir, const std::vector<std::string>& entries)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path folder = fs::absolute(PathOf(dir), ec).lexically_normal();
    if (!folder.has_filename()) folder = folder.parent_path();
    // The levelinfo.conf of the folder up levels above dir: by its full path,
    // or, when that is longer than the system takes, through dir and "..".
    const auto reach = [&](const fs::path& at, int up) {
        fs::path conf = at / kLevelinfoName;
        if (conf.string().size() <= kLongestPath) return conf;
        fs::path near = PathOf(dir);
        for (int k = 0; k < up; ++k) near /= "..";
        return near / kLevelinfoName;
    };
    if (!HasConf(reach(folder, 0), folder / kLevelinfoName))
        return {std::find(entries.begin(), entries.end(), "000.level") != entries.end() ? 0 : 1, {}};
    // A set inside level groups takes its first level from them unless it gives one.
    int up = 0;
    for (fs::path at = folder; !at.empty() && HasConf(reach(at, up), at / kLevelinfoName); at = at.parent_path(), ++up) {
        const std::string conf = (at / kLevelinfoName).string();
        if (const auto value = GameSetupFile::Value(reach(at, up).string(), "first_level")) {
            const auto number = GameNumber(*value);
            if (!number || *number < 0 || *number > kLastGameLevel)
                throw VantrelError("The first_level in " + conf + " is " + *value +
                                   ": the game numbers its levels from 000 to " + std::to_string(kLastGameLevel) +
                                   ", so the levels were not renumbered.");
            return {*number, conf};
        }
        if (at == at.parent_path()) break;
    }
    return {0, {}};
}

SortResult Sort(SortFiles& files, const std::string& dir, const std::vector<std::string>& entries,
                const FirstLevel& first)
{
    SortResult result;
    // A sort that was stopped is finished first, as it planned, and alone: the
    // names it left no longer list the levels in the order it was given.
    if (const auto stopped = files.StoppedPlan()) {
        for (const auto& [from, to] : *stopped) FinishRename(files, from, to, result);
        files.EndPlan();
        // (A journal whose renames were all made was only left behind: the sort goes on.)
        if (!result.Renamed.empty() || !result.Skipped.empty()) {
            result.FinishedStoppedSort = true;
            return result;
        }
    }
    std::vector<std::size_t> renamedPlaces, skippedPlaces;
    std::vector<Move> moves;
    long n = first.Number;
    for (std::size_t place = 0; place < entries.size(); ++place) {
        const std::string& entry = entries[place];
        auto skip = [&](const std::string& reason) {
            result.Skipped.push_back({entry, reason, false});
            skippedPlaces.push_back(place);
        };
        const std::string base = TextBefore(entry, ".level");
        if (base.empty()) {
            skip("its name has nothing before \".level\"");
            continue;
        }
        if (!files.Exists(base + ".level")) {
            skip("there is no file " + base + ".level");
            continue;
        }
        const std::string target = ZeroPadInt(n, 3) + ".level";
        ++n;
        if (entry == target)
            ++result.Kept;
        else
            moves.push_back({entry, target, place});
    }
    if (n - 1 > kLastGameLevel)
        throw VantrelError("The " + Counted(n - first.Number, "level", "levels") + " of " +
                           dir + " would be numbered from " + ZeroPadInt(first.Number, 3) + " to " +
                           ZeroPadInt(n - 1, 3) +
                           (first.From.empty() ? std::string() : " (the first_level of " + first.From + ")") +
                           ", but the game reads levels up to " + std::to_string(kLastGameLevel) +
                           " only, so the levels were not renumbered.");
    JoinOrphanedBackups(files, result);

    // A level whose new name is the name of another level still to move
    // waits for that one: the renames run from the far end of each chain.
    std::map<std::string, std::size_t> mover;  // a name, the move of the level that holds it
    for (std::size_t i = 0; i < moves.size(); ++i) mover[moves[i].From] = i;
    enum class State { Waiting, Running, Done };
    std::vector<State> state(moves.size(), State::Waiting);
    std::vector<std::size_t> chain, order;
    for (std::size_t start = 0; start < moves.size(); ++start) {
        // Follows the chain of moves whose new names are held, then runs it backwards.
        for (std::size_t i = start; state[i] == State::Waiting;) {
            state[i] = State::Running;
            chain.push_back(i);
            const auto holder = mover.find(moves[i].To);
            if (holder == mover.end()) break;
            i = holder->second;  // a ring ends where it began: its first move finds its name taken
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            order.push_back(*it);
            state[*it] = State::Done;
        }
        chain.clear();
    }
    if (!order.empty()) {
        std::vector<std::pair<std::string, std::string>> plan;
        for (const std::size_t i : order) plan.emplace_back(moves[i].From, moves[i].To);
        files.BeginPlan(plan);
        for (const std::size_t i : order) RunMove(files, moves[i], result, renamedPlaces, skippedPlaces);
        files.EndPlan();
    }
    InListingOrder(result.Renamed, renamedPlaces);
    InListingOrder(result.Skipped, skippedPlaces);

    // The backups left without their level, besides those just moved aside.
    std::set<std::string> moved;
    for (const SortRename& r : result.BackupsMoved) moved.insert(r.To);
    for (const std::string& name : files.Names()) {
        const std::string level = LevelOfBackup(name);
        if (!level.empty() && !moved.count(name) && !files.Exists(level)) result.BackupsKept.push_back(name);
    }
    std::sort(result.BackupsKept.begin(), result.BackupsKept.end(), LevelNameLess);
    return result;
}

// A level's journal is found by the level's name: renamed, a level left
// half-changed by a step that was cut off would keep the half step, and its
// journal would lie beside the level that takes its name. Such levels are put
// back first; one that cannot be put back refuses the sort.
void PutBackCutOffSteps(const std::string& dir, const std::vector<std::string>& entries, SortResult& result)
{
    const auto hasJournal = [](const std::string& path) {
        platform::FileInfo info;
        return platform::Look(JournalNameOf(path), info, false).Why != platform::Failure::NotFound;
    };
    for (const std::string& entry : entries) {
        const std::string path = JoinPath(dir, entry);
        if (!hasJournal(path)) continue;
        const JournalRollBack back = RollBackJournal(path, path, kLockWaitMs);
        if (hasJournal(path))
            throw VantrelError((back.Message.empty() ? "The journal " + JournalNameOf(path) + " cannot be removed."
                                                     : back.Message) +
                               " So the levels were not renumbered.");
        if (!back.Message.empty()) result.PutBack.push_back(back.Message);
    }
}

}  // namespace

long GameFirstLevel(const std::string& dir, const std::vector<std::string>& entries)
{
    return ReadFirstLevel(dir, entries).Number;
}

SortResult SortLevels(const std::string& dir, const std::vector<std::string>& entries, bool dryRun)
{
    const FirstLevel first = ReadFirstLevel(dir, entries);
    if (dryRun) {
        DryRunFiles files(dir);
        return Sort(files, dir, entries, first);
    }
    SortResult putBack;
    PutBackCutOffSteps(dir, entries, putBack);
    DiskFiles files(dir);
    SortResult result = Sort(files, dir, entries, first);
    result.PutBack = std::move(putBack.PutBack);
    return result;
}

std::string SortQuestion(const std::string& dir, const std::vector<std::string>& entries)
{
    const long first = GameFirstLevel(dir, entries);
    return "Renumber the " + Counted(entries.size(), "level", "levels") + " listed in " + dir + " as " +
           ZeroPadInt(first, 3) + ".level, " + ZeroPadInt(first + 1, 3) +
           ".level, ... in the order shown? Files are renamed on disk.";
}

std::string SortSummary(const SortResult& result)
{
    std::string text = result.FinishedStoppedSort ? std::string(kStoppedSortFinishedMessage) + "\n" : std::string();
    text += result.Renamed.empty() && result.Skipped.empty()
                           ? std::string("No level was renamed.")
                           : Counted(result.Renamed.size(), "level renamed", "levels renamed") + ", " +
                                 std::to_string(result.Skipped.size()) + " skipped.";
    auto more = [&](std::size_t total) {
        if (total > kMaxListedInSummary) text += "\n... and " + std::to_string(total - kMaxListedInSummary) + " more";
    };
    if (!result.Renamed.empty()) {
        text += "\nRenamed:";
        for (std::size_t i = 0; i < result.Renamed.size() && i < kMaxListedInSummary; ++i) {
            const SortRename& r = result.Renamed[i];
            text += "\n" + r.From + " -> " + r.To + (r.WithBackup ? " (with its backup)" : "");
        }
        more(result.Renamed.size());
    }
    if (!result.Skipped.empty()) {
        text += "\nNot renamed:";
        for (std::size_t i = 0; i < result.Skipped.size() && i < kMaxListedInSummary; ++i)
            text += "\n" + result.Skipped[i].Entry + ": " + result.Skipped[i].Reason;
        more(result.Skipped.size());
    }
    if (!result.BackupsMoved.empty()) {
        text += "\nBackups of levels that are gone, moved aside:";
        for (std::size_t i = 0; i < result.BackupsMoved.size() && i < kMaxListedInSummary; ++i)
            text += "\n" + result.BackupsMoved[i].From + " -> " + result.BackupsMoved[i].To;
        more(result.BackupsMoved.size());
    }
    if (!result.BackupsJoined.empty()) {
        text += "\nBackups of levels that are gone, put beside the level they are a backup of:";
        for (std::size_t i = 0; i < result.BackupsJoined.size() && i < kMaxListedInSummary; ++i)
            text += "\n" + result.BackupsJoined[i].From + " -> " + result.BackupsJoined[i].To;
        more(result.BackupsJoined.size());
    }
    if (!result.BackupsKept.empty()) {
        text += "\nBackups of levels that are gone, kept where they are:";
        for (std::size_t i = 0; i < result.BackupsKept.size() && i < kMaxListedInSummary; ++i)
            text += "\n" + result.BackupsKept[i];
        more(result.BackupsKept.size());
    }
    for (const std::string& said : result.PutBack) text += "\n" + said;
    return text;
}

std::string RenamedPath(const SortResult& result, const std::string& dir, const std::string& levelPath)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path level = PathOf(levelPath);
    if (!fs::equivalent(level.parent_path().empty() ? fs::path(".") : level.parent_path(), PathOf(dir), ec) || ec) return {};
    const std::string name = level.filename().string();
    for (const SortRename& r : result.Renamed)
        if (r.From == name) return JoinPath(dir, r.To);
    return {};
}

}  // namespace vantrel
