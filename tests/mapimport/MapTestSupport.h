// Loading map text in tests: a texture source that knows a fixed set of image files, and a helper
// that writes the text to a temporary file and loads it.
#pragma once

#include "MapBuilder.h"
#include "support/MD3Builder.h"

#include "mapimport/LevelMap.h"

#include <fstream>
#include <set>

namespace quillon::test {

class FakeTextureSource : public ITextureSource {
public:
    // Names in `known` resolve to "/images/<name>.tga".
    explicit FakeTextureSource(std::set<std::string> known = {}) : Known(std::move(known)) {}
    bool ResolvePath(std::string& name) const override {
        ++Lookups;
        if (!Known.count(name))
            return false;
        name = "/images/" + name + ".tga";
        return true;
    }
    uint32_t LoadTexture(const std::string&, float) override { return 0; }
    void ReleaseTexture(uint32_t) override {}
    bool TextureHasAlpha(uint32_t) const override { return false; }
    bool ImageSize(const std::string&, TImageInfo&) const override { return false; }

    std::set<std::string> Known;
    mutable int Lookups = 0;
};

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Loads `text` as the map file "<name>.map" in a fresh folder.
inline TLevelMap LoadMapText(const std::string& text,
                             const ITextureSource& textures = FakeTextureSource(),
                             const std::string& name = "test") {
    TempDir dir;
    const std::string path = dir.File(name + ".map");
    WriteText(path, text);
    TLevelMap map;
    if (!map.LoadMap(path, textures))
        throw std::runtime_error("the written map did not load");
    return map;
}

} // namespace quillon::test
