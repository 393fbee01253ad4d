// The game judges what every writing command wrote: each command runs on a
// copy of every real level of ../shared/corpus (cookie files of version 1.0,
// the older chunked layout, the newer layout), and the game's own dump of the
// result must show what the command meant. Each test prints its figures
// (files tried / game agrees) a kind of level.
#include "counter/Counter.h"
#include "format/GameRead.h"
#include "format/RecordLayouts.h"
#include "judge/GameJudge.h"
#include "levelsets/LevelSort.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <regex>
#include <set>
#include <sstream>

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::string KindOf(const std::string& rel)
{
    return rel.find("Classic_Games") != std::string::npos ? "1.0" : rel.find("newer") == 0 ? "newer" : "older";
}

std::vector<std::string> CorpusLevels()
{
    std::vector<std::string> levels;
    for (const auto& e : fs::recursive_directory_iterator(CorpusDir()))
        if (e.path().extension() == ".level") levels.push_back(fs::relative(e.path(), CorpusDir()).string());
    std::sort(levels.begin(), levels.end());
    return levels;
}

// Files tried and files the game agrees with, a kind of level; printed at the end.
struct Tally {
    explicit Tally(std::string name) : command(std::move(name)) {}
    std::string command;
    std::map<std::string, std::pair<int, int>> kinds;
    void Add(const std::string& kind, bool agrees, const std::string& what)
    {
        kinds[kind].first++;
        kinds[kind].second += agrees ? 1 : 0;
        EXPECT_TRUE(agrees) << command << ": the game disagrees on " << what;
    }
    ~Tally()
    {
        std::cout << "[judge] " << command << ":";
        for (const auto& [kind, n] : kinds) std::cout << " " << kind << " " << n.first << "/" << n.second;
        std::cout << " (files tried/game agrees)" << std::endl;
    }
};

// Runs body on a copy of every corpus level, in a folder of its own.
void EachLevel(const std::function<void(const std::string&, const std::string&, const TempDir&)>& body)
{
    for (const std::string& rel : CorpusLevels()) {
        TempDir dir;
        body(rel, CopyFromCorpus(rel, dir), dir);
    }
}

#define JUDGE_START()    \
    VANTREL_NEED_GAME(); \
    if (CorpusDir().empty()) GTEST_SKIP() << "no corpus"

