// A manual page as data, and its roff text. Both programs fill one from the
// same tables their --help prints, so the page and the help never disagree.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vantrel {

struct ManEntry {
    std::string Term;  // ".TP" term: an option, a command, an exit status, a file
    std::string Text;  // its description; blank lines separate paragraphs
};

struct ManSection {
    std::string Title;              // "OPTIONS", "EXIT STATUS", ...
    std::string Text;               // text before the entries
    std::vector<ManEntry> Entries;
    std::vector<ManSection> Subsections;  // ".SS" under this one (the commands)
};

struct ManPage {
    std::string Name;      // "vantrel-cli"
    int Section = 1;
    std::string Version;   // "vantrel 0.1.0" in the footer
    std::string Summary;   // after "NAME - "
    std::vector<std::string> Synopsis;  // one usage line each
    std::vector<ManSection> Sections;
};

// Text made safe for roff: backslashes and hyphens escaped, and a line that
// would begin with a dot or an apostrophe guarded.
std::string RoffEscape(const std::string& text);

void WriteRoff(const ManPage& page, std::ostream& out);

}  // namespace vantrel
