// A scripted stand-in for the user: records every message and question and
// answers from a script. Used by core and window tests alike.
#pragma once

#include "base/UserInterface.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace vantrel::test {

class ScriptedUi : public UserInterface {
public:
    std::vector<std::string> messages;   // every Message text, in order
    std::vector<std::string> questions;  // every WarningYesNo / ConfirmOkCancel text, in order
    std::deque<bool> answers;            // answers to questions; "no" when the script runs out
    std::deque<UserInterface::Answer> choices;          // answers to Yes/No/Cancel questions; "no" when the script runs out
    std::deque<std::optional<std::string>> files;        // answers to ChooseFile; cancel when empty
    std::deque<std::optional<std::string>> directories;  // answers to ChooseDirectory; cancel when empty
    std::vector<std::string> fileDialogTitles;

    void Message(const std::string& text) override { messages.push_back(text); }
    // Errors are messages too; errors lists those shown as errors.
    void Error(const std::string& text) override
    {
        messages.push_back(text);
        errors.push_back(text);
    }
    std::vector<std::string> errors;
    bool WarningYesNo(const std::string& text) override { return Reply(text); }
    bool ConfirmOkCancel(const std::string& text) override { return Reply(text); }
    UserInterface::Answer WarningYesNoCancel(const std::string& text) override
    {
        questions.push_back(text);
        if (choices.empty()) return UserInterface::Answer::No;
        const UserInterface::Answer a = choices.front();
        choices.pop_front();
        return a;
    }
    std::optional<std::string> ChooseFile(const std::string& title, const std::string&, const std::string&,
                                          const std::string&) override
    {
        fileDialogTitles.push_back(title);
        return Pop(files);
    }
    std::optional<std::string> ChooseDirectory(const std::string& title, const std::string&) override
    {
        fileDialogTitles.push_back(title);
        return Pop(directories);
    }

private:
    bool Reply(const std::string& text)
    {
        questions.push_back(text);
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    static std::optional<std::string> Pop(std::deque<std::optional<std::string>>& q)
    {
        if (q.empty()) return std::nullopt;
        auto v = q.front();
        q.pop_front();
        return v;
    }
};

class MemorySettings : public SettingsStore {
public:
    std::map<std::string, std::string> values;
    std::string ReadSetting(const std::string& name) override
    {
        auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    }
    void WriteSetting(const std::string& name, const std::string& value) override { values[name] = value; }
};

}  // namespace vantrel::test
