#include "level/OpenLevel.h"

#include "base/Bytes.h"
#include "base/Error.h"
#include "format/RecordLayouts.h"
#include "platform/Platform.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace vantrel {

namespace {

void WriteCellBytes(OpenLevel& lvl, PackedCell coord, std::uint16_t code)
{
    std::uint8_t bytes[2] = {};
    const std::size_t n = lvl.Wide16() ? 2 : 1;
    PutBigEndian(bytes, lvl.Wide16() ? code : (code & 0xFF), static_cast<int>(n));
    lvl.Patch(CellFileOffset(lvl, coord), bytes, n);
}

}  // namespace

CellGrid::CellGrid(int width, int height)
    : width_(std::clamp(width, 0, kMaxMapSize)), height_(std::clamp(height, 0, kMaxMapSize)),
      bytes_(static_cast<std::size_t>(width_ * height_) * 2, 0)
{
}

CellGrid::CellGrid(int width, int height, int cellBytes, std::vector<std::uint8_t> bytes, std::size_t offset)
    : width_(std::clamp(width, 0, kMaxMapSize)), height_(std::clamp(height, 0, kMaxMapSize)), wide_(cellBytes == 2),
      offset_(offset), bytes_(std::move(bytes))
{
    const std::size_t need = static_cast<std::size_t>(width_ * height_) * (wide_ ? 2 : 1);
    if (offset_ > bytes_.size() || bytes_.size() - offset_ < need)
        throw VantrelError("The file does not hold the whole map: " + std::to_string(width_) + " x " +
                           std::to_string(height_) + " cells need " + std::to_string(need) + " bytes.");
}

bool CellGrid::Set(int x, int y, std::uint16_t code)
{
    if (!Contains(x, y) || (!wide_ && code > 0xFF)) return false;
    std::uint8_t* cell = bytes_.data() + CellOffset(x, y);
    if (wide_) {
        cell[0] = static_cast<std::uint8_t>(code >> 8);
        cell[1] = static_cast<std::uint8_t>(code);
    } else {
        cell[0] = static_cast<std::uint8_t>(code);
    }
    ++changes_;
    return true;
}

bool CellGrid::operator==(const CellGrid& other) const
{
    if (width_ != other.width_ || height_ != other.height_) return false;
    for (int y = 1; y <= height_; ++y)
        for (int x = 1; x <= width_; ++x)
            if (At(x, y) != other.At(x, y)) return false;
    return true;
}

std::vector<std::uint8_t> CellGrid::TakeBytes()
{
    std::vector<std::uint8_t> bytes = std::move(bytes_);
    *this = CellGrid();
    return bytes;
}

std::string OpenLevel::CloseLevelFile()
{
    loaded_ = false;
    if (!file_) return {};
    if (step_) {  // closed in the middle of a step: its writes stay, as one step
        step_->EndAfter = end_;
        if (!step_->Edits.empty()) steps_.push_back(std::move(*step_));
        step_.reset();
        if (journal_) {
            try {
                file_->Sync();
                journal_->Finish();
            } catch (const std::exception&) {
            }
        }
    }
    journal_.reset();
    std::unique_ptr<WritableFile> f = std::move(file_);
    ++opening_;
    locked_ = lockKept_ = false;  // the lock ends with the file
    try {
        f->Close();
    } catch (const VantrelError& e) {
        // Every step was put on the disk when it was made: the changes are in the level.
        if (steps_.empty()) throw;
        return ClosedAfterWriteMessage(path_, e.what());
    }
    return {};
}

std::string OpenLevel::Close()
{
    // A file left open by an unfinished load is closed too: no handle outlives its use.
    std::string said = CloseLevelFile();
    log_.clear();
    path_.clear();
    return said;
}

ByteFile& OpenLevel::File() const
{
    if (!file_) throw VantrelError("No level file is open");
    return *file_;
}

