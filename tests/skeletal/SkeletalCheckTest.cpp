// The skeletal findings, each on a built mesh or animation broken in one way, beside the sound
// model it was made from.
#include "skeletal/SkeletalCheck.h"

#include "SkeletalBuilder.h"
#include "core/MD3.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace quillon::test {
namespace {

const TModelLimits& ET = LimitsFor(TCheckTarget::ET);

MDMShape SoundShape() {
    MDMShape shape;
    shape.boneRefsPerSurface = 4; // every bone the weights use
    return shape;
}

std::set<std::string> Codes(const std::vector<TFinding>& findings) {
    std::set<std::string> codes;
    for (const TFinding& f : findings)
        codes.insert(f.Code);
    return codes;
}

const TFinding* Find(const std::vector<TFinding>& findings, const std::string& code) {
    auto it = std::find_if(findings.begin(), findings.end(),
                           [&](const TFinding& f) { return f.Code == code; });
    return it == findings.end() ? nullptr : &*it;
}

class SkeletalCheck : public ::testing::Test {
protected:
    std::vector<TFinding> Check() { return CheckMDM(mesh, &animation, ET); }
    TMDM mesh = BuildMDM(SoundShape());
    TMDX animation = BuildMDX(5, 4);
};

TEST_F(SkeletalCheck, TheBuiltModelHasNothingToReport) {
    EXPECT_TRUE(Check().empty());
    EXPECT_TRUE(CheckMDM(mesh, nullptr, ET).empty());
    EXPECT_TRUE(CheckMDX(animation, nullptr, ET).empty());
    EXPECT_EQ(Codes(CheckMDM(mesh, &animation, LimitsFor(TCheckTarget::Q3))),
              std::set<std::string>{"format"});
}

TEST_F(SkeletalCheck, CountsOverTheMeshLimits) {
    TMDM big = BuildMDM({.surfaces = 33,
                         .vertsPerSurface = 3,
                         .trianglesPerSurface = 1,
                         .boneRefsPerSurface = 4,
                         .tags = 129});
    EXPECT_EQ(Codes(CheckMDM(big, &animation, ET)), (std::set<std::string>{"surfaces", "tags"}));
    TMDM fits = BuildMDM({.surfaces = 32,
                          .vertsPerSurface = 3,
                          .trianglesPerSurface = 1,
                          .boneRefsPerSurface = 4,
                          .tags = 128});
    EXPECT_TRUE(CheckMDM(fits, &animation, ET).empty());

    TMDM dense = BuildMDM({.surfaces = 1,
                           .vertsPerSurface = 6001,
                           .trianglesPerSurface = 8193,
                           .boneRefsPerSurface = 4});
    const auto codes = Codes(CheckMDM(dense, &animation, ET));
    EXPECT_TRUE(codes.contains("verts-per-surface"));
    EXPECT_TRUE(codes.contains("triangles-per-surface"));
}

TEST_F(SkeletalCheck, TrianglesAndVertices) {
    mesh.Surfaces[0].Triangles[1] = {{1, 1, 3}};
    mesh.Surfaces[1].Triangles[0] = {{0, 1, 4}};
    const auto findings = Check();
    ASSERT_TRUE(Find(findings, "degenerate-triangle"));
    EXPECT_EQ(Find(findings, "degenerate-triangle")->Where.Triangle, 1);
    ASSERT_TRUE(Find(findings, "triangle-index"));
    EXPECT_EQ(Find(findings, "triangle-index")->Where.Surface, 1);
    // Only the faulty triangle used vertex 0 of surface 1.
    const TFinding* unused = Find(findings, "unused-vertex");
    ASSERT_TRUE(unused);
    EXPECT_EQ(unused->Where.Surface, 1);
    EXPECT_EQ(unused->Where.Vertex, 0);
}

TEST_F(SkeletalCheck, NormalsWeightsAndBones) {
    mesh.Surfaces[0].Vertices[1].normal = {0, 0, 0};
    mesh.Surfaces[0].Vertices[2].Weights[0].boneWeight = 0.7f;
    mesh.Surfaces[1].Vertices[3].Weights[1].boneIndex = 4;
    auto findings = Check();
    EXPECT_EQ(Find(findings, "zero-normal")->Where.Vertex, 1);
    EXPECT_EQ(Find(findings, "weights")->Where.Vertex, 2);
    EXPECT_EQ(Find(findings, "bone-index")->Where.Surface, 1);
    // Without the animation the bone count is unknown: only negative indices are wrong.
    EXPECT_FALSE(Find(CheckMDM(mesh, nullptr, ET), "bone-index"));
    mesh.Surfaces[1].Vertices[3].Weights[1].boneIndex = -1;
    EXPECT_TRUE(Find(CheckMDM(mesh, nullptr, ET), "bone-index"));

    mesh = BuildMDM(SoundShape());
    mesh.Tags[1].boneIndex = 9;
    findings = Check();
    ASSERT_TRUE(Find(findings, "bone-index"));
    EXPECT_EQ(Find(findings, "bone-index")->Where.TagName, "tag_1");
}

TEST_F(SkeletalCheck, BonesTheSurfaceListLeavesOut) {
    // Bone 3 hangs below bones 2, 1 and 0: a list of 3 alone places them all.
    mesh.Surfaces[0].BoneRefs = {3};
    mesh.Surfaces[0].numBoneRefs = 1;
    EXPECT_TRUE(Check().empty());
    // A list of 1 places 1 and 0; the weights on bones 2 and 3 are left unplaced.
    mesh.Surfaces[0].BoneRefs = {1};
    const auto findings = Check();
    const TFinding* f = Find(findings, "bone-refs");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->Where.Surface, 0);
    EXPECT_EQ(f->Where.Vertex, 1); // weights on bones 1 and 2
    EXPECT_EQ(f->Count, 3);

