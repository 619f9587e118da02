// The materials and textures of the document being written. Surfaces that share a look share one
// material, and an image used by several materials is embedded once. TGA and BMP images are
// converted to PNG; JPEG images are embedded as they are. A surface whose image is missing or
// unreadable gets a plain material and a warning that says why.
#pragma once

#include "GltfBuilder.h"
#include "SurfaceMaterials.h"

#include <map>
#include <string>
#include <vector>

namespace quillon {

class TMaterialTable {
public:
    TMaterialTable(TGltfBuilder& builder, std::vector<std::string>& warnings)
        : Builder(builder), Warnings(warnings) {}

    // The index of the glTF material for a surface (named in warnings by `surfaceName`).
    int MaterialFor(const TSurfaceMaterial& material, const std::string& surfaceName);
    int TexturesEmbedded() const { return Embedded; }

private:
    // The glTF texture of an image file; -1 (with a warning, once) when it cannot be read.
    int TextureFor(const std::string& imagePath);

    TGltfBuilder& Builder;
    std::vector<std::string>& Warnings;
    std::map<std::string, int> Textures;
    std::map<std::string, int> Materials;
    int Embedded = 0;
};

} // namespace quillon
