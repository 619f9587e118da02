// Geometry in glTF's terms, in double precision: the game's Z-up axes turned into glTF's Y-up,
// affine maps in column-vector form (glTF's convention, unlike TMatrix's row vectors), and the
// split of a map into the translation, rotation and scale that glTF nodes and animations hold.
#pragma once

#include "core/VectorMath.h"

#include <array>

namespace quillon {

using TVec3d = std::array<double, 3>;
using TQuat = std::array<double, 4>;  // x, y, z, w, as glTF stores a rotation
using TMat3d = std::array<TVec3d, 3>; // rows

// The game's (x, y, z) in glTF's axes: (x, z, -y). Z up becomes Y up, and the model keeps facing
// the way it does in the game.
TVec3d ToGltfAxes(TVector v);
// The same change of axes as a matrix: ToGltfAxes(v) = GltfAxes() * v.
const TMat3d& GltfAxes();

// p -> Linear * p + Translation.
struct TAffine {
    TMat3d Linear{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    TVec3d Translation{0, 0, 0};
};

struct TTrs {
    TVec3d Translation{0, 0, 0};
    TQuat Rotation{0, 0, 0, 1};
    TVec3d Scale{1, 1, 1};
};

TVec3d Add(const TVec3d& a, const TVec3d& b);
TVec3d Subtract(const TVec3d& a, const TVec3d& b);
TVec3d Scaled(const TVec3d& a, double s);
double Length(const TVec3d& a);
TVec3d Multiply(const TMat3d& m, const TVec3d& v);
TMat3d Multiply(const TMat3d& a, const TMat3d& b);
TMat3d Transposed(const TMat3d& m);
double Determinant(const TMat3d& m);

TVec3d Apply(const TAffine& a, const TVec3d& p);
// a after b: Compose(a, b) applied to p is a applied to (b applied to p).
TAffine Compose(const TAffine& a, const TAffine& b);
// The inverse of a map whose linear part is invertible.
TAffine Inverse(const TAffine& a);

TMat3d RotationFromQuaternion(const TQuat& q);
// The unit quaternion of a rotation matrix (one that is orthonormal up to rounding).
TQuat QuaternionFromRotation(const TMat3d& r);
TAffine FromTrs(const TTrs& trs);
// Splits a map into translation, rotation and scale: the scale is the length of each column,
// negative on x for a mirroring map, and exactly 1 within a millionth of it; what remains is
// made orthonormal before it becomes a quaternion, so a slightly sheared map loses its shear.
TTrs ToTrs(const TAffine& a);

// The sixteen values of the map as a 4x4 matrix in glTF's column-major order, and back.
std::array<float, 16> ColumnMajor(const TAffine& a);
TAffine FromColumnMajor(const std::array<float, 16>& m);

} // namespace quillon
