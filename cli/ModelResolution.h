// Resolving a model's surfaces from the command line as the window does for a model loaded from
// a file on disk: the game folder's scripts and archive, an optional map archive, skin and
// shader list, and a texture source that reads image headers only. Archive members are
// extracted into the temporary folder (QUILLON_HOME or the program's folder, unless given).
#pragma once

#include "gamedata/ImageHeaderTextures.h"
#include "gamedata/SurfaceResolver.h"

#include <string>
#include <vector>

namespace quillon::cli {

struct TResolveSettings {
    std::string Game; // empty: no game folder, so nothing is resolved (the skin still names)
    std::string Pk3;
    std::string Skin;
    std::vector<std::string> ShaderLists;
    std::string Tmp;
};

class TModelResolution {
public:
    TModelResolution() : Resolver(Shaders, Textures) {}

    // Resolves `model`, loaded from `modelPath`. Throws FileError for a missing skin file or an
    // archive that cannot be read; false (with the message on stderr) for a folder that is not
    // a game folder.
    bool Resolve(const TResolveSettings& settings, const TModelRef& model,
                 const std::string& modelPath);

    TShaders Shaders;
    TImageHeaderTextures Textures;
    TSurfaceResolver Resolver;
    TResolveInput Input;
};

} // namespace quillon::cli
