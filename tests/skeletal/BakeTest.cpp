#include "SkeletalBuilder.h"
#include "support/MD3Builder.h"

#include "skeletal/Bake.h"
#include "skeletal/BakeVersions.h"
#include "skeletal/Pose.h"
#include "skeletal/SkeletalEdits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace quillon::test {
namespace {

TEST(Bake, OneFrameRangeTakesThatMDXFrame) {
    TMDM mesh = BuildMDM({2, 5, 2, 3, 1, 2, 4});
    const TMDX mdx = BuildMDX(8, 4);
    TMD3 md3;
    ASSERT_EQ(BakeToMD3(mesh, mdx, 5, 5, md3), std::nullopt);
    const THeader& h = md3.Header;
    EXPECT_EQ(h.numFrames, 1u);
    EXPECT_EQ(h.numTags, 2u);
    EXPECT_EQ(h.numSurfaces, 2u);
    EXPECT_EQ(NameToString(h.name), "models/test/mesh");
    EXPECT_EQ(h.Frames[0].radius, mdx.Frames[5].radius);
    EXPECT_EQ(h.Frames[0].localOrigin, mdx.Frames[5].localOrigin); // bounds are not negated
    EXPECT_EQ(std::string(h.Frames[0].name, 16), std::string("Q Export\0       ", 16));

    Pose(mesh, mdx, 5, 1);
    const TSurface& s = h.Surfaces[1];
    EXPECT_EQ(NameToString(s.Shaders[0].name), "models/test/skin1.tga");
    EXPECT_EQ(s.Triangles[2].indexes[1], mesh.Surfaces[1].Triangles[2].indexes[1]);
    EXPECT_FLOAT_EQ(s.TexCoords[3].t, 1.0f - mesh.Surfaces[1].Vertices[3].texCoords[1]);
    for (size_t v = 0; v < 5; ++v) {
        EXPECT_EQ(s.Vertices[v].x, std::lrint(mesh.PosedPositions[v].x * 64));
        EXPECT_EQ(s.Vertices[v].z, std::lrint(mesh.PosedPositions[v].z * 64));
        EXPECT_EQ(s.Vertices[v].normal, TMD3::EncodeNormal(mesh.PosedNormals[v]));
    }
    EXPECT_EQ(h.Tags[1].origin, mesh.TagPositions[1]);
    EXPECT_EQ(NameToString(h.Tags[1].name), "tag_1");
}

TEST(Bake, FramesAreLaidOutFrameMajorAndSave) {
    TempDir dir;
    TMDM mesh = BuildMDM({1, 4, 2, 2, 1, 3, 4});
    const TMDX mdx = BuildMDX(6, 4);
    TMD3 md3;
    ASSERT_EQ(BakeToMD3(mesh, mdx, 1, 4, md3), std::nullopt);
    ASSERT_EQ(md3.Header.Tags.size(), 4u * 3);
    Pose(mesh, mdx, 3, 0);
    EXPECT_EQ(md3.Header.Tags[2 * 3 + 1].origin, mesh.TagPositions[1]);
    EXPECT_EQ(md3.Header.Surfaces[0].Vertices[2 * 4 + 3].y,
              std::lrint(mesh.PosedPositions[3].y * 64));
    ASSERT_TRUE(md3.SaveToFile(dir.File("baked.md3")));
    TMD3 again;
    ASSERT_TRUE(again.LoadFromFile(dir.File("baked.md3")));
    EXPECT_EQ(again.Header.numFrames, 4u);
    EXPECT_FLOAT_EQ(again.Header.Surfaces[0].TexCoords[1].t, md3.Header.Surfaces[0].TexCoords[1].t);
}

TEST(Bake, MeshWithoutSurfacesStillGetsTags) {
    TMDM mesh = BuildMDM({0, 0, 0, 0, 0, 2, 4});
    TMD3 md3;
    ASSERT_EQ(BakeToMD3(mesh, BuildMDX(3, 4), 0, 2, md3), std::nullopt);
    EXPECT_EQ(md3.Header.numSurfaces, 0u);
    EXPECT_EQ(md3.Header.Tags.size(), 6u);
    EXPECT_NE(md3.Header.Tags[5].origin, VectorZero());
}

TEST(Bake, RefusedRangesAndCoordinatesOutOfRange) {
    TMDM mesh = BuildMDM({});
    const TMDX mdx = BuildMDX(4, 4);
    TMD3 md3;
    EXPECT_NE(BakeToMD3(mesh, mdx, 3, 2, md3), std::nullopt);
    EXPECT_NE(BakeToMD3(mesh, mdx, 0, 4, md3), std::nullopt);
    EXPECT_NE(BakeToMD3(mesh, mdx, -1, 1, md3), std::nullopt);

    // 600 units would be 38400 in the int16 field.
    mesh.Surfaces[1].Vertices[2].Weights = {{0, 1.0f, {600, 0, 0}}};
    mesh.Surfaces[1].Vertices[2].numWeights = 1;
    const auto error = BakeToMD3(mesh, BuildMDX(4, 1), 0, 3, md3);
    ASSERT_NE(error, std::nullopt);
    EXPECT_NE(error->find("frame 0"), std::string::npos) << *error;
    EXPECT_NE(error->find("surface 1"), std::string::npos) << *error;
    EXPECT_NE(error->find("vertex 2"), std::string::npos) << *error;
    EXPECT_EQ(md3.Header.numSurfaces, 0u);
    EXPECT_TRUE(md3.Header.Surfaces.empty());
}

// The bake as it reads when each frame is posed anew for every surface.
void ExpectSameAsPosingEverySurface(TMDM& mesh, const TMDX& mdx, int start, const TMD3& md3) {
    const THeader& h = md3.Header;
    for (uint32_t f = 0; f < h.numFrames; ++f) {
        Pose(mesh, mdx, start + int(f), 0);
        for (size_t t = 0; t < mesh.Tags.size(); ++t) {
            ASSERT_EQ(h.Tags[f * mesh.Tags.size() + t].origin, mesh.TagPositions[t]);
            ASSERT_EQ(h.Tags[f * mesh.Tags.size() + t].axis[2], mesh.TagAxes[t][2]);
        }
        for (size_t s = 0; s < mesh.Surfaces.size(); ++s) {
            Pose(mesh, mdx, start + int(f), int(s));
            const size_t numVerts = mesh.PosedPositions.size();
            for (size_t v = 0; v < numVerts; ++v) {
                const TMD3Vertex& baked = h.Surfaces[s].Vertices[f * numVerts + v];
                const TVector p = mesh.PosedPositions[v];
                ASSERT_EQ(baked.x, std::nearbyint(p.x * 64)) << f << " " << s << " " << v;
                ASSERT_EQ(baked.y, std::nearbyint(p.y * 64)) << f << " " << s << " " << v;
                ASSERT_EQ(baked.z, std::nearbyint(p.z * 64)) << f << " " << s << " " << v;
                ASSERT_EQ(baked.normal, TMD3::EncodeNormal(mesh.PosedNormals[v]));
            }
        }
    }
}

TEST(Bake, PlacingTheBonesOncePerFrameChangesNoValue) {
    TMDM mesh = BuildMDM({3, 40, 3, 2, 7, 3, 9});
    const TMDX mdx = BuildMDX(30, 9);
    // Normals of every direction, so that the codes come from every octant and both poles.
    for (size_t v = 0; v < mesh.Surfaces[1].Vertices.size(); ++v)
        mesh.Surfaces[1].Vertices[v].normal = {float(int(v % 3) - 1), float(int(v / 3 % 3) - 1),
                                               float(int(v / 9 % 3) - 1)};
    for (const unsigned threads : {1u, 3u}) {
        TMD3 md3;
        ASSERT_EQ(BakeToMD3(mesh, mdx, 4, 27, md3, threads), std::nullopt);
        ExpectSameAsPosingEverySurface(mesh, mdx, 4, md3);
    }
}

TEST(Bake, EveryThreadCountGivesTheSameBytesAndLeavesTheMeshAlone) {
    TempDir dir;
    TMDM mesh = BuildMDM({3, 37, 3, 2, 7, 3, 9});
    const TMDX mdx = BuildMDX(40, 9);
    Pose(mesh, mdx, 2, 1);
    const std::vector<TVector> posed = mesh.PosedPositions, tags = mesh.TagPositions;
    std::vector<char> first;
    // More threads than frames too; zero threads is taken as one.
    for (const unsigned threads : {1u, 2u, 3u, 8u, 64u, 0u}) {
        TMD3 md3;
        ASSERT_EQ(BakeToMD3(mesh, mdx, 3, 35, md3, threads), std::nullopt);
        const std::string path = dir.File("baked" + std::to_string(threads) + ".md3");
        ASSERT_TRUE(md3.SaveToFile(path));
        if (first.empty())
            first = ReadBytes(path);
        else
            EXPECT_EQ(ReadBytes(path), first) << threads << " threads";
    }
    EXPECT_EQ(mesh.PosedPositions, posed);
    EXPECT_EQ(mesh.TagPositions, tags);
}

// The coordinate bounds as the field meets them: 32767.5 / 64 rounds to 32768 and fails,
// -32768.5 / 64 rounds to -32768 and fits.
TEST(Bake, CoordinatesAtTheEdgeOfTheField) {
    TMDX mdx = BuildMDX(1, 1);
    mdx.Frames[0].BoneFrames[0] = TMDXBoneFrame{};
    TMDM mesh = BuildMDM({1, 6, 1, 1, 1, 0, 1});
    const float offsets[6] = {32767.49f / 64, -32768.5f / 64, 0.5f / 64,
                              1.5f / 64,      -2.5f / 64,     32766.5f / 64};
    for (int v = 0; v < 6; ++v)
        mesh.Surfaces[0].Vertices[v].Weights = {{0, 1, {offsets[v], 0, 0}}};
    TMD3 md3;
    ASSERT_EQ(BakeToMD3(mesh, mdx, 0, 0, md3), std::nullopt);
    const std::vector<TMD3Vertex>& baked = md3.Header.Surfaces[0].Vertices;
    const int16_t expected[6] = {32767, -32768, 0, 2, -2, 32766};
    for (int v = 0; v < 6; ++v)
        EXPECT_EQ(baked[v].x, expected[v]) << v;

    for (const float bad : {32767.5f / 64, -32768.51f / 64, NAN, INFINITY, 1e30f}) {
        mesh.Surfaces[0].Vertices[4].Weights = {{0, 1, {bad, 0, 0}}};
        const auto error = BakeToMD3(mesh, mdx, 0, 0, md3);
        ASSERT_NE(error, std::nullopt) << bad;
        EXPECT_NE(error->find("vertex 4"), std::string::npos) << *error;
    }
}

TEST(Bake, ReportsTheLowestFailingSurfaceAtItsFirstFailingFrame) {
    // Two unrotated bones at the origin; bone 1 is turned half about z except in frame 2, so
    // surface 0's vertex, 400 units out on both bones, reaches 800 units in frame 2 only.
    TMDX mdx = BuildMDX(3, 2);
    for (TMDXBoneInfo& bone : mdx.Bones)
        bone.parentDist = 0;
    for (TMDXFrame& frame : mdx.Frames)
        for (TMDXBoneFrame& bone : frame.BoneFrames)
            bone = TMDXBoneFrame{};
    mdx.Frames[0].BoneFrames[1].angles[1] = mdx.Frames[1].BoneFrames[1].angles[1] = -32768;
    TMDM mesh = BuildMDM({2, 3, 1, 1, 2, 0, 2});
    mesh.Surfaces[0].Vertices[1].Weights = {{0, 1, {400, 0, 0}}, {1, 1, {400, 0, 0}}};
    mesh.Surfaces[1].Vertices[0].Weights = {{0, 1, {600, 0, 0}}}; // fails in every frame
    // Whichever thread meets which failure first.
    for (const unsigned threads : {1u, 2u, 3u}) {
        TMD3 md3;
        const auto error = BakeToMD3(mesh, mdx, 0, 2, md3, threads);
        ASSERT_NE(error, std::nullopt);
        EXPECT_EQ(error->substr(0, 19), "frame 2, surface 0 ") << *error;
        EXPECT_NE(error->find("vertex 1"), std::string::npos) << *error;
        EXPECT_TRUE(md3.Header.Surfaces.empty());
    }
}

// Vertex counts that leave the last group of eight short, a vertex out of range in such a group,
// and every version of the lane code: the same bytes and the same failure.
TEST(Bake, EveryVersionGivesTheSameBytesAndFailure) {
    TMDM mesh = BuildMDM({3, 13, 3, 2, 7, 3, 9});
    mesh.Surfaces[1].Vertices.resize(8);
    mesh.Surfaces[2].Vertices.resize(1);
    const TMDX mdx = BuildMDX(12, 9);
    std::vector<std::vector<TMD3Vertex>> first;
    for (const TInstructionSet set : {TInstructionSet::AnyProcessor, TInstructionSet::Avx2}) {
        if (!HasInstructionSet(set))
            continue;
        TMD3 md3;
        ASSERT_EQ(BakeToMD3(mesh, mdx, 1, 11, md3, 2, set), std::nullopt);
        std::vector<std::vector<TMD3Vertex>> vertices;
        for (const TSurface& surface : md3.Header.Surfaces)
            vertices.push_back(surface.Vertices);
        if (first.empty())
            first = vertices;
        for (size_t s = 0; s < first.size(); ++s)
            EXPECT_EQ(std::memcmp(vertices[s].data(), first[s].data(),
                                  first[s].size() * sizeof(TMD3Vertex)),
                      0)
                << int(set) << " surface " << s;
    }
    mesh.Surfaces[0].Vertices[10].Weights = {{0, 1, {0, 600, 0}}};
    for (const TInstructionSet set : {TInstructionSet::AnyProcessor, TInstructionSet::Avx2}) {
        if (!HasInstructionSet(set))
            continue;
        TMD3 md3;
        const auto error = BakeToMD3(mesh, mdx, 1, 11, md3, 1, set);
        ASSERT_NE(error, std::nullopt);
        EXPECT_EQ(error->substr(0, error->find(':')), "frame 1, surface 0 \"surface0\", vertex 10");
    }
}

TEST(Bake, RangeText) {
    EXPECT_EQ(FramesRangeText(0, 39), "Frames:0 to 39");
}

TEST(SkeletalEdits, DefaultBoneNamesOnlyFor53Bones) {
    TMDX mdx = BuildMDX(1, 52);
    EXPECT_FALSE(SetDefaultBoneNames(mdx));
    EXPECT_EQ(NameToString(mdx.Bones[0].name), "bone0");
    mdx = BuildMDX(1, 53);
    ASSERT_TRUE(SetDefaultBoneNames(mdx));
    EXPECT_EQ(NameToString(mdx.Bones[0].name), "Bip01 Pelvis");
    EXPECT_EQ(NameToString(mdx.Bones[29].name), "Bip01 R Hand");
    EXPECT_EQ(NameToString(mdx.Bones[52].name), "Bip01 R Toe0");
}

TEST(SkeletalEdits, ScaleWeightsScalesThePosedMeshAboutTheOrigin) {
    TMDM mesh = BuildMDM({});
    const TMDX mdx = BuildMDX(2, 4);
    Pose(mesh, mdx, 1, 0);
    const TVector before = mesh.PosedPositions[2];
    const TVector tagBefore = mesh.TagPositions[0];
    for (const char* rejected : {"", "abc", "1", "1.0", "2,5", "nan"})
        EXPECT_FALSE(ScaleWeights(mesh, rejected)) << rejected;
    ASSERT_TRUE(ScaleWeights(mesh, "2.5"));
    Pose(mesh, mdx, 1, 0);
    EXPECT_NEAR(mesh.PosedPositions[2].x, before.x * 2.5f, 1e-4f);
    EXPECT_NEAR(mesh.PosedPositions[2].z, before.z * 2.5f, 1e-4f);
    EXPECT_EQ(mesh.TagPositions[0], tagBefore);
}

} // namespace
} // namespace quillon::test
