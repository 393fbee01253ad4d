// vantrel-cli set LEVEL [--title T] [--author A] [--time N] [--emeralds N]:
// the File Info edits from a terminal, checked whole before anything is written.
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "level/HeaderEdit.h"
#include "level/Loader.h"
#include "tell/Tell.h"

#include <iostream>

namespace vantrel {

int RunSet(const std::string& file, const HeaderChanges& changes, bool verbose)
{
    if (!changes.Title && !changes.Author && !changes.Time && !changes.Emeralds) {
        PrintMessage(std::cerr, "Name what to change: --title, --author, --time or --emeralds");
        return 2;
    }
    CliUserInterface ui(std::cerr);
    OpenLevel lvl;
    LoadReport report;
    LoadOptions options;
    options.Locked = true;  // read, checked and written under one lock
    LoadAndTell(lvl, file, ui, report, options);
    if (!report.Completed) return 1;
    const HeaderEditResult result = WriteHeaderChanges(lvl, changes);
    if (const std::string said = lvl.CloseLevelFile(); !said.empty()) PrintMessage(std::cerr, said);
    if (!result) {
        if (result.Refusal) PrintMessage(std::cerr, result.Refusal->Text);
        return 1;
    }
    PrintMessage(std::cerr, HeaderEditSummary(result));
    PrintChanges(lvl.LevelPath(), lvl.Steps(), verbose);
    return 0;
}

}  // namespace vantrel
