// The level loader on level files written byte by byte: every format, every
// chunk the scan knows, unknown chunks and stray bytes, files it refuses,
// files it cannot open, scan faults, the backup and the file handles.
// Each case compares the whole load log.
#include "level/Loader.h"
#include "tell/Tell.h"
#include "view/ViewGeometry.h"

#include "base/Error.h"
#include "support/LevelBuilder.h"
#include "support/LoadRun.h"
#include "support/Lines.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {
namespace {

using test::Bytes;
using test::HeadSpec;
using test::LevelBuilder;
using test::Line;
using test::PatternCells;
using test::StartsWith;

constexpr char kReject[] = "Error: Can not open file\nNot a Rocks'n'Diamonds level, or unknown file version.";
constexpr char kNoMap[] = "no map (BODY chunk)";

using test::LoadRun;

::testing::AssertionResult GridHolds(const OpenLevel& lvl, int width, int height,
                                     const std::vector<std::uint16_t>& cells)
{
    if (lvl.MapWidth() != width || lvl.MapHeight() != height)
        return ::testing::AssertionFailure() << "map is " << int(lvl.MapWidth()) << "x" << int(lvl.MapHeight());
    for (int y = 1; y <= height; ++y)
        for (int x = 1; x <= width; ++x)
            if (lvl.Grid().At(x, y) != cells[static_cast<std::size_t>((y - 1) * width + (x - 1))])
                return ::testing::AssertionFailure() << "cell (" << x << "," << y << ") holds " << lvl.Grid().At(x, y);
    return ::testing::AssertionSuccess();
}

const std::vector<std::string> kCompletedCaptions{"Vantrel - Load complete", "Vantrel - Loading map elements",
                                                  "Vantrel - Scroll change", "Vantrel"};

// ---------------------------------------------------------------------------
// RND1 files in the new-level layout: size of the map, view and scroll bars.

struct GeometryCase {
    const char* name;
    int width, height;
    bool wide;
    std::int32_t fileSize;  // 196 + cells: BODY's next position is the end of the file
    const char* mapSize;
    int viewWidth, viewHeight, scrollMaxX, scrollMaxY;
};
void PrintTo(const GeometryCase& c, std::ostream* os) { *os << c.name; }

class Rnd1GeometryTest : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(Rnd1GeometryTest, LoadsMapViewAndScrollBars)
{
    const GeometryCase& c = GetParam();
    const auto cells = PatternCells(c.width, c.height, c.wide);
    const HeadSpec head{.width = static_cast<std::uint8_t>(c.width), .height = static_cast<std::uint8_t>(c.height),
                        .time = 300, .emeralds = 27, .title = "Geometry", .wide = c.wide};
    const Bytes file = LevelBuilder::Standard(head, cells, "Tester").Data();
    ASSERT_EQ(file.size(), static_cast<std::size_t>(c.fileSize));

    LoadRun run;
    run.Load(file);
    ASSERT_FALSE(run.error) << *run.error;
    const std::string size = std::to_string(c.fileSize);
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(), run.WithPath({"Loading {path}", "RND1 file - checking version",
                                                           "CAVEVERS 0200000003000803 seek to 28",
                                                           "HEAD at 28 seek to 148", "AUTH at 148 seek to 188",
                                                           "BODY at 188 seek to " + size,
                                                           size + " bytes loaded in 0 milliseconds"})));
    EXPECT_TRUE(run.lvl.LevelOpen());
    EXPECT_TRUE(run.report.Completed);
    EXPECT_EQ(run.lvl.Format(), LevelFormat::Rnd1);
    EXPECT_EQ(run.lvl.Index().LoadedFileSize, c.fileSize);
    EXPECT_EQ(run.lvl.HeadPos(), 32);
    EXPECT_EQ(run.lvl.AuthPos(), 152);
    EXPECT_EQ(run.lvl.BodyStart(), 196);
    EXPECT_EQ(run.lvl.Wide16(), c.wide);
    EXPECT_TRUE(GridHolds(run.lvl, c.width, c.height, cells));
    ASSERT_TRUE(run.report.HeaderBoxes);
    EXPECT_EQ(run.report.HeaderBoxes->MapSize, c.mapSize);
    EXPECT_EQ(run.report.HeaderBoxes->Time, 300);
    EXPECT_EQ(run.report.HeaderBoxes->Emeralds, 27);
    EXPECT_EQ(run.report.FileVersion, "0200000003000803");
    EXPECT_EQ(UpToZero(run.report.Title), "Geometry");
    EXPECT_EQ(run.report.Title.size(), 32u);
    EXPECT_EQ(UpToZero(run.report.Author), "Tester");
    EXPECT_TRUE(run.report.CeList.empty());
    EXPECT_TRUE(run.lvl.CePositions().empty());
    const ViewGeometry view = ViewGeometryOf(run.lvl.MapWidth(), run.lvl.MapHeight());
    EXPECT_EQ(view.Width, c.viewWidth);
    EXPECT_EQ(view.Height, c.viewHeight);
    EXPECT_EQ(view.ScrollMaxX, c.scrollMaxX);
    EXPECT_EQ(view.ScrollMaxY, c.scrollMaxY);
    EXPECT_EQ(run.captions, kCompletedCaptions);
    EXPECT_TRUE(run.ui.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Maps, Rnd1GeometryTest,
    ::testing::Values(GeometryCase{"OneByte3x2", 3, 2, false, 202, "3x2", 48, 32, 0, 0},
                      GeometryCase{"TwoBytes3x2", 3, 2, true, 208, "3x2", 48, 32, 0, 0},
                      GeometryCase{"OneByte10x12", 10, 12, false, 316, "10x12", 160, 192, 0, 0},
                      GeometryCase{"TwoBytes10x12", 10, 12, true, 436, "10x12", 160, 192, 0, 0},
                      GeometryCase{"OneByte64x32", 64, 32, false, 2244, "64x32", 640, 480, 24, 2},
                      GeometryCase{"TwoBytes64x32", 64, 32, true, 4292, "64x32", 640, 480, 24, 2},
                      GeometryCase{"OneByte40x30", 40, 30, false, 1396, "40x30", 640, 480, 0, 0},
                      GeometryCase{"OneByte41x31", 41, 31, false, 1467, "41x31", 640, 480, 1, 1},
                      GeometryCase{"TwoBytes128x2", 128, 2, true, 708, "128x2", 640, 32, 88, 0},
                      GeometryCase{"TwoBytes128x128", 128, 128, true, 32964, "128x128", 640, 480, 88, 98}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoaderTest, TimingLineGivesTheTicksBetweenStartAndEnd)
{
    LoadRun run;
    std::int64_t now = 1000;
    LoadOptions options;
    options.TickMs = [&now] {
        const std::int64_t t = now;
        now += 25;
        return t;
    };
    const std::string path = run.dir.Write("t.level", LevelBuilder::Standard({}, PatternCells(3, 2, false)).Data());
    LoadAndTell(run.lvl, path, run.ui, run.report, options);
    ASSERT_FALSE(run.lvl.Log().empty());
    EXPECT_EQ(run.lvl.Log().back(), "202 bytes loaded in 25 milliseconds");
}

TEST(LoaderTest, Rnd1WithoutVersionChunkStillShowsCaveversAsVersion)
{
    const auto cells = PatternCells(3, 2, false);
    LevelBuilder b;
    b.Text("RND1").U32(0).Head({}).Auth("A").Body(cells, false);
    LoadRun run;
    run.Load(b.Data());
    ASSERT_FALSE(run.error) << *run.error;
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(), run.WithPath({"Loading {path}", "RND1 file - checking version",
                                                           "HEAD at 8 seek to 128", "AUTH at 128 seek to 168",
                                                           "BODY at 168 seek to 182",
                                                           "182 bytes loaded in 0 milliseconds"})));
    EXPECT_EQ(run.report.FileVersion, "CAVEVERS");
    EXPECT_EQ(run.lvl.Format(), LevelFormat::Rnd1);
    EXPECT_TRUE(GridHolds(run.lvl, 3, 2, cells));
}

