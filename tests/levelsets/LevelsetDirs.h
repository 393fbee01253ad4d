// Builds game directory trees in a temporary folder for the levelset tests.
#pragma once

#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace vantrel::test {

inline void WriteFile(const std::filesystem::path& file, const std::string& bytes)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A levelset directory: levelinfo.conf naming it and `levels` files 001.level, ...
inline void MakeLevelset(const std::filesystem::path& dir, const std::string& name, int levels)
{
    WriteFile(dir / "levelinfo.conf", "name: " + name + "\n");
    for (int i = 1; i <= levels; ++i) {
        const std::string file = (i < 10 ? "00" : i < 100 ? "0" : "") + std::to_string(i) + ".level";
        WriteFile(dir / file, name + " " + file);
    }
}

inline void MakeGroup(const std::filesystem::path& dir, const std::string& name)
{
    WriteFile(dir / "levelinfo.conf", "name: " + name + "\r\nlevel_group: true\r\n");
}

}  // namespace vantrel::test
