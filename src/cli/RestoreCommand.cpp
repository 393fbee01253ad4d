// vantrel-cli restore LEVEL: the level's backup put back into the level, as
// File > Restore from Backup does (without the question: the command is the answer).
#include "base/PathText.h"
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "level/Loader.h"
#include "level/Restore.h"
#include "platform/Platform.h"
#include "tell/Tell.h"

#include <filesystem>
#include <iostream>

namespace vantrel {

int RunRestore(const std::string& file, bool verbose)
{
    CliUserInterface ui(std::cerr);
    // Looked for before the load, which would make a backup of the level as it is now.
    platform::FileInfo info;
    if (const platform::Outcome looked = platform::Look(BackupNameOf(file), info); !looked.Ok()) {
        if (platform::Look(file, info, false).Why == platform::Failure::NotFound) {
            std::error_code noPath;
            const std::filesystem::path full = std::filesystem::absolute(PathOf(file), noPath);
            PrintMessage(std::cerr, MissingLevelMessage(noPath ? file : full.string()));
        } else {
            PrintMessage(std::cerr, BackupLookRefusal(BackupNameOf(file), looked));
        }
        return 1;
    }
    OpenLevel lvl;
    LoadReport report;
    LoadOptions load;
    load.Locked = true;  // read, checked and written under one lock
    LoadAndTell(lvl, file, ui, report, load);
    if (!lvl.LevelOpen()) return 1;  // the loader said why
    const LevelBackup backup = ReadLevelBackup(lvl);
    RestoreFromBackup(lvl, backup);
    if (const std::string said = lvl.CloseLevelFile(); !said.empty()) PrintMessage(std::cerr, said);
    std::cout << "restored: " << lvl.LevelPath() << " from " << backup.Name << " of " << backup.Date << '\n';
    PrintChanges(lvl.LevelPath(), lvl.Steps(), verbose);
    return 0;
}

}  // namespace vantrel
