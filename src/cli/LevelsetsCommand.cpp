// vantrel-cli levelsets DATADIR: the levelset tree of a data directory and its
// totals, as the scan of the levelset page finds them.
// vantrel-cli sort DIR [--dry-run]: Sort the levels on one directory.
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "levelsets/LevelSort.h"
#include "levelsets/LevelsetConfig.h"
#include "levelsets/LevelsetScan.h"

#include <iostream>
#include <map>

namespace vantrel {

namespace {

// The data directory given on the command line stands for the stored setting.
class GivenDataDir : public SettingsStore {
public:
    explicit GivenDataDir(const std::string& dataDir) { values_[kDataDirSetting] = dataDir; }
    std::string ReadSetting(const std::string& name) override { return values_[name]; }
    void WriteSetting(const std::string& name, const std::string& value) override { values_[name] = value; }

private:
    std::map<std::string, std::string> values_;
};

}  // namespace

int RunLevelsets(const std::string& dataDir)
{
    CliUserInterface ui(std::cerr);
    GivenDataDir settings(dataDir);
    const auto found = StoredDataDirectory(settings, ui);
    if (!found) {
        PrintMessage(std::cerr, NoLevelsFolderMessage(dataDir));
        return 1;
    }
    LevelsetScanResult result;
    result.DataDir = *found;
    try {
        ScanLevelsDirectory(JoinPath(*found, "levels"), result);
    } catch (...) {
        for (const std::string& notice : result.Notices) PrintMessage(std::cerr, notice);
        throw;
    }
    for (const std::string& notice : result.Notices) PrintMessage(std::cerr, notice);
    for (const std::string& line : TreeLines(result.Roots)) std::cout << line << '\n';
    std::cout << TotalsText(result.Totals, "") << '\n';
    return 0;
}

int RunSort(const std::string& dir, bool dryRun)
{
    const SortResult result = SortLevels(dir, ListLevelFiles(dir), dryRun);
    for (const std::string& said : result.PutBack) PrintMessage(std::cerr, said);
    if (result.FinishedStoppedSort) PrintMessage(std::cerr, kStoppedSortFinishedMessage);
    for (const SortRename& r : result.BackupsJoined) std::cout << "put beside its level " << r.From << " -> " << r.To << '\n';
    for (const SortRename& r : result.Renamed) {
        std::cout << r.From << " -> " << r.To << '\n';
        if (r.WithBackup) std::cout << r.From << ".bak -> " << r.To << ".bak\n";
    }
    std::size_t refused = 0;
    for (const SortSkip& s : result.Skipped) {
        std::cout << "skipped " << s.Entry << ": " << s.Reason << '\n';
        if (s.Refused) ++refused;
    }
    for (const SortRename& r : result.BackupsMoved) std::cout << "moved aside " << r.From << " -> " << r.To << '\n';
    for (const std::string& name : result.BackupsKept) std::cout << "kept " << name << '\n';
    if (refused == 0) return 0;
    PrintMessage(std::cerr, std::to_string(refused) + " of the renames were refused by the system (see the lines "
                                                      "above); those levels keep their names.");
    return 1;
}

}  // namespace vantrel
