#include "file/WholeFile.h"

#include "base/Error.h"
#include "base/PathText.h"
#include "platform/Platform.h"

#include <atomic>
#include <charconv>
#include <filesystem>
#include <memory>
#include <mutex>
#include <set>

namespace vantrel {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& what, const platform::Outcome& why)
{
    throw WholeFileError("The file " + path + " could not be written (" + what + ": " + why.Text +
                             "); nothing was changed.",
                         why.Code, why.Text);
}

// Removes the temporary file unless it was renamed into place.
class TempFile {
public:
    explicit TempFile(std::string name) : name_(std::move(name)) {}
    ~TempFile()
    {
        if (!kept_) platform::Remove(name_);
    }
    void Keep() { kept_ = true; }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    bool kept_ = false;
};

// Creates a new file of a free temporary name in path's folder, with the
// permission bits the umask leaves of 0666.
platform::Outcome CreateTempFile(const std::string& path, std::string& name, platform::File& file)
{
    const std::filesystem::path target = PathOf(path);
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
    RemoveStaleTemporaryFiles(folder);
    static std::atomic<std::uint64_t> made{0};
    platform::OpenHow how;
    how.Write = true;
    how.Create = platform::Creation::New;
    how.Mode = 0666;
    platform::Outcome created;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = (PathOf(folder) / TemporaryName(platform::ProcessId(), ++made)).string();
        created = platform::Open(name, how, file);
        if (created.Why != platform::Failure::Exists) break;
    }
    return created;
}

// Writes bytes into a new file in path's folder, checked and closed.
std::unique_ptr<TempFile> WriteTempFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                                        std::optional<unsigned> mode)
{
    std::string name;
    platform::File file;
    const platform::Outcome created = CreateTempFile(path, name, file);
    if (!created.Ok()) Fail(path, "cannot create a file in its folder", created);
    auto temp = std::make_unique<TempFile>(name);
    const auto check = [&](const platform::Outcome& outcome, const char* what) {
        if (outcome.Ok()) return;
        platform::Close(file);
        Fail(path, what, outcome);
    };
    if (mode) check(platform::SetPermissions(file, *mode), "giving the file its permissions");
    check(platform::WriteAt(file, 0, bytes.data(), bytes.size()), "writing");
    check(platform::Sync(file), "writing");
    check(platform::Close(file), "writing");
    return temp;
}

}  // namespace

std::string TemporaryName(std::uint64_t process, std::uint64_t k)
{
    return std::string(kTemporaryPrefix) + std::to_string(process) + "-" + std::to_string(k);
}

std::optional<std::uint64_t> TemporaryNameProcess(const std::string& name)
{
    const std::string_view prefix = kTemporaryPrefix;
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    const char* begin = name.data() + prefix.size();
    const char* end = name.data() + name.size();
    std::uint64_t process = 0, k = 0;
    const auto [dash, bad] = std::from_chars(begin, end, process);
    if (bad != std::errc() || dash == begin || dash == end || *dash != '-') return std::nullopt;
    const auto [last, badK] = std::from_chars(dash + 1, end, k);
    if (badK != std::errc() || last != end || last == dash + 1) return std::nullopt;
    return process;
}

std::vector<std::string> RemoveStaleTemporaryFiles(const std::string& folder, bool again)
{
    static std::mutex mutex;
    static std::set<std::string> cleaned;  // folders already cleaned by this process
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::error_code noPath;
        const std::string key = std::filesystem::absolute(PathOf(folder), noPath).lexically_normal().string();
        if (!cleaned.insert(key).second && !again) return {};
    }
    std::vector<std::string> removed;
    std::error_code ec;
    std::filesystem::directory_iterator it(PathOf(folder.empty() ? "." : folder), ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const auto process = TemporaryNameProcess(name);
        if (!process || *process == platform::ProcessId() || platform::ProcessRunning(*process)) continue;
        if (platform::Remove(it->path().string()).Ok()) removed.push_back(name);
    }
    return removed;
}

void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::optional<unsigned> mode)
{
    const auto temp = WriteTempFile(path, bytes, mode);
    const platform::Outcome replaced = platform::ReplaceWith(temp->Name(), path);
    if (!replaced.Ok()) Fail(path, "replacing the file", replaced);
    temp->Keep();
}

bool WriteNewWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::optional<unsigned> mode)
{
    const auto temp = WriteTempFile(path, bytes, mode);  // removed again when it goes
    const platform::Outcome renamed = platform::RenameNoReplace(temp->Name(), path);
    if (renamed.Ok()) {
        temp->Keep();
        return true;
    }
    if (renamed.Why == platform::Failure::Exists) return false;
    if (renamed.Why != platform::Failure::Unsupported) Fail(path, "giving the file its name", renamed);
    // A file system that renames only by replacing (FAT): the name is claimed
    // by an exclusive create, and the checked file then takes the place of
    // that empty claim.
    platform::OpenHow how;
    how.Write = true;
    how.Create = platform::Creation::New;
    how.Mode = 0600;
    platform::File claim;
    const platform::Outcome claimed = platform::Open(path, how, claim);
    if (!claimed.Ok()) {
        if (claimed.Why == platform::Failure::Exists) return false;
        Fail(path, "giving the file its name", claimed);
    }
    platform::Close(claim);
    const platform::Outcome replaced = platform::ReplaceWith(temp->Name(), path);
    if (!replaced.Ok()) {
        platform::Remove(path);
        Fail(path, "giving the file its name", replaced);
    }
    temp->Keep();
    return true;
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    WriteWholeFile(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

}  // namespace vantrel
