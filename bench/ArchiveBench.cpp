// The Files Archive beside its floors, in one run:
// - the thumbnails of a 100-level set (the corpus's first 100 levels), made
//   by the ThumbnailMaker on every core and on one, beside rendering the same
//   levels whole at 16 pixels a cell in one thread, as vantrel-cli render does
//   (and with the tiles shared between levels, the least that costs);
// - a search over an index of 10,000 levels (copies of the corpus's levels),
//   by text, by element and by both, and a sort of the whole index.
// The index of a tree of 10,000 files beside cat, and its second start beside
// find, are timed as programs by bench/archive_tree.sh.
#include "archive/ArchiveSearch.h"
#include "archive/LevelIndex.h"
#include "archive/Thumbnails.h"
#include "ce/CeGraphics.h"
#include "level/Loader.h"
#include "support/TempDir.h"
#include "view/TileAtlas.h"
#include "view/Tiles.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace vantrel;

// The corpus's levels, copied once into a folder of the run's own.
struct Levels {
    Levels()
    {
        const fs::path corpus = test::CorpusDir();
        if (corpus.empty()) return;
        for (const auto& f : fs::recursive_directory_iterator(corpus))
            if (f.path().extension() == ".level") originals.push_back(f.path().string());
        std::sort(originals.begin(), originals.end());
        for (std::size_t i = 0; i < originals.size() && set.size() < 100; ++i) {
            const fs::path copy = dir.Path() / "set" / (std::to_string(1000 + i).substr(1) + ".level");
            fs::create_directories(copy.parent_path());
            fs::copy_file(originals[i], copy);
            set.push_back(copy.string());
        }
    }
    test::TempDir dir;
    std::vector<std::string> originals;
    std::vector<std::string> set;  // 100 levels
};

const Levels& TheLevels()
{
    static const Levels levels;
    return levels;
}

// An index of 10,000 entries: the corpus's levels indexed once, each entry copied under 10,000 paths.
const std::vector<IndexEntry>& TenThousand()
{
    static const std::vector<IndexEntry> entries = [] {
        std::vector<IndexEntry> read;
        for (const std::string& p : TheLevels().originals) read.push_back(IndexLevelFile(p));
        std::vector<IndexEntry> all;
        if (read.empty()) return all;
        for (int i = 0; i < 10000; ++i) {
            all.push_back(read[static_cast<std::size_t>(i) % read.size()]);
            all.back().Path = "/data/levels/" + std::to_string(i / 100) + "/" + std::to_string(i % 100) + ".level";
        }
        return all;
    }();
    return entries;
}

bool NeedCorpus(benchmark::State& state)
{
    if (!TheLevels().set.empty()) return true;
    state.SkipWithError("the corpus ../shared/corpus is absent");
    return false;
}

void Thumbnails(benchmark::State& state, unsigned threads)
{
    if (!NeedCorpus(state)) return;
    std::atomic<std::size_t> pixels{0};
    ThumbnailMaker maker([&](const std::string&, Picture p) { pixels += static_cast<std::size_t>(p.Width() * p.Height()); },
                         kThumbnailBox, threads);
    for (auto _ : state) {
        for (const std::string& path : TheLevels().set) maker.Request(path);
        maker.Wait();
    }
    benchmark::DoNotOptimize(pixels.load());
}

void BM_Thumbnails100(benchmark::State& state) { Thumbnails(state, 0); }
void BM_Thumbnails100OneThread(benchmark::State& state) { Thumbnails(state, 1); }

// The floor: the same levels loaded and drawn whole, one after another, as
// render draws them (the tiles cut for each level's custom elements); and
// the least that costs, the shared tiles used for every level whose custom
// elements keep their own picture.
void Render(benchmark::State& state, bool shareTiles)
{
    if (!NeedCorpus(state)) return;
    OpenLevel lvl;
    LoadReport report;
    for (auto _ : state) {
        for (const std::string& path : TheLevels().set) {
            LoadLevel(lvl, path, report, ReadOnlyLoad());
            if (!report.Completed || lvl.MapWidth() == 0 || lvl.MapHeight() == 0) continue;
            const CeGraphics looks = CeGraphicsOf(lvl);
            lvl.CloseLevelFile();
            if (shareTiles && std::none_of(looks.begin(), looks.end(), [](const auto& g) { return g.has_value(); })) {
                benchmark::DoNotOptimize(MapPicture(PlainAtlas(), lvl));
                continue;
            }
            const SizedAtlas tiles(BuiltInAtlas(), kTileSize, looks);
            benchmark::DoNotOptimize(MapPicture(tiles, lvl));
        }
    }
}

void BM_Render100(benchmark::State& state) { Render(state, false); }
void BM_Render100SharedTiles(benchmark::State& state) { Render(state, true); }

void Searching(benchmark::State& state, const ArchiveQuery& query)
{
    if (!NeedCorpus(state)) return;
    const std::vector<IndexEntry>& all = TenThousand();
    std::size_t found = 0;
    for (auto _ : state) found = Search(all, query).size();
    state.counters["found"] = static_cast<double>(found);
}

void BM_SearchText10000(benchmark::State& state) { Searching(state, {.Text = "tutorial niko"}); }
void BM_SearchElement10000(benchmark::State& state) { Searching(state, {.Uses = {360}}); }
void BM_SearchEverything10000(benchmark::State& state)
{
    Searching(state, {.Text = "e", .Author = "a", .Uses = {1}, .HasCes = true, .MinWidth = 10});
}

void BM_SortByTitle10000(benchmark::State& state)
{
    if (!NeedCorpus(state)) return;
    const std::vector<IndexEntry>& all = TenThousand();
    for (auto _ : state) {
        std::vector<std::size_t> found = Search(all, {});
        SortResults(found, all, ArchiveColumn::Title);
        benchmark::DoNotOptimize(found.data());
    }
}

BENCHMARK(BM_Thumbnails100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Thumbnails100OneThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Render100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Render100SharedTiles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchText10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchElement10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchEverything10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByTitle10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
