// The level document: a load replaces the whole index of the previous level,
// every write into the level passes through one door that keeps the bytes it
// replaced, and the document's own commands (load, Save and Close).
#include "base/Error.h"
#include "level/HeaderEdit.h"
#include "level/LevelDocument.h"
#include "support/LevelBuilder.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "tell/Tell.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using test::Bytes;
using test::LevelBuilder;

// A level that has every chunk the index records: AUTH, CNT2, CNT3, GRP1, two CUS4, then the map.
Bytes RichLevel()
{
    return LevelBuilder::Rnd1()
        .Head({.width = 4, .height = 3, .title = "Rich"})
        .Auth("Author")
        .Chunk("CNT2", Bytes(20, 0))
        .CodeChunk("CNT3", 621, 30)
        .CodeChunk("GRP1", 630, 40)
        .Cus4(361, "first", 1)
        .Cus4(362, "second", 0)
        .Body(test::PatternCells(4, 3, false), false)
        .Data();
}

TEST(LevelIndex, ASecondLoadKeepsNoPositionOfTheFirstFile)
{
    test::TempDir dir;
    test::ScriptedUi ui;
    OpenLevel lvl;
    LoadReport report;
    LoadAndTell(lvl, dir.Write("rich.level", RichLevel()), ui, report);
    ASSERT_TRUE(lvl.LevelOpen());
    ASSERT_NE(lvl.Index().Cnt2Pos, -1);
    ASSERT_NE(lvl.Index().EnvelopePos[2], -1);
    ASSERT_NE(lvl.Index().GroupPos[7], -1);
    ASSERT_EQ(lvl.CePositions().size(), 2u);

    const Bytes plain = LevelBuilder::Standard({.width = 2, .height = 2}, test::PatternCells(2, 2, false)).Data();
    LoadAndTell(lvl, dir.Write("plain.level", plain), ui, report);
    ASSERT_TRUE(lvl.LevelOpen());
    ChunkIndex expected;  // what the plain file alone gives
    expected.Format = LevelFormat::Rnd1;
    expected.LoadedFileSize = static_cast<std::int32_t>(plain.size());
    expected.HeadPos = 32;
    expected.AuthPos = 152;
    expected.BodyStart = 196;
    expected.MapWidth = expected.MapHeight = 2;
    const ChunkIndex& got = lvl.Index();
    EXPECT_EQ(got.HeadPos, expected.HeadPos);
    EXPECT_EQ(got.AuthPos, expected.AuthPos);
    EXPECT_EQ(got.BodyStart, expected.BodyStart);
    EXPECT_EQ(got.LoadedFileSize, expected.LoadedFileSize);
    for (std::int32_t pos : {got.ContPos, got.Cnt2Pos, got.Cus1Pos, got.Cus3Pos}) EXPECT_EQ(pos, -1);
    EXPECT_EQ(got.EnvelopePos, expected.EnvelopePos);
    EXPECT_EQ(got.GroupPos, expected.GroupPos);
    EXPECT_TRUE(got.CePositions.empty());
    EXPECT_EQ(lvl.Grid().Width(), 2);

    // A refused file forgets the index too: nothing of "plain" stays to be written through.
    LoadAndTell(lvl, dir.Write("junk.level", Bytes{'J', 'U', 'N', 'K'}), ui, report);
    EXPECT_FALSE(lvl.LevelOpen());
    EXPECT_EQ(lvl.HeadPos(), -1);
    EXPECT_EQ(lvl.BodyStart(), -1);
    EXPECT_EQ(lvl.AuthPos(), -1);
}

TEST(LevelDoor, EveryEditIsOneRecordedWriteOfExactlyTheChangedBytes)
{
    test::TempDir dir;
    test::ScriptedUi ui;
    const Bytes original = LevelBuilder::Standard({.width = 3, .height = 2, .title = "Old"},
                                                  test::PatternCells(3, 2, false)).Data();
    const std::string path = dir.Write("a.level", original);
    OpenLevel lvl;
    LoadReport report;
    LoadAndTell(lvl, path, ui, report);
    ASSERT_TRUE(lvl.LevelOpen());

    ASSERT_TRUE(SetCell(lvl, PackCell(2, 2), 0x42));
    ASSERT_TRUE(WriteTimeAndEmeralds(lvl, 300, 12));
    ASSERT_TRUE(WriteLevelTitle(lvl, "New"));

    // Replaying the recorded writes over the original gives the file; undoing them gives the original back.
    Bytes replay = original;
    std::vector<LevelEdit> edits;
    for (const LevelStep& s : lvl.Steps()) edits.insert(edits.end(), s.Edits.begin(), s.Edits.end());
    for (const LevelEdit& e : edits) {
        ASSERT_LE(e.Offset + e.After.size(), replay.size());
        EXPECT_TRUE(std::equal(e.Before.begin(), e.Before.end(), replay.begin() + e.Offset)) << "at " << e.Offset;
        std::copy(e.After.begin(), e.After.end(), replay.begin() + e.Offset);
    }
    lvl.CloseLevelFile();
    EXPECT_EQ(test::ReadBytes(path), replay);
    Bytes undone = replay;
    for (auto e = edits.rbegin(); e != edits.rend(); ++e)
        std::copy(e->Before.begin(), e->Before.end(), undone.begin() + e->Offset);
    EXPECT_EQ(undone, original);
    EXPECT_EQ(edits.front().Offset, 196 + 4) << "the cell (2, 2) of a 3 x 2 map";
    EXPECT_EQ(edits.front().After, Bytes{0x42});
}

