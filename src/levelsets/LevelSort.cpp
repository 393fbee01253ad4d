#include "levelsets/LevelSort.h"

#include "base/Error.h"
#include "base/Text.h"
#include "levelsets/LevelsetConfig.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>

namespace vantrel {

namespace {

constexpr std::size_t kMaxListedInSummary = 20;

// The file operations a sort needs, on names inside one directory.
class SortFiles {
public:
    virtual ~SortFiles() = default;
    virtual bool Exists(const std::string& name) = 0;
    // Renames without replacing anything; the system's text when it fails.
    virtual std::optional<std::string> Rename(const std::string& from, const std::string& to) = 0;
    // The names the directory holds.
    virtual std::vector<std::string> Names() = 0;
};

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
        std::filesystem::directory_iterator it(dir_, ec), end;
        for (; !ec && it != end; it.increment(ec)) names.push_back(it->path().filename().string());
        return names;
    }

private:
    std::string dir_;
};

// What a sort would do, over the names the directory holds now.
class DryRunFiles : public SortFiles {
public:
    explicit DryRunFiles(const std::string& dir)
    {
        std::error_code ec;
        std::filesystem::directory_iterator it(dir, ec), end;
        for (; !ec && it != end; it.increment(ec)) names_.insert(it->path().filename().string());
        if (ec) throw VantrelError("Cannot list the folder " + dir + ": " + ec.message());
    }
    bool Exists(const std::string& name) override { return names_.count(name) != 0; }
    std::optional<std::string> Rename(const std::string& from, const std::string& to) override
    {
        if (names_.count(to)) return std::strerror(EEXIST);
        if (!names_.erase(from)) return std::strerror(ENOENT);
        names_.insert(to);
        return std::nullopt;
    }
    std::vector<std::string> Names() override { return {names_.begin(), names_.end()}; }

private:
    std::set<std::string> names_;
};

SortResult Sort(SortFiles& files, const std::vector<std::string>& entries, long first)
{
    SortResult result;
    long n = first;
    for (const std::string& entry : entries) {
        auto skip = [&](const std::string& reason, bool refused = false) {
            result.Skipped.push_back({entry, reason, refused});
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
        if (entry == target) {
            ++result.Kept;
            continue;
        }
        if (files.Exists(target)) {
            skip(target + " exists");
            continue;
        }
        if (files.Exists(target + ".bak")) {
            // The backup of a level that is gone: were it left, a load of the
            // level renamed to target would take it for its own backup.
            std::string aside = target + ".old.bak";
            for (int k = 2; files.Exists(aside); ++k) aside = target + ".old" + std::to_string(k) + ".bak";
            if (const auto error = files.Rename(target + ".bak", aside)) {
                skip(target + ".bak exists and could not be moved aside: " + *error, true);
                continue;
            }
            result.BackupsMoved.push_back({target + ".bak", aside, false});
        }
        const bool withBackup = files.Exists(entry + ".bak");
        if (const auto error = files.Rename(entry, target)) {
            skip("it could not be renamed to " + target + ": " + *error, true);
            continue;
        }
        if (withBackup) {
            if (const auto error = files.Rename(entry + ".bak", target + ".bak")) {
                files.Rename(target, entry);
                skip("its backup could not be renamed to " + target + ".bak: " + *error, true);
                continue;
            }
        }
        result.Renamed.push_back({entry, target, withBackup});
    }
    // The backups left without their level, besides those just moved aside.
    std::set<std::string> moved;
    for (const SortRename& r : result.BackupsMoved) moved.insert(r.To);
    for (const std::string& name : files.Names()) {
        const std::string level = name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
        if (IsLevelFileName(level) && name.compare(level.size(), 4, ".bak") == 0 && !moved.count(name) &&
            !files.Exists(level))
            result.BackupsKept.push_back(name);
    }
    std::sort(result.BackupsKept.begin(), result.BackupsKept.end(), LevelNameLess);
    return result;
}

std::string Counted(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The first_level a levelinfo.conf gives, as the game reads a number (its leading digits).
std::optional<long> FirstLevelOf(const std::string& conf)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(conf, ec)) return std::nullopt;
    const std::string value = ReadConfValue(conf, "first_level");
    if (value.empty()) return std::nullopt;
    return std::strtol(value.c_str(), nullptr, 10);
}

}  // namespace

long GameFirstLevel(const std::string& dir, const std::vector<std::string>& entries)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path folder = fs::absolute(dir, ec).lexically_normal();
    if (!folder.has_filename()) folder = folder.parent_path();
    if (!fs::is_regular_file(folder / kLevelinfoName, ec))
        return std::find(entries.begin(), entries.end(), "000.level") != entries.end() ? 0 : 1;
    // A set inside level groups takes its first level from them unless it gives one.
    for (fs::path at = folder; !at.empty() && fs::is_regular_file(at / kLevelinfoName, ec); at = at.parent_path()) {
        if (const auto first = FirstLevelOf((at / kLevelinfoName).string())) return *first;
        if (at == at.parent_path()) break;
    }
    return 0;
}

SortResult SortLevels(const std::string& dir, const std::vector<std::string>& entries, bool dryRun)
{
    const long first = GameFirstLevel(dir, entries);
    if (dryRun) {
        DryRunFiles files(dir);
        return Sort(files, entries, first);
    }
    DiskFiles files(dir);
    return Sort(files, entries, first);
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
    std::string text = result.Renamed.empty() && result.Skipped.empty()
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
    if (!result.BackupsKept.empty()) {
        text += "\nBackups of levels that are gone, kept where they are:";
        for (std::size_t i = 0; i < result.BackupsKept.size() && i < kMaxListedInSummary; ++i)
            text += "\n" + result.BackupsKept[i];
        more(result.BackupsKept.size());
    }
    return text;
}

}  // namespace vantrel
