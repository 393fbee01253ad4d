#include "level/OpenLevel.h"
#include "base/ElementTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vantrel {
namespace {

TEST(ElementTable, CodesAscendWithoutGapsFromZeroTo656)
{
    const auto rows = AllElements();
    ASSERT_EQ(rows.size(), 657u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].code, i) << "row " << i;
        EXPECT_FALSE(rows[i].token.empty()) << "code " << rows[i].code;
        EXPECT_FALSE(rows[i].elementClass.empty()) << "code " << rows[i].code;
        EXPECT_FALSE(rows[i].description.empty()) << "code " << rows[i].code;
    }
}

TEST(ElementTable, ByCodeFindsEveryRowAndNothingBeyond)
{
    for (const ElementInfo& e : AllElements()) {
        ASSERT_EQ(ElementByCode(e.code), &e);
    }
    EXPECT_EQ(ElementByCode(657), nullptr);
    EXPECT_EQ(ElementByCode(1000), nullptr);
    EXPECT_EQ(ElementByCode(0xFFFF), nullptr);
}

struct FixedPoint {
    std::uint16_t code;
    const char* token;
    const char* elementClass;
    const char* description;
};

class ElementFixedPoint : public testing::TestWithParam<FixedPoint> {};

TEST_P(ElementFixedPoint, HasItsRow)
{
    const FixedPoint& p = GetParam();
    const ElementInfo* e = ElementByCode(p.code);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->token, p.token);
    EXPECT_EQ(e->elementClass, p.elementClass);
    EXPECT_EQ(e->description, p.description);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ElementFixedPoint,
    testing::Values(FixedPoint{0, "empty_space", "empty_space", "Empty space"},
                    FixedPoint{1, "sand", "sand", "Sand"},
                    FixedPoint{6, "emerald", "emerald", "Emerald"},
                    FixedPoint{14, "diamond", "diamond", "Diamond"},
                    FixedPoint{80, "player_1", "player", "Player 1"},
                    FixedPoint{83, "player_4", "player", "Player 4"},
                    FixedPoint{120, "char_space", "char", "Letter ' '"},
                    FixedPoint{122, "char_quotedbl", "char", "Letter '\"'"},
                    FixedPoint{180, "char_backslash", "char", "Letter '\\'"},
                    // Escaped bytes of the source list become the Latin-1 byte itself.
                    FixedPoint{184, "char_copyright", "char", "Letter '\xa9'"},
                    FixedPoint{185, "char_aumlaut", "char", "Letter '\xc4'"},
                    FixedPoint{199, "char_down", "char", "Letter 'down'"},
                    FixedPoint{210, "sp_empty_space", "empty_space", "Empty space"},
                    FixedPoint{359, "unused_359", "unused", "-"},
                    FixedPoint{360, "custom_1", "custom", "Custom element 1"},
                    FixedPoint{615, "custom_256", "custom", "Custom element 256"},
                    FixedPoint{616, "em_key_1", "key", "Key 1 (EM style)"},
                    FixedPoint{620, "envelope_1", "envelope", "Mail envelope 1"},
                    FixedPoint{623, "envelope_4", "envelope", "Mail envelope 4"},
                    FixedPoint{624, "group_1", "group", "Group element 1"},
                    FixedPoint{655, "group_32", "group", "Group element 32"},
                    FixedPoint{656, "unknown", "unknown", "Unknown element"}));

TEST(ElementTable, ClassRangesMatchTheFixedCodes)
{
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(ElementByCode(static_cast<std::uint16_t>(79 + n))->token, "player_" + std::to_string(n));
    }
    for (int n = 1; n <= 256; ++n) {
        const ElementInfo* e = ElementByCode(CeElementCode(n));
        EXPECT_EQ(e->elementClass, "custom") << n;
        EXPECT_EQ(e->token, "custom_" + std::to_string(n));
    }
    for (std::uint16_t c = kFirstEnvelopeCode; c <= kLastEnvelopeCode; ++c) {
        EXPECT_EQ(ElementByCode(c)->elementClass, "envelope") << c;
    }
    for (std::uint16_t c = kFirstGroupCode; c <= kLastGroupCode; ++c) {
        EXPECT_EQ(ElementByCode(c)->elementClass, "group") << c;
    }
    // Nothing outside those ranges claims their classes.
    for (const ElementInfo& e : AllElements()) {
        const bool inCe = e.code >= kFirstCeCode && e.code <= kLastCeCode;
        const bool inGroup = e.code >= kFirstGroupCode && e.code <= kLastGroupCode;
        EXPECT_EQ(e.elementClass == "custom", inCe) << e.code;
        EXPECT_EQ(e.elementClass == "group", inGroup) << e.code;
    }
}

TEST(ElementTable, CharacterElementsAreCodes120To199)
{
    for (const ElementInfo& e : AllElements()) {
        EXPECT_EQ(e.elementClass == "char", e.code >= 120 && e.code <= 199) << e.code;
    }
}

TEST(ElementTable, Codes120To183AreAscii32To95)
{
    for (int ch = 32; ch <= 95; ++ch) {
        const auto code = static_cast<std::uint16_t>(ch + 88);
        EXPECT_EQ(CharacterOfElement(code), static_cast<unsigned char>(ch)) << code;
        EXPECT_EQ(ElementOfCharacter(static_cast<unsigned char>(ch)), code) << ch;
    }
}

struct CharCase {
    std::uint16_t code;
    std::optional<unsigned char> ch;
};

class ElementCharacter : public testing::TestWithParam<CharCase> {};

TEST_P(ElementCharacter, IsTheLetterOfTheDescription)
{
    EXPECT_EQ(CharacterOfElement(GetParam().code), GetParam().ch);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ElementCharacter,
    testing::Values(CharCase{184, 0xA9}, CharCase{187, 0xDC}, CharCase{190, 0xA0},
                    // Not one character: unused slots and the named symbols.
                    CharCase{191, std::nullopt}, CharCase{196, std::nullopt}, CharCase{197, std::nullopt},
                    CharCase{199, std::nullopt},
                    // Not a character element at all.
                    CharCase{0, std::nullopt}, CharCase{119, std::nullopt}, CharCase{200, std::nullopt},
                    CharCase{700, std::nullopt}));

TEST(ElementTable, LowerCaseLettersHaveNoElement)
{
    EXPECT_EQ(ElementOfCharacter('a'), std::nullopt);
    EXPECT_EQ(ElementOfCharacter('`'), std::nullopt);
    EXPECT_EQ(ElementOfCharacter(0), std::nullopt);
    EXPECT_EQ(ElementOfCharacter(0xC4), std::uint16_t{185});
}

TEST(ElementTable, TokensRepeatOnlyForUnusedCharacters)
{
    std::set<std::string_view> seen;
    for (const ElementInfo& e : AllElements()) {
        if (!seen.insert(e.token).second) {
            EXPECT_EQ(e.token, "char_unused") << e.code;
        }
    }
}

}  // namespace
}  // namespace vantrel
