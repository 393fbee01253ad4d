// What an operation has to tell the user, as part of its result: the window
// shows each in a box (an error with a warning icon), the command line prints
// it. The core never shows one itself.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

struct Notice {
    std::string Text;
    bool Error = false;  // a failure or refusal, not information
    bool operator==(const Notice&) const = default;
};

using Notices = std::vector<Notice>;

}  // namespace vantrel
