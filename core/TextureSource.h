// The seam through which the model libraries ask for images: finding a named image in the
// texture search folders, loading it as a texture (with the software gamma), releasing it, and
// the facts the Surfaces details show. render/ implements it with GL textures; tests and the
// command line implement it without GL. Texture handles are GL texture names; 0 means none.
#pragma once

#include <cstdint>
#include <string>

namespace quillon {

struct TImageInfo {
    std::string extension; // upper-cased, with the dot: ".TGA"
    int width = 0;
    int height = 0;
};

class ITextureSource {
public:
    virtual ~ITextureSource() = default;

    // Finds the file for `name` (as written, then in the search folders, trying .TGA, .BMP and
    // .JPG when the name has no extension). On success `name` becomes the found path; on
    // failure it is left unchanged.
    virtual bool ResolvePath(std::string& name) const = 0;
    // A texture for the named image with the given gamma, or 0 when it cannot be loaded. The same
    // resolved path loaded twice gives the same texture.
    virtual uint32_t LoadTexture(const std::string& name, float gamma) = 0;
    virtual void ReleaseTexture(uint32_t texture) = 0;
    virtual bool TextureHasAlpha(uint32_t texture) const = 0;
    // Resolves the name and reads the image size without making a texture.
    virtual bool ImageSize(const std::string& name, TImageInfo& info) const = 0;
};

} // namespace quillon
