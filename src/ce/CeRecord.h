// The custom element record: the layout of a "CUS4" chunk, as the program
// reads and patches it. The record is never copied into memory: every field is
// read where it lies, at the record position plus the field's offset, on the
// open level file or on any other file of the same layout (a .vce file).
//
// A CUS4 chunk is "CUS4", a 32-bit big-endian record length (96 + 48 x P) and
// the record: a base block of 96 bytes, then P change pages of 48 bytes. The
// record position is the chunk position plus 8. All numbers are big-endian.
//
// Every reader reads only bytes that lie inside the file and inside the
// record: it yields nothing for a field that does not lie wholly inside the
// file, and nothing for a change page outside 1..P. Readers keep the file's
// position.
#pragma once

#include "base/Elements.h"
#include "file/ByteFile.h"
#include "format/RecordLayouts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {


inline constexpr std::uint16_t kDelayTypeSeconds = 50;  // frames per delay unit that mean seconds

// The record's fields, its length and where its pages lie: Cus4Field,
// Cus4PageField, Cus4RecordLength and Cus4PageOffset (format/RecordLayouts.h).

// Offset of the cell in row and column (both 1..3) of a 3x3 block of codes.
int BlockCellOffset(int row, int column);

// The record offsets of all links of a record with P change pages: every
// element code the game reads from it (the fields marked in Cus4Field and
// Cus4PageField), in the record's order: the own element code, the borrowed
// graphic, the nine explode content cells row by row, the element entered and
// the one left behind, then for each page its change-to element, its
// condition element and its nine extended change cells. 13 + 11 x P offsets.
std::vector<std::int64_t> CeLinkOffsets(int pages);
// The file positions of the record's links, P read from the record. Links
// that do not lie wholly inside the file are left out; a record whose P lies
// outside the file has only the links of its base block.
std::vector<std::int64_t> CeLinkPositions(ByteFile& file, std::int64_t record);
// Writes a link: the code as a big-endian word at the position. A position
// whose two bytes do not both lie inside the file is refused (VantrelError)
// and nothing is written (a link never extends a file).
void WriteCeLink(WritableFile& file, std::int64_t position, std::uint16_t code);

// n bytes (1..4) at the position, big-endian, when all of them lie inside the
// file; nothing otherwise.
std::optional<std::uint32_t> ReadNumberInFile(ByteFile& file, std::int64_t position, int n);

// --- base block ---
std::optional<std::uint16_t> ReadCeElementCode(ByteFile& file, std::int64_t record);
// The name: the text before the first NUL byte of the 30-byte field. Nothing
// when the field runs past the end of the file before a NUL byte ends it.
std::optional<std::string> ReadCeName(ByteFile& file, std::int64_t record);
std::optional<int> ReadChangePageCount(ByteFile& file, std::int64_t record);
std::optional<bool> ReadUseGraphicOf(ByteFile& file, std::int64_t record);
std::optional<std::uint16_t> ReadGraphicOf(ByteFile& file, std::int64_t record);
std::optional<std::uint16_t> ReadExplodeCont(ByteFile& file, std::int64_t record, int row, int column);

// The number of change pages, from 1 on, that lie wholly inside the file: P
// for a whole record, fewer for a record cut short by the end of the file.
int ChangePagesInFile(ByteFile& file, std::int64_t record);

// --- change page p (1..P; nothing for any other page) ---
std::optional<std::uint32_t> ReadEventBits(ByteFile& file, std::int64_t record, int page);
// Bit 0 of the byte at page offset 3: the delay condition.
std::optional<bool> ReadDelayCondition(ByteFile& file, std::int64_t record, int page);
std::optional<std::uint16_t> ReadChangeTo(ByteFile& file, std::int64_t record, int page);
std::optional<std::uint16_t> ReadDelayFixed(ByteFile& file, std::int64_t record, int page);
std::optional<std::uint16_t> ReadDelayRandom(ByteFile& file, std::int64_t record, int page);
std::optional<std::uint16_t> ReadDelayType(ByteFile& file, std::int64_t record, int page);
std::optional<std::uint16_t> ReadChangeCondElement(ByteFile& file, std::int64_t record, int page);
std::optional<bool> ReadUseExtChange(ByteFile& file, std::int64_t record, int page);
std::optional<std::uint16_t> ReadExtChange(ByteFile& file, std::int64_t record, int page, int row, int column);
std::optional<bool> ReadCanChange(ByteFile& file, std::int64_t record, int page);

// The file position of a page field, when page is 1..P of the record and the
// field lies inside the file; nothing otherwise.
std::optional<std::int64_t> CePageFieldPosition(ByteFile& file, std::int64_t record, int page, int offset,
                                                int size);

}  // namespace vantrel
