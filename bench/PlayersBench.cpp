// Set 4 players over a levelset of 1,000 made levels (64 x 32, two-byte
// cells, players 1 and 2 placed) beside its floor, copying the same files
// once (the batch's backups alone are such a copy). Each round of the batch
// starts from fresh copies without backups, as a first conversion does; the
// copying is left out of its time.
#include "level/OpenLevel.h"
#include "levelsets/PlayerConversion.h"
#include "support/LevelBuilder.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using vantrel::test::TempDir;

constexpr int kLevels = 1000;

std::string Name(int i)
{
    std::string n = std::to_string(i);
    return std::string(n.size() < 3 ? 3 - n.size() : 0, '0') + n + ".level";
}

struct Levelset {
    Levelset()
    {
        fs::create_directory(Pristine());
        for (int i = 1; i <= kLevels; ++i) {
            std::vector<std::uint16_t> cells = vantrel::test::PatternCells(64, 32, true);
            for (std::uint16_t& c : cells)
                if (c >= 80 && c <= 83) c = 1;
            cells[static_cast<std::size_t>(i % 30 * 64 + 10)] = 80;      // player 1
            cells[static_cast<std::size_t>(i % 30 * 64 + 64 + 12)] = 81;  // player 2, one row down, two across
            dir.Write("pristine/" + Name(i), vantrel::test::LevelBuilder::Standard({.width = 64, .height = 32,
                                                                                    .title = "Bench", .wide = true},
                                                                                   cells).Data());
        }
    }
    fs::path Pristine() const { return dir.Path() / "pristine"; }
    fs::path Work() const { return dir.Path() / "work"; }
    // The work folder made again from the pristine levels.
    void Refresh() const
    {
        fs::remove_all(Work());
        fs::copy(Pristine(), Work());
    }
    TempDir dir;
};

const Levelset& Set()
{
    static const Levelset set;
    return set;
}

void BM_Set4Players1000(benchmark::State& state)
{
    const Levelset& set = Set();
    vantrel::OpenLevel lvl;
    for (auto _ : state) {
        state.PauseTiming();
        set.Refresh();
        state.ResumeTiming();
        const vantrel::PlayerBatchResult r = vantrel::ConvertLevelsetPlayers(lvl, set.Work().string(), 4);
        if (r.ChangedCount() != kLevels) {
            state.SkipWithError("the batch did not change every level");
            return;
        }
    }
    state.counters["levels"] = kLevels;
}
BENCHMARK(BM_Set4Players1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// A second run: every level is loaded and skipped; no backup, no write.
void BM_Set4PlayersAgain1000(benchmark::State& state)
{
    const Levelset& set = Set();
    vantrel::OpenLevel lvl;
    set.Refresh();
    vantrel::ConvertLevelsetPlayers(lvl, set.Work().string(), 4);
    for (auto _ : state) {
        const vantrel::PlayerBatchResult r = vantrel::ConvertLevelsetPlayers(lvl, set.Work().string(), 4);
        if (r.SkippedCount() != kLevels) {
            state.SkipWithError("the second run changed a level");
            return;
        }
    }
}
BENCHMARK(BM_Set4PlayersAgain1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: copy the same 1,000 files once, each beside itself, from the
// same fresh folder (the file system then finds its new files as the batch's
// backups find theirs).
void BM_CopySameFiles(benchmark::State& state)
{
    const Levelset& set = Set();
    for (auto _ : state) {
        state.PauseTiming();
        set.Refresh();
        state.ResumeTiming();
        for (int i = 1; i <= kLevels; ++i) {
            const fs::path level = set.Work() / Name(i);
            fs::copy_file(level, fs::path(level.string() + ".copy"));
        }
    }
}
BENCHMARK(BM_CopySameFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