ChunkIndex OpenLevel::BeginLoad(const std::string& path)
{
    CloseLevelFile();
    ChunkIndex last = std::exchange(index_, ChunkIndex{});  // the grid stays until a map is read
    steps_.clear();
    log_.clear();
    path_ = path;
    return last;
}

std::string ReadOnlyRefusal(const std::string& path)
{
    return "This level is open read-only, so nothing was written: " + path;
}

std::string GoneRefusal(const std::string& path)
{
    return "The level file " + path + " is gone (deleted or moved since it was read), so nothing was written.";
}

std::string FileChangedRefusal(const std::string& path)
{
    platform::FileInfo info;
    if (platform::Look(path, info, false).Why == platform::Failure::NotFound) return GoneRefusal(path);
    return "The level file " + path +
           " was moved, replaced or deleted since it was loaded, so nothing was written. Load it again to change it.";
}

std::string ClosedAfterWriteMessage(const std::string& path, const std::string& failure)
{
    return "The change was written into " + path + " and put on the disk, but closing the file afterwards failed (" +
           failure + "). The level holds the change: there is no need to make it again.";
}

std::string WrittenAwayMessage(const std::string& path)
{
    platform::FileInfo info;
    if (platform::Look(path, info, false).Why == platform::Failure::NotFound)
        return "The change was written into the level file that was loaded, but another program moved or deleted " +
               path + " meanwhile: the file written is no longer the level, and there is no file of that name now.";
    return "The change was written into the level file that was loaded, but another program replaced " + path +
           " meanwhile: the change went into a file that is no longer the level, and " + path +
           " holds the other program's bytes. Load the level again to change it.";
}

std::string MadeReadOnlyRefusal(const std::string& path)
{
    return "The level file " + path + " was made read-only since it was loaded, so nothing was written.";
}

std::string EndMovedRefusal(const std::string& path, std::int64_t end, std::int64_t known)
{
    return "The level file " + path + " was changed by another program since it was loaded (it is " +
           std::to_string(end) + " bytes long, not " + std::to_string(known) +
           "), so nothing was written. Load it again to change it.";
}

std::string TooLargeResultRefusal(const std::string& path, std::int64_t size)
{
    return "This would make the level " + std::to_string(size) + " bytes long, more than any level can be (at most " +
           std::to_string(kMaxLevelFileSize) + " bytes), so nothing was written: " + path;
}

void OpenLevel::EnsureWritable() const
{
    ByteFile& f = File();
    if (f.ReadOnly()) throw VantrelError(ReadOnlyRefusal(path_));
    if (!f.StillNamedBy(f.Name())) throw VantrelError(FileChangedRefusal(path_));
    if (!f.StillWritable()) throw VantrelError(MadeReadOnlyRefusal(path_));
}

void OpenLevel::Unlock()
{
    if (locked_ && !lockKept_ && file_) file_->Unlock();
    locked_ = false;
}

void OpenLevel::BeginStep(const std::string& name)
{
    if (stepDepth_ > 0) {
        if (!step_) throw VantrelError("The level was put back after a failed write; nothing more is written in this step.");
        if (step_->Name.empty()) step_->Name = name;
        ++stepDepth_;
        return;
    }
    EnsureWritable();
    if (!lockKept_) {
        LockLevelFile(*file_, lockWait_, path_);
        locked_ = true;
    }
    try {
        // Under the lock: still the file that was loaded, ending where this program left it.
        EnsureWritable();
        if (file_->OnDisk()) {
            // A journal under the lock is one a program of ours left when it
            // was stopped in mid-step: that step is taken back first.
            const std::string name = JournalNameOf(file_->Name());
            if (const JournalRollBack back = RollBackJournalOf(*file_, name, path_); back.Found) {
                log_.push_back(back.Message);
                if (!back.PutBack) throw VantrelError(back.Message + " Nothing was written.");
            }
            journal_.emplace(file_->Name(), file_.get());
        }
        if (const std::int64_t size = file_->Size(); size != end_)
            throw VantrelError(EndMovedRefusal(path_, size, end_));
    } catch (...) {
        journal_.reset();
        Unlock();
        throw;
    }
    step_ = LevelStep{end_, end_, {}, name};
    stepDepth_ = 1;
}

