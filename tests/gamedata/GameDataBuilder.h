// Builds the game data the game-data tests read: ZIP archives written with libzip (also with
// names stored without the UTF-8 flag, and with hostile names), small TGA images and text files,
// and a game folder with "etmain/pak0.pk3".
#pragma once

#include "core/TextureSource.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quillon::test {

struct ZipEntry {
    std::string Name;
    std::string Data;
    bool RawName = false; // stored as given, without the UTF-8 flag
};

void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries);
// A TGA of the given size, 24 or 32 bits per pixel.
std::string TGAImage(int width, int height, int bitsPerPixel);
// The first bytes of a baseline JPEG up to its frame header, enough for its size to be read.
std::string JPEGHeader(int width, int height);
void WriteText(const std::string& path, const std::string& text);

// A texture source that records what it was asked, reading image headers for sizes and alpha.
class RecordingTextures : public ITextureSource {
public:
    bool ResolvePath(std::string& name) const override;
    uint32_t LoadTexture(const std::string& name, float gamma) override;
    void ReleaseTexture(uint32_t texture) override;
    bool TextureHasAlpha(uint32_t texture) const override;
    bool ImageSize(const std::string& name, TImageInfo& info) const override;

    std::map<uint32_t, std::string> Loaded; // handle -> path
    std::vector<uint32_t> Released;
    std::vector<float> Gammas;
    uint32_t NextHandle = 1;
};

} // namespace quillon::test
