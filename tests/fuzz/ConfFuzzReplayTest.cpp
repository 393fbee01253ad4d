// Replays every input kept under fuzz/corpus/conf through the checks of
// fuzz_conf itself (its source, built into the tests with gcc): a broken
// expectation or a crash ends the test run.
#define LLVMFuzzerTestOneInput ConfFuzzOneInput
#include "../../fuzz/ConfFuzz.cpp"
#undef LLVMFuzzerTestOneInput

#include "support/FuzzCases.h"

#include <gtest/gtest.h>

TEST(FuzzReplay, Conf)
{
    for (const auto& [name, bytes] : vantrel::test::FuzzCases("conf")) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ConfFuzzOneInput(bytes.data(), bytes.size()), 0);
    }
}
