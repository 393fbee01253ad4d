// The binary layouts of a level file's records, each one table of fields
// (offset from the record's start, width in bytes) that every reader and
// writer of the record uses: the version chunk, the older header (HEAD), the
// custom element record (CUS4) and its change page, and the newer layout's
// NAME chunk and INFO entries. Numbers are big-endian; text fields are
// single-byte characters padded with zero bytes. Bytes no field names are
// written as zero.
#pragma once

#include "base/Bytes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantrel {

struct RecordField {
    int Offset = 0;
    int Width = 0;      // bytes
    int CodeWidth = 0;  // a field of element codes: the bytes of each (1 or 2); 0: no element codes
    constexpr int End() const { return Offset + Width; }
    constexpr bool Elements() const { return CodeWidth > 0; }
    constexpr int Codes() const { return Elements() ? Width / CodeWidth : 0; }
};
inline constexpr int kCode = 2;      // a field of two-byte element codes
inline constexpr int kByteCode = 1;  // a field of one-byte element codes (the older header's)

// A table's fields lie in order, none over another, inside a record of length bytes.
template <std::size_t N>
constexpr bool FieldsInOrder(const std::array<RecordField, N>& fields, int length)
{
    int end = 0;
    for (const RecordField& f : fields) {
        if (f.Offset < end || f.Width < 1) return false;
        end = f.End();
    }
    return end <= length;
}

// The offsets of every element code the fields of a table hold, in the
// record's order: what the game reads as an element, and what a renumbering
// of custom elements rewrites.
template <std::size_t N>
constexpr int ElementCodeCount(const std::array<RecordField, N>& fields)
{
    int n = 0;
    for (const RecordField& f : fields) n += f.Codes();
    return n;
}
template <const auto& Fields>
constexpr auto ElementCodesOf()
{
    std::array<int, static_cast<std::size_t>(ElementCodeCount(Fields))> offsets{};
    std::size_t k = 0;
    for (const RecordField& f : Fields)
        for (int i = 0; i < f.Codes(); ++i) offsets[k++] = f.Offset + i * f.CodeWidth;
    return offsets;
}

// A number field (1 to 4 bytes) of the record at record.
inline std::uint32_t GetField(const std::uint8_t* record, RecordField f)
{
    return ReadBigEndian(record + f.Offset, f.Width);
}
inline void PutField(std::uint8_t* record, RecordField f, std::uint32_t value)
{
    PutBigEndian(record + f.Offset, value, f.Width);
}
// A text field: the text cut to the field's width, then zero bytes.
inline void PutTextField(std::uint8_t* record, RecordField f, std::string_view text)
{
    for (int i = 0; i < f.Width; ++i)
        record[f.Offset + i] = i < static_cast<int>(text.size()) ? static_cast<std::uint8_t>(text[static_cast<std::size_t>(i)]) : 0;
}
// Every byte of a field of one-byte values set to value.
inline void FillField(std::uint8_t* record, RecordField f, std::uint8_t value)
{
    for (int i = 0; i < f.Width; ++i) record[f.Offset + i] = value;
}

// A chunk: its four-letter name, its 32-bit size, then its data. The
// positions a load records are those of size fields; the data follows.
struct ChunkField {
    static constexpr RecordField Name{0, 4};  // four letters
    static constexpr RecordField Size{4, 4};  // the data's length, as the chunk states it
};
inline constexpr int kChunkHeaderLength = ChunkField::Size.End();
inline constexpr int kDataFromSizeField = ChunkField::Size.Width;
inline constexpr int kChunkNameLength = ChunkField::Name.Width;
// The data of the chunks of one element (CUSX, GRPX, EMPX, NOTE, and the
// older CNT3, GRP1 and CUS4) begins with the element's code.
inline constexpr RecordField kDataElementCode{0, 2, kCode};

