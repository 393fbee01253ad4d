#include "format/GameRead.h"

#include "base/Bytes.h"
#include "base/Elements.h"
#include "format/RecordLayouts.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <map>
#include <set>

namespace vantrel {

namespace {

constexpr int kFileElements = 1597;    // codes from here on do not exist; the game reads them as "unknown"
constexpr int kUnknownElement = 656;
constexpr std::uint32_t kVersion12 = 0x01020000, kVersion20 = 0x02000000;
constexpr std::uint32_t kCurrentVersion = 0x03000000;

// The tokens (1..63) the game knows in each size class of a chunk's entries,
// how long the lists of the multi-byte ones may be, and which hold element
// codes: taken from the tables of the entries (format/RecordLayouts.h).
struct EntryKeys {
    std::array<std::uint64_t, 4> Tokens{};        // size class 0..3, a bit a token
    std::map<int, std::pair<int, int>> Lists;     // multi-byte token: bytes an entity, most entities
    std::set<int> Elements;                       // keys whose values are element codes
    bool Knows(int key) const { return (Tokens[static_cast<std::size_t>(EntrySizeClass(key))] >> EntryToken(key)) & 1; }
};

template <std::size_t N>
EntryKeys KeysOf(const std::array<EntryKey, N>& table)
{
    EntryKeys k;
    for (const EntryKey& e : table) {
        k.Tokens[static_cast<std::size_t>(e.SizeClass())] |= 1ull << e.Token();
        if (e.SizeClass() == kCountedSizeClass) k.Lists[e.Token()] = {EntityBytes(e.Type), e.Most};
        if (e.HoldsElements()) k.Elements.insert(e.Key);
    }
    return k;
}

template <std::size_t N>
void AddTokens(EntryKeys& keys, std::size_t sizeClass, const std::array<TokenRange, N>& ranges)
{
    for (const TokenRange& r : ranges)
        for (int t = r.From; t <= r.To; ++t) keys.Tokens[sizeClass] |= 1ull << t;
}

const EntryKeys& InfoKeys()
{
    static const EntryKeys k = [] {
        EntryKeys keys;
        AddTokens(keys, 0, kInfoBytes);
        AddTokens(keys, 1, kInfoWords);
        AddTokens(keys, 2, kInfoLongs);
        return keys;
    }();
    return k;
}
const EntryKeys& CusxBaseKeys()
{
    static const EntryKeys k = KeysOf(CusxBaseKey::All);
    return k;
}
const EntryKeys& CusxPageKeys()
{
    static const EntryKeys k = KeysOf(CusxPageKey::All);
    return k;
}
const EntryKeys& GrpxKeys()
{
    static const EntryKeys k = KeysOf(GrpxKey::All);
    return k;
}
const EntryKeys& NoteKeys()
{
    static const EntryKeys k = KeysOf(NoteKey::All);
    return k;
}
const EntryKeys& EmpxKeys()
{
    static const EntryKeys k = KeysOf(EmpxKey::All);
    return k;
}

int MappedCode(int code)
{
    switch (code) {
    case 8: return 80;    // the old player
    case 5: return 32;    // the old key
    case 119: return 616;
    case 207: return 617;
    case 208: return 618;
    case 209: return 619;
    case 296: return 620;  // the old envelope
    case 210: return 0;    // Supaplex empty space
    default: return code >= kFileElements ? kUnknownElement : code;
    }
}

std::string Num(std::int64_t v) { return std::to_string(v); }

constexpr char kNoChunks[] = "are not read by the game: a level of file version 1.0 holds no chunks";

class GameWalk {
public:
    GameWalk(const std::uint8_t* bytes, std::size_t size) : b_(bytes), size_(static_cast<std::int64_t>(size)) {}

