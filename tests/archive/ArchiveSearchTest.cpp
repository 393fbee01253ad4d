// Searching and sorting the index, and the names of elements and map sizes
// the user writes.
#include "archive/ArchiveSearch.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using Names = std::vector<std::string>;

IndexEntry Made(const std::string& name, const std::string& title, const std::string& author, int w, int h,
                std::vector<ElementCount> elements, std::vector<IndexedCe> ces = {}, bool clean = true)
{
    IndexEntry e;
    e.Path = "/data/levels/set/" + name;
    e.Levelset = "Tutorials";
    e.Number = std::atoi(name.c_str());
    e.Title = title;
    e.Author = author;
    e.Width = w;
    e.Height = h;
    e.Layout = LevelLayout::Chunked;
    e.Elements = std::move(elements);
    e.Ces = std::move(ces);
    e.Clean = clean;
    if (!clean) e.Findings = {{40, "a chunk size that does not add up", false}};
    return e;
}

std::vector<IndexEntry> Entries()
{
    std::vector<IndexEntry> all = {
        Made("001.level", "Conveyor Trick", "Niko", 40, 20, {{1, 700}, {6, 12}, {80, 1}}),
        Made("002.level", "Gems", "niko boehm", 64, 32, {{6, 3}, {80, 1}, {376, 2}}, {{17, "Counter digit", std::nullopt}}),
        Made("003.level", "The Wall", "Anna", 10, 10, {{2, 100}}, {{1, "Door", 6}, {2, "Key", std::nullopt}}, false),
        Made("004.level", "Big", "", 128, 128, {{0, 16384}}),
    };
    IndexEntry damaged;
    damaged.Path = "/data/levels/set/005.level";
    damaged.Levelset = "Tutorials";
    damaged.State = IndexState::Damaged;
    damaged.Problem = "The level's map runs past the end of the file";
    all.push_back(damaged);
    all.back().Layout = LevelLayout::Newer;
    IndexEntry text = damaged;
    text.Path = "/data/levels/other/readme.level";
    text.Levelset = "Other";
    text.State = IndexState::NotLevel;
    all.push_back(text);
    all[1].Layout = LevelLayout::Newer;
    return all;
}

Names Titles(const std::vector<IndexEntry>& all, const std::vector<std::size_t>& found)
{
    Names names;
    for (const std::size_t i : found) names.push_back(all[i].IsLevel() ? all[i].Title : all[i].Path.substr(all[i].Path.rfind('/') + 1));
    return names;
}

TEST(ArchiveSearchTest, FindsByTextElementCustomElementAndState)
{
    const std::vector<IndexEntry> all = Entries();
    struct Row {
        const char* what;
        ArchiveQuery query;
        Names found;
    };
    const Row rows[] = {
        {"nothing asked: every file", {}, {"Conveyor Trick", "Gems", "The Wall", "Big", "005.level", "readme.level"}},
        {"a word of a title, any case", {.Text = "conveyor"}, {"Conveyor Trick"}},
        {"every word somewhere: title and author", {.Text = "gems BOEHM"}, {"Gems"}},
        {"a word of a CE name", {.Text = "digit"}, {"Gems"}},
        {"the levelset: files that are no level too", {.Text = "tutorials"},
         {"Conveyor Trick", "Gems", "The Wall", "Big", "005.level"}},
        {"a file's name finds a file that is no level", {.Text = "readme"}, {"readme.level"}},
        {"a word nowhere", {.Text = "gems door"}, {}},
        {"author", {.Author = "NIKO"}, {"Conveyor Trick", "Gems"}},
        {"title", {.Title = "wall"}, {"The Wall"}},
        {"CE name", {.CeName = "key"}, {"The Wall"}},
        {"uses an emerald", {.Uses = {6}}, {"Conveyor Trick", "Gems"}},
        {"uses every element asked", {.Uses = {6, 376}}, {"Gems"}},
        {"uses an element no map holds", {.Uses = {999}}, {}},
        {"has custom elements", {.HasCes = true}, {"Gems", "The Wall"}},
        {"has findings", {.HasFindings = true}, {"The Wall"}},
        {"damaged and no level", {.Damaged = true}, {"005.level", "readme.level"}},
        {"damaged, by its name", {.Text = "005", .Damaged = true}, {"005.level"}},
        {"layout: a damaged file of that layout is no level", {.Layout = LevelLayout::Newer}, {"Gems"}},
        {"at least 40x20", {.MinWidth = 40, .MinHeight = 20}, {"Conveyor Trick", "Gems", "Big"}},
        {"at most 64x32", {.MaxWidth = 64, .MaxHeight = 32}, {"Conveyor Trick", "Gems", "The Wall"}},
        {"between", {.MinWidth = 41, .MaxWidth = 64}, {"Gems"}},
    };
    for (const Row& row : rows) EXPECT_EQ(Titles(all, Search(all, row.query)), row.found) << row.what;
}

