// The window says what a core operation returned: each notice in its own box,
// in order (an error with a warning icon).
#pragma once

#include "base/Notice.h"
#include "base/UserInterface.h"

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

}  // namespace vantrel
