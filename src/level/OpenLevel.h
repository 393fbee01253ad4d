// The one open level: its file, the index of where the loader found each
// part of it, the in-memory playfield, and the positioned reads and writes
// every part of the program uses on it. Changes go to the file at once;
// there is no save step. Every write into the level file passes through
// OpenLevel::Patch and Append, the one door: the level hands its file out for
// reading only. A command's writes are one step (LevelWrite), made under an
// exclusive lock on the file, whole or not at all, and kept with the bytes
// they replaced.
#pragma once

#include "base/Elements.h"
#include "base/Text.h"
#include "base/TextLines.h"
#include "file/ByteFile.h"
#include "file/Journal.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

class UserInterface;
class VantrelError;

// How the file announced itself.
enum class LevelFormat : std::uint8_t {
    OtherCookie = 0,  // the cookie of a version the program does not know
    Cookie10 = 1,     // "1.0"
    Cookie12 = 2,     // "1.2"
    Cookie14 = 3,     // "1.4"
    Rnd1 = 4,         // the chunked "RND1" container
};

// Where the last load found each part of the level, and the map's shape.
// One load builds one index and replaces the previous one whole, so no
// position of an earlier file survives a later load.
struct ChunkIndex {
    LevelFormat Format = LevelFormat::OtherCookie;
    std::int32_t LoadedFileSize = 0;
    std::int32_t HeadPos = -1;
    std::int32_t BodyStart = -1;
    std::int32_t AuthPos = -1;
    std::int32_t ContPos = -1;
    std::int32_t Cnt2Pos = -1;
    std::int32_t Cus1Pos = -1;
    std::int32_t Cus3Pos = -1;
    std::vector<std::int32_t> CePositions;  // record position of every CUS4 chunk, in file order
    std::array<std::int32_t, 5> EnvelopePos{-1, -1, -1, -1, -1};  // [1..4], codes 620..623
    std::array<std::int32_t, 33> GroupPos = Unset<33>();          // [1..32], codes 624..655
    std::uint8_t MapWidth = 0;
    std::uint8_t MapHeight = 0;
    bool Wide16 = false;  // two bytes a cell

    // The newer layout (file version 3.0 and later): NAME, INFO and CUSX
    // chunks instead of HEAD and CUS4.
    std::uint32_t FileVersion = 0;      // the first four bytes of the version chunk
    bool Newer = false;                 // read by the newer rules: INFO and no HEAD
    std::int32_t NamePos = -1;          // size field of the NAME chunk; the title begins at NamePos + 4
    std::int32_t InfoPos = -1;          // size field of the INFO chunk
    std::int32_t InfoTimePos = -1;      // the two value bytes of INFO's time entry
    std::int32_t InfoEmeraldsPos = -1;  // the two value bytes of INFO's emeralds entry
    std::int32_t BodySize = -1;         // BODY's stated size
    std::vector<std::int32_t> CusxPositions;  // data start (the element code) of every listed CUSX chunk
    // What each CE list line stands for: a CUS4 record (Index into
    // CePositions) or a CUSX chunk (Index into CusxPositions), in file order.
    struct CeLine {
        bool Cusx = false;
        std::size_t Index = 0;
    };
    std::vector<CeLine> CeLines;
    // Custom elements in entries (a newer-layout level, or CUSX chunks beside
    // a HEAD): the CE list is not the CUS4 list line for line.
    bool HasCusx() const { return Newer || !CusxPositions.empty(); }

    template <std::size_t N>
    static constexpr std::array<std::int32_t, N> Unset()
    {
        std::array<std::int32_t, N> a{};
        a.fill(-1);
        return a;
    }
};

// The playfield in memory: Width x Height cells, (1, 1) the top-left one,
// stored as the level file stores them: row after row, each cell one byte or
// two (big-endian). A loaded grid keeps the bytes of the file's one read and
// reads its cells where they lie, so a load copies no cell. Cells outside the
// map read as empty space and cannot be written.
class CellGrid {
public:
    CellGrid() = default;
    // An empty map of two-byte cells.
    CellGrid(int width, int height);
    // The map whose first cell lies at offset in bytes; bytes must hold all
    // width x height cells of cellBytes (1 or 2) from there.
    CellGrid(int width, int height, int cellBytes, std::vector<std::uint8_t> bytes, std::size_t offset);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Contains(int x, int y) const { return x >= 1 && x <= width_ && y >= 1 && y <= height_; }
    std::uint16_t At(int x, int y) const
    {
        if (!Contains(x, y)) return 0;
        const std::uint8_t* cell = bytes_.data() + CellOffset(x, y);
        return wide_ ? static_cast<std::uint16_t>(cell[0] << 8 | cell[1]) : cell[0];
    }
    // False, and nothing changed, outside the map or for a code of 256 and
    // above in a map of one-byte cells.
    bool Set(int x, int y, std::uint16_t code);
    // How many cells were set since the grid was made: what drew the grid
    // before knows from it whether it may have changed.
    std::uint64_t Changes() const { return changes_; }
    // The same map: the same size and the same cells.
    bool operator==(const CellGrid& other) const;
    // Hands back the bytes the grid was made over (for the next read).
    std::vector<std::uint8_t> TakeBytes();

private:
    // Where the cell (x, y) of the map begins in bytes_.
    std::size_t CellOffset(int x, int y) const
    {
        return offset_ + (static_cast<std::size_t>((y - 1) * width_ + (x - 1)) << (wide_ ? 1 : 0));
    }

