// The index's cache file: its bytes, the damaged files it refuses, and the
// index built over it again and again (a changed file read again, a removed
// one gone, a damaged cache built anew).
#include "archive/IndexCache.h"
#include "archive/LevelIndex.h"
#include "support/LevelBuilder.h"
#include "support/SystemOnly.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using LB = test::LevelBuilder;

IndexEntry SmallEntry()
{
    IndexEntry e;
    e.Path = "/l/1.level";
    e.FileSize = 300;
    e.ModTime = 7;
    e.Layout = LevelLayout::Chunked;
    e.Version = "1.2";
    e.Title = "Ab";
    e.Width = 2;
    e.Height = 1;
    e.Time = 100;
    e.Emeralds = -5;
    e.Elements = {{1, 1}, {360, 1}};
    e.Ces = {{1, "C", 6}};
    e.Findings = {{28, "x", true}};
    return e;
}

Bytes Text(const std::string& s)
{
    Bytes b{0, 0, 0, static_cast<std::uint8_t>(s.size())};
    for (const char c : s) b.push_back(static_cast<std::uint8_t>(c));
    return b;
}

TEST(IndexCacheTest, WritesEachFieldBigEndianThenTheChecksum)
{
    const Bytes expected = test::Concat({
        {'V', 'A', 'N', 'T', 'R', 'I', 'D', 'X'},
        {0, 0, 0, 1, 0, 0, 0, 1},         // version 1, one entry
        Text("/l/1.level"),
        {0, 0, 0, 0, 0, 0, 1, 0x2C},      // 300 bytes
        {0, 0, 0, 0, 0, 0, 0, 7},         // time of change
        {0, 2, 1},                        // a level, RND1, clean
        Text(""), Text("1.2"), Text("Ab"), Text(""),
        {0, 2, 0, 1},                     // 2 x 1
        {0, 0, 0, 100, 0xFF, 0xFF, 0xFF, 0xFB},  // time 100, emeralds -5
        {0, 0, 0, 2, 0, 1, 0, 0, 0, 1, 0x01, 0x68, 0, 0, 0, 1},  // sand once, CE 1 once
        {0, 0, 0, 1, 0, 1}, Text("C"), {1, 0, 6},              // CE 1 "C" drawn as an emerald
        {0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 28, 1}, Text("x"),  // a note at 28
    });
    const Bytes bytes = EncodeIndexCache(std::vector<IndexEntry>{SmallEntry()});
    ASSERT_EQ(bytes.size(), expected.size() + 8);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end() - 8), expected);
    std::uint64_t sum = 0;
    for (auto it = bytes.end() - 8; it != bytes.end(); ++it) sum = sum << 8 | *it;
    EXPECT_EQ(sum, IndexChecksum(expected.data(), expected.size()));

    std::string reason;
    const auto back = DecodeIndexCache(bytes, reason);
    ASSERT_TRUE(back) << reason;
    ASSERT_EQ(back->size(), 1u);
    EXPECT_EQ(back->front(), SmallEntry());
}

