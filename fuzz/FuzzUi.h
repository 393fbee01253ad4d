// The user every fuzz target works with: reads nothing, answers no, chooses
// nothing; counts the messages it was shown.
#pragma once

#include "base/UserInterface.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace vantrel::fuzz {

class QuietUi : public NoDialogsUi {
public:
    int messages = 0;
    void Message(const std::string&) override { ++messages; }
    bool WarningYesNo(const std::string&) override { return false; }
    bool ConfirmOkCancel(const std::string&) override { return false; }
};

// A broken expectation is a finding: it is named on stderr and the run ends.
inline void Check(const char* target, bool ok, const char* what)
{
    if (ok) return;
    std::fprintf(stderr, "%s: broken expectation: %s\n", target, what);
    std::abort();
}

}  // namespace vantrel::fuzz
