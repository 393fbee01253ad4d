// The main window: the notebook of six pages and the main menu. It owns the
// level document the pages share, builds the pages over it and routes the
// menu's items; the pages never see the window. The page shown at start is
// built with the window; every other page when it is first shown or asked
// for, and it then catches up with the document.
#pragma once

#include "level/LevelDocument.h"
#include "gui/level/LevelDocumentQt.h"

#include <QMainWindow>

class QAction;
class QTabWidget;

namespace vantrel {

class UserInterface;
class SettingsStore;
class FileInfoPage;
class LevelsetPage;
class LevelViewPage;
class CeManagerPage;
class CounterPage;
class PageSlot;

// Positions of the notebook's pages.
enum BookPage { kFileInfoPage = 0, kArchivePage, kLevelsetPage, kLevelViewPage, kCeManagerPage, kCounterPage };

class AMain : public QMainWindow {
    Q_OBJECT
public:
    AMain(UserInterface& ui, SettingsStore& settings, QWidget* parent = nullptr);
    ~AMain() override;

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

    // The palette window shown by Tool > Element View; it closes with this window.
    void SetPaletteWindow(QWidget* palette);

    // Opens the level at path (bytes as the file system names it) once the
    // event loop runs, as a direct load does.
    void OpenAtStart(const std::string& path);

    void File_LoadLevelClick();
    void File_SaveLevelClick();
    void File_ExitClick();
    void Tool_GotoClick(QAction* sender);
    void Tool_ElementViewClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void BuildMenu();
    QWidget* BuildPage(int index);

    LevelDocument doc_;
    LevelDocumentQt docQt_;
    QTabWidget* book_ = nullptr;
    PageSlot* slots_[kCounterPage + 1] = {};
    FileInfoPage* fileInfo_ = nullptr;
    LevelsetPage* levelsets_ = nullptr;
    LevelViewPage* levelView_ = nullptr;
    CeManagerPage* ceManager_ = nullptr;
    CounterPage* counter_ = nullptr;
    QWidget* palette_ = nullptr;
};

}  // namespace vantrel
