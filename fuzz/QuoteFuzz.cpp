// Fuzz target for the forum post parser: any bytes are read as a pasted
// post, with the image address both as the default and as the first bytes
// of the input (so that the fuzzer can choose the prefix as well). Checks
// that the parse keeps its promises: every row is filled to the width, the
// width and height stay within what was read, no cell is made above the
// largest level size, the element count and emeralds are bounded by the
// cells, and image tags give codes of three digits.
#include "quote/QuotePost.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool ok, const char* what)
{
    if (ok) return;
    std::fprintf(stderr, "fuzz_quote: broken expectation: %s\n", what);
    std::abort();
}

void CheckLevel(const vantrel::QuoteLevel& q, const std::string& post)
{
    using namespace vantrel;
    Check(q.Author.size() <= 32 && q.Title.size() <= 32, "author and title at most 32 characters");
    Check(q.Width >= 0 && q.Height >= 0, "sizes not negative");
    Check((q.Width == 0) == (q.Height == 0), "a row has a cell, a cell is in a row");
    Check(static_cast<std::size_t>(q.Height) <= SplitPostLines(post).size(), "at most one row a line");
    Check(q.ElementCount <= static_cast<long>(q.Width) * q.Height, "every element in a cell");
    Check(q.FilledRows <= q.Height && (q.Height == 0 || q.FilledRows < q.Height), "the widest row is not filled");
    Check(q.Emeralds >= 0 && q.Emeralds <= 8L * q.ElementCount, "emeralds at most 8 an element");
    if (q.Width > kMaxQuoteLevelSize || q.Height > kMaxQuoteLevelSize) {
        Check(q.Cells.empty(), "no cells above the largest size");
    } else {
        Check(q.Cells.size() == static_cast<std::size_t>(q.Width) * q.Height, "width x height cells");
        // Forum image tags name codes in three digits; only Level Sketch lines (with a `) name longer ones.
        Check(post.find('`') != std::string::npos ||
                  std::all_of(q.Cells.begin(), q.Cells.end(), [](std::uint16_t c) { return c <= 999; }),
              "codes of image tags in three digits");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantrel;
    const std::string post(reinterpret_cast<const char*>(data), size);
    CheckLevel(ParseQuotePost(post, kDefaultImagePrefix), post);
    // A prefix from the input: its first line, at most 40 bytes.
    const std::string prefix = post.substr(0, std::min<std::size_t>(post.find('\n'), 40));
    CheckLevel(ParseQuotePost(post, prefix), post);
    return 0;
}
