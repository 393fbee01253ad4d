// The floor of the index's second start: the least a start that looks at
// every level costs. Lists the folders of a tree on every core and looks at
// each .level name relative to its folder (platform::ListFolder, as the index
// does), and does nothing else: no cache, no sorting, no lines printed but the
// count. bench/archive_tree.sh times it beside find and the index.
//   build-bench/bench/vantrel_bench_walk TREE
#include "levelsets/LevelsetConfig.h"
#include "platform/Platform.h"

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s TREE\n", argv[0]);
        return 2;
    }
    std::mutex mutex;
    std::condition_variable change;
    std::deque<std::string> waiting{argv[1]};
    int busy = 0;
    std::uint64_t files = 0, bytes = 0;
    const auto work = [&] {
        std::vector<vantrel::platform::FolderEntry> entries;
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            change.wait(lock, [&] { return !waiting.empty() || busy == 0; });
            if (waiting.empty()) return;
            const std::string folder = std::move(waiting.front());
            waiting.pop_front();
            ++busy;
            lock.unlock();
            entries.clear();
            vantrel::platform::ListFolder(folder, entries,
                                          [](const std::string& name) { return vantrel::IsLevelFileName(name); });
            std::uint64_t n = 0, size = 0;
            std::vector<std::string> folders;
            for (const vantrel::platform::FolderEntry& e : entries) {
                if (e.Type == vantrel::platform::Kind::Directory) folders.push_back(folder + "/" + e.Name);
                if (e.LookedAt && e.Looked.Ok()) {
                    ++n;
                    size += static_cast<std::uint64_t>(e.Info.Size);
                }
            }
            lock.lock();
            for (std::string& f : folders) waiting.push_back(std::move(f));
            files += n;
            bytes += size;
            --busy;
            change.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < std::max(1u, std::thread::hardware_concurrency()); ++t) pool.emplace_back(work);
    work();
    for (std::thread& t : pool) t.join();
    std::printf("%llu level files, %llu bytes\n", static_cast<unsigned long long>(files),
                static_cast<unsigned long long>(bytes));
    return 0;
}
