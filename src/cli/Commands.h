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
int RunQuote(const std::string& postFile, const std::string& outDir, const std::string& imagePrefix);
int RunSketch(const std::string& file, const std::vector<int>& rect);

}  // namespace vantrel
