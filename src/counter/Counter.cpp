#include "counter/Counter.h"

#include "base/Bytes.h"
#include "base/Elements.h"
#include "base/Error.h"
#include "base/PathText.h"
#include "base/Text.h"
#include "base/UserInterface.h"
#include "format/GameRead.h"
#include "format/RecordLayouts.h"
#include "level/OpenLevel.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace vantrel {

namespace {

constexpr char kNothingWritten[] = " Nothing was written.";
constexpr std::uint32_t kControllerKind = 0x00A0;  // the property bits of the controller
constexpr std::uint32_t kDigitKind = 0x0180;       // and of a digit CE
constexpr std::uint32_t kCounterEvents = 0x00040100;  // the change events of every page; bit 0: delayed
constexpr int kEndCondition = 13;  // the condition of a digit CE's last page

// The run as it goes: the controller first, then the digit CEs in list
// order; a carry or borrow that is not in the list yet is added to it and
// becomes a pending increment.
class CounterRun {
public:
    CounterRun(int steps, const std::vector<std::int32_t>& increments, int startCe)
        : increments_(increments), steps_(steps), startCe_(startCe), lines_(static_cast<int>(increments.size()))
    {
        CounterBase = CeElementCode(startCe);
    }

    CounterPlan Run()
    {
        AppendCounterElement(0);
        for (int i = 0; i < lines_; ++i) AppendCounterElement(increments_[static_cast<std::size_t>(i)]);
        bool created = true;
        while (created) {
            created = false;
            const std::size_t present = PendingIncrements.size();
            for (std::size_t j = 0; j < present; ++j) {
                const std::int32_t d = PendingIncrements[j];
                if (d == 0) continue;
                AppendCounterElement(d);
                PendingIncrements[j] = 0;
                created = true;
            }
        }
        CounterPlan plan;
        plan.StartCe = startCe_;
        plan.Steps = steps_;
        plan.CounterBase = CounterBase;
        plan.Ces = std::move(ces_);
        plan.Increments = std::move(increments_);
        return plan;
    }

private:
    // The CE of increment d (the controller for 0), numbered after the CEs made so far.
    void AppendCounterElement(std::int32_t d)
    {
        ++CountersCreated;
        CounterCe ce;
        ce.Number = startCe_ + CountersCreated - 1;
        ce.Increment = d;
        ce.Controller = d == 0;
        if (ce.Controller) {
            ce.Name = Num(steps_) + " counter maker by vantrel";
            for (int i = 1; i <= lines_; ++i) ce.Pages.push_back({i - 1, CounterBase, CounterBase + i, 0, false});
        } else {
            ce.Name = "counter " + Num(d) + " " + Num(steps_);
            for (int k = 0; k < steps_; ++k) {
                const std::int64_t sum = static_cast<std::int64_t>(d) + k;
                const std::int64_t digit = ((sum % steps_) + steps_) % steps_;
                const std::int64_t carry = d > 0 ? sum / steps_ : (sum - steps_ + 1) / steps_;
                ce.Pages.push_back({DigitGlyphs[static_cast<std::size_t>(k)], IncrementCE(carry), 0,
                                    DigitGlyphs[static_cast<std::size_t>(digit)], false});
            }
            ce.Pages.push_back({kEndCondition, 0, 0, 0, true});
        }
        ce.Name = ce.Name.substr(0, static_cast<std::size_t>(Cus4Field::Name.Width));
        ces_.push_back(std::move(ce));
    }

    // The element code of the digit CE of increment m: 0 for none, else the
    // code of the CE of m's line, adding the line when m is not listed yet.
    int IncrementCE(std::int64_t m)
    {
        if (m == 0) return 0;
        const auto it = std::find(increments_.begin(), increments_.end(), m);
        if (it != increments_.end()) return CounterBase + static_cast<int>(it - increments_.begin()) + 1;
        increments_.push_back(static_cast<std::int32_t>(m));
        PendingIncrements.push_back(static_cast<std::int32_t>(m));
        return CounterBase + static_cast<int>(increments_.size());
    }

