// The notebook's pages, in one table: position, tab caption, Tool menu entry
// and key, and the builder. The main window makes its tabs, its Tool menu and
// the late building of each page from it; adding a page is a position here, a
// row in Pages.cpp and the page's own files.
#pragma once

#include <QWidget>

#include <array>

namespace vantrel {

class LevelDocumentQt;

// Positions of the notebook's pages, in tab order.
enum BookPage {
    kFileInfoPage = 0,
    kArchivePage,
    kLevelsetPage,
    kLevelViewPage,
    kCeManagerPage,
    kCounterPage,
    kPageCount
};

// The page shown at start, built with the window.
constexpr BookPage kStartPage = kLevelsetPage;

struct PageEntry {
    BookPage position;
    const char* caption;      // the tab's caption
    const char* actionName;   // objectName of the Tool menu's item
    const char* menuCaption;  // the Tool menu's item, with its accelerator
    Qt::Key key;              // the item's shortcut
    QWidget* (*build)(LevelDocumentQt& doc);
};

extern const std::array<PageEntry, kPageCount> kPages;

// A notebook tab's widget: it gets its page the first time it is shown or
// asked for, and holds it edge to edge.
class PageSlot : public QWidget {
public:
    PageSlot(const PageEntry& entry, LevelDocumentQt& doc);

    QWidget* Page();

protected:
    void showEvent(QShowEvent* event) override;

private:
    const PageEntry& entry_;
    LevelDocumentQt& doc_;
    QWidget* page_ = nullptr;
};

}  // namespace vantrel