    // An index from a broken file is reported, not used to size anything.
    mesh.Surfaces[0].BoneRefs = {2000000000, 0, 1, 2, 3};
    mesh.Surfaces[0].numBoneRefs = 5;
    const auto broken = Check();
    ASSERT_EQ(broken.size(), 1u);
    EXPECT_EQ(broken[0].Code, "bone-index");
    EXPECT_EQ(broken[0].Where.Surface, 0);
    EXPECT_EQ(CheckMDM(mesh, nullptr, ET).size(), 0u);
}

TEST_F(SkeletalCheck, CollapseMapsAndNames) {
    mesh.Surfaces[1].CollapseMap[3] = 4;
    StringToName(std::string(64, 's'), mesh.Surfaces[0].shader);
    const auto codes = Codes(Check());
    EXPECT_EQ(codes, (std::set<std::string>{"collapse-map", "name-length"}));
}

TEST_F(SkeletalCheck, AnimationBonesFramesAndScriptRanges) {
    animation.Bones[2].parent = 3;
    animation.Frames[1].mins.x = 600;
    animation.Frames[1].maxs.x = 700;
    animation.Frames[3].radius = -1;
    TANINC script;
    script.Parse("idle 0 5 0 20 0 0 0\n"
                 "walk 2 4 0 15 0 0 0 // frames 2 to 5, one too many\n"
                 "back -1 2 0 15 0 0 0\n");
    const auto findings = CheckMDX(animation, &script, ET);
    EXPECT_EQ(Find(findings, "bone-parent")->Where.Bone, 2);
    EXPECT_EQ(Find(findings, "coordinate-range")->Where.Frame, 1);
    EXPECT_EQ(Find(findings, "bounds-mismatch")->Where.Frame, 3);
    const auto ranges = std::count_if(findings.begin(), findings.end(), [](const TFinding& f) {
        return f.Code == "animation-range";
    });
    EXPECT_EQ(ranges, 2);
    EXPECT_EQ(Find(findings, "animation-range")->Message,
              "the animation \"walk\" runs from frame 2 to 5, but the frames are 0 to 4");

    EXPECT_EQ(Codes(CheckMDX(TMDX(), nullptr, ET)), std::set<std::string>{"frames"});
}

TEST_F(SkeletalCheck, IncompleteModelsGetOneFinding) {
    mesh.Surfaces[0].numVerts = 9;
    EXPECT_EQ(Codes(Check()), std::set<std::string>{"incomplete"});
    animation.Header.numBones = 7;
    EXPECT_EQ(Codes(CheckMDX(animation, nullptr, ET)), std::set<std::string>{"incomplete"});
}

} // namespace
} // namespace quillon::test
