#include "TestMeshes.h"

#include "lod/LodCalculation.h"

#include "skeletal/MDM.h"
#include "skeletal/MDX.h"
#include "skeletal/Pose.h"

#include "support/MD3Builder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace quillon::test {
namespace {

// One root bone; frame k turns it by k quarter turns of yaw, so frames pose differently.
TMDX TurningAnimation(int frames) {
    TMDX mdx;
    mdx.Header.numFrames = uint32_t(frames);
    mdx.Header.numBones = 1;
    mdx.Bones.resize(1);
    mdx.Frames.resize(size_t(frames));
    for (int k = 0; k < frames; ++k) {
        mdx.Frames[size_t(k)].BoneFrames.resize(1);
        mdx.Frames[size_t(k)].BoneFrames[0].angles[1] = int16_t((k % 4) * 16384);
    }
    return mdx;
}

// A surface whose vertices hang on the root bone with weight 1 so that, unturned, they pose
// exactly at the test mesh's positions; each vertex's texture coordinates hold its number.
TMDMSurface SurfaceOf(const TestMesh& m, const std::string& name) {
    TMDMSurface s;
    StringToName(name, s.name);
    s.numVerts = uint32_t(m.positions.size());
    s.numTriangles = uint32_t(m.triangles.size());
    for (size_t i = 0; i < m.positions.size(); ++i) {
        const TVector p = m.positions[i];
        TMDMVertex v;
        v.texCoords[0] = float(i);
        v.numWeights = 1;
        v.Weights.push_back({0, 1.0f, {p.x, -p.y, -p.z}});
        s.Vertices.push_back(v);
    }
    for (const TTriData& t : m.triangles)
        s.Triangles.push_back({{t.v[0], t.v[1], t.v[2]}});
    s.CollapseMap.assign(m.positions.size(), 0);
    return s;
}

TMDM MeshOf(const std::vector<TestMesh>& surfaces) {
    TMDM mdm;
    for (size_t i = 0; i < surfaces.size(); ++i)
        mdm.Surfaces.push_back(SurfaceOf(surfaces[i], "surface" + std::to_string(i)));
    mdm.Header.numSurfaces = uint32_t(surfaces.size());
    mdm.Header.lodScale = 3;
    mdm.Header.lodBias = 2;
    return mdm;
}

int DrawnTriangles(const TMDM& mdm, int surface, int n) {
    int drawn = 0;
    for (const TMDMTriangle& t : mdm.Surfaces[size_t(surface)].Triangles) {
        const int32_t a = Map(mdm, surface, t.indexes[0], n);
        const int32_t b = Map(mdm, surface, t.indexes[1], n);
        const int32_t c = Map(mdm, surface, t.indexes[2], n);
        drawn += a != b && b != c && a != c;
    }
    return drawn;
}

TEST(LodCalculation, StoresMapsMinimumsAndTheNewVertexOrder) {
    const TestMesh sphere = GeodesicSphere(3), grid = FlatGrid(4, 4);
    TMDM mdm = MeshOf({sphere, grid});
    const TMDX mdx = TurningAnimation(LodFrameMDM + 1);
    TCollapseMap map;
    const TLodReport report = CalculateLOD(map, mdm, mdx, LodFrameMDM);
    EXPECT_TRUE(report.Calculated);
    EXPECT_EQ(report.Frame, LodFrameMDM);
    EXPECT_TRUE(report.Messages.empty());
    EXPECT_EQ(mdm.Header.lodScale, 1.0f);
    EXPECT_EQ(mdm.Header.lodBias, 0.0f);
    EXPECT_TRUE(mdm.HasCollapseMap());

    EXPECT_EQ(mdm.Surfaces[0].minLod, 0); // closed
    EXPECT_EQ(mdm.Surfaces[1].minLod, 16);
    EXPECT_EQ(mdm.LODTable[0].numVerts, int32_t(sphere.positions.size()));
    EXPECT_EQ(mdm.LODTable[1].numVerts, 25);
    EXPECT_EQ(mdm.LODTable[1].minLod, 16);

    for (int i = 0; i < 2; ++i) {
        const TCollapseSlot& slot = map.Slot(i);
        const TMDMSurface& s = mdm.Surfaces[size_t(i)];
        const TestMesh& input = i == 0 ? sphere : grid;
        EXPECT_EQ(s.CollapseMap, slot.CollapseMap);
        for (size_t k = 0; k < input.positions.size(); ++k)
            EXPECT_EQ(s.Vertices[size_t(slot.Permutation[k])].texCoords[0], float(k));
        for (size_t t = 0; t < input.triangles.size(); ++t)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(s.Triangles[t].indexes[c],
                          slot.Permutation[size_t(input.triangles[t].v[size_t(c)])]);
        // All vertices draw the whole surface; one vertex draws nothing.
        EXPECT_EQ(DrawnTriangles(mdm, i, int(s.Vertices.size())), int(s.Triangles.size()));
        EXPECT_EQ(DrawnTriangles(mdm, i, 1), 0);
        EXPECT_LT(DrawnTriangles(mdm, i, int(s.Vertices.size()) / 2), int(s.Triangles.size()));
    }
}

TEST(LodCalculation, PosesInTheRequestedFrame) {
    TMDM mdm = MeshOf({FlatGrid(2, 3)});
    const TMDX mdx = TurningAnimation(3);
    TCollapseMap map;
    EXPECT_EQ(CalculateLOD(map, mdm, mdx, 1).Frame, 1);
    TMDM fresh = MeshOf({FlatGrid(2, 3)});
    Pose(fresh, mdx, 1, 0);
    EXPECT_EQ(map.Slot(0).Positions, fresh.PosedPositions);
}

TEST(LodCalculation, MissingFrameFallsBackToFrameZeroAndSaysSo) {
    TMDM mdm = MeshOf({FlatGrid(2, 3)});
    const TMDX mdx = TurningAnimation(3);
    TCollapseMap map;
    const TLodReport report = CalculateLOD(map, mdm, mdx, LodFrameMDS);
    EXPECT_TRUE(report.Calculated);
    EXPECT_EQ(report.Frame, 0);
    ASSERT_EQ(report.Messages.size(), 1u);
    EXPECT_EQ(report.Messages[0], "frame 3812 is not in the animation (3 frames): frame 0 used");
    EXPECT_EQ(map.Slot(0).Positions, FlatGrid(2, 3).positions);
}

TEST(LodCalculation, AnimationWithoutFramesChangesNothing) {
    TMDM mdm = MeshOf({FlatGrid(2, 2)});
    TCollapseMap map;
    const TLodReport report = CalculateLOD(map, mdm, TurningAnimation(0), 0);
    EXPECT_FALSE(report.Calculated);
    EXPECT_FALSE(report.Messages.empty());
    EXPECT_FALSE(mdm.HasCollapseMap());
    EXPECT_EQ(mdm.Header.lodScale, 3.0f);
    EXPECT_EQ(mdm.Surfaces[0].Vertices[4].texCoords[0], 4.0f);
}

TEST(LodCalculation, SurfacesBeyondTheSlotsKeepTheirData) {
    std::vector<TestMesh> surfaces(33, FlatGrid(1, 2));
    TMDM mdm = MeshOf(surfaces);
    mdm.Surfaces[32].minLod = 7;
    TCollapseMap map;
    const TLodReport report = CalculateLOD(map, mdm, TurningAnimation(1), 0);
    EXPECT_TRUE(report.Calculated);
    ASSERT_EQ(report.Messages.size(), 1u);
    EXPECT_EQ(report.Messages[0],
              "surface 32 \"surface32\" skipped: LOD data is kept for 32 surfaces only");
    EXPECT_EQ(mdm.Surfaces[31].minLod, 6);
    EXPECT_EQ(mdm.Surfaces[32].minLod, 7);
    EXPECT_EQ(mdm.Surfaces[32].CollapseMap, TIntArray(6, 0));
}

TEST(LodCalculation, TrianglesOnMissingVerticesAreReportedAndKept) {
    TestMesh grid = FlatGrid(2, 2);
    grid.Tri(0, 1, 99);
    TMDM mdm = MeshOf({grid});
    TCollapseMap map;
    const TLodReport report = CalculateLOD(map, mdm, TurningAnimation(1), 0);
    ASSERT_EQ(report.Messages.size(), 1u);
    EXPECT_NE(report.Messages[0].find("1 triangles name vertices that do not exist"),
              std::string::npos);
    EXPECT_EQ(mdm.Surfaces[0].Triangles.back().indexes[2], 99);
}

TEST(LodCalculation, SavedFileHoldsTheNewOrderAndLodData) {
    TMDM mdm = MeshOf({GeodesicSphere(2), FlatGrid(3, 2)});
    TCollapseMap map;
    CalculateLOD(map, mdm, TurningAnimation(2), 1);
    TempDir dir;
    ASSERT_TRUE(mdm.SaveToFile(dir.File("lod.mdm")));
    TMDM loaded;
    ASSERT_TRUE(loaded.LoadFromFile(dir.File("lod.mdm")));
    EXPECT_EQ(loaded.Header.lodScale, 1.0f);
    EXPECT_EQ(loaded.Header.lodBias, 0.0f);
    ASSERT_EQ(loaded.Surfaces.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(loaded.Surfaces[i].minLod, mdm.Surfaces[i].minLod);
        EXPECT_EQ(loaded.Surfaces[i].CollapseMap, mdm.Surfaces[i].CollapseMap);
        for (size_t k = 0; k < mdm.Surfaces[i].Vertices.size(); ++k)
            EXPECT_EQ(loaded.Surfaces[i].Vertices[k].texCoords[0],
                      mdm.Surfaces[i].Vertices[k].texCoords[0]);
        for (size_t t = 0; t < mdm.Surfaces[i].Triangles.size(); ++t)
            EXPECT_EQ(loaded.Surfaces[i].Triangles[t].indexes[0],
                      mdm.Surfaces[i].Triangles[t].indexes[0]);
    }
}

// The command line saves what the library computes, falls back to frame 0 with a message, and
// writes nothing for input it cannot use.
TEST(LodCalculation, CommandLineSavesTheLibraryResult) {
    TempDir dir;
    TMDM mdm = MeshOf({GeodesicSphere(2)});
    ASSERT_TRUE(mdm.SaveToFile(dir.File("in.mdm")));
    TMDX mdx = TurningAnimation(2);
    ASSERT_TRUE(mdx.SaveToFile(dir.File("a.mdx")));
    const std::string cli = std::string(QUILLON_CLI_PATH) + " lod " + dir.File("in.mdm") + " " +
                            dir.File("a.mdx") + " -o ";
    const std::string errors = " 2>" + dir.File("err.txt") + " >/dev/null";
    ASSERT_EQ(std::system((cli + dir.File("out.mdm") + errors).c_str()), 0);
    const std::vector<char> err = ReadBytes(dir.File("err.txt"));
    EXPECT_NE(std::string(err.begin(), err.end()).find("frame 0 used"), std::string::npos);
    TCollapseMap map;
    CalculateLOD(map, mdm, mdx, 0);
    ASSERT_TRUE(mdm.SaveToFile(dir.File("expected.mdm")));
    EXPECT_EQ(ReadBytes(dir.File("out.mdm")), ReadBytes(dir.File("expected.mdm")));

    EXPECT_NE(std::system((std::string(QUILLON_CLI_PATH) + " lod " + dir.File("a.mdx") + " " +
                           dir.File("a.mdx") + " -o " + dir.File("bad.mdm") + errors)
                              .c_str()),
              0)
        << "the animation given as the mesh";
    EXPECT_FALSE(std::filesystem::exists(dir.File("bad.mdm")));
}

TEST(LodCalculation, ReorderRefusesASlotOfAnotherSize) {
    TMDM mdm = MeshOf({FlatGrid(2, 2)});
    TCollapseMap map;
    const TestMesh other = FlatGrid(1, 1);
    ASSERT_TRUE(map.BuildCollapseMap(other.positions, other.triangles, 0));
    EXPECT_FALSE(Reorder(map, mdm, 0));
    EXPECT_FALSE(Reorder(map, mdm, 1));
    EXPECT_FALSE(Reorder(map, mdm, -1));
    EXPECT_EQ(mdm.Surfaces[0].Vertices[8].texCoords[0], 8.0f);
}

TEST(LodCalculation, MapFollowsTheChainAndAlwaysEndsBelowN) {
    TMDM mdm = MeshOf({FlatGrid(1, 1)});
    TIntArray& collapse = mdm.Surfaces[0].CollapseMap;
    collapse = {0, 0, 1, 2};
    EXPECT_EQ(Map(mdm, 0, 3, 4), 3);
    EXPECT_EQ(Map(mdm, 0, 3, 3), 2);
    EXPECT_EQ(Map(mdm, 0, 3, 2), 1);
    EXPECT_EQ(Map(mdm, 0, 3, 1), 0);
    EXPECT_EQ(Map(mdm, 0, 3, 0), 0);
    EXPECT_EQ(Map(mdm, 0, 3, -5), 0);

    // Damaged maps, as a file may hold them: a self loop, an upward step, a cycle, a
    // negative entry, an index past the map, a negative index and a missing surface.
    collapse = {0, 1, 3, 2};
    EXPECT_EQ(Map(mdm, 0, 1, 1), 0);
    EXPECT_EQ(Map(mdm, 0, 2, 2), 0);
    EXPECT_EQ(Map(mdm, 0, 3, 1), 0);
    collapse = {0, 0, -4, 2};
    EXPECT_EQ(Map(mdm, 0, 3, 2), 0);
    EXPECT_EQ(Map(mdm, 0, 3, 3), 2);
    EXPECT_EQ(Map(mdm, 0, 9000, 2), 0);
    EXPECT_EQ(Map(mdm, 0, -3, 2), 0);
    EXPECT_EQ(Map(mdm, 5, 3, 2), 0);
    EXPECT_EQ(Map(mdm, 5, 1, 2), 1);
}

} // namespace
} // namespace quillon::test
