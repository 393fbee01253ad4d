// Builds CUS4 chunks and level files byte by byte for the custom element
// tests. The offsets here are written out on their own, not taken from the
// program's constants, so that a wrong constant shows.
#pragma once

#include "file/ByteFile.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vantrel::test {

using Bytes = std::vector<std::uint8_t>;
using Block = std::array<std::uint16_t, 9>;  // a 3x3 block of codes, row by row

struct PageSpec {
    std::uint32_t eventBits = 0;
    std::uint16_t changeTo = 0;
    std::uint16_t delayFixed = 0;
    std::uint16_t delayRandom = 0;
    std::uint16_t delayType = 0;
    std::uint16_t condElement = 0;
    std::uint8_t useExtChange = 0;
    Block extChange{};
    std::uint8_t canChange = 0;
};

struct CeSpec {
    int number = 1;
    std::string name;
    std::uint8_t useGraphicOf = 0;
    std::uint16_t graphicOf = 0;
    Block explode{};
    std::vector<PageSpec> pages;
    int storedPageCount = -1;  // the byte at record offset 42; -1: the number of pages
    std::uint16_t enter = 0;   // the element it can enter
    std::uint16_t leave = 0;   // the element it leaves behind
};

// The element code of custom element ce.
constexpr std::uint16_t Code(int ce) { return static_cast<std::uint16_t>(359 + ce); }

// Custom element number, named name, with pages empty change pages.
inline CeSpec Ce(int number, const std::string& name, int pages)
{
    CeSpec ce;
    ce.number = number;
    ce.name = name;
    ce.pages.resize(static_cast<std::size_t>(pages));
    return ce;
}

inline void PutWord(Bytes& b, std::size_t at, std::uint16_t v)
{
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v & 0xFF);
}

inline std::uint16_t WordAt(const Bytes& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] * 256 + b[at + 1]);
}

inline void PutBlock(Bytes& b, std::size_t at, const Block& block)
{
    for (std::size_t i = 0; i < 9; ++i) PutWord(b, at + 2 * i, block[i]);
}

// The whole chunk: "CUS4", the record length, the record.
inline Bytes Cus4Chunk(const CeSpec& ce)
{
    const std::size_t pages = ce.pages.size();
    const std::size_t length = 96 + 48 * pages;
    Bytes b(8 + length, 0);
    b[0] = 'C', b[1] = 'U', b[2] = 'S', b[3] = '4';
    b[4] = static_cast<std::uint8_t>(length >> 24);
    b[5] = static_cast<std::uint8_t>(length >> 16);
    b[6] = static_cast<std::uint8_t>(length >> 8);
    b[7] = static_cast<std::uint8_t>(length);
    const std::size_t r = 8;
    PutWord(b, r + 0, static_cast<std::uint16_t>(359 + ce.number));
    for (std::size_t i = 0; i < ce.name.size() && i < 30; ++i) b[r + 2 + i] = static_cast<std::uint8_t>(ce.name[i]);
    b[r + 42] = static_cast<std::uint8_t>(ce.storedPageCount >= 0 ? ce.storedPageCount : static_cast<int>(pages));
    b[r + 48] = ce.useGraphicOf;
    PutWord(b, r + 49, ce.graphicOf);
    PutBlock(b, r + 66, ce.explode);
    PutWord(b, r + 84, ce.enter);
    PutWord(b, r + 86, ce.leave);
    for (std::size_t p = 1; p <= pages; ++p) {
        const PageSpec& s = ce.pages[p - 1];
        const std::size_t q = r + 48 + 48 * p;
        b[q + 0] = static_cast<std::uint8_t>(s.eventBits >> 24);
        b[q + 1] = static_cast<std::uint8_t>(s.eventBits >> 16);
        b[q + 2] = static_cast<std::uint8_t>(s.eventBits >> 8);
        b[q + 3] = static_cast<std::uint8_t>(s.eventBits);
        PutWord(b, q + 4, s.changeTo);
        PutWord(b, q + 6, s.delayFixed);
        PutWord(b, q + 8, s.delayRandom);
        PutWord(b, q + 10, s.delayType);
        PutWord(b, q + 12, s.condElement);
        b[q + 15] = s.useExtChange;
        PutBlock(b, q + 20, s.extChange);
        b[q + 38] = s.canChange;
    }
    return b;
}

// The parts one after another (defined with the level builder's helpers).
Bytes Concat(std::initializer_list<Bytes> parts);

// A chunked level of 2x2 one-byte cells, followed by the chunks given. The
// first chunk that follows starts at LevelPrefixLength().
inline Bytes LevelWithChunks(const std::vector<Bytes>& chunks)
{
    Bytes b(160, 0);
    static const char head[] = "RND1\0\0\0\0CAVEVERS";
    for (std::size_t i = 0; i + 1 < sizeof head; ++i) b[i] = static_cast<std::uint8_t>(head[i]);
    b[19] = 8;
    b[20] = 2, b[23] = 3;  // version 2.0, game 3
    b[28] = 'H', b[29] = 'E', b[30] = 'A', b[31] = 'D';
    b[35] = 80;
    b[36] = 2, b[37] = 2;  // width, height
    b[148] = 'B', b[149] = 'O', b[150] = 'D', b[151] = 'Y';
    b[155] = 4;  // four cells, then the chunks
    for (const Bytes& c : chunks) b.insert(b.end(), c.begin(), c.end());
    return b;
}
inline constexpr std::int64_t LevelPrefixLength() { return 160; }

// A file in memory that notes every byte range read from it.
class ReadLogFile : public MemoryFile {
public:
    using MemoryFile::MemoryFile;
    mutable std::vector<std::pair<std::int64_t, std::size_t>> reads;  // offset, count
    // The lowest and the highest offset read (both -1 when nothing was read).
    std::pair<std::int64_t, std::int64_t> ReadSpan() const
    {
        std::int64_t lo = -1, hi = -1;
        for (const auto& [at, n] : reads) {
            if (lo < 0 || at < lo) lo = at;
            const std::int64_t last = at + static_cast<std::int64_t>(n) - 1;
            if (last > hi) hi = last;
        }
        return {lo, hi};
    }

protected:
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* out, std::size_t n) const override
    {
        reads.emplace_back(offset, n);
        return MemoryFile::ReadAt(offset, out, n);
    }
};

}  // namespace vantrel::test
