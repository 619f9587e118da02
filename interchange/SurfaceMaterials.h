// What the exporter needs to know about the look of each surface, taken from the resolution the
// view uses (skin, shader scripts, game data): the name the surface asked for, the image of the
// first stage that has one, and how that stage treats alpha.
#pragma once

#include "gamedata/ModelSurfaces.h"
#include "gamedata/Shaders.h"
#include "gamedata/Skin.h"

#include <string>
#include <vector>

namespace quillon {

enum class TAlphaMode { Opaque, Mask, Blend };

struct TSurfaceMaterial {
    std::string Name;      // the shader or image name the surface asked for (the skin's, if any)
    std::string ImagePath; // the image file found for it; empty when none was found
    std::string StageName; // that stage's map name as the script writes it
    TAlphaMode Alpha = TAlphaMode::Opaque;
    float AlphaCutoff = 0.5f; // for TAlphaMode::Mask
    bool DoubleSided = false;
};

// The material of one stage. A script's alpha test becomes a mask (glTF cannot invert one, so
// "less than 128" is kept as a mask at one half); its alpha blending becomes blending. A plain
// image without a script is opaque, as the game draws it, whatever its alpha channel holds.
TSurfaceMaterial StageMaterial(const std::string& name, const TShaderObj& shader,
                               const TShaderTexture& stage);

// One entry per surface of the model, in surface order, after an update of skins, shaders and
// textures has resolved the model's surfaces into `shaders`.
std::vector<TSurfaceMaterial> SurfaceMaterials(const TModelRef& model, const TShaders& shaders,
                                               const TSkin& skin);

} // namespace quillon
