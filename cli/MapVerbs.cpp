// map2md3: the brushes of a .map file's world entity converted into an MD3 model. Texture names
// are resolved in the --textures folders; a crossed MD3 limit is reported and nothing is written.
#include "Verbs.h"

#include "mapimport/FolderTextureSource.h"
#include "mapimport/LevelMap.h"

#include <iostream>
#include <memory>

namespace quillon::cli {

namespace {

struct MapArgs {
    std::string input, output;
    std::vector<std::string> textureFolders;
};

// The converter's messages use CR LF between lines, as its message boxes want.
std::string TerminalLines(std::string text) {
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.replace(at, 2, "\n");
    return text;
}

int RunMap2MD3(const MapArgs& args) {
    const TFolderTextureSource textures(args.textureFolders);
    TLevelMap map;
    if (!map.LoadMap(args.input, textures)) {
        std::cerr << args.input << ": " << map.LastError() << "\n";
        return ExitFileProblem;
    }
    for (const std::string& warning : map.Warnings)
        std::cerr << args.input << ": " << warning << "\n";
    TMD3 model;
    std::string message;
    if (!map.ConvertToMD3(model, message))
        return InvalidInput(args.input, TerminalLines(message));
    // Not an error (a map of tool brushes only is valid), but rarely what was meant.
    if (model.Header.numSurfaces == 0)
        std::cerr << args.input << ": no world brush face to export; the model is empty\n";
    if (!model.SaveToFile(args.output))
        return NotWritten(args.output, model.LastError());
    return ExitDone;
}

} // namespace

void AddMapVerbs(VerbContext& context) {
    auto args = std::make_shared<MapArgs>();
    auto* verb = context.app.add_subcommand(
        "map2md3", "Convert the world brushes of a .map file into an MD3 model");
    verb->add_option("IN", args->input, "the .map file to read")->required();
    verb->add_option("-o,--output", args->output, "the MD3 file to write")->required();
    verb->add_option("--textures", args->textureFolders,
                     "a folder that texture names are resolved in (may repeat)")
        ->type_name("DIR");
    auto& run = context.run;
    verb->callback([&run, args] { run = [args] { return RunMap2MD3(*args); }; });
}

} // namespace quillon::cli
