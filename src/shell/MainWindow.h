// The main window: the notebook of six pages, the main menu, and the one
// open level that every page works on.
#pragma once

#include "level/OpenLevel.h"

#include <QMainWindow>
#include <QString>
#include <functional>

class QAction;
class QTabWidget;

namespace vantrel {

class UserInterface;
class SettingsStore;
struct LoadReport;
class FileInfoPage;
class LevelsetPage;
class LevelViewPage;
class CeManagerPage;
class CounterPage;

// Positions of the notebook's pages.
enum BookPage { kFileInfoPage = 0, kArchivePage, kLevelsetPage, kLevelViewPage, kCeManagerPage, kCounterPage };

class AMain : public QMainWindow {
    Q_OBJECT
public:
    AMain(UserInterface& ui, SettingsStore& settings, QWidget* parent = nullptr);
    ~AMain() override;

    OpenLevel& Level() { return level_; }
    UserInterface& Ui() { return ui_; }
    SettingsStore& Settings() { return settings_; }
    QTabWidget* Book() const { return book_; }
    FileInfoPage* FileInfo() const { return fileInfo_; }
    LevelViewPage* LevelView() const { return levelView_; }
    CeManagerPage* CeManager() const { return ceManager_; }
    LevelsetPage* Levelsets() const { return levelsets_; }

    // Runs one command inside the error boundary and shows the load log as it now stands.
    void Handle(const std::function<void()>& command);

    // The open dialog's file name: the path of the open level; a name that
    // starts with "%" asks the next load to open that path directly.
    QString OpenLevelFileName() const { return openLevelFileName_; }
    void SetOpenLevelFileName(const QString& name) { openLevelFileName_ = name; }

    // The palette window shown by Tool > Element View.
    void SetPaletteWindow(QWidget* palette) { palette_ = palette; }

    void File_LoadLevelClick();
    void File_SaveLevelClick();
    void File_ExitClick();
    void Tool_GotoClick(QAction* sender);
    void Tool_ElementViewClick();
    // Shows the load log of the open level in the File Info page.
    void SyncLog();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void BuildMenu();
    void ApplyLoadReport(const LoadReport& report);

    OpenLevel level_;
    UserInterface& ui_;
    SettingsStore& settings_;
    QTabWidget* book_ = nullptr;
    FileInfoPage* fileInfo_ = nullptr;
    LevelsetPage* levelsets_ = nullptr;
    LevelViewPage* levelView_ = nullptr;
    CeManagerPage* ceManager_ = nullptr;
    CounterPage* counter_ = nullptr;
    QWidget* palette_ = nullptr;
    QString openLevelFileName_;
};

}  // namespace vantrel
