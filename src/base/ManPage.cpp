#include "base/ManPage.h"

namespace vantrel {

std::string RoffEscape(const std::string& text)
{
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
        lineStart = c == '\n';
    }
    return out;
}

namespace {

// Paragraphs are separated by blank lines in the text; ".PP" in roff.
void WriteParagraphs(const std::string& text, std::ostream& out)
{
    std::size_t start = 0;
    bool first = true;
    while (start <= text.size()) {
        std::size_t end = text.find("\n\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string paragraph = text.substr(start, end - start);
        if (!paragraph.empty()) {
            if (!first) out << ".PP\n";
            out << RoffEscape(paragraph) << '\n';
            first = false;
        }
        start = end + 2;
    }
}

void WriteEntries(const std::vector<ManEntry>& entries, std::ostream& out)
{
    for (const ManEntry& entry : entries) {
        out << ".TP\n.B " << RoffEscape(entry.Term) << '\n';
        WriteParagraphs(entry.Text, out);
    }
}

}  // namespace

void WriteRoff(const ManPage& page, std::ostream& out)
{
    std::string upper;
    for (const char c : page.Name) upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    out << ".TH " << RoffEscape(upper) << ' ' << page.Section << " \"\" \"" << RoffEscape(page.Version)
        << "\" \"User Commands\"\n";
    out << ".SH NAME\n" << RoffEscape(page.Name) << " \\- " << RoffEscape(page.Summary) << '\n';
    out << ".SH SYNOPSIS\n.nf\n";
    for (const std::string& line : page.Synopsis) out << RoffEscape(line) << '\n';
    out << ".fi\n";
    for (const ManSection& section : page.Sections) {
        out << ".SH " << RoffEscape(section.Title) << '\n';
        WriteParagraphs(section.Text, out);
        WriteEntries(section.Entries, out);
        for (const ManSection& sub : section.Subsections) {
            out << ".SS " << RoffEscape(sub.Title) << '\n';
            WriteParagraphs(sub.Text, out);
            WriteEntries(sub.Entries, out);
        }
    }
}

}  // namespace vantrel
