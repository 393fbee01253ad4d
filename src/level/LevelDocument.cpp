#include "level/LevelDocument.h"

#include "base/Error.h"
#include "base/PathText.h"
#include "base/UserInterface.h"
#include "level/Restore.h"
#include "level/RecentFiles.h"

#include <filesystem>

namespace vantrel {

std::string LevelCaption(const OpenLevel& level, const std::string& caption)
{
    if (!level.LevelOpen() || (caption != kCaption && caption != kCaptionReadOnly)) return caption;
    const std::string name = PathOf(level.LevelPath()).filename().string();
    return std::string(kCaption) + " - " + name + (caption == kCaptionReadOnly ? " (read-only)" : "");
}

bool LevelDocument::LoadLevelCommand(LoadReport& report, const LoadOptions& options)
{
    std::string name = openDialogName_;
    if (!IsDirectLoadName(name)) {
        const auto chosen = ui_.ChooseFile(kOpenLevelDialogTitle, kOpenLevelFilterName, kOpenLevelPattern,
                                           level_.LevelPath());
        if (!chosen) return false;
        name = *chosen;
    }
    const std::string path = DirectLoadPath(name);
    openDialogName_ = path;
    const std::string cleared = ForgetHistory("a level was loaded");
    try {
        LoadLevel(level_, path, report, options);
    } catch (...) {
        KeepLoad(report);  // what came before the failure is shown as well
        Note(cleared);
        throw;
    }
    KeepLoad(report);
    Note(cleared);
    if (report.Completed) NoteRecentFile(settings_, path);
    return true;
}

void LevelDocument::Note(const std::string& line)
{
    if (!line.empty()) level_.Log().push_back(line);
}

void LevelDocument::TakeSteps()
{
    Note(history_.Take(level_));
}

std::string LevelDocument::ForgetHistory(const std::string& why)
{
    return history_.Clear(level_.LevelPath(), why);
}

void LevelDocument::Reload(LoadReport& report, const LoadOptions& options, const std::string& line)
{
    const std::string path = level_.LevelPath();
    try {
        LoadLevel(level_, path, report, options);
    } catch (...) {
        report.Reread = true;
        KeepLoad(report);
        throw;
    }
    report.Reread = true;
    KeepLoad(report);
    history_.Follow(level_);
    Note(line);
}

bool LevelDocument::Replay(LoadReport& report, const LoadOptions& options, bool back)
{
    TakeSteps();
    if (!(back ? history_.CanUndo() : history_.CanRedo()))
        throw VantrelError(back ? kNothingToUndoMessage : kNothingToRedoMessage);
    Reload(report, options, back ? history_.Undo(level_) : history_.Redo(level_));
    return true;
}

bool LevelDocument::UndoCommand(LoadReport& report, const LoadOptions& options)
{
    return Replay(report, options, true);
}

bool LevelDocument::RedoCommand(LoadReport& report, const LoadOptions& options)
{
    return Replay(report, options, false);
}

bool LevelDocument::RestoreBackupCommand(LoadReport& report, const LoadOptions& options)
{
    TakeSteps();
    const LevelBackup backup = ReadLevelBackup(level_);
    if (!ui_.ConfirmOkCancel(RestoreQuestion(level_, backup))) return false;
    RestoreFromBackup(level_, backup);
    TakeSteps();  // undone like any other step
    Reload(report, options, "Restored from the backup " + backup.Name + " of " + backup.Date);
    return true;
}

void LevelDocument::KeepLoad(const LoadReport& report)
{
    if (report.ViewPrepared) lastMapPainted_ = paintLevels_;
    // A load that set every header box leaves nothing of the ones before it to
    // show; one that set none of them shows only its CE list, which the next load replaces.
    const bool setsEveryBox = report.FileVersion && report.TitleAuthorSet && (report.HeaderBoxes || report.Completed);
    if (setsEveryBox) loads_.clear();
    if (!loads_.empty()) {
        const LoadReport& last = loads_.back();
        if (!last.FileVersion && !last.TitleAuthorSet && !last.HeaderBoxes && !last.Completed) loads_.pop_back();
    }
    loads_.push_back(report);
}

Notices LevelDocument::SaveAndClose()
{
    const std::string cleared = ForgetHistory("Save and Close");
    const std::string closeFailed = level_.Close();
    openDialogName_.clear();
    loads_.clear();
    lastMapPainted_.reset();  // the level view shows no map after a close
    Note(cleared);
    if (closeFailed.empty()) return {};
    return {{closeFailed, false}};
}

}  // namespace vantrel
