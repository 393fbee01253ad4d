// Whole-listing comparison for load logs and command output: every line is
// compared, in order, and a failure prints both listings in full.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace vantrel::test {

// One expected line: exact text, or only its beginning (for lines whose tail
// the test does not fix, such as the reason given in a "Scan stopped" line).
struct Line {
    Line(const char* t) : text(t) {}
    Line(std::string t) : text(std::move(t)) {}
    std::string text;
    bool prefix = false;
    bool Matches(const std::string& actual) const
    {
        return prefix ? actual.compare(0, text.size(), text) == 0 : actual == text;
    }
};

inline Line StartsWith(std::string text)
{
    Line l(std::move(text));
    l.prefix = true;
    return l;
}

inline std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

inline ::testing::AssertionResult LinesAre(const std::vector<std::string>& actual, const std::vector<Line>& expected)
{
    bool same = actual.size() == expected.size();
    for (std::size_t i = 0; same && i < actual.size(); ++i) same = expected[i].Matches(actual[i]);
    if (same) return ::testing::AssertionSuccess();
    std::ostringstream out;
    out << "\n  expected " << expected.size() << " lines:\n";
    for (const Line& l : expected) out << "    [" << l.text << (l.prefix ? "...]" : "]") << '\n';
    out << "  actual " << actual.size() << " lines:\n";
    for (const std::string& l : actual) out << "    [" << l << "]\n";
    return ::testing::AssertionFailure() << out.str();
}

}  // namespace vantrel::test
