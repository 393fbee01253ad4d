// The program's one door to the operating system, for what the standard
// library does not offer: files opened without buffers and read and written at
// an offset, locks, which file a name names and what kind it is, renames that
// never replace, replacing a file whole, permission bits, local time, and the
// process's start. PlatformPosix.cpp and PlatformWindows.cpp each implement
// all of it; the build compiles the one for its target. No other file of the
// program includes a system header.
//
// Names are UTF-8 (wide names on Windows are made from them). A call that can
// fail returns an Outcome: what failed, in the kinds the program acts on, with
// the system's error number and its own text; the callers build the messages
// users read around that text.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace vantrel::platform {

// What went wrong, as far as the program treats cases differently.
enum class Failure {
    None,
    NotFound,     // no file of that name
    Exists,       // the name is taken
    Denied,       // no permission, or read-only media
    Busy,         // another open file holds the lock
    Unsupported,  // the file system cannot do it (no links, no locks, no rename without replacing)
    Other,
};

// The outcome of a call: Failure::None, or the failure with the system's
// error number (errno; GetLastError() on Windows) and its text.
struct Outcome {
    Failure Why = Failure::None;
    int Code = 0;
    std::string Text;
    bool Ok() const { return Why == Failure::None; }
};

// An open file; closed when it goes (Close reports a failure to close).
class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = kNone; }
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    bool IsOpen() const { return handle_ != kNone; }

private:
    friend struct FileAccess;  // the implementation's way to the handle
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t handle_ = kNone;  // a descriptor, or a HANDLE
};

enum class Creation {
    None,      // the file must exist
    Truncate,  // made when missing, emptied when there
    New,       // made; fails with Failure::Exists when the name is taken
};

struct OpenHow {
    bool Write = false;  // reading and writing, else reading only
    Creation Create = Creation::None;
    // A named pipe's open and reads do not wait for the other end.
    bool NoWait = false;
    unsigned Mode = 0644;  // the permission bits of a file made (the umask takes its part)
};

// Opens path. The file is not inherited by programs started later, is read
// and written as bytes, and may be read, written, renamed and deleted by
// other programs while it is open (the game reads a level we hold).
Outcome Open(const std::string& path, const OpenHow& how, File& file);
Outcome Close(File& file);

// Reads up to n bytes at offset, as many as there are: got is less than n
// only at the file's end.
Outcome ReadAt(const File& file, std::int64_t offset, std::uint8_t* out, std::size_t n, std::size_t& got);
// Reads the next bytes from the file's own position, at most n: got is 0 at
// its end. Reads named pipes too.
Outcome ReadNext(const File& file, std::uint8_t* out, std::size_t n, std::size_t& got);
// Waits up to waitMs for a file opened with NoWait to have bytes to read (or
// its end): false when the time passed first. Always true on Windows.
bool WaitForBytes(const File& file, int waitMs);
// Writes all n bytes at offset, however many calls that takes.
Outcome WriteAt(const File& file, std::int64_t offset, const std::uint8_t* data, std::size_t n);
Outcome Truncate(const File& file, std::int64_t size);
// Puts what was written on the disk; a file that cannot be synced (a pipe) passes.
Outcome Sync(const File& file);

// An exclusive lock on the file, never waiting: Failure::Busy when another
// open file holds one. On a file system without locks it is taken at once.
// The lock guards against our own programs only; it never stops another
// program's reads or writes. It ends with Unlock or when the file closes.
Outcome TryLock(const File& file);
void Unlock(const File& file);

// Sets the permission bits (on Windows: read-only when no one may write).
Outcome SetPermissions(const File& file, unsigned mode);

enum class Kind { Regular, Directory, Fifo, Device, Socket, Link, Other };

// Which file, on which device: two names are the same file when both match.
struct FileId {
    std::uint64_t Device = 0;  // the device (the volume's serial number on Windows)
    std::uint64_t Index = 0;   // the inode (the file index on Windows)
    auto operator<=>(const FileId&) const = default;
};

struct FileInfo {
    Kind Type = Kind::Other;
    std::int64_t Size = 0;
    FileId Id;
    unsigned Mode = 0644;       // the permission bits (on Windows 0444 or 0666 by the read-only attribute)
    std::int64_t Modified = 0;  // the last write, seconds since 1970 (UTC)
    std::int32_t ModifiedNanos = 0;  // and the nanoseconds into that second (in steps of 100 on Windows)
};

Outcome Look(const File& file, FileInfo& info);
// What path names; with followLinks false, a link is looked at itself (Kind::Link).
Outcome Look(const std::string& path, FileInfo& info, bool followLinks = true);

// A name in a folder, as the folder's listing gives it.
struct FolderEntry {
    std::string Name;
    Kind Type = Kind::Other;  // what the name is itself: a link is Kind::Link
    // For a name the listing was asked to look at: what Look would say of it
    // (a link followed), or why it could not be looked at. Info's Id is zero
    // on Windows, where the listing does not tell it.
    bool LookedAt = false;
    FileInfo Info;
    Outcome Looked;
};

// Lists the names in folder, "." and ".." left out, in no particular order.
// The names for which lookAt says true are looked at too, relative to the
// open folder (POSIX) or from the listing itself (Windows: its sizes and
// times), not by their whole path. A folder that cannot be opened fails with
// no names; a listing that fails part way fails with the names read before.
Outcome ListFolder(const std::string& folder, std::vector<FolderEntry>& entries,
                   const std::function<bool(const std::string& name)>& lookAt = {});

// Whether the file at path may be written by its permissions, attributes and media.
Outcome CheckWritable(const std::string& path);

// Renames from to to, in one folder; Failure::Exists when to is taken.
// Failure::Unsupported when the file system can rename only by replacing.
Outcome RenameNoReplace(const std::string& from, const std::string& to);
// Puts the file from in the place of to, replacing it whole (also while it is
// open, here or in another program that lets it be).
Outcome ReplaceWith(const std::string& from, const std::string& to);
Outcome Remove(const std::string& path);

// The local time of a moment given in seconds since 1970; false when the
// system cannot tell it.
bool LocalTime(std::int64_t when, std::tm& out);

// The program's arguments, argv[0] first, as UTF-8: on Windows read from the
// wide command line, whatever the code page; argv itself elsewhere.
std::vector<std::string> Arguments(int argc, char** argv);

// Whether standard error is a terminal (a person watches it).
bool ErrorIsTerminal();

// This process's number, and whether a process of that number is running
// (a file named after a process that is gone is left over: it may be removed).
std::uint64_t ProcessId();
bool ProcessRunning(std::uint64_t id);

// Called first by each program: a file size limit shows as a write error the
// program handles, never as a kill mid-write (POSIX); standard input, output
// and error carry bytes as they are, no line ends changed (Windows).
void SetUpProcess();

}  // namespace vantrel::platform
