#include "app/MainWindow.h"

#include "gui/base/QtText.h"
#include "gui/ce/CeManagerPage.h"
#include "gui/level/FileInfoPage.h"
#include "gui/levelsets/LevelsetPage.h"
#include "app/About.h"
#include "app/SettingsDialog.h"
#include "base/UserInterface.h"
#include "gui/base/QtText.h"
#include "gui/view/LevelViewPage.h"
#include "level/RecentFiles.h"
#include "levelsets/LevelsetConfig.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

#include <optional>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace vantrel {

namespace {

constexpr char kQuitQuestion[] =
    "Quit Vantrel? Every change is in the level file already, but once the level is closed, Edit > Undo can no "
    "longer take the changes back.";

// The first size of the window: room for the Level View's 40 x 30 cells at zoom 1.
constexpr int kClientWidth = 820;
constexpr int kClientHeight = 580;
constexpr int kMinimumClientWidth = 480;
constexpr int kMinimumClientHeight = 320;

}  // namespace

MainWindow::MainWindow(UserInterface& ui, SettingsStore& settings, QWidget* parent)
    : QMainWindow(parent), doc_(ui, settings), docQt_(doc_)
{
    setObjectName(QStringLiteral("AMain"));
    setWindowTitle(QString::fromLatin1(kCaption));

    book_ = new QTabWidget;
    book_->setObjectName(QStringLiteral("Book"));
    connect(&docQt_, &LevelDocumentQt::captionChanged, this, &QWidget::setWindowTitle);
    // Every tab is there from the start; a page is built when first needed.
    for (const PageEntry& entry : kPages) {
        slots_[entry.position] = new PageSlot(entry, docQt_);
        book_->addTab(slots_[entry.position], tr(entry.caption));
    }
    Page(kStartPage);
    connect(book_, &QTabWidget::currentChanged, this, &MainWindow::Page);
    connect(&docQt_, &LevelDocumentQt::listingPageWanted, this, [this] { book_->setCurrentIndex(kLevelsetPage); });
    connect(&docQt_, &LevelDocumentQt::elementViewWanted, this, &MainWindow::Tool_ElementViewClick);

    auto* client = new QWidget;
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setMinimumSize(kMinimumClientWidth, kMinimumClientHeight);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(book_);
    setCentralWidget(client);
    BuildMenu();

    // Resizable and maximisable; the pages follow its size.
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    move(188, 104);
    // A level file dropped anywhere on the window opens, also over a control
    // that takes dropped text: the window sees every drag over its controls first.
    setAcceptDrops(true);
    qApp->installEventFilter(this);
    FormCreate();
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::Page(int index)
{
    return index >= 0 && index < kPageCount ? slots_[index]->Page() : nullptr;
}

FileInfoPage* MainWindow::FileInfo()
{
    return qobject_cast<FileInfoPage*>(Page(kFileInfoPage));
}

LevelViewPage* MainWindow::LevelView()
{
    return qobject_cast<LevelViewPage*>(Page(kLevelViewPage));
}

CeManagerPage* MainWindow::CeManager()
{
    return qobject_cast<CeManagerPage*>(Page(kCeManagerPage));
}

LevelsetPage* MainWindow::Levelsets()
{
    return qobject_cast<LevelsetPage*>(Page(kLevelsetPage));
}

void MainWindow::FormCreate()
{
    book_->setCurrentIndex(kStartPage);
    docQt_.SaveAndClose();  // the empty window
    Levelsets()->Scan();  // may ask for the game's data directory
}

void MainWindow::BuildMenu()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* load =
        file->addAction(tr("&Load Level"), QKeySequence(Qt::Key_F2), this, &MainWindow::File_LoadLevelClick);
    load->setObjectName(QStringLiteral("File_LoadLevel"));
    QAction* save =
        file->addAction(tr("&Save and Close Level"), QKeySequence(Qt::Key_F3), this, &MainWindow::File_SaveLevelClick);
    save->setObjectName(QStringLiteral("File_SaveLevel"));
    QAction* settings = file->addAction(tr("Se&ttings..."), this, &MainWindow::File_SettingsClick);
    settings->setObjectName(QStringLiteral("File_Settings"));
    QAction* restore = file->addAction(tr("&Restore from Backup..."), this, &MainWindow::File_RestoreBackupClick);
    restore->setObjectName(QStringLiteral("File_RestoreBackup"));
    recent_ = file->addMenu(tr("&Recent Levels"));
    recent_->setObjectName(QStringLiteral("File_Recent"));
    connect(recent_, &QMenu::aboutToShow, this, &MainWindow::File_RecentShow);
    // A load adds its level to the list: the menu offers it at once.
    connect(&docQt_, &LevelDocumentQt::loaded, this, &MainWindow::File_RecentShow);
    File_RecentShow();
    file->addSeparator();
    QAction* exit = file->addAction(tr("E&xit"), QKeySequence(Qt::Key_Escape), this, &MainWindow::File_ExitClick);
    exit->setObjectName(QStringLiteral("File_Exit"));

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    undo_ = edit->addAction(tr("&Undo"), this, &MainWindow::Edit_UndoClick);
    undo_->setObjectName(QStringLiteral("Edit_Undo"));
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_ = edit->addAction(tr("&Redo"), this, &MainWindow::Edit_RedoClick);
    redo_->setObjectName(QStringLiteral("Edit_Redo"));
    redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(&docQt_, &LevelDocumentQt::historyChanged, this, &MainWindow::ShowHistory);
    ShowHistory();

    QMenu* tool = menuBar()->addMenu(tr("&Tool"));
    for (const PageEntry& entry : kPages) {
        QAction* action = tool->addAction(tr(entry.menuCaption));
        action->setObjectName(QString::fromLatin1(entry.actionName));
        action->setShortcut(QKeySequence(entry.key));
        action->setData(entry.position);  // the page the item shows
        connect(action, &QAction::triggered, this, [this, action] { Tool_GotoClick(action); });
    }
    QAction* elements =
        tool->addAction(tr("Element View"), QKeySequence(Qt::Key_F10), this, &MainWindow::Tool_ElementViewClick);
    elements->setObjectName(QStringLiteral("Tool_ElementView"));

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    QAction* helpItem = help->addAction(tr("&Help"));
    helpItem->setObjectName(QStringLiteral("Help_Help"));
    helpItem->setShortcut(QKeySequence(Qt::Key_F1));
    helpItem->setEnabled(false);
    QAction* about = help->addAction(tr("&About"));
    about->setObjectName(QStringLiteral("Help_About"));
    about->setShortcut(QKeySequence(Qt::Key_F11));
    connect(about, &QAction::triggered, this,
            [this] { doc_.Ui().Message(AboutText(doc_.Settings().ReadSetting(kDataDirSetting))); });
}

