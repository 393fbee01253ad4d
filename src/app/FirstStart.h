// A start without the game's data directory: the example levelset installed
// with the program (or made in the build folder) is offered instead.
#pragma once

namespace vantrel {

class SettingsStore;
class UserInterface;

void OfferExamplesAtStart(SettingsStore& settings, UserInterface& ui);

}  // namespace vantrel
