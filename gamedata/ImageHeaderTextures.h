// A texture source without a GL: it reads only the headers of TGA, BMP and JPEG files (size and
// whether there is an alpha channel) and hands out numbered handles, one per resolved path, as the
// real texture manager does. The command line and the tests resolve models with it.
#pragma once

#include "core/TextureSource.h"

#include <cstdint>
#include <map>
#include <string>

namespace quillon {

class TImageHeaderTextures : public ITextureSource {
public:
    bool ResolvePath(std::string& name) const override;
    uint32_t LoadTexture(const std::string& name, float gamma) override;
    void ReleaseTexture(uint32_t texture) override;
    bool TextureHasAlpha(uint32_t texture) const override;
    bool ImageSize(const std::string& name, TImageInfo& info) const override;

    int LoadedCount() const { return static_cast<int>(Loaded.size()); }

private:
    struct TLoaded {
        std::string Path;
        bool HasAlpha = false;
    };
    std::map<uint32_t, TLoaded> Loaded;
    uint32_t NextHandle = 1;
};

} // namespace quillon
