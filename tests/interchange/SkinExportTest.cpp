// Skeletal models exported as glTF skins, evaluated the way glTF defines skinning and compared
// with posing at every frame and vertex; models whose weights a skin cannot follow, and the
// choice of morph targets, go out as the posed frames.
#include "GltfReading.h"
#include "SkeletalBuilder.h"
#include "support/MD3Builder.h"

#include "interchange/GltfExport.h"
#include "skeletal/Pose.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillon::test {
namespace {

constexpr double Tolerance = 1.0 / 64;

TExportResult Export(const TMDM& mesh, const TMDX& animation, const std::string& path,
                     TExportOptions options = {}, const TANINC* script = nullptr) {
    TExportModel model;
    model.MDM = &mesh;
    model.MDX = &animation;
    model.Script = script;
    model.Name = "skeletal";
    return ExportGltf(model, options, path);
}

// The largest distance, in game units, between the exported mesh and posing over every exported
// frame (first + keyframe) and vertex of every surface.
double WorstDistance(const std::string& path, TMDM mesh, const TMDX& animation, int first,
                     double scale = 1) {
    const tinygltf::Model model = LoadGltf(path);
    double worst = 0;
    const size_t frames = model.animations.empty()
                              ? 1
                              : AccessorFloats(model, model.animations[0].samplers[0].input).size();
    for (size_t s = 0; s < mesh.Surfaces.size(); ++s) {
        const int node = NodeNamed(model, NameToString(mesh.Surfaces[s].name));
        for (size_t k = 0; k < frames; ++k) {
            Pose(mesh, animation, first + int(k), int(s));
            const std::vector<TVec3d> exported = EvaluatePositions(model, 0, node, k);
            EXPECT_EQ(exported.size(), mesh.PosedPositions.size());
            for (size_t v = 0; v < exported.size(); ++v) {
                const TVec3d posed = Scaled(ToGltfAxes(mesh.PosedPositions[v]), scale);
                worst = std::max(worst, Length(Subtract(exported[v], posed)) / scale);
            }
        }
    }
    return worst;
}

class SkinExport : public ::testing::Test {
protected:
    TMDX animation = BuildMDX(12, 6);
    MDMShape shape{2, 30, 3, 20, 3, 3, 6};
    TempDir dir;
};

TEST_F(SkinExport, TheSkinFollowsPosingAtEveryFrameAndVertex) {
    const TMDM mesh = BuildBoundMDM(shape, animation, 0);
    const TExportResult result = Export(mesh, animation, dir.File("s.glb"));
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_FALSE(result.Summary.SkeletalAsMorph);
    EXPECT_EQ(result.Summary.Joints, 6);
    EXPECT_EQ(result.Summary.Meshes, 2);
    EXPECT_EQ(result.Summary.TrimmedVertices, 0);
    EXPECT_TRUE(result.Summary.Warnings.empty());
    ExpectValidGltf(dir.File("s.glb"));
    const tinygltf::Model model = LoadGltf(dir.File("s.glb"));
    ASSERT_EQ(model.skins.size(), 1u);
    EXPECT_EQ(model.skins[0].joints.size(), 6u);
    EXPECT_EQ(model.nodes[model.skins[0].joints[3]].name, "bone3");
    EXPECT_LT(WorstDistance(dir.File("s.glb"), mesh, animation, 0), Tolerance);
}

TEST_F(SkinExport, BindsAtTheFirstExportedFrameAndScales) {
    // Weights that agree at frame 4 only: the bind pose is the first exported frame.
    const TMDM mesh = BuildBoundMDM(shape, animation, 4);
    TExportOptions options;
    options.AllFrames = false;
    options.Frames = {4, 10};
    options.Scale = 0.025;
    const TExportResult result = Export(mesh, animation, dir.File("b.gltf"), options);
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_FALSE(result.Summary.SkeletalAsMorph);
    ExpectValidGltf(dir.File("b.gltf"));
    EXPECT_LT(WorstDistance(dir.File("b.gltf"), mesh, animation, 4, 0.025), Tolerance);
}

TEST_F(SkinExport, TagsRideTheirBonesAsPosingPlacesThem) {
    TMDM mesh = BuildBoundMDM(shape, animation, 0);
    mesh.Tags[2].boneIndex = 17; // a bone the animation lacks: posing leaves it at the origin
    ASSERT_TRUE(Export(mesh, animation, dir.File("t.glb")).Ok());
    ExpectValidGltf(dir.File("t.glb"));
    const tinygltf::Model model = LoadGltf(dir.File("t.glb"));
    for (size_t t = 0; t < mesh.Tags.size(); ++t) {
        const int node = NodeNamed(model, NameToString(mesh.Tags[t].name));
        for (int f = 0; f < 12; f += 5) {
            Pose(mesh, animation, f, 0);
            const TAffine world = NodeWorldAt(model, 0, node, size_t(f));
            for (int a = 0; a < 3; ++a) {
                TVector unit{};
                (&unit.x)[a] = 1;
                const TVec3d child = Apply(world, ToGltfAxes(unit));
                const TVec3d posed =
                    ToGltfAxes(VectorAdd(mesh.TagPositions[t], mesh.TagAxes[t][a]));
                EXPECT_LT(Length(Subtract(child, posed)), 1e-3) << "tag " << t << " frame " << f;
            }
        }
    }
}

TEST_F(SkinExport, AFifthSmallWeightIsTrimmedAndCounted) {
    shape.weightsPerVertex = 5;
    TMDM mesh = BuildBoundMDM(shape, animation, 0);
    // Every weight still agrees on the bind place whatever its share; the fifth is tiny.
    for (TMDMSurface& surface : mesh.Surfaces)
        for (TMDMVertex& vertex : surface.Vertices) {
            const float shares[] = {0.4f, 0.3f, 0.2f, 0.0995f, 0.0005f};
            for (int k = 0; k < 5; ++k)
                vertex.Weights[k].boneWeight = shares[k];
        }
    const TExportResult result = Export(mesh, animation, dir.File("w.glb"));
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_FALSE(result.Summary.SkeletalAsMorph);
    EXPECT_EQ(result.Summary.TrimmedVertices, 60);
    ASSERT_EQ(result.Summary.Warnings.size(), 1u);
    EXPECT_EQ(result.Summary.Warnings[0], "60 vertices have more than four weights: the four "
                                          "largest were kept and scaled to sum to one");
    ExpectValidGltf(dir.File("w.glb"));
    EXPECT_LT(WorstDistance(dir.File("w.glb"), mesh, animation, 0), Tolerance);
}

TEST_F(SkinExport, WeightsASkinCannotFollowGoOutAsThePosedFrames) {
    // Offsets unrelated to any pose, and six large weights whose trimming would show.
    shape.weightsPerVertex = 6;
    for (const TMDM& mesh : {BuildMDM(shape), BuildBoundMDM(shape, animation, 0)}) {
        const TExportResult result = Export(mesh, animation, dir.File("m.glb"));
        ASSERT_TRUE(result.Ok()) << result.Error;
        EXPECT_TRUE(result.Summary.SkeletalAsMorph);
        EXPECT_EQ(result.Summary.MorphTargets, 11);
        ASSERT_EQ(result.Summary.Warnings.size(), 1u);
        EXPECT_NE(result.Summary.Warnings[0].find("exported as morph targets"), std::string::npos)
            << result.Summary.Warnings[0];
        ExpectValidGltf(dir.File("m.glb"));
        EXPECT_LT(WorstDistance(dir.File("m.glb"), mesh, animation, 0), Tolerance);
    }

    TExportOptions morph;
    morph.Skeletal = TSkeletalMode::Morph;
    const TMDM bound = BuildBoundMDM(shape, animation, 0);
    const TExportResult chosen = Export(bound, animation, dir.File("c.glb"), morph);
    ASSERT_TRUE(chosen.Ok());
    EXPECT_TRUE(chosen.Summary.SkeletalAsMorph);
    EXPECT_TRUE(chosen.Summary.Warnings.empty());
    ExpectValidGltf(dir.File("c.glb"));
    EXPECT_LT(WorstDistance(dir.File("c.glb"), bound, animation, 0), Tolerance);
}

TEST_F(SkinExport, AnAnimationWithoutBonesGoesOutAsThePosedFrames) {
    const TMDX boneless = BuildMDX(3, 0);
    const TMDM mesh = BuildMDM(shape);
    const TExportResult result = Export(mesh, boneless, dir.File("n.glb"));
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_TRUE(result.Summary.SkeletalAsMorph);
    ExpectValidGltf(dir.File("n.glb"));
    EXPECT_LT(WorstDistance(dir.File("n.glb"), mesh, boneless, 0), Tolerance);
}

TEST_F(SkinExport, EveryScriptRangeBecomesAnAnimation) {
    const TMDM mesh = BuildBoundMDM(shape, animation, 0);
    TANINC script;
    script.Parse("walk 2 5 0 10 0 0 0\n"
                 "crouch 9 6 0 0 0 0 0 // runs past the last frame\n"
                 "swim 40 5 0 20 0 0 0\n");
    const TExportResult result = Export(mesh, animation, dir.File("a.glb"), {}, &script);
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_EQ(result.Summary.Animations, 3);
    ASSERT_EQ(result.Summary.Warnings.size(), 2u);
    EXPECT_EQ(result.Summary.Warnings[0],
              "animation \"crouch\" (frames 9 to 14) cut to the exported frames 9 to 11");
    EXPECT_EQ(result.Summary.Warnings[1],
              "animation \"swim\" (frames 40 to 44) left out: none of its frames is exported");
    ExpectValidGltf(dir.File("a.glb"));
    const tinygltf::Model model = LoadGltf(dir.File("a.glb"));
    ASSERT_EQ(model.animations.size(), 3u);
    EXPECT_EQ(model.animations[0].name, "all frames");
    EXPECT_EQ(model.animations[1].name, "walk");
    const std::vector<float> walk = AccessorFloats(model, model.animations[1].samplers[0].input);
    EXPECT_EQ(walk.size(), 5u);
    EXPECT_FLOAT_EQ(walk[4], 0.4f); // the script's own 10 frames per second
    const std::vector<float> crouch = AccessorFloats(model, model.animations[2].samplers[0].input);
    EXPECT_EQ(crouch.size(), 3u);
    EXPECT_FLOAT_EQ(crouch[1], 1.0f / 15); // no rate in the script: the export's
    // The walk's first keyframe is frame 2 of the whole.
    const int joint = NodeNamed(model, "bone4");
    const TTrs all = NodeTrsAt(model, 0, joint, 2), first = NodeTrsAt(model, 1, joint, 0);
    EXPECT_EQ(all.Rotation, first.Rotation);
    EXPECT_EQ(all.Translation, first.Translation);
}

TEST_F(SkinExport, BrokenPairsWriteNothing) {
    TMDM mesh = BuildBoundMDM(shape, animation, 0);
    mesh.Surfaces[0].Triangles[3].indexes[1] = -2;
    TExportResult result = Export(mesh, animation, dir.File("x.glb"));
    EXPECT_EQ(result.Failure, TExportFailure::Model);
    EXPECT_EQ(result.Error, "surface \"surface0\": triangle 3 names vertex -2 of 30");
    TMDX short_ = animation;
    short_.Frames[5].BoneFrames.pop_back();
    result = Export(BuildBoundMDM(shape, animation, 0), short_, dir.File("x.glb"));
    EXPECT_EQ(result.Error, "frame 5 does not hold a record for each of the 6 bones");
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.glb")));
}

} // namespace
} // namespace quillon::test
