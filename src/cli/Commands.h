// The commands of vantrel-cli, each a function of its parsed arguments that
// returns the exit status: 0 done, 1 refused or failed. main.cpp alone
// parses the command line.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

int RunLoad(const std::string& file, bool withMap);
int RunCe(const std::string& file, int line);
int RunRender(const std::string& file, const std::string& out);
// Creates a counter's custom elements at the end of the level file (none with dryRun).
int RunCounter(const std::string& file, int steps, const std::vector<int>& increments, int startCe, bool dryRun);

}  // namespace vantrel
