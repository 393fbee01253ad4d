// vantrel-cli: the program's core commands from a terminal. This file alone
// holds the command-line parser; each command is a plain function.
#include "tell/ErrorBoundary.h"
#include "cli/CliDocs.h"
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "platform/Platform.h"
#include "quote/QuotePost.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {
namespace {

constexpr char kVerboseChangesHelp[] =
    "Also print each write into the level: its offset and length (the line \"changed:\" sums them up)";

// The command the parsed line chose, ready to run.
using CliRun = std::function<int()>;

void AddLoadCommand(CLI::App& app, CliRun& run)
{
    struct Options {
        std::string file;
        bool map = false;
    };
    auto opts = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "load",
        "Load a level file for reading only (no backup is made) and print the load log, a line \"--\", "
        "the header boxes, the custom element list and, with --map, the map");
    cmd->add_option("FILE", opts->file, "The .level file")->required();
    cmd->add_flag("--map", opts->map, "Also print the map, one row a line, codes in decimal");
    cmd->callback([&run, opts] { run = [opts] { return RunLoad(opts->file, opts->map); }; });
}

void AddRenderCommand(CLI::App& app, CliRun& run)
{
    struct Options {
        std::string file;
        std::string out;
    };
    auto opts = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "render",
        "Load a level file for reading only (no backup is made) and write its whole map as a picture, "
        "16 x 16 pixels a cell, drawn tile for tile as the Level View draws it");
    cmd->add_option("FILE", opts->file, "The .level file")->required();
    cmd->add_option("OUT", opts->out, "The picture to write: a Windows bitmap (.bmp) or a PNG (.png)")->required();
    cmd->callback([&run, opts] { run = [opts] { return RunRender(opts->file, opts->out); }; });
}

void AddCeCommand(CLI::App& app, CliRun& run)
{
    struct Options {
        std::string file;
        int line = 0;
    };
    auto opts = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "ce",
        "Load a level file for reading only (no backup is made) and print its custom element list, one line "
        "each; with N, the fields the CE Manager page shows for line N, one \"Caption: value\" a line, and the "
        "fields of each change page");
    cmd->add_option("FILE", opts->file, "The .level file")->required();
    cmd->add_option("N", opts->line, "A line of the CE list, from 1")->check(CLI::Range(1, 1 << 30));
    cmd->callback([&run, opts] { run = [opts] { return RunCe(opts->file, opts->line); }; });
}

void AddExportCommand(CLI::App& app, CliRun& run)
{
    struct Options {
        std::string file;
        std::vector<int> lines;
        bool all = false;
        bool force = false;
    };
    auto opts = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "export",
        "Load a level file as the window does (its backup included) and write the custom elements of the given "
        "CE list lines into FILE.vce beside it, as \"Export Selected to a .vce file\" does");
    cmd->add_option("FILE", opts->file, "The .level file")->required();
    auto* lines = cmd->add_option("LINE", opts->lines, "Lines of the CE list, from 1")->check(CLI::Range(1, 1 << 30));
    cmd->add_flag("--all", opts->all, "Every line of the CE list")->excludes(lines);
    cmd->add_flag("--force", opts->force, "Replace FILE.vce when it exists (without it, an existing one is kept)");
    cmd->callback(
        [&run, opts] { run = [opts] { return RunExport(opts->file, opts->lines, opts->all, opts->force); }; });
}

void AddImportCommand(CLI::App& app, CliRun& run)
{
    struct Options {
        std::string file;
        std::string vce;
        std::vector<std::string> sets;
        int shift = 0;
        bool yes = false;
        bool verbose = false;
    };
    auto opts = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "import",
        "Load a level file as the window does (its backup included), list the custom elements of a .vce file "
        "with their new ids, renumber them and every link between them, append them to the level and print "
        "the number of links changed. The .vce file is not changed");
    cmd->add_option("FILE", opts->file, "The .level file")->required();
    cmd->add_option("VCE", opts->vce, "The .vce file")->required();
    cmd->add_option("--set", opts->sets,
                    "OLD=NEW: the first import line whose old id is OLD gets the new id NEW (before --shift)")
        ->allow_extra_args(false);
    cmd->add_option("--shift", opts->shift, "Add K to every new id, as Inc/Dec All (negative: --shift=-3)");
    cmd->add_flag("--yes", opts->yes, "Answer Yes where the window asks whether to use an occupied id");
    cmd->add_flag("--verbose", opts->verbose,
                  "Print the import's log lines and boxes of bytes to standard error, and each write into the level "
                  "(its offset and length) to standard output");
    cmd->callback([&run, opts] {
        run = [opts] {
            return RunImport(opts->file, opts->vce, opts->sets, opts->shift, opts->yes, opts->verbose);
        };
    });
}

