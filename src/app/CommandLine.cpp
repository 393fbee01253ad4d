#include "app/CommandLine.h"

#include "app/MainWindow.h"
#include "base/ManPage.h"
#include "base/UserInterface.h"
#include "base/Version.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include <cstring>
#include <iostream>
#include <map>

namespace vantrel {

namespace {

struct DocEntry {
    const char* term;
    const char* text;
};

constexpr char kSummary[] = "open, show and patch Rocks'n'Diamonds level files in a window";
constexpr DocEntry kArguments[] = {
    {"FILE", "A level file (.level) to open after start-up, as a double click in the Levelset Manager does"},
};
constexpr DocEntry kOptions[] = {
    {"-h, --help", "Print this help and exit"},
    {"--version", "Print the version and exit"},
};
constexpr DocEntry kExitStatuses[] = {
    {"0", "the window was closed"},
    {"2", "wrong command line"},
};
constexpr DocEntry kFiles[] = {
    {"~/.config/Orvel/Vantrel.conf",
     "The settings: datadir (the game's data directory, the one holding \"levels\"), outputdir (where levels made "
     "from forum posts go), imageprefix (the address before a Level Sketch image's name)"},
    {"LEVEL.bak", "The backup of a level, made once at its first load; an existing backup is never replaced"},
    {"LEVEL.vce", "Custom elements exported from the CE Manager, beside the level"},
    {"LEVEL.bmp", "The picture of the map that Save Image writes on the Level View"},
    {"~/.cache/vantrel/archive.index",
     "The Files Archive's index of the levels under the data directory and the folders added to it, kept between "
     "runs (vantrel-cli index and find keep theirs in the same file)"},
    {"/usr/share/vantrel/examples",
     "Example levels written by vantrel-cli itself; at a first start without the game's data directory Vantrel "
     "offers to copy them to ~/.local/share/Orvel/Vantrel/examples and show them"},
};
// What the menu's items do, by the item's object name. An item missing here
// is listed with its status tip.
const std::map<std::string, const char*> kMenuHelp = {
    {"File_LoadLevel",
     "Open a level file (.level). Its backup LEVEL.bak is made once; the header, the load log, the map and the "
     "custom elements fill the pages. Every change is written into the file at once"},
    {"File_Settings",
     "Set the game's data directory, the folder for levels made from forum posts and the address of Level Sketch "
     "images"},
    {"File_SaveLevel", "Close the open level; every change is in the file already"},
    {"File_Exit", "Close the open level and end Vantrel"},
    {"Tool_MainInfo", "Show the File Info page: the header, the load log, and a new level from a forum post"},
    {"Tool_FilesArchive", "Show the Files Archive page"},
    {"Tool_LevelsetManager",
     "Show the Levelset Manager page: the game's levelsets as a tree, a levelset's levels, sorting and setting "
     "3 or 4 players on every level of a set"},
    {"Tool_LevelView",
     "Show the Level View page: the map, selecting, cutting, copying and pasting cells, Level Sketch text and "
     "the map as a picture"},
    {"Tool_CEManager",
     "Show the CE Manager page: the level's custom elements, their export to a .vce file and the import of one"},
    {"Tool_CounterCreator", "Show the Calcing and Counting page, which appends the custom elements of a counter"},
    {"Tool_ElementView", "Show the element palette window: every element picture with its code"},
    {"Help_About", "Show the version, the licence and the data directory in use"},
};

std::string Usage()
{
    std::string text = "Usage: vantrel [OPTIONS] [FILE]\n\nVantrel: " + std::string(kSummary) + ".\n\nArguments:\n";
    for (const DocEntry& e : kArguments) text += std::string("  ") + e.term + "  " + e.text + "\n";
    text += "\nOptions:\n";
    for (const DocEntry& e : kOptions) text += std::string("  ") + e.term + "  " + e.text + "\n";
    text += "\nExit status:";
    for (const DocEntry& e : kExitStatuses) text += std::string(" ") + e.term + " " + e.text + ",";
    text.back() = '.';
    text += "\n\nFiles:\n";
    for (const DocEntry& e : kFiles) text += std::string("  ") + e.term + ": " + e.text + ".\n";
    return text;
}

std::vector<ManEntry> Entries(const DocEntry* begin, const DocEntry* end)
{
    std::vector<ManEntry> entries;
    for (const DocEntry* e = begin; e != end; ++e) entries.push_back({e->term, e->text});
    return entries;
}

// A user interface that answers no to everything: the window built for the
// manual page must not wait for anyone.
class SilentUi : public NoDialogsUi {
public:
    void Message(const std::string&) override {}
    bool WarningYesNo(const std::string&) override { return false; }
    bool ConfirmOkCancel(const std::string&) override { return false; }
};

class NoSettings : public SettingsStore {
public:
    std::string ReadSetting(const std::string&) override { return {}; }
    void WriteSetting(const std::string&, const std::string&) override {}
};

std::string Plain(const QString& caption)
{
    QString text = caption;
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text.toStdString();
}

// The menu of a window built off the screen: one subsection a menu, one entry an item.
std::vector<ManSection> MenuSections(MainWindow& window)
{
    std::vector<ManSection> menus;
    for (QAction* menuAction : window.menuBar()->actions()) {
        if (!menuAction->menu()) continue;
        ManSection menu{Plain(menuAction->text()) + " menu", "", {}, {}};
        for (QAction* item : menuAction->menu()->actions()) {
            if (item->isSeparator()) continue;
            std::string term = Plain(item->text());
            if (!item->shortcut().isEmpty()) term += " (" + item->shortcut().toString().toStdString() + ")";
            const auto help = kMenuHelp.find(item->objectName().toStdString());
            std::string text = help != kMenuHelp.end() ? help->second : item->statusTip().toStdString();
            if (!item->isEnabled()) text = "Not available yet";
            menu.Entries.push_back({term, text});
        }
        menus.push_back(menu);
    }
    return menus;
}

}  // namespace

void WriteGuiManPage(std::ostream& out)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "vantrel";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    SilentUi ui;
    NoSettings settings;
    MainWindow window(ui, settings);

