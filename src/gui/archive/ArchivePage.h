#pragma once

#include "archive/ArchiveSearch.h"
#include "archive/LevelIndex.h"

#include <QWidget>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTableView;
class QToolButton;

namespace vantrel {

class ArchiveModel;
class LevelDocumentQt;
class ThumbnailGridModel;
class ThumbnailSource;

// The "Files Archive" page: under the maker's address and the notice of
// what is to come, every level under the game's data directory and the
// folders the user adds, searchable by text, element, custom element,
// findings, layout and size, as a sortable list or a grid of thumbnails.
// The index is built off the window's thread when the page is first shown
// and kept in the user's cache folder between runs.
class ArchivePage : public QWidget {
    Q_OBJECT
public:
    explicit ArchivePage(LevelDocumentQt& doc);
    ~ArchivePage() override;

    // The cache file of the index (default: archive.index in the user's cache folder).
    void SetCachePath(const std::string& path) { cachePath_ = path; }
    // Builds the index again, off the window's thread.
    void Archive_RescanClick();
    // Waits for the index being built and shows it (tests).
    void WaitForIndex();
    const ArchiveModel& Model() const { return *model_; }
    ThumbnailSource& Thumbnails() { return *thumbnails_; }

    void Archive_SearchChange();
    void Archive_PickElementClick();
    void Archive_AddFolderClick();
    // Opens the level of a row as a direct load.
    void Archive_OpenRow(int row);
    // Lists the folder of a row's level in the Levelset Manager and shows that page.
    void Archive_ShowFolderRow(int row);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<std::string> Folders() const;
    void ShowFolders();
    void TakeIndex(ArchiveIndex index);
    void ShowCount();
    int CurrentRow() const;
    void ContextMenuAt(QWidget* view, const QPoint& at, int row);

    LevelDocumentQt& doc_;
    ArchiveModel* model_;
    ThumbnailSource* thumbnails_;
    ThumbnailGridModel* grid_;
    QLabel* folders_;
    QToolButton* foldersMenu_;
    QPushButton* rescan_;
    QProgressBar* progress_;
    QLineEdit* search_;
    QLineEdit* uses_;
    QPushButton* pick_;
    QCheckBox* hasCes_;
    QCheckBox* hasFindings_;
    QCheckBox* damaged_;
    QComboBox* layout_;
    QSpinBox* minWidth_;
    QSpinBox* minHeight_;
    QSpinBox* maxWidth_;
    QSpinBox* maxHeight_;
    QToolButton* showList_;
    QToolButton* showGrid_;
    QStackedWidget* views_;
    QTableView* list_;
    QListView* gridView_;
    QLabel* count_;
    std::string cachePath_;
    std::string usesError_;  // why the element box names no element
    bool picking_ = false;   // the next element selected in the Element View goes into the element box
    bool started_ = false;
    std::vector<std::string> builtFor_;  // the folders of the index shown
    std::thread builder_;
    std::atomic<bool> cancel_{false};
};

}  // namespace vantrel
