#include "VectorMath.h"

#include <cmath>

namespace quillon {

namespace {
constexpr long double DegToRadL = 3.14159265358979323846264338327950288L / 180.0L;
}

TVector VectorAverage(std::span<const TVector> list) {
    if (list.empty())
        return VectorZero();
    TVector sum{};
    for (const TVector& v : list)
        sum = VectorAdd(sum, v);
    return VectorScale(sum, 1.0f / static_cast<float>(list.size()));
}

TVector VectorNegate(TVector a) {
    return {-a.x, -a.y, -a.z};
}
TVector VectorAdd(TVector a, TVector b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
TVector VectorSub(TVector a, TVector b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
float VectorLength(TVector a) {
    return std::sqrt(VectorDot(a, a));
}

TVector VectorCross(TVector a, TVector b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float PlaneConstant(TVector normal, TVector point) {
    return -VectorDot(normal, point);
}

TVector TriangleNormal(TVector p, TVector q, TVector r) {
    return VectorNormalize(VectorCross(VectorSub(r, q), VectorSub(p, q)));
}

TMatrix MatrixMake(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7,
                   float m8, float m9, float m10, float m11, float m12, float m13, float m14,
                   float m15) {
    return TMatrix{{m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13, m14, m15}};
}

const TMatrix& IdentityMatrix() {
    static const TMatrix identity = MatrixMake(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return identity;
}

TMatrix MatrixIdentity() {
    return IdentityMatrix();
}

TMatrix MatrixMultiply(const TMatrix& a, const TMatrix& b) {
    TMatrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r[i * 4 + j] = a[i * 4] * b[j] + a[i * 4 + 1] * b[4 + j] + a[i * 4 + 2] * b[8 + j] +
                           a[i * 4 + 3] * b[12 + j];
    return r;
}

TVector VectorTransform(TVector p, const TMatrix& m) {
    return {p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12],
            p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13],
            p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14]};
}

TMatrix RotationX(TSinCos t) {
    return MatrixMake(1, 0, 0, 0, 0, t.cos, -t.sin, 0, 0, t.sin, t.cos, 0, 0, 0, 0, 1);
}

TMatrix RotationY(TSinCos t) {
    return MatrixMake(t.cos, 0, t.sin, 0, 0, 1, 0, 0, -t.sin, 0, t.cos, 0, 0, 0, 0, 1);
}

TMatrix RotationZ(TSinCos t) {
    return MatrixMake(t.cos, -t.sin, 0, 0, t.sin, t.cos, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
}

TMatrix RotationX(float degrees) {
    return RotationX(SinCosDeg(degrees));
}

TMatrix RotationY(float degrees) {
    return RotationY(SinCosDeg(degrees));
}

TMatrix RotationZ(float degrees) {
    return RotationZ(SinCosDeg(degrees));
}

TVector RotateAbout(TVector p, TVector centre, TVector angles) {
    const TMatrix r = MatrixMultiply(MatrixMultiply(RotationX(angles.x), RotationY(angles.y)),
                                     RotationZ(angles.z));
    return VectorTransform(VectorSub(p, centre), r);
}

void MatrixScale(TMatrix& m, float s) {
    for (float& e : m.m)
        e *= s;
}

float Determinant3(float a1, float a2, float a3, float b1, float b2, float b3, float c1, float c2,
                   float c3) {
    return a1 * (b2 * c3 - b3 * c2) - b1 * (a2 * c3 - a3 * c2) + c1 * (a2 * b3 - a3 * b2);
}

namespace {
// Determinant of the 3x3 minor left after removing row `row` and column `col`. Posing inverts
// every bone of every frame: with the loops below unrolled, each call sees its row and column
// as constants and picks its nine elements directly.
inline float Minor(const TMatrix& m, int row, int col) {
    float e[9];
    int n = 0;
#pragma GCC unroll 4
    for (int r = 0; r < 4; ++r)
#pragma GCC unroll 4
        for (int c = 0; c < 4; ++c)
            if (r != row && c != col)
                e[n++] = m[r * 4 + c];
    // Determinant3 takes its arguments column by column.
    return Determinant3(e[0], e[3], e[6], e[1], e[4], e[7], e[2], e[5], e[8]);
}
} // namespace

float MatrixDeterminant(const TMatrix& m) {
    float det = 0;
#pragma GCC unroll 4
    for (int c = 0; c < 4; ++c) {
        const float cofactor = ((c & 1) ? -1.0f : 1.0f) * Minor(m, 0, c);
        det += m[c] * cofactor;
    }
    return det;
}

void MatrixAdjoint(TMatrix& m) {
    TMatrix adj;
#pragma GCC unroll 4
    for (int r = 0; r < 4; ++r)
#pragma GCC unroll 4
        for (int c = 0; c < 4; ++c)
            adj[c * 4 + r] = (((r + c) & 1) ? -1.0f : 1.0f) * Minor(m, r, c);
    m = adj;
}

void MatrixInvert(TMatrix& m) {
    const float det = MatrixDeterminant(m);
    if (std::fabs(det) < 1.0e-4f) {
        m = IdentityMatrix();
        return;
    }
    MatrixAdjoint(m);
    MatrixScale(m, 1.0f / det);
}

bool IntersectPlanes(const TPlane& p1, const TPlane& p2, const TPlane& p3, TVector& point) {
    TMatrix m = MatrixMake(p1.normal.x, p1.normal.y, p1.normal.z, -p1.d, //
                           p2.normal.x, p2.normal.y, p2.normal.z, -p2.d, //
                           p3.normal.x, p3.normal.y, p3.normal.z, -p3.d, //
                           0, 0, 0, 1);
    if (std::fabs(MatrixDeterminant(m)) < 1.0e-4f)
        return false;
    MatrixInvert(m);
    point = {m[3], m[7], m[11]};
    return true;
}

TSinCos SinCosDeg(long double degrees) {
    const long double radians = degrees * DegToRadL;
    return {static_cast<float>(sinl(radians)), static_cast<float>(cosl(radians))};
}

long double ArcTan2(long double y, long double x) {
    return atan2l(y, x);
}

float FieldOfViewDeg(float size, float distance) {
    return static_cast<float>(2.0L * ArcTan2(size / 2.0f, distance) * RadToDegF);
}

TRGB ColorToRGB(uint32_t colour) {
    return {static_cast<float>(colour & 255) / 255.0f,
            static_cast<float>((colour >> 8) & 255) / 255.0f,
            static_cast<float>((colour >> 16) & 255) / 255.0f};
}

} // namespace quillon
