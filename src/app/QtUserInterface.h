// The window's user interface: message boxes and file dialogs.
#pragma once

#include "base/UserInterface.h"

#include <string>

class QWidget;

namespace vantrel {

class QtUserInterface : public UserInterface {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    void Message(const std::string& text) override;
    void Error(const std::string& text) override;
    bool WarningYesNo(const std::string& text) override;
    bool ConfirmOkCancel(const std::string& text) override;
    Answer WarningYesNoCancel(const std::string& text) override;
    std::optional<std::string> ChooseFile(const std::string& title, const std::string& filterName,
                                          const std::string& pattern, const std::string& initialDir) override;
    std::optional<std::string> ChooseDirectory(const std::string& title, const std::string& initialDir) override;

private:
    QWidget* parent_ = nullptr;
};

}  // namespace vantrel
