// The custom element record: offsets, links, and fields read where they lie.
#include "ce/CeBytes.h"
#include "ce/CeRecord.h"
#include "level/OpenLevel.h"
#include "base/Error.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

#include <functional>

namespace vantrel {
namespace {

using test::Bytes;
using test::CeSpec;
using test::Cus4Chunk;
using test::PageSpec;

constexpr std::int64_t kPrefix = 10;  // bytes before the chunk in the test files
constexpr std::int64_t kRecord = kPrefix + 8;

// A file of 10 bytes of 0xEE, then the chunk, then tail.
MemoryFile FileWith(const CeSpec& ce, const Bytes& tail = {})
{
    return MemoryFile("ce", test::Concat({Bytes(kPrefix, 0xEE), Cus4Chunk(ce), tail}));
}

struct LengthCase {
    int pages;
    std::int64_t record;
    std::int32_t chunk;
};

class CeLengthTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(CeLengthTest, RecordAndChunkLengthFollowThePageCount)
{
    const LengthCase c = GetParam();
    EXPECT_EQ(Cus4RecordLength(c.pages), c.record);
    EXPECT_EQ(Cus4ChunkLength(c.pages), c.chunk);
    CeSpec ce;
    ce.pages.resize(static_cast<std::size_t>(c.pages));
    const Bytes chunk = Cus4Chunk(ce);
    EXPECT_EQ(static_cast<std::int64_t>(chunk.size()), c.chunk);
}

INSTANTIATE_TEST_SUITE_P(Pages, CeLengthTest,
                         ::testing::Values(LengthCase{0, 96, 104}, LengthCase{1, 144, 152}, LengthCase{3, 240, 248},
                                           LengthCase{16, 864, 872}));

TEST(CeRecordTest, ChangePagesStartAfterTheBaseBlock)
{
    const std::vector<std::pair<int, std::int64_t>> cases = {{1, 96}, {2, 144}, {16, 816}};
    for (const auto& [page, offset] : cases) EXPECT_EQ(Cus4PageOffset(page), offset) << "page " << page;
    EXPECT_EQ(Cus4PageOffset(1) + Cus4PageField::CanChange.Offset, 134);
}

TEST(CeRecordTest, CeReferencesAreTheCodesOfCustomElements1To256)
{
    const std::vector<std::pair<std::uint16_t, bool>> cases = {
        {360, true}, {615, true}, {487, true}, {0, false}, {359, false}, {616, false}, {65535, false}};
    for (const auto& [code, reference] : cases) EXPECT_EQ(IsCeCode(code), reference) << "code " << code;
}

TEST(CeRecordTest, LinksOfARecordWithTwoPages)
{
    const std::vector<std::int64_t> links = CeLinkOffsets(2);
    ASSERT_EQ(links.size(), 35u);
    EXPECT_EQ(links.front(), 0);
    EXPECT_EQ(links.back(), 144 + 36);
    EXPECT_EQ(links.back(), 180);
}

TEST(CeRecordTest, LinksComeInTheirFixedOrder)
{
    // Every element code the game reads from the record, in the record's order.
    const std::vector<std::int64_t> want = {0,                                          // own code
                                            49,                                         // borrowed graphic
                                            66,  68,  70,  72,  74,  76,  78,  80, 82,  // explode content
                                            84,  86,                                    // entered, left behind
                                            100,                                        // page 1: change to
                                            108,                                        // condition
                                            116, 118, 120, 122, 124, 126, 128, 130, 132};  // extended change
    EXPECT_EQ(CeLinkOffsets(1), want);
    EXPECT_EQ(CeLinkOffsets(0).size(), 13u);
    EXPECT_EQ(CeLinkOffsets(255).size(), 13u + 11u * 255u);
}

TEST(CeRecordTest, LinkPositionsUseThePageCountOfTheRecord)
{
    CeSpec ce;
    ce.pages.resize(2);
    MemoryFile file = FileWith(ce);
    const std::vector<std::int64_t> positions = CeLinkPositions(file, kRecord);
    ASSERT_EQ(positions.size(), 35u);
    EXPECT_EQ(positions.front(), kRecord);
    EXPECT_EQ(positions.back(), kRecord + 180);
}

TEST(CeRecordTest, LinkPositionsLeaveOutLinksPastTheEndOfTheFile)
{
    CeSpec ce;
    ce.pages.resize(2);
    Bytes bytes = test::Concat({Bytes(kPrefix, 0), Cus4Chunk(ce)});
    bytes.resize(static_cast<std::size_t>(kRecord + 144 + 6));  // page 2 ends after its change-to word
    MemoryFile file("cut", bytes);
    const std::vector<std::int64_t> positions = CeLinkPositions(file, kRecord);
    ASSERT_EQ(positions.size(), 25u);  // base 13, page 1 11, page 2 its change-to only
    EXPECT_EQ(positions.back(), kRecord + 148);
}

struct NameCase {
    const char* label;
    std::string stored;           // the name bytes written into the record
    std::int64_t cutAfter;        // file length after the record position (-1: whole chunk)
    std::optional<std::string> read;
};

class CeNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(CeNameTest, NameIsTheTextBeforeTheFirstNul)
{
    const NameCase c = GetParam();
    CeSpec ce;
    ce.name = c.stored;
    Bytes bytes = test::Concat({Bytes(kPrefix, 0), Cus4Chunk(ce)});
    if (c.cutAfter >= 0) bytes.resize(static_cast<std::size_t>(kRecord + c.cutAfter));
    MemoryFile file("name", bytes);
    file.Seek(3);
    EXPECT_EQ(ReadCeName(file, kRecord), c.read);
    EXPECT_EQ(file.Position(), 3);
}

const std::string k30 = "abcdefghijklmnopqrstuvwxyz0123";

INSTANTIATE_TEST_SUITE_P(
    Names, CeNameTest,
    ::testing::Values(NameCase{"four", "Lava", -1, "Lava"}, NameCase{"thirty", k30, -1, k30},
                      NameCase{"nulInside", std::string("Walk over\0ment 1", 16), -1, "Walk over"},
                      NameCase{"empty", "", -1, ""},
                      NameCase{"cutAfterNul", "Lava", 2 + 5, "Lava"},
                      NameCase{"cutBeforeNul", "Lava", 2 + 3, std::nullopt},
                      NameCase{"thirtyCut", k30, 2 + 29, std::nullopt}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CeRecordTest, AFourCharacterNameIsStoredWithTwentySixNulBytes)
{
    CeSpec ce;
    ce.name = "Lava";
    const Bytes chunk = Cus4Chunk(ce);
    EXPECT_EQ(std::string(chunk.begin() + 10, chunk.begin() + 14), "Lava");
    EXPECT_EQ(Bytes(chunk.begin() + 14, chunk.begin() + 40), Bytes(26, 0));
}

CeSpec FullCe()
{
    CeSpec ce;
    ce.number = 45;
    ce.name = "custom element 45";
    ce.useGraphicOf = 1;
    ce.graphicOf = 0x1234;
    ce.explode = {1, 2, 3, 4, 5, 6, 7, 8, 0x0168};
    PageSpec p1;
    p1.eventBits = 0x00040101;
    p1.changeTo = 0x0169;
    p1.delayFixed = 7;
    p1.delayRandom = 1000;
    p1.delayType = 50;
    p1.condElement = 0x0267;
    p1.useExtChange = 1;
    p1.extChange = {11, 12, 13, 14, 15, 16, 17, 18, 19};
    p1.canChange = 1;
    PageSpec p2;
    p2.eventBits = 0xFFFFFFFE;
    p2.changeTo = 0x0003;
    p2.delayType = 1;
    p2.useExtChange = 2;
    p2.canChange = 2;
    ce.pages = {p1, p2};
    return ce;
}

struct FieldCase {
    const char* label;
    std::function<std::optional<std::uint32_t>(ByteFile&, std::int64_t)> read;
    std::optional<std::uint32_t> want;
};

template <typename T>
std::optional<std::uint32_t> Widen(std::optional<T> v)
{
    if (!v) return std::nullopt;
    return static_cast<std::uint32_t>(*v);
}

class CeFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(CeFieldTest, FieldIsReadWhereItLiesAndKeepsThePosition)
{
    MemoryFile file = FileWith(FullCe(), Bytes(20, 0xAB));
    file.Seek(5);
    EXPECT_EQ(GetParam().read(file, kRecord), GetParam().want);
    EXPECT_EQ(file.Position(), 5);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CeFieldTest,
    ::testing::Values(
        FieldCase{"ElementCode", [](ByteFile& f, std::int64_t r) { return Widen(ReadCeElementCode(f, r)); }, 404},
        FieldCase{"PageCount", [](ByteFile& f, std::int64_t r) { return Widen(ReadChangePageCount(f, r)); }, 2},
        FieldCase{"UseGraphicOf", [](ByteFile& f, std::int64_t r) { return Widen(ReadUseGraphicOf(f, r)); }, 1},
        FieldCase{"GraphicOf", [](ByteFile& f, std::int64_t r) { return Widen(ReadGraphicOf(f, r)); }, 0x1234},
        FieldCase{"ExplodeTopLeft", [](ByteFile& f, std::int64_t r) { return Widen(ReadExplodeCont(f, r, 1, 1)); }, 1},
        FieldCase{"ExplodeMiddleRight",
                  [](ByteFile& f, std::int64_t r) { return Widen(ReadExplodeCont(f, r, 2, 3)); }, 6},
        FieldCase{"ExplodeBottomRight",
                  [](ByteFile& f, std::int64_t r) { return Widen(ReadExplodeCont(f, r, 3, 3)); }, 0x0168},
        FieldCase{"ExplodeRow4", [](ByteFile& f, std::int64_t r) { return Widen(ReadExplodeCont(f, r, 4, 1)); },
                  std::nullopt},
        FieldCase{"EventBits1", [](ByteFile& f, std::int64_t r) { return ReadEventBits(f, r, 1); }, 0x00040101},
        FieldCase{"EventBits2", [](ByteFile& f, std::int64_t r) { return ReadEventBits(f, r, 2); }, 0xFFFFFFFE},
        FieldCase{"Delay1", [](ByteFile& f, std::int64_t r) { return Widen(ReadDelayCondition(f, r, 1)); }, 1},
        FieldCase{"Delay2", [](ByteFile& f, std::int64_t r) { return Widen(ReadDelayCondition(f, r, 2)); }, 0},
        FieldCase{"ChangeTo1", [](ByteFile& f, std::int64_t r) { return Widen(ReadChangeTo(f, r, 1)); }, 0x0169},
        FieldCase{"ChangeTo2", [](ByteFile& f, std::int64_t r) { return Widen(ReadChangeTo(f, r, 2)); }, 3},
        FieldCase{"DelayFixed", [](ByteFile& f, std::int64_t r) { return Widen(ReadDelayFixed(f, r, 1)); }, 7},
        FieldCase{"DelayRandom", [](ByteFile& f, std::int64_t r) { return Widen(ReadDelayRandom(f, r, 1)); }, 1000},
        FieldCase{"DelayType", [](ByteFile& f, std::int64_t r) { return Widen(ReadDelayType(f, r, 1)); }, 50},
        FieldCase{"CondElement", [](ByteFile& f, std::int64_t r) { return Widen(ReadChangeCondElement(f, r, 1)); },
                  0x0267},
        FieldCase{"UseExtChange1", [](ByteFile& f, std::int64_t r) { return Widen(ReadUseExtChange(f, r, 1)); }, 1},
        FieldCase{"UseExtChange2", [](ByteFile& f, std::int64_t r) { return Widen(ReadUseExtChange(f, r, 2)); }, 0},
        FieldCase{"ExtChangeFirst", [](ByteFile& f, std::int64_t r) { return Widen(ReadExtChange(f, r, 1, 1, 1)); },
                  11},
        FieldCase{"ExtChangeLast", [](ByteFile& f, std::int64_t r) { return Widen(ReadExtChange(f, r, 1, 3, 3)); },
                  19},
        FieldCase{"CanChange1", [](ByteFile& f, std::int64_t r) { return Widen(ReadCanChange(f, r, 1)); }, 1},
        FieldCase{"CanChange2", [](ByteFile& f, std::int64_t r) { return Widen(ReadCanChange(f, r, 2)); }, 0},
        FieldCase{"Page0", [](ByteFile& f, std::int64_t r) { return Widen(ReadChangeTo(f, r, 0)); }, std::nullopt},
        FieldCase{"Page3", [](ByteFile& f, std::int64_t r) { return Widen(ReadChangeTo(f, r, 3)); }, std::nullopt},
        FieldCase{"PageMinus1", [](ByteFile& f, std::int64_t r) { return Widen(ReadCanChange(f, r, -1)); },
                  std::nullopt},
        FieldCase{"NegativeRecord", [](ByteFile& f, std::int64_t) { return Widen(ReadCeElementCode(f, -4)); },
                  std::nullopt}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CeRecordTest, PagesOutsideTheRecordReadNothingOutsideIt)
{
    // Page 3 of a two-page record would lie in the 20 bytes that follow it.
    test::ReadLogFile file("ce", test::Concat({Bytes(kPrefix, 0), Cus4Chunk(FullCe()), Bytes(60, 0xAB)}));
    for (int page : {0, 3, 4, 255}) {
        file.reads.clear();
        EXPECT_FALSE(ReadCanChange(file, kRecord, page)) << page;
        EXPECT_LT(file.ReadSpan().second, kRecord + 96 + 2 * 48) << page;
    }
}

TEST(CeRecordTest, ChangePagesInFileCountsOnlyWholePages)
{
    CeSpec ce;
    ce.pages.resize(3);
    const Bytes whole = test::Concat({Bytes(kPrefix, 0), Cus4Chunk(ce)});
    const std::vector<std::pair<std::int64_t, int>> cases = {
        {96 + 3 * 48, 3}, {96 + 3 * 48 - 1, 2}, {96 + 48, 1}, {96 + 47, 0}, {96, 0}, {50, 0}, {42, 0}};
    for (const auto& [length, pages] : cases) {
        Bytes bytes = whole;
        bytes.resize(static_cast<std::size_t>(kRecord + length));
        MemoryFile file("cut", bytes);
        EXPECT_EQ(ChangePagesInFile(file, kRecord), pages) << "record cut after " << length;
    }
}

TEST(CeRecordTest, FieldsPastTheEndOfTheFileReadNothing)
{
    Bytes bytes = test::Concat({Bytes(kPrefix, 0), Cus4Chunk(FullCe())});
    bytes.resize(static_cast<std::size_t>(kRecord + 50));  // ends inside GraphicOf
    MemoryFile file("cut", bytes);
    EXPECT_EQ(ReadUseGraphicOf(file, kRecord), true);
    EXPECT_EQ(ReadGraphicOf(file, kRecord), std::nullopt);
    EXPECT_EQ(ReadExplodeCont(file, kRecord, 1, 1), std::nullopt);
    EXPECT_EQ(ReadChangeTo(file, kRecord, 1), std::nullopt);
    EXPECT_EQ(ReadNumberInFile(file, kRecord + 49, 1), 0x12u);
    EXPECT_EQ(ReadNumberInFile(file, kRecord + 50, 1), std::nullopt);  // exactly at the end
}

TEST(CeRecordTest, WriteCeLinkWritesABigEndianWordInsideTheFile)
{
    MemoryFile file = FileWith(FullCe());
    const std::int64_t size = file.Size();
    file.Seek(7);
    WriteCeLink(file, kRecord + 66, 0x0170);
    EXPECT_EQ(file.Bytes()[kRecord + 66], 0x01);
    EXPECT_EQ(file.Bytes()[kRecord + 67], 0x70);
    EXPECT_EQ(file.Position(), 7);

    const Bytes before = file.Bytes();
    for (const std::int64_t at : {size - 1, size, size + 1}) {
        EXPECT_THROW(WriteCeLink(file, at, 0x0170), VantrelError) << at;
        EXPECT_EQ(file.Bytes(), before) << at;
    }
}

}  // namespace
}  // namespace vantrel
