#include "FrameBounds.h"

#include <algorithm>
#include <cmath>

namespace quillon {

namespace {

template <class F> void ForEachVertex(const THeader& header, uint32_t frame, F visit) {
    for (const TSurface& surface : header.Surfaces) {
        const TMD3Vertex* v = surface.Vertices.data() + size_t{frame} * surface.numVerts;
        for (uint32_t k = 0; k < surface.numVerts; ++k)
            visit(TMD3::VertexPosition(v[k]));
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
    TVertexBounds bounds;
    ForEachVertex(header, frame, [&](TVector p) {
        if (bounds.Empty) {
            bounds = {false, p, p};
            return;
        }
        bounds.Mins = {std::min(bounds.Mins.x, p.x), std::min(bounds.Mins.y, p.y),
                       std::min(bounds.Mins.z, p.z)};
        bounds.Maxs = {std::max(bounds.Maxs.x, p.x), std::max(bounds.Maxs.y, p.y),
                       std::max(bounds.Maxs.z, p.z)};
    });
    return bounds;
}

float FarthestVertex(const THeader& header, uint32_t frame, TVector centre) {
    float farthest = 0;
    ForEachVertex(header, frame, [&](TVector p) {
        farthest = std::max(farthest, VectorLength(VectorSub(p, centre)));
    });
    return farthest;
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
