// Real levels through Level Sketch text and back: the whole map of every
// corpus level copied as Level Sketch, made into a new level from that
// text, and the new level loaded again. Levels with custom or higher codes
// are left out (their sketch names a stand-in code).
#include "quote/QuotePost.h"

#include "file/ByteFile.h"
#include "level/Loader.h"
#include "support/Lines.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "view/MapClipboard.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> CorpusLevelFiles()
{
    std::vector<std::string> files;
    const fs::path dir = test::CorpusDir();
    if (dir.empty()) return files;
    for (const auto& e : fs::recursive_directory_iterator(dir / "levels"))
        if (e.is_regular_file() && e.path().extension() == ".level" &&
            e.path().string().find("/newer/") == std::string::npos)
            files.push_back(fs::relative(e.path(), dir).string());
    std::sort(files.begin(), files.end());
    return files;
}

// Loads path from its bytes in memory: the corpus file is only read.
LoadReport LoadBytes(OpenLevel& lvl, const std::string& path)
{
    test::ScriptedUi ui;
    LoadReport report;
    LoadOptions options;
    options.TickMs = [] { return std::int64_t{0}; };
    LoadLevelFrom(lvl, std::make_unique<MemoryFile>(path, test::ReadBytes(path)), report, options);
    return report;
}

TEST(QuoteRoundTripTest, CorpusLevelsComeBackFromTheirLevelSketch)
{
    const auto files = CorpusLevelFiles();
    if (files.empty()) GTEST_SKIP() << "../shared/corpus is absent";
    test::TempDir out;
    int tried = 0;
    for (const std::string& name : files) {
        SCOPED_TRACE(name);
        OpenLevel original;
        ASSERT_TRUE(LoadBytes(original, (test::CorpusDir() / name).string()).Completed);
        const CellGrid& grid = original.Grid();
        long emeralds = 0;
        bool plain = true;
        for (int y = 1; y <= grid.Height(); ++y)
            for (int x = 1; x <= grid.Width(); ++x) {
                plain = plain && grid.At(x, y) < 360;
                emeralds += QuoteEmeraldWeight(grid.At(x, y));
            }
        if (!plain) continue;
        ++tried;

        MapSelection all;
        all.SelectionStart = PackCell(1, 1);
        all.SelectionEnd = PackCell(grid.Width(), grid.Height());
        MapClipboard clip;
        ASSERT_TRUE(CopySelection(original, all, clip));
        std::string sketch;
        for (const std::string& line : LevelSketchLines(clip)) sketch += line + "\n";

        const auto path = MakeLevelFromQuote(sketch, out.Path().string(), "").Path;
        ASSERT_TRUE(path);
        OpenLevel made;
        const LoadReport report = LoadBytes(made, *path);
        const std::string end = std::to_string(196 + 2 * grid.Width() * grid.Height());
        EXPECT_TRUE(test::LinesAre(made.Log(), {"Loading " + *path, "RND1 file - checking version",
                                                "CAVEVERS 0200000003000803 seek to 28", "HEAD at 28 seek to 148",
                                                "AUTH at 148 seek to 188", "BODY at 188 seek to " + end,
                                                end + " bytes loaded in 0 milliseconds"}));
        EXPECT_EQ(made.Grid(), grid);
        ASSERT_TRUE(report.HeaderBoxes);
        EXPECT_EQ(report.HeaderBoxes->Emeralds, std::min(emeralds, 65535L));
    }
    EXPECT_GT(tried, 40) << "too few corpus levels went round";
}

}  // namespace
}  // namespace vantrel
