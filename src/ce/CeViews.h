// The "CE Manager" page's views, without a widget: for the selected line of
// the CE list (or any record position in a file of CUS4 chunks) this works
// out everything the page's bound controls show, one member per control, so
// that the page only copies values into its widgets by objectName and draws
// the tiles listed here.
//
// The views read the file and never write it, and they read only what lies
// inside the record and inside the file:
// - a record with 0 change pages offers no page: the label says "of 0", the
//   page spin edit is disabled and blank, and the change page group stays
//   hidden and empty;
// - a page number outside the offered pages shows nothing new;
// - a record that runs past the end of the file shows the fields that lie
//   inside it; a field beyond the end shows as empty text (a check box
//   beyond the end is unchecked and disabled), change pages beyond the end
//   are not offered, and Notice says so.
#pragma once

#include "base/Text.h"
#include "file/ByteFile.h"
#include "format/ConfEntries.h"
#include "format/RecordLayouts.h"
#include "level/OpenLevel.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// --- design values of the bound controls ---
inline constexpr int kCeNameEditMaxLength = Cus4Field::Name.Width;  // CEMan_Conf_Name
inline constexpr int kDelaySpinMax = 999;                // CEMan_Adv_DelayFixed, CEMan_Adv_DelayRandom: 0..999
inline constexpr int kPageSpinDesignMax = 16;            // CEMan_Adv_Page at start: 1..16
inline constexpr int kDelayTypeFramesIndex = 0;          // CEMan_Adv_DelayType item indexes
inline constexpr int kDelayTypeSecondsIndex = 1;
inline const std::vector<std::string> kDelayTypeItems = {"Frames", "Seconds"};
inline constexpr char kChangePageLabelStart[] = "Current Change Page =              of ";

// One element tile of a preview image: the cell (column and row from 1), the
// element code whose atlas tile is copied there, and the target rectangle in
// the image (16 x 16 pixels).
struct TileCode {
    int Column = 1;
    int Row = 1;
    std::uint16_t Code = 0;
    PixelRect Rect;
    bool operator==(const TileCode&) const = default;
};

// The change page group and the "Element Changes" box, for one page.
// Default-constructed: no page (the group hidden and its controls empty).
struct CeChangePageView {
    int Page = 0;                               // the page shown, 1..P; 0: none
    std::int64_t Position = -1;                 // its file position, record + Cus4PageOffset(Page)
    bool CanChange = false;                     // CEMan_Adv_CanChange ("Element Changes")
    bool GroupVisible = false;                  // CEMan_Adv_ChangePage: enabled and visible exactly when CanChange
    std::string ChangeTo;                       // CEMan_Adv_ChangeTo, four hex digits
    std::vector<TileCode> ChangeToTiles;        // CEMan_Adv_ChangeToImg
    bool DelayCheck = false;                    // CEMan_Adv_DelayCheck ("Delay                  + Random")
    int DelayFixed = 0;                         // CEMan_Adv_DelayFixed, as the spin edit shows it (0..999)
    int DelayRandom = 0;                        // CEMan_Adv_DelayRandom, as the spin edit shows it (0..999)
    std::uint16_t DelayFixedStored = 0;         // the stored words, which may exceed the spin edits' 999
    std::uint16_t DelayRandomStored = 0;
    std::uint16_t DelayTypeStored = 0;
    int DelayTypeIndex = kDelayTypeFramesIndex; // CEMan_Adv_DelayType: 0 "Frames", 1 "Seconds"
    std::string ChangeCondEl;                   // CEMan_Adv_ChangeCondEl, four hex digits
    std::vector<TileCode> ChangeCondElTiles;    // CEMan_Adv_ChangeCondElImg
    bool ExtChangeCheck = false;                // CEMan_Adv_ExtChangeCheck ("Use Extended Change Target")
    std::array<std::string, 3> ExtChangeLines;  // CEMan_Adv_ExtChange, three memo lines, top row first
    std::vector<TileCode> ExtChangeTiles;       // CEMan_Adv_ExtChangeImg
    bool operator==(const CeChangePageView&) const = default;
};

// Everything a click on a CE list line fills.
struct CeView {
    std::int64_t RecordPosition = -1;

    // "View configuration"
    std::string Name;                              // CEMan_Conf_Name
    std::array<std::string, 3> ExplodeContLines;   // CEMan_Conf_ExplodeCont, three memo lines, top row first
    std::vector<TileCode> ExplodeContTiles;        // CEMan_Conf_ExplodeContImg

    // "View advanced settings"
    bool UseGraphicOf = false;                     // CEMan_Adv_GraphicOfCheck ("Use Graphic of")
    bool UseGraphicOfEnabled = true;               // false when the byte lies beyond the end of the file
    std::string GraphicOf;                         // CEMan_Adv_GraphicOf, four hex digits
    std::vector<TileCode> GraphicOfTiles;          // CEMan_Adv_GraphicOfImg

