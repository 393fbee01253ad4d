// The new level writer: builds a complete chunked level file from nothing
// (the version chunk, a HEAD of the game's default values, AUTH and a BODY
// of two-byte cells) and puts it on disk under a level file name that was
// free, never replacing a file that exists.
//
// Layout of a w x h level (all numbers big-endian, 196 + 2 x w x h bytes):
//   0 "RND1", 0, "CAVE" "VERS", 8, file version 2.0.0.0, game version 3.0.8.3
//  28 "HEAD", 80 (the size it states; its data is 112 bytes long)
//  36 w, h, time left, emeralds to collect, title (32 bytes), fixed defaults,
//     cell width flag 1 at 132
// 148 "AUTH", 32, author (32 bytes)
// 188 "BODY", w x h x 2, the cells row by row, high byte first
#pragma once

#include "format/RecordLayouts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr int kNewLevelFixedSize = 196;   // the file without its cells
inline constexpr std::size_t kNewLevelTextSize = kLevelTextLength;  // title and author fields
inline constexpr std::uint32_t kNewLevelFileVersion = 0x02000000;  // 2.0.0.0
inline constexpr std::uint32_t kNewLevelGameVersion = 0x03000803;  // 3.0.8.3
inline constexpr int kLastLevelNumber = 999;  // the names run from 001.level to 999.level

// The full path of the first of 001.level .. 999.level that does not exist
// in directory, which must exist; nothing when all 999 exist.
std::optional<std::string> NextFreeLevelPath(const std::string& directory);

struct NewLevel {
    std::string Author;
    std::string Title;
    std::uint8_t Width = 0;
    std::uint8_t Height = 0;
    std::uint16_t Emeralds = 0;
    std::uint16_t TimeLeft = 0;
    std::vector<std::uint16_t> Cells;  // Width x Height of them, row by row
};

// The whole file of a new level, laid out as above.
std::vector<std::uint8_t> NewLevelBytes(const NewLevel& level);

// Where a new level goes: the first free numbered name in outputDir when
// that is an existing directory; otherwise "000.level" in fallbackDir.
// Nothing, with reason set to what the user is told, when there is no such
// name: all of 001..999 exist, fallbackDir is empty, or its 000.level exists.
std::optional<std::string> ChooseNewLevelPath(const std::string& outputDir, const std::string& fallbackDir,
                                              std::string& reason);

// Writes level as a new file under the name ChooseNewLevelPath gives: into a
// new file in the same folder that is then linked to that name (which fails
// when the name is taken), so that the name never names a part of a level and
// an existing file is never replaced. When another program takes a numbered
// name in the meantime, the next free one is used. Nothing, with reason set,
// when no name is free. Throws VantrelError naming the path and the system's
// reason; nothing is left behind.
std::optional<std::string> SaveNewLevel(const NewLevel& level, const std::string& outputDir,
                                        const std::string& fallbackDir, std::string& reason);

}  // namespace vantrel
