// info FILE [--json]: describes any file the command line reads, chosen by its extension.
#include "Verbs.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>

namespace quillon::cli {

void AddInfoVerb(VerbContext& context) {
    struct Args {
        std::string path;
        bool json = false;
    };
    auto args = std::make_shared<Args>();
    auto* info = context.app.add_subcommand("info", "Describe a model, animation or script file");
    info->add_option("FILE", args->path, "the file")->required();
    info->add_flag("--json", args->json, "print one JSON object");
    auto& formats = context.infoFormats;
    auto& run = context.run;
    info->callback([args, &formats, &run] {
        run = [args, &formats] {
            std::string extension = std::filesystem::path(args->path).extension().string();
            std::transform(extension.begin(), extension.end(), extension.begin(),
                           [](unsigned char c) { return char(std::tolower(c)); });
            const auto printer = formats.find(extension);
            if (printer == formats.end()) {
                std::cerr << args->path << ": unknown file kind '" << extension << "'\n";
                return int(ExitUsage);
            }
            return printer->second(args->path, args->json);
        };
    });
}

} // namespace quillon::cli
