// Export of custom elements into a .vce file and their import into another
// level: the exact bytes written, messages and log lines, the refusals (each
// leaving the level and the .vce file byte for byte as they were), a round
// trip over real levels, and the vantrel-cli commands "export" and "import".
#include "base/Error.h"
#include "ce/CeBytes.h"
#include "ce/CeRecord.h"
#include "ce/CeTransfer.h"
#include "ce/CeViews.h"
#include "level/Loader.h"
#include "support/Lines.h"
#include "support/RunCli.h"
#include "support/ScriptedUi.h"
#include "support/SystemOnly.h"
#include "support/TempDir.h"
#include "tell/Tell.h"

#include <gtest/gtest.h>


#include <filesystem>
#include <functional>
#include <map>

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::Ce;
using test::CeSpec;
using test::Code;
using test::Concat;
using test::Cus4Chunk;
using test::PageSpec;
using test::RunCli;

// CE 3 and CE 5 linking to each other, to themselves and to CE 7 (not in the file).
CeSpec Three()
{
    CeSpec ce = Ce(3, "Three", 1);
    ce.explode = {Code(5), 0, 0, 0, Code(3), 0, 0, 0, 0};
    ce.pages[0].changeTo = Code(7);
    ce.pages[0].extChange = {0, 0, 0, 0, 0, 0, 0, 0, Code(5)};
    return ce;
}
CeSpec Five()
{
    CeSpec ce = Ce(5, "Five", 2);
    ce.pages[1].condElement = Code(5);
    ce.graphicOf = Code(3);  // a borrowed graphic: renumbered like a link
    return ce;
}

// A level in a temporary folder, loaded as the window loads it.
class TransferTest : public ::testing::Test {
public:
    void TearDown() override { lvl.CloseLevelFile(); }

    void OpenLevelFile(const Bytes& bytes, const std::string& name = "017.level")
    {
        levelPath = dir.Write(name, bytes);
        Load();
    }
    void Load()
    {
        LoadAndTell(lvl, levelPath, ui, report);
        ASSERT_TRUE(report.Completed);
    }
    std::string WriteVce(const Bytes& bytes) { return vcePath = dir.Write("in.vce", bytes); }
    Bytes LevelBytes() const { return test::ReadBytes(levelPath); }
    std::vector<std::string> LogSinceLoad() const
    {
        return {lvl.Log().begin() + static_cast<std::ptrdiff_t>(loadLogLines), lvl.Log().end()};
    }
    void LoadVce()
    {
        loadLogLines = lvl.Log().size();
        ASSERT_TRUE(LoadVceFile(vcePath, list));
    }
    // An export as the window runs it: the refusals said, the question asked, the count said.
    ExportResult Export(const std::vector<std::string>& ceList, const std::vector<bool>& checked)
    {
        const ExportPlan plan = PlanExport(lvl, ceList, checked);
        for (const Notice& refusal : plan.Refusals) ui.messages.push_back(refusal.Text);
        const ExportResult r = WriteExport(plan, ui);
        if (r.Written) ui.messages.push_back(ExportedMessage(r.Exported, r.Path));
        return r;
    }

    test::TempDir dir;
    test::ScriptedUi ui;
    OpenLevel lvl;
    LoadReport report;
    std::string levelPath;
    std::string vcePath;
    CeImportList list;
    std::size_t loadLogLines = 0;
};

// ---------------------------------------------------------------------------
// Export

TEST_F(TransferTest, ExportCopiesTheCheckedChunksByteForByte)
{
    const Bytes one = Cus4Chunk(Ce(1, "One", 1)), skipped = Cus4Chunk(Ce(2, "Skip", 0)),
                two = Cus4Chunk(Ce(3, "Two", 2));
    OpenLevelFile(test::LevelWithChunks({one, skipped, two}));
    const ExportResult r = Export(report.CeList, {true, false, true});
    const Bytes vce = test::ReadBytes(dir.Path() / "017.level.vce");
    ASSERT_EQ(vce.size(), 352u);
    EXPECT_EQ(vce, Concat({one, two}));
    EXPECT_EQ(Bytes(vce.begin(), vce.begin() + 8), (Bytes{'C', 'U', 'S', '4', 0, 0, 0, 144}));
    EXPECT_EQ(Bytes(vce.begin() + 152, vce.begin() + 156), (Bytes{'C', 'U', 'S', '4'}));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"2 CEs exported successfully to " + r.Path});
    EXPECT_EQ(r.Exported, 2);
}

TEST_F(TransferTest, ExportAsksBeforeReplacingAnEarlierExport)
{
    const Bytes one = Cus4Chunk(Ce(1, "One", 1)), two = Cus4Chunk(Ce(3, "Two", 2));
    OpenLevelFile(test::LevelWithChunks({one, two}));
    const std::string vce = dir.Write("017.level.vce", std::string("three CEs of an earlier export"));
    struct Case {
        bool yes;
        std::vector<bool> ticked;
        Bytes file;  // what 017.level.vce holds afterwards
        const char* said;
    };
    const Bytes earlier = test::ReadBytes(vce);
    const Case cases[] = {
        {false, {true, true}, earlier, nullptr},
        {true, {false, true}, two, "1 CE exported successfully to "},
    };
    for (const Case& c : cases) {
        ui = test::ScriptedUi();
        ui.answers.push_back(c.yes);
        const ExportResult r = Export(report.CeList, c.ticked);
        const std::string exported = c.ticked[0] ? "2 custom elements" : "1 custom element";
        EXPECT_EQ(ui.questions, std::vector<std::string>{"The file " + vce + " exists already. Replace it with the " +
                                                         exported + " ticked now?"});
        EXPECT_EQ(r.Written, c.yes);
        EXPECT_EQ(r.Declined, !c.yes);
        EXPECT_EQ(test::ReadBytes(vce), c.file);
        EXPECT_EQ(ui.messages, c.said ? std::vector<std::string>{c.said + vce} : std::vector<std::string>{});
    }
}

