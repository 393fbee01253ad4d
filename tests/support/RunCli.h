// Runs the real vantrel-cli with arguments and collects what it printed.
// For the core tests only (they know where the tool was built).
#pragma once

#include "support/Process.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
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

// The arguments reach the program as they are (no shell); its output goes
// through files in dir, and it reads nothing. A prefix (a program and its
// arguments, which the tool runs under) comes before it.
inline CliResult RunCli(const std::vector<std::string>& args, const TempDir& dir,
                        const std::vector<std::string>& prefix = {})
{
    const auto out = dir.Path() / "cli.out", err = dir.Path() / "cli.err";
    std::vector<std::string> all(prefix.empty() ? prefix.begin() : prefix.begin() + 1, prefix.end());
    all.push_back(VANTREL_CLI_PATH);
    all.insert(all.end(), args.begin(), args.end());
    CliResult r;
    r.status = prefix.empty() ? RunProgram(VANTREL_CLI_PATH, args, {out, err, {}})
                              : RunProgram(prefix.front(), all, {out, err, {}});
    r.out = ReadText(out);
    r.err = ReadText(err);
    return r;
}

}  // namespace vantrel::test