TEST(LoaderTest, VersionChunkShowsBothVersionsAsSixteenHexDigits)
{
    LevelBuilder b = LevelBuilder::Rnd1(0x0301000A, 0xDEADBEEF);
    b.Head({}).Body(PatternCells(3, 2, false), false);
    LoadRun run;
    run.Load(b.Data());
    ASSERT_FALSE(run.error) << *run.error;
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(), run.WithPath({"Loading {path}", "RND1 file - checking version",
                                                           "CAVEVERS 0301000ADEADBEEF seek to 28",
                                                           "HEAD at 28 seek to 148", "BODY at 148 seek to 162",
                                                           "162 bytes loaded in 0 milliseconds"})));
    EXPECT_EQ(run.report.FileVersion, "0301000ADEADBEEF");
    EXPECT_EQ(run.lvl.AuthPos(), -1);
    EXPECT_EQ(run.report.Author, "");
}

TEST(LoaderTest, AuthorShorterThanItsFieldAtTheEndLogsTheGuardLine)
{
    LevelBuilder b = LevelBuilder::Rnd1();
    b.Head({.title = "Short author"}).Body(PatternCells(3, 2, false), false).Chunk("AUTH", Bytes{'A', 'b', 'c', 'd'});
    LoadRun run;
    run.Load(b.Data());
    ASSERT_FALSE(run.error) << *run.error;
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(), run.WithPath({"Loading {path}", "RND1 file - checking version",
                                                           "CAVEVERS 0200000003000803 seek to 28",
                                                           "HEAD at 28 seek to 148", "BODY at 148 seek to 162",
                                                           "AUTH at 162 seek to 174",
                                                           "The 32 bytes at 170 run past the end of the file (174 bytes): nothing was read there",
                                                           "174 bytes loaded in 0 milliseconds"})));
    EXPECT_TRUE(run.lvl.LevelOpen());
    EXPECT_EQ(run.lvl.AuthPos(), 166);
    EXPECT_EQ(run.report.Author, "");
    EXPECT_EQ(UpToZero(run.report.Title), "Short author");
}

TEST(LoaderTest, LoadFromMemoryGivesTheSameLogAndNoBackup)
{
    const auto cells = PatternCells(3, 2, true);
    OpenLevel lvl;
    test::ScriptedUi ui;
    LoadReport report;
    LoadOptions options;
    options.TickMs = [] { return std::int64_t{7}; };
    LoadLevelFrom(lvl,
                  std::make_unique<MemoryFile>("in-memory.level",
                                               LevelBuilder::Standard({.title = "", .wide = true}, cells).Data()),
                  report, options);
    EXPECT_TRUE(test::LinesAre(lvl.Log(), {"Loading in-memory.level", "RND1 file - checking version",
                                         "CAVEVERS 0200000003000803 seek to 28", "HEAD at 28 seek to 148",
                                         "AUTH at 148 seek to 188", "BODY at 188 seek to 208",
                                         "208 bytes loaded in 0 milliseconds"}));
    EXPECT_TRUE(lvl.LevelOpen());
    EXPECT_TRUE(GridHolds(lvl, 3, 2, cells));
    EXPECT_FALSE(std::filesystem::exists("in-memory.level.bak"));
}

// ---------------------------------------------------------------------------
// Cookie files: "1.0" without chunks, "1.2" and "1.4" and other versions with chunks from 38.

struct CookieCase {
    const char* name;
    Bytes file;
    std::vector<Line> log;
    std::uint8_t format;
    const char* version;
    std::int32_t headPos, bodyStart;
    int width, height;
    bool wide;
    std::vector<std::uint16_t> cells;
    std::string author;
};
void PrintTo(const CookieCase& c, std::ostream* os) { *os << c.name; }

Bytes OneZeroFile(int w, int h, bool wide, const std::vector<std::uint16_t>& cells)
{
    const HeadSpec head{.width = static_cast<std::uint8_t>(w), .height = static_cast<std::uint8_t>(h), .time = 999,
                        .emeralds = 12, .title = "Old Level", .wide = wide};
    return LevelBuilder::Cookie("1.0").HeadData(head).Cells(cells, wide).Data();
}

// A "1.0" map whose first four cells spell a chunk name.
std::vector<std::uint16_t> Spelling(const std::string& name)
{
    std::vector<std::uint16_t> cells(name.begin(), name.end());
    cells.insert(cells.end(), {0, 0, 0, 8});
    return cells;
}

Bytes ChunkedCookie(const std::string& version, std::uint8_t separator, int w, int h, bool wide,
                    const std::vector<std::uint16_t>& cells, std::optional<std::uint32_t> bodySize,
                    const std::string& author = "")
{
    const HeadSpec head{.width = static_cast<std::uint8_t>(w), .height = static_cast<std::uint8_t>(h), .time = 999,
                        .emeralds = 12, .title = "Old Level", .wide = wide};
    LevelBuilder b = LevelBuilder::Cookie(version, separator);
    b.Head(head).Body(cells, wide, bodySize);
    if (!author.empty()) b.Auth(author);
    return b.Data();
}

