#include "level/GameRead.h"

#include "base/Bytes.h"
#include "base/Elements.h"
#include "base/RecordLayouts.h"

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
// how long the lists of the multi-byte ones may be, and which hold element codes.
struct EntryKeys {
    std::array<std::uint64_t, 4> Tokens{};        // size class 0..3, a bit a token
    std::map<int, std::pair<int, int>> Lists;     // multi-byte token: bytes an entity, most entities
    std::set<int> Elements;                       // keys whose values are element codes
    bool Knows(int key) const { return (Tokens[static_cast<std::size_t>(key >> 6)] >> (key & 0x3F)) & 1; }
};

using Ranges = std::initializer_list<std::pair<int, int>>;

EntryKeys Keys(Ranges u8, Ranges s16, Ranges s32, std::map<int, std::pair<int, int>> lists = {},
               std::set<int> elements = {})
{
    EntryKeys k;
    std::size_t sizeClass = 0;
    for (const Ranges& ranges : {u8, s16, s32}) {
        for (const auto& [from, to] : ranges)
            for (int t = from; t <= to; ++t) k.Tokens[sizeClass] |= 1ull << t;
        ++sizeClass;
    }
    for (const auto& [t, _] : lists) k.Tokens[3] |= 1ull << t;
    k.Lists = std::move(lists);
    k.Elements = std::move(elements);
    return k;
}

constexpr int kString = 1, kElementList = 2, kContentList = 18;

