// File > Settings: the game's data directory, the folder new levels from
// forum posts go to, and the address before the names of Level Sketch
// images. OK checks and stores them; the data directory's "levels" folder
// picked by mistake stands for the folder above it.
#pragma once

#include <QDialog>

class QLineEdit;

namespace vantrel {

class SettingsStore;
class UserInterface;

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    SettingsDialog(SettingsStore& settings, UserInterface& ui, QWidget* parent = nullptr);

    // OK: stores what the boxes hold once every value passes; false (the
    // dialog stays open) when one does not.
    bool Settings_OkClick();

signals:
    // The stored data directory changed: the levelsets are to be scanned again.
    void dataDirectoryChanged();

private:
    void Browse(QLineEdit* box, const char* setting);

    SettingsStore& settings_;
    UserInterface& ui_;
    QLineEdit* dataDir_ = nullptr;
    QLineEdit* outputDir_ = nullptr;
    QLineEdit* imagePrefix_ = nullptr;
};

}  // namespace vantrel
