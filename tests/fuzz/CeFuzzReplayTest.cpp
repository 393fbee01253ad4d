// Replays every input kept under fuzz/corpus/ce through the checks of
// fuzz_ce itself (its source, built into the tests with gcc): a broken
// expectation or a crash ends the test run.
#define LLVMFuzzerTestOneInput CeFuzzOneInput
#include "../../fuzz/CeFuzz.cpp"
#undef LLVMFuzzerTestOneInput

#include "support/FuzzCases.h"

#include <gtest/gtest.h>

TEST(FuzzReplay, Ce)
{
    for (const auto& [name, bytes] : vantrel::test::FuzzCases("ce")) {
        SCOPED_TRACE(name);
        EXPECT_EQ(CeFuzzOneInput(bytes.data(), bytes.size()), 0);
    }
}
