// What an importer hands to the MD3 assembly: the surfaces' fixed parts (names, shader names,
// texture coordinates, triangles) and, frame by frame, the posed vertices and tags. Everything
// is in the file's own axes and units, Y up and counter-clockwise front faces as glTF and
// MilkShape both have them; the assembly turns it into the game's.
#pragma once

#include "GltfTransform.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

struct TImportSurface {
    std::string Name;
    std::string Shader;
    std::vector<std::array<float, 2>> TexCoords;    // per vertex, t = 0 at the image's top
    std::vector<std::array<uint32_t, 3>> Triangles; // every index below the vertex count
    size_t VertexCount() const { return TexCoords.size(); }
};

// One frame of the model.
struct TImportPose {
    std::vector<std::vector<TVec3d>> Positions; // per surface, per vertex
    std::vector<std::vector<TVec3d>> Normals;   // per surface: per vertex, or empty for none
    std::vector<TAffine> Tags;                  // per tag, its place in the model
};

class IImportSource {
public:
    virtual ~IImportSource() = default;

    virtual const std::vector<TImportSurface>& Surfaces() const = 0;
    virtual const std::vector<std::string>& TagNames() const = 0;
    // One name per frame; a model without animation has one frame.
    virtual const std::vector<std::string>& FrameNames() const = 0;
    // The model at `frame`; false with the reason when the file's data cannot give it.
    virtual bool Pose(size_t frame, TImportPose& pose, std::string& error) = 0;
};

} // namespace quillon