std::vector<CookieCase> CookieCases()
{
    std::vector<CookieCase> cases;
    {
        const auto cells = PatternCells(4, 3, false);
        cases.push_back({"OneZero", OneZeroFile(4, 3, false, cells),
                         {"Loading {path}", "File version = 1.0", "HEAD at 37 seek to 150", "BODY at 150 seek to 162",
                          "162 bytes loaded in 0 milliseconds"},
                         1, "1.0", 34, 150, 4, 3, false, cells, ""});
    }
    {
        const auto cells = PatternCells(3, 2, true);
        cases.push_back({"OneZeroTwoByteCells", OneZeroFile(3, 2, true, cells),
                         {"Loading {path}", "File version = 1.0", "HEAD at 37 seek to 150", "BODY at 150 seek to 162",
                          "162 bytes loaded in 0 milliseconds"},
                         1, "1.0", 34, 150, 3, 2, true, cells, ""});
    }
    for (const char* name : {"CNT2", "HEAD", "CUS4", "BODY"}) {
        const auto cells = Spelling(name);
        cases.push_back({"", OneZeroFile(4, 2, false, cells),
                         {"Loading {path}", "File version = 1.0", "HEAD at 37 seek to 150", "BODY at 150 seek to 158",
                          "158 bytes loaded in 0 milliseconds"},
                         1, "1.0", 34, 150, 4, 2, false, cells, ""});
        cases.back().name = name;
    }
    {
        // Two-byte cells in a cookie file: BODY states the number of cells, the scan goes on at twice that.
        const auto cells = PatternCells(40, 25, true);
        cases.push_back({"OneTwoTwoByteCells", ChunkedCookie("1.2", 10, 40, 25, true, cells, 1000, "Niko"),
                         {"Loading {path}", "File version = 1.2", "10 at 37", "HEAD at 38 seek to 158",
                          "BODY at 158 seek to 2166", "AUTH at 2166 seek to 2206",
                          "2206 bytes loaded in 0 milliseconds"},
                         2, "1.2", 42, 166, 40, 25, true, cells, "Niko"});
    }
    {
        const auto cells = PatternCells(3, 2, false);
        cases.push_back({"OneTwo", ChunkedCookie("1.2", 10, 3, 2, false, cells, std::nullopt),
                         {"Loading {path}", "File version = 1.2", "10 at 37", "HEAD at 38 seek to 158",
                          "BODY at 158 seek to 172", "172 bytes loaded in 0 milliseconds"},
                         2, "1.2", 42, 166, 3, 2, false, cells, ""});
    }
    {
        const auto cells = PatternCells(3, 2, false);
        cases.push_back({"OneFour", ChunkedCookie("1.4", 32, 3, 2, false, cells, std::nullopt, "Me"),
                         {"Loading {path}", "File version = 1.4", "32 at 37", "HEAD at 38 seek to 158",
                          "BODY at 158 seek to 172", "AUTH at 172 seek to 212", "212 bytes loaded in 0 milliseconds"},
                         3, "1.4", 42, 166, 3, 2, false, cells, "Me"});
    }
    {
        const auto cells = PatternCells(3, 2, true);
        cases.push_back({"OneFourTwoByteCells", ChunkedCookie("1.4", 0, 3, 2, true, cells, 6),
                         {"Loading {path}", "File version = 1.4", "0 at 37", "HEAD at 38 seek to 158",
                          "BODY at 158 seek to 178", "178 bytes loaded in 0 milliseconds"},
                         3, "1.4", 42, 166, 3, 2, true, cells, ""});
    }
    {
        const auto cells = PatternCells(3, 2, true);
        cases.push_back({"UnlistedVersion", ChunkedCookie("2.0", 10, 3, 2, true, cells, 6),
                         {"Loading {path}", "File version = 2.0", "10 at 37", "HEAD at 38 seek to 158",
                          "BODY at 158 seek to 178", "178 bytes loaded in 0 milliseconds"},
                         0, "2.0", 42, 166, 3, 2, true, cells, ""});
    }
    {
        const auto cells = PatternCells(3, 2, false);
        cases.push_back({"UnlistedVersionLowerCase", ChunkedCookie("1.x", 10, 3, 2, false, cells, std::nullopt),
                         {"Loading {path}", "File version = 1.x", "10 at 37", "HEAD at 38 seek to 158",
                          "BODY at 158 seek to 172", "172 bytes loaded in 0 milliseconds"},
                         0, "1.x", 42, 166, 3, 2, false, cells, ""});
    }
    return cases;
}

class CookieTest : public ::testing::TestWithParam<CookieCase> {};

TEST_P(CookieTest, LoadsTheCookieLayout)
{
    const CookieCase& c = GetParam();
    LoadRun run;
    run.Load(c.file);
    ASSERT_FALSE(run.error) << *run.error;
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(), run.WithPath(c.log)));
    EXPECT_TRUE(run.lvl.LevelOpen());
    EXPECT_EQ(static_cast<int>(run.lvl.Format()), c.format);
    EXPECT_EQ(run.report.FileVersion, c.version);
    EXPECT_EQ(run.lvl.HeadPos(), c.headPos);
    EXPECT_EQ(run.lvl.BodyStart(), c.bodyStart);
    EXPECT_EQ(run.lvl.Wide16(), c.wide);
    EXPECT_TRUE(GridHolds(run.lvl, c.width, c.height, c.cells));
    EXPECT_EQ(UpToZero(run.report.Title), "Old Level");
    ASSERT_TRUE(run.report.HeaderBoxes);
    EXPECT_EQ(run.report.HeaderBoxes->MapSize, std::to_string(c.width) + "x" + std::to_string(c.height));
    EXPECT_EQ(run.report.HeaderBoxes->Time, 999);
    EXPECT_EQ(run.report.HeaderBoxes->Emeralds, 12);
    EXPECT_EQ(UpToZero(run.report.Author), c.author);
    EXPECT_EQ(run.captions, kCompletedCaptions);
}

