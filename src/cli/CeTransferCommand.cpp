// vantrel-cli export LEVEL LINE... | --all: the chosen custom elements of a
// level into LEVEL.vce.
// vantrel-cli import LEVEL VCE [--set OLD=NEW]... [--shift K] [--yes]
// [--verbose]: the custom elements of a .vce file into a level under new ids.
#include "base/PathText.h"
#include "ce/CeTransfer.h"
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "level/Loader.h"
#include "tell/Tell.h"

#include <charconv>
#include <filesystem>
#include <iostream>

namespace vantrel {

namespace {

// The user interface of an import: messages and questions as the command
// line shows them; with verbose, the log lines the import adds come to
// standard error, each before the next message, and the boxes of bytes are
// shown.
class ImportUi : public NoDialogsUi {
public:
    ImportUi(CliUserInterface& inner, OpenLevel& lvl, bool verbose) : inner_(inner), lvl_(lvl), verbose_(verbose) {}

    void StartLog() { seen_ = lvl_.Log().size(); }
    void FlushLog()
    {
        for (; seen_ < lvl_.Log().size(); ++seen_)
            if (verbose_) std::cerr << "log: " << lvl_.Log()[seen_] << '\n';
    }
    void Message(const std::string& text) override
    {
        FlushLog();
        inner_.Message(text);
    }
    bool WarningYesNo(const std::string& text) override
    {
        FlushLog();
        return inner_.WarningYesNo(text);
    }
    bool ConfirmOkCancel(const std::string& text) override
    {
        FlushLog();
        return inner_.ConfirmOkCancel(text);
    }

private:
    CliUserInterface& inner_;
    OpenLevel& lvl_;
    bool verbose_;
    std::size_t seen_ = 0;
};

std::optional<int> ParseInt(const std::string& text)
{
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

}  // namespace

int RunExport(const std::string& path, const std::vector<int>& lines, bool all, bool force)
{
    if (lines.empty() && !all) {
        PrintMessage(std::cerr, "Name the CE list lines to export (from 1), or --all");
        return 2;
    }
    // An earlier export is replaced only when asked for: the window asks, here --force says so.
    const std::string vce = VcePathOf(path);
    std::error_code ec;
    if (!force && std::filesystem::exists(PathOf(vce), ec)) {
        PrintMessage(std::cerr, vce + " exists already: export replaces it only with --force. Nothing was written.");
        return 1;
    }
    CliUserInterface ui(std::cerr, force);
    OpenLevel lvl;
    LoadReport report;
    LoadAndTell(lvl, path, ui, report);
    if (!report.Completed) return 1;
    std::vector<bool> checked(report.CeList.size(), all);
    for (const int line : lines) {
        if (line < 1 || line > static_cast<int>(checked.size())) {
            PrintMessage(std::cerr, "There is no line " + std::to_string(line) + " in the CE list: it has " +
                                        std::to_string(checked.size()) + " lines");
            return 1;
        }
        checked[static_cast<std::size_t>(line - 1)] = true;
    }
    const ExportPlan plan = PlanExport(lvl, report.CeList, checked);
    for (const Notice& refusal : plan.Refusals) PrintMessage(std::cerr, refusal.Text);
    const ExportResult result = WriteExport(plan, ui);
    lvl.CloseLevelFile();
    if (result.Written) PrintMessage(std::cerr, ExportedMessage(result.Exported, result.Path));
    return result.Written && result.RefusedLines.empty() ? 0 : 1;
}

int RunImport(const std::string& path, const std::string& vce, const std::vector<std::string>& sets, int shift,
              bool yes, bool verbose)
{
    CliUserInterface cli(std::cerr, yes);
    OpenLevel lvl;
    ImportUi ui(cli, lvl, verbose);
    LoadReport report;
    LoadOptions load;
    load.Locked = true;  // read, checked and written under one lock
    LoadAndTell(lvl, path, cli, report, load);
    if (!report.Completed) return 1;
    ui.StartLog();
    CeImportList list;
    if (const VceLoadResult loaded = LoadVceFile(vce, list); !loaded) {
        if (loaded.Refusal) PrintMessage(std::cerr, loaded.Refusal->Text);
        return 1;
    }

    for (const std::string& set : sets) {
        const auto eq = set.find('=');
        const auto oldId = ParseInt(set.substr(0, eq));
        const auto newId = eq == std::string::npos ? std::nullopt : ParseInt(set.substr(eq + 1));
        if (!oldId || !newId) {
            PrintMessage(std::cerr, std::string() + "--set wants OLD=NEW, two whole numbers: " + set);
            return 2;
        }
        int line = -1;
        for (std::size_t k = 0; k < list.Lines.size() && line < 0; ++k)
            if (ImportLineOldId(list.Lines[k]) == std::to_string(*oldId)) line = static_cast<int>(k);
        if (line < 0) {
            PrintMessage(std::cerr, "There is no import line with the old id " + std::to_string(*oldId) + " in " + vce);
            return 1;
        }
        if (!SetImportPos(report.CeList, list, line, *newId, ui)) {
            ui.FlushLog();
            PrintMessage(std::cerr, "Nothing was imported: the id " + std::to_string(*newId) +
                                        " is occupied in the level (--yes uses it all the same)");
            return 1;
        }
    }
    if (shift != 0) IncDecAll(list, shift);
    for (const std::string& line : list.Lines) std::cout << line << '\n';

    FinishImportOptions options;
    if (verbose) options.ShowBytes = [&ui](const std::string& hex) { ui.Message(hex); };
    const ImportResult result = FinishImport(lvl, report.CeList, list, ui, options);
    ui.FlushLog();
    if (const std::string said = lvl.CloseLevelFile(); !said.empty()) PrintMessage(std::cerr, said);
    switch (result.Status) {
    case ImportStatus::Imported:
        std::cout << result.LinkCount << kLinksChangedSuffix << '\n';
        PrintChanges(lvl.LevelPath(), lvl.Steps(), verbose);
        return 0;
    case ImportStatus::Declined:
        PrintMessage(std::cerr, "Nothing was imported: a question was answered no (--yes imports all the same)");
        return 1;
    case ImportStatus::Refused:
        if (result.Refusal) PrintMessage(std::cerr, result.Refusal->Text);
        break;
    }
    return 1;
}

}  // namespace vantrel
