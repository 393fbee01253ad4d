// The platform on Windows: the wide-character calls of the Windows API, with
// every name turned from UTF-8 into UTF-16 first.
#include "platform/Platform.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <fcntl.h>
#include <io.h>

namespace vantrel::platform {

struct FileAccess {
    static HANDLE Handle(const File& file) { return reinterpret_cast<HANDLE>(file.handle_); }
    static void Set(File& file, HANDLE handle) { file.handle_ = reinterpret_cast<std::intptr_t>(handle); }
    static void Clear(File& file) { file.handle_ = File::kNone; }
};

namespace {

// The lock is one byte far past the end of any level: the locks keep our own
// programs apart and never stop another program's reads or writes, as
// advisory locks on POSIX do.
constexpr DWORD kLockOffsetHigh = 0x40000000;

std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string Utf8(const wchar_t* wide, int length)
{
    if (length <= 0) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

// The system's own text for an error, without the closing period and line end.
std::string SystemText(DWORD error)
{
    wchar_t* buffer = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = n ? Utf8(buffer, static_cast<int>(n)) : std::string();
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    if (text.empty()) text = "Windows error " + std::to_string(error);
    return text;
}

// The errors a file operation meets, in the kinds the program acts on and in
// the words the POSIX build uses for the same failure, so that a message
// reads the same on every system; any other error in Windows' own words.
struct KnownError {
    DWORD Code;
    Failure Why;
    const char* Text;
};
constexpr KnownError kKnownErrors[] = {
    {ERROR_FILE_NOT_FOUND, Failure::NotFound, "No such file or directory"},
    {ERROR_PATH_NOT_FOUND, Failure::NotFound, "No such file or directory"},
    {ERROR_INVALID_DRIVE, Failure::NotFound, "No such file or directory"},
    {ERROR_BAD_NETPATH, Failure::NotFound, "No such file or directory"},
    // A name Windows refuses ("a?b", a folder's name ending in a space) names no file.
    {ERROR_INVALID_NAME, Failure::NotFound, "Invalid file name"},
    {ERROR_FILE_EXISTS, Failure::Exists, "File exists"},
    {ERROR_ALREADY_EXISTS, Failure::Exists, "File exists"},
    {ERROR_ACCESS_DENIED, Failure::Denied, "Permission denied"},
    {ERROR_WRITE_PROTECT, Failure::Denied, "Read-only file system"},
    {ERROR_SHARING_VIOLATION, Failure::Other, "Device or resource busy"},
    {ERROR_LOCK_VIOLATION, Failure::Busy, "Resource temporarily unavailable"},
    {ERROR_DISK_FULL, Failure::Other, "No space left on device"},
    {ERROR_HANDLE_DISK_FULL, Failure::Other, "No space left on device"},
    {ERROR_INVALID_HANDLE, Failure::Other, "Bad file descriptor"},
    {ERROR_NOT_ENOUGH_MEMORY, Failure::Other, "Cannot allocate memory"},
    {ERROR_OUTOFMEMORY, Failure::Other, "Cannot allocate memory"},
    {ERROR_TOO_MANY_OPEN_FILES, Failure::Other, "Too many open files"},
    {ERROR_FILENAME_EXCED_RANGE, Failure::Other, "File name too long"},
    {ERROR_DIRECTORY, Failure::Other, "Not a directory"},
    {ERROR_DIR_NOT_EMPTY, Failure::Other, "Directory not empty"},
    {ERROR_NOT_SAME_DEVICE, Failure::Other, "Invalid cross-device link"},
    {ERROR_NOT_SUPPORTED, Failure::Unsupported, "Operation not supported"},
    {ERROR_INVALID_FUNCTION, Failure::Unsupported, "Function not implemented"},
};

Outcome Failed(DWORD error, Failure why)
{
    for (const KnownError& known : kKnownErrors)
        if (known.Code == error) return Outcome{why, static_cast<int>(error), known.Text};
    return Outcome{why, static_cast<int>(error), SystemText(error)};
}

Outcome Failed(DWORD error)
{
    for (const KnownError& known : kKnownErrors)
        if (known.Code == error) return Outcome{known.Why, static_cast<int>(error), known.Text};
    return Outcome{Failure::Other, static_cast<int>(error), SystemText(error)};
}

Outcome LastFailure() { return Failed(::GetLastError()); }

constexpr std::int64_t kUnixEpochIn100ns = 116444736000000000LL;

std::int64_t UnixSeconds(const FILETIME& time)
{
    const std::int64_t ticks =
        static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return (ticks - kUnixEpochIn100ns) / 10000000;
}

// The time of the last write as seconds and nanoseconds since 1970.
void SetModified(const FILETIME& time, FileInfo& info)
{
    info.Modified = UnixSeconds(time);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    info.ModifiedNanos = static_cast<std::int32_t>(ticks % 10000000) * 100;
}

Kind KindOfHandle(HANDLE handle, DWORD attributes, bool link)
{
    if (link) return Kind::Link;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Kind::Directory;
    switch (::GetFileType(handle)) {
    case FILE_TYPE_DISK: return Kind::Regular;
    case FILE_TYPE_PIPE: return Kind::Fifo;
    case FILE_TYPE_CHAR: return Kind::Device;
    default: return Kind::Other;
    }
}

Outcome LookAtHandle(HANDLE handle, FileInfo& info, bool link)
{
    BY_HANDLE_FILE_INFORMATION data {};
    if (!::GetFileInformationByHandle(handle, &data)) {
        // A pipe or a device has no such information.
        const DWORD type = ::GetFileType(handle);
        if (type == FILE_TYPE_PIPE || type == FILE_TYPE_CHAR) {
            info = FileInfo();
            info.Type = type == FILE_TYPE_PIPE ? Kind::Fifo : Kind::Device;
            return {};
        }
        return LastFailure();
    }
    info = FileInfo();
    info.Type = KindOfHandle(handle, data.dwFileAttributes, link);
    info.Size = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    info.Id = {data.dwVolumeSerialNumber,
               (static_cast<std::uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow};
    info.Mode = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    SetModified(data.ftLastWriteTime, info);
    return {};
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The full name of a file (ReplaceFileW takes no relative names everywhere).
std::wstring FullName(const std::wstring& name)
{
    const DWORD n = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (n == 0) return name;
    std::wstring full(n, L'\0');
    const DWORD written = ::GetFullPathNameW(name.c_str(), n, full.data(), nullptr);
    full.resize(written);
    return written ? full : name;
}

}  // namespace

File::~File()
{
    if (IsOpen()) ::CloseHandle(FileAccess::Handle(*this));
}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        if (IsOpen()) ::CloseHandle(FileAccess::Handle(*this));
        handle_ = other.handle_;
        other.handle_ = kNone;
    }
    return *this;
}

Outcome Open(const std::string& path, const OpenHow& how, File& file)
{
    const DWORD access = how.Write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    const DWORD disposition = how.Create == Creation::New        ? CREATE_NEW
                              : how.Create == Creation::Truncate ? CREATE_ALWAYS
                                                                 : OPEN_EXISTING;
    const std::wstring name = Wide(path);
    // A read-only file is not opened for writing, also where the system would
    // let its superuser do so (Wine run as root).
    if (how.Write && how.Create != Creation::Truncate) {
        const DWORD attributes = ::GetFileAttributesW(name.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
            !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return Failed(ERROR_ACCESS_DENIED);
    }
    // Not inherited: the security attributes are left out. A folder opens for
    // reading, as on POSIX systems, so that the caller can tell it is one.
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | (how.Write ? 0 : FILE_FLAG_BACKUP_SEMANTICS);
    const HANDLE handle = ::CreateFileW(name.c_str(), access, kShareAll, nullptr, disposition, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastFailure();
    file = File();
    FileAccess::Set(file, handle);
    return {};
}

Outcome Close(File& file)
{
    if (!file.IsOpen()) return {};
    const HANDLE handle = FileAccess::Handle(file);
    FileAccess::Clear(file);
    if (!::CloseHandle(handle)) return LastFailure();
    return {};
}

Outcome ReadAt(const File& file, std::int64_t offset, std::uint8_t* out, std::size_t n, std::size_t& got)
{
    got = 0;
    while (got < n) {
        const std::uint64_t at = static_cast<std::uint64_t>(offset) + got;
        OVERLAPPED where {};
        where.Offset = static_cast<DWORD>(at);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(n - got, 1u << 30));
        DWORD read = 0;
        if (!::ReadFile(FileAccess::Handle(file), out + got, ask, &read, &where)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_HANDLE_EOF) break;
            return Failed(error);
        }
        if (read == 0) break;
        got += read;
    }
    return {};
}

Outcome ReadNext(const File& file, std::uint8_t* out, std::size_t n, std::size_t& got)
{
    got = 0;
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
    DWORD read = 0;
    if (!::ReadFile(FileAccess::Handle(file), out, ask, &read, nullptr)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return {};  // the other end closed
        return Failed(error);
    }
    got = read;
    return {};
}

bool WaitForBytes(const File&, int)
{
    return true;  // a pipe's reads wait
}

Outcome WriteAt(const File& file, std::int64_t offset, const std::uint8_t* data, std::size_t n)
{
    std::size_t done = 0;
    while (done < n) {
        const std::uint64_t at = static_cast<std::uint64_t>(offset) + done;
        OVERLAPPED where {};
        where.Offset = static_cast<DWORD>(at);
        where.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD give = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(FileAccess::Handle(file), data + done, give, &written, &where)) return LastFailure();
        if (written == 0) return Failed(ERROR_DISK_FULL);
        done += written;
    }
    return {};
}

Outcome Truncate(const File& file, std::int64_t size)
{
    FILE_END_OF_FILE_INFO end {};
    end.EndOfFile.QuadPart = size;
    if (!::SetFileInformationByHandle(FileAccess::Handle(file), FileEndOfFileInfo, &end, sizeof end))
        return LastFailure();
    return {};
}

Outcome Sync(const File& file)
{
    if (!::FlushFileBuffers(FileAccess::Handle(file))) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_INVALID_HANDLE || error == ERROR_INVALID_FUNCTION) return {};  // a pipe or a device
        return Failed(error);
    }
    return {};
}

