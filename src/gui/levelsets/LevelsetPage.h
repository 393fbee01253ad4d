#pragma once

#include <QWidget>

#include <string>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vantrel {

class LevelDocumentQt;
class ThumbnailSource;

// The "Levelset Manager" page: the levelset tree of the game's data
// directory, the level files of one levelset, opening a level from that
// list, renumbering the listed levels, and making every listed level one for
// three or four players.
class LevelsetPage : public QWidget {
    Q_OBJECT
public:
    explicit LevelsetPage(LevelDocumentQt& doc);

    // Scan for Levelsets; the window runs it once at start-up.
    void Scan() { Lvlman_CheckLevelsClick(); }

    void Lvlman_CheckLevelsClick();
    void Lvlman_LevelsetsDblClick();
    void Lvlman_FileListDblClick();
    void Lvlman_LevelsetsPop_NewSetClick();
    void Lvlman_LevelsetsPop_NewGrpClick();
    void Lvlman_LevelsetsPop_DelClick();
    void Lvlman_SortClick();
    void Lvlman_Make3Click();
    void Lvlman_Make4Click();
    // The file list as names, or as the levels' thumbnails (made off the window's thread).
    void Lvlman_ThumbnailsClick(bool on);
    ThumbnailSource& Thumbnails() { return *thumbnails_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ScanLevelsets();
    // Lists dir's level files into the document; the file list shows them.
    void ListDirectory(const std::string& dir);
    void ShowListing();
    void ShowThumbnail(const QString& path);
    void SetPlayers(int players);
    QTreeWidgetItem* SelectedNode() const;
    std::string RelativePath(QTreeWidgetItem* node) const;

    LevelDocumentQt& doc_;
    QPushButton* checkLevels_;
    QLabel* counter_;
    QTreeWidget* levelsets_;
    QLabel* currSet_;
    QListWidget* fileList_;
    QPushButton* sort_;
    QPushButton* make3_;
    QPushButton* make4_;
    QCheckBox* paintLevel_;
    QCheckBox* showThumbnails_;
    ThumbnailSource* thumbnails_;
    std::string levelsDir_;  // the levels directory of the last scan that rebuilt the tree
    std::string shownDir_;   // the directory whose files the list shows
};

}  // namespace vantrel
