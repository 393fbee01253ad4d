#include "level/Loader.h"

#include "base/Bytes.h"
#include "base/Error.h"
#include "base/PathText.h"
#include "file/Journal.h"
#include "file/WholeFile.h"
#include "format/ConfEntries.h"
#include "format/RecordLayouts.h"
#include "level/Restore.h"
#include "platform/Platform.h"

#include <charconv>
#include <cstring>
#include <chrono>
#include <concepts>
#include <filesystem>
#include <limits>
#include <string_view>

namespace vantrel {

namespace {

constexpr std::int64_t kStopScan = -1;

void Append(std::string& line, std::string_view text) { line += text; }

template <std::integral T>
void Append(std::string& line, T number)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    line.append(digits, end);
}

// A text joined from its pieces (texts, and numbers in decimal), in one allocation.
template <typename... Parts>
std::string Line(const Parts&... parts)
{
    std::string line;
    line.reserve(64);
    (Append(line, parts), ...);
    return line;
}

// Moves the memory of an emptied list into another, empty one.
template <typename T>
void Reuse(std::vector<T>& into, std::vector<T>& from)
{
    from.clear();
    into = std::move(from);
}

std::int64_t DefaultTick()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class Loader {
public:
    Loader(OpenLevel& lvl, LoadReport& report, const LoadOptions& options)
        : lvl_(lvl), report_(report), options_(options)
    {
    }

    // Before the file is opened: the previous level is closed and forgotten.
    void Begin(const std::string& path)
    {
        report_.Reset();
        report_.Path = path;
        // The lists of the new index grow in the memory of the last one's.
        ChunkIndex last = lvl_.BeginLoad(path);
        Reuse(ix_.CePositions, last.CePositions);
        Reuse(ix_.CusxPositions, last.CusxPositions);
        Reuse(ix_.CeLines, last.CeLines);
        started_ = Tick();
    }

    // Opens nothing itself: levelFile becomes the open level file (its lock
    // held already when locked), scanned through scan, the bytes of one read
    // of it. recognised runs once the file is known to be a level, before
    // its chunks are walked.
    void Run(std::unique_ptr<WritableFile> levelFile, MemoryFile& scan, bool locked = false,
             const std::function<void()>& recognised = {})
    {
        lvl_.Log().clear();
        lvl_.AttachFile(std::move(levelFile), scan.Size(), locked);
        f_ = &scan;
        bytes_ = scan.Bytes().data();
        const std::int64_t size = f_->Size();
        if (size > std::numeric_limits<std::int32_t>::max())
            throw VantrelError("The file is too large for a level (" + Num(size) + " bytes): " + report_.Path);
        size_ = size;
        ix_.LoadedFileSize = static_cast<std::int32_t>(size);

        const bool level = RecogniseFormat();
        if (level && recognised) recognised();
        if (level && Scan()) {
            ReadMap();
            Finish(true);
        } else {
            Finish(false);
        }
        lvl_.File().Seek(f_->Position());
    }

    // Why the file could be opened for reading only (empty: it is writable).
    void SetReadOnlyReason(std::string reason) { readOnlyReason_ = std::move(reason); }

    // Hands what the load found to the level, whole, once; also after a failure.
    void Commit()
    {
        if (committed_) return;
        committed_ = true;
        lvl_.SetIndex(std::move(ix_));
    }

private:
    std::int64_t Tick() const { return options_.TickMs ? options_.TickMs() : DefaultTick(); }

    void SetCaption(const char* text)
    {
        report_.Caption = text;
        if (options_.OnCaption) options_.OnCaption(report_.Caption);
    }

    void Log(std::string_view line) { lvl_.Log().push_back(line); }
    // A message for the user, shown when the load is over.
    void Tell(std::string text) { report_.Notices.push_back({std::move(text), false}); }
    // A log line from its pieces (texts, and numbers in decimal), written straight into the log.
    template <typename... Parts>
    void LogLine(const Parts&... parts)
    {
        lvl_.Log().Add(parts...);
    }

    // The n characters at p, as ReadFileString reads them (a guard line and
    // empty text when the file is too short), without copying them.
    std::string_view NameAt(std::int64_t p, std::size_t n)
    {
        if (p + static_cast<std::int64_t>(n) > size_) {
            lvl_.Log().push_back(GuardLine(size_, p, n));
            return {};
        }
        return {reinterpret_cast<const char*>(bytes_) + p, n};
    }

    // A number of n bytes inside the file, 0 for bytes that lie outside it.
    std::uint32_t Field(std::int64_t offset, int n)
    {
        if (offset < 0 || offset + n > size_) return 0;
        return ReadBigEndian(bytes_ + offset, n);  // straight from the bytes in memory
    }
    // A field of the record at record.
    std::uint32_t Field(std::int64_t record, RecordField f) { return Field(record + f.Offset, f.Width); }
    // The size the chunk at p states, and where its size field lies (the position a load records).
    std::uint32_t StatedSize(std::int64_t p) { return Field(p, ChunkField::Size); }
    static std::int32_t SizeFieldOf(std::int64_t p) { return static_cast<std::int32_t>(p + ChunkField::Size.Offset); }

    // The signature, then the version: the cookie's three characters or the CAVEVERS chunk.
    bool RecogniseFormat()
    {
        if (size_ == 0) {
            Tell(EmptyFileMessage(report_.Path));
            return false;
        }
        if (ReadFileString(lvl_, kRnd1SignatureLength, *f_, 0) != kRnd1Signature &&
            ReadFileString(lvl_, kCookieLength, *f_, 0) != kCookie) {
            Tell(kRejectMessage);
            return false;
        }
        LogLine("Loading ", report_.Path);
        if (lvl_.ReadOnly() && !options_.ReadOnly) LogLine(kReadOnlyLogLine, " (", readOnlyReason_, ")");
        std::string version;
        if (f_->Position() == kRnd1SignatureLength) {
            f_->Seek(kVersChunkPos);
            Log("RND1 file - checking version");
            version = "CAVEVERS";
        } else {
            version = ReadFileString(lvl_, kCookieVersionLength, *f_);
            LogLine("File version = ", version);
        }
        report_.FileVersion = version;
        if (version == "1.0") {
            ix_.Format = LevelFormat::Cookie10;
            ix_.HeadPos = kOldestHeadPos;
        } else if (version == "1.2") {
            ix_.Format = LevelFormat::Cookie12;
        } else if (version == "1.4") {
            ix_.Format = LevelFormat::Cookie14;
        } else if (version == "CAVEVERS") {
            ix_.Format = LevelFormat::Rnd1;
        } else {
            ix_.Format = LevelFormat::OtherCookie;
        }
        return true;
    }

    // Walks the chunks from the current position to the end of the file.
    // False when the file was refused on the way.
    bool Scan()
    {
        // The scan's position is kept here; the snapshot is left where the scan ends.
        std::int64_t p = f_->Position();
        while (p < size_) {
            std::int64_t next;
            if (ix_.Format == LevelFormat::Cookie10 && p == kCookieSeparatorPos) {
                next = Head(p);
            } else if (ix_.Format == LevelFormat::Cookie10 && p == kOldestBodyPos) {
                next = Body(p);  // in a "1.0" file the map starts here, whatever its bytes spell
            } else {
                next = Dispatch(p);
            }
            if (refused_) return false;
            if (next == kStopScan) break;
            p = next;
        }
        f_->Seek(p);
        // A file of version 3.0 or later without HEAD is read by the newer rules, with or without INFO.
        ix_.Newer = ix_.HeadPos == -1 && (ix_.InfoPos != -1 || newerChunks_);
        if (ix_.Newer && ix_.InfoPos == -1) TakeInfoDefaults();
        if (ix_.HasCusx()) ListCesAsTheGame();
        return true;
    }

    // A level with CUSX chunks lists its custom elements as the game holds
    // them: one line a CE, in CE order, for the last chunk that sets it (a
    // CUS4 appended for CE n stands for CE n), named by the last chunk that
    // carries a name.
    void ListCesAsTheGame()
    {
        struct Ce {
            bool Seen = false;
            ChunkIndex::CeLine Line;
            std::string Name;
        };
        std::vector<Ce> ces(kCeCount + 1);
        for (const ChunkIndex::CeLine& line : ix_.CeLines) {
            int n = 0;
            std::optional<std::string> name;
            if (line.Cusx) {
                const std::int64_t data = ix_.CusxPositions[line.Index];
                const CusxView view = ReadCusx(bytes_, data, data + StatedSize(data - kChunkHeaderLength));  // inside the file: the scan checked
                n = view.CeNumber;
                if (view.NameStored) name = view.Name;
            } else {
                const std::int64_t record = ix_.CePositions[line.Index];
                n = static_cast<int>(Field(record, Cus4Field::ElementCode)) - (kFirstCeCode - 1);
                const std::int64_t from = record + Cus4Field::Name.Offset;
                const std::int64_t end = std::min<std::int64_t>(from + Cus4Field::Name.Width, size_);
                std::string_view text(reinterpret_cast<const char*>(bytes_) + from,
                                      static_cast<std::size_t>(std::max<std::int64_t>(end - from, 0)));
                name = std::string(text.substr(0, text.find('\0')));
            }
            if (n < 1 || n > kCeCount) continue;  // no custom element: the game skips it
            Ce& ce = ces[static_cast<std::size_t>(n)];
            if (!ce.Seen) ce.Name = CusxDefaultName(n);
            ce.Seen = true;
            ce.Line = line;
            if (name) ce.Name = *name;
        }
        ix_.CeLines.clear();
        report_.CeList.clear();
        for (int n = 1; n <= kCeCount; ++n) {
            const Ce& ce = ces[static_cast<std::size_t>(n)];
            if (!ce.Seen) continue;
            ix_.CeLines.push_back(ce.Line);
            report_.CeList.Add(n, ": ", ce.Name);
        }
    }

    // The chunk at p, by the table of chunk kinds: a kind the loader reads
    // (the newer layout's only in files of version 3.0 and later), else a
    // chunk it guesses or a byte it steps over.
    std::int64_t Dispatch(std::int64_t p)
    {
        const std::string_view name = NameAt(p, kChunkNameLength);
        if (name.empty()) return Unlisted(p, name);  // fewer than four bytes are left
        const ChunkKind* kind = FindChunkKind(name);
        if (name == kCaveVers.substr(0, kChunkNameLength) && NameAt(p, kCaveVers.size()) == kCaveVers)
            kind = &ChunkKindOf(ChunkId::Vers);
        else if (kind && kind->Loader == LoaderStep::Version)
            kind = nullptr;  // the version chunk is read only as "CAVEVERS"
        if (!kind || kind->Loader == LoaderStep::None || (kind->Loader == LoaderStep::NewerStated && !newerChunks_))
            return Unlisted(p, name);
        switch (kind->Id) {
        case ChunkId::Vers: return CaveVers(p);
        case ChunkId::Head: return Head(p);
        case ChunkId::Cus4: return Cus4(p);
        case ChunkId::Cont: return Cont(p);
        case ChunkId::Cnt2: return Cnt2(p);
        case ChunkId::Cnt3: return Cnt3(p);
        case ChunkId::Grp1: return Grp1(p);
        case ChunkId::Cus1: return Cus1(p);
        case ChunkId::Auth: return Auth(p);
        case ChunkId::Body: return Body(p);
        case ChunkId::Cus3: return Cus3(p);
        case ChunkId::Cusx: return Cusx(p);  // the game reads it in files of either layout
        case ChunkId::Name: return Name(p);
        case ChunkId::Info: return Info(p);
        case ChunkId::Date:
        case ChunkId::Elem:
        case ChunkId::Note:
        case ChunkId::Grpx:
        case ChunkId::Empx: return Skipped(kind->Name, p);
        case ChunkId::Cus2:
        case ChunkId::Conf: break;
        }
        return Unlisted(p, name);
    }

    std::int64_t Stop(std::string_view name, std::int64_t p, const std::string& why)
    {
        LogLine("Scan stopped: ", name, " at ", p, " ", why);
        report_.ScanStopped = lvl_.Log().back();
        return kStopScan;
    }

    // The chunk's size field, when it lies inside the file.
    std::optional<std::uint32_t> SizeField(std::string_view name, std::int64_t p)
    {
        if (p + kChunkHeaderLength > size_) {
            Stop(name, p, "has no room for its size field before the end of the file (" + Num(size_) + " bytes)");
            return std::nullopt;
        }
        return StatedSize(p);
    }

    // The scan only moves forward and stays inside the file.
    bool CanGo(std::string_view name, std::int64_t p, std::int64_t q)
    {
        if (q <= p) {
            Stop(name, p, "would seek back to " + Num(q));
            return false;
        }
        if (q > size_) {
            if (name == "BODY") bodyMissing_ = q - size_;
            Stop(name, p, "would seek to " + Num(q) + ", past the end of the file (" + Num(size_) + " bytes)");
            return false;
        }
        return true;
    }

    // Logs a handled chunk: its pieces, then " seek to " and where the scan goes on.
    template <typename... Parts>
    std::int64_t Seen(std::int64_t q, const Parts&... parts)
    {
        LogLine(parts..., " seek to ", q);
        return q;
    }

    std::int64_t Head(std::int64_t p)
    {
        std::int64_t q;
        if (ix_.Format == LevelFormat::Cookie10) {
            q = ix_.HeadPos + kDataFromSizeField + kHeadLength;
        } else {
            // The size field says 80, but the header's 112 bytes follow.
            const auto s = SizeField("HEAD", p);
            if (!s) return kStopScan;
            q = p + kChunkHeaderLength + static_cast<std::int64_t>(*s) + (kHeadLength - kHeadStatedSize);
        }
        if (!CanGo("HEAD", p, q)) return kStopScan;
        const std::int32_t headPos = ix_.Format == LevelFormat::Cookie10 ? ix_.HeadPos : SizeFieldOf(p);
        const std::int64_t head = headPos + kDataFromSizeField;
        const unsigned width = Field(head, HeadField::Width), height = Field(head, HeadField::Height);
        if (width > kMaxMapSize || height > kMaxMapSize) return RefuseSize("HEAD", p, width, height);
        ix_.HeadPos = headPos;
        title_ = NameAt(head + HeadField::Title.Offset, HeadField::Title.Width);
        ix_.Wide16 = Field(head, HeadField::Wide16) != 0;
        ix_.MapWidth = static_cast<std::uint8_t>(width);
        ix_.MapHeight = static_cast<std::uint8_t>(height);
        report_.HeaderBoxes = LoadReport::Header{Num(width) + "x" + Num(height),
                                                 static_cast<std::uint16_t>(Field(head, HeadField::Time)),
                                                 static_cast<std::uint16_t>(Field(head, HeadField::Emeralds))};
        return Seen(q, "HEAD at ", p);
    }

    std::int64_t RefuseSize(const char* name, std::int64_t p, std::int64_t width, std::int64_t height)
    {
        refused_ = true;
        LogLine(std::string_view(name), " at ", p, ": map size ", width, "x", height, " refused");
        Tell("Error: Can not open file\nThe map is " + Num(width) + "x" + Num(height) +
                    " cells; a level holds at most " + Num(kMaxMapSize) + "x" + Num(kMaxMapSize) + ".");
        return kStopScan;
    }

    // --- the newer layout ---

    // A chunk of the newer layout: its data follows its header, up to the next chunk.
    std::optional<std::int64_t> NewerChunk(std::string_view name, std::int64_t p)
    {
        const auto s = SizeField(name, p);
        if (!s) return std::nullopt;
        const std::int64_t q = p + kChunkHeaderLength + static_cast<std::int64_t>(*s);
        if (!CanGo(name, p, q)) return std::nullopt;
        return q;
    }

    void LogProblems(std::string_view label, std::int64_t p, const std::vector<std::string>& problems)
    {
        for (const std::string& problem : problems) LogLine(label, " at ", p, ": ", problem);
    }

    std::int64_t Name(std::int64_t p)
    {
        const auto q = NewerChunk("NAME", p);
        if (!q) return kStopScan;
        const std::int64_t size = *q - (p + kChunkHeaderLength);
        Seen(*q, "NAME at ", p);
        if (size != kNameChunkSize) {
            LogLine("NAME at ", p, ": ", size, " bytes instead of ", kNameChunkSize, "; the title is not taken from it");
            return *q;
        }
        ix_.NamePos = SizeFieldOf(p);
        title_ = std::string_view(reinterpret_cast<const char*>(bytes_) + p + kChunkHeaderLength, kNameChunkSize);
        return *q;
    }

    // The level's size, time and emeralds, as entries; a value without an
    // entry keeps what it was (the game's default, or what an earlier HEAD said).
    std::int64_t Info(std::int64_t p)
    {
        const auto q = NewerChunk("INFO", p);
        if (!q) return kStopScan;
        const EntryWalk walk = WalkEntries(bytes_, p + kChunkHeaderLength, *q);
        const bool haveHeader = report_.HeaderBoxes.has_value();
        std::int64_t width = haveHeader ? ix_.MapWidth : InfoField::Width.Default;
        std::int64_t height = haveHeader ? ix_.MapHeight : InfoField::Height.Default;
        std::int64_t time = haveHeader ? static_cast<std::int16_t>(report_.HeaderBoxes->Time) : InfoField::Time.Default;
        std::int64_t emeralds =
            haveHeader ? static_cast<std::int16_t>(report_.HeaderBoxes->Emeralds) : InfoField::Emeralds.Default;
        std::int32_t timePos = -1, emeraldsPos = -1;
        for (const ConfEntry& e : walk.Entries) {
            if (e.Key == InfoField::Width.Key) width = e.Number;
            if (e.Key == InfoField::Height.Key) height = e.Number;
            if (e.Key == InfoField::Time.Key) {
                time = e.Number;
                timePos = static_cast<std::int32_t>(e.ValuePos);
            }
            if (e.Key == InfoField::Emeralds.Key) {
                emeralds = e.Number;
                emeraldsPos = static_cast<std::int32_t>(e.ValuePos);
            }
        }
        if (width < 0 || height < 0 || width > kMaxMapSize || height > kMaxMapSize)
            return RefuseSize("INFO", p, width, height);
        ix_.InfoPos = SizeFieldOf(p);
        ix_.InfoTimePos = timePos;
        ix_.InfoEmeraldsPos = emeraldsPos;
        ix_.MapWidth = static_cast<std::uint8_t>(width);
        ix_.MapHeight = static_cast<std::uint8_t>(height);
        if (ix_.HeadPos == -1) ix_.Wide16 = true;  // only a HEAD says one byte a cell
        report_.HeaderBoxes = LoadReport::Header{Num(width) + "x" + Num(height), static_cast<std::uint16_t>(time),
                                                 static_cast<std::uint16_t>(emeralds)};
        Seen(*q, "INFO at ", p);
        LogProblems("INFO", p, walk.Problems);
        return *q;
    }

    // No INFO chunk in a level of the newer layout: the game reads it with
    // INFO's defaults (its map two bytes a cell, as always in this layout).
    void TakeInfoDefaults()
    {
        constexpr int width = InfoField::Width.Default, height = InfoField::Height.Default;
        ix_.MapWidth = static_cast<std::uint8_t>(width);
        ix_.MapHeight = static_cast<std::uint8_t>(height);
        ix_.Wide16 = true;
        report_.HeaderBoxes = LoadReport::Header{Num(width) + "x" + Num(height), InfoField::Time.Default,
                                                 InfoField::Emeralds.Default};
        LogLine("No INFO chunk: the game's defaults are used: map size ", width, "x", height, ", time left ",
                InfoField::Time.Default, ", emeralds to collect ", InfoField::Emeralds.Default);
    }

    // A chunk that is logged and stepped over.
    std::int64_t Skipped(std::string_view name, std::int64_t p)
    {
        const auto q = NewerChunk(name, p);
        if (!q) return kStopScan;
        return Seen(*q, name, " at ", p);
    }

    // A custom element in entries: listed with its CE number and its name.
    std::int64_t Cusx(std::int64_t p)
    {
        const auto q = NewerChunk("CUSX", p);
        if (!q) return kStopScan;
        const CusxView view = ReadCusx(bytes_, p + kChunkHeaderLength, *q);
        const bool hasCode = p + kChunkHeaderLength + kDataElementCode.End() <= *q;
        const std::string label = hasCode ? Line("CUSX (", view.CeNumber, ")") : std::string("CUSX");
        Seen(*q, label, " at ", p);
        if (hasCode && !IsCeCode(view.Code)) {
            LogLine(label, " at ", p, ": element code ", view.Code, " is not a custom element (",
                     kFirstCeCode, "..", kLastCeCode, "); not listed");
            return *q;
        }
        LogProblems(label, p, view.Problems);
        if (!hasCode) return *q;
        ix_.CeLines.push_back({true, ix_.CusxPositions.size()});
        ix_.CusxPositions.push_back(static_cast<std::int32_t>(p + kChunkHeaderLength));
        report_.CeList.Add(view.CeNumber, ": ", view.Name);
        return *q;
    }

    std::int64_t Cus4(std::int64_t p)
    {
        const std::int64_t record = p + kChunkHeaderLength;
        if (record + Cus4Field::ChangePageCount.End() > size_) {
            ListCe(p);  // cut off by the end of the file: listed all the same
            return Stop("CUS4", p, "runs past the end of the file (" + Num(size_) + " bytes)");
        }
        const std::int64_t q = p + Cus4ChunkLength(static_cast<int>(Field(record, Cus4Field::ChangePageCount)));
        if (!CanGo("CUS4", p, q)) {
            if (q > size_) ListCe(p);
            return kStopScan;
        }
        const unsigned n = ListCe(p);
        return Seen(q, "CUS4 (", n, ") found at ", SizeFieldOf(p));
    }

    // Notes the record position of the CUS4 chunk at p and its CE list line:
    // its CE number and its name, as far as the name lies inside the file. A
    // chunk whose element code does not lie inside the file is not listed.
    unsigned ListCe(std::int64_t p)
    {
        const std::int64_t record = p + kChunkHeaderLength;
        if (record + Cus4Field::ElementCode.End() > size_) return 0;
        ix_.CeLines.push_back({false, ix_.CePositions.size()});
        ix_.CePositions.push_back(static_cast<std::int32_t>(record));
        const std::int64_t nameAt = record + Cus4Field::Name.Offset;
        const std::int64_t nameEnd = std::min<std::int64_t>(record + Cus4Field::Name.End(), size_);
        const std::string_view name(reinterpret_cast<const char*>(bytes_) + nameAt,
                                    static_cast<std::size_t>(nameEnd - nameAt));
        const unsigned n = CeNumberOf(static_cast<std::uint16_t>(Field(record, Cus4Field::ElementCode)));
        report_.CeList.Add(n, ": ", name.substr(0, name.find('\0')));
        return n;
    }

    std::int64_t CaveVers(std::int64_t p)
    {
        if (p != kVersChunkPos) return Stop("CAVEVERS", p, "is a second version chunk; it belongs at offset 8 only");
        if (kVersDataPos + kVersLength > size_) return Stop("CAVEVERS", p, "runs past the end of the file (" + Num(size_) + " bytes)");
        char digits[16];
        PutHex8(digits, Field(kVersDataPos, VersField::FileVersion));
        PutHex8(digits + 8, Field(kVersDataPos, VersField::GameVersion));
        const std::string_view version(digits, sizeof digits);
        report_.FileVersion.emplace(version);
        ix_.FileVersion = Field(kVersDataPos, VersField::FileVersion);
        newerChunks_ = ix_.FileVersion >= kNewerFileVersion;
        const std::int64_t q = kVersDataPos + kVersLength;
        if (!CanGo("CAVEVERS", p, q)) return kStopScan;
        return Seen(q, "CAVEVERS ", version);
    }

    // A chunk whose data is followed by the next one: size field + size + 4.
    // Its log line begins with the label, the chunk's name unless told.
    std::int64_t Plain(const char* name, std::int64_t p, std::int32_t& pos, std::string_view label = {})
    {
        const auto s = SizeField(name, p);
        if (!s) return kStopScan;
        const std::int64_t q = SizeFieldOf(p) + static_cast<std::int64_t>(*s) + kDataFromSizeField;
        if (!CanGo(name, p, q)) return kStopScan;
        pos = SizeFieldOf(p);
        return Seen(q, label.empty() ? std::string_view(name) : label, " at ", p);
    }

    std::int64_t Cont(std::int64_t p)
    {
        if (!ix_.Wide16) return Plain("CONT", p, ix_.ContPos);
        const auto s = SizeField("CONT", p);
        if (!s) return kStopScan;
        const std::int64_t q = SizeFieldOf(p) + 2 * static_cast<std::int64_t>(*s);  // the size field's position, not the data's
        if (!CanGo("CONT", p, q)) return kStopScan;
        ix_.ContPos = SizeFieldOf(p);
        return Seen(q, "CONT at ", p);
    }

    std::int64_t Cnt2(std::int64_t p) { return Plain("CNT2", p, ix_.Cnt2Pos); }
    std::int64_t Auth(std::int64_t p) { return Plain("AUTH", p, ix_.AuthPos); }

    std::int64_t Cus1(std::int64_t p)
    {
        const std::int64_t q = Plain("CUS1", p, ix_.Cus1Pos);
        if (q != kStopScan) Tell(kCus1Message);
        return q;
    }

    std::int64_t Cus3(std::int64_t p)
    {
        const std::int64_t q = Plain("CUS3", p, ix_.Cus3Pos);
        if (q != kStopScan) Tell(kCus3Message);
        return q;
    }

    // CNT3 and GRP1 record their position by element code, within the code's range only.
    template <std::size_t N>
    std::int64_t Indexed(const char* name, std::int64_t p, int offset, std::array<std::int32_t, N>& table)
    {
        const int i = static_cast<int>(Field(p + kChunkHeaderLength, kDataElementCode)) - offset;
        std::int32_t pos = -1;
        const std::int64_t q = Plain(name, p, pos, Line(name, " (", i, ")"));
        if (q != kStopScan && i >= 1 && i < static_cast<int>(N)) table[static_cast<std::size_t>(i)] = pos;
        return q;
    }

    std::int64_t Cnt3(std::int64_t p) { return Indexed("CNT3", p, kFirstEnvelopeCode - 1, ix_.EnvelopePos); }
    std::int64_t Grp1(std::int64_t p) { return Indexed("GRP1", p, kFirstGroupCode - 1, ix_.GroupPos); }

    std::int64_t Body(std::int64_t p)
    {
        if (ix_.Format == LevelFormat::Cookie10) {
            ix_.BodyStart = static_cast<std::int32_t>(p);
            return Seen(size_, "BODY at ", p);
        }
        const auto s = SizeField("BODY", p);
        if (!s) return kStopScan;
        const std::int64_t factor = ix_.Wide16 && ix_.Format != LevelFormat::Rnd1 ? 2 : 1;
        const std::int64_t q = p + kChunkHeaderLength + factor * static_cast<std::int64_t>(*s);
        if (!CanGo("BODY", p, q)) return kStopScan;
        ix_.BodyStart = static_cast<std::int32_t>(p + kChunkHeaderLength);
        ix_.BodySize = static_cast<std::int32_t>(*s);
        return Seen(q, "BODY at ", p);
    }

    // No listed name: a chunk with another name when it starts with a capital
    // letter and its size field fits, else a stray byte to step over.
    std::int64_t Unlisted(std::int64_t p, std::string_view name)
    {
        const std::uint8_t b = static_cast<std::uint8_t>(Field(p, 1));
        if (b >= 'A' && b <= 'Z' && p + kChunkHeaderLength <= size_) {
            const std::uint32_t s = StatedSize(p);
            const std::int64_t q = p + kChunkHeaderLength + static_cast<std::int64_t>(s);
            if (!CanGo(name, p, q)) return kStopScan;
            LogLine(name, " guessed chunk, chunksize = ", s);
            return q;
        }
        LogLine(b, " at ", p);
        return p + 1;
    }

    // After the scan: the author, then the map, read into the grid in one pass.
    void ReadMap()
    {
        SetCaption(kCaptionLoadComplete);
        report_.Author = ix_.AuthPos != -1 ? ReadFileString(lvl_, kAuthChunkSize, *f_, ix_.AuthPos + kDataFromSizeField) : std::string();
        if (ix_.BodyStart == -1 && bodyMissing_ > 0)
            throw VantrelError("The map of this level (BODY chunk) is cut short: " + Num(bodyMissing_) +
                               " bytes are missing at the end of the file, so it cannot be opened: " + report_.Path);
        if (ix_.BodyStart == -1)
            throw VantrelError("This level has no map (BODY chunk), so it cannot be opened: " + report_.Path);
        f_->Seek(ix_.BodyStart);
        SetCaption(kCaptionLoadingMap);

        const int w = ix_.MapWidth, h = ix_.MapHeight;
        const std::size_t cellBytes = ix_.Wide16 ? 2 : 1;
        const std::size_t need = static_cast<std::size_t>(w) * h * cellBytes;
        if (ix_.Newer && ix_.BodySize >= 0) {
            // The map lies inside BODY: a BODY too short for the map is refused, a longer one is told.
            const std::int64_t stated = ix_.BodySize;
            if (stated < static_cast<std::int64_t>(need))
                throw VantrelError("The map (BODY chunk) holds " + Num(stated) + " bytes, but a map of " + Num(w) +
                                   "x" + Num(h) + " cells of two bytes needs " + Num(need) +
                                   ", so the level cannot be opened: " + report_.Path);
            if (stated > static_cast<std::int64_t>(need))
                LogLine("BODY at ", ix_.BodyStart - kChunkHeaderLength, " holds ", stated, " bytes; the map of ", w, "x", h,
                         " cells uses the first ", need);
        }
        if (ix_.BodyStart + static_cast<std::int64_t>(need) > size_)
            throw VantrelError("The map of " + Num(w) + "x" + Num(h) + " cells needs " + Num(need) +
                               " bytes from offset " + Num(ix_.BodyStart) + ", but the file ends at " + Num(size_) +
                               ": " + report_.Path);
        // A map larger than its BODY chunk would lie over the chunks after it, and
        // map edits would overwrite them: such a level is not opened.
        if (ix_.Format != LevelFormat::Cookie10 && ix_.BodyStart >= kChunkHeaderLength) {
            const std::int64_t factor = ix_.Wide16 && ix_.Format != LevelFormat::Rnd1 ? 2 : 1;
            const std::int64_t holds = factor * static_cast<std::int64_t>(StatedSize(ix_.BodyStart - kChunkHeaderLength));
            if (static_cast<std::int64_t>(need) > holds)
                throw VantrelError("The map of " + Num(w) + "x" + Num(h) + " cells needs " + Num(need) +
                                   " bytes, but its BODY chunk holds only " + Num(holds) +
                                   ", so it cannot be opened: " + report_.Path);
        }
        // The grid reads its cells where they lie in the bytes of the file's one read.
        f_->Seek(ix_.BodyStart + static_cast<std::int64_t>(need));
        CellGrid grid(w, h, static_cast<int>(cellBytes), f_->TakeBytes(), static_cast<std::size_t>(ix_.BodyStart));
        bytes_ = nullptr;
        lvl_.SetGrid(std::move(grid));
        report_.ViewPrepared = true;
        SetCaption(kCaptionScrollChange);
    }

    // The end of a completed load or a refused file: title and author, the
    // closing log line, the plain caption.
    void Finish(bool completed)
    {
        report_.TitleAuthorSet = true;
        if (!completed) {
            report_.Rejected = true;
            title_ = {};
            report_.Author.clear();
        }
        report_.Title.assign(title_);
        if (completed && !report_.HeaderBoxes) Log(kNoHeaderLogLine);
        LogLine(size_, " bytes loaded in ", Tick() - started_, " milliseconds");
        SetCaption(lvl_.ReadOnly() && !options_.ReadOnly ? kCaptionReadOnly : kCaption);
        report_.Completed = completed;
        Commit();
        lvl_.SetLoaded(completed);
    }

    OpenLevel& lvl_;
    LoadReport& report_;
    const LoadOptions& options_;
    MemoryFile* f_ = nullptr;  // the bytes of the file's one read
    const std::uint8_t* bytes_ = nullptr;  // the scanned bytes
    std::int64_t size_ = 0;
    std::int64_t started_ = 0;
    bool refused_ = false;
    bool committed_ = false;
    bool newerChunks_ = false;  // the file's version is 3.0 or later: NAME, INFO, CUSX ... are known
    std::int64_t bodyMissing_ = 0;  // the bytes a BODY chunk that runs past the end lacks
    std::string_view title_;  // in the file's bytes, which the grid keeps
    std::string readOnlyReason_;
    ChunkIndex ix_;
};

// Runs a load; a load that did not complete leaves no file open, and the
// level holds the index of what was found before the failure.
template <typename Body>
void Guarded(OpenLevel& lvl, Loader& loader, Body&& body)
{
    try {
        body();
    } catch (...) {
        loader.Commit();
        lvl.CloseLevelFile();
        throw;
    }
    if (!lvl.LevelOpen()) lvl.CloseLevelFile();
}

}  // namespace