Outcome TryLock(const File& file)
{
    OVERLAPPED where {};
    where.OffsetHigh = kLockOffsetHigh;
    if (::LockFileEx(FileAccess::Handle(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where))
        return {};
    const DWORD error = ::GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) return Failed(error, Failure::Busy);
    // A file system without locks: there is nothing to wait for.
    if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION) return {};
    return Failed(error);
}

void Unlock(const File& file)
{
    if (!file.IsOpen()) return;
    OVERLAPPED where {};
    where.OffsetHigh = kLockOffsetHigh;
    ::UnlockFileEx(FileAccess::Handle(file), 0, 1, 0, &where);
}

Outcome SetPermissions(const File& file, unsigned mode)
{
    FILE_BASIC_INFO basic {};
    if (!::GetFileInformationByHandleEx(FileAccess::Handle(file), FileBasicInfo, &basic, sizeof basic))
        return LastFailure();
    const bool readOnly = (mode & 0222) == 0;
    DWORD attributes = basic.FileAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (readOnly) attributes |= FILE_ATTRIBUTE_READONLY;
    if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
    if (attributes == basic.FileAttributes) return {};
    FILE_BASIC_INFO change {};  // times of 0 stay as they are
    change.FileAttributes = attributes;
    if (!::SetFileInformationByHandle(FileAccess::Handle(file), FileBasicInfo, &change, sizeof change))
        return LastFailure();
    return {};
}

