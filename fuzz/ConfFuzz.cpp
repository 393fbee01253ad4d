// Fuzz target for levelinfo.conf: the input is written to a file and read
// with ReadConfValue for the keys the program asks for. The value is a piece
// of one line of the file: no line feed in it, no blank or tab at its start,
// and found in the input. A VantrelError is an expected outcome.
#include "FuzzUi.h"
#include "base/Error.h"
#include "levelsets/LevelsetConfig.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

namespace {

using vantrel::fuzz::Check;
constexpr char kTarget[] = "fuzz_conf";

// The one file the inputs are written to, removed when the run ends.
struct ConfFile {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("fuzz_conf." + std::to_string(std::random_device{}()) + ".conf"))
                           .string();
    ~ConfFile() { std::remove(path.c_str()); }
};

const std::string& ConfPath()
{
    static const ConfFile file;
    return file.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantrel;
    std::FILE* f = std::fopen(ConfPath().c_str(), "wb");
    if (f == nullptr) return 0;
    if (size > 0) std::fwrite(data, 1, size, f);
    std::fclose(f);
    const std::string input(reinterpret_cast<const char*>(data), size);
    for (const char* key : {"name", "level_group", "levels", "first_level", "", "n"}) {
        std::string value;
        try {
            value = ReadConfValue(ConfPath(), key);
        } catch (const VantrelError&) {
            continue;
        }
        Check(kTarget, value.find('\n') == std::string::npos, "no line feed in a value");
        Check(kTarget, value.empty() || (value[0] != ' ' && value[0] != '\t'), "no blank at the start of a value");
        Check(kTarget, input.find(value) != std::string::npos, "the value is found in the file");
    }
    return 0;
}
