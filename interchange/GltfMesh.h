// One mesh of the document: a single triangle primitive with its vertex attributes, optional
// skin weights and optional morph targets.
#pragma once

#include "GltfBuilder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

struct TMeshData {
    std::string Name;
    std::vector<float> Positions; // three per vertex, in glTF's axes and units
    std::vector<float> Normals;   // three per vertex, unit length
    std::vector<float> TexCoords; // two per vertex, t = 0 at the image's top
    std::vector<uint32_t> Indices;
    std::vector<uint16_t> Joints; // four per vertex, or none
    std::vector<float> Weights;   // four per vertex, summing to one
    // Per target: position and normal differences from the base shape, three per vertex.
    std::vector<std::vector<float>> TargetPositions;
    std::vector<std::vector<float>> TargetNormals;
    std::vector<std::string> TargetNames;
    int Material = -1;
};

// Adds the mesh; returns its index.
int AddMesh(TGltfBuilder& builder, const TMeshData& mesh);

} // namespace quillon