INSTANTIATE_TEST_SUITE_P(Cookies, CookieTest, ::testing::ValuesIn(CookieCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Chunks after the map of an RND1 file: what each logs and records.

// RND1, HEAD (3x2, one-byte cells), AUTH and BODY; the next chunk starts at 202.
LevelBuilder Base(bool wide = false)
{
    return LevelBuilder::Standard({.time = 100, .emeralds = 5, .title = "Chunks", .wide = wide},
                                  PatternCells(3, 2, wide), "Me");
}

std::vector<Line> BaseLog(bool wide = false)
{
    return {"Loading {path}",
            "RND1 file - checking version",
            "CAVEVERS 0200000003000803 seek to 28",
            "HEAD at 28 seek to 148",
            "AUTH at 148 seek to 188",
            wide ? "BODY at 188 seek to 208" : "BODY at 188 seek to 202"};
}

std::vector<Line> Join(std::vector<Line> a, const std::vector<Line>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct ChunkCase {
    const char* name;
    Bytes file;
    std::vector<Line> log;
    std::vector<std::string> messages = {};
    std::map<int, std::int32_t> envelopes = {};  // EnvelopePos entries that are set
    std::map<int, std::int32_t> groups = {};     // GroupPos entries that are set
    std::int32_t cnt2Pos = -1, contPos = -1, cus1Pos = -1, cus3Pos = -1;
    std::vector<std::string> ceList = {};
    std::vector<std::int32_t> cePositions = {};
    bool wide = false;
};
void PrintTo(const ChunkCase& c, std::ostream* os) { *os << c.name; }

std::vector<ChunkCase> ChunkCases()
{
    std::vector<ChunkCase> c;
    c.push_back({.name = "Cnt2",
                 .file = Base().Chunk("CNT2", Bytes(10, 7)).Data(),
                 .log = Join(BaseLog(), {"CNT2 at 202 seek to 220", "220 bytes loaded in 0 milliseconds"}),
                 .cnt2Pos = 206});
    c.push_back({.name = "Cnt3FirstEnvelope",
                 .file = Base().CodeChunk("CNT3", 620, 12).Data(),
                 .log = Join(BaseLog(), {"CNT3 (1) at 202 seek to 222", "222 bytes loaded in 0 milliseconds"}),
                 .envelopes = {{1, 206}}});
    c.push_back({.name = "Cnt3LastEnvelope",
                 .file = Base().CodeChunk("CNT3", 623, 12).Data(),
                 .log = Join(BaseLog(), {"CNT3 (4) at 202 seek to 222", "222 bytes loaded in 0 milliseconds"}),
                 .envelopes = {{4, 206}}});
    c.push_back({.name = "Cnt3BelowRange",
                 .file = Base().CodeChunk("CNT3", 619, 12).Data(),
                 .log = Join(BaseLog(), {"CNT3 (0) at 202 seek to 222", "222 bytes loaded in 0 milliseconds"})});
    c.push_back({.name = "Cnt3AboveRange",
                 .file = Base().CodeChunk("CNT3", 624, 12).Data(),
                 .log = Join(BaseLog(), {"CNT3 (5) at 202 seek to 222", "222 bytes loaded in 0 milliseconds"})});
    c.push_back({.name = "Cnt3CodeZero",
                 .file = Base().CodeChunk("CNT3", 0, 12).Data(),
                 .log = Join(BaseLog(), {"CNT3 (-619) at 202 seek to 222", "222 bytes loaded in 0 milliseconds"})});
    c.push_back({.name = "Grp1FirstGroup",
                 .file = Base().CodeChunk("GRP1", 624, 20).Data(),
                 .log = Join(BaseLog(), {"GRP1 (1) at 202 seek to 230", "230 bytes loaded in 0 milliseconds"}),
                 .groups = {{1, 206}}});
    c.push_back({.name = "Grp1LastGroup",
                 .file = Base().CodeChunk("GRP1", 655, 20).Data(),
                 .log = Join(BaseLog(), {"GRP1 (32) at 202 seek to 230", "230 bytes loaded in 0 milliseconds"}),
                 .groups = {{32, 206}}});
    c.push_back({.name = "Grp1BelowRange",
                 .file = Base().CodeChunk("GRP1", 623, 20).Data(),
                 .log = Join(BaseLog(), {"GRP1 (0) at 202 seek to 230", "230 bytes loaded in 0 milliseconds"})});
    c.push_back({.name = "Grp1AboveRange",
                 .file = Base().CodeChunk("GRP1", 656, 20).Data(),
                 .log = Join(BaseLog(), {"GRP1 (33) at 202 seek to 230", "230 bytes loaded in 0 milliseconds"})});
    c.push_back({.name = "EnvelopesAndGroupsTogether",
                 .file = Base().CodeChunk("CNT3", 621, 4).CodeChunk("GRP1", 630, 4).CodeChunk("CNT3", 622, 4).Data(),
                 .log = Join(BaseLog(), {"CNT3 (2) at 202 seek to 214", "GRP1 (7) at 214 seek to 226",
                                         "CNT3 (3) at 226 seek to 238", "238 bytes loaded in 0 milliseconds"}),
                 .envelopes = {{2, 206}, {3, 230}},
                 .groups = {{7, 218}}});
    c.push_back({.name = "Cus1MessageAndScanGoesOn",
                 .file = Base().Chunk("CUS1", Bytes(4, 1)).Chunk("CNT2", Bytes(2)).Data(),
                 .log = Join(BaseLog(), {"CUS1 at 202 seek to 214", "CNT2 at 214 seek to 224",
                                         "224 bytes loaded in 0 milliseconds"}),
                 .messages = {"CUS1 chunks not supported in CE Manager yet"},
                 .cnt2Pos = 218,
                 .cus1Pos = 206});
    c.push_back({.name = "Cus3MessageAndScanGoesOn",
                 .file = Base().Chunk("CUS3", Bytes(6, 1)).Chunk("CNT2", Bytes(2)).Data(),
                 .log = Join(BaseLog(), {"CUS3 at 202 seek to 216", "CNT2 at 216 seek to 226",
                                         "226 bytes loaded in 0 milliseconds"}),
                 .messages = {"CUS3 chunks not supported yet"},
                 .cnt2Pos = 220,
                 .cus3Pos = 206});
    c.push_back({.name = "Cus1AndCus3BothShown",
                 .file = Base().Chunk("CUS3", Bytes(0)).Chunk("CUS1", Bytes(0)).Data(),
                 .log = Join(BaseLog(), {"CUS3 at 202 seek to 210", "CUS1 at 210 seek to 218",
                                         "218 bytes loaded in 0 milliseconds"}),
                 .messages = {"CUS3 chunks not supported yet", "CUS1 chunks not supported in CE Manager yet"},
                 .cus1Pos = 214,
                 .cus3Pos = 206});
    c.push_back({.name = "ContOneByteCells",
                 .file = Base().Chunk("CONT", Bytes(10)).Data(),
                 .log = Join(BaseLog(), {"CONT at 202 seek to 220", "220 bytes loaded in 0 milliseconds"}),
                 .contPos = 206});
    // With two-byte cells the next chunk lies at the size field + twice the size.
    c.push_back({.name = "ContTwoByteCells",
                 .file = Base(true).Chunk("CONT", 10, Bytes(16)).Data(),
                 .log = Join(BaseLog(true), {"CONT at 208 seek to 232", "232 bytes loaded in 0 milliseconds"}),
                 .contPos = 212,
                 .wide = true});
    c.push_back({.name = "UnlistedNameSize6",
                 .file = Base().Chunk("ABCD", Bytes(6, 0xEE)).Chunk("CNT2", Bytes(2)).Data(),
                 .log = Join(BaseLog(), {"ABCD guessed chunk, chunksize = 6", "CNT2 at 216 seek to 226",
                                         "226 bytes loaded in 0 milliseconds"}),
                 .cnt2Pos = 220});
    c.push_back({.name = "UnlistedNameBeforeHead",
                 .file = LevelBuilder::Rnd1()
                             .Chunk("INFO", Bytes(4))
                             .Head({.time = 100, .emeralds = 5, .title = "Chunks"})
                             .Auth("Me")
                             .Body(PatternCells(3, 2, false), false)
                             .Data(),
                 .log = {"Loading {path}", "RND1 file - checking version", "CAVEVERS 0200000003000803 seek to 28",
                         "INFO guessed chunk, chunksize = 4", "HEAD at 40 seek to 160", "AUTH at 160 seek to 200",
                         "BODY at 200 seek to 214", "214 bytes loaded in 0 milliseconds"}});
    c.push_back({.name = "LowerCaseNameIsStrayBytes",
                 .file = Base().Text("cnt2").Chunk("CNT2", Bytes(0)).Data(),
                 .log = Join(BaseLog(), {"99 at 202", "110 at 203", "116 at 204", "50 at 205",
                                         "CNT2 at 206 seek to 214", "214 bytes loaded in 0 milliseconds"}),
                 .cnt2Pos = 210});
    c.push_back({.name = "StrayBytesThenChunk",
                 .file = Base().U8(0).U8(0x7F).U8('a').Chunk("CNT2", Bytes(10)).Data(),
                 .log = Join(BaseLog(), {"0 at 202", "127 at 203", "97 at 204", "CNT2 at 205 seek to 223",
                                         "223 bytes loaded in 0 milliseconds"}),
                 .cnt2Pos = 209});
    // Near the end every name read runs past the end: one guard line a pass.
    c.push_back({.name = "StrayBytesAtTheEnd",
                 .file = Base().U8('Q').U8(0).Data(),
                 .log = Join(BaseLog(), {"The 4 bytes at 202 run past the end of the file (204 bytes): nothing was read there", "81 at 202",
                                         "The 4 bytes at 203 run past the end of the file (204 bytes): nothing was read there", "0 at 203",
                                         "204 bytes loaded in 0 milliseconds"})});
    c.push_back({.name = "CapitalTooCloseToTheEndForASize",
                 .file = Base().Text("ZZZZ").U8(0).Data(),
                 .log = Join(BaseLog(), {"90 at 202", "90 at 203", "The 4 bytes at 204 run past the end of the file (207 bytes): nothing was read there", "90 at 204",
                                         "The 4 bytes at 205 run past the end of the file (207 bytes): nothing was read there", "90 at 205",
                                         "The 4 bytes at 206 run past the end of the file (207 bytes): nothing was read there", "0 at 206",
                                         "207 bytes loaded in 0 milliseconds"})});
    c.push_back({.name = "GameOrder",
                 .file = Base()
                             .Chunk("CNT2", Bytes(4))
                             .CodeChunk("CNT3", 620, 2)
                             .Cus4(360, "First", 1)
                             .CodeChunk("GRP1", 624, 2)
                             .Cus4(361, "Second", 0)
                             .Data(),
                 .log = Join(BaseLog(), {"CNT2 at 202 seek to 214", "CNT3 (1) at 214 seek to 224",
                                         "CUS4 (1) found at 228 seek to 376", "GRP1 (1) at 376 seek to 386",
                                         "CUS4 (2) found at 390 seek to 490", "490 bytes loaded in 0 milliseconds"}),
                 .envelopes = {{1, 218}},
                 .groups = {{1, 380}},
                 .cnt2Pos = 206,
                 .ceList = {"1: First", "2: Second"},
                 .cePositions = {232, 394}});
    return c;
}

class ChunkTest : public ::testing::TestWithParam<ChunkCase> {};

TEST_P(ChunkTest, LogsRecordsAndGoesOn)
{
    const ChunkCase& c = GetParam();
    LoadRun run;
    run.Load(c.file);
    ASSERT_FALSE(run.error) << *run.error;
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(), run.WithPath(c.log)));
    EXPECT_EQ(run.ui.messages, c.messages);
    EXPECT_TRUE(run.lvl.LevelOpen());
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(run.lvl.Index().EnvelopePos[i], c.envelopes.count(i) ? c.envelopes.at(i) : -1) << "EnvelopePos " << i;
    for (int i = 1; i <= 32; ++i)
        EXPECT_EQ(run.lvl.Index().GroupPos[i], c.groups.count(i) ? c.groups.at(i) : -1) << "GroupPos " << i;
    EXPECT_EQ(run.lvl.Index().Cnt2Pos, c.cnt2Pos);
    EXPECT_EQ(run.lvl.Index().ContPos, c.contPos);
    EXPECT_EQ(run.lvl.Index().Cus1Pos, c.cus1Pos);
    EXPECT_EQ(run.lvl.Index().Cus3Pos, c.cus3Pos);
    EXPECT_EQ(run.report.CeList, c.ceList);
    EXPECT_EQ(run.lvl.CePositions(), c.cePositions);
    EXPECT_EQ(UpToZero(run.report.Author), "Me");
    EXPECT_EQ(UpToZero(run.report.Title), "Chunks");
    EXPECT_TRUE(GridHolds(run.lvl, 3, 2, PatternCells(3, 2, c.wide)));
}

INSTANTIATE_TEST_SUITE_P(Chunks, ChunkTest, ::testing::ValuesIn(ChunkCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// CUS4: the next chunk lies 104 + 48 bytes a change page further, whatever the size field says.

struct Cus4Case {
    const char* name;
    std::uint8_t pages;
    std::optional<std::uint32_t> statedSize;
    std::int32_t next;  // where the chunk after the CUS4 at 1000 starts
};
void PrintTo(const Cus4Case& c, std::ostream* os) { *os << c.name; }

class Cus4Test : public ::testing::TestWithParam<Cus4Case> {};

TEST_P(Cus4Test, NextChunkFollowsThePageCount)
{
    const Cus4Case& c = GetParam();
    LevelBuilder b = Base();
    b.PadTo(1000).Cus4(CeElementCode(45), "Lava", c.pages, c.statedSize).Chunk("CNT2", Bytes(2));
    LoadRun run;
    run.Load(b.Data());
    ASSERT_FALSE(run.error) << *run.error;
    const std::string next = std::to_string(c.next), end = std::to_string(c.next + 10);
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(),
                               run.WithPath(Join(BaseLog(), {"PADD guessed chunk, chunksize = 790",
                                                             "CUS4 (45) found at 1004 seek to " + next,
                                                             "CNT2 at " + next + " seek to " + end,
                                                             end + " bytes loaded in 0 milliseconds"}))));
    EXPECT_EQ(run.report.CeList, std::vector<std::string>{"45: Lava"});
    EXPECT_EQ(run.lvl.CePositions(), std::vector<std::int32_t>{1008});
    EXPECT_EQ(run.lvl.Index().Cnt2Pos, c.next + 4);
}

INSTANTIATE_TEST_SUITE_P(Pages, Cus4Test,
                         ::testing::Values(Cus4Case{"NoPages", 0, std::nullopt, 1104},
                                           Cus4Case{"OnePage", 1, std::nullopt, 1152},
                                           Cus4Case{"ThreePages", 3, std::nullopt, 1248},
                                           Cus4Case{"SixteenPages", 16, std::nullopt, 1872},
                                           Cus4Case{"ThreePagesSizeFieldZero", 3, 0u, 1248},
                                           Cus4Case{"OnePageSizeFieldLarge", 1, 100000u, 1152}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Cus4ListTest, OneLinePerChunkNumberAndNameInFileOrder)
{
    LevelBuilder b = Base();
    b.Cus4(CeElementCode(256), "Exactly thirty characters long", 0);
    b.Cus4(CeElementCode(3), std::string("Walk over\0ment 1", 16), 1);
    b.Cus4(0, "Code zero", 0);
    b.Cus4(CeElementCode(1), "", 2);
    LoadRun run;
    run.Load(b.Data());
    ASSERT_FALSE(run.error) << *run.error;
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(),
                               run.WithPath(Join(BaseLog(), {"CUS4 (256) found at 206 seek to 306",
                                                             "CUS4 (3) found at 310 seek to 458",
                                                             "CUS4 (65177) found at 462 seek to 562",
                                                             "CUS4 (1) found at 566 seek to 762",
                                                             "762 bytes loaded in 0 milliseconds"}))));
    EXPECT_EQ(run.report.CeList, (std::vector<std::string>{"256: Exactly thirty characters long", "3: Walk over",
                                                           "65177: Code zero", "1: "}));
    EXPECT_EQ(run.lvl.CePositions(), (std::vector<std::int32_t>{210, 314, 466, 570}));
}

