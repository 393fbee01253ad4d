// "Count emeralds": the emerald worth of the map, from a table of weights per
// element code (these differ from the weights a level built from a forum
// quote is counted with).
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vantrel {

class OpenLevel;

struct EmeraldWeight {
    std::uint16_t code = 0;
    int weight = 0;
};

// The sum over the weighted codes of (cells holding it) x weight, over
// columns 1..MapWidth and rows 1..MapHeight.
int CountEmeralds(const OpenLevel& lvl);

// The message box text: the total followed by " emeralds on map".
std::string EmeraldCountMessage(int total);

}  // namespace vantrel
