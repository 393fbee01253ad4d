// Moving custom elements between levels through a CE file (".vce"): CUS4
// chunks (the older layout's records) and CUSX chunks (the newer layout's
// entries) back to back, nothing before, between or after them. The game
// reads either kind in a level of either layout, so either kind imports into
// any level.
//
// Export copies the checked CEs' chunks byte for byte from the open level
// into LEVELPATH.vce. Import reads a CE file into the import list, one line
// "OLD:name-->NEW" a chunk, lets the user choose the new ids, and Finish
// Import renumbers a copy of the file in memory (each chunk's own id and
// every link to another CE of the file) and appends that copy to the level
// in one write. The CE file itself is never written.
//
// The window and vantrel-cli share the import list state (CeImportList) and
// every command here; the window only reads its controls and shows results.
#pragma once

#include "base/Notice.h"
#include "level/OpenLevel.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

class UserInterface;

inline constexpr char kVceExtension[] = ".vce";
inline constexpr char kOldestLevelImportMessage[] =
    "This level is of file version 1.0: its map runs to the end of the file and the game reads nothing after it, "
    "so custom elements added there would never be seen. Nothing was written.";
inline constexpr char kNoCesToExportMessage[] =
    "This level holds no custom elements, so there is nothing to export. No .vce file was written.";
inline constexpr char kOpenVceDialogTitle[] = "Open Vantrel Custom Element File";
inline constexpr char kOpenVceFilterName[] = "Vantrel CE File";
inline constexpr char kOpenVcePattern[] = "*.vce";
inline constexpr char kNotAVceFileMessage[] = "Could not open file - File does not seem to be a real vce file!";
inline constexpr char kExportedSuffix[] = " CEs exported successfully";
inline constexpr char kNothingTickedMessage[] =
    "No custom element is ticked in the CE list: tick the ones to export. Nothing was written.";
inline constexpr char kLinksChangedSuffix[] = " Links detected and changed!";
inline constexpr char kImportFinishedMessage[] = "Importing CEs finished";
inline constexpr char kImportDeclinedMessage[] = "Nothing was imported: the level is as it was.";
inline constexpr char kNoLevelForExportMessage[] =
    "No level is open: load a level (File > Load Level), then export its custom elements. No .vce file was written.";
inline constexpr char kNoLevelForImportMessage[] =
    "No level is open: load a level (File > Load Level), then import custom elements into it.";
inline constexpr char kNothingToImportMessage[] =
    "There is nothing to import: load a .vce file into the import list first.";
inline constexpr int kHexBoxBytes = 10;  // the bytes each check box of Finish Import shows

// --- the import list ---

// The import list and the CE file its lines were read from. Line k (from 0)
// belongs to the k-th chunk (CUS4 or CUSX) of that file.
struct CeImportList {
    std::string VcePath;             // the CE file of the last successful load; empty: none
    std::vector<std::string> Lines;  // "OLD:name-->NEW"
    // The bytes that load read, for a CE file that cannot be read again (a named pipe).
    std::vector<std::uint8_t> PipedBytes;
    void Clear()
    {
        VcePath.clear();
        Lines.clear();
        PipedBytes.clear();
    }
};

// The parts of an import line: the old id text (before the first ":"), the
// new id text (the last "-->" field), and the line with a new id.
std::string ImportLineOldId(const std::string& line);
std::string ImportLineNewId(const std::string& line);
std::string WithNewId(const std::string& line, long long id);
// The new id as a number; nothing when it is no decimal integer.
std::optional<long long> ImportLineNewIdValue(const std::string& line);

std::uint16_t NewIdOfImportLine(OpenLevel& lvl, const CeImportList& list, int k);

// --- reading a CE file ---

// One chunk of a CE file.
struct VceChunk {
    std::int64_t Position = 0;  // of "CUS4" or "CUSX"
    std::uint32_t Length = 0;   // the stored length of what follows the 8-byte header
    bool Cusx = false;
    unsigned OldId = 0;         // CeNumberOf the record's element code
    std::string Name;
    std::string ImportLine() const;  // "OLD:name-->OLD"
};

// What a scan of a CE file found: its chunks and the first fault, if any.
struct VceScan {
    std::vector<VceChunk> Chunks;
    std::string Fault;  // empty, or why the file cannot be imported
};

