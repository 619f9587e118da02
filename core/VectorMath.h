// Single-precision 3D geometry shared by the models, the converters and the view: a three-float
// vector, a row-major 4x4 matrix (points are row vectors, p' = p x M, translation in row 3), a
// plane, and the angle and colour helpers. Angles are in degrees unless a name says radians.
// The trigonometry that the file formats depend on is done in extended precision (long double)
// and stored as float, so encoded normals and rotations come out the same on every run.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <span>

namespace quillon {

struct TVector {
    float x = 0, y = 0, z = 0;
    friend bool operator==(const TVector&, const TVector&) = default;
};
static_assert(sizeof(TVector) == 12);

struct TMatrix {
    std::array<float, 16> m{}; // element k is row k / 4, column k % 4
    float& operator[](int k) { return m[k]; }
    float operator[](int k) const { return m[k]; }
    friend bool operator==(const TMatrix&, const TMatrix&) = default;
};

struct TPlane {
    TVector normal;
    float d = 0;
};

struct TSinCos {
    float sin, cos;
};

struct TRGB {
    float red, green, blue;
};

// --- vectors ---
constexpr TVector VectorMake(float x, float y, float z) {
    return {x, y, z};
}
constexpr TVector VectorZero() {
    return {0, 0, 0};
}
constexpr TVector AxisPosX() {
    return {1, 0, 0};
}
constexpr TVector AxisPosY() {
    return {0, 1, 0};
}
constexpr TVector AxisPosZ() {
    return {0, 0, 1};
}
constexpr TVector AxisNegX() {
    return {-1, 0, 0};
}
constexpr TVector AxisNegY() {
    return {0, -1, 0};
}
constexpr TVector AxisNegZ() {
    return {0, 0, -1};
}

// Per-axis strict comparison, not a distance.
inline bool VectorEquals(TVector a, TVector b, float tolerance) {
    return std::fabs(a.x - b.x) < tolerance && std::fabs(a.y - b.y) < tolerance &&
           std::fabs(a.z - b.z) < tolerance;
}
TVector VectorAverage(std::span<const TVector> list);
TVector VectorNegate(TVector a);
TVector VectorAdd(TVector a, TVector b);
TVector VectorSub(TVector a, TVector b);
inline TVector VectorScale(TVector a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline float VectorDot(TVector a, TVector b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
float VectorLength(TVector a);
// Unit vector; the zero vector comes back unchanged. Inline, as the normal encoding of every
// baked vertex calls it.
inline TVector VectorNormalize(TVector a) {
    const float lengthSquared = VectorDot(a, a);
    if (lengthSquared == 0.0f)
        return a;
    return VectorScale(a, 1.0f / std::sqrt(lengthSquared));
}
TVector VectorCross(TVector a, TVector b);
float PlaneConstant(TVector normal, TVector point);
TVector TriangleNormal(TVector p, TVector q, TVector r);

// --- matrices ---
TMatrix MatrixMake(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7,
                   float m8, float m9, float m10, float m11, float m12, float m13, float m14,
                   float m15);
const TMatrix& IdentityMatrix();
TMatrix MatrixIdentity();
TMatrix MatrixMultiply(const TMatrix& a, const TMatrix& b);
TVector VectorTransform(TVector p, const TMatrix& m);
TMatrix RotationX(float degrees);
TMatrix RotationY(float degrees);
TMatrix RotationZ(float degrees);
// The same rotations given the sine and cosine of their angle.
TMatrix RotationX(TSinCos t);
TMatrix RotationY(TSinCos t);
TMatrix RotationZ(TSinCos t);
// Offset of p from centre after rotating by X, then Y, then Z; the centre is not added back.
TVector RotateAbout(TVector p, TVector centre, TVector angles);
void MatrixScale(TMatrix& m, float s);
float Determinant3(float a1, float a2, float a3, float b1, float b2, float b3, float c1, float c2,
                   float c3);
float MatrixDeterminant(const TMatrix& m);
void MatrixAdjoint(TMatrix& m);
// In place; a matrix whose determinant is below 1.0E-4 in magnitude becomes the identity.
void MatrixInvert(TMatrix& m);
// The point p with a_i*p.x + b_i*p.y + c_i*p.z = d_i for the three planes; false (point left
// unchanged) when the system is singular.
bool IntersectPlanes(const TPlane& p1, const TPlane& p2, const TPlane& p3, TVector& point);

// --- angles and colours ---
TSinCos SinCosDeg(long double degrees);
long double ArcTan2(long double y, long double x);
// 180/pi as the single-precision constant the formats were made with.
inline constexpr float RadToDegF = 57.29578f;
float FieldOfViewDeg(float size, float distance);
TRGB ColorToRGB(uint32_t colour);

} // namespace quillon
