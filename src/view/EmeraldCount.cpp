#include "view/EmeraldCount.h"

#include "level/OpenLevel.h"

namespace vantrel {

namespace {

constexpr EmeraldWeight kWeights[] = {
    {6, 1},  {14, 1}, {25, 1}, {57, 1}, {96, 1}, {97, 1}, {214, 1}, {256, 1}, {257, 1},
    {9, 11}, {84, 11}, {85, 11}, {86, 11}, {87, 11},
};

}  // namespace

int CountEmeralds(const OpenLevel& lvl)
{
    int total = 0;
    for (const EmeraldWeight& w : kWeights) total += CountElement(lvl, w.code) * w.weight;
    return total;
}

std::string EmeraldCountMessage(int total)
{
    return std::to_string(total) + " emeralds on map";
}

}  // namespace vantrel
