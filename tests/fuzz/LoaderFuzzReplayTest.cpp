// Replays every input kept under fuzz/corpus/loader through the checks of
// fuzz_loader itself (its source, built into the tests with gcc): a broken
// expectation or a crash ends the test run.
#define LLVMFuzzerTestOneInput LoaderFuzzOneInput
#include "../../fuzz/LoaderFuzz.cpp"
#undef LLVMFuzzerTestOneInput

#include "support/FuzzCases.h"

#include <gtest/gtest.h>

TEST(FuzzReplay, Loader)
{
    for (const auto& [name, bytes] : vantrel::test::FuzzCases("loader")) {
        SCOPED_TRACE(name);
        EXPECT_EQ(LoaderFuzzOneInput(bytes.data(), bytes.size()), 0);
    }
}
