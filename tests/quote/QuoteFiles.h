// What the quote tests compare against: the bytes of a new level file built
// field by field from its layout (independently of the writer's hex
// templates), and a snapshot of a directory to show that a refusal left it
// exactly as it was.
#pragma once

#include "support/TempDir.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vantrel::test {

struct ExpectedLevel {
    int width = 0;
    int height = 0;
    int time = 0;
    int emeralds = 0;
    std::string title;
    std::string author;
    std::vector<std::uint16_t> cells;
};

inline std::vector<std::uint8_t> ExpectedLevelBytes(const ExpectedLevel& e)
{
    std::vector<std::uint8_t> b;
    auto text = [&b](const std::string& s) { b.insert(b.end(), s.begin(), s.end()); };
    auto u16 = [&b](unsigned v) { b.push_back(static_cast<std::uint8_t>(v >> 8)); b.push_back(static_cast<std::uint8_t>(v)); };
    auto u32 = [&](unsigned v) { u16(v >> 16); u16(v & 0xFFFF); };
    auto repeat = [&b](int n, std::uint8_t v) { b.insert(b.end(), static_cast<std::size_t>(n), v); };
    auto field = [&](const std::string& s) {
        const std::string cut = s.substr(0, 32);
        text(cut);
        repeat(static_cast<int>(32 - cut.size()), 0);
    };
    text("RND1");
    u32(0);
    text("CAVEVERS");
    u32(8);
    b.insert(b.end(), {2, 0, 0, 0, 3, 0, 8, 3});
    text("HEAD");
    u32(80);
    b.push_back(static_cast<std::uint8_t>(e.width));
    b.push_back(static_cast<std::uint8_t>(e.height));
    u16(static_cast<unsigned>(e.time));
    u16(static_cast<unsigned>(e.emeralds));
    field(e.title);
    repeat(16, 10);
    repeat(36, 4);
    b.insert(b.end(), {10, 10, 10, 14, 0, 0, 1});
    repeat(15, 0);
    text("AUTH");
    u32(32);
    field(e.author);
    text("BODY");
    u32(static_cast<unsigned>(e.width * e.height * 2));
    for (const std::uint16_t c : e.cells) u16(c);
    return b;
}

// Every file below dir with its bytes.
inline std::map<std::string, std::vector<std::uint8_t>> Snapshot(const std::filesystem::path& dir)
{
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        files[entry.path().string()] = entry.is_regular_file() ? ReadBytes(entry.path()) : std::vector<std::uint8_t>{};
    return files;
}

}  // namespace vantrel::test
