#include "ce/CeViews.h"

#include "base/Bytes.h"
#include "base/ElementTable.h"
#include "base/TileLayout.h"
#include "ce/CeRecord.h"

#include <algorithm>

namespace vantrel {

namespace {

// A whole text of 1 to 4 hexadecimal digits, upper or lower case.
std::optional<std::uint16_t> ParseHexCode(const std::string& text)
{
    const auto v = ParseHex(text, 4);
    if (!v) return std::nullopt;
    return static_cast<std::uint16_t>(*v);
}

TileCode Tile(int column, int row, std::uint16_t code)
{
    return {column, row, code, CellRect(PackCell(column, row), static_cast<std::uint8_t>(kTileSize))};
}

// The element code of field f of the record at record (a field marked as
// one code in its table) as four hex digits; empty when it lies outside the file.
std::string CodeText(ByteFile& file, std::int64_t record, RecordField f)
{
    if (f.Codes() != 1) return {};
    return HexOfFileBytes(file, record + f.Offset, f.CodeWidth, 0, "").value_or("");
}

// The 3x3 block of codes of field f (marked as nine codes in its table) as
// three memo lines of three codes, each followed by a blank.
std::array<std::string, 3> BlockLines(ByteFile& file, std::int64_t record, RecordField f)
{
    std::array<std::string, 3> lines;
    if (f.Codes() != 9) return lines;
    for (int row = 1; row <= 3; ++row)
        lines[static_cast<std::size_t>(row - 1)] =
            HexOfFileBytes(file, record + f.Offset + BlockCellOffset(row, 1), 3 * f.CodeWidth, f.CodeWidth, " ")
                .value_or("");
    return lines;
}

std::string PastEndNotice(ByteFile& file, std::int64_t record, const CeView& v)
{
    const bool baseCut = record + kCus4RecordLength > file.Size();
    const int pages = v.PageCount.value_or(0);
    const bool pagesCut = v.PagesOffered < pages;
    if (!baseCut && !pagesCut) return {};
    std::string text = "The custom element record at " + std::to_string(record) +
                       " runs past the end of the file (" + std::to_string(file.Size()) + " bytes): ";
    if (baseCut) text += "fields beyond the end are left empty";
    if (pagesCut) {
        if (baseCut) text += " and ";
        const int first = v.PagesOffered + 1;
        text += first == pages ? "change page " + std::to_string(pages) + " is not shown"
                               : "change pages " + std::to_string(first) + " to " + std::to_string(pages) +
                                     " are not shown";
    }
    return text + ".";
}

}  // namespace

std::string CeListLineNumber(const std::string& line)
{
    return TextBefore(line, ": ");
}

std::string CeListLineName(const std::string& line)
{
    return TextAfter(line, ": ");
}

std::optional<std::string> HexOfFileBytes(ByteFile& file, std::int64_t position, int count, int group,
                                          const std::string& separator)
{
    if (count < 0 || position < 0 || position + count > file.Size()) return std::nullopt;
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += BytesToHex(std::string(1, static_cast<char>(GetByteAtPos(position + i - 1, file))));
        if (group != 0 && i % group == 0) text += separator;
    }
    return text;
}

std::vector<TileCode> ElementCodesToDraw(const std::string& text)
{
    std::vector<TileCode> tiles;
    const int fields = CountFields(text, "\r");
    if (fields == 1) {
        if (const auto code = ParseHexCode(text)) tiles.push_back(Tile(1, 1, *code));
        return tiles;
    }
    for (int row = 1; row <= fields - 1; ++row) {
        const std::string line = NthField(text, row, "\r\n");
        for (int column = 1; column <= 3; ++column)
            if (const auto code = ParseHexCode(NthField(line, column, " "))) tiles.push_back(Tile(column, row, *code));
    }
    return tiles;
}

