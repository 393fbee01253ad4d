// The game itself as the judge of the files the program writes: the game
// built from its own source with its dump patch (../shared/game, built once
// into the build folder), and what its dump of a level says.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace vantrel::test {

// What the game's dump of one level says (its GAMEDUMP and [WARN] lines).
struct GameDump {
    bool Level = false;  // the game took the file for a level
    std::string Title, Author, Size, Time, Gems;
    std::vector<std::string> Rows;          // "C C C ..." a row
    std::map<int, std::string> Ces;         // CE number: its line and its pages' lines, after "ce N "
    std::vector<std::string> Warnings;      // after "[WARN] "
    std::string Out;                        // everything it printed
    std::string Ce(int n) const
    {
        const auto it = Ces.find(n);
        return it == Ces.end() ? std::string() : it->second;
    }
};

// The game's executable, built when needed; empty, with the reason, when it cannot be built.
const std::string& GameExecutable(std::string& reason);

// The dump of the level file at path (absolute), or of level nr of the levelset
// set under home's levels folder when set is given.
GameDump DumpLevel(const std::string& path);
GameDump DumpSetLevel(const std::string& home, const std::string& set, int nr);
// "Number of levels" and "First level number" of a levelset under home.
std::pair<int, int> DumpLevelset(const std::string& home, const std::string& set);

// The dump's lines of one custom element, with the element codes it names
// renumbered by map (old CE number to new) and its default name following.
std::string Renumbered(const std::string& ce, const std::map<int, int>& map);

}  // namespace vantrel::test

// Skips the test, with the reason in one line, when the game cannot be built.
#define VANTREL_NEED_GAME()                                                  \
    do {                                                                     \
        std::string why_;                                                    \
        if (::vantrel::test::GameExecutable(why_).empty()) GTEST_SKIP() << why_; \
    } while (0)
