// Replays every input kept under fuzz/corpus/edit through the checks of
// fuzz_edit itself (its source, built into the tests with gcc): a broken
// expectation or a crash ends the test run.
#define LLVMFuzzerTestOneInput EditFuzzOneInput
#include "../../fuzz/EditFuzz.cpp"
#undef LLVMFuzzerTestOneInput

#include "support/FuzzCases.h"

#include <gtest/gtest.h>

TEST(FuzzReplay, Edit)
{
    for (const auto& [name, bytes] : vantrel::test::FuzzCases("edit")) {
        SCOPED_TRACE(name);
        EXPECT_EQ(EditFuzzOneInput(bytes.data(), bytes.size()), 0);
    }
}
