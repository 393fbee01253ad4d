#include "view/MapClipboard.h"

#include "level/OpenLevel.h"

#include <algorithm>

namespace vantrel {

namespace {

// What the Edit menu calls a command on a block: "Paste 3 x 3 cells".
std::string BlockStepName(const char* verb, const CellBlock& b)
{
    return std::string(verb) + " " + std::to_string(b.Width()) + " x " + std::to_string(b.Height()) +
           (b.Width() * b.Height() == 1 ? " cell" : " cells");
}

// Writes the block's cells, as the grid now holds them, into the level file, as one step.
void WriteBlock(OpenLevel& lvl, const CellBlock& b, const char* verb)
{
    WriteGridRect(lvl, PackCell(b.Left, b.Top), PackCell(b.Right, b.Bottom), BlockStepName(verb, b));
}

}  // namespace

void SelectionPress(MapSelection& sel, PixelPoint p, const ViewPosition& view)
{
    const PackedCell v = ViewCellAt(p, view);
    sel.SelectionStart = MapCellOfViewCell(v, view);
    sel.FrameStart = CellOrigin(v, static_cast<std::uint8_t>(view.CellSize));
}

PixelRect SelectionRelease(MapSelection& sel, PixelPoint p, const ViewPosition& view)
{
    const PackedCell v = ViewCellAt(p, view);
    sel.SelectionEnd = MapCellOfViewCell(v, view);
    sel.FrameEnd = CellOrigin(v, static_cast<std::uint8_t>(view.CellSize));
    // Widen the frame to whole cells: the corner further right (or down)
    // moves to the far side of its cell.
    if (sel.FrameEnd.x > sel.FrameStart.x)
        sel.FrameEnd.x += view.CellSize;
    else
        sel.FrameStart.x += view.CellSize;
    if (sel.FrameEnd.y > sel.FrameStart.y)
        sel.FrameEnd.y += view.CellSize;
    else
        sel.FrameStart.y += view.CellSize;
    OrderCellCorners(sel.SelectionStart, sel.SelectionEnd);
    return RectFromCorners(sel.FrameStart, sel.FrameEnd);
}

std::optional<CellBlock> SelectedBlock(const MapSelection& sel, const OpenLevel& lvl)
{
    if (!lvl.LevelOpen()) return std::nullopt;
    const int x1 = CellX(sel.SelectionStart), x2 = CellX(sel.SelectionEnd);
    const int y1 = CellY(sel.SelectionStart), y2 = CellY(sel.SelectionEnd);
    CellBlock b;
    b.Left = std::max(std::min(x1, x2), 1);
    b.Top = std::max(std::min(y1, y2), 1);
    b.Right = std::min({std::max(x1, x2), lvl.MapWidth(), kMaxMapSize});
    b.Bottom = std::min({std::max(y1, y2), lvl.MapHeight(), kMaxMapSize});
    if (b.Left > b.Right || b.Top > b.Bottom) return std::nullopt;
    return b;
}

bool CopySelection(const OpenLevel& lvl, const MapSelection& sel, MapClipboard& clip)
{
    const std::optional<CellBlock> b = SelectedBlock(sel, lvl);
    if (!b) return false;
    clip.ClipBuffer.assign(static_cast<std::size_t>(b->Width()),
                           std::vector<std::uint16_t>(static_cast<std::size_t>(b->Height()), 0));
    for (int y = b->Top; y <= b->Bottom; ++y)
        for (int x = b->Left; x <= b->Right; ++x)
            clip.ClipBuffer[static_cast<std::size_t>(x - b->Left)][static_cast<std::size_t>(y - b->Top)] =
                lvl.Grid().At(x, y);
    clip.ClipSize = PackCell(b->Width(), b->Height());
    return true;
}

bool DeleteSelection(OpenLevel& lvl, const MapSelection& sel)
{
    const std::optional<CellBlock> b = SelectedBlock(sel, lvl);
    if (!b) return false;
    lvl.EnsureWritable();  // before the grid changes: the grid and the file stay alike
    for (int y = b->Top; y <= b->Bottom; ++y)
        for (int x = b->Left; x <= b->Right; ++x) lvl.Grid().Set(x, y, 0);
    WriteBlock(lvl, *b, "Delete");
    return true;
}

bool CutSelection(OpenLevel& lvl, const MapSelection& sel, MapClipboard& clip)
{
    const std::optional<CellBlock> b = SelectedBlock(sel, lvl);
    if (!b) return false;
    LevelWrite step(lvl, BlockStepName("Cut", *b));  // a refused cut copies nothing either
    if (!CopySelection(lvl, sel, clip) || !DeleteSelection(lvl, sel)) return false;
    step.Commit();
    return true;
}

PasteResult PasteSelection(OpenLevel& lvl, const MapSelection& sel, const MapClipboard& clip)
{
    PasteResult result;
    const std::optional<CellBlock> b = SelectedBlock(sel, lvl);
    if (!b) return result;
    const int columns = static_cast<int>(clip.ClipBuffer.size());
    const int rows = columns == 0 ? 0 : static_cast<int>(clip.ClipBuffer[0].size());
    if (columns == 0 || rows == 0) {
        result.Refusal = kNothingCopiedMessage;
        return result;
    }
    CellBlock target = *b;
    if (b->Width() == 1 && b->Height() == 1) {
        // One cell: the whole block from there, as far as the map reaches.
        target.Right = std::min({b->Left + columns - 1, lvl.MapWidth(), kMaxMapSize});
        target.Bottom = std::min({b->Top + rows - 1, lvl.MapHeight(), kMaxMapSize});
    } else if (columns < b->Width() || rows < b->Height()) {
        result.Refusal = PasteMismatchMessage(columns, rows, b->Width(), b->Height());
        return result;
    }
    result.Block = target;
    lvl.EnsureWritable();  // before the grid changes: the grid and the file stay alike
    for (int y = target.Top; y <= target.Bottom; ++y) {
        for (int x = target.Left; x <= target.Right; ++x) {
            const std::uint16_t code =
                clip.ClipBuffer[static_cast<std::size_t>(x - target.Left)][static_cast<std::size_t>(y - target.Top)];
            if (!lvl.Wide16() && code > 0xFF) {
                ++result.Skipped;
                continue;
            }
            lvl.Grid().Set(x, y, code);
            ++result.Pasted;
        }
    }
    if (result.Pasted == 0) return result;
    WriteBlock(lvl, target, "Paste");
    result.Written = true;
    return result;
}

std::string PasteMismatchMessage(int blockWidth, int blockHeight, int selectionWidth, int selectionHeight)
{
    return "The selection is " + std::to_string(selectionWidth) + " x " + std::to_string(selectionHeight) +
           " cells, the copied block " + std::to_string(blockWidth) + " x " + std::to_string(blockHeight) +
           ": a paste fills the selection from the block's top-left corner, so the selection may not be wider or "
           "higher than the block. Click one cell to paste the whole block there. Nothing was pasted.";
}

std::string PasteSkippedMessage(int skipped)
{
    return std::to_string(skipped) + (skipped == 1 ? " cell was" : " cells were") +
           " not pasted: this level stores one byte per cell, which cannot hold element codes of 256 and above.";
}

std::string PasteStatusText(const PasteResult& result)
{
    if (!result.Written) return {};
    const CellBlock& b = result.Block;
    std::string text = "pasted " + std::to_string(b.Width()) + " x " + std::to_string(b.Height()) +
                       (b.Width() * b.Height() == 1 ? " cell" : " cells") + " at x " + std::to_string(b.Left) +
                       ", y " + std::to_string(b.Top);
    if (result.Skipped > 0) text += " (" + std::to_string(result.Skipped) + " not pasted)";
    return text;
}

std::string LevelSketchToken(std::uint16_t code)
{
    std::uint16_t shown = code;
    if (IsCeCode(code)) shown = kFirstCeCode;
    if (code >= kFirstGroupCode && code <= kLastGroupCode) shown = kFirstGroupCode;
    return "`" + ZeroPadInt(shown, 3);
}

std::vector<std::string> LevelSketchLines(const MapClipboard& clip)
{
    std::vector<std::string> lines;
    const int columns = std::min(clip.Columns(), static_cast<int>(clip.ClipBuffer.size()));
    for (int r = 0; r < clip.Rows(); ++r) {
        std::string line;
        for (int c = 0; c < columns; ++c) {
            const auto& column = clip.ClipBuffer[static_cast<std::size_t>(c)];
            if (r < static_cast<int>(column.size())) line += LevelSketchToken(column[static_cast<std::size_t>(r)]);
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace vantrel
