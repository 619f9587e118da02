// The bash completion script of quillon-cli, written from the verbs and options the program
// registers, so it never falls behind them. `quillon-cli --bash-completion` prints it; the build
// installs it.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace quillon::cli {

// A script defining a completion function for `program`: verbs (and the program's own options)
// in the first place, a verb's options after it, file names for everything else.
std::string BashCompletion(const CLI::App& app, const std::string& program);

} // namespace quillon::cli
