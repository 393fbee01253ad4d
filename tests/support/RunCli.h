// Runs the real vantrel-cli with arguments and collects what it printed.
// For the core tests only (they know where the tool was built).
#pragma once

#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace vantrel::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadText(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Each argument is passed in single quotes; the output goes through files in dir.
// A prefix (a command the tool runs under) comes before it.
inline CliResult RunCli(const std::vector<std::string>& args, const TempDir& dir, const std::string& prefix = "")
{
    const auto out = dir.Path() / "cli.out", err = dir.Path() / "cli.err";
    std::string command = prefix + "'" + VANTREL_CLI_PATH + "'";
    for (const std::string& a : args) command += " '" + a + "'";
    command += " >'" + out.string() + "' 2>'" + err.string() + "' </dev/null";
    const int raw = std::system(command.c_str());
    CliResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadText(out);
    r.err = ReadText(err);
    return r;
}

}  // namespace vantrel::test