TEST(IndexCacheTest, ChecksumTellsApartWhatItShould)
{
    const Bytes a{1, 2, 3, 4, 5, 6, 7, 8, 9}, b{1, 2, 3, 4, 5, 6, 7, 8, 8}, c{2, 1, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(IndexChecksum(a.data(), a.size()), IndexChecksum(a.data(), a.size()));
    EXPECT_NE(IndexChecksum(a.data(), a.size()), IndexChecksum(b.data(), b.size()));
    EXPECT_NE(IndexChecksum(a.data(), a.size()), IndexChecksum(c.data(), c.size()));
    EXPECT_NE(IndexChecksum(a.data(), 8), IndexChecksum(a.data(), 9));
}

// The bytes with the checksum made again for what they now hold.
Bytes Resealed(Bytes bytes)
{
    bytes.resize(bytes.size() - 8);
    const std::uint64_t sum = IndexChecksum(bytes.data(), bytes.size());
    for (int i = 7; i >= 0; --i) bytes.push_back(static_cast<std::uint8_t>(sum >> (8 * i)));
    return bytes;
}

TEST(IndexCacheTest, RefusesEveryDamagedFile)
{
    const Bytes good = EncodeIndexCache(std::vector<IndexEntry>{SmallEntry(), SmallEntry()});
    const std::size_t entry = 16;  // the first entry's start
    struct Row {
        const char* what;
        Bytes bytes;
        const char* reason;
    };
    auto poke = [&](std::size_t at, std::uint8_t v) {
        Bytes b = good;
        b[at] = v;
        return b;
    };
    Bytes longer = good;
    longer.insert(longer.end() - 8, {0, 0});
    Bytes cut = good;
    cut.pop_back();
    const Row rows[] = {
        {"empty", {}, "it is no index cache"},
        {"another magic", poke(0, 'W'), "it is no index cache"},
        {"one bit flipped", poke(entry + 20, good[entry + 20] ^ 1), "its checksum does not match its bytes"},
        {"cut short", cut, "its checksum does not match its bytes"},
        {"version 2", Resealed(poke(11, 2)), "it is of another version (2)"},
        {"three entries said", Resealed(poke(15, 3)), "an entry runs past its end"},
        {"a state no index writes", Resealed(poke(entry + 4 + 10 + 16, 9)), "an entry holds a value no index writes"},
        {"a path longer than the file", Resealed(poke(entry, 0x7F)), "an entry runs past its end"},
        {"bytes after the last entry", Resealed(longer), "bytes follow its last entry"},
    };
    for (const Row& row : rows) {
        std::string reason;
        EXPECT_FALSE(DecodeIndexCache(row.bytes, reason)) << row.what;
        EXPECT_EQ(reason, row.reason) << row.what;
    }
}

class IndexRunTest : public ::testing::Test {
protected:
    std::string Level(const std::string& name, const std::string& title)
    {
        fs::create_directories(dir.Path() / "set");
        return dir.Write("set/" + name, LB::Standard({.width = 3, .height = 1, .title = title}, {1, 2, 3}, "Me").Data());
    }
    ArchiveIndex Build(std::vector<std::string> roots = {})
    {
        if (roots.empty()) roots = {(dir.Path() / "set").string()};
        return BuildArchiveIndex(roots, {.CachePath = Cache()});
    }
    std::string Cache() const { return (dir.Path() / "cache" / "archive.index").string(); }
    std::vector<std::string> CachedPaths() const
    {
        std::vector<std::string> notices, paths;
        const std::vector<IndexEntry> cached = ReadIndexCache(Cache(), notices).value();
        for (const IndexEntry& e : cached) paths.push_back(e.Path);
        return paths;
    }
    static std::vector<std::string> Titles(const ArchiveIndex& index)
    {
        std::vector<std::string> titles;
        for (const IndexEntry& e : index.Entries) titles.push_back(e.Title);
        return titles;
    }

    test::TempDir dir;
};

TEST_F(IndexRunTest, ReadsOnlyWhatChangedAndForgetsWhatIsGone)
{
    const std::string a = Level("001.level", "One"), b = Level("002.level", "Two"), c = Level("003.level", "Three");
    const ArchiveIndex first = Build();
    EXPECT_EQ(first.Read, 3u);
    EXPECT_EQ(first.FromCache, 0u);
    EXPECT_EQ(CachedPaths(), (std::vector<std::string>{a, b, c}));

    const ArchiveIndex second = Build();
    EXPECT_EQ(second.Read, 0u);
    EXPECT_EQ(second.FromCache, 3u);
    EXPECT_EQ(second.Entries, first.Entries);

    // Another title of the same length: the size stays, the time of change moves.
    fs::last_write_time(b, fs::last_write_time(b) - std::chrono::seconds(5));
    Level("002.level", "Zwo");
    fs::last_write_time(b, fs::last_write_time(b) + std::chrono::seconds(10));
    const ArchiveIndex third = Build();
    EXPECT_EQ(third.Read, 1u);
    EXPECT_EQ(Titles(third), (std::vector<std::string>{"One", "Zwo", "Three"}));

    fs::remove(c);
    const ArchiveIndex fourth = Build();
    EXPECT_EQ(fourth.Read, 0u);
    EXPECT_EQ(Titles(fourth), (std::vector<std::string>{"One", "Zwo"}));
    EXPECT_EQ(CachedPaths(), (std::vector<std::string>{a, b}));
}

TEST_F(IndexRunTest, BuildsADamagedCacheAgainAndSaysSo)
{
    Level("001.level", "One");
    Build();
    std::ofstream(Cache(), std::ios::binary | std::ios::trunc) << "VANTRIDX and then nothing of worth";
    const ArchiveIndex again = Build();
    EXPECT_EQ(again.Read, 1u);
    EXPECT_EQ(again.Notices, std::vector<std::string>{DamagedCacheNotice(Cache(), "its checksum does not match its bytes")});
    EXPECT_EQ(again.Notices.front(), "The index cache " + Cache() +
                                         " is damaged (its checksum does not match its bytes): every level is read again.");
    EXPECT_EQ(Build().Read, 0u);  // written whole again
}

// A cache path that names what is no cache of ours (a level named by
// mistake, a text, a folder, a named pipe) leaves it as it is; an empty file
// and a cache cut short are ours to write.
TEST_F(IndexRunTest, NeverReplacesWhatIsNoIndexCache)
{
    Level("001.level", "One");
    const test::Bytes levelBytes = LB::Standard({.title = "Mine"}, test::PatternCells(3, 2, false)).Data();
    const std::string level(levelBytes.begin(), levelBytes.end());
    const std::string damaged = DamagedCacheNotice(Cache(), "it is no index cache");
    struct Row {
        const char* what;
        std::function<void(const fs::path&)> make;
        bool kept;  // left as it was, no cache written
        std::string notice;
    };
    const auto file = [](std::string bytes) { return [bytes](const fs::path& p) { std::ofstream(p, std::ios::binary) << bytes; }; };
    // A file of a terabyte, all holes but its start: no memory holds it.
    const auto huge = [](std::string start) {
        return [start](const fs::path& p) {
            std::ofstream(p, std::ios::binary) << start;
            fs::resize_file(p, std::uintmax_t{1} << 40);
        };
    };
    const Row rows[] = {
        {"a level", file(level), true, NoCacheFileNotice(Cache())},
        {"a terabyte of holes", huge(""), true, NoCacheFileNotice(Cache())},
        {"a cache's start and a terabyte of holes", huge("VANTRIDX"), false,
         "The index cache " + Cache() + " cannot be read: every level is read again."},
        {"a text", file("my notes"), true, NoCacheFileNotice(Cache())},
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }, true, NoCacheFileNotice(Cache())},
        {"a named pipe", [](const fs::path& p) { test::MakeFifo(p); }, true, NoCacheFileNotice(Cache())},
        {"an empty file", file(""), false, damaged},
        {"a cache cut in its magic", file("VANT"), false, damaged},
    };
    for (const Row& row : rows) {
        // Named pipes and files of holes are POSIX files.
        if (test::kWindows && (row.what == std::string("a named pipe") || std::string(row.what).find("terabyte") != std::string::npos))
            continue;
        fs::remove_all(dir.Path() / "cache");
        fs::create_directories(dir.Path() / "cache");
        row.make(Cache());
        const auto bytes = [&] {
            std::ifstream in(Cache(), std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), {});
        };
        const std::string before = fs::is_regular_file(Cache()) && fs::file_size(Cache()) < 1024 ? bytes() : std::string();
        const fs::file_type kind = fs::symlink_status(Cache()).type();
        const std::uintmax_t size = fs::is_regular_file(Cache()) ? fs::file_size(Cache()) : 0;
        const ArchiveIndex index = Build();
        EXPECT_EQ(Titles(index), std::vector<std::string>{"One"}) << row.what;
        EXPECT_EQ(index.Notices, std::vector<std::string>{row.notice}) << row.what;
        if (row.kept) {
            EXPECT_EQ(fs::is_regular_file(Cache()) && fs::file_size(Cache()) < 1024 ? bytes() : std::string(), before)
                << row.what;
            EXPECT_EQ(fs::is_regular_file(Cache()) ? fs::file_size(Cache()) : 0, size) << row.what;
            EXPECT_EQ(fs::symlink_status(Cache()).type(), kind) << row.what;
            EXPECT_EQ(Build().Read, 1u) << row.what;  // still nothing cached
        } else {
            EXPECT_EQ(Build().Read, 0u) << row.what;
        }
    }
    EXPECT_EQ(NoCacheFileNotice("/c/x"), "The index cache /c/x is no index cache file: it is left as it is, every "
                                         "level is read and no cache is kept.");
}