// --- the chunk kinds: one row each, the one list that the loader, the
// game's reading (GameRead) and the scan of a .vce file walk with. A new
// chunk is one row here, and a case in each reader that reads it. ---
enum class ChunkId : std::uint8_t {
    Vers, Date, Head, Name, Auth, Info, Body, Cont, Cnt2, Cnt3, Cus1, Cus2, Cus3, Cus4, Grp1, Conf, Elem, Note,
    Cusx, Grpx, Empx,
};
// How the game knows a chunk's length: a size of its own (another stated
// size makes it skip the chunk), or worked out from the contents (a stated
// size that disagrees makes it stop reading the level).
enum class GameLength : std::uint8_t { Fixed, FromContents };
// How the loader steps over a chunk to the next.
enum class LoaderStep : std::uint8_t {
    None,         // the loader does not know it: a guessed chunk of the size it states
    Stated,       // the size field
    NewerStated,  // the size field, in a file of version 3.0 and later only (else a guessed chunk)
    Version,      // "CAVEVERS" at offset 8, a fixed length
    HeadData,     // the size field says 80, the header's 112 bytes follow
    CellWidth,    // BODY and CONT: twice the size field where the cells are two bytes wide
    PageCount,    // CUS4: 104 + 48 x its page count
};
struct ChunkKind {
    std::string_view Name;
    ChunkId Id;
    GameLength Game;
    int GameSize;  // GameLength::Fixed: the size the game reads
    LoaderStep Loader;
    bool CustomElement;  // a custom element's chunk: what a .vce file holds
    constexpr bool Is(std::string_view name) const { return Name == name; }
};
inline constexpr std::array<ChunkKind, 21> kChunkKinds{{
    {"VERS", ChunkId::Vers, GameLength::Fixed, 8, LoaderStep::Version, false},
    {"DATE", ChunkId::Date, GameLength::Fixed, 4, LoaderStep::NewerStated, false},
    {"HEAD", ChunkId::Head, GameLength::Fixed, 80, LoaderStep::HeadData, false},
    {"NAME", ChunkId::Name, GameLength::Fixed, 32, LoaderStep::NewerStated, false},
    {"AUTH", ChunkId::Auth, GameLength::Fixed, 32, LoaderStep::Stated, false},
    {"INFO", ChunkId::Info, GameLength::FromContents, 0, LoaderStep::NewerStated, false},
    {"BODY", ChunkId::Body, GameLength::FromContents, 0, LoaderStep::CellWidth, false},
    {"CONT", ChunkId::Cont, GameLength::FromContents, 0, LoaderStep::CellWidth, false},
    {"CNT2", ChunkId::Cnt2, GameLength::Fixed, 160, LoaderStep::Stated, false},  // kCnt2Length
    {"CNT3", ChunkId::Cnt3, GameLength::FromContents, 0, LoaderStep::Stated, false},
    {"CUS1", ChunkId::Cus1, GameLength::FromContents, 0, LoaderStep::Stated, false},
    {"CUS2", ChunkId::Cus2, GameLength::FromContents, 0, LoaderStep::None, false},
    {"CUS3", ChunkId::Cus3, GameLength::FromContents, 0, LoaderStep::Stated, false},
    {"CUS4", ChunkId::Cus4, GameLength::FromContents, 0, LoaderStep::PageCount, true},
    {"GRP1", ChunkId::Grp1, GameLength::FromContents, 0, LoaderStep::Stated, false},
    {"CONF", ChunkId::Conf, GameLength::FromContents, 0, LoaderStep::None, false},
    {"ELEM", ChunkId::Elem, GameLength::FromContents, 0, LoaderStep::NewerStated, false},
    {"NOTE", ChunkId::Note, GameLength::FromContents, 0, LoaderStep::NewerStated, false},
    {"CUSX", ChunkId::Cusx, GameLength::FromContents, 0, LoaderStep::Stated, true},
    {"GRPX", ChunkId::Grpx, GameLength::FromContents, 0, LoaderStep::NewerStated, false},
    {"EMPX", ChunkId::Empx, GameLength::FromContents, 0, LoaderStep::NewerStated, false},
}};
// The row of a chunk's name, or nothing for a name the game does not know.
constexpr const ChunkKind* FindChunkKind(std::string_view name)
{
    for (const ChunkKind& kind : kChunkKinds)
        if (kind.Name == name) return &kind;
    return nullptr;
}
constexpr const ChunkKind& ChunkKindOf(ChunkId id) { return kChunkKinds[static_cast<std::size_t>(id)]; }
static_assert([] {
    for (std::size_t i = 0; i < kChunkKinds.size(); ++i)
        if (static_cast<std::size_t>(kChunkKinds[i].Id) != i || kChunkKinds[i].Name.size() != kChunkNameLength)
            return false;
    return true;
}());

