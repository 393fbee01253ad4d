// How the core talks to the user and reaches its settings. The window
// implements these with message boxes, file dialogs and QSettings; the command
// line tool and the tests have their own.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel {

class UserInterface {
public:
    virtual ~UserInterface() = default;
    // Information with one OK button.
    virtual void Message(const std::string& text) = 0;
    // A failure or refusal with one OK button (the window shows it with a warning icon).
    virtual void Error(const std::string& text) { Message(text); }
    // A warning with Yes and No; true for Yes.
    virtual bool WarningYesNo(const std::string& text) = 0;
    // A confirmation with OK and Cancel; true for OK.
    virtual bool ConfirmOkCancel(const std::string& text) = 0;
    // A warning with Yes, No and Cancel. Where a user cannot cancel, the
    // question is asked with Yes and No.
    enum class Answer { Yes, No, Cancel };
    virtual Answer WarningYesNoCancel(const std::string& text) { return WarningYesNo(text) ? Answer::Yes : Answer::No; }
    // An open-file dialog; nothing when the user cancels.
    virtual std::optional<std::string> ChooseFile(const std::string& title, const std::string& filterName,
                                                  const std::string& pattern, const std::string& initialDir) = 0;
    // A directory chooser that can create a typed directory; nothing when cancelled.
    virtual std::optional<std::string> ChooseDirectory(const std::string& title, const std::string& initialDir) = 0;
};

// A user interface without dialogs: it picks no file and no folder.
class NoDialogsUi : public UserInterface {
public:
    std::optional<std::string> ChooseFile(const std::string&, const std::string&, const std::string&,
                                          const std::string&) override
    {
        return std::nullopt;
    }
    std::optional<std::string> ChooseDirectory(const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or the empty text when the value is missing.
    virtual std::string ReadSetting(const std::string& name) = 0;
    virtual void WriteSetting(const std::string& name, const std::string& value) = 0;
};

}  // namespace vantrel
