// The counter creator: the custom elements that make up a counter in a
// level, one controller and one digit element per increment, plus the digit
// elements that carries and borrows need, appended to the level file as
// "CUS4" chunks.
//
// A run is worked out whole first, as a plan: which CEs, with which change
// pages, and which increments it adds to the increments list. The plan is
// checked (every CE it makes must lie in CE 1..256) and only then are all
// its chunks appended to the open level in one write. A refused run writes
// nothing and leaves the increments list as it was.
#pragma once

#include "base/Elements.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

class OpenLevel;
class UserInterface;

inline constexpr int kMinDigitSteps = 2;
inline constexpr int kMaxDigitSteps = 16;
inline constexpr int kMaxIncrementLines = 16;  // "Add Increament" stops here
inline constexpr int kFirstCounterStartCe = 1;
inline constexpr int kLastCounterStartCe = 255;  // the highest start the page offers

// The elements whose pictures show the characters 0 to 9 and A to F.
inline constexpr std::array<std::uint16_t, 16> DigitGlyphs{136, 137, 138, 139, 140, 141, 142, 143,
                                                           144, 145, 153, 154, 155, 156, 157, 158};

// The settings of a run, as the page's controls hold them.
struct CounterSettings {
    int Steps = 10;                           // steps per digit, S
    std::vector<std::int32_t> Increments{1};  // the increments list, in order
    int StartCe = 1;                          // the CE number of the first CE of the run
};

// One change page of a generated CE: its condition element K, target G,
// top-middle cell U and bottom-middle cell D of the extended change target,
// and the delay flag F. Codes are kept in int until the run is checked, so
// that no value wraps.
struct CounterChangePage {
    int Condition = 0;
    int Target = 0;
    int Up = 0;
    int Down = 0;
    bool Delay = false;
    bool operator==(const CounterChangePage&) const = default;
};

// One CE of a run.
struct CounterCe {
    int Number = 0;               // CE number N
    bool Controller = false;      // the controller form (increment 0)
    std::int32_t Increment = 0;   // d
    std::string Name;
    std::vector<CounterChangePage> Pages;
    int Code() const { return CeElementCode(Number); }
};

// A run worked out whole.
struct CounterPlan {
    int StartCe = 1;
    int Steps = 10;
    int CounterBase = 0;                    // the element code of the start CE
    std::vector<CounterCe> Ces;             // in the order they are appended
    std::vector<std::int32_t> Increments;   // the increments list after the run
    int LastCe() const { return StartCe + static_cast<int>(Ces.size()) - 1; }
};

// The number the create button shows: -1 with create mode 1, else the lines
// of the increments list plus the special change's digits plus one.
int CEsNeededForCounter(int createMode, int specialChange, int steps, int lines);
// "CREATE COUNTER (n CEs needed)"
std::string CreateButtonCaption(int needed);
inline constexpr char kOldestLevelCounterMessage[] =
    "This level is of file version 1.0: its map runs to the end of the file and the game reads nothing after it, "
    "so a counter's custom elements added there would never be seen. Nothing was written.";
inline constexpr char kCreateButtonStartCaption[] = "CREATE (2 CEs needed - or a few more)";

// Works a run out: the controller, one CE per line of the list, then the
// increments that carries and borrows add, pass after pass. Writes nothing.
// Steps must lie in 2..16.
CounterPlan PlanCounter(int steps, const std::vector<std::int32_t>& increments, int startCe);

// The chunk of one CE: "CUS4", the record length, the record. The CE's own
// code must be a CE code (360..615); anything else is refused with an error.
std::vector<std::uint8_t> CounterChunk(const CounterCe& ce, int counterBase);
// All chunks of a plan, back to back.
std::vector<std::uint8_t> CounterChunks(const CounterPlan& plan);

// Why a plan cannot be written; empty when it can.
std::string CheckCounterPlan(const CounterPlan& plan);

enum class CounterOutcome {
    Created,  // the chunks were appended (or, for a dry run, would have been)
    NoLevel,  // no level open: nothing done
    Refused,  // the settings or the plan cannot be written: nothing done
};

struct CounterResult {
    CounterOutcome Outcome = CounterOutcome::NoLevel;
    std::string Message;  // the closing message, or why nothing was done
    CounterPlan Plan;     // the CEs of the run (empty unless Created)
};

// The creation run on the open level (of either layout: the game reads CUS4
// chunks in both): plans, checks, and appends all chunks in one write through
// the level's door for writes. When the game stops reading the level before
// its end, ui is asked whether to append all the same (No: refused). With
// dryRun nothing is written. Unless refused, the lines the run added to the
// increments list stay in settings.Increments. Shows no message itself.
CounterResult RunCounterCreation(OpenLevel& lvl, CounterSettings& settings, UserInterface& ui, bool dryRun = false);

// The create button's command: asks first when the run would take CE numbers
// the level already uses (naming them; No writes nothing and leaves Message
// empty: nothing more is said), then the run. The window shows its Message.
CounterResult CreateCounter(OpenLevel& lvl, CounterSettings& settings, UserInterface& ui);

// The CE numbers the open level's custom elements (CUS4 and CUSX) have, in
// increasing order, each once.
std::vector<int> CeNumbersInUse(const OpenLevel& lvl);
// The numbers in use that a run of the settings would take, in increasing
// order; none when the run would be refused for its settings.
std::vector<int> CeNumbersTakenByCounter(const OpenLevel& lvl, const CounterSettings& settings);
// The question asked before a run takes numbers in use.
std::string CeNumbersInUseQuestion(const std::vector<int>& numbers);
// Why the command line's run is refused when it would take numbers in use
// and it was not told to go on (--yes).
std::string CeNumbersInUseRefusal(const std::vector<int>& numbers);
// The first start CE from which a run of the settings takes no number in use;
// the settings' own start when there is none.
int FirstFreeCounterStart(const OpenLevel& lvl, const CounterSettings& settings);

// The closing message of a run of n CEs from start.
std::string CounterClosingMessage(int created, int startCe);

inline constexpr char kNoLevelForCounterMessage[] =
    "No level is open: load a level (File > Load Level), then create the counter.";

}  // namespace vantrel
