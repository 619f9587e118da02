// The box and sphere of each frame, which the engines test before drawing a model: a frame whose
// stored box or sphere (around its local origin) does not hold all its vertices is culled while
// part of it is still in view. The bounds are measured from the vertices of every surface; the
// fix stores the box, its centre as the local origin and the smallest radius around that centre,
// in the frames that need it only, so sound frames keep the origin their author chose.
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

// Whether a frame's stored box and sphere hold its vertices, and by how much they miss. Exporters
// measure the box before rounding vertices to 1/64, so a vertex may stick out by half a step;
// only more than a whole step counts. A box turned inside out or a bound that is not a number
// never holds anything.
struct TBoundsFault {
    bool Box = false;
    bool Sphere = false;
    float BoxExcess = 0; // how far the vertices reach outside
    float SphereExcess = 0;
};
TBoundsFault FrameBoundsFault(const THeader& header, uint32_t frame);

// Stores the frame's measured box, its centre as the origin and the radius around it; a frame
// without vertices gets an empty box at the origin.
void StoreFrameBounds(THeader& header, uint32_t frame);

// Stores the measured bounds (StoreFrameBounds) in every frame whose box or sphere does not hold
// its vertices; returns how many frames changed.
uint32_t RecomputeFrameBounds(THeader& header);

} // namespace quillon
