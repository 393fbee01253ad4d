#include "levelsets/PlayerConversion.h"

#include "base/ElementTable.h"
#include "base/Elements.h"
#include "base/PathText.h"
#include "base/Text.h"
#include "format/GameRead.h"
#include "level/Loader.h"
#include "level/OpenLevel.h"
#include "levelsets/LevelsetConfig.h"
#include "platform/Platform.h"

#include <algorithm>
#include <optional>
#include <filesystem>
#include <set>

namespace vantrel {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxListed = 50;  // names a section of the summary lists before "... and N more"

std::uint16_t PlayerCode(int n) { return static_cast<std::uint16_t>(kFirstPlayerCode + n - 1); }

// A position worked out from the line. The column and the row are kept as
// plain numbers; the cell is their values modulo 256, and a number that left
// 0..255 on the way lies off the map whatever its remainder says.
struct LinePoint {
    int x = 0;
    int y = 0;
    LinePoint operator+(const LinePoint& d) const { return {x + d.x, y + d.y}; }
};

LinePoint PointOf(PackedCell c) { return {CellX(c), CellY(c)}; }

PlayerPlacement Placement(const OpenLevel& lvl, std::uint16_t code, LinePoint p)
{
    PlayerPlacement placed;
    placed.Code = code;
    placed.Cell = PackCell(p.x & 0xFF, p.y & 0xFF);
    placed.OnMap = p.x >= 1 && p.x <= lvl.MapWidth() && p.y >= 1 && p.y <= lvl.MapHeight();
    return placed;
}

// The loader's words without its "can not open" line.
std::string LoaderWords(const std::string& text)
{
    const std::string lead = "Error: Can not open file\n";
    return text.rfind(lead, 0) == 0 ? text.substr(lead.size()) : text;
}

// Why the level was opened read-only, from the load log.
std::string ReadOnlyReason(const OpenLevel& lvl)
{
    const std::string lead = std::string(kReadOnlyLogLine) + " (";
    for (const std::string_view line : lvl.Log())
        if (line.starts_with(lead) && line.size() > lead.size())
            return std::string(line.substr(lead.size(), line.size() - lead.size() - 1));  // without the closing bracket
    return "it may not be written";
}

enum class Loaded { Open, Skipped, Failed };

// Loads one level for conversion. A dry run loads it for reading only: no
// backup, and nothing can be written.
Loaded LoadForConversion(OpenLevel& lvl, const std::string& dir, const std::string& entry, bool dryRun,
                         LevelConversion& level, std::string& error)
{
    const std::string path = JoinPath(dir, entry);
    std::error_code ec;
    // A link is followed only to a file of the folder itself: nothing outside it is changed.
    if (fs::is_symlink(fs::symlink_status(PathOf(path), ec))) {
        std::error_code bad;
        const fs::path target = fs::canonical(PathOf(path), bad);
        if (!bad && target.parent_path() != fs::canonical(PathOf(dir), bad)) {
            level.Skip = LevelSkip::NotALevel;
            level.Detail = "it is a link to a file outside the folder (" + target.string() + ")";
            return Loaded::Skipped;
        }
    }
    const fs::file_status status = fs::status(PathOf(path), ec);
    if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory) {
        error = "Cannot read the file (" + ec.message() + "): " + path;
        return Loaded::Failed;
    }
    if (!fs::exists(status)) {
        level.Skip = LevelSkip::Vanished;
        return Loaded::Skipped;
    }
    if (!fs::is_regular_file(status)) {
        level.Skip = LevelSkip::NotALevel;
        level.Detail = "it is not a file";
        return Loaded::Skipped;
    }
    LoadReport report;
    // What the load had to tell about this level, in order.
    const auto notes = [&report] {
        std::vector<std::string> said;
        for (const Notice& notice : report.Notices) said.push_back(notice.Text);
        return said;
    };
    std::string readOnly;
    try {
        if (dryRun) {
            LoadLevel(lvl, path, report, ReadOnlyLoad());
            // Said as the real run would find it: a level that may not be written is skipped.
            if (lvl.LevelOpen())
                if (const platform::Outcome writable = platform::CheckWritable(path); !writable.Ok())
                    readOnly = writable.Text;
        } else {
            LoadOptions options;
            options.Locked = true;  // the level is read, checked and written under one lock
            LoadLevel(lvl, path, report, options);
            if (lvl.LevelOpen() && lvl.ReadOnly()) readOnly = ReadOnlyReason(lvl);
        }
    } catch (const std::exception& e) {
        lvl.Close();
        level.Notes = notes();
        if (report.FileVersion) {
            // The bytes were read: it is the file's content that was refused.
            level.Skip = LevelSkip::NotALevel;
            level.Detail = e.what();
            return Loaded::Skipped;
        }
        if (!fs::exists(fs::symlink_status(PathOf(path), ec))) {
            level.Skip = LevelSkip::Vanished;
            return Loaded::Skipped;
        }
        error = e.what();
        return Loaded::Failed;
    }
    if (!lvl.LevelOpen()) {
        // Refused by the loader: there is no map of this file, and the one in memory is another level's.
        lvl.Close();
        level.Skip = LevelSkip::NotALevel;
        level.Notes = notes();
        if (!level.Notes.empty()) {
            level.Detail = LoaderWords(level.Notes.front());
            level.Notes.erase(level.Notes.begin());
        }
        return Loaded::Skipped;
    }
    level.Notes = notes();
    if (!readOnly.empty()) {
        lvl.Close();
        level.Skip = LevelSkip::ReadOnly;
        level.Detail = readOnly;
        return Loaded::Skipped;
    }
    return Loaded::Open;
}

