// The window's user interface: message boxes and file dialogs.
#pragma once

#include "shell/UserInterface.h"

#include <QString>
#include <string>

class QWidget;

namespace vantrel {

class QtUserInterface : public UserInterface {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    void Message(const std::string& text) override;
    bool WarningYesNo(const std::string& text) override;
    bool ConfirmOkCancel(const std::string& text) override;
    std::optional<std::string> ChooseFile(const std::string& title, const std::string& filterName,
                                          const std::string& pattern, const std::string& initialDir) override;
    std::optional<std::string> ChooseDirectory(const std::string& title, const std::string& initialDir) override;

private:
    QWidget* parent_ = nullptr;
};

// Texts of the game's files are bytes shown as Latin-1; paths and our own
// texts are UTF-8 where they are valid UTF-8.
QString FromBytes(const std::string& bytes);
QString FromLatin1(const std::string& bytes);
std::string ToLatin1(const QString& text);
QString FromPath(const std::string& path);
std::string ToPath(const QString& path);

}  // namespace vantrel