// ---------------------------------------------------------------------------
// Scan faults: the scan stops with a line saying where and why; a level whose HEAD and BODY were found opens.

struct FaultCase {
    const char* name;
    Bytes file;
    std::vector<Line> log;
    bool opens;
    std::vector<std::string> ceList{};  // a CUS4 chunk cut off by the end of the file is listed
    std::vector<std::int32_t> cePositions{};
    const char* error = kNoMap;  // a part of the error of a level that does not open
};
void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

Bytes Cut(LevelBuilder b, std::size_t size)
{
    Bytes bytes = b.Data();
    bytes.resize(size);
    return bytes;
}

std::vector<FaultCase> FaultCases()
{
    std::vector<FaultCase> c;
    auto stopped = [](std::vector<Line> tail) { return Join(BaseLog(), tail); };
    c.push_back({"VersionChunkAfterOffset8",
                 Base().Text("CAVEVERS").U32(8).U32(test::kDefaultFileVersion).U32(0).Data(),
                 stopped({StartsWith("Scan stopped: CAVEVERS at 202 "), "222 bytes loaded in 0 milliseconds"}), true});
    c.push_back({"SizeOf2Pow31", Base().Chunk("CNT2", 0x80000000u, Bytes(4)).Data(),
                 stopped({StartsWith("Scan stopped: CNT2 at 202 "), "214 bytes loaded in 0 milliseconds"}), true});
    c.push_back({"UnlistedSizeWrapsTo32Bits", Base().Chunk("ZZZZ", 0xFFFFFFF8u, Bytes()).Data(),
                 stopped({StartsWith("Scan stopped: ZZZZ at 202 "), "210 bytes loaded in 0 milliseconds"}), true});
    c.push_back({"SecondHeadWithHugeSize", Base().Chunk("HEAD", 0xFFFFFFE0u, Bytes(112)).Data(),
                 stopped({StartsWith("Scan stopped: HEAD at 202 "), "322 bytes loaded in 0 milliseconds"}), true});
    c.push_back({"AuthRunsPastTheEnd", Base().Chunk("AUTH", 32, Bytes(10)).Data(),
                 stopped({StartsWith("Scan stopped: AUTH at 202 "), "220 bytes loaded in 0 milliseconds"}), true});
    c.push_back({"Cus4RunsPastTheEnd", Cut(Base().Cus4(360, "Cut short", 16), 322),
                 stopped({StartsWith("Scan stopped: CUS4 at 202 "), "322 bytes loaded in 0 milliseconds"}), true,
                 {"1: Cut short"}, {210}});
    c.push_back({"Cnt3RunsPastTheEnd", Base().Chunk("CNT3", 100, Bytes{0x02, 0x6C, 0, 0}).Data(),
                 stopped({StartsWith("Scan stopped: CNT3 at 202 "), "214 bytes loaded in 0 milliseconds"}), true});
    c.push_back({"NameWithoutRoomForASize", Base().Text("CNT2").Data(),
                 stopped({StartsWith("Scan stopped: CNT2 at 202 "), "206 bytes loaded in 0 milliseconds"}), true});
    c.push_back({"HeadSizeOf2Pow31BeforeTheMap",
                 LevelBuilder::Rnd1()
                     .Chunk("HEAD", 0x80000000u, LevelBuilder::HeadBytes({}))
                     .Auth("Me")
                     .Body(PatternCells(3, 2, false), false)
                     .Data(),
                 {"Loading {path}", "RND1 file - checking version", "CAVEVERS 0200000003000803 seek to 28",
                  StartsWith("Scan stopped: HEAD at 28 ")},
                 false});
    c.push_back({"BodyRunsPastTheEnd",
                 LevelBuilder::Rnd1().Head({}).Auth("Me").Chunk("BODY", 100, Bytes(6)).Data(),
                 {"Loading {path}", "RND1 file - checking version", "CAVEVERS 0200000003000803 seek to 28",
                  "HEAD at 28 seek to 148", "AUTH at 148 seek to 188", StartsWith("Scan stopped: BODY at 188 ")},
                 false, {}, {}, "The map of this level (BODY chunk) is cut short: 94 bytes are missing"});
    c.push_back({"OneZeroFileShorterThanItsHeader",
                 Cut(LevelBuilder::Cookie("1.0").HeadData({}), 100),
                 {"Loading {path}", "File version = 1.0", StartsWith("Scan stopped: HEAD at 37 ")},
                 false});
    return c;
}

class ScanFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ScanFaultTest, StopsTheScanWithALine)
{
    const FaultCase& c = GetParam();
    LoadRun run;
    run.lvl.SetGrid(CellGrid(1, 1));
    run.lvl.Grid().Set(1, 1, 0xBEEF);
    run.Load(c.file);
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(), run.WithPath(c.log)));
    EXPECT_EQ(run.lvl.LevelOpen(), c.opens);
    if (c.opens) {
        ASSERT_FALSE(run.error) << *run.error;
        EXPECT_TRUE(run.report.Completed);
        EXPECT_TRUE(GridHolds(run.lvl, 3, 2, PatternCells(3, 2, false)));
        EXPECT_EQ(run.report.HeaderBoxes->MapSize, "3x2");
        EXPECT_EQ(run.report.CeList, c.ceList);
        EXPECT_EQ(run.lvl.CePositions(), c.cePositions);
        for (int i = 1; i <= 4; ++i) EXPECT_EQ(run.lvl.Index().EnvelopePos[i], -1);
        EXPECT_EQ(run.lvl.Index().Cnt2Pos, -1);
        EXPECT_EQ(run.lvl.AuthPos(), 152);
    } else {
        ASSERT_TRUE(run.error);
        EXPECT_NE(run.error->find(c.error), std::string::npos) << *run.error;
        EXPECT_FALSE(run.lvl.HasFile());
        EXPECT_EQ(run.lvl.Grid().At(1, 1), 0xBEEF);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, ScanFaultTest, ::testing::ValuesIn(FaultCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Files that are not levels: the rejection message, only the timing line (after guard lines of
// a very short file), no level open, no handle left, a backup all the same.

struct RejectCase {
    const char* name;
    Bytes file;
    std::vector<Line> log;
};
void PrintTo(const RejectCase& c, std::ostream* os) { *os << c.name; }

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::vector<RejectCase> RejectCases()
{
    return {
        {"TextFile", Text("This is a text file and not a level of the game at all.\n"),
         {"56 bytes loaded in 0 milliseconds"}},
        {"EmptyFile", Bytes(), {"0 bytes loaded in 0 milliseconds"}},
        {"TenBytes", Text("0123456789"), {"The 34 bytes at 0 run past the end of the file (10 bytes): nothing was read there", "10 bytes loaded in 0 milliseconds"}},
        {"ThreeBytes", Text("RND"), {"The 4 bytes at 0 run past the end of the file (3 bytes): nothing was read there", "The 34 bytes at 0 run past the end of the file (3 bytes): nothing was read there",
                                     "3 bytes loaded in 0 milliseconds"}},
        {"LowerCaseSignature", LevelBuilder().Text("rnd1").Zeros(60).Data(), {"64 bytes loaded in 0 milliseconds"}},
        {"CookieInLowerCase", Text("rocksndiamonds_level_file_version_1.0\n"), {"38 bytes loaded in 0 milliseconds"}},
        {"CookieCutShort", Text(std::string(test::kCookieText).substr(0, 33)),
         {"The 34 bytes at 0 run past the end of the file (33 bytes): nothing was read there", "33 bytes loaded in 0 milliseconds"}},
        {"SignatureNotAtTheStart", LevelBuilder().U8(0).Append(LevelBuilder::Standard({}, PatternCells(3, 2, false)).Data()).Data(),
         {"203 bytes loaded in 0 milliseconds"}},
    };
}

class RejectTest : public ::testing::TestWithParam<RejectCase> {};

TEST_P(RejectTest, RefusedWithMessageAndNoBackup)
{
    const RejectCase& c = GetParam();
    LoadRun run;
    run.Load(c.file, "not-a-level.level");
    ASSERT_FALSE(run.error) << *run.error;
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(), run.WithPath(c.log)));
    EXPECT_EQ(run.ui.messages, std::vector<std::string>{c.file.empty() ? "Error: Can not open file\nThe file " + run.path +
                                                                             " is empty (0 bytes): there is no level in it."
                                                                       : std::string(kReject)});
    EXPECT_FALSE(run.lvl.LevelOpen());
    EXPECT_FALSE(run.lvl.HasFile());
    EXPECT_TRUE(run.report.Rejected);
    EXPECT_FALSE(run.report.Completed);
    EXPECT_TRUE(run.report.TitleAuthorSet);
    EXPECT_EQ(run.report.Title, "");
    EXPECT_EQ(run.report.Author, "");
    EXPECT_FALSE(run.report.HeaderBoxes);
    EXPECT_TRUE(run.report.CeList.empty());
    EXPECT_EQ(run.captions, std::vector<std::string>{"Vantrel"});
    EXPECT_FALSE(std::filesystem::exists(run.path + ".bak")) << "no backup of what is no level";
    EXPECT_EQ(test::ReadBytes(run.path), c.file);
}

INSTANTIATE_TEST_SUITE_P(NotLevels, RejectTest, ::testing::ValuesIn(RejectCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A HEAD whose map does not fit the 128 x 128 grid is refused before anything is read into the grid.
class OversizeHeadTest : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(OversizeHeadTest, RefusedGridUntouched)
{
    const auto [w, h] = GetParam();
    const HeadSpec head{.width = static_cast<std::uint8_t>(w), .height = static_cast<std::uint8_t>(h),
                        .title = "Too big"};
    const Bytes file = LevelBuilder::Standard(head, std::vector<std::uint16_t>(static_cast<std::size_t>(w * h), 9),
                                              "Me").Data();
    LoadRun run;
    run.lvl.SetGrid(CellGrid(128, 128));
    for (int x = 1; x <= 128; ++x)
        for (int y = 1; y <= 128; ++y) run.lvl.Grid().Set(x, y, 0xBEEF);
    const CellGrid before = run.lvl.Grid();
    run.Load(file);
    ASSERT_FALSE(run.error) << *run.error;
    const std::string size = std::to_string(file.size());
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(),
                               run.WithPath({"Loading {path}", "RND1 file - checking version",
                                             "CAVEVERS 0200000003000803 seek to 28", StartsWith("HEAD at 28"),
                                             size + " bytes loaded in 0 milliseconds"})));
    ASSERT_EQ(run.ui.messages.size(), 1u);
    EXPECT_EQ(run.ui.messages[0].rfind("Error: Can not open file\n", 0), 0u) << run.ui.messages[0];
    EXPECT_NE(run.ui.messages[0].find(std::to_string(w) + "x" + std::to_string(h)), std::string::npos);
    EXPECT_EQ(run.lvl.Grid(), before);
    EXPECT_FALSE(run.lvl.LevelOpen());
    EXPECT_FALSE(run.lvl.HasFile());
    EXPECT_TRUE(run.report.Rejected);
    EXPECT_EQ(run.report.Title, "");
    EXPECT_TRUE(std::filesystem::exists(run.path + ".bak"));
}

INSTANTIATE_TEST_SUITE_P(Sizes, OversizeHeadTest,
                         ::testing::Values(std::pair{129, 2}, std::pair{3, 129}, std::pair{200, 200},
                                           std::pair{255, 1}));

// ---------------------------------------------------------------------------
// Level files the load cannot open: the error ends the load where it happened.

struct FailCase {
    const char* name;
    Bytes file;
    std::vector<Line> log;
    bool noMap;  // the error says that the level has no map
    std::vector<std::string> captions = {"Vantrel - Load complete"};
};
void PrintTo(const FailCase& c, std::ostream* os) { *os << c.name; }

std::vector<FailCase> FailCases()
{
    return {
        {"NoBody", LevelBuilder::Rnd1().Head({}).Auth("Me").Data(),
         {"Loading {path}", "RND1 file - checking version", "CAVEVERS 0200000003000803 seek to 28",
          "HEAD at 28 seek to 148", "AUTH at 148 seek to 188"},
         true},
        {"TenBytesWithSignature", LevelBuilder().Text("RND1").U32(0).Text("CA").Data(),
         {"Loading {path}", "RND1 file - checking version", "The 4 bytes at 8 run past the end of the file (10 bytes): nothing was read there", "67 at 8",
          "The 4 bytes at 9 run past the end of the file (10 bytes): nothing was read there", "65 at 9"},
         true},
        {"SignatureOnly", LevelBuilder().Text("RND1").Data(), {"Loading {path}", "RND1 file - checking version"},
         true},
        {"CookieOnly", LevelBuilder::Cookie("1.2", std::nullopt).Data(), {"Loading {path}", "File version = 1.2"},
         true},
        {"CookieCutInTheVersion", LevelBuilder::Cookie("1.", std::nullopt).Data(),
         {"Loading {path}", "The 3 bytes at 34 run past the end of the file (36 bytes): nothing was read there", "File version = ",
          "The 4 bytes at 34 run past the end of the file (36 bytes): nothing was read there", "49 at 34", "The 4 bytes at 35 run past the end of the file (36 bytes): nothing was read there", "46 at 35"},
         true},
        {"MapLongerThanTheFile",
         LevelBuilder::Rnd1().Head({.title = "", .wide = true}).Auth("Me").Body({1, 2}, true).Data(),
         {"Loading {path}", "RND1 file - checking version", "CAVEVERS 0200000003000803 seek to 28",
          "HEAD at 28 seek to 148", "AUTH at 148 seek to 188", "BODY at 188 seek to 200"},
         false,
         {"Vantrel - Load complete", "Vantrel - Loading map elements"}},
    };
}

class FailTest : public ::testing::TestWithParam<FailCase> {};

TEST_P(FailTest, ErrorEndsTheLoadNothingLeftOpen)
{
    const FailCase& c = GetParam();
    LoadRun run;
    run.Load(c.file);
    ASSERT_TRUE(run.error) << "the load did not fail";
    if (c.noMap) {
        EXPECT_NE(run.error->find(kNoMap), std::string::npos) << *run.error;
    }
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(), run.WithPath(c.log)));
    EXPECT_FALSE(run.lvl.LevelOpen());
    EXPECT_FALSE(run.lvl.HasFile());
    EXPECT_FALSE(run.report.Completed);
    EXPECT_FALSE(run.report.TitleAuthorSet);  // the title and author boxes are not filled
    EXPECT_EQ(run.captions, c.captions);
    EXPECT_TRUE(run.ui.messages.empty());
    EXPECT_TRUE(std::filesystem::exists(run.path + ".bak"));
}

