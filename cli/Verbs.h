// The verbs of quillon-cli. Each group of verbs lives in a file of its own and adds its
// subcommands to the application; the chosen subcommand's callback stores what to run.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <string>

namespace quillon::cli {

enum ExitCode : int {
    ExitDone = 0,
    ExitInvalidInput = 1, // the input is not a valid file of its kind
    ExitUsage = 2,
    ExitFileProblem = 3, // a file could not be opened or created
};

using VerbRunner = std::function<int()>;

// Prints "path: what" on stderr and returns ExitInvalidInput.
int InvalidInput(const std::string& path, const std::string& what);

void AddMD3Verbs(CLI::App& app, VerbRunner& run);

} // namespace quillon::cli