void OpenLevel::CommitStep()
{
    if (--stepDepth_ > 0) return;
    bool wrote = false;
    if (step_) {
        // On the disk before the journal goes: a failure here can still be taken back.
        if (!step_->Edits.empty() && file_->OnDisk()) {
            try {
                file_->Sync();
            } catch (const VantrelError& e) {
                try {
                    TakeBackAndThrow(e);
                } catch (...) {
                    journal_.reset();
                    Unlock();
                    throw;
                }
            }
        }
        step_->EndAfter = end_;
        wrote = !step_->Edits.empty();
        if (wrote) steps_.push_back(std::move(*step_));
        step_.reset();
    }
    std::string journalLeft;
    if (journal_) {
        try {
            journal_->Finish();
        } catch (const VantrelError& e) {
            journalLeft = e.what();
        }
        journal_.reset();
    }
    Unlock();
    if (!journalLeft.empty()) throw VantrelError(journalLeft);
    // A program that takes no lock may have moved or replaced the level
    // between the checks and the writes: looked at again, from the path.
    if (wrote && !file_->StillNamedBy(file_->Name())) throw VantrelError(WrittenAwayMessage(path_));
}

void OpenLevel::AbandonStep() noexcept
{
    if (--stepDepth_ > 0) return;
    try {
        if (step_) RollBack();  // an error is on its way up; what the file holds is logged
    } catch (...) {
    }
    journal_.reset();
    Unlock();
}

void OpenLevel::JournalWrite(std::int64_t offset, const std::vector<std::uint8_t>& before, const std::uint8_t* after,
                             std::size_t n, bool cut)
{
    if (!journal_ || !step_) return;
    // Only bytes the level held before the step: what it appended is cut by the length.
    const std::int64_t inside = std::clamp<std::int64_t>(step_->EndBefore - offset, 0,
                                                         static_cast<std::int64_t>(before.size()));
    try {
        journal_->Record(step_->EndBefore, offset, before.data(), static_cast<std::size_t>(inside), after, n, cut);
    } catch (const JournalError& e) {
        // A folder that may not be written takes no journal: the level is
        // written as before, and the log says so once.
        if (journal_->Started() || e.Why() != platform::Failure::Denied) TakeBackAndThrow(e);
        journal_.reset();
        if (!journalRefusedNoted_)
            log_.push_back("No journal can be made beside the level (" + std::string(e.what()) +
                           "): a change cut off by a crash is not put back.");
        journalRefusedNoted_ = true;
    }
}

void OpenLevel::ReadGridBack(const LevelEdit& edit)
{
    const std::int64_t cell = Wide16() ? 2 : 1;
    const std::int64_t cells = static_cast<std::int64_t>(grid_.Width()) * grid_.Height();
    if (BodyStart() < 0 || cells == 0) return;
    const std::int64_t first = std::max<std::int64_t>(0, (edit.Offset - BodyStart()) / cell);
    const std::int64_t last = std::min<std::int64_t>(
        cells - 1, (edit.Offset + static_cast<std::int64_t>(edit.After.size()) - 1 - BodyStart()) / cell);
    for (std::int64_t k = first; k <= last; ++k) {
        const std::int64_t at = BodyStart() + k * cell;
        if (at + cell > file_->Size()) break;
        const int x = static_cast<int>(k % grid_.Width()) + 1, y = static_cast<int>(k / grid_.Width()) + 1;
        grid_.Set(x, y, cell == 2 ? GetWordAtPos(at, *file_) : GetByteAtPos(at, *file_));
    }
}

