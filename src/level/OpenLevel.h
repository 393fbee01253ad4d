// The one open level: its file, the chunk positions the loader recorded, the
// in-memory playfield, and the positioned reads and writes every part of the
// program uses on it. Changes go to the file at once; there is no save step.
#pragma once

#include "level/ByteFile.h"
#include "shell/Text.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantrel {

class UserInterface;

constexpr int kMaxMapSize = 128;
constexpr std::uint16_t kFirstCeCode = 360;   // custom element 1
constexpr std::uint16_t kLastCeCode = 615;    // custom element 256
constexpr std::uint16_t kFirstEnvelopeCode = 620;
constexpr std::uint16_t kLastEnvelopeCode = 623;
constexpr std::uint16_t kFirstGroupCode = 624;
constexpr std::uint16_t kLastGroupCode = 655;

// MapGrid[x][y], x and y from 1 to 128; index 0 is unused.
using MapGridT = std::array<std::array<std::uint16_t, kMaxMapSize + 1>, kMaxMapSize + 1>;

struct OpenLevel {
    std::unique_ptr<ByteFile> LevelFile;
    std::unique_ptr<ByteFile> AuxFile;

    std::uint8_t LevelFormat = 0;  // 0 cookie (other version), 1 "1.0", 2 "1.2", 3 "1.4", 4 "RND1"
    std::int32_t LoadedFileSize = 0;
    std::int32_t HeadPos = -1;
    std::int32_t BodyStart = -1;
    std::int32_t AuthPos = -1;
    std::int32_t ContPos = -1;
    std::int32_t Cnt2Pos = -1;
    std::int32_t Cus1Pos = -1;
    std::int32_t Cus3Pos = -1;
    std::vector<std::int32_t> CePositions;        // record position of every CUS4 chunk, in file order
    std::array<std::int32_t, 5> EnvelopePos{-1, -1, -1, -1, -1};  // [1..4], codes 620..623
    std::array<std::int32_t, 33> GroupPos{};      // [1..32], codes 624..655 (-1 when unset)

    MapGridT MapGrid{};
    std::uint8_t MapWidth = 0;
    std::uint8_t MapHeight = 0;
    bool Wide16 = false;

    std::string LevelPath;           // full path of the open level
    std::vector<std::string> Log;    // the load log, one entry a line
    bool Loaded = false;             // the last load completed and its file is still open

    OpenLevel() { GroupPos.fill(-1); }

    // A level is open only after a completed load, until Save and Close.
    bool LevelOpen() const { return Loaded && LevelFile != nullptr; }
    // Closes the level file, if any; the state of the last load stays for inspection.
    void CloseLevelFile();
    ByteFile& File() const;  // the open level file; throws when none is open
};

// --- cells and the grid ---
std::int64_t CellFileOffset(const OpenLevel& lvl, PackedCell coord);
bool SetCell(OpenLevel& lvl, PackedCell coord, std::uint16_t code);
void WriteGridRect(OpenLevel& lvl, PackedCell topLeft, PackedCell bottomRight);
int CountElementInRect(const OpenLevel& lvl, std::uint16_t code, int x1, int y1, int x2, int y2);
int CountElement(const OpenLevel& lvl, std::uint16_t code);
PackedCell FindElement(const OpenLevel& lvl, std::uint16_t code, int n);

// --- positioned reads and writes ---
// Reads count bytes at position (-1: the current one). When the file is too
// short, writes the guard line into the load log and returns empty text.
std::string ReadFileString(OpenLevel& lvl, std::size_t count, ByteFile& file, std::int64_t position = -1);
std::string GuardLine(std::int64_t size, std::int64_t pos, std::size_t count);
std::uint32_t GetBytesAtPos(std::int64_t offset, ByteFile& file, int n);
std::uint8_t GetByteAtPos(std::int64_t offset, ByteFile& file, bool seek);
std::uint16_t GetWordAtPos(std::int64_t offset, ByteFile& file, bool seek);
void SetByteAtPos(std::int64_t offset, ByteFile& file, std::uint8_t value, UserInterface& ui);
void SetWordAtPos(std::int64_t offset, ByteFile& file, std::uint16_t value, UserInterface& ui);
void WriteHexAtPos(std::int64_t offset, ByteFile& file, const std::string& hex);
void RepeatHexByte(int count, std::uint8_t value, std::string& text);
void ShowBytesAsHex(OpenLevel& lvl, ByteFile& file, std::size_t count, UserInterface& ui);

inline constexpr char kOutOfRangeMessage[] = "SET_BYTE_AT_POS: Out of Range (This is a bug)";

// --- custom element numbers ---
inline std::uint16_t CeElementCode(int n) { return static_cast<std::uint16_t>(n + 359); }
inline std::uint16_t CeNumberOf(std::uint16_t code) { return static_cast<std::uint16_t>(code - 359); }
inline std::int32_t Cus4ChunkLength(int pages) { return 104 + 48 * pages; }

}  // namespace vantrel
