#include "file/ByteFile.h"

#include "base/Error.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace vantrel {

void ByteFile::Fail(const std::string& what) const
{
    throw VantrelError(what + ": " + name_);
}

void ByteFile::Seek(std::int64_t offset)
{
    if (offset < 0) Fail("Cannot seek to offset " + std::to_string(offset));
    pos_ = offset;
}

void ByteFile::Read(std::uint8_t* out, std::size_t n)
{
    if (n == 0) return;
    const std::int64_t size = Size();
    if (pos_ + static_cast<std::int64_t>(n) > size)
        Fail("Read past the end of the file (" + std::to_string(n) + " bytes at offset " + std::to_string(pos_) +
             ", file size " + std::to_string(size) + ")");
    const std::size_t got = ReadAt(pos_, out, n);
    if (got != n) Fail("Short read at offset " + std::to_string(pos_));
    pos_ += static_cast<std::int64_t>(n);
}

std::vector<std::uint8_t> ByteFile::Read(std::size_t n)
{
    std::vector<std::uint8_t> out(n);
    Read(out.data(), n);
    return out;
}

std::uint8_t ByteFile::ReadByte()
{
    std::uint8_t b = 0;
    Read(&b, 1);
    return b;
}

void WritableFile::Write(const std::uint8_t* data, std::size_t n)
{
    if (n == 0) return;
    WriteAt(Position(), data, n);
    Seek(Position() + static_cast<std::int64_t>(n));
}

std::vector<std::uint8_t> ByteFile::ReadAll() const
{
    std::vector<std::uint8_t> out;
    ReadAll(out, Size());
    return out;
}

void ByteFile::ReadAll(std::vector<std::uint8_t>& into, std::int64_t size) const
{
    into.resize(static_cast<std::size_t>(size));
    if (!into.empty() && ReadAt(0, into.data(), into.size()) != into.size()) Fail("Cannot read the whole file");
}

// --- DiskFile ---

namespace {

FileLook LookOf(const platform::FileInfo& info)
{
    FileLook look;
    look.Size = info.Size;
    look.Device = info.Id.Device;
    look.Inode = info.Id.Index;
    look.Mode = info.Mode;
    switch (info.Type) {
    case platform::Kind::Regular: break;
    case platform::Kind::Directory: look.OtherKind = "a directory"; break;
    case platform::Kind::Fifo: look.OtherKind = "a named pipe"; break;
    case platform::Kind::Device: look.OtherKind = "a device"; break;
    case platform::Kind::Socket: look.OtherKind = "a socket"; break;
    default: look.OtherKind = "no plain file"; break;
    }
    return look;
}

// "what (the system's reason)"
std::string Because(const std::string& what, const platform::Outcome& outcome)
{
    return what + " (" + outcome.Text + ")";
}

}  // namespace

bool LookAt(const std::string& path, FileLook& look)
{
    platform::FileInfo info;
    if (!platform::Look(path, info).Ok()) return false;
    look = LookOf(info);
    return true;
}

const platform::File& DiskFile::Open() const
{
    if (!file_.IsOpen()) Fail("The file is closed");
    return file_;
}

FileLook DiskFile::Look() const
{
    platform::FileInfo info;
    const platform::Outcome looked = platform::Look(Open(), info);
    if (!looked.Ok()) Fail(Because("Cannot look at the file", looked));
    return LookOf(info);
}

DiskFile::DiskFile(const std::string& path, Mode mode) : WritableFile(path)
{
    platform::OpenHow how;
    how.Write = mode != Mode::ReadOnly;
    how.NoWait = mode != Mode::Create;
    if (mode == Mode::Create) how.Create = platform::Creation::Truncate;
    readOnly_ = mode == Mode::ReadOnly;
    const platform::Outcome opened = platform::Open(path, how, file_);
    if (!opened.Ok()) {
        const char* what = mode == Mode::Create ? "Cannot create the file"
                           : mode == Mode::ReadOnly ? "Cannot open the file for reading"
                                                    : "Cannot open the file for reading and writing";
        Fail(Because(what, opened));
    }
}

bool DiskFile::StillNamedBy(const std::string& path) const
{
    platform::FileInfo mine, named;
    if (!file_.IsOpen() || !platform::Look(file_, mine).Ok() || !platform::Look(path, named).Ok()) return false;
    return mine.Id == named.Id;
}

bool DiskFile::StillWritable() const
{
    const platform::Outcome writable = platform::CheckWritable(Name());
    return writable.Why != platform::Failure::Denied;
}

