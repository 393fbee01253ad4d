// Restore from backup: the open level's bytes become those of the backup its
// first load made (LEVEL.bak). Only a backup that loads whole is put back.
// Its bytes go into the level's own file through the level's door, as one
// step, so the level keeps its name, owner, group, permission bits, links and
// identity, and an undo takes the restore back like any other step.
#pragma once

#include "level/OpenLevel.h"
#include "platform/Platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr char kRestoreStepName[] = "Restore from Backup";
// A level's backup is named as the level with this after it.
inline constexpr char kBackupSuffix[] = ".bak";
inline constexpr char kNoLevelToRestoreMessage[] =
    "No level is open: load a level (File > Load Level), then restore it from its backup.";

struct LevelBackup {
    std::string Name;  // the backup file: the level's path and ".bak"
    std::string Date;  // when it was last written, local time: "2026-12-07 16:31"
    std::vector<std::uint8_t> Bytes;
};

// The level's path and kBackupSuffix.
std::string BackupNameOf(const std::string& levelPath);
std::string NoBackupRefusal(const std::string& backupName);
// Why the backup could not be looked at: there is none, or the system's
// reason (a name longer than it allows, no permission).
std::string BackupLookRefusal(const std::string& backupName, const platform::Outcome& looked);

// The open level's backup, read and checked: throws the refusal (nothing
// written) when no level is open, the level is read-only, there is no backup,
// or the backup is not a level, or not a whole one (the loader's scan stops
// before its end: it was cut short).
LevelBackup ReadLevelBackup(const OpenLevel& lvl);

// The question asked before a restore: it names the backup and its date.
std::string RestoreQuestion(const OpenLevel& lvl, const LevelBackup& backup);

// Writes the backup's bytes into the open level through its door (under the
// level's lock and after its checks), and cuts off what the level holds past
// them: one step, kept in lvl.Steps() like any other. Load the level again
// afterwards: its chunks have moved.
void RestoreFromBackup(OpenLevel& lvl, const LevelBackup& backup);

}  // namespace vantrel
