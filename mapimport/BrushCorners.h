// The faces of a convex brush given as planes. Every triple of planes is solved for its common
// point; a point that lies outside any other plane is not a corner of the brush. The search runs
// in double precision with a small tolerance, because a corner where four or more planes meet (a
// pyramid's apex, a bevel through a box corner) is found by several triples: in single precision
// rounding pushes some of those solutions just outside a neighbour plane, which drops the corner
// (a hole) or keeps two copies of it (a five-corner face).
#pragma once

#include <span>
#include <vector>

namespace quillon {

struct TMapVector {
    double x = 0, y = 0, z = 0;
};

// Points p on the plane satisfy normal . p = d; the brush lies on the side where normal . p <= d.
struct TBrushPlane {
    TMapVector normal;
    double d = 0;
    bool valid = false; // false when the three points do not span a plane
};

// The plane through three points whose normal is normalise((p2 - p3) x (p1 - p3)) and whose
// constant is -(normal . p1); with the points' z negated this puts the brush's faces outward.
TBrushPlane BrushPlaneThrough(TMapVector p1, TMapVector p2, TMapVector p3);

// For every plane, in order, its corners counter-clockwise about its normal, starting with the
// corner found first. A plane that touches the brush in fewer than three corners gets fewer than
// three points (no face).
std::vector<std::vector<TMapVector>> BrushFaceCorners(std::span<const TBrushPlane> planes);

// Sorts the corners of a convex face counter-clockwise about `normal`, keeping the first in place.
void OrderFaceCorners(std::vector<TMapVector>& corners, TMapVector normal);

} // namespace quillon