std::string MemoText(const std::array<std::string, 3>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string ChangePageLabel(std::optional<int> pages)
{
    return std::string(kChangePageLabelStart) + (pages ? std::to_string(*pages) : std::string());
}

CeChangePageView ReadChangePageView(ByteFile& file, std::int64_t record, int page)
{
    CeChangePageView v;
    if (page < 1 || page > ChangePagesInFile(file, record)) return v;
    const std::int64_t q = record + Cus4PageOffset(page);
    v.Page = page;
    v.Position = q;
    v.CanChange = ReadCanChange(file, record, page).value_or(false);
    v.GroupVisible = v.CanChange;
    v.ChangeTo = CodeText(file, q, Cus4PageField::ChangeTo);
    v.ChangeToTiles = ElementCodesToDraw(v.ChangeTo);
    v.ChangeCondEl = CodeText(file, q, Cus4PageField::ChangeCondElement);
    v.ChangeCondElTiles = ElementCodesToDraw(v.ChangeCondEl);
    v.DelayFixedStored = ReadDelayFixed(file, record, page).value_or(0);
    v.DelayRandomStored = ReadDelayRandom(file, record, page).value_or(0);
    v.DelayFixed = std::min<int>(v.DelayFixedStored, kDelaySpinMax);
    v.DelayRandom = std::min<int>(v.DelayRandomStored, kDelaySpinMax);
    v.DelayTypeStored = ReadDelayType(file, record, page).value_or(0);
    v.DelayTypeIndex = v.DelayTypeStored == kDelayTypeSeconds ? kDelayTypeSecondsIndex : kDelayTypeFramesIndex;
    v.DelayCheck = ReadDelayCondition(file, record, page).value_or(false);
    v.ExtChangeCheck = ReadUseExtChange(file, record, page).value_or(false);
    v.ExtChangeLines = BlockLines(file, q, Cus4PageField::ExtChange);
    v.ExtChangeTiles = ElementCodesToDraw(MemoText(v.ExtChangeLines));
    return v;
}

CeView ReadCeView(ByteFile& file, std::int64_t record, const std::string& name)
{
    CeView v;
    v.RecordPosition = record;
    v.Name = name;
    if (record < 0) {
        v.UseGraphicOfEnabled = false;
        v.ChangePageLabel = ChangePageLabel(std::nullopt);
        v.Notice = "There is no custom element record at " + std::to_string(record) + ".";
        return v;
    }

    const auto useGraphic = ReadUseGraphicOf(file, record);
    v.UseGraphicOf = useGraphic.value_or(false);
    v.UseGraphicOfEnabled = useGraphic.has_value();
    v.GraphicOf = CodeText(file, record, Cus4Field::GraphicOf);
    v.GraphicOfTiles = ElementCodesToDraw(v.GraphicOf);

    v.PageCount = ReadChangePageCount(file, record);
    v.PagesOffered = ChangePagesInFile(file, record);
    v.ChangePageLabel = ChangePageLabel(v.PageCount);
    if (v.PagesOffered > 0) {
        v.PageMin = 1;
        v.PageMax = v.PagesOffered;
        v.PageValue = v.PagesOffered;
        v.PageEnabled = true;
        v.ChangePage = ReadChangePageView(file, record, v.PageValue);
    }

    v.ExplodeContLines = BlockLines(file, record, Cus4Field::ExplodeCont);
    v.ExplodeContTiles = ElementCodesToDraw(MemoText(v.ExplodeContLines));
    v.Notice = PastEndNotice(file, record, v);
    return v;
}

namespace {

// The CUS4 record of a CE list line (from 0), when the line stands for one.
std::optional<std::int64_t> RecordOfLine(const OpenLevel& lvl, int line)
{
    if (!lvl.LevelOpen() || line < 0) return std::nullopt;
    const auto& lines = lvl.Index().CeLines;
    std::size_t k = static_cast<std::size_t>(line);
    if (!lines.empty()) {
        if (k >= lines.size() || lines[k].Cusx) return std::nullopt;
        k = lines[k].Index;
    }
    if (k >= lvl.CePositions().size()) return std::nullopt;
    return lvl.CePositions()[k];
}

}  // namespace

std::optional<CeView> CeViewOfLine(const OpenLevel& lvl, int line, const std::string& lineText)
{
    const auto record = RecordOfLine(lvl, line);
    if (!record) return std::nullopt;
    return ReadCeView(lvl.File(), *record, CeListLineName(lineText));
}

bool IsCusxLine(const OpenLevel& lvl, int line)
{
    const auto& lines = lvl.Index().CeLines;
    return line >= 0 && static_cast<std::size_t>(line) < lines.size() && lines[static_cast<std::size_t>(line)].Cusx;
}

std::optional<CusxView> CusxViewOfLine(const OpenLevel& lvl, int line)
{
    if (!lvl.LevelOpen() || !IsCusxLine(lvl, line)) return std::nullopt;
    const std::size_t k = lvl.Index().CeLines[static_cast<std::size_t>(line)].Index;
    if (k >= lvl.Index().CusxPositions.size()) return std::nullopt;
    const std::int64_t data = lvl.Index().CusxPositions[k];
    return ReadCusxAt(lvl.File().ReadAll(), data);
}

std::string CusxEntryLine(const CusxEntryView& entry)
{
    const std::string part = entry.Page < 0 ? "base" : "page " + std::to_string(entry.Page + 1);
    std::string line = part + "  " + HexText(entry.Entry.Key, 2) + "  " + entry.Meaning + " = " + entry.Value;
    // One element code: its name beside it (a content of nine shows in the preview).
    if (!entry.Codes.empty() && entry.Codes.find('\r') == std::string::npos) {
        if (const auto code = ParseHex(entry.Codes, 4)) line += " " + ElementName(static_cast<std::uint16_t>(*code));
    }
    return line;
}

CusxBaseControls CusxControlsOf(const CusxView& view)
{
    CusxBaseControls c;
    for (const CusxEntryView& e : view.Entries) {
        if (e.Page != -1) continue;
        if (e.Entry.Key == CusxBaseKey::UseGraphic.Key) c.UseGraphicOf = e.Entry.Number != 0;
        if (e.Entry.Key == CusxBaseKey::Graphic.Key) c.GraphicOf = e.Codes;
        if (e.Entry.Key == CusxBaseKey::ExplosionContent.Key && !e.Codes.empty()) {
            std::size_t at = 0;
            for (std::string& line : c.ExplodeContLines) {
                const std::size_t end = e.Codes.find("\r\n", at);
                line = e.Codes.substr(at, end - at) + " ";
                at = end + 2;
            }
        }
    }
    return c;
}

std::optional<CeChangePageView> ChangePageViewOf(const OpenLevel& lvl, int line, int page)
{
    const auto recordOfLine = RecordOfLine(lvl, line);
    if (!recordOfLine) return std::nullopt;
    ByteFile& file = lvl.File();
    const std::int64_t record = *recordOfLine;
    if (page < 1 || page > ChangePagesInFile(file, record)) return std::nullopt;
    return ReadChangePageView(file, record, page);
}

const std::vector<CeUnboundControl>& CeUnboundControls()
{
    using K = CeControlKind;
    static const std::vector<CeUnboundControl> controls = {
        {"CEMan_Conf_WalkPassCheck", K::CheckBox, "Player can ", {}, 0, 0, 0},
        {"CEMan_Conf_WalkPass", K::DropDown, "", {"Walk", "Pass"}, 0, 0, 0},
        {"CEMan_Conf_WalkPassMode", K::DropDown, "", {"Over", "Inside", "Under"}, 0, 0, 0},
        {"CEMan_Conf_DigColPushCheckBox", K::CheckBox, "", {}, 0, 0, 0},
        {"CEMan_Conf_DigColPush", K::DropDown, "",
         {"Diggable", "Collectible", "Collectible & Droppable", "Pushable"}, 0, 0, 0},
        {"CEMan_Conf_Score", K::SpinEdit, "Score", {}, 0, 0, 255},
        {"CEMan_Conf_Count", K::SpinEdit, "Count", {}, 0, 0, 255},
        {"CEMan_Conf_PushDelayFixed", K::SpinEdit, "Push delay", {}, 0, 0, 65535},
        {"CEMan_Conf_PushDelayRand", K::SpinEdit, "+ Random", {}, 0, 0, 65535},
        {"CEMan_Conf_CanMove", K::CheckBox, "Can Move", {}, 0, 0, 0},
        {"CEMan_Conf_CanMoveDirs", K::DropDown, "",
         {"Left", "Right", "Up", "Down", "Horizontal (Left, Right)", "Verical (Up, Down)", "All Directions",
          "Towards Player", "Away from Player", "Along Left Side", "Along Right Side", "Turning Left",
          "Turning Right", "When Pushed", "#Maze Runner", "#Maze Hunter"},
         6, 0, 0},
        {"CEMan_Conf_MoveStartDir", K::DropDown, "Starts Moving", {"Automatic", "Left", "Right", "Up", "Down"}, 0, 0,
         0},
        {"CEMan_Conf_MoveDelayFixed", K::SpinEdit, "Move delay", {}, 65535, 0, 65535},
        {"CEMan_Conf_MoveDelayRand", K::SpinEdit, "+ Random", {}, 0, 0, 65535},
        {"CEMan_Conf_MoveSpeed", K::DropDown, "Move and fall Speed",
         {"Very Slow (1 step per 33 frames)", "Slow (1 step per 17 frames)", "Normal (1 step per 9 frames)",
          "Fast (1 step per 5 frames)", "Very Fast (1 step per 3 frames)"},
         2, 0, 0},
        {"CEMan_Conf_CanFall", K::CheckBox, "Can Fall", {}, 0, 0, 0},
        {"CEMan_Conf_CanSmash", K::CheckBox, "Can Smash", {}, 0, 0, 0},
        {"CEMan_Conf_CanSmashWhat", K::DropDown, "", {"Player", "Everything"}, 0, 0, 0},
        {"CEMan_Conf_Slippery", K::CheckBox, "Slippery", {}, 0, 0, 0},
        {"CEMan_Conf_SlipperyTo", K::DropDown, "", {"Random", "Left, Right", "Right, Left", "Only Left", "Only Right"},
         0, 0, 0},
        {"CEMan_Conf_DeadlyWhenCheck", K::CheckBox, "Deadly When", {}, 0, 0, 0},
        {"CEMan_Conf_DeadlyWhen", K::DropDown, "", {"Running Into", "Colliding With", "Touching"}, 0, 0, 0},
        {"CEMan_Conf_ExplodeCheck", K::CheckBox, "", {}, 0, 0, 0},
        {"CEMan_Conf_ExplodeMode", K::DropDown, "", {"Can Explode 3x3", "Can Explode 1x1", "Indestructible"}, 0, 0,
         0},
        {"CEMan_Conf_ExplodeFire", K::CheckBox, "Fire", {}, 0, 0, 0},
        {"CEMan_Conf_ExplodeSmashed", K::CheckBox, "Smashed", {}, 0, 0, 0},
        {"CEMan_Conf_ExplodeImpact", K::CheckBox, "Impact", {}, 0, 0, 0},
        {"CEMan_Adv_ChangeConfNoParamCheck", K::CheckBox, "", {}, 0, 0, 0},
        {"CEMan_Adv_ChangeCondNoParam", K::DropDown, "",
         {"Touched by Player ...", "Pressed by Player ...", "Pushed by Player ...", "Entered by Player ...",
          "Left by Player ...", "Dropped by Player", "Switched ...", "Collision ...", "Impact (On Something)",
          "Smashed (From Above)"},
         0, 0, 0},
        {"CEMan_Adv_ChangeCondCheck", K::CheckBox, "", {}, 0, 0, 0},
        {"CEMan_Adv_ChangeCondWithParam", K::DropDown, "",
         {"Player Touches ...", "Player Presses ...", "Player Pushes ...", "Player Enters ...", "Player Leaves ...",
          "Player Digs", "Player Collects", "Player Drops", "Touching ...", "Switch of ...", "Change of",
          "Explosion of"},
         0, 0, 0},
        {"CEMan_Adv_ChangeCondSide", K::DropDown, "",
         {"At Left side", "At Right side", "At Top side", "At Bottom side", "At Left/Right side",
          "At Top/Bottom side", "At Any Side"},
         6, 0, 0},
        {"CEMan_Adv_Explode", K::CheckBox, "Explode instead of Change", {}, 0, 0, 0},
        {"CEMan_Adv_ExtChangeReplaceCond", K::DropDown, "Replace when", {"Empty", "Diggable", "Destructible"}, 0, 0,
         0},
        {"CEMan_Adv_ExtChangeRandCheck", K::CheckBox, "Use Random Replace", {}, 0, 0, 0},
    };
    return controls;
}

}  // namespace vantrel
