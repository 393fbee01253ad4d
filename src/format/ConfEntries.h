// The configuration entries of the newer chunks (INFO, CUSX, NOTE, GRPX,
// EMPX, ELEM): a key byte whose two high bits give the value's size class
// (1, 2 or 4 bytes, or a 16-bit count and that many bytes) and whose six low
// bits the token. Walking them never reads outside the bytes it is given.
#pragma once

#include "format/RecordLayouts.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr std::uint32_t kNewerFileVersion = 0x03000000;  // 3.0.0.0: NAME, AUTH, INFO, CUSX ...
inline constexpr char kCusxDefaultNamePrefix[] = "Custom element ";

enum class ValueKind { U8, S16, S32, Bytes };

struct ConfEntry {
    std::int64_t KeyPos = 0;    // absolute offset of the key byte
    std::uint8_t Key = 0;
    ValueKind Kind = ValueKind::U8;
    std::int64_t ValuePos = 0;  // the value's first byte (for Bytes: after the 16-bit count)
    std::uint32_t Length = 0;   // value bytes
    std::int32_t Number = 0;    // U8, S16, S32: the value as the game reads it
};

struct EntryWalk {
    std::vector<ConfEntry> Entries;
    std::vector<std::string> Problems;  // one sentence each, for the load log
};

// The entries of bytes[begin..end) (absolute offsets into bytes). An entry
// that runs past end ends the walk; a key without a token is reported and
// stepped over by its size class.
EntryWalk WalkEntries(const std::uint8_t* bytes, std::int64_t begin, std::int64_t end);

// What one CUSX chunk says.
struct CusxEntryView {
    ConfEntry Entry;
    int Page = -1;             // -1: base part; else the change page (0-based)
    std::string Meaning;       // from the tables of keys (format/RecordLayouts.h), "unknown key 0xNN" otherwise
    std::string Value;         // as shown
    std::string Codes;         // element codes for a preview: one hex code, or CR LF lines of three; empty: none
};

struct CusxView {
    std::int64_t DataPos = -1;  // the chunk's data start (its element code)
    std::uint16_t Code = 0;
    int CeNumber = 0;
    std::string Name;           // stored, or the default name
    bool NameStored = false;
    int PageCount = 1;
    std::vector<CusxEntryView> Entries;
    std::vector<std::string> Problems;
};

// Reads the CUSX data bytes[dataPos..dataEnd).
CusxView ReadCusx(const std::uint8_t* bytes, std::int64_t dataPos, std::int64_t dataEnd);
// Reads the CUSX chunk whose data begins at data in the file's bytes: as far
// as its stated size and the file reach. Nothing when data lies outside the file.
std::optional<CusxView> ReadCusxAt(const std::vector<std::uint8_t>& bytes, std::int64_t data);

std::string CusxDefaultName(int ceNumber);

// Appends an entry: key, then the number in the width its size class gives
// (1, 2 or 4 bytes, big-endian), or the 16-bit count and the bytes.
void AppendEntry(std::vector<std::uint8_t>& out, std::uint8_t key, std::int32_t number);

// The settings of a CUSX chunk's base part that a CUS4 record does not hold
// (the game keeps what an earlier CUSX chunk set in them).
inline constexpr std::array<EntryKey, 2> kCusxKeysCus4Lacks{CusxBaseKey::StepDelayFixed, CusxBaseKey::StepDelayRandom};
void AppendEntry(std::vector<std::uint8_t>& out, std::uint8_t key, const std::vector<std::uint8_t>& bytes);

}  // namespace vantrel
