// Selection and the map clipboard of the level view. The user drags with the
// left button to select a rectangle of map cells; Copy fills a clipboard
// that lives as long as the program (the system clipboard is not used) and
// outlasts loading another level; Cut, Paste and Delete change the level's grid and
// write the changed rectangle into the open level file at once.
//
// A selection is always cut to the open level's map before it is used, so no
// command reaches a cell outside 1..MapWidth x 1..MapHeight. Before the first
// selection, or with no level open, the commands change nothing.
#pragma once

#include "base/Text.h"
#include "level/Clipboard.h"
#include "view/ViewGeometry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

class OpenLevel;

struct MapSelection {
    PackedCell SelectionStart = 0;  // after a release: smaller column, smaller row
    PackedCell SelectionEnd = 0;    // after a release: larger column, larger row
    PixelPoint FrameStart;          // view pixels, taken at the press
    PixelPoint FrameEnd;            // view pixels, taken at the release
};

// A rectangle of map cells, both corners inclusive.
struct CellBlock {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left + 1; }
    int Height() const { return Bottom - Top + 1; }
    bool operator==(const CellBlock&) const = default;
};

// Left button pressed at view pixel p: the selection starts at the map cell shown there.
void SelectionPress(MapSelection& sel, PixelPoint p, const ViewPosition& view);

// Left button released at view pixel p: the selection ends at the map cell
// shown there, its corners are ordered, and the frame is widened to whole
// cells. Returns the frame to draw, in view pixels.
PixelRect SelectionRelease(MapSelection& sel, PixelPoint p, const ViewPosition& view);

// The selected cells cut to the open level's map; nothing when no level is
// open or the selection names no cell of the map.
std::optional<CellBlock> SelectedBlock(const MapSelection& sel, const OpenLevel& lvl);

// Copy: replaces the clipboard by the selected cells. False when nothing is selected.
bool CopySelection(const OpenLevel& lvl, const MapSelection& sel, MapClipboard& clip);

// Delete: empty space into every selected cell, written to the file. False when nothing is selected.
bool DeleteSelection(OpenLevel& lvl, const MapSelection& sel);

// Cut: Copy, then Delete.
bool CutSelection(OpenLevel& lvl, const MapSelection& sel, MapClipboard& clip);

struct PasteResult {
    bool Written = false;  // the pasted cells were written to the file
    int Pasted = 0;        // cells that took the clipboard's code
    int Skipped = 0;       // cells left as they were: a code of 256 or more on a one-byte level
    CellBlock Block;       // the cells the paste covered
    std::string Refusal;   // why nothing was pasted (nothing copied, a selection larger than the block)
};

// Paste: lays the clipboard with its top-left cell on the selection's
// top-left cell. A selection of one cell takes the whole block, as much of it
// as the map holds; a larger selection takes the block's top-left part of
// its own size, and one wider or higher than the block pastes nothing. Only
// the pasted cells are written, as one step; a paste that pastes nothing
// writes nothing and says why (Refusal). On a level with one byte per cell,
// codes of 256 and more are not pasted (their low byte would name another
// element in the file).
PasteResult PasteSelection(OpenLevel& lvl, const MapSelection& sel, const MapClipboard& clip);

inline constexpr char kNothingCopiedMessage[] =
    "Nothing has been copied yet: select cells and Copy them (Ctrl+C) first. Nothing was pasted.";
// Why a selection larger than the copied block takes nothing.
std::string PasteMismatchMessage(int blockWidth, int blockHeight, int selectionWidth, int selectionHeight);

// What the user is told when a paste skipped cells.
std::string PasteSkippedMessage(int skipped);

// The status line after a paste: "pasted 3 x 2 cells at x 5, y 4".
std::string PasteStatusText(const PasteResult& result);

// One Level Sketch token: a backquote and the code in at least three digits;
// custom elements (360..615) are written as 360, group elements (624..655) as 624.
std::string LevelSketchToken(std::uint16_t code);

// The clipboard as Level Sketch text, one line a row, top row first.
std::vector<std::string> LevelSketchLines(const MapClipboard& clip);

}  // namespace vantrel
