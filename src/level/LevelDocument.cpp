#include "level/LevelDocument.h"

#include "base/UserInterface.h"

#include <filesystem>

namespace vantrel {

std::string LevelCaption(const OpenLevel& level, const std::string& caption)
{
    if (!level.LevelOpen() || (caption != kCaption && caption != kCaptionReadOnly)) return caption;
    const std::string name = std::filesystem::path(level.LevelPath()).filename().string();
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
    try {
        LoadAndTell(level_, path, ui_, report, options);
    } catch (...) {
        KeepLoad(report);  // what came before the failure is shown as well
        throw;
    }
    KeepLoad(report);
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

void LevelDocument::SaveAndClose()
{
    level_.Close();
    openDialogName_.clear();
    loads_.clear();
    lastMapPainted_.reset();  // the level view shows no map after a close
}

}  // namespace vantrel
