// The .map reader and the MD3 conversion on arbitrary text. Some texture names resolve, so both
// the new-entry and the shared-entry paths of the texture list are taken. Whatever loads must
// hold faces whose corners and textures lie inside their lists, and a converted model must save
// and load again.
#include "FuzzFile.h"

#include "mapimport/LevelMap.h"

#include <cstdlib>

namespace {

using namespace quillon;

// Names starting with "a" resolve, and all of them to one of two files.
class FixedTextures : public ITextureSource {
public:
    bool ResolvePath(std::string& name) const override {
        if (name.empty() || name[0] != 'a')
            return false;
        name = name.size() % 2 ? "/images/odd.tga" : "/images/even.tga";
        return true;
    }
    uint32_t LoadTexture(const std::string&, float) override { return 0; }
    void ReleaseTexture(uint32_t) override {}
    bool TextureHasAlpha(uint32_t) const override { return false; }
    bool ImageSize(const std::string&, TImageInfo&) const override { return false; }
};

void CheckFaces(const TLevelMap& map) {
    for (const TMapFace& face : map.Faces) {
        if (face.numCorners < 3 || face.firstCorner < 0 ||
            size_t(face.firstCorner) + size_t(face.numCorners) > map.Vertices.size() ||
            face.textureIndex < 0 || size_t(face.textureIndex) >= map.Textures.size())
            std::abort();
    }
}

void CheckSavedModel(TMD3& model, const std::string& path) {
    const std::string out = path + ".md3";
    if (!model.SaveToFile(out))
        std::abort();
    TMD3 again;
    if (!again.LoadFromFile(out) || again.Header.numSurfaces != model.Header.numSurfaces)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = fuzz::WriteInput(data, size);
    static const FixedTextures textures;
    static TLevelMap map; // one importer for every input, as the program keeps one
    if (!map.LoadMap(path, textures))
        std::abort();
    CheckFaces(map);
    TMD3 model;
    std::string message;
    if (map.ConvertToMD3(model, message))
        CheckSavedModel(model, path);
    else if (message.empty() || !model.Header.Surfaces.empty())
        std::abort();
    return 0;
}
