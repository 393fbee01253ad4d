#include "gui/archive/ArchivePage.h"

#include "base/Bytes.h"
#include "base/ElementTable.h"
#include "base/PathText.h"
#include "base/UserInterface.h"
#include "gui/archive/ArchiveModel.h"
#include "gui/archive/ThumbnailSource.h"
#include "gui/base/NamedWidget.h"
#include "gui/base/QtText.h"
#include "gui/level/LevelDocumentQt.h"
#include "levelsets/LevelsetConfig.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <filesystem>
#include <initializer_list>
#include <memory>

namespace vantrel {

namespace {

// The folders the user added to the archive, one a line.
constexpr char kArchiveFoldersSetting[] = "archivefolders";
constexpr int kGridCellWidth = kThumbnailBox + 24;
constexpr int kGridCellHeight = kThumbnailBox + 40;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
    return text;
}

QSpinBox* SizeBox(const char* name)
{
    auto* box = Named(new QSpinBox, name);
    box->setRange(0, kMaxMapSize);
    box->setSpecialValueText(QObject::tr("any"));
    return box;
}

}  // namespace

ArchivePage::ArchivePage(LevelDocumentQt& doc) : doc_(doc)
{
    // The two labels the page has always carried, at its top.
    auto* address = new QLabel(
        QStringLiteral("<a href=\"https://orvel.org/vantrel\">https://orvel.org/vantrel</a>"));
    address->setObjectName(QStringLiteral("Archive_WebAddress"));
    address->setTextFormat(Qt::RichText);
    address->setOpenExternalLinks(true);
    address->setAlignment(Qt::AlignCenter);
    QFont big = address->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    address->setFont(big);
    auto* notice = new QLabel(tr("Vantrel will soon work together with an online archive of level files."));
    notice->setObjectName(QStringLiteral("Archive_Notice"));
    notice->setAlignment(Qt::AlignCenter);

    const QString cacheDir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!cacheDir.isEmpty()) cachePath_ = ToPath(cacheDir) + "/" + kIndexCacheName;

    model_ = new ArchiveModel(this);
    thumbnails_ = new ThumbnailSource(this);
    grid_ = new ThumbnailGridModel(*model_, *thumbnails_, this);

    // Where the levels come from.
    folders_ = Named(new QLabel, "Archive_Folders");
    folders_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    foldersMenu_ = Named(new QToolButton, "Archive_FoldersMenu");
    foldersMenu_->setText(tr("Folders"));
    foldersMenu_->setPopupMode(QToolButton::InstantPopup);
    foldersMenu_->setMenu(new QMenu(foldersMenu_));
    rescan_ = Named(new QPushButton(tr("Rescan")), "Archive_Rescan");
    progress_ = Named(new QProgressBar, "Archive_Progress");
    progress_->setVisible(false);
    connect(rescan_, &QPushButton::clicked, this, &ArchivePage::Archive_RescanClick);

    // What to look for.
    search_ = Named(new QLineEdit, "Archive_Search");
    search_->setPlaceholderText(tr("Title, author, levelset or custom element name"));
    search_->setClearButtonEnabled(true);
    uses_ = Named(new QLineEdit, "Archive_Uses");
    uses_->setPlaceholderText(tr("name or code, such as emerald or 0x0168"));
    uses_->setClearButtonEnabled(true);
    pick_ = Named(new QPushButton(tr("Pick...")), "Archive_PickElement");
    pick_->setToolTip(tr("Shows the Element View: the element you click there goes into this box"));
    hasCes_ = Named(new QCheckBox(tr("Has custom elements")), "Archive_HasCes");
    hasFindings_ = Named(new QCheckBox(tr("Has findings")), "Archive_HasFindings");
    damaged_ = Named(new QCheckBox(tr("Damaged files")), "Archive_Damaged");
    layout_ = Named(new QComboBox, "Archive_Layout");
    layout_->addItem(tr("Any layout"));
    for (const LevelLayout layout : {LevelLayout::Cookie, LevelLayout::Chunked, LevelLayout::Newer})
        layout_->addItem(QString::fromLatin1(LayoutName(layout)), static_cast<int>(layout));
    minWidth_ = SizeBox("Archive_MinWidth");
    minHeight_ = SizeBox("Archive_MinHeight");
    maxWidth_ = SizeBox("Archive_MaxWidth");
    maxHeight_ = SizeBox("Archive_MaxHeight");
    connect(search_, &QLineEdit::textChanged, this, &ArchivePage::Archive_SearchChange);
    connect(uses_, &QLineEdit::textChanged, this, &ArchivePage::Archive_SearchChange);
    for (QCheckBox* box : {hasCes_, hasFindings_, damaged_})
        connect(box, &QCheckBox::toggled, this, &ArchivePage::Archive_SearchChange);
    connect(layout_, &QComboBox::currentIndexChanged, this, &ArchivePage::Archive_SearchChange);
    for (QSpinBox* box : {minWidth_, minHeight_, maxWidth_, maxHeight_})
        connect(box, &QSpinBox::valueChanged, this, &ArchivePage::Archive_SearchChange);
    connect(pick_, &QPushButton::clicked, this, &ArchivePage::Archive_PickElementClick);
    connect(&doc_, &LevelDocumentQt::elementSelected, this, [this](std::uint16_t code) {
        if (!picking_) return;
        picking_ = false;
        uses_->setText(QStringLiteral("0x") + QString::fromLatin1(HexText(code, 4)));
    });

    // The levels found: a list and a grid of thumbnails over the same rows.
    list_ = Named(new QTableView, "Archive_List");
    list_->setModel(model_);
    list_->setSortingEnabled(true);
    list_->sortByColumn(static_cast<int>(ArchiveColumn::Path), Qt::AscendingOrder);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setWordWrap(false);
    list_->verticalHeader()->setVisible(false);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    list_->horizontalHeader()->setStretchLastSection(true);
    const int charWidth = list_->fontMetrics().averageCharWidth();
    const int widths[] = {18, 5, 24, 16, 7, 7, 17, 6, 8, 5, 8};
    for (int c = 0; c < static_cast<int>(std::size(widths)); ++c) list_->setColumnWidth(c, widths[c] * charWidth + 12);
    gridView_ = Named(new QListView, "Archive_Grid");
    gridView_->setModel(grid_);
    gridView_->setModelColumn(static_cast<int>(ArchiveColumn::Title));
    gridView_->setViewMode(QListView::IconMode);
    gridView_->setIconSize(QSize(kThumbnailBox, kThumbnailBox));
    gridView_->setGridSize(QSize(kGridCellWidth, kGridCellHeight));
    gridView_->setUniformItemSizes(true);
    gridView_->setResizeMode(QListView::Adjust);
    gridView_->setMovement(QListView::Static);
    gridView_->setWordWrap(true);
    gridView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridView_->setSelectionMode(QAbstractItemView::SingleSelection);
    views_ = Named(new QStackedWidget, "Archive_Views");
    views_->addWidget(list_);
    views_->addWidget(gridView_);
    for (QAbstractItemView* view : std::initializer_list<QAbstractItemView*>{list_, gridView_}) {
        connect(view, &QAbstractItemView::doubleClicked, this,
                [this](const QModelIndex& index) { Archive_OpenRow(index.row()); });
        view->installEventFilter(this);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
            ContextMenuAt(view, at, view->indexAt(at).row());
        });
    }
    showList_ = Named(new QToolButton, "Archive_ShowList");
    showList_->setText(tr("List"));
    showGrid_ = Named(new QToolButton, "Archive_ShowGrid");
    showGrid_->setText(tr("Thumbnails"));
    auto* viewGroup = new QButtonGroup(this);
    for (QToolButton* b : {showList_, showGrid_}) {
        b->setCheckable(true);
        b->setAutoRaise(true);
        viewGroup->addButton(b);
    }
    showList_->setChecked(true);
    connect(showList_, &QToolButton::toggled, this, [this](bool on) {
        views_->setCurrentWidget(on ? static_cast<QWidget*>(list_) : gridView_);
        if (on) thumbnails_->DropPending();
    });
    count_ = Named(new QLabel, "Archive_Count");
    count_->setWordWrap(true);

    auto* sources = new QHBoxLayout;
    sources->addWidget(new QLabel(tr("Levels in:")));
    sources->addWidget(folders_, 1);
    sources->addWidget(foldersMenu_);
    sources->addWidget(rescan_);
    sources->addWidget(progress_);
    auto* find = new QHBoxLayout;
    find->addWidget(new QLabel(tr("Search:")));
    find->addWidget(search_, 3);
    find->addWidget(new QLabel(tr("Uses element:")));
    find->addWidget(uses_, 2);
    find->addWidget(pick_);
    auto* filters = new QHBoxLayout;
    filters->addWidget(hasCes_);
    filters->addWidget(hasFindings_);
    filters->addWidget(damaged_);
    filters->addWidget(layout_);
    filters->addSpacing(12);
    filters->addWidget(new QLabel(tr("Size")));
    filters->addWidget(minWidth_);
    filters->addWidget(new QLabel(QStringLiteral("x")));
    filters->addWidget(minHeight_);
    filters->addWidget(new QLabel(tr("to")));
    filters->addWidget(maxWidth_);
    filters->addWidget(new QLabel(QStringLiteral("x")));
    filters->addWidget(maxHeight_);
    filters->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(count_, 1);
    bottom->addWidget(showList_);
    bottom->addWidget(showGrid_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(address);
    layout->addWidget(notice);
    layout->addSpacing(6);
    layout->addLayout(sources);
    layout->addLayout(find);
    layout->addLayout(filters);
    layout->addWidget(views_, 1);
    layout->addLayout(bottom);
    ShowFolders();
    ShowCount();
}

