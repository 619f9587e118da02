// The texture manager: finds a named image in the search folders, decodes it into RGBA (the TGA,
// BMP and JPEG readers of images/), applies the software gamma and uploads the pixels as a GL
// texture. Every texture made is listed under the path it was loaded from, so an image named
// twice is decoded once. Uploads and releases need the GL context current.
#pragma once

#include "core/TextureSource.h"
#include "images/RgbaImage.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillon {

struct TLoadedTexture {
    std::string Name; // the resolved path
    uint32_t Texture = 0;
    bool HasAlpha = false;
    int Width = 0;
    int Height = 0;
};

class TObjTexture : public ITextureSource {
public:
    TObjTexture() = default;
    ~TObjTexture() override;
    TObjTexture(const TObjTexture&) = delete;
    TObjTexture& operator=(const TObjTexture&) = delete;

    // Folders are tried in the order they were added; a missing trailing separator is added.
    void AddSearchFolder(std::string folder);
    void SetGamma(float gamma);

    uint32_t LoadTexture(const std::string& name, float gamma) override;
    bool ResolvePath(std::string& name) const override;
    bool FindLoaded(const std::string& path, uint32_t& texture) const;
    bool TextureHasAlpha(uint32_t texture) const override;
    bool ImageSize(const std::string& name, TImageInfo& info) const override;
    void ReleaseTexture(uint32_t texture) override;
    void ReleaseAll();

    // Makes the GL context current before uploads and deletions; false when there is none, and
    // then nothing is uploaded and releases only forget their entries.
    std::function<bool()> MakeCurrent;

    const std::vector<std::string>& SearchFolders() const { return Folders; }
    const std::vector<TLoadedTexture>& Loaded() const { return LoadedList; }
    bool LastHasAlpha() const { return LastAlpha; }
    float Gamma() const { return CurrentGamma; }

private:
    uint32_t Load(const std::string& name);
    uint32_t Upload(TRgbaImage& image, bool mipmaps, bool rgbInternal) const;
    bool GLReady() const { return !MakeCurrent || MakeCurrent(); }

    std::vector<std::string> Folders;
    std::vector<TLoadedTexture> LoadedList;
    bool LastAlpha = false;
    float CurrentGamma = 1.0f;
};

} // namespace quillon
