// import: a glTF 2.0 file (.gltf or .glb) or a MilkShape 3D model (.ms3d) turned into an MD3, its
// animation baked into frames and its limits checked. A summary goes to stdout, with each baked
// animation's frame range for an animation.cfg; nothing is written on failure.
#include "Verbs.h"

#include "core/CasePath.h"
#include "gamedata/ScriptText.h"
#include "interchange/ModelImport.h"

#include <cstdio>
#include <iostream>

namespace quillon::cli {

namespace {

struct ImportArgs {
    std::string input;
    std::string output;
    TImportOptions options;
    std::string shaderFrom;
};

int FailureExit(TImportFailure failure) {
    return failure == TImportFailure::Options ? ExitUsage : ExitInvalidInput;
}

std::string Rate(double framesPerSecond) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", framesPerSecond);
    return text;
}

void PrintSummary(const std::string& output, const TImportSummary& summary) {
    std::cout << "wrote " << output << "\n"
              << "surfaces: " << summary.Surfaces << "\n"
              << "vertices: " << summary.Vertices << "\n"
              << "triangles: " << summary.Triangles << "\n"
              << "frames: " << summary.Frames << "\n"
              << "tags: " << summary.Tags << "\n";
    for (const TImportedClip& clip : summary.Clips)
        std::cout << "animation \"" << clip.Name << "\": frames " << clip.Frames.First << " to "
                  << clip.Frames.Last << " at " << Rate(clip.FramesPerSecond)
                  << " frames per second\n";
    std::cout << "warnings: " << summary.Warnings.size() << "\n";
    for (const std::string& warning : summary.Warnings)
        std::cout << "warning: " << warning << "\n";
}

int RunImport(ImportArgs args) {
    if (!IsImportPath(args.input)) {
        std::cerr << args.input << ": the import reads .gltf, .glb and .ms3d files\n";
        return ExitUsage;
    }
    if (!EqualsIgnoringCase(ExtensionOf(args.output), ".md3")) {
        std::cerr << args.output << ": the output must end in .md3\n";
        return ExitUsage;
    }
    if (args.shaderFrom == "material")
        args.options.Shaders = TShaderSource::Material;
    else if (args.shaderFrom == "texture")
        args.options.Shaders = TShaderSource::Texture;
    TMD3 md3;
    const TImportResult result = ImportModel(args.input, args.options, md3);
    if (!result.Ok()) {
        std::cerr << args.input << ": " << result.Error << "\n";
        return FailureExit(result.Failure);
    }
    if (!md3.SaveToFile(args.output))
        return NotWritten(args.output, md3.LastError());
    PrintSummary(args.output, result.Summary);
    return ExitDone;
}

} // namespace

void AddImportVerbs(VerbContext& context) {
    auto args = std::make_shared<ImportArgs>();
    auto* verb = context.app.add_subcommand(
        "import", "Turn a glTF 2.0 (.gltf, .glb) or MilkShape 3D (.ms3d) model into an MD3");
    verb->add_option("MODEL", args->input, "the .gltf, .glb or .ms3d file")->required();
    verb->add_option("-o,--output", args->output, "the .md3 file to write")->required();
    verb->add_option("--scale", args->options.Scale, "game units per unit of the file")
        ->check(CLI::PositiveNumber);
    verb->add_option("--shader-from", args->shaderFrom,
                     "material (its name) or texture (its path without extension); by default "
                     "the material's name when it holds a \"/\", else the texture's path")
        ->check(CLI::IsMember({"material", "texture"}));
    auto* animation = verb->add_option("--animation", args->options.Animation,
                                       "the glTF animation to bake (default: the first)");
    verb->add_flag("--all-animations", args->options.AllAnimations,
                   "bake every animation, one after the other")
        ->excludes(animation);
    verb->add_option("--fps", args->options.FramesPerSecond,
                     "frames per second to sample at (default 15)")
        ->check(CLI::PositiveNumber);
    verb->add_flag("--keys", args->options.Keys,
                   "sample at the animation's own key times instead of a fixed rate");
    verb->add_flag("--fix", args->options.Fix,
                   "run the model check's fixes (split surfaces over the limits, weld, ...) "
                   "before the limits are checked");
    auto& run = context.run;
    verb->callback([&run, args] { run = [args] { return RunImport(*args); }; });
}

} // namespace quillon::cli