// --- the file's start: "RND1", a size the game never reads, "CAVE", then the
// version chunk "VERS" (no chunk before it has a size of its own) ---
inline constexpr std::string_view kRnd1Signature = "RND1";
inline constexpr int kRnd1SignatureLength = 4;
inline constexpr std::string_view kCaveVers = "CAVEVERS";  // read as one name
inline constexpr int kVersChunkPos = 8;   // where "CAVEVERS" stands
inline constexpr int kVersDataPos = 20;   // its data: after "CAVEVERS" and the size
inline constexpr int kVersLength = 8;
static_assert(kVersChunkPos + static_cast<int>(kCaveVers.size()) + kDataFromSizeField == kVersDataPos);
inline constexpr int kFirstChunkPos = kVersChunkPos + kChunkNameLength;  // 12: "VERS", read as the game does

// --- or the cookie of the oldest files: its 34 characters, a version of
// three ("1.0", "1.2", "1.4") and a separator byte; chunks follow from 38.
// A file of version 1.0 has no chunks: its header's data lies at 38 (as if a
// HEAD chunk's size field stood at 34) and its map from 150 to the end. ---
inline constexpr std::string_view kCookie = "ROCKSNDIAMONDS_LEVEL_FILE_VERSION_";
inline constexpr int kCookieLength = 34;
inline constexpr int kCookieVersionLength = 3;
inline constexpr int kCookieSeparatorPos = kCookieLength + kCookieVersionLength;  // 37
inline constexpr int kCookieChunksPos = kCookieSeparatorPos + 1;                 // 38
static_assert(static_cast<int>(kCookie.size()) == kCookieLength);
struct VersField {
    static constexpr RecordField FileVersion{0, 4};  // a.b.c.d
    static constexpr RecordField GameVersion{4, 4};  // of the game that saved the file
    static constexpr std::array<RecordField, 2> All{FileVersion, GameVersion};
};
static_assert(FieldsInOrder(VersField::All, kVersLength));

// --- HEAD, the older layout's header. Its size field says 80, but 112 data
// bytes follow before the next chunk (the game reads it field by field). ---
inline constexpr int kHeadStatedSize = 80;
inline constexpr int kHeadLength = 112;
inline constexpr int kOldestHeadPos = kCookieLength;                     // 34: its data at 38
inline constexpr int kOldestBodyPos = kCookieChunksPos + kHeadLength;   // 150
struct HeadField {
    static constexpr RecordField Width{0, 1};
    static constexpr RecordField Height{1, 1};
    static constexpr RecordField Time{2, 2};      // time left
    static constexpr RecordField Emeralds{4, 2};  // emeralds to collect
    static constexpr RecordField Title{6, 32};
    static constexpr RecordField Scores{38, 16};          // one byte an element with a score
    static constexpr RecordField YamYamContents{54, 36, kByteCode};  // four 3x3 blocks
    static constexpr RecordField AmoebaSpeed{90, 1};
    static constexpr RecordField MagicWallTime{91, 1};
    static constexpr RecordField WheelTime{92, 1};
    static constexpr RecordField AmoebaContent{93, 1, kByteCode};
    static constexpr RecordField Wide16{96, 1};  // 1: two bytes a map cell
    static constexpr RecordField UseTemplate{98, 1};  // 1: the custom elements come from the levelset's template
    static constexpr std::array<RecordField, 13> All{Width,       Height,        Time,      Emeralds,
                                                     Title,       Scores,        YamYamContents, AmoebaSpeed,
                                                     MagicWallTime, WheelTime,   AmoebaContent, Wide16,
                                                     UseTemplate};
};
static_assert(FieldsInOrder(HeadField::All, kHeadLength));
inline constexpr auto kHeadElementCodes = ElementCodesOf<HeadField::All>();

