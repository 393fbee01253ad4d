// A file of bytes with a current position. Reads and writes go straight to the
// operating system (no user-space buffer): a write is in the file when the
// call returns. Every failure throws VantrelError with a text that names the
// file and what failed.
//
// ByteFile reads; WritableFile adds the writes. The open level hands out its
// file as a ByteFile only, so that nothing writes it but the level's door.
#pragma once

#include "platform/Platform.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantrel {

class ByteFile {
public:
    explicit ByteFile(std::string name) : name_(std::move(name)) {}
    virtual ~ByteFile() = default;
    ByteFile(const ByteFile&) = delete;
    ByteFile& operator=(const ByteFile&) = delete;

    const std::string& Name() const { return name_; }
    virtual std::int64_t Size() const = 0;
    std::int64_t Position() const { return pos_; }

    // Any offset from 0 on is accepted; a read there fails.
    void Seek(std::int64_t offset);
    // Reads exactly n bytes at the position and moves past them.
    void Read(std::uint8_t* out, std::size_t n);
    std::vector<std::uint8_t> Read(std::size_t n);
    std::uint8_t ReadByte();
    // Reads the whole file without moving the position.
    std::vector<std::uint8_t> ReadAll() const;
    // The same into a buffer the caller keeps (its memory is reused): the
    // file's first size bytes, size being what the caller knows of it.
    void ReadAll(std::vector<std::uint8_t>& into, std::int64_t size) const;
    virtual void Close() {}
    // Whether writes are refused (the file was opened for reading only).
    virtual bool ReadOnly() const { return false; }
    // Whether path still names this very file (same device and inode on disk).
    virtual bool StillNamedBy(const std::string& /*path*/) const { return true; }
    // Whether the file may still be written by its name's permissions (a
    // file made read-only after it was opened is not).
    virtual bool StillWritable() const { return true; }

protected:
    virtual std::size_t ReadAt(std::int64_t offset, std::uint8_t* out, std::size_t n) const = 0;
    [[noreturn]] void Fail(const std::string& what) const;

private:
    std::string name_;
    std::int64_t pos_ = 0;
};

// A file that may also be written.
class WritableFile : public ByteFile {
public:
    using ByteFile::ByteFile;
    // Writes n bytes at the position (extending the file) and moves past them.
    void Write(const std::uint8_t* data, std::size_t n);
    void WriteByte(std::uint8_t b) { Write(&b, 1); }
    // Cuts the file to size bytes (size is not more than the file's size).
    virtual void Truncate(std::int64_t size) = 0;
    // Puts what was written on the disk.
    virtual void Sync() {}
    // Whether the file is a file on disk (whose steps are kept in a journal beside it).
    virtual bool OnDisk() const { return false; }
    // Takes an exclusive lock on the file without waiting: false when another
    // open file holds one. The lock ends with Unlock or when the file closes.
    virtual bool TryLock() { return true; }
    virtual void Unlock() {}

protected:
    virtual void WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t n) = 0;
};

// Keeps a file's position to restore it when an operation ends normally.
class KeepPosition {
public:
    explicit KeepPosition(ByteFile& f) : file_(f), pos_(f.Position()) {}
    void Restore() { file_.Seek(pos_); }

private:
    ByteFile& file_;
    std::int64_t pos_;
};

// What a name or an open file is: its size, and whether it is a regular file.
struct FileLook {
    const char* OtherKind = nullptr;  // "a directory", "a named pipe" ...; null for a regular file
    std::int64_t Size = 0;
    std::uint64_t Device = 0;  // with Inode: which file it is
    std::uint64_t Inode = 0;
    unsigned Mode = 0644;  // the permission bits
};
// Looks at what path names (following links); false when it cannot be looked at.
bool LookAt(const std::string& path, FileLook& look);

// A file on disk, opened for reading and writing, for reading only, or
// created. Opening a named pipe does not wait for a writer.
class DiskFile : public WritableFile {
public:
    enum class Mode { ReadWrite, ReadOnly, Create };
    DiskFile(const std::string& path, Mode mode);
    ~DiskFile() override;
    std::int64_t Size() const override;
    void Close() override;
    bool ReadOnly() const override { return readOnly_; }
    bool StillNamedBy(const std::string& path) const override;
    bool StillWritable() const override;
    // What the open file is (one look at it: its size may change later).
    FileLook Look() const;
    void Truncate(std::int64_t size) override;
    void Sync() override;
    bool OnDisk() const override { return true; }
    bool TryLock() override;
    void Unlock() override;

protected:
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* out, std::size_t n) const override;
    void WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t n) override;

private:
    friend std::unique_ptr<DiskFile> OpenLevelFile(const std::string& path, std::string& readOnlyReason);
    DiskFile(const std::string& path, platform::File file, bool readOnly);  // takes over an open file
    const platform::File& Open() const;  // the file, or the failure "The file is closed"

    platform::File file_;
    bool readOnly_ = false;
};

// Reads the file at path to its end, also when its size is not known
// beforehand (a named pipe); more than kMaxReadToEnd bytes are refused, and
// a pipe through which nothing comes for kPipeQuietSeconds is given up.
inline constexpr std::size_t kMaxReadToEnd = std::size_t{64} << 20;
inline constexpr int kPipeQuietSeconds = 5;
std::vector<std::uint8_t> ReadFileToEnd(const std::string& path);

// Opens a level file for reading and writing; a file that may be read but
// not written (no permission, read-only media) is opened for reading only and
// readOnlyReason says why (the system's text). Throws when it cannot be opened.
std::unique_ptr<DiskFile> OpenLevelFile(const std::string& path, std::string& readOnlyReason);

// Bytes in memory behind the same interface: tests, fuzzing, and the
// loader's one-read snapshot of a level file.
class MemoryFile : public WritableFile {
public:
    MemoryFile(std::string name, std::vector<std::uint8_t> bytes)
        : WritableFile(std::move(name)), bytes_(std::move(bytes)) {}
    std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    // Hands the bytes over; the file is empty after.
    std::vector<std::uint8_t> TakeBytes() { return std::move(bytes_); }
    void Truncate(std::int64_t size) override { bytes_.resize(static_cast<std::size_t>(size)); }

protected:
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* out, std::size_t n) const override;
    void WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t n) override;

private:
    std::vector<std::uint8_t> bytes_;
};

// Waits up to wait for an exclusive lock on file; throws the refusal that
// another program is changing the level (shown by its name) when it does not come.
void LockLevelFile(WritableFile& file, std::chrono::milliseconds wait, const std::string& shown);
std::string BusyRefusal(const std::string& path);

}  // namespace vantrel
