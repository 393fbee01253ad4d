#include "level/HeaderEdit.h"

#include "base/Bytes.h"
#include "base/UserInterface.h"

namespace vantrel {

namespace {

// The bytes of a header field lie wholly inside the file; else the user is told.
bool FitsInFile(const OpenLevel& lvl, std::int64_t at, std::size_t n, const char* what, UserInterface& ui)
{
    const std::int64_t size = lvl.File().Size();
    if (at >= 0 && at + static_cast<std::int64_t>(n) <= size) return true;
    ui.Error(std::string("The ") + what + " was not written: its " + std::to_string(n) + " bytes at offset " +
             std::to_string(at) + " lie past the end of the file (" + std::to_string(size) +
             " bytes). Nothing was written.");
    return false;
}

template <typename Write>
void KeepFilePosition(OpenLevel& lvl, Write&& write)
{
    const std::int64_t pos = lvl.File().Position();
    write();
    lvl.File().Seek(pos);
}

// The writes of one edit, as one step of that name; the file's position is kept.
template <typename Write>
void WriteStep(OpenLevel& lvl, const char* name, Write&& write)
{
    KeepFilePosition(lvl, [&] {
        LevelWrite step(lvl, name);
        write();
        step.Commit();
    });
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
    if (!lvl.LevelOpen()) return false;
    const bool newer = lvl.Index().Newer;
    if (newer && lvl.Index().NamePos < 0) {
        ui.Message(kNoNameChunkMessage);
        return false;
    }
    if (!newer && !HasHead(lvl, ui)) return false;
    const std::int64_t at = newer ? lvl.Index().NamePos + 4 : lvl.HeadPos() + 10;
    return WriteTextField(lvl, at, title, "title", kTitleStepName, kTitleUpdatedMessage, ui);
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
    return WriteTextField(lvl, size + 4, author, "author", kAuthorStepName, kAuthorUpdatedMessage, ui);
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
    if (!FitsInFile(lvl, ix.InfoTimePos, 2, "time left", ui) ||
        !FitsInFile(lvl, ix.InfoEmeraldsPos, 2, "emeralds to collect", ui))
        return false;
    if (time > 999 || emeralds > 999) ui.Message(kTimeNoteMessage);
    std::uint8_t t[2], e[2];
    PutBigEndian(t, time, 2);
    PutBigEndian(e, emeralds, 2);
    WriteStep(lvl, kTimeStepName, [&] {  // both values or neither
        lvl.Patch(ix.InfoTimePos, t, 2);
        lvl.Patch(ix.InfoEmeraldsPos, e, 2);
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
    const std::int64_t at = lvl.HeadPos() + 6;
    if (!FitsInFile(lvl, at, 4, "time left and emeralds to collect", ui)) return false;
    if (time > 999 || emeralds > 999) ui.Message(kTimeNoteMessage);
    std::uint8_t bytes[4];
    PutBigEndian(bytes, time, 2);
    PutBigEndian(bytes + 2, emeralds, 2);
    WriteStep(lvl, kTimeStepName, [&] { lvl.Patch(at, bytes, 4); });
    ui.Message(kTimeUpdatedMessage);
    return true;
}

}  // namespace vantrel
