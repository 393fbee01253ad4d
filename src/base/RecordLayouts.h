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
    int Width = 0;  // bytes
    constexpr int End() const { return Offset + Width; }
};

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
inline constexpr int kChunkHeaderLength = 8;
inline constexpr int kDataFromSizeField = 4;

// --- the file's start: "RND1", a size the game never reads, "CAVE", then the
// version chunk "VERS" (no chunk before it has a size of its own) ---
inline constexpr int kVersChunkPos = 8;   // where "CAVEVERS" stands
inline constexpr int kVersDataPos = 20;   // its data: after "CAVEVERS" and the size
inline constexpr int kVersLength = 8;
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
struct HeadField {
    static constexpr RecordField Width{0, 1};
    static constexpr RecordField Height{1, 1};
    static constexpr RecordField Time{2, 2};      // time left
    static constexpr RecordField Emeralds{4, 2};  // emeralds to collect
    static constexpr RecordField Title{6, 32};
    static constexpr RecordField Scores{38, 16};          // one byte an element with a score
    static constexpr RecordField YamYamContents{54, 36};  // four 3x3 blocks of one-byte codes
    static constexpr RecordField AmoebaSpeed{90, 1};
    static constexpr RecordField MagicWallTime{91, 1};
    static constexpr RecordField WheelTime{92, 1};
    static constexpr RecordField AmoebaContent{93, 1};
    static constexpr RecordField Wide16{96, 1};  // 1: two bytes a map cell
    static constexpr std::array<RecordField, 12> All{Width,       Height,        Time,      Emeralds,
                                                     Title,       Scores,        YamYamContents, AmoebaSpeed,
                                                     MagicWallTime, WheelTime,   AmoebaContent, Wide16};
};
static_assert(FieldsInOrder(HeadField::All, kHeadLength));

// --- the texts of the older and the newer layout: AUTH, and NAME (the
// newer layout's title) are 32 bytes each ---
inline constexpr int kLevelTextLength = 32;
inline constexpr int kNameChunkSize = kLevelTextLength;
inline constexpr int kAuthChunkSize = kLevelTextLength;

// --- INFO, the newer layout's header: entries, each a key and a value
// (see ConfEntries.h). The header's four values are two-byte entries; a value
// without an entry is the game's default. ---
struct InfoEntry {
    std::uint8_t Key = 0;
    int Default = 0;
};
struct InfoField {
    static constexpr InfoEntry Width{0x41, 64};
    static constexpr InfoEntry Height{0x42, 32};
    static constexpr InfoEntry Time{0x43, 100};
    static constexpr InfoEntry Emeralds{0x44, 0};
};
inline constexpr int kInfoValueWidth = 2;  // the four values above: signed 16-bit

// --- CUS4: a custom element's record, a base block of 96 bytes and then P
// change pages of 48 bytes. The record position is the chunk's plus 8. ---
inline constexpr int kCus4RecordLength = 96;
inline constexpr int kCus4PageLength = 48;
struct Cus4Field {
    static constexpr RecordField ElementCode{0, 2};  // the CE's own code; a link
    static constexpr RecordField Name{2, 30};        // zero padded
    static constexpr RecordField Properties{34, 4};  // property bits
    static constexpr RecordField ChangePageCount{42, 1};  // P
    static constexpr RecordField UseGraphicOf{48, 1};     // 1: yes
    static constexpr RecordField GraphicOf{49, 2};
    static constexpr RecordField CollectScore{51, 1};
    static constexpr RecordField CollectCount{52, 1};
    static constexpr RecordField DropDelayFixed{53, 1};
    static constexpr RecordField PushDelayFixed{54, 1};
    static constexpr RecordField DropDelayRandom{55, 1};
    static constexpr RecordField PushDelayRandom{56, 1};
    static constexpr RecordField MoveDelayFixed{57, 2};
    static constexpr RecordField MoveDelayRandom{59, 2};
    static constexpr RecordField MovePattern{61, 2};
    static constexpr RecordField MoveDirection{63, 1};
    static constexpr RecordField MoveStepSize{64, 1};
    static constexpr RecordField ExplodeCont{66, 18};  // 3x3 codes, row by row; links
    static constexpr std::array<RecordField, 18> All{
        ElementCode,     Name,            Properties, ChangePageCount, UseGraphicOf,
        GraphicOf,       CollectScore,    CollectCount,   DropDelayFixed, PushDelayFixed,
        DropDelayRandom, PushDelayRandom, MoveDelayFixed, MoveDelayRandom, MovePattern,
        MoveDirection,   MoveStepSize,    ExplodeCont};
};
static_assert(FieldsInOrder(Cus4Field::All, kCus4RecordLength));

// A change page's fields, from the page's start.
struct Cus4PageField {
    static constexpr RecordField EventBits{0, 4};
    static constexpr int DelayBitByte = 3;  // the low byte of EventBits; bit 0 is the delay condition
    static constexpr RecordField ChangeTo{4, 2};  // a link
    static constexpr RecordField DelayFixed{6, 2};
    static constexpr RecordField DelayRandom{8, 2};
    static constexpr RecordField DelayType{10, 2};          // frames per delay unit
    static constexpr RecordField ChangeCondElement{12, 2};  // a link
    static constexpr RecordField UseExtChange{15, 1};       // 1: yes
    static constexpr RecordField RandomPercentage{18, 1};
    static constexpr RecordField ReplaceWhen{19, 1};
    static constexpr RecordField ExtChange{20, 18};  // 3x3 codes, row by row; links
    static constexpr RecordField CanChange{38, 1};   // 1: the change is active
    static constexpr RecordField TriggerSide{39, 1};
    static constexpr std::array<RecordField, 12> All{EventBits,    ChangeTo,         DelayFixed,  DelayRandom,
                                                     DelayType,    ChangeCondElement, UseExtChange, RandomPercentage,
                                                     ReplaceWhen,  ExtChange,         CanChange,    TriggerSide};
};
static_assert(FieldsInOrder(Cus4PageField::All, kCus4PageLength));

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