// --- the lengths of the other chunks of the older layout, as the game
// works them out: CONT (4 bytes, then 72 codes of one or two bytes), CNT3 (16
// bytes, then an envelope's text), GRP1, and the parts of CUS1, CUS2, CUS3 ---
inline constexpr int kContHeaderLength = 4;
inline constexpr int kContCells = 72;
inline constexpr int kCnt3HeaderLength = 16;
inline constexpr int kGrp1Length = 74;
// CNT2: the contents of the yam yam (code 11) or of the amoeba (code 52);
// the game warns about any other element, and reads every code of the eight
// 3x3 contents.
inline constexpr int kCnt2Length = 160;
struct Cnt2Field {
    static constexpr RecordField ElementCode{0, 2, kCode};
    static constexpr RecordField ContentCount{2, 1};
    static constexpr RecordField Contents{16, 144, kCode};  // eight 3x3 blocks
    static constexpr std::array<RecordField, 3> All{ElementCode, ContentCount, Contents};
};
static_assert(FieldsInOrder(Cnt2Field::All, kCnt2Length));
inline constexpr int kCnt2YamYamCode = 11;
inline constexpr int kCnt2AmoebaCode = 52;
inline constexpr int kCus1PartLength = 6;
inline constexpr int kCus2PartLength = 4;
inline constexpr int kCus3PartLength = 134;

// --- the texts of the older and the newer layout: AUTH, and NAME (the
// newer layout's title) are 32 bytes each ---
inline constexpr int kLevelTextLength = 32;
inline constexpr int kNameChunkSize = kLevelTextLength;
inline constexpr int kAuthChunkSize = kLevelTextLength;

// --- the entries of the newer layout's chunks (INFO, CUSX, GRPX, EMPX,
// NOTE): a key byte, then its value. The key's two high bits give the
// value's size (1, 2 or 4 bytes, or a 16-bit count and that many bytes), its
// six low bits the token. Each chunk's keys are one table below, with what
// each value is, its default (a value without an entry is the default) and,
// for a list or a text, the most the game keeps. ---
enum class EntryType : std::uint8_t {
    Number,    // shown in decimal
    Bits,      // a set of flags, shown in hexadecimal
    Element,   // one element code (two bytes)
    Text,      // characters
    Contents,  // 3x3 blocks of element codes, row by row
    Elements,  // a list of element codes
};
struct EntryKey {
    std::uint8_t Key = 0;
    EntryType Type = EntryType::Number;
    std::int32_t Default = 0;  // of a number (a text or a list: empty, or as told where it is used)
    int Most = 0;              // a text: its characters; a list: its entries (a block of 3x3 codes is one)
    std::string_view Meaning;
    constexpr bool HoldsElements() const
    {
        return Type == EntryType::Element || Type == EntryType::Contents || Type == EntryType::Elements;
    }
    constexpr int SizeClass() const { return Key >> 6; }  // 0: 1 byte, 1: 2, 2: 4, 3: counted bytes
    constexpr int Token() const { return Key & 0x3F; }  // 1..63
};
inline constexpr int kCountedSizeClass = 3;  // a 16-bit count of bytes, then the bytes
inline constexpr int kEntryCountWidth = 2;
// The bytes of the value of a key of size class 0, 1 or 2.
constexpr int EntryValueWidth(int key) { return (key >> 6) == 0 ? 1 : (key >> 6) == 1 ? 2 : 4; }
constexpr int EntrySizeClass(int key) { return key >> 6; }
constexpr int EntryToken(int key) { return key & 0x3F; }  // 0 ends the entries
inline constexpr int kContentBytes = 18;  // one 3x3 block of two-byte codes
// The bytes of one entity of a counted value: a character, a code, a block.
constexpr int EntityBytes(EntryType type)
{
    return type == EntryType::Contents ? kContentBytes : type == EntryType::Elements ? kCode : 1;
}

// The row of key in a table, or nothing.
template <std::size_t N>
constexpr const EntryKey* FindEntryKey(const std::array<EntryKey, N>& keys, int key)
{
    for (const EntryKey& k : keys)
        if (k.Key == key) return &k;
    return nullptr;
}

