// vantrel-cli load, ce and render on a level of the newer layout (NAME, AUTH,
// INFO, BODY of two-byte cells, CUSX), run as a user would.
#include "support/LevelBuilder.h"
#include "support/Lines.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel {
namespace {

using test::LevelBuilder;
using test::RunCli;
using test::StartsWith;
using LB = test::LevelBuilder;

// DATE 28, NAME 40, AUTH 80, INFO 120 (14 bytes), BODY 142 (3x2 cells), CUSX 162.
std::string WriteNewer(const test::TempDir& dir)
{
    return dir.Write("newer.level",
                     LevelBuilder::Newer()
                         .Chunk("DATE", {0x07, 0xEA, 12, 7})
                         .Name("Newer title")
                         .Auth("Someone")
                         .Info(LB::InfoEntries(3, 2, 300, 0xFFF6))
                         .Body({1, 2, 80, 360, 700, 0}, true)
                         .Cusx(361, test::Concat({LB::EText(0xC1, "Door"), LB::E8(0x09, 1), LB::E8(0x01, 0),
                                                  LB::E16(0x41, 360)}))
                         .Data());
}

TEST(NewerCli, LoadPrintsTheHeaderMapAndCeList)
{
    test::TempDir dir;
    const std::string path = WriteNewer(dir);
    const auto r = RunCli({"load", "--map", path}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(test::LinesAre(
        test::SplitLines(r.out),
        {"Loading " + path, "RND1 file - checking version", "CAVEVERS 0300000004010401 seek to 28",
         "DATE at 28 seek to 40", "NAME at 40 seek to 80", "AUTH at 80 seek to 120", "INFO at 120 seek to 142",
         "BODY at 142 seek to 162", "CUSX (2) at 162 seek to 186", StartsWith("186 bytes loaded in "), "--",
         "Level Title: Newer title", "Author: Someone", "File Version: 0300000004010401", "Map Size: 3x2",
         "Time left: 300", "Emeralds to collect: -10", "CE list:", "2: Door", "Map:", "1 2 80", "360 700 0"}));
}

TEST(NewerCli, CePrintsTheEntriesOfACusxChunk)
{
    test::TempDir dir;
    const auto r = RunCli({"ce", WriteNewer(dir), "1"}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "CE list line 1: 2: Door\n"
                     "Chunk position: 170\n"
                     "Name: Door\n"
                     "Change pages: 1\n"
                     "Entries:\n"
                     "  base  C1  name = \"Door\"\n"
                     "  base  09  number of change pages = 1\n"
                     "  page 1  01  page index = 0\n"
                     "  page 1  41  target element = 0168 Custom element 1\n");
}

TEST(NewerCli, RenderDrawsTheMap)
{
    test::TempDir dir;
    const std::string out = (dir.Path() / "map.bmp").string();
    const auto r = RunCli({"render", WriteNewer(dir), out}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, out + ": 48 x 32 pixels, 3 x 2 cells\n");
}

}  // namespace
}  // namespace vantrel
