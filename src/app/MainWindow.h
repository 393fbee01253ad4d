// The main window: the notebook of pages and the main menu. It owns the level
// document the pages share, makes its tabs and the Tool menu from the table of
// pages (app/Pages.h) and routes the menu's items; the pages never see the
// window. The page shown at start is built with the window; every other page
// when it is first shown or asked for, and it then catches up with the
// document.
#pragma once

#include "app/Pages.h"
#include "gui/level/LevelDocumentQt.h"
#include "level/LevelDocument.h"

#include <QMainWindow>

class QAction;
class QMenu;
class QTabWidget;

namespace vantrel {

class UserInterface;
class SettingsStore;
class FileInfoPage;
class LevelsetPage;
class LevelViewPage;
class CeManagerPage;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(UserInterface& ui, SettingsStore& settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    LevelDocumentQt& Document() { return docQt_; }
    OpenLevel& Level() { return doc_.Level(); }
    QTabWidget* Book() const { return book_; }
    // The pages, built if they were not yet.
    FileInfoPage* FileInfo();
    LevelViewPage* LevelView();
    CeManagerPage* CeManager();
    LevelsetPage* Levelsets();
    // The notebook's page at index (a BookPage), built if it was not yet.
    QWidget* Page(int index);

    // The palette window shown by Tool > Element View; it closes with this
    // window.
    void SetPaletteWindow(QWidget* palette);

    // Opens the level at path (bytes as the file system names it) once the
    // event loop runs, as a direct load does.
    void OpenAtStart(const std::string& path);

    void File_LoadLevelClick();
    // A level of the recent files list, or a file dropped on the window: a direct load.
    void OpenLevelPath(const std::string& path);
    // Fills File > Recent Levels from the settings, most recent first.
    void File_RecentShow();
    void File_SaveLevelClick();
    // File > Settings: the settings dialog, not modal for the program's loop
    // (window-modal); a changed data directory is scanned again.
    void File_SettingsClick();
    void File_RestoreBackupClick();
    void File_ExitClick();
    void Edit_UndoClick();
    void Edit_RedoClick();
    void Tool_GotoClick(QAction* sender);
    void Tool_ElementViewClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    // A level file dragged over the window or any of its controls is taken,
    // and opens as a direct load when it is dropped.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void BuildMenu();
    // The Edit menu's items name the change they undo or redo.
    void ShowHistory();

    LevelDocument doc_;
    LevelDocumentQt docQt_;
    QTabWidget* book_ = nullptr;
    PageSlot* slots_[kPageCount] = {};
    QWidget* palette_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QMenu* recent_ = nullptr;
};

}  // namespace vantrel
