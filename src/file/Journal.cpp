#include "file/Journal.h"

#include "base/Error.h"
#include "file/ByteFile.h"
#include "file/WholeFile.h"

#include <chrono>
#include <filesystem>

namespace vantrel {

namespace {

// The journal: a header (the mark "VNTJ", the format 1, three zero bytes, the
// level's length before the step, big-endian, and a check of those 16 bytes),
// then one record a write (its offset, its length, the bytes it replaced, and
// a check of them all). A record that is cut short or fails its check was
// never followed by its write, and ends the journal.
constexpr std::uint8_t kMark[4] = {'V', 'N', 'T', 'J'};
constexpr std::uint8_t kFormat = 1;
constexpr std::size_t kHeaderLength = 24;
constexpr std::size_t kRecordHead = 12;  // offset and length
constexpr std::size_t kCheckLength = 8;
constexpr std::size_t kMaxFileName = 255;  // bytes in one name, on the file systems levels live on

void Put(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint64_t Get(const std::uint8_t* p, int bytes)
{
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
    return value;
}

// FNV-1a, 64 bits.
std::uint64_t Check(const std::uint8_t* p, std::size_t n)
{
    std::uint64_t h = 14695981039346656037ull;
    for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

std::string Hex(std::uint64_t value)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kDigits[value & 15];
    return text;
}

struct Record {
    std::int64_t Offset = 0;
    const std::uint8_t* Bytes = nullptr;
    std::size_t Length = 0;
};

// The length before the step and the whole records of a journal's bytes;
// false when even the header is not whole (the step wrote nothing yet).
bool Parse(const std::vector<std::uint8_t>& j, std::int64_t& endBefore, std::vector<Record>& records)
{
    if (j.size() < kHeaderLength || !std::equal(kMark, kMark + 4, j.begin()) || j[4] != kFormat ||
        Get(j.data() + 16, 8) != Check(j.data(), 16))
        return false;
    endBefore = static_cast<std::int64_t>(Get(j.data() + 8, 8));
    for (std::size_t at = kHeaderLength; at + kRecordHead + kCheckLength <= j.size();) {
        const std::size_t length = static_cast<std::size_t>(Get(j.data() + at + 8, 4));
        const std::size_t whole = kRecordHead + length;
        if (at + whole + kCheckLength > j.size() || Get(j.data() + at + whole, 8) != Check(j.data() + at, whole)) break;
        records.push_back({static_cast<std::int64_t>(Get(j.data() + at, 8)), j.data() + at + kRecordHead, length});
        at += whole + kCheckLength;
    }
    return true;
}

[[noreturn]] void JournalFails(const std::string& name, const std::string& what, const platform::Outcome& why)
{
    throw JournalError("Cannot " + what + " the journal " + name + " (" + why.Text + ")", why.Why);
}

std::string FolderOf(const std::string& path)
{
    const std::filesystem::path p(path);
    return p.has_parent_path() ? p.parent_path().string() : std::string(".");
}

}  // namespace

std::string JournalNameOf(const std::string& levelPath)
{
    const std::filesystem::path path(levelPath);
    const std::string name = path.filename().string();
    if (name.size() + sizeof ".journal" - 1 <= kMaxFileName) return levelPath + ".journal";
    // Too long with ".journal": a name of its own, the level's name cut short
    // (at a whole character) and a check of the whole name.
    std::size_t keep = 200;
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    const std::string shorter =
        "." + name.substr(0, keep) + "-" + Hex(Check(reinterpret_cast<const std::uint8_t*>(name.data()), name.size())) +
        ".journal";
    return path.has_parent_path() ? (path.parent_path() / shorter).string() : shorter;
}

StepJournal::~StepJournal()
{
    Keep();
}

void StepJournal::Record(std::int64_t endBefore, std::int64_t offset, const std::uint8_t* bytes, std::size_t n)
{
    std::vector<std::uint8_t> out;
    if (!file_.IsOpen()) {
        name_ = JournalNameOf(levelPath_);
        RemoveStaleTemporaryFiles(FolderOf(levelPath_));
        platform::OpenHow how;
        how.Write = true;
        how.Create = platform::Creation::New;
        if (const platform::Outcome made = platform::Open(name_, how, file_); !made.Ok())
            JournalFails(name_, "make", made);
        size_ = 0;
        out.insert(out.end(), kMark, kMark + 4);
        out.push_back(kFormat);
        Put(out, 0, 3);
        Put(out, static_cast<std::uint64_t>(endBefore), 8);
        Put(out, Check(out.data(), out.size()), 8);
    }
    if (n > 0) {
        const std::size_t at = out.size();
        Put(out, static_cast<std::uint64_t>(offset), 8);
        Put(out, n, 4);
        out.insert(out.end(), bytes, bytes + n);
        Put(out, Check(out.data() + at, out.size() - at), 8);
    }
    if (out.empty()) return;  // an append: the length the header holds covers it
    if (const platform::Outcome written = platform::WriteAt(file_, size_, out.data(), out.size()); !written.Ok())
        JournalFails(name_, "write", written);
    if (const platform::Outcome synced = platform::Sync(file_); !synced.Ok()) JournalFails(name_, "write", synced);
    size_ += static_cast<std::int64_t>(out.size());
}

void StepJournal::Finish()
{
    if (!file_.IsOpen()) return;
    platform::Close(file_);
    const platform::Outcome removed = platform::Remove(name_);
    if (removed.Ok()) return;
    // Emptied, it puts nothing back.
    platform::OpenHow how;
    how.Write = true;
    how.Create = platform::Creation::Truncate;
    platform::File empty;
    if (platform::Open(name_, how, empty).Ok() && platform::Sync(empty).Ok() && platform::Close(empty).Ok()) return;
    throw VantrelError("The change was written, but its journal " + name_ + " could not be removed (" + removed.Text +
                       "): remove it before the level is opened again, or that opening takes the change back.");
}

void StepJournal::Keep()
{
    if (file_.IsOpen()) platform::Close(file_);
}

std::string PutBackMessage(const std::string& shown, const std::string& journal)
{
    return "The level " + shown + " was put back as it was before a change that was cut off (the program making it "
           "was stopped before the change was whole; the journal " + journal + " held what to put back).";
}

std::string CutJournalMessage(const std::string& shown, const std::string& journal)
{
    return "The journal " + journal + " was cut short: the program writing it was stopped before it changed the "
           "level " + shown + ", so the level is as it was; the journal was removed.";
}

std::string NotPutBackMessage(const std::string& shown, const std::string& journal, const std::string& why)
{
    return "The level " + shown + " holds part of a change that was cut off, and it could not be put back (" + why +
           "); the journal " + journal + " keeps what to put back, and the next opening of the level tries again.";
}

JournalRollBack RollBackJournalOf(WritableFile& level, const std::string& journal, const std::string& shown)
{
    JournalRollBack result;
    platform::FileInfo info;
    if (platform::Look(journal, info, false).Why == platform::Failure::NotFound) return result;
    if (info.Size == 0) {
        // Emptied after its step was whole (it could not be removed), or made
        // by a step stopped before it wrote anything: nothing to put back.
        platform::Remove(journal);
        return result;
    }
    result.Found = true;
    const auto fail = [&](const std::string& why) {
        result.Message = NotPutBackMessage(shown, journal, why);
        return result;
    };
    try {
        const std::vector<std::uint8_t> bytes = ReadFileToEnd(journal);
        std::int64_t endBefore = 0;
        std::vector<Record> records;
        if (!Parse(bytes, endBefore, records)) {
            // Cut inside its header: the program was stopped while writing the
            // journal, before the level's first write, so the level is as it was.
            result.Message = CutJournalMessage(shown, journal);
        } else {
            for (auto it = records.rbegin(); it != records.rend(); ++it) {
                level.Seek(it->Offset);
                level.Write(it->Bytes, it->Length);
            }
            if (level.Size() > endBefore) level.Truncate(endBefore);
            level.Sync();
            result.Message = PutBackMessage(shown, journal);
        }
    } catch (const VantrelError& e) {
        return fail(e.what());
    }
    const platform::Outcome removed = platform::Remove(journal);
    if (!removed.Ok()) {
        platform::OpenHow how;
        how.Write = true;
        how.Create = platform::Creation::Truncate;
        platform::File empty;
        if (!platform::Open(journal, how, empty).Ok()) return fail("the journal cannot be removed: " + removed.Text);
        platform::Close(empty);
    }
    result.PutBack = true;
    return result;
}

JournalRollBack RollBackJournal(const std::string& levelPath, const std::string& shown, long lockWaitMs)
{
    JournalRollBack result;
    const std::string journal = JournalNameOf(levelPath);
    platform::FileInfo info;
    if (platform::Look(journal, info, false).Why == platform::Failure::NotFound) return result;
    try {
        DiskFile level(levelPath, DiskFile::Mode::ReadWrite);
        LockLevelFile(level, std::chrono::milliseconds(lockWaitMs), shown);
        result = RollBackJournalOf(level, journal, shown);  // looked at again under the lock
        level.Close();
    } catch (const VantrelError& e) {
        result.Found = true;
        result.PutBack = false;
        result.Message = NotPutBackMessage(shown, journal, e.what());
    }
    return result;
}

}  // namespace vantrel