TEST_F(TransferTest, ExportWithNothingToWriteKeepsTheEarlierExport)
{
    Bytes lying = Cus4Chunk(Ce(2, "Lying", 1));
    lying[7] = 96;
    OpenLevelFile(test::LevelWithChunks({Cus4Chunk(Ce(1, "One", 1)), lying}));
    const std::string earlier = "earlier bytes";
    const std::string vce = dir.Write("017.level.vce", earlier);
    EXPECT_FALSE(Export(report.CeList, {false, false}).Written);
    EXPECT_FALSE(Export(report.CeList, {false, true}).Written);
    EXPECT_EQ(ui.messages.front(), kNothingTickedMessage);
    EXPECT_EQ(ui.messages.back(), "No custom element was exported: " + vce + " was not written.");
    EXPECT_EQ(test::ReadBytes(vce), Bytes(earlier.begin(), earlier.end()));
}

TEST_F(TransferTest, ExportRefusesChunksThatDoNotHoldTheirPagesAndExportsTheOthers)
{
    const Bytes good = Cus4Chunk(Ce(1, "Good", 1));
    Bytes lying = Cus4Chunk(Ce(2, "Lying", 1));
    lying[7] = 96;  // the stored length says no pages; the page count says 1
    // The last chunk says 3 pages but the file ends after its base block: the loader lists it.
    Bytes cut = Cus4Chunk(Ce(4, "Cut off", 3));
    cut.resize(8 + 96);
    OpenLevelFile(test::LevelWithChunks({lying, good, cut}));
    ASSERT_EQ(report.CeList, (std::vector<std::string>{"2: Lying", "1: Good", "4: Cut off"}));
    const auto view = CeViewOfLine(lvl, 2, std::string(report.CeList[2]));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->Notice, "The custom element record at 472 runs past the end of the file (568 bytes): "
                            "change pages 1 to 3 are not shown.");
    const ExportResult r = Export(report.CeList, {true, true, true});
    EXPECT_EQ(test::ReadBytes(r.Path), good);
    EXPECT_EQ(r.RefusedLines, (std::vector<int>{0, 2}));
    EXPECT_EQ(ui.messages,
              (std::vector<std::string>{
                  "The custom element \"2: Lying\" was not exported: its stored length 96 disagrees with its 1 "
                  "change pages (96 + 48 x 1 = 144).",
                  "The custom element \"4: Cut off\" was not exported: its chunk runs past the end of the level "
                  "file (568 bytes).",
                  "1 CE exported successfully to " + r.Path}));
}

TEST_F(TransferTest, ExportWithNoLevelOpenWritesNoFile)
{
    OpenLevelFile(test::LevelWithChunks({Cus4Chunk(Ce(1, "One", 1))}));
    const auto lines = report.CeList;
    lvl.Close();
    const fs::path cwd = fs::current_path();
    fs::current_path(dir.Path());
    const ExportResult r = Export(lines, {true});
    fs::current_path(cwd);
    EXPECT_FALSE(r.Written);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"No level is open: load a level (File > Load Level), then export its custom elements. No .vce file was written."});
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        EXPECT_NE(entry.path().extension(), ".vce") << entry.path();
}

TEST_F(TransferTest, AFailedExportLeavesWhatWasThereAndNoPartialFile)
{
    OpenLevelFile(test::LevelWithChunks({Cus4Chunk(Ce(1, "One", 1))}));
    fs::create_directory(dir.Path() / "017.level.vce");  // the new file cannot replace a folder
    dir.Write("017.level.vce/keep", std::string("kept"));
    ui.answers.push_back(true);  // replace it
    EXPECT_THROW(Export(report.CeList, {true}), VantrelError);
    EXPECT_EQ(test::ReadBytes(dir.Path() / "017.level.vce" / "keep"), (Bytes{'k', 'e', 'p', 't'}));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"017.level", "017.level.bak", "017.level.vce"}));
}

// A file size limit below the .vce's size, as a full disk: the export says so
// and the .vce of an earlier export stays whole.
TEST_F(TransferTest, AnExportCutShortByTheFileSizeLimitKeepsTheEarlierFile)
{
    OpenLevelFile(test::LevelWithChunks({Cus4Chunk(Ce(1, "One", 1))}));
    const std::string vce = dir.Write("017.level.vce", std::string("earlier export"));
    VANTREL_SKIP_ON_WINDOWS("a file size limit is POSIX's");
    ui.answers.push_back(true);  // replace it
    std::string message;
    try {
        test::FileSizeLimit limit(64);
        Export(report.CeList, {true});
    } catch (const VantrelError& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "The file " + vce + " could not be written (writing: File too large); nothing was changed.");
    EXPECT_EQ(test::ReadBytes(vce), (Bytes{'e', 'a', 'r', 'l', 'i', 'e', 'r', ' ', 'e', 'x', 'p', 'o', 'r', 't'}));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"017.level", "017.level.bak", "017.level.vce"}));
}

