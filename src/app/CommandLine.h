// The command line of the window program: "vantrel [FILE]", --help and
// --version; the manual page is made from the same table and from the menu
// of a window built off the screen ("vantrel --generate-man", run by the build).
#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace vantrel {

// Before the application object: --help, --version and --generate-man are
// answered here, needing no screen. The exit status, or nothing to go on.
std::optional<int> AnswerAtOnce(int argc, char** argv);

// After the application object took its own options: the level to open
// (empty for none), or the exit status 2 with the usage on standard error.
std::optional<int> LevelToOpen(int argc, char** argv, std::string& file);

// The manual page of vantrel; builds a main window off the screen to read its menu.
void WriteGuiManPage(std::ostream& out);

}  // namespace vantrel