    int width_ = 0;
    int height_ = 0;
    bool wide_ = true;
    std::size_t offset_ = 0;
    std::uint64_t changes_ = 0;
    std::vector<std::uint8_t> bytes_;
};

// The largest file a level can be: a map of 128 x 128 two-byte cells
// (32,768 bytes) and 256 custom elements of 16 change pages each
// (256 x (104 + 48 x 16) = 223,232 bytes) come to 256,000 bytes; every other
// chunk together (version, header, author, groups, element settings, texts)
// is far below that again. Four times the sum, rounded up: 1 MiB. A larger
// file is refused before it is read or copied, and no write makes one.
inline constexpr std::int64_t kMaxLevelFileSize = 1 << 20;

// One write into the level file: where, and the bytes before and after it.
struct LevelEdit {
    std::int64_t Offset = 0;
    std::vector<std::uint8_t> Before;  // the bytes replaced (shorter when the write extended the file)
    std::vector<std::uint8_t> After;
};

// One command's writes into the level, whole. The file ended at EndBefore
// before them and at EndAfter after them. To take a step back, check that
// the file still ends at EndAfter and holds every edit's After bytes, then
// write the Before bytes back, last edit first, and cut the file to
// EndBefore. An edit that cut the file holds the bytes cut off as Before
// and nothing as After.
struct LevelStep {
    std::int64_t EndBefore = 0;
    std::int64_t EndAfter = 0;
    std::vector<LevelEdit> Edits;  // in the order they were written
    std::string Name;              // what the user did, as the Edit menu names it: "Title", "Paste 3 x 3 cells"
};

// What Patch made of a write.
enum class PatchResult {
    Written,
    OutOfRange,  // the offset lies outside the file: nothing written
};

class OpenLevel {
public:
    // --- what the last load found ---
    const ChunkIndex& Index() const { return index_; }
    LevelFormat Format() const { return index_.Format; }
    std::int32_t HeadPos() const { return index_.HeadPos; }
    std::int32_t BodyStart() const { return index_.BodyStart; }
    std::int32_t AuthPos() const { return index_.AuthPos; }
    const std::vector<std::int32_t>& CePositions() const { return index_.CePositions; }
    int MapWidth() const { return index_.MapWidth; }
    int MapHeight() const { return index_.MapHeight; }
    bool Wide16() const { return index_.Wide16; }

    const CellGrid& Grid() const { return grid_; }
    // The grid to change in memory; WriteGridRect then writes it into the file.
    CellGrid& Grid() { return grid_; }

    // The full path of the level last loaded; empty after Save and Close.
    const std::string& LevelPath() const { return path_; }
    // The load log, one entry a line.
    TextLines& Log() { return log_; }
    const TextLines& Log() const { return log_; }

    // A level is open only after a completed load, until Save and Close.
    bool LevelOpen() const { return loaded_ && file_ != nullptr; }
    // The open level file, for reading (it moves the file's position only);
    // throws when none is open. Writes go through Patch and Append.
    ByteFile& File() const;
    // Whether a file is open (also after a load that did not complete, until it is closed).
    bool HasFile() const { return file_ != nullptr; }
    // The level was opened for viewing only: the file may not be written.
    bool ReadOnly() const { return file_ != nullptr && file_->ReadOnly(); }
    // Throws, with a sentence for the user, unless the open level may be
    // written now: a file is open, it is not read-only, and its path still
    // names the very file that was loaded.
    void EnsureWritable() const;
    // Closes the level file, if any; the state of the last load stays for
    // inspection. A close that fails after a step was written (and put on the
    // disk) is no failure of the change: what to tell the user is returned
    // (empty when the close went well); a close that fails otherwise throws.
    std::string CloseLevelFile();
    // Closes the file and forgets the level: Save and Close. Returns what CloseLevelFile returns.
    std::string Close();

