/* A library the tests preload into vantrel-cli (LD_PRELOAD) to stop it at
 * the Nth call that changes a file, as a crash or a failing disk would:
 *
 *   VANTREL_FAULT=kill   SIGKILL just before the Nth file-changing call
 *   VANTREL_FAULT=eio    the Nth file-changing call fails with EIO, doing nothing
 *   VANTREL_FAULT=close  the Nth close of a file open for writing closes it,
 *                        then fails with EIO
 *   VANTREL_FAULT_AT=N   which call (from 1); none when unset
 *   VANTREL_FAULT_COUNT=PATH  at exit, the number of calls counted is written
 *                        to PATH (to learn how many points a command has)
 *   VANTREL_FAULT_FILE=END    only calls on files whose path ends so count
 *
 * File-changing calls: writes to files other than standard input, output
 * and error, truncations, syncs, creations, renames, links, removals and
 * permission changes. Reads are never counted. */
#undef _FORTIFY_SOURCE
#include <dlfcn.h>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

extern "C" {

namespace {

long counted;
long faultAt = -1;
int mode; /* 0 none, 1 kill, 2 eio, 3 close */
const char* countPath;
const char* onlyFile;

// Whether a call on path counts: every call, or those on the file asked for.
bool Counts(const char* path)
{
    if (!onlyFile) return true;
    if (!path) return false;
    const std::size_t n = std::strlen(path), m = std::strlen(onlyFile);
    return n >= m && std::strcmp(path + n - m, onlyFile) == 0;
}

bool CountsFd(int fd)
{
    if (!onlyFile) return true;
    char link[64], path[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, sizeof path - 1);
    if (n < 0) return false;
    path[n] = '\0';
    return Counts(path);
}

}  // namespace

__attribute__((constructor)) static void Start()
{
    const char* fault = std::getenv("VANTREL_FAULT");
    const char* at = std::getenv("VANTREL_FAULT_AT");
    countPath = std::getenv("VANTREL_FAULT_COUNT");
    onlyFile = std::getenv("VANTREL_FAULT_FILE");
    if (fault && at) {
        faultAt = std::atol(at);
        mode = std::strcmp(fault, "kill") == 0 ? 1 : std::strcmp(fault, "eio") == 0 ? 2 : std::strcmp(fault, "close") == 0 ? 3 : 0;
    }
}

__attribute__((destructor)) static void Finish()
{
    if (!countPath) return;
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%ld\n", counted);
    const int fd = static_cast<int>(syscall(SYS_openat, AT_FDCWD, countPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd < 0) return;
    syscall(SYS_write, fd, text, static_cast<std::size_t>(n));
    syscall(SYS_close, fd);
}

/* Counts a file-changing call: 0 to make it, -1 (errno EIO) to fail it. */
static int Changing(bool counts = true)
{
    if (mode == 3 || !counts) return 0;
    ++counted;
    if (counted != faultAt) return 0;
    if (mode == 1) {
        kill(getpid(), SIGKILL);
        for (;;) pause();
    }
    if (mode == 2) {
        errno = EIO;
        return -1;
    }
    return 0;
}

static int IsStandard(int fd) { return fd >= 0 && fd <= 2; }

#define REAL(name)                                        \
    static decltype(&::name) real_##name = nullptr;       \
    if (!real_##name) real_##name = reinterpret_cast<decltype(&::name)>(dlsym(RTLD_NEXT, #name))

ssize_t write(int fd, const void* data, size_t n)
{
    REAL(write);
    if (!IsStandard(fd) && Changing(CountsFd(fd)) != 0) return -1;
    return real_write(fd, data, n);
}

ssize_t writev(int fd, const struct iovec* iov, int count)
{
    REAL(writev);
    if (!IsStandard(fd) && Changing(CountsFd(fd)) != 0) return -1;
    return real_writev(fd, iov, count);
}

ssize_t pwrite(int fd, const void* data, size_t n, off_t offset)
{
    REAL(pwrite);
    if (Changing(CountsFd(fd)) != 0) return -1;
    return real_pwrite(fd, data, n, offset);
}

ssize_t pwrite64(int fd, const void* data, size_t n, off64_t offset)
{
    REAL(pwrite64);
    if (Changing(CountsFd(fd)) != 0) return -1;
    return real_pwrite64(fd, data, n, offset);
}

int ftruncate(int fd, off_t size)
{
    REAL(ftruncate);
    if (Changing(CountsFd(fd)) != 0) return -1;
    return real_ftruncate(fd, size);
}

int ftruncate64(int fd, off64_t size)
{
    REAL(ftruncate64);
    if (Changing(CountsFd(fd)) != 0) return -1;
    return real_ftruncate64(fd, size);
}

int fsync(int fd)
{
    REAL(fsync);
    if (Changing(CountsFd(fd)) != 0) return -1;
    return real_fsync(fd);
}

int fdatasync(int fd)
{
    REAL(fdatasync);
    if (Changing(CountsFd(fd)) != 0) return -1;
    return real_fdatasync(fd);
}

int fchmod(int fd, mode_t m)
{
    REAL(fchmod);
    if (Changing(CountsFd(fd)) != 0) return -1;
    return real_fchmod(fd, m);
}

int rename(const char* from, const char* to)
{
    REAL(rename);
    if (Changing(Counts(from) || Counts(to)) != 0) return -1;
    return real_rename(from, to);
}

int renameat(int a, const char* from, int b, const char* to)
{
    REAL(renameat);
    if (Changing(Counts(from) || Counts(to)) != 0) return -1;
    return real_renameat(a, from, b, to);
}

int renameat2(int a, const char* from, int b, const char* to, unsigned flags)
{
    REAL(renameat2);
    if (Changing(Counts(from) || Counts(to)) != 0) return -1;
    return real_renameat2(a, from, b, to, flags);
}

int link(const char* from, const char* to)
{
    REAL(link);
    if (Changing(Counts(from) || Counts(to)) != 0) return -1;
    return real_link(from, to);
}

int linkat(int a, const char* from, int b, const char* to, int flags)
{
    REAL(linkat);
    if (Changing(Counts(from) || Counts(to)) != 0) return -1;
    return real_linkat(a, from, b, to, flags);
}

int unlink(const char* path)
{
    REAL(unlink);
    if (Changing(Counts(path)) != 0) return -1;
    return real_unlink(path);
}

int unlinkat(int dir, const char* path, int flags)
{
    REAL(unlinkat);
    if (Changing(Counts(path)) != 0) return -1;
    return real_unlinkat(dir, path, flags);
}

static int Creates(int flags) { return (flags & (O_CREAT | O_TRUNC)) != 0; }

int open(const char* path, int flags, ...)
{
    REAL(open);
    mode_t m = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list args;
        va_start(args, flags);
        m = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    if (Creates(flags) && Changing(Counts(path)) != 0) return -1;
    return real_open(path, flags, m);
}

int open64(const char* path, int flags, ...)
{
    REAL(open64);
    mode_t m = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list args;
        va_start(args, flags);
        m = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    if (Creates(flags) && Changing(Counts(path)) != 0) return -1;
    return real_open64(path, flags, m);
}

int openat(int dir, const char* path, int flags, ...)
{
    REAL(openat);
    mode_t m = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list args;
        va_start(args, flags);
        m = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    if (Creates(flags) && Changing(Counts(path)) != 0) return -1;
    return real_openat(dir, path, flags, m);
}

int openat64(int dir, const char* path, int flags, ...)
{
    REAL(openat64);
    mode_t m = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list args;
        va_start(args, flags);
        m = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    if (Creates(flags) && Changing(Counts(path)) != 0) return -1;
    return real_openat64(dir, path, flags, m);
}

/* The Nth close of a regular file open for writing closes it and fails. */
int close(int fd)
{
    REAL(close);
    if (mode != 3 || IsStandard(fd)) return real_close(fd);
    struct stat st;
    const int flags = fcntl(fd, F_GETFL);
    const bool writing = flags >= 0 && (flags & O_ACCMODE) != O_RDONLY && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                         CountsFd(fd);
    const int result = real_close(fd);
    if (!writing || result != 0 || ++counted != faultAt) return result;
    errno = EIO;
    return -1;
}

}  // extern "C"
