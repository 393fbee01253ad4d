// Starts a program and waits for it, with no shell between: each argument
// reaches the program as it is given (spaces, quotes, "$", a leading "/").
// Standard input is empty (or the file in), standard output and error go into
// files. POSIX and Windows alike, for the tests that run the built programs.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vantrel::test {

struct ProcessFiles {
    std::filesystem::path Out;  // standard output (and error, when Err is empty)
    std::filesystem::path Err;
    std::filesystem::path In;  // empty: nothing to read
};

// The program's exit status; -1 when it could not be started or was killed
// by a signal (what stopped it is in the error file then).
int RunProgram(const std::string& program, const std::vector<std::string>& args, const ProcessFiles& files);

// Whether the tests run under Wine, whose files differ from Windows' in places.
bool UnderWine();

// The command line Windows programs split back into args (their quoting rules).
std::string WindowsCommandLine(const std::string& program, const std::vector<std::string>& args);

}  // namespace vantrel::test
