// The lines of the load log and the CE list: written from their pieces, read back as text.
#include "base/TextLines.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace vantrel {
namespace {

TEST(TextLinesTest, LinesReadAsWrittenAlsoWhenWrittenBetweenReads)
{
    TextLines lines;
    std::string chunk = "CUS4";
    lines.Add("Loading ", std::string("/tmp/a b.level"));
    lines.Add(std::string_view(chunk), " (", 7u, ") found at ", std::int64_t{-4}, " seek to ", 9);
    chunk = "XXXX";  // a copied text is kept as it was when written
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "CUS4 (7) found at -4 seek to 9");
    lines.push_back(std::string_view("\0\1x", 3));  // any bytes, zero bytes too
    lines.Add(std::numeric_limits<std::uint64_t>::max(), " ", std::numeric_limits<std::int64_t>::min(),
              std::uint8_t{200}, "");
    lines.Add();
    const std::vector<std::string> expected = {"Loading /tmp/a b.level", "CUS4 (7) found at -4 seek to 9",
                                               std::string("\0\1x", 3),
                                               "18446744073709551615 -9223372036854775808200", ""};
    EXPECT_EQ(lines, expected);

    const TextLines copy = lines;
    TextLines moved = std::move(lines);
    EXPECT_TRUE(lines.empty());  // NOLINT(bugprone-use-after-move): a moved-from list is empty
    EXPECT_EQ(moved, expected);
    lines.clear();
    EXPECT_TRUE(lines.empty());
    lines.Add("after ", 1);
    EXPECT_EQ(lines, std::vector<std::string>{"after 1"});
    EXPECT_EQ(copy, expected);
}

TEST(TextLinesTest, ManyLongLinesSurviveTheBufferGrowing)
{
    TextLines lines;
    const std::string long_(5000, 'x');
    for (int i = 0; i < 300; ++i) lines.Add(i, ": ", long_);
    ASSERT_EQ(lines.size(), 300u);
    EXPECT_EQ(lines[299], "299: " + long_);
    EXPECT_EQ(lines.front(), "0: " + long_);
}

}  // namespace
}  // namespace vantrel