    GameReading Run()
    {
        if (!Signature()) {
            Find(0, "not a level file: it begins neither with \"RND1\" and \"CAVE\" nor with the cookie of a level "
                    "file; the game does not read it",
                 1);
            return std::move(r_);
        }
        r_.IsLevel = true;
        if (fileVersion_ < kVersion12) {
            const std::int64_t head = pos_;
            Head();
            BodyCells("BODY", head + kHeadLength, static_cast<std::int64_t>(width_) * height_);
            // Nothing after the map is read: chunks appended there are lost to the game.
            r_.StopsAt = pos_;
            if (pos_ < size_) Note(pos_, Num(size_ - pos_) + " bytes after the map " + kNoChunks);
        } else {
            Chunks();
        }
        MissedCes();
        FlushCodes();
        return std::move(r_);
    }

private:
    // --- reads as the game's: past the end they yield -1 and mark the end ---
    int Get8()
    {
        if (pos_ >= size_) {
            eof_ = true;
            return -1;
        }
        return b_[pos_++];
    }
    int Get16()
    {
        const int a = Get8(), c = Get8();
        return a < 0 || c < 0 ? -1 : (a << 8 | c);
    }
    std::int32_t Get32()
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const int c = Get8();
            if (c < 0) return -1;
            v = v << 8 | static_cast<std::uint32_t>(c);
        }
        return static_cast<std::int32_t>(v);
    }
    void Skip(std::uint32_t n)
    {
        const std::int64_t left = size_ - pos_;
        if (static_cast<std::int64_t>(n) > left) {
            pos_ = size_;
            eof_ = true;
        } else {
            pos_ += n;
        }
    }

    void Find(std::int64_t at, std::string text, int warnings = 0)
    {
        r_.Findings.push_back({at, std::move(text), warnings, false});
    }
    void Note(std::int64_t at, std::string text) { r_.Findings.push_back({at, std::move(text), 0, true}); }

    // An element code as the game reads it: codes it replaces are noted once
    // a chunk and code, codes that do not exist are warned about each time.
    int Element(int code, std::int64_t at)
    {
        if (code < 0) return code;
        const int mapped = MappedCode(code);
        if (mapped != code) {
            auto& seen = codes_[{chunk_, code}];
            if (seen.Count++ == 0) seen.First = at;
        }
        return mapped;
    }
    void FlushCodes()
    {
        for (const auto& [key, seen] : codes_) {
            const int code = key.second;
            const int mapped = MappedCode(code);
            std::string text = key.first + " holds the code " + Num(code) + (seen.Count == 1 ? " once" : " " + Num(seen.Count) + " times") +
                               ": the game reads it as " + Num(mapped);
            if (code >= kFileElements) {
                Find(seen.First, text + " (unknown): codes end at " + Num(kFileElements - 1), seen.Count);
            } else {
                Note(seen.First, text);
            }
        }
        std::stable_sort(r_.Findings.begin(), r_.Findings.end(),
                  [](const GameFinding& a, const GameFinding& b) { return a.Offset < b.Offset; });
    }

    bool Signature()
    {
        if (size_ >= kFirstChunkPos && std::memcmp(b_, kRnd1Signature.data(), kRnd1SignatureLength) == 0) {
            if (std::memcmp(b_ + kVersChunkPos, kCaveVers.data(), kChunkNameLength) != 0) return false;
            pos_ = kFirstChunkPos;
            fileVersion_ = kCurrentVersion;
            return true;
        }
        // The cookie line: "ROCKSNDIAMONDS_LEVEL_FILE_VERSION_x.y" up to its line feed.
        const std::int64_t n = kCookieLength;
        if (size_ < n + kCookieVersionLength || std::memcmp(b_, kCookie.data(), kCookie.size()) != 0) return false;
        std::int64_t end = n;
        while (end < size_ && end < 1024 && b_[end] != '\n') ++end;
        const std::string version(reinterpret_cast<const char*>(b_) + n, static_cast<std::size_t>(end - n));
        if (version.size() != kCookieVersionLength || version[1] != '.' || version[0] < '0' || version[0] > '9' || version[2] < '0' ||
            version[2] > '9')
            return false;
        fileVersion_ = static_cast<std::uint32_t>(version[0] - '0') << 24 | static_cast<std::uint32_t>(version[2] - '0') << 16;
        pos_ = std::min(size_, end + 1);
        chunksStart_ = pos_;
        return true;
    }

