// The levelset scan beside its floor. The tree: 10 level groups, each with 10
// groups, each with 10 groups (three deep), each of those holding 10 levelsets
// of 10 empty level files: 10,000 levelsets, 100,000 levels, 1,110 groups.
// The floor lists the same files with a plain recursive directory walk.
#include "levelsets/LevelsetScan.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr int kFanOut = 10;

void Put(const fs::path& file, const std::string& text)
{
    std::ofstream out(file, std::ios::binary);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

void MakeGroup(const fs::path& dir, int depth)
{
    fs::create_directory(dir);
    Put(dir / "levelinfo.conf", "name: Group " + dir.filename().string() + "\nlevel_group: true\n");
    for (int i = 0; i < kFanOut; ++i) {
        const fs::path sub = dir / ("d" + std::to_string(i));
        if (depth < 3) {
            MakeGroup(sub, depth + 1);
            continue;
        }
        fs::create_directory(sub);
        Put(sub / "levelinfo.conf", "name: Set " + std::to_string(i) + "\n");
        for (int n = 1; n <= 10; ++n) Put(sub / ((n < 10 ? "00" : "0") + std::to_string(n) + ".level"), "");
    }
}

struct BenchTree {
    BenchTree()
    {
        fs::create_directory(dir.Path() / "levels");
        for (int i = 0; i < kFanOut; ++i) MakeGroup(dir.Path() / "levels" / ("g" + std::to_string(i)), 1);
    }
    std::string Levels() const { return (dir.Path() / "levels").string(); }
    vantrel::test::TempDir dir;
};

const BenchTree& Tree()
{
    static const BenchTree tree;
    return tree;
}

void BM_ScanLevelsets10000(benchmark::State& state)
{
    const std::string levels = Tree().Levels();
    for (auto _ : state) {
        vantrel::LevelsetScanResult r;
        vantrel::ScanLevelsDirectory(levels, r);
        if (r.Totals.Levelsets != 10000 || r.Totals.Levels != 100000 || r.Totals.Groups != 1110) {
            state.SkipWithError("the scan found a different tree");
            return;
        }
        benchmark::DoNotOptimize(r.Roots.data());
    }
    state.counters["levelsets"] = 10000;
}
BENCHMARK(BM_ScanLevelsets10000)->Unit(benchmark::kMillisecond);

void BM_WalkSameFiles(benchmark::State& state)
{
    const std::string levels = Tree().Levels();
    for (auto _ : state) {
        long levelFiles = 0;
        for (const auto& entry : fs::recursive_directory_iterator(levels))
            if (entry.path().extension() == ".level") ++levelFiles;
        if (levelFiles != 100000) {
            state.SkipWithError("the walk found a different tree");
            return;
        }
        benchmark::DoNotOptimize(levelFiles);
    }
}
BENCHMARK(BM_WalkSameFiles)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
