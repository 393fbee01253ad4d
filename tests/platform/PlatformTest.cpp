// The platform's files: exact bytes at offsets, the failures the program acts
// on with the system's own texts, which file a name is, kinds, renames that
// never replace, replacing whole, the lock between our own open files.
#include "platform/Platform.h"
#include "support/SystemOnly.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include <filesystem>
#include <string>
#include <vector>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using platform::Failure;
using platform::Kind;

using test::kWindows;
using test::Superuser;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

platform::OpenHow How(bool write, platform::Creation create = platform::Creation::None)
{
    platform::OpenHow how;
    how.Write = write;
    how.Create = create;
    return how;
}

std::string ReadAll(const platform::File& file, std::int64_t offset, std::size_t n)
{
    std::string out(n, '\0');
    std::size_t got = 0;
    EXPECT_TRUE(platform::ReadAt(file, offset, reinterpret_cast<std::uint8_t*>(out.data()), n, got).Ok());
    out.resize(got);
    return out;
}

TEST(Platform, OpenFailsWithTheKindAndTheSystemsText)
{
    test::TempDir dir;
    const std::string taken = dir.Write("taken.level", std::string("held"));
    struct Case {
        const char* what;
        std::string path;
        platform::OpenHow how;
        Failure why;
        std::string text;
    };
    const Case cases[] = {
        {"a missing file", (dir.Path() / "missing.level").string(), How(false), Failure::NotFound,
         "No such file or directory"},
        {"a missing file, to write", (dir.Path() / "missing.level").string(), How(true), Failure::NotFound,
         "No such file or directory"},
        {"a taken name, made new", taken, How(true, platform::Creation::New), Failure::Exists, "File exists"},
        {"a missing folder", (dir.Path() / "none" / "new.level").string(), How(true, platform::Creation::Truncate),
         Failure::NotFound, "No such file or directory"},
        {"a name Windows refuses", (dir.Path() / "a?b.level").string(), How(false), Failure::NotFound,
         kWindows ? "Invalid file name" : "No such file or directory"},
    };
    for (const Case& c : cases) {
        platform::File file;
        const platform::Outcome opened = platform::Open(c.path, c.how, file);
        EXPECT_EQ(opened.Why, c.why) << c.what;
        EXPECT_EQ(opened.Text, c.text) << c.what;
        EXPECT_NE(opened.Code, 0) << c.what;
        EXPECT_FALSE(file.IsOpen()) << c.what;
        platform::FileInfo info;
        EXPECT_EQ(platform::Look(c.path, info).Why, c.why == Failure::NotFound ? c.why : Failure::None) << c.what;
    }
    EXPECT_EQ(test::ReadBytes(taken), Bytes("held")) << "a failed new file leaves the taken one alone";
}

TEST(Platform, WritesAndReadsExactBytesAtOffsets)
{
    test::TempDir dir;
    const std::string path = (dir.Path() / "bytes.bin").string();
    platform::File file;
    ASSERT_TRUE(platform::Open(path, How(true, platform::Creation::New), file).Ok());
    struct Write {
        std::int64_t offset;
        std::string bytes;
        std::string fileAfter;
    };
    const Write writes[] = {
        {0, "ABCDEF", "ABCDEF"},
        {2, "xy", "ABxyEF"},
        {8, "Z", std::string("ABxyEF\0\0Z", 9)},  // past the end: the gap reads as zero bytes
        {0, std::string("\r\n\x1a\n", 4), std::string("\r\n\x1a\nEF\0\0Z", 9)},  // no text mode
    };
    for (const Write& w : writes) {
        ASSERT_TRUE(platform::WriteAt(file, w.offset, Bytes(w.bytes).data(), w.bytes.size()).Ok());
        EXPECT_EQ(ReadAll(file, 0, 64), w.fileAfter) << "after writing at " << w.offset;
    }
    EXPECT_EQ(ReadAll(file, 7, 10), std::string("\0Z", 2)) << "a read is cut at the end";
    EXPECT_EQ(ReadAll(file, 20, 4), "") << "a read past the end gets nothing";
    ASSERT_TRUE(platform::Truncate(file, 3).Ok());
    platform::FileInfo info;
    ASSERT_TRUE(platform::Look(file, info).Ok());
    EXPECT_EQ(info.Size, 3);
    EXPECT_EQ(info.Type, Kind::Regular);
    EXPECT_TRUE(platform::Sync(file).Ok());
    ASSERT_TRUE(platform::Close(file).Ok());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(test::ReadBytes(path), Bytes("\r\n\x1a"));

    // Read from the start, one piece after another, to the end.
    platform::File again;
    ASSERT_TRUE(platform::Open(path, How(false), again).Ok());
    std::uint8_t piece[2] = {};
    std::size_t got = 0;
    ASSERT_TRUE(platform::ReadNext(again, piece, 2, got).Ok());
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(piece[1], '\n');
    ASSERT_TRUE(platform::ReadNext(again, piece, 2, got).Ok());
    EXPECT_EQ(got, 1u);
    EXPECT_EQ(piece[0], 0x1a);
    ASSERT_TRUE(platform::ReadNext(again, piece, 2, got).Ok());
    EXPECT_EQ(got, 0u);
}

