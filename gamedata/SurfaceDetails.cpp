#include "SurfaceDetails.h"

#include "core/MD3.h"
#include "skeletal/MDM.h"

#include <cstdio>
#include <optional>

namespace quillon {

TConnectorMarks ConnectorMarks(uint32_t flags) {
    TConnectorMarks marks;
    if (flags & SourceSurfaceName)
        marks.insert("shapeSurfaceShader");
    std::string shaderMark = "shapeShaderFile", textureMark = "shapeTextureFile";
    if (flags & (SourceSkin | SourceShaderList)) {
        if (flags & SourceSkin)
            marks.insert("shapeSkinFile");
        if (flags & SourceShaderList) {
            marks.insert((flags & SourceSkin) ? "shapeSkinShaderlist" : "shapeShaderlist");
            marks.insert("shapeShaderlistIn");
            marks.insert("shapeShaderlistOut");
            shaderMark = "shapeShaderlistShader";
            textureMark = "shapeShaderlistTexture";
        } else {
            shaderMark = "shapeSkinShader";
            textureMark = "shapeSkinTexture";
        }
    }
    if (flags & SourceScript) {
        marks.insert(shaderMark);
        marks.insert("shapeShaderFileIn");
        marks.insert("shapeShaderFileOut");
        textureMark = "shapeShaderTexture";
    } else if (!(flags & SourceImage)) {
        return marks;
    }
    marks.insert(textureMark);
    return marks;
}

TStageDetails StageDetails(const TModelRef& model, const TShaders& shaders, int surface,
                           int stage) {
    TStageDetails details;
    details.ShaderIndex = SurfaceShaderIndex(model, surface);
    if (!shaders.Has(details.ShaderIndex))
        return details;
    const TShaderObj& shader = shaders.Shaders[details.ShaderIndex];
    const bool isStage = stage >= 0 && static_cast<size_t>(stage) < shader.Stages.size();
    details.PreviewVisible = isStage;
    details.StageShown = isStage;
    details.PropsVisible = (shader.Flags & SourceScript) != 0;
    if (!isStage)
        return details;
    const TShaderTexture& s = shader.Stages[stage];
    details.HasAlpha = s.HasAlpha != 0;
    details.Dimensions = std::to_string(s.Width) + "x" + std::to_string(s.Height);
    if (details.PropsVisible) {
        details.AlphaFunc = s.AlphaFunc != 0;
        details.Environment = s.EnvironmentMap != 0;
        details.Clamped = s.ClampMap != 0;
        details.Cull = s.CullMode < CullFront ? "none" : s.CullMode == CullFront ? "front" : "back";
        details.AnimMap = s.AnimMap != 0;
        details.VideoMap = s.VideoMap != 0;
    }
    return details;
}

TSurfaceDetails SurfaceDetails(const TModelRef& model, const TShaders& shaders, const TSkin& skin,
                               const std::vector<std::string>& shaderFileItems,
                               const std::vector<std::string>& shaderNameFoundItems, int surface) {
    TSurfaceDetails details;
    details.ShaderIndex = SurfaceShaderIndex(model, surface);
    details.NumSurfaces = SurfaceCount(model);
    const TShaderObj* shader =
        shaders.Has(details.ShaderIndex) ? &shaders.Shaders[details.ShaderIndex] : nullptr;
    auto addEntry = [&](const std::string& shaderName) {
        details.ShaderNames.push_back(shaderName);
        if (shader)
            for (const TShaderTexture& stage : shader->Stages)
                details.StageNames.push_back(stage.MapName);
    };
    // A surface may have an empty name; the update then resolves it through a skin entry
    // with an empty name, and that entry is what the tab shows.
    std::optional<std::string> surfaceName;
    if (model.Kind == TModelKind::MD3 && model.MD3 && model.MD3->HasSurface(surface)) {
        const TSurface& s = model.MD3->Header.Surfaces[surface];
        surfaceName = NameToString(s.name);
        char flags[16];
        std::snprintf(flags, sizeof flags, "%08Xh", s.flags);
        details.SurfaceFlags = flags;
        for (const TMD3Shader& entry : s.Shaders)
            addEntry(NameToString(entry.name));
        details.NumShaders = std::to_string(s.Shaders.size());
        details.NumVerts = std::to_string(s.numVerts);
        details.NumTriangles = std::to_string(s.numTriangles);
    } else if (IsSkeletal(model.Kind) && model.MDM && model.MDM->HasSurface(surface)) {
        const TMDMSurface& s = model.MDM->Surfaces[surface];
        surfaceName = NameToString(s.name);
        addEntry(NameToString(s.shader));
        details.NumShaders = "1";
        details.NumVerts = std::to_string(s.numVerts);
        details.NumTriangles = std::to_string(s.numTriangles);
    }
    details.Stage = StageDetails(model, shaders, surface, details.StageNames.empty() ? -1 : 0);
    details.Marks = ConnectorMarks(0);
    const bool inItems = surface >= 0;
    if (shader) {
        if (inItems && static_cast<size_t>(surface) < shaderNameFoundItems.size())
            details.ShaderNameFoundItem = surface;
        details.Marks = ConnectorMarks(shader->Flags);
    }
    if (inItems && static_cast<size_t>(surface) < shaderFileItems.size())
        details.ShaderFileItem = surface;
    details.NumTextures = static_cast<int>(details.StageNames.size());
    if (const TSkinRec* entry = surfaceName ? skin.Find(*surfaceName) : nullptr)
        details.Skin = entry->ShaderName;
    return details;
}

} // namespace quillon
