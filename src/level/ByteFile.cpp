#include "level/ByteFile.h"

#include "base/Error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

FileLook LookOf(const struct stat& st)
{
    FileLook look;
    look.Size = st.st_size;
    look.Device = st.st_dev;
    look.Inode = st.st_ino;
    look.Mode = st.st_mode & 07777;
    if (S_ISREG(st.st_mode)) return look;
    look.OtherKind = S_ISDIR(st.st_mode)                         ? "a directory"
                     : S_ISFIFO(st.st_mode)                      ? "a named pipe"
                     : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? "a device"
                     : S_ISSOCK(st.st_mode)                      ? "a socket"
                                                                 : "no plain file";
    return look;
}

}  // namespace

bool LookAt(const std::string& path, FileLook& look)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    look = LookOf(st);
    return true;
}

FileLook DiskFile::Look() const
{
    if (fd_ < 0) Fail("The file is closed");
    struct stat st {};
    if (::fstat(fd_, &st) != 0) Fail(std::string("Cannot look at the file (") + std::strerror(errno) + ")");
    return LookOf(st);
}

DiskFile::DiskFile(const std::string& path, Mode mode) : WritableFile(path)
{
    int flags = O_RDWR | O_NONBLOCK | O_NOCTTY;
    if (mode == Mode::ReadOnly) flags = O_RDONLY | O_NONBLOCK | O_NOCTTY;
    if (mode == Mode::Create) flags = O_RDWR | O_CREAT | O_TRUNC;
    readOnly_ = mode == Mode::ReadOnly;
    fd_ = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        const char* how = mode == Mode::Create ? "Cannot create the file"
                          : mode == Mode::ReadOnly ? "Cannot open the file for reading"
                                                   : "Cannot open the file for reading and writing";
        Fail(std::string(how) + " (" + std::strerror(errno) + ")");
    }
}

bool DiskFile::StillNamedBy(const std::string& path) const
{
    struct stat mine {}, named {};
    if (fd_ < 0 || ::fstat(fd_, &mine) != 0 || ::stat(path.c_str(), &named) != 0) return false;
    return mine.st_dev == named.st_dev && mine.st_ino == named.st_ino;
}

bool DiskFile::StillWritable() const
{
    if (::access(Name().c_str(), W_OK) == 0) return true;
    return errno != EACCES && errno != EPERM && errno != EROFS;
}

std::vector<std::uint8_t> ReadFileToEnd(const std::string& path)
{
    const auto fail = [&](const std::string& what) -> void { throw VantrelError(what + ": " + path); };
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) fail(std::string("Cannot open the file for reading (") + std::strerror(errno) + ")");
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || bytes.size() + static_cast<std::size_t>(n) > kMaxReadToEnd) {
            const int error = errno;
            ::close(fd);
            if (n < 0) fail(std::string("Cannot read the file (") + std::strerror(error) + ")");
            if (n > 0) fail("The file holds more than " + std::to_string(kMaxReadToEnd) + " bytes, too many to read");
            return bytes;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
}

std::unique_ptr<DiskFile> OpenLevelFile(const std::string& path, std::string& readOnlyReason)
{
    readOnlyReason.clear();
    const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) return std::unique_ptr<DiskFile>(new DiskFile(path, fd, false));
    const int error = errno;
    if (error == EACCES || error == EPERM || error == EROFS) {
        readOnlyReason = std::strerror(error);
        return std::make_unique<DiskFile>(path, DiskFile::Mode::ReadOnly);
    }
    return std::make_unique<DiskFile>(path, DiskFile::Mode::ReadWrite);  // fails with the system's reason
}

DiskFile::DiskFile(const std::string& path, int fd, bool readOnly) : WritableFile(path), fd_(fd), readOnly_(readOnly) {}

DiskFile::~DiskFile()
{
    if (fd_ >= 0) ::close(fd_);
}

void DiskFile::Close()
{
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail(std::string("Cannot close the file (") + std::strerror(errno) + ")");
}

std::int64_t DiskFile::Size() const
{
    if (fd_ < 0) Fail("The file is closed");
    struct stat st {};
    if (::fstat(fd_, &st) != 0) Fail(std::string("Cannot read the file size (") + std::strerror(errno) + ")");
    return st.st_size;
}

std::size_t DiskFile::ReadAt(std::int64_t offset, std::uint8_t* out, std::size_t n) const
{
    if (fd_ < 0) Fail("The file is closed");
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pread(fd_, out + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            Fail(std::string("Cannot read the file (") + std::strerror(errno) + ")");
        }
        if (r == 0) break;
        done += static_cast<std::size_t>(r);
    }
    return done;
}

void DiskFile::WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t n)
{
    if (fd_ < 0) Fail("The file is closed");
    if (readOnly_) Fail("The file is open for reading only");
    if (const int error = WriteAllAt(fd_, data, n, offset))
        Fail(std::string("Cannot write to the file (") + std::strerror(error) + ")");
}

int WriteAllAt(int fd, const std::uint8_t* data, std::size_t n, std::int64_t offset)
{
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pwrite(fd, data + done, n - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return errno;
        if (r == 0) return ENOSPC;  // nothing taken: the device is full
        done += static_cast<std::size_t>(r);
    }
    return 0;
}

void DiskFile::Truncate(std::int64_t size)
{
    if (fd_ < 0) Fail("The file is closed");
    while (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        if (errno != EINTR) Fail(std::string("Cannot cut the file back (") + std::strerror(errno) + ")");
}

bool DiskFile::TryLock()
{
    if (fd_ < 0) Fail("The file is closed");
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) return false;
        // A file system without locks: there is nothing to wait for.
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS) return true;
        if (errno != EINTR) Fail(std::string("Cannot lock the file (") + std::strerror(errno) + ")");
    }
    return true;
}

void DiskFile::Unlock()
{
    if (fd_ >= 0) ::flock(fd_, LOCK_UN);
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

}  // namespace vantrel
