// The load the index and the thumbnails make of a level's bytes: the
// loader's own, over the bytes in memory, with nothing written and no
// backup made.
#pragma once

#include "archive/LevelIndex.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantrel {

class OpenLevel;

// Loads bytes as the level at path and fills e's state, problem and what
// the load read (layout, version, title, author, size, time, emeralds,
// element counts, custom elements). When the load completed, use sees the
// loaded level before its file is closed.
void LoadIndexedLevel(const std::string& path, std::vector<std::uint8_t> bytes, IndexEntry& e,
                      const std::function<void(const OpenLevel&)>& use);

}  // namespace vantrel