    int CounterBase = 0;
    int CountersCreated = 0;
    std::vector<std::int32_t> PendingIncrements;
    std::vector<std::int32_t> increments_;
    std::vector<CounterCe> ces_;
    int steps_;
    int startCe_;
    int lines_;  // the lines of the list when the run starts
};

bool IsCodeInRange(int code)
{
    return code >= 0 && code <= 0xFFFF;
}

}  // namespace

int CEsNeededForCounter(int createMode, int specialChange, int steps, int lines)
{
    if (createMode == 1) return -1;
    int extra = 0;
    if (specialChange > 0 && steps >= 2) {
        extra = 1;
        for (std::int64_t v = steps; v < static_cast<std::int64_t>(specialChange) + 1; v *= steps) ++extra;
    }
    return lines + extra + 1;
}

std::string CreateButtonCaption(int needed)
{
    return "CREATE COUNTER (" + Num(needed) + " CEs needed)";
}

CounterPlan PlanCounter(int steps, const std::vector<std::int32_t>& increments, int startCe)
{
    if (steps < kMinDigitSteps || steps > kMaxDigitSteps)
        throw VantrelError("A counter digit has 2 to 16 steps, not " + Num(steps));
    return CounterRun(steps, increments, startCe).Run();
}

std::vector<std::uint8_t> CounterChunk(const CounterCe& ce, int counterBase)
{
    if (!IsCeCode(ce.Code()))
        throw VantrelError("CE " + Num(ce.Number) + " is not a CE number (1 to 256): its chunk is not written");
    const int pages = static_cast<int>(ce.Pages.size());
    if (pages > 255) throw VantrelError("CE " + Num(ce.Number) + " would have more than 255 change pages");
    std::vector<std::uint8_t> out(static_cast<std::size_t>(Cus4ChunkLength(pages)), 0);
    std::copy(ChunkKindOf(ChunkId::Cus4).Name.begin(), ChunkKindOf(ChunkId::Cus4).Name.end(), out.begin());
    PutField(out.data(), ChunkField::Size, static_cast<std::uint32_t>(Cus4RecordLength(pages)));
    // The base block.
    std::uint8_t* const r = out.data() + kChunkHeaderLength;
    PutField(r, Cus4Field::ElementCode, static_cast<std::uint32_t>(ce.Code()));
    PutTextField(r, Cus4Field::Name, ce.Name);
    PutField(r, Cus4Field::Properties, ce.Controller ? kControllerKind : kDigitKind);
    PutField(r, Cus4Field::ChangePageCount, static_cast<std::uint32_t>(pages));
    PutField(r, Cus4Field::UseGraphicOf, 0);  // no borrowed graphic
    PutField(r, Cus4Field::GraphicOf, static_cast<std::uint32_t>(ce.Number));
    PutField(r, Cus4Field::CollectScore, 10);
    PutField(r, Cus4Field::CollectCount, 1);
    PutField(r, Cus4Field::PushDelayFixed, 8);
    PutField(r, Cus4Field::PushDelayRandom, 8);
    PutField(r, Cus4Field::MovePattern, 1);
    PutField(r, Cus4Field::MoveDirection, 1);
    PutField(r, Cus4Field::MoveStepSize, 16);
    // The change pages.
    for (std::size_t i = 0; i < ce.Pages.size(); ++i) {
        const CounterChangePage& p = ce.Pages[i];
        for (const int code : {p.Condition, p.Target, p.Up, p.Down})
            if (!IsCodeInRange(code))
                throw VantrelError("CE " + Num(ce.Number) + " would name the element code " + Num(code) +
                                   ", which does not exist");
        std::uint8_t* const q = r + Cus4PageOffset(static_cast<int>(i) + 1);
        PutField(q, Cus4PageField::EventBits, kCounterEvents | (p.Delay ? 1u : 0u));
        PutField(q, Cus4PageField::ChangeTo, static_cast<std::uint32_t>(p.Target));
        PutField(q, Cus4PageField::DelayFixed, 2);
        PutField(q, Cus4PageField::DelayRandom, 0);
        PutField(q, Cus4PageField::DelayType, 1);  // counted in frames
        PutField(q, Cus4PageField::ChangeCondElement, static_cast<std::uint32_t>(p.Condition));
        PutField(q, Cus4PageField::UseExtChange, 1);  // the extended change target is used
        PutField(q, Cus4PageField::RandomPercentage, 100);
        PutField(q, Cus4PageField::ReplaceWhen, p.Target == counterBase ? 0 : 2);
        const int cells[9] = {0, p.Up, 0, 0, p.Target, 0, 0, p.Down, 0};
        for (int c = 0; c < 9; ++c)
            PutField(q, {Cus4PageField::ExtChange.Offset + 2 * c, 2}, static_cast<std::uint32_t>(cells[c]));
        PutField(q, Cus4PageField::CanChange, 1);  // the change is active
        PutField(q, Cus4PageField::TriggerSide, 4);
    }
    return out;
}

