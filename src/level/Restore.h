// Restore from backup: the open level's bytes become those of the backup its
// first load made (LEVEL.bak). The backup is written whole over the level
// (into a new file beside it, then put in its place), so the level keeps its
// name, its permission bits and its folder, and a link to it stays a link.
#pragma once

#include "level/OpenLevel.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr char kRestoreStepName[] = "Restore from Backup";
inline constexpr char kNoLevelToRestoreMessage[] =
    "No level is open: load a level (File > Load Level), then restore it from its backup.";

struct LevelBackup {
    std::string Name;  // the backup file: the level's path and ".bak"
    std::string Date;  // when it was last written, local time: "2026-12-07 16:31"
    std::vector<std::uint8_t> Bytes;
};

std::string BackupNameOf(const std::string& levelPath);
std::string NoBackupRefusal(const std::string& backupName);

// The open level's backup, read and checked: throws the refusal (nothing
// written) when no level is open, the level is read-only, there is no backup,
// or the backup is not a level.
LevelBackup ReadLevelBackup(const OpenLevel& lvl);

// The question asked before a restore: it names the backup and its date.
std::string RestoreQuestion(const OpenLevel& lvl, const LevelBackup& backup);

// Writes the backup's bytes whole over the open level, under the level's lock
// and after its checks (the file loaded, ending where it was left). The open
// file is the old one afterwards: load the level again. Returns the step that
// an undo takes back: the level's bytes before, the backup's after.
LevelStep RestoreFromBackup(OpenLevel& lvl, const LevelBackup& backup);

}  // namespace vantrel