// INFO: the header's four values are two-byte entries; the game knows these
// tokens of each size class (1, 2, 4 bytes); it has no counted INFO entries.
struct InfoEntry {
    std::uint8_t Key = 0;
    int Default = 0;
};
struct InfoField {
    static constexpr InfoEntry Width{0x41, 64};
    static constexpr InfoEntry Height{0x42, 32};
    static constexpr InfoEntry Time{0x43, 100};
    static constexpr InfoEntry Emeralds{0x44, 0};
    static constexpr std::uint8_t UseTemplate = 0x06;  // 1: the custom elements come from the levelset's template
};
inline constexpr int kInfoValueWidth = 2;  // the four values above: signed 16-bit
struct TokenRange {
    int From = 0, To = 0;
};
inline constexpr std::array<TokenRange, 2> kInfoBytes{{{1, 2}, {4, 34}}};
inline constexpr std::array<TokenRange, 1> kInfoWords{{{1, 6}}};
inline constexpr std::array<TokenRange, 2> kInfoLongs{{{1, 2}, {4, 19}}};

// CUSX: a custom element's data as entries: its element code, the base part
// (ended by the number of change pages), then each page, begun by its index.
struct CusxBaseKey {
    static constexpr EntryKey Name{0xC1, EntryType::Text, 0, 32, "name"};  // default: "Custom element N"
    static constexpr EntryKey Properties{0x81, EntryType::Bits, 0x08000000, 0, "property bits"};  // (0x82 is reserved: the game does not read it)
    static constexpr EntryKey UseGraphic{0x01, EntryType::Number, 0, 0, "use graphic of element"};
    static constexpr EntryKey Graphic{0x41, EntryType::Element, 0, 0, "graphic element"};
    static constexpr EntryKey Access{0x02, EntryType::Bits, 15, 0, "access directions"};
    static constexpr EntryKey CollectScore{0x42, EntryType::Number, 10, 0, "collect score"};
    static constexpr EntryKey CollectCount{0x43, EntryType::Number, 1, 0, "collect count"};
    static constexpr EntryKey CeValueFixed{0x44, EntryType::Number, 0, 0, "CE value fixed"};
    static constexpr EntryKey CeValueRandom{0x45, EntryType::Number, 0, 0, "CE value random"};
    static constexpr EntryKey UseLastCeValue{0x03, EntryType::Number, 0, 0, "use last CE value"};
    static constexpr EntryKey PushDelayFixed{0x46, EntryType::Number, 8, 0, "push delay fixed"};
    static constexpr EntryKey PushDelayRandom{0x47, EntryType::Number, 8, 0, "push delay random"};
    static constexpr EntryKey DropDelayFixed{0x48, EntryType::Number, 0, 0, "drop delay fixed"};
    static constexpr EntryKey DropDelayRandom{0x49, EntryType::Number, 0, 0, "drop delay random"};
    static constexpr EntryKey MoveDelayFixed{0x4A, EntryType::Number, 0, 0, "move delay fixed"};
    static constexpr EntryKey MoveDelayRandom{0x4B, EntryType::Number, 0, 0, "move delay random"};
    static constexpr EntryKey StepDelayFixed{0x50, EntryType::Number, 0, 0, "step delay fixed"};
    static constexpr EntryKey StepDelayRandom{0x51, EntryType::Number, 0, 0, "step delay random"};
    static constexpr EntryKey MovePattern{0x83, EntryType::Bits, 15, 0, "move pattern"};
    static constexpr EntryKey MoveDirection{0x04, EntryType::Number, 0, 0, "initial direction"};
    static constexpr EntryKey StepSize{0x05, EntryType::Number, 4, 0, "step size"};
    static constexpr EntryKey EnterElement{0x4C, EntryType::Element, 0, 0, "element entered"};
    static constexpr EntryKey LeaveElement{0x4D, EntryType::Element, 0, 0, "element left behind"};
    static constexpr EntryKey LeaveType{0x06, EntryType::Number, 0, 0, "leave type"};
    static constexpr EntryKey SlipperyType{0x07, EntryType::Number, 0, 0, "slippery type"};
    static constexpr EntryKey ExplosionType{0x08, EntryType::Number, 0, 0, "explosion type"};
    static constexpr EntryKey ExplosionDelay{0x4E, EntryType::Number, 16, 0, "explosion delay"};
    static constexpr EntryKey IgnitionDelay{0x4F, EntryType::Number, 8, 0, "ignition delay"};
    static constexpr EntryKey ExplosionContent{0xC2, EntryType::Contents, 0, 1, "explosion content"};
    static constexpr EntryKey PageCount{0x09, EntryType::Number, 1, 0, "number of change pages"};  // always; ends the part
    static constexpr std::array<EntryKey, 30> All{
        Name,           Properties,      UseGraphic,      Graphic,        Access,          CollectScore,
        CollectCount,   CeValueFixed,    CeValueRandom,   UseLastCeValue, PushDelayFixed,  PushDelayRandom,
        DropDelayFixed, DropDelayRandom, MoveDelayFixed,  MoveDelayRandom, StepDelayFixed, StepDelayRandom,
        MovePattern,    MoveDirection,   StepSize,        EnterElement,   LeaveElement,    LeaveType,
        SlipperyType,   ExplosionType,   ExplosionDelay,  IgnitionDelay,  ExplosionContent, PageCount};
};
struct CusxPageKey {
    static constexpr EntryKey Index{0x01, EntryType::Number, 0, 0, "page index"};  // always; begins the page
    static constexpr EntryKey CanChange{0x02, EntryType::Number, 0, 0, "element can change"};
    static constexpr EntryKey Events{0x81, EntryType::Bits, 0, 0, "change events 0-31"};
    static constexpr EntryKey EventsHigh{0x82, EntryType::Bits, 0, 0, "change events 32-63"};
    static constexpr EntryKey TriggerPlayer{0x03, EntryType::Bits, 15, 0, "trigger player"};
    static constexpr EntryKey TriggerSide{0x04, EntryType::Bits, 15, 0, "trigger side"};
    static constexpr EntryKey TriggerPage{0x83, EntryType::Bits, -1, 0, "trigger page bits"};
    static constexpr EntryKey Target{0x41, EntryType::Element, 0, 0, "target element"};
    static constexpr EntryKey DelayFixed{0x42, EntryType::Number, 0, 0, "delay fixed"};
    static constexpr EntryKey DelayRandom{0x43, EntryType::Number, 0, 0, "delay random"};
    static constexpr EntryKey DelayFrames{0x44, EntryType::Number, 50, 0, "frames per delay unit"};
    static constexpr EntryKey Trigger{0x45, EntryType::Element, 0, 0, "trigger element"};
    static constexpr EntryKey Explode{0x06, EntryType::Number, 0, 0, "explode"};
    static constexpr EntryKey UseTargetContent{0x07, EntryType::Number, 0, 0, "use target content"};
    static constexpr EntryKey OnlyIfComplete{0x08, EntryType::Number, 0, 0, "only if complete"};
    static constexpr EntryKey RandomReplace{0x09, EntryType::Number, 0, 0, "random replace"};
    static constexpr EntryKey RandomPercentage{0x0A, EntryType::Number, 100, 0, "random percentage"};
    static constexpr EntryKey ReplaceWhen{0x0B, EntryType::Number, 0, 0, "replace when"};
    static constexpr EntryKey HasAction{0x0C, EntryType::Number, 0, 0, "has action"};
    static constexpr EntryKey ActionType{0x0D, EntryType::Number, 0, 0, "action type"};
    static constexpr EntryKey ActionMode{0x0E, EntryType::Number, 0, 0, "action mode"};
    static constexpr EntryKey ActionArgument{0x46, EntryType::Number, 65535, 0, "action argument"};
    static constexpr EntryKey ActionElement{0x47, EntryType::Element, 0, 0, "action element"};
    static constexpr EntryKey TargetContent{0xC1, EntryType::Contents, 0, 1, "target content"};
    static constexpr std::array<EntryKey, 24> All{
        Index,          CanChange,    Events,           EventsHigh,  TriggerPlayer,    TriggerSide,
        TriggerPage,    Target,       DelayFixed,       DelayRandom, DelayFrames,      Trigger,
        Explode,        UseTargetContent, OnlyIfComplete, RandomReplace, RandomPercentage, ReplaceWhen,
        HasAction,      ActionType,   ActionMode,       ActionArgument, ActionElement,  TargetContent};
};
inline constexpr int kCusxMostPages = 32;