std::vector<std::uint8_t> CounterChunks(const CounterPlan& plan)
{
    std::vector<std::uint8_t> all;
    for (const CounterCe& ce : plan.Ces) {
        const std::vector<std::uint8_t> chunk = CounterChunk(ce, plan.CounterBase);
        all.insert(all.end(), chunk.begin(), chunk.end());
    }
    return all;
}

std::string CheckCounterPlan(const CounterPlan& plan)
{
    const std::int64_t needed = static_cast<std::int64_t>(plan.Ces.size());
    if (plan.StartCe < 1 || plan.StartCe > kCeCount)
        return "The counter cannot start at CE " + Num(plan.StartCe) + ": CE numbers run from 1 to 256." +
               kNothingWritten;
    if (needed > kCeCount)
        return "The counter needs " + Num(needed) + " CEs, more than the 256 a level can hold." + kNothingWritten;
    if (plan.LastCe() > kCeCount)
        return "The counter needs " + Num(needed) + " CEs, CE " + Num(plan.StartCe) + " to CE " +
               Num(plan.LastCe()) + ", but CE numbers end at 256: start it at CE " + Num(kCeCount + 1 - needed) +
               " or lower." + kNothingWritten;
    return {};
}

std::string CounterClosingMessage(int created, int startCe)
{
    return Num(created) + " Counter Elements Created (starting at CE number " + Num(startCe) +
           "), but not placed on the map\rBe sure to change the change conditions in CE " + Num(startCe) + "\r";
}

CounterResult RunCounterCreation(OpenLevel& lvl, CounterSettings& settings, UserInterface& ui, bool dryRun)
{
    CounterResult result;
    std::error_code ec;
    // Looked at by the name the file was opened by: a level in a folder whose
    // full path is longer than the system takes is opened by a shorter name.
    if (!lvl.LevelOpen() || lvl.LevelPath().empty() || !std::filesystem::is_regular_file(PathOf(lvl.File().Name()), ec)) {
        result.Outcome = CounterOutcome::NoLevel;
        result.Message = kNoLevelForCounterMessage;
        return result;
    }
    result.Outcome = CounterOutcome::Refused;
    if (lvl.Format() == LevelFormat::Cookie10) {
        result.Message = kOldestLevelCounterMessage;
        return result;
    }
    if (settings.Steps < kMinDigitSteps || settings.Steps > kMaxDigitSteps) {
        result.Message = "The number of steps for each digit must lie between 2 and 16, not " +
                         Num(settings.Steps) + "." + kNothingWritten;
        return result;
    }
    CounterPlan plan = PlanCounter(settings.Steps, settings.Increments, settings.StartCe);
    result.Message = CheckCounterPlan(plan);
    if (!result.Message.empty()) return result;
    const std::vector<std::uint8_t> bytes = CounterChunks(plan);
    // Chunks appended after the point where the game stops reading are lost to it.
    const GameReading reading = ReadAsTheGame(lvl.File().ReadAll());
    if (reading.LostAt() >= 0 && !ui.WarningYesNo(GameStopsWarning(reading) + " Create the counter all the same?")) {
        result.Message = std::string("The counter was not created.") + kNothingWritten;
        return result;
    }
    if (!dryRun) {
        std::int64_t at = lvl.File().Size();
        LevelWrite step(lvl, "Counter (" + Num(static_cast<std::int64_t>(plan.Ces.size())) + " CEs)");
        lvl.Append(bytes);
        step.Commit();
        std::vector<std::int64_t> starts;
        for (const CounterCe& ce : plan.Ces) {
            starts.push_back(at);
            at += static_cast<std::int64_t>(CounterChunk(ce, plan.CounterBase).size());
        }
        IndexAppendedCes(lvl, starts);
    }
    settings.Increments = plan.Increments;
    result.Outcome = CounterOutcome::Created;
    result.Message = CounterClosingMessage(static_cast<int>(plan.Ces.size()), plan.StartCe);
    result.Plan = std::move(plan);
    return result;
}

