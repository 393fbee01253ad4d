// Searching the index: free text over title, author, levelset and custom
// element names, the elements a level uses, its custom elements, what the
// game's reading found, its layout and its map size; and sorting by any
// column. The page and vantrel-cli find ask the same questions through it.
#pragma once

#include "archive/LevelIndex.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

struct ArchiveQuery {
    // Every word (separated by blanks) must stand in the title, the author,
    // the levelset or a custom element's name; letters of any case. The
    // texts are bytes: UTF-8 as typed ("Café") also finds the game's
    // Latin-1 texts, and the bytes of a Latin-1 text find them as they are.
    std::string Text{};
    std::string Title{};  // these three: the text must stand in that field
    std::string Author{};
    std::string CeName{};  // in the name of one of its custom elements
    std::vector<std::uint16_t> Uses{};  // the map holds every one of these codes
    bool HasCes = false;        // holds custom elements
    bool HasFindings = false;   // the game's reading finds more than notes in it
    bool Damaged = false;       // no level, damaged or unreadable
    std::optional<LevelLayout> Layout{};
    int MinWidth = 0, MinHeight = 0;  // the map's size, both ends included
    int MaxWidth = 0, MaxHeight = 0;  // 0: no bound
    // Whether the query asks anything but text of what a level holds: a
    // file that is no level then never matches. Such a file is found by its
    // levelset and its file name.
    bool AsksLevel() const;
};

bool Matches(const IndexEntry& e, const ArchiveQuery& query);
// The entries that match, as their positions in entries, in order.
std::vector<std::size_t> Search(const std::vector<IndexEntry>& entries, const ArchiveQuery& query);

// The columns of the list, in the order the page shows them.
enum class ArchiveColumn {
    Levelset,
    Number,
    Title,
    Author,
    Size,
    Layout,
    Version,
    Time,
    Emeralds,
    Ces,
    Findings,
    Path,
    Count
};
// The column's name as vantrel-cli find --sort takes it ("levelset", "number", ...).
const char* ColumnName(ArchiveColumn column);
std::optional<ArchiveColumn> ColumnFromName(const std::string& name);
// Orders the positions by a column (then by path), ascending or descending;
// a file that is no level comes after every level.
void SortResults(std::vector<std::size_t>& found, const std::vector<IndexEntry>& entries, ArchiveColumn column,
                 bool descending = false);

// An element named as the user writes it: a code in decimal ("360") or
// hexadecimal as the window shows it ("0x0168"), the game's token
// ("emerald"), or its description ("Custom element 1"); letters of any case.
// Nothing, and why in error, for a name that names no element or more than one.
std::optional<std::uint16_t> ParseElement(const std::string& text, std::string& error);

// A map size written "64x32" (width x height); nothing for any other text.
std::optional<std::pair<int, int>> ParseMapSize(const std::string& text);

}  // namespace vantrel
