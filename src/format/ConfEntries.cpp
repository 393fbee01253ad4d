#include "format/ConfEntries.h"

#include "base/Bytes.h"
#include "base/Elements.h"
#include "format/RecordLayouts.h"

#include <algorithm>

namespace vantrel {

namespace {

std::string KeyHex(std::uint8_t key) { return "0x" + HexText(key, 2); }

// A key of a table, or nothing.
template <std::size_t N>
const EntryKey* KeyOf(const std::array<EntryKey, N>& table, std::uint8_t key)
{
    return FindEntryKey(table, key);
}

// Content lists: N/kContentBytes blocks of 3x3 codes; the preview shows the first block.
std::string ContentCodes(const std::uint8_t* bytes, const ConfEntry& e)
{
    if (e.Length < kContentBytes) return {};
    std::string text;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            text += (x ? " " : "") + HexText(ReadWord(bytes + e.ValuePos + 2 * (3 * y + x)), 4);
        }
        text += "\r\n";
    }
    return text;
}

std::string ContentValue(const std::uint8_t* bytes, const ConfEntry& e)
{
    std::string text;
    for (std::uint32_t i = 0; i + 1 < e.Length; i += 2) {
        if (i) text += (i % 6 == 0) ? " / " : " ";
        text += HexText(ReadWord(bytes + e.ValuePos + i), 4);
    }
    const std::uint32_t blocks = e.Length / kContentBytes;
    return std::to_string(blocks) + (blocks == 1 ? " content: " : " contents: ") + text;
}

}  // namespace

EntryWalk WalkEntries(const std::uint8_t* bytes, std::int64_t begin, std::int64_t end)
{
    EntryWalk walk;
    std::int64_t p = begin;
    while (p < end) {
        ConfEntry e;
        e.KeyPos = p;
        e.Key = bytes[p];
        const int sizeClass = EntrySizeClass(e.Key);
        std::int64_t valuePos = p + 1;
        std::int64_t length = 0;
        if (sizeClass == kCountedSizeClass) {
            if (p + 1 + kEntryCountWidth > end) {
                walk.Problems.push_back("entry " + KeyHex(e.Key) + " at " + std::to_string(p) +
                                        " runs past the chunk's end at " + std::to_string(end) +
                                        "; the rest of the chunk is skipped");
                break;
            }
            length = ReadWord(bytes + p + 1);
            valuePos = p + 1 + kEntryCountWidth;
            e.Kind = ValueKind::Bytes;
        } else {
            length = EntryValueWidth(e.Key);
            e.Kind = sizeClass == 0 ? ValueKind::U8 : sizeClass == 1 ? ValueKind::S16 : ValueKind::S32;
        }
        if (valuePos + length > end) {
            walk.Problems.push_back("entry " + KeyHex(e.Key) + " at " + std::to_string(p) + " needs " +
                                    std::to_string(valuePos + length - p) + " bytes and runs past the chunk's end at " +
                                    std::to_string(end) + "; the rest of the chunk is skipped");
            break;
        }
        e.ValuePos = valuePos;
        e.Length = static_cast<std::uint32_t>(length);
        const std::uint8_t* v = bytes + valuePos;
        if (e.Kind == ValueKind::U8) e.Number = v[0];
        if (e.Kind == ValueKind::S16) e.Number = static_cast<std::int16_t>(ReadWord(v));
        if (e.Kind == ValueKind::S32) e.Number = static_cast<std::int32_t>(ReadBigEndian(v, 4));
        p = valuePos + length;
        if (EntryToken(e.Key) == 0) {
            walk.Problems.push_back("entry " + KeyHex(e.Key) + " at " + std::to_string(e.KeyPos) +
                                    " has no key number (an unknown entry); skipped");
            continue;
        }
        walk.Entries.push_back(e);
    }
    return walk;
}

std::optional<CusxView> ReadCusxAt(const std::vector<std::uint8_t>& bytes, std::int64_t data)
{
    const auto size = static_cast<std::int64_t>(bytes.size());
    if (data < kChunkHeaderLength || data > size) return std::nullopt;
    const std::int64_t stated = GetField(bytes.data() + data - kChunkHeaderLength, ChunkField::Size);
    return ReadCusx(bytes.data(), data, std::min<std::int64_t>(size, data + stated));
}

std::string CusxDefaultName(int ceNumber) { return kCusxDefaultNamePrefix + std::to_string(ceNumber); }

