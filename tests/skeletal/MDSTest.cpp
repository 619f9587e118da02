#include "SkeletalBuilder.h"
#include "support/MD3Builder.h"

#include "skeletal/Pose.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quillon::test {
namespace {

TMDS LoadMDS(const TMDS& model, const TempDir& dir) {
    WriteBytes(dir.File("model.mds"), MDSFileBytes(model));
    TMDS mds;
    EXPECT_TRUE(mds.LoadFromFile(dir.File("model.mds")));
    return mds;
}

TEST(MDS, ReadsEveryBlock) {
    TempDir dir;
    const TMDS original = BuildMDS(3, 6, {4}, 2);
    const TMDS mds = LoadMDS(original, dir);
    ASSERT_EQ(mds.Surfaces.size(), 2u);
    EXPECT_EQ(mds.Surfaces[1].Vertices[5].extra[0], 0xAAAAu);
    EXPECT_EQ(mds.Surfaces[1].Vertices[5].Weights[0].boneIndex,
              original.Surfaces[1].Vertices[5].Weights[0].boneIndex);
    EXPECT_EQ(mds.Frames[2].BoneFrames[5].angles[0], original.Frames[2].BoneFrames[5].angles[0]);
    EXPECT_EQ(mds.Bones[4].flags, 1);
    EXPECT_EQ(mds.Tags[0].boneIndex, 4);

    std::vector<char> bytes = MDSFileBytes(original);
    for (size_t cut : {size_t(119), size_t(200), bytes.size() - 1}) {
        WriteBytes(dir.File("cut.mds"), {bytes.begin(), bytes.begin() + cut});
        TMDS bad;
        EXPECT_FALSE(bad.LoadFromFile(dir.File("cut.mds"))) << cut;
        EXPECT_TRUE(bad.Surfaces.empty());
    }
    bytes[0] = 'X';
    WriteBytes(dir.File("ident.mds"), bytes);
    EXPECT_FALSE(TMDS().LoadFromFile(dir.File("ident.mds")));
}

TEST(MDS, TagBonesAreDroppedAndIndicesShift) {
    TempDir dir;
    TMDS mds = LoadMDS(BuildMDS(2, 12, {5, 9}), dir);
    TMDM mesh = BuildMDM({});
    TMDX mdx = BuildMDX(1, 1);
    ASSERT_TRUE(mds.ConvertToSkeletal(mesh, mdx));
    EXPECT_EQ(mdx.Header.numBones, 10u);
    EXPECT_EQ(mdx.Header.version, 2);
    EXPECT_EQ(mdx.Header.torsoParent, 1);
    EXPECT_EQ(NameToString(mdx.Bones[5].name), "bone6");
    EXPECT_EQ(mdx.Bones[5].parent, -1); // its MDS parent 5 is a tag bone
    EXPECT_EQ(mdx.Bones[6].parent, 5);  // MDS 7 -> 6, parent MDS 6 -> 5
    EXPECT_EQ(mdx.Frames[1].BoneFrames[5].angles[0], mds.Frames[1].BoneFrames[6].angles[0]);
    EXPECT_EQ(mdx.Frames[1].BoneFrames[5].angles[3], 0);

    EXPECT_EQ(mesh.Header.version, 3);
    EXPECT_EQ(mesh.Header.lodScale, 2.0f);
    const TMDMSurface& s = mesh.Surfaces[0];
    EXPECT_EQ(s.ident, 9);
    EXPECT_EQ(s.shaderIndex, 0);
    // Vertex v of the builder's surface names MDS bone v.
    EXPECT_EQ(s.Vertices[6].Weights[0].boneIndex, 5);
    EXPECT_EQ(s.Vertices[11].Weights[0].boneIndex, 9);
    EXPECT_EQ(s.Vertices[5].Weights[0].boneIndex, -1);
    EXPECT_EQ(s.BoneRefs[6], 5);
    EXPECT_EQ(s.BoneRefs[9], -1);
}

TEST(MDS, TagsHangOnTheParentOfTheirTagBone) {
    TempDir dir;
    TMDS mds = LoadMDS(BuildMDS(100, 8, {3, 7}), dir);
    TMDM mesh;
    TMDX mdx;
    ASSERT_TRUE(mds.ConvertToSkeletal(mesh, mdx));
    ASSERT_EQ(mesh.Tags.size(), 2u);
    const TMDMTag& tag = mesh.Tags[1];
    EXPECT_EQ(NameToString(tag.name), "tag_bone7");
    EXPECT_EQ(tag.boneIndex, 5); // MDS bone 6 without tag bone 3
    EXPECT_EQ(tag.BoneRefs, (std::vector<int32_t>{0, 1, 2, -1, 3, 4, 5}));
    EXPECT_EQ(tag.numBoneRefs, 7u);
    EXPECT_EQ(tag.offset, VectorZero());
    // Axes are the rows of the tag bone's rotation in frame 0 (fewer than 3814 frames).
    const TMatrix r = BoneRotation(mds.Frames[0].BoneFrames[7]);
    EXPECT_EQ(tag.axis[1], (TVector{r[4], r[5], r[6]}));
    EXPECT_EQ(tag.ofsBoneRefs, 0);

    // Saved, the converted mesh carries zeros in the tags' offset fields.
    ASSERT_TRUE(mesh.SaveToFile(dir.File("converted.mdm")));
    TMDM again;
    ASSERT_TRUE(again.LoadFromFile(dir.File("converted.mdm")));
    EXPECT_EQ(again.Tags[1].ofsEnd, 0);
    EXPECT_TRUE(mdx.SaveToFile(dir.File("converted.mdx")));
}

TEST(MDS, ReferenceFrameForLongAnimations) {
    TMDS mds = BuildMDS(3814, 3, {2});
    mds.Frames[3812].BoneFrames[2].angles[1] = 16384;
    TMDM mesh;
    TMDX mdx;
    ASSERT_TRUE(mds.ConvertToSkeletal(mesh, mdx));
    const TMatrix r = BoneRotation(mds.Frames[3812].BoneFrames[2]);
    EXPECT_EQ(mesh.Tags[0].axis[0], (TVector{r[0], r[1], r[2]}));
}

TEST(MDS, FewerTagRecordsAndTooManyBones) {
    TMDS mds = BuildMDS(1, 6, {2, 4});
    mds.Tags.pop_back();
    mds.Header.numTags = 1;
    TMDM mesh;
    TMDX mdx;
    ASSERT_TRUE(mds.ConvertToSkeletal(mesh, mdx));
    EXPECT_EQ(mesh.Header.numTags, 1u);

    TempDir dir;
    WriteBytes(dir.File("big.mds"), MDSFileBytes(BuildMDS(1, 129, {})));
    EXPECT_FALSE(TMDS().LoadFromFile(dir.File("big.mds")));
    TMDS big = BuildMDS(1, 129, {});
    EXPECT_FALSE(big.ConvertToSkeletal(mesh, mdx));
    EXPECT_TRUE(mesh.Surfaces.empty());
    EXPECT_TRUE(mdx.Bones.empty());
}

TEST(MS3D, ReadsEveryBlock) {
    TempDir dir;
    const std::vector<char> bytes = MS3DFileBytes(BuildMS3D(5, 2, 3));
    WriteBytes(dir.File("m.ms3d"), bytes);
    TMS3D m;
    ASSERT_TRUE(m.LoadFromFile(dir.File("m.ms3d")));
    EXPECT_EQ(m.Vertices.size(), 5u);
    EXPECT_EQ(m.Triangles[2].vertexIndices[2], 4);
    ASSERT_EQ(m.Groups.size(), 2u);
    EXPECT_EQ(m.Groups[1].TriangleIndices.size(), 3u);
    EXPECT_EQ(m.Groups[1].materialIndex, 1);
    EXPECT_EQ(NameToString(m.Materials[1].texture), "textures/test.tga");
    EXPECT_EQ(m.Animation.totalFrames, 30);
    EXPECT_EQ(m.Joints[2].RotationKeys.size(), 3u);
    EXPECT_EQ(NameToString(m.Joints[2].parentName), "joint1");
    EXPECT_EQ(m.GroupComments[0].text, "");
    EXPECT_EQ(m.GroupComments[1].text, "group comment 1");
    EXPECT_EQ(m.ModelComments[0].text, "made by the test builder");
    EXPECT_EQ(int32_t{m.VertexExtras[4].extra}, 4); // a copy: the packed field may be unaligned
    EXPECT_EQ(m.JointExtras[2].color[2], 2.0f);
    EXPECT_EQ(m.ModelExtra.transparencyMode, 2);

    for (size_t cut : {size_t(13), size_t(20), bytes.size() - 1}) {
        WriteBytes(dir.File("cut.ms3d"), {bytes.begin(), bytes.begin() + cut});
        EXPECT_FALSE(m.LoadFromFile(dir.File("cut.ms3d"))) << cut;
        EXPECT_TRUE(m.Vertices.empty());
    }
    TMS3D empty = BuildMS3D(0, 0, 0);
    empty.ModelComments.clear();
    const std::vector<char> none = MS3DFileBytes(empty);
    // Ends after a joint count of 0: the sections after the joints are optional.
    WriteBytes(dir.File("nojoints.ms3d"), {none.begin(), none.end() - 4 * 4 - 4 * 4 - 12});
    EXPECT_TRUE(m.LoadFromFile(dir.File("nojoints.ms3d")));
    WriteBytes(dir.File("nojoints.ms3d"), {none.begin(), none.end() - 4 * 4 - 4 * 4 - 12 - 1});
    EXPECT_FALSE(m.LoadFromFile(dir.File("nojoints.ms3d")));
    WriteBytes(dir.File("empty.ms3d"), none);
    EXPECT_TRUE(m.LoadFromFile(dir.File("empty.ms3d")));
    std::vector<char> badId = none;
    badId[9] = '1';
    WriteBytes(dir.File("id.ms3d"), badId);
    EXPECT_FALSE(m.LoadFromFile(dir.File("id.ms3d")));
}

} // namespace
} // namespace quillon::test
