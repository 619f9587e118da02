#include "Frustum.h"

namespace quillon {

void TFrustum::Update(const float modelview[16], const float projection[16]) {
    TMatrix mv, p;
    for (int k = 0; k < 16; ++k) {
        mv[k] = modelview[k];
        p[k] = projection[k];
    }
    const TMatrix q = MatrixMultiply(mv, p);
    // Column c of the combined matrix, plus or minus column 3, gives each pair of planes.
    auto plane = [&q](int c, float sign) {
        return TPlane{{q[3] + sign * q[c], q[7] + sign * q[4 + c], q[11] + sign * q[8 + c]},
                      q[15] + sign * q[12 + c]};
    };
    Planes[Left] = plane(0, 1);
    Planes[Right] = plane(0, -1);
    Planes[Bottom] = plane(1, 1);
    Planes[Top] = plane(1, -1);
    Planes[Near] = plane(2, 1);
    Planes[Far] = plane(2, -1);
}

} // namespace quillon