// The game's texts are Latin-1, what the user types UTF-8, a folder's name UTF-8.
TEST(ArchiveSearchTest, FindsLatin1TextsByWhatIsTypedInUtf8)
{
    std::vector<IndexEntry> all = {
        Made("001.level", "Caf\xe9", "Niko B\xf6hm", 2, 1, {{1, 2}}, {{1, "T\xfcr", std::nullopt}}),
        Made("002.level", "Plain", "Anna", 2, 1, {{1, 2}}),
    };
    all[1].Levelset = "Stra\xc3\x9f" "e";  // no levelinfo.conf: the folder's name
    const std::string cafe = "Caf\xe9";
    struct Row {
        const char* what;
        ArchiveQuery query;
        Names found;
    };
    const Row rows[] = {
        {"a word typed in UTF-8", {.Text = "caf\xc3\xa9"}, {cafe}},
        {"a word in Latin-1 bytes", {.Text = "Caf\xe9"}, {cafe}},
        {"author", {.Author = "B\xc3\xb6hm"}, {cafe}},
        {"title", {.Title = "f\xc3\xa9"}, {cafe}},
        {"CE name", {.CeName = "T\xc3\xbcr"}, {cafe}},
        {"a folder's name in UTF-8", {.Text = "Stra\xc3\x9f" "e"}, {"Plain"}},
        {"another letter", {.Text = "Caf\xc3\xa8"}, {}},
        {"no Latin-1 form", {.Text = "\xe6\x97\xa5"}, {}},
        {"a UTF-8 sequence cut short", {.Text = "Caf\xc3"}, {}},
    };
    for (const Row& row : rows) EXPECT_EQ(Titles(all, Search(all, row.query)), row.found) << row.what;
}

TEST(ArchiveSearchTest, SortsByAnyColumnWithFilesThatAreNoLevelLast)
{
    const std::vector<IndexEntry> all = Entries();
    struct Row {
        ArchiveColumn column;
        bool descending;
        Names order;
    };
    const Row rows[] = {
        {ArchiveColumn::Title, false, {"Big", "Conveyor Trick", "Gems", "The Wall", "readme.level", "005.level"}},
        {ArchiveColumn::Title, true, {"The Wall", "Gems", "Conveyor Trick", "Big", "005.level", "readme.level"}},
        {ArchiveColumn::Author, false, {"Big", "The Wall", "Conveyor Trick", "Gems", "readme.level", "005.level"}},
        {ArchiveColumn::Size, false, {"The Wall", "Conveyor Trick", "Gems", "Big", "readme.level", "005.level"}},
        {ArchiveColumn::Ces, true, {"The Wall", "Gems", "Big", "Conveyor Trick", "005.level", "readme.level"}},
        {ArchiveColumn::Findings, true, {"The Wall", "Big", "Gems", "Conveyor Trick", "005.level", "readme.level"}},
        {ArchiveColumn::Number, true, {"Big", "The Wall", "Gems", "Conveyor Trick", "005.level", "readme.level"}},
    };
    for (const Row& row : rows) {
        std::vector<std::size_t> found = Search(all, {});
        SortResults(found, all, row.column, row.descending);
        EXPECT_EQ(Titles(all, found), row.order) << ColumnName(row.column) << (row.descending ? " descending" : "");
    }
    EXPECT_EQ(ColumnFromName("Emeralds"), ArchiveColumn::Emeralds);
    EXPECT_EQ(ColumnFromName("colour"), std::nullopt);
}

TEST(ArchiveSearchTest, ReadsElementsAsTheUserNamesThem)
{
    struct Row {
        const char* text;
        std::optional<std::uint16_t> code;
        const char* error;
    };
    const Row rows[] = {
        {"360", 360, ""},
        {"0x0168", 360, ""},
        {"0X168", 360, ""},
        {" 6 ", 6, ""},
        {"emerald", 6, ""},
        {"EMERALD", 6, ""},
        {"Custom element 17", 376, ""},
        {"bug.right", 84, ""},
        {"custom_17", 376, ""},
        {"bug.sideways", std::nullopt,
         "No element is named \"bug.sideways\": give its code (360 or 0x0168), its token or its name."},
        {"", std::nullopt, "No element is named."},
        {"65536", std::nullopt, "There is no element code 65536: codes go from 0 to 65535 (0xFFFF)."},
        {"0x1FFFF", std::nullopt, "There is no element code 0x1FFFF: codes go from 0 to 65535 (0xFFFF)."},
        {"0xG1", std::nullopt, "\"0xG1\" is no hexadecimal element code (such as 0x0168)."},
        {"-", std::nullopt, nullptr},  // many unused codes are described so
    };
    for (const Row& row : rows) {
        std::string error;
        EXPECT_EQ(ParseElement(row.text, error), row.code) << row.text;
        if (row.error)
            EXPECT_EQ(error, row.error) << row.text;
        else
            EXPECT_TRUE(error.starts_with("\"-\" names ")) << error;
    }
}

TEST(ArchiveSearchTest, ReadsMapSizes)
{
    EXPECT_EQ(ParseMapSize("64x32"), std::make_pair(64, 32));
    EXPECT_EQ(ParseMapSize("1X128"), std::make_pair(1, 128));
    for (const char* bad : {"", "64", "x32", "64x", "64x32x", "a4x3", "1000x1", "64 x 32"})
        EXPECT_EQ(ParseMapSize(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace vantrel