std::string MakeBackup(const std::string& path, const std::vector<std::uint8_t>& bytes, unsigned mode)
{
    const std::string backup = BackupNameOf(path);
    platform::FileInfo info;
    if (platform::Look(backup, info, false).Ok()) {
        if (info.Type == platform::Kind::Link && !platform::Look(backup, info).Ok())
            return "the name is taken by a link that leads nowhere";
        return {};  // made at an earlier load, and never overwritten
    }
    // Written whole under a free name, from the bytes just read: the file is
    // read once, and a copy cut short never carries the backup's name.
    try {
        WriteNewWholeFile(backup, bytes, mode);
    } catch (const WholeFileError& e) {
        return e.Reason();
    }
    return {};
}

void LoadReport::Reset()
{
    LoadReport fresh;
    const auto keep = [](auto& into, auto& from) {
        from.clear();
        into = std::move(from);
    };
    keep(fresh.Path, Path);
    keep(fresh.Title, Title);
    keep(fresh.Author, Author);
    keep(fresh.CeList, CeList);
    keep(fresh.Caption, Caption);
    keep(fresh.ScanStopped, ScanStopped);
    *this = std::move(fresh);
}

std::string NoBackupMessage(const std::string& path, const std::string& why)
{
    return "No backup of this level could be made (" + path + ".bak: " + why +
           "). Every change goes straight into the only copy of the level.";
}

