// What the journal costs beside the step itself: `set --title --author --time
// --emeralds` as one step of a loaded level (the journal made, written and
// synced before the first write, the writes, the level synced, the journal
// removed), beside its floor, the same bytes written at the same places of
// the same file and synced once. Both run in one loop, turn about, on one
// file, so the ratio is measured under the same load; it is reported as the
// counter "ratio".
#include "file/ByteFile.h"
#include "level/HeaderEdit.h"
#include "level/Loader.h"
#include "level/OpenLevel.h"
#include "support/LevelBuilder.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

void BM_SetStepWithJournal(benchmark::State& state)
{
    vantrel::test::TempDir dir;
    const std::string path =
        dir.Write("a.level", vantrel::test::LevelBuilder::Standard({.width = 64, .height = 32, .title = "Bench"},
                                                                    vantrel::test::PatternCells(64, 32, false))
                                 .Data());
    vantrel::OpenLevel lvl;
    vantrel::LoadReport report;
    vantrel::LoadLevel(lvl, path, report);
    if (!report.Completed) {
        state.SkipWithError("the level did not load");
        return;
    }
    const auto before = vantrel::test::ReadBytes(path);
    // The places the step writes, found from one step: the floor writes the same runs.
    vantrel::HeaderChanges changes{"Journal B", "Someone B", 77, 5};
    vantrel::WriteHeaderChanges(lvl, changes);
    const auto after = vantrel::test::ReadBytes(path);
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (after[i] == before[i]) continue;
        std::size_t end = i;
        while (end < after.size() && after[end] != before[end]) ++end;
        runs.emplace_back(i, end - i);
        i = end;
    }
    Clock::duration journal{}, floor{};
    int round = 0;
    for (auto _ : state) {
        const char letter = static_cast<char>('A' + ++round % 2);
        changes.Title = std::string("Journal ") + letter;
        changes.Author = std::string("Someone ") + letter;
        changes.Time = 76 + round % 2;
        changes.Emeralds = 4 + round % 2;
        const auto start = Clock::now();
        if (!vantrel::WriteHeaderChanges(lvl, changes)) {
            state.SkipWithError("the step wrote nothing");
            return;
        }
        const auto middle = Clock::now();
        {
            vantrel::DiskFile file(path, vantrel::DiskFile::Mode::ReadWrite);
            for (const auto& [at, n] : runs) {
                file.Seek(static_cast<std::int64_t>(at));
                file.Write(after.data() + at, n);
            }
            file.Sync();
            file.Close();
        }
        const auto end = Clock::now();
        journal += middle - start;
        floor += end - middle;
    }
    const auto ms = [&](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count() / static_cast<double>(state.iterations());
    };
    state.counters["step_ms"] = ms(journal);
    state.counters["floor_ms"] = ms(floor);
    state.counters["ratio"] = ms(journal) / ms(floor);
}
BENCHMARK(BM_SetStepWithJournal)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
