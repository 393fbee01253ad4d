// vantrel-cli as a user starts it, one process a command, beside its floors:
// `load --map` of a level beside `cat` of the same file, and `render` of a
// 64 x 32 level to PNG (and BMP) beside `load` of it. Each iteration starts
// the program and waits for it (wall-clock time: the program's start counts).
// The levels are made once in a temporary folder and loaded once before the
// timing, so that their backups exist and no iteration copies a file.
#include "support/LevelBuilder.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

using vantrel::test::TempDir;

// Runs program with args, its output thrown away; throws unless it exits 0.
void Run(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) throw std::runtime_error("cannot start " + argv[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(argv[0] + " " + argv[1] + " failed");
}

struct BenchFiles {
    BenchFiles()
    {
        std::vector<std::uint16_t> cells;
        for (int y = 1; y <= 32; ++y)
            for (int x = 1; x <= 64; ++x) cells.push_back(static_cast<std::uint16_t>((x * 7 + y * 31) % 623 + 1));
        level = dir.Write("made64x32.level",
                          vantrel::test::LevelBuilder::Standard({.width = 64, .height = 32, .wide = true}, cells)
                              .Data());
        png = (dir.Path() / "made64x32.png").string();
        bmp = (dir.Path() / "made64x32.bmp").string();
        Run({VANTREL_CLI_PATH, "load", level});  // makes the backup
    }
    TempDir dir;
    std::string level, png, bmp;
};

BenchFiles& Files()
{
    static BenchFiles files;
    return files;
}

void BM_Cat(benchmark::State& state)
{
    for (auto _ : state) Run({"/bin/cat", Files().level});
}
BENCHMARK(BM_Cat)->UseRealTime();

void BM_CliLoadMap(benchmark::State& state)
{
    for (auto _ : state) Run({VANTREL_CLI_PATH, "load", Files().level, "--map"});
}
BENCHMARK(BM_CliLoadMap)->UseRealTime();

void BM_CliLoad(benchmark::State& state)
{
    for (auto _ : state) Run({VANTREL_CLI_PATH, "load", Files().level});
}
BENCHMARK(BM_CliLoad)->UseRealTime();

void BM_CliRenderPng(benchmark::State& state)
{
    for (auto _ : state) Run({VANTREL_CLI_PATH, "render", Files().level, Files().png});
}
BENCHMARK(BM_CliRenderPng)->UseRealTime();

void BM_CliRenderBmp(benchmark::State& state)
{
    for (auto _ : state) Run({VANTREL_CLI_PATH, "render", Files().level, Files().bmp});
}
BENCHMARK(BM_CliRenderBmp)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
