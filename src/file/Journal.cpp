#include "file/Journal.h"

#include "base/Error.h"
#include "file/ByteFile.h"
#include "file/WholeFile.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>

namespace vantrel {

namespace {

// The journal: a header (the mark "VNTJ", the format 2, three zero bytes, the
// level's length before the step and a check of the level's bytes before the
// step, both big-endian, and a check of those 24 bytes), then one record a
// write (its offset, its kind, the lengths of the bytes it replaced and of the
// bytes it writes, those bytes, and a check of them all). A record that is
// cut short or fails its check was never followed by its write, and ends the
// journal. What the step wrote and the check of the level before it tell a
// level our step left half-changed from one another program wrote since (the
// game's editor saves a level over itself): only the first is put back.
// A journal of format 1 (records of the bytes replaced only, no check of the
// level) is put back as it says.
constexpr std::uint8_t kMark[4] = {'V', 'N', 'T', 'J'};
constexpr std::uint8_t kFormat = 2;
constexpr std::uint8_t kFormatWithoutLevelCheck = 1;
constexpr std::size_t kHeaderLength = 32;
constexpr std::size_t kHeaderLengthWithoutLevelCheck = 24;
constexpr std::size_t kRecordHead = 17;               // offset, kind, the two lengths
constexpr std::size_t kRecordHeadWithoutAfter = 12;  // format 1: offset and length
constexpr std::size_t kCheckLength = 8;
constexpr std::size_t kMaxFileName = 255;  // bytes in one name, on the file systems levels live on
constexpr std::uint8_t kWrite = 0, kCut = 1;

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
    bool Cut = false;  // the file was cut to Offset
    const std::uint8_t* Bytes = nullptr;  // the bytes replaced (within the length before the step)
    std::size_t Length = 0;
    const std::uint8_t* After = nullptr;  // the bytes written (format 2)
    std::size_t AfterLength = 0;
};

// What a journal says: the length before the step, the check of the level's
// bytes then (none in a journal of format 1) and its whole records.
struct Parsed {
    std::int64_t EndBefore = 0;
    std::optional<std::uint64_t> LevelCheck;
    std::vector<Record> Records;
};

// False when even the header is not whole (the step wrote nothing yet).
bool Parse(const std::vector<std::uint8_t>& j, Parsed& parsed)
{
    if (j.size() < kHeaderLengthWithoutLevelCheck || !std::equal(kMark, kMark + 4, j.begin())) return false;
    const bool checked = j[4] == kFormat;
    const std::size_t header = checked ? kHeaderLength : kHeaderLengthWithoutLevelCheck;
    if ((!checked && j[4] != kFormatWithoutLevelCheck) || j.size() < header ||
        Get(j.data() + header - kCheckLength, 8) != Check(j.data(), header - kCheckLength))
        return false;
    parsed.EndBefore = static_cast<std::int64_t>(Get(j.data() + 8, 8));
    if (checked) parsed.LevelCheck = Get(j.data() + 16, 8);
    const std::size_t head = checked ? kRecordHead : kRecordHeadWithoutAfter;
    for (std::size_t at = header; at + head + kCheckLength <= j.size();) {
        const std::uint8_t* p = j.data() + at;
        Record r;
        r.Offset = static_cast<std::int64_t>(Get(p, 8));
        if (checked) {
            r.Cut = p[8] == kCut;
            r.Length = static_cast<std::size_t>(Get(p + 9, 4));
            r.AfterLength = static_cast<std::size_t>(Get(p + 13, 4));
        } else {
            r.Length = static_cast<std::size_t>(Get(p + 8, 4));
        }
        const std::size_t whole = head + r.Length + r.AfterLength;
        if (at + whole + kCheckLength > j.size() || Get(p + whole, 8) != Check(p, whole)) break;
        r.Bytes = p + head;
        r.After = r.Bytes + r.Length;
        parsed.Records.push_back(r);
        at += whole + kCheckLength;
    }
    return true;
}

// Whether the level holds what the step began from or a part of the step, and
// nothing another program wrote since: last record first, the bytes each
// write covers are, byte by byte, those it replaced or those it wrote (those
// a cut covers are there as they were, or cut off), and are then put back as
// they were; the level then ends no later than the step made it, and cut to
// its length before the step, it is the bytes the step began from.
bool FitsTheLevel(const WritableFile& level, const Parsed& journal)
{
    if (level.Size() > static_cast<std::int64_t>(kMaxReadToEnd)) return false;
    std::vector<std::uint8_t> bytes = level.ReadAll();
    std::int64_t reached = journal.EndBefore;  // the furthest end the step wrote to
    for (const Record& r : journal.Records)
        if (!r.Cut) reached = std::max(reached, r.Offset + static_cast<std::int64_t>(r.AfterLength));
    if (static_cast<std::int64_t>(bytes.size()) > reached) return false;
    for (auto it = journal.Records.rbegin(); it != journal.Records.rend(); ++it) {
        const Record& r = *it;
        const std::size_t at = static_cast<std::size_t>(r.Offset);
        if (at > kMaxReadToEnd || r.Length > kMaxReadToEnd) return false;
        const std::size_t covered = r.Cut ? r.Length : r.AfterLength;
        for (std::size_t i = 0; i < covered; ++i) {
            const bool replaced = i < r.Length;
            if (at + i >= bytes.size()) {
                if (replaced && !r.Cut) return false;  // a byte the write found is gone
                continue;
            }
            const std::uint8_t b = bytes[at + i];
            if (!(replaced && b == r.Bytes[i]) && (r.Cut || b != r.After[i])) return false;
        }
        if (bytes.size() < at + r.Length) bytes.resize(at + r.Length);
        std::copy(r.Bytes, r.Bytes + r.Length, bytes.begin() + static_cast<std::ptrdiff_t>(at));
    }
    if (static_cast<std::int64_t>(bytes.size()) < journal.EndBefore) return false;
    bytes.resize(static_cast<std::size_t>(journal.EndBefore));
    return Check(bytes.data(), bytes.size()) == *journal.LevelCheck;
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

void StepJournal::Record(std::int64_t endBefore, std::int64_t offset, const std::uint8_t* bytes, std::size_t n,
                         const std::uint8_t* after, std::size_t written, bool cut)
{
    std::vector<std::uint8_t> out;
    if (!file_.IsOpen()) {
        name_ = JournalNameOf(levelPath_);
        // The level as the step found it: no write of the step was made yet.
        std::vector<std::uint8_t> level;
        try {
            level = level_ ? level_->ReadAll() : ReadFileToEnd(levelPath_);
        } catch (const VantrelError& e) {
            JournalFails(name_, "write", {platform::Failure::Other, 0, e.what()});
        }
        level.resize(static_cast<std::size_t>(std::clamp<std::int64_t>(endBefore, 0, static_cast<std::int64_t>(level.size()))));
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
        Put(out, Check(level.data(), level.size()), 8);
        Put(out, Check(out.data(), out.size()), 8);
    }
    const std::size_t at = out.size();
    Put(out, static_cast<std::uint64_t>(offset), 8);
    out.push_back(cut ? kCut : kWrite);
    Put(out, n, 4);
    Put(out, cut ? 0 : written, 4);
    out.insert(out.end(), bytes, bytes + n);
    if (!cut) out.insert(out.end(), after, after + written);
    Put(out, Check(out.data() + at, out.size() - at), 8);
    if (const platform::Outcome wrote = platform::WriteAt(file_, size_, out.data(), out.size()); !wrote.Ok())
        JournalFails(name_, "write", wrote);
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

std::string ChangedSinceMessage(const std::string& shown, const std::string& journal)
{
    return "The journal " + journal + " was left by a change to the level " + shown + " that was cut off, but "
           "another program has written the level since (it holds neither what that change began from nor a part "
           "of it), so the journal was not put back: the level is left as the other program wrote it, and the "
           "journal was removed.";
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
    bool stale = false;
    const auto fail = [&](const std::string& why) {
        result.Message = NotPutBackMessage(shown, journal, why);
        return result;
    };
    try {
        const std::vector<std::uint8_t> bytes = ReadFileToEnd(journal);
        Parsed journalSays;
        const std::vector<Record>& records = journalSays.Records;
        const std::int64_t& endBefore = journalSays.EndBefore;
        if (!Parse(bytes, journalSays)) {
            // Cut inside its header: the program was stopped while writing the
            // journal, before the level's first write, so the level is as it was.
            result.Message = CutJournalMessage(shown, journal);
        } else if (journalSays.LevelCheck && !FitsTheLevel(level, journalSays)) {
            // Another program wrote the level after our step was cut off: its
            // bytes are the level now, and the journal's would damage them.
            result.Message = ChangedSinceMessage(shown, journal);
            stale = true;
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
    result.PutBack = !stale;
    return result;
}

JournalRollBack RollBackJournal(const std::string& levelPath, const std::string& shown, long lockWaitMs)
{
    JournalRollBack result;
    const std::string journal = JournalNameOf(levelPath);
    platform::FileInfo info;
    if (platform::Look(journal, info, false).Why == platform::Failure::NotFound) return result;
    // A level that is gone (deleted or moved) is said to be gone by its
    // opening; its journal stays, and puts nothing into a level made later
    // under that name that does not fit it.
    if (platform::Look(levelPath, info).Why == platform::Failure::NotFound) return result;
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
