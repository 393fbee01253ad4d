// Replays every input kept under fuzz/corpus/<target> through the checks of
// the fuzz target itself (its source, built into the tests with gcc, its
// entry point renamed): a broken expectation or a crash ends the test run.
#include "support/FuzzCases.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

extern "C" int CeFuzzOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int ConfFuzzOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int EditFuzzOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int LoaderFuzzOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int QuoteFuzzOneInput(const std::uint8_t* data, std::size_t size);

namespace {

struct FuzzTarget {
    const char* corpus;  // the folder of its kept inputs
    int (*run)(const std::uint8_t* data, std::size_t size);
};

class FuzzReplay : public ::testing::TestWithParam<FuzzTarget> {};

TEST_P(FuzzReplay, EveryKeptInputPassesTheTargetsChecks)
{
    for (const auto& [name, bytes] : vantrel::test::FuzzCases(GetParam().corpus)) {
        SCOPED_TRACE(name);
        EXPECT_EQ(GetParam().run(bytes.data(), bytes.size()), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay,
                         ::testing::Values(FuzzTarget{"ce", CeFuzzOneInput}, FuzzTarget{"conf", ConfFuzzOneInput},
                                           FuzzTarget{"edit", EditFuzzOneInput},
                                           FuzzTarget{"loader", LoaderFuzzOneInput},
                                           FuzzTarget{"quote", QuoteFuzzOneInput}),
                         [](const auto& info) { return std::string(info.param.corpus); });

}  // namespace
