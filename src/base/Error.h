#pragma once

#include <stdexcept>
#include <string>

namespace vantrel {

// The one error type of the program: a command that fails throws it with a
// text for the user. The window shows the text in a message box, the command
// line tool prints it to standard error.
class VantrelError : public std::runtime_error {
public:
    explicit VantrelError(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace vantrel
