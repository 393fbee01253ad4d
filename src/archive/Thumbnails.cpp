#include "archive/Thumbnails.h"

#include "archive/LevelLoad.h"
#include "base/ElementTable.h"
#include "ce/CeGraphics.h"
#include "file/ByteFile.h"
#include "level/OpenLevel.h"
#include "view/TileAtlas.h"
#include "view/Tiles.h"

#include <algorithm>
#include <array>
#include <memory>

namespace vantrel {

namespace {

constexpr int kMaxThumbnailCell = kTileSize;
constexpr Rgb kEmptyBoxGround = 0xFFE0E0E0;
constexpr Rgb kEmptyBoxMark = 0xFF909090;
constexpr Rgb kLabelGround = 0xFF000000;
constexpr int kSheetText = 8;     // pixels a character on the contact sheet
constexpr int kSheetMargin = 8;   // around the sheet and between the cells
constexpr int kTitleLines = 2;

// The tiles at size pixels with every custom element drawn with its number,
// made once a size and shared by every thread.
const SizedAtlas& PlainAtlasAt(int size)
{
    static std::array<std::once_flag, kMaxThumbnailCell + 1> once;
    static std::array<std::unique_ptr<SizedAtlas>, kMaxThumbnailCell + 1> sets;
    size = std::clamp(size, 1, kMaxThumbnailCell);
    std::call_once(once[static_cast<std::size_t>(size)],
                   [size] { sets[static_cast<std::size_t>(size)] = std::make_unique<SizedAtlas>(BuiltInAtlas(), size); });
    return *sets[static_cast<std::size_t>(size)];
}

PixelTarget TargetOf(Picture& picture)
{
    return {picture.Line(0), picture.Width(), picture.Height(), picture.Width()};
}

void Fill(Picture& picture, int left, int top, int width, int height, Rgb rgb)
{
    for (int y = std::max(0, top); y < std::min(picture.Height(), top + height); ++y)
        for (int x = std::max(0, left); x < std::min(picture.Width(), left + width); ++x) picture.Set(x, y, rgb);
}

// A grey box crossed from corner to corner: a level without a picture.
void DrawEmptyBox(Picture& picture, int left, int top, int side)
{
    Fill(picture, left, top, side, side, kEmptyBoxGround);
    for (int i = 0; i < side; ++i) {
        picture.Set(left + i, top + i, kEmptyBoxMark);
        picture.Set(left + side - 1 - i, top + i, kEmptyBoxMark);
    }
}

// The text broken into at most lines lines of at most width characters, at blanks where it can be.
std::vector<std::string> WrapText(const std::string& text, std::size_t width, int lines)
{
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < text.size() && static_cast<int>(out.size()) < lines) {
        while (i < text.size() && text[i] == ' ') ++i;
        std::size_t end = std::min(text.size(), i + width);
        if (end < text.size() && text[end] != ' ') {
            const std::size_t blank = text.rfind(' ', end);
            if (blank != std::string::npos && blank > i) end = blank;
        }
        if (end > i) out.push_back(text.substr(i, end - i));
        i = end;
    }
    return out;
}

}  // namespace

int ThumbnailCellSize(int width, int height, int box)
{
    if (width <= 0 || height <= 0) return 1;
    return std::clamp(std::min(box / width, box / height), 1, kMaxThumbnailCell);
}

Picture ThumbnailOf(const OpenLevel& lvl, int box)
{
    const int width = std::min(lvl.MapWidth(), lvl.Grid().Width());
    const int height = std::min(lvl.MapHeight(), lvl.Grid().Height());
    if (width <= 0 || height <= 0) return {};
    const int cell = ThumbnailCellSize(width, height, box);
    const CeGraphics looks = CeGraphicsOf(lvl);
    const bool own = std::any_of(looks.begin(), looks.end(), [](const auto& g) { return g.has_value(); });
    std::unique_ptr<SizedAtlas> ownTiles;
    if (own) ownTiles = std::make_unique<SizedAtlas>(BuiltInAtlas(), cell, looks);
    const SizedAtlas& tiles = own ? *ownTiles : PlainAtlasAt(cell);
    Picture picture(width * cell, height * cell);
    DrawMapCells(TargetOf(picture), {0, 0}, tiles, lvl.Grid(), 1, 1, width, height);
    return picture;
}

Picture LevelThumbnail(const std::string& path, int box, IndexEntry* entry)
{
    IndexEntry e;
    Picture picture;
    try {
        std::vector<std::uint8_t> bytes = ReadFileToEnd(path);
        if (static_cast<std::int64_t>(bytes.size()) > kMaxLevelFileSize) {
            e.State = IndexState::NotLevel;
        } else {
            LoadIndexedLevel(path, std::move(bytes), e, [&](const OpenLevel& lvl) { picture = ThumbnailOf(lvl, box); });
        }
    } catch (const std::exception& error) {
        e.State = IndexState::Unreadable;
        e.Problem = error.what();
    }
    if (entry) {
        e.Path = path;
        *entry = std::move(e);
    }
    return picture;
}

