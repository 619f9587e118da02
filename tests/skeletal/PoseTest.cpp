#include "SkeletalBuilder.h"

#include "skeletal/Pose.h"
#include "skeletal/PoseVersions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace quillon::test {
namespace {

constexpr float Tolerance = 1e-4f;

void ExpectNear(TVector actual, TVector expected) {
    EXPECT_NEAR(actual.x, expected.x, Tolerance);
    EXPECT_NEAR(actual.y, expected.y, Tolerance);
    EXPECT_NEAR(actual.z, expected.z, Tolerance);
}

// An animation of one frame whose bones are given directly.
TMDX OneFrame(const std::vector<TMDXBoneInfo>& bones, const std::vector<TMDXBoneFrame>& records) {
    TMDX mdx;
    mdx.Bones = bones;
    mdx.Header.numBones = uint32_t(bones.size());
    TMDXFrame frame;
    frame.BoneFrames = records;
    mdx.Frames = {frame};
    mdx.Header.numFrames = 1;
    return mdx;
}

TMDXBoneInfo Bone(int32_t parent, float parentDist) {
    TMDXBoneInfo bone;
    bone.parent = parent;
    bone.parentDist = parentDist;
    return bone;
}

// A mesh of one surface whose single vertex carries the given weights.
TMDM OneVertex(const std::vector<TMDMWeight>& weights, TVector normal = {0, 0, 1}) {
    TMDM mesh;
    TMDMSurface surface;
    TMDMVertex vertex;
    vertex.normal = normal;
    vertex.Weights = weights;
    vertex.numWeights = uint32_t(weights.size());
    surface.Vertices = {vertex};
    surface.numVerts = 1;
    mesh.Surfaces = {surface};
    mesh.Header.numSurfaces = 1;
    return mesh;
}

TEST(Pose, RootAndChildBonePositions) {
    TMDXBoneFrame root;
    root.ofsAngles[0] = 1234; // a root ignores its direction and distance
    TMDXBoneFrame child;
    child.ofsAngles[0] = 16384;
    TMDM mesh = OneVertex({});
    Pose(mesh, OneFrame({Bone(-1, 7), Bone(0, 10)}, {root, child}), 0, 0);
    ASSERT_EQ(mesh.BonePositions.size(), 2u);
    ExpectNear(mesh.BonePositions[0], {0, 0, 0});
    ExpectNear(mesh.BonePositions[1], {0, 0, 10});
}

TEST(Pose, VertexOnUnrotatedRootMirrorsYAndZ) {
    TMDM mesh = OneVertex({{0, 1.0f, {1, 2, 3}}}, {0, 1, 0});
    Pose(mesh, OneFrame({Bone(-1, 0)}, {TMDXBoneFrame{}}), 0, 0);
    ExpectNear(mesh.PosedPositions[0], {1, -2, -3});
    ExpectNear(mesh.PosedNormals[0], {0, -1, 0});
}

TEST(Pose, YawTurnsOffsetsAboutZ) {
    TMDXBoneFrame yaw;
    yaw.angles[1] = 16384;
    TMDM mesh = OneVertex({{0, 1.0f, {1, 0, 0}}});
    Pose(mesh, OneFrame({Bone(-1, 0)}, {yaw}), 0, 0);
    ExpectNear(mesh.PosedPositions[0], {0, 1, 0});
}

TEST(Pose, WeightsAreSummedAsTheyAre) {
    // Two bones at different places; weights 0.5 + 0.75 are not normalised.
    TMDXBoneFrame flat;
    TMDM mesh = OneVertex({{0, 0.5f, {2, 0, 0}}, {1, 0.75f, {0, 0, 4}}});
    Pose(mesh, OneFrame({Bone(-1, 0), Bone(0, 8)}, {flat, flat}), 0, 0);
    // Bone 1 sits at (8, 0, 0); 0.5 * (2, 0, 0) + 0.75 * (8, 0, 4) = (7, 0, 3), z negated.
    ExpectNear(mesh.PosedPositions[0], {7, 0, -3});
    ExpectNear(mesh.PosedNormals[0], {0, 0, -1.25f});
}

TEST(Pose, ChildPositionFollowsTheParentChain) {
    // Compare with the formula: each bone adds parentDist along its own direction.
    const TMDX mdx = BuildMDX(2, 4);
    TMDM mesh = OneVertex({});
    Pose(mesh, mdx, 1, 0);
    TVector expected{};
    for (int b = 1; b < 4; ++b) {
        expected = VectorAdd(
            expected, BoneOffsetFromParent(mdx.Frames[1].BoneFrames[b], mdx.Bones[b].parentDist));
        ExpectNear(mesh.BonePositions[b], {expected.x, expected.y, -expected.z});
    }
    // The stored inverse really inverts the rotation.
    const TMatrix product = MatrixMultiply(mesh.BoneRotations[3], mesh.BoneInverseRotations[3]);
    for (int k = 0; k < 16; ++k)
        EXPECT_NEAR(product[k], IdentityMatrix()[k], Tolerance);
}

TEST(Pose, TagsFollowTheirBone) {
    TMDXBoneFrame yaw;
    yaw.angles[1] = 16384;
    TMDM mesh = OneVertex({});
    TMDMTag tag;
    tag.boneIndex = 1;
    tag.offset = {1, 0, 0};
    tag.axis[0] = {1, 0, 0};
    tag.axis[1] = {0, 1, 0};
    tag.axis[2] = {0, 0, 1};
    mesh.Tags = {tag};
    mesh.Header.numTags = 1;
    Pose(mesh, OneFrame({Bone(-1, 0), Bone(0, 5)}, {TMDXBoneFrame{}, yaw}), 0, 0);
    ExpectNear(mesh.TagPositions[0], {5, 1, 0});
    ExpectNear(mesh.TagAxes[0][0], {0, 1, 0});
    ExpectNear(mesh.TagAxes[0][1], {-1, 0, 0});
    ExpectNear(mesh.TagAxes[0][2], {0, 0, -1});
}

TEST(Pose, ReferencesOutsideTheAnimationNeverReadOutOfBounds) {
    TMDM mesh = OneVertex({{-1, 0.5f, {100, 0, 0}}, {7, 0.5f, {100, 0, 0}}, {0, 0.5f, {2, 0, 0}}});
    TMDMTag tag;
    tag.boneIndex = 2;
    tag.offset = {9, 9, 9};
    tag.axis[0] = {1, 0, 0};
    mesh.Tags = {tag};
    mesh.Header.numTags = 1;
    Pose(mesh, OneFrame({Bone(-1, 0), Bone(0, 3)}, {TMDXBoneFrame{}, TMDXBoneFrame{}}), 0, 0);
    ExpectNear(mesh.PosedPositions[0], {1, 0, 0}); // only the valid weight counts
    ExpectNear(mesh.TagPositions[0], {0, 0, 0});
    ExpectNear(mesh.TagAxes[0][0], {1, 0, 0});
}

TEST(Pose, ParentNotBeforeItsBoneIsARoot) {
    TMDM mesh = OneVertex({});
    // Bone 0 names itself, bone 1 names a later bone: both are roots.
    Pose(mesh,
         OneFrame({Bone(0, 4), Bone(2, 4), Bone(1, 6)},
                  {TMDXBoneFrame{}, TMDXBoneFrame{}, TMDXBoneFrame{}}),
         0, 0);
    ExpectNear(mesh.BonePositions[0], {0, 0, 0});
    ExpectNear(mesh.BonePositions[1], {0, 0, 0});
    ExpectNear(mesh.BonePositions[2], {6, 0, 0});
}

TEST(Pose, FrameOutsideTheAnimationChangesNothing) {
    TMDM mesh = BuildMDM({});
    const TMDX mdx = BuildMDX(3, 4);
    Pose(mesh, mdx, 2, 1);
    const std::vector<TVector> before = mesh.PosedPositions;
    const std::vector<TVector> bones = mesh.BonePositions;
    Pose(mesh, mdx, 3, 0);
    Pose(mesh, mdx, -1, 0);
    EXPECT_EQ(mesh.PosedPositions, before);
    EXPECT_EQ(mesh.BonePositions, bones);
    // A surface index outside the mesh still poses bones and tags, with no vertices.
    Pose(mesh, mdx, 0, 5);
    EXPECT_TRUE(mesh.PosedPositions.empty());
    EXPECT_EQ(mesh.TagPositions.size(), 2u);
}

// The posed vertex written out axis by axis, from the bones that Pose placed.
void PoseVertexOneAxisAtATime(const TMDM& mesh, const TMDMVertex& vertex, TVector& position,
                              TVector& normal) {
    const TVector n = {vertex.normal.x, -vertex.normal.y, vertex.normal.z};
    position = normal = {};
    for (const TMDMWeight& weight : vertex.Weights) {
        if (uint32_t(weight.boneIndex) >= mesh.BonePositions.size())
            continue;
        const TMatrix& m = mesh.BoneInverseRotations[weight.boneIndex];
        const TVector bone = mesh.BonePositions[weight.boneIndex];
        const float w = weight.boneWeight;
        const TVector o = {weight.offset.x, -weight.offset.y, weight.offset.z};
        position.x += w * (o.x * m[0] + o.y * m[4] + o.z * m[8] + m[12] + bone.x);
        position.y += w * (o.x * m[1] + o.y * m[5] + o.z * m[9] + m[13] + bone.y);
        position.z += w * (o.x * m[2] + o.y * m[6] + o.z * m[10] + m[14] - bone.z);
        normal.x += w * (n.x * m[0] + n.y * m[4] + n.z * m[8] + m[12]);
        normal.y += w * (n.x * m[1] + n.y * m[5] + n.z * m[9] + m[13]);
        normal.z += w * (n.x * m[2] + n.y * m[6] + n.z * m[10] + m[14]);
    }
    position.z = -position.z;
    normal.z = -normal.z;
}

// A weight on one of bones 0 to 9 of any sign and size; bone 9 is one the test animations lack.
TMDMWeight AnyWeight(std::mt19937& random) {
    std::uniform_real_distribution<float> any(-1.0f, 1.0f);
    return {int32_t(random() % 10),
            any(random) * 3,
            {any(random) * 50, any(random) * 50, any(random) * 50}};
}

TEST(Pose, AllAxesAtOnceGiveTheSameBitsAsOneAxisAtATime) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> any(-1.0f, 1.0f);
    TMDM mesh = BuildMDM({2, 300, 4, 1, 9, 0, 9});
    for (TMDMSurface& surface : mesh.Surfaces)
        for (TMDMVertex& vertex : surface.Vertices) {
            vertex.normal = {any(random), any(random), any(random)};
            for (TMDMWeight& weight : vertex.Weights)
                weight = AnyWeight(random);
        }
    const TMDX mdx = BuildMDX(12, 9);
    for (int frame = 0; frame < 12; ++frame)
        for (int s = 0; s < 2; ++s) {
            Pose(mesh, mdx, frame, s);
            for (size_t v = 0; v < mesh.PosedPositions.size(); ++v) {
                TVector position, normal;
                PoseVertexOneAxisAtATime(mesh, mesh.Surfaces[s].Vertices[v], position, normal);
                ASSERT_EQ(mesh.PosedPositions[v], position) << frame << " " << s << " " << v;
                ASSERT_EQ(mesh.PosedNormals[v], normal) << frame << " " << s << " " << v;
            }
        }
}

