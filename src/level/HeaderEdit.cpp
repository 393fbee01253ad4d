#include "level/HeaderEdit.h"

#include "base/UserInterface.h"

namespace vantrel {

namespace {

// A level without HEAD has no place for these values: writing at -1 + offset
// would overwrite the file's signature.
bool HasHead(const OpenLevel& lvl, UserInterface& ui)
{
    if (lvl.HeadPos() >= 0) return true;
    ui.Message(kNoHeadMessage);
    return false;
}

}  // namespace

bool WriteLevelTitle(OpenLevel& lvl, const std::string& title, UserInterface& ui)
{
    if (!lvl.LevelOpen() || !HasHead(lvl, ui)) return false;
    for (int i = 0; i < 32; ++i) {
        const std::uint8_t b = i < static_cast<int>(title.size()) ? static_cast<std::uint8_t>(title[i]) : 0;
        SetByteAtPos(lvl.HeadPos() + 10 + i, lvl, b, ui);
    }
    ui.Message(kTitleUpdatedMessage);
    return true;
}

bool WriteTimeAndEmeralds(OpenLevel& lvl, std::uint16_t time, std::uint16_t emeralds, UserInterface& ui)
{
    if (!lvl.LevelOpen() || !HasHead(lvl, ui)) return false;
    if (time > 999 || emeralds > 999) ui.Message(kTimeNoteMessage);
    SetWordAtPos(lvl.HeadPos() + 6, lvl, time, ui);
    SetWordAtPos(lvl.HeadPos() + 8, lvl, emeralds, ui);
    return true;
}

void CloseLevel(OpenLevel& lvl)
{
    lvl.Close();
}

}  // namespace vantrel