ArchivePage::~ArchivePage()
{
    cancel_ = true;
    if (builder_.joinable()) builder_.join();
}

void ArchivePage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Built when first shown, and again when the folders changed meanwhile
    // (another data directory chosen in File > Settings or by the levelset scan).
    if (!started_ || Folders() != builtFor_) Archive_RescanClick();
}

std::vector<std::string> ArchivePage::Folders() const
{
    std::vector<std::string> folders;
    const std::string dataDir = doc_.Doc().Settings().ReadSetting(kDataDirSetting);
    std::error_code ec;
    if (!dataDir.empty() && std::filesystem::is_directory(PathOf(dataDir), ec)) folders.push_back(dataDir);
    for (const std::string& added : Lines(doc_.Doc().Settings().ReadSetting(kArchiveFoldersSetting)))
        if (std::find(folders.begin(), folders.end(), added) == folders.end()) folders.push_back(added);
    return folders;
}

void ArchivePage::ShowFolders()
{
    const std::vector<std::string> folders = Folders();
    QStringList shown;
    for (const std::string& f : folders) shown << FromPath(f);
    folders_->setText(shown.isEmpty() ? tr("no folder: set the game's data directory (File > Settings) or add one")
                                      : shown.join(QStringLiteral(", ")));
    QMenu* menu = foldersMenu_->menu();
    menu->clear();
    Named(menu->addAction(tr("Add Folder..."), this, &ArchivePage::Archive_AddFolderClick), "Archive_AddFolder");
    const std::vector<std::string> added = Lines(doc_.Doc().Settings().ReadSetting(kArchiveFoldersSetting));
    if (!added.empty()) menu->addSeparator();
    for (const std::string& folder : added) {
        menu->addAction(tr("Remove %1").arg(FromPath(folder)), this, [this, folder] {
            std::vector<std::string> kept = Lines(doc_.Doc().Settings().ReadSetting(kArchiveFoldersSetting));
            std::erase(kept, folder);
            doc_.Doc().Settings().WriteSetting(kArchiveFoldersSetting, Joined(kept));
            ShowFolders();
            Archive_RescanClick();
        });
    }
}

