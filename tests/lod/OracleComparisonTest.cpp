// The fast reduction against the plain one on generated surfaces of every kind the models
// bring: closed and open, split vertices, holes, repeated and collinear corners, unused
// vertices, non-manifold edges, coincident positions and exact cost ties.
#include "CollapseMapOracle.h"
#include "TestMeshes.h"

#include "lod/CollapseMap.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>

namespace quillon::test {
namespace {

void ExpectSameAsOracle(const TestMesh& mesh, const std::string& what) {
    SCOPED_TRACE(what + ", " + std::to_string(mesh.positions.size()) + " vertices, " +
                 std::to_string(mesh.triangles.size()) + " triangles");
    TCollapseMap map;
    ASSERT_TRUE(map.BuildCollapseMap(mesh.positions, mesh.triangles, 0));
    const OracleResult expected = OracleCollapseMap(mesh.positions, mesh.triangles);
    const TCollapseSlot& s = map.Slot(0);
    EXPECT_EQ(s.Permutation, expected.permutation);
    EXPECT_EQ(s.CollapseMap, expected.collapseMap);
    EXPECT_EQ(s.BoundaryCount, expected.boundaryCount);
}

float Wave(int x, int y) {
    return 0.3f * std::sin(0.7f * float(x)) * std::cos(0.45f * float(y));
}

TEST(OracleComparison, ClosedSurfaces) {
    for (int f = 1; f <= 7; ++f) {
        ExpectSameAsOracle(GeodesicSphere(f), "sphere " + std::to_string(f));
        ExpectSameAsOracle(Damaged(GeodesicSphere(f), {.jitter = 0.05}, f), "rough sphere");
        ExpectSameAsOracle(Renumbered(GeodesicSphere(f), f), "renumbered sphere");
    }
}

TEST(OracleComparison, OpenSurfacesWithTies) {
    // Flat grids have every interior cost at exactly 0 and every border cost at a penalty.
    for (const auto& [cols, rows] : {std::pair{1, 1}, {1, 5}, {3, 2}, {6, 6}, {17, 9}, {30, 30}})
        ExpectSameAsOracle(FlatGrid(cols, rows), "flat grid");
    for (int n : {2, 5, 12, 25})
        ExpectSameAsOracle(GridMesh(n, n + 3, Wave), "wavy grid");
}

TEST(OracleComparison, DamagedSurfaces) {
    const Damage kinds[] = {
        {.splitVertex = 0.2},
        {.dropTriangle = 0.15},
        {.repeatCorner = 0.2, .collinear = 0.1},
        {.nonManifold = 0.1},
        {.unusedVertices = 9},
        {.jitter = 0.4, .snap = 0.5},
        {.jitter = 0.1,
         .splitVertex = 0.1,
         .dropTriangle = 0.1,
         .repeatCorner = 0.1,
         .collinear = 0.05,
         .nonManifold = 0.05,
         .unusedVertices = 3,
         .snap = 0.25},
    };
    uint32_t seed = 1;
    for (const Damage& d : kinds)
        for (int round = 0; round < 4; ++round, ++seed) {
            ExpectSameAsOracle(Damaged(GeodesicSphere(2 + round), d, seed), "damaged sphere");
            ExpectSameAsOracle(Damaged(GridMesh(4 + 3 * round, 7, Wave), d, seed), "damaged grid");
            ExpectSameAsOracle(Damaged(FlatGrid(3 + round, 3), d, seed), "damaged flat grid");
        }
}

// A disc (or, with height, a cone) of n triangles around one centre vertex; a second ring
// around the first makes the rim vertices interior. Valences from 3 to far above the usual 6.
TestMesh Fan(int n, float height) {
    TestMesh mesh;
    const int32_t centre = mesh.Add({0, 0, height});
    const auto ring = [&](float radius) {
        const auto first = int32_t(mesh.positions.size());
        for (int i = 0; i < n; ++i) {
            const float a = 6.2831853f * float(i) / float(n);
            mesh.Add({radius * std::cos(a), radius * std::sin(a), 0});
        }
        return first;
    };
    const int32_t inner = ring(1), outer = ring(2);
    for (int i = 0; i < n; ++i) {
        const int32_t a = inner + i, b = inner + (i + 1) % n;
        mesh.Tri(centre, a, b);
        mesh.Tri(a, outer + i, outer + (i + 1) % n);
        mesh.Tri(a, outer + (i + 1) % n, b);
    }
    return mesh;
}

TEST(OracleComparison, HighValenceAndManySidedEdges) {
    // Flat fans tie everywhere, so only the neighbour and face orders decide.
    for (int n = 3; n <= 26; ++n) {
        ExpectSameAsOracle(Fan(n, 0), "flat fan " + std::to_string(n));
        ExpectSameAsOracle(Renumbered(Fan(n, 0.4f), uint32_t(n)), "cone " + std::to_string(n));
    }
    // Edges with three or more triangles, and edges with one, on flat and curved surfaces.
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        ExpectSameAsOracle(Damaged(FlatGrid(8, 6), {.nonManifold = 0.4}, seed), "flat book");
        ExpectSameAsOracle(Damaged(Fan(11, 0.3f), {.dropTriangle = 0.1, .nonManifold = 0.5}, seed),
                           "damaged cone");
    }
}

TEST(OracleComparison, PositionsBrokenByNaNOrInfinity) {
    // Their costs are NaN, which must neither be taken as cheap nor upset the ordering.
    for (uint32_t seed = 0; seed < 24; ++seed) {
        TestMesh mesh = seed % 2 ? Damaged(GeodesicSphere(3), {.jitter = 0.1}, seed)
                                 : FlatGrid(5 + int(seed % 7), 4);
        std::mt19937 random(seed);
        const float broken = seed % 4 == 0 ? std::numeric_limits<float>::infinity()
                                           : std::numeric_limits<float>::quiet_NaN();
        for (uint32_t i = 0; i <= seed % 3; ++i)
            mesh.positions[random() % mesh.positions.size()].x = broken;
        ExpectSameAsOracle(mesh, "broken positions");
    }
}

TEST(OracleComparison, TriangleSoups) {
    for (uint32_t seed = 0; seed < 60; ++seed) {
        const int vertices = 1 + int(seed % 20);
        ExpectSameAsOracle(TriangleSoup(vertices, int(seed % 7) * vertices / 2, seed), "soup");
    }
    ExpectSameAsOracle(TriangleSoup(300, 900, 99), "large soup");
}

TEST(OracleComparison, FullSizeSurfaces) {
    ExpectSameAsOracle(GridMesh(59, 99, Wave), "6000-vertex grid");
    ExpectSameAsOracle(Damaged(GeodesicSphere(17), {.jitter = 0.01, .splitVertex = 0.05}, 7),
                       "2900-vertex sphere");
}

} // namespace
} // namespace quillon::test
