#include "archive/IndexCache.h"

#include "base/Error.h"
#include "file/WholeFile.h"
#include "platform/Platform.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <new>
#include <stdexcept>

namespace vantrel {

namespace {

constexpr std::size_t kMagicLength = sizeof(kIndexCacheMagic) - 1;
constexpr std::size_t kHeaderLength = kMagicLength + 8;
constexpr std::size_t kChecksumLength = 8;

class Writer {
public:
    explicit Writer(std::vector<std::uint8_t>& out) : out_(out) {}
    void U8(std::uint8_t v) { out_.push_back(v); }
    void U16(std::uint16_t v) { Put(v, 2); }
    void U32(std::uint32_t v) { Put(v, 4); }
    void U64(std::uint64_t v) { Put(v, 8); }
    void Text(const std::string& s)
    {
        U32(static_cast<std::uint32_t>(s.size()));
        for (const char c : s) out_.push_back(static_cast<std::uint8_t>(c));
    }

private:
    void Put(std::uint64_t v, int n)
    {
        for (int i = n - 1; i >= 0; --i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    std::vector<std::uint8_t>& out_;
};

// Reads inside [p, end) only; the first read past the end marks the reader failed.
class Reader {
public:
    Reader(const std::uint8_t* p, const std::uint8_t* end) : p_(p), end_(end) {}
    bool Failed() const { return failed_; }
    bool AtEnd() const { return p_ == end_; }
    std::uint8_t U8() { return static_cast<std::uint8_t>(Get(1)); }
    std::uint16_t U16() { return static_cast<std::uint16_t>(Get(2)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Get(4)); }
    std::uint64_t U64() { return Get(8); }
    bool Text(std::string& s)
    {
        const std::uint32_t n = U32();
        if (!Have(n)) return false;
        s.assign(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        return true;
    }
    // A count of items each at least minBytes long: no more than the bytes left can hold.
    bool Count(std::uint32_t& n, std::size_t minBytes)
    {
        n = U32();
        if (!failed_ && n > static_cast<std::size_t>(end_ - p_) / minBytes) failed_ = true;
        return !failed_;
    }

private:
    bool Have(std::size_t n)
    {
        if (failed_ || static_cast<std::size_t>(end_ - p_) < n) failed_ = true;
        return !failed_;
    }
    std::uint64_t Get(int n)
    {
        if (!Have(static_cast<std::size_t>(n))) return 0;
        std::uint64_t v = 0;
        for (int i = 0; i < n; ++i) v = v << 8 | p_[i];
        p_ += n;
        return v;
    }
    const std::uint8_t* p_;
    const std::uint8_t* end_;
    bool failed_ = false;
};

void EncodeEntry(Writer& w, const IndexEntry& e)
{
    w.Text(e.Path);
    w.U64(static_cast<std::uint64_t>(e.FileSize));
    w.U64(static_cast<std::uint64_t>(e.ModTime));
    w.U8(static_cast<std::uint8_t>(e.State));
    w.U8(static_cast<std::uint8_t>(e.Layout));
    w.U8(e.Clean ? 1 : 0);
    w.Text(e.Problem);
    w.Text(e.Version);
    w.Text(e.Title);
    w.Text(e.Author);
    w.U16(static_cast<std::uint16_t>(e.Width));
    w.U16(static_cast<std::uint16_t>(e.Height));
    w.U32(static_cast<std::uint32_t>(e.Time));
    w.U32(static_cast<std::uint32_t>(e.Emeralds));
    w.U32(static_cast<std::uint32_t>(e.Elements.size()));
    for (const ElementCount& c : e.Elements) {
        w.U16(c.Code);
        w.U32(c.Count);
    }
    w.U32(static_cast<std::uint32_t>(e.Ces.size()));
    for (const IndexedCe& ce : e.Ces) {
        w.U16(static_cast<std::uint16_t>(ce.Number));
        w.Text(ce.Name);
        w.U8(ce.Graphic ? 1 : 0);
        w.U16(ce.Graphic.value_or(0));
    }
    w.U32(static_cast<std::uint32_t>(e.Findings.size()));
    for (const IndexedFinding& f : e.Findings) {
        w.U64(static_cast<std::uint64_t>(f.Offset));
        w.U8(f.Note ? 1 : 0);
        w.Text(f.Text);
    }
}

bool DecodeEntry(Reader& r, IndexEntry& e, std::string& reason)
{
    if (!r.Text(e.Path)) return false;
    e.FileSize = static_cast<std::int64_t>(r.U64());
    e.ModTime = static_cast<std::int64_t>(r.U64());
    const std::uint8_t state = r.U8(), layout = r.U8(), clean = r.U8();
    if (state > static_cast<std::uint8_t>(IndexState::Unreadable) ||
        layout > static_cast<std::uint8_t>(LevelLayout::Newer) || clean > 1) {
        reason = "an entry holds a value no index writes";
        return false;
    }
    e.State = static_cast<IndexState>(state);
    e.Layout = static_cast<LevelLayout>(layout);
    e.Clean = clean == 1;
    if (!r.Text(e.Problem) || !r.Text(e.Version) || !r.Text(e.Title) || !r.Text(e.Author)) return false;
    e.Width = r.U16();
    e.Height = r.U16();
    e.Time = static_cast<std::int32_t>(r.U32());
    e.Emeralds = static_cast<std::int32_t>(r.U32());
    std::uint32_t n = 0;
    if (!r.Count(n, 6)) return false;
    e.Elements.resize(n);
    for (ElementCount& c : e.Elements) {
        c.Code = r.U16();
        c.Count = r.U32();
    }
    if (!r.Count(n, 9)) return false;
    e.Ces.resize(n);
    for (IndexedCe& ce : e.Ces) {
        ce.Number = r.U16();
        if (!r.Text(ce.Name)) return false;
        const std::uint8_t has = r.U8();
        const std::uint16_t graphic = r.U16();
        if (has > 1) {
            reason = "an entry holds a value no index writes";
            return false;
        }
        if (has) ce.Graphic = graphic;
    }
    if (!r.Count(n, 13)) return false;
    e.Findings.resize(n);
    for (IndexedFinding& f : e.Findings) {
        f.Offset = static_cast<std::int64_t>(r.U64());
        const std::uint8_t note = r.U8();
        if (note > 1) {
            reason = "an entry holds a value no index writes";
            return false;
        }
        f.Note = note == 1;
        if (!r.Text(f.Text)) return false;
    }
    return !r.Failed();
}

// Whether the bytes begin as a cache file does (an empty file and one cut
// within its magic included): a file that does not is no cache of ours.
bool BeginsAsCache(const std::uint8_t* bytes, std::size_t size)
{
    return std::memcmp(bytes, kIndexCacheMagic, std::min(size, kMagicLength)) == 0;
}

// Opens what lies at the cache's path without waiting on a named pipe; its
// kind in info. Failure::NotFound when nothing is there.
platform::Outcome OpenCache(const std::string& path, platform::File& file, platform::FileInfo& info)
{
    platform::OpenHow how;
    how.NoWait = true;
    platform::Outcome opened = platform::Open(path, how, file);
    if (opened.Ok()) opened = platform::Look(file, info);
    return opened;
}

}  // namespace

std::uint64_t IndexChecksum(const std::uint8_t* bytes, std::size_t size)
{
    // Eight bytes a step, each word mixed in by a multiply and a shift.
    std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ size;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t w = 0;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&w, bytes + i, 8);
        } else {
            for (int k = 0; k < 8; ++k) w |= static_cast<std::uint64_t>(bytes[i + k]) << (8 * k);
        }
        h = (h ^ w) * 0xFF51AFD7ED558CCDULL;
        h ^= h >> 32;
    }
    for (; i < size; ++i) {
        h = (h ^ bytes[i]) * 0xC4CEB9FE1A85EC53ULL;
        h ^= h >> 29;
    }
    return h;
}

std::vector<std::uint8_t> EncodeIndexCache(const std::vector<IndexEntry>& entries)
{
    std::vector<const IndexEntry*> all;
    all.reserve(entries.size());
    for (const IndexEntry& e : entries) all.push_back(&e);
    return EncodeIndexCache(all);
}

std::vector<std::uint8_t> EncodeIndexCache(const std::vector<const IndexEntry*>& entries)
{
    std::vector<std::uint8_t> out;
    out.reserve(kHeaderLength + kChecksumLength + entries.size() * 256);
    Writer w(out);
    for (std::size_t i = 0; i < kMagicLength; ++i) w.U8(static_cast<std::uint8_t>(kIndexCacheMagic[i]));
    w.U32(kIndexCacheVersion);
    w.U32(static_cast<std::uint32_t>(entries.size()));
    for (const IndexEntry* e : entries) EncodeEntry(w, *e);
    w.U64(IndexChecksum(out.data(), out.size()));
    return out;
}

std::optional<std::vector<IndexEntry>> DecodeIndexCache(const std::vector<std::uint8_t>& bytes, std::string& reason)
{
    if (bytes.size() < kHeaderLength + kChecksumLength ||
        std::memcmp(bytes.data(), kIndexCacheMagic, kMagicLength) != 0) {
        reason = "it is no index cache";
        return std::nullopt;
    }
    const std::uint8_t* end = bytes.data() + bytes.size() - kChecksumLength;
    Reader tail(end, end + kChecksumLength);
    if (tail.U64() != IndexChecksum(bytes.data(), bytes.size() - kChecksumLength)) {
        reason = "its checksum does not match its bytes";
        return std::nullopt;
    }
    Reader r(bytes.data() + kMagicLength, end);
    const std::uint32_t version = r.U32();
    if (version != kIndexCacheVersion) {
        reason = "it is of another version (" + std::to_string(version) + ")";
        return std::nullopt;
    }
    std::uint32_t count = 0;
    std::vector<IndexEntry> entries;
    if (r.Count(count, 63)) {
        entries.resize(count);
        for (IndexEntry& e : entries) {
            if (!DecodeEntry(r, e, reason)) break;
        }
    }
    if (!reason.empty()) return std::nullopt;
    if (r.Failed()) {
        reason = "an entry runs past its end";
        return std::nullopt;
    }
    if (!r.AtEnd()) {
        reason = "bytes follow its last entry";
        return std::nullopt;
    }
    return entries;
}

std::string DamagedCacheNotice(const std::string& path, const std::string& reason)
{
    return "The index cache " + path + " is damaged (" + reason + "): every level is read again.";
}

std::string NoCacheFileNotice(const std::string& path)
{
    return "The index cache " + path + " is no index cache file: it is left as it is, every level is read and no "
                                       "cache is kept.";
}

std::optional<std::vector<IndexEntry>> ReadIndexCache(const std::string& path, std::vector<std::string>& notices)
{
    platform::File file;
    platform::FileInfo info;
    const platform::Outcome opened = OpenCache(path, file, info);
    if (opened.Why == platform::Failure::NotFound) return std::nullopt;
    if (opened.Ok() && info.Type != platform::Kind::Regular) {
        notices.push_back(NoCacheFileNotice(path));
        return std::nullopt;
    }
    // Its start first: a file of another kind (of any size) is never read whole.
    std::uint8_t start[kMagicLength] = {};
    std::size_t got = 0;
    bool read = opened.Ok() && platform::ReadAt(file, 0, start, kMagicLength, got).Ok();
    if (read && !BeginsAsCache(start, got)) {
        notices.push_back(NoCacheFileNotice(path));
        return std::nullopt;
    }
    // Then whole in one call, at the size the file has (a size no memory holds: not read).
    std::vector<std::uint8_t> bytes;
    if (read) {
        try {
            bytes.resize(static_cast<std::size_t>(info.Size));
            read = platform::ReadAt(file, 0, bytes.data(), bytes.size(), got).Ok();
            bytes.resize(got);
        } catch (const std::bad_alloc&) {
            read = false;
        } catch (const std::length_error&) {
            read = false;
        }
    }
    if (!read) {
        notices.push_back("The index cache " + path + " cannot be read: every level is read again.");
        return std::nullopt;
    }
    std::string reason;
    std::optional<std::vector<IndexEntry>> entries = DecodeIndexCache(bytes, reason);
    if (!entries) notices.push_back(DamagedCacheNotice(path, reason));
    return entries;
}

void WriteIndexCache(const std::string& path, const std::vector<const IndexEntry*>& entries)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code ec;
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    if (ec) throw VantrelError("The folder of the index cache cannot be made (" + ec.message() + "): " + folder.string());
    // Never over what is no cache of ours: a file of another kind, or one that begins otherwise.
    platform::File file;
    platform::FileInfo info;
    if (OpenCache(path, file, info).Ok()) {
        std::uint8_t start[kMagicLength] = {};
        std::size_t got = 0;
        if (info.Type != platform::Kind::Regular || !platform::ReadAt(file, 0, start, kMagicLength, got).Ok() ||
            !BeginsAsCache(start, got))
            throw VantrelError(NoCacheFileNotice(path));
        platform::Close(file);
    }
    WriteWholeFile(path, EncodeIndexCache(entries));
}

}  // namespace vantrel
