#include "BrushCorners.h"

#include <cmath>

namespace quillon {

namespace {

// A solution counts as outside a plane only beyond this distance: rounding in the solve stays far
// below it, and real brushes are built on a grid far coarser than it.
constexpr double OutsideTolerance = 1.0e-3;
// Corners closer than this on every axis are one corner.
constexpr double SameCornerTolerance = 1.0e-4;
// Planes whose normals are this close to linearly dependent meet in no single point.
constexpr double SingularDeterminant = 1.0e-4;

TMapVector Add(TMapVector a, TMapVector b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
TMapVector Sub(TMapVector a, TMapVector b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
TMapVector Scale(TMapVector a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
double Dot(TMapVector a, TMapVector b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
TMapVector Cross(TMapVector a, TMapVector b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
TMapVector Normalize(TMapVector a) {
    const double length = std::sqrt(Dot(a, a));
    return length == 0 ? a : Scale(a, 1 / length);
}

bool Intersect(const TBrushPlane& a, const TBrushPlane& b, const TBrushPlane& c,
               TMapVector& point) {
    const TMapVector bc = Cross(b.normal, c.normal);
    const double det = Dot(a.normal, bc);
    if (!(std::fabs(det) >= SingularDeterminant))
        return false;
    const TMapVector sum = Add(Add(Scale(bc, a.d), Scale(Cross(c.normal, a.normal), b.d)),
                               Scale(Cross(a.normal, b.normal), c.d));
    point = Scale(sum, 1 / det);
    return true;
}

bool InsideOtherPlanes(std::span<const TBrushPlane> planes, TMapVector point, size_t i, size_t j,
                       size_t k) {
    for (size_t p = 0; p < planes.size(); ++p) {
        if (p == i || p == j || p == k || !planes[p].valid)
            continue;
        if (!(Dot(planes[p].normal, point) - planes[p].d <= OutsideTolerance))
            return false;
    }
    return true;
}

bool SameCorner(TMapVector a, TMapVector b) {
    return std::fabs(a.x - b.x) < SameCornerTolerance &&
           std::fabs(a.y - b.y) < SameCornerTolerance && std::fabs(a.z - b.z) < SameCornerTolerance;
}

void AddCorner(std::vector<TMapVector>& corners, TMapVector point) {
    for (const TMapVector& corner : corners)
        if (SameCorner(corner, point))
            return;
    corners.push_back(point);
}

} // namespace

TBrushPlane BrushPlaneThrough(TMapVector p1, TMapVector p2, TMapVector p3) {
    TBrushPlane plane;
    const TMapVector n = Cross(Sub(p2, p3), Sub(p1, p3));
    const double lengthSquared = Dot(n, n);
    if (!(lengthSquared > 0) || !std::isfinite(lengthSquared))
        return plane;
    plane.normal = Normalize(n);
    plane.d = -Dot(plane.normal, p1);
    plane.valid = true;
    return plane;
}

std::vector<std::vector<TMapVector>> BrushFaceCorners(std::span<const TBrushPlane> planes) {
    std::vector<std::vector<TMapVector>> corners(planes.size());
    const size_t n = planes.size();
    for (size_t i = 0; i < n; ++i) {
        if (!planes[i].valid)
            continue;
        for (size_t j = i + 1; j < n; ++j) {
            if (!planes[j].valid)
                continue;
            for (size_t k = j + 1; k < n; ++k) {
                TMapVector point;
                if (!planes[k].valid || !Intersect(planes[i], planes[j], planes[k], point) ||
                    !InsideOtherPlanes(planes, point, i, j, k))
                    continue;
                AddCorner(corners[i], point);
                AddCorner(corners[j], point);
                AddCorner(corners[k], point);
            }
        }
    }
    for (size_t p = 0; p < n; ++p)
        if (corners[p].size() > 2)
            OrderFaceCorners(corners[p], planes[p].normal);
    return corners;
}

void OrderFaceCorners(std::vector<TMapVector>& corners, TMapVector normal) {
    const size_t n = corners.size();
    TMapVector centre;
    for (const TMapVector& p : corners)
        centre = Add(centre, p);
    centre = Scale(centre, 1.0 / double(n));
    // Each step picks, among the corners still unplaced, the one at the smallest angle after
    // corner i within the half turn that follows it about the normal.
    for (size_t i = 0; i + 1 < n; ++i) {
        const TMapVector fromCentre = Sub(corners[i], centre);
        const TMapVector ahead = Cross(normal, fromCentre);
        const TMapVector u = Normalize(fromCentre);
        size_t winner = n;
        double bestCosine = -2;
        for (size_t j = i + 1; j < n; ++j) {
            const TMapVector offset = Sub(corners[j], centre);
            if (!(Dot(ahead, offset) >= 0))
                continue;
            const double cosine = Dot(u, Normalize(offset));
            if (cosine >= bestCosine) {
                bestCosine = cosine;
                winner = j;
            }
        }
        if (winner < n && winner != i + 1)
            std::swap(corners[i + 1], corners[winner]);
    }
}

} // namespace quillon
