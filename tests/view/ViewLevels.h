// Levels in memory for the view's tests: a standard level file built byte by
// byte and loaded through the loader, and the cells as its file holds them.
#pragma once

#include "file/ByteFile.h"
#include "level/Loader.h"
#include "support/LevelBuilder.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vantrel::test {

constexpr std::int64_t kStandardBodyStart = 196;

// Loads a width x height level of the given cells (row by row) from memory.
inline void LoadMemoryLevel(OpenLevel& lvl, int width, int height, bool wide, const std::vector<std::uint16_t>& cells)
{
    ScriptedUi ui;
    LoadReport report;
    const auto bytes = LevelBuilder::Standard(
                           {.width = static_cast<std::uint8_t>(width), .height = static_cast<std::uint8_t>(height),
                            .wide = wide},
                           cells)
                           .Data();
    LoadLevelFrom(lvl, std::make_unique<MemoryFile>("memory.level", bytes), report);
    ASSERT_TRUE(report.Completed);
    ASSERT_TRUE(lvl.LevelOpen());
}

// Cells numbered row by row: cell (x, y) holds base + (y - 1) * width + x.
inline std::vector<std::uint16_t> NumberedCells(int width, int height, int base = 0)
{
    std::vector<std::uint16_t> cells;
    for (int y = 1; y <= height; ++y)
        for (int x = 1; x <= width; ++x) cells.push_back(static_cast<std::uint16_t>(base + (y - 1) * width + x));
    return cells;
}

// The code the open level's file holds for cell (x, y).
inline std::uint16_t FileCell(const OpenLevel& lvl, int x, int y)
{
    const auto& bytes = static_cast<const MemoryFile&>(lvl.File()).Bytes();
    const std::size_t cellBytes = lvl.Wide16() ? 2 : 1;
    const std::size_t at =
        static_cast<std::size_t>(lvl.BodyStart()) + cellBytes * static_cast<std::size_t>((y - 1) * lvl.MapWidth() + x - 1);
    return lvl.Wide16() ? static_cast<std::uint16_t>(bytes.at(at) << 8 | bytes.at(at + 1)) : bytes.at(at);
}

inline const std::vector<std::uint8_t>& FileBytes(const OpenLevel& lvl)
{
    return static_cast<const MemoryFile&>(lvl.File()).Bytes();
}

}  // namespace vantrel::test
