#include "counter/CounterPage.h"

#include "level/LevelDocumentQt.h"

namespace vantrel {

CounterPage::CounterPage(LevelDocumentQt& doc) : doc_(doc) {}

}  // namespace vantrel
