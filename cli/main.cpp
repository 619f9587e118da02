// quillon-cli: the headless side of Quillon, for scripts and batch work.
#include "Verbs.h"

#include "BashCompletion.h"
#include "core/FileError.h"
#include "core/Version.h"

#include <iostream>

namespace quillon::cli {

int InvalidInput(const std::string& path, const std::string& what) {
    std::cerr << path << ": " << what << "\n";
    return ExitInvalidInput;
}

int NotValid(const std::string& path, const std::string& kind, const std::string& reason) {
    return InvalidInput(path, "not a valid " + kind + " file: " + reason);
}

int NotWritten(const std::string& path, const std::string& reason) {
    std::cerr << path << ": not written: " << reason << "\n";
    return ExitFileProblem;
}

std::function<bool(const std::string& text)> AnswerLimits(bool yes) {
    return [yes](const std::string& text) {
        std::cerr << text << (yes ? " Yes (--yes)\n" : " No (use --yes to continue)\n");
        return yes;
    };
}

float WithoutNegativeZero(float value) {
    return value == 0 ? 0.0f : value;
}

} // namespace quillon::cli

int main(int argc, char** argv) {
    using namespace quillon::cli;
    CLI::App app{"Quillon: MD3, MDM/MDX and MDS models from the command line", "quillon-cli"};
    app.set_version_flag("--version", std::string("quillon-cli ") + quillon::ProgramVersion);
    app.require_subcommand(1);
    VerbRunner run;
    std::map<std::string, InfoPrinter> infoFormats;
    VerbContext context{app, run, infoFormats};
    AddInfoVerb(context);
    AddMD3Verbs(context);
    AddGameDataVerbs(context);
    AddSkeletalVerbs(context);
    AddMapVerbs(context);
    AddLodVerbs(context);
    AddExportVerbs(context);
    AddCheckVerbs(context);
    AddImportVerbs(context);
    AddPlayerVerbs(context);
    if (argc == 2 && std::string(argv[1]) == "--bash-completion") { // for the build, not listed
        std::cout << BashCompletion(app, "quillon-cli");
        return ExitDone;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) { // --help or --version
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return ExitUsage;
    }
    try {
        return run ? run() : ExitUsage;
    } catch (const quillon::FileError& e) {
        std::cerr << e.what() << "\n";
        return ExitFileProblem;
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << "\n";
        return ExitInvalidInput;
    }
}