std::vector<std::uint8_t> ReadFileToEnd(const std::string& path)
{
    const auto fail = [&](const std::string& what) -> void { throw VantrelError(what + ": " + path); };
    platform::File file;
    platform::OpenHow how;
    how.NoWait = true;  // a named pipe with no writer is waited for below, a bounded time
    const platform::Outcome opened = platform::Open(path, how, file);
    if (!opened.Ok()) fail(Because("Cannot open the file for reading", opened));
    platform::FileInfo info;
    const bool pipe = platform::Look(file, info).Ok() && info.Type == platform::Kind::Fifo;
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    for (;;) {
        if (pipe && !platform::WaitForBytes(file, kPipeQuietSeconds * 1000))
            fail("Gave up on the pipe: nothing came through it for " + std::to_string(kPipeQuietSeconds) +
                 " seconds (" + (bytes.empty() ? std::string("no program wrote into it") :
                                 "after " + std::to_string(bytes.size()) + " bytes, it was not closed") + ")");
        std::size_t n = 0;
        const platform::Outcome read = platform::ReadNext(file, buffer, sizeof buffer, n);
        if (pipe && read.Why == platform::Failure::Busy) continue;  // woken with nothing to read yet
        if (!read.Ok()) fail(Because("Cannot read the file", read));
        if (n == 0) return bytes;
        if (bytes.size() + n > kMaxReadToEnd)
            fail("The file holds more than " + std::to_string(kMaxReadToEnd) + " bytes, too many to read");
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
}

std::unique_ptr<DiskFile> OpenLevelFile(const std::string& path, std::string& readOnlyReason)
{
    readOnlyReason.clear();
    platform::OpenHow how;
    how.Write = true;
    how.NoWait = true;
    platform::File file;
    const platform::Outcome opened = platform::Open(path, how, file);
    if (opened.Ok()) return std::unique_ptr<DiskFile>(new DiskFile(path, std::move(file), false));
    if (opened.Why == platform::Failure::Denied) {
        readOnlyReason = opened.Text;
        return std::make_unique<DiskFile>(path, DiskFile::Mode::ReadOnly);
    }
    return std::make_unique<DiskFile>(path, DiskFile::Mode::ReadWrite);  // fails with the system's reason
}

DiskFile::DiskFile(const std::string& path, platform::File file, bool readOnly)
    : WritableFile(path), file_(std::move(file)), readOnly_(readOnly)
{
}

DiskFile::~DiskFile() = default;

void DiskFile::Close()
{
    if (!file_.IsOpen()) return;
    const platform::Outcome closed = platform::Close(file_);
    if (!closed.Ok()) Fail(Because("Cannot close the file", closed));
}

std::int64_t DiskFile::Size() const
{
    platform::FileInfo info;
    const platform::Outcome looked = platform::Look(Open(), info);
    if (!looked.Ok()) Fail(Because("Cannot read the file size", looked));
    return info.Size;
}

std::size_t DiskFile::ReadAt(std::int64_t offset, std::uint8_t* out, std::size_t n) const
{
    std::size_t got = 0;
    const platform::Outcome read = platform::ReadAt(Open(), offset, out, n, got);
    if (!read.Ok()) Fail(Because("Cannot read the file", read));
    return got;
}

void DiskFile::WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t n)
{
    const platform::File& file = Open();
    if (readOnly_) Fail("The file is open for reading only");
    const platform::Outcome written = platform::WriteAt(file, offset, data, n);
    if (!written.Ok()) Fail(Because("Cannot write to the file", written));
}

void DiskFile::Truncate(std::int64_t size)
{
    const platform::Outcome cut = platform::Truncate(Open(), size);
    if (!cut.Ok()) Fail(Because("Cannot cut the file back", cut));
}

void DiskFile::Sync()
{
    const platform::Outcome synced = platform::Sync(Open());
    if (!synced.Ok()) Fail(Because("Cannot put the file on the disk", synced));
}

bool DiskFile::TryLock()
{
    const platform::Outcome locked = platform::TryLock(Open());
    if (locked.Why == platform::Failure::Busy) return false;
    if (!locked.Ok()) Fail(Because("Cannot lock the file", locked));
    return true;
}

void DiskFile::Unlock()
{
    platform::Unlock(file_);
}

// --- MemoryFile ---

std::size_t MemoryFile::ReadAt(std::int64_t offset, std::uint8_t* out, std::size_t n) const
{
    if (offset >= Size()) return 0;
    const std::size_t k = std::min<std::size_t>(n, bytes_.size() - static_cast<std::size_t>(offset));
    std::memcpy(out, bytes_.data() + offset, k);
    return k;
}

void MemoryFile::WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t n)
{
    const std::size_t end = static_cast<std::size_t>(offset) + n;
    if (end > bytes_.size()) bytes_.resize(end, 0);
    std::memcpy(bytes_.data() + offset, data, n);
}

std::string BusyRefusal(const std::string& path)
{
    return "The level file " + path +
           " is being changed by another program, so nothing was written. Try again when it is done.";
}

void LockLevelFile(WritableFile& file, std::chrono::milliseconds wait, const std::string& shown)
{
    const auto until = std::chrono::steady_clock::now() + wait;
    while (!file.TryLock()) {
        if (std::chrono::steady_clock::now() >= until) throw VantrelError(BusyRefusal(shown));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace vantrel