    void Chunks()
    {
        while (true) {
            const std::int64_t p = pos_;
            char name[5] = {};
            int k = 0;
            while (k < kChunkNameLength) {
                const int c = Get8();
                if (c < 0) break;
                name[k++] = static_cast<char>(c);
                if (c == '\n') break;
            }
            if (k == 0) break;
            const std::int32_t size = Get32();
            if (eof_) {
                Note(p, Num(size_ - p) + " bytes at the end are no whole chunk header: the game does not read them");
                break;
            }
            chunk_ = std::string(name, strnlen(name, kChunkNameLength));
            read_.insert(p);
            const bool goOn = Chunk(p, size);
            nextOf_[p] = pos_;
            PastTheEnd(p, size);
            if (!goOn) {
                r_.StopsAt = p;
                break;
            }
        }
    }

    // A chunk whose stated length runs past the end of the file (HEAD: the
    // header's whole length, which the game reads whatever its size field
    // says): the level is cut short, whatever the game then makes of it.
    void PastTheEnd(std::int64_t p, std::int32_t size)
    {
        const std::int64_t data = p + kChunkHeaderLength;
        const auto stated = static_cast<std::int64_t>(static_cast<std::uint32_t>(size));
        const bool head = chunk_ == ChunkKindOf(ChunkId::Head).Name && stated == kHeadStatedSize;
        const std::int64_t length = head ? kHeadLength : stated;
        if (data + length > size_)
            Find(p, chunk_ + " chunk " + (head ? "takes " : "states ") + Num(length) + " bytes, but the file ends " +
                        Num(size_ - data) + " bytes into it: the level is cut short and the game reads past the end of the file");
    }

    // One chunk, by the table of chunk kinds; false when the game stops
    // reading the file at it.
    bool Chunk(std::int64_t p, std::int32_t size)
    {
        const ChunkKind* kind = FindChunkKind(chunk_);
        if (!kind) {
            Find(p, "unknown chunk \"" + chunk_ + "\" of " + Num(size) + " bytes: the game skips it", 1);
            Skip(static_cast<std::uint32_t>(size));
            return true;
        }
        if (kind->Game == GameLength::Fixed && kind->GameSize != size) {
            Find(p, chunk_ + " chunk of " + Num(size) + " bytes where the game reads " + Num(kind->GameSize) +
                        ": the game skips it",
                 1);
            Skip(static_cast<std::uint32_t>(size));
            return true;
        }
        const std::int64_t expected = Load(*kind, p, size);
        if (expected < 0) return false;  // the loader told why
        if (expected != size) {
            Find(p, chunk_ + " chunk of " + Num(size) + " bytes, but its contents take " + Num(expected) +
                        ": the game stops reading the level here",
                 1);
            return false;
        }
        return true;
    }

