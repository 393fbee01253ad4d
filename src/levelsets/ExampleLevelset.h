// The example levelset for a first start without the game: a small data
// directory of levels that vantrel-cli wrote at build time, installed with
// the program. The user works on a copy of it, so every page can change it.
#pragma once

#include <string>

namespace vantrel {

class SettingsStore;
class UserInterface;

// Where the package puts the examples.
inline constexpr char kInstalledExamplesDir[] = "/usr/share/vantrel/examples";

// The question asked, the copy's folder after it.
std::string ExamplesOfferText(const std::string& copyDir);

// When "datadir" names no game data directory and the examples are there,
// asks whether to use them. On Yes the examples are copied to copyDir (once:
// an earlier copy is kept as the user left it) and "datadir" is set to it.
// True when the examples are now the data directory; throws when the copy fails.
bool OfferExampleLevelset(SettingsStore& settings, UserInterface& ui, const std::string& examplesDir,
                          const std::string& copyDir);

}  // namespace vantrel