std::string CellText(const PlayerPlacement& p)
{
    return std::to_string(CellX(p.Cell)) + "," + std::to_string(CellY(p.Cell));
}

std::string PlayerName(std::uint16_t code) { return "player " + std::to_string(code - kFirstPlayerCode + 1); }

// Adds one section of lines, at most kMaxListed of them.
void Section(std::string& text, const char* title, const std::vector<std::string>& lines)
{
    if (lines.empty()) return;
    text += "\n";
    text += title;
    for (std::size_t i = 0; i < lines.size() && i < kMaxListed; ++i) text += "\n" + lines[i];
    if (lines.size() > kMaxListed) text += "\n... and " + std::to_string(lines.size() - kMaxListed) + " more";
}

}  // namespace

const char* PlayerRefusal(int players)
{
    return players == 4 ? kSet4PlayersRefusal : kSet3PlayersRefusal;
}

namespace {

// The first cell, in reading order, that the game reads as the player's code
// (an old level's player 1 may have the old code 8).
PackedCell FindPlayer(const OpenLevel& lvl, int player)
{
    for (int y = 1; y <= lvl.MapHeight(); ++y)
        for (int x = 1; x <= lvl.MapWidth(); ++x)
            if (GameElementCode(lvl.Grid().At(x, y)) == PlayerCode(player)) return PackCell(x, y);
    return 0;
}

}  // namespace

PlayerPlan PlanPlayers(const OpenLevel& lvl, int players)
{
    PlayerPlan plan;
    const PackedCell p1 = FindPlayer(lvl, 1);
    const PackedCell p2 = FindPlayer(lvl, 2);
    const PackedCell p3 = FindPlayer(lvl, 3);
    const PackedCell added = players == 4 ? FindPlayer(lvl, 4) : p3;
    // A position counts as found when its column is not 0.
    if (CellX(p1) == 0 || CellX(p2) == 0) {
        plan.Verdict = PlayerPlanVerdict::PlayersMissing;
        return plan;
    }
    if (CellX(added) != 0) {
        plan.Verdict = PlayerPlanVerdict::AlreadyPlaced;
        return plan;
    }
    const LinePoint a = PointOf(p1), b = PointOf(p2);
    const LinePoint step{b.x - a.x, b.y - a.y};
    LinePoint third = b + step;
    if (players == 4 && CellX(p3) != 0) {
        third = PointOf(p3);
        PlayerPlacement existing = Placement(lvl, PlayerCode(3), third);
        existing.Existing = true;
        plan.Players.push_back(existing);
    } else {
        plan.Players.push_back(Placement(lvl, PlayerCode(3), third));
    }
    if (players == 4) plan.Players.push_back(Placement(lvl, PlayerCode(4), third + step));
    return plan;
}

