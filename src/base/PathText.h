// File names inside the program are UTF-8 text. std::filesystem::path keeps
// them in the system's own form (UTF-16 on Windows), and a path made from a
// plain std::string would be read in the locale's code page there: PathOf
// makes one from UTF-8 on every system. path::string() gives UTF-8 back.
#pragma once

#include <filesystem>
#include <string>

namespace vantrel {

inline std::filesystem::path PathOf(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The longest name of a file, folders and all, that the system takes in one
// call (PATH_MAX, 4096 with its closing zero). A file in a folder whose full
// path is longer is reached by the shorter name it was given (relative to
// the working folder).
inline constexpr std::size_t kLongestPath = 4095;

}  // namespace vantrel
