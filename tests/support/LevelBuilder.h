// LevelBuilder: writes synthetic level files byte by byte, for tests,
// benchmarks and fuzz seeds. It knows the layouts of the game's files but
// nothing of the program's own code, so a file built here is an independent
// description of what a loader must accept.
//
// Every call appends at the end of the file; Size() is the offset at which the
// next part will start, which is how a test computes the offsets its expected
// log lines name. All numbers are written big-endian.
//
//   RND1 file:   LevelBuilder::Rnd1()            "RND1", 0, "CAVE" "VERS", 8, file and game version (28 bytes)
//                  .Head({.width = 3, .height = 2, .title = "Test"})   "HEAD", 80, 112 bytes of data
//                  .Auth("Me")                                         "AUTH", 32, 32 bytes
//                  .Body(PatternCells(3, 2, false), false)             "BODY", 6, the cells
//   cookie file: LevelBuilder::Cookie("1.0")     "ROCKSNDIAMONDS_LEVEL_FILE_VERSION_" "1.0" and a separator byte
//                  .HeadData(head).Cells(cells, wide)                  the "1.0" layout: header at 38, map at 150
//                LevelBuilder::Cookie("1.2").Head(head).Body(cells, true, cells.size())
//                                                                      "1.2"/"1.4"/others: chunks from 38; a two-byte
//                                                                      BODY there states its size in cells
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::test {

using Bytes = std::vector<std::uint8_t>;

// The HEAD fields the loader reads (offsets from the start of the HEAD data):
// width 0, height 1, time 2..3, emeralds 4..5, title 6..37, cell width flag 96.
// The other bytes are filled with the game's default header bytes.
struct HeadSpec {
    std::uint8_t width = 3;
    std::uint8_t height = 2;
    std::uint16_t time = 0;
    std::uint16_t emeralds = 0;
    std::string title{};  // zero-padded to 32 bytes; longer titles are cut
    bool wide = false;   // two bytes per map cell (flag byte 1) or one (flag byte 0)
};

inline constexpr std::uint32_t kDefaultFileVersion = 0x02000000;  // 2.0.0.0
inline constexpr std::uint32_t kDefaultGameVersion = 0x03000803;  // 3.0.8.3
inline constexpr std::uint32_t kNewerFileVersion = 0x03000000;   // 3.0.0.0
inline constexpr std::uint32_t kNewerGameVersion = 0x04010401;   // 4.1.4.1
inline constexpr char kCookieText[] = "ROCKSNDIAMONDS_LEVEL_FILE_VERSION_";

class LevelBuilder {
public:
    LevelBuilder() = default;

    // The 28-byte start of a chunked file: "RND1", a zero size, the CAVEVERS chunk.
    static LevelBuilder Rnd1(std::uint32_t fileVersion = kDefaultFileVersion,
                             std::uint32_t gameVersion = kDefaultGameVersion);
    // The cookie, the version text (normally 3 characters) and one separator byte (38 bytes for a
    // 3-character version). Pass no separator to end the file right after the version text.
    static LevelBuilder Cookie(const std::string& version, std::optional<std::uint8_t> separator = 0x0A);
    // A file of 196 + cells bytes: Rnd1(), Head(head), Auth(author), Body(cells, head.wide), the layout of a
    // level made by the program's new-level writer (which always writes two-byte cells).
    static LevelBuilder Standard(const HeadSpec& head, const std::vector<std::uint16_t>& cells,
                                 const std::string& author = "");

    // Raw bytes.
    LevelBuilder& Append(const Bytes& bytes);
    LevelBuilder& Text(const std::string& text);  // every character one byte, no terminator
    LevelBuilder& U8(std::uint8_t v);
    LevelBuilder& U16(std::uint16_t v);
    LevelBuilder& U32(std::uint32_t v);
    LevelBuilder& Zeros(std::size_t n);
    // text cut or zero-padded to exactly n bytes
    LevelBuilder& Field(const std::string& text, std::size_t n);

    // An ordinary chunk: 4-character name, 4-byte size, data. The stated size defaults to the data's length.
    LevelBuilder& Chunk(const std::string& name, const Bytes& data);
    LevelBuilder& Chunk(const std::string& name, std::uint32_t statedSize, const Bytes& data);
    // An ordinary chunk whose data is an element code followed by zeros (CNT3, GRP1); dataSize >= 2.
    LevelBuilder& CodeChunk(const std::string& name, std::uint16_t code, std::uint32_t dataSize);
    // A chunk of zeros under the given name, sized so that the next part starts at offset
    // (which must be at least Size() + 8).
    LevelBuilder& PadTo(std::size_t offset, const std::string& name = "PADD");

    // "HEAD", the stated size 80, and 112 bytes of HEAD data.
    LevelBuilder& Head(const HeadSpec& head);
    // The 112 bytes of HEAD data alone (the header of a "1.0" cookie file).
    static Bytes HeadBytes(const HeadSpec& head);
    LevelBuilder& HeadData(const HeadSpec& head) { return Append(HeadBytes(head)); }
    // "AUTH", 32, the author zero-padded to 32 bytes.
    LevelBuilder& Auth(const std::string& author);
    // "BODY", the stated size (default: the length of the cell bytes), the cells.
    LevelBuilder& Body(const std::vector<std::uint16_t>& cells, bool wide,
                       std::optional<std::uint32_t> statedSize = std::nullopt);
    // The cells alone: one byte each (the low byte) or two bytes, high byte first.
    LevelBuilder& Cells(const std::vector<std::uint16_t>& cells, bool wide);
    // A custom element chunk of 104 + 48 * pages bytes: "CUS4", the record length 96 + 48 * pages (or
    // statedSize), the element code, the name zero-padded to 30 bytes, 10 zero bytes, the page count,
    // zeros to the end of the base block and the change pages.
    LevelBuilder& Cus4(std::uint16_t code, const std::string& name, std::uint8_t pages,
                       std::optional<std::uint32_t> statedSize = std::nullopt);

    // --- the newer layout (file version 3.0): entries of a key byte and a value ---
    // "RND1", 0, "CAVE", VERS with file version 3.0.0.0 and the given game version.
    static LevelBuilder Newer(std::uint32_t gameVersion = kNewerGameVersion);
    // "NAME" (or "AUTH"), 32, the text zero-padded to 32 bytes.
    LevelBuilder& Name(const std::string& title) { return Chunk("NAME", FieldBytes(title, 32)); }
    // "INFO", the entries' length, the entries.
    LevelBuilder& Info(const Bytes& entries) { return Chunk("INFO", entries); }
    // "CUSX", 2 + the entries' length, the element code, the entries.
    LevelBuilder& Cusx(std::uint16_t code, const Bytes& entries);
    // One entry of each size class: key 0x01..0x3F one byte, 0x41..0x7F two, 0x81..0xBF four,
    // 0xC1..0xFF a 16-bit count and the bytes.
    static Bytes E8(std::uint8_t key, std::uint8_t v) { return {key, v}; }
    static Bytes E16(std::uint8_t key, std::uint16_t v);
    static Bytes E32(std::uint8_t key, std::uint32_t v);
    static Bytes EBytes(std::uint8_t key, const Bytes& data);
    static Bytes EText(std::uint8_t key, const std::string& text) { return EBytes(key, Bytes(text.begin(), text.end())); }
    // The five entries the game always writes first: engine 1, width, height, time, gems.
    static Bytes InfoEntries(std::uint16_t width, std::uint16_t height, std::uint16_t time, std::uint16_t gems);
    static Bytes FieldBytes(const std::string& text, std::size_t n);

    // Overwrites bytes already written.
    LevelBuilder& PokeU8(std::size_t offset, std::uint8_t v);
    LevelBuilder& PokeU32(std::size_t offset, std::uint32_t v);

    std::size_t Size() const { return bytes_.size(); }
    const Bytes& Data() const { return bytes_; }
    std::string AsString() const { return std::string(bytes_.begin(), bytes_.end()); }

private:
    Bytes bytes_;
};

// Cell codes, row by row from the top, each row from the left, all different
// from their neighbours; one-byte codes below 256 unless wide.
std::vector<std::uint16_t> PatternCells(int width, int height, bool wide);
// Joins entries (or any byte strings) end to end.
Bytes Concat(std::initializer_list<Bytes> parts);
// The bytes of cells as a level stores them.
Bytes CellBytes(const std::vector<std::uint16_t>& cells, bool wide);

}  // namespace vantrel::test
