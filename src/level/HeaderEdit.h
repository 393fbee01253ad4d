// Header edits of the open level (title, time left, emeralds to collect),
// written into the header (HEAD, or NAME and INFO in the newer layout) at once.
#pragma once

#include "base/Notice.h"
#include "level/OpenLevel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr char kTitleUpdatedMessage[] = "Level title updated!";
inline constexpr char kAuthorUpdatedMessage[] = "Level author updated!";
inline constexpr char kTimeUpdatedMessage[] = "Time left and emeralds to collect updated!";
inline constexpr char kNoAuthChunkMessage[] = "This level has no author chunk (AUTH); nothing was written.";
inline constexpr char kTimeNoteMessage[] =
    "NOTE: When setting time left or emeralds to collect to a value more than 999, the value will be reset to 999 "
    "when going to the Level Settings screen in the Level Editor (Don't blame me for this, blame Doval!)";
// The largest time left or emeralds to collect the game's level editor keeps.
inline constexpr int kEditorMaxValue = 999;
inline constexpr char kNoLevelForFileInfoMessage[] =
    "No level is open: load a level (File > Load Level), then change its File Info.";
inline constexpr char kNoHeadMessage[] = "This level has no header (HEAD chunk); nothing was written.";
// Levels of the newer layout keep the title in NAME and time and emeralds as INFO entries.
inline constexpr char kNoNameChunkMessage[] = "This level has no title chunk (NAME); nothing was written.";
inline constexpr char kNewerValueTooLargeMessage[] =
    "In this level time left and emeralds to collect are signed 16-bit numbers: values above 32767 cannot be "
    "stored. Nothing was written.";
inline constexpr char kNoInfoEntryMessage[] =
    "This level's INFO chunk holds no entry for time left or for emeralds to collect (the game takes its default "
    "then), so they cannot be changed in place. Nothing was written.";
inline constexpr char kNoInfoChunkMessage[] =
    "This level has no INFO chunk (the game takes its defaults then), so time left and emeralds to collect cannot "
    "be changed in place. Nothing was written.";
inline constexpr std::uint16_t kNewerMaxValue = 32767;
// What the Edit menu calls these edits ("Undo Title").
inline constexpr char kTitleStepName[] = "Title";
inline constexpr char kAuthorStepName[] = "Author";
inline constexpr char kTimeStepName[] = "Time and Emeralds";
inline constexpr char kFileInfoStepName[] = "File Info";

// The File Info edits of one command: what to change, the rest as it is.
// A title or author (what: "title", "author") typed with a character a level
// cannot store (character, as typed).
std::string NotLatin1Refusal(const std::string& what, const std::string& character);

struct HeaderChanges {
    std::optional<std::string> Title;
    std::optional<std::string> Author;
    std::optional<long long> Time;
    std::optional<long long> Emeralds;
};

enum class HeaderField { Title, Author, TimeAndEmeralds };

// What a File Info edit did: the fields it wrote, or why it wrote nothing.
struct HeaderEditResult {
    std::vector<HeaderField> Written;  // in the order written
    bool AboveEditorMax = false;       // a time or emeralds value above 999 was written
    std::optional<Notice> Refusal;     // why nothing was written
    bool Wrote() const { return !Written.empty(); }
    explicit operator bool() const { return Wrote(); }
};

// What the window says of an edit, in order: its refusal; or, for each field
// written, "... updated!", the note on values above 999 before time's.
Notices HeaderEditNotices(const HeaderEditResult& result);
// The command line's one line for an edit that wrote: "Level title, author,
// time left and emeralds to collect updated!", with the note on values above
// 999 after it.
std::string HeaderEditSummary(const HeaderEditResult& result);

// Checks every change first (an open level, texts of at most 32 bytes,
// numbers the level can hold, the fields it has, all of them inside the
// file); a change that cannot be made refuses the whole command and nothing
// is written. Then writes them as one step. A time or emeralds value not
// given keeps what the level holds.
HeaderEditResult WriteHeaderChanges(OpenLevel& lvl, const HeaderChanges& changes);

// Writes all 32 title bytes (the text, then zero bytes) into HEAD's title
// field (in the newer layout: the NAME data). Refused when no level is open.
HeaderEditResult WriteLevelTitle(OpenLevel& lvl, const std::string& title);

// Writes all 32 author bytes (the text, then zero bytes) into the AUTH chunk
// (both layouts keep it there). Refused when no level is open.
HeaderEditResult WriteLevelAuthor(OpenLevel& lvl, const std::string& author);

// Writes time left and emeralds into HEAD (in the newer layout: the values
// of INFO's two entries, 0..32767 only), both or neither. Refused when no
// level is open.
HeaderEditResult WriteTimeAndEmeralds(OpenLevel& lvl, std::uint16_t time, std::uint16_t emeralds);

}  // namespace vantrel
