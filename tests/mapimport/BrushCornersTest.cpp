#include "mapimport/BrushCorners.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace quillon {
namespace {

TMapVector Sub(TMapVector a, TMapVector b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
double Dot(TMapVector a, TMapVector b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
TMapVector Cross(TMapVector a, TMapVector b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

TMapVector Neg(TMapVector a) {
    return {-a.x, -a.y, -a.z};
}

// The plane of a face whose corners a, b, c run counter-clockwise seen from outside. The plane
// constant's sign puts the plane through the negated points, so the points go in negated.
TBrushPlane FacePlane(TMapVector a, TMapVector b, TMapVector c) {
    return BrushPlaneThrough(Neg(c), Neg(b), Neg(a));
}

// A rigid placement: a random rotation and an offset of up to 400 units.
struct Placement {
    double r[3][3];
    TMapVector offset;
    TMapVector operator()(double x, double y, double z) const {
        return {r[0][0] * x + r[0][1] * y + r[0][2] * z + offset.x,
                r[1][0] * x + r[1][1] * y + r[1][2] * z + offset.y,
                r[2][0] * x + r[2][1] * y + r[2][2] * z + offset.z};
    }
};

Placement RandomPlacement(std::mt19937& random) {
    std::normal_distribution<double> normal;
    std::uniform_real_distribution<double> offset(-400, 400);
    double q[4];
    double length = 0;
    for (double& c : q) {
        c = normal(random);
        length += c * c;
    }
    for (double& c : q)
        c /= std::sqrt(length);
    const double w = q[0], x = q[1], y = q[2], z = q[3];
    return {{{1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y)},
             {2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x)},
             {2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)}},
            {offset(random), offset(random), offset(random)}};
}

std::vector<size_t> CornerCounts(const std::vector<std::vector<TMapVector>>& faces) {
    std::vector<size_t> counts;
    for (const auto& face : faces)
        counts.push_back(face.size());
    return counts;
}

// Every turn along the face's boundary goes the same way as the normal.
void ExpectCounterClockwise(const std::vector<TMapVector>& corners, TMapVector normal) {
    const size_t n = corners.size();
    for (size_t i = 0; i < n; ++i) {
        const TMapVector e1 = Sub(corners[(i + 1) % n], corners[i]);
        const TMapVector e2 = Sub(corners[(i + 2) % n], corners[(i + 1) % n]);
        EXPECT_GT(Dot(Cross(e1, e2), normal), 0) << "corner " << i;
    }
}

TEST(BrushCorners, PyramidApexWhereFourPlanesMeetIsOneCorner) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 300; ++trial) {
        const Placement at = RandomPlacement(random);
        const TMapVector b00 = at(-20, -20, 0), b10 = at(20, -20, 0), b11 = at(20, 20, 0),
                         b01 = at(-20, 20, 0), apex = at(0, 0, 33.3);
        const std::vector<TBrushPlane> planes = {
            FacePlane(b00, b01, b11), FacePlane(b00, b10, apex), FacePlane(b10, b11, apex),
            FacePlane(b11, b01, apex), FacePlane(b01, b00, apex)};
        const auto faces = BrushFaceCorners(planes);
        ASSERT_EQ(CornerCounts(faces), (std::vector<size_t>{4, 3, 3, 3, 3})) << "trial " << trial;
        for (size_t f = 0; f < faces.size(); ++f)
            ExpectCounterClockwise(faces[f], planes[f].normal);
    }
}

TEST(BrushCorners, CornerBevelledThroughThreeBoxCornersGivesTrianglesAndQuads) {
    std::mt19937 random(11);
    for (int trial = 0; trial < 300; ++trial) {
        const Placement at = RandomPlacement(random);
        auto v = [&](int i, int j, int k) { return at(40.0 * i, 40.0 * j, 40.0 * k); };
        const std::vector<TBrushPlane> planes = {
            FacePlane(v(1, 0, 0), v(1, 1, 0), v(1, 1, 1)), // +x
            FacePlane(v(0, 0, 0), v(0, 0, 1), v(0, 1, 1)), // -x
            FacePlane(v(0, 1, 0), v(0, 1, 1), v(1, 1, 1)), // +y
            FacePlane(v(0, 0, 0), v(1, 0, 0), v(1, 0, 1)), // -y
            FacePlane(v(0, 0, 1), v(1, 0, 1), v(1, 1, 1)), // +z
            FacePlane(v(0, 0, 0), v(0, 1, 0), v(1, 1, 0)), // -z
            FacePlane(v(1, 0, 0), v(0, 0, 1), v(0, 1, 0)), // the bevel
        };
        const auto faces = BrushFaceCorners(planes);
        ASSERT_EQ(CornerCounts(faces), (std::vector<size_t>{4, 3, 4, 3, 4, 3, 3}))
            << "trial " << trial;
        for (size_t f = 0; f < faces.size(); ++f)
            ExpectCounterClockwise(faces[f], planes[f].normal);
    }
}

TEST(BrushCorners, RedundantAndDegeneratePlanesGiveNoFace) {
    auto v = [](double x, double y, double z) { return TMapVector{x, y, z}; };
    const std::vector<TBrushPlane> planes = {
        FacePlane(v(1, 0, 0), v(1, 1, 0), v(1, 1, 1)),
        FacePlane(v(0, 0, 0), v(0, 0, 1), v(0, 1, 1)),
        FacePlane(v(0, 1, 0), v(0, 1, 1), v(1, 1, 1)),
        FacePlane(v(0, 0, 0), v(1, 0, 0), v(1, 0, 1)),
        FacePlane(v(0, 0, 1), v(1, 0, 1), v(1, 1, 1)),
        FacePlane(v(0, 0, 0), v(0, 1, 0), v(1, 1, 0)),
        // Touches the cube only along its top +x edge.
        FacePlane(v(1, 0, 1), v(2, 0, 0), v(2, 1, 0)),
        // Three points on one line span no plane.
        BrushPlaneThrough(v(0, 0, 0), v(1, 1, 1), v(2, 2, 2)),
        // Lies wholly outside the cube's far side: cuts nothing.
        FacePlane(v(5, 0, 0), v(5, 1, 0), v(5, 1, 1))};
    EXPECT_FALSE(planes[7].valid);
    EXPECT_EQ(CornerCounts(BrushFaceCorners(planes)),
              (std::vector<size_t>{4, 4, 4, 4, 4, 4, 2, 0, 0}));
}

TEST(BrushCorners, OrderingKeepsTheFirstCornerAndRunsCounterClockwise) {
    std::vector<TMapVector> corners = {{1, 0, 0}, {-1, 0, 0}, {0, -1, 0}, {0.7, 0.7, 0}, {0, 1, 0}};
    OrderFaceCorners(corners, {0, 0, 1});
    const std::vector<std::pair<double, double>> expected = {
        {1, 0}, {0.7, 0.7}, {0, 1}, {-1, 0}, {0, -1}};
    ASSERT_EQ(corners.size(), expected.size());
    for (size_t i = 0; i < corners.size(); ++i) {
        EXPECT_EQ(corners[i].x, expected[i].first) << i;
        EXPECT_EQ(corners[i].y, expected[i].second) << i;
    }
}

} // namespace
} // namespace quillon