// ---------------------------------------------------------------------------
// Loading a CE file into the import list

struct BadVceCase {
    const char* name;
    Bytes bytes;
    std::string message;  // "{path}" stands for the file's path
};
void PrintTo(const BadVceCase& c, std::ostream* os) { *os << c.name; }

class BadVceTest : public TransferTest, public ::testing::WithParamInterface<BadVceCase> {};

TEST_P(BadVceTest, GivesAMessageAndKeepsTheList)
{
    OpenLevelFile(test::LevelWithChunks({}));
    list.Lines = {"1:Kept-->9"};
    list.VcePath = "earlier.vce";
    const std::string path = WriteVce(GetParam().bytes);
    const VceLoadResult r = LoadVceFile(path, list);
    EXPECT_FALSE(r);
    std::string message = GetParam().message;
    if (const auto at = message.find("{path}"); at != std::string::npos) message.replace(at, 6, path);
    EXPECT_EQ(r.Refusal, Notice{message});
    EXPECT_EQ(list.Lines, std::vector<std::string>{"1:Kept-->9"});
    EXPECT_EQ(list.VcePath, "earlier.vce");
}

Bytes Shortened(Bytes b, std::size_t n)
{
    b.resize(n);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadVceTest,
    ::testing::Values(
        BadVceCase{"Empty", {}, "Could not open file - {path} holds 0 bytes; a vce file begins with the four bytes "
                                "\"CUS4\" or \"CUSX\"."},
        BadVceCase{"ThreeBytes", {'C', 'U', 'S'},
                   "Could not open file - {path} holds 3 bytes; a vce file begins with the four bytes \"CUS4\" or "
                   "\"CUSX\"."},
        BadVceCase{"NoChangePage", Concat({Cus4Chunk(Three()), Cus4Chunk(Ce(9, "None", 0))}),
                   "Could not open file - The custom element at offset 152 of {path} has no change page: the game "
                   "would read one change page past its end and misread everything after it."},
        BadVceCase{"NotCus4", Concat({Bytes{'c'}, Cus4Chunk(Three())}),
                   "Could not open file - File does not seem to be a real vce file!"},
        BadVceCase{"ChunkCutShort", Shortened(Cus4Chunk(Five()), 150),
                   "Could not open file - The custom element at offset 0 of {path} runs past the end of the file "
                   "(150 bytes)."},
        BadVceCase{"LengthDisagreesWithPages",
                   [] {
                       Bytes b = Concat({Cus4Chunk(Three()), Cus4Chunk(Five())});
                       b[152 + 7] = 144;
                       return b;
                   }(),
                   "Could not open file - The custom element at offset 152 of {path} has the stored length 144, "
                   "but its 2 change pages need 192."},
        BadVceCase{"StrayBytesBetweenChunks", Concat({Cus4Chunk(Three()), Bytes(5, 'x'), Cus4Chunk(Five())}),
                   "Could not open file - The file {path} holds 205 bytes from offset 152 on that begin no custom "
                   "element (CUS4 or CUSX chunk); a .vce file holds nothing between or after its chunks."},
        BadVceCase{"StrayBytesAfterTheChunks", Concat({Cus4Chunk(Three()), Bytes{1, 2, 3}}),
                   "Could not open file - The file {path} holds 3 bytes from offset 152 on that begin no custom "
                   "element (CUS4 or CUSX chunk); a .vce file holds nothing between or after its chunks."}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Choosing the new ids

TEST_F(TransferTest, SetPosAsksAboutEveryOccupyingCeAndNoKeepsTheLine)
{
    list.Lines = {"1:A-->1", "4:B-->4"};
    const std::vector<std::string> ceList = {"7: Seven", "9: Lava", "9: Lava again"};
    ui.answers = {true, false};
    EXPECT_FALSE(SetImportPos(ceList, list, 1, 9, ui));
    EXPECT_EQ(ui.questions, (std::vector<std::string>{"Custom Element Id 9 is occupied by \"Lava\", use anyways?",
                                                      "Custom Element Id 9 is occupied by \"Lava again\", use anyways?"}));
    EXPECT_EQ(list.Lines[1], "4:B-->4");
    ui.answers = {true, true};
    EXPECT_TRUE(SetImportPos(ceList, list, 1, 9, ui));
    EXPECT_TRUE(SetImportPos(ceList, list, 0, 8, ui));
    EXPECT_FALSE(SetImportPos(ceList, list, -1, 8, ui));
    EXPECT_EQ(list.Lines, (std::vector<std::string>{"1:A-->8", "4:B-->9"}));
}

TEST(ImportListTest, IncDecAllIsNotLimitedAndAClickHoldsTheSpinEditsRange)
{
    CeImportList list;
    list.Lines = {"1:A-->1", "4:B-->4", "2:a-->b-->2"};
    IncDecAll(list, -3);
    EXPECT_EQ(list.Lines, (std::vector<std::string>{"1:A-->-2", "4:B-->1", "2:a-->b-->-1"}));
    EXPECT_EQ(ImportAtOfLine(list, 0), 1);
    EXPECT_EQ(ImportAtOfLine(list, 1), 1);
    IncDecAll(list, 300);
    EXPECT_EQ(list.Lines[1], "4:B-->301");
    EXPECT_EQ(ImportAtOfLine(list, 1), 256);
    EXPECT_EQ(ImportAtOfLine(list, 3), std::nullopt);
    EXPECT_EQ(ImportAtOfLine(list, -1), std::nullopt);
}

// ---------------------------------------------------------------------------
// Finish Import

class FinishTest : public TransferTest {
public:
    void SetUp() override
    {
        OpenLevelFile(test::LevelWithChunks({Cus4Chunk(Ce(1, "In level", 1))}));
        vceBytes = Concat({Cus4Chunk(Three()), Cus4Chunk(Five())});
        WriteVce(vceBytes);
        LoadVce();
        levelBefore = LevelBytes();
    }
    // An import as the window runs it with its details box ticked: the boxes
    // of bytes as the renumbering reaches them, then what it did.
    ImportResult Finish()
    {
        FinishImportOptions options;
        options.ShowBytes = [this](const std::string& hex) { ui.messages.push_back(hex); };
        const ImportResult r = FinishImport(lvl, report.CeList, list, ui, options);
        for (const Notice& notice : ImportNotices(r)) ui.messages.push_back(notice.Text);
        return r;
    }
    void ExpectNothingWritten()
    {
        EXPECT_EQ(LevelBytes(), levelBefore);
        EXPECT_EQ(test::ReadBytes(vcePath), vceBytes);
    }

    Bytes vceBytes;
    Bytes levelBefore;
};

TEST_F(FinishTest, RenumbersACopyAppendsItAndKeepsTheVceFile)
{
    list.Lines[1] = "5:Five-->10";
    const ImportResult r = Finish();
    EXPECT_EQ(r.Status, ImportStatus::Imported);
    EXPECT_EQ(r.LinkCount, 5);  // 364 twice in Three, 362 in Three, 364 and the graphic 362 in Five; 366 (CE 7) stays
    CeSpec three = Three(), five = Five();
    three.explode[0] = Code(10);
    three.pages[0].extChange[8] = Code(10);
    five.number = 10;
    five.pages[1].condElement = Code(10);
    EXPECT_EQ(LevelBytes(), Concat({levelBefore, Cus4Chunk(three), Cus4Chunk(five)}));
    EXPECT_EQ(test::ReadBytes(vcePath), vceBytes);
    ASSERT_EQ(lvl.Steps().size(), 1u);
    EXPECT_EQ(lvl.Steps()[0].Edits.size(), 1u);  // one write

    const std::string size = std::to_string(vceBytes.size());
    const std::string fiveAt = std::to_string(vceBytes.size() - Cus4Chunk(Five()).size());
    const std::string fiveRecordAt = std::to_string(vceBytes.size() - Cus4Chunk(Five()).size() + 8);
    EXPECT_EQ(LogSinceLoad(),
              (std::vector<std::string>{
                  "NewCEIdOfIndex(0) = 3", "CEIndex 0 will have CEId 3", "Bytes at 8: 016A5468726565000000",
                  "OldCEIdIsInImportList(3) = 0", "OLDCEId = 0", "NewCEIdOfIndex(0) = 3",
                  "OldCEIdIsInImportList(5) = 1", "NewCEIdOfIndex(1) = 10",  // explode, top left
                  "OldCEIdIsInImportList(3) = 0", "NewCEIdOfIndex(0) = 3",   // explode, middle
                  "OldCEIdIsInImportList(7) = -1",                          // change to
                  "OldCEIdIsInImportList(5) = 1", "NewCEIdOfIndex(1) = 10",  // extended change, bottom right
                  "Bytes at " + fiveAt + ": 43555334000000C0016C",            // Five's chunk header as read
                  "NewCEIdOfIndex(1) = 10", "CEIndex 1 will have CEId 10",
                  "Bytes at " + fiveRecordAt + ": 016C4669766500000000", "OldCEIdIsInImportList(5) = 1",
                  "OLDCEId = 1", "NewCEIdOfIndex(1) = 10",
                  "OldCEIdIsInImportList(3) = 0", "NewCEIdOfIndex(0) = 3",   // borrowed graphic
                  "OldCEIdIsInImportList(5) = 1", "NewCEIdOfIndex(1) = 10",  // page 2 condition element
                  "The 10 bytes at " + size + " run past the end of the file (" + size + " bytes): nothing was read there",
                  "Bytes at " + size + ": none, the end of the file"}));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"016A5468726565000000",   // Three's record
                                                     "43555334000000C0016C",   // Five's chunk header as read
                                                     "016C4669766500000000",   // Five's record; no box for no bytes
                                                     "5 Links detected and changed!", "Importing CEs finished"}));
    EXPECT_TRUE(ui.questions.empty());
    // The level's index lists the chunks appended; the CE list can show them at once.
    EXPECT_EQ(r.NewCeLines, (std::vector<std::string>{"3: Three", "10: Five"}));
    ASSERT_EQ(lvl.CePositions().size(), 3u);
    EXPECT_EQ(CeViewOfLine(lvl, 2, "10: Five")->Name, "Five");
}

