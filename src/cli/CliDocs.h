// What vantrel-cli says about itself: --version, the exit statuses and files
// at the end of --help, and the manual page and bash completion, both made
// from the parser's own commands and options (the build runs
// "vantrel-cli --generate man" and "--generate bash" to make them).
#pragma once

#include <CLI/CLI.hpp>

#include <ostream>

namespace vantrel {

// Adds --version, the help's closing text and the hidden --generate option.
void AddVersionAndDocs(CLI::App& app);

void WriteCliManPage(const CLI::App& app, std::ostream& out);
void WriteCliBashCompletion(const CLI::App& app, std::ostream& out);

}  // namespace vantrel
