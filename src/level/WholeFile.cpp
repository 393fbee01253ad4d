#include "level/WholeFile.h"

#include "base/Error.h"
#include "level/ByteFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& what, int error)
{
    throw WholeFileError("The file " + path + " could not be written (" + what + ": " + std::strerror(error) +
                             "); nothing was changed.",
                         error);
}

// Removes the temporary file unless it was renamed into place.
class TempFile {
public:
    explicit TempFile(std::string name) : name_(std::move(name)) {}
    ~TempFile()
    {
        if (!kept_) ::unlink(name_.c_str());
    }
    void Keep() { kept_ = true; }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    bool kept_ = false;
};

// Creates a new file of a free name ".NAME.XXXXXX" in path's folder, with
// the permission bits the umask leaves of 0666.
int CreateTempFile(const std::string& path, std::string& name)
{
    const std::filesystem::path target(path);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix(6, 'x');
        for (char& c : suffix) c = kLetters[random() % (sizeof kLetters - 1)];
        name = (folder / ("." + target.filename().string() + "." + suffix)).string();
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Writes bytes into a new file in path's folder, checked and closed.
std::unique_ptr<TempFile> WriteTempFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                                        std::optional<unsigned> mode)
{
    std::string name;
    const int fd = CreateTempFile(path, name);
    if (fd < 0) Fail(path, "cannot create a file in its folder", errno);
    auto temp = std::make_unique<TempFile>(name);
    if (mode && ::fchmod(fd, *mode) != 0) {
        const int error = errno;
        ::close(fd);
        Fail(path, "giving the file its permissions", error);
    }
    if (const int error = WriteAllAt(fd, bytes.data(), bytes.size(), 0)) {
        ::close(fd);
        Fail(path, "writing", error);
    }
    if (::fsync(fd) != 0 && errno != EINVAL) {
        const int error = errno;
        ::close(fd);
        Fail(path, "writing", error);
    }
    if (::close(fd) != 0) Fail(path, "writing", errno);
    return temp;
}

}  // namespace

void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::optional<unsigned> mode)
{
    const auto temp = WriteTempFile(path, bytes, mode);
    if (::rename(temp->Name().c_str(), path.c_str()) != 0) Fail(path, "replacing the file", errno);
    temp->Keep();
}

bool WriteNewWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::optional<unsigned> mode)
{
    const auto temp = WriteTempFile(path, bytes, mode);  // removed again when it goes
    if (::link(temp->Name().c_str(), path.c_str()) == 0) return true;
    if (errno == EEXIST) return false;
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) Fail(path, "giving the file its name", errno);
    // A file system without links (FAT): the name is claimed by an exclusive
    // create, and the checked file then takes the place of that empty claim.
    const int claim = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (claim < 0) {
        if (errno == EEXIST) return false;
        Fail(path, "giving the file its name", errno);
    }
    ::close(claim);
    if (::rename(temp->Name().c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(path.c_str());
        Fail(path, "giving the file its name", error);
    }
    temp->Keep();
    return true;
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    WriteWholeFile(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

}  // namespace vantrel
