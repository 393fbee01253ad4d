// What only POSIX systems have, for the tests that use it: a file size limit
// (a write cut short, as on a full disk), named pipes, the superuser. The same
// calls compile on Windows, where such a test skips in one line:
//   VANTREL_SKIP_ON_WINDOWS("named pipes are POSIX files");
#pragma once

#include <cstdint>
#include <filesystem>

#ifdef _WIN32
#define VANTREL_SKIP_ON_WINDOWS(why) GTEST_SKIP() << why
#else
#define VANTREL_SKIP_ON_WINDOWS(why) static_cast<void>(0)
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vantrel::test {

#ifdef _WIN32
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif

// Files grow to at most bytes while it lives; a write past that fails ("File
// too large") instead of the process being killed.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes)
    {
#ifndef _WIN32
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit small = old_;
        small.rlim_cur = static_cast<rlim_t>(bytes);
        ::setrlimit(RLIMIT_FSIZE, &small);
#else
        static_cast<void>(bytes);
#endif
    }
    ~FileSizeLimit()
    {
#ifndef _WIN32
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, handler_);
#endif
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
#ifndef _WIN32
    rlimit old_{};
    void (*handler_)(int) = nullptr;
#endif
};

// The separator the program puts between a folder and a name it joins ("\\" on Windows).
inline constexpr const char* kSep = kWindows ? "\\" : "/";

// The text of a file that may not be written, on every system.
inline constexpr const char* kDeniedText = "Permission denied";

// Whether the tests run as the superuser, who may write any file.
inline bool Superuser()
{
#ifdef _WIN32
    return false;
#else
    return ::geteuid() == 0;
#endif
}

// Makes a named pipe at path; false where there are none.
inline bool MakeFifo(const std::filesystem::path& path)
{
#ifdef _WIN32
    static_cast<void>(path);
    return false;
#else
    return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}

}  // namespace vantrel::test
