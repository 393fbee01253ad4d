#include "support/LevelBuilder.h"

#include <algorithm>
#include <stdexcept>

namespace vantrel::test {

LevelBuilder LevelBuilder::Rnd1(std::uint32_t fileVersion, std::uint32_t gameVersion)
{
    LevelBuilder b;
    b.Text("RND1").U32(0).Text("CAVE").Text("VERS").U32(8).U32(fileVersion).U32(gameVersion);
    return b;
}

LevelBuilder LevelBuilder::Cookie(const std::string& version, std::optional<std::uint8_t> separator)
{
    LevelBuilder b;
    b.Text(kCookieText).Text(version);
    if (separator) b.U8(*separator);
    return b;
}

LevelBuilder LevelBuilder::Standard(const HeadSpec& head, const std::vector<std::uint16_t>& cells,
                                    const std::string& author)
{
    LevelBuilder b = Rnd1();
    b.Head(head).Auth(author).Body(cells, head.wide);
    return b;
}

LevelBuilder& LevelBuilder::Append(const Bytes& bytes)
{
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

LevelBuilder& LevelBuilder::Text(const std::string& text)
{
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
}

LevelBuilder& LevelBuilder::U8(std::uint8_t v)
{
    bytes_.push_back(v);
    return *this;
}

LevelBuilder& LevelBuilder::U16(std::uint16_t v)
{
    return U8(static_cast<std::uint8_t>(v >> 8)).U8(static_cast<std::uint8_t>(v));
}

LevelBuilder& LevelBuilder::U32(std::uint32_t v)
{
    return U16(static_cast<std::uint16_t>(v >> 16)).U16(static_cast<std::uint16_t>(v));
}

LevelBuilder& LevelBuilder::Zeros(std::size_t n)
{
    bytes_.insert(bytes_.end(), n, 0);
    return *this;
}

LevelBuilder& LevelBuilder::Field(const std::string& text, std::size_t n)
{
    Text(text.substr(0, n));
    return Zeros(n - std::min(n, text.size()));
}

LevelBuilder& LevelBuilder::Chunk(const std::string& name, const Bytes& data)
{
    return Chunk(name, static_cast<std::uint32_t>(data.size()), data);
}

LevelBuilder& LevelBuilder::Chunk(const std::string& name, std::uint32_t statedSize, const Bytes& data)
{
    if (name.size() != 4) throw std::invalid_argument("a chunk name has 4 characters: " + name);
    return Text(name).U32(statedSize).Append(data);
}

LevelBuilder& LevelBuilder::CodeChunk(const std::string& name, std::uint16_t code, std::uint32_t dataSize)
{
    if (dataSize < 2) throw std::invalid_argument("a code chunk holds at least its code");
    Bytes data(dataSize, 0);
    data[0] = static_cast<std::uint8_t>(code >> 8);
    data[1] = static_cast<std::uint8_t>(code);
    return Chunk(name, data);
}

LevelBuilder& LevelBuilder::PadTo(std::size_t offset, const std::string& name)
{
    if (offset < Size() + 8) throw std::invalid_argument("PadTo: offset lies before the end of a chunk header");
    return Chunk(name, Bytes(offset - Size() - 8, 0));
}

Bytes LevelBuilder::HeadBytes(const HeadSpec& head)
{
    LevelBuilder b;
    b.U8(head.width).U8(head.height).U16(head.time).U16(head.emeralds).Field(head.title, 32);  // 0..37
    b.Append(Bytes(16, 10)).Append(Bytes(36, 4));                                              // 38..89
    b.U8(10).U8(10).U8(10).U8(14).U8(0).U8(0);                                                  // 90..95
    b.U8(head.wide ? 1 : 0).Zeros(15);                                                          // 96..111
    return b.Data();
}

LevelBuilder& LevelBuilder::Head(const HeadSpec& head)
{
    return Chunk("HEAD", 80, HeadBytes(head));
}

LevelBuilder& LevelBuilder::Auth(const std::string& author)
{
    LevelBuilder data;
    data.Field(author, 32);
    return Chunk("AUTH", data.Data());
}

LevelBuilder& LevelBuilder::Body(const std::vector<std::uint16_t>& cells, bool wide,
                                 std::optional<std::uint32_t> statedSize)
{
    const Bytes data = CellBytes(cells, wide);
    return Chunk("BODY", statedSize.value_or(static_cast<std::uint32_t>(data.size())), data);
}

LevelBuilder& LevelBuilder::Cells(const std::vector<std::uint16_t>& cells, bool wide)
{
    return Append(CellBytes(cells, wide));
}

LevelBuilder& LevelBuilder::Cus4(std::uint16_t code, const std::string& name, std::uint8_t pages,
                                 std::optional<std::uint32_t> statedSize)
{
    const std::uint32_t recordLength = 96 + 48u * pages;
    Text("CUS4").U32(statedSize.value_or(recordLength));
    U16(code).Field(name, 30).Zeros(10).U8(pages);  // record offsets 0..42
    return Zeros(recordLength - 43);
}

LevelBuilder& LevelBuilder::PokeU8(std::size_t offset, std::uint8_t v)
{
    bytes_.at(offset) = v;
    return *this;
}

LevelBuilder& LevelBuilder::PokeU32(std::size_t offset, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) bytes_.at(offset + i) = static_cast<std::uint8_t>(v >> (24 - 8 * i));
    return *this;
}

std::vector<std::uint16_t> PatternCells(int width, int height, bool wide)
{
    std::vector<std::uint16_t> cells;
    cells.reserve(static_cast<std::size_t>(width) * height);
    for (int y = 1; y <= height; ++y) {
        for (int x = 1; x <= width; ++x) {
            const unsigned v = wide ? (y * 263u + x * 7u) % 0x10000 : (y * 37u + x * 3u) % 256;
            cells.push_back(static_cast<std::uint16_t>(v));
        }
    }
    return cells;
}

Bytes CellBytes(const std::vector<std::uint16_t>& cells, bool wide)
{
    Bytes out;
    out.reserve(cells.size() * (wide ? 2 : 1));
    for (std::uint16_t c : cells) {
        if (wide) out.push_back(static_cast<std::uint8_t>(c >> 8));
        out.push_back(static_cast<std::uint8_t>(c));
    }
    return out;
}

LevelBuilder LevelBuilder::Newer(std::uint32_t gameVersion)
{
    return Rnd1(kNewerFileVersion, gameVersion);
}

LevelBuilder& LevelBuilder::Cusx(std::uint16_t code, const Bytes& entries)
{
    Bytes data{static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code)};
    data.insert(data.end(), entries.begin(), entries.end());
    return Chunk("CUSX", data);
}

Bytes LevelBuilder::E16(std::uint8_t key, std::uint16_t v)
{
    return {key, static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

Bytes LevelBuilder::E32(std::uint8_t key, std::uint32_t v)
{
    return {key, static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

Bytes LevelBuilder::EBytes(std::uint8_t key, const Bytes& data)
{
    Bytes e{key, static_cast<std::uint8_t>(data.size() >> 8), static_cast<std::uint8_t>(data.size())};
    e.insert(e.end(), data.begin(), data.end());
    return e;
}

Bytes LevelBuilder::InfoEntries(std::uint16_t width, std::uint16_t height, std::uint16_t time, std::uint16_t gems)
{
    return Concat({E8(0x01, 1), E16(0x41, width), E16(0x42, height), E16(0x43, time), E16(0x44, gems)});
}

Bytes LevelBuilder::FieldBytes(const std::string& text, std::size_t n)
{
    Bytes b(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(std::min(n, text.size())));
    b.resize(n, 0);
    return b;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace vantrel::test