    std::optional<int> PageCount;                  // P as stored; nothing when it lies beyond the end of the file
    int PagesOffered = 0;                          // pages 1..PagesOffered lie wholly inside the file
    std::string ChangePageLabel;                   // CEMan_ChangePageLabel
    // CEMan_Adv_Page: range PageMin..PageMax, value PageValue. With no page
    // offered (PageEnabled false) the range and value are 0 and the spin
    // edit is disabled and shown blank.
    int PageMin = 0;
    int PageMax = 0;
    int PageValue = 0;
    bool PageEnabled = false;
    CeChangePageView ChangePage;                   // the page the view opens on: the last offered page

    std::string Notice;                            // empty, or why some fields are not shown
    bool operator==(const CeView&) const = default;
};

// The CE number text and the name of a CE list line ("45: custom element 45").
std::string CeListLineNumber(const std::string& line);
std::string CeListLineName(const std::string& line);

// count bytes of the file from position on as two upper-case hex digits each;
// when group is not 0, separator follows every group-th byte, the last one
// included. Nothing when any of the bytes lies outside the file.
std::optional<std::string> HexOfFileBytes(ByteFile& file, std::int64_t position, int count, int group,
                                          const std::string& separator);

// The tiles that drawing a text of element codes paints into a preview image:
// a text without a carriage return is one hexadecimal code for the top-left
// cell; otherwise each line ended by CR LF is a row of up to three codes
// separated by blanks. Fields that are not hexadecimal codes paint nothing.
std::vector<TileCode> ElementCodesToDraw(const std::string& text);
// The memo's text of three lines: each line followed by CR LF.
std::string MemoText(const std::array<std::string, 3>& lines);

// "Current Change Page =              of " and P; nothing after "of " when P is unknown.
std::string ChangePageLabel(std::optional<int> pages);

// The whole view of the record at the position. name fills the name edit
// (the CE list line's name); the view opens on the last offered page.
CeView ReadCeView(ByteFile& file, std::int64_t record, const std::string& name);
// The change page view of page p; a default (empty) view when p is not one of
// the offered pages 1..ChangePagesInFile.
CeChangePageView ReadChangePageView(ByteFile& file, std::int64_t record, int page);

// CEMan_CEListClick: line is the selected line (from 0; -1 for none) and
// lineText its text. Nothing when no level is open, no line is selected or
// the line has no record position.
std::optional<CeView> CeViewOfLine(const OpenLevel& lvl, int line, const std::string& lineText);
// CEMan_Adv_PageChange: the change page view for page of the selected line.
// Nothing (the page shows nothing new) when no level is open, no line is
// selected, or page is not one of the offered pages.
std::optional<CeChangePageView> ChangePageViewOf(const OpenLevel& lvl, int line, int page);

// --- custom elements stored as entries (CUSX chunks, the newer layout) ---

inline constexpr char kCusxNotice[] =
    "Stored as entries (CUSX chunk), listed under \"Information\"; the older record's controls are off.";

// The CE list line (from 0) stands for a CUSX chunk.
bool IsCusxLine(const OpenLevel& lvl, int line);
// What the CUSX chunk of the line says; nothing when no level is open or the
// line is not a CUSX line.
std::optional<CusxView> CusxViewOfLine(const OpenLevel& lvl, int line);
// One line of the "Stored entries" list: "base" or "page N", the key, its
// meaning and its value.
std::string CusxEntryLine(const CusxEntryView& entry);
// The controls of the older record that a CUSX chunk's base part feeds: "Use
// Graphic of" (0x01), "Graphic of" (0x41) and the explosion content (0xC2),
// with the game's defaults where the chunk has no entry.
struct CusxBaseControls {
    bool UseGraphicOf = false;
    std::string GraphicOf = "0000";
    std::array<std::string, 3> ExplodeContLines{"0000 0000 0000 ", "0000 0000 0000 ", "0000 0000 0000 "};
};
CusxBaseControls CusxControlsOf(const CusxView& view);

// --- controls that no record field feeds: they keep these values ---
enum class CeControlKind { CheckBox, DropDown, SpinEdit };

struct CeUnboundControl {
    std::string Name;                // objectName
    CeControlKind Kind = CeControlKind::CheckBox;
    std::string Caption;             // a check box's text, or the label beside the control; may be empty
    std::vector<std::string> Items;  // a drop-down list's items
    int Value = 0;                   // check box: 0 unchecked; drop-down: the item index; spin edit: the value
    int Min = 0;                     // spin edit range
    int Max = 0;
};

// The unbound controls of "View configuration" and "View advanced settings",
// those of "View configuration" first.
const std::vector<CeUnboundControl>& CeUnboundControls();

}  // namespace vantrel
