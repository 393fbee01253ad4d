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
    // The texts as a level stores them: a terminal passes UTF-8, a level holds Latin-1.
    HeaderChanges stored = changes;
    for (const auto& [text, what] : {std::pair{&stored.Title, "title"}, std::pair{&stored.Author, "author"}}) {
        if (!*text) continue;
        std::string beyond;
        const auto latin1 = Latin1OfUtf8(**text, beyond);
        if (!latin1) {
            PrintMessage(std::cerr, NotLatin1Refusal(what, beyond));
            return 1;
        }
        *text = *latin1;
    }
    CliUserInterface ui(std::cerr);
    OpenLevel lvl;
    LoadReport report;
    LoadOptions options;
    options.Locked = true;  // read, checked and written under one lock
    LoadAndTell(lvl, file, ui, report, options);
    if (!report.Completed) return 1;
    const HeaderEditResult result = WriteHeaderChanges(lvl, stored);
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