// Every element code the game reads from a record names the renumbered CE:
// the element a CE can enter and the one it leaves behind too.
TEST_F(TransferTest, EveryElementCodeOfARecordIsRenumbered)
{
    OpenLevelFile(test::LevelWithChunks({}));
    CeSpec one = Ce(1, "Walker", 1), two = Ce(2, "Two", 1), six = Ce(6, "Six", 1);
    one.enter = Code(2);
    one.leave = Code(6);
    one.graphicOf = Code(6);
    one.pages[0].changeTo = Code(2);
    WriteVce(Concat({Cus4Chunk(one), Cus4Chunk(two), Cus4Chunk(six)}));
    LoadVce();
    const Bytes before = LevelBytes();
    list.Lines[1] = "2:Two-->20";
    list.Lines[2] = "6:Six-->30";
    const ImportResult r = FinishImport(lvl, report.CeList, list, ui);
    ASSERT_EQ(r.Status, ImportStatus::Imported);
    EXPECT_EQ(r.LinkCount, 4);  // the graphic, the element entered, the one left behind, the change-to
    one.enter = Code(20), one.leave = Code(30), one.graphicOf = Code(30), one.pages[0].changeTo = Code(20);
    two.number = 20, six.number = 30;
    EXPECT_EQ(LevelBytes(), Concat({before, Cus4Chunk(one), Cus4Chunk(two), Cus4Chunk(six)}));
}

