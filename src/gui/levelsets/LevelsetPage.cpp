#include "gui/levelsets/LevelsetPage.h"

#include "archive/Thumbnails.h"
#include "base/PathText.h"
#include "gui/archive/ThumbnailSource.h"
#include "gui/base/NamedWidget.h"
#include "gui/base/QtText.h"
#include "base/UserInterface.h"
#include "gui/level/LevelDocumentQt.h"
#include "levelsets/LevelSort.h"
#include "levelsets/LevelsetScan.h"
#include "levelsets/PlayerConversion.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <filesystem>

namespace vantrel {

namespace {

constexpr int kDirNameRole = Qt::UserRole;      // the node's directory name; none on placeholder nodes
constexpr int kProgressIntervalMs = 100;        // how often the totals caption follows a scan
constexpr int kThumbnailCell = kThumbnailBox + 24;  // the grid of the file list's thumbnails

// What changes with a level file: its time of change.
std::int64_t Stamp(const std::string& path)
{
    std::error_code ec;
    return static_cast<std::int64_t>(std::filesystem::last_write_time(path, ec).time_since_epoch().count());
}

constexpr char kNoSetToSort[] = "No levelset is chosen: click a levelset in the tree, then sort its levels.";
constexpr char kNoSetForPlayers[] =
    "No levelset is chosen: click a levelset in the tree, then set the players of its levels.";

// The note the sort's question carries when the sort renames the open level.
std::string OpenLevelSortNote(const std::string& from, const std::string& to)
{
    namespace fs = std::filesystem;
    return "The open level " + PathOf(from).filename().string() + " becomes " + PathOf(to).filename().string() +
           ": it is closed for the sort and opened again under its new name (Edit > Undo starts afresh).";
}

// The folder of a batch holds no level: nothing is done, the open level stays open.
std::string NoLevelsForPlayers(const std::string& dir)
{
    return "The folder " + dir + " holds no level files: there is no level to set players on. Nothing was changed.";
}

// "Paint Levels in Level View" cleared for as long as a batch runs.
class PaintingOff {
public:
    explicit PaintingOff(LevelDocumentQt& doc) : doc_(doc), was_(doc.Doc().PaintLevels()) { doc_.SetPaintLevels(false); }
    ~PaintingOff() { doc_.SetPaintLevels(was_); }
    PaintingOff(const PaintingOff&) = delete;
    PaintingOff& operator=(const PaintingOff&) = delete;

private:
    LevelDocumentQt& doc_;
    bool was_;
};

// The busy cursor for as long as a command runs.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

void AddNodes(const std::vector<LevelsetNode>& nodes, QTreeWidget* tree, QTreeWidgetItem* parent)
{
    for (const LevelsetNode& node : nodes) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        item->setText(0, FromBytes(node.Label));
        item->setData(0, kDirNameRole, FromPath(node.DirName));
        AddNodes(node.Children, tree, item);
    }
}

bool IsEnter(QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

LevelsetPage::LevelsetPage(LevelDocumentQt& doc) : doc_(doc)
{
    checkLevels_ = Named(new QPushButton(tr("Scan for Levelsets")), "Lvlman_CheckLevels");
    counter_ = Named(new QLabel, "Lvlman_Counter");
    currSet_ = Named(new QLabel(tr("Current levelset")), "Lvlman_CurrSet");
    currSet_->setWordWrap(true);
    fileList_ = Named(new QListWidget, "Lvlman_FileList");
    sort_ = Named(new QPushButton(tr("Sort the levels")), "Lvlman_Sort");

    levelsets_ = Named(new QTreeWidget, "Lvlman_Levelsets");
    levelsets_->setHeaderHidden(true);
    levelsets_->setColumnCount(1);
    levelsets_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Nodes can be dragged, but the tree takes no drop: nothing moves.
    levelsets_->setDragEnabled(true);
    levelsets_->setDragDropMode(QAbstractItemView::DragOnly);
    levelsets_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* pop = new QMenu(levelsets_);
    pop->setObjectName(QStringLiteral("Lvlman_LevelsetsPop"));
    Named(pop->addAction(tr("New Levelset"), this, &LevelsetPage::Lvlman_LevelsetsPop_NewSetClick),
          "Lvlman_LevelsetsPop_NewSet");
    Named(pop->addAction(tr("New Levelgroup"), this, &LevelsetPage::Lvlman_LevelsetsPop_NewGrpClick),
          "Lvlman_LevelsetsPop_NewGrp");
    Named(pop->addAction(tr("Delete"), this, &LevelsetPage::Lvlman_LevelsetsPop_DelClick), "Lvlman_LevelsetsPop_Del");
    connect(levelsets_, &QWidget::customContextMenuRequested, this,
            [this, pop](const QPoint& at) { pop->popup(levelsets_->viewport()->mapToGlobal(at)); });

    paintLevel_ = Named(new QCheckBox(tr("Paint Levels in Level View")), "Option_PaintLevel");
    paintLevel_->setChecked(doc_.Doc().PaintLevels());
    // Whether a load draws the level view.
    connect(paintLevel_, &QCheckBox::toggled, &doc_, &LevelDocumentQt::SetPaintLevels);
    connect(&doc_, &LevelDocumentQt::paintLevelsChanged, paintLevel_, &QCheckBox::setChecked);
    connect(&doc_, &LevelDocumentQt::listingChanged, this, &LevelsetPage::ShowListing);
    showThumbnails_ = Named(new QCheckBox(tr("Thumbnails")), "Lvlman_Thumbnails");
    thumbnails_ = new ThumbnailSource(this);
    connect(showThumbnails_, &QCheckBox::toggled, this, &LevelsetPage::Lvlman_ThumbnailsClick);
    connect(thumbnails_, &ThumbnailSource::ready, this, &LevelsetPage::ShowThumbnail);

    connect(checkLevels_, &QPushButton::clicked, this, &LevelsetPage::Lvlman_CheckLevelsClick);
    connect(levelsets_, &QTreeWidget::itemClicked, this, [this] { Lvlman_LevelsetsDblClick(); });
    connect(fileList_, &QListWidget::itemDoubleClicked, this, [this] { Lvlman_FileListDblClick(); });
    connect(sort_, &QPushButton::clicked, this, &LevelsetPage::Lvlman_SortClick);
    levelsets_->installEventFilter(this);
    fileList_->installEventFilter(this);

    // The row under the file list that holds the player-count buttons.
    auto* conversionRow = new QHBoxLayout;
    conversionRow->setObjectName(QStringLiteral("Lvlman_ConversionRow"));
    make3_ = Named(new QPushButton(tr("Set 3 players")), "Lvlman_Make3");
    make4_ = Named(new QPushButton(tr("Set 4 players")), "Lvlman_Make4");
    conversionRow->addWidget(make3_);
    conversionRow->addWidget(make4_);
    connect(make3_, &QPushButton::clicked, this, &LevelsetPage::Lvlman_Make3Click);
    connect(make4_, &QPushButton::clicked, this, &LevelsetPage::Lvlman_Make4Click);
    auto* side = new QVBoxLayout;
    side->addWidget(checkLevels_);
    side->addWidget(counter_);
    side->addWidget(currSet_);
    side->addWidget(fileList_, 1);
    side->addWidget(showThumbnails_);
    side->addWidget(sort_);
    side->addLayout(conversionRow);
    side->addWidget(paintLevel_);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(levelsets_, 3);
    layout->addLayout(side, 2);
}

bool LevelsetPage::eventFilter(QObject* watched, QEvent* event)
{
    if (IsEnter(event)) {
        if (watched == levelsets_) {
            Lvlman_LevelsetsDblClick();
            return true;
        }
        if (watched == fileList_) {
            Lvlman_FileListDblClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void LevelsetPage::Lvlman_CheckLevelsClick()
{
    doc_.Run([this] { ScanLevelsets(); });
}

void LevelsetPage::ScanLevelsets()
{
    LevelDocument& doc = doc_.Doc();
    BusyCursor busy;
    const QString oldTotals = counter_->text();
    QElapsedTimer sinceShown;
    sinceShown.start();
    ScanOptions options;
    options.Progress = [&](const ScanTotals& totals) {
        if (sinceShown.elapsed() < kProgressIntervalMs) return;
        sinceShown.restart();
        counter_->setText(FromBytes(TotalsText(totals, "\n")));
        counter_->repaint();
    };
    std::optional<std::string> dataDir = StoredDataDirectory(doc.Settings(), doc.Ui());
    if (!dataDir) {
        // No "levels" there: the user points at the game's setup.conf.
        doc.Ui().Message(kFindSetupMessage);
        dataDir = DataDirectoryFromSetupFile(doc.Settings(), doc.Ui(), doc.Settings().ReadSetting(kDataDirSetting));
    }
    if (!dataDir) {
        doc.Ui().Message(kSetupNotFoundMessage);
        if (!doc.DirectoryLastListed().empty()) currSet_->setText(FromPath(doc.DirectoryLastListed()));
        return;
    }
    std::optional<LevelsetScanResult> result(std::in_place);
    result->DataDir = *dataDir;
    try {
        ScanLevelsDirectory(JoinPath(*dataDir, "levels"), *result, options);
    } catch (...) {
        counter_->setText(oldTotals);  // a failed scan changes nothing on the page
        for (const std::string& notice : result->Notices) doc.Ui().Message(notice);
        throw;
    }
    for (const std::string& notice : result->Notices) doc.Ui().Message(notice);
    if (result->LevelsDirFound) {
        levelsets_->clear();
        levelsDir_ = result->LevelsDir;
        AddNodes(result->Roots, levelsets_, nullptr);
    }
    counter_->setText(FromBytes(TotalsText(result->Totals, "\n")));
    // The file list and the caption after a scan: the directory listed last.
    const std::string dir = result->LastListed.empty() ? doc.DirectoryLastListed() : result->LastListed;
    if (!dir.empty()) {
        ListDirectory(dir);
        currSet_->setText(FromPath(dir));
    }
}

void LevelsetPage::ListDirectory(const std::string& dir)
{
    doc_.SetListing(dir, ListLevelFiles(dir));
}

void LevelsetPage::ShowListing()
{
    fileList_->clear();
    thumbnails_->DropPending();
    const bool pictures = showThumbnails_->isChecked();
    const std::string& dir = doc_.Doc().DirectoryLastListed();
    for (const std::string& name : doc_.Doc().ListedFiles()) {
        auto* item = new QListWidgetItem(FromPath(name), fileList_);
        if (!pictures) continue;
        const std::string path = JoinPath(dir, name);
        const QImage image = thumbnails_->Thumbnail(path, Stamp(path));
        if (!image.isNull()) item->setIcon(QIcon(QPixmap::fromImage(image)));
    }
    // Another levelset is shown from its top, under its name (listed by another page, the
    // folder's path; the tree's handlers name it after); the same one again stays where it was.
    if (doc_.Doc().DirectoryLastListed() != shownDir_) {
        fileList_->scrollToTop();
        currSet_->setText(FromPath(dir));
    }
    shownDir_ = doc_.Doc().DirectoryLastListed();
}

void LevelsetPage::Lvlman_ThumbnailsClick(bool on)
{
    if (showThumbnails_->isChecked() != on) {
        showThumbnails_->setChecked(on);  // which runs this again
        return;
    }
    fileList_->setViewMode(on ? QListView::IconMode : QListView::ListMode);
    fileList_->setIconSize(on ? QSize(kThumbnailBox, kThumbnailBox) : QSize());
    fileList_->setGridSize(on ? QSize(kThumbnailCell, kThumbnailCell) : QSize());
    fileList_->setMovement(QListView::Static);
    fileList_->setResizeMode(on ? QListView::Adjust : QListView::Fixed);
    fileList_->setWordWrap(on);
    ShowListing();
}

// A thumbnail made: the file list's item of that level shows it.
void LevelsetPage::ShowThumbnail(const QString& path)
{
    if (!showThumbnails_->isChecked()) return;
    const std::string made = ToPath(path);
    const std::string& dir = doc_.Doc().DirectoryLastListed();
    const std::vector<std::string>& files = doc_.Doc().ListedFiles();
    for (int row = 0; row < fileList_->count() && static_cast<std::size_t>(row) < files.size(); ++row) {
        const std::string file = JoinPath(dir, files[static_cast<std::size_t>(row)]);
        if (file != made) continue;
        const QImage image = thumbnails_->Thumbnail(file, Stamp(file));
        if (!image.isNull()) fileList_->item(row)->setIcon(QIcon(QPixmap::fromImage(image)));
    }
}

QTreeWidgetItem* LevelsetPage::SelectedNode() const
{
    const QList<QTreeWidgetItem*> selected = levelsets_->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

// "/group/set" from the tree; empty when the node or an ancestor is a placeholder.
std::string LevelsetPage::RelativePath(QTreeWidgetItem* node) const
{
    std::string path;
    for (; node; node = node->parent()) {
        const QVariant name = node->data(0, kDirNameRole);
        if (!name.isValid()) return {};
        path = "/" + ToPath(name.toString()) + path;
    }
    return path;
}

void LevelsetPage::Lvlman_LevelsetsDblClick()
{
    QTreeWidgetItem* node = SelectedNode();
    if (!node) return;
    const std::string relative = RelativePath(node);
    if (relative.empty()) return;  // a placeholder node has no directory
    doc_.Run([&] {
        ListDirectory(levelsDir_ + relative);
        currSet_->setText(FromPath(relative));
    });
}

void LevelsetPage::Lvlman_FileListDblClick()
{
    QListWidgetItem* item = fileList_->currentItem();
    if (!item || !item->isSelected()) return;
    const std::vector<std::string>& files = doc_.Doc().ListedFiles();
    const auto row = static_cast<std::size_t>(fileList_->row(item));
    if (row >= files.size()) return;
    const std::string fullPath = JoinPath(doc_.Doc().DirectoryLastListed(), files[row]);
    if (!doc_.MayCloseLevel()) return;
    doc_.Doc().SetOpenDialogName("%" + fullPath);
    doc_.LoadLevel();
}

void LevelsetPage::Lvlman_LevelsetsPop_NewSetClick()
{
    QTreeWidgetItem* node = SelectedNode();
    QTreeWidgetItem* parent = node ? node->parent() : nullptr;
    auto* added = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(levelsets_);
    added->setText(0, tr("Test create"));
}

void LevelsetPage::Lvlman_LevelsetsPop_NewGrpClick()
{
    QTreeWidgetItem* node = SelectedNode();
    auto* added = node ? new QTreeWidgetItem(node) : new QTreeWidgetItem(levelsets_);
    added->setText(0, tr("Test child"));
    if (node) levelsets_->expandRecursively(levelsets_->indexFromItem(node));
}

void LevelsetPage::Lvlman_LevelsetsPop_DelClick()
{
    QTreeWidgetItem* node = SelectedNode();
    if (!node) return;
    doc_.Run([&] {
        const std::string label = ToLatin1(node->text(0));
        if (const std::string refusal = DeleteNodeRefusal(label); !refusal.empty())
            doc_.Ui().Message(refusal);
        else if (doc_.Ui().ConfirmOkCancel(DeleteNodeQuestion(label)))
            delete node;
    });
}

void LevelsetPage::Lvlman_SortClick()
{
    // The open level, when the sort renames it: it is closed for the sort and
    // opened again under its new name, so that the window never edits a file
    // that another level's name now names.
    std::string reopen;
    doc_.Run([this, &reopen] {
        const std::string dir = doc_.Doc().DirectoryLastListed();
        if (dir.empty()) {
            doc_.Ui().Message(kNoSetToSort);
            return;
        }
        const std::vector<std::string> listed = doc_.Doc().ListedFiles();
        const std::string open = doc_.Level().LevelOpen() ? doc_.Level().LevelPath() : std::string();
        const std::string moved = open.empty() ? std::string() : RenamedPath(SortLevels(dir, listed, true), dir, open);
        std::string question = SortQuestion(dir, listed);
        if (!moved.empty()) question += "\n\n" + OpenLevelSortNote(open, moved);
        if (!listed.empty() && !doc_.Ui().ConfirmOkCancel(question)) return;
        if (!moved.empty()) {
            if (!doc_.MayCloseLevel()) return;
            doc_.SaveAndClose();
        }
        BusyCursor busy;
        const SortResult result = SortLevels(dir, listed);
        ListDirectory(dir);
        doc_.Ui().Message(SortSummary(result));
        if (!moved.empty()) {
            const std::string now = RenamedPath(result, dir, open);
            reopen = now.empty() ? open : now;
        }
    });
    if (reopen.empty()) return;
    doc_.Doc().SetOpenDialogName("%" + reopen);
    doc_.LoadLevel();
}

void LevelsetPage::Lvlman_Make3Click()
{
    SetPlayers(3);
}

void LevelsetPage::Lvlman_Make4Click()
{
    SetPlayers(4);
}

// The batch over the levels the listed directory holds now, each loaded,
// converted and closed in turn, its progress in the window caption, then one
// summary and the file list read again.
void LevelsetPage::SetPlayers(int players)
{
    doc_.Run([this, players] {
        const std::string dir = doc_.Doc().DirectoryLastListed();
        if (dir.empty()) {
            doc_.Ui().Message(kNoSetForPlayers);
            return;
        }
        const std::vector<std::string> shown = doc_.Doc().ListedFiles();
        // The batch takes the folder as it is now; with no level in it, nothing happens at all.
        const std::size_t levels = ListLevelFiles(dir).size();
        if (levels == 0) {
            ListDirectory(dir);
            doc_.Ui().Message(NoLevelsForPlayers(dir));
            return;
        }
        if (!doc_.Ui().ConfirmOkCancel(PlayersQuestion(dir, levels, players)) || !doc_.MayCloseLevel()) return;
        PaintingOff paintingOff(doc_);
        BusyCursor busy;
        const std::string cleared = doc_.Doc().ForgetHistory("a batch changes the levels of " + dir);
        doc_.SaveAndClose();  // the batch loads each level into the document's level
        QElapsedTimer sinceShown;
        sinceShown.start();
        PlayerBatchOptions options;
        options.Progress = [&](std::size_t i, std::size_t n, const std::string& entry) {
            if (i != 0 && sinceShown.elapsed() < kProgressIntervalMs) return;
            sinceShown.restart();
            doc_.ShowCaption(QStringLiteral("%1 - Set %2 players: %3 of %4, %5")
                                 .arg(QString::fromLatin1(kCaption))
                                 .arg(players)
                                 .arg(i + 1)
                                 .arg(n)
                                 .arg(FromPath(entry)));
        };
        PlayerBatchResult result;
        try {
            result = ConvertLevelsetPlayers(doc_.Level(), dir, players, options, shown);
        } catch (...) {
            doc_.ShowCaption(QString::fromLatin1(kCaption));
            doc_.SaveAndClose();
            throw;
        }
        doc_.ShowCaption(QString::fromLatin1(kCaption));
        doc_.SaveAndClose();
        if (!cleared.empty()) doc_.Level().Log().push_back(cleared);
        ListDirectory(dir);
        if (result.Levels.empty() && !result.StoppedAt) return;  // nothing listed: nothing to do
        if (result.StoppedAt)
            doc_.Ui().Error(BatchSummary(result));
        else
            doc_.Ui().Message(BatchSummary(result));
    });
}

}  // namespace vantrel
