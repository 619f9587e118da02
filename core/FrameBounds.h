// The box and sphere of each frame, which the engines test before drawing a model: a frame whose
// stored box or sphere (around its local origin) does not hold all its vertices is culled while
// part of it is still in view. The bounds are measured from the vertices of every surface; the
// fix stores the box, its centre as the local origin and the smallest radius around that centre.
#pragma once

#include "MD3.h"

#include <cstdint>

namespace quillon {

struct TVertexBounds {
    bool Empty = true; // no surface has a vertex in this frame
    TVector Mins, Maxs;
};

// The model's arrays must match its counts.
TVertexBounds MeasureFrame(const THeader& header, uint32_t frame);
// The distance of the farthest vertex of the frame from `centre`; 0 for a frame without one.
float FarthestVertex(const THeader& header, uint32_t frame, TVector centre);

// How far the frame's vertices reach outside its stored box and sphere (0 when inside).
struct TBoundsExcess {
    float Box = 0;
    float Sphere = 0;
};
TBoundsExcess MeasureExcess(const THeader& header, uint32_t frame);

// Stores the measured bounds in every frame that has vertices; returns how many frames changed.
uint32_t RecomputeFrameBounds(THeader& header);

} // namespace quillon
