// The checks that need the game's data: whether every surface's shader name (or the name its
// skin line gives it) resolves to a shader of the game's scripts or to an image, whether every
// image a shader's stages use is there, and whether a skin and the model name the same surfaces.
// The resolution is the window's own (TSurfaceResolver), run on a copy of the model with a
// texture source that reads no images, so a check changes nothing the window shows.
#pragma once

#include "ImageHeaderTextures.h"
#include "ModelSurfaces.h"
#include "Shaders.h"
#include "Skin.h"
#include "SurfaceResolver.h"

#include "core/CheckLimits.h"
#include "core/Finding.h"

#include <string>
#include <vector>

namespace quillon {

// "skin-surface-unknown" for every skin line naming a surface the model lacks,
// "skin-surface-missing" for every surface the skin leaves out (the engines draw it with their
// default shader), "surfaces" for more surface lines than the engines keep, and the name checks
// of the skin's shader names.
std::vector<TFinding> CheckSkin(const std::vector<std::string>& surfaceNames, const TSkin& skin,
                                const TModelLimits& limits);

class TGameDataCheck {
public:
    // Takes a copy of what `resolver` knows of the game: the game folder, the application's
    // folders and the three lists of shader scripts (not its skin).
    explicit TGameDataCheck(const TSurfaceResolver& resolver);
    TGameDataCheck(const TGameDataCheck&) = delete;
    TGameDataCheck& operator=(const TGameDataCheck&) = delete;

    // False while no game scripts are known: nothing can then be resolved.
    bool HasGameData() const { return !Resolver.Scripts.GameScripts.empty(); }

    // "shader-unresolved" and "image-missing" for the model's surfaces, resolved through `skin`
    // (may be null) as `input` says where the model came from (its Model is not used). An
    // archive that cannot be read raises FileError.
    std::vector<TFinding> Check(const TMD3& model, const TResolveInput& input, const TSkin* skin);
    std::vector<TFinding> Check(const TMDM& model, const TResolveInput& input, const TSkin* skin);

private:
    // Resolves the surfaces of `input.Model`, a copy the check may write shader indices into.
    std::vector<TFinding> CheckResolved(const TResolveInput& input, const TSkin* skin);

    TShaders Shaders;
    TImageHeaderTextures Textures;
    TSurfaceResolver Resolver;
    // The archives stay open while the check lives, so checking many models (every part under
    // every skin) reads each archive's directory once.
    TSurfaceResolver::TArchiveSession Session{Resolver};
};

} // namespace quillon
