// Normals that were never written. An MD3 normal is a pair of angles, so a missing normal cannot
// be a zero vector; exporters that had none store the code 0, which means straight up. A vertex
// with the code 0 whose own faces point well away from up (more than 60 degrees) has such a
// missing normal; the fix gives it the area-weighted mean direction of its faces, together with
// those of the other missing normals at the same position.
// Faces are front-facing when their corners run clockwise, as in the engines, so a face's
// outward direction is (c - a) x (b - a).
#pragma once

#include "MD3.h"

#include <cstdint>
#include <vector>

namespace quillon {

struct TMissingNormal {
    uint32_t Frame;
    uint32_t Vertex;
};

// Every vertex and frame of the surface with a missing normal, frame by frame. The surface's
// arrays must match its counts for `frames` frames; triangles with an index out of range are
// left out of the face sums.
std::vector<TMissingNormal> MissingNormals(const TSurface& surface, uint32_t frames);

// Gives every missing normal the direction of the faces around it; returns how many changed.
uint32_t RenormaliseMissingNormals(TSurface& surface, uint32_t frames);

} // namespace quillon
