#pragma once

#include "base/UserInterface.h"

#include <exception>
#include <functional>
#include <new>

namespace vantrel {

inline constexpr char kOutOfMemoryMessage[] = "There was not enough memory to finish the command; nothing more was done.";

// Runs one command; an error ends it, its text goes to the user, and the
// program goes on. Returns false when the command failed.
inline bool RunGuarded(UserInterface& ui, const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (const std::bad_alloc&) {
        ui.Error(kOutOfMemoryMessage);
    } catch (const std::exception& e) {
        ui.Error(e.what());
    } catch (...) {
        ui.Error("An unexpected error ended the command.");
    }
    return false;
}

}  // namespace vantrel