const EntryKeys& InfoKeys()
{
    static const EntryKeys k =
        Keys({{1, 2}, {4, 34}}, {{1, 6}}, {{1, 2}, {4, 19}});
    return k;
}
const EntryKeys& CusxBaseKeys()
{
    static const EntryKeys k = Keys({{1, 9}}, {{1, 17}}, {{1, 3}},
                                          {{1, {kString, 32}}, {2, {kContentList, 1}}}, {0x41, 0x4C, 0x4D, 0xC2});
    return k;
}
const EntryKeys& CusxPageKeys()
{
    static const EntryKeys k = Keys({{1, 4}, {6, 14}}, {{1, 7}}, {{1, 3}},
                                          {{1, {kContentList, 1}}}, {0x41, 0x45, 0x47, 0xC1});
    return k;
}
const EntryKeys& GrpxKeys()
{
    static const EntryKeys k = Keys({{1, 2}}, {{1, 1}}, {},
                                          {{1, {kString, 32}}, {2, {kElementList, 16}}}, {0x41, 0xC2});
    return k;
}
const EntryKeys& NoteKeys()
{
    static const EntryKeys k = Keys({{1, 4}}, {}, {}, {{1, {kString, 600}}});
    return k;
}
const EntryKeys& EmpxKeys()
{
    static const EntryKeys k = Keys({{1, 1}}, {{1, 1}}, {}, {}, {0x41});
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
        std::sort(r_.Findings.begin(), r_.Findings.end(),
                  [](const GameFinding& a, const GameFinding& b) { return a.Offset < b.Offset; });
    }

    bool Signature()
    {
        if (size_ >= 12 && std::memcmp(b_, "RND1", 4) == 0) {
            if (std::memcmp(b_ + 8, "CAVE", 4) != 0) return false;
            pos_ = 12;
            fileVersion_ = kCurrentVersion;
            return true;
        }
        // The cookie line: "ROCKSNDIAMONDS_LEVEL_FILE_VERSION_x.y" up to its line feed.
        static constexpr char kCookie[] = "ROCKSNDIAMONDS_LEVEL_FILE_VERSION_";
        const std::int64_t n = sizeof kCookie - 1;
        if (size_ < n + 3 || std::memcmp(b_, kCookie, static_cast<std::size_t>(n)) != 0) return false;
        std::int64_t end = n;
        while (end < size_ && end < 1024 && b_[end] != '\n') ++end;
        const std::string version(reinterpret_cast<const char*>(b_) + n, static_cast<std::size_t>(end - n));
        if (version.size() != 3 || version[1] != '.' || version[0] < '0' || version[0] > '9' || version[2] < '0' ||
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
            while (k < 4) {
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
            chunk_ = std::string(name, strnlen(name, 4));
            read_.insert(p);
            const bool goOn = Chunk(p, size);
            nextOf_[p] = pos_;
            if (!goOn) {
                r_.StopsAt = p;
                break;
            }
        }
    }

    // One chunk; false when the game stops reading the file at it.
    bool Chunk(std::int64_t p, std::int32_t size)
    {
        static const std::map<std::string, int> fixed = {{"VERS", kVersLength}, {"DATE", 4}, {"HEAD", kHeadStatedSize},
                                                        {"NAME", kNameChunkSize}, {"AUTH", kAuthChunkSize}, {"CNT2", 160}};
        static const std::set<std::string> variable = {"INFO", "BODY", "CONT", "CNT3", "CUS1", "CUS2", "CUS3",
                                                       "CUS4", "GRP1", "CONF", "ELEM", "NOTE", "CUSX", "GRPX",
                                                       "EMPX"};
        const auto f = fixed.find(chunk_);
        if (f == fixed.end() && !variable.count(chunk_)) {
            Find(p, "unknown chunk \"" + chunk_ + "\" of " + Num(size) + " bytes: the game skips it", 1);
            Skip(static_cast<std::uint32_t>(size));
            return true;
        }
        if (f != fixed.end() && f->second != size) {
            Find(p, chunk_ + " chunk of " + Num(size) + " bytes where the game reads " + Num(f->second) +
                        ": the game skips it",
                 1);
            Skip(static_cast<std::uint32_t>(size));
            return true;
        }
        const std::int64_t expected = Load(p, size);
        if (expected < 0) return false;  // the loader told why
        if (expected != size) {
            Find(p, chunk_ + " chunk of " + Num(size) + " bytes, but its contents take " + Num(expected) +
                        ": the game stops reading the level here",
                 1);
            return false;
        }
        return true;
    }

    std::int64_t Load(std::int64_t p, std::int32_t size)
    {
        if (chunk_ == "VERS") {
            fileVersion_ = static_cast<std::uint32_t>(Get32());
            Get32();
        } else if (chunk_ == "DATE" || chunk_ == "NAME" || chunk_ == "AUTH" || chunk_ == "CNT2") {
            Skip(static_cast<std::uint32_t>(size));
        } else if (chunk_ == "HEAD") {
            Head();
        } else if (chunk_ == "INFO") {
            return Entries(size, 0, InfoKeys(), Part::Info);
        } else if (chunk_ == "BODY") {
            const std::int64_t expected =
                static_cast<std::int64_t>(width_) * height_ * (wide_ && fileVersion_ >= kVersion20 ? 2 : 1);
            if (expected != size) {
                Skip(static_cast<std::uint32_t>(size));
                return expected;
            }
            BodyCells("BODY", p + 8, static_cast<std::int64_t>(width_) * height_);
            body_ = true;
        } else if (chunk_ == "CONT") {
            const std::int64_t expected = 4 + 72 * (wide_ && fileVersion_ >= kVersion20 ? 2 : 1);
            if (expected != size) {
                Skip(static_cast<std::uint32_t>(size));
                return expected;
            }
            Skip(static_cast<std::uint32_t>(size));
        } else if (chunk_ == "CNT3") {
            Get16();
            const int length = Get16();
            Skip(12);
            const std::int64_t expected = 16 + length;
            if (expected != size) {
                Skip(static_cast<std::uint32_t>(size - 16));
                return expected;
            }
            Skip(static_cast<std::uint32_t>(length));
        } else if (chunk_ == "CUS1" || chunk_ == "CUS2" || chunk_ == "CUS3") {
            const int part = chunk_ == "CUS1" ? 6 : chunk_ == "CUS2" ? 4 : 134;
            const int n = Get16();
            const std::int64_t expected = 2 + static_cast<std::int64_t>(n) * part;
            if (expected != size) {
                Skip(static_cast<std::uint32_t>(size - 2));
                return expected;
            }
            for (int i = 0; i < n; ++i) {
                const std::int64_t at = pos_;
                const int element = Element(Get16(), at);
                if (!IsCeCode(static_cast<std::uint16_t>(element)) || element < 0)
                    Find(at, chunk_ + " entry names the element " + Num(element) +
                                 ", which is no custom element: the game skips it",
                         1);
                Skip(static_cast<std::uint32_t>(part - 2));
            }
        } else if (chunk_ == "CUS4") {
            return Cus4(p, size);
        } else if (chunk_ == "GRP1") {
            const int element = Element(Get16(), p + 8);
            if (element < kFirstGroupCode || element > kLastGroupCode) {
                Find(p, "GRP1 chunk names the element " + Num(element) + ", which is no group element: the game skips it", 1);
                Skip(static_cast<std::uint32_t>(size - 2));
                return size;
            }
            Skip(72);
        } else if (chunk_ == "CONF" || chunk_ == "ELEM") {
            return Entries(size, 0, EntryKeys{}, Part::Coded);
        } else if (chunk_ == "NOTE") {
            Get16();
            return Entries(size, 2, NoteKeys(), Part::Plain);
        } else if (chunk_ == "CUSX") {
            return Cusx(p, size);
        } else if (chunk_ == "GRPX") {
            const int element = Element(Get16(), p + 8);
            if (element < kFirstGroupCode || element > kLastGroupCode) {
                Find(p, "GRPX chunk names the element " + Num(element) +
                            ", which is no group element: the game stops reading the level here",
                     1);
                return -1;
            }
            return Entries(size, 2, GrpxKeys(), Part::Plain);
        } else if (chunk_ == "EMPX") {
            Element(Get16(), p + 8);
            return Entries(size, 2, EmpxKeys(), Part::Plain);
        }
        return size;
    }

    // The HEAD data, field by field: 112 bytes, whatever the chunk states.
    void Head()
    {
        const std::int64_t d = pos_;
        width_ = Get8();
        height_ = Get8();
        Skip(HeadField::YamYamContents.Offset - HeadField::Time.Offset);  // time, emeralds, title, scores
        for (int i = 0; i < 36; ++i) Element(Get8(), pos_ - 1);
        Skip(3);
        Element(Get8(), pos_ - 1);
        Skip(2);
        wide_ = Get8() == 1;
        Skip(1);
        if (Get8() == 1) Template(d + 98);
        Skip(13);
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
                Get16();
                real += 2;
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
        if (key < 0) return 1;
        const int sizeClass = key >> 6, token = key & 0x3F;
        const bool anyKey = part == Part::Coded;
        const bool known = anyKey || keys.Knows(key);
        const std::string entry = chunk_ + " entry " + HexText(static_cast<std::uint32_t>(key), 2);
        std::int64_t taken = 1;
        if (sizeClass == 3) {
            const int n = std::max(Get16(), 0);
            const std::int64_t values = pos_;
            Skip(static_cast<std::uint32_t>(n));
            taken += 2 + n;
            const auto list = keys.Lists.find(token);
            if (!anyKey && list != keys.Lists.end()) {
                const auto [entity, most] = list->second;
                const int entities = n / entity;
                if (entities > most)
                    Find(at, entry + " holds " + Num(entities) + " values where the game keeps " + Num(most) +
                                 ": it drops the rest",
                         1);
                if (entities == 0 && entity != kString)
                    Find(at, entry + " holds an empty list: the game keeps one default value", 1);
                if (entity != kString && keys.Elements.count(key))
                    for (std::int64_t i = 0; i < std::min(entities, most) * entity / 2 && values + 2 * i + 2 <= size_; ++i)
                        Element(ReadWord(b_ + values + 2 * i), values + 2 * i);
            }
        } else {
            const int length = sizeClass == 0 ? 1 : sizeClass == 1 ? 2 : 4;
            const int value = length == 1 ? Get8() : length == 2 ? Get16() : Get32();
            taken += length;
            // The game takes a two-byte value as signed: a negative code is no element it warns about.
            const int code = length == 2 && value >= 0 ? static_cast<std::int16_t>(value) : value;
            if (known && keys.Elements.count(key) && code >= 0) Element(code, at + 1);
            if (part == Part::Info && key == InfoField::Width.Key) width_ = static_cast<std::int16_t>(value);
            if (part == Part::Info && key == InfoField::Height.Key) height_ = static_cast<std::int16_t>(value);
            if (part == Part::Info && key == 0x06 && value != 0) Template(at);
            if (part == Part::CusxBase && key == 0x09) pages_ = std::max(value, 1);
            if (part == Part::CusxPage && key == 0x01) page_ = value;
        }
        if (!known) Find(at, entry + " is unknown to the game: it skips it", 1);
        return taken;
    }

    std::int64_t Cus4(std::int64_t p, std::int32_t size)
    {
        const int element = Element(Get16(), p + 8);
        if (!IsCeCode(element)) {
            Find(p, "CUS4 chunk names the element " + Num(element) +
                        ", which is no custom element: the game skips it",
                 1);
            Skip(static_cast<std::uint32_t>(size - 2));
            return size;
        }
        Skip(Cus4Field::ChangePageCount.Offset - Cus4Field::Name.Offset);  // the name and the properties
        const int pages = Get8();
        const std::int64_t expected = kCus4RecordLength + static_cast<std::int64_t>(kCus4PageLength) * pages;
        const std::string ce = "CUS4 chunk for CE " + Num(CeNumberOf(static_cast<std::uint16_t>(element)));
        if (expected != size) {
            Skip(static_cast<std::uint32_t>(size - 43));
            Find(p, ce + " states " + Num(size) + " bytes, but its " + Num(pages) + " change pages take " + Num(kCus4RecordLength) + " + " +
                        Num(kCus4PageLength) + " x " +
                        Num(pages) + " = " + Num(expected) + ": the game stops reading the level here",
                 1);
            return -1;
        }
        Skip(5 + 1);
        Element(Get16(), p + 8 + 49);  // the borrowed graphic
        Skip(15);
        for (int i = 0; i < 11; ++i) Element(Get16(), pos_ - 2);  // explosion content, entered, left
        Skip(8);
        const int read = std::max(pages, 1);
        for (int page = 0; page < read; ++page) {
            Skip(4);
            Element(Get16(), pos_ - 2);
            Skip(6);
            Element(Get16(), pos_ - 2);
            Skip(6);
            for (int i = 0; i < 9; ++i) Element(Get16(), pos_ - 2);
            Skip(10);
        }
        if (pages == 0 && r_.StepLostAt < 0) r_.StepLostAt = p;
        if (pages == 0)
            Find(p, ce + " has 0 change pages: the game reads one change page of " + Num(kCus4PageLength) +
                         " bytes from what follows it and goes on at " + Num(p + 8 + expected + kCus4PageLength) +
                         ", out of step with the chunks after it");
        return size;
    }

    std::int64_t Cusx(std::int64_t p, std::int32_t size)
    {
        Element(Get16(), p + 8);
        pages_ = -1;
        std::int64_t real = Entries(size, 2, CusxBaseKeys(), Part::CusxBase);
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
        if (fileVersion_ < kVersion12 && chunksStart_ != 12) return;  // a file of version 1.0 has no chunks
        std::int64_t p = chunksStart_;
        while (p + 8 <= size_) {
            const bool cus4 = std::memcmp(b_ + p, "CUS4", 4) == 0, cusx = std::memcmp(b_ + p, "CUSX", 4) == 0;
            if ((cus4 || cusx) && p + 10 <= size_ && !read_.count(p))
                Find(p, std::string(cus4 ? "CUS4" : "CUSX") + " chunk for CE " +
                            Num(ReadWord(b_ + p + 8) - (kFirstCeCode - 1)) +
                            (r_.StopsAt >= 0 && p > r_.StopsAt
                                 ? " lies after the chunk at which the game stops reading (" + Num(r_.StopsAt) + ")"
                                 : " is not where the game reads a chunk") +
                            ": the game will not see it");
            const auto game = nextOf_.find(p);
            std::int64_t next = p + 8 + ReadBigEndian(b_ + p + 4, 4);
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
    bool body_ = false;
    int page_ = 0;    // the CUSX change page the entries fill
    int pages_ = -1;  // the CUSX chunk's page count; -1: not read yet
    std::int64_t chunksStart_ = 12;
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