INSTANTIATE_TEST_SUITE_P(Broken, FailTest, ::testing::ValuesIn(FailCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LoaderTest, FileWithoutHeadOpensWithAnEmptyMap)
{
    LoadRun run;
    run.Load(LevelBuilder::Rnd1().Auth("Nobody").Body({1, 2, 3, 4, 5, 6}, false).Data());
    ASSERT_FALSE(run.error) << *run.error;
    EXPECT_TRUE(test::LinesAre(run.lvl.Log(), run.WithPath({"Loading {path}", "RND1 file - checking version",
                                                           "CAVEVERS 0200000003000803 seek to 28",
                                                           "AUTH at 28 seek to 68", "BODY at 68 seek to 82",
                                                           kNoHeaderLogLine,
                                                           "82 bytes loaded in 0 milliseconds"})));
    EXPECT_TRUE(run.lvl.LevelOpen());
    EXPECT_EQ(run.lvl.HeadPos(), -1);
    EXPECT_EQ(run.lvl.BodyStart(), 76);
    EXPECT_EQ(run.lvl.MapWidth(), 0);
    EXPECT_EQ(run.lvl.MapHeight(), 0);
    EXPECT_FALSE(run.report.HeaderBoxes);
    EXPECT_EQ(UpToZero(run.report.Title), "");
    EXPECT_EQ(UpToZero(run.report.Author), "Nobody");
    EXPECT_EQ(ViewGeometryOf(run.lvl.MapWidth(), run.lvl.MapHeight()), ViewGeometry{});
}

// ---------------------------------------------------------------------------
// The open level: LevelOpen, the state a new load resets, the file handles.

#ifdef __linux__
int OpenDescriptors()
{
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}
#endif

TEST(OpenLevelStateTest, LevelOpenOnlyAfterACompletedLoad)
{
    LoadRun run;
    EXPECT_FALSE(run.lvl.LevelOpen());
    const std::string good = run.dir.Write("good.level", Base().Cus4(360, "One", 0).Data());
    const std::string bad = run.dir.Write("bad.level", Text("not a level, not at all, not even close....."));
    const std::string broken = run.dir.Write("broken.level", LevelBuilder::Rnd1().Head({}).Data());

    run.Load(good);
    EXPECT_TRUE(run.lvl.LevelOpen());
    EXPECT_GE(run.lvl.Log().size(), 3u);
    run.lvl.CloseLevelFile();
    EXPECT_FALSE(run.lvl.LevelOpen());

    run.Load(good);
    run.Load(bad);
    EXPECT_FALSE(run.lvl.LevelOpen());
    EXPECT_EQ(run.lvl.Log().size(), 1u);
    // A rejected file empties the lists of the level before.
    EXPECT_TRUE(run.report.CeList.empty());
    EXPECT_TRUE(run.lvl.CePositions().empty());
    EXPECT_EQ(run.lvl.HeadPos(), -1);

    run.Load(good);
    run.Load(broken);
    EXPECT_FALSE(run.lvl.LevelOpen());
    EXPECT_FALSE(run.lvl.HasFile());
}

TEST(OpenLevelStateTest, NewLoadStartsFromAFreshState)
{
    LoadRun run;
    run.Load(Base().Cus4(360, "One", 0).Cus4(361, "Two", 0).Data(), "first.level");
    ASSERT_EQ(run.lvl.CePositions().size(), 2u);
    run.Load(LevelBuilder::Cookie("1.0").HeadData({.width = 2, .height = 1, .title = ""}).Cells({7, 8}, false).Data(),
             "second.level");
    ASSERT_FALSE(run.error) << *run.error;
    EXPECT_TRUE(run.lvl.CePositions().empty());
    EXPECT_TRUE(run.report.CeList.empty());
    EXPECT_EQ(run.lvl.AuthPos(), -1);
    EXPECT_EQ(run.lvl.HeadPos(), 34);
    EXPECT_EQ(run.lvl.Format(), LevelFormat::Cookie10);
    EXPECT_EQ(run.report.Author, "");
    EXPECT_TRUE(GridHolds(run.lvl, 2, 1, {7, 8}));
    EXPECT_EQ(run.lvl.File().Name(), run.path);
}

#ifdef __linux__
TEST(OpenLevelStateTest, EarlierAndRefusedFilesAreClosed)
{
    LoadRun run;
    const std::string a = run.dir.Write("a.level", Base().Data());
    const std::string b = run.dir.Write("b.level", Base(true).Data());
    const std::string bad = run.dir.Write("bad.level", Text("no level"));
    const std::string broken = run.dir.Write("broken.level", LevelBuilder::Rnd1().Head({}).Data());
    const int base = OpenDescriptors();

    run.Load(a);
    EXPECT_EQ(OpenDescriptors(), base + 1);
    run.Load(b);
    EXPECT_EQ(OpenDescriptors(), base + 1) << "the earlier level file is closed when a new load starts";
    EXPECT_EQ(run.lvl.File().Name(), b);
    run.Load(bad);
    EXPECT_EQ(OpenDescriptors(), base) << "a rejected file is not left open";
    run.Load(a);
    run.Load(broken);
    EXPECT_EQ(OpenDescriptors(), base) << "a file that failed to load is not left open";
    for (int i = 0; i < 20; ++i) run.Load(bad);
    EXPECT_EQ(OpenDescriptors(), base);
}
#endif

// ---------------------------------------------------------------------------
// The backup: the file's name with ".bak" appended, made once, never overwritten.

TEST(BackupTest, MadeAtTheFirstLoadWithTheSameBytes)
{
    LoadRun run;
    const Bytes file = Base().Data();
    run.Load(file, "a.level");
    EXPECT_TRUE(run.lvl.LevelOpen());
    EXPECT_EQ(test::ReadBytes(run.dir.Path() / "a.level.bak"), file);
}

TEST(BackupTest, NeverOverwrittenByALaterLoad)
{
    LoadRun run;
    const Bytes original = Base().Data();
    run.Load(original, "a.level");
    ASSERT_TRUE(SetCell(run.lvl, PackCell(1, 1), 200));
    run.Load(run.path);
    ASSERT_TRUE(run.lvl.LevelOpen());
    EXPECT_EQ(run.lvl.Grid().At(1, 1), 200);
    EXPECT_NE(test::ReadBytes(run.path), original);
    EXPECT_EQ(test::ReadBytes(run.path + ".bak"), original);
}

TEST(BackupTest, ExistingBackupStaysUntouched)
{
    LoadRun run;
    run.dir.Write("a.level.bak", "an older backup");
    run.Load(Base().Data(), "a.level");
    EXPECT_TRUE(run.lvl.LevelOpen());
    EXPECT_EQ(test::ReadBytes(run.path + ".bak"), Text("an older backup"));
}

TEST(BackupTest, NoneForARefusedFileOrAnEmptyOne)
{
    LoadRun run;
    run.Load(Text("hello"), "notes.txt");
    EXPECT_FALSE(std::filesystem::exists(run.dir.Path() / "notes.txt.bak"));
    run.Load(Bytes(), "empty.level");
    EXPECT_FALSE(std::filesystem::exists(run.dir.Path() / "empty.level.bak"));
}

// The backup is looked for once a session per level file: a reload of the
// same file does not look again, a new file under the same name does.
TEST(BackupTest, LookedForOnceForTheSameFileAndAgainForANewOne)
{
    LoadRun run;
    run.Load(Base().Data(), "a.level");
    const auto backup = run.dir.Path() / "a.level.bak";
    ASSERT_TRUE(std::filesystem::remove(backup));
    run.Load(run.path);
    EXPECT_TRUE(run.lvl.LevelOpen());
    EXPECT_FALSE(std::filesystem::exists(backup)) << "the same file was looked at in this session";

    const std::string replacement = run.dir.Write("new.level", Base(true).Data());
    test::ReplaceFile(replacement, run.path);  // the name now names another file
    run.Load(run.path);
    EXPECT_EQ(test::ReadBytes(backup), Base(true).Data());
}

TEST(BackupTest, MissingFileIsAnErrorAndLeavesNoBackup)
{
    LoadRun run;
    run.Load((run.dir.Path() / "missing.level").string());
    ASSERT_TRUE(run.error);
    EXPECT_FALSE(run.lvl.LevelOpen());
    EXPECT_FALSE(std::filesystem::exists(run.dir.Path() / "missing.level.bak"));
}

// ---------------------------------------------------------------------------

TEST(DirectLoadNameTest, PercentMarksADirectLoad)
{
    EXPECT_TRUE(IsDirectLoadName("%/data/levels/001.level"));
    EXPECT_EQ(DirectLoadPath("%/data/levels/001.level"), "/data/levels/001.level");
    EXPECT_EQ(DirectLoadPath("%/data/100%/001.level"), "/data/100%/001.level");  // after the first "%" only
    EXPECT_FALSE(IsDirectLoadName("/data/levels/001.level"));
    EXPECT_FALSE(IsDirectLoadName(""));
    EXPECT_EQ(DirectLoadPath("/data/levels/001.level"), "/data/levels/001.level");
}

}  // namespace
}  // namespace vantrel