void AddCounterCommand(CLI::App& app, CliRun& run)
{
    struct Options {
        std::string file;
        int steps = 10;
        std::vector<int> increments;
        int start = 1;
        bool dryRun = false;
        bool yes = false;
        bool verbose = false;
    };
    auto opts = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "counter",
        "Load a level file as the window does (its backup included) and append the custom elements of a counter, "
        "as the \"Calcing and Counting\" page makes them: the controller and one digit CE per increment; print "
        "the closing message and the CEs created");
    cmd->add_option("FILE", opts->file, "The .level file")->required();
    cmd->add_option("--steps", opts->steps, "Steps for each digit (10 decimal, 16 hexadecimal, 2 binary)")
        ->check(CLI::Range(2, 16));
    cmd->add_option("--inc", opts->increments,
                    "An increment, once per line of the increments list (at most 16; default one line 1); "
                    "a negative one as --inc=-1")
        ->allow_extra_args(false)
        ->check(CLI::Range(-1000, 1000));
    cmd->add_option("--start", opts->start, "The CE number of the first CE written (1 to 255)")
        ->check(CLI::Range(1, 255));
    cmd->add_flag("--dry-run", opts->dryRun, "Print what would be created; write nothing, not even the backup");
    cmd->add_flag("--yes", opts->yes,
                  "Answer Yes where the window asks: whether to use CE numbers the level already uses, and whether "
                  "to append after the point where the game stops reading");
    cmd->add_flag("--verbose", opts->verbose, kVerboseChangesHelp);
    cmd->callback([&run, opts] {
        if (opts->increments.size() > 16) throw CLI::ValidationError("--inc", "at most 16 increments");
        if (opts->increments.empty()) opts->increments.push_back(1);
        run = [opts] {
            return RunCounter(opts->file, opts->steps, opts->increments, opts->start, opts->dryRun, opts->yes,
                              opts->verbose);
        };
    });
}

void AddRestoreCommand(CLI::App& app, CliRun& run)
{
    struct Options {
        std::string file;
        bool verbose = false;
    };
    auto opts = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "restore",
        "Put the level's backup FILE.bak (made by its first load) back into the level, as File > Restore from "
        "Backup does: the level keeps its name, permission bits and folder. Refused when there is no backup, "
        "the backup is not a level, or the level may not be written");
    cmd->add_option("FILE", opts->file, "The .level file")->required();
    cmd->add_flag("--verbose", opts->verbose, kVerboseChangesHelp);
    cmd->callback([&run, opts] { run = [opts] { return RunRestore(opts->file, opts->verbose); }; });
}

void AddLevelsetsCommands(CLI::App& app, CliRun& run)
{
    auto dataDir = std::make_shared<std::string>();
    CLI::App* scan = app.add_subcommand(
        "levelsets",
        "Scan the levels directory of a data directory as \"Scan for Levelsets\" does and print the levelset "
        "tree, one label a line, indented two blanks a level, then the totals");
    scan->add_option("DATADIR", *dataDir, "The game's data directory (the one holding \"levels\")")->required();
    scan->callback([&run, dataDir] { run = [dataDir] { return RunLevelsets(*dataDir); }; });

    struct Options {
        std::string dir;
        bool dryRun = false;
    };
    auto opts = std::make_shared<Options>();
    CLI::App* sort = app.add_subcommand(
        "sort",
        "Renumber the level files of a directory as \"Sort the levels\" does, from the set's first level as the game "
        "numbers it (first_level of its levelinfo.conf or of the groups above it, else 0), never replacing a file; "
        "print each rename as \"old -> new\" and each skipped level with its reason");
    sort->add_option("DIR", opts->dir, "The levelset directory")->required();
    sort->add_flag("--dry-run", opts->dryRun, "Print what would be renamed; change nothing");
    sort->callback([&run, opts] { run = [opts] { return RunSort(opts->dir, opts->dryRun); }; });
}

