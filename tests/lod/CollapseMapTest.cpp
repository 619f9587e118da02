#include "TestMeshes.h"

#include "lod/CollapseMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quillon::test {
namespace {

const TCollapseSlot& Build(TCollapseMap& map, const TestMesh& mesh, int slot = 0) {
    EXPECT_TRUE(map.BuildCollapseMap(mesh.positions, mesh.triangles, slot));
    return map.Slot(slot);
}

// Every progressive mesh must satisfy these, whatever its input.
void ExpectWellFormed(const TCollapseSlot& s) {
    const size_t n = s.Permutation.size();
    ASSERT_EQ(s.CollapseMap.size(), n);
    std::vector<bool> seen(n, false);
    for (int32_t p : s.Permutation) {
        ASSERT_TRUE(p >= 0 && size_t(p) < n) << p;
        EXPECT_FALSE(seen[size_t(p)]) << "new number " << p << " given twice";
        seen[size_t(p)] = true;
    }
    if (n > 0) {
        EXPECT_EQ(s.CollapseMap[0], 0);
    }
    for (size_t k = 1; k < n; ++k)
        EXPECT_LT(s.CollapseMap[k], int32_t(k)) << "entry " << k;
    for (int32_t e : s.CollapseMap)
        EXPECT_GE(e, 0);
}

TestMesh Quad() {
    TestMesh m;
    m.Add({0, 0, 0});
    m.Add({1, 0, 0});
    m.Add({1, 1, 0});
    m.Add({0, 1, 0});
    m.Tri(0, 1, 2);
    m.Tri(0, 2, 3);
    return m;
}

TEST(CollapseMap, QuadIsReducedInTheOrderTheCostsAndTiesGive) {
    // All four vertices are on the boundary and the quad is flat, so every cost is the
    // boundary-onto-boundary penalty and only the tie rules decide: the lowest vertex number
    // goes first, onto its first neighbour.
    TCollapseMap map;
    const TCollapseSlot& s = Build(map, Quad());
    EXPECT_EQ(s.Permutation, (TIntArray{3, 2, 1, 0}));
    EXPECT_EQ(s.CollapseMap, (TIntArray{0, 0, 1, 2}));
    EXPECT_EQ(s.BoundaryCount, 4);
}

TEST(CollapseMap, ClosedSurfaceNeverReachesTheBoundaryCount) {
    TCollapseMap map;
    const TCollapseSlot& s = Build(map, GeodesicSphere(3));
    EXPECT_EQ(s.BoundaryCount, 0);
    ExpectWellFormed(s);
}

TEST(CollapseMap, OpenGridRecordsTheVerticesLeftWhenOnlyTheBorderRemains) {
    // A 4 x 4 flat grid: its 9 interior vertices collapse at no cost while the 16 border
    // vertices stay, so the count is taken with exactly 16 vertices left.
    TCollapseMap map;
    const TCollapseSlot& s = Build(map, FlatGrid(4, 4));
    EXPECT_EQ(s.BoundaryCount, 16);
    ExpectWellFormed(s);
}

TEST(CollapseMap, UnusedAndDegenerateOnlyVerticesGoFirstOntoVertexZero) {
    TestMesh m = Quad();
    const int32_t unused = m.Add({5, 5, 5});
    const int32_t degenerateOnly = m.Add({6, 6, 6});
    m.Tri(degenerateOnly, degenerateOnly, 1); // ignored: gives vertex 5 no neighbours
    TCollapseMap map;
    const TCollapseSlot& s = Build(map, m);
    EXPECT_EQ(s.Permutation[size_t(unused)], 5);
    EXPECT_EQ(s.Permutation[size_t(degenerateOnly)], 4);
    EXPECT_EQ(s.CollapseMap[5], 0);
    EXPECT_EQ(s.CollapseMap[4], 0);
    // The quad itself is reduced as without them.
    EXPECT_EQ(s.Permutation[0], 3);
    EXPECT_EQ(s.Permutation[3], 0);
    EXPECT_EQ(s.BoundaryCount, 4);
}

TEST(CollapseMap, EmptyAndSingleVertexSurfaces) {
    TCollapseMap map;
    const TCollapseSlot& empty = Build(map, TestMesh{});
    EXPECT_TRUE(empty.Permutation.empty());
    EXPECT_EQ(empty.BoundaryCount, 0);
    TestMesh one;
    one.Add({1, 2, 3});
    const TCollapseSlot& s = Build(map, one);
    EXPECT_EQ(s.Permutation, TIntArray{0});
    EXPECT_EQ(s.CollapseMap, TIntArray{0});
}

TEST(CollapseMap, CostIsLengthTimesCurvaturePlusBoundaryPenalties) {
    // 2 x 2 flat grid: vertex 4 is the centre, the others lie on the border.
    const TestMesh flat = FlatGrid(2, 2);
    const TCollapseMesh mesh(flat.positions, flat.triangles);
    EXPECT_FALSE(mesh.IsBoundary(4));
    EXPECT_TRUE(mesh.IsBoundary(0));
    EXPECT_TRUE(mesh.IsBoundary(1));
    EXPECT_EQ(mesh.Cost(4, 0), 0.0f);
    EXPECT_EQ(mesh.Cost(0, 4), 100000.0f);
    EXPECT_EQ(mesh.Cost(0, 1), 10000.0f);

    // A fold of 90 degrees along the edge between two triangles: curvature 1/2.
    TestMesh fold;
    fold.Add({0, 0, 0});
    fold.Add({0, 2, 0});
    fold.Add({1, 0, 0});
    fold.Add({0, 0, 1});
    fold.Tri(0, 1, 2);
    fold.Tri(0, 3, 1);
    const TCollapseMesh folded(fold.positions, fold.triangles);
    // Vertex 2 onto 0: length 1; its only triangle is the side itself, curvature 0.
    EXPECT_EQ(folded.Cost(2, 0), 10000.0f);
    // Vertex 0 onto 2: length 1; the other triangle of 0 is at 90 degrees to the side.
    EXPECT_NEAR(folded.Cost(0, 2) - 10000.0f, 0.5f, 1e-3f);
}

TEST(CollapseMap, VerticesAtTheSamePositionCollapseAtNoCost) {
    TestMesh sphere = GeodesicSphere(1);
    sphere.positions[1] = sphere.positions[0]; // corners 0 and 1 share an edge
    const TCollapseMesh mesh(sphere.positions, sphere.triangles);
    EXPECT_FALSE(mesh.IsBoundary(0));
    EXPECT_EQ(mesh.Cost(0, 1), 0.0f);
    EXPECT_EQ(mesh.Vertex(0).cost, 0.0f);
}

TEST(CollapseMap, TrianglesOnMissingVerticesAreCountedAndIgnored) {
    const TestMesh clean = GeodesicSphere(2);
    TestMesh broken = clean;
    const auto n = int32_t(clean.positions.size());
    broken.triangles.insert(broken.triangles.begin() + 3, {{0, n, 1}});
    broken.Tri(-1, 2, 3);
    broken.Tri(std::numeric_limits<int32_t>::max(), 0, 1);
    TCollapseMap map;
    const TCollapseSlot expected = Build(map, clean, 0);
    const TCollapseSlot& s = Build(map, broken, 1);
    EXPECT_EQ(s.InvalidTriangles, 3);
    EXPECT_EQ(s.Permutation, expected.Permutation);
    EXPECT_EQ(s.CollapseMap, expected.CollapseMap);
}

TEST(CollapseMap, BrokenPositionsStillGiveAProgressiveMesh) {
    // NaN and infinite positions make costs NaN, so such vertices find no candidate; they
    // must leave with their triangles instead of leaving triangles on a removed vertex.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (const float bad : {nan, inf, 1e30f}) {
        TestMesh sphere = GeodesicSphere(3);
        for (size_t i = 0; i < sphere.positions.size(); i += 7)
            sphere.positions[i] = {bad, 0, -bad};
        TCollapseMap map;
        ExpectWellFormed(Build(map, sphere));
    }
}

TEST(CollapseMap, SlotsAreIndependentAndBoundedToThirtyTwo) {
    TCollapseMap map;
    const TestMesh quad = Quad();
    EXPECT_FALSE(map.BuildCollapseMap(quad.positions, quad.triangles, -1));
    EXPECT_FALSE(map.BuildCollapseMap(quad.positions, quad.triangles, TCollapseMap::SlotCount));
    Build(map, quad, 31);
    Build(map, GeodesicSphere(2), 30);
    EXPECT_EQ(map.Slot(31).Permutation, (TIntArray{3, 2, 1, 0}));
    EXPECT_EQ(map.Slot(31).BoundaryCount, 4);
    EXPECT_EQ(map.Slot(30).Positions.size(), GeodesicSphere(2).positions.size());
    // Computing a slot again replaces its results.
    Build(map, TestMesh{}, 31);
    EXPECT_TRUE(map.Slot(31).Permutation.empty());
    EXPECT_EQ(map.Slot(31).BoundaryCount, 0);
}

} // namespace
} // namespace quillon::test
