// Levels drawn small: a thumbnail is the whole map drawn with the level
// view's tiles at the cell size that fits it into a square, each custom
// element as the level says it looks. Made on every core by a
// ThumbnailMaker, which hands each picture back as it is done; and a
// contact sheet of a levelset, its levels' thumbnails side by side with
// their numbers and titles.
#pragma once

#include "archive/LevelIndex.h"
#include "view/Picture.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace vantrel {

class OpenLevel;

// The side of the square a thumbnail fits in, in pixels.
inline constexpr int kThumbnailBox = 128;

// The pixels a cell takes in the thumbnail of a width x height map: as many
// as fit the box, 1 at least, 16 (the tiles' own size) at most.
int ThumbnailCellSize(int width, int height, int box = kThumbnailBox);

// The thumbnail of a loaded level (an empty picture for a level without cells).
Picture ThumbnailOf(const OpenLevel& lvl, int box = kThumbnailBox);

// A level file's thumbnail; an empty picture when it is no level, has no
// map or cannot be read. entry (when given) gets what the index says of it.
Picture LevelThumbnail(const std::string& path, int box = kThumbnailBox, IndexEntry* entry = nullptr);

// Makes thumbnails on worker threads, newest request first, and hands each
// to done on the worker's thread. Destroying it waits for the pictures
// being made and drops those not begun.
class ThumbnailMaker {
public:
    using Done = std::function<void(const std::string& path, Picture picture)>;
    explicit ThumbnailMaker(Done done, int box = kThumbnailBox, unsigned threads = 0);
    ~ThumbnailMaker();
    ThumbnailMaker(const ThumbnailMaker&) = delete;
    ThumbnailMaker& operator=(const ThumbnailMaker&) = delete;

    // Asks for path's thumbnail; a path asked for already and not begun moves to the front.
    void Request(const std::string& path);
    // Drops every request not begun.
    void DropPending();
    // Waits until every request is done (for tests and benchmarks).
    void Wait();

private:
    void Work();

    Done done_;
    int box_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    struct Pending {
        std::string Path;
        std::uint64_t Ticket = 0;
    };
    std::deque<Pending> pending_;
    std::unordered_map<std::string, std::uint64_t> latest_;  // the ticket of each path's last request
    std::uint64_t tickets_ = 0;
    int busy_ = 0;
    bool stop_ = false;
    std::vector<std::thread> workers_;
};

// One level of a contact sheet.
struct SheetLevel {
    std::string Label;  // its number, "042"
    std::string Title;
    Picture Thumbnail;  // empty: drawn as a crossed box
};

// The contact sheet: the levels in rows of columns cells, each its
// thumbnail centred in a box of kThumbnailBox pixels with its label and its
// title under it, written with the atlas's character tiles; a white ground.
Picture ContactSheet(const std::vector<SheetLevel>& levels, int columns = 6);

// Writes text with the atlas's character tiles at size pixels a character
// (characters without a tile as blanks; lower case as upper case), from
// pixel (x, y), at most maxChars characters; returns the width written.
int DrawTileText(Picture& picture, int x, int y, const std::string& text, int size, int maxChars);

}  // namespace vantrel
