// The update sees MD3 and MDM models alike: each surface has a name, the shader name it asks for,
// and a place to keep the shader index it resolved to. An MD3 surface without a shader entry has
// no such place and is passed over.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

class TMD3;
class TMDM;

enum ModelKind : int { ModelNone = 0, ModelMD3 = 1, ModelSkeletal = 2, ModelSkeletalFromMDS = 3 };

struct TModelRef {
    int Kind = ModelNone;
    TMD3* MD3 = nullptr; // kind 1
    TMDM* MDM = nullptr; // kinds 2 and 3
};

struct TSurfaceSlot {
    std::string Name;
    std::string ShaderName;
    int32_t* ShaderIndex = nullptr; // nullptr: nowhere to keep a shader index
};

// One slot per surface, in surface order; empty for no model.
std::vector<TSurfaceSlot> SurfaceSlots(const TModelRef& model);
// The shader index of surface s (an MD3 surface's first shader entry); -1 when there is none.
int SurfaceShaderIndex(const TModelRef& model, int s);
int SurfaceCount(const TModelRef& model);

} // namespace quillon