bool IsDirectLoadName(const std::string& name)
{
    return !name.empty() && name.front() == '%';
}

std::string DirectLoadPath(const std::string& name)
{
    return IsDirectLoadName(name) ? TextAfter(name, "%") : name;
}

std::string EmptyFileMessage(const std::string& path)
{
    return "Error: Can not open file\nThe file " + path + " is empty (0 bytes): there is no level in it.";
}

std::string MissingLevelMessage(const std::string& path)
{
    return "The level file " + path + " does not exist (deleted, moved or never made), so nothing was read or written.";
}

std::string TooLargeMessage(const std::string& path, std::int64_t size)
{
    return "The file is " + Num(size) + " bytes long, more than any level can be (at most " + Num(kMaxLevelFileSize) +
           " bytes), so it is not opened: " + path;
}

namespace {

// Refuses what is no regular file, or a file larger than any level.
void CheckLevelFile(const FileLook& look, const std::string& shown)
{
    if (look.OtherKind)
        throw VantrelError(std::string("This is not a regular file (it is ") + look.OtherKind +
                           "), so it cannot be opened as a level: " + shown);
    if (look.Size > kMaxLevelFileSize) throw VantrelError(TooLargeMessage(shown, look.Size));
}

// The name as the log and the messages show it: the full path. A full path
// is the name itself; a relative one is made full in storage.
const std::string& FullPath(const std::string& name, std::string& storage)
{
    if (!name.empty() && (name.front() == '/' || PathOf(name).is_absolute())) return name;
    std::error_code noPath;
    const std::filesystem::path full = std::filesystem::absolute(PathOf(name), noPath);
    if (noPath) return name;
    storage = full.string();
    return storage;
}

}  // namespace

