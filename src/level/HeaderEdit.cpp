#include "level/HeaderEdit.h"

#include "base/Bytes.h"
#include "base/RecordLayouts.h"
#include "base/UserInterface.h"

namespace vantrel {

namespace {

// The File Info edits need an open level; without one they say so.
bool LevelToChange(const OpenLevel& lvl, UserInterface& ui)
{
    if (lvl.LevelOpen()) return true;
    ui.Message(kNoLevelForFileInfoMessage);
    return false;
}

// Where a field of the older header lies in the file.
std::int64_t HeadFieldPos(const OpenLevel& lvl, RecordField f)
{
    return lvl.HeadPos() + kDataFromSizeField + f.Offset;
}

// The title and the author: 32 bytes each (HEAD's title field, NAME, AUTH).
constexpr std::size_t kTitleLength = kLevelTextLength;

// The bytes of a header field lie wholly inside the file; else the user is told.
bool FitsInFile(const OpenLevel& lvl, std::int64_t at, int n, const char* what, UserInterface& ui)
{
    const std::int64_t size = lvl.File().Size();
    if (at >= 0 && at + n <= size) return true;
    ui.Error(std::string("The ") + what + " was not written: its " + std::to_string(n) + " bytes at offset " +
             std::to_string(at) + " lie past the end of the file (" + std::to_string(size) +
             " bytes). Nothing was written.");
    return false;
}

// The writes of one edit, as one step of that name; the file's position is kept.
template <typename Write>
void WriteStep(OpenLevel& lvl, const char* name, Write&& write)
{
    KeepPosition keep(lvl.File());
    {
        LevelWrite step(lvl, name);
        write();
        step.Commit();
    }
    keep.Restore();
}

// A level without HEAD has no place for these values: writing at -1 + offset
// would overwrite the file's signature.
bool HasHead(const OpenLevel& lvl, UserInterface& ui)
{
    if (lvl.HeadPos() >= 0) return true;
    ui.Message(kNoHeadMessage);
    return false;
}

// All 32 bytes of a text field (the text, then zero bytes) or none of them, then the message.
bool WriteTextField(OpenLevel& lvl, std::int64_t at, const std::string& text, const char* what,
                    const char* stepName, const char* done, UserInterface& ui)
{
    lvl.EnsureWritable();
    std::uint8_t bytes[kTitleLength] = {};
    for (std::size_t i = 0; i < kTitleLength && i < text.size(); ++i) bytes[i] = static_cast<std::uint8_t>(text[i]);
    if (!FitsInFile(lvl, at, kTitleLength, what, ui)) return false;
    WriteStep(lvl, stepName, [&] { lvl.Patch(at, bytes, kTitleLength); });
    ui.Message(done);
    return true;
}

}  // namespace

bool WriteLevelTitle(OpenLevel& lvl, const std::string& title, UserInterface& ui)
{
    if (!LevelToChange(lvl, ui)) return false;
    const bool newer = lvl.Index().Newer;
    if (newer && lvl.Index().NamePos < 0) {
        ui.Message(kNoNameChunkMessage);
        return false;
    }
    if (!newer && !HasHead(lvl, ui)) return false;
    const std::int64_t at = newer ? lvl.Index().NamePos + kDataFromSizeField : HeadFieldPos(lvl, HeadField::Title);
    return WriteTextField(lvl, at, title, "title", kTitleStepName, kTitleUpdatedMessage, ui);
}

bool WriteLevelAuthor(OpenLevel& lvl, const std::string& author, UserInterface& ui)
{
    if (!LevelToChange(lvl, ui)) return false;
    const std::int64_t size = lvl.AuthPos();
    if (size < 0) {
        ui.Message(kNoAuthChunkMessage);
        return false;
    }
    if (!FitsInFile(lvl, size, ChunkField::Size.Width, "author", ui)) return false;
    // A shorter chunk would have its 32 bytes run into the next one.
    const std::uint32_t held = GetBytesAtPos(size, lvl.File(), ChunkField::Size.Width);  // keeps the file's position
    if (held < kTitleLength) {
        ui.Error("This level's author chunk (AUTH) holds " + std::to_string(held) + " bytes, not " +
                 std::to_string(kTitleLength) + "; nothing was written.");
        return false;
    }
    return WriteTextField(lvl, size + kDataFromSizeField, author, "author", kAuthorStepName, kAuthorUpdatedMessage, ui);
}

namespace {

// The newer layout: the two values of INFO's time and emeralds entries, each
// in place; both or neither.
bool WriteInfoTimeAndEmeralds(OpenLevel& lvl, std::uint16_t time, std::uint16_t emeralds, UserInterface& ui)
{
    const ChunkIndex& ix = lvl.Index();
    if (time > kNewerMaxValue || emeralds > kNewerMaxValue) {
        ui.Message(kNewerValueTooLargeMessage);
        return false;
    }
    if (ix.InfoTimePos < 0 || ix.InfoEmeraldsPos < 0) {
        ui.Message(ix.InfoPos < 0 ? kNoInfoChunkMessage : kNoInfoEntryMessage);
        return false;
    }
    lvl.EnsureWritable();
    if (!FitsInFile(lvl, ix.InfoTimePos, kInfoValueWidth, "time left", ui) ||
        !FitsInFile(lvl, ix.InfoEmeraldsPos, kInfoValueWidth, "emeralds to collect", ui))
        return false;
    if (time > kEditorMaxValue || emeralds > kEditorMaxValue) ui.Message(kTimeNoteMessage);
    std::uint8_t t[kInfoValueWidth], e[kInfoValueWidth];
    PutBigEndian(t, time, kInfoValueWidth);
    PutBigEndian(e, emeralds, kInfoValueWidth);
    WriteStep(lvl, kTimeStepName, [&] {  // both values or neither
        lvl.Patch(ix.InfoTimePos, t, kInfoValueWidth);
        lvl.Patch(ix.InfoEmeraldsPos, e, kInfoValueWidth);
    });
    ui.Message(kTimeUpdatedMessage);
    return true;
}

}  // namespace

bool WriteTimeAndEmeralds(OpenLevel& lvl, std::uint16_t time, std::uint16_t emeralds, UserInterface& ui)
{
    if (!LevelToChange(lvl, ui)) return false;
    if (lvl.Index().Newer) return WriteInfoTimeAndEmeralds(lvl, time, emeralds, ui);
    if (!HasHead(lvl, ui)) return false;
    lvl.EnsureWritable();
    // Time left and emeralds to collect lie side by side: both words or neither.
    constexpr RecordField both{HeadField::Time.Offset, HeadField::Emeralds.End() - HeadField::Time.Offset};
    static_assert(HeadField::Time.End() == HeadField::Emeralds.Offset);
    const std::int64_t at = HeadFieldPos(lvl, both);
    if (!FitsInFile(lvl, at, both.Width, "time left and emeralds to collect", ui)) return false;
    if (time > kEditorMaxValue || emeralds > kEditorMaxValue) ui.Message(kTimeNoteMessage);
    std::uint8_t bytes[both.Width];
    PutBigEndian(bytes, time, HeadField::Time.Width);
    PutBigEndian(bytes + HeadField::Time.Width, emeralds, HeadField::Emeralds.Width);
    WriteStep(lvl, kTimeStepName, [&] { lvl.Patch(at, bytes, both.Width); });
    ui.Message(kTimeUpdatedMessage);
    return true;
}

}  // namespace vantrel