// GRPX (a group element), EMPX (an empty space's graphic) and NOTE (an envelope).
struct GrpxKey {
    static constexpr EntryKey Name{0xC1, EntryType::Text, 0, 32, "name"};
    static constexpr EntryKey UseGraphic{0x01, EntryType::Number, 0, 0, "use graphic of element"};
    static constexpr EntryKey Graphic{0x41, EntryType::Element, 0, 0, "graphic element"};
    static constexpr EntryKey ChoiceMode{0x02, EntryType::Number, 16, 0, "choice mode"};
    static constexpr EntryKey Members{0xC2, EntryType::Elements, 0, 16, "member elements"};
    static constexpr std::array<EntryKey, 5> All{Name, UseGraphic, Graphic, ChoiceMode, Members};
};
struct EmpxKey {
    static constexpr EntryKey UseGraphic{0x01, EntryType::Number, 0, 0, "use graphic of element"};
    static constexpr EntryKey Graphic{0x41, EntryType::Element, 0, 0, "graphic element"};
    static constexpr std::array<EntryKey, 2> All{UseGraphic, Graphic};
};
struct NoteKey {
    static constexpr EntryKey Width{0x01, EntryType::Number, 30, 0, "width"};
    static constexpr EntryKey Height{0x02, EntryType::Number, 20, 0, "height"};
    static constexpr EntryKey AutoWrap{0x03, EntryType::Number, 0, 0, "auto-wrap"};
    static constexpr EntryKey Centered{0x04, EntryType::Number, 0, 0, "centered"};
    static constexpr EntryKey Text{0xC1, EntryType::Text, 0, 600, "text"};
    static constexpr std::array<EntryKey, 5> All{Width, Height, AutoWrap, Centered, Text};
};

