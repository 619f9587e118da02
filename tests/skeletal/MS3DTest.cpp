#include "SkeletalBuilder.h"
#include "support/MD3Builder.h"

#include <gtest/gtest.h>

namespace quillon::test {
namespace {

size_t CommentsSize(const std::vector<TMS3DComment>& comments) {
    size_t size = 4;
    for (const TMS3DComment& c : comments)
        size += 8 + c.text.size();
    return size;
}

// Where each section after the joints begins in MS3DFileBytes(model), and the file's end.
std::vector<size_t> SectionStarts(const TMS3D& m, size_t fileSize) {
    const size_t modelExtras = 4 + sizeof(TMS3DModelExtra);
    const size_t jointExtras = 4 + sizeof(TMS3DJointExtra) * m.Joints.size();
    const size_t vertexExtras = 4 + sizeof(TMS3DVertexExtra) * m.Vertices.size();
    const size_t comments = 4 + CommentsSize(m.GroupComments) + CommentsSize(m.MaterialComments) +
                            CommentsSize(m.JointComments) + CommentsSize(m.ModelComments);
    const size_t afterJoints = fileSize - modelExtras - jointExtras - vertexExtras - comments;
    return {afterJoints, afterJoints + comments, afterJoints + comments + vertexExtras,
            fileSize - modelExtras, fileSize};
}

TEST(MS3D, FileMayEndBeforeAnySectionAfterTheJoints) {
    TempDir dir;
    const TMS3D built = BuildMS3D(5, 2, 3);
    const std::vector<char> bytes = MS3DFileBytes(built);
    const std::vector<size_t> starts = SectionStarts(built, bytes.size());
    const std::string path = dir.File("old.ms3d");

    for (size_t section = 0; section < starts.size(); ++section) {
        WriteBytes(path, {bytes.begin(), bytes.begin() + starts[section]});
        TMS3D m;
        ASSERT_TRUE(m.LoadFromFile(path)) << "ends before section " << section;
        EXPECT_EQ(m.Joints.size(), 3u);
        EXPECT_EQ(m.Joints[2].PositionKeys.size(), 1u);
        EXPECT_EQ(m.commentVersion, section > 0 ? 1 : 0);
        EXPECT_EQ(m.ModelComments.size(), section > 0 ? 1u : 0u);
        EXPECT_EQ(m.VertexExtras.size(), section > 1 ? 5u : 0u);
        EXPECT_EQ(m.jointExtraVersion, section > 2 ? 1 : 0);
        EXPECT_EQ(m.JointExtras.size(), section > 2 ? 3u : 0u);
        EXPECT_EQ(m.ModelExtra.transparencyMode, section > 3 ? 2 : 0);
    }
}

TEST(MS3D, SectionCutShortFails) {
    TempDir dir;
    const TMS3D built = BuildMS3D(5, 2, 3);
    const std::vector<char> bytes = MS3DFileBytes(built);
    const std::vector<size_t> starts = SectionStarts(built, bytes.size());
    const std::string path = dir.File("cut.ms3d");
    // Inside each section: part of its version, the version alone, the last byte missing.
    for (size_t section = 0; section + 1 < starts.size(); ++section)
        for (size_t cut : {starts[section] + 2, starts[section] + 4, starts[section + 1] - 1}) {
            WriteBytes(path, {bytes.begin(), bytes.begin() + cut});
            TMS3D m;
            EXPECT_FALSE(m.LoadFromFile(path)) << "cut at " << cut;
            EXPECT_TRUE(m.Joints.empty());
        }
    // Inside the joints, which every file has.
    WriteBytes(path, {bytes.begin(), bytes.begin() + starts[0] - 1});
    EXPECT_FALSE(TMS3D().LoadFromFile(path));
}

} // namespace
} // namespace quillon::test
