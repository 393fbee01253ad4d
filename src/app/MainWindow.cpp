#include "app/MainWindow.h"

#include "gui/ce/CeManagerPage.h"
#include "gui/counter/CounterPage.h"
#include "gui/level/FileInfoPage.h"
#include "gui/levelsets/LevelsetPage.h"
#include "gui/quote/QuoteLevelButton.h"
#include "app/ArchivePage.h"
#include "gui/view/LevelViewPage.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

namespace vantrel {

namespace {

constexpr int kClientWidth = 772;
constexpr int kClientHeight = 534;

}  // namespace

// A notebook tab's widget: it gets its page the first time it is shown or
// asked for, and holds it edge to edge.
class PageSlot : public QWidget {
public:
    explicit PageSlot(std::function<QWidget*()> build) : build_(std::move(build))
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
    }

    QWidget* Page()
    {
        if (page_) return page_;
        page_ = build_();
        layout()->addWidget(page_);
        if (isVisible()) {
            // Shown at once, not at the next turn of the event loop: the
            // notebook puts the focus into the page it shows right after.
            page_->show();
            layout()->activate();
        }
        return page_;
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        Page();
        QWidget::showEvent(event);
    }

private:
    std::function<QWidget*()> build_;
    QWidget* page_ = nullptr;
};

AMain::AMain(UserInterface& ui, SettingsStore& settings, QWidget* parent)
    : QMainWindow(parent), doc_(ui, settings), docQt_(doc_)
{
    setObjectName(QStringLiteral("AMain"));
    setWindowTitle(QString::fromLatin1(kCaption));

    book_ = new QTabWidget;
    book_->setObjectName(QStringLiteral("Book"));
    connect(&docQt_, &LevelDocumentQt::captionChanged, this, &QWidget::setWindowTitle);
    // Every tab is there from the start; a page is built when first needed.
    const QString captions[] = {tr("File Info"),  tr("Files Archive"), tr("Levelset Manager"),
                                tr("Level View"), tr("CE Manager"),    tr("Calcing and Counting")};
    for (int page = kFileInfoPage; page <= kCounterPage; ++page) {
        slots_[page] = new PageSlot([this, page] { return BuildPage(page); });
        book_->addTab(slots_[page], captions[page]);
    }
    Page(kLevelsetPage);  // the page shown at start
    connect(book_, &QTabWidget::currentChanged, this, &AMain::Page);

    auto* client = new QWidget;
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientWidth, kClientHeight);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(book_);
    setCentralWidget(client);
    BuildMenu();

    // Not resizable: the window is as large as its client area and its menu.
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    move(188, 104);
    FormCreate();
}

AMain::~AMain() = default;

QWidget* AMain::Page(int index)
{
    return index >= kFileInfoPage && index <= kCounterPage ? slots_[index]->Page() : nullptr;
}

QWidget* AMain::BuildPage(int index)
{
    switch (index) {
    case kFileInfoPage:
        fileInfo_ = new FileInfoPage(docQt_);
        new QuoteLevelButton(*fileInfo_, docQt_);  // owned by the page
        return fileInfo_;
    case kArchivePage:
        return new ArchivePage;
    case kLevelsetPage:
        return levelsets_ = new LevelsetPage(docQt_);
    case kLevelViewPage:
        return levelView_ = new LevelViewPage(docQt_);
    case kCeManagerPage:
        return ceManager_ = new CeManagerPage(docQt_);
    default:
        return counter_ = new CounterPage(docQt_);
    }
}

FileInfoPage* AMain::FileInfo()
{
    Page(kFileInfoPage);
    return fileInfo_;
}

LevelViewPage* AMain::LevelView()
{
    Page(kLevelViewPage);
    return levelView_;
}

CeManagerPage* AMain::CeManager()
{
    Page(kCeManagerPage);
    return ceManager_;
}

LevelsetPage* AMain::Levelsets()
{
    Page(kLevelsetPage);
    return levelsets_;
}