TEST_F(IndexRunTest, KeepsOtherFoldersWhileTheirFilesAreThere)
{
    const std::string a = Level("001.level", "One");
    const std::string other = dir.Write("other.level", LB::Standard({.title = "Other"}, test::PatternCells(3, 2, false)).Data());
    Build({other});
    Build();
    EXPECT_EQ(CachedPaths(), (std::vector<std::string>{other, a}));  // by path
    fs::remove(other);
    Level("002.level", "Two");
    Build();
    EXPECT_EQ(CachedPaths().size(), 2u);
    EXPECT_EQ(CachedPaths().back(), (dir.Path() / "set" / "002.level").string());
}

TEST_F(IndexRunTest, SeesALevelChangedInPlaceWithinTheSameSecond)
{
    const std::string a = Level("001.level", "One");
    Build();
    const fs::file_time_type before = fs::last_write_time(a);
    Level("001.level", "Owe");  // the same size
    fs::last_write_time(a, before + std::chrono::nanoseconds(100));
    const ArchiveIndex again = Build();
    EXPECT_EQ(again.Read, 1u);
    EXPECT_EQ(Titles(again), std::vector<std::string>{"Owe"});
}

#ifndef _WIN32
// Links are followed as the game follows them (a levels folder or a levelset
// kept elsewhere), each folder walked once: a loop, a link back into what is
// walked and a second link to the same folder are passed over.
TEST_F(IndexRunTest, TakesLinksToLevelsAndFoldersEachFolderOnce)
{
    const std::string a = Level("001.level", "One");
    Level("inside.level/002.level", "Two");  // a folder whose name ends as a level's
    fs::create_directories(dir.Path() / "elsewhere");
    dir.Write("elsewhere/009.level", LB::Standard({.title = "Far"}, test::PatternCells(3, 2, false)).Data());
    const fs::path set = dir.Path() / "set";
    fs::create_symlink(a, set / "link.level");
    fs::create_symlink(set / "none", set / "gone.level");
    fs::create_directory_symlink(dir.Path() / "elsewhere", set / "far");
    fs::create_symlink(dir.Path() / "elsewhere", set / "far.level");      // the same folder again
    fs::create_directory_symlink(set, set / "inside.level" / "back");      // a loop
    fs::create_directory_symlink(dir.Path(), dir.Path() / "elsewhere" / "up");  // around what is walked
    fs::create_directory_symlink(dir.Path() / "elsewhere", dir.Path() / "elsewhere" / "again");
    for (int round = 0; round < 2; ++round) {  // with no cache, and from it
        const ArchiveIndex index = Build();
        std::vector<std::string> lines;
        for (const IndexEntry& e : index.Entries) lines.push_back(e.Path + " " + StateName(e.State) + " " + e.Title);
        EXPECT_EQ(lines, (std::vector<std::string>{a + " level One", (set / "far" / "009.level").string() + " level Far",
                                                   (set / "inside.level" / "002.level").string() + " level Two",
                                                   (set / "link.level").string() + " level One"}));
        EXPECT_EQ(index.Read, round == 0 ? 4u : 0u);
        EXPECT_EQ(index.Notices, std::vector<std::string>{});
    }
}
#endif

