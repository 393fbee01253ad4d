// Reading a forum post into a level, and Make Level From Quote: what a post
// gives (header, rows, cells, emeralds), the whole file it writes, and every
// refusal leaving the output directory as it was.
#include "quote/QuotePost.h"

#include "base/Text.h"
#include "quote/LevelWriter.h"
#include "quote/QuoteFiles.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

std::string Img(const std::string& name, const std::string& prefix = kDefaultImagePrefix)
{
    return "[img]" + prefix + name + ".gif[/img]";
}

std::string Row(std::initializer_list<const char*> names)
{
    std::string line;
    for (const char* n : names) line += Img(n);
    return line;
}

const std::string kHeader = "[quote author=Alice link=topic=12.msg34#msg34 date=1200000000]My Level";
const std::string kFiveRow = Row({"001", "001", "006", "001", "001"});
const std::vector<std::uint16_t> kFiveByThree = {1, 1, 6, 1, 1, 1, 1, 6, 1, 1, 1, 1, 6, 1, 1};

struct PostCase {
    const char* name;
    std::string post;
    std::string author;
    std::string title;
    int width;
    int height;
    long emeralds;
    int elements;
    int filledRows;
    std::vector<std::uint16_t> cells;
};

std::vector<PostCase> PostCases()
{
    const std::string long40 = "0123456789012345678901234567890123456789";
    return {
        {"QuotedPost", kHeader + "\n" + kFiveRow + "\n" + kFiveRow + "\n" + kFiveRow, "Alice", "My Level", 5, 3, 3, 15,
         0, kFiveByThree},
        {"WithoutHeader", kFiveRow + "\n" + kFiveRow + "\n" + kFiveRow, "", "", 5, 3, 3, 15, 0, kFiveByThree},
        {"HeaderNotReadInThreeLines", "[quote author=Alice link=1]T" + Img("001") + "\n" + Img("002") + "\n" + Img("003"),
         "", "", 1, 3, 0, 3, 0, {1, 2, 3}},
        {"LongTitleAndAuthorCut", "[quote author=" + long40 + " link=1]" + long40 + "\n" + Img("001") + "\n\n\n",
         long40.substr(0, 32), long40.substr(0, 32), 1, 1, 0, 1, 0, {1}},
        {"HeaderWithoutBracket", "[quote author=Bob link=1 date=2 and the text runs on\n\n\n" + Img("001"), "Bob",
         "[quote author=Bob link=1 date=2 ", 1, 1, 0, 1, 0, {1}},
        {"NamesNotThreeDigits", Img("6") + Img("0006"), "", "", 0, 0, 0, 0, 0, {}},
        {"Weights", Row({"257", "014", "001", "256", "050", "006", "214", "099"}), "", "", 8, 1, 22, 8, 0,
         {257, 14, 1, 256, 50, 6, 214, 99}},
        {"OnlyCodeOne", Row({"001", "001"}), "", "", 2, 1, 0, 2, 0, {1, 1}},
        {"OtherImagesEmptyInPlace", Img("001") + "[img]http://elsewhere/smile.gif[/img]" + Img("ab6") + Img("006"), "",
         "", 4, 1, 1, 2, 0, {1, 0, 0, 6}},
        {"LineWithoutElementsIsNoRow", Row({"001"}) + "\n" + Row({"abc", "abc", "abc"}) + "\n" + Row({"002"}), "", "",
         1, 2, 0, 2, 0, {1, 2}},
        {"UnequalRowsFilledAtTheirEnd", Row({"001", "001", "001"}) + "\n" + Row({"006"}) + "\n" + Row({"002", "002"}),
         "", "", 3, 3, 1, 6, 2, {1, 1, 1, 6, 0, 0, 2, 2, 0}},
        {"LineEndings", "[quote author=Al link=1]T\r\n" + Img("001") + "\r" + Img("002") + "\n" + Img("003") + "\r\n",
         "Al", "T", 1, 3, 0, 3, 0, {1, 2, 3}},
        {"SketchLines", "`001`006`001\n \t`014`0700`257\t \n", "", "", 3, 2, 12, 6, 0, {1, 6, 1, 14, 700, 257}},
        // Level Sketch text names codes in as many digits as they need: a row of them is kept whole.
        {"SketchFourDigits", "`1217`1232\n`0001`99999\n", "", "", 2, 2, 0, 3, 0, {1217, 1232, 1, 0}},
        {"NoSketchLines", "see `001 here\n`01`001\n`001x\n``001\n`001 `002", "", "", 0, 0, 0, 0, 0, {}},
        {"SketchBesideImages", Row({"001", "002"}) + "\r\n`003`004\r\n", "", "", 2, 2, 0, 4, 0, {1, 2, 3, 4}},
        {"OtherPrefixIsNoImage", Img("001", "http://elsewhere/I/") + Img("002"), "", "", 2, 1, 0, 1, 0, {0, 2}},
    };
}

TEST(QuotePostTest, PostsGiveTheirLevel)
{
    for (const PostCase& c : PostCases()) {
        SCOPED_TRACE(c.name);
        const QuoteLevel q = ParseQuotePost(c.post, kDefaultImagePrefix);
        EXPECT_EQ(q.Author, c.author);
        EXPECT_EQ(q.Title, c.title);
        EXPECT_EQ(q.Width, c.width);
        EXPECT_EQ(q.Height, c.height);
        EXPECT_EQ(q.Emeralds, c.emeralds);
        EXPECT_EQ(q.ElementCount, c.elements);
        EXPECT_EQ(q.FilledRows, c.filledRows);
        EXPECT_EQ(q.Cells, c.cells);
    }
}

