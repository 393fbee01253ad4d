#include "level/OpenLevel.h"

#include "base/Bytes.h"
#include "base/Error.h"
#include "base/UserInterface.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace vantrel {

namespace {

// Restores a file's position when the operation ends normally.
class KeepPosition {
public:
    explicit KeepPosition(ByteFile& f) : file_(f), pos_(f.Position()) {}
    void Restore() { file_.Seek(pos_); }

private:
    ByteFile& file_;
    std::int64_t pos_;
};

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
        throw std::invalid_argument("the bytes do not hold the whole map");
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

void OpenLevel::CloseLevelFile()
{
    loaded_ = false;
    if (!file_) return;
    std::unique_ptr<ByteFile> f = std::move(file_);
    f->Close();
}

void OpenLevel::Close()
{
    // A file left open by an unfinished load is closed too: no handle outlives its use.
    CloseLevelFile();
    log_.clear();
    path_.clear();
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
    edits_.clear();
    log_.clear();
    path_ = path;
    return last;
}

std::string ReadOnlyRefusal(const std::string& path)
{
    return "This level is open read-only, so nothing was written: " + path;
}

std::string FileChangedRefusal(const std::string& path)
{
    return "The level file " + path +
           " was moved, replaced or deleted since it was loaded, so nothing was written. Load it again to change it.";
}

std::string MadeReadOnlyRefusal(const std::string& path)
{
    return "The level file " + path + " was made read-only since it was loaded, so nothing was written.";
}

void OpenLevel::EnsureWritable() const
{
    ByteFile& f = File();
    if (f.ReadOnly()) throw VantrelError(ReadOnlyRefusal(path_));
    if (!f.StillNamedBy(f.Name())) throw VantrelError(FileChangedRefusal(path_));
    if (!f.StillWritable()) throw VantrelError(MadeReadOnlyRefusal(path_));
}

PatchResult OpenLevel::Patch(std::int64_t offset, const std::uint8_t* data, std::size_t n)
{
    EnsureWritable();
    ByteFile& f = File();
    const std::int64_t size = f.Size();
    if (offset < 0 || offset > size) return PatchResult::OutOfRange;
    LevelEdit edit;
    edit.Offset = offset;
    const std::int64_t kept = std::min<std::int64_t>(static_cast<std::int64_t>(n), size - offset);
    edit.Before.resize(static_cast<std::size_t>(kept));
    f.Seek(offset);
    if (kept > 0) f.Read(edit.Before.data(), edit.Before.size());
    edit.After.assign(data, data + n);
    f.Seek(offset);
    f.Write(data, n);
    edits_.push_back(std::move(edit));
    return PatchResult::Written;
}

void OpenLevel::Append(const std::vector<std::uint8_t>& bytes)
{
    Patch(File().Size(), bytes.data(), bytes.size());
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
    lvl.EnsureWritable();
    if (!lvl.Grid().Set(x, y, code)) return false;
    WriteCellBytes(lvl, coord, code);
    return true;
}

void WriteGridRect(OpenLevel& lvl, PackedCell topLeft, PackedCell bottomRight)
{
    for (int y = CellY(topLeft); y <= CellY(bottomRight); ++y)
        for (int x = CellX(topLeft); x <= CellX(bottomRight); ++x)
            if (lvl.Grid().Contains(x, y)) WriteCellBytes(lvl, PackCell(x, y), lvl.Grid().At(x, y));
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

PackedCell FindElement(const OpenLevel& lvl, std::uint16_t code, int n)
{
    if (n < 1) return 0;
    int seen = 0;
    for (int y = 1; y <= lvl.MapHeight(); ++y)
        for (int x = 1; x <= lvl.MapWidth(); ++x)
            if (lvl.Grid().At(x, y) == code && ++seen == n) return PackCell(x, y);
    return 0;
}

std::string GuardLine(std::int64_t size, std::int64_t pos, std::size_t count)
{
    return std::to_string(size) + " (size) < " + std::to_string(pos) + " (pos) + " + std::to_string(count) +
           " (ReadCount";
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

std::uint8_t GetByteAtPos(std::int64_t offset, ByteFile& file, bool seek)
{
    if (!seek) return file.ReadByte();
    if (offset > file.Size()) return 0;
    return static_cast<std::uint8_t>(GetBytesAtPos(offset, file, 1));
}

std::uint16_t GetWordAtPos(std::int64_t offset, ByteFile& file, bool seek)
{
    if (!seek) {
        const std::uint8_t hi = file.ReadByte();
        const std::uint8_t lo = file.ReadByte();
        return MakeBigEndianWord(hi, lo);
    }
    if (offset > file.Size()) return 0;
    return static_cast<std::uint16_t>(GetBytesAtPos(offset, file, 2));
}

namespace {

void GuardedWrite(std::int64_t offset, ByteFile& file, const std::uint8_t* bytes, std::size_t n, UserInterface& ui)
{
    KeepPosition keep(file);
    if (offset < 0 || offset > file.Size()) {
        ui.Message(kOutOfRangeMessage);
    } else {
        file.Seek(offset);
        file.Write(bytes, n);
    }
    keep.Restore();
}

}  // namespace

void SetByteAtPos(std::int64_t offset, ByteFile& file, std::uint8_t value, UserInterface& ui)
{
    GuardedWrite(offset, file, &value, 1, ui);
}

void SetWordAtPos(std::int64_t offset, ByteFile& file, std::uint16_t value, UserInterface& ui)
{
    std::uint8_t bytes[2];
    PutBigEndian(bytes, value, 2);
    GuardedWrite(offset, file, bytes, 2, ui);
}

void SetByteAtPos(std::int64_t offset, OpenLevel& lvl, std::uint8_t value, UserInterface& ui)
{
    KeepPosition keep(lvl.File());
    if (lvl.Patch(offset, &value, 1) == PatchResult::OutOfRange) ui.Message(kOutOfRangeMessage);
    keep.Restore();
}

void SetWordAtPos(std::int64_t offset, OpenLevel& lvl, std::uint16_t value, UserInterface& ui)
{
    std::uint8_t bytes[2];
    PutBigEndian(bytes, value, 2);
    KeepPosition keep(lvl.File());
    if (lvl.Patch(offset, bytes, 2) == PatchResult::OutOfRange) ui.Message(kOutOfRangeMessage);
    keep.Restore();
}

void WriteHexAtPos(std::int64_t offset, ByteFile& file, const std::string& hex)
{
    KeepPosition keep(file);
    file.Seek(offset == -1 ? file.Size() : offset);
    // Decode up to the first pair that is not hexadecimal; what came before it is written all the same.
    std::vector<std::uint8_t> bytes;
    bytes.reserve(hex.size() / 2);
    std::size_t i = 0;
    for (; i + 1 < hex.size(); i += 2) {
        const int hi = HexDigitValue(hex[i]), lo = HexDigitValue(hex[i + 1]);
        if (hi < 0 || lo < 0) break;
        bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    file.Write(bytes.data(), bytes.size());
    if (i + 1 < hex.size()) throw VantrelError("'" + hex.substr(i, 2) + "' is not a valid hexadecimal byte");
    keep.Restore();
}

void RepeatHexByte(int count, std::uint8_t value, std::string& text)
{
    const std::string pair = BytesToHex(std::string(1, static_cast<char>(value)));
    for (int i = 0; i < count; ++i) text += pair;
}

void ShowBytesAsHex(OpenLevel& lvl, ByteFile& file, std::size_t count, UserInterface& ui)
{
    KeepPosition keep(file);
    const std::string bytes = ReadFileString(lvl, count, file);
    ui.Message(BytesToHex(bytes));
    keep.Restore();
}

}  // namespace vantrel
