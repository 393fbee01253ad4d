// Thumbnails: the cell size that fits a map into the box, the pixels drawn
// (the level view's tiles, custom elements as their records say), the
// maker's workers, and the contact sheet with its text.
#include "archive/Thumbnails.h"
#include "base/ElementTable.h"
#include "support/LevelBuilder.h"
#include "support/TempDir.h"
#include "view/TileAtlas.h"
#include "view/Tiles.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>

namespace vantrel {
namespace {

using LB = test::LevelBuilder;

TEST(ThumbnailTest, FitsTheMapIntoTheBox)
{
    struct Row {
        int width, height, cell;
    };
    const Row rows[] = {{64, 32, 2}, {40, 20, 3}, {128, 128, 1}, {10, 10, 12}, {4, 4, 16}, {200, 1, 1}, {0, 5, 1},
                        {128, 30, 1}, {30, 128, 1}, {43, 42, 2}};
    for (const Row& row : rows)
        EXPECT_EQ(ThumbnailCellSize(row.width, row.height), row.cell) << row.width << "x" << row.height;
}

// Whether the picture's cell (x, y) of size pixels shows the tile of code in tiles.
bool ShowsTile(const Picture& p, int x, int y, const SizedAtlas& tiles, std::uint16_t code)
{
    const int s = tiles.Size();
    const Rgb* tile = tiles.TilePixels(code);
    for (int r = 0; r < s; ++r)
        for (int c = 0; c < s; ++c)
            if (p.At(x * s + c, y * s + r) != tile[r * s + c]) return false;
    return true;
}

TEST(ThumbnailTest, DrawsEveryCellWithTheViewsTiles)
{
    test::TempDir dir;
    // 64 x 32 cells of two bytes: 2 pixels a cell.
    std::vector<std::uint16_t> cells(64 * 32, 1);
    cells[0] = 6;
    cells[64 * 32 - 1] = 361;  // custom element 2, drawn as its CUS4 record says
    LB level = LB::Rnd1().Head({.width = 64, .height = 32, .title = "Wide", .wide = true}).Body(cells, true);
    level.Cus4(361, "Looks like a rock", 1);
    const std::size_t record = level.Size() - 152 + 8;  // one change page: 104 + 48 bytes
    level.PokeU8(record + 48, 1).PokeU8(record + 49, 0).PokeU8(record + 50, 4);  // use the graphic of a rock
    const std::string path = dir.Write("wide.level", level.Data());
    IndexEntry entry;
    const Picture p = LevelThumbnail(path, kThumbnailBox, &entry);
    ASSERT_EQ(entry.State, IndexState::Level) << entry.Problem;
    EXPECT_EQ(entry.Ces, (std::vector<IndexedCe>{{2, "Looks like a rock", 4}}));
    ASSERT_EQ(p.Width(), 128);
    ASSERT_EQ(p.Height(), 64);
    const SizedAtlas plain(BuiltInAtlas(), 2);
    EXPECT_TRUE(ShowsTile(p, 0, 0, plain, 6));
    EXPECT_TRUE(ShowsTile(p, 1, 0, plain, 1));
    CeGraphics looks;
    looks[1] = 4;
    EXPECT_TRUE(ShowsTile(p, 63, 31, SizedAtlas(BuiltInAtlas(), 2, looks), 361));
    EXPECT_FALSE(ShowsTile(p, 63, 31, plain, 361));
}

TEST(ThumbnailTest, GivesNoPictureForWhatIsNoLevel)
{
    test::TempDir dir;
    const std::string text = dir.Write("a.level", std::string("no level"));
    IndexEntry entry;
    EXPECT_TRUE(LevelThumbnail(text, kThumbnailBox, &entry).Empty());
    EXPECT_EQ(entry.State, IndexState::NotLevel);
    EXPECT_TRUE(LevelThumbnail((dir.Path() / "missing.level").string(), kThumbnailBox, &entry).Empty());
    EXPECT_EQ(entry.State, IndexState::Unreadable);
}

TEST(ThumbnailTest, MakerHandsBackEachPathOnce)
{
    test::TempDir dir;
    std::vector<std::string> paths;
    for (int i = 1; i <= 5; ++i)
        paths.push_back(dir.Write(std::to_string(i) + ".level",
                                  LB::Standard({.width = static_cast<std::uint8_t>(i), .height = 1}, std::vector<std::uint16_t>(i, 2)).Data()));
    std::mutex mutex;
    std::map<std::string, int> widths, calls;
    {
        ThumbnailMaker maker([&](const std::string& path, Picture picture) {
            std::lock_guard<std::mutex> lock(mutex);
            widths[path] = picture.Width();
            ++calls[path];
        });
        for (const std::string& p : paths) maker.Request(p);
        maker.Request(paths[0]);
        maker.Wait();
    }
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(widths[paths[i - 1]], i * 16) << i;  // a cell is never drawn larger than its tile
        EXPECT_LE(calls[paths[i - 1]], i == 1 ? 2 : 1);
    }
}

TEST(ThumbnailTest, WritesTextWithTheCharacterTiles)
{
    Picture p(40, 16, kWhite);
    EXPECT_EQ(DrawTileText(p, 0, 0, "Ab?xyz", 16, 2), 32);
    EXPECT_TRUE(ShowsTile(p, 0, 0, PlainAtlas(), *ElementOfCharacter('A')));
    EXPECT_TRUE(ShowsTile(p, 1, 0, PlainAtlas(), *ElementOfCharacter('B')));
    EXPECT_EQ(p.At(39, 15), kWhite);  // nothing past maxChars
}

TEST(ThumbnailTest, LaysOutTheContactSheet)
{
    Picture thumb(20, 10, 0xFF112233);
    const Picture sheet = ContactSheet({{"001", "First", thumb}, {"002", "", {}}, {"003", "Third", thumb}}, 2);
    EXPECT_EQ(sheet.Width(), 8 + 2 * (128 + 8));
    EXPECT_EQ(sheet.Height(), 8 + 2 * (128 + 4 + 30 + 8));
    EXPECT_EQ(sheet.At(0, 0), kWhite);
    EXPECT_EQ(sheet.At(8 + 54, 8 + 59), 0xFF112233u);  // centred: (128 - 20) / 2 and (128 - 10) / 2
    EXPECT_EQ(sheet.At(8 + 53, 8 + 59), kWhite);
    EXPECT_EQ(sheet.At(8 + 136, 8), 0xFF909090u);  // no picture: a grey box crossed from its corner
    EXPECT_EQ(sheet.At(8 + 136 + 1, 8), 0xFFE0E0E0u);
    EXPECT_EQ(sheet.At(8 + 127, 8 + 128 + 4 + 29), 0xFF000000u);  // the label's ground
}

}  // namespace
}  // namespace vantrel
