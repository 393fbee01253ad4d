// The index's cache file. Its layout (numbers big-endian):
//
//   0   8  "VANTRIDX"
//   8   4  the format's version (kIndexCacheVersion)
//   12  4  the number of entries
//   16  .. the entries, one after another
//   end-8  8  a checksum of every byte before it
//
// An entry: the path, size and time of change (the key), the state and
// layout (one byte each), the clean flag (one byte), the problem, version,
// title and author (texts: a 4-byte length and the bytes), width and height
// (2 bytes each), time and emeralds (4 bytes, signed), then its element
// counts (a 4-byte count, then code (2) and count (4) each), its custom
// elements (a 4-byte count, then number (2), name, a byte saying whether a
// graphic follows and the graphic (2)) and its findings (a 4-byte count,
// then offset (8, signed), note (1) and text). The levelset name and the
// number are not kept: the walk finds them again.
//
// A file that is not exactly such a file (another version, a length that
// runs past the end, bytes left over, another checksum) is damaged: it is
// never trusted, and the index is built again over it. A file that does not
// begin as a cache file does (a level, a text named by mistake) is no cache
// of ours: it is neither trusted nor replaced.
#pragma once

#include "archive/LevelIndex.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr char kIndexCacheMagic[] = "VANTRIDX";
inline constexpr std::uint32_t kIndexCacheVersion = 1;

std::vector<std::uint8_t> EncodeIndexCache(const std::vector<const IndexEntry*>& entries);
std::vector<std::uint8_t> EncodeIndexCache(const std::vector<IndexEntry>& entries);
// The entries of a cache file's bytes; nothing, and why in reason, when they are no such file.
std::optional<std::vector<IndexEntry>> DecodeIndexCache(const std::vector<std::uint8_t>& bytes, std::string& reason);

// The checksum of the cache's bytes.
std::uint64_t IndexChecksum(const std::uint8_t* bytes, std::size_t size);

// Reads the cache file at path. Nothing when there is none; nothing, and a
// notice that says why, when it is damaged or cannot be read.
std::optional<std::vector<IndexEntry>> ReadIndexCache(const std::string& path, std::vector<std::string>& notices);
// Writes the cache file whole (its folder made first); throws VantrelError
// when it cannot, and when the file there is no index cache (it is left as it is).
void WriteIndexCache(const std::string& path, const std::vector<const IndexEntry*>& entries);

// The notice of a damaged cache.
std::string DamagedCacheNotice(const std::string& path, const std::string& reason);
// The notice of a file at the cache's path that is no index cache.
std::string NoCacheFileNotice(const std::string& path);

}  // namespace vantrel