namespace vantrel {

namespace {

// Why a change cannot be made, or nothing.
std::string HeaderRefusal(const OpenLevel& lvl, const HeaderChanges& c)
{
    const ChunkIndex& ix = lvl.Index();
    for (const auto& [text, what] : {std::pair{&c.Title, "title"}, std::pair{&c.Author, "author"}})
        if (*text && (*text)->size() > kTitleLength)
            return std::string("The ") + what + " \"" + **text + "\" holds " + std::to_string((*text)->size()) +
                   " characters; a level keeps at most " + std::to_string(kTitleLength) + ". Nothing was written.";
    if (c.Title && (ix.Newer ? ix.NamePos < 0 : lvl.HeadPos() < 0))
        return ix.Newer ? kNoNameChunkMessage : kNoHeadMessage;
    if (c.Author && lvl.AuthPos() < 0) return kNoAuthChunkMessage;
    if (!c.Time && !c.Emeralds) return {};
    const long long most = ix.Newer ? kNewerMaxValue : 65535;
    for (const auto& [value, what] : {std::pair{&c.Time, "time left"}, std::pair{&c.Emeralds, "emeralds to collect"}})
        if (*value && (**value < 0 || **value > most))
            return ix.Newer && **value > most ? std::string(kNewerValueTooLargeMessage)
                                              : std::string("The ") + what + " must lie between 0 and " +
                                                    std::to_string(most) + ", not " + std::to_string(**value) +
                                                    ". Nothing was written.";
    if (ix.Newer && ix.InfoPos < 0) return kNoInfoChunkMessage;
    if (ix.Newer && (ix.InfoTimePos < 0 || ix.InfoEmeraldsPos < 0)) return kNoInfoEntryMessage;
    if (!ix.Newer && lvl.HeadPos() < 0) return kNoHeadMessage;
    return {};
}

}  // namespace

bool WriteHeaderChanges(OpenLevel& lvl, const HeaderChanges& changes, UserInterface& ui)
{
    if (!LevelToChange(lvl, ui)) return false;
    if (const std::string why = HeaderRefusal(lvl, changes); !why.empty()) {
        ui.Message(why);
        return false;
    }
    lvl.EnsureWritable();
    LevelWrite step(lvl, kFileInfoStepName);  // every change, or none
    bool wrote = false;
    if (changes.Title) wrote = WriteLevelTitle(lvl, *changes.Title, ui) || wrote;
    if (changes.Author) wrote = WriteLevelAuthor(lvl, *changes.Author, ui) || wrote;
    if (changes.Time || changes.Emeralds) {
        const ChunkIndex& ix = lvl.Index();
        auto current = [&](std::int64_t at) {
            return static_cast<std::uint16_t>(GetWordAtPos(at, lvl.File(), true));
        };
        const std::uint16_t time = changes.Time ? static_cast<std::uint16_t>(*changes.Time)
                                                : current(ix.Newer ? ix.InfoTimePos : HeadFieldPos(lvl, HeadField::Time));
        const std::uint16_t emeralds = changes.Emeralds ? static_cast<std::uint16_t>(*changes.Emeralds)
                                                        : current(ix.Newer ? ix.InfoEmeraldsPos : HeadFieldPos(lvl, HeadField::Emeralds));
        wrote = WriteTimeAndEmeralds(lvl, time, emeralds, ui) || wrote;
    }
    step.Commit();
    return wrote;
}

}  // namespace vantrel
