// The level document: the state every page of the program shares, owned by
// the application and passed by reference. It holds the open level (its
// file, index, grid and load log), the open dialog's file name, the map
// clipboard, the text of the quote memo and the directory last listed, with
// the user interface and settings it works through. Standard C++ only; the
// window wraps it in LevelDocumentQt, which signals its changes.
#pragma once

#include "base/Notice.h"
#include "level/Clipboard.h"
#include "level/Loader.h"
#include "level/OpenLevel.h"
#include "level/UndoHistory.h"

#include <optional>
#include <string>
#include <vector>

namespace vantrel {

class SettingsStore;
class UserInterface;

inline constexpr char kOpenLevelDialogTitle[] = "Open RnD Level File";
inline constexpr char kOpenLevelFilterName[] = "Rocks'n'Diamonds Level file";
inline constexpr char kOpenLevelPattern[] = "*.level";

// The window's caption once a command has ended: the loader's last caption,
// with the open level's file name in it ("Vantrel - 001.level").
std::string LevelCaption(const OpenLevel& level, const std::string& caption);

class LevelDocument {
public:
    LevelDocument(UserInterface& ui, SettingsStore& settings) : ui_(ui), settings_(settings) {}
    LevelDocument(const LevelDocument&) = delete;
    LevelDocument& operator=(const LevelDocument&) = delete;

    OpenLevel& Level() { return level_; }
    const OpenLevel& Level() const { return level_; }
    UserInterface& Ui() { return ui_; }
    SettingsStore& Settings() { return settings_; }

    // The open dialog's file name. A name that starts with "%" asks the next
    // load to open the path after it directly, without the dialog.
    const std::string& OpenDialogName() const { return openDialogName_; }
    void SetOpenDialogName(std::string name) { openDialogName_ = std::move(name); }

    // File > Load Level: the direct load of the open dialog's name, or the
    // file the user picks. False when the user cancelled the dialog. The
    // report holds what the load set and has to tell, also when it throws
    // (so do the reports of Undo, Redo and Restore below).
    bool LoadLevelCommand(LoadReport& report, const LoadOptions& options = {});

    // Save and Close: closes the level file and forgets the level; writes
    // nothing. What the user is to be told: that the file's close failed.
    [[nodiscard]] Notices SaveAndClose();

    // The undo history of the open level (UndoHistory.h).
    const UndoHistory& History() const { return history_; }
    // After every command: the steps it wrote into the level join the history
    // (the log says so when the history was cleared meanwhile).
    void TakeSteps();
    // A batch is about to change the levels of a folder: the history is
    // cleared; the line for the log that says so (empty when it was empty).
    std::string ForgetHistory(const std::string& why);
    // Edit > Undo, Edit > Redo and File > Restore from Backup: each writes
    // through the level's door, then loads the level again (report, marked
    // Reread) so that every page shows the file as it now is. False when
    // the question was declined. A refusal (nothing to undo or redo, among
    // others) throws, with nothing written.
    bool UndoCommand(LoadReport& report, const LoadOptions& options = {});
    bool RedoCommand(LoadReport& report, const LoadOptions& options = {});
    bool RestoreBackupCommand(LoadReport& report, const LoadOptions& options = {});

    // What the loads told the pages, for a page built after them: the reports
    // of the loads since the level was last closed, oldest first (a load that
    // set every box of the level's header hides the ones before it), and
    // whether the last load that read a map drew it (PaintLevels then); empty
    // before any load read a map, and again after Save and Close.
    const std::vector<LoadReport>& LoadsSinceClose() const { return loads_; }
    std::optional<bool> LastMapPainted() const { return lastMapPainted_; }
    // CE list lines of chunks appended since the last load (an import): the
    // CE list shows them as the load's own.
    void AddCeListLines(const std::vector<std::string>& lines)
    {
        if (loads_.empty()) return;
        for (const std::string& line : lines) loads_.back().CeList.push_back(line);
    }

    // The map clipboard, kept until the program ends, across loads.
    const MapClipboard& Clipboard() const { return clipboard_; }
    void SetClipboard(MapClipboard clip) { clipboard_ = std::move(clip); }
    // The forum post memo, as bytes.
    const std::string& QuoteText() const { return quoteText_; }
    void SetQuoteText(std::string text) { quoteText_ = std::move(text); }
    // The directory the levelset page listed last, and its level files as listed.
    const std::string& DirectoryLastListed() const { return directoryLastListed_; }
    const std::vector<std::string>& ListedFiles() const { return listedFiles_; }
    void SetListing(std::string dir, std::vector<std::string> files)
    {
        directoryLastListed_ = std::move(dir);
        listedFiles_ = std::move(files);
    }
    // Whether a load draws the level view.
    bool PaintLevels() const { return paintLevels_; }
    void SetPaintLevels(bool on) { paintLevels_ = on; }

private:
    void KeepLoad(const LoadReport& report);
    // Loads the open level again after history wrote it; line goes into the new log.
    void Reload(LoadReport& report, const LoadOptions& options, const std::string& line);
    // Undo (back) or redo: the step taken and the level read again; throws
    // kNothingToUndoMessage or kNothingToRedoMessage when there is none.
    bool Replay(LoadReport& report, const LoadOptions& options, bool back);
    void Note(const std::string& line);

    UserInterface& ui_;
    SettingsStore& settings_;
    OpenLevel level_;
    UndoHistory history_;
    std::string openDialogName_;
    std::vector<LoadReport> loads_;
    std::optional<bool> lastMapPainted_;
    MapClipboard clipboard_;
    std::string quoteText_;
    std::string directoryLastListed_;
    std::vector<std::string> listedFiles_;
    bool paintLevels_ = true;
};

}  // namespace vantrel
