// Header edits of the open level (title, time left, emeralds to collect),
// written into the header (HEAD, or NAME and INFO in the newer layout) at once.
#pragma once

#include "level/OpenLevel.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

class UserInterface;

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
struct HeaderChanges {
    std::optional<std::string> Title;
    std::optional<std::string> Author;
    std::optional<long long> Time;
    std::optional<long long> Emeralds;
};

// Checks every change first (texts of at most 32 bytes, numbers the level
// can hold, the fields it has); a change that cannot be made refuses the
// whole command with a message and nothing is written. Then writes them,
// with the messages the window shows. A time or emeralds value not given
// keeps what the level holds. Returns whether it wrote.
bool WriteHeaderChanges(OpenLevel& lvl, const HeaderChanges& changes, UserInterface& ui);

// Writes all 32 title bytes (the text, then zero bytes) at HeadPos + 10 (in
// the newer layout: the NAME data) and tells the user. Does nothing when no level is open. Returns whether it wrote.
bool WriteLevelTitle(OpenLevel& lvl, const std::string& title, UserInterface& ui);

// Writes all 32 author bytes (the text, then zero bytes) into the AUTH chunk
// (both layouts keep it there) and tells the user. Does nothing when no level
// is open. Returns whether it wrote.
bool WriteLevelAuthor(OpenLevel& lvl, const std::string& author, UserInterface& ui);

// Writes time left at HeadPos + 6 and emeralds at HeadPos + 8 (in the newer
// layout: the values of INFO's two entries, 0..32767 only), after the note
// for values above 999, and tells the user. Does nothing when no level is open.
bool WriteTimeAndEmeralds(OpenLevel& lvl, std::uint16_t time, std::uint16_t emeralds, UserInterface& ui);

}  // namespace vantrel
