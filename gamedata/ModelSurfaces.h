// The update sees MD3 and MDM models alike: each surface has a name, the shader name it asks for,
// and a place to keep the shader index it resolved to. An MD3 surface without a shader entry has
// no such place and is passed over.
#pragma once

#include "ModelKind.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

class TMD3;
class TMDM;

struct TModelRef {
    TModelKind Kind = TModelKind::None;
    TMD3* MD3 = nullptr; // an MD3 model
    TMDM* MDM = nullptr; // a skeletal model
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