Outcome Look(const File& file, FileInfo& info)
{
    return LookAtHandle(FileAccess::Handle(file), info, false);
}

Outcome Look(const std::string& path, FileInfo& info, bool followLinks)
{
    const std::wstring name = Wide(path);
    bool link = false;
    if (!followLinks) {
        const DWORD attributes = ::GetFileAttributesW(name.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return LastFailure();
        link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    }
    // Opened for no access at all: a file another program holds is looked at too.
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (link ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    const HANDLE handle = ::CreateFileW(name.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastFailure();
    // A file deleted while another program holds it keeps its name until it
    // is closed: the name names no file any more.
    FILE_STANDARD_INFO standard {};
    if (::GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard) &&
        standard.DeletePending) {
        ::CloseHandle(handle);
        return Failed(ERROR_FILE_NOT_FOUND);
    }
    const Outcome looked = LookAtHandle(handle, info, link);
    ::CloseHandle(handle);
    return looked;
}

Outcome ListFolder(const std::string& folder, std::vector<FolderEntry>& entries,
                   const std::function<bool(const std::string& name)>& lookAt)
{
    const bool separated = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
    const std::string prefix = separated ? folder : folder + "\\";
    WIN32_FIND_DATAW data {};
    const HANDLE find = ::FindFirstFileExW(Wide(prefix + "*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        const DWORD attributes = ::GetFileAttributesW(Wide(folder).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return LastFailure();
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return Failed(ERROR_DIRECTORY);
        if (error == ERROR_FILE_NOT_FOUND) return {};  // a drive's empty root: not even "." is listed
        return Failed(error);
    }
    // The listing gives each name's size and time of the last write: no file
    // is opened, but for a link, which is looked at where it leads.
    do {
        const wchar_t* name = data.cFileName;
        if (name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'))) continue;
        FolderEntry& e = entries.emplace_back();
        e.Name = Utf8(name, static_cast<int>(std::wcslen(name)));
        const bool link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        const bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        e.Type = link ? Kind::Link : directory ? Kind::Directory : Kind::Regular;
        if (!lookAt || !lookAt(e.Name)) continue;
        e.LookedAt = true;
        if (link) {
            e.Looked = Look(prefix + e.Name, e.Info, true);
            continue;
        }
        e.Info.Type = directory ? Kind::Directory : Kind::Regular;
        e.Info.Size = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        e.Info.Mode = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
        SetModified(data.ftLastWriteTime, e.Info);
    } while (::FindNextFileW(find, &data));
    const DWORD error = ::GetLastError();
    ::FindClose(find);
    if (error != ERROR_NO_MORE_FILES) return Failed(error);
    return {};
}

Outcome CheckWritable(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastFailure();
    if ((attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Failed(ERROR_ACCESS_DENIED);
    return {};
}

Outcome RenameNoReplace(const std::string& from, const std::string& to)
{
    if (!::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_WRITE_THROUGH)) return LastFailure();
    return {};
}

Outcome ReplaceWith(const std::string& from, const std::string& to)
{
    const std::wstring source = Wide(from), target = Wide(to);
    if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    const DWORD error = ::GetLastError();
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return Failed(error);
    // Only a file is replaced so: a folder in the way stays, with all it holds.
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return Failed(error);
    // A file held open (with leave to delete it, as this program and the game
    // hold levels) is replaced in its place, keeping its name and attributes.
    if (::ReplaceFileW(FullName(target).c_str(), FullName(source).c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                       nullptr, nullptr))
        return {};
    return LastFailure();
}

Outcome Remove(const std::string& path)
{
    if (!::DeleteFileW(Wide(path).c_str())) return LastFailure();
    return {};
}

bool LocalTime(std::int64_t when, std::tm& out)
{
    const __time64_t t = static_cast<__time64_t>(when);
    return ::_localtime64_s(&out, &t) == 0;
}

std::vector<std::string> Arguments(int argc, char** argv)
{
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Utf8(wide[i], static_cast<int>(std::wcslen(wide[i]))));
    ::LocalFree(wide);
    return arguments;
}

bool ErrorIsTerminal()
{
    return ::_isatty(::_fileno(stderr)) != 0;
}

std::uint64_t ProcessId()
{
    return ::GetCurrentProcessId();
}

bool ProcessRunning(std::uint64_t id)
{
    if (id == 0 || id > 0xFFFFFFFFu) return false;
    HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;  // running, but not ours to look at
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

void SetUpProcess()
{
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
}

}  // namespace vantrel::platform