void WriteText(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

std::vector<int> Codes(const std::string& row)
{
    std::vector<int> codes;
    std::istringstream in(row);
    for (int c; in >> c;) codes.push_back(c);
    return codes;
}

TEST(GameJudge, QuoteOfASketchIsTheMap)
{
    JUDGE_START();
    Tally tally("sketch | quote");
    EachLevel([&](const std::string& rel, const std::string& level, const TempDir& dir) {
        const std::string sketch = dir.Write("sketch.txt", RunCli({"sketch", level}, dir).out);
        fs::create_directory(dir.Path() / "out");
        const auto made = RunCli({"quote", sketch, "--out", (dir.Path() / "out").string()}, dir);
        const GameDump before = DumpLevel(level), after = DumpLevel(made.out.substr(0, made.out.find('\n')));
        bool same = after.Size == before.Size && after.Rows.size() == before.Rows.size();
        for (std::size_t y = 0; same && y < before.Rows.size(); ++y) {
            std::vector<int> expected = Codes(before.Rows[y]);  // the sketch shows every CE as 360, every group as 624
            for (int& c : expected) c = c >= 360 && c <= 615 ? 360 : c >= 624 && c <= 655 ? 624 : c;
            same = Codes(after.Rows[y]) == expected;
        }
        tally.Add(KindOf(rel), made.status == 0 && same, rel);
    });
}

TEST(GameJudge, HeaderEditsAreWhatTheGameShows)
{
    JUDGE_START();
    Tally tally("set");
    EachLevel([&](const std::string& rel, const std::string& level, const TempDir& dir) {
        GameDump expected = DumpLevel(level);
        if (RunCli({"set", level, "--title", "Judged by the game", "--time", "321", "--emeralds", "12"}, dir).status == 0)
            expected.Title = "Judged by the game", expected.Time = "321", expected.Gems = "12";
        if (RunCli({"set", level, "--author", "Vantrel"}, dir).status == 0) expected.Author = "Vantrel";
        const GameDump after = DumpLevel(level);
        tally.Add(KindOf(rel),
                  after.Title == expected.Title && after.Author == expected.Author && after.Time == expected.Time &&
                      after.Gems == expected.Gems && after.Rows == expected.Rows && after.Ces == expected.Ces,
                  rel);
    });
}

TEST(GameJudge, CounterElementsAreWhatTheGameReads)
{
    JUDGE_START();
    Tally tally("counter");
    const CounterPlan plan = PlanCounter(10, {1, -3}, 200);
    EachLevel([&](const std::string& rel, const std::string& level, const TempDir& dir) {
        const GameDump before = DumpLevel(level);
        const bool made = RunCli({"counter", level, "--start", "200", "--inc=1", "--inc=-3"}, dir).status == 0;
        const GameDump after = DumpLevel(level);
        bool agrees = after.Rows == before.Rows && (made || after.Ces == before.Ces);
        for (const auto& [n, text] : before.Ces) agrees = agrees && (n >= 200 || after.Ce(n) == text);
        for (const CounterCe& ce : plan.Ces) {
            const std::string got = after.Ce(ce.Number);
            agrees = agrees && (!made || got.rfind("desc=" + ce.Name + " pages=" + std::to_string(ce.Pages.size()) + " ", 0) == 0);
            for (std::size_t j = 0; made && j < ce.Pages.size(); ++j)
                agrees = agrees && got.find("page " + std::to_string(j) + " target=" + std::to_string(ce.Pages[j].Target) +
                                            " delay_fixed=2 delay_random=0 can_change=1 trigger=" +
                                            std::to_string(ce.Pages[j].Condition) + "/") != std::string::npos;
        }
        tally.Add(KindOf(rel) + (made ? "" : " (refused)"), agrees, rel);
    });
}

TEST(GameJudge, ImportedElementsAreTheExportedOnesRenumbered)
{
    JUDGE_START();
    Tally tally("export/import");
    std::map<std::string, GameDump> targets;
    for (const char* t : {"levels/Tutorials/rnd_tutorial_niko_boehm/001.level", "newer/long_plan/011.level"})
        targets[t] = DumpLevel((CorpusDir() / t).string());
    EachLevel([&](const std::string& rel, const std::string& source, const TempDir& dir) {
        const std::string list = RunCli({"ce", source}, dir).out;
        if (list.empty() || RunCli({"export", source, "--all"}, dir).status != 0) return;
        std::map<int, int> renumber;  // every CE of the list goes 100 further
        const std::regex line(R"((\d+): .*)");
        for (std::sregex_iterator it(list.begin(), list.end(), line), end; it != end; ++it)
            renumber[std::stoi((*it)[1])] = std::stoi((*it)[1]) + 100;
        const GameDump exported = DumpLevel(source);
        for (const auto& [targetRel, before] : targets) {
            TempDir into;
            const std::string target = CopyFromCorpus(targetRel, into);
            bool agrees = RunCli({"import", target, source + ".vce", "--shift=100", "--yes"}, into).status == 0;
            const GameDump after = DumpLevel(target);
            agrees = agrees && after.Rows == before.Rows;
            for (const auto& [from, to] : renumber) agrees = agrees && after.Ce(to) == Renumbered(exported.Ce(from), renumber);
            tally.Add(KindOf(rel) + " into " + KindOf(targetRel), agrees, rel + " into " + targetRel);
        }
    });
}

// Chunks made byte by byte for the imports below; offsets written out here,
// not taken from the program.
Bytes Word(int v) { return {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)}; }
Bytes Chunk(const char* name, const Bytes& data)
{
    Bytes c(name, name + 4);
    const std::size_t n = data.size();
    for (int shift : {24, 16, 8, 0}) c.push_back(static_cast<std::uint8_t>(n >> shift));
    c.insert(c.end(), data.begin(), data.end());
    return c;
}
// A CUS4 record of one change page for CE ce, with codes put at record offsets.
Bytes Cus4Of(int ce, const std::vector<std::pair<int, int>>& codes)
{
    Bytes r(96 + 48, 0);
    const auto put = [&](int at, int v) {
        const Bytes w = Word(v);
        std::copy(w.begin(), w.end(), r.begin() + at);
    };
    put(0, 359 + ce);
    r[42] = 1;  // one change page
    r[48] = 1;  // use the graphic of the element at 49
    r[96 + 38] = 1;  // the page changes
    for (const auto& [at, code] : codes) put(at, code);
    return Chunk("CUS4", r);
}
// A CUSX chunk for CE ce: its base entries, the page count 1, page 0 and its entries.
Bytes CusxOf(int ce, const Bytes& base, const Bytes& page)
{
    Bytes d = Word(359 + ce);
    d.insert(d.end(), base.begin(), base.end());
    for (const std::uint8_t b : {0x09, 0x01, 0x01, 0x00}) d.push_back(b);
    d.insert(d.end(), page.begin(), page.end());
    return Chunk("CUSX", d);
}
Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// After an import, every element code the game reads from a custom element
// names the renumbered CE: the borrowed graphic, the explosion content, the
// element it enters and the one it leaves behind, a page's target, trigger,
// action element and target content, in CUS4 records and in CUSX entries.
TEST(GameJudge, ImportRenumbersEveryElementCodeTheGameReads)
{
    JUDGE_START();
    Tally tally("import of linked CEs");
    const int two = 361, six = 365;  // CE 2 and CE 6
    const Bytes contentOfTwoAndSix = Cat({Word(two), Word(0), Word(0), Word(six), Word(0), Word(0), Word(0), Word(0), Word(two)});
    const std::vector<std::pair<std::string, Bytes>> files = {
        {"CUS4", Cat({Cus4Of(1, {{49, six}, {66, two}, {82, six}, {84, two}, {86, six}, {96 + 4, two}, {96 + 12, six},
                                 {96 + 20, six}, {96 + 36, two}}),
                      Cus4Of(2, {{84, six}}), Cus4Of(6, {{96 + 4, two}})})},
        {"CUSX", Cat({CusxOf(1,
                             Cat({{0x01, 0x01, 0x41}, Word(six), {0x4C}, Word(two), {0x4D}, Word(six), {0xC2, 0x00, 0x12},
                                  contentOfTwoAndSix}),
                             Cat({{0x41}, Word(two), {0x45}, Word(six), {0x47}, Word(two), {0xC1, 0x00, 0x12},
                                  contentOfTwoAndSix})),
                      CusxOf(2, Cat({{0x4D}, Word(six)}), {}), CusxOf(6, {}, Cat({{0x41}, Word(two)}))})},
    };
    const std::map<int, int> renumber = {{1, 41}, {2, 20}, {6, 30}};
    for (const auto& [kind, vce] : files) {
        for (const char* targetRel : {"levels/Tutorials/rnd_tutorial_niko_boehm/001.level", "newer/long_plan/011.level"}) {
            TempDir dir;
            // What the game makes of the CEs as they are: the chunks read in a level without CEs.
            const std::string source = dir.Write(
                "source.level", Cat({ReadBytes(CorpusDir() / "levels/Tutorials/rnd_tutorial_niko_boehm/001.level"), vce}));
            const GameDump exported = DumpLevel(source);
            const std::string target = CopyFromCorpus(targetRel, dir);
            const GameDump before = DumpLevel(target);
            const auto run = RunCli({"import", target, dir.Write("linked.vce", vce), "--set", "1=41", "--set", "2=20",
                                     "--set", "6=30"},
                                    dir);
            const GameDump after = DumpLevel(target);
            bool agrees = run.status == 0 && after.Rows == before.Rows && after.Warnings == before.Warnings;
            for (const auto& [from, to] : renumber)
                agrees = agrees && !exported.Ce(from).empty() && after.Ce(to) == Renumbered(exported.Ce(from), renumber);
            tally.Add(kind + " into " + KindOf(targetRel), agrees, kind + " into " + std::string(targetRel) + ": " + run.err);
        }
    }
}

