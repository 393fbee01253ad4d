// The commands of vantrel-cli, each a function of its parsed arguments that
// returns the exit status: 0 done, 1 refused or failed. main.cpp alone
// parses the command line.
#pragma once

#include <string>

namespace vantrel {

int RunLoad(const std::string& file, bool withMap);
int RunCe(const std::string& file, int line);
int RunRender(const std::string& file, const std::string& out);
int RunLevelsets(const std::string& dataDir);
int RunSort(const std::string& dir, bool dryRun);

}  // namespace vantrel
