// The index as text for hostile texts: a level's title, author and path with
// quotes, backslashes, control bytes and Latin-1 bytes, as a line and as JSON.
#include "archive/IndexText.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

IndexEntry Titled(const std::string& path, const std::string& title, const std::string& author)
{
    IndexEntry e;
    e.Path = path;
    e.Levelset = "Set";
    e.Number = 1;
    e.Title = title;
    e.Author = author;
    e.Width = 2;
    e.Height = 1;
    e.Layout = LevelLayout::Chunked;
    e.Version = "1.2";
    return e;
}

// The line and the JSON object's path, title and author, up to "width".
std::string JsonTexts(const IndexEntry& e)
{
    const std::string json = IndexJson(e);
    const std::size_t title = json.find(",\"title\":");
    return json.substr(0, json.find(",\"levelset\"")) + json.substr(title, json.find(",\"width\"") - title);
}

TEST(IndexTextTest, KeepsALevelOnOneLineAndEscapesItsJson)
{
    struct Row {
        const char* what;
        IndexEntry entry;
        std::string line;
        std::string json;
    };
    const std::string tail = ", 2x1, RND1 1.2, time 0, emeralds 0, 0 elements, 0 CEs, clean";
    const Row rows[] = {
        {"quotes and backslashes", Titled("/l/1.level", "a\"b\\c", "x\\"), "/l/1.level: Set 1 \"a\"b\\c\" by x\\" + tail,
         R"({"path":"/l/1.level","title":"a\"b\\c","author":"x\\")"},
        {"a line break and a tab", Titled("/l/1.level", "two\nlines\there", "A\r"),
         "/l/1.level: Set 1 \"two?lines?here\" by A?" + tail,
         R"({"path":"/l/1.level","title":"two\nlines\there","author":"A\u000d")"},
        {"an escape and a delete", Titled("/l/1.level", "\x1b[31mred\x7f", ""), "/l/1.level: Set 1 \"?[31mred?\"" + tail,
         R"({"path":"/l/1.level","title":"\u001b[31mred\u007f","author":"")"},
        {"Latin-1 letters", Titled("/l/1.level", "Caf\xe9", "B\xf6hm"), "/l/1.level: Set 1 \"Caf\xe9\" by B\xf6hm" + tail,
         "{\"path\":\"/l/1.level\",\"title\":\"Caf\xc3\xa9\",\"author\":\"B\xc3\xb6hm\""},
        {"a path with a line break, UTF-8 and Latin-1", Titled("/l/a\nb\xc3\xa9\xe9.level", "T", "A"),
         "/l/a?b\xc3\xa9\xe9.level: Set 1 \"T\" by A" + tail,
         "{\"path\":\"/l/a\\nb\xc3\x83\xc2\xa9\xc3\xa9.level\",\"title\":\"T\",\"author\":\"A\""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IndexLine(row.entry), row.line) << row.what;
        EXPECT_EQ(JsonTexts(row.entry), row.json) << row.what;
    }
    IndexEntry damaged = Titled("/l/2.level", "", "");
    damaged.State = IndexState::Damaged;
    damaged.Problem = "cut\nshort";
    EXPECT_EQ(IndexLine(damaged), "/l/2.level: damaged: cut?short");
}

}  // namespace
}  // namespace vantrel