TEST(Platform, AFileOpenForReadingRefusesWritesAndTruncateEmpties)
{
    test::TempDir dir;
    const std::string path = dir.Write("level.level", std::string("level bytes"));
    platform::File reading;
    ASSERT_TRUE(platform::Open(path, How(false), reading).Ok());
    const platform::Outcome written = platform::WriteAt(reading, 0, Bytes("x").data(), 1);
    // The same failure in each system's own kind: a descriptor not open for writing, a handle without the right.
    EXPECT_EQ(written.Text, kWindows ? "Permission denied" : "Bad file descriptor");
    EXPECT_EQ(test::ReadBytes(path), Bytes("level bytes"));

    platform::File emptied;
    ASSERT_TRUE(platform::Open(path, How(true, platform::Creation::Truncate), emptied).Ok());
    platform::FileInfo info;
    ASSERT_TRUE(platform::Look(emptied, info).Ok());
    EXPECT_EQ(info.Size, 0);
}

TEST(Platform, NamesOfOneFileShareItsIdentity)
{
    test::TempDir dir;
    const std::string a = dir.Write("a.level", std::string("a"));
    const std::string b = dir.Write("b.level", std::string("a"));
    const std::string linked = (dir.Path() / "linked.level").string();
    fs::create_hard_link(a, linked);
    platform::File open;
    ASSERT_TRUE(platform::Open(a, How(true), open).Ok());
    platform::FileInfo ofOpen, ofA, ofB, ofLinked, ofDir, ofDirAgain;
    ASSERT_TRUE(platform::Look(open, ofOpen).Ok());
    ASSERT_TRUE(platform::Look(a, ofA).Ok());
    ASSERT_TRUE(platform::Look(b, ofB).Ok());
    ASSERT_TRUE(platform::Look(linked, ofLinked).Ok());
    ASSERT_TRUE(platform::Look(dir.Path().string(), ofDir).Ok());
    ASSERT_TRUE(platform::Look((dir.Path() / ".").string(), ofDirAgain).Ok());
    EXPECT_EQ(ofOpen.Id, ofA.Id);
    EXPECT_EQ(ofLinked.Id, ofA.Id);
    EXPECT_NE(ofB.Id, ofA.Id) << "the same bytes in another file";
    EXPECT_NE(ofDir.Id, ofA.Id);
    EXPECT_EQ(ofDir.Id, ofDirAgain.Id);
    EXPECT_EQ(ofDir.Type, Kind::Directory);

    // The name now names another file: the identities part.
    ASSERT_TRUE(platform::ReplaceWith(dir.Write("new.level", std::string("a")), a).Ok());
    ASSERT_TRUE(platform::Look(a, ofA).Ok());
    EXPECT_NE(ofOpen.Id, ofA.Id);
}

TEST(Platform, RenameNeverReplaces)
{
    test::TempDir dir;
    const std::string from = dir.Write("007.level", std::string("seven"));
    const std::string taken = dir.Write("001.level", std::string("one"));
    const platform::Outcome refused = platform::RenameNoReplace(from, taken);
    EXPECT_EQ(refused.Why, Failure::Exists);
    EXPECT_EQ(refused.Text, "File exists");
    EXPECT_EQ(test::ReadBytes(from), Bytes("seven"));
    EXPECT_EQ(test::ReadBytes(taken), Bytes("one"));

    const std::string free = (dir.Path() / "002.level").string();
    ASSERT_TRUE(platform::RenameNoReplace(from, free).Ok());
    EXPECT_EQ(test::ReadBytes(free), Bytes("seven"));
    EXPECT_FALSE(fs::exists(from));
    EXPECT_EQ(platform::RenameNoReplace(from, (dir.Path() / "003.level").string()).Why, Failure::NotFound);
}

TEST(Platform, ReplaceWithPutsTheFileInThePlaceOfAnOpenOne)
{
    test::TempDir dir;
    const std::string level = dir.Write("level.level", std::string("changed level"));
    const std::string backup = dir.Write("level.level.new", std::string("backup"));
    platform::File held;  // the level as the program holds it
    ASSERT_TRUE(platform::Open(level, How(true), held).Ok());
    ASSERT_TRUE(platform::ReplaceWith(backup, level).Ok());
    EXPECT_EQ(test::ReadBytes(level), Bytes("backup"));
    EXPECT_FALSE(fs::exists(backup));
    EXPECT_EQ(ReadAll(held, 0, 64), "changed level") << "what was open stays what it was";
    ASSERT_TRUE(platform::Close(held).Ok());  // Windows may keep the replaced file aside until then
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator{}), 1);
    EXPECT_EQ(platform::Remove(backup).Why, Failure::NotFound);
}

