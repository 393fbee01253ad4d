#include "app/Pages.h"

#include "gui/archive/ArchivePage.h"
#include "gui/ce/CeManagerPage.h"
#include "gui/counter/CounterPage.h"
#include "gui/level/FileInfoPage.h"
#include "gui/levelsets/LevelsetPage.h"
#include "gui/quote/QuoteLevelButton.h"
#include "gui/view/LevelViewPage.h"

#include <QVBoxLayout>

namespace vantrel {

namespace {

template <typename P>
QWidget* Build(LevelDocumentQt& doc)
{
    return new P(doc);
}

QWidget* BuildFileInfo(LevelDocumentQt& doc)
{
    auto* page = new FileInfoPage(doc);
    new QuoteLevelButton(*page, doc);  // owned by the page
    return page;
}

}  // namespace

constexpr std::array<PageEntry, kPageCount> kPages = {{
    {kFileInfoPage, "File Info", "Tool_MainInfo", "&Main info", Qt::Key_F4, BuildFileInfo},
    {kArchivePage, "Files Archive", "Tool_FilesArchive", "&Files Archive", Qt::Key_F5, Build<ArchivePage>},
    {kLevelsetPage, "Levelset Manager", "Tool_LevelsetManager", "Level&set Manager", Qt::Key_F6, Build<LevelsetPage>},
    {kLevelViewPage, "Level View", "Tool_LevelView", "Level &View", Qt::Key_F7, Build<LevelViewPage>},
    {kCeManagerPage, "CE Manager", "Tool_CEManager", "&CE Manager", Qt::Key_F8, Build<CeManagerPage>},
    {kCounterPage, "Calcing and Counting", "Tool_CounterCreator", "C&ounter Creator", Qt::Key_F9, Build<CounterPage>},
}};

static_assert(
    [] {
        for (int i = 0; i < kPageCount; ++i)
            if (kPages[i].position != i || !kPages[i].build) return false;
        return true;
    }(),
    "one row a page, in tab order");

PageSlot::PageSlot(const PageEntry& entry, LevelDocumentQt& doc) : entry_(entry), doc_(doc)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

QWidget* PageSlot::Page()
{
    if (page_) return page_;
    page_ = entry_.build(doc_);
    layout()->addWidget(page_);
    if (isVisible()) {
        // Shown at once, not at the next turn of the event loop: the
        // notebook puts the focus into the page it shows right after.
        page_->show();
        layout()->activate();
    }
    return page_;
}

void PageSlot::showEvent(QShowEvent* event)
{
    Page();
    QWidget::showEvent(event);
}

}  // namespace vantrel