void AMain::FormCreate()
{
    book_->setCurrentIndex(kLevelsetPage);
    File_SaveLevelClick();
    levelsets_->Scan();  // may ask for the game's data directory
}

void AMain::BuildMenu()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* load = file->addAction(tr("&Load Level"), QKeySequence(Qt::Key_F2), this, &AMain::File_LoadLevelClick);
    load->setObjectName(QStringLiteral("File_LoadLevel"));
    QAction* save =
        file->addAction(tr("&Save and Close Level"), QKeySequence(Qt::Key_F3), this, &AMain::File_SaveLevelClick);
    save->setObjectName(QStringLiteral("File_SaveLevel"));
    file->addSeparator();
    QAction* exit = file->addAction(tr("E&xit"), QKeySequence(Qt::Key_Escape), this, &AMain::File_ExitClick);
    exit->setObjectName(QStringLiteral("File_Exit"));

    QMenu* tool = menuBar()->addMenu(tr("&Tool"));
    struct Item {
        const char* name;
        QString caption;
        Qt::Key key;
        int page;
    };
    const Item items[] = {
        {"Tool_MainInfo", tr("&Main info"), Qt::Key_F4, kFileInfoPage},
        {"Tool_FilesArchive", tr("&Files Archive"), Qt::Key_F5, kArchivePage},
        {"Tool_LevelsetManager", tr("Level&set Manager"), Qt::Key_F6, kLevelsetPage},
        {"Tool_LevelView", tr("Level &View"), Qt::Key_F7, kLevelViewPage},
        {"Tool_CEManager", tr("&CE Manager"), Qt::Key_F8, kCeManagerPage},
        {"Tool_CounterCreator", tr("C&ounter Creator"), Qt::Key_F9, kCounterPage},
    };
    for (const Item& item : items) {
        QAction* action = tool->addAction(item.caption);
        action->setObjectName(QString::fromLatin1(item.name));
        action->setShortcut(QKeySequence(item.key));
        action->setData(item.page);  // the page the item shows
        connect(action, &QAction::triggered, this, [this, action] { Tool_GotoClick(action); });
    }
    QAction* elements = tool->addAction(tr("Element View"), QKeySequence(Qt::Key_F10), this,
                                        &AMain::Tool_ElementViewClick);
    elements->setObjectName(QStringLiteral("Tool_ElementView"));

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    QAction* helpItem = help->addAction(tr("&Help"));
    helpItem->setObjectName(QStringLiteral("Help_Help"));
    helpItem->setShortcut(QKeySequence(Qt::Key_F1));
    helpItem->setEnabled(false);
    QAction* about = help->addAction(tr("&About"));
    about->setObjectName(QStringLiteral("Help_About"));
    about->setShortcut(QKeySequence(Qt::Key_F11));
    about->setEnabled(false);
}

void AMain::SetPaletteWindow(QWidget* palette)
{
    palette_ = palette;
    // The program ends when the main window closes, whether the palette is open or not.
    if (palette_) palette_->setAttribute(Qt::WA_QuitOnClose, false);
}

void AMain::OpenAtStart(const std::string& path)
{
    QTimer::singleShot(0, this, [this, path] {
        doc_.SetOpenDialogName("%" + path);
        File_LoadLevelClick();
        book_->setCurrentIndex(kFileInfoPage);
    });
}

void AMain::File_LoadLevelClick()
{
    docQt_.LoadLevel();
}

void AMain::File_SaveLevelClick()
{
    docQt_.SaveAndClose();
}

void AMain::File_ExitClick()
{
    close();
}

void AMain::Tool_GotoClick(QAction* sender)
{
    if (sender) book_->setCurrentIndex(sender->data().toInt());
}

void AMain::Tool_ElementViewClick()
{
    if (!palette_) return;
    palette_->show();
    palette_->raise();
    palette_->activateWindow();
}

void AMain::closeEvent(QCloseEvent* event)
{
    // FormCloseQuery: the open level is closed; the close always goes on, and
    // the palette window goes with the main window.
    File_SaveLevelClick();
    if (palette_) palette_->hide();
    event->accept();
}

}  // namespace vantrel