// A CE imported onto a CE number the level holds is, in play, the imported
// CE, field for field, whether the level's CE and the imported one are CUS4
// records or CUSX entries (the game applies CUSX entries over what the
// element holds).
TEST(GameJudge, ACeImportedOverOneInUseIsTheImportedOne)
{
    JUDGE_START();
    Tally tally("import over CEs in use");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"newer/long_plan/008.level", "levels/Tutorials/rnd_tutorial_niko_boehm/042.level"},
        {"levels/Tutorials/rnd_tutorial_niko_boehm/042.level", "newer/long_plan/008.level"},
        {"newer/long_plan/011.level", "newer/long_plan/008.level"},
    };
    for (const auto& [sourceRel, targetRel] : cases) {
        TempDir from, into;
        const std::string source = CopyFromCorpus(sourceRel, from);
        const bool exported = RunCli({"export", source, "1", "2"}, from).status == 0;
        const GameDump want = DumpLevel(source);
        const std::string target = CopyFromCorpus(targetRel, into);
        const GameDump before = DumpLevel(target);
        const auto run = RunCli({"import", target, source + ".vce", "--yes"}, into);
        const GameDump after = DumpLevel(target);
        bool agrees = exported && run.status == 0 && after.Rows == before.Rows && after.Warnings == before.Warnings;
        for (const auto& [n, text] : before.Ces)
            agrees = agrees && after.Ce(n) == (n <= 2 ? want.Ce(n) : text);
        tally.Add(KindOf(sourceRel) + " over " + KindOf(targetRel), agrees,
                  sourceRel + " over " + targetRel + ": CE 2 is\n" + after.Ce(2) + "\nnot\n" + want.Ce(2));
    }
}

