// check: what the game engines would refuse or draw wrong in MD3 files, MDM/MDX models and
// player folders, as lines or as JSON; with --fix, one MD3 file repaired into -o OUT, read back
// and checked again. The exit code gates a build: 0 no error, 1 errors found, 2 usage,
// 3 an input that cannot be read.
#include "FindingOutput.h"
#include "Verbs.h"

#include "core/CasePath.h"
#include "core/FileError.h"
#include "core/MD3Fixes.h"
#include "gamedata/ImageHeaderTextures.h"
#include "gamedata/ModelCheck.h"
#include "gamedata/PlayerSetCheck.h"
#include "gamedata/ScriptText.h"
#include "skeletal/SkeletalCheck.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <set>

namespace quillon::cli {

namespace {

constexpr int ExitFoundErrors = 1;
constexpr int ExitUnreadable = ExitFileProblem;

struct CheckArgs {
    std::vector<std::string> inputs;
    std::string target = "q3";
    std::string game;
    std::string skin;
    std::string mdx;
    bool json = false;
    bool fix = false;
    std::vector<std::string> noFix;
    std::string output;
};

// The game data and the target shared by every input.
struct CheckContext {
    TCheckTarget target = TCheckTarget::Q3;
    TShaders shaders;
    TImageHeaderTextures textures;
    TSurfaceResolver resolver{shaders, textures};
    std::string skin;
    std::string mdx;
};

struct Unreadable {
    std::string path, why;
};

TResolveInput DiskInput(const std::string& path) {
    TResolveInput input;
    const std::string folder =
        WithTrailingSlash(std::filesystem::absolute(path).parent_path().string());
    input.Source = TModelSource::File;
    input.ModelFolder = folder;
    input.ModelFileFolder = folder;
    return input;
}

void LoadSkin(CheckContext& context) {
    if (!context.skin.empty() && !context.resolver.Skin.Load(context.skin))
        throw FileError(context.skin, "no such skin file");
}

// Names the file in the findings that do not name one.
std::vector<TFinding> Labelled(std::vector<TFinding> findings, const std::string& path) {
    for (TFinding& f : findings)
        if (f.File.empty())
            f.File = path;
    return findings;
}

std::vector<TFinding> CheckMD3File(CheckContext& context, const std::string& path, TMD3& model) {
    if (!model.LoadFromFile(path))
        throw Unreadable{path, "not a valid MD3 file"};
    LoadSkin(context);
    TResolveInput input = DiskInput(path);
    input.Model = {TModelKind::MD3, &model, nullptr};
    return CheckModel(input, nullptr, nullptr, context.resolver, context.target);
}

// The animation of an MDM: --mdx, or the MDX of the same name beside it; empty when none.
std::string AnimationPath(const CheckContext& context, const std::string& meshPath) {
    if (!context.mdx.empty())
        return context.mdx;
    return FindFileIgnoringCase(WithoutExtension(meshPath) + ".mdx");
}

// An MDX and the animation script beside it; false when there is no script.
bool LoadAnimation(const std::string& path, TMDX& animation, TANINC& script) {
    if (!animation.LoadFromFile(path))
        throw Unreadable{path, "not a valid MDX file"};
    return script.LoadFromFile(WithoutExtension(path) + ".aninc");
}

std::vector<TFinding> CheckMDXFile(const CheckContext& context, const std::string& path) {
    TMDX animation;
    TANINC script;
    const bool hasScript = LoadAnimation(path, animation, script);
    return CheckMDX(animation, hasScript ? &script : nullptr, LimitsFor(context.target));
}

std::vector<TFinding> CheckMDMFile(CheckContext& context, const std::string& path) {
    TMDM mesh;
    mesh.AskLimit = [](const std::string&) { return true; }; // load it all, then report
    if (!mesh.LoadFromFile(path))
        throw Unreadable{path, "not a valid MDM file"};
    TMDX animation;
    TANINC script;
    const std::string animationPath = AnimationPath(context, path);
    const bool hasScript =
        !animationPath.empty() && LoadAnimation(animationPath, animation, script);
    LoadSkin(context);
    TResolveInput input = DiskInput(path);
    input.Model = {TModelKind::Skeletal, nullptr, &mesh};
    return CheckModel(input, animationPath.empty() ? nullptr : &animation,
                      hasScript ? &script : nullptr, context.resolver, context.target);
}

std::vector<TFinding> CheckFolder(CheckContext& context, const std::string& folder) {
    if (!IsPlayerSetFolder(folder))
        throw Unreadable{folder, "not a player model folder (needs lower.md3, upper.md3 and "
                                 "head.md3)"};
    TPlayerSet set;
    if (auto bad = LoadPlayerSet(folder, set))
        throw Unreadable{*bad, "not a valid MD3 file"};
    std::unique_ptr<TGameDataCheck> game;
    if (context.resolver.Game.IsSet())
        game = std::make_unique<TGameDataCheck>(context.resolver);
    std::vector<TFinding> findings =
        CheckPlayerSet(set, LimitsFor(context.target), game.get(), ToLower(context.skin));
    for (TFinding& f : findings)
        f.File = set.Folder + f.File;
    return findings;
}

std::vector<TFinding> CheckInput(CheckContext& context, const std::string& path) {
    if (std::filesystem::is_directory(path))
        return CheckFolder(context, path);
    const std::string extension = ToLower(ExtensionOf(path));
    TMD3 md3;
    if (extension == ".md3")
        return Labelled(CheckMD3File(context, path, md3), path);
    if (extension == ".mdm")
        return Labelled(CheckMDMFile(context, path), path);
    if (extension == ".mdx")
        return Labelled(CheckMDXFile(context, path), path);
    if (!std::filesystem::exists(path))
        throw FileError(path, "no such file or folder");
    throw Unreadable{path, "not a model the check reads (.md3, .mdm, .mdx or a player folder)"};
}

std::optional<std::set<TMD3Fix>> SkippedFixes(const std::vector<std::string>& names) {
    std::set<TMD3Fix> skipped;
    for (const std::string& name : names) {
        const auto fix = ParseMD3Fix(name);
        if (!fix) {
            std::cerr << "--no-fix: no fix is called \"" << name << "\"; the fixes are";
            for (const TMD3FixInfo& info : MD3Fixes())
                std::cerr << " " << info.Name;
            std::cerr << "\n";
            return std::nullopt;
        }
        skipped.insert(*fix);
    }
    return skipped;
}

int ExitFor(const std::vector<TFinding>& findings) {
    return HasErrors(findings) ? ExitFoundErrors : ExitDone;
}

int RunFix(CheckContext& context, const CheckArgs& args, const std::set<TMD3Fix>& skipped) {
    const std::string& path = args.inputs.front();
    TMD3 model;
    const std::vector<TFinding> before = Labelled(CheckMD3File(context, path, model), path);
    const std::vector<TFixReport> reports = FixMD3(model, LimitsFor(context.target), skipped);
    if (!model.SaveToFile(args.output)) {
        std::cerr << args.output << ": the fixed model could not be written\n";
        return ExitUnreadable;
    }
    const std::vector<TFinding> after = CheckInput(context, args.output);
    if (args.json) {
        nlohmann::json fixes = nlohmann::json::array();
        for (const TFixReport& r : reports)
            fixes.push_back({{"fix", MD3FixName(r.Fix)}, {"message", r.Message}});
        PrintJson(
            {{"before", FindingsJson(before)}, {"fixes", fixes}, {"after", FindingsJson(after)}});
    } else {
        PrintLines(before);
        std::cout << Printable(path) << ": " << FindingSummary(before) << "\n";
        for (const TFixReport& r : reports)
            std::cout << "fixed " << MD3FixName(r.Fix) << ": " << Printable(r.Message) << "\n";
        if (reports.empty())
            std::cout << "nothing to fix\n";
        PrintLines(after);
        std::cout << Printable(args.output) << ": " << FindingSummary(after) << "\n";
    }
    return ExitFor(after);
}

int RunCheck(const CheckArgs& args) {
    CheckContext context;
    context.target = *ParseCheckTarget(args.target);
    context.skin = args.skin;
    context.mdx = args.mdx;
    const auto skipped = SkippedFixes(args.noFix);
    if (!skipped)
        return ExitUsage;
    if (args.fix != !args.output.empty()) {
        std::cerr << "--fix and -o OUT go together\n";
        return ExitUsage;
    }
    if (args.fix && (args.inputs.size() != 1 || ToLower(ExtensionOf(args.inputs[0])) != ".md3")) {
        std::cerr << "--fix repairs one MD3 file at a time\n";
        return ExitUsage;
    }
    if (!args.game.empty()) {
        context.resolver.Folders = TAppFolders::ForExecutable("/proc/self/exe");
        context.resolver.Folders.CreateTempFolders();
        if (!context.resolver.ApplyGameFolder(args.game, {})) {
            std::cerr << args.game << ": not a game folder (needs etmain/pak0.pk3)\n";
            return ExitUsage;
        }
    }
    if (args.fix) {
        try {
            return RunFix(context, args, *skipped);
        } catch (const Unreadable& e) {
            std::cerr << e.path << ": " << e.why << "\n";
            return ExitUnreadable;
        }
    }

    std::vector<TFinding> all;
    int unreadable = 0;
    for (const std::string& path : args.inputs) {
        try {
            std::vector<TFinding> findings = CheckInput(context, path);
            if (!args.json) {
                PrintLines(findings);
                std::cout << Printable(path) << ": " << FindingSummary(findings) << "\n";
            }
            all.insert(all.end(), findings.begin(), findings.end());
        } catch (const Unreadable& e) {
            std::cerr << e.path << ": " << e.why << "\n";
            ++unreadable;
        } catch (const FileError& e) {
            std::cerr << e.what() << "\n";
            ++unreadable;
        }
    }
    if (args.json)
        PrintJson(FindingsJson(all));
    return unreadable > 0 ? ExitUnreadable : ExitFor(all);
}

} // namespace

void AddCheckVerbs(VerbContext& context) {
    auto args = std::make_shared<CheckArgs>();
    auto* verb = context.app.add_subcommand(
        "check", "Report what the game engines would refuse or draw wrong; --fix repairs an MD3");
    verb->add_option("INPUT", args->inputs, "MD3, MDM or MDX files, or player model folders")
        ->required();
    verb->add_option("--target", args->target, "the engines to check against: q3 or et")
        ->check(CLI::IsMember({"q3", "et"}));
    verb->add_option("--game", args->game, "the game folder (holding etmain/pak0.pk3)");
    verb->add_option("--skin", args->skin,
                     "a skin file for an MD3 or MDM; a skin name (\"blue\") for a player folder");
    verb->add_option("--mdx", args->mdx, "the animation of an MDM (default: the MDX beside it)");
    verb->add_flag("--json", args->json, "print the findings as one JSON list");
    verb->add_flag("--fix", args->fix, "repair the MD3 into -o OUT, then check OUT");
    verb->add_option("-o", args->output, "where --fix writes the repaired model");
    verb->add_option("--no-fix", args->noFix, "leave one fix out (repeat for more)")
        ->delimiter(',');
    auto& run = context.run;
    verb->callback([args, &run] { run = [args] { return RunCheck(*args); }; });
}

} // namespace quillon::cli
