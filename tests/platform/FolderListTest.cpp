// A folder's listing: every name with its kind, the names asked for looked
// at as Look looks at them (links followed), and the failures of a folder
// that cannot be listed.
#include "platform/Platform.h"
#include "support/SystemOnly.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
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

// On Windows links need a privilege, and no permission locks a folder.
constexpr bool kPosix = !test::kWindows;
using test::Superuser;

bool EndsInLevel(const std::string& name) { return name.size() > 6 && name.substr(name.size() - 6) == ".level"; }

std::map<std::string, platform::FolderEntry> Listing(const std::string& folder, platform::Outcome& outcome)
{
    std::vector<platform::FolderEntry> entries;
    outcome = platform::ListFolder(folder, entries, EndsInLevel);
    std::map<std::string, platform::FolderEntry> byName;
    for (platform::FolderEntry& e : entries) byName.emplace(e.Name, std::move(e));
    EXPECT_EQ(byName.size(), entries.size()) << "a name listed twice";
    return byName;
}

TEST(FolderList, ListsEveryNameAndLooksAtTheNamesAskedFor)
{
    test::TempDir dir;
    const std::string level = dir.Write("a.level", std::string("12345"));
    dir.Write("notes.txt", std::string("abc"));
    fs::create_directories(dir.Path() / "sub");
    fs::create_directories(dir.Path() / "folder.level");
    if (kPosix) {
        fs::create_symlink(level, dir.Path() / "link.level");
        fs::create_symlink(dir.Path() / "gone", dir.Path() / "gone.level");
        fs::create_directory_symlink(dir.Path() / "sub", dir.Path() / "sublink");
    }
    platform::Outcome outcome;
    const auto listed = Listing(dir.Path().string(), outcome);
    ASSERT_TRUE(outcome.Ok()) << outcome.Text;

    struct Row {
        const char* name;
        Kind type;
        bool lookedAt;
        Failure looked;
        Kind leadsTo;  // what the look found
        std::int64_t size;
    };
    std::vector<Row> rows = {
        {"a.level", Kind::Regular, true, Failure::None, Kind::Regular, 5},
        {"notes.txt", Kind::Regular, false, Failure::None, Kind::Other, 0},
        {"sub", Kind::Directory, false, Failure::None, Kind::Other, 0},
        {"folder.level", Kind::Directory, true, Failure::None, Kind::Directory, -1},
    };
    if (kPosix) {
        rows.push_back({"link.level", Kind::Link, true, Failure::None, Kind::Regular, 5});
        rows.push_back({"gone.level", Kind::Link, true, Failure::NotFound, Kind::Other, 0});
        rows.push_back({"sublink", Kind::Link, false, Failure::None, Kind::Other, 0});
    }
    EXPECT_EQ(listed.size(), rows.size());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(listed.count(row.name));
        const platform::FolderEntry& e = listed.at(row.name);
        EXPECT_EQ(e.Type, row.type);
        EXPECT_EQ(e.LookedAt, row.lookedAt);
        EXPECT_EQ(e.Looked.Why, row.looked);
        if (!row.lookedAt || row.looked != Failure::None) continue;
        EXPECT_EQ(e.Info.Type, row.leadsTo);
        if (row.size >= 0) {
            EXPECT_EQ(e.Info.Size, row.size);
        }
    }
}

TEST(FolderList, LooksAtAFileAsLookDoesToTheNanosecond)
{
    test::TempDir dir;
    const std::string level = dir.Write("a.level", std::string("12345"));
    // A time with nanoseconds: a level changed in place within the same second is told apart.
    fs::last_write_time(level, fs::last_write_time(level) - std::chrono::nanoseconds(123456700));
    platform::FileInfo looked;
    ASSERT_TRUE(platform::Look(level, looked).Ok());
    platform::Outcome outcome;
    const auto listed = Listing(dir.Path().string(), outcome);
    ASSERT_TRUE(outcome.Ok());
    const platform::FileInfo& info = listed.at("a.level").Info;
    EXPECT_EQ(info.Size, looked.Size);
    EXPECT_EQ(info.Modified, looked.Modified);
    EXPECT_EQ(info.ModifiedNanos, looked.ModifiedNanos);
    EXPECT_EQ(info.Mode, looked.Mode);
}

TEST(FolderList, AFolderThatCannotBeListedFailsWithNoNames)
{
    test::TempDir dir;
    const std::string file = dir.Write("a.level", std::string("12345"));
    fs::create_directories(dir.Path() / "locked");
    dir.Write("locked/b.level", std::string("1"));
    fs::permissions(dir.Path() / "locked", fs::perms::none);
    struct Row {
        std::string folder;
        Failure why;
    };
    std::vector<Row> rows = {{(dir.Path() / "missing").string(), Failure::NotFound}, {file, Failure::Other}};
    if (kPosix && !Superuser()) rows.push_back({(dir.Path() / "locked").string(), Failure::Denied});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.folder);
        platform::Outcome outcome;
        EXPECT_TRUE(Listing(row.folder, outcome).empty());
        EXPECT_EQ(outcome.Why, row.why);
        EXPECT_FALSE(outcome.Text.empty());
    }
    fs::permissions(dir.Path() / "locked", fs::perms::owner_all);
}

}  // namespace
}  // namespace vantrel