    std::int64_t Load(const ChunkKind& kind, std::int64_t p, std::int32_t size)
    {
        const std::int64_t data = p + kChunkHeaderLength;
        switch (kind.Id) {
        case ChunkId::Vers:
            fileVersion_ = static_cast<std::uint32_t>(Get32());
            Get32();
            break;
        case ChunkId::Date:
        case ChunkId::Name:
        case ChunkId::Auth: Skip(static_cast<std::uint32_t>(size)); break;
        case ChunkId::Cnt2: Cnt2(data); break;
        case ChunkId::Head: Head(); break;
        case ChunkId::Info: return Entries(size, 0, InfoKeys(), Part::Info);
        case ChunkId::Body: {
            const std::int64_t expected =
                static_cast<std::int64_t>(width_) * height_ * (wide_ && fileVersion_ >= kVersion20 ? 2 : 1);
            if (expected != size) {
                Skip(static_cast<std::uint32_t>(size));
                return expected;
            }
            BodyCells("BODY", data, static_cast<std::int64_t>(width_) * height_);
            break;
        }
        case ChunkId::Cont: {
            const std::int64_t expected = kContHeaderLength + kContCells * (wide_ && fileVersion_ >= kVersion20 ? 2 : 1);
            Skip(static_cast<std::uint32_t>(size));
            if (expected != size) return expected;
            break;
        }
        case ChunkId::Cnt3: {
            Get16();
            const int length = Get16();
            Skip(kCnt3HeaderLength - 2 * kCode);  // after the code and the text's length
            const std::int64_t expected = kCnt3HeaderLength + length;
            if (expected != size) {
                Skip(static_cast<std::uint32_t>(size - kCnt3HeaderLength));
                return expected;
            }
            Skip(static_cast<std::uint32_t>(length));
            break;
        }
        case ChunkId::Cus1:
        case ChunkId::Cus2:
        case ChunkId::Cus3: return OldCes(kind, size);
        case ChunkId::Cus4: return Cus4(p, size);
        case ChunkId::Grp1: {
            const int element = Element(Get16(), data);
            if (element < kFirstGroupCode || element > kLastGroupCode) {
                Find(p, "GRP1 chunk names the element " + Num(element) + ", which is no group element: the game skips it", 1);
                Skip(static_cast<std::uint32_t>(size - kCode));
                return size;
            }
            Skip(kGrp1Length - kCode);
            break;
        }
        case ChunkId::Conf:
        case ChunkId::Elem: return Entries(size, 0, EntryKeys{}, Part::Coded);
        case ChunkId::Note:
            Get16();
            return Entries(size, kCode, NoteKeys(), Part::Plain);
        case ChunkId::Cusx: return Cusx(p, size);
        case ChunkId::Grpx: {
            const int element = Element(Get16(), data);
            if (element < kFirstGroupCode || element > kLastGroupCode) {
                Find(p, "GRPX chunk names the element " + Num(element) +
                            ", which is no group element: the game stops reading the level here",
                     1);
                return -1;
            }
            return Entries(size, kCode, GrpxKeys(), Part::Plain);
        }
        case ChunkId::Empx:
            Element(Get16(), data);
            return Entries(size, kCode, EmpxKeys(), Part::Plain);
        }
        return size;
    }

    // CNT2: every code as the game reads it, and the element it is for.
    void Cnt2(std::int64_t data)
    {
        const int element = Element(Get16(), data);
        for (int k = 0; k < Cnt2Field::Contents.Codes(); ++k) {
            const std::int64_t at = data + Cnt2Field::Contents.Offset + k * kCode;
            pos_ = std::min(at, size_);
            Element(Get16(), at);
        }
        Past(data + kCnt2Length);
        if (element != kCnt2YamYamCode && element != kCnt2AmoebaCode)
            Find(data - kChunkHeaderLength, "CNT2 chunk holds contents for the element " + Num(element) +
                                                ", which has none: the game warns that it cannot load them",
                 1);
    }

    // CUS1, CUS2 and CUS3: a count, then as many parts of a fixed length, each
    // beginning with a custom element's code.
    std::int64_t OldCes(const ChunkKind& kind, std::int32_t size)
    {
        const int part = kind.Id == ChunkId::Cus1 ? kCus1PartLength : kind.Id == ChunkId::Cus2 ? kCus2PartLength : kCus3PartLength;
        const int n = Get16();
        const std::int64_t expected = kCode + static_cast<std::int64_t>(n) * part;
        if (expected != size) {
            Skip(static_cast<std::uint32_t>(size - kCode));
            return expected;
        }
        for (int i = 0; i < n; ++i) {
            const std::int64_t at = pos_;
            const int element = Element(Get16(), at);
            if (!IsCeCode(static_cast<std::uint16_t>(element)) || element < 0)
                Find(at, chunk_ + " entry names the element " + Num(element) + ", which is no custom element: the game skips it",
                     1);
            Skip(static_cast<std::uint32_t>(part - kCode));
        }
        return size;
    }

