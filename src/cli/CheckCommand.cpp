// vantrel-cli check LEVEL...|DIR: whether the game reads each level whole
// and what it makes of it, one line a finding, then a summary. The levels
// are read on every core; on a terminal a line of progress is kept up.
#include "base/PathText.h"
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "format/GameRead.h"
#include "level/OpenLevel.h"
#include "platform/Platform.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantrel {

namespace {

namespace fs = std::filesystem;

// What one level came to: its lines, and whether it is clean.
struct Checked {
    std::string Lines;
    bool Clean = true;
    bool Done = false;
};

// The bytes of a level to check, read as the loader reads one: opened
// without waiting on a named pipe, and only when it is a regular file no
// larger than any level can be.
bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& why)
{
    platform::File file;
    platform::OpenHow how;
    how.NoWait = true;  // a named pipe without a writer would block the open
    if (const platform::Outcome opened = platform::Open(path, how, file); !opened.Ok()) {
        why = opened.Text;
        return false;
    }
    platform::FileInfo info;
    if (!platform::Look(file, info).Ok() || info.Type != platform::Kind::Regular) {
        why = "not a regular file";
        return false;
    }
    if (info.Size > kMaxLevelFileSize) {
        why = std::to_string(info.Size) + " bytes, more than any level can be (at most " +
              std::to_string(kMaxLevelFileSize) + " bytes)";
        return false;
    }
    bytes.resize(static_cast<std::size_t>(info.Size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::size_t n = 0;
        if (!platform::ReadNext(file, bytes.data() + done, bytes.size() - done, n).Ok() || n == 0) break;
        done += n;
    }
    bytes.resize(done);
    return true;
}

void CheckOne(const std::string& path, std::vector<std::uint8_t>& buffer, Checked& out)
{
    std::string why;
    if (!ReadFile(path, buffer, why)) {
        out.Lines = path + ": cannot be read: " + why + "\n";
        out.Clean = false;
        return;
    }
    const GameReading reading = ReadAsTheGame(buffer);
    out.Clean = reading.Clean();
    for (const GameFinding& f : reading.Findings)
        out.Lines += path + ": " + std::to_string(f.Offset) + ": " + (f.Note ? "note: " : "") + f.Text + "\n";
}

// The levels named: files as given, folders walked for ".level" files, in order.
bool CollectLevels(const std::vector<std::string>& names, std::vector<std::string>& levels)
{
    for (const std::string& name : names) {
        std::error_code ec;
        if (!fs::is_directory(PathOf(name), ec)) {
            levels.push_back(name);
            continue;
        }
        std::vector<std::string> found;
        fs::recursive_directory_iterator it(PathOf(name), fs::directory_options::skip_permission_denied, ec), end;
        if (ec) {
            PrintMessage(std::cerr, "The folder " + name + " cannot be listed: " + ec.message());
            return false;
        }
        for (; it != end; it.increment(ec)) {
            if (ec) break;
            const fs::path& p = it->path();
            if (p.extension() == ".level" && it->is_regular_file(ec)) found.push_back(fs::path(p).make_preferred().string());
        }
        std::sort(found.begin(), found.end());
        levels.insert(levels.end(), found.begin(), found.end());
    }
    return true;
}

}  // namespace

int RunCheck(const std::vector<std::string>& names)
{
    std::vector<std::string> levels;
    if (!CollectLevels(names, levels)) return 1;
    std::vector<Checked> results(levels.size());
    std::atomic<std::size_t> next{0}, finished{0};
    std::mutex printed;
    std::size_t shown = 0;  // results printed so far, in order
    const bool terminal = platform::ErrorIsTerminal();
    std::size_t clean = 0;

    // Prints the results that are ready, in the order of the levels.
    auto flush = [&] {
        std::string text;
        while (shown < results.size() && results[shown].Done) {
            text += results[shown].Lines;
            clean += results[shown].Clean ? 1 : 0;
            results[shown].Lines.clear();
            ++shown;
        }
        if (text.empty()) return;
        if (terminal) std::cerr << "\r\033[K";
        std::cout << text << std::flush;
    };
    auto work = [&] {
        std::vector<std::uint8_t> buffer;
        for (std::size_t i = next++; i < levels.size(); i = next++) {
            Checked done;
            CheckOne(levels[i], buffer, done);
            done.Done = true;
            std::lock_guard<std::mutex> lock(printed);
            results[i] = std::move(done);
            const std::size_t count = ++finished;
            flush();
            if (terminal && (count % 64 == 0 || count == levels.size()))
                std::cerr << "\rchecked " << count << " of " << levels.size() << std::flush;
        }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t threads = std::min<std::size_t>(cores, std::max<std::size_t>(1, levels.size() / 16));
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
    for (std::thread& t : pool) t.join();
    if (terminal) std::cerr << "\r\033[K" << std::flush;
    const std::size_t total = levels.size();
    std::cout << total << (total == 1 ? " level" : " levels") << " checked: " << clean << " clean, "
              << total - clean << " with findings\n";
    return clean == total ? 0 : 1;
}

}  // namespace vantrel