std::string OpenLevel::RollBack()
{
    LevelStep step = std::move(*step_);
    step_.reset();
    std::size_t left = step.Edits.size();  // the edits not yet taken back: the first left of them
    std::string failure;
    try {
        for (; left > 0; --left) {
            const LevelEdit& e = step.Edits[left - 1];
            try {
                file_->Seek(e.Offset);
                file_->Write(e.Before.data(), e.Before.size());
            } catch (const VantrelError&) {
                // A write that was refused whole left the bytes as they were.
                file_->Seek(e.Offset);
                if (file_->Read(e.Before.size()) != e.Before) throw;
            }
        }
        if (file_->Size() > step.EndBefore) file_->Truncate(step.EndBefore);
    } catch (const std::exception& e) {
        failure = e.what();
    }
    for (const LevelEdit& e : step.Edits) {
        try {
            ReadGridBack(e);  // the map in memory shows what the file holds
        } catch (const std::exception&) {
        }
    }
    end_ = step.EndBefore;
    if (failure.empty() && journal_) {
        try {
            file_->Sync();
            journal_->Finish();
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
    if (failure.empty()) {
        journal_.reset();
        return {};
    }
    // What the file holds now, as far as it can be told.
    std::string held = "Putting the level back failed too (" + failure + "): the file ";
    try {
        end_ = file_->Size();
        held += "is " + std::to_string(end_) + " bytes long (it was " + std::to_string(step.EndBefore) + ")";
        if (end_ > step.EndBefore)
            held += ", and its bytes from offset " + std::to_string(step.EndBefore) +
                    " on are a part of this command's write, not of the level";
    } catch (const std::exception&) {
        held += "cannot be looked at";
    }
    for (std::size_t k = 0; k < left; ++k) {
        const LevelEdit& e = step.Edits[k];
        if (e.Before.empty()) continue;
        held += "; its bytes at offsets " + std::to_string(e.Offset) + " to " +
                std::to_string(e.Offset + static_cast<std::int64_t>(e.Before.size()) - 1) +
                " may hold this command's write";
    }
    held += ". ";
    if (journal_ && journal_->Started()) {
        held += "The journal " + journal_->Name() +
                " keeps what to put back: the next opening of the level puts it back. ";
        journal_->Keep();
    }
    journal_.reset();
    held += backupName_.empty() ? "No backup of this level is known."
                                : "The backup " + backupName_ + ".bak holds an earlier version of the level.";
    log_.push_back(held);
    return held;
}

void OpenLevel::TakeBackAndThrow(const VantrelError& e)
{
    const std::string held = RollBack();
    throw VantrelError(std::string(e.what()) + ". " +
                       (held.empty() ? "Nothing was changed: the level is as it was before this command." : held));
}

void OpenLevel::WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t n)
{
    const std::int64_t size = file_->Size();
    LevelEdit edit;
    edit.Offset = offset;
    const std::int64_t kept = std::min<std::int64_t>(static_cast<std::int64_t>(n), size - offset);
    edit.Before.resize(static_cast<std::size_t>(kept));
    file_->Seek(offset);
    if (kept > 0) file_->Read(edit.Before.data(), edit.Before.size());
    edit.After.assign(data, data + n);
    JournalWrite(offset, edit.Before, data, n);  // the bytes replaced, on the disk before any of them is
    step_->Edits.push_back(std::move(edit));  // before the write: a write that fails part way is taken back too
    try {
        file_->Seek(offset);
        file_->Write(data, n);
    } catch (const VantrelError& e) {
        TakeBackAndThrow(e);
    }
    end_ = std::max(size, offset + static_cast<std::int64_t>(n));
}

PatchResult OpenLevel::Patch(std::int64_t offset, const std::uint8_t* data, std::size_t n)
{
    LevelWrite step(*this);
    const std::int64_t size = file_->Size();
    if (offset < 0 || offset > size) {
        step.Commit();
        return PatchResult::OutOfRange;
    }
    if (offset + static_cast<std::int64_t>(n) > kMaxLevelFileSize)
        throw VantrelError(TooLargeResultRefusal(path_, offset + static_cast<std::int64_t>(n)));
    WriteAt(offset, data, n);
    step.Commit();
    return PatchResult::Written;
}

void OpenLevel::Append(const std::vector<std::uint8_t>& bytes)
{
    LevelWrite step(*this);
    Patch(file_->Size(), bytes.data(), bytes.size());
    step.Commit();
}

void OpenLevel::Truncate(std::int64_t size)
{
    LevelWrite step(*this);
    const std::int64_t end = file_->Size();
    if (size < 0 || size > end) throw VantrelError("Cannot cut the level file " + path_ + " to " +
                                                   std::to_string(size) + " bytes: it is " + std::to_string(end) +
                                                   " bytes long");
    if (size < end) {
        LevelEdit edit;  // a cut: the bytes cut off, and nothing after
        edit.Offset = size;
        edit.Before.resize(static_cast<std::size_t>(end - size));
        file_->Seek(size);
        file_->Read(edit.Before.data(), edit.Before.size());
        JournalWrite(size, edit.Before, nullptr, 0, true);
        step_->Edits.push_back(std::move(edit));
        try {
            file_->Truncate(size);
        } catch (const VantrelError& e) {
            TakeBackAndThrow(e);
        }
        end_ = size;
    }
    step.Commit();
}

std::int64_t CellFileOffset(const OpenLevel& lvl, PackedCell coord)
{
    const std::int64_t b = lvl.Wide16() ? 2 : 1;
    return lvl.BodyStart() + b * ((CellY(coord) - 1) * static_cast<std::int64_t>(lvl.MapWidth()) + (CellX(coord) - 1));
}

bool SetCell(OpenLevel& lvl, PackedCell coord, std::uint16_t code)
{
    const int x = CellX(coord), y = CellY(coord);
    if (x < 1 || x > lvl.MapWidth() || y < 1 || y > lvl.MapHeight()) return false;
    if (!lvl.Wide16() && code >= 256) return false;
    // The file first: a write that is refused or fails leaves the grid as the file is.
    WriteCellBytes(lvl, coord, code);
    lvl.Grid().Set(x, y, code);
    return true;
}

void WriteGridRect(OpenLevel& lvl, PackedCell topLeft, PackedCell bottomRight, const std::string& name)
{
    // The rectangle's cells inside the map.
    const int left = std::max(CellX(topLeft), 1), right = std::min<int>(CellX(bottomRight), lvl.Grid().Width());
    const int top = std::max(CellY(topLeft), 1), bottom = std::min<int>(CellY(bottomRight), lvl.Grid().Height());
    try {
        // One write a row of the rectangle (its cells lie side by side in the
        // file): each write of a step waits for its journal record to be on
        // the disk, so a write a cell would make a large paste take minutes.
        LevelWrite step(lvl, name);
        const int cell = lvl.Wide16() ? 2 : 1;
        std::vector<std::uint8_t> row;
        for (int y = top; y <= bottom && left <= right; ++y) {
            row.clear();
            for (int x = left; x <= right; ++x) {
                std::uint8_t bytes[2] = {};
                PutBigEndian(bytes, lvl.Grid().At(x, y), cell);
                row.insert(row.end(), bytes, bytes + cell);
            }
            lvl.Patch(CellFileOffset(lvl, PackCell(left, y)), row.data(), row.size());
        }
        step.Commit();
    } catch (...) {
        // Refused or taken back: the grid shows again what the file holds.
        try {
            ByteFile& f = lvl.File();
            for (int y = top; y <= bottom; ++y)
                for (int x = left; x <= right; ++x) {
                    const std::int64_t at = CellFileOffset(lvl, PackCell(x, y));
                    lvl.Grid().Set(x, y, lvl.Wide16() ? GetWordAtPos(at, f) : GetByteAtPos(at, f));
                }
        } catch (const std::exception&) {
        }
        throw;
    }
}

int CountElementInRect(const OpenLevel& lvl, std::uint16_t code, int x1, int y1, int x2, int y2)
{
    int n = 0;
    for (int y = std::max(y1, 1); y <= std::min(y2, lvl.Grid().Height()); ++y)
        for (int x = std::max(x1, 1); x <= std::min(x2, lvl.Grid().Width()); ++x)
            if (lvl.Grid().At(x, y) == code) ++n;
    return n;
}

int CountElement(const OpenLevel& lvl, std::uint16_t code)
{
    return CountElementInRect(lvl, code, 1, 1, lvl.MapWidth(), lvl.MapHeight());
}

std::string GuardLine(std::int64_t size, std::int64_t pos, std::size_t count)
{
    return "The " + std::to_string(count) + " bytes at " + std::to_string(pos) + " run past the end of the file (" +
           std::to_string(size) + " bytes): nothing was read there";
}

std::string ReadFileString(OpenLevel& lvl, std::size_t count, ByteFile& file, std::int64_t position)
{
    if (position != -1) file.Seek(position);
    const std::int64_t size = file.Size();
    if (size < file.Position() + static_cast<std::int64_t>(count)) {
        lvl.Log().push_back(GuardLine(size, file.Position(), count));
        return {};
    }
    std::string s(count, '\0');
    file.Read(reinterpret_cast<std::uint8_t*>(s.data()), count);
    return s;
}

std::uint32_t GetBytesAtPos(std::int64_t offset, ByteFile& file, int n)
{
    if (n < 1 || n > 4) return 0;
    KeepPosition keep(file);
    file.Seek(offset);
    std::uint8_t b[4] = {};
    file.Read(b, static_cast<std::size_t>(n));
    keep.Restore();
    return ReadBigEndian(b, n);
}

std::uint8_t GetByteAtPos(std::int64_t offset, ByteFile& file)
{
    if (offset > file.Size()) return 0;
    return static_cast<std::uint8_t>(GetBytesAtPos(offset, file, 1));
}

std::uint16_t GetWordAtPos(std::int64_t offset, ByteFile& file)
{
    if (offset > file.Size()) return 0;
    return static_cast<std::uint16_t>(GetBytesAtPos(offset, file, 2));
}

void SetWordAtPos(std::int64_t offset, WritableFile& file, std::uint16_t value)
{
    if (offset < 0 || offset + 2 > file.Size())
        throw VantrelError(WordPastTheEndMessage(file.Name(), offset, file.Size()));
    KeepPosition keep(file);
    std::uint8_t bytes[2];
    PutBigEndian(bytes, value, 2);
    file.Seek(offset);
    file.Write(bytes, 2);
    keep.Restore();
}

std::string WordPastTheEndMessage(const std::string& name, std::int64_t offset, std::int64_t size)
{
    return "An element code was to be written at offset " + std::to_string(offset) + " of " + name +
           ", which holds only " + std::to_string(size) + " bytes; nothing was written.";
}

void IndexAppendedCes(OpenLevel& lvl, const std::vector<std::int64_t>& chunkStarts, const std::vector<bool>& cusx)
{
    ChunkIndex index = lvl.Index();
    for (std::size_t k = 0; k < chunkStarts.size(); ++k) {
        const auto data = static_cast<std::int32_t>(chunkStarts[k] + kChunkHeaderLength);
        if (k < cusx.size() && cusx[k]) {
            index.CusxPositions.push_back(data);
            index.CeLines.push_back({true, index.CusxPositions.size() - 1});
        } else {
            index.CePositions.push_back(data);
            index.CeLines.push_back({false, index.CePositions.size() - 1});
        }
    }
    lvl.SetIndex(std::move(index));
}

}  // namespace vantrel
