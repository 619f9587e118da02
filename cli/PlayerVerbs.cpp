// player: what a player model is made of, as the game would load it: its three parts with their
// frames, surfaces and tags, the skins found, the animations of animation.cfg as ranges of each
// part's own frames, what joining and reading noticed, and the model check's findings (with the
// game data when --game is given).
#include "FindingOutput.h"
#include "PlayerLoading.h"
#include "Verbs.h"

#include "gamedata/GameDataCheck.h"
#include "gamedata/PlayerSetCheck.h"

#include <iostream>
#include <memory>

namespace quillon::cli {

namespace {

struct PlayerArgs {
    std::string player;
    TResolveSettings settings;
    bool json = false;
};

std::vector<std::string> TagNames(const TMD3& model) {
    std::vector<std::string> names;
    for (uint32_t t = 0; t < model.Header.numTags && t < model.Header.Tags.size(); ++t)
        names.push_back(NameToString(model.Header.Tags[t].name));
    return names;
}

std::vector<std::string> SurfaceNames(const TMD3& model) {
    std::vector<std::string> names;
    for (const TSurface& surface : model.Header.Surfaces)
        names.push_back(NameToString(surface.name));
    return names;
}

nlohmann::json RangesJson(const std::vector<TPlayerRange>& ranges) {
    nlohmann::json list = nlohmann::json::array();
    for (const TPlayerRange& r : ranges)
        list.push_back({{"name", r.Name},
                        {"first", r.First},
                        {"count", r.Count},
                        {"looping", r.Loop},
                        {"fps", r.Fps},
                        {"backwards", r.Backwards}});
    return list;
}

nlohmann::json PlayerJson(const TPlayerModel& player, const std::vector<TFinding>& findings) {
    const TPlayerSet& set = player.Set();
    nlohmann::json parts = nlohmann::json::array();
    for (int p = 0; p < 3; ++p)
        parts.push_back({{"part", TPlayerSet::PartNames[p]},
                         {"file", set.PartFiles[p]},
                         {"frames", set.Parts[p].Header.numFrames},
                         {"surfaces", SurfaceNames(set.Parts[p])},
                         {"tags", TagNames(set.Parts[p])}});
    const TAnimationConfig& config = set.Config;
    return {{"folder", set.Folder},
            {"parts", parts},
            {"sex", config.Sex},
            {"footsteps", config.Footsteps},
            {"headoffset", config.HeadOffset},
            {"fixedlegs", config.FixedLegs},
            {"fixedtorso", config.FixedTorso},
            {"skins", player.SkinNames()},
            {"skin", player.SkinName()},
            {"legs", RangesJson(player.LegsRanges())},
            {"torso", RangesJson(player.TorsoRanges())},
            {"messages", player.Messages()},
            {"findings", FindingsJson(findings)}};
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + Printable(name);
    return text.empty() ? "none" : text;
}

void PrintRanges(const char* title, const std::vector<TPlayerRange>& ranges) {
    std::cout << title << ":\n";
    for (const TPlayerRange& r : ranges)
        std::cout << "  " << r.Name << ": frames " << r.First << "-" << r.Last() << ", looping "
                  << r.Loop << ", " << r.Fps << " fps" << (r.Backwards ? ", backwards" : "")
                  << "\n";
}

void PrintPlayer(const TPlayerModel& player, const std::vector<TFinding>& findings) {
    const TPlayerSet& set = player.Set();
    std::cout << "folder: " << Printable(set.Folder) << "\n";
    for (int p = 0; p < 3; ++p)
        std::cout << TPlayerSet::PartNames[p] << ": " << Printable(set.PartFiles[p]) << ", "
                  << set.Parts[p].Header.numFrames << " frames, surfaces "
                  << Joined(SurfaceNames(set.Parts[p])) << ", tags "
                  << Joined(TagNames(set.Parts[p])) << "\n";
    const TAnimationConfig& config = set.Config;
    std::cout << "sex: " << Printable(config.Sex) << ", footsteps: " << Printable(config.Footsteps)
              << (config.FixedLegs ? ", fixedlegs" : "")
              << (config.FixedTorso ? ", fixedtorso" : "") << "\n";
    std::cout << "skins: " << Joined(player.SkinNames()) << " (chosen: " << player.SkinName()
              << ")\n";
    PrintRanges("legs", player.LegsRanges());
    PrintRanges("torso", player.TorsoRanges());
    for (const std::string& message : player.Messages())
        std::cout << "note: " << Printable(message) << "\n";
    PrintLines(findings);
    std::cout << "check: " << FindingSummary(findings) << "\n";
}

int RunPlayer(const PlayerArgs& args) {
    TPlayerModel player;
    if (const int code = LoadPlayerArgument(args.player, args.settings, {}, player);
        code != ExitDone)
        return code;
    TMD3 joined = player.Joined({}); // its notes say what joining found (a missing tag)
    TModelResolution resolution;
    std::unique_ptr<TGameDataCheck> game;
    if (!args.settings.Game.empty()) {
        if (!ResolvePlayer(resolution, args.settings, player, joined))
            return ExitUsage;
        game = std::make_unique<TGameDataCheck>(resolution.Resolver);
    }
    const auto findings = CheckPlayerSet(player.Set(), LimitsFor(TCheckTarget::Q3), game.get());
    if (args.json)
        PrintJson(PlayerJson(player, findings));
    else
        PrintPlayer(player, findings);
    return ExitDone;
}

} // namespace

void AddPlayerVerbs(VerbContext& context) {
    auto args = std::make_shared<PlayerArgs>();
    auto* verb = context.app.add_subcommand(
        "player", "Describe and check a player model (lower.md3, upper.md3, head.md3)");
    verb->add_option("DIR", args->player,
                     "a player folder, or with --game a folder of the game's archives such as "
                     "models/players/sergei")
        ->required();
    verb->add_option("--game", args->settings.Game, "the game folder");
    verb->add_option("--tmp", args->settings.Tmp, "the folder archive members are copied into");
    verb->add_flag("--json", args->json, "print JSON");
    auto& run = context.run;
    verb->callback([&run, args] { run = [args] { return RunPlayer(*args); }; });
}

} // namespace quillon::cli
