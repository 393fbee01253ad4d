#include "cli/CliDocs.h"

#include "base/ManPage.h"
#include "base/Version.h"

#include <iostream>

namespace vantrel {

namespace {

struct DocEntry {
    const char* term;
    const char* text;
};

constexpr DocEntry kExitStatuses[] = {
    {"0", "done"},
    {"1", "refused or failed"},
    {"2", "wrong command line"},
};

constexpr DocEntry kFiles[] = {
    {"LEVEL.bak",
     "The backup of a level, made once, the first time a command that may change the level (export, import, "
     "counter, players, set, sort) loads it; an existing backup is never replaced"},
    {"LEVEL.vce", "The custom elements written by export, beside the level"},
    {"/usr/share/vantrel/examples",
     "Example levels written by vantrel-cli itself: a data directory whose levels folder holds a quote level, a "
     "level with a counter and a levelset in player-count variants"},
};

std::string Footer()
{
    std::string text = "Exit status:";
    for (const DocEntry& e : kExitStatuses) text += std::string(" ") + e.term + " " + e.text + ",";
    text.back() = '.';
    text += "\nFiles:";
    for (const DocEntry& e : kFiles) text += std::string("\n  ") + e.term + ": " + e.text + ".";
    return text;
}

bool Hidden(const CLI::Option* opt)
{
    return opt->get_group().empty();
}

bool IsFlag(const CLI::Option* opt)
{
    return !opt->get_positional() && opt->get_type_name().empty();
}

// "INT" of "INT:INT in [2 - 16]": the kind of value, without its checks.
std::string ValueName(const CLI::Option* opt)
{
    const std::string type = opt->get_type_name();
    return type.substr(0, type.find(':'));
}

// The option's names, "-h, --help"; with its value's type unless it is a flag.
std::string OptionTerm(const CLI::Option* opt)
{
    if (opt->get_positional()) return opt->get_name(true);
    std::string term;
    for (const std::string& s : opt->get_snames()) term += (term.empty() ? "-" : ", -") + s;
    for (const std::string& l : opt->get_lnames()) term += (term.empty() ? "--" : ", --") + l;
    if (!IsFlag(opt)) term += " " + ValueName(opt);
    return term;
}

std::string FirstLongName(const CLI::Option* opt)
{
    if (!opt->get_lnames().empty()) return "--" + opt->get_lnames().front();
    return "-" + opt->get_snames().front();
}

std::vector<const CLI::Option*> Documented(const CLI::App& cmd)
{
    std::vector<const CLI::Option*> options;
    for (const CLI::Option* opt : cmd.get_options()) {
        if (!Hidden(opt) && opt != cmd.get_help_ptr()) options.push_back(opt);
    }
    return options;
}

// "load [--map] FILE": options first, then the arguments in their order.
std::string Usage(const CLI::App& cmd)
{
    std::string usage = cmd.get_name();
    for (const CLI::Option* opt : Documented(cmd)) {
        if (opt->get_positional()) continue;
        std::string item = FirstLongName(opt);
        if (!IsFlag(opt)) item += "=" + ValueName(opt);
        if (opt->get_items_expected_max() > 1) item += "...";
        usage += opt->get_required() ? " " + item : " [" + item + "]";
    }
    for (const CLI::Option* opt : Documented(cmd)) {
        if (!opt->get_positional()) continue;
        std::string item = opt->get_name(true);
        if (opt->get_expected_max() > 1) item += "...";
        usage += opt->get_required() ? " " + item : " [" + item + "]";
    }
    return usage;
}

std::vector<const CLI::App*> Commands(const CLI::App& app)
{
    return app.get_subcommands([](const CLI::App*) { return true; });
}

}  // namespace

void WriteCliManPage(const CLI::App& app, std::ostream& out)
{
    ManPage page;
    page.Name = app.get_name();
    page.Version = page.Name + " " + kVersion;
    const std::string description = app.get_description();
    const std::string first = description.substr(0, description.find('\n'));
    const auto colon = first.find(": ");
    page.Summary = colon == std::string::npos ? first : first.substr(colon + 2);
    if (!page.Summary.empty() && page.Summary.back() == '.') page.Summary.pop_back();

    ManSection about{"DESCRIPTION", {}, {}, {}};
    about.Text = description.find('\n') == std::string::npos ? first : description.substr(first.size() + 1);
    ManSection commands{"COMMANDS", "", {}, {}};
    for (const CLI::App* cmd : Commands(app)) {
        page.Synopsis.push_back(page.Name + " " + Usage(*cmd));
        ManSection sub{cmd->get_name(), cmd->get_description() + ".", {}, {}};
        for (const CLI::Option* opt : Documented(*cmd)) {
            std::string text = opt->get_description();
            if (opt->get_required()) text += " (required)";
            sub.Entries.push_back({OptionTerm(opt), text});
        }
        commands.Subsections.push_back(sub);
    }
    ManSection options{"OPTIONS", "Every command also takes -h, --help, which prints its own help.", {}, {}};
    for (const CLI::Option* opt : app.get_options()) {
        if (Hidden(opt)) continue;
        options.Entries.push_back({OptionTerm(opt), opt->get_description()});
        page.Synopsis.push_back(page.Name + " " + FirstLongName(opt));
    }
    ManSection exits{"EXIT STATUS", "", {}, {}};
    for (const DocEntry& e : kExitStatuses) exits.Entries.push_back({e.term, e.text});
    ManSection files{"FILES", "", {}, {}};
    for (const DocEntry& e : kFiles) files.Entries.push_back({e.term, e.text});
    ManSection seeAlso{"SEE ALSO", "vantrel(1)\n\n" + std::string(kHomePage), {}, {}};
    page.Sections = {about, commands, options, exits, files, seeAlso};
    WriteRoff(page, out);
}

void WriteCliBashCompletion(const CLI::App& app, std::ostream& out)
{
    const std::string fn = "_vantrel_cli";
    std::string commandNames;
    std::string topOptions;
    for (const CLI::App* cmd : Commands(app)) commandNames += (commandNames.empty() ? "" : " ") + cmd->get_name();
    for (const CLI::Option* opt : app.get_options()) {
        if (!Hidden(opt)) topOptions += " " + FirstLongName(opt);
    }
    out << "# bash completion for " << app.get_name() << " " << kVersion << " (made by " << app.get_name()
        << " --generate bash)\n"
        << fn << "()\n{\n"
        << "    local cur prev words cword\n"
        << "    _init_completion -n = || return\n"
        << "    local cmd='' opts='' valued='' dirvalued='' args='' i w n=0 skip=0\n"
        << "    for ((i = 1; i < cword; i++)); do\n"
        << "        w=${words[i]}\n"
        << "        if ((skip)); then skip=0; continue; fi\n"
        << "        if [[ -z $cmd ]]; then [[ $w != -* ]] && cmd=$w; continue; fi\n"
        << "        if [[ $w == -* ]]; then [[ $w != *=* && \" $valued \" == *\" $w \"* ]] && skip=1; continue; fi\n"
        << "        n=$((n + 1))\n"
        << "    done\n"
        << "    case $cmd in\n"
        << "    '')\n"
        << "        COMPREPLY=($(compgen -W '" << commandNames << topOptions << "' -- \"$cur\"))\n"
        << "        return ;;\n";
    for (const CLI::App* cmd : Commands(app)) {
        std::string opts = "--help", valued, dirValued, args;
        for (const CLI::Option* opt : Documented(*cmd)) {
            if (opt->get_positional()) {
                const std::string name = opt->get_name(true);
                const char* kind = name.find("DIR") != std::string::npos ? "dir"
                                   : ValueName(opt) == "INT"          ? "none"
                                                                      : "file";
                args += (args.empty() ? "" : " ") + std::string(kind);
                continue;
            }
            opts += " " + FirstLongName(opt);
            if (IsFlag(opt)) continue;
            valued += (valued.empty() ? "" : " ") + FirstLongName(opt);
            if (opt->get_description().find("directory") != std::string::npos) {
                dirValued += (dirValued.empty() ? "" : " ") + FirstLongName(opt);
            }
        }
        out << "    " << cmd->get_name() << ") opts='" << opts << "' valued='" << valued << "' dirvalued='"
            << dirValued << "' args='" << args << "' ;;\n";
    }
    out << "    *) return ;;\n"
        << "    esac\n"
        << "    if [[ \" $valued \" == *\" $prev \"* ]]; then\n"
        << "        [[ \" $dirvalued \" == *\" $prev \"* ]] && _filedir -d\n"
        << "        return\n"
        << "    fi\n"
        << "    if [[ $cur == -* ]]; then\n"
        << "        COMPREPLY=($(compgen -W \"$opts\" -- \"$cur\"))\n"
        << "        return\n"
        << "    fi\n"
        << "    # The kind of the argument at this place; the last one repeats.\n"
        << "    local kinds=($args) kind\n"
        << "    ((${#kinds[@]})) || return\n"
        << "    kind=${kinds[n < ${#kinds[@]} ? n : ${#kinds[@]} - 1]}\n"
        << "    case $kind in\n"
        << "    dir) _filedir -d ;;\n"
        << "    file) _filedir ;;\n"
        << "    esac\n"
        << "} &&\n"
        << "    complete -F " << fn << " " << app.get_name() << "\n";
}

void AddVersionAndDocs(CLI::App& app)
{
    app.name("vantrel-cli");
    app.set_version_flag("--version", app.get_name() + " " + kVersion, "Print the version and exit");
    app.footer(Footer());
    // For the build: the manual page or the bash completion, made from the commands defined above.
    app.add_option_function<std::string>(
           "--generate",
           [&app](const std::string& what) {
               if (what == "man") {
                   WriteCliManPage(app, std::cout);
               } else {
                   WriteCliBashCompletion(app, std::cout);
               }
               throw CLI::Success();
           },
           "man or bash")
        ->check(CLI::IsMember({"man", "bash"}))
        ->trigger_on_parse()
        ->group("");
}

}  // namespace vantrel
