// Welding and smoothing within one frame of one surface. Both walk the vertices in order and
// let each vertex gather the later vertices near its current position, exactly as a pairwise
// comparison of every vertex with every later one would; TVertexGrid only spares the
// comparisons with vertices that are too far away to matter.
#pragma once

#include "MD3.h"

#include <span>

namespace quillon {

// Each vertex i in turn: every later vertex within `tolerance` of i's current position (per
// axis, strict) takes i's coordinates. Normals are kept.
void WeldFrameVertices(std::span<TMD3Vertex> vertices, float tolerance);

// Each vertex i in turn: i and every later vertex within 0.02 (equal, or one 1/64 step apart
// on each axis) get the encoded mean of their current normals. Positions are kept.
void SmoothFrameNormals(std::span<TMD3Vertex> vertices);

inline constexpr float SmoothTolerance = 0.02f;

} // namespace quillon