TEST_F(IndexRunTest, ListsFilesThatAreNoLevelAndGoesOn)
{
    const std::string text = dir.Write("set/001.level", std::string("a letter, not a level"));
    const std::string empty = dir.Write("set/002.level", std::string());
    const std::string fine = Level("003.level", "Fine");
    fs::create_directories(dir.Path() / "set" / "locked");
    const std::string locked = Level("locked/004.level", "Locked");
    fs::permissions(dir.Path() / "set" / "locked", fs::perms::none);
    const ArchiveIndex index = Build();
    fs::permissions(dir.Path() / "set" / "locked", fs::perms::owner_all);
    std::vector<std::string> lines;
    for (const IndexEntry& e : index.Entries) lines.push_back(std::string(StateName(e.State)) + ": " + e.Problem);
    const bool root = index.Entries.size() == 4;  // the superuser lists a folder without permissions
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3),
              (std::vector<std::string>{"not a level: Not a Rocks'n'Diamonds level, or unknown file version.",
                                        "not a level: The file " + empty + " is empty (0 bytes): there is no level in it.",
                                        "level: "}));
    if (!root) {
        EXPECT_EQ(index.Notices, std::vector<std::string>{"The folder " + (dir.Path() / "set" / "locked").string() +
                                                           " cannot be listed (Permission denied)."});
    }
}

}  // namespace
}  // namespace vantrel
