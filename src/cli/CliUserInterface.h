// The command line's side of the user interface: messages go to standard
// error; questions are answered with the answer given on the command line.
#pragma once

#include "base/UserInterface.h"
#include "level/UndoHistory.h"

#include <iostream>

namespace vantrel {

// Writes text to err, every line of it after "message: ".
inline void PrintMessage(std::ostream& err, const std::string& text)
{
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        err << "message: " << text.substr(start, end == std::string::npos ? std::string::npos : end - start) << '\n';
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

// What the steps changed in the level at path, on standard output (offsets and lengths with verbose).
inline void PrintChanges(const std::string& path, const std::vector<LevelStep>& steps, bool verbose)
{
    for (const std::string& line : ChangeLines(path, steps, verbose)) std::cout << line << '\n';
}

class CliUserInterface : public NoDialogsUi {
public:
    explicit CliUserInterface(std::ostream& err, bool answerYes = false) : err_(err), yes_(answerYes) {}
    void Message(const std::string& text) override { PrintMessage(err_, text); }
    bool WarningYesNo(const std::string& text) override { return Ask(text); }
    bool ConfirmOkCancel(const std::string& text) override { return Ask(text); }

private:
    bool Ask(const std::string& text)
    {
        err_ << "question: " << text << '\n' << "answer: " << (yes_ ? "yes" : "no") << '\n';
        return yes_;
    }
    std::ostream& err_;
    bool yes_;
};

}  // namespace vantrel
