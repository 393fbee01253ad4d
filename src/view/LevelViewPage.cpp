#include "view/LevelViewPage.h"

#include "level/Loader.h"
#include "shell/MainWindow.h"

namespace vantrel {

LevelViewPage::LevelViewPage(AMain& main) : main_(main) {}

void LevelViewPage::PrepareAfterLoad(const LoadReport&, bool) {}

}  // namespace vantrel
