#include "SurfaceMaterials.h"

namespace quillon {

TSurfaceMaterial StageMaterial(const std::string& name, const TShaderObj& shader,
                               const TShaderTexture& stage) {
    TSurfaceMaterial material;
    material.Name = name;
    material.ImagePath = stage.FileName;
    material.StageName = stage.MapName;
    material.DoubleSided = stage.CullMode == CullNone;
    if (stage.AlphaFunc != AlphaNone) {
        material.Alpha = TAlphaMode::Mask;
        // glTF keeps what has alpha >= cutoff: half a step above 0 keeps exactly alpha > 0.
        material.AlphaCutoff = stage.AlphaFunc == AlphaGT0 ? 0.5f / 255 : 0.5f;
    } else if ((shader.Flags & SourceScript) && stage.BlendSrc == BlendSrcAlpha &&
               stage.BlendDst == BlendOneMinusSrcAlpha) {
        material.Alpha = TAlphaMode::Blend;
    }
    return material;
}

std::vector<TSurfaceMaterial> SurfaceMaterials(const TModelRef& model, const TShaders& shaders,
                                               const TSkin& skin) {
    std::vector<TSurfaceMaterial> materials;
    const std::vector<TSurfaceSlot> slots = SurfaceSlots(model);
    for (size_t s = 0; s < slots.size(); ++s) {
        const TSkinRec* entry = skin.Find(slots[s].Name);
        const std::string name = entry ? entry->ShaderName : slots[s].ShaderName;
        const int index = SurfaceShaderIndex(model, int(s));
        TSurfaceMaterial material;
        material.Name = name;
        if (shaders.Has(index)) {
            const TShaderObj& shader = shaders.Shaders[index];
            for (const TShaderTexture& stage : shader.Stages)
                if (!stage.FileName.empty()) {
                    material = StageMaterial(name, shader, stage);
                    break;
                }
        }
        materials.push_back(std::move(material));
    }
    return materials;
}

} // namespace quillon