TEST(GameJudge, PlayersAreWhereTheCommandSays)
{
    JUDGE_START();
    Tally tally("players 4");
    std::set<fs::path> sets;
    for (const std::string& rel : CorpusLevels()) sets.insert((CorpusDir() / rel).parent_path());
    for (const fs::path& set : sets) {
        TempDir dir;
        fs::copy(set, dir.Path() / "set");
        std::map<std::string, GameDump> expected;
        for (const auto& e : fs::directory_iterator(dir.Path() / "set"))
            if (e.path().extension() == ".level") expected[e.path().filename().string()] = DumpLevel(e.path().string());
        const std::string out = RunCli({"players", "4", (dir.Path() / "set").string()}, dir).out;
        for (auto& [name, dump] : expected) {
            const auto at = out.find(name + ": ");
            std::string said = at == std::string::npos ? "" : out.substr(at, out.find('\n', at) - at);
            said = said.substr(0, said.find(" ("));  // cells outside the map are not written
            const std::regex cell(R"((\d+),(\d+)=(\d+))");
            for (std::sregex_iterator it(said.begin(), said.end(), cell), end; it != end; ++it) {
                std::string& row = dump.Rows.at(std::stoul((*it)[2]) - 1);
                std::vector<int> codes = Codes(row);
                codes.at(std::stoul((*it)[1]) - 1) = std::stoi((*it)[3]);
                row.clear();
                for (const int c : codes) row += (row.empty() ? "" : " ") + std::to_string(c);
            }
            const GameDump after = DumpLevel((dir.Path() / "set" / name).string());
            tally.Add(KindOf(fs::relative(set, CorpusDir()).string()), !said.empty() && after.Rows == dump.Rows, name);
        }
    }
}