void ArchivePage::Archive_AddFolderClick()
{
    doc_.Run([this] {
        const std::optional<std::string> folder = doc_.Ui().ChooseDirectory(tr("Add a folder of levels").toStdString(),
                                                                            QDir::homePath().toStdString());
        if (!folder || folder->empty()) return;
        std::vector<std::string> added = Lines(doc_.Doc().Settings().ReadSetting(kArchiveFoldersSetting));
        if (std::find(added.begin(), added.end(), *folder) != added.end()) return;
        added.push_back(*folder);
        doc_.Doc().Settings().WriteSetting(kArchiveFoldersSetting, Joined(added));
        ShowFolders();
        Archive_RescanClick();
    });
}

void ArchivePage::Archive_RescanClick()
{
    started_ = true;
    if (builder_.joinable()) {
        // A build is running: it ends early, and this one follows once it is over.
        cancel_ = true;
        builder_.join();
        QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    }
    ShowFolders();
    const std::vector<std::string> folders = Folders();
    builtFor_ = folders;
    if (folders.empty()) {
        model_->SetIndex({});
        ShowCount();
        return;
    }
    cancel_ = false;
    rescan_->setEnabled(false);
    progress_->setRange(0, 0);
    progress_->setVisible(true);
    count_->setText(tr("Indexing the levels..."));
    builder_ = std::thread([this, folders, cache = cachePath_] {
        IndexOptions options;
        options.CachePath = cache;
        options.Cancel = &cancel_;
        int shownPercent = -1;
        options.Progress = [this, &shownPercent](std::size_t done, std::size_t total) {
            const int percent = static_cast<int>(done * 100 / std::max<std::size_t>(total, 1));
            if (percent == shownPercent) return;
            shownPercent = percent;
            QMetaObject::invokeMethod(
                this,
                [this, percent] {
                    progress_->setRange(0, 100);
                    progress_->setValue(percent);
                },
                Qt::QueuedConnection);
        };
        auto index = std::make_shared<ArchiveIndex>(BuildArchiveIndex(folders, options));
        QMetaObject::invokeMethod(this, [this, index] { TakeIndex(std::move(*index)); }, Qt::QueuedConnection);
    });
}

