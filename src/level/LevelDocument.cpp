#include "level/LevelDocument.h"

#include "base/UserInterface.h"

namespace vantrel {

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
    LoadLevel(level_, path, ui_, report, options);
    return true;
}

void LevelDocument::SaveAndClose()
{
    level_.Close();
    openDialogName_.clear();
}

}  // namespace vantrel
