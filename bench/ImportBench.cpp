// The import of a .vce file of CUS4 chunks of one change page whose links
// (and borrowed graphics) all name custom elements the file does not hold,
// so that every lookup of a link misses, beside its floors:
// - listing and renumbering 1,000 and 10,000 chunks (LoadVceFile, then
//   RenumberVceCopy), beside reading the same bytes once;
// - the whole import of 1,000 chunks into a 40 x 40 level as vantrel-cli
//   import runs it (listed, renumbered, appended in one write), beside
//   reading the same bytes and appending them to the same level. 10,000
//   chunks (1.5 MB) make no level: a level is at most 1 MiB.
// Each round of a whole import starts from the level as it was before; making
// it again is left out of the time.
#include "base/Elements.h"
#include "ce/CeTransfer.h"
#include "file/ByteFile.h"
#include "format/RecordLayouts.h"
#include "level/Loader.h"
#include "support/LevelBuilder.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

using vantrel::test::Bytes;
using vantrel::test::LevelBuilder;

using vantrel::Cus4Field;
using vantrel::kFirstCeCode;

// CE n of the chunk k is 1..128; its links name CEs 129..256.
Bytes VceBytes(int chunks)
{
    LevelBuilder b;
    for (int k = 0; k < chunks; ++k) {
        const std::size_t record = b.Size() + 8;
        b.Cus4(static_cast<std::uint16_t>(kFirstCeCode + k % 128), "Bench " + std::to_string(k), 1);
        const auto elsewhere = static_cast<std::uint16_t>(kFirstCeCode + 128 + k % 128);
        b.PokeU8(record + Cus4Field::UseGraphicOf.Offset, 1);
        std::vector<std::size_t> links{Cus4Field::GraphicOf.Offset};
        for (int cell = 0; cell < 9; ++cell) links.push_back(Cus4Field::ExplodeCont.Offset + 2 * cell);
        for (const std::size_t at : links) {
            b.PokeU8(record + at, static_cast<std::uint8_t>(elsewhere >> 8));
            b.PokeU8(record + at + 1, static_cast<std::uint8_t>(elsewhere & 0xFF));
        }
    }
    return b.Data();
}

Bytes LevelBytes()
{
    return LevelBuilder::Standard({.width = 40, .height = 40, .title = "Bench", .wide = true},
                                  std::vector<std::uint16_t>(40 * 40, 1))
        .Data();
}

void Put(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct Files {
    explicit Files(int chunks)
    {
        level = dir.Write("a.level", LevelBytes());
        vce = dir.Write("ce.vce", VceBytes(chunks));
    }
    vantrel::test::TempDir dir;
    std::string level, vce;
};

void BM_ListAndRenumber(benchmark::State& state)
{
    const Files files(static_cast<int>(state.range(0)));
    vantrel::OpenLevel lvl;
    vantrel::LoadReport report;
    vantrel::LoadLevel(lvl, files.level, report);
    for (auto _ : state) {
        lvl.Log().clear();
        vantrel::CeImportList list;
        if (const vantrel::VceLoadResult loaded = vantrel::LoadVceFile(files.vce, list); !loaded) {
            state.SkipWithError(("the .vce file was not listed: " + loaded.Refusal->Text).c_str());
            return;
        }
        const Bytes bytes = vantrel::ReadFileToEnd(files.vce);
        const vantrel::RenumberedVce copy =
            vantrel::RenumberVceCopy(lvl, list, vantrel::ScanVceBytes(bytes, files.vce), bytes);
        if (copy.LinkCount != 0 || copy.Bytes.size() != bytes.size()) {
            state.SkipWithError("the copy is not what the file holds");
            return;
        }
    }
}
BENCHMARK(BM_ListAndRenumber)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Its floor: the same bytes read once.
void BM_ReadSameBytes(benchmark::State& state)
{
    const Files files(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(vantrel::ReadFileToEnd(files.vce).data());
}
BENCHMARK(BM_ReadSameBytes)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Import(benchmark::State& state)
{
    const Files files(static_cast<int>(state.range(0)));
    const Bytes level = LevelBytes();
    vantrel::OpenLevel lvl;
    vantrel::LoadReport report;
    vantrel::test::ScriptedUi ui;
    vantrel::FinishImportOptions options;
    for (auto _ : state) {
        state.PauseTiming();
        Put(files.level, level);
        vantrel::LoadLevel(lvl, files.level, report);
        ui.messages.clear();
        state.ResumeTiming();
        vantrel::CeImportList list;
        if (const vantrel::VceLoadResult loaded = vantrel::LoadVceFile(files.vce, list); !loaded) {
            state.SkipWithError(("the .vce file was not listed: " + loaded.Refusal->Text).c_str());
            return;
        }
        const vantrel::ImportResult r = vantrel::FinishImport(lvl, report.CeList, list, ui, options);
        if (r.Status != vantrel::ImportStatus::Imported || r.LinkCount != 0) {
            state.SkipWithError(("not imported: " + (r.Refusal ? r.Refusal->Text : std::string())).c_str());
            return;
        }
    }
}
BENCHMARK(BM_Import)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Its floor: the .vce file's bytes read once and appended to the level in one write.
void BM_ReadAndAppendSameBytes(benchmark::State& state)
{
    const Files files(static_cast<int>(state.range(0)));
    const Bytes level = LevelBytes();
    for (auto _ : state) {
        state.PauseTiming();
        Put(files.level, level);
        state.ResumeTiming();
        const Bytes bytes = vantrel::ReadFileToEnd(files.vce);
        const int fd = ::open(files.level.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        const bool whole = fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
        if (fd >= 0) ::close(fd);
        if (!whole) {
            state.SkipWithError("the append failed");
            return;
        }
    }
}
BENCHMARK(BM_ReadAndAppendSameBytes)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