TEST(QuotePostTest, ImagePrefixComesFromTheSettingOrTheDefault)
{
    test::MemorySettings settings;
    EXPECT_EQ(ImagePrefix(settings), "http://forum.artsoft.org/I/");
    settings.values[kImagePrefixSetting] = "https://example.net/pics/";
    EXPECT_EQ(ImagePrefix(settings), "https://example.net/pics/");
    EXPECT_EQ(ParseQuotePost(Img("006", "https://example.net/pics/"), ImagePrefix(settings)).Cells,
              std::vector<std::uint16_t>{6});
}

TEST(QuotePostTest, MakeLevelWritesTheWholeFile)
{
    test::TempDir out;
    const struct {
        const char* name;
        std::string post;
        test::ExpectedLevel expected;
        std::string messageTail;
    } cases[] = {
        {"QuotedPost", kHeader + "\n" + kFiveRow + "\n" + kFiveRow + "\n" + kFiveRow,
         {5, 3, 0, 3, "My Level", "Alice", kFiveByThree}, ""},
        {"OneRowFilled", Row({"001", "002"}) + "\n" + Row({"006"}),
         {2, 2, 0, 1, "", "", {1, 2, 6, 0}}, "\n1 row had fewer than 2 cells and was filled with empty space at the end."},
        {"TwoRowsFilled", Row({"001", "002", "003"}) + "\n" + Row({"006"}) + "\n" + Row({"006", "006"}),
         {3, 3, 0, 3, "", "", {1, 2, 3, 6, 0, 0, 6, 6, 0}},
         "\n2 rows had fewer than 3 cells and were filled with empty space at the end."},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string expectedPath = (out.Path() / (ZeroPadInt(++n, 3) + ".level")).string();
        const QuoteLevelResult made = MakeLevelFromQuote(c.post, out.Path().string(), "");
        EXPECT_EQ(made.Path, expectedPath);
        EXPECT_EQ(made.Message, "Level saved to:\n" + expectedPath + c.messageTail);
        EXPECT_EQ(test::ReadBytes(expectedPath), test::ExpectedLevelBytes(c.expected));
    }
}

TEST(QuotePostTest, EmeraldsToCollectStopAtTheLargestNumber)
{
    std::string post;
    for (int r = 0; r < 128; ++r) {
        for (int c = 0; c < 128; ++c) post += "`257";
        post += "\n";
    }
    EXPECT_EQ(ParseQuotePost(post, kDefaultImagePrefix).Emeralds, 128L * 128 * 8);
    test::TempDir out;
    const auto path = MakeLevelFromQuote(post, out.Path().string(), "").Path;
    ASSERT_TRUE(path);
    const auto bytes = test::ReadBytes(*path);
    ASSERT_EQ(bytes.size(), 196u + 128 * 128 * 2);
    EXPECT_EQ(bytes[36], 128);
    EXPECT_EQ(bytes[37], 128);
    EXPECT_EQ(bytes[40], 0xFF);
    EXPECT_EQ(bytes[41], 0xFF);
}

TEST(QuotePostTest, RefusalsWriteNothingAndAskForNoDirectory)
{
    std::string wide, high;
    for (int i = 0; i < 129; ++i) wide += "`001";
    for (int i = 0; i < 129; ++i) high += "`001`001\n";
    const struct {
        const char* name;
        std::string post;
        std::string message;
    } cases[] = {
        {"EmptyPost", "", "No width or height detected, are you sure there is some Level Sketch images included in the post?"},
        {"NoElementNames", Img("6") + Img("0006") + "\n" + Img("abc"), "No width or height detected, are you sure there is some Level Sketch images included in the post?"},
        {"TooWide", wide, "The level would be 129 x 1 cells; a level can be at most 128 x 128 cells.\nNo level was written."},
        {"TooHigh", high, "The level would be 2 x 129 cells; a level can be at most 128 x 128 cells.\nNo level was written."},
    };
    test::TempDir out;
    out.Write("001.level", "old");
    const auto before = test::Snapshot(out.Path());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int asked = 0;
        const auto outputDir = [&] {
            ++asked;
            return out.Path().string();
        };
        const QuoteLevelResult made = MakeLevelFromQuote(c.post, outputDir, out.Path().string());
        EXPECT_EQ(made.Path, std::nullopt);
        EXPECT_EQ(made.Message, c.message);
        EXPECT_EQ(asked, 0);
        EXPECT_EQ(test::Snapshot(out.Path()), before);
    }
}

TEST(QuotePostTest, NoFreeNameIsToldAndNothingWritten)
{
    test::TempDir fallback;
    fallback.Write("000.level", "old");
    const auto before = test::Snapshot(fallback.Path());
    const QuoteLevelResult made = MakeLevelFromQuote("`001", "", fallback.Path().string());
    EXPECT_EQ(made.Path, std::nullopt);
    EXPECT_EQ(made.Message, "No output directory is set, and " + (fallback.Path() / "000.level").string() +
                                " exists already.\nNo level was written.");
    EXPECT_EQ(test::Snapshot(fallback.Path()), before);
}

}  // namespace
}  // namespace vantrel