void MainWindow::SetPaletteWindow(QWidget* palette)
{
    palette_ = palette;
    // The program ends when the main window closes, whether the palette is open
    // or not.
    if (palette_) palette_->setAttribute(Qt::WA_QuitOnClose, false);
}

void MainWindow::OpenAtStart(const std::string& path)
{
    QTimer::singleShot(0, this, [this, path] {
        OpenLevelPath(path);
        book_->setCurrentIndex(kFileInfoPage);
    });
}

void MainWindow::File_LoadLevelClick()
{
    if (!docQt_.MayCloseLevel()) return;
    docQt_.LoadLevel();
}

void MainWindow::File_SaveLevelClick()
{
    if (!docQt_.MayCloseLevel()) return;
    docQt_.SaveAndClose();
}

void MainWindow::File_SettingsClick()
{
    auto* dialog = new SettingsDialog(doc_.Settings(), doc_.Ui(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &SettingsDialog::dataDirectoryChanged, this, [this] { Levelsets()->Scan(); });
    dialog->open();
}

void MainWindow::File_RestoreBackupClick()
{
    if (!docQt_.MayCloseLevel()) return;  // the level is read again from the backup
    docQt_.RestoreFromBackup();
}

void MainWindow::Edit_UndoClick()
{
    docQt_.Undo();
}

void MainWindow::Edit_RedoClick()
{
    docQt_.Redo();
}

void MainWindow::ShowHistory()
{
    const UndoHistory& history = doc_.History();
    undo_->setText(QLatin1Char('&') + FromLatin1(history.UndoText()));
    undo_->setEnabled(history.CanUndo());
    redo_->setText(QLatin1Char('&') + FromLatin1(history.RedoText()));
    redo_->setEnabled(history.CanRedo());
}

void MainWindow::File_ExitClick()
{
    // Exit's key is Esc, easily pressed once too often: with changes that
    // Edit > Undo could still take back, it asks first. Typing not yet
    // written has its own question when the window closes.
    const UndoHistory& history = doc_.History();
    const auto* fileInfo = slots_[kFileInfoPage]->findChild<FileInfoPage*>();
    const bool typing = fileInfo && !fileInfo->UnwrittenBoxes().isEmpty();
    if ((history.CanUndo() || history.CanRedo()) && !typing && !doc_.Ui().ConfirmOkCancel(kQuitQuestion)) return;
    close();
}

void MainWindow::Tool_GotoClick(QAction* sender)
{
    if (sender) book_->setCurrentIndex(sender->data().toInt());
}

void MainWindow::Tool_ElementViewClick()
{
    if (!palette_) return;
    palette_->show();
    palette_->raise();
    palette_->activateWindow();
}

void MainWindow::OpenLevelPath(const std::string& path)
{
    doc_.SetOpenDialogName("%" + path);
    File_LoadLevelClick();
}

void MainWindow::File_RecentShow()
{
    recent_->clear();
    const std::vector<std::string> paths = ReadRecentFiles(doc_.Settings());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        QAction* item = recent_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(FromPath(paths[i])));
        item->setObjectName(QStringLiteral("File_Recent%1").arg(i + 1));
        connect(item, &QAction::triggered, this, [this, path = paths[i]] { OpenLevelPath(path); });
    }
    recent_->setEnabled(!paths.empty());
}

namespace {

// The one local file a drag carries; nothing for text, several files or a remote address.
std::optional<std::string> DraggedFile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls()) return std::nullopt;
    const QList<QUrl> urls = mime->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
    return ToPath(urls.front().toLocalFile());
}

}  // namespace

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QMainWindow::eventFilter(watched, event);
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return QMainWindow::eventFilter(watched, event);
    auto* drag = static_cast<QDropEvent*>(event);
    const std::optional<std::string> path = DraggedFile(drag->mimeData());
    if (!path) return QMainWindow::eventFilter(watched, event);  // text: the control under the pointer takes it
    drag->setDropAction(Qt::CopyAction);
    drag->accept();
    // The drop ends before the level opens: a question the load asks does not hold the dragging program.
    if (type == QEvent::Drop) QTimer::singleShot(0, this, [this, file = *path] { OpenLevelPath(file); });
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // FormCloseQuery: typed changes not yet written are not lost unasked; the
    // open level is closed, and the palette window goes with the main window.
    if (!docQt_.MayCloseLevel()) {
        event->ignore();
        return;
    }
    docQt_.SaveAndClose();
    if (palette_) palette_->hide();
    event->accept();
}

}  // namespace vantrel