// A CUS4 record does not hold the step delays: over a CE that a CUSX chunk of
// the level sets, a CUSX chunk puts them back to their defaults first. Over a
// CE the level holds as a CUS4 record, the record goes as it is.
TEST_F(TransferTest, ACus4OverACeACusxSetsPutsBackWhatItDoesNotHold)
{
    const Bytes inLevel = {'C', 'U', 'S', 'X', 0, 0, 0, 9, 0x01, 0x69, 0x50, 0x00, 0x05, 0x09, 0x01, 0x01, 0x00};
    const Bytes reset = {'C', 'U', 'S', 'X', 0, 0, 0, 12, 0x01, 0x69, 0x50, 0x00, 0x00,
                         0x51, 0x00, 0x00, 0x09, 0x01, 0x01, 0x00};
    struct Case {
        const char* name;
        Bytes level;
        Bytes before;  // what goes before the record
    };
    const Case cases[] = {
        {"CE 2 set by a CUSX chunk", inLevel, reset},
        {"CE 2 a CUS4 record", Cus4Chunk(Ce(2, "A", 1)), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.answers = {true};
        OpenLevelFile(test::LevelWithChunks({c.level}));
        WriteVce(Cus4Chunk(Ce(1, "B", 1)));
        LoadVce();
        list.Lines[0] = WithNewId(list.Lines[0], 2);
        const Bytes before = LevelBytes();
        EXPECT_EQ(FinishImport(lvl, report.CeList, list, ui).Status, ImportStatus::Imported);
        EXPECT_EQ(LevelBytes(), Concat({before, c.before, Cus4Chunk(Ce(2, "B", 1))}));
        lvl.CloseLevelFile();
    }
}

// A CUSX chunk holds only the settings that differ from the game's defaults,
// and the game applies it over what the element already holds: over a CE
// number in use, the import writes every setting of the base part, so that
// nothing of the old CE stays in play. Onto a free number it goes as it is.
TEST_F(TransferTest, ACusxOverACeInUseCarriesItsWholeBasePart)
{
    const Bytes page = {0x09, 0x01, 0x01, 0x00, 0x02, 0x01};  // one page, page 0: it changes
    const Bytes cusx = Concat({{'C', 'U', 'S', 'X', 0, 0, 0, 8, 0x01, 0x69}, page});  // CE 2
    // Every base entry the game knows but the page count, with its default, in the game's order.
    const Bytes defaults = Concat({{0xC1, 0x00, 0x10}, Bytes{'C', 'u', 's', 't', 'o', 'm', ' ', 'e', 'l', 'e', 'm', 'e', 'n', 't', ' ', '2'},
                                   {0x81, 0x08, 0x00, 0x00, 0x00, 0x01, 0x00, 0x41, 0x00, 0x00, 0x02, 0x0F},
                                   {0x42, 0x00, 0x0A, 0x43, 0x00, 0x01, 0x44, 0x00, 0x00, 0x45, 0x00, 0x00, 0x03, 0x00},
                                   {0x46, 0x00, 0x08, 0x47, 0x00, 0x08, 0x48, 0x00, 0x00, 0x49, 0x00, 0x00},
                                   {0x4A, 0x00, 0x00, 0x4B, 0x00, 0x00, 0x50, 0x00, 0x00, 0x51, 0x00, 0x00},
                                   {0x83, 0x00, 0x00, 0x00, 0x0F, 0x04, 0x00, 0x05, 0x04, 0x4C, 0x00, 0x00, 0x4D, 0x00, 0x00},
                                   {0x06, 0x00, 0x07, 0x00, 0x08, 0x00, 0x4E, 0x00, 0x10, 0x4F, 0x00, 0x08, 0xC2, 0x00, 0x12},
                                   Bytes(18, 0)});
    ASSERT_EQ(defaults.size(), 117u);
    struct Case {
        const char* name;
        int newId;
        Bytes appended;
        std::vector<std::string> questions;
    };
    const Case cases[] = {
        {"free number", 3, Concat({{'C', 'U', 'S', 'X', 0, 0, 0, 8, 0x01, 0x6A}, page}), {}},
        {"number in use", 2, Concat({{'C', 'U', 'S', 'X', 0, 0, 0, 8 + 117, 0x01, 0x69}, defaults, page}),
         {"Custom Element Id 2 is occupied by \"A\", continue? The imported custom element takes its place whole: "
          "the settings it leaves at their defaults are written out too, so that nothing of \"A\" stays in play."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.questions.clear();
        ui.answers = {true};
        OpenLevelFile(test::LevelWithChunks({Cus4Chunk(Ce(2, "A", 1))}));
        WriteVce(cusx);
        LoadVce();
        list.Lines[0] = WithNewId(list.Lines[0], c.newId);
        const Bytes before = LevelBytes();
        EXPECT_EQ(FinishImport(lvl, report.CeList, list, ui).Status, ImportStatus::Imported);
        EXPECT_EQ(LevelBytes(), Concat({before, c.appended}));
        EXPECT_EQ(ui.questions, c.questions);
        lvl.CloseLevelFile();
    }
}

TEST_F(FinishTest, AnOccupiedIdIsAskedAboutAndNoWritesNothing)
{
    list.Lines[0] = "3:Three-->1";
    ui.answers = {false};
    const ImportResult r = Finish();
    EXPECT_EQ(r.Status, ImportStatus::Declined);
    EXPECT_EQ(ui.questions,
              std::vector<std::string>{"Custom Element Id 1 is occupied by \"In level\", continue? The imported custom "
                                       "element takes its place: the game reads it after \"In level\" and plays "
                                       "the imported one."});
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Nothing was imported: the level is as it was."});
    ExpectNothingWritten();
}

struct RefusalCase {
    const char* name;
    std::function<void(FinishTest&)> change;
    std::string message;  // "{path}" stands for the .vce file's path
};
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class FinishRefusalTest : public FinishTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(FinishRefusalTest, SaysWhyAndWritesNeitherFile)
{
    GetParam().change(*this);
    vceBytes = test::ReadBytes(vcePath);
    const ImportResult r = Finish();
    EXPECT_EQ(r.Status, ImportStatus::Refused);
    std::string message = GetParam().message;
    if (const auto at = message.find("{path}"); at != std::string::npos) message.replace(at, 6, vcePath);
    EXPECT_EQ(ui.messages, std::vector<std::string>{message});
    EXPECT_TRUE(ui.questions.empty());
    ExpectNothingWritten();
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, FinishRefusalTest,
    ::testing::Values(
        RefusalCase{"IdsBelowOne", [](FinishTest& t) { IncDecAll(t.list, -3); },
                    "Import line 1 \"3:Three-->0\" gives the custom element id 0, which lies outside 1..256. "
                    "Nothing was imported."},
        RefusalCase{"IdAbove256", [](FinishTest& t) { t.list.Lines[1] = "5:Five-->257"; },
                    "Import line 2 \"5:Five-->257\" gives the custom element id 257, which lies outside 1..256. "
                    "Nothing was imported."},
        RefusalCase{"FileLostAChunk", [](FinishTest& t) { t.dir.Write("in.vce", Cus4Chunk(Three())); },
                    "The file {path} no longer matches the import list: it holds 1 custom elements, the import "
                    "list 2. Load it again. Nothing was imported."},
        RefusalCase{"FileGainedAChunk",
                    [](FinishTest& t) { t.dir.Write("in.vce", Concat({t.vceBytes, Cus4Chunk(Ce(9, "New", 1))})); },
                    "The file {path} no longer matches the import list: it holds 3 custom elements, the import "
                    "list 2. Load it again. Nothing was imported."},
        RefusalCase{"ChunkHasAnotherId",
                    [](FinishTest& t) { t.dir.Write("in.vce", Concat({Cus4Chunk(Three()), Cus4Chunk(Ce(6, "Six", 2))})); },
                    "The file {path} no longer matches the import list: its custom element 2 has the id 6, import "
                    "line 2 is \"5:Five-->5\". Load it again. Nothing was imported."},
        RefusalCase{"NoListLoaded", [](FinishTest& t) { t.list.Clear(); }, "There is nothing to import: load a .vce file into the import list first."},
        RefusalCase{"NoLevelOpen", [](FinishTest& t) { t.lvl.CloseLevelFile(); }, "No level is open: load a level (File > Load Level), then import custom elements into it."}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// A round trip over real levels: three CEs of 042.level that link to each
// other go into 006.level under new ids.

const char kTutorial[] = "levels/Tutorials/rnd_tutorial_niko_boehm/";

std::uint16_t Renumbered(std::uint16_t code, const std::map<int, int>& ids)
{
    if (!IsCeCode(code)) return code;
    const auto it = ids.find(CeNumberOf(code));
    return it == ids.end() ? code : CeElementCode(it->second);
}

// Every field the record readers give, links renumbered by ids.
std::vector<std::string> Fields(ByteFile& f, std::int64_t r, const std::map<int, int>& ids)
{
    std::vector<std::string> out;
    auto add = [&](const char* what, auto v) { out.push_back(std::string(what) + " " + (v ? std::to_string(*v) : "-")); };
    auto link = [&](const char* what, std::optional<std::uint16_t> v) {
        if (v) v = Renumbered(*v, ids);
        add(what, v);
    };
    link("code", ReadCeElementCode(f, r));
    out.push_back("name " + ReadCeName(f, r).value_or("-"));
    add("pages", ReadChangePageCount(f, r));
    add("use graphic", ReadUseGraphicOf(f, r));
    add("graphic", ReadGraphicOf(f, r));
    for (int row = 1; row <= 3; ++row)
        for (int col = 1; col <= 3; ++col) link("explode", ReadExplodeCont(f, r, row, col));
    for (int p = 1; p <= ReadChangePageCount(f, r).value_or(0); ++p) {
        add("events", ReadEventBits(f, r, p));
        link("change to", ReadChangeTo(f, r, p));
        add("delay fixed", ReadDelayFixed(f, r, p));
        add("delay random", ReadDelayRandom(f, r, p));
        add("delay type", ReadDelayType(f, r, p));
        link("condition", ReadChangeCondElement(f, r, p));
        add("use ext", ReadUseExtChange(f, r, p));
        for (int row = 1; row <= 3; ++row)
            for (int col = 1; col <= 3; ++col) link("ext", ReadExtChange(f, r, p, row, col));
        add("can change", ReadCanChange(f, r, p));
    }
    return out;
}

TEST(CeRoundTripTest, ThreeLinkedCesOf042MoveInto006UnderNewIds)
{
    if (test::CorpusDir().empty()) GTEST_SKIP() << "the corpus folder ../shared/corpus is absent";
    test::TempDir dir;
    test::ScriptedUi ui;
    const std::string source = test::CopyFromCorpus(std::string(kTutorial) + "042.level", dir);
    const std::string target = test::CopyFromCorpus(std::string(kTutorial) + "006.level", dir);
    const Bytes sourceBytes = test::ReadBytes(source);

    OpenLevel src;
    LoadReport srcReport;
    LoadAndTell(src, source, ui, srcReport);
    ASSERT_EQ(srcReport.CeList.at(1), "2: A");  // links to 21 and 28
    ASSERT_EQ(srcReport.CeList.at(20), "21: Changer");
    ASSERT_EQ(srcReport.CeList.at(27), "28: explosive");
    std::vector<bool> checked(srcReport.CeList.size(), false);
    checked[1] = checked[20] = checked[27] = true;
    const ExportPlan plan = PlanExport(src, srcReport.CeList, checked);
    EXPECT_TRUE(plan.Refusals.empty());
    const ExportResult exported = WriteExport(plan, ui);
    EXPECT_EQ(ExportedMessage(exported.Exported, exported.Path), "3 CEs exported successfully to " + exported.Path);
    Bytes expectedVce;
    for (const int line : {1, 20, 27}) {
        const auto at = static_cast<std::size_t>(src.CePositions()[static_cast<std::size_t>(line)] - 8);
        expectedVce.insert(expectedVce.end(), sourceBytes.begin() + static_cast<std::ptrdiff_t>(at),
                           sourceBytes.begin() + static_cast<std::ptrdiff_t>(at + 152));
    }
    const Bytes vce = test::ReadBytes(exported.Path);
    ASSERT_EQ(vce, expectedVce);

    OpenLevel dst;
    LoadReport dstReport;
    LoadAndTell(dst, target, ui, dstReport);
    ASSERT_EQ(dstReport.CeList, std::vector<std::string>{"1: custom element 1"});
    CeImportList list;
    ASSERT_TRUE(LoadVceFile(exported.Path, list));
    EXPECT_EQ(list.Lines, (std::vector<std::string>{"2:A-->2", "21:Changer-->21", "28:explosive-->28"}));
    IncDecAll(list, 10);
    const Bytes targetBefore = test::ReadBytes(target);
    const ImportResult r = FinishImport(dst, dstReport.CeList, list, ui);
    ASSERT_EQ(r.Status, ImportStatus::Imported);
    EXPECT_EQ(r.LinkCount, 2);
    EXPECT_EQ(test::ReadBytes(exported.Path), vce);
    dst.CloseLevelFile();

    LoadAndTell(dst, target, ui, dstReport);
    ASSERT_TRUE(dstReport.Completed);
    EXPECT_EQ(dstReport.CeList,
              (std::vector<std::string>{"1: custom element 1", "12: A", "31: Changer", "38: explosive"}));
    const Bytes targetAfter = test::ReadBytes(target);
    EXPECT_EQ(Bytes(targetAfter.begin(), targetAfter.begin() + static_cast<std::ptrdiff_t>(targetBefore.size())),
              targetBefore);
    const std::map<int, int> ids = {{2, 12}, {21, 31}, {28, 38}};
    const int lines[] = {1, 20, 27};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(srcReport.CeList[static_cast<std::size_t>(lines[i])]);
        EXPECT_EQ(Fields(dst.File(), dst.CePositions()[static_cast<std::size_t>(i + 1)], {}),
                  Fields(src.File(), src.CePositions()[static_cast<std::size_t>(lines[i])], ids));
    }
    src.CloseLevelFile();
    dst.CloseLevelFile();
}

// ---------------------------------------------------------------------------
// vantrel-cli export and import

class CliTransferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        level = dir.Write("017.level", test::LevelWithChunks({Cus4Chunk(Ce(1, "In level", 1)),
                                                               Cus4Chunk(Three()), Cus4Chunk(Five())}));
        target = dir.Write("018.level", test::LevelWithChunks({Cus4Chunk(Ce(1, "In level", 1))}));
    }
    test::TempDir dir;
    std::string level, target;
};

TEST_F(CliTransferTest, ExportKeepsAnEarlierExportUnlessForced)
{
    ASSERT_EQ(RunCli({"export", level, "2", "3"}, dir).status, 0);
    const Bytes earlier = test::ReadBytes(level + ".vce");
    const auto kept = RunCli({"export", level, "1"}, dir);
    EXPECT_EQ(kept.status, 1);
    EXPECT_EQ(kept.err, "message: " + level + ".vce exists already: export replaces it only with --force. Nothing "
                        "was written.\n");
    EXPECT_EQ(test::ReadBytes(level + ".vce"), earlier);
    const auto forced = RunCli({"export", level, "1", "--force"}, dir);
    ASSERT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(forced.err, "question: The file " + level + ".vce exists already. Replace it with the 1 custom "
                          "element ticked now?\nanswer: yes\nmessage: 1 CE exported successfully to " + level +
                          ".vce\n");
    EXPECT_EQ(test::ReadBytes(level + ".vce"), Cus4Chunk(Ce(1, "In level", 1)));
}

TEST_F(CliTransferTest, ExportThenImportWithSetAndShift)
{
    const auto ex = RunCli({"export", level, "2", "3"}, dir);
    ASSERT_EQ(ex.status, 0) << ex.err;
    EXPECT_EQ(ex.err, "message: 2 CEs exported successfully to " + level + ".vce\n");
    const Bytes vce = test::ReadBytes(level + ".vce");
    EXPECT_EQ(vce, Concat({Cus4Chunk(Three()), Cus4Chunk(Five())}));
    const Bytes before = test::ReadBytes(target);

    const auto im = RunCli({"import", target, level + ".vce", "--set", "5=20", "--shift=-1"}, dir);
    ASSERT_EQ(im.status, 0) << im.err;
    EXPECT_EQ(im.out, "3:Three-->2\n5:Five-->19\n5 Links detected and changed!\nchanged: " + target +
                          ", 1 write of 352 bytes, 312 -> 664 bytes long\n");
    EXPECT_EQ(im.err, "") << "the link count on standard output is the one summary";
    EXPECT_EQ(test::ReadBytes(level + ".vce"), vce);
    CeSpec three = Three(), five = Five();
    three.number = 2;
    three.explode = {Code(19), 0, 0, 0, Code(2), 0, 0, 0, 0};
    three.pages[0].extChange[8] = Code(19);
    five.number = 19;
    five.pages[1].condElement = Code(19);
    five.graphicOf = Code(2);  // Five borrowed Three's graphic: it follows Three to CE 2
    EXPECT_EQ(test::ReadBytes(target), Concat({before, Cus4Chunk(three), Cus4Chunk(five)}));
}

TEST_F(CliTransferTest, ImportRefusals)
{
    RunCli({"export", level, "--all"}, dir);
    const std::string vce = level + ".vce";
    const Bytes vceBytes = test::ReadBytes(vce), before = test::ReadBytes(target);
    struct Case {
        std::vector<std::string> args;
        std::string errStart;
    };
    const Case cases[] = {
        {{"import", target, vce}, "question: Custom Element Id 1 is occupied by \"In level\", continue? The imported custom element takes "
          "its place: the game reads it after \"In level\" and plays the imported one.\nanswer: no\n"
          "message: Nothing was imported: a question was answered no (--yes imports all the same)\n"},
        {{"import", target, vce, "--shift=-3", "--yes"}, "message: Import line 1 \"1:In level-->-2\""},
        {{"import", target, vce, "--set", "5=1"}, "question: Custom Element Id 1 is occupied by \"In level\""},
        {{"import", target, vce, "--set", "6=1"}, "message: There is no import line with the old id 6"},
    };
    for (const Case& c : cases) {
        const auto r = RunCli(c.args, dir);
        EXPECT_EQ(r.status, 1) << c.args.back();
        EXPECT_EQ(r.err.rfind(c.errStart, 0), 0u) << r.err;
        EXPECT_EQ(test::ReadBytes(target), before);
        EXPECT_EQ(test::ReadBytes(vce), vceBytes);
    }
    const auto yes = RunCli({"import", target, vce, "--yes", "--verbose"}, dir);
    EXPECT_EQ(yes.status, 0) << yes.err;
    EXPECT_NE(yes.err.find("CEIndex 2 will have CEId 5\n"), std::string::npos) << yes.err;
    EXPECT_NE(yes.err.find("message: 016A5468726565000000\n"), std::string::npos) << yes.err;
}

}  // namespace
}  // namespace vantrel