void AddPlayersCommand(CLI::App& app, CliRun& run)
{
    struct Options {
        int players = 3;
        std::string dir;
        bool dryRun = false;
    };
    auto opts = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "players",
        "Make every level file of a directory a level for 3 or 4 players, as \"Set 3 players\" and \"Set 4 "
        "players\" do: the new players go on the line from player 1 through player 2. Prints one line a level "
        "(the cells written as x,y=code, or why it was skipped), then a summary line");
    cmd->add_option("COUNT", opts->players, "3 or 4")->required()->check(CLI::IsMember({3, 4}));
    cmd->add_option("DIR", opts->dir, "The levelset directory")->required();
    cmd->add_flag("--dry-run", opts->dryRun, "Print what would be written; change nothing and make no backup");
    cmd->callback([&run, opts] { run = [opts] { return RunPlayers(opts->players, opts->dir, opts->dryRun); }; });
}

void AddQuoteCommand(CLI::App& app, CliRun& run)
{
    struct Options {
        std::string post;
        std::string out = ".";
        std::string prefix = kDefaultImagePrefix;
    };
    auto opts = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "quote",
        "Make a new level from a forum post that shows a level as element images (Level Sketch), or from Level "
        "Sketch text as \"Copy as Level Sketch\" writes it; prints the new file's path. The file is the first free "
        "name of 001.level to 999.level in the output directory; no file is ever replaced");
    cmd->add_option("POSTFILE", opts->post, "The post as text; - reads standard input")->required();
    cmd->add_option("--out", opts->out, "The output directory (default: the current directory)");
    cmd->add_option("--image-prefix", opts->prefix,
                    std::string("The address before an element image's name (default: ") + kDefaultImagePrefix +
                        "; the window reads it from the setting \"" + kImagePrefixSetting + "\")");
    cmd->callback([&run, opts] { run = [opts] { return RunQuote(opts->post, opts->out, opts->prefix); }; });
}


void AddSketchCommand(CLI::App& app, CliRun& run)
{
    struct Options {
        std::string file;
        std::vector<int> rect;
    };
    auto opts = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "sketch",
        "Print the Level Sketch text of a level's whole map, or of a rectangle of it, one line a row, as \"Copy as "
        "Level Sketch\" makes it. The level is only read: no backup, no change");
    cmd->add_option("LEVEL", opts->file, "The .level file")->required();
    cmd->add_option("RECT", opts->rect, "X Y W H: the rectangle's top-left column and row (from 1), width and height")
        ->expected(4);
    cmd->callback([&run, opts] { run = [opts] { return RunSketch(opts->file, opts->rect); }; });
}


void AddSetCommand(CLI::App& app, CliRun& run)
{
    struct Options {
        std::string file;
        std::optional<std::string> title, author;
        std::optional<long long> time, emeralds;
        bool verbose = false;
    };
    auto opts = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "set",
        "Load a level file as the window does (its backup included) and write the File Info edits given: the "
        "title, the author, time left and emeralds to collect, with the window's checks and messages. Every value "
        "is checked before anything is written");
    cmd->add_option("LEVEL", opts->file, "The .level file")->required();
    cmd->add_option("--title", opts->title, "The level title (at most 32 characters)");
    cmd->add_option("--author", opts->author, "The author (at most 32 characters)");
    cmd->add_option("--time", opts->time, "Time left (0 to 65535; 0 to 32767 in levels of the newer layout)");
    cmd->add_option("--emeralds", opts->emeralds, "Emeralds to collect (the same range)");
    cmd->add_flag("--verbose", opts->verbose, kVerboseChangesHelp);
    cmd->callback([&run, opts] {
        run = [opts] {
            return RunSet(opts->file, HeaderChanges{opts->title, opts->author, opts->time, opts->emeralds},
                          opts->verbose);
        };
    });
}

void AddCheckCommand(CLI::App& app, CliRun& run)
{
    auto names = std::make_shared<std::vector<std::string>>();
    CLI::App* cmd = app.add_subcommand(
        "check",
        "Read each level as the game reads it and print one line a finding, \"FILE: OFFSET: text\": chunk sizes "
        "that do not add up, custom element records the game misreads, a map shorter than its header says, codes "
        "the game replaces (as notes), the chunk after which the game stops reading and the custom elements it will "
        "not see; then a summary line. Folders are searched for .level files. Exit status 0 only when every level "
        "is clean (notes aside)");
    cmd->add_option("LEVEL", *names, "Level files or folders")->required();
    cmd->callback([&run, names] { run = [names] { return RunCheck(*names); }; });
}

