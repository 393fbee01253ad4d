// The platform on Linux and other POSIX systems.
#include "platform/Platform.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel::platform {

struct FileAccess {
    static int Fd(const File& file) { return static_cast<int>(file.handle_); }
    static void Set(File& file, int fd) { file.handle_ = fd; }
};

namespace {

Failure KindOf(int error)
{
    switch (error) {
    case 0: return Failure::None;
    case ENOENT: return Failure::NotFound;
    case EEXIST: return Failure::Exists;
    case EACCES:
    case EPERM:
    case EROFS: return Failure::Denied;
    case EWOULDBLOCK: return Failure::Busy;
    case ENOLCK:
    case ENOSYS:
    case EOPNOTSUPP: return Failure::Unsupported;
    default: return Failure::Other;
    }
}

Outcome Failed(int error, Failure why)
{
    return Outcome{why, error, std::strerror(error)};
}

Outcome Failed(int error) { return Failed(error, KindOf(error)); }

// What errno says now.
Outcome LastFailure() { return Failed(errno); }

Kind KindOfMode(mode_t mode)
{
    if (S_ISREG(mode)) return Kind::Regular;
    if (S_ISDIR(mode)) return Kind::Directory;
    if (S_ISFIFO(mode)) return Kind::Fifo;
    if (S_ISCHR(mode) || S_ISBLK(mode)) return Kind::Device;
    if (S_ISSOCK(mode)) return Kind::Socket;
    if (S_ISLNK(mode)) return Kind::Link;
    return Kind::Other;
}

FileInfo InfoOf(const struct stat& st)
{
    FileInfo info;
    info.Type = KindOfMode(st.st_mode);
    info.Size = st.st_size;
    info.Id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    info.Mode = st.st_mode & 07777;
    info.Modified = st.st_mtime;
    info.ModifiedNanos = static_cast<std::int32_t>(st.st_mtim.tv_nsec);
    return info;
}

}  // namespace

File::~File()
{
    if (IsOpen()) ::close(FileAccess::Fd(*this));
}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        if (IsOpen()) ::close(FileAccess::Fd(*this));
        handle_ = other.handle_;
        other.handle_ = kNone;
    }
    return *this;
}

Outcome Open(const std::string& path, const OpenHow& how, File& file)
{
    int flags = (how.Write ? O_RDWR : O_RDONLY) | O_NOCTTY | O_CLOEXEC;
    if (how.NoWait) flags |= O_NONBLOCK;
    if (how.Create == Creation::Truncate) flags |= O_CREAT | O_TRUNC;
    if (how.Create == Creation::New) flags |= O_CREAT | O_EXCL;
    const int fd = ::open(path.c_str(), flags, static_cast<mode_t>(how.Mode));
    if (fd < 0) return LastFailure();
    file = File();
    FileAccess::Set(file, fd);
    return {};
}

Outcome Close(File& file)
{
    if (!file.IsOpen()) return {};
    const int fd = FileAccess::Fd(file);
    FileAccess::Set(file, -1);
    if (::close(fd) != 0) return LastFailure();
    return {};
}

Outcome ReadAt(const File& file, std::int64_t offset, std::uint8_t* out, std::size_t n, std::size_t& got)
{
    got = 0;
    while (got < n) {
        const ssize_t r = ::pread(FileAccess::Fd(file), out + got, n - got, static_cast<off_t>(offset + got));
        if (r < 0) {
            if (errno == EINTR) continue;
            return LastFailure();
        }
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    return {};
}

Outcome ReadNext(const File& file, std::uint8_t* out, std::size_t n, std::size_t& got)
{
    got = 0;
    for (;;) {
        const ssize_t r = ::read(FileAccess::Fd(file), out, n);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return LastFailure();
        got = static_cast<std::size_t>(r);
        return {};
    }
}

bool WaitForBytes(const File& file, int waitMs)
{
    pollfd one{FileAccess::Fd(file), POLLIN, 0};
    int r = 0;
    while ((r = ::poll(&one, 1, waitMs)) < 0 && errno == EINTR) {
    }
    return r != 0;
}

Outcome WriteAt(const File& file, std::int64_t offset, const std::uint8_t* data, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pwrite(FileAccess::Fd(file), data + done, n - done,
                                   static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return LastFailure();
        if (r == 0) return Failed(ENOSPC);  // nothing taken: the device is full
        done += static_cast<std::size_t>(r);
    }
    return {};
}

Outcome Truncate(const File& file, std::int64_t size)
{
    while (::ftruncate(FileAccess::Fd(file), static_cast<off_t>(size)) != 0)
        if (errno != EINTR) return LastFailure();
    return {};
}

Outcome Sync(const File& file)
{
    if (::fsync(FileAccess::Fd(file)) != 0 && errno != EINVAL) return LastFailure();
    return {};
}

Outcome TryLock(const File& file)
{
    while (::flock(FileAccess::Fd(file), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) return Failed(errno, Failure::Busy);
        // A file system without locks: there is nothing to wait for.
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS) return {};
        if (errno != EINTR) return LastFailure();
    }
    return {};
}

