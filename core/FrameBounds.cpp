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

constexpr float Tolerance = MD3XyzScale;

bool BoxIsValid(const TMD3Frame& frame) {
    for (float value :
         {frame.mins.x, frame.mins.y, frame.mins.z, frame.maxs.x, frame.maxs.y, frame.maxs.z})
        if (!std::isfinite(value))
            return false;
    return frame.mins.x <= frame.maxs.x && frame.mins.y <= frame.maxs.y &&
           frame.mins.z <= frame.maxs.z;
}

bool SphereIsValid(const TMD3Frame& frame) {
    return std::isfinite(frame.radius) && frame.radius >= 0 && std::isfinite(frame.localOrigin.x) &&
           std::isfinite(frame.localOrigin.y) && std::isfinite(frame.localOrigin.z);
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

TBoundsFault FrameBoundsFault(const THeader& header, uint32_t frame) {
    const TMD3Frame& stored = header.Frames[frame];
    const TVertexBounds bounds = MeasureFrame(header, frame);
    TBoundsFault fault;
    fault.Box = !BoxIsValid(stored);
    fault.Sphere = !SphereIsValid(stored);
    if (bounds.Empty)
        return fault;
    for (TVector corner : {bounds.Mins, bounds.Maxs})
        fault.BoxExcess = std::max({fault.BoxExcess, Beyond(corner.x, stored.mins.x, stored.maxs.x),
                                    Beyond(corner.y, stored.mins.y, stored.maxs.y),
                                    Beyond(corner.z, stored.mins.z, stored.maxs.z)});
    fault.SphereExcess =
        std::max(0.0f, FarthestVertex(header, frame, stored.localOrigin) - stored.radius);
    fault.Box = fault.Box || fault.BoxExcess > Tolerance;
    fault.Sphere = fault.Sphere || fault.SphereExcess > Tolerance;
    return fault;
}

void StoreFrameBounds(THeader& header, uint32_t frame) {
    const TVertexBounds bounds = MeasureFrame(header, frame);
    TMD3Frame& stored = header.Frames[frame];
    stored.mins = bounds.Mins;
    stored.maxs = bounds.Maxs;
    stored.localOrigin = VectorScale(VectorAdd(bounds.Mins, bounds.Maxs), 0.5f);
    stored.radius = FarthestVertex(header, frame, stored.localOrigin);
}

uint32_t RecomputeFrameBounds(THeader& header) {
    uint32_t changed = 0;
    for (uint32_t f = 0; f < header.numFrames; ++f) {
        const TBoundsFault fault = FrameBoundsFault(header, f);
        if (!fault.Box && !fault.Sphere)
            continue;
        StoreFrameBounds(header, f);
        ++changed;
    }
    return changed;
}

} // namespace quillon
