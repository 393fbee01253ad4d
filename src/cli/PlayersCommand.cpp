// vantrel-cli players 3|4 DIR [--dry-run]: Set 3 players / Set 4 players over
// the level files of one directory, one line a level, then the summary line.
#include "cli/CliUserInterface.h"
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
    if (!result.StoppedAt) {
        std::cout << BatchHeadline(result) << '\n';
        return 0;
    }
    // An error ended the batch: said on standard error, as every command says its failure.
    if (!result.StoppedWritten.empty())
        PrintMessage(std::cerr, *result.StoppedAt + ": " + PlacementText(result.StoppedWritten) + " (before the error)");
    PrintMessage(std::cerr, BatchHeadline(result));
    return 1;
}

}  // namespace vantrel