TEST(GameJudge, SortedSetsAreReadWholeByTheGame)
{
    JUDGE_START();
    Tally tally("sort");
    struct Case {
        const char* from;   // a set of the corpus
        const char* group;  // the levelinfo.conf of a level group the set is put in, or nullptr
        const char* conf;   // the levelinfo.conf put in the set's place ("" keeps its own); LEVELS: the count
        int named;          // the files are named from this number before the sort; -1: names that are no number
    };
    const Case cases[] = {
        {"levels/Classic_Games/classic_sokoban", nullptr, "", -1},
        {"levels/Tutorials/rnd_tutorial_niko_boehm", nullptr, "", -1},
        {"levels/Classic_Games/classic_sokoban", nullptr, "name: From zero\nlevels: LEVELS\nfirst_level: 0\n", -1},
        // Every level moves up: none may wait for a name another one still holds.
        {"levels/Classic_Games/classic_sokoban", nullptr, "name: Up one\nlevels: LEVELS\nfirst_level: 1\n", 0},
        {"levels/Tutorials/rnd_tutorial_niko_boehm", nullptr, "name: Up four\nlevels: LEVELS\nfirst_level: 5\n", 1},
        {"levels/Tutorials/rnd_tutorial_niko_boehm", "name: Group\nlevel_group: true\nfirst_level: 3\n",
         "name: Inherited\nlevels: LEVELS\n", 1},
    };
    for (const Case& c : cases) {
        TempDir home;
        const fs::path levels = home.Path() / ".rocksndiamonds" / "levels";
        const fs::path set = c.group ? levels / "group" / "judged" : levels / "judged";
        fs::create_directories(set.parent_path());
        fs::copy(CorpusDir() / c.from, set);
        if (c.group) WriteText(levels / "group" / "levelinfo.conf", c.group);
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(set))
            if (e.path().extension() == ".level") files.push_back(e.path());
        std::sort(files.begin(), files.end());
        if (*c.conf) {
            std::string conf = c.conf;
            conf.replace(conf.find("LEVELS"), 6, std::to_string(files.size()));
            WriteText(set / "levelinfo.conf", conf);
        }
        std::vector<GameDump> order;  // the levels in listing order, each renamed as the case says
        for (const fs::path& file : files) {
            order.push_back(DumpLevel(file.string()));
            fs::rename(file, set / ("x" + file.filename().string()));
        }
        for (std::size_t i = 0; c.named >= 0 && i < files.size(); ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%03d.level", c.named + static_cast<int>(i));
            fs::rename(set / ("x" + files[i].filename().string()), set / name);
        }
        const CliResult sorted = RunCli({"sort", set.string()}, home);
        EXPECT_EQ(sorted.out.find("skipped"), std::string::npos) << sorted.out;
        const auto [count, first] = DumpLevelset(home.Path().string(), "judged");
        // The game looks up the first and the last level itself (slow: it reads its whole tree); the
        // others are read from the files it takes for them.
        const int judged = std::min(count, static_cast<int>(order.size()));
        if (*c.conf) {
            EXPECT_EQ(judged, static_cast<int>(order.size())) << c.from;  // the game reads every one
        }
        for (int i = 0; i < judged; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%03d.level", first + i);
            const GameDump got = i == 0 || i == judged - 1 ? DumpSetLevel(home.Path().string(), "judged", first + i)
                                                           : DumpLevel((set / name).string());
            const GameDump& want = order[static_cast<std::size_t>(i)];
            tally.Add(KindOf(c.from) + " from " + std::to_string(first),
                      got.Level && got.Title == want.Title && got.Rows == want.Rows, std::string(c.from) + " " + name);
        }
    }
}

