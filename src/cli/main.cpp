// vantrel-cli: the program's core commands from a terminal.
#include "cli/Commands.h"

#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv)
{
    CLI::App app{"vantrel-cli: inspect and change Rocks'n'Diamonds level files from a terminal.\n"
                 "Messages the window would show in a box are printed to standard error as \"message: \" and "
                 "their text.\nExit status: 0 done, 1 refused or failed, 2 wrong command line."};
    app.require_subcommand(1);
    vantrel::CliRun run;
    vantrel::AddLoadCommand(app, run);
    vantrel::AddCeCommand(app, run);
    vantrel::AddRenderCommand(app, run);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return 2;
    }
    try {
        return run ? run() : 2;
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
}
