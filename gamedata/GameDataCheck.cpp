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

// What the resolution reads of a model, names and shader records, without the geometry. The
// resolver keeps a surface's shader index in its first shader record; a surface without one gets
// an empty record here, so that its skin line is resolved as the engines would.
TMD3 SurfacesOnly(const TMD3& model) {
    TMD3 copy;
    static_cast<THeaderRecord&>(copy.Header) = model.Header;
    for (const TSurface& surface : model.Header.Surfaces) {
        TSurface& named = copy.Header.Surfaces.emplace_back();
        static_cast<TSurfaceRecord&>(named) = surface;
        named.Shaders = surface.Shaders;
        if (named.Shaders.empty())
            named.Shaders.resize(1);
        named.numShaders = static_cast<uint32_t>(named.Shaders.size());
    }
    return copy;
}

TMDM SurfacesOnly(const TMDM& model) {
    TMDM copy;
    copy.Header = model.Header;
    for (const TMDMSurface& surface : model.Surfaces)
        static_cast<TMDMSurfaceRecord&>(copy.Surfaces.emplace_back()) = surface;
    return copy;
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

std::vector<TFinding> TGameDataCheck::Check(const TMD3& model, const TResolveInput& input,
                                            const TSkin* skin) {
    TMD3 copy = SurfacesOnly(model);
    TResolveInput resolve = input;
    resolve.Model = {TModelKind::MD3, &copy, nullptr};
    return CheckResolved(resolve, skin);
}

std::vector<TFinding> TGameDataCheck::Check(const TMDM& model, const TResolveInput& input,
                                            const TSkin* skin) {
    TMDM copy = SurfacesOnly(model);
    TResolveInput resolve = input;
    resolve.Model = {TModelKind::Skeletal, nullptr, &copy};
    return CheckResolved(resolve, skin);
}

std::vector<TFinding> TGameDataCheck::CheckResolved(const TResolveInput& input, const TSkin* skin) {
    Resolver.Skin = skin ? *skin : TSkin();
    std::vector<TFinding> out;
    if (!Resolver.ResolveSurfaces(input))
        return out;
    const std::vector<TSurfaceSlot> slots = SurfaceSlots(input.Model);
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
                !Resolver.StageImageExists(stage, input)) {
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
