#include "counter/CounterPage.h"

#include "shell/MainWindow.h"

namespace vantrel {

CounterPage::CounterPage(AMain& main) : main_(main) {}

}  // namespace vantrel
