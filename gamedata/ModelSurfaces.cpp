#include "ModelSurfaces.h"

#include "core/MD3.h"
#include "skeletal/MDM.h"

namespace quillon {

std::vector<TSurfaceSlot> SurfaceSlots(const TModelRef& model) {
    std::vector<TSurfaceSlot> slots;
    if (model.Kind == TModelKind::MD3 && model.MD3) {
        for (TSurface& surface : model.MD3->Header.Surfaces) {
            TSurfaceSlot slot;
            slot.Name = NameToString(surface.name);
            if (!surface.Shaders.empty()) {
                slot.ShaderName = NameToString(surface.Shaders[0].name);
                slot.ShaderIndex = &surface.Shaders[0].shaderIndex;
            }
            slots.push_back(std::move(slot));
        }
    } else if (IsSkeletal(model.Kind) && model.MDM) {
        for (TMDMSurface& surface : model.MDM->Surfaces)
            slots.push_back(
                {NameToString(surface.name), NameToString(surface.shader), &surface.shaderIndex});
    }
    return slots;
}

int SurfaceShaderIndex(const TModelRef& model, int s) {
    if (model.Kind == TModelKind::MD3 && model.MD3 && model.MD3->HasSurface(s)) {
        const TSurface& surface = model.MD3->Header.Surfaces[s];
        return surface.Shaders.empty() ? -1 : surface.Shaders[0].shaderIndex;
    }
    if (IsSkeletal(model.Kind) && model.MDM && model.MDM->HasSurface(s))
        return model.MDM->Surfaces[s].shaderIndex;
    return -1;
}

int SurfaceCount(const TModelRef& model) {
    if (model.Kind == TModelKind::MD3 && model.MD3)
        return static_cast<int>(model.MD3->Header.Surfaces.size());
    if (IsSkeletal(model.Kind) && model.MDM)
        return static_cast<int>(model.MDM->Surfaces.size());
    return 0;
}

} // namespace quillon