void LoadLevel(OpenLevel& lvl, const std::string& givenPath, LoadReport& report, const LoadOptions& options)
{
    // The level is shown by its full path (the log and the messages name it);
    // the file is opened, checked and backed up by the name given, which
    // works in a folder whose full path is too long for the system.
    std::string fullPath;
    const std::string& path = FullPath(givenPath, fullPath);
    Loader loader(lvl, report, options);
    Guarded(lvl, loader, [&] {
        loader.Begin(path);
        // A change cut off in the middle (the program making it was stopped)
        // is taken back before the level is read, and the user is told.
        if (const JournalRollBack back = RollBackJournal(givenPath, path, static_cast<long>(lvl.LockWait().count()));
            back.Found)
            report.Notices.push_back({back.Message, !back.PutBack});
        {
            const std::filesystem::path given(givenPath);
            RemoveStaleTemporaryFiles(given.has_parent_path() ? given.parent_path().string() : std::string("."));
        }
        // The file is looked at once it is open (the open does not wait on a
        // named pipe), and nothing is read from what is no level file. When
        // the name cannot be opened, what it names may say why.
        std::string readOnlyReason;
        std::unique_ptr<DiskFile> file;
        try {
            file = options.ReadOnly ? std::make_unique<DiskFile>(givenPath, DiskFile::Mode::ReadOnly)
                                    : OpenLevelFile(givenPath, readOnlyReason);
        } catch (const VantrelError&) {
            FileLook named;
            if (LookAt(givenPath, named)) CheckLevelFile(named, path);
            platform::FileInfo info;
            if (platform::Look(givenPath, info, false).Why == platform::Failure::NotFound)
                throw VantrelError(MissingLevelMessage(path));
            throw;
        }
        // A command's read, checks and writes under one lock on the file, taken
        // before the file is looked at (another writer may be making it longer).
        const bool locked = options.Locked && !options.ReadOnly && readOnlyReason.empty();
        if (locked && file->Look().OtherKind == nullptr) LockLevelFile(*file, lvl.LockWait(), path);
        const FileLook look = file->Look();
        CheckLevelFile(look, path);
        // The scan reads the bytes of one read of the file, into the buffer of an earlier load.
        std::vector<std::uint8_t> bytes = lvl.TakeReadBuffer();
        file->ReadAll(bytes, look.Size);
        MemoryFile snapshot(path, std::move(bytes));
        // A level that may not be written gets no backup: it cannot change.
        // Nor does a file before it is known to be a level.
        std::string noBackup;
        const auto backUp = [&] {
            if (!readOnlyReason.empty() || options.ReadOnly || lvl.BackupKnown(givenPath, look)) return;
            noBackup = MakeBackup(givenPath, snapshot.Bytes(), look.Mode);
            if (noBackup.empty()) lvl.NoteBackup(givenPath, look);
        };
        loader.SetReadOnlyReason(readOnlyReason);
        loader.Run(std::move(file), snapshot, locked, backUp);
        if (!noBackup.empty() && report.Completed) report.Notices.push_back({NoBackupMessage(path, noBackup), true});
    });
}

void LoadLevelFrom(OpenLevel& lvl, std::unique_ptr<WritableFile> file, LoadReport& report, const LoadOptions& options)
{
    Loader loader(lvl, report, options);
    Guarded(lvl, loader, [&] {
        loader.Begin(file->Name());
        MemoryFile snapshot(file->Name(), file->ReadAll());
        loader.Run(std::move(file), snapshot);
    });
}

}  // namespace vantrel
