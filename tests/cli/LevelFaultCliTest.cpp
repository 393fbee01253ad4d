// The commands that write into a level, run by the real vantrel-cli under a
// file size limit and beside another program's lock: the level stays byte
// for byte what it was and no stray file is left. Two programs appending to
// one level many times lose no append and interleave none.
#include "counter/Counter.h"
#include "levelsets/LevelSort.h"
#include "support/LevelBuilder.h"
#include "support/RunCli.h"
#include "support/SystemOnly.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

// A 40 x 40 map (1,796 bytes) with players 1 and 2 on its last row.
[[maybe_unused]] Bytes Level()
{
    std::vector<std::uint16_t> cells(40 * 40, 1);
    cells[39 * 40 + 1] = 80;
    cells[39 * 40 + 3] = 81;
    return test::LevelBuilder::Standard({.width = 40, .height = 40, .title = "Faults"}, cells).Data();
}

void Put(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

[[maybe_unused]] std::set<std::string> Names(const fs::path& dir)
{
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

#ifndef _WIN32
// Runs the tool under sh with a prefix (a ulimit); status and standard error.
test::CliResult RunUnder(const std::string& prefix, const std::vector<std::string>& args, const test::TempDir& dir)
{
    std::string command = prefix + " '" + VANTREL_CLI_PATH + "'";
    for (const std::string& a : args) command += " '" + a + "'";
    const auto err = dir.Path().parent_path() / (dir.Path().filename().string() + ".err");
    const int raw = std::system((command + " >'" + err.string() + "' 2>&1").c_str());
    test::CliResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.err = test::ReadText(err);
    fs::remove(err);
    return r;
}
#endif

TEST(LevelFaultCli, EveryWritingCommandUnderEveryFaultLeavesTheLevelAsItWas)
{
#ifdef _WIN32
    GTEST_SKIP() << "runs the tool under sh, with a file size limit";
#else
    struct Fault {
        const char* name;
        const char* prefix;
        bool lockHeld;
        const char* said;
    };
    const Fault faults[] = {
        {"size limit", "ulimit -f 1;", false, "Nothing was changed: the level is as it was before this command."},
        {"second writer", "", true, "is being changed by another program, so nothing was written."},
    };
    for (const Fault& f : faults) {
        for (const std::string command : {"counter", "import", "players"}) {
            SCOPED_TRACE(std::string(f.name) + ": " + command);
            test::TempDir dir;
            const std::string level = dir.Write("a.level", Level());
            const std::string vce = dir.Write("ce.vce", CounterChunks(PlanCounter(10, {1}, 200)));
            const auto before = Names(dir.Path());
            const std::vector<std::string> args = command == "counter"  ? std::vector<std::string>{command, level}
                                                  : command == "import" ? std::vector<std::string>{command, level, vce}
                                                                        : std::vector<std::string>{command, "3", dir.Path()};
            const int lock = ::open(level.c_str(), O_RDONLY);
            if (f.lockHeld) {
                ASSERT_EQ(::flock(lock, LOCK_EX), 0);
            }
            const test::CliResult r = RunUnder(f.prefix, args, dir);
            ::close(lock);
            EXPECT_EQ(r.status, 1);
            EXPECT_NE(r.err.find(f.said), std::string::npos) << r.err;
            EXPECT_EQ(test::ReadBytes(level), Level());
            EXPECT_EQ(Names(dir.Path()), before);
        }
    }
#endif
}

TEST(LevelFaultCli, TwoProgramsAppendingToOneLevelLoseNothing)
{
#ifdef _WIN32
    GTEST_SKIP() << "runs two loops of the tool under sh";
#else
    test::TempDir dir;
    const std::string level = dir.Write("a.level", Level());
    const std::string run = "'" + std::string(VANTREL_CLI_PATH) + "' counter --yes '" + level + "' >/dev/null 2>&1 || echo x";
    const std::string loop = "(for i in $(seq 40); do " + run + "; done)";
    const auto failures = dir.Path() / "failures";
    ASSERT_EQ(std::system((loop + " >'" + failures.string() + "' & " + loop + " >>'" + failures.string() +
                           "'; wait").c_str()),
              0);
    EXPECT_EQ(test::ReadText(failures), "");
    Bytes expected = Level();
    const Bytes chunks = CounterChunks(PlanCounter(10, {1}, 1));
    for (int i = 0; i < 80; ++i) expected.insert(expected.end(), chunks.begin(), chunks.end());
    EXPECT_EQ(test::ReadBytes(level), expected) << "every append whole, none lost";
#endif
}

// Commands on what is no place for them: each is refused or kept to what
// it may touch, and says so.
TEST(LevelFaultCli, CommandsKeepToWhatTheyMayChange)
{
#ifdef _WIN32
    GTEST_SKIP() << "runs the tool under sh, with links, a umask and a named pipe";
#else
    struct Row {
        const char* name;
        std::function<std::vector<std::string>(const fs::path&)> setUp;  // the arguments
        const char* prefix;
        int status;
        std::string said;
        std::function<void(const fs::path&)> check;
    };
    const Bytes oldest = test::LevelBuilder::Cookie("1.0").HeadData({}).Cells(std::vector<std::uint16_t>(3 * 2, 1), false).Data();
    const auto unchanged = [](const char* name, const Bytes& bytes) {
        return [=](const fs::path& d) { EXPECT_EQ(test::ReadBytes(d / name), bytes); };
    };
    const Row rows[] = {
        {"counter on a version 1.0 level", [&](const fs::path& d) {
             Put(d / "old.level", oldest);
             return std::vector<std::string>{"counter", (d / "old.level").string()};
         }, "", 1, "message: This level is of file version 1.0", unchanged("old.level", oldest)},
        {"export --all on a version 1.0 level", [&](const fs::path& d) {
             Put(d / "old.level", oldest);
             return std::vector<std::string>{"export", (d / "old.level").string(), "--all"};
         }, "", 1, "message: This level holds no custom elements, so there is nothing to export.",
         [](const fs::path& d) { EXPECT_FALSE(fs::exists(d / "old.level.vce")); }},
        {"players through links out of the folder", [&](const fs::path& d) {
             fs::create_directory(d / "set");
             Put(d / "outside.level", Level());
             Put(d / "notes.txt", Bytes{'h', 'i'});
             fs::create_symlink(d / "outside.level", d / "set" / "a.level");
             fs::create_symlink(d / "notes.txt", d / "set" / "b.level");
             return std::vector<std::string>{"players", "3", (d / "set").string()};
         }, "", 0, "", [&](const fs::path& d) {
             EXPECT_EQ(test::ReadBytes(d / "outside.level"), Level());
             EXPECT_EQ(Names(d / "set"), (std::set<std::string>{"a.level", "b.level"})) << "no backup";
         }},
        {"a backup keeps the level's permissions, a .vce takes the umask", [&](const fs::path& d) {
             Put(d / "a.level", Level());
             fs::permissions(d / "a.level", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
             return std::vector<std::string>{"export", (d / "a.level").string(), "--all"};
         }, "umask 077;", 1, "message: This level holds no custom elements", [](const fs::path& d) {
             EXPECT_EQ(fs::status(d / "a.level.bak").permissions(),
                       fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
         }},
        {"render onto the level itself", [&](const fs::path& d) {
             Put(d / "a.png", Level());
             return std::vector<std::string>{"render", (d / "a.png").string(), (d / "." / "a.png").string()};
         }, "", 1, "message: The picture would replace the level", unchanged("a.png", Level())},
        {"check of a named pipe with no writer", [&](const fs::path& d) {
             ::mkfifo((d / "a.pipe").c_str(), 0600);
             return std::vector<std::string>{"check", (d / "a.pipe").string()};
         }, "timeout 20", 1, "a.pipe: cannot be read: not a regular file", [](const fs::path&) {}},
        {"check of a file larger than any level", [&](const fs::path& d) {
             Put(d / "big.level", Level());
             fs::resize_file(d / "big.level", (1u << 20) + 1);
             return std::vector<std::string>{"check", (d / "big.level").string()};
         }, "", 1, "big.level: cannot be read: 1048577 bytes, more than any level can be (at most 1048576 bytes)",
         [](const fs::path&) {}},
        {"check of a level cut inside its header", [&](const fs::path& d) {
             const Bytes whole = Level();
             Put(d / "cut.level", Bytes(whole.begin(), whole.begin() + 60));
             return std::vector<std::string>{"check", (d / "cut.level").string()};
         }, "", 1, "cut.level: 28: HEAD chunk takes 112 bytes, but the file ends 24 bytes into it: the level is cut "
                   "short and the game reads past the end of the file", [](const fs::path&) {}},
        {"import from a named pipe", [&](const fs::path& d) {
             Put(d / "a.level", Level());
             ::mkfifo((d / "ce.pipe").c_str(), 0600);
             return std::vector<std::string>{"import", (d / "a.level").string(), (d / "ce.pipe").string()};
         }, "(cat ce.vce > ce.pipe &);", 0, "", [](const fs::path& d) {
             Bytes expected = Level();
             const Bytes chunks = CounterChunks(PlanCounter(10, {1}, 200));
             expected.insert(expected.end(), chunks.begin(), chunks.end());
             EXPECT_EQ(test::ReadBytes(d / "a.level"), expected);
         }},
        {"import from a named pipe no program writes into", [&](const fs::path& d) {
             Put(d / "a.level", Level());
             ::mkfifo((d / "ce.pipe").c_str(), 0600);
             return std::vector<std::string>{"import", (d / "a.level").string(), (d / "ce.pipe").string()};
         }, "", 1, "message: Gave up on the pipe: nothing came through it for 5 seconds (no program wrote into it): ",
         unchanged("a.level", Level())},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempDir dir;
        dir.Write("ce.vce", CounterChunks(PlanCounter(10, {1}, 200)));
        const std::vector<std::string> args = row.setUp(dir.Path());
        const test::CliResult r = RunUnder("cd '" + dir.Path().string() + "'; " + row.prefix, args, dir);
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_NE(r.err.find(row.said), std::string::npos) << r.err;
        row.check(dir.Path());
    }
#endif
}

#ifdef VANTREL_FILE_FAULTS
// The files of a folder, by name.
std::map<std::string, Bytes> FilesIn(const fs::path& dir)
{
    std::map<std::string, Bytes> files;
    for (const auto& e : fs::directory_iterator(dir)) files[e.path().filename().string()] = test::ReadBytes(e.path());
    return files;
}

// Every writing command, stopped at each of its file-changing calls (killed,
// or the call failing with an I/O error), and with the close after its
// writes failing: the next command finds the file it changes exactly as
// before the command or exactly as after it, and no journal or temporary
// file is left once the folder is next looked at.
TEST(LevelFaultCli, EveryWritingCommandStoppedAtEveryCallLeavesBeforeOrAfter)
{
    struct Command {
        const char* name;
        std::vector<std::string> args;  // "L" the level, "S" its folder, "V" the .vce file, "P" a post
        const char* target;             // the file in the folder that the command changes or makes
    };
    const Command commands[] = {
        {"set", {"set", "L", "--title", "Killed", "--author", "Someone", "--time", "77", "--emeralds", "5"}, "a.level"},
        {"players", {"players", "4", "S"}, "a.level"},
        {"counter", {"counter", "L"}, "a.level"},
        {"import", {"import", "L", "V"}, "a.level"},
        {"restore", {"restore", "L"}, "a.level"},
        {"sort", {"sort", "S"}, "a.level"},
        {"export", {"export", "L", "--all"}, "a.level.vce"},
        {"quote", {"quote", "P", "--out", "S"}, "001.level"},
    };
    // The tool under env, with the fault library preloaded and more settings after it.
    const auto preload = [](std::vector<std::string> settings) {
        settings.insert(settings.begin(), {"/usr/bin/env", std::string("LD_PRELOAD=") + VANTREL_FILE_FAULTS});
        return settings;
    };
    const Bytes ces = CounterChunks(PlanCounter(10, {1}, 200));
    for (const Command& c : commands) {
        const std::string name = c.name;
        const bool sort = name == "sort", restore = name == "restore";
        // A set folder of its own (the tool's output goes beside it).
        const auto setUp = [&](const test::TempDir& dir) {
            const fs::path set = dir.Path() / "set";
            fs::create_directory(set);
            Bytes level = Level();
            if (name == "export") level.insert(level.end(), ces.begin(), ces.end());
            if (name != "quote") Put(set / "a.level", level);
            if (restore) Put(set / "a.level.bak", test::LevelBuilder::Standard({.width = 3, .height = 2, .title = "Backup"},
                                                                               {1, 2, 3, 4, 5, 6}).Data());
            if (sort) {
                Put(set / "levelinfo.conf", Bytes{'f', 'i', 'r', 's', 't', '_', 'l', 'e', 'v', 'e', 'l', ':', '1', '\n'});
                Put(set / "a.level.bak", Level());
                Put(set / "b.level", Bytes{'b'});
                Put(set / "b.level.bak", Bytes{'B'});
            }
            std::vector<std::string> args;
            for (const std::string& a : c.args)
                args.push_back(a == "L" ? (set / "a.level").string() : a == "S" ? set.string()
                               : a == "V" ? dir.Write("ce.vce", ces)
                               : a == "P" ? dir.Write("post.txt", std::string("`001`006\r\n`014`001\r\n")) : a);
            return args;
        };
        // The command run whole: what it leaves, and how many calls it makes.
        test::TempDir whole;
        const std::vector<std::string> wholeArgs = setUp(whole);
        const auto count = whole.Path() / "count";
        ASSERT_EQ(test::RunCli(wholeArgs, whole, preload({"VANTREL_FAULT_COUNT=" + count.string()})).status, 0)
            << c.name;
        const std::optional<Bytes> after =
            sort ? std::nullopt : std::optional(test::ReadBytes(whole.Path() / "set" / c.target));  // sort: the folder
        const std::map<std::string, Bytes> sorted = FilesIn(whole.Path() / "set");
        const int calls = std::stoi(test::ReadText(count));
        ASSERT_GT(calls, 1) << c.name;
        for (const std::string fault : {"kill", "eio", "close"}) {
            for (int k = 1; k <= (fault == "close" ? 1 : calls); ++k) {
                SCOPED_TRACE(name + ", " + fault + " at call " + std::to_string(k));
                test::TempDir dir;
                const std::vector<std::string> args = setUp(dir);
                const fs::path set = dir.Path() / "set";
                const std::string target = (set / c.target).string();
                const std::optional<Bytes> before = fs::exists(target) ? std::optional(test::ReadBytes(target)) : std::nullopt;
                const test::CliResult r = test::RunCli(
                    args, dir,
                    preload(fault == "close" ? std::vector<std::string>{"VANTREL_FAULT=" + fault,
                                                                        "VANTREL_FAULT_AT=" + std::to_string(k),
                                                                        "VANTREL_FAULT_FILE=/" + std::string(c.target)}
                                             : std::vector<std::string>{"VANTREL_FAULT=" + fault,
                                                                        "VANTREL_FAULT_AT=" + std::to_string(k)}));
                // A journal left with a record in it (an empty one was made or emptied
                // around no change of the level) puts the level back at the next opening.
                const bool journal = fs::exists(target + ".journal") && fs::file_size(target + ".journal") > 0;
                if (fault == "close" && c.target == std::string("a.level") && !sort) {
                    EXPECT_EQ(r.status, 0) << r.err;
                    EXPECT_NE(r.err.find(" and put on the disk, but closing the file afterwards failed (Cannot close "
                                         "the file (Input/output error): " + target + "). The level holds the change: "
                                         "there is no need to make it again."),
                              std::string::npos) << r.err;
                }
                if (fault == "eio" && r.status != 0) {
                    EXPECT_NE(r.err, "");
                }
                if (sort) {
                    // The next sort finishes the work: every level with its own backup, at its number.
                    // (After a rename the system refused, said, the levels may keep another order.)
                    EXPECT_EQ(test::RunCli({"sort", set.string()}, dir).status, 0);
                    if (fault != "eio" || r.status == 0) {
                        EXPECT_EQ(FilesIn(set), sorted);
                    } else {
                        const auto pairs = [](const std::map<std::string, Bytes>& files) {
                            std::set<std::pair<Bytes, Bytes>> levels;
                            for (const auto& [file, bytes] : files)
                                if (file.ends_with(".level")) levels.insert({bytes, files.at(file + ".bak")});
                            return levels;
                        };
                        EXPECT_EQ(pairs(FilesIn(set)), pairs(sorted));
                        EXPECT_EQ(FilesIn(set).size(), sorted.size());
                    }
                    continue;
                }
                // The next command: a load of the level (or of the new one), which looks at the folder.
                const test::CliResult next =
                    test::RunCli({"load", (set / (name == "quote" ? "001.level" : "a.level")).string()}, dir);
                const std::optional<Bytes> now = fs::exists(target) ? std::optional(test::ReadBytes(target)) : std::nullopt;
                EXPECT_TRUE(now == before || now == after) << "the file is neither as before nor as after";
                if (r.status == 0) {
                    EXPECT_EQ(now, after);
                }
                if (now) {
                    EXPECT_EQ(next.status, 0) << next.err;
                }
                if (journal) {
                    EXPECT_NE(next.err.find("message: The level " + target + " was put back as it was before a change "
                                            "that was cut off (the program making it was stopped before the change "
                                            "was whole; the journal " + target + ".journal held what to put back)."),
                              std::string::npos) << next.err;
                    EXPECT_EQ(now, before);
                }
                for (const auto& [file, bytes] : FilesIn(set)) {
                    EXPECT_TRUE(file == "a.level" || file == "a.level.bak" || file == c.target) << file << " was left";
                    if (file == "a.level.bak") {
                        EXPECT_EQ(bytes, sorted.at(file)) << "a backup is whole";
                    }
                }
            }
        }
    }
}

// A sort whose renames run in two chains (levels moving up by two), killed at
// each of its calls: the next sort makes the renames it had planned, so the
// levels end in the order they were given, not in the order their half-made
// names list them.
TEST(LevelFaultCli, ASortKilledAnywhereIsFinishedAsItWasPlanned)
{
    const auto conf = Bytes{'f', 'i', 'r', 's', 't', '_', 'l', 'e', 'v', 'e', 'l', ':', '3', '\n'};
    const auto setUp = [&](const fs::path& set) {
        fs::create_directory(set);
        Put(set / "levelinfo.conf", conf);
        for (const char c : {'1', '2', '3', '4'}) Put(set / (std::string("00") + c + ".level"), Bytes{'L', Bytes::value_type(c)});
        Put(set / "002.level.bak", Bytes{'B'});
    };
    const std::map<std::string, Bytes> sorted = {
        {"003.level", {'L', '1'}}, {"004.level", {'L', '2'}}, {"004.level.bak", {'B'}},
        {"005.level", {'L', '3'}}, {"006.level", {'L', '4'}}, {"levelinfo.conf", conf}};
    test::TempDir whole;
    setUp(whole.Path() / "set");
    const auto count = whole.Path() / "count";
    ASSERT_EQ(test::RunCli({"sort", (whole.Path() / "set").string()}, whole,
                           {"/usr/bin/env", std::string("LD_PRELOAD=") + VANTREL_FILE_FAULTS,
                            "VANTREL_FAULT_COUNT=" + count.string()})
                  .status,
              0);
    ASSERT_EQ(FilesIn(whole.Path() / "set"), sorted);
    const int calls = std::stoi(test::ReadText(count));
    int finished = 0;
    for (int k = 1; k <= calls; ++k) {
        SCOPED_TRACE("killed at call " + std::to_string(k));
        test::TempDir dir;
        const fs::path set = dir.Path() / "set";
        setUp(set);
        test::RunCli({"sort", set.string()}, dir,
                     {"/usr/bin/env", std::string("LD_PRELOAD=") + VANTREL_FILE_FAULTS, "VANTREL_FAULT=kill",
                      "VANTREL_FAULT_AT=" + std::to_string(k)});
        const test::CliResult next = test::RunCli({"sort", set.string()}, dir);
        EXPECT_EQ(next.status, 0) << next.err;
        if (next.err == "message: " + std::string(kStoppedSortFinishedMessage) + "\n") ++finished;
        EXPECT_EQ(FilesIn(set), sorted);
    }
    EXPECT_GT(finished, 0) << "some kills stop the sort between its renames";
}
#endif

// An empty level file and a name that names nothing: every command says which, exactly, and fails.
TEST(LevelFaultCli, EmptyAndMissingLevelsAreNamed)
{
    const std::vector<std::vector<std::string>> commands{{"load"},   {"ce"},          {"render", "B"},   {"sketch"},
                                                         {"import", "B"}, {"export", "--all"}, {"counter"}, {"set", "--title=T"}};
    for (const bool empty : {true, false}) {
        for (std::vector<std::string> args : commands) {
            SCOPED_TRACE(args.front() + (empty ? " empty" : " missing"));
            test::TempDir dir;
            const std::string level = (dir.Path() / "a.level").string();
            if (empty) Put(level, {});
            args.insert(args.begin() + 1, level);
            if (args.back() == "B") args.back() = (dir.Path() / "b.png").string();
            const test::CliResult r = test::RunCli(args, dir);
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.err, empty ? "message: Error: Can not open file\nmessage: The file " + level +
                                         " is empty (0 bytes): there is no level in it.\n"
                                   : "message: The level file " + level + " does not exist (deleted, moved or never "
                                                                          "made), so nothing was read or written.\n");
        }
    }
}

}  // namespace
}  // namespace vantrel
