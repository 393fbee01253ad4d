#include "level/Restore.h"

#include "base/Error.h"
#include "base/UserInterface.h"
#include "level/Loader.h"
#include "level/WholeFile.h"
#include "platform/Platform.h"

#include <ctime>
#include <filesystem>

namespace vantrel {

namespace {

std::string NotALevel(const std::string& name, const std::string& why)
{
    return "The backup " + name + " is not a level (" + why + "), so nothing was restored.";
}

}  // namespace

std::string BackupNameOf(const std::string& levelPath)
{
    return levelPath + ".bak";
}

std::string NoBackupRefusal(const std::string& backupName)
{
    return "There is no backup of this level (" + backupName + "), so nothing was restored.";
}

LevelBackup ReadLevelBackup(const OpenLevel& lvl)
{
    if (!lvl.LevelOpen()) throw VantrelError(kNoLevelToRestoreMessage);
    if (lvl.ReadOnly())
        throw VantrelError("This level is open read-only, so it cannot be restored from its backup: " +
                           lvl.LevelPath());
    LevelBackup backup;
    backup.Name = BackupNameOf(lvl.LevelPath());
    platform::FileInfo info;
    if (!platform::Look(backup.Name, info).Ok()) throw VantrelError(NoBackupRefusal(backup.Name));
    if (info.Type != platform::Kind::Regular) throw VantrelError(NotALevel(backup.Name, "it is not a regular file"));
    if (info.Size > kMaxLevelFileSize) throw VantrelError(NotALevel(backup.Name, TooLargeMessage(backup.Name, info.Size)));
    DiskFile file(backup.Name, DiskFile::Mode::ReadOnly);
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

LevelStep RestoreFromBackup(OpenLevel& lvl, const LevelBackup& backup)
{
    LevelWrite hold(lvl, kRestoreStepName);  // the lock and the checks, for the whole-file write
    LevelStep step;
    step.Name = kRestoreStepName;
    step.Edits.push_back({0, lvl.File().ReadAll(), backup.Bytes});
    step.EndBefore = static_cast<std::int64_t>(step.Edits.front().Before.size());
    step.EndAfter = static_cast<std::int64_t>(backup.Bytes.size());
    // The file a link leads to is the one replaced, with its permission bits.
    std::error_code noLink;
    std::filesystem::path target = std::filesystem::canonical(lvl.LevelPath(), noLink);
    if (noLink) target = lvl.LevelPath();
    platform::FileInfo targetInfo;
    if (!platform::Look(target.string(), targetInfo).Ok()) throw VantrelError(FileChangedRefusal(lvl.LevelPath()));
    WriteWholeFile(target.string(), backup.Bytes, targetInfo.Mode);
    hold.Commit();
    return step;
}

}  // namespace vantrel
