#include "GameDataCheck.h"

#include "ScriptText.h"
#include "core/MD3.h"
#include "core/NameCheck.h"
#include "skeletal/MDM.h"

#include <set>

namespace quillon {

namespace {

TFindingPlace SurfacePlace(size_t s, const std::string& name) {
    TFindingPlace place;
    place.Surface = static_cast<int>(s);
    place.SurfaceName = name;
    return place;
}

// The resolver keeps a surface's shader index in its first shader record; a surface without one
// gets an empty record in the copy, so that its skin line is resolved as the engines would.
void GiveEverySurfaceAShaderRecord(TMD3& model) {
    for (TSurface& surface : model.Header.Surfaces)
        if (surface.Shaders.empty()) {
            surface.Shaders.resize(1);
            surface.numShaders = 1;
        }
}

bool NeedsImage(const TShaderTexture& stage) {
    return !stage.MapName.empty() && !stage.LightMap && !stage.WhiteImage && !stage.VideoMap;
}

} // namespace

std::vector<TFinding> CheckSkin(const std::vector<std::string>& surfaceNames, const TSkin& skin,
                                const TModelLimits& limits) {
    std::vector<TFinding> out;
    if (skin.Entries.size() > limits.SkinSurfaces)
        out.push_back(MakeFinding(TSeverity::Error, "surfaces",
                                  "the skin has " + std::to_string(skin.Entries.size()) +
                                      " surface lines; the engines keep the first " +
                                      std::to_string(limits.SkinSurfaces)));
    std::set<std::string> surfaces;
    for (const std::string& name : surfaceNames)
        surfaces.insert(ToLower(name));
    for (const TSkinRec& entry : skin.Entries) {
        CheckName(out, entry.ShaderName, false, TNameKind::Path,
                  "the skin's shader name for \"" + entry.SurfaceName + "\"", {}, limits);
        if (!surfaces.contains(entry.SurfaceName))
            out.push_back(MakeFinding(TSeverity::Warning, "skin-surface-unknown",
                                      "the skin names the surface \"" + entry.SurfaceName +
                                          "\", which the model does not have"));
    }
    for (size_t s = 0; s < surfaceNames.size(); ++s)
        if (!skin.Find(surfaceNames[s]))
            out.push_back(MakeFinding(TSeverity::Error, "skin-surface-missing",
                                      "the skin has no line for the surface; the engines draw "
                                      "it with their default shader",
                                      SurfacePlace(s, surfaceNames[s])));
    return out;
}

TGameDataCheck::TGameDataCheck(const TSurfaceResolver& resolver) : Resolver(Shaders, Textures) {
    Resolver.Game = resolver.Game;
    Resolver.Folders = resolver.Folders;
    Resolver.Scripts = resolver.Scripts;
}

std::vector<TFinding> TGameDataCheck::Check(const TModelRef& model, const TResolveInput& input,
                                            const TSkin* skin) {
    TMD3 md3;
    TMDM mdm;
    TResolveInput copy = input;
    if (model.Kind == TModelKind::MD3 && model.MD3) {
        md3 = *model.MD3;
        GiveEverySurfaceAShaderRecord(md3);
        copy.Model = {model.Kind, &md3, nullptr};
    } else if (model.MDM) {
        mdm = *model.MDM;
        copy.Model = {model.Kind, nullptr, &mdm};
    }
    Resolver.Skin = skin ? *skin : TSkin();

    std::vector<TFinding> out;
    TSurfaceResolver::TArchiveSession session(Resolver);
    if (!Resolver.ResolveSurfaces(copy))
        return out;
    const std::vector<TSurfaceSlot> slots = SurfaceSlots(copy.Model);
    for (size_t s = 0; s < slots.size(); ++s) {
        const TSurfaceSlot& slot = slots[s];
        const TSkinRec* entry = Resolver.Skin.Find(slot.Name);
        const std::string query = entry ? entry->ShaderName : slot.ShaderName;
        const int index = slot.ShaderIndex ? *slot.ShaderIndex : -1;
        const TFindingPlace place = SurfacePlace(s, slot.Name);
        // A shader without stages (such as one that only hides the surface) needs no image.
        if (!Shaders.Has(index)) {
            out.push_back(MakeFinding(
                TSeverity::Error, "shader-unresolved",
                query.empty() ? std::string("the surface names no shader and no skin line gives "
                                            "it one; the engines draw it with their default "
                                            "shader")
                              : "\"" + query +
                                    "\" is neither a shader of the game's scripts nor an image "
                                    "of the model's folder or the game's archives",
                place));
            continue;
        }
        const TShaderObj& shader = Shaders.Shaders[index];
        if (shader.Flags & SourceImage)
            continue; // a plain image, found by the resolution itself
        std::set<std::string> reported;
        for (const TShaderTexture& stage : shader.Stages)
            if (NeedsImage(stage) && !reported.contains(stage.MapName) &&
                !Resolver.StageImageExists(stage, copy)) {
                reported.insert(stage.MapName);
                out.push_back(MakeFinding(TSeverity::Error, "image-missing",
                                          "the shader \"" + query + "\" draws the image \"" +
                                              stage.MapName +
                                              "\", which is in none of the game's folders and "
                                              "archives",
                                          place));
            }
    }
    return out;
}

} // namespace quillon