// Scans the bytes of a CE file from the start: at s, "CUS4" or "CUSX" is a
// chunk whose data follows at s + 8 and whose next chunk starts stored-length
// bytes after it. Bytes that begin no chunk (between or after the chunks), a
// chunk that runs past the end of the file, a CUS4 whose stored length is not
// 96 + 48 x its page count or that has no change page (the game would read one
// past its end and misread what follows) are faults: the scan stops there,
// and the fault text names the offset and the file (path).
VceScan ScanVceBytes(const std::vector<std::uint8_t>& bytes, const std::string& path);

// What loading a CE file into the import list did.
struct VceLoadResult {
    bool Loaded = false;            // the list was filled
    std::optional<Notice> Refusal;  // why the list was left as it was
    explicit operator bool() const { return Loaded; }
};

// Loads the CE file at path into the list. A file shorter than four bytes,
// one that does not begin with "CUS4" or "CUSX" and one whose chunks the
// scan cannot take are refused and leave the list as it was.
VceLoadResult LoadVceFile(const std::string& path, CeImportList& list);
// "Load .vce file to Import": with a level open, asks for a CE file and loads
// it. Refused when no level is open; neither loaded nor refused when the
// dialog was cancelled.
VceLoadResult ChooseAndLoadVceFile(const OpenLevel& lvl, CeImportList& list, UserInterface& ui,
                                   const std::string& initialDir);

// --- choosing the new ids ---

// "Set Pos": the selected line (from 0) takes the id v, after asking for every
// CE list line ("n: name") whose number is v whether to use it anyway. False
// when nothing changed (no line selected, or the user said No).
bool SetImportPos(const std::vector<std::string>& ceList, CeImportList& list, int selected, int v,
                  UserInterface& ui);
// "Inc/Dec All": adds amount to every new id; the results are not limited.
void IncDecAll(CeImportList& list, int amount);
// A click on line k: the id the spin edit "import at" takes, held within 1..256.
std::optional<int> ImportAtOfLine(const CeImportList& list, int k);

// --- Finish Import ---

enum class ImportStatus {
    Imported,  // the renumbered chunks were appended to the level
    Declined,  // the user said No to a question: nothing written
    Refused,   // a check failed (Refusal says why): nothing written
};

struct ImportResult {
    ImportStatus Status = ImportStatus::Refused;
    std::optional<Notice> Refusal;
    int LinkCount = 0;
    // The CE list lines ("n: name") of the chunks appended, in file order;
    // they are in the level's index too, so the CE list can show them at once.
    std::vector<std::string> NewCeLines;
};

struct FinishImportOptions {
    // Shows the ten bytes at each record and after each chunk, in hexadecimal,
    // as the renumbering reaches them (the window's boxes, when the user asks
    // for them); they go into the log either way, and no bytes are not shown.
    std::function<void(const std::string&)> ShowBytes;
    // Called before each chunk is renumbered: chunks done, chunks in all.
    std::function<void(std::size_t, std::size_t)> Progress;
};

// The question asked when a new id is one a CE of the level has; it says that
// the imported CE is what the game then plays. A CUSX chunk (entries) is
// written with its whole base part then, and the question says so.
std::string OccupiedQuestion(const std::string& id, const std::string& name, bool cusx = false);

// A CUSX chunk (its 8-byte header and its data) with every entry of its base
// part that it leaves out written out with the game's default, before its
// number of change pages, and its size field grown to match. The game applies
// a CUSX chunk over what the element already holds, so a chunk for a CE
// number in use is written so: the element is then, in play, the chunk's
// element, field for field. ceNumber names the default name.
std::vector<std::uint8_t> CusxWithWholeBase(const std::vector<std::uint8_t>& chunk, int ceNumber);
// A CUSX chunk for the CE that sets the settings a CUS4 record does not hold
// (kCusxKeysCus4Lacks) to their defaults, with one page; written before a
// CUS4 record imported over a CE that a CUSX chunk of the level sets, so that
// nothing of that CE stays in play.
std::vector<std::uint8_t> CusxDefaultsCus4Lacks(int ceNumber);