    // The HEAD data, field by field: 112 bytes, whatever the chunk states.
    void Head()
    {
        const std::int64_t d = pos_;
        width_ = At(d, HeadField::Width);
        height_ = At(d, HeadField::Height);
        for (const int offset : kHeadElementCodes)
            if (d + offset < size_) Element(b_[d + offset], d + offset);
        wide_ = At(d, HeadField::Wide16) == 1;
        if (At(d, HeadField::UseTemplate) == 1) Template(d + HeadField::UseTemplate.Offset);
        Past(d + kHeadLength);
    }

    // A number field of the record at record as the game reads it: -1 when
    // it runs past the end of the file.
    int At(std::int64_t record, RecordField f) const
    {
        if (record + f.End() > size_) return -1;
        return static_cast<int>(ReadBigEndian(b_ + record + f.Offset, f.Width));
    }
    // Reads on to end, as the game's reads do: at the end of the file at most.
    void Past(std::int64_t end)
    {
        if (end > size_) {
            pos_ = size_;
            eof_ = true;
        } else {
            pos_ = std::max(pos_, end);
        }
    }

    void Template(std::int64_t at)
    {
        Note(at, "the level uses the levelset's custom element template: when played, the game takes its custom "
                 "elements from the levelset's template.level, not from this file");
    }

    void BodyCells(const char* name, std::int64_t at, std::int64_t cells)
    {
        chunk_ = name;
        std::int64_t missing = 0;
        for (std::int64_t i = 0; i < cells; ++i) {
            const std::int64_t cellAt = pos_;
            const int code = wide_ ? Get16() : Get8();
            if (code < 0) {
                ++missing;
                continue;
            }
            Element(code, cellAt);
        }
        if (missing > 0)
            Find(at, "the map of " + Num(width_) + "x" + Num(height_) + " cells is cut short by the end of the file: " +
                         Num(missing) + " cells are missing, and the game reads them as nothing");
    }

    // What an entry may set besides its value.
    enum class Part { Plain, Info, Coded, CusxBase, CusxPage };

    // Entries of the newer chunks until they fill the chunk (or, in a CUSX
    // chunk's base part, until the page count); what they take in all.
    std::int64_t Entries(std::int32_t size, std::int64_t already, const EntryKeys& keys, Part part)
    {
        std::int64_t real = already;
        while (!eof_) {
            if (part == Part::Coded) {
                Get16();  // the element the entry is for
                real += kCode;
            }
            real += Entry(keys, part);
            if (part == Part::CusxBase && pages_ != -1) break;
            if (real >= size) break;
        }
        return real;
    }

    // One entry; what it takes.
    std::int64_t Entry(const EntryKeys& keys, Part part)
    {
        const std::int64_t at = pos_;
        const int key = Get8();
        if (key < 0) {
            // The game looks for the end of the file only before an entry: in a
            // chunk cut short after a whole entry it reads one more, of key -1 (a
            // counted entry of token 63 and a count of -1), which it cannot load.
            Find(at, chunk_ + " chunk is cut short after a whole entry: the game reads one more from past the end "
                              "of the file and warns that it cannot load it",
                 1);
            return 1 + kEntryCountWidth - 1;
        }
        const int sizeClass = EntrySizeClass(key), token = EntryToken(key);
        const bool anyKey = part == Part::Coded;
        const bool known = anyKey || keys.Knows(key);
        const std::string entry = chunk_ + " entry " + HexText(static_cast<std::uint32_t>(key), 2);
        std::int64_t taken = 1;
        if (sizeClass == kCountedSizeClass) {
            const int count = Get16();  // -1 when the file ends inside it, as the game reads it
            const int n = std::max(count, 0);
            const std::int64_t values = pos_;
            Skip(static_cast<std::uint32_t>(n));
            taken += kEntryCountWidth + count;
            const auto list = keys.Lists.find(token);
            if (!anyKey && list != keys.Lists.end()) {
                const auto [entity, most] = list->second;
                const int entities = n / entity;
                if (entities > most)
                    Find(at, entry + " holds " + Num(entities) + " values where the game keeps " + Num(most) +
                                 ": it drops the rest",
                         1);
                const bool codes = keys.Elements.count(key) != 0;
                if (entities == 0 && codes)
                    Find(at, entry + " holds an empty list: the game keeps one default value", 1);
                if (codes)
                    for (std::int64_t i = 0; i < std::min(entities, most) * entity / kCode && values + kCode * (i + 1) <= size_; ++i)
                        Element(ReadWord(b_ + values + kCode * i), values + kCode * i);
                if (codes && entities > 0 && values + n > size_) r_.UnfilledCodes = true;
            }
            // The entries of CONF and ELEM are the element's own: any list may hold codes.
            if (anyKey && n > 0 && values + n > size_) r_.UnfilledCodes = true;
        } else {
            const int length = EntryValueWidth(key);
            const int value = length == 1 ? Get8() : length == 2 ? Get16() : Get32();
            taken += length;
            // The game takes a two-byte value as signed: a negative code is no element it warns about.
            const int code = length == 2 && value >= 0 ? static_cast<std::int16_t>(value) : value;
            if (known && keys.Elements.count(key) && code >= 0) Element(code, at + 1);
            if (part == Part::Info && key == InfoField::Width.Key) width_ = static_cast<std::int16_t>(value);
            if (part == Part::Info && key == InfoField::Height.Key) height_ = static_cast<std::int16_t>(value);
            if (part == Part::Info && key == InfoField::UseTemplate && value != 0) Template(at);
            if (part == Part::CusxBase && key == CusxBaseKey::PageCount.Key) pages_ = std::max(value, 1);
            if (part == Part::CusxPage && key == CusxPageKey::Index.Key) page_ = value;
        }
        if (!known) Find(at, entry + " is unknown to the game: it skips it", 1);
        return taken;
    }