void Unlock(const File& file)
{
    if (file.IsOpen()) ::flock(FileAccess::Fd(file), LOCK_UN);
}

Outcome SetPermissions(const File& file, unsigned mode)
{
    if (::fchmod(FileAccess::Fd(file), static_cast<mode_t>(mode)) != 0) return LastFailure();
    return {};
}

Outcome Look(const File& file, FileInfo& info)
{
    struct stat st {};
    if (::fstat(FileAccess::Fd(file), &st) != 0) return LastFailure();
    info = InfoOf(st);
    return {};
}

Outcome Look(const std::string& path, FileInfo& info, bool followLinks)
{
    struct stat st {};
    if ((followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) return LastFailure();
    info = InfoOf(st);
    return {};
}

namespace {

// The kind a listing's entry gives without a look; Kind::Other when it does not tell.
bool KindOfEntry(unsigned char type, Kind& kind)
{
    switch (type) {
    case DT_REG: kind = Kind::Regular; return true;
    case DT_DIR: kind = Kind::Directory; return true;
    case DT_LNK: kind = Kind::Link; return true;
    case DT_FIFO: kind = Kind::Fifo; return true;
    case DT_CHR:
    case DT_BLK: kind = Kind::Device; return true;
    case DT_SOCK: kind = Kind::Socket; return true;
    default: kind = Kind::Other; return false;
    }
}

}  // namespace

Outcome ListFolder(const std::string& folder, std::vector<FolderEntry>& entries,
                   const std::function<bool(const std::string& name)>& lookAt)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return LastFailure();
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        const Outcome failed = LastFailure();
        ::close(fd);
        return failed;
    }
    Outcome outcome;
    for (;;) {
        errno = 0;
        const struct dirent* d = ::readdir(dir);
        if (!d) {
            if (errno != 0) outcome = LastFailure();
            break;
        }
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        FolderEntry& e = entries.emplace_back();
        e.Name = name;
        struct stat st {};
        // A file system whose listing gives no kinds: the name is looked at itself.
        if (!KindOfEntry(d->d_type, e.Type) && ::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0)
            e.Type = KindOfMode(st.st_mode);
        if (!lookAt || !lookAt(e.Name)) continue;
        e.LookedAt = true;
        if (::fstatat(fd, name, &st, 0) == 0)
            e.Info = InfoOf(st);
        else
            e.Looked = LastFailure();
    }
    ::closedir(dir);
    return outcome;
}

Outcome CheckWritable(const std::string& path)
{
    if (::access(path.c_str(), W_OK) != 0) return LastFailure();
    return {};
}

Outcome RenameNoReplace(const std::string& from, const std::string& to)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return LastFailure();
#endif
    // A file system without the no-replace rename: a hard link cannot replace either.
    if (::link(from.c_str(), to.c_str()) != 0) {
        const int error = errno;
        if (error == EPERM || error == EOPNOTSUPP || error == ENOSYS) return Failed(error, Failure::Unsupported);
        return Failed(error);
    }
    if (::unlink(from.c_str()) != 0) {
        const int error = errno;
        ::unlink(to.c_str());
        return Failed(error);
    }
    return {};
}

Outcome ReplaceWith(const std::string& from, const std::string& to)
{
    if (::rename(from.c_str(), to.c_str()) != 0) return LastFailure();
    return {};
}

Outcome Remove(const std::string& path)
{
    if (::unlink(path.c_str()) != 0) return LastFailure();
    return {};
}

bool LocalTime(std::int64_t when, std::tm& out)
{
    const std::time_t t = static_cast<std::time_t>(when);
    return ::localtime_r(&t, &out) != nullptr;
}

std::vector<std::string> Arguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

bool ErrorIsTerminal()
{
    return ::isatty(STDERR_FILENO) != 0;
}

std::uint64_t ProcessId()
{
    return static_cast<std::uint64_t>(::getpid());
}

bool ProcessRunning(std::uint64_t id)
{
    const auto pid = static_cast<pid_t>(id);
    if (pid <= 0 || static_cast<std::uint64_t>(pid) != id) return false;
    return ::kill(pid, 0) == 0 || errno == EPERM;  // EPERM: running, as another user
}

void SetUpProcess()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace vantrel::platform
