// Painting cells in the level view: the cells a stroke of the pointer
// crosses, and the stroke written into the level as one command, so that it
// is one step to take back.
#pragma once

#include "base/Text.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

class OpenLevel;

// The cells of the straight line from a to b, both included, in order; each
// cell a neighbour (side or corner) of the one before.
std::vector<PackedCell> CellsOnLine(PackedCell a, PackedCell b);

// One stroke: the element painted and the map cells under its path, each
// once, in the order the pointer reached them.
class PaintStroke {
public:
    explicit PaintStroke(std::uint16_t code = 0) : code_(code) {}
    std::uint16_t Code() const { return code_; }
    const std::vector<PackedCell>& Cells() const { return cells_; }
    // Adds the cells of the line from the last cell reached to `to` (the
    // first call adds `to` alone); cells outside 1..width x 1..height are left out.
    void ExtendTo(PackedCell to, int width, int height);

private:
    std::uint16_t code_;
    std::vector<PackedCell> cells_;
    std::vector<bool> seen_ = std::vector<bool>(256 * 256, false);
    PackedCell last_ = 0;
};

// Why the code cannot be painted into the open level (no level, a code that
// names no element of the game, a code a level of one byte a cell cannot
// hold); empty when it can.
std::string PaintRefusal(const OpenLevel& lvl, std::uint16_t code);

// Writes the stroke into the grid and the level file, every cell that does
// not hold the code yet, as one step of the level's door (a write that fails
// part way takes the stroke back whole). Throws VantrelError (nothing
// written) with PaintRefusal's text, or when the level may not be written.
// Returns the cells written.
int PaintCells(OpenLevel& lvl, const PaintStroke& stroke);

// The status line's words for the map cell under the pointer:
// "x 12, y 7: 0x0168 Custom element 1"; empty outside the map or with no level open.
std::string CellStatusText(const OpenLevel& lvl, PackedCell cell);
// The size of a selection being dragged: "selection 3 x 2".
std::string SelectionSizeText(PackedCell a, PackedCell b);

}  // namespace vantrel
