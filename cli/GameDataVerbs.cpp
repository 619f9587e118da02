// resolve: loads a model from disk and resolves every surface into shader stages and images the
// way the window does, with a texture source that only reads image headers, and prints what each
// surface found. Extracted archive members go to the temporary folder (QUILLON_HOME or --tmp).
#include "Verbs.h"

#include "ModelResolution.h"

#include "core/CasePath.h"
#include "core/MD3.h"
#include "gamedata/ScriptText.h"
#include "gamedata/SurfaceResolver.h"
#include "skeletal/MDM.h"
#include "skeletal/MDX.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <memory>

namespace quillon::cli {

namespace {

struct ResolveArgs {
    TResolveSettings settings;
    std::string mdx;
    std::string model;
    bool json = false;
};

nlohmann::json StageJson(const TShaderTexture& s) {
    return {{"MapName", s.MapName},
            {"file", s.FileName.empty() ? nlohmann::json(nullptr) : nlohmann::json(s.FileName)},
            {"CullMode", s.CullMode},
            {"EnvironmentMap", s.EnvironmentMap},
            {"BlendSrc", s.BlendSrc},
            {"BlendDst", s.BlendDst},
            {"AlphaFunc", s.AlphaFunc},
            {"ClampMap", s.ClampMap},
            {"Sky", s.Sky},
            {"AnimMap", s.AnimMap},
            {"VideoMap", s.VideoMap},
            {"LightMap", s.LightMap},
            {"WhiteImage", s.WhiteImage},
            {"PolygonOffset", s.PolygonOffset},
            {"HasAlpha", s.HasAlpha},
            {"Width", s.Width},
            {"Height", s.Height}};
}

std::string Item(const std::vector<std::string>& items, size_t i) {
    return i < items.size() ? items[i] : std::string();
}

// The name each surface asked for: the skin's name when the skin has an entry, else its own.
std::string QueryOf(const TSurfaceSlot& slot, const TSkin& skin) {
    const TSkinRec* entry = skin.Find(slot.Name);
    return entry ? entry->ShaderName : slot.ShaderName;
}

int RunResolve(const ResolveArgs& args) {
    TMD3 md3;
    TMDM mdm;
    TMDX mdx;
    TModelRef model;
    const std::string extension = ExtensionOf(args.model);
    if (EqualsIgnoringCase(extension, ".mdm")) {
        if (!mdm.LoadFromFile(args.model))
            return NotValid(args.model, "MDM", mdm.LastError());
        if (!args.mdx.empty() && !mdx.LoadFromFile(args.mdx))
            return NotValid(args.mdx, "MDX", mdx.LastError());
        model = {TModelKind::Skeletal, nullptr, &mdm};
    } else {
        if (!md3.LoadFromFile(args.model))
            return NotValid(args.model, "MD3", md3.LastError());
        model = {TModelKind::MD3, &md3, nullptr};
    }
    TModelResolution resolution;
    if (!resolution.Resolve(args.settings, model, args.model))
        return ExitUsage;
    const TShaders& shaders = resolution.Shaders;
    TSurfaceResolver& resolver = resolution.Resolver;
    const TResolveInput& input = resolution.Input;

    const std::vector<TSurfaceSlot> slots = SurfaceSlots(input.Model);
    nlohmann::json surfaces = nlohmann::json::array();
    for (size_t i = 0; i < slots.size(); ++i) {
        const TSurfaceSlot& slot = slots[i];
        const int index = slot.ShaderIndex ? *slot.ShaderIndex : -1;
        const TShaderObj* shader = shaders.Has(index) ? &shaders.Shaders[index] : nullptr;
        const TSkinRec* skinEntry = resolver.Skin.Find(slot.Name);
        nlohmann::json stages = nlohmann::json::array();
        if (shader)
            for (const TShaderTexture& stage : shader->Stages)
                stages.push_back(StageJson(stage));
        surfaces.push_back({{"name", slot.Name},
                            {"query", QueryOf(slot, resolver.Skin)},
                            {"flags", shader ? shader->Flags : 0},
                            {"shaderIndex", index},
                            {"shaderFile", Item(resolver.ShaderFileItems, i)},
                            {"shaderName", Item(resolver.ShaderNameFoundItems, i)},
                            {"skin", skinEntry ? skinEntry->ShaderName : std::string()},
                            {"stages", stages}});
    }
    if (args.json) {
        nlohmann::json out = {{"gameScripts",
                               {{"files", resolver.Scripts.GameFileCount},
                                {"shaders", resolver.Scripts.GameShaderCount}}},
                              {"surfaces", surfaces}};
        std::cout << out.dump(2) << "\n";
        return ExitDone;
    }
    std::cout << "game scripts: " << resolver.Scripts.GameFileCount << " files, "
              << resolver.Scripts.GameShaderCount << " shaders\n";
    for (const auto& s : surfaces) {
        std::cout << "surface " << s["name"].get<std::string>() << ": query \""
                  << s["query"].get<std::string>() << "\" flags 0x" << std::hex
                  << s["flags"].get<uint32_t>() << std::dec << " script \""
                  << s["shaderFile"].get<std::string>() << "\" shader \""
                  << s["shaderName"].get<std::string>() << "\"\n";
        for (const auto& stage : s["stages"])
            std::cout << "  stage " << stage["MapName"].get<std::string>() << " -> "
                      << (stage["file"].is_null() ? std::string("(not found)")
                                                  : stage["file"].get<std::string>())
                      << "\n";
    }
    return ExitDone;
}

} // namespace

void AddGameDataVerbs(VerbContext& context) {
    auto args = std::make_shared<ResolveArgs>();
    auto* verb = context.app.add_subcommand(
        "resolve", "Resolve a model's surfaces into shaders and images of the game");
    verb->add_option("--game", args->settings.Game, "the game folder (holding etmain/pak0.pk3)")
        ->required();
    verb->add_option("--pk3", args->settings.Pk3, "a map archive");
    verb->add_option("--skin", args->settings.Skin, "a skin file");
    verb->add_option("--shaderlist", args->settings.ShaderLists,
                     "a shader script of the shader list");
    verb->add_option("--mdx", args->mdx, "the animation of an MDM model");
    verb->add_option("--tmp", args->settings.Tmp, "the temporary folder for extracted members");
    verb->add_flag("--json", args->json, "print one JSON object");
    verb->add_option("MODEL", args->model, "an MD3 or MDM file")->required();
    auto& run = context.run;
    verb->callback([args, &run] { run = [args] { return RunResolve(*args); }; });
}

} // namespace quillon::cli