// The sort numbers a set from its first level as the game reads it from the
// levelinfo.conf files: the game's own levelset dump says the same number.
TEST(GameJudge, FirstLevelIsReadAsTheGameReadsIt)
{
    JUDGE_START();
    const char* confs[] = {
        "first_level: 4\n",
        "first_level = 4\n",
        "  first_level :\t4   # a comment\n",
        "first_level 4\n",
        "first_level: 2\nfirst_level: 4\n",
        "first_level: \\\n4\n",
        "first_level: yes\n",
        "first_level: off\n",
        "first_level: 4th\n",
        "first_level: level four\n",
        "first_level:\n",
        "include: more.conf\n",
        "First_level: 7\n",
    };
    for (const char* conf : confs) {
        SCOPED_TRACE(conf);
        TempDir home;
        const fs::path group = home.Path() / ".rocksndiamonds" / "levels" / "group";
        fs::create_directories(group / "judged");
        WriteText(group / "levelinfo.conf", "name: Group\nlevel_group: true\nfirst_level: 9\n");
        WriteText(group / "judged" / "levelinfo.conf", std::string("name: Judged\nlevels: 1\n") + conf);
        WriteText(group / "judged" / "more.conf", "first_level: 4\n");
        fs::copy_file(CorpusDir() / "levels/Tutorials/rnd_tutorial_niko_boehm/001.level", group / "judged" / "x.level");
        EXPECT_EQ(GameFirstLevel((group / "judged").string(), {"x.level"}),
                  DumpLevelset(home.Path().string(), "judged").second);
    }
}

// check's findings carry the warnings the game prints, on every real level and
// on copies of some of them made faulty in the ways levels go wrong.
TEST(GameJudge, CheckFindsWhatTheGameWarnsAbout)
{
    JUDGE_START();
    Tally tally("check");
    auto cus4 = [](int code, int pages, int stated) {
        Bytes c{'C', 'U', 'S', '4', 0, 0, static_cast<std::uint8_t>(stated >> 8), static_cast<std::uint8_t>(stated)};
        c.resize(8 + 96 + 48 * static_cast<std::size_t>(pages));
        c[8] = static_cast<std::uint8_t>(code >> 8), c[9] = static_cast<std::uint8_t>(code);
        c[50] = static_cast<std::uint8_t>(pages);
        return c;
    };
    auto with = [](Bytes b, const Bytes& tail) { return b.insert(b.end(), tail.begin(), tail.end()), b; };
    const std::vector<std::pair<std::string, std::function<Bytes(const Bytes&)>>> faults = {
        {"as it is", [](const Bytes& b) { return b; }},
        {"unknown chunk", [&](const Bytes& b) { return with(b, {'A', 'B', 'C', 'D', 0, 0, 0, 2, 1, 2}); }},
        {"CUS4 of no page", [&](const Bytes& b) { return with(with(b, cus4(400, 0, 96)), cus4(401, 1, 144)); }},
        {"CUS4 size", [&](const Bytes& b) { return with(b, cus4(402, 2, 200)); }},
        {"CUS4 of no CE", [&](const Bytes& b) { return with(b, cus4(20, 1, 144)); }},
        {"code past the last", [&](const Bytes& b) { return with(b, cus4(1700, 1, 144)); }},
        // Cut inside the map (the game reads memory it never filled when a file ends inside an entry).
        {"map cut short", [](const Bytes& b) {
             const auto body = std::string(b.begin(), b.end()).find("BODY");
             return Bytes(b.begin(), b.begin() + static_cast<long>(body == std::string::npos ? 160 : body + 18));
         }},
    };
    const std::vector<std::string> levels = CorpusLevels();
    for (std::size_t i = 0; i < levels.size(); ++i) {
        for (const auto& [name, fault] : faults) {
            if (name != "as it is" && i % 5 != 0) continue;
            TempDir dir;
            const std::string path = dir.Write("f.level", fault(ReadBytes(CorpusDir() / levels[i])));
            const int warnings = static_cast<int>(DumpLevel(path).Warnings.size());
            const int found = ReadAsTheGame(ReadBytes(path)).Warnings();
            tally.Add(KindOf(levels[i]) + (name == "as it is" ? "" : " made faulty"), found == warnings,
                      levels[i] + ", " + name + ": " + std::to_string(found) + " for " + std::to_string(warnings));
        }
    }
}

