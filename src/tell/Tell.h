// What the window and the command line share to tell the user what a core
// operation returned: each notice in order (an error as an error: the window
// shows it with a warning icon), through their own user interface. The core
// itself never shows a notice; it returns them.
#pragma once

#include "base/Notice.h"
#include "base/UserInterface.h"
#include "level/Loader.h"

#include <string>

namespace vantrel {

inline void Tell(const Notice& notice, UserInterface& ui)
{
    if (notice.Error)
        ui.Error(notice.Text);
    else
        ui.Message(notice.Text);
}

inline void Tell(const Notices& notices, UserInterface& ui)
{
    for (const Notice& notice : notices) Tell(notice, ui);
}

// A command's load: LoadLevel, then its notices told once it is over (also
// when it failed, before the error goes on up).
inline void LoadAndTell(OpenLevel& lvl, const std::string& path, UserInterface& ui, LoadReport& report,
                        const LoadOptions& options = {})
{
    try {
        LoadLevel(lvl, path, report, options);
    } catch (...) {
        Tell(report.Notices, ui);
        throw;
    }
    Tell(report.Notices, ui);
}

}  // namespace vantrel