    // --- the one door for writes into the level file ---
    // Writes n bytes at offset (offset may be the file's end: the write then
    // extends the file), leaves the file's position after them, and records
    // the bytes it replaced in the step that is open (a LevelWrite), or in a
    // step of its own. A write at an offset outside 0..size is refused and
    // changes nothing. A write the level may not take (EnsureWritable, a
    // result larger than kMaxLevelFileSize) throws before any byte of it is
    // written. A write that fails part way takes back every write of its
    // step and throws a message that says so, or, when taking them back
    // fails too, what the file now holds and where the earlier version is.
    PatchResult Patch(std::int64_t offset, const std::uint8_t* data, std::size_t n);
    // Appends bytes at the end of the file in one write.
    void Append(const std::vector<std::uint8_t>& bytes);
    // Cuts the file to size bytes (not more than its size), keeping the bytes
    // cut off in the step like any write.
    void Truncate(std::int64_t size);
    // Every step since the load, oldest first (steps that wrote nothing are not kept).
    const std::vector<LevelStep>& Steps() const { return steps_; }
    // Where the file ends as far as this program knows: the load's size, then each step's end.
    std::int64_t KnownEnd() const { return end_; }
    // How long a step waits for a lock that another program holds on the file before it is refused.
    void SetLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }
    std::chrono::milliseconds LockWait() const { return lockWait_; }
    // Which opening of a level file this is: it changes whenever a file is
    // attached or closed, so steps of one opening never reach another.
    std::uint64_t Opening() const { return opening_; }

    // --- the loader's side ---
    // Starts a load of path: closes the file that was open, forgets the
    // index, the grid, the log and the steps of the previous level. Returns
    // the previous index (its lists' memory may serve the new one).
    ChunkIndex BeginLoad(const std::string& path);
    // The open level file, which ends at end (the size of the load's read;
    // -1: its size now). With locked, the file's lock is held already and is
    // kept until the file closes: a command's reads, checks and writes under
    // one lock.
    void AttachFile(std::unique_ptr<WritableFile> file, std::int64_t end = -1, bool locked = false)
    {
        file_ = std::move(file);
        ++opening_;
        end_ = end < 0 ? file_->Size() : end;
        lockKept_ = locked_ = locked;
    }
    // Installs what a load found, whole.
    void SetIndex(ChunkIndex index) { index_ = std::move(index); }
    void SetGrid(CellGrid grid)
    {
        spare_ = grid_.TakeBytes();
        grid_ = std::move(grid);
    }
    // Whether this level file's backup was found or made by a load of this
    // session (the same name and the same file): it is looked for once.
    bool BackupKnown(const std::string& name, const FileLook& file) const
    {
        return !backupName_.empty() && backupName_ == name && backupOf_.Device == file.Device &&
               backupOf_.Inode == file.Inode;
    }
    void NoteBackup(const std::string& name, const FileLook& file)
    {
        backupName_ = name;
        backupOf_ = file;
    }
    // A buffer for the next load's read: the bytes of the grid before the
    // last, so that loads one after another reuse their memory.
    std::vector<std::uint8_t> TakeReadBuffer() { return std::move(spare_); }
    void SetLoaded(bool completed) { loaded_ = completed; }

private:
    friend class LevelWrite;
    void BeginStep(const std::string& name);
    void CommitStep();
    void AbandonStep() noexcept;
    void WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t n);
    // Takes back the writes of the open step, last first, and closes it.
    // Empty when the file is as before the step, else what it now holds.
    std::string RollBack();
    // A write failed: takes the step back and throws what failed and what the file now holds.
    [[noreturn]] void TakeBackAndThrow(const VantrelError& e);
    void ReadGridBack(const LevelEdit& edit);
    void Unlock();

    // The journal of the open step, for a level on disk: made at the step's
    // first write, gone when the step is whole (file/Journal.h).
    // The bytes a write replaces and those it writes (n of them at after), or with cut, those a cut takes off.
    void JournalWrite(std::int64_t offset, const std::vector<std::uint8_t>& before, const std::uint8_t* after,
                      std::size_t n, bool cut = false);

    std::unique_ptr<WritableFile> file_;
    std::optional<StepJournal> journal_;
    bool journalRefusedNoted_ = false;  // the log says once that no journal could be made
    ChunkIndex index_;
    CellGrid grid_;
    std::vector<std::uint8_t> spare_;
    std::string backupName_;  // the level file whose backup is known to exist
    FileLook backupOf_;
    std::string path_;
    TextLines log_;
    std::vector<LevelStep> steps_;
    std::optional<LevelStep> step_;  // the step that is open
    int stepDepth_ = 0;               // LevelWrites open on the level, the outermost one's step
    std::int64_t end_ = 0;
    std::chrono::milliseconds lockWait_{3000};
    std::uint64_t opening_ = 0;
    bool lockKept_ = false;  // the lock is held until the file closes
    bool locked_ = false;    // the file's lock is held now
    bool loaded_ = false;
};