std::size_t PlayerBatchResult::ChangedCount() const
{
    return static_cast<std::size_t>(std::count_if(Levels.begin(), Levels.end(), [](const LevelConversion& l) {
        return l.Changed();
    }));
}

std::size_t PlayerBatchResult::SkippedCount() const
{
    return Levels.size() - ChangedCount();
}

PlayerBatchResult ConvertPlayers(OpenLevel& lvl, const std::string& dir, const std::vector<std::string>& entries,
                                 int players, const PlayerBatchOptions& options)
{
    PlayerBatchResult result;
    result.Players = players;
    result.DryRun = options.DryRun;
    result.Directory = dir;
    lvl.Close();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (options.Progress) options.Progress(i, entries.size(), entries[i]);
        LevelConversion level;
        level.Entry = entries[i];
        std::string error;
        const Loaded loaded = LoadForConversion(lvl, dir, entries[i], options.DryRun, level, error);
        if (loaded == Loaded::Open) {
            try {
                const PlayerPlan plan = PlanPlayers(lvl, players);
                if (plan.Verdict != PlayerPlanVerdict::Place) {
                    lvl.Log().push_back(PlayerRefusal(players));
                    level.Skip = plan.Verdict == PlayerPlanVerdict::PlayersMissing ? LevelSkip::PlayersMissing
                                                                                  : LevelSkip::AlreadyPlaced;
                } else {
                    std::optional<LevelWrite> step;  // every player of the level or none
                    if (!options.DryRun) step.emplace(lvl);
                    for (const PlayerPlacement& p : plan.Players) {
                        if (p.Existing) continue;
                        if (!p.OnMap) {
                            level.Outside.push_back(p);
                        } else if (options.DryRun || SetCell(lvl, p.Cell, p.Code)) {
                            level.Written.push_back(p);
                        }
                    }
                    if (step) step->Commit();
                    if (level.Written.empty()) level.Skip = LevelSkip::AllOutside;
                }
                // Save and Close: every cell is in the file already
                if (const std::string said = lvl.Close(); !said.empty()) level.Notes.push_back(said);
            } catch (const std::exception& e) {
                error = e.what();
            }
        }
        if (!error.empty()) {
            try {
                lvl.Close();
            } catch (...) {
                // the batch's error is the one to tell
            }
            result.StoppedAt = entries[i];
            result.Error = error;
            result.NotReached = entries.size() - i - 1;
            result.StoppedWritten = std::move(level.Written);
            return result;
        }
        result.Levels.push_back(std::move(level));
    }
    return result;
}

PlayerBatchResult ConvertLevelsetPlayers(OpenLevel& lvl, const std::string& dir, int players,
                                         const PlayerBatchOptions& options, const std::vector<std::string>& shown)
{
    const std::vector<std::string> now = ListLevelFiles(dir);
    const std::set<std::string> present(now.begin(), now.end());
    std::vector<std::string> gone;
    for (const std::string& entry : shown)
        if (!present.count(entry)) gone.push_back(entry);
    PlayerBatchResult result = ConvertPlayers(lvl, dir, now, players, options);
    for (const std::string& entry : gone) {
        LevelConversion level;
        level.Entry = entry;
        level.Skip = LevelSkip::Vanished;
        result.Levels.push_back(std::move(level));
    }
    std::stable_sort(result.Levels.begin(), result.Levels.end(), [](const LevelConversion& a, const LevelConversion& b) {
        return LevelNameLess(a.Entry, b.Entry);
    });
    return result;
}

