// What the Surfaces tab shows for a surface and one of its stages, as data: the window only
// copies these into its controls. The connector marks are thin lines between the tab's groups
// that show where the surface's shader came from (skin, shader list, script, texture file).
#pragma once

#include "ModelSurfaces.h"
#include "Shaders.h"
#include "Skin.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace quillon {

// The names of the visible marks ("shapeSkinFile", "shapeShaderFileIn", ...).
using TConnectorMarks = std::set<std::string>;
TConnectorMarks ConnectorMarks(uint32_t flags);

struct TStageDetails {
    int ShaderIndex = -1;
    bool PreviewVisible = false; // img3DView: the index is valid and the stage exists
    bool StageShown = false;     // cbHasAlpha and leTextureDimensions are visible
    bool HasAlpha = false;
    std::string Dimensions;    // "256x256"
    bool PropsVisible = false; // pShaderProps: the shader came from a script
    bool AlphaFunc = false;
    bool Environment = false;
    bool Clamped = false;
    std::string Cull; // "none", "front" or "back"
    bool AnimMap = false;
    bool VideoMap = false;
};

struct TSurfaceDetails {
    int ShaderIndex = -1;
    std::vector<std::string> ShaderNames; // cbNamesShaders
    std::vector<std::string> StageNames;  // cbShaderTextures
    std::string SurfaceFlags;             // leSurfaceFlags (MD3 only): "0000000Ah"
    int ShaderFileItem = -1;              // entry of cbShaderFile to select; -1 none
    int ShaderNameFoundItem = -1;         // entry of cbShaderNameFound to select; -1 none
    TConnectorMarks Marks;
    std::string NumShaders, NumVerts, NumTriangles; // leNumShaders, leNumVerts, leNumTriangles
    int NumTextures = 0;                            // lNumTextures
    int NumSurfaces = 0;                            // leNumSurfaces
    std::string Skin;                               // leSkin
    TStageDetails Stage;                            // of the first stage
};

TStageDetails StageDetails(const TModelRef& model, const TShaders& shaders, int surface, int stage);
TSurfaceDetails SurfaceDetails(const TModelRef& model, const TShaders& shaders, const TSkin& skin,
                               const std::vector<std::string>& shaderFileItems,
                               const std::vector<std::string>& shaderNameFoundItems, int surface);

} // namespace quillon
