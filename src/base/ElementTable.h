// The element table: every element code of the game's level files with its
// token, class and description. One row a code, codes ascending from 0 to the
// last code the game knows; codes beyond it have no row.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vantrel {

struct ElementInfo {
    std::uint16_t code = 0;
    std::string_view token;         // the game's name, e.g. "emerald", "bug.right"
    std::string_view elementClass;  // e.g. "wall", "emerald", "char", "custom"
    std::string_view description;   // Latin-1 bytes, e.g. "Yellow emerald"
};

// Every row, codes ascending.
std::span<const ElementInfo> AllElements();

// The row of a code, or nullptr for a code the table does not know.
const ElementInfo* ElementByCode(std::uint16_t code);

// The name of a code as the program shows it: its description ("Custom
// element 1"), or "no element of the game" for a code the table does not know.
std::string ElementName(std::uint16_t code);
// The code and its name beside each other: "0x0168 Custom element 1".
std::string ElementLabel(std::uint16_t code);

// The character a character element ("char" class) stands for, as one
// Latin-1 byte; empty for every other code and for the character elements
// that are no single character (the unused ones, "button", "up", "down").
std::optional<unsigned char> CharacterOfElement(std::uint16_t code);

// The character element that stands for this byte, if there is one.
std::optional<std::uint16_t> ElementOfCharacter(unsigned char ch);

}  // namespace vantrel