// --- CUS4: a custom element's record, a base block of 96 bytes and then P
// change pages of 48 bytes. The record position is the chunk's plus 8. Every
// field the game reads is named; those that hold element codes are marked
// (kCode), and those are what an import renumbers. ---
inline constexpr int kCus4RecordLength = 96;
inline constexpr int kCus4PageLength = 48;
struct Cus4Field {
    static constexpr RecordField ElementCode{0, 2, kCode};  // the CE's own code
    static constexpr RecordField Name{2, 30};        // zero padded (the game reads two bytes more, 32 and 33)
    static constexpr RecordField Properties{34, 4};  // property bits
    static constexpr RecordField ChangePageCount{42, 1};  // P
    static constexpr RecordField CeValueFixed{43, 2};
    static constexpr RecordField CeValueRandom{45, 2};
    static constexpr RecordField UseLastCeValue{47, 1};
    static constexpr RecordField UseGraphicOf{48, 1};  // 1: yes
    static constexpr RecordField GraphicOf{49, 2, kCode};
    static constexpr RecordField CollectScore{51, 1};
    static constexpr RecordField CollectCount{52, 1};
    static constexpr RecordField DropDelayFixed{53, 1};
    static constexpr RecordField PushDelayFixed{54, 1};
    static constexpr RecordField DropDelayRandom{55, 1};
    static constexpr RecordField PushDelayRandom{56, 1};
    static constexpr RecordField MoveDelayFixed{57, 2};
    static constexpr RecordField MoveDelayRandom{59, 2};
    static constexpr RecordField MovePattern{61, 2};  // bits 0-15
    static constexpr RecordField MoveDirection{63, 1};
    static constexpr RecordField MoveStepSize{64, 1};
    static constexpr RecordField SlipperyType{65, 1};
    static constexpr RecordField ExplodeCont{66, 18, kCode};  // 3x3 codes, row by row
    static constexpr RecordField EnterElement{84, 2, kCode};  // the element it can enter
    static constexpr RecordField LeaveElement{86, 2, kCode};  // the element it leaves behind
    static constexpr RecordField LeaveType{88, 1};
    static constexpr RecordField MovePatternHigh{89, 2};  // bits 16-31
    static constexpr RecordField AccessDirection{91, 1};
    static constexpr RecordField ExplosionDelay{92, 1};
    static constexpr RecordField IgnitionDelay{93, 1};
    static constexpr RecordField ExplosionType{94, 1};
    static constexpr std::array<RecordField, 30> All{
        ElementCode,    Name,           Properties,      ChangePageCount, CeValueFixed,    CeValueRandom,
        UseLastCeValue, UseGraphicOf,   GraphicOf,       CollectScore,    CollectCount,    DropDelayFixed,
        PushDelayFixed, DropDelayRandom, PushDelayRandom, MoveDelayFixed, MoveDelayRandom, MovePattern,
        MoveDirection,  MoveStepSize,   SlipperyType,    ExplodeCont,     EnterElement,    LeaveElement,
        LeaveType,      MovePatternHigh, AccessDirection, ExplosionDelay, IgnitionDelay,   ExplosionType};
};
static_assert(FieldsInOrder(Cus4Field::All, kCus4RecordLength));