    std::int64_t Cus4(std::int64_t p, std::int32_t size)
    {
        const std::int64_t record = p + kChunkHeaderLength;
        const int element = Element(At(record, Cus4Field::ElementCode), record);
        if (!IsCeCode(element)) {
            Find(p, "CUS4 chunk names the element " + Num(element) +
                        ", which is no custom element: the game skips it",
                 1);
            Past(record + size);
            return size;
        }
        const int pages = At(record, Cus4Field::ChangePageCount);
        const std::int64_t expected = Cus4RecordLength(pages);
        const std::string ce = "CUS4 chunk for CE " + Num(CeNumberOf(static_cast<std::uint16_t>(element)));
        if (expected != size) {
            Past(record + size);
            Find(p, ce + " states " + Num(size) + " bytes, but its " + Num(pages) + " change pages take " + Num(kCus4RecordLength) + " + " +
                        Num(kCus4PageLength) + " x " +
                        Num(pages) + " = " + Num(expected) + ": the game stops reading the level here",
                 1);
            return -1;
        }
        // Every element code of the record, as the game reads it; with no page, it reads one all the same.
        const auto code = [&](std::int64_t at) {
            if (at + kCode <= size_) Element(ReadWord(b_ + at), at);
        };
        for (const int offset : kCus4ElementCodes)
            if (offset != Cus4Field::ElementCode.Offset) code(record + offset);
        const int read = std::max(pages, 1);
        for (int page = 1; page <= read; ++page)
            for (const int offset : kCus4PageElementCodes) code(record + Cus4PageOffset(page) + offset);
        Past(record + Cus4RecordLength(read));
        if (pages == 0 && r_.StepLostAt < 0) r_.StepLostAt = p;
        if (pages == 0)
            Find(p, ce + " has 0 change pages: the game reads one change page of " + Num(kCus4PageLength) +
                         " bytes from what follows it and goes on at " + Num(record + Cus4RecordLength(1)) +
                         ", out of step with the chunks after it");
        return size;
    }

    std::int64_t Cusx(std::int64_t p, std::int32_t size)
    {
        Element(Get16(), p + kChunkHeaderLength);
        pages_ = -1;
        std::int64_t real = Entries(size, kCode, CusxBaseKeys(), Part::CusxBase);
        if (pages_ == -1) {
            Find(p, "CUSX chunk ends before its number of change pages: the game gives the element one default page",
                 1);
            return real;
        }
        page_ = 0;
        while (!eof_) {
            if (page_ >= pages_) {
                if (real < size)
                    Find(pos_, "CUSX chunk selects the change page " + Num(page_ + 1) + " of " + Num(pages_) +
                                   ": the game reads no further entries of it");
                break;
            }
            real += Entry(CusxPageKeys(), Part::CusxPage);
            if (real >= size) break;
        }
        return real;
    }

