// The inputs kept under fuzz/corpus/<target>/ (README files left out), by name.
#pragma once

#include "support/TempDir.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vantrel::test {

inline std::vector<std::pair<std::string, std::vector<std::uint8_t>>> FuzzCases(const std::string& target)
{
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> cases;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(VANTREL_FUZZ_CASES_DIR) / target, ec))
        if (entry.is_regular_file() && entry.path().filename().string().rfind("README", 0) != 0)
            cases.emplace_back(entry.path().filename().string(), ReadBytes(entry.path()));
    std::sort(cases.begin(), cases.end());
    return cases;
}

}  // namespace vantrel::test
