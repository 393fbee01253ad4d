#include "levelsets/ExampleLevelset.h"

#include "base/Error.h"
#include "base/PathText.h"
#include "base/UserInterface.h"
#include "levelsets/LevelsetConfig.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace vantrel {

namespace {

bool HasLevels(const std::string& dir)
{
    std::error_code ec;
    return !dir.empty() && fs::is_directory(PathOf(JoinPath(dir, "levels")), ec);
}

// Copies the folder from into to, folder by folder and file by file, keeping
// every file to already holds (the same on every system: a folder that is
// there already is gone into, not refused).
void CopyMissing(const fs::path& from, const fs::path& to, std::error_code& ec)
{
    fs::create_directories(to, ec);
    if (ec) return;
    fs::recursive_directory_iterator it(from, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::path target = to / fs::relative(it->path(), from, ec);
        if (ec) return;
        if (it->is_directory(ec))
            fs::create_directories(target, ec);
        else if (!ec)
            fs::copy_file(it->path(), target, fs::copy_options::skip_existing, ec);
    }
}

}  // namespace

std::string ExamplesOfferText(const std::string& copyDir)
{
    return "No game data directory was found. Try Vantrel on its example levels (a level made from a forum quote, "
           "a level with a counter, a levelset for 2, 3 and 4 players)?\n\nYes copies them to " +
           copyDir + " and shows them; No lets you choose the game's data directory.";
}

bool OfferExampleLevelset(SettingsStore& settings, UserInterface& ui, const std::string& examplesDir,
                          const std::string& copyDir)
{
    if (HasLevels(settings.ReadSetting(kDataDirSetting)) || !HasLevels(examplesDir)) return false;
    if (!ui.WarningYesNo(ExamplesOfferText(copyDir))) return false;
    if (!HasLevels(copyDir)) {
        std::error_code ec;
        CopyMissing(PathOf(examplesDir), PathOf(copyDir), ec);
        if (ec) throw VantrelError("Cannot copy the example levels to " + copyDir + ": " + ec.message());
    }
    settings.WriteSetting(kDataDirSetting, copyDir);
    return true;
}

}  // namespace vantrel
