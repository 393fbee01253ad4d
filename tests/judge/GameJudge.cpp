#include "judge/GameJudge.h"

#include "support/SystemOnly.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <regex>
#include <sstream>
#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace vantrel::test {

namespace {

std::string Quote(const std::string& text) { return "'" + text + "'"; }

// The output (standard error too) and exit status of a shell command.
std::pair<std::string, int> Shell(const std::string& command)
{
#ifdef _WIN32
    static_cast<void>(command);
    return {"", -1};
#else
    std::string out;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return {"", -1};
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    const int status = ::pclose(pipe);
    return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
#endif
}

// The game's dump lines of a command, run from the game's folder with its settings in home.
GameDump Dump(const std::string& home, const std::string& command)
{
    std::string why;
    const std::filesystem::path exe(GameExecutable(why));
    std::istringstream lines(Shell("cd " + Quote(exe.parent_path().string()) + " && HOME=" + Quote(home) + " ./" +
                                   exe.filename().string() + " -e " + Quote(command))
                                 .first);
    GameDump d;
    const std::regex ce(R"(^GAMEDUMP ce (\d+) (.*)$)"), field(R"(^GAMEDUMP (title|author|size|time|gems)=(.*)$)");
    std::smatch m;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("[WARN] ", 0) == 0) d.Warnings.push_back(line.substr(7));
        if (line.rfind("GAMEDUMP row", 0) == 0) d.Rows.push_back(line.size() > 13 ? line.substr(13) : "");
        if (std::regex_match(line, m, ce)) {
            std::string& text = d.Ces[std::stoi(m[1])];
            text += (text.empty() ? "" : "\n") + m[2].str();
        }
        if (std::regex_match(line, m, field)) {
            const std::string key = m[1];
            (key == "title" ? d.Title : key == "author" ? d.Author : key == "size" ? d.Size : key == "time" ? d.Time : d.Gems) = m[2];
        }
    }
    d.Level = !d.Size.empty();
    d.Out = lines.str();
    return d;
}

const std::string& ScratchHome()
{
    static const TempDir home;
    static const std::string path = home.Path().string();
    return path;
}

}  // namespace

const std::string& GameExecutable(std::string& reason)
{
    static std::once_flag once;
    static std::string exe, why;
    std::call_once(once, [] {
        if (kWindows) {
            why = "the game judges what the Linux build writes; the Windows build is held to that by the comparison "
                  "of both builds";
            return;
        }
        const std::string dir = VANTREL_GAME_DIR;
        std::filesystem::create_directories(dir);
        // Test programs run side by side: one builds, the others wait for it.
        auto [out, status] = Shell("flock " + Quote(dir + "/.lock") + " " + Quote(VANTREL_GAME_SCRIPT) + " " + Quote(dir));
        out.erase(out.find_last_not_of('\n') + 1);
        const std::string last = out.substr(out.find_last_of('\n') + 1);
        if (status == 0 && std::filesystem::exists(last)) exe = last;
        else why = "the game cannot be built (" + (last.empty() ? std::string("no ") + VANTREL_GAME_SCRIPT : last) + ")";
    });
    reason = why;
    return exe;
}

GameDump DumpLevel(const std::string& path) { return Dump(ScratchHome(), "dump level " + path); }

GameDump DumpSetLevel(const std::string& home, const std::string& set, int nr)
{
    return Dump(home, "dump level " + set + " " + std::to_string(nr));
}

std::pair<int, int> DumpLevelset(const std::string& home, const std::string& set)
{
    const std::string out = Dump(home, "dump levelset " + set).Out;
    std::smatch levels, first;
    if (!std::regex_search(out, levels, std::regex(R"(Number of levels:\s+(\d+))")) ||
        !std::regex_search(out, first, std::regex(R"(First level number:\s+(\d+))")))
        return {-1, -1};
    return {std::stoi(levels[1]), std::stoi(first[1])};
}

std::string Renumbered(const std::string& ce, const std::map<int, int>& map)
{
    std::string text = ce;
    for (const auto& [from, to] : map) {
        text = std::regex_replace(text, std::regex("desc=Custom element " + std::to_string(from) + "( |$)"),
                                  "desc=Custom element " + std::to_string(to) + "$1");
        // "$1" before a digit would name another group: a mark keeps them apart, then goes.
        // Every element code the dump shows: one after its name, or one of a content's nine, after "," too.
        text = std::regex_replace(
            text, std::regex("(target=|trigger=|gfx=\\d/|enter=|leave=|action_element=|content=|,)" +
                             std::to_string(from + 359) + "\\b"),
            "$1\x01" + std::to_string(to + 359));
    }
    text.erase(std::remove(text.begin(), text.end(), '\x01'), text.end());
    return text;
}

}  // namespace vantrel::test