std::string PlacementText(const std::vector<PlayerPlacement>& cells)
{
    std::string text;
    for (const PlayerPlacement& p : cells) {
        if (!text.empty()) text += " ";
        text += CellText(p) + "=" + std::to_string(p.Code) + " (" + ElementName(p.Code) + ")";
    }
    return text;
}

std::string SkipReason(const LevelConversion& level, int players)
{
    switch (level.Skip) {
    case LevelSkip::None: return {};
    case LevelSkip::PlayersMissing: return "player 1 or player 2 is not on the map";
    case LevelSkip::AlreadyPlaced: return "player " + std::to_string(players) + " is already on the map";
    case LevelSkip::NotALevel:
        return "not a level file" + (level.Detail.empty() ? std::string() : ": " + level.Detail);
    case LevelSkip::ReadOnly: return "the file may not be written (" + level.Detail + ")";
    case LevelSkip::Vanished: return "the file is no longer there";
    case LevelSkip::AllOutside: return "the new players fall outside the map";
    }
    return {};
}

std::string LevelLine(const LevelConversion& level, int players)
{
    std::string line = level.Entry + ": ";
    if (level.Changed()) {
        line += PlacementText(level.Written);
        if (!level.Outside.empty()) line += " (outside the map: " + PlacementText(level.Outside) + ")";
        return line;
    }
    line += "skipped, " + SkipReason(level, players);
    if (!level.Outside.empty()) line += " (" + PlacementText(level.Outside) + ")";
    return line;
}

std::string BatchHeadline(const PlayerBatchResult& r)
{
    const std::string command = "Set " + std::to_string(r.Players) + " players";
    if (r.StoppedAt)
        return command + " stopped at " + *r.StoppedAt + ": " + r.Error + "\nBefore it " +
               Counted(r.ChangedCount(), "level was", "levels were") + " changed and " +
               std::to_string(r.SkippedCount()) + " skipped; they stay as they are. " +
               Counted(r.NotReached, "level was", "levels were") + " not reached.";
    if (r.Levels.empty()) return command + ": there are no level files in " + r.Directory + ".";
    if (r.DryRun)
        return command + " (dry run, nothing written): " + Counted(r.ChangedCount(), "level", "levels") +
               " to change, " + std::to_string(r.SkippedCount()) + " skipped.";
    return command + ": " + Counted(r.ChangedCount(), "level", "levels") + " changed, " +
           std::to_string(r.SkippedCount()) + " skipped.";
}

std::string BatchSummary(const PlayerBatchResult& r)
{
    std::string text = BatchHeadline(r);
    std::vector<std::string> changed, skipped, outside, notes;
    for (const LevelConversion& level : r.Levels) {
        if (level.Changed())
            changed.push_back(level.Entry + ": " + PlacementText(level.Written));
        else
            skipped.push_back(level.Entry + ": " + SkipReason(level, r.Players));
        for (const PlayerPlacement& p : level.Outside)
            outside.push_back(level.Entry + ": " + PlayerName(p.Code) + " at " + CellText(p));
        for (const std::string& note : level.Notes) notes.push_back(level.Entry + ": " + note);
    }
    if (!r.StoppedWritten.empty())
        text += "\n" + *r.StoppedAt + " holds the cells written before the error: " + PlacementText(r.StoppedWritten);
    Section(text, r.DryRun ? "To change:" : "Changed:", changed);
    Section(text, "Skipped:", skipped);
    Section(text, "Outside the map, not written:", outside);
    Section(text, "The loads said:", notes);
    return text;
}

std::string PlayersQuestion(const std::string& dir, std::size_t count, int players)
{
    return "Make " + std::string(count == 1 ? "the level" : "all " + std::to_string(count) + " levels") +
           " in " + dir + " levels for " + std::to_string(players) +
           " players? Each level file is changed in place.";
}

}  // namespace vantrel
