// vantrel-cli counter LEVEL: the counter creator's run on a level, as the
// "Calcing and Counting" page runs it.
#include "base/Bytes.h"
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "counter/Counter.h"
#include "level/Loader.h"
#include "tell/Tell.h"

#include <iostream>

namespace vantrel {

int RunCounter(const std::string& file, int steps, const std::vector<int>& increments, int startCe, bool dryRun,
               bool yes, bool verbose)
{
    CliUserInterface ui(std::cerr, yes);
    OpenLevel lvl;
    LoadReport report;
    // A dry run only reads the level (no backup); a run reads, checks and writes it under one lock.
    LoadOptions options = dryRun ? ReadOnlyLoad() : LoadOptions{};
    options.Locked = !dryRun;
    LoadAndTell(lvl, file, ui, report, options);
    if (!report.Completed) return 1;  // the loader has said why
    CounterSettings settings{steps, std::vector<std::int32_t>(increments.begin(), increments.end()), startCe};
    // The game takes the last chunk of a CE number: a counter over numbers in
    // use would put the level's own custom elements out of play.
    if (const std::vector<int> taken = CeNumbersTakenByCounter(lvl, settings);
        !taken.empty() && !ui.WarningYesNo(CeNumbersInUseQuestion(taken))) {
        lvl.CloseLevelFile();
        ui.Message(CeNumbersInUseRefusal(taken));
        return 1;
    }
    const CounterResult result = RunCounterCreation(lvl, settings, ui, dryRun);
    if (const std::string said = lvl.CloseLevelFile(); !said.empty()) PrintMessage(std::cerr, said);
    if (result.Outcome == CounterOutcome::NoLevel) {
        ui.Message(GoneRefusal(file));
        return 1;
    }
    if (result.Outcome != CounterOutcome::Created) {
        ui.Message(result.Message);
        return 1;
    }
    // The closing message, each carriage return a line end.
    std::string message = result.Message;
    for (char& c : message)
        if (c == '\r') c = '\n';
    std::cout << message;
    for (const CounterCe& ce : result.Plan.Ces)
        std::cout << "CE " << ce.Number << " code " << ce.Code() << " (" << HexText(static_cast<std::uint32_t>(ce.Code()), 4)
                  << ") pages " << ce.Pages.size() << ": " << ce.Name << '\n';
    PrintChanges(lvl.LevelPath(), lvl.Steps(), verbose);
    if (dryRun) PrintMessage(std::cerr, "dry run: nothing was written");
    return 0;
}

}  // namespace vantrel
