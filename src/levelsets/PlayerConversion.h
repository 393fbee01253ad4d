// Player-count conversion: every level of a levelset made for three or four
// players in one batch. The missing players go on the line that runs from
// player 1 through player 2, continued with the same step; only the cells
// written change in each file. The batch loads each level on its own, skips
// (and reports) what it cannot or need not convert, and sums up the whole run
// in one text.
#pragma once

#include "base/Text.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

class OpenLevel;

// The load-log lines of a level the commands refuse.
inline constexpr char kSet3PlayersRefusal[] =
    "Player 1 and 2 must be placed on map! And Player 3 must NOT be placed on map!";
inline constexpr char kSet4PlayersRefusal[] = "Player 1 and 2 must be placed on map! P4 must not be placed!";

// One player the conversion places.
struct PlayerPlacement {
    std::uint16_t Code = 0;
    PackedCell Cell = 0;    // column and row, each counted modulo 256
    bool OnMap = false;     // the position lies on the map (a position that wrapped never does)
    bool Existing = false;  // the level's own player 3, already in its place (Set 4 players)
    bool operator==(const PlayerPlacement&) const = default;
};

enum class PlayerPlanVerdict { Place, PlayersMissing, AlreadyPlaced };

struct PlayerPlan {
    PlayerPlanVerdict Verdict = PlayerPlanVerdict::Place;
    std::vector<PlayerPlacement> Players;  // in the order they are written
};

// Where the missing players of a level for `players` (3 or 4) players go,
// read from the open level's map; writes nothing.
PlayerPlan PlanPlayers(const OpenLevel& lvl, int players);
// The refusal line of the command for `players`.
const char* PlayerRefusal(int players);

// Why the batch left a level as it was.
enum class LevelSkip {
    None,            // converted
    PlayersMissing,  // player 1 or player 2 is not on the map
    AlreadyPlaced,   // the player to be added is there already
    NotALevel,       // the loader refused the file
    ReadOnly,        // the file may not be written
    Vanished,        // the file was listed but is gone
    AllOutside,      // every new player falls outside the map
};

struct LevelConversion {
    std::string Entry;
    LevelSkip Skip = LevelSkip::None;
    std::string Detail;                    // the loader's or the system's words, for NotALevel and ReadOnly
    std::vector<PlayerPlacement> Written;  // cells written (a dry run: to be written)
    std::vector<PlayerPlacement> Outside;  // computed positions off the map, not written
    std::vector<std::string> Notes;        // what the load told the user
    bool Changed() const { return Skip == LevelSkip::None; }
};

struct PlayerBatchResult {
    int Players = 3;
    bool DryRun = false;
    std::string Directory;
    std::vector<LevelConversion> Levels;  // in list order, up to where the batch ended
    std::optional<std::string> StoppedAt;  // the entry whose error ended the batch
    std::string Error;                     // that error's text
    std::vector<PlayerPlacement> StoppedWritten;  // cells of that level written before the error
    std::size_t NotReached = 0;            // entries after it
    std::size_t ChangedCount() const;
    std::size_t SkippedCount() const;
};

struct PlayerBatchOptions {
    bool DryRun = false;  // load without backup and write nothing
    // Before each level: its place in the list (from 0), the list's length, the entry.
    std::function<void(std::size_t, std::size_t, const std::string&)> Progress;
};

// The batch over the given entries of dir, in their order. Each level is
// loaded into lvl on its own (its load's messages are collected, not shown),
// converted, and closed; lvl is closed at the end. An error while reading or
// writing a level ends the batch there: it is in the result, not thrown.
PlayerBatchResult ConvertPlayers(OpenLevel& lvl, const std::string& dir, const std::vector<std::string>& entries,
                                 int players, const PlayerBatchOptions& options = {});
// The batch over the level files dir holds now, in listing order. Entries
// of `shown` (a list shown earlier) that are no longer there are reported as
// gone. Throws when dir cannot be listed.
PlayerBatchResult ConvertLevelsetPlayers(OpenLevel& lvl, const std::string& dir, int players,
                                         const PlayerBatchOptions& options = {},
                                         const std::vector<std::string>& shown = {});

// "x,y=code" for each placement, separated by blanks.
std::string PlacementText(const std::vector<PlayerPlacement>& cells);
// Why a level was skipped, in words.
std::string SkipReason(const LevelConversion& level, int players);
// One line for one level: the cells written, or why it was skipped.
std::string LevelLine(const LevelConversion& level, int players);
// The first line of the summary: what the batch did in numbers (or where it stopped).
std::string BatchHeadline(const PlayerBatchResult& result);
// The whole summary for the message box.
std::string BatchSummary(const PlayerBatchResult& result);
// The question asked once before the count levels in dir are made levels for players.
std::string PlayersQuestion(const std::string& dir, std::size_t count, int players);

}  // namespace vantrel