    ManPage page;
    page.Name = "vantrel";
    page.Version = std::string("vantrel ") + kVersion;
    page.Summary = kSummary;
    page.Synopsis = {"vantrel [FILE]", "vantrel --help", "vantrel --version"};
    std::string pages;
    for (int i = 0; i < window.Book()->count(); ++i) {
        pages += (i ? ", \"" : "\"") + Plain(window.Book()->tabText(i)) + "\"";
    }
    ManSection about{"DESCRIPTION",
                     "Vantrel opens one Rocks'n'Diamonds level file (.level) at a time and shows it on the pages " +
                         pages +
                         ". Every change is written into the file at once; the first load of a level makes its "
                         "backup.\n\nAt start it scans the game's data directory for levelsets and asks for it when "
                         "none is set. vantrel-cli(1) runs the same commands from a terminal.",
                     {},
                     {}};
    ManSection arguments{"ARGUMENTS", "", Entries(std::begin(kArguments), std::end(kArguments)), {}};
    ManSection options{"OPTIONS", "", Entries(std::begin(kOptions), std::end(kOptions)), {}};
    ManSection menu{"MENU", "The main window's commands, with their keys.", {}, MenuSections(window)};
    ManSection exits{"EXIT STATUS", "", Entries(std::begin(kExitStatuses), std::end(kExitStatuses)), {}};
    ManSection files{"FILES", "", Entries(std::begin(kFiles), std::end(kFiles)), {}};
    ManSection seeAlso{"SEE ALSO", "vantrel-cli(1)\n\n" + std::string(kHomePage), {}, {}};
    page.Sections = {about, arguments, options, menu, exits, files, seeAlso};
    WriteRoff(page, out);
}

std::optional<int> AnswerAtOnce(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << Usage();
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::cout << "vantrel " << kVersion << '\n';
            return 0;
        }
        if (std::strcmp(argv[i], "--generate-man") == 0) {
            WriteGuiManPage(std::cout);
            return 0;
        }
    }
    return std::nullopt;
}

std::optional<int> LevelToOpen(int argc, char** argv, std::string& file)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string fault;
        if (arg.size() > 1 && arg[0] == '-') fault = "unknown option " + arg;
        else if (!file.empty()) fault = "one FILE at most";
        if (!fault.empty()) {
            std::cerr << "vantrel: " << fault << "\n\n" << Usage();
            return 2;
        }
        file = arg;
    }
    return std::nullopt;
}

}  // namespace vantrel
