#include "level/ConfEntries.h"

#include "base/Bytes.h"
#include "base/Elements.h"

#include <algorithm>
#include <map>

namespace vantrel {

namespace {

std::string KeyHex(std::uint8_t key) { return "0x" + HexText(key, 2); }

struct KeyInfo {
    const char* Meaning;
    bool Element = false;  // a 16-bit element code, or a content of 3x3 codes
    bool Bits = false;     // shown in hexadecimal
};

const std::map<std::uint8_t, KeyInfo>& BaseKeys()
{
    static const std::map<std::uint8_t, KeyInfo> keys = {
        {0xC1, {"name"}},
        {0x81, {"property bits", false, true}},
        {0x01, {"use graphic of element"}},
        {0x41, {"graphic element", true}},
        {0x02, {"access directions", false, true}},
        {0x42, {"collect score"}},
        {0x43, {"collect count"}},
        {0x44, {"CE value fixed"}},
        {0x45, {"CE value random"}},
        {0x03, {"use last CE value"}},
        {0x46, {"push delay fixed"}},
        {0x47, {"push delay random"}},
        {0x48, {"drop delay fixed"}},
        {0x49, {"drop delay random"}},
        {0x4A, {"move delay fixed"}},
        {0x4B, {"move delay random"}},
        {0x50, {"step delay fixed"}},
        {0x51, {"step delay random"}},
        {0x83, {"move pattern", false, true}},
        {0x04, {"initial direction"}},
        {0x05, {"step size"}},
        {0x4C, {"element entered", true}},
        {0x4D, {"element left behind", true}},
        {0x06, {"leave type"}},
        {0x07, {"slippery type"}},
        {0x08, {"explosion type"}},
        {0x4E, {"explosion delay"}},
        {0x4F, {"ignition delay"}},
        {0xC2, {"explosion content", true}},
        {0x09, {"number of change pages"}},
    };
    return keys;
}

const std::map<std::uint8_t, KeyInfo>& PageKeys()
{
    static const std::map<std::uint8_t, KeyInfo> keys = {
        {0x01, {"page index"}},
        {0x02, {"element can change"}},
        {0x81, {"change events 0-31", false, true}},
        {0x82, {"change events 32-63", false, true}},
        {0x03, {"trigger player", false, true}},
        {0x04, {"trigger side", false, true}},
        {0x83, {"trigger page bits", false, true}},
        {0x41, {"target element", true}},
        {0x42, {"delay fixed"}},
        {0x43, {"delay random"}},
        {0x44, {"frames per delay unit"}},
        {0x45, {"trigger element", true}},
        {0x06, {"explode"}},
        {0x07, {"use target content"}},
        {0x08, {"only if complete"}},
        {0x09, {"random replace"}},
        {0x0A, {"random percentage"}},
        {0x0B, {"replace when"}},
        {0x0C, {"has action"}},
        {0x0D, {"action type"}},
        {0x0E, {"action mode"}},
        {0x46, {"action argument"}},
        {0x47, {"action element", true}},
        {0xC1, {"target content", true}},
    };
    return keys;
}

// Content lists: N/18 blocks of 3x3 codes; the preview shows the first block.
std::string ContentCodes(const std::uint8_t* bytes, const ConfEntry& e)
{
    if (e.Length < 18) return {};
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
    const std::uint32_t blocks = e.Length / 18;
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
        const int sizeClass = e.Key >> 6;
        std::int64_t valuePos = p + 1;
        std::int64_t length = 0;
        if (sizeClass == 3) {
            if (p + 3 > end) {
                walk.Problems.push_back("entry " + KeyHex(e.Key) + " at " + std::to_string(p) +
                                        " runs past the chunk's end at " + std::to_string(end) +
                                        "; the rest of the chunk is skipped");
                break;
            }
            length = ReadWord(bytes + p + 1);
            valuePos = p + 3;
            e.Kind = ValueKind::Bytes;
        } else {
            length = sizeClass == 0 ? 1 : sizeClass == 1 ? 2 : 4;
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
        if ((e.Key & 0x3F) == 0) {
            walk.Problems.push_back("entry " + KeyHex(e.Key) + " at " + std::to_string(e.KeyPos) +
                                    " has no key number (an unknown entry); skipped");
            continue;
        }
        walk.Entries.push_back(e);
    }
    return walk;
}

std::string CusxDefaultName(int ceNumber) { return kCusxDefaultNamePrefix + std::to_string(ceNumber); }

void AppendEntry(std::vector<std::uint8_t>& out, std::uint8_t key, std::int32_t number)
{
    const int width = (key >> 6) == 0 ? 1 : (key >> 6) == 1 ? 2 : 4;
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
        const auto& table = inBase ? BaseKeys() : PageKeys();
        if (!inBase && e.Key == 0x01) {
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
        const auto found = table.find(e.Key);
        const KeyInfo info = found != table.end() ? found->second : KeyInfo{nullptr};
        ev.Meaning = info.Meaning ? info.Meaning : "unknown key " + KeyHex(e.Key);
        const std::uint8_t* v = bytes + e.ValuePos;
        if (e.Kind == ValueKind::Bytes) {
            if (inBase && e.Key == 0xC1) {
                std::string name(reinterpret_cast<const char*>(v), e.Length);
                if (name.size() > kCusxNameMax) {
                    view.Problems.push_back("name at " + std::to_string(e.KeyPos) + " holds " +
                                            std::to_string(e.Length) + " characters; only the first " +
                                            std::to_string(kCusxNameMax) + " are kept");
                    name.resize(kCusxNameMax);
                }
                view.Name = name;
                view.NameStored = true;
                ev.Value = "\"" + name + "\"";
            } else if (info.Element) {
                ev.Value = ContentValue(bytes, e);
                ev.Codes = ContentCodes(bytes, e);
            } else {
                ev.Value = std::to_string(e.Length) + " bytes";
            }
        } else if (info.Element && e.Kind == ValueKind::S16) {
            const std::uint16_t code = ReadWord(v);
            ev.Value = HexText(code, 4);
            ev.Codes = HexText(code, 4);
        } else if (info.Bits) {
            ev.Value = "0x" + HexText(ReadBigEndian(v, static_cast<int>(e.Length)), static_cast<int>(2 * e.Length));
        } else {
            ev.Value = std::to_string(e.Number);
        }
        view.Entries.push_back(std::move(ev));
        if (inBase && e.Key == 0x09) {
            pageCountSeen = true;
            int count = e.Number;
            if (count < 1 || count > kMaxChangePages) {
                view.Problems.push_back("page count " + std::to_string(count) + " at " + std::to_string(e.KeyPos) +
                                        " lies outside 1.." + std::to_string(kMaxChangePages));
                count = std::clamp(count, 1, kMaxChangePages);
            }
            view.PageCount = count;
        }
    }
    if (!pageCountSeen)
        view.Problems.push_back("ends before its page count (key 0x09); the element keeps one page");
    return view;
}

}  // namespace vantrel