TEST(LevelDoor, AWriteOutsideTheFileIsRefusedAndNotRecorded)
{
    OpenLevel lvl;
    lvl.AttachFile(std::make_unique<MemoryFile>("m", Bytes(10, 0)));
    const std::uint8_t b = 1;
    EXPECT_EQ(lvl.Patch(11, &b, 1), PatchResult::OutOfRange);
    EXPECT_EQ(lvl.Patch(-1, &b, 1), PatchResult::OutOfRange);
    EXPECT_TRUE(lvl.Steps().empty());
    EXPECT_EQ(lvl.Patch(10, &b, 1), PatchResult::Written) << "the end of the file: the write extends it";
    EXPECT_EQ(lvl.File().Size(), 11);
    EXPECT_TRUE(lvl.Steps().back().Edits.back().Before.empty());
}

TEST(LevelDocumentCommands, LoadsTheDirectNameOrAsksAndSaveAndCloseForgetsTheLevel)
{
    test::TempDir dir;
    test::ScriptedUi ui;
    test::MemorySettings settings;
    LevelDocument doc(ui, settings);
    const std::string path =
        dir.Write("a.level", LevelBuilder::Standard({.width = 2, .height = 2}, test::PatternCells(2, 2, false)).Data());

    LoadReport report;
    EXPECT_FALSE(doc.LoadLevelCommand(report)) << "the dialog was cancelled";
    EXPECT_EQ(ui.fileDialogTitles, std::vector<std::string>{"Open RnD Level File"});
    EXPECT_FALSE(doc.Level().LevelOpen());

    doc.SetOpenDialogName("%" + path);
    EXPECT_TRUE(doc.LoadLevelCommand(report));
    EXPECT_TRUE(doc.Level().LevelOpen());
    EXPECT_EQ(doc.OpenDialogName(), path);
    EXPECT_EQ(ui.fileDialogTitles.size(), 1u) << "a direct load asks nothing";

    doc.SetClipboard({.ClipBuffer = {{0}}, .ClipSize = PackCell(1, 1)});
    EXPECT_TRUE(doc.SaveAndClose().empty());
    EXPECT_FALSE(doc.Level().LevelOpen());
    EXPECT_FALSE(doc.Level().HasFile());
    EXPECT_TRUE(doc.Level().Log().empty());
    EXPECT_TRUE(doc.Level().LevelPath().empty());
    EXPECT_TRUE(doc.OpenDialogName().empty());
    EXPECT_EQ(doc.Clipboard().ClipSize, PackCell(1, 1)) << "the clipboard outlasts the level";
}

// Pages built after loads show what the loads told them: the document keeps
// the reports since the level was closed, and whether the last map read was drawn.
TEST(LevelDocumentCommands, KeepsTheLoadsSinceTheLevelWasClosed)
{
    test::TempDir dir;
    test::ScriptedUi ui;
    test::MemorySettings settings;
    LevelDocument doc(ui, settings);
    const std::string rich = dir.Write("rich.level", RichLevel());
    const std::string plain = dir.Write(
        "b.level", LevelBuilder::Standard({.width = 2, .height = 2, .title = "B"}, test::PatternCells(2, 2, false)).Data());
    const std::string missing = (dir.Path() / "missing.level").string();
    const auto load = [&](const std::string& path) {
        doc.SetOpenDialogName("%" + path);
        LoadReport report;
        try {
            doc.LoadLevelCommand(report);
        } catch (const VantrelError&) {
        }
    };
    const auto titles = [&] {
        std::vector<std::string> out;
        for (const LoadReport& r : doc.LoadsSinceClose()) out.push_back(r.TitleAuthorSet ? UpToZero(r.Title) : "-");
        return out;
    };
    EXPECT_FALSE(doc.LastMapPainted()) << "no map was read yet";

    load(rich);
    EXPECT_EQ(titles(), std::vector<std::string>{"Rich"});
    EXPECT_EQ(doc.LoadsSinceClose().back().CeList.size(), 2u);
    load(missing);
    load(missing);
    EXPECT_EQ(titles(), (std::vector<std::string>{"Rich", "-"}))
        << "a failed load hides nothing; only the last one's CE list counts";
    EXPECT_TRUE(doc.LoadsSinceClose().back().CeList.empty());
    load(plain);
    EXPECT_EQ(titles(), std::vector<std::string>{"B"}) << "a whole load stands alone";
    EXPECT_EQ(doc.LastMapPainted(), true);

    EXPECT_TRUE(doc.SaveAndClose().empty());
    EXPECT_TRUE(doc.LoadsSinceClose().empty());
    EXPECT_FALSE(doc.LastMapPainted()) << "the view shows no map after Save and Close";
    load(plain);
    doc.SetPaintLevels(false);
    load(missing);
    EXPECT_EQ(doc.LastMapPainted(), true) << "a load that read no map changes nothing in the view";
    load(plain);
    EXPECT_EQ(doc.LastMapPainted(), false);
}

}  // namespace
}  // namespace vantrel