void ArchivePage::WaitForIndex()
{
    if (builder_.joinable()) builder_.join();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void ArchivePage::TakeIndex(ArchiveIndex index)
{
    if (builder_.joinable()) builder_.join();
    progress_->setVisible(false);
    rescan_->setEnabled(true);
    thumbnails_->DropPending();
    model_->SetIndex(std::move(index.Entries));
    count_->setToolTip(FromBytes(Joined(index.Notices)));
    ShowCount();
    if (!index.Notices.empty()) count_->setText(count_->text() + QStringLiteral(" - ") + FromBytes(index.Notices.front()));
}

void ArchivePage::ShowCount()
{
    const int shown = model_->rowCount();
    const auto total = static_cast<int>(model_->Entries().size());
    const QString files = total == 1 ? tr("1 level file") : tr("%1 level files").arg(total);
    QString text = shown == total ? files : tr("%1 of %2").arg(shown).arg(files);
    if (!usesError_.empty()) text += QStringLiteral(" - ") + FromBytes(usesError_);
    count_->setText(text);
}

void ArchivePage::Archive_SearchChange()
{
    ArchiveQuery query;
    query.Text = search_->text().toStdString();  // UTF-8: the search takes the game's Latin-1 texts too
    usesError_.clear();
    for (const QString& name : uses_->text().split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        std::string error;
        const std::optional<std::uint16_t> code = ParseElement(ToLatin1(name), error);
        if (code)
            query.Uses.push_back(*code);
        else if (usesError_.empty())
            usesError_ = error;
    }
    uses_->setToolTip(query.Uses.size() == 1 ? FromLatin1(ElementLabel(query.Uses.front())) : QString());
    query.HasCes = hasCes_->isChecked();
    query.HasFindings = hasFindings_->isChecked();
    query.Damaged = damaged_->isChecked();
    if (layout_->currentIndex() > 0) query.Layout = static_cast<LevelLayout>(layout_->currentData().toInt());
    query.MinWidth = minWidth_->value();
    query.MinHeight = minHeight_->value();
    query.MaxWidth = maxWidth_->value();
    query.MaxHeight = maxHeight_->value();
    thumbnails_->DropPending();
    model_->SetQuery(query);
    ShowCount();
}

void ArchivePage::Archive_PickElementClick()
{
    picking_ = true;
    doc_.ShowElementView();
}

bool ArchivePage::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the list or the grid opens the level, as a double click does.
    if ((watched == list_ || watched == gridView_) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Archive_OpenRow(CurrentRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

int ArchivePage::CurrentRow() const
{
    const QAbstractItemView* view = views_->currentIndex() == 0 ? static_cast<QAbstractItemView*>(list_) : gridView_;
    return view->currentIndex().isValid() ? view->currentIndex().row() : -1;
}

void ArchivePage::Archive_OpenRow(int row)
{
    const IndexEntry* e = model_->EntryAt(row);
    if (!e || !doc_.MayCloseLevel()) return;  // typing not yet written into the open level is not dropped unasked
    doc_.Doc().SetOpenDialogName("%" + e->Path);
    doc_.LoadLevel();
}

void ArchivePage::Archive_ShowFolderRow(int row)
{
    const IndexEntry* e = model_->EntryAt(row);
    if (!e) return;
    const std::string folder = PathOf(e->Path).parent_path().string();
    if (doc_.Run([&] { doc_.SetListing(folder, ListLevelFiles(folder)); })) doc_.ShowListingPage();
}

void ArchivePage::ContextMenuAt(QWidget* view, const QPoint& at, int row)
{
    if (!model_->EntryAt(row)) return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("Archive_Pop"));
    Named(menu.addAction(tr("Open Level"), this, [this, row] { Archive_OpenRow(row); }), "Archive_Pop_Open");
    Named(menu.addAction(tr("Show in Levelset Manager"), this, [this, row] { Archive_ShowFolderRow(row); }),
          "Archive_Pop_ShowFolder");
    const auto* scroll = qobject_cast<QAbstractScrollArea*>(view);
    menu.exec((scroll ? scroll->viewport() : view)->mapToGlobal(at));
}

}  // namespace vantrel