// The renumbered copy of a CE file: bytes are the file's bytes, scan their
// chunks, and list the import list that matches them line for line. The k-th
// chunk takes the new id of line k; every other element code that names a CE
// of the list (in a CUS4 record: every field marked as element codes; in a
// CUSX chunk: every entry that holds elements) takes that CE's new id and is
// counted. A CUSX chunk whose new id is in use (held by the level, inUse, or
// by an earlier chunk of the file) gets its whole base part
// (CusxWithWholeBase). Logs every lookup as it runs and, when asked, hands
// the ten bytes at each record and after each chunk to options.ShowBytes.
struct RenumberedVce {
    std::vector<std::uint8_t> Bytes;
    int LinkCount = 0;
    std::vector<std::int64_t> Starts;  // where each chunk begins in Bytes
    int WrittenWhole = 0;              // CUSX chunks given their whole base part
};
RenumberedVce RenumberVceCopy(OpenLevel& lvl, const CeImportList& list, const VceScan& scan,
                              const std::vector<std::uint8_t>& bytes, const FinishImportOptions& options = {},
                              const std::vector<int>& inUse = {});

// "Finish Import". Refuses without writing when no level is open, the list is
// empty, a new id lies outside 1..256, or the CE file no longer holds the
// chunks of the list. Then asks about every new id that a CE list line
// occupies, naming it, and, when the game stops reading the level before its
// end, whether to append all the same; a No declines the import. Otherwise
// renumbers a copy of the CE file in memory, logging every lookup, appends
// the copy to the level in one write and adds its chunks to the level's index.
ImportResult FinishImport(OpenLevel& lvl, const std::vector<std::string>& ceList, const CeImportList& list,
                          UserInterface& ui, const FinishImportOptions& options = {});

// What the window says once an import is over: its refusal; the link count
// and "Importing CEs finished"; or, after a No, that nothing was imported.
Notices ImportNotices(const ImportResult& result);

// --- export ---

// The CE file of a level: its full path with ".vce" appended.
std::string VcePathOf(const std::string& levelPath);

// The chunks of the ticked CE list lines as an export would write them.
struct ExportPlan {
    std::string Path;                // LEVELPATH.vce; empty with no level open
    std::string FileName;            // the same by the name the level was opened by: the file written
    std::vector<std::uint8_t> Bytes;  // the chunks, back to back
    int Exported = 0;                // CEs in Bytes
    std::vector<int> RefusedLines;   // CE list lines (from 0) not exported
    // What the window says before anything is written, in order: each chunk
    // refused, then, when nothing is left to export, why no file is written.
    Notices Refusals;
};

struct ExportResult {
    bool Written = false;           // the .vce file was written
    std::string Path;               // its path
    int Exported = 0;               // CEs written into it
    std::vector<int> RefusedLines;  // CE list lines (from 0) not exported
    bool Declined = false;          // the file existed and the user kept it
};

// The question asked before an export replaces a CE file that exists.
std::string ReplaceVceQuestion(const std::string& path, int exported);

// The message of a finished export: "2 CEs exported successfully to PATH",
// "1 CE exported successfully to PATH".
std::string ExportedMessage(int exported, const std::string& path);

// The positions of the element codes a CUSX chunk names (its data from data
// to end): its own code first, then every entry's code in order.
std::vector<std::int64_t> CusxLinkPositions(const std::vector<std::uint8_t>& bytes, std::int64_t data,
                                            std::int64_t end);

// "Export Selected to a .vce file", its first half: reads the chunk (CUS4 or
// CUSX) of every checked CE list line. A chunk that runs past the end of the
// level file, or whose stored length disagrees with its page count or that
// has no change page, is refused (a notice names it) and the others go on.
// With no level open, no line ticked, or no ticked chunk that can be
// exported, a notice says why nothing is written.
ExportPlan PlanExport(OpenLevel& lvl, const std::vector<std::string>& ceList, const std::vector<bool>& checked);
// Its second half: writes the plan's chunks into its .vce file, through a new
// file in the same folder that then replaces it. When the file exists, asks
// first (ReplaceVceQuestion); a No leaves it as it is and writes nothing. A
// plan with nothing to export writes nothing. The window then says
// ExportedMessage.
ExportResult WriteExport(const ExportPlan& plan, UserInterface& ui);

}  // namespace vantrel
