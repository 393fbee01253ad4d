// A level from a forum post. Players post levels as a "Level Sketch": one
// small image per map cell, each named after the element code it shows
// ([img]PREFIX006.gif[/img] shows code 6). The user pastes the quoted post;
// the parser reads the author and title from the quote's header and turns
// every line of images into a row of cells, and the command writes a new
// level file from it. Level Sketch text as the level view copies it (a
// backquote and the code per cell, "`001`006`001") is read the same way.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

class SettingsStore;

// The address before an element image's name. The only place it is written.
inline constexpr char kDefaultImagePrefix[] = "http://forum.artsoft.org/I/";
// The setting that replaces it.
inline constexpr char kImagePrefixSetting[] = "imageprefix";

inline constexpr char kNoSizeMessage[] =
    "No width or height detected, are you sure there is some Level Sketch images included in the post?";
inline constexpr char kNotRectangularMessage[] = "TOO LARGE, NOT RECTANGULAR!";
inline constexpr char kLevelSavedMessage[] = "Level saved to:";
// The largest width and height a level made from a post may have.
inline constexpr int kMaxQuoteLevelSize = 128;

// The "imageprefix" setting, or the default address when it is not set.
std::string ImagePrefix(SettingsStore& settings);

// The lines of a text; lines end at CR LF, LF or a lone CR, and a line
// break at the very end makes no empty line.
std::vector<std::string> SplitPostLines(const std::string& text);

// A line made only of Level Sketch tokens (a backquote and three or more
// digits each), blanks and tabs at its ends aside.
bool IsLevelSketchLine(const std::string& line);

// The emeralds one cell of code counts towards the emeralds to collect.
int QuoteEmeraldWeight(std::uint16_t code);

struct QuoteLevel {
    std::string Author;  // at most 32 characters
    std::string Title;   // at most 32 characters
    int Width = 0;       // the most images in one row
    int Height = 0;      // the rows: lines holding at least one element image
    int ElementCount = 0;
    long Emeralds = 0;   // the sum of the weights of every element image
    int FilledRows = 0;  // rows shorter than Width, filled with empty space at their end
    std::vector<std::uint16_t> Cells;  // Width x Height codes, row by row; none above the largest size
};

// Reads a pasted post. Every image tag in a row is a cell: one that names
// no element (not three digits) is empty space in its place.
QuoteLevel ParseQuotePost(const std::string& post, const std::string& imagePrefix);

// The text the user is told after a level was saved at path.
std::string LevelSavedMessage(const std::string& path, const QuoteLevel& level);

// What Make Level From Quote did: the new level's path, or nothing; and what
// the window says: where the level was saved (LevelSavedMessage) or why no
// level was written.
struct QuoteLevelResult {
    std::optional<std::string> Path;
    std::string Message;
};

// Make Level From Quote over a parsed post: refuses when the post holds no
// level, or writes the new level into the directory outputDir() gives
// (asked for only when the post holds a level; "000.level" in fallbackDir
// when that directory is missing). Failures to write throw VantrelError; no
// partial file stays.
QuoteLevelResult MakeLevelFromQuote(const std::string& post, const std::function<std::string()>& outputDir,
                                    const std::string& fallbackDir,
                                    const std::string& imagePrefix = kDefaultImagePrefix);

QuoteLevelResult MakeLevelFromQuote(const std::string& post, const std::string& outputDir,
                                    const std::string& fallbackDir,
                                    const std::string& imagePrefix = kDefaultImagePrefix);

}  // namespace vantrel
