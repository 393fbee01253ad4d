#include "level/HeaderEdit.h"

#include "base/Bytes.h"
#include "base/RecordLayouts.h"
#include "base/UserInterface.h"

namespace vantrel {

namespace {

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

// Runs write and puts the file's position back where it was.
template <typename Write>
void KeepFilePosition(OpenLevel& lvl, Write&& write)
{
    KeepPosition keep(lvl.File());
    write();
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
                    const char* done, UserInterface& ui)
{
    lvl.EnsureWritable();
    std::uint8_t bytes[kTitleLength] = {};
    for (std::size_t i = 0; i < kTitleLength && i < text.size(); ++i) bytes[i] = static_cast<std::uint8_t>(text[i]);
    if (!FitsInFile(lvl, at, kTitleLength, what, ui)) return false;
    KeepFilePosition(lvl, [&] { lvl.Patch(at, bytes, kTitleLength); });
    ui.Message(done);
    return true;
}

}  // namespace

bool WriteLevelTitle(OpenLevel& lvl, const std::string& title, UserInterface& ui)
{
    if (!lvl.LevelOpen()) return false;
    const bool newer = lvl.Index().Newer;
    if (newer && lvl.Index().NamePos < 0) {
        ui.Message(kNoNameChunkMessage);
        return false;
    }
    if (!newer && !HasHead(lvl, ui)) return false;
    const std::int64_t at = newer ? lvl.Index().NamePos + kDataFromSizeField
                                  : lvl.HeadPos() + kDataFromSizeField + HeadField::Title.Offset;
    return WriteTextField(lvl, at, title, "title", kTitleUpdatedMessage, ui);
}

bool WriteLevelAuthor(OpenLevel& lvl, const std::string& author, UserInterface& ui)
{
    if (!lvl.LevelOpen()) return false;
    const std::int64_t size = lvl.AuthPos();
    if (size < 0) {
        ui.Message(kNoAuthChunkMessage);
        return false;
    }
    if (!FitsInFile(lvl, size, 4, "author", ui)) return false;
    // A shorter chunk would have its 32 bytes run into the next one.
    std::uint32_t held = 0;
    KeepFilePosition(lvl, [&] { held = GetBytesAtPos(size, lvl.File(), 4); });
    if (held < kTitleLength) {
        ui.Error("This level's author chunk (AUTH) holds " + std::to_string(held) + " bytes, not " +
                 std::to_string(kTitleLength) + "; nothing was written.");
        return false;
    }
    return WriteTextField(lvl, size + 4, author, "author", kAuthorUpdatedMessage, ui);
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
        ui.Message(kNoInfoEntryMessage);
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
    KeepFilePosition(lvl, [&] {
        LevelWrite step(lvl);  // both values or neither
        lvl.Patch(ix.InfoTimePos, t, kInfoValueWidth);
        lvl.Patch(ix.InfoEmeraldsPos, e, kInfoValueWidth);
        step.Commit();
    });
    ui.Message(kTimeUpdatedMessage);
    return true;
}

}  // namespace

bool WriteTimeAndEmeralds(OpenLevel& lvl, std::uint16_t time, std::uint16_t emeralds, UserInterface& ui)
{
    if (!lvl.LevelOpen()) return false;
    if (lvl.Index().Newer) return WriteInfoTimeAndEmeralds(lvl, time, emeralds, ui);
    if (!HasHead(lvl, ui)) return false;
    lvl.EnsureWritable();
    // Time left and emeralds to collect lie side by side: both words or neither.
    constexpr RecordField both{HeadField::Time.Offset, HeadField::Emeralds.End() - HeadField::Time.Offset};
    static_assert(HeadField::Time.End() == HeadField::Emeralds.Offset);
    const std::int64_t at = lvl.HeadPos() + kDataFromSizeField + both.Offset;
    if (!FitsInFile(lvl, at, both.Width, "time left and emeralds to collect", ui)) return false;
    if (time > kEditorMaxValue || emeralds > kEditorMaxValue) ui.Message(kTimeNoteMessage);
    std::uint8_t bytes[both.Width];
    PutBigEndian(bytes, time, HeadField::Time.Width);
    PutBigEndian(bytes + HeadField::Time.Width, emeralds, HeadField::Emeralds.Width);
    KeepFilePosition(lvl, [&] { lvl.Patch(at, bytes, both.Width); });
    ui.Message(kTimeUpdatedMessage);
    return true;
}

}  // namespace vantrel
