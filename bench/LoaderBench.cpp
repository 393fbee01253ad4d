// The loader from disk (backup check, open, chunk scan, map) beside its floor:
// the same file's bytes read once (open, read all, close). Two files: the
// largest level of the corpus, and a made 128 x 128 level with two-byte cells.
// The same level loaded again looks for its backup no more; loads of two
// levels in turn show what the look for the backup costs.
#include "level/Loader.h"
#include "level/OpenLevel.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using vantrel::test::TempDir;

// The files the benchmarks load, made once for the whole run.
struct BenchFiles {
    BenchFiles();
    TempDir dir;
    std::string corpusLevel;  // empty when the corpus is absent
    std::string corpusCopy;   // a second copy of it, under another name
    std::string madeLevel;
};

void PutBe(std::vector<std::uint8_t>& out, std::uint32_t v, int n)
{
    for (int i = n - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// An "RND1" file as the new-level writer makes it: version chunk, HEAD, AUTH,
// and a BODY of w x h two-byte cells.
std::vector<std::uint8_t> MadeLevel(int w, int h)
{
    std::vector<std::uint8_t> f;
    const auto text = [&](const std::string& s) {
        for (char c : s) f.push_back(static_cast<std::uint8_t>(c));
    };
    text("RND1");
    PutBe(f, 0, 4);
    text("CAVEVERS");
    PutBe(f, 8, 4);
    PutBe(f, 0x02000000, 4);
    PutBe(f, 0x03000803, 4);
    text("HEAD");
    PutBe(f, 80, 4);
    std::vector<std::uint8_t> head(112, 0);
    head[0] = static_cast<std::uint8_t>(w);
    head[1] = static_cast<std::uint8_t>(h);
    head[3] = 200;  // time
    head[5] = 10;   // emeralds
    const std::string title = "Benchmark level";
    std::copy(title.begin(), title.end(), head.begin() + 6);
    head[96] = 1;  // two bytes a cell
    f.insert(f.end(), head.begin(), head.end());
    text("AUTH");
    PutBe(f, 32, 4);
    std::vector<std::uint8_t> author(32, 0);
    f.insert(f.end(), author.begin(), author.end());
    text("BODY");
    PutBe(f, static_cast<std::uint32_t>(2 * w * h), 4);
    for (int i = 0; i < w * h; ++i) PutBe(f, static_cast<std::uint32_t>((i * 7) % 700), 2);
    return f;
}

std::string LargestCorpusLevel()
{
    const fs::path corpus = vantrel::test::CorpusDir();
    if (corpus.empty()) return {};
    fs::path best;
    std::uintmax_t bestSize = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".level") continue;
        if (entry.file_size() > bestSize) {
            bestSize = entry.file_size();
            best = entry.path();
        }
    }
    return best.empty() ? std::string() : fs::relative(best, corpus).string();
}

BenchFiles::BenchFiles()
{
    const std::string largest = LargestCorpusLevel();
    if (!largest.empty()) {
        corpusLevel = vantrel::test::CopyFromCorpus(largest, dir);
        corpusCopy = corpusLevel + ".copy.level";
        fs::copy_file(corpusLevel, corpusCopy);
    }
    madeLevel = dir.Write("made128x128.level", MadeLevel(128, 128));
}

BenchFiles& Files()
{
    static BenchFiles files;
    return files;
}

// Loads the level again and again, as the window's File > Load Level does;
// the open level object lives across loads, as in the program.
// With a second path, the loads take the two files in turn: each load is of
// another level than the one before, so it looks for that level's backup.
void LoadFromDisk(benchmark::State& state, const std::string& path, const std::string& other = {})
{
    vantrel::OpenLevel lvl;
    vantrel::LoadReport report;
    bool turn = false;
    for (auto _ : state) {
        turn = !turn && !other.empty();
        vantrel::LoadLevel(lvl, turn ? other : path, report);
        if (!report.Completed) {
            state.SkipWithError(("the load did not complete: " + path).c_str());
            break;
        }
        benchmark::DoNotOptimize(lvl.Grid().At(1, 1));
    }
    lvl.CloseLevelFile();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(fs::file_size(path)));
}

// The floor: open the file, read all its bytes in one go, close it.
void ReadOnce(benchmark::State& state, const std::string& path)
{
    std::vector<std::uint8_t> buffer;
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) throw std::runtime_error("cannot open " + path);
        struct stat st {};
        ::fstat(fd, &st);
        buffer.resize(static_cast<std::size_t>(st.st_size));
        std::size_t done = 0;
        while (done < buffer.size()) {
            const ssize_t r = ::read(fd, buffer.data() + done, buffer.size() - done);
            if (r <= 0) break;
            done += static_cast<std::size_t>(r);
        }
        ::close(fd);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(fs::file_size(path)));
}

void BM_LoadLargestCorpusLevel(benchmark::State& state)
{
    if (Files().corpusLevel.empty()) {
        state.SkipWithError("the corpus folder ../shared/corpus is absent; nothing to load");
        return;
    }
    LoadFromDisk(state, Files().corpusLevel);
}

void BM_LoadLargestCorpusLevelEachTimeAnother(benchmark::State& state)
{
    if (Files().corpusLevel.empty()) {
        state.SkipWithError("the corpus folder ../shared/corpus is absent; nothing to load");
        return;
    }
    LoadFromDisk(state, Files().corpusLevel, Files().corpusCopy);
}

void BM_ReadLargestCorpusLevel(benchmark::State& state)
{
    if (Files().corpusLevel.empty()) {
        state.SkipWithError("the corpus folder ../shared/corpus is absent; nothing to read");
        return;
    }
    ReadOnce(state, Files().corpusLevel);
}

void BM_LoadMade128x128Wide(benchmark::State& state) { LoadFromDisk(state, Files().madeLevel); }
void BM_ReadMade128x128Wide(benchmark::State& state) { ReadOnce(state, Files().madeLevel); }

BENCHMARK(BM_LoadLargestCorpusLevel);
BENCHMARK(BM_LoadLargestCorpusLevelEachTimeAnother);
BENCHMARK(BM_ReadLargestCorpusLevel);
BENCHMARK(BM_LoadMade128x128Wide);
BENCHMARK(BM_ReadMade128x128Wide);

}  // namespace

BENCHMARK_MAIN();
