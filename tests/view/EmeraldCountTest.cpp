// "Count emeralds": weights per element code over the map, and the message.
#include "view/EmeraldCount.h"

#include "view/ViewLevels.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

std::vector<std::uint16_t> Cells(int count, std::initializer_list<std::pair<std::uint16_t, int>> codes)
{
    std::vector<std::uint16_t> cells(static_cast<std::size_t>(count), 2);  // walls
    std::size_t i = 0;
    for (const auto& [code, n] : codes)
        for (int k = 0; k < n; ++k) cells.at(i++) = code;
    return cells;
}

TEST(EmeraldCount, ThreeEmeraldsTwoDiamondsAndABugMakeSixteen)
{
    OpenLevel lvl;
    test::LoadMemoryLevel(lvl, 10, 5, false, Cells(50, {{6, 3}, {14, 2}, {9, 1}}));
    EXPECT_EQ(CountEmeralds(lvl), 16);
    EXPECT_EQ(EmeraldCountMessage(CountEmeralds(lvl)), "16 emeralds on map");
}

struct WeightCase {
    std::uint16_t code;
    int weight;
};

void PrintTo(const WeightCase& c, std::ostream* os) { *os << "code " << c.code; }

class EmeraldWeightOf : public ::testing::TestWithParam<WeightCase> {};

TEST_P(EmeraldWeightOf, FourCellsCountFourTimesTheWeight)
{
    OpenLevel lvl;
    test::LoadMemoryLevel(lvl, 4, 3, true, Cells(12, {{GetParam().code, 4}}));
    EXPECT_EQ(CountEmeralds(lvl), 4 * GetParam().weight);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, EmeraldWeightOf,
    ::testing::Values(WeightCase{6, 1}, WeightCase{14, 1}, WeightCase{25, 1}, WeightCase{57, 1}, WeightCase{96, 1},
                      WeightCase{97, 1}, WeightCase{214, 1}, WeightCase{256, 1}, WeightCase{257, 1},
                      WeightCase{9, 11}, WeightCase{84, 11}, WeightCase{85, 11}, WeightCase{86, 11},
                      WeightCase{87, 11},
                      // Not counted: empty space, walls, other gems' neighbours, custom elements.
                      WeightCase{0, 0}, WeightCase{2, 0}, WeightCase{10, 0}, WeightCase{88, 0}, WeightCase{98, 0},
                      WeightCase{258, 0}, WeightCase{360, 0}));

TEST(EmeraldCount, OnlyCellsInsideTheMapCount)
{
    OpenLevel lvl;
    test::LoadMemoryLevel(lvl, 3, 2, false, Cells(6, {{6, 1}}));
    lvl.Grid().Set(4, 1, 6);  // beyond MapWidth
    lvl.Grid().Set(1, 3, 9);  // beyond MapHeight
    EXPECT_EQ(CountEmeralds(lvl), 1);
}

TEST(EmeraldCount, AMapWithoutWeightedCellsCountsZero)
{
    OpenLevel lvl;
    test::LoadMemoryLevel(lvl, 3, 2, false, Cells(6, {}));
    EXPECT_EQ(EmeraldCountMessage(CountEmeralds(lvl)), "0 emeralds on map");
}

}  // namespace
}  // namespace vantrel
