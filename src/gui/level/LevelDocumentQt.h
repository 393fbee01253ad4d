// The level document as the window sees it: one small QObject around the
// core document that runs each command inside the error boundary and tells
// the pages what changed. Pages take this, never the main window.
#pragma once

#include "level/LevelDocument.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantrel {

class LevelDocumentQt : public QObject {
    Q_OBJECT
public:
    explicit LevelDocumentQt(LevelDocument& doc, QObject* parent = nullptr) : QObject(parent), doc_(doc) {}

    LevelDocument& Doc() { return doc_; }
    OpenLevel& Level() { return doc_.Level(); }
    UserInterface& Ui() { return doc_.Ui(); }

    // Runs one command inside the error boundary, then tells the pages that
    // the load log may have changed. False when the command failed.
    bool Run(const std::function<void()>& command);

    // File > Load Level and Save and Close, with their signals.
    void LoadLevel();
    void SaveAndClose();
    // Whether the open level may be closed or replaced now. A page that holds
    // typing not yet written into it (the File Info page's boxes) asks first
    // whether to write it, drop it or keep the level open. False when the
    // user kept it open (Cancel), or a write the user asked for was refused.
    // Every command that closes or replaces the level on the user's behalf
    // asks this before anything else.
    bool MayCloseLevel() { return !closeGuard_ || closeGuard_(); }
    void SetCloseGuard(std::function<bool()> guard) { closeGuard_ = std::move(guard); }
    // Edit > Undo, Edit > Redo and File > Restore from Backup: the level is
    // loaded again after each (loaded, with the report marked Reread).
    void Undo();
    void Redo();
    void RestoreFromBackup();

    // Replaces the quote memo's text; signals when it changed.
    void SetQuoteText(const std::string& text);
    // Lists dir: its level files become the document's listing; signals listingChanged.
    void SetListing(const std::string& dir, std::vector<std::string> files);
    // Whether a load draws the level view; signals when it changed.
    void SetPaintLevels(bool on);
    // The window's caption while a long command runs (the caption of the level otherwise).
    void ShowCaption(const QString& caption) { emit captionChanged(caption); }

    // The element the palette has selected: what painting in the level view
    // writes. Picked in the palette or with the view's eyedropper; signals
    // when it changed.
    std::uint16_t SelectedElement() const { return selectedElement_; }
    void SelectElement(std::uint16_t code);

    // A page asks the window to show another part of it: the Levelset
    // Manager with the listing just set, or the Element View (the palette).
    void ShowListingPage() { emit listingPageWanted(); }
    void ShowElementView() { emit elementViewWanted(); }

signals:
    void captionChanged(const QString& caption);
    // A load ended: report holds what it set (all of it, or what came before a failure).
    void loaded(const LoadReport& report);
    void closed();
    void logChanged();
    // What can be undone or redone may have changed (after every command).
    void historyChanged();
    void quoteChanged();
    void listingChanged();
    void paintLevelsChanged(bool on);
    void elementSelected(std::uint16_t code);
    void listingPageWanted();
    void elementViewWanted();

private:
    // Runs a command that loads the level (true when it did) and signals the load.
    void RunLoading(const std::function<bool(LoadReport&, const LoadOptions&)>& command);

    LevelDocument& doc_;
    std::function<bool()> closeGuard_;
    std::uint16_t selectedElement_ = 0;
};

}  // namespace vantrel
