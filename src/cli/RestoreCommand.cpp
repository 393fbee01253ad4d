// vantrel-cli restore LEVEL: the level's backup put back into the level, as
// File > Restore from Backup does (without the question: the command is the answer).
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "level/Loader.h"
#include "level/Restore.h"

#include <iostream>

namespace vantrel {

int RunRestore(const std::string& file, bool verbose)
{
    CliUserInterface ui(std::cerr);
    // Looked for before the load, which would make a backup of the level as it is now.
    FileLook look;
    if (!LookAt(BackupNameOf(file), look)) {
        PrintMessage(std::cerr, NoBackupRefusal(BackupNameOf(file)));
        return 1;
    }
    OpenLevel lvl;
    LoadReport report;
    LoadOptions load;
    load.Locked = true;  // read, checked and written under one lock
    LoadAndTell(lvl, file, ui, report, load);
    if (!lvl.LevelOpen()) return 1;  // the loader said why
    const LevelBackup backup = ReadLevelBackup(lvl);
    const LevelStep step = RestoreFromBackup(lvl, backup);
    lvl.CloseLevelFile();
    std::cout << "restored: " << lvl.LevelPath() << " from " << backup.Name << " of " << backup.Date << '\n';
    PrintChanges(lvl.LevelPath(), {step}, verbose);
    return 0;
}

}  // namespace vantrel