void AppendEntry(std::vector<std::uint8_t>& out, std::uint8_t key, std::int32_t number)
{
    const int width = EntryValueWidth(key);
    out.push_back(key);
    for (int i = width - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(number) >> (8 * i)));
}

void AppendEntry(std::vector<std::uint8_t>& out, std::uint8_t key, const std::vector<std::uint8_t>& bytes)
{
    out.push_back(key);
    out.push_back(static_cast<std::uint8_t>(bytes.size() >> 8));
    out.push_back(static_cast<std::uint8_t>(bytes.size()));
    out.insert(out.end(), bytes.begin(), bytes.end());
}

CusxView ReadCusx(const std::uint8_t* bytes, std::int64_t dataPos, std::int64_t dataEnd)
{
    CusxView view;
    view.DataPos = dataPos;
    if (dataPos + 2 > dataEnd) {
        view.Problems.push_back("has no room for its element code");
        return view;
    }
    view.Code = ReadWord(bytes + dataPos);
    view.CeNumber = static_cast<int>(view.Code) - (kFirstCeCode - 1);
    view.Name = CusxDefaultName(view.CeNumber);
    EntryWalk walk = WalkEntries(bytes, dataPos + 2, dataEnd);
    for (std::string& problem : walk.Problems) view.Problems.push_back(std::move(problem));

    int page = -1;  // the base part until its page count
    bool pageCountSeen = false;
    for (const ConfEntry& e : walk.Entries) {
        const bool inBase = !pageCountSeen;
        if (!inBase && e.Key == CusxPageKey::Index.Key) {
            if (e.Number >= view.PageCount) {
                view.Problems.push_back("page index " + std::to_string(e.Number) + " at " + std::to_string(e.KeyPos) +
                                        " is not below the page count " + std::to_string(view.PageCount) +
                                        "; the rest of the chunk is skipped");
                break;
            }
            page = e.Number;
        }
        if (!inBase && page == -1) {
            view.Problems.push_back("entry " + KeyHex(e.Key) + " at " + std::to_string(e.KeyPos) +
                                    " comes before the first page index; skipped");
            continue;
        }
        CusxEntryView ev;
        ev.Entry = e;
        ev.Page = inBase ? -1 : page;
        const EntryKey* info = inBase ? KeyOf(CusxBaseKey::All, e.Key) : KeyOf(CusxPageKey::All, e.Key);
        ev.Meaning = info ? std::string(info->Meaning) : "unknown key " + KeyHex(e.Key);
        const bool element = info && info->HoldsElements();
        const std::uint8_t* v = bytes + e.ValuePos;
        if (e.Kind == ValueKind::Bytes) {
            if (inBase && e.Key == CusxBaseKey::Name.Key) {
                std::string name(reinterpret_cast<const char*>(v), e.Length);
                const auto most = static_cast<std::size_t>(CusxBaseKey::Name.Most);
                if (name.size() > most) {
                    view.Problems.push_back("name at " + std::to_string(e.KeyPos) + " holds " +
                                            std::to_string(e.Length) + " characters; only the first " +
                                            std::to_string(most) + " are kept");
                    name.resize(most);
                }
                view.Name = name;
                view.NameStored = true;
                ev.Value = "\"" + name + "\"";
            } else if (element) {
                ev.Value = ContentValue(bytes, e);
                ev.Codes = ContentCodes(bytes, e);
            } else {
                ev.Value = std::to_string(e.Length) + " bytes";
            }
        } else if (element && e.Kind == ValueKind::S16) {
            const std::uint16_t code = ReadWord(v);
            ev.Value = HexText(code, 4);
            ev.Codes = HexText(code, 4);
        } else if (info && info->Type == EntryType::Bits) {
            ev.Value = "0x" + HexText(ReadBigEndian(v, static_cast<int>(e.Length)), static_cast<int>(2 * e.Length));
        } else {
            ev.Value = std::to_string(e.Number);
        }
        view.Entries.push_back(std::move(ev));
        if (inBase && e.Key == CusxBaseKey::PageCount.Key) {
            pageCountSeen = true;
            int count = e.Number;
            if (count < 1 || count > kCusxMostPages) {
                view.Problems.push_back("page count " + std::to_string(count) + " at " + std::to_string(e.KeyPos) +
                                        " lies outside 1.." + std::to_string(kCusxMostPages));
                count = std::clamp(count, 1, kCusxMostPages);
            }
            view.PageCount = count;
        }
    }
    if (!pageCountSeen)
        view.Problems.push_back("ends before its page count (key 0x09); the element keeps one page");
    return view;
}

}  // namespace vantrel