// A change page's fields, from the page's start.
struct Cus4PageField {
    static constexpr RecordField EventBits{0, 4};  // events 0-31
    static constexpr int DelayBitByte = 3;  // the low byte of EventBits; bit 0 is the delay condition
    static constexpr RecordField ChangeTo{4, 2, kCode};
    static constexpr RecordField DelayFixed{6, 2};
    static constexpr RecordField DelayRandom{8, 2};
    static constexpr RecordField DelayType{10, 2};  // frames per delay unit
    static constexpr RecordField ChangeCondElement{12, 2, kCode};
    static constexpr RecordField Explode{14, 1};
    static constexpr RecordField UseExtChange{15, 1};  // 1: yes
    static constexpr RecordField OnlyIfComplete{16, 1};
    static constexpr RecordField UseRandomReplace{17, 1};
    static constexpr RecordField RandomPercentage{18, 1};
    static constexpr RecordField ReplaceWhen{19, 1};
    static constexpr RecordField ExtChange{20, 18, kCode};  // 3x3 codes, row by row
    static constexpr RecordField CanChange{38, 1};  // 1: the change is active
    static constexpr RecordField TriggerSide{39, 1};
    static constexpr RecordField TriggerPlayer{40, 1};
    static constexpr RecordField TriggerPage{41, 1};
    static constexpr RecordField HasAction{42, 1};
    static constexpr RecordField ActionType{43, 1};
    static constexpr RecordField ActionMode{44, 1};
    static constexpr RecordField ActionArgument{45, 2};
    static constexpr RecordField EventBitsHigh{47, 1};  // events 32-39
    static constexpr std::array<RecordField, 22> All{
        EventBits,       ChangeTo,      DelayFixed,    DelayRandom, DelayType,        ChangeCondElement,
        Explode,         UseExtChange,  OnlyIfComplete, UseRandomReplace, RandomPercentage, ReplaceWhen,
        ExtChange,       CanChange,     TriggerSide,   TriggerPlayer, TriggerPage,    HasAction,
        ActionType,      ActionMode,    ActionArgument, EventBitsHigh};
};
static_assert(FieldsInOrder(Cus4PageField::All, kCus4PageLength));

// The offsets of the element codes of the base block and of a change page
// (from the page's start), in the record's order.
inline constexpr auto kCus4ElementCodes = ElementCodesOf<Cus4Field::All>();
inline constexpr auto kCus4PageElementCodes = ElementCodesOf<Cus4PageField::All>();

// The length of a CUS4 record of P change pages; its chunk ("CUS4", the
// record's length, the record) is 8 bytes longer.
inline constexpr std::int64_t Cus4RecordLength(int pages)
{
    return kCus4RecordLength + kCus4PageLength * static_cast<std::int64_t>(pages);
}
inline constexpr std::int32_t Cus4ChunkLength(int pages)
{
    return static_cast<std::int32_t>(kChunkHeaderLength + Cus4RecordLength(pages));
}
// The record offset of change page p (from 1).
inline constexpr std::int64_t Cus4PageOffset(int page) { return Cus4RecordLength(page - 1); }

}  // namespace vantrel