bool SameBits(const std::vector<TVector>& a, const std::vector<TVector>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(TVector)) == 0);
}

// The posing of a mesh, whose values the test above checks, against the surface posing of every
// version, of the packed surfaces and of two frames at once, with weights of any sign and size,
// signed zeros in the normals and a bone the animation lacks.
TEST(Pose, EveryVersionAndThePackedSurfaceGiveTheBitsOfPose) {
    std::mt19937 random(23);
    std::uniform_real_distribution<float> any(-1.0f, 1.0f);
    TMDM mesh = BuildMDM({3, 45, 5, 1, 9, 0, 9});
    for (TMDMSurface& surface : mesh.Surfaces)
        for (TMDMVertex& vertex : surface.Vertices) {
            vertex.normal = {random() % 3 ? any(random) : -0.0f, any(random), any(random)};
            vertex.Weights.resize(random() % 5); // none up to four
            for (TMDMWeight& weight : vertex.Weights)
                weight = AnyWeight(random);
        }
    // An empty surface too.
    mesh.Surfaces[2].Vertices.clear();
    std::vector<TPackedSurface> packed(mesh.Surfaces.begin(), mesh.Surfaces.end());
    const TMDX mdx = BuildMDX(6, 9);
    // The mesh's posing of every frame and surface, and the bones of every frame placed apart.
    std::vector<std::vector<TPoseResults>> expected(6, std::vector<TPoseResults>(3));
    std::vector<TPoseResults> placed(6);
    for (int frame = 0; frame < 6; ++frame) {
        ASSERT_TRUE(PoseSkeleton(mesh, mdx, frame, placed[frame]));
        for (int s = 0; s < 3; ++s) {
            Pose(mesh, mdx, frame, s);
            expected[frame][s].PosedPositions = mesh.PosedPositions;
            expected[frame][s].PosedNormals = mesh.PosedNormals;
        }
    }
    const auto expectPosed = [&](const TPoseResults& results, int frame, int s) {
        EXPECT_TRUE(SameBits(results.PosedPositions, expected[frame][s].PosedPositions))
            << frame << " " << s;
        EXPECT_TRUE(SameBits(results.PosedNormals, expected[frame][s].PosedNormals))
            << frame << " " << s;
    };
    for (const TInstructionSet set : {TInstructionSet::AnyProcessor, TInstructionSet::Avx2}) {
        if (!HasInstructionSet(set))
            continue;
        for (int frame = 0; frame < 6; ++frame)
            for (int s = 0; s < 3; ++s) {
                PoseSurface(mesh, s, placed[frame], set);
                expectPosed(placed[frame], frame, s);
                PoseSurface(packed[s], placed[frame], set);
                expectPosed(placed[frame], frame, s);
                // Two frames at once, in either order.
                const int other = (frame + 1) % 6;
                PoseSurface(packed[s], placed[frame], placed[other], set);
                expectPosed(placed[frame], frame, s);
                expectPosed(placed[other], other, s);
            }
    }
}

} // namespace
} // namespace quillon::test