ThumbnailMaker::ThumbnailMaker(Done done, int box, unsigned threads) : done_(std::move(done)), box_(box)
{
    const unsigned n = threads != 0 ? threads : std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < n; ++i) workers_.emplace_back([this] { Work(); });
}

ThumbnailMaker::~ThumbnailMaker()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        pending_.clear();
    }
    wake_.notify_all();
    for (std::thread& t : workers_) t.join();
}

void ThumbnailMaker::Request(const std::string& path)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const std::uint64_t ticket = ++tickets_;
        latest_[path] = ticket;
        pending_.push_front({path, ticket});
    }
    wake_.notify_one();
}

void ThumbnailMaker::DropPending()
{
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.clear();
    latest_.clear();
    if (busy_ == 0) idle_.notify_all();
}

void ThumbnailMaker::Wait()
{
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return pending_.empty() && busy_ == 0; });
}

void ThumbnailMaker::Work()
{
    for (;;) {
        std::string path;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            for (;;) {
                wake_.wait(lock, [this] { return stop_ || !pending_.empty(); });
                if (stop_) return;
                Pending next = std::move(pending_.front());
                pending_.pop_front();
                // A path asked for again before it was begun is made once, where it was asked for last.
                const auto it = latest_.find(next.Path);
                if (it != latest_.end() && it->second == next.Ticket) {
                    latest_.erase(it);
                    path = std::move(next.Path);
                    break;
                }
                if (pending_.empty() && busy_ == 0) idle_.notify_all();
            }
            ++busy_;
        }
        Picture picture = LevelThumbnail(path, box_);
        done_(path, std::move(picture));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            --busy_;
            if (pending_.empty() && busy_ == 0) idle_.notify_all();
        }
    }
}

int DrawTileText(Picture& picture, int x, int y, const std::string& text, int size, int maxChars)
{
    const SizedAtlas& tiles = PlainAtlasAt(size);
    const PixelTarget target = TargetOf(picture);
    int n = 0;
    for (const char c : text) {
        if (n >= maxChars) break;
        auto ch = static_cast<unsigned char>(c);
        std::optional<std::uint16_t> code = ElementOfCharacter(ch);
        if (!code && ch >= 'a' && ch <= 'z') code = ElementOfCharacter(static_cast<unsigned char>(ch - 'a' + 'A'));
        if (code) DrawTile(target, {x + n * size, y}, tiles, *code);
        ++n;
    }
    return n * size;
}

Picture ContactSheet(const std::vector<SheetLevel>& levels, int columns)
{
    columns = std::max(1, std::min<int>(columns, std::max<std::size_t>(1, levels.size())));
    const int rows = static_cast<int>((levels.size() + static_cast<std::size_t>(columns) - 1) / columns);
    const int cellWidth = kThumbnailBox;
    const int textHeight = (1 + kTitleLines) * (kSheetText + 2);
    const int cellHeight = kThumbnailBox + 4 + textHeight;
    Picture sheet(kSheetMargin + columns * (cellWidth + kSheetMargin), kSheetMargin + rows * (cellHeight + kSheetMargin));
    const std::size_t charsPerLine = static_cast<std::size_t>(cellWidth / kSheetText);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const SheetLevel& level = levels[i];
        const int left = kSheetMargin + static_cast<int>(i % static_cast<std::size_t>(columns)) * (cellWidth + kSheetMargin);
        const int top = kSheetMargin + static_cast<int>(i / static_cast<std::size_t>(columns)) * (cellHeight + kSheetMargin);
        const Picture& thumb = level.Thumbnail;
        if (thumb.Empty()) {
            DrawEmptyBox(sheet, left, top, kThumbnailBox);
        } else {
            const int x0 = left + (kThumbnailBox - thumb.Width()) / 2, y0 = top + (kThumbnailBox - thumb.Height()) / 2;
            for (int y = 0; y < thumb.Height() && y0 + y < sheet.Height(); ++y)
                for (int x = 0; x < thumb.Width() && x0 + x < sheet.Width(); ++x) sheet.Set(x0 + x, y0 + y, thumb.At(x, y));
        }
        const int textTop = top + kThumbnailBox + 4;
        Fill(sheet, left, textTop, cellWidth, textHeight, kLabelGround);
        DrawTileText(sheet, left + 1, textTop + 1, level.Label, kSheetText, static_cast<int>(charsPerLine));
        const std::vector<std::string> lines = WrapText(level.Title, charsPerLine, kTitleLines);
        for (std::size_t l = 0; l < lines.size(); ++l)
            DrawTileText(sheet, left + 1, textTop + 1 + static_cast<int>(l + 1) * (kSheetText + 2), lines[l], kSheetText,
                         static_cast<int>(charsPerLine));
    }
    return sheet;
}

}  // namespace vantrel