// A command's writes into the open level, as one step. Making one checks
// that the level may be written, takes an exclusive lock on the file
// (waiting LockWait() for another program's lock, then refusing), and checks
// under the lock that the path still names the file that was loaded and that
// the file still ends where this program left it. Every Patch and Append
// until Commit joins the step. A LevelWrite that ends without Commit (an
// error on the way) takes back every write of the step. LevelWrites made
// while one is open join its step. The step takes the first name given.
class LevelWrite {
public:
    explicit LevelWrite(OpenLevel& lvl, const std::string& name = {}) : lvl_(lvl) { lvl_.BeginStep(name); }
    ~LevelWrite()
    {
        if (!done_) lvl_.AbandonStep();
    }
    LevelWrite(const LevelWrite&) = delete;
    LevelWrite& operator=(const LevelWrite&) = delete;
    void Commit()
    {
        done_ = true;
        lvl_.CommitStep();
    }

private:
    OpenLevel& lvl_;
    bool done_ = false;
};


// --- cells and the grid ---
std::int64_t CellFileOffset(const OpenLevel& lvl, PackedCell coord);
// Sets one map cell in the grid and the file. False, and nothing written,
// outside the map or for a code of 256 or more on a level of one byte a cell.
bool SetCell(OpenLevel& lvl, PackedCell coord, std::uint16_t code);
// Writes the grid's cells of a rectangle of the map into the file, as one
// step of the name given.
void WriteGridRect(OpenLevel& lvl, PackedCell topLeft, PackedCell bottomRight, const std::string& name = {});
int CountElementInRect(const OpenLevel& lvl, std::uint16_t code, int x1, int y1, int x2, int y2);
int CountElement(const OpenLevel& lvl, std::uint16_t code);

// --- positioned reads and writes ---
// Reads count bytes at position (-1: the current one). When the file is too
// short, writes the guard line into the load log and returns empty text.
std::string ReadFileString(OpenLevel& lvl, std::size_t count, ByteFile& file, std::int64_t position = -1);
std::string GuardLine(std::int64_t size, std::int64_t pos, std::size_t count);
// n bytes (1..4) at offset, big-endian; the file keeps its position. A read
// past the end throws.
std::uint32_t GetBytesAtPos(std::int64_t offset, ByteFile& file, int n);
// The byte or the big-endian word at offset, the file keeping its position;
// 0 when offset lies past the end of the file.
std::uint8_t GetByteAtPos(std::int64_t offset, ByteFile& file);
std::uint16_t GetWordAtPos(std::int64_t offset, ByteFile& file);
// Writes a big-endian word into a file other than the open level (a copy of
// a .vce file in memory, for one), keeping its position. A word that does
// not lie wholly inside the file is refused: VantrelError with
// WordPastTheEndMessage, nothing written.
void SetWordAtPos(std::int64_t offset, WritableFile& file, std::uint16_t value);
std::string WordPastTheEndMessage(const std::string& name, std::int64_t offset, std::int64_t size);

// Why a write into the open level was refused.
std::string ReadOnlyRefusal(const std::string& path);
// The path names another file now, or (GoneRefusal) none at all.
std::string FileChangedRefusal(const std::string& path);
std::string GoneRefusal(const std::string& path);
// A step was written and put on the disk, but closing the file failed after it.
std::string ClosedAfterWriteMessage(const std::string& path, const std::string& failure);
// A step was written, but the path no longer names the file written: another
// program moved, deleted or replaced the level while the step was written.
std::string WrittenAwayMessage(const std::string& path);

// What a command that needs a level says when none is open, with what to do then.
inline constexpr char kNoLevelOpenMessage[] = "No level is open: load a level (File > Load Level)";
// A level file made read-only after its load is not written through the
// descriptor that is still open for writing: the change of mode is heeded.
std::string MadeReadOnlyRefusal(const std::string& path);
std::string EndMovedRefusal(const std::string& path, std::int64_t end, std::int64_t known);
std::string TooLargeResultRefusal(const std::string& path, std::int64_t size);

// CUS4 and CUSX chunks appended to the open level join its index as a load
// would list them: each chunk's data position (its start + 8), in file order;
// cusx[k] tells a CUSX chunk (none given: all are CUS4). So the CE list, the
// CE numbers in use and exports see them without a new load.
void IndexAppendedCes(OpenLevel& lvl, const std::vector<std::int64_t>& chunkStarts,
                      const std::vector<bool>& cusx = {});

}  // namespace vantrel
