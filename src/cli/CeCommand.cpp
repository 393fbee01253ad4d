// vantrel-cli ce FILE [N]: the custom element list of a level and, for line N,
// what the "CE Manager" page shows for that custom element.
#include "ce/CeViews.h"
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "level/Loader.h"
#include "base/Error.h"
#include "tell/Tell.h"

#include <iostream>

namespace vantrel {

namespace {

std::string YesNo(bool value)
{
    return value ? "yes" : "no";
}

// The three memo lines on one line: each without its trailing blank, joined by " / ".
std::string BlockText(const std::array<std::string, 3>& lines)
{
    std::string text;
    bool any = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i];
        if (!line.empty() && line.back() == ' ') line.pop_back();
        any = any || !line.empty();
        text += (i ? " / " : "") + line;
    }
    return any ? text : std::string();
}

// A spin edit's value, and the stored value when the spin edit cannot show it.
std::string SpinText(int shown, std::uint16_t stored)
{
    std::string text = std::to_string(shown);
    if (shown != stored) text += " (stored " + std::to_string(stored) + ")";
    return text;
}

void PrintChangePage(const CeChangePageView& page, const CeView& view, std::ostream& out)
{
    out << "Current Change Page = " << page.Page << " of " << view.PageCount.value_or(0) << '\n';
    out << "Element Changes: " << YesNo(page.CanChange) << '\n';
    out << "Change to: " << page.ChangeTo << '\n';
    out << "Delay: " << YesNo(page.DelayCheck) << '\n';
    out << "Delay fixed: " << SpinText(page.DelayFixed, page.DelayFixedStored) << '\n';
    out << "+ Random: " << SpinText(page.DelayRandom, page.DelayRandomStored) << '\n';
    out << "Delay unit: " << kDelayTypeItems[static_cast<std::size_t>(page.DelayTypeIndex)] << '\n';
    out << "Condition element: " << page.ChangeCondEl << '\n';
    out << "Use Extended Change Target: " << YesNo(page.ExtChangeCheck) << '\n';
    out << "Extended Change Target: " << BlockText(page.ExtChangeLines) << '\n';
}

void PrintCe(ByteFile& file, const CeView& view, int line, const std::string& lineText, std::ostream& out)
{
    out << "CE list line " << line << ": " << lineText << '\n';
    out << "Record position: " << view.RecordPosition << '\n';
    out << "Name: " << view.Name << '\n';
    out << "Explode To Content: " << BlockText(view.ExplodeContLines) << '\n';
    out << "Use Graphic of: " << (view.UseGraphicOfEnabled ? YesNo(view.UseGraphicOf) : std::string()) << '\n';
    out << "Graphic of: " << view.GraphicOf << '\n';
    out << "Change pages: " << (view.PageCount ? std::to_string(*view.PageCount) : std::string()) << '\n';
    for (int p = 1; p <= view.PagesOffered; ++p) PrintChangePage(ReadChangePageView(file, view.RecordPosition, p), view, out);
    if (!view.Notice.empty()) out << "Notice: " << view.Notice << '\n';
}

// A custom element stored as entries: its name, its page count and every entry.
void PrintCusx(const CusxView& view, int line, const std::string& lineText, std::ostream& out)
{
    out << "CE list line " << line << ": " << lineText << '\n';
    out << "Chunk position: " << view.DataPos << '\n';
    out << "Name: " << view.Name << (view.NameStored ? "" : " (default)") << '\n';
    out << "Change pages: " << view.PageCount << '\n';
    out << "Entries:\n";
    for (const CusxEntryView& entry : view.Entries) out << "  " << CusxEntryLine(entry) << '\n';
    for (const std::string& problem : view.Problems) out << "Notice: " << problem << '\n';
}

}  // namespace

int RunCe(const std::string& path, int line)
{
    CliUserInterface ui(std::cerr);
    OpenLevel lvl;
    LoadReport report;
    LoadAndTell(lvl, path, ui, report, ReadOnlyLoad());
    if (!report.Completed) return 1;
    int status = 0;
    if (line == 0) {
        for (const std::string_view text : report.CeList) std::cout << text << '\n';
    } else if (line > static_cast<int>(report.CeList.size())) {
        PrintMessage(std::cerr, "There is no line " + std::to_string(line) + " in the CE list: it has " +
                                    std::to_string(report.CeList.size()) + " lines");
        status = 1;
    } else {
        const std::string text(report.CeList[static_cast<std::size_t>(line - 1)]);
        if (const auto cusx = CusxViewOfLine(lvl, line - 1)) {
            PrintCusx(*cusx, line, text, std::cout);
            lvl.CloseLevelFile();
            return 0;
        }
        const auto view = CeViewOfLine(lvl, line - 1, text);
        if (!view) throw VantrelError("The CE list line " + std::to_string(line) + " has no record position");
        PrintCe(lvl.File(), *view, line, text, std::cout);
    }
    lvl.CloseLevelFile();
    return status;
}

}  // namespace vantrel
