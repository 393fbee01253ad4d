#include "level/HeaderEdit.h"

#include "base/Bytes.h"
#include "base/Error.h"
#include "format/RecordLayouts.h"

namespace vantrel {

namespace {

// Where a field of the older header lies in the file.
std::int64_t HeadFieldPos(const OpenLevel& lvl, RecordField f)
{
    return lvl.HeadPos() + kDataFromSizeField + f.Offset;
}

// The title and the author: 32 bytes each (HEAD's title field, NAME, AUTH).
constexpr std::size_t kTitleLength = kLevelTextLength;

HeaderEditResult Refused(Notice why)
{
    HeaderEditResult result;
    result.Refusal = std::move(why);
    return result;
}

// The File Info edits need an open level.
std::optional<Notice> NoLevel(const OpenLevel& lvl)
{
    if (lvl.LevelOpen()) return std::nullopt;
    return Notice{kNoLevelForFileInfoMessage};
}

// The bytes of a header field lie wholly inside the file, or this says why not.
std::optional<Notice> OutsideFile(const OpenLevel& lvl, std::int64_t at, int n, const char* what)
{
    const std::int64_t size = lvl.File().Size();
    if (at >= 0 && at + n <= size) return std::nullopt;
    return Notice{std::string("The ") + what + " was not written: its " + std::to_string(n) + " bytes at offset " +
                      std::to_string(at) + " lie past the end of the file (" + std::to_string(size) +
                      " bytes). Nothing was written.",
                  true};
}

// Where a field's bytes lie, or why it cannot be written.
struct Place {
    std::int64_t At = -1;
    std::optional<Notice> Refusal;
};

// HEAD's title field, or in the newer layout the NAME data. A level without
// HEAD has no place for it: writing at -1 + offset would overwrite the
// file's signature.
Place TitlePlace(const OpenLevel& lvl)
{
    const ChunkIndex& ix = lvl.Index();
    if (ix.Newer && ix.NamePos < 0) return {-1, Notice{kNoNameChunkMessage}};
    if (!ix.Newer && lvl.HeadPos() < 0) return {-1, Notice{kNoHeadMessage}};
    const std::int64_t at = ix.Newer ? ix.NamePos + kDataFromSizeField
                                     : HeadFieldPos(lvl, HeadField::Title);
    return {at, OutsideFile(lvl, at, kTitleLength, "title")};
}

// The AUTH data; a shorter chunk would have its 32 bytes run into the next one.
Place AuthorPlace(const OpenLevel& lvl)
{
    const std::int64_t size = lvl.AuthPos();
    if (size < 0) return {-1, Notice{kNoAuthChunkMessage}};
    if (auto outside = OutsideFile(lvl, size, ChunkField::Size.Width, "author")) return {-1, std::move(outside)};
    const std::uint32_t held = GetBytesAtPos(size, lvl.File(), ChunkField::Size.Width);  // keeps the file's position
    if (held < kTitleLength)
        return {-1, Notice{"This level's author chunk (AUTH) holds " + std::to_string(held) + " bytes, not " +
                               std::to_string(kTitleLength) + "; nothing was written.",
                           true}};
    const std::int64_t at = size + kDataFromSizeField;
    return {at, OutsideFile(lvl, at, kTitleLength, "author")};
}

// Time left and emeralds to collect: side by side in HEAD, or the values of
// INFO's two entries in the newer layout (0..32767 only).
struct TimePlaces {
    std::int64_t Time = -1, Emeralds = -1;
    int Width = 0;
    std::optional<Notice> Refusal;
};

TimePlaces TimePlace(const OpenLevel& lvl, std::uint16_t time, std::uint16_t emeralds)
{
    const ChunkIndex& ix = lvl.Index();
    TimePlaces p;
    if (ix.Newer) {
        if (time > kNewerMaxValue || emeralds > kNewerMaxValue) {
            p.Refusal = Notice{kNewerValueTooLargeMessage};
        } else if (ix.InfoTimePos < 0 || ix.InfoEmeraldsPos < 0) {
            p.Refusal = Notice{ix.InfoPos < 0 ? kNoInfoChunkMessage : kNoInfoEntryMessage};
        } else {
            p = {ix.InfoTimePos, ix.InfoEmeraldsPos, kInfoValueWidth, std::nullopt};
            p.Refusal = OutsideFile(lvl, p.Time, p.Width, "time left");
            if (!p.Refusal) p.Refusal = OutsideFile(lvl, p.Emeralds, p.Width, "emeralds to collect");
        }
        return p;
    }
    if (lvl.HeadPos() < 0) {
        p.Refusal = Notice{kNoHeadMessage};
        return p;
    }
    static_assert(HeadField::Time.End() == HeadField::Emeralds.Offset);
    static_assert(HeadField::Time.Width == HeadField::Emeralds.Width);
    p.Time = HeadFieldPos(lvl, HeadField::Time);
    p.Emeralds = HeadFieldPos(lvl, HeadField::Emeralds);
    p.Width = HeadField::Time.Width;
    p.Refusal = OutsideFile(lvl, p.Time, 2 * p.Width, "time left and emeralds to collect");
    return p;
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

// All 32 bytes of a text field: the text, then zero bytes.
void PatchText(OpenLevel& lvl, std::int64_t at, const std::string& text)
{
    std::uint8_t bytes[kTitleLength] = {};
    for (std::size_t i = 0; i < kTitleLength && i < text.size(); ++i) bytes[i] = static_cast<std::uint8_t>(text[i]);
    lvl.Patch(at, bytes, kTitleLength);
}

// Both values or neither: in HEAD they lie side by side and go in one write.
void PatchTime(OpenLevel& lvl, const TimePlaces& p, std::uint16_t time, std::uint16_t emeralds)
{
    std::uint8_t bytes[2 * 2];
    PutBigEndian(bytes, time, p.Width);
    PutBigEndian(bytes + p.Width, emeralds, p.Width);
    if (p.Emeralds == p.Time + p.Width) {
        lvl.Patch(p.Time, bytes, 2 * p.Width);
    } else {
        lvl.Patch(p.Time, bytes, p.Width);
        lvl.Patch(p.Emeralds, bytes + p.Width, p.Width);
    }
}

bool AboveEditorMax(std::uint16_t time, std::uint16_t emeralds)
{
    return time > kEditorMaxValue || emeralds > kEditorMaxValue;
}

}  // namespace

HeaderEditResult WriteLevelTitle(OpenLevel& lvl, const std::string& title)
{
    if (auto no = NoLevel(lvl)) return Refused(*no);
    const Place p = TitlePlace(lvl);
    if (p.Refusal) return Refused(*p.Refusal);
    lvl.EnsureWritable();
    WriteStep(lvl, kTitleStepName, [&] { PatchText(lvl, p.At, title); });
    return {{HeaderField::Title}, false, std::nullopt};
}

HeaderEditResult WriteLevelAuthor(OpenLevel& lvl, const std::string& author)
{
    if (auto no = NoLevel(lvl)) return Refused(*no);
    const Place p = AuthorPlace(lvl);
    if (p.Refusal) return Refused(*p.Refusal);
    lvl.EnsureWritable();
    WriteStep(lvl, kAuthorStepName, [&] { PatchText(lvl, p.At, author); });
    return {{HeaderField::Author}, false, std::nullopt};
}

HeaderEditResult WriteTimeAndEmeralds(OpenLevel& lvl, std::uint16_t time, std::uint16_t emeralds)
{
    if (auto no = NoLevel(lvl)) return Refused(*no);
    const TimePlaces p = TimePlace(lvl, time, emeralds);
    if (p.Refusal) return Refused(*p.Refusal);
    lvl.EnsureWritable();
    WriteStep(lvl, kTimeStepName, [&] { PatchTime(lvl, p, time, emeralds); });
    return {{HeaderField::TimeAndEmeralds}, AboveEditorMax(time, emeralds), std::nullopt};
}

namespace {

// Why a change cannot be made, or nothing.
std::optional<Notice> HeaderRefusal(const OpenLevel& lvl, const HeaderChanges& c)
{
    const ChunkIndex& ix = lvl.Index();
    for (const auto& [text, what] : {std::pair{&c.Title, "title"}, std::pair{&c.Author, "author"}})
        if (*text && (*text)->size() > kTitleLength)
            return Notice{std::string("The ") + what + " \"" + **text + "\" holds " +
                          std::to_string((*text)->size()) + " characters; a level keeps at most " +
                          std::to_string(kTitleLength) + ". Nothing was written."};
    if (c.Title)
        if (auto why = TitlePlace(lvl).Refusal) return why;
    if (c.Author)
        if (auto why = AuthorPlace(lvl).Refusal) return why;
    if (!c.Time && !c.Emeralds) return std::nullopt;
    const long long most = ix.Newer ? kNewerMaxValue : 65535;
    for (const auto& [value, what] : {std::pair{&c.Time, "time left"}, std::pair{&c.Emeralds, "emeralds to collect"}})
        if (*value && (**value < 0 || **value > most))
            return Notice{ix.Newer && **value > most
                              ? std::string(kNewerValueTooLargeMessage)
                              : std::string("The ") + what + " must lie between 0 and " + std::to_string(most) +
                                    ", not " + std::to_string(**value) + ". Nothing was written."};
    return TimePlace(lvl, 0, 0).Refusal;
}

}  // namespace

std::string NotLatin1Refusal(const std::string& what, const std::string& character)
{
    return "The " + what + " cannot hold the character \"" + character +
           "\": a level stores one byte (Latin-1) a character. Nothing was written.";
}

HeaderEditResult WriteHeaderChanges(OpenLevel& lvl, const HeaderChanges& changes)
{
    if (auto no = NoLevel(lvl)) return Refused(*no);
    if (auto why = HeaderRefusal(lvl, changes)) return Refused(*why);
    lvl.EnsureWritable();
    HeaderEditResult result;
    LevelWrite step(lvl, kFileInfoStepName);  // every change, or none
    const auto add = [&](const HeaderEditResult& part) {
        result.Written.insert(result.Written.end(), part.Written.begin(), part.Written.end());
        result.AboveEditorMax = result.AboveEditorMax || part.AboveEditorMax;
        if (part.Refusal) throw VantrelError(part.Refusal->Text);  // checked above: never
    };
    if (changes.Title) add(WriteLevelTitle(lvl, *changes.Title));
    if (changes.Author) add(WriteLevelAuthor(lvl, *changes.Author));
    if (changes.Time || changes.Emeralds) {
        const TimePlaces p = TimePlace(lvl, 0, 0);
        auto current = [&](std::int64_t at) { return static_cast<std::uint16_t>(GetWordAtPos(at, lvl.File())); };
        const std::uint16_t time = changes.Time ? static_cast<std::uint16_t>(*changes.Time) : current(p.Time);
        const std::uint16_t emeralds =
            changes.Emeralds ? static_cast<std::uint16_t>(*changes.Emeralds) : current(p.Emeralds);
        add(WriteTimeAndEmeralds(lvl, time, emeralds));
    }
    step.Commit();
    return result;
}

Notices HeaderEditNotices(const HeaderEditResult& result)
{
    if (result.Refusal) return {*result.Refusal};
    Notices said;
    for (const HeaderField field : result.Written) {
        if (field == HeaderField::TimeAndEmeralds && result.AboveEditorMax) said.push_back({kTimeNoteMessage});
        said.push_back({field == HeaderField::Title    ? kTitleUpdatedMessage
                        : field == HeaderField::Author ? kAuthorUpdatedMessage
                                                       : kTimeUpdatedMessage});
    }
    return said;
}

std::string HeaderEditSummary(const HeaderEditResult& result)
{
    std::string names;
    for (std::size_t i = 0; i < result.Written.size(); ++i) {
        const HeaderField field = result.Written[i];
        names += i == 0 ? "" : ", ";
        names += field == HeaderField::Title    ? "title"
                 : field == HeaderField::Author ? "author"
                                                : "time left and emeralds to collect";
    }
    std::string line = "Level " + names + " updated!";
    if (result.AboveEditorMax)
        line += " (The game's level editor resets time left and emeralds to collect above " +
                std::to_string(kEditorMaxValue) + " to " + std::to_string(kEditorMaxValue) +
                " when its Level Settings screen is opened.)";
    return line;
}

}  // namespace vantrel
