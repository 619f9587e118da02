// MD3 models exported as glTF: read back with tinygltf's loader, checked by the Khronos
// validator, and compared with the model: axes, winding, morph targets and their timing, tags.
#include "GltfReading.h"
#include "support/MD3Builder.h"

#include "interchange/GltfExport.h"
#include "interchange/MD3Export.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace quillon::test {
namespace {

// A model that looks different from every side, so a wrong axis or mirror shows: two surfaces
// moving differently in every frame and two tags turning in different ways.
TMD3 TestMD3(int frames) {
    TMD3 md3;
    THeader& h = md3.Header;
    StringToName("models/test/asym", h.name);
    h.numFrames = frames;
    h.numTags = 2;
    for (int f = 0; f < frames; ++f) {
        TMD3Frame frame;
        StringToName("pose" + std::to_string(f), frame.name);
        h.Frames.push_back(frame);
        for (int t = 0; t < 2; ++t) {
            TMD3Tag tag;
            StringToName(t == 0 ? "tag_head" : "tag_weapon", tag.name);
            tag.origin = {float(f + 1), float(2 * f - 3), float(5 + t)};
            const TMatrix turn = t == 0 ? RotationZ(30.0f * f) : RotationX(10.0f * f + 45);
            for (int a = 0; a < 3; ++a)
                tag.axis[a] = {turn[a * 4], turn[a * 4 + 1], turn[a * 4 + 2]};
            h.Tags.push_back(tag);
        }
    }
    for (int s = 0; s < 2; ++s) {
        TSurface surface;
        StringToName(s == 0 ? "body" : "legs", surface.name);
        surface.numFrames = frames;
        surface.numShaders = 1;
        surface.Shaders.resize(1);
        surface.numVerts = 3 + s;
        for (uint32_t v = 0; v < surface.numVerts; ++v)
            surface.TexCoords.push_back({0.25f * v, 0.1f + 0.2f * v}); // t held as 1 - t
        surface.Triangles.push_back({{0, 1, 2}});
        if (s == 1)
            surface.Triangles.push_back({{0, 2, 3}});
        surface.numTriangles = uint32_t(surface.Triangles.size());
        for (int f = 0; f < frames; ++f)
            for (uint32_t v = 0; v < surface.numVerts; ++v)
                surface.Vertices.push_back({int16_t(64 * (v == 0) + 8 * f), int16_t(128 * (v == 1)),
                                            int16_t(192 * (v == 2) - 16 * f * s + 64 * (v == 3)),
                                            TMD3::EncodeNormal({0.2f * f, 1, float(v)})});
        h.Surfaces.push_back(surface);
    }
    h.numSurfaces = 2;
    return md3;
}

TExportResult Export(const TMD3& md3, const std::string& path, TExportOptions options = {}) {
    TExportModel model;
    model.MD3 = &md3;
    model.Name = "asym";
    return ExportGltf(model, options, path);
}

TVec3d Expected(const TMD3Vertex& v, double scale) {
    return Scaled(ToGltfAxes(TMD3::VertexPosition(v)), scale);
}

void ExpectNear(const TVec3d& a, const TVec3d& b, double tolerance, const std::string& what) {
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(a[c], b[c], tolerance) << what << " component " << c;
}

class MD3Export : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(MD3Export, ZUpBecomesYUpFacingAsInTheGameWithReversedWindingAndGltfTexCoords) {
    const TMD3 md3 = TestMD3(1);
    TExportOptions options;
    options.Scale = 2;
    const TExportResult result = Export(md3, dir.File("a.glb"), options);
    ASSERT_TRUE(result.Ok()) << result.Error;
    ExpectValidGltf(dir.File("a.glb"));
    const tinygltf::Model model = LoadGltf(dir.File("a.glb"));
    EXPECT_TRUE(model.animations.empty()); // one frame: nothing moves
    const tinygltf::Primitive& body = model.meshes[0].primitives[0];
    EXPECT_EQ(model.meshes[0].name, "body");
    EXPECT_TRUE(body.targets.empty());
    const std::vector<float> positions = AccessorFloats(model, body.attributes.at("POSITION"));
    // Game (1, 0, 0), (0, 2, 0), (0, 0, 3), doubled: +y of the game points away from the viewer
    // (-z) and +z of the game up (+y).
    ExpectNear(Vec3At(positions, 0), {2, 0, 0}, 1e-6, "vertex 0");
    ExpectNear(Vec3At(positions, 1), {0, 0, -4}, 1e-6, "vertex 1");
    ExpectNear(Vec3At(positions, 2), {0, 6, 0}, 1e-6, "vertex 2");
    EXPECT_EQ(AccessorInts(model, body.indices), (std::vector<int>{0, 2, 1}));
    const std::vector<float> st = AccessorFloats(model, body.attributes.at("TEXCOORD_0"));
    EXPECT_FLOAT_EQ(st[2], 0.25f);
    EXPECT_FLOAT_EQ(st[3], 0.7f); // the file's t: 1 - 0.3
    const std::vector<float> normals = AccessorFloats(model, body.attributes.at("NORMAL"));
    const TVec3d n =
        ToGltfAxes(VectorNormalize(TMD3::DecodeNormal(md3.Header.Surfaces[0].Vertices[0].normal)));
    ExpectNear(Vec3At(normals, 0), n, 1e-6, "normal 0");
}

TEST_F(MD3Export, EveryLaterFrameIsAMorphTargetSteppedThroughAtTheRate) {
    const TMD3 md3 = TestMD3(5);
    TExportOptions options;
    options.FramesPerSecond = 10;
    options.AllFrames = false;
    options.Frames = {1, 4};
    const TExportResult result = Export(md3, dir.File("m.gltf"), options);
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_EQ(result.Summary.MorphTargets, 3);
    EXPECT_EQ(result.Summary.Animations, 1);
    EXPECT_EQ(result.Summary.Files.size(), 2u); // the .gltf and its .bin
    ExpectValidGltf(dir.File("m.gltf"));
    const tinygltf::Model model = LoadGltf(dir.File("m.gltf"));
    ASSERT_EQ(model.animations.size(), 1u);
    const tinygltf::Animation& animation = model.animations[0];
    const std::vector<float> times =
        AccessorFloats(model, animation.samplers[animation.channels[0].sampler].input);
    ASSERT_EQ(times.size(), 4u);
    for (int k = 0; k < 4; ++k)
        EXPECT_FLOAT_EQ(times[k], 0.1f * k);
    EXPECT_EQ(animation.extras.Get("frames").Get(0).Get<std::string>(), "pose1");
    EXPECT_EQ(model.meshes[1].extras.Get("targetNames").Get(2).Get<std::string>(), "pose4");

    for (int s = 0; s < 2; ++s) {
        const TSurface& surface = md3.Header.Surfaces[s];
        const int node = NodeNamed(model, NameToString(surface.name));
        EXPECT_EQ(model.meshes[model.nodes[node].mesh].primitives[0].targets.size(), 3u);
        for (size_t k = 0; k < 4; ++k) {
            const std::vector<TVec3d> positions = EvaluatePositions(model, 0, node, k);
            for (uint32_t v = 0; v < surface.numVerts; ++v)
                ExpectNear(positions[v],
                           Expected(surface.Vertices[(k + 1) * surface.numVerts + v], 1), 1e-5,
                           "surface " + std::to_string(s) + " keyframe " + std::to_string(k));
        }
    }
}

TEST_F(MD3Export, TagNodesCarryAChildAsTheGameAttachesItInEveryFrame) {
    const TMD3 md3 = TestMD3(4);
    TExportOptions options;
    options.Scale = 0.5;
    ASSERT_TRUE(Export(md3, dir.File("t.glb"), options).Ok());
    ExpectValidGltf(dir.File("t.glb"));
    const tinygltf::Model model = LoadGltf(dir.File("t.glb"));
    for (int t = 0; t < 2; ++t) {
        const std::string name = NameToString(md3.Header.Tags[t].name);
        const int node = NodeNamed(model, name);
        for (size_t f = 0; f < 4; ++f) {
            const TMD3Tag& tag = md3.Header.Tags[f * 2 + t];
            const TAffine world = NodeWorldAt(model, 0, node, f);
            // A child's point p (in glTF's axes, scaled) lands where the game puts
            // origin + p.x * axis0 + p.y * axis1 + p.z * axis2.
            ExpectNear(world.Translation, Scaled(ToGltfAxes(tag.origin), 0.5), 1e-5, name);
            for (int a = 0; a < 3; ++a) {
                TVector unit{};
                (&unit.x)[a] = 1;
                const TVec3d child = Apply(world, Scaled(ToGltfAxes(unit), 0.5));
                const TVec3d game = Scaled(ToGltfAxes(VectorAdd(tag.origin, tag.axis[a])), 0.5);
                ExpectNear(child, game, 1e-5, name + " axis " + std::to_string(a));
            }
        }
    }
}

TEST_F(MD3Export, BrokenModelsAndOptionsWriteNothing) {
    WriteBytes(dir.File("keep.glb"), {'o', 'l', 'd'});
    TMD3 broken = TestMD3(2);
    broken.Header.Surfaces[1].Triangles[1].indexes[2] = 9;
    TExportResult result = Export(broken, dir.File("keep.glb"));
    EXPECT_EQ(result.Failure, TExportFailure::Model);
    EXPECT_EQ(result.Error, "surface \"legs\": triangle 1 names vertex 9 of 4");
    EXPECT_EQ(ReadBytes(dir.File("keep.glb")), (std::vector<char>{'o', 'l', 'd'}));

    TExportOptions options;
    options.AllFrames = false;
    options.Frames = {1, 2};
    result = Export(TestMD3(2), dir.File("keep.glb"), options);
    EXPECT_EQ(result.Failure, TExportFailure::Options);
    EXPECT_EQ(result.Error, "frames 1 to 2 are not within the model's 2 frames (0 to 1)");
    EXPECT_EQ(Export(TestMD3(2), dir.File("x.obj")).Failure, TExportFailure::Options);
    options = {};
    options.Scale = -1;
    EXPECT_EQ(Export(TestMD3(2), dir.File("x.glb"), options).Failure, TExportFailure::Options);
    EXPECT_EQ(Export(TMD3{}, dir.File("x.glb")).Error, "the model has no frames");
    TMD3 huge = TestMD3(1); // the counts alone decide; nothing that large is ever built
    huge.Header.Surfaces[0].numVerts = 1000000;
    EXPECT_EQ(*MD3SizeProblem(huge, {0, 200}),
              "frames 0 to 200 would make a glTF file larger than the 4 GB it can hold");
    EXPECT_FALSE(MD3SizeProblem(huge, {0, 100}));
    EXPECT_EQ(ReadBytes(dir.File("keep.glb")), (std::vector<char>{'o', 'l', 'd'}));
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.glb")));
}

} // namespace
} // namespace quillon::test
