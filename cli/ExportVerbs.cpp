// export: a model written as glTF 2.0 (.glb, or .gltf with its .bin and images beside it). An
// .mdm is followed by its .mdx (whose .aninc, when present, names the animations); an .md3,
// .mds, .map or .ms3d stands alone. With --game the surfaces are resolved as the window
// resolves them and their images embedded. A summary goes to stdout; nothing is written on
// failure.
#include "Verbs.h"

#include "ModelResolution.h"
#include "PlayerLoading.h"

#include "core/CasePath.h"
#include "core/MD3.h"
#include "gamedata/ScriptText.h"
#include "interchange/GltfExport.h"
#include "interchange/MS3DExport.h"
#include "mapimport/FolderTextureSource.h"
#include "mapimport/LevelMap.h"
#include "skeletal/MDS.h"

#include <charconv>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string_view>

namespace quillon::cli {

namespace {

struct ExportArgs {
    std::vector<std::string> models;
    std::string output;
    std::string frames;
    double framesPerSecond = 15;
    double scale = 1;
    std::string skeletal = "skin";
    TResolveSettings settings;
    bool yes = false;
    std::string player;
    std::vector<std::string> legs, torso;
    std::string weapon;
    unsigned threads = 0;
};

// Every model kind the verb reads, loaded and ready to export.
struct LoadedModel {
    TPlayerModel player;
    TMD3 md3;
    TMDM mdm;
    TMDX mdx;
    TANINC script;
    TMDS mds;
    TMS3D ms3d;
    TExportModel model;
    TModelRef ref;
    std::vector<std::string> warnings;
};

// A frame number of one to nine digits at the start of `text`, which advances past it.
std::optional<int> TakeFrameNumber(std::string_view& text) {
    size_t digits = 0;
    while (digits < text.size() && digits < 10 && text[digits] >= '0' && text[digits] <= '9')
        ++digits;
    if (digits == 0 || digits > 9)
        return std::nullopt;
    int number = 0;
    std::from_chars(text.data(), text.data() + digits, number);
    text.remove_prefix(digits);
    return number;
}

// "N" or "N-M".
bool ParseFrames(const std::string& text, TExportOptions& options) {
    std::string_view rest = text;
    const std::optional<int> first = TakeFrameNumber(rest);
    if (!first)
        return false;
    std::optional<int> last = first;
    if (!rest.empty()) {
        if (rest.front() != '-')
            return false;
        rest.remove_prefix(1);
        last = TakeFrameNumber(rest);
        if (!last || !rest.empty())
            return false;
    }
    options.AllFrames = false;
    options.Frames.First = *first;
    options.Frames.Last = *last;
    return true;
}

std::string Folder(const std::string& path) {
    return WithTrailingSlash(std::filesystem::absolute(path).parent_path().string());
}

void LoadScript(const std::string& mdxPath, LoadedModel& loaded) {
    const std::string path = WithoutExtension(mdxPath) + ".aninc";
    try {
        if (loaded.script.LoadFromFile(path))
            loaded.model.Script = &loaded.script;
    } catch (const ConversionError& e) {
        loaded.model.Script = &loaded.script;
        loaded.warnings.push_back(path + ": " + e.what() + "; the animations before it are kept");
    }
}

// Loads the model files; an exit code when they cannot be used.
int Load(const ExportArgs& args, LoadedModel& loaded) {
    const std::string& path = args.models[0];
    const std::string extension = ExtensionOf(path);
    const bool skeletal = EqualsIgnoringCase(extension, ".mdm");
    if (args.models.size() != (skeletal ? 2u : 1u)) {
        std::cerr << (skeletal ? "an .mdm is followed by its .mdx and nothing else\n"
                               : "an .md3, .mds, .map or .ms3d stands alone\n");
        return ExitUsage;
    }
    TExportModel& model = loaded.model;
    model.Name = WithoutExtension(FilePart(path));
    if (EqualsIgnoringCase(extension, ".md3")) {
        if (!loaded.md3.LoadFromFile(path))
            return NotValid(path, "MD3", loaded.md3.LastError());
        model.MD3 = &loaded.md3;
        loaded.ref = {TModelKind::MD3, &loaded.md3, nullptr};
    } else if (skeletal) {
        loaded.mdm.AskLimit = AnswerLimits(args.yes);
        if (!loaded.mdm.LoadFromFile(path))
            return NotValid(path, "MDM", loaded.mdm.LastError());
        if (!loaded.mdx.LoadFromFile(args.models[1]))
            return NotValid(args.models[1], "MDX", loaded.mdx.LastError());
        LoadScript(args.models[1], loaded);
        model.MDM = &loaded.mdm;
        model.MDX = &loaded.mdx;
        loaded.ref = {TModelKind::Skeletal, nullptr, &loaded.mdm};
    } else if (EqualsIgnoringCase(extension, ".mds")) {
        if (!loaded.mds.LoadFromFile(path) || !loaded.mds.ConvertToSkeletal(loaded.mdm, loaded.mdx))
            return NotValid(path, "MDS", loaded.mds.LastError());
        model.MDM = &loaded.mdm;
        model.MDX = &loaded.mdx;
        loaded.ref = {TModelKind::MDS, nullptr, &loaded.mdm};
    } else if (EqualsIgnoringCase(extension, ".map")) {
        TFolderTextureSource textures({Folder(path)});
        if (!args.settings.Game.empty())
            textures.AddFolder(WithTrailingSlash(args.settings.Game) + "etmain/");
        TLevelMap map;
        if (!map.LoadMap(path, textures)) {
            std::cerr << path << ": no such file\n";
            return ExitFileProblem;
        }
        loaded.warnings.insert(loaded.warnings.end(), map.Warnings.begin(), map.Warnings.end());
        std::string message;
        if (!map.ConvertToMD3(loaded.md3, message))
            return InvalidInput(path, message);
        model.MD3 = &loaded.md3;
        loaded.ref = {TModelKind::MD3, &loaded.md3, nullptr};
    } else if (EqualsIgnoringCase(extension, ".ms3d")) {
        if (!loaded.ms3d.LoadFromFile(path))
            return NotValid(path, "MS3D", loaded.ms3d.LastError());
        model.MS3D = &loaded.ms3d;
    } else {
        std::cerr << path << ": not a model the export reads (.md3, .mdm, .mds, .map, .ms3d)\n";
        return ExitUsage;
    }
    return ExitDone;
}

// The range named for one clip; the list's own idle when none is named.
int RangeArgument(const std::vector<TPlayerRange>& ranges, const std::vector<std::string>& names,
                  size_t clip, const char* idle, int& index) {
    const std::string name = names.empty() ? idle : names[std::min(clip, names.size() - 1)];
    index = TPlayerModel::FindRange(ranges, name);
    if (index < 0 && names.empty())
        index = 0; // no animation.cfg: the one range over every frame
    if (index >= 0)
        return ExitDone;
    std::cerr << "no animation named \"" << name << "\"\n";
    return ExitUsage;
}

// The joined player with one clip per legs and torso pair: --legs and --torso pair up in order,
// the shorter list repeating its last name.
int LoadPlayer(const ExportArgs& args, LoadedModel& loaded) {
    TPlayerModel& player = loaded.player;
    if (const int code = LoadPlayerArgument(args.player, args.settings, args.settings.Skin, player);
        code != ExitDone)
        return code;
    if (!args.weapon.empty() && !player.AttachWeapon(args.weapon))
        return InvalidInput(args.weapon, player.LastError());
    std::vector<TPlayerPose> poses;
    const size_t clips = std::max<size_t>(1, std::max(args.legs.size(), args.torso.size()));
    for (size_t c = 0; c < clips; ++c) {
        int legs = 0, torso = 0;
        if (const int code = RangeArgument(player.LegsRanges(), args.legs, c, "LEGS_IDLE", legs);
            code != ExitDone)
            return code;
        if (const int code =
                RangeArgument(player.TorsoRanges(), args.torso, c, "TORSO_STAND", torso);
            code != ExitDone)
            return code;
        const TPlayerClip clip = player.Clip(legs, torso);
        const int first = static_cast<int>(poses.size());
        loaded.model.Clips.push_back({clip.Name,
                                      {first, first + static_cast<int>(clip.Poses.size()) - 1},
                                      static_cast<double>(clip.FramesPerSecond)});
        poses.insert(poses.end(), clip.Poses.begin(), clip.Poses.end());
    }
    loaded.md3 = player.Joined(poses);
    loaded.warnings.insert(loaded.warnings.end(), player.Messages().begin(),
                           player.Messages().end());
    loaded.model.MD3 = &loaded.md3;
    loaded.model.Name = FilePart(player.Set().Folder.substr(0, player.Set().Folder.size() - 1));
    loaded.ref = {TModelKind::MD3, &loaded.md3, nullptr};
    return ExitDone;
}

int FailureExit(TExportFailure failure) {
    switch (failure) {
    case TExportFailure::Options:
        return ExitUsage;
    case TExportFailure::Write:
        return ExitFileProblem;
    default:
        return ExitInvalidInput;
    }
}

void PrintSummary(const TExportSummary& summary, bool skeletal) {
    for (const std::string& file : summary.Files)
        std::cout << "wrote " << file << "\n";
    std::cout << "meshes: " << summary.Meshes << "\n"
              << "vertices: " << summary.Vertices << "\n";
    if (skeletal)
        std::cout << "skeletal: " << (summary.SkeletalAsMorph ? "morph targets" : "skin") << "\n";
    if (summary.Joints > 0)
        std::cout << "joints: " << summary.Joints << "\n";
    else
        std::cout << "morph targets: " << summary.MorphTargets << "\n";
    std::cout << "animations: " << summary.Animations << "\n"
              << "textures embedded: " << summary.TexturesEmbedded << "\n"
              << "warnings: " << summary.Warnings.size() << "\n";
    for (const std::string& warning : summary.Warnings)
        std::cout << "warning: " << warning << "\n";
}

int RunExport(const ExportArgs& args) {
    TExportOptions options;
    if (!args.frames.empty() && !ParseFrames(args.frames, options)) {
        std::cerr << "--frames takes A-B or A (frame numbers), not \"" << args.frames << "\"\n";
        return ExitUsage;
    }
    options.FramesPerSecond = args.framesPerSecond;
    options.Scale = args.scale;
    options.Skeletal = args.skeletal == "morph" ? TSkeletalMode::Morph : TSkeletalMode::Skin;
    options.Threads = args.threads;
    bool binary;
    if (!GltfFormatOfPath(args.output, binary)) {
        std::cerr << args.output << ": the output must end in .glb or .gltf\n";
        return ExitUsage;
    }

    if (args.player.empty() == args.models.empty()) {
        std::cerr << "export takes model files or --player DIR\n";
        return ExitUsage;
    }
    LoadedModel loaded;
    if (const int code = args.player.empty() ? Load(args, loaded) : LoadPlayer(args, loaded);
        code != ExitDone)
        return code;
    TModelResolution resolution;
    if (!args.player.empty()) {
        if (!ResolvePlayer(resolution, args.settings, loaded.player, loaded.md3))
            return ExitUsage;
        loaded.model.Materials =
            SurfaceMaterials(loaded.ref, resolution.Shaders, resolution.Resolver.Skin);
    } else if (loaded.model.MS3D) {
        loaded.model.Materials = MS3DMaterials(loaded.ms3d, Folder(args.models[0]));
    } else {
        if (!resolution.Resolve(args.settings, loaded.ref, args.models[0]))
            return ExitUsage;
        loaded.model.Materials =
            SurfaceMaterials(loaded.ref, resolution.Shaders, resolution.Resolver.Skin);
    }
    if (!loaded.model.MS3D && args.settings.Game.empty())
        loaded.warnings.push_back("no game folder (--game): no shader or image is looked up");
    TExportResult result = ExportGltf(loaded.model, options, args.output);
    if (!result.Ok()) {
        std::cerr << (args.player.empty() ? args.models[0] : args.player) << ": " << result.Error
                  << "\n";
        return FailureExit(result.Failure);
    }
    TExportSummary& summary = result.Summary;
    summary.Warnings.insert(summary.Warnings.begin(), loaded.warnings.begin(),
                            loaded.warnings.end());
    PrintSummary(summary, loaded.model.MDM != nullptr);
    return ExitDone;
}

} // namespace

void AddExportVerbs(VerbContext& context) {
    auto args = std::make_shared<ExportArgs>();
    auto* verb = context.app.add_subcommand("export", "Write a model as glTF 2.0 (.glb or .gltf)");
    verb->add_option("MODEL", args->models,
                     "an .md3, .mds, .map or .ms3d file, or an .mdm followed by its .mdx");
    verb->add_option("--player", args->player,
                     "a player folder (lower.md3, upper.md3, head.md3), or with --game a folder "
                     "of the game's archives; --skin then names the skin");
    verb->add_option("--legs", args->legs, "a legs animation of animation.cfg (LEGS_RUN)");
    verb->add_option("--torso", args->torso, "a torso animation of animation.cfg (TORSO_ATTACK)");
    verb->add_option("--weapon", args->weapon, "an MD3 held in the player's hand");
    verb->add_option("-o,--output", args->output, "the .glb or .gltf file to write")->required();
    verb->add_option("--frames", args->frames, "the frames to export, A-B (default: all)");
    verb->add_option("--fps", args->framesPerSecond, "frames per second of the animations")
        ->check(CLI::PositiveNumber);
    verb->add_option("--skin", args->settings.Skin,
                     "a skin file; with --player a skin name (default, red, blue ...)");
    verb->add_option("--game", args->settings.Game, "the game folder (holding etmain/pak0.pk3)");
    verb->add_option("--pk3", args->settings.Pk3, "a map archive");
    verb->add_option("--tmp", args->settings.Tmp, "the folder archive members are copied into");
    verb->add_option("--skeletal", args->skeletal,
                     "skin (a glTF skin where it follows the posing, else morph targets) or "
                     "morph (always morph targets)")
        ->check(CLI::IsMember({"skin", "morph"}));
    verb->add_option("--threads", args->threads,
                     "frames baked at once for morph targets (default: one per core); the file "
                     "is the same")
        ->check(CLI::PositiveNumber);
    verb->add_flag("--yes", args->yes, "continue past the MDM format's limits");
    verb->add_option("--scale", args->scale, "glTF units per game unit")
        ->check(CLI::PositiveNumber);
    auto& run = context.run;
    verb->callback([&run, args] { run = [args] { return RunExport(*args); }; });
}

} // namespace quillon::cli