// The chunks of a level file as they lie, by the table of chunk kinds: each
// one's position, and the length it takes (HEAD: the header's whole length).
std::vector<std::pair<std::int64_t, std::int64_t>> ChunksOf(const Bytes& b)
{
    std::vector<std::pair<std::int64_t, std::int64_t>> chunks;
    const auto size = static_cast<std::int64_t>(b.size());
    std::int64_t p = kFirstChunkPos;
    if (size < p || std::string(b.begin(), b.begin() + kRnd1SignatureLength) != kRnd1Signature) {
        const auto cookie = std::find(b.begin(), b.end(), '\n');
        p = cookie == b.end() ? size : cookie - b.begin() + 1;
    }
    while (p + kChunkHeaderLength <= size) {
        const ChunkKind* kind = FindChunkKind(std::string_view(reinterpret_cast<const char*>(b.data() + p), kChunkNameLength));
        if (!kind) break;
        std::int64_t length = GetField(b.data() + p, ChunkField::Size);
        if (kind->Id == ChunkId::Head) length = kHeadLength;
        chunks.emplace_back(p, kChunkHeaderLength + length);
        p += kChunkHeaderLength + length;
    }
    return chunks;
}

// Corpus levels cut inside each kind of their chunks (one byte into its
// data, halfway, one byte before its end; every level for the rarer kinds,
// every third for those every level has): check calls each cut short, and
// counts the game's warnings (but where the game reads codes from memory it
// never filled).
TEST(GameJudge, CheckHoldsLevelsCutInsideEveryChunkKind)
{
    JUDGE_START();
    Tally tally("check of cut levels");
    const std::vector<std::string> levels = CorpusLevels();
    const std::set<std::string> everyLevelHas = {"VERS", "DATE", "HEAD", "NAME", "AUTH", "INFO", "BODY", "ELEM"};
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const Bytes whole = ReadBytes(CorpusDir() / levels[i]);
        std::set<std::string> tried;  // one chunk of each kind a level
        for (const auto& [at, length] : ChunksOf(whole)) {
            const std::string kind(whole.begin() + at, whole.begin() + at + kChunkNameLength);
            if (length <= kChunkHeaderLength + 1 || (everyLevelHas.count(kind) && i % 3 != 0) ||
                !tried.insert(kind).second)
                continue;
            const std::int64_t data = at + kChunkHeaderLength;
            for (const std::int64_t cut : {data + 1, data + (length - kChunkHeaderLength) / 2, at + length - 1}) {
                if (cut <= data || cut >= at + length) continue;
                TempDir dir;
                const std::string path = dir.Write("f.level", Bytes(whole.begin(), whole.begin() + cut));
                const int warnings = static_cast<int>(DumpLevel(path).Warnings.size());
                const GameReading reading = ReadAsTheGame(ReadBytes(path));
                const bool counted = reading.UnfilledCodes || reading.Warnings() == warnings;
                tally.Add(kind, !reading.Clean() && counted,
                          levels[i] + " cut at " + std::to_string(cut) + " inside " + kind + ": " +
                              (reading.Clean() ? "clean" : "not clean") + ", " + std::to_string(reading.Warnings()) +
                              " warnings for " + std::to_string(warnings));
            }
        }
    }
}

}  // namespace
}  // namespace vantrel::test
