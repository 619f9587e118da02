// The six clip planes of the current view, taken from the modelview and projection matrices
// (as sixteen floats in OpenGL's order). The planes are not normalised.
#pragma once

#include "VectorMath.h"

namespace quillon {

class TFrustum {
public:
    enum Side { Left, Right, Bottom, Top, Near, Far };

    void Update(const float modelview[16], const float projection[16]);
    const TPlane& Plane(Side side) const { return Planes[side]; }

    TPlane Planes[6];
};

} // namespace quillon
