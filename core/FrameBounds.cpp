#include "FrameBounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quillon {

namespace {

template <class F> void ForEachVertex(const THeader& header, uint32_t frame, F visit) {
    for (const TSurface& surface : header.Surfaces) {
        const TMD3Vertex* v = surface.Vertices.data() + size_t{frame} * surface.numVerts;
        for (uint32_t k = 0; k < surface.numVerts; ++k)
            visit(v[k]);
    }
}

float Beyond(float value, float low, float high) {
    return std::max({low - value, value - high, 0.0f});
}

bool SameFrameBounds(const TMD3Frame& a, const TMD3Frame& b) {
    return a.mins == b.mins && a.maxs == b.maxs && a.localOrigin == b.localOrigin &&
           a.radius == b.radius;
}

} // namespace

TVertexBounds MeasureFrame(const THeader& header, uint32_t frame) {
    // In stored units first: scaling by 1/64 is exact, so the box is the same.
    int low[3] = {INT16_MAX, INT16_MAX, INT16_MAX}, high[3] = {INT16_MIN, INT16_MIN, INT16_MIN};
    bool empty = true;
    ForEachVertex(header, frame, [&](const TMD3Vertex& v) {
        empty = false;
        const int16_t xyz[3] = {v.x, v.y, v.z};
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min<int>(low[axis], xyz[axis]);
            high[axis] = std::max<int>(high[axis], xyz[axis]);
        }
    });
    if (empty)
        return {};
    return {false, TVector{low[0] * MD3XyzScale, low[1] * MD3XyzScale, low[2] * MD3XyzScale},
            TVector{high[0] * MD3XyzScale, high[1] * MD3XyzScale, high[2] * MD3XyzScale}};
}

float FarthestVertex(const THeader& header, uint32_t frame, TVector centre) {
    float farthest = 0; // squared
    ForEachVertex(header, frame, [&](const TMD3Vertex& v) {
        const TVector d = VectorSub(TMD3::VertexPosition(v), centre);
        farthest = std::max(farthest, VectorDot(d, d));
    });
    return std::sqrt(farthest);
}

TBoundsExcess MeasureExcess(const THeader& header, uint32_t frame) {
    const TMD3Frame& stored = header.Frames[frame];
    const TVertexBounds bounds = MeasureFrame(header, frame);
    if (bounds.Empty)
        return {};
    TBoundsExcess excess;
    for (TVector corner : {bounds.Mins, bounds.Maxs})
        excess.Box = std::max({excess.Box, Beyond(corner.x, stored.mins.x, stored.maxs.x),
                               Beyond(corner.y, stored.mins.y, stored.maxs.y),
                               Beyond(corner.z, stored.mins.z, stored.maxs.z)});
    excess.Sphere =
        std::max(0.0f, FarthestVertex(header, frame, stored.localOrigin) - stored.radius);
    return excess;
}

uint32_t RecomputeFrameBounds(THeader& header) {
    uint32_t changed = 0;
    for (uint32_t f = 0; f < header.numFrames; ++f) {
        const TVertexBounds bounds = MeasureFrame(header, f);
        if (bounds.Empty)
            continue;
        TMD3Frame& frame = header.Frames[f];
        const TMD3Frame before = frame;
        frame.mins = bounds.Mins;
        frame.maxs = bounds.Maxs;
        frame.localOrigin = VectorScale(VectorAdd(bounds.Mins, bounds.Maxs), 0.5f);
        frame.radius = FarthestVertex(header, f, frame.localOrigin);
        changed += SameFrameBounds(before, frame) ? 0 : 1;
    }
    return changed;
}

} // namespace quillon
