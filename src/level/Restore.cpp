#include "level/Restore.h"

#include "base/Error.h"
#include "base/UserInterface.h"
#include "level/Loader.h"
#include "platform/Platform.h"

#include <ctime>

namespace vantrel {

namespace {

std::string NotALevel(const std::string& name, const std::string& why)
{
    return "The backup " + name + " is not a level (" + why + "), so nothing was restored.";
}

}  // namespace

std::string BackupNameOf(const std::string& levelPath)
{
    return levelPath + kBackupSuffix;
}

std::string NoBackupRefusal(const std::string& backupName)
{
    return "There is no backup of this level (" + backupName + "), so nothing was restored.";
}

std::string BackupLookRefusal(const std::string& backupName, const platform::Outcome& looked)
{
    if (looked.Why == platform::Failure::NotFound) return NoBackupRefusal(backupName);
    return "The backup " + backupName + " cannot be looked at (" + looked.Text + "), so nothing was restored.";
}

LevelBackup ReadLevelBackup(const OpenLevel& lvl)
{
    if (!lvl.LevelOpen()) throw VantrelError(kNoLevelToRestoreMessage);
    if (lvl.ReadOnly())
        throw VantrelError("This level is open read-only, so it cannot be restored from its backup: " +
                           lvl.LevelPath());
    LevelBackup backup;
    backup.Name = BackupNameOf(lvl.LevelPath());
    // Read by the name the level was opened by (which works in a folder whose
    // full path is longer than the system takes), shown by its full path.
    const std::string name = BackupNameOf(lvl.File().Name());
    platform::FileInfo info;
    if (const platform::Outcome looked = platform::Look(name, info); !looked.Ok())
        throw VantrelError(BackupLookRefusal(backup.Name, looked));
    if (info.Type != platform::Kind::Regular) throw VantrelError(NotALevel(backup.Name, "it is not a regular file"));
    if (info.Size > kMaxLevelFileSize) throw VantrelError(NotALevel(backup.Name, TooLargeMessage(backup.Name, info.Size)));
    DiskFile file(name, DiskFile::Mode::ReadOnly);
    backup.Bytes = file.ReadAll();
    file.Close();
    // Loaded as the program loads a level, from the bytes just read.
    OpenLevel trial;
    LoadReport report;  // the backup is only tried as a level: its notices are not shown
    try {
        LoadLevelFrom(trial, std::make_unique<MemoryFile>(backup.Name, backup.Bytes), report);
    } catch (const VantrelError& e) {
        throw VantrelError(NotALevel(backup.Name, e.what()));
    }
    if (!trial.LevelOpen()) throw VantrelError(NotALevel(backup.Name, "the loader does not take it"));
    // A backup cut short (a copy that ran out of room, a damaged disk) is
    // no earlier version of the level: put back, it would lose the rest.
    if (!report.ScanStopped.empty())
        throw VantrelError("The backup " + backup.Name + " is not a whole level (" + report.ScanStopped +
                           "), so nothing was restored.");
    char date[32] = "";
    std::tm local {};
    if (platform::LocalTime(info.Modified, local)) std::strftime(date, sizeof date, "%Y-%m-%d %H:%M", &local);
    backup.Date = date;
    return backup;
}

std::string RestoreQuestion(const OpenLevel& lvl, const LevelBackup& backup)
{
    return "Put the backup " + backup.Name + " of " + backup.Date + " back into the level " + lvl.LevelPath() +
           "? Every change since the backup was made is replaced; Edit > Undo takes the restore back.";
}

void RestoreFromBackup(OpenLevel& lvl, const LevelBackup& backup)
{
    LevelWrite step(lvl, kRestoreStepName);
    lvl.Patch(0, backup.Bytes.data(), backup.Bytes.size());
    const auto size = static_cast<std::int64_t>(backup.Bytes.size());
    if (lvl.KnownEnd() > size) lvl.Truncate(size);
    step.Commit();
}

}  // namespace vantrel