// The index's cache: --cache FILE, none with --no-cache, else the user's cache folder.
void AddCacheOptions(CLI::App* cmd, std::string& cache, bool& noCache)
{
    auto* file = cmd->add_option("--cache", cache,
                                 "The index cache file (default: $XDG_CACHE_HOME/vantrel/archive.index, else "
                                 "~/.cache/vantrel/archive.index); a second run reads only the levels that changed");
    cmd->add_flag("--no-cache", noCache, "Read every level; neither read nor write a cache")->excludes(file);
}

void AddArchiveCommands(CLI::App& app, CliRun& run)
{
    struct IndexArgs {
        std::vector<std::string> folders;
        bool json = false;
        std::string cache;
        bool noCache = false;
    };
    auto index = std::make_shared<IndexArgs>();
    CLI::App* cmd = app.add_subcommand(
        "index",
        "Index every .level file under the folders, on every core, and print one line a level: path, levelset, "
        "number, title, author, map size, layout and version, time, emeralds, how many elements and custom elements "
        "it uses and what the game's reading finds (\"clean\" or how many findings); a file that is no level, a "
        "damaged or an unreadable one as \"PATH: not a level: ...\", \"damaged: ...\" or \"unreadable: ...\". The "
        "index is kept in a cache file, so that a second run reads only the files that changed. Exit status 1 when "
        "a folder named does not exist or cannot be listed (what the others hold is printed)");
    cmd->add_option("DIR", index->folders, "Folders (a data directory, a levelset) or level files")->required();
    cmd->add_flag("--json", index->json,
                  "JSON Lines: one object a level with every field (the elements with their counts, the custom "
                  "elements with their names and borrowed graphics, the findings)");
    AddCacheOptions(cmd, index->cache, index->noCache);
    cmd->callback([&run, index] {
        run = [index] {
            return RunIndex(index->folders, index->json,
                            index->noCache ? std::string() : index->cache.empty() ? DefaultIndexCache() : index->cache);
        };
    });

    struct FindArgs {
        std::vector<std::string> folders;
        ArchiveQuery query;
        std::vector<std::string> uses;
        std::string layout, minSize, maxSize, sort;
        bool reverse = false;
        bool json = false;
        std::string cache;
        bool noCache = false;
    };
    auto find = std::make_shared<FindArgs>();
    CLI::App* f = app.add_subcommand(
        "find",
        "Index the folders as \"index\" does and print the levels that match every condition given, one line "
        "(or JSON object) a level. Exit status 0 when a level matches, 1 when none does or a folder named does not "
        "exist or cannot be listed");
    f->add_option("DIR", find->folders, "Folders (a data directory, a levelset) or level files")->required();
    f->add_option("--text", find->query.Text,
                  "Words that must each stand in the title, the author, the levelset or a custom element's name "
                  "(letters of any case)");
    f->add_option("--title", find->query.Title, "Text in the title");
    f->add_option("--author", find->query.Author, "Text in the author");
    f->add_option("--ce", find->query.CeName, "Text in the name of one of its custom elements");
    f->add_option("--uses", find->uses,
                  "An element the map holds: its code in decimal (360) or hexadecimal (0x0168), its token "
                  "(emerald) or its name (\"Custom element 1\"); give it again for more")
        ->allow_extra_args(false);
    f->add_flag("--has-ces", find->query.HasCes, "Levels that hold custom elements");
    f->add_flag("--findings", find->query.HasFindings, "Levels in which the game's reading finds more than notes");
    f->add_flag("--damaged", find->query.Damaged, "Files that are no level, damaged or unreadable");
    f->add_option("--layout", find->layout, "cookie, RND1 or newer");
    f->add_option("--min-size", find->minSize, "WxH: maps at least W cells wide and H high");
    f->add_option("--max-size", find->maxSize, "WxH: maps at most W cells wide and H high");
    f->add_option("--sort", find->sort,
                  "Sort by a column: levelset, number, title, author, size, layout, version, time, emeralds, ces, "
                  "findings or path (default: path)");
    f->add_flag("--reverse", find->reverse, "Sort the other way round");
    f->add_flag("--json", find->json, "JSON Lines, as index --json");
    AddCacheOptions(f, find->cache, find->noCache);
    f->callback([&run, find] {
        for (const std::string& name : find->uses) {
            std::string error;
            const std::optional<std::uint16_t> code = ParseElement(name, error);
            if (!code) throw CLI::ValidationError("--uses", error);
            find->query.Uses.push_back(*code);
        }
        if (!find->layout.empty()) {
            find->query.Layout = LayoutFromName(find->layout);
            if (!find->query.Layout) throw CLI::ValidationError("--layout", "cookie, RND1 or newer, not " + find->layout);
        }
        const auto size = [](const std::string& option, const std::string& text, int& w, int& h) {
            if (text.empty()) return;
            const auto wh = ParseMapSize(text);
            if (!wh) throw CLI::ValidationError(option, "a map size such as 64x32, not " + text);
            w = wh->first;
            h = wh->second;
        };
        size("--min-size", find->minSize, find->query.MinWidth, find->query.MinHeight);
        size("--max-size", find->maxSize, find->query.MaxWidth, find->query.MaxHeight);
        if (!find->sort.empty() && !ColumnFromName(find->sort))
            throw CLI::ValidationError("--sort", "no column is named " + find->sort);
        run = [find] {
            return RunFind(find->folders, find->query, find->sort, find->reverse, find->json,
                           find->noCache ? std::string() : find->cache.empty() ? DefaultIndexCache() : find->cache);
        };
    });
}

