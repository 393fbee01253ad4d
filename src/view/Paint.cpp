#include "view/Paint.h"

#include "base/Bytes.h"
#include "base/ElementTable.h"
#include "base/Error.h"
#include "level/OpenLevel.h"

#include <cstdlib>

namespace vantrel {

std::vector<PackedCell> CellsOnLine(PackedCell a, PackedCell b)
{
    int x = CellX(a), y = CellY(a);
    const int x1 = CellX(b), y1 = CellY(b);
    const int dx = std::abs(x1 - x), dy = -std::abs(y1 - y);
    const int sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
    std::vector<PackedCell> cells;
    for (int err = dx + dy;;) {
        cells.push_back(PackCell(x, y));
        if (x == x1 && y == y1) return cells;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void PaintStroke::ExtendTo(PackedCell to, int width, int height)
{
    const std::vector<PackedCell> line = cells_.empty() && last_ == 0 ? std::vector<PackedCell>{to}
                                                                      : CellsOnLine(last_, to);
    last_ = to;
    for (const PackedCell c : line) {
        if (CellX(c) < 1 || CellX(c) > width || CellY(c) < 1 || CellY(c) > height || seen_[c]) continue;
        seen_[c] = true;
        cells_.push_back(c);
    }
}

std::string PaintRefusal(const OpenLevel& lvl, std::uint16_t code)
{
    if (!lvl.LevelOpen()) return std::string(kNoLevelOpenMessage) + ", then paint into it.";
    if (ElementByCode(code) == nullptr)
        return "The code 0x" + HexText(code, 4) + " (" + std::to_string(code) +
               ") names no element of the game: nothing was painted. Pick an element in Tool > Element View.";
    if (!lvl.Wide16() && code > 0xFF)
        return "This level keeps one byte a cell, so it cannot hold element " + ElementLabel(code) +
               " (only codes up to 0x00FF): nothing was painted.";
    return {};
}

int PaintCells(OpenLevel& lvl, const PaintStroke& stroke)
{
    if (const std::string why = PaintRefusal(lvl, stroke.Code()); !why.empty()) throw VantrelError(why);
    const std::size_t n = stroke.Cells().size();
    // one step: all of the stroke's cells, or none of them
    LevelWrite write(lvl, "Paint " + std::to_string(n) + (n == 1 ? " cell" : " cells"));
    int written = 0;
    for (const PackedCell c : stroke.Cells()) {
        if (lvl.Grid().At(CellX(c), CellY(c)) == stroke.Code()) continue;
        if (SetCell(lvl, c, stroke.Code())) ++written;
    }
    write.Commit();
    return written;
}

std::string CellStatusText(const OpenLevel& lvl, PackedCell cell)
{
    const int x = CellX(cell), y = CellY(cell);
    if (!lvl.LevelOpen() || !lvl.Grid().Contains(x, y)) return {};
    return "x " + std::to_string(x) + ", y " + std::to_string(y) + ": " + ElementLabel(lvl.Grid().At(x, y));
}

std::string SelectionSizeText(PackedCell a, PackedCell b)
{
    return "selection " + std::to_string(std::abs(CellX(a) - CellX(b)) + 1) + " x " +
           std::to_string(std::abs(CellY(a) - CellY(b)) + 1);
}

}  // namespace vantrel
