// How the game itself reads a level file: its chunk walk followed byte for
// byte, with the game's own rules for every chunk it knows (fixed sizes,
// sizes worked out from the contents, entries of the newer chunks, element
// codes it replaces), so that what the game will make of a file is known
// before it is written or played. Reading past the end yields nothing, as
// the game's reads do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

struct GameFinding {
    std::int64_t Offset = 0;
    std::string Text;
    int Warnings = 0;   // the game's own warnings for it (one per bad cell, for instance)
    bool Note = false;  // told, but harmless: the level is clean all the same
};

struct GameReading {
    bool IsLevel = false;
    // The chunk at which the game stops reading, before the end (in a file of
    // version 1.0: the end of its map); -1: none.
    std::int64_t StopsAt = -1;
    std::int64_t StepLostAt = -1;  // the first chunk after which the game reads out of step; -1: none
    // The file ends inside a list of element codes: the game reads the rest
    // of the list from memory it never filled, so what it warns about then
    // is not known (the findings say the level is cut short all the same).
    bool UnfilledCodes = false;
    // Where the game stops reading the chunks as they lie (it stops, or reads
    // on out of step); -1 when it reads them all.
    std::int64_t LostAt() const;
    std::vector<GameFinding> Findings;
    // No finding but notes.
    bool Clean() const;
    // The warnings the game prints for the file.
    int Warnings() const;
};

GameReading ReadAsTheGame(const std::uint8_t* bytes, std::size_t size);

// An element code as the game reads it from a file: the old codes it replaces
// (8, the old player, is player 1, 80), and 656 ("unknown") for codes that do
// not exist.
int GameElementCode(int code);
inline GameReading ReadAsTheGame(const std::vector<std::uint8_t>& bytes)
{
    return ReadAsTheGame(bytes.data(), bytes.size());
}

// The sentence the commands that append chunks show when the game would not
// read them (LostAt is set): where it stops, and why.
std::string GameStopsWarning(const GameReading& reading);

}  // namespace vantrel
