// The map clipboard: a block of cells copied from a level, kept across loads
// (the system clipboard is not used).
#pragma once

#include "base/Text.h"

#include <cstdint>
#include <vector>

namespace vantrel {

struct MapClipboard {
    std::vector<std::vector<std::uint16_t>> ClipBuffer;  // [column offset][row offset]
    PackedCell ClipSize = 0;                             // low byte columns, high byte rows
    int Columns() const { return CellX(ClipSize); }
    int Rows() const { return CellY(ClipSize); }
};

}  // namespace vantrel