    // CUS4 and CUSX chunks, found by the chunks' stated sizes, that the game
    // does not read: after the chunk at which it stops, or out of its step.
    void MissedCes()
    {
        if (fileVersion_ < kVersion12 && chunksStart_ != kFirstChunkPos) return;  // a file of version 1.0 has no chunks
        std::int64_t p = chunksStart_;
        while (p + kChunkHeaderLength <= size_) {
            const ChunkKind* kind =
                FindChunkKind(std::string_view(reinterpret_cast<const char*>(b_ + p), kChunkNameLength));
            const bool ce = kind && kind->CustomElement, cus4 = ce && kind->Id == ChunkId::Cus4;
            const std::int64_t data = p + kChunkHeaderLength;
            if (ce && data + kCode <= size_ && !read_.count(p))
                Find(p, std::string(kind->Name) + " chunk for CE " + Num(ReadWord(b_ + data) - (kFirstCeCode - 1)) +
                            (r_.StopsAt >= 0 && p > r_.StopsAt
                                 ? " lies after the chunk at which the game stops reading (" + Num(r_.StopsAt) + ")"
                                 : " is not where the game reads a chunk") +
                            ": the game will not see it");
            const auto game = nextOf_.find(p);
            std::int64_t next = data + ReadBigEndian(b_ + p + ChunkField::Size.Offset, ChunkField::Size.Width);
            if (game != nextOf_.end() && !cus4 && p != r_.StopsAt) next = game->second;
            if (next <= p || next > size_) break;
            p = next;
        }
    }

    struct Seen {
        int Count = 0;
        std::int64_t First = 0;
    };

    const std::uint8_t* b_;
    std::int64_t size_;
    std::int64_t pos_ = 0;
    bool eof_ = false;
    std::uint32_t fileVersion_ = kCurrentVersion;
    int width_ = InfoField::Width.Default, height_ = InfoField::Height.Default;  // the map's size in cells
    bool wide_ = true;
    int page_ = 0;    // the CUSX change page the entries fill
    int pages_ = -1;  // the CUSX chunk's page count; -1: not read yet
    std::int64_t chunksStart_ = kFirstChunkPos;
    std::map<std::int64_t, std::int64_t> nextOf_;  // where the game went on after each chunk it read
    std::string chunk_;
    std::set<std::int64_t> read_;  // where the game read a chunk header
    std::map<std::pair<std::string, int>, Seen> codes_;
    GameReading r_;
};

}  // namespace

bool GameReading::Clean() const
{
    return std::all_of(Findings.begin(), Findings.end(), [](const GameFinding& f) { return f.Note; });
}

std::int64_t GameReading::LostAt() const
{
    if (StopsAt < 0) return StepLostAt;
    if (StepLostAt < 0) return StopsAt;
    return std::min(StopsAt, StepLostAt);
}

int GameReading::Warnings() const
{
    int n = 0;
    for (const GameFinding& f : Findings) n += f.Warnings;
    return n;
}

int GameElementCode(int code)
{
    return MappedCode(code);
}

GameReading ReadAsTheGame(const std::uint8_t* bytes, std::size_t size)
{
    return GameWalk(bytes, size).Run();
}

std::string GameStopsWarning(const GameReading& reading)
{
    const std::int64_t at = reading.LostAt();
    std::string why = std::string("the bytes after the map ") + kNoChunks;
    for (const GameFinding& f : reading.Findings)
        if (f.Offset == at && !f.Note) {
            why = f.Text;
            break;
        }
    return "The game stops reading this level at offset " + std::to_string(at) + " (" + why +
           "): it will not see custom elements appended after it.";
}

}  // namespace vantrel
