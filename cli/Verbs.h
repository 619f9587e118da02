// The verbs of quillon-cli. Each group of verbs lives in a file of its own and adds its
// subcommands to the application; the chosen subcommand's callback stores what to run.
// `info` is shared: each group registers a printer for the file extensions it reads.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <map>
#include <string>

namespace quillon::cli {

enum ExitCode : int {
    ExitDone = 0,
    ExitInvalidInput = 1, // the input is not a valid file of its kind
    ExitUsage = 2,
    ExitFileProblem = 3, // a file could not be opened or created
};

using VerbRunner = std::function<int()>;
// Prints a description of the file (JSON when asked) and returns an exit code.
using InfoPrinter = std::function<int(const std::string& path, bool json)>;

struct VerbContext {
    CLI::App& app;
    VerbRunner& run;
    std::map<std::string, InfoPrinter>& infoFormats; // lower-case extension with dot: ".md3"
};

// Prints "path: what" on stderr and returns ExitInvalidInput.
int InvalidInput(const std::string& path, const std::string& what);
// Prints "path: not a valid KIND file: reason" (the reader's LastError) and returns
// ExitInvalidInput.
int NotValid(const std::string& path, const std::string& kind, const std::string& reason);
// Prints "path: not written: reason" and returns ExitFileProblem.
int NotWritten(const std::string& path, const std::string& reason);
// The answer to the MDM reader's limit questions: `yes` as given by --yes, said on stderr.
std::function<bool(const std::string& text)> AnswerLimits(bool yes);
// The value with a negative zero made positive, for printing: "-0" reads as another number.
float WithoutNegativeZero(float value);

void AddInfoVerb(VerbContext& context);
void AddMD3Verbs(VerbContext& context);
void AddGameDataVerbs(VerbContext& context);
void AddSkeletalVerbs(VerbContext& context);
void AddMapVerbs(VerbContext& context);
void AddLodVerbs(VerbContext& context);
void AddExportVerbs(VerbContext& context);
void AddCheckVerbs(VerbContext& context);
void AddImportVerbs(VerbContext& context);
void AddPlayerVerbs(VerbContext& context);

} // namespace quillon::cli