std::vector<int> CeNumbersInUse(const OpenLevel& lvl)
{
    std::vector<int> numbers;
    if (!lvl.LevelOpen()) return numbers;
    ByteFile& file = lvl.File();
    for (const auto* positions : {&lvl.Index().CePositions, &lvl.Index().CusxPositions})
        for (const std::int32_t at : *positions) {
            if (at < 0 || at + 2 > file.Size()) continue;
            const int code = static_cast<int>(GetBytesAtPos(at, file, 2));
            if (IsCeCode(code)) numbers.push_back(CeNumberOf(static_cast<std::uint16_t>(code)));
        }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

namespace {

// "1", "1 and 2", "1, 2 and 5"
std::string NumberList(const std::vector<int>& numbers)
{
    std::string list;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) list += i + 1 == numbers.size() ? " and " : ", ";
        list += Num(numbers[i]);
    }
    return list;
}

}  // namespace

std::string CeNumbersInUseQuestion(const std::vector<int>& numbers)
{
    const std::string list = NumberList(numbers);
    return std::string(numbers.size() == 1 ? "Custom Element Id " : "Custom Element Ids ") + list +
           (numbers.size() == 1 ? " is" : " are") +
           " occupied in this level; the counter would add a second custom element under " +
           (numbers.size() == 1 ? "it" : "each") + ". Use anyways?";
}

namespace {

// The numbers of a run from start that the level already uses.
std::vector<int> TakenBy(const std::vector<int>& inUse, int start, std::size_t count)
{
    std::vector<int> taken;
    for (const int n : inUse)
        if (n >= start && n < start + static_cast<int>(count)) taken.push_back(n);
    return taken;
}

}  // namespace

std::vector<int> CeNumbersTakenByCounter(const OpenLevel& lvl, const CounterSettings& settings)
{
    if (settings.Steps < kMinDigitSteps || settings.Steps > kMaxDigitSteps) return {};
    const CounterPlan plan = PlanCounter(settings.Steps, settings.Increments, settings.StartCe);
    if (!CheckCounterPlan(plan).empty()) return {};
    return TakenBy(CeNumbersInUse(lvl), plan.StartCe, plan.Ces.size());
}

std::string CeNumbersInUseRefusal(const std::vector<int>& numbers)
{
    return std::string("Nothing was written: the level's own custom element") + (numbers.size() == 1 ? " " : "s ") +
           NumberList(numbers) + (numbers.size() == 1 ? " is" : " are") +
           " in use, and the game would take the counter's in their place (--yes adds the counter all the same).";
}

int FirstFreeCounterStart(const OpenLevel& lvl, const CounterSettings& settings)
{
    if (settings.Steps < kMinDigitSteps || settings.Steps > kMaxDigitSteps) return settings.StartCe;
    const std::size_t count = PlanCounter(settings.Steps, settings.Increments, 1).Ces.size();
    const std::vector<int> inUse = CeNumbersInUse(lvl);
    for (int start = kFirstCounterStartCe; start + static_cast<int>(count) - 1 <= kCeCount; ++start)
        if (start <= kLastCounterStartCe && TakenBy(inUse, start, count).empty()) return start;
    return settings.StartCe;
}

CounterResult CreateCounter(OpenLevel& lvl, CounterSettings& settings, UserInterface& ui)
{
    CounterSettings trial = settings;
    const CounterResult planned = RunCounterCreation(lvl, trial, ui, true);
    if (planned.Outcome == CounterOutcome::Created) {
        const std::vector<int> taken =
            TakenBy(CeNumbersInUse(lvl), planned.Plan.StartCe, planned.Plan.Ces.size());
        if (!taken.empty() && !ui.WarningYesNo(CeNumbersInUseQuestion(taken))) {
            CounterResult declined;  // the answer was the last word: nothing more is said
            declined.Outcome = CounterOutcome::Refused;
            return declined;
        }
    }
    return RunCounterCreation(lvl, settings, ui);
}

}  // namespace vantrel
