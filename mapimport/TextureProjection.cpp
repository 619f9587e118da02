#include "TextureProjection.h"

#include <cmath>

namespace quillon {

namespace {

// Normals computed from three points are rarely exact: snap near-zero and near-unit components so
// that axis-aligned faces take the axis-aligned texture axes.
float Snap(float c) {
    if (std::fabs(c) < 1.0e-6f)
        c = 0;
    if (std::fabs(std::fabs(c) - 1) < 0.001f)
        c = c < 0 ? -1.0f : 1.0f;
    return c;
}

float Component(TVector v, TDominantAxis axis) {
    switch (axis) {
    case TDominantAxis::X:
        return v.x;
    case TDominantAxis::Y:
        return v.y;
    case TDominantAxis::Z:
        break;
    }
    return v.z;
}

TDominantAxis DominantAxis(TVector v) {
    const float ax = std::fabs(v.x), ay = std::fabs(v.y), az = std::fabs(v.z);
    if (az >= ax && az >= ay)
        return TDominantAxis::Z;
    return ax >= ay ? TDominantAxis::X : TDominantAxis::Y;
}

TVector BaseVector(TDominantAxis axis) {
    switch (axis) {
    case TDominantAxis::X:
        return AxisNegZ();
    case TDominantAxis::Y:
        return AxisPosZ();
    case TDominantAxis::Z:
        break;
    }
    return AxisPosY();
}

// (a, b) rotated by the angle whose cosine and sine are given.
void Rotate(float& a, float& b, TSinCos r) {
    const float ra = a * r.cos - b * r.sin;
    const float rb = a * r.sin + b * r.cos;
    a = ra;
    b = rb;
}

} // namespace

void ComputeTextureAxes(TMapPlane& plane) {
    const TVector v = {Snap(plane.normal.x), Snap(plane.normal.y), Snap(plane.normal.z)};
    plane.dominantAxis = DominantAxis(v);
    const float dominant = Component(v, plane.dominantAxis);
    plane.dominantSign = dominant < 0 ? -1 : 1;

    const TVector s0 = VectorNormalize(VectorCross(BaseVector(plane.dominantAxis), v));
    plane.axisT = VectorNormalize(VectorCross(v, s0));
    plane.axisS = VectorNormalize(VectorCross(v, plane.axisT));
    if (plane.dominantSign == 1 && dominant != 1)
        plane.axisS = VectorNegate(plane.axisS);

    switch (plane.dominantAxis) {
    case TDominantAxis::X:
        if (v.z == 0) {
            plane.axisS = AxisNegY();
            plane.axisT = AxisNegZ();
        }
        break;
    case TDominantAxis::Y:
        if (v.x == 0) {
            plane.axisS = AxisNegX();
            plane.axisT = AxisNegZ();
        }
        break;
    case TDominantAxis::Z:
        plane.rotation = -plane.rotation;
        if (v.y == 0) {
            plane.axisS = AxisNegX();
            plane.axisT = AxisPosY();
        }
        break;
    }
}

TTexCoord ProjectTexture(const TMapPlane& plane, const TMapTexture* texture, TVector p) {
    if (!texture || texture->name.empty())
        return {};
    const TSinCos r = SinCosDeg(plane.rotation);
    switch (plane.dominantAxis) {
    case TDominantAxis::X:
        Rotate(p.y, p.z, r);
        break;
    case TDominantAxis::Y:
        Rotate(p.x, p.z, r);
        break;
    case TDominantAxis::Z:
        Rotate(p.x, p.y, r);
        break;
    }
    const float invW = 1.0f / float(texture->width);
    const float invH = 1.0f / float(texture->height);
    return {VectorDot(p, plane.axisS) * invW * (1.0f / plane.scaleS) + plane.shiftS * invW,
            VectorDot(p, plane.axisT) * invH * (1.0f / plane.scaleT) + plane.shiftT * invH};
}

} // namespace quillon
