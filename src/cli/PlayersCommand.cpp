// vantrel-cli players 3|4 DIR [--dry-run]: Set 3 players / Set 4 players over
// the level files of one directory, one line a level, then the summary line.
#include "cli/Commands.h"
#include "level/OpenLevel.h"
#include "levelsets/PlayerConversion.h"

#include <iostream>

namespace vantrel {

int RunPlayers(int players, const std::string& dir, bool dryRun)
{
    OpenLevel lvl;
    PlayerBatchOptions options;
    options.DryRun = dryRun;
    const PlayerBatchResult result = ConvertLevelsetPlayers(lvl, dir, players, options);
    for (const LevelConversion& level : result.Levels) {
        std::cout << LevelLine(level, players) << '\n';
        for (const std::string& note : level.Notes) std::cerr << "message: " << level.Entry << ": " << note << '\n';
    }
    if (!result.StoppedWritten.empty())
        std::cout << *result.StoppedAt << ": " << PlacementText(result.StoppedWritten) << " (before the error)\n";
    std::cout << BatchHeadline(result) << '\n';
    return result.StoppedAt ? 1 : 0;
}

}  // namespace vantrel