TEST(Platform, TheLockKeepsASecondOpenFileOutButNotItsReads)
{
    test::TempDir dir;
    const std::string path = dir.Write("level.level", std::string("level"));
    platform::File first, second;
    ASSERT_TRUE(platform::Open(path, How(true), first).Ok());
    ASSERT_TRUE(platform::Open(path, How(true), second).Ok());
    ASSERT_TRUE(platform::TryLock(first).Ok());
    EXPECT_EQ(platform::TryLock(second).Why, Failure::Busy);
    EXPECT_EQ(ReadAll(second, 0, 5), "level") << "the lock holds our programs apart, not the game's reads";
    platform::Unlock(first);
    EXPECT_TRUE(platform::TryLock(second).Ok());
    EXPECT_EQ(platform::TryLock(first).Why, Failure::Busy);
    ASSERT_TRUE(platform::Close(second).Ok());  // closing ends the lock
    EXPECT_TRUE(platform::TryLock(first).Ok());
}

TEST(Platform, PermissionsMakeAFileReadOnly)
{
    test::TempDir dir;
    const std::string path = dir.Write("level.level", std::string("level"));
    platform::File file;
    ASSERT_TRUE(platform::Open(path, How(true), file).Ok());
    struct Case {
        unsigned set;
        unsigned seen;  // what Look tells
        bool writable;
    };
    const Case cases[] = {
        {0444, 0444, false},
        {0640, kWindows ? 0666u : 0640u, true},
        {0400, kWindows ? 0444u : 0400u, false},
        {0644, kWindows ? 0666u : 0644u, true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(platform::SetPermissions(file, c.set).Ok());
        platform::FileInfo info;
        ASSERT_TRUE(platform::Look(path, info).Ok());
        EXPECT_EQ(info.Mode, c.seen) << std::oct << c.set;
        const platform::Outcome writable = platform::CheckWritable(path);
        if (c.writable) {
            EXPECT_TRUE(writable.Ok()) << std::oct << c.set;
        } else if (!Superuser()) {  // who may write any file gets no refusal
            EXPECT_EQ(writable.Why, Failure::Denied) << std::oct << c.set;
            EXPECT_EQ(writable.Text, "Permission denied");
        }
    }
    EXPECT_EQ(platform::CheckWritable((dir.Path() / "missing").string()).Why, Failure::NotFound);
}

TEST(Platform, KindsOfWhatANameNames)
{
    if (kWindows) GTEST_SKIP() << "links and named pipes are POSIX files";
    test::TempDir dir;
    const std::string level = dir.Write("level.level", std::string("level"));
    fs::create_symlink(level, dir.Path() / "link.level");
    fs::create_symlink(dir.Path() / "gone", dir.Path() / "dangling.level");
    fs::create_directory(dir.Path() / "folder.level");
    struct Case {
        const char* name;
        bool follow;
        Failure why;
        Kind kind;
    };
    const Case cases[] = {
        {"level.level", true, Failure::None, Kind::Regular},
        {"link.level", false, Failure::None, Kind::Link},
        {"link.level", true, Failure::None, Kind::Regular},
        {"dangling.level", false, Failure::None, Kind::Link},
        {"dangling.level", true, Failure::NotFound, Kind::Other},
        {"folder.level", true, Failure::None, Kind::Directory},
        {"missing.level", false, Failure::NotFound, Kind::Other},
    };
    for (const Case& c : cases) {
        platform::FileInfo info;
        const platform::Outcome looked = platform::Look((dir.Path() / c.name).string(), info, c.follow);
        EXPECT_EQ(looked.Why, c.why) << c.name << (c.follow ? " followed" : "");
        if (looked.Ok()) {
            EXPECT_EQ(info.Type, c.kind) << c.name << (c.follow ? " followed" : "");
        }
    }
}

TEST(Platform, LocalTimeOfAKnownMoment)
{
    std::tm local {};
    ASSERT_TRUE(platform::LocalTime(1000000000, local));  // 2001-09-09 01:46:40 UTC
    EXPECT_EQ(local.tm_year, 101);
    EXPECT_EQ(local.tm_mon, 8);
    EXPECT_TRUE(local.tm_mday == 8 || local.tm_mday == 9) << local.tm_mday;
    EXPECT_EQ(local.tm_sec, 40) << "every time zone is whole minutes away";
}

// A process that has ended is told from a running one (files named after it may go).
TEST(Platform, ProcessRunningTellsAnEndedProcess)
{
    EXPECT_TRUE(platform::ProcessRunning(platform::ProcessId()));
    EXPECT_FALSE(platform::ProcessRunning(0));
    if (kWindows) GTEST_SKIP() << "the ended process is a POSIX shell's";
    test::TempDir dir;
    const auto file = dir.Path() / "pid";
    ASSERT_EQ(std::system(("echo $$ >'" + file.string() + "'").c_str()), 0);
    std::ifstream in(file);
    std::uint64_t ended = 0;
    in >> ended;
    ASSERT_GT(ended, 0u);
    EXPECT_FALSE(platform::ProcessRunning(ended));
}

}  // namespace
}  // namespace vantrel