void AddSheetCommand(CLI::App& app, CliRun& run)
{
    struct Options {
        std::string set;
        std::string out;
        int columns = 6;
    };
    auto opts = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "sheet",
        "Draw a contact sheet of a levelset: each level's map drawn small with the Level View's tiles, in the "
        "order of the file list, with its number and title under it; for forum posts");
    cmd->add_option("SET", opts->set, "The levelset's folder")->required();
    cmd->add_option("OUT", opts->out, "The picture to write: a PNG (.png) or a Windows bitmap (.bmp)")->required();
    cmd->add_option("--columns", opts->columns, "Thumbnails a row (default 6)")->check(CLI::Range(1, 64));
    cmd->callback([&run, opts] { run = [opts] { return RunSheet(opts->set, opts->out, opts->columns); }; });
}

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv)
{
    vantrel::platform::SetUpProcess();
    CLI::App app{"vantrel-cli: inspect and change Rocks'n'Diamonds level files from a terminal.\n"
                 "Messages the window would show in a box are printed to standard error as \"message: \" and "
                 "their text."};
    // "/path" is a file name, never an option, on every system (the subcommands take this on).
    app.allow_windows_style_options(false);
    app.require_subcommand(1);
    vantrel::AddVersionAndDocs(app);
    vantrel::CliRun run;
    vantrel::AddLoadCommand(app, run);
    vantrel::AddCeCommand(app, run);
    vantrel::AddRenderCommand(app, run);
    vantrel::AddExportCommand(app, run);
    vantrel::AddImportCommand(app, run);
    vantrel::AddCounterCommand(app, run);
    vantrel::AddRestoreCommand(app, run);
    vantrel::AddLevelsetsCommands(app, run);
    vantrel::AddPlayersCommand(app, run);
    vantrel::AddQuoteCommand(app, run);
    vantrel::AddSketchCommand(app, run);
    vantrel::AddSetCommand(app, run);
    vantrel::AddCheckCommand(app, run);
    vantrel::AddArchiveCommands(app, run);
    vantrel::AddSheetCommand(app, run);

    // The arguments as UTF-8, also where the system hands them over in a code page.
    const std::vector<std::string> arguments = vantrel::platform::Arguments(argc, argv);
    std::vector<const char*> utf8;
    for (const std::string& argument : arguments) utf8.push_back(argument.c_str());
    try {
        app.parse(static_cast<int>(utf8.size()), utf8.data());
    } catch (const CLI::Success& e) {  // --help, --version, --generate
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return 2;
    }
    try {
        return run ? run() : 2;
    } catch (const std::bad_alloc&) {
        vantrel::PrintMessage(std::cerr, vantrel::kOutOfMemoryMessage);
        return 1;
    } catch (const std::exception& e) {
        vantrel::PrintMessage(std::cerr, e.what());
        return 1;
    }
}
