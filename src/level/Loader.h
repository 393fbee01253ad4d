// The level loader: opens a level file, makes its one-time backup, walks its
// chunks from front to back with one log line each, records where the parts
// the program edits lie, and reads the playfield into the grid.
#pragma once

#include "base/Notice.h"
#include "level/OpenLevel.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr char kCaption[] = "Vantrel";
inline constexpr char kCaptionLoadComplete[] = "Vantrel - Load complete";
inline constexpr char kCaptionLoadingMap[] = "Vantrel - Loading map elements";
inline constexpr char kCaptionScrollChange[] = "Vantrel - Scroll change";
inline constexpr char kCaptionReadOnly[] = "Vantrel - read-only";
inline constexpr char kReadOnlyLogLine[] = "Opened read-only: nothing can be written and no backup is made";
inline constexpr char kNoHeaderLogLine[] =
    "This level has no header (HEAD chunk): no map size, time left or emeralds to collect to show";
inline constexpr char kRejectMessage[] =
    "Error: Can not open file\nNot a Rocks'n'Diamonds level, or unknown file version.";
inline constexpr char kCus1Message[] = "CUS1 chunks not supported in CE Manager yet";
inline constexpr char kCus3Message[] = "CUS3 chunks not supported yet";

// What a load hands to the window and the command line. Filled as the load
// goes, so that after a failure it still holds what was set before it.
struct LoadReport {
    struct Header {
        std::string MapSize;  // "64x32"
        std::uint16_t Time = 0;
        std::uint16_t Emeralds = 0;
    };
    std::string Path;
    bool Completed = false;
    bool Rejected = false;
    std::optional<std::string> FileVersion;  // the File Version box
    std::optional<Header> HeaderBoxes;       // Map Size, Time left, Emeralds to collect
    bool TitleAuthorSet = false;
    std::string Title;   // 32 bytes as read, zero bytes kept
    std::string Author;  // 32 bytes as read, or empty
    TextLines CeList;  // "45: name", pairs with OpenLevel::CePositions()
    bool ViewPrepared = false;  // the map was read: the view can be drawn
    bool Reread = false;  // the same level loaded again after an undo, a redo or a restore changed it
    std::string Caption;  // the caption last set
    // What the load tells the user, in order: shown when the load is over
    // (an Error with a warning icon), also after a failure.
    using Notice = vantrel::Notice;
    std::vector<Notice> Notices;
    // Why the scan stopped before the end of the file (its log line), empty
    // when it read the file to its end: a file cut short inside a chunk.
    std::string ScanStopped;

    // Empties the report for a new load; its texts and lists keep their memory.
    void Reset();
};

struct LoadOptions {
    std::function<std::int64_t()> TickMs;                    // milliseconds; a steady clock when empty
    std::function<void(const std::string&)> OnCaption;       // each caption phase as it is reached
    // Load for reading only (commands that only show the level): the file is
    // opened for reading, no backup is made, and since nothing was asked to be
    // written there is no "opened read-only" log line or caption.
    bool ReadOnly = false;
    // Take the file's lock before it is read and hold it until the file is
    // closed (waiting a while for another program's lock, then refusing): a
    // command that reads, checks and writes the level under one lock.
    bool Locked = false;
};

// The options of a load for reading only.
inline LoadOptions ReadOnlyLoad()
{
    LoadOptions options;
    options.ReadOnly = true;
    return options;
}

// A file larger than kMaxLevelFileSize (level/OpenLevel.h) is refused before it is read or copied.
std::string TooLargeMessage(const std::string& path, std::int64_t size);
// An empty file is refused with this notice; a name that names nothing, with this error.
std::string EmptyFileMessage(const std::string& path);
std::string MissingLevelMessage(const std::string& path);

// Makes the level's backup PATH.bak from the level's bytes, with the
// level's permission bits (mode), unless it exists (it is never
// overwritten). Written whole: a copy that fails on the way never takes the
// name. Empty on success, else why no backup could be made.
std::string MakeBackup(const std::string& path, const std::vector<std::uint8_t>& bytes, unsigned mode);
std::string NoBackupMessage(const std::string& path, const std::string& why);

// A name that starts with "%" asks for a direct load of the path after it.
bool IsDirectLoadName(const std::string& name);
std::string DirectLoadPath(const std::string& name);

// Loads the level at path. Closes the level that was open first. A rejected
// or failed load leaves no level open and no file handle behind. Errors are
// thrown as VantrelError; report keeps what was set before them. The load
// shows nothing: what it has to tell the user is in report.Notices.
void LoadLevel(OpenLevel& lvl, const std::string& path, LoadReport& report, const LoadOptions& options = {});

// The same load over a file already open (bytes in memory for tests and
// fuzzing). No backup is made.
void LoadLevelFrom(OpenLevel& lvl, std::unique_ptr<WritableFile> file, LoadReport& report,
                   const LoadOptions& options = {});

}  // namespace vantrel
