// The index as text: one line a level for people, and one JSON object a
// level (JSON Lines) with every field for scripts.
#pragma once

#include "archive/LevelIndex.h"

#include <string>

namespace vantrel {

// "PATH: LEVELSET 1 "TITLE" by AUTHOR, 40x20, RND1 0200000003000803, time
// 100, emeralds 5, 12 elements, 3 CEs, clean"; for a file that is no level
// "PATH: not a level: why" (or "damaged: ", "unreadable: "). Texts are the
// file's bytes, but for control bytes (a line break or an escape in a
// damaged title), which are written as "?": a level is one line, and what
// the line says never steers the terminal.
std::string IndexLine(const IndexEntry& e);
// The same line put at the end of out.
void AppendIndexLine(std::string& out, const IndexEntry& e);

// One JSON object on one line: path, levelset, number, state, problem,
// layout, version, title, author, width, height, time, emeralds, bytes,
// modified (seconds since 1970, UTC), elements (code, name, count), ces
// (number, name, graphic or null), findings (offset, text, note), clean.
// Texts of the level are Latin-1 and written as UTF-8; a path that is no
// UTF-8 is taken as Latin-1 too.
std::string IndexJson(const IndexEntry& e);

// The time of change as seconds since 1970 (UTC).
long long ModifiedSeconds(const IndexEntry& e);

}  // namespace vantrel
