// The subcommands of vantrel-cli. Each Add...Command registers its options on
// app and, when its subcommand is chosen, sets run to the command to run. A
// command returns the exit status: 0 done, 1 refused or failed.
#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace vantrel {

using CliRun = std::function<int()>;

void AddLoadCommand(CLI::App& app, CliRun& run);
void AddCeCommand(CLI::App& app, CliRun& run);
void AddRenderCommand(CLI::App& app, CliRun& run);

}  // namespace vantrel
