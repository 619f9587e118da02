#include "GltfTransform.h"

#include <cmath>

namespace quillon {

namespace {

TVec3d Column(const TMat3d& m, int c) {
    return {m[0][c], m[1][c], m[2][c]};
}

TVec3d Cross(const TVec3d& a, const TVec3d& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double Dot(const TVec3d& a, const TVec3d& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// A unit vector along `v`, or `fallback` for a vector too short to have a direction.
TVec3d Unit(const TVec3d& v, const TVec3d& fallback) {
    const double length = Length(v);
    return length > 1e-12 ? Scaled(v, 1 / length) : fallback;
}

// The rotation nearest to three unit columns: x kept, y made perpendicular to it, z their cross
// product, so the result is always a proper rotation.
TMat3d Orthonormal(const TVec3d& x, const TVec3d& y) {
    const TVec3d ux = Unit(x, {1, 0, 0});
    TVec3d uy = Unit(Subtract(y, Scaled(ux, Dot(ux, y))), {0, 0, 0});
    if (Length(uy) == 0) // y along x: any perpendicular will do
        uy = Unit(Cross(ux, std::fabs(ux[0]) < 0.9 ? TVec3d{1, 0, 0} : TVec3d{0, 1, 0}), {0, 1, 0});
    const TVec3d uz = Cross(ux, uy);
    return {{{ux[0], uy[0], uz[0]}, {ux[1], uy[1], uz[1]}, {ux[2], uy[2], uz[2]}}};
}

} // namespace

TVec3d ToGltfAxes(TVector v) {
    return {v.x, v.z, -double(v.y)};
}

const TMat3d& GltfAxes() {
    static const TMat3d axes{{{1, 0, 0}, {0, 0, 1}, {0, -1, 0}}};
    return axes;
}

TVec3d Add(const TVec3d& a, const TVec3d& b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}

TVec3d Subtract(const TVec3d& a, const TVec3d& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

TVec3d Scaled(const TVec3d& a, double s) {
    return {a[0] * s, a[1] * s, a[2] * s};
}

double Length(const TVec3d& a) {
    return std::sqrt(Dot(a, a));
}

TVec3d Multiply(const TMat3d& m, const TVec3d& v) {
    return {Dot(m[0], v), Dot(m[1], v), Dot(m[2], v)};
}

TMat3d Multiply(const TMat3d& a, const TMat3d& b) {
    TMat3d r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    return r;
}

TMat3d Transposed(const TMat3d& m) {
    return {Column(m, 0), Column(m, 1), Column(m, 2)};
}

double Determinant(const TMat3d& m) {
    return Dot(m[0], Cross(m[1], m[2]));
}

TVec3d Apply(const TAffine& a, const TVec3d& p) {
    return Add(Multiply(a.Linear, p), a.Translation);
}

TAffine Compose(const TAffine& a, const TAffine& b) {
    return {Multiply(a.Linear, b.Linear), Apply(a, b.Translation)};
}

TAffine Inverse(const TAffine& a) {
    const TMat3d& m = a.Linear;
    const double d = Determinant(m);
    TMat3d inverse{};
    // The adjugate's rows are the cross products of the matrix's columns.
    const TVec3d c0 = Column(m, 0), c1 = Column(m, 1), c2 = Column(m, 2);
    inverse[0] = Scaled(Cross(c1, c2), 1 / d);
    inverse[1] = Scaled(Cross(c2, c0), 1 / d);
    inverse[2] = Scaled(Cross(c0, c1), 1 / d);
    return {inverse, Scaled(Multiply(inverse, a.Translation), -1)};
}

TMat3d RotationFromQuaternion(const TQuat& q) {
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    return {{{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
             {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
             {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}}};
}

// Shepperd's method: start from the largest of w, x, y and z, so no small number is divided by.
TQuat QuaternionFromRotation(const TMat3d& r) {
    const double trace = r[0][0] + r[1][1] + r[2][2];
    TQuat q;
    if (trace > 0) {
        const double s = 2 * std::sqrt(1 + trace);
        q = {(r[2][1] - r[1][2]) / s, (r[0][2] - r[2][0]) / s, (r[1][0] - r[0][1]) / s, s / 4};
    } else if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
        const double s = 2 * std::sqrt(1 + r[0][0] - r[1][1] - r[2][2]);
        q = {s / 4, (r[0][1] + r[1][0]) / s, (r[0][2] + r[2][0]) / s, (r[2][1] - r[1][2]) / s};
    } else if (r[1][1] > r[2][2]) {
        const double s = 2 * std::sqrt(1 + r[1][1] - r[0][0] - r[2][2]);
        q = {(r[0][1] + r[1][0]) / s, s / 4, (r[1][2] + r[2][1]) / s, (r[0][2] - r[2][0]) / s};
    } else {
        const double s = 2 * std::sqrt(1 + r[2][2] - r[0][0] - r[1][1]);
        q = {(r[0][2] + r[2][0]) / s, (r[1][2] + r[2][1]) / s, s / 4, (r[1][0] - r[0][1]) / s};
    }
    const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (double& c : q)
        c /= length;
    return q;
}

TAffine FromTrs(const TTrs& trs) {
    TMat3d linear = RotationFromQuaternion(trs.Rotation);
    for (int row = 0; row < 3; ++row)
        for (int c = 0; c < 3; ++c)
            linear[row][c] *= trs.Scale[c];
    return {linear, trs.Translation};
}

TTrs ToTrs(const TAffine& a) {
    TVec3d scale{Length(Column(a.Linear, 0)), Length(Column(a.Linear, 1)),
                 Length(Column(a.Linear, 2))};
    // A rotation in single precision has columns a few ulps off unit length; such a scale is
    // noise, and one exactly 1 lets a node leave its scale out.
    for (double& s : scale)
        if (std::fabs(s - 1) < 1e-6)
            s = 1;
    if (Determinant(a.Linear) < 0)
        scale[0] = -scale[0];
    TVec3d columns[3];
    for (int c = 0; c < 3; ++c)
        columns[c] = scale[c] != 0 ? Scaled(Column(a.Linear, c), 1 / scale[c]) : TVec3d{0, 0, 0};
    TTrs trs;
    trs.Translation = a.Translation;
    trs.Rotation = QuaternionFromRotation(Orthonormal(columns[0], columns[1]));
    trs.Scale = scale;
    return trs;
}

std::array<float, 16> ColumnMajor(const TAffine& a) {
    std::array<float, 16> m{};
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < 3; ++row)
            m[c * 4 + row] = float(a.Linear[row][c]);
    for (int row = 0; row < 3; ++row)
        m[12 + row] = float(a.Translation[row]);
    m[15] = 1;
    return m;
}

TAffine FromColumnMajor(const std::array<float, 16>& m) {
    TAffine a;
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < 3; ++row)
            a.Linear[row][c] = m[c * 4 + row];
    for (int row = 0; row < 3; ++row)
        a.Translation[row] = m[12 + row];
    return a;
}

} // namespace quillon
