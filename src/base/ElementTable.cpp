#include "base/ElementTable.h"

#include "base/Bytes.h"
#include "base/ElementRows.h"

#include <algorithm>

namespace vantrel {

namespace {

constexpr bool CodesAscend()
{
    for (std::size_t i = 1; i < std::size(kElementRows); ++i) {
        if (kElementRows[i].code <= kElementRows[i - 1].code) return false;
    }
    return true;
}
static_assert(CodesAscend(), "element rows must be sorted by code, each code once");

// A character element's description is "Letter '" + the character + "'".
constexpr std::string_view kLetterPrefix = "Letter '";

std::optional<unsigned char> CharacterOf(const ElementInfo& e)
{
    const std::string_view d = e.description;
    if (e.elementClass != "char" || d.size() != kLetterPrefix.size() + 2 || !d.starts_with(kLetterPrefix) ||
        d.back() != '\'') {
        return std::nullopt;
    }
    return static_cast<unsigned char>(d[kLetterPrefix.size()]);
}

}  // namespace

std::span<const ElementInfo> AllElements()
{
    return kElementRows;
}

const ElementInfo* ElementByCode(std::uint16_t code)
{
    const auto rows = AllElements();
    const auto it = std::lower_bound(rows.begin(), rows.end(), code,
                                     [](const ElementInfo& e, std::uint16_t c) { return e.code < c; });
    return it != rows.end() && it->code == code ? &*it : nullptr;
}

std::string ElementName(std::uint16_t code)
{
    const ElementInfo* e = ElementByCode(code);
    return e != nullptr ? std::string(e->description) : "no element of the game";
}

std::string ElementLabel(std::uint16_t code)
{
    return "0x" + HexText(code, 4) + " " + ElementName(code);
}

std::optional<unsigned char> CharacterOfElement(std::uint16_t code)
{
    const ElementInfo* e = ElementByCode(code);
    return e != nullptr ? CharacterOf(*e) : std::nullopt;
}

std::optional<std::uint16_t> ElementOfCharacter(unsigned char ch)
{
    for (const ElementInfo& e : AllElements()) {
        if (CharacterOf(e) == ch) return e.code;
    }
    return std::nullopt;
}

}  // namespace vantrel
