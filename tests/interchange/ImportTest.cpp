// Import into MD3 from files the tests make: an MD3 exported and read back, hand-made glTF files
// (two materials on a moved node, morph targets, a skin carrying a tag, strips and fans, a mesh
// over the vertex limit) and a MilkShape model whose joint turns.
#include "GltfMaking.h"
#include "MD3Comparison.h"
#include "SkeletalBuilder.h"
#include "support/MD3Builder.h"

#include "interchange/GltfExport.h"
#include "interchange/ModelImport.h"
#include "skeletal/Bake.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace quillon::test {
namespace {

const float Pi = 3.14159265f;

TImportResult ImportInto(const std::string& path, TMD3& md3, TImportOptions options = {}) {
    TImportResult result = ImportModel(path, options, md3);
    if (result.Ok()) {
        EXPECT_TRUE(md3.CountsMatchArrays()) << md3.CountMismatch();
    }
    return result;
}

const TMD3Vertex& VertexAt(const TMD3& md3, int surface, uint32_t frame, uint32_t vertex) {
    const TSurface& s = md3.Header.Surfaces[surface];
    return s.Vertices[frame * s.numVerts + vertex];
}

void ExpectVertex(const TMD3Vertex& v, float x, float y, float z, const std::string& what) {
    EXPECT_EQ(v.x, int16_t(std::lround(x * 64))) << what;
    EXPECT_EQ(v.y, int16_t(std::lround(y * 64))) << what;
    EXPECT_EQ(v.z, int16_t(std::lround(z * 64))) << what;
}

class Import : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(Import, AnMD3ExportedAsGltfComesBackOnTheGridWithItsTagsAndFrameNames) {
    TMD3 md3 = BuildGridMD3(5, 4, 6, 2);
    for (size_t t = 0; t < md3.Header.Tags.size(); ++t) { // tags that turn and move per frame
        const float angle = 0.3f * float(t);
        md3.Header.Tags[t].origin = {1.5f * float(t), -2.0f, 0.25f * float(t % 7)};
        md3.Header.Tags[t].axis[0] = {std::cos(angle), std::sin(angle), 0};
        md3.Header.Tags[t].axis[1] = {-std::sin(angle), std::cos(angle), 0};
        md3.Header.Tags[t].axis[2] = {0, 0, 1};
    }
    for (TMD3Vertex& v : md3.Header.Surfaces[0].Vertices) // normals off the poles
        v.normal = TMD3::EncodeNormal({0.3f, -0.5f + 0.1f * float(v.x % 5), 0.8f});
    for (const std::string file : {"grid.glb", "grid.gltf"}) {
        TExportModel model;
        model.MD3 = &md3;
        ASSERT_TRUE(ExportGltf(model, {}, dir.File(file)).Ok());
        TMD3 back;
        const TImportResult result = ImportInto(dir.File(file), back);
        ASSERT_TRUE(result.Ok()) << result.Error;
        ExpectSameModel(md3, back, file);
        EXPECT_EQ(result.Summary.Frames, 6);
        EXPECT_EQ(result.Summary.Tags, 2);
        ASSERT_EQ(result.Summary.Clips.size(), 1u);
        EXPECT_EQ(result.Summary.Clips[0].Frames.Last, 5);
        // A saved import loads back as it was.
        ASSERT_TRUE(back.SaveToFile(dir.File("back.md3"))) << back.LastError();
        TMD3 loaded;
        ASSERT_TRUE(loaded.LoadFromFile(dir.File("back.md3")));
        ExpectSameModel(back, loaded, file + " saved");
    }
}

TEST_F(Import, TwoMaterialsOnAMovedNodeBecomeTwoSurfacesInTheGameAxes) {
    GltfMaker maker;
    const int positions = maker.Positions({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0});
    const int red = maker.Material("models/test/red.tga");
    const int blue = maker.Material("blue", "textures/Blue.png");
    const int mesh = maker.Mesh("square", positions,
                                {maker.Indices({0, 1, 2}), maker.Indices({0, 2, 3})}, {red, blue});
    const int node = maker.Node("n", mesh, {10, 20, 30});
    maker.Doc().nodes[node].scale = {2, 2, 2};
    const std::string path = maker.Write(dir.Path, "square.glb", {node});

    TMD3 md3;
    TImportResult result = ImportInto(path, md3);
    ASSERT_TRUE(result.Ok()) << result.Error;
    const THeader& h = md3.Header;
    ASSERT_EQ(h.numSurfaces, 2u);
    EXPECT_EQ(NameToString(h.Surfaces[0].name), "square_red");
    EXPECT_EQ(NameToString(h.Surfaces[1].name), "square_blue");
    EXPECT_EQ(NameToString(h.Surfaces[0].Shaders[0].name), "models/test/red.tga");
    EXPECT_EQ(NameToString(h.Surfaces[1].Shaders[0].name), "textures/Blue");
    EXPECT_EQ(h.numFrames, 1u);
    // Each primitive keeps only its three vertices; glTF (1, 1, 0) moved and scaled is
    // (12, 22, 30), the game's (12, -30, 22).
    ASSERT_EQ(h.Surfaces[0].numVerts, 3u);
    ExpectVertex(VertexAt(md3, 0, 0, 2), 12, -30, 22, "moved vertex");
    // Counter-clockwise in glTF, clockwise in the game.
    EXPECT_EQ(h.Surfaces[0].Triangles[0].indexes[1], 2);
    EXPECT_EQ(h.Surfaces[0].Triangles[0].indexes[2], 1);
    // Normals from the faces: glTF's +z is the game's -y.
    const TVector n = TMD3::DecodeNormal(VertexAt(md3, 0, 0, 0).normal);
    EXPECT_NEAR(n.y, -1, 1e-2);
    EXPECT_NEAR(h.Frames[0].maxs.x, 12, 1e-6);
    EXPECT_NEAR(h.Frames[0].mins.y, -30, 1e-6);

    result = ImportInto(path, md3, {.Shaders = TShaderSource::Texture});
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_EQ(NameToString(md3.Header.Surfaces[0].Shaders[0].name), "");
    const std::vector<std::string>& warnings = result.Summary.Warnings;
    EXPECT_NE(
        std::find(warnings.begin(), warnings.end(), "surface \"square_red\" has no shader name"),
        warnings.end());
    result = ImportInto(path, md3, {.Shaders = TShaderSource::Material});
    EXPECT_EQ(NameToString(md3.Header.Surfaces[1].Shaders[0].name), "blue");

    result = ImportInto(path, md3, {.Scale = 20});
    EXPECT_EQ(result.Failure, TImportFailure::Limits);
    EXPECT_EQ(result.Error, "surface \"square_red\", frame 0, vertex 0: (200.00, -600.00, 400.00) "
                            "is outside the -512 to 511.98 an MD3 vertex holds in 1/64 steps "
                            "(--scale makes the model smaller)");
    EXPECT_EQ(md3.Header.numSurfaces, 0u);
}

// A triangle whose third vertex rises by one unit under its one morph target.
struct MorphFile {
    GltfMaker maker;
    int node = -1;
    MorphFile() {
        const int positions = maker.Positions({0, 0, 0, 1, 0, 0, 0, 0, -1});
        const int mesh = maker.Mesh("wave", positions, {maker.Indices({0, 1, 2})});
        maker.Doc().meshes[mesh].primitives[0].targets.push_back(
            {{"POSITION", maker.Positions({0, 0, 0, 0, 0, 0, 0, 1, 0})}});
        node = maker.Node("wave", mesh);
        maker.Animation("rise", {{node, "weights", {0, 1}, {0, 1}}});
        maker.Animation("fall", {{node, "weights", {0, 0.5f}, {1, 0}}});
    }
};

TEST_F(Import, MorphTargetsAreSampledIntoFrames) {
    MorphFile file;
    const std::string path = file.maker.Write(dir.Path, "morph.glb", {file.node});
    TMD3 md3;
    TImportResult result = ImportInto(path, md3);
    ASSERT_TRUE(result.Ok()) << result.Error;
    ASSERT_EQ(md3.Header.numFrames, 16u); // one second at 15 frames a second
    EXPECT_EQ(NameToString(md3.Header.Frames[6].name), "rise 6");
    // glTF (0, w, -1) is the game's (0, 1, w).
    ExpectVertex(VertexAt(md3, 0, 6, 2), 0, 1, 6 / 15.0f, "frame 6");
    ExpectVertex(VertexAt(md3, 0, 15, 2), 0, 1, 1, "frame 15");
    EXPECT_NEAR(md3.Header.Frames[15].maxs.z, 1, 1e-6);

    result = ImportInto(path, md3, {.Keys = true});
    EXPECT_EQ(md3.Header.numFrames, 2u);

    result = ImportInto(path, md3, {.AllAnimations = true});
    ASSERT_TRUE(result.Ok()) << result.Error;
    ASSERT_EQ(result.Summary.Clips.size(), 2u);
    EXPECT_EQ(result.Summary.Clips[1].Name, "fall");
    EXPECT_EQ(result.Summary.Clips[1].Frames.First, 16);
    EXPECT_EQ(result.Summary.Clips[1].Frames.Last, 23);
    ExpectVertex(VertexAt(md3, 0, 16, 2), 0, 1, 1, "first frame of fall");

    result = ImportInto(path, md3, {.Animation = "fall", .FramesPerSecond = 4});
    EXPECT_EQ(md3.Header.numFrames, 3u);
    result = ImportInto(path, md3, {.Animation = "jump"});
    EXPECT_EQ(result.Failure, TImportFailure::Options);
    EXPECT_EQ(result.Error, "the file has no animation named \"jump\" (it has \"rise\", \"fall\")");
    result = ImportInto(path, md3, {.FramesPerSecond = 2000});
    EXPECT_EQ(result.Failure, TImportFailure::Limits);
}

TEST_F(Import, ASkinMovesItsVerticesAndTheTagOnItsJoint) {
    GltfMaker maker(TGltfFormat::Text);
    // hip at the origin, arm one unit along x turning a quarter about y in one second, and a
    // tag one unit further along the arm.
    const int positions = maker.Positions({1, 0, 0, 2, 0, 0, 0, 0, 1});
    const int mesh = maker.Mesh("body", positions, {maker.Indices({0, 1, 2})});
    tinygltf::Primitive& primitive = maker.Doc().meshes[mesh].primitives[0];
    primitive.attributes["JOINTS_0"] = maker.Joints({1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0});
    primitive.attributes["WEIGHTS_0"] =
        maker.Floats({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, TINYGLTF_TYPE_VEC4);
    const int hip = maker.Node("hip");
    const int arm = maker.Node("arm", -1, {1, 0, 0});
    const int tag = maker.Node("tag_weapon", -1, {1, 0, 0});
    const int body = maker.Node("body", mesh);
    maker.Doc().nodes[hip].children = {arm};
    maker.Doc().nodes[arm].children = {tag};
    maker.Doc().nodes[body].skin = 0;
    tinygltf::Skin skin;
    skin.joints = {hip, arm};
    skin.inverseBindMatrices = maker.Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0,  0, 0, 1,
                                             1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, 0, 0, 1},
                                            TINYGLTF_TYPE_MAT4);
    maker.Doc().skins.push_back(skin);
    const float s = std::sin(Pi / 4), c = std::cos(Pi / 4);
    maker.Animation("swing", {{arm, "rotation", {0, 1}, {0, 0, 0, 1, 0, s, 0, c}}});
    const std::string path = maker.Write(dir.Path, "skin.gltf", {hip, body});

    TMD3 md3;
    const TImportResult result = ImportInto(path, md3);
    ASSERT_TRUE(result.Ok()) << result.Error;
    ASSERT_EQ(md3.Header.numFrames, 16u);
    ASSERT_EQ(md3.Header.numTags, 1u);
    ExpectVertex(VertexAt(md3, 0, 0, 1), 2, 0, 0, "rest");
    // A quarter about glTF's y takes the arm's (1, 0, 0) to (0, 0, -1): glTF (1, 0, -1) is the
    // game's (1, 1, 0). The hip's vertex stays.
    ExpectVertex(VertexAt(md3, 0, 15, 1), 1, 1, 0, "turned");
    ExpectVertex(VertexAt(md3, 0, 15, 2), 0, -1, 0, "on the hip");
    const TMD3Tag& last = md3.Header.Tags[15];
    EXPECT_EQ(NameToString(last.name), "tag_weapon");
    EXPECT_NEAR(last.origin.x, 1, 1e-4);
    EXPECT_NEAR(last.origin.y, 1, 1e-4);
    EXPECT_NEAR(last.axis[0].y, 1, 1e-4); // the tag's x now points along the game's y
    EXPECT_NEAR(last.axis[2].z, 1, 1e-4);
}

TEST_F(Import, StripsAndFansBecomeTrianglesAndPointsAreRefused) {
    GltfMaker maker;
    const int positions = maker.Positions({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, 0, 2, 0});
    const int strip = maker.Mesh("strip", positions, {maker.Indices({0, 1, 2, 3, 4})}, {},
                                 TINYGLTF_MODE_TRIANGLE_STRIP);
    const int fan =
        maker.Mesh("fan", positions, {maker.Indices({0, 1, 3, 2})}, {}, TINYGLTF_MODE_TRIANGLE_FAN);
    const std::string path =
        maker.Write(dir.Path, "strips.glb", {maker.Node("a", strip), maker.Node("b", fan)});
    TMD3 md3;
    TImportResult result = ImportInto(path, md3);
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_EQ(md3.Header.Surfaces[0].numTriangles, 3u);
    EXPECT_EQ(md3.Header.Surfaces[1].numTriangles, 2u);
    // Every triangle of the strip faces the same way: glTF's +z, the game's -y.
    const TSurface& s = md3.Header.Surfaces[0];
    for (const TMD3Triangle& t : s.Triangles) {
        const TVector a = TMD3::VertexPosition(s.Vertices[t.indexes[0]]);
        const TVector b = TMD3::VertexPosition(s.Vertices[t.indexes[1]]);
        const TVector c = TMD3::VertexPosition(s.Vertices[t.indexes[2]]);
        const TVector n = VectorCross(VectorSub(c, a), VectorSub(b, a));
        EXPECT_LT(n.y, 0);
    }

    GltfMaker points;
    const int cloud = points.Mesh("cloud", points.Positions({0, 0, 0, 1, 0, 0, 0, 1, 0}),
                                  {points.Indices({0, 1, 2})}, {}, TINYGLTF_MODE_POINTS);
    result = ImportInto(points.Write(dir.Path, "points.glb", {points.Node("p", cloud)}), md3);
    EXPECT_EQ(result.Error, "mesh \"cloud\" primitive 0: draws points or lines, which an MD3 "
                            "cannot hold");
}

TEST_F(Import, ASurfaceOverTheVertexLimitIsRefusedOrSplitOnRequest) {
    GltfMaker maker;
    std::vector<float> xyz;
    std::vector<uint32_t> indices;
    for (uint32_t v = 0; v < 5000; ++v) {
        xyz.insert(xyz.end(), {float(v / 2) * 0.1f, float(v % 2), 0});
        indices.push_back(v);
    }
    const int mesh = maker.Mesh("big", maker.Positions(xyz), {maker.Indices(indices)}, {},
                                TINYGLTF_MODE_TRIANGLE_STRIP);
    const std::string path = maker.Write(dir.Path, "big.glb", {maker.Node("big", mesh)});
    TMD3 md3;
    TImportResult result = ImportInto(path, md3);
    EXPECT_EQ(result.Failure, TImportFailure::Limits);
    EXPECT_EQ(result.Error, "surface \"big\" has 5000 vertices, more than the 4096 an MD3 holds "
                            "(--fix splits it)");
    EXPECT_EQ(md3.Header.numSurfaces, 0u);

    result = ImportInto(path, md3, {.Fix = true});
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_GE(md3.Header.numSurfaces, 5u);
    for (const TSurface& s : md3.Header.Surfaces)
        EXPECT_LE(s.numVerts, 1000u);
    EXPECT_EQ(result.Summary.Triangles, 4998);
}

TEST_F(Import, ASkinnedModelExportedAsASkinMatchesItsBake) {
    const TMDX animation = BuildMDX(8, 6);
    const TMDM mesh = BuildBoundMDM({2, 30, 3, 20, 3, 3, 6}, animation, 0);
    TExportModel model;
    model.MDM = &mesh;
    model.MDX = &animation;
    ASSERT_TRUE(ExportGltf(model, {}, dir.File("skin.glb")).Ok());
    TMD3 baked, imported;
    ASSERT_FALSE(BakeToMD3(mesh, animation, 0, 7, baked).has_value());
    const TImportResult result = ImportInto(dir.File("skin.glb"), imported);
    ASSERT_TRUE(result.Ok()) << result.Error;
    ASSERT_EQ(imported.Header.numFrames, 8u);
    ASSERT_EQ(imported.Header.numSurfaces, baked.Header.numSurfaces);
    // The import keeps only the vertices the triangles use: each is found in the bake by its
    // texture coordinates and first frame, then followed through every frame.
    for (uint32_t s = 0; s < baked.Header.numSurfaces; ++s) {
        const TSurface &b = baked.Header.Surfaces[s], &i = imported.Header.Surfaces[s];
        for (uint32_t v = 0; v < i.numVerts; ++v) {
            uint32_t match = b.numVerts;
            for (uint32_t w = 0; w < b.numVerts && match == b.numVerts; ++w)
                if (std::fabs(b.TexCoords[w].s - i.TexCoords[v].s) < 1e-6 &&
                    std::fabs(b.TexCoords[w].t - i.TexCoords[v].t) < 1e-6 &&
                    std::abs(b.Vertices[w].x - i.Vertices[v].x) <= 1)
                    match = w;
            ASSERT_LT(match, b.numVerts) << "surface " << s << " vertex " << v;
            for (uint32_t f = 0; f < 8; ++f) {
                const TMD3Vertex &bv = b.Vertices[f * b.numVerts + match],
                                 &iv = i.Vertices[f * i.numVerts + v];
                EXPECT_LE(std::abs(bv.x - iv.x), 1) << "frame " << f;
                EXPECT_LE(std::abs(bv.y - iv.y), 1) << "frame " << f;
                EXPECT_LE(std::abs(bv.z - iv.z), 1) << "frame " << f;
            }
        }
    }
}

TEST_F(Import, AMilkShapeJointTurnsItsVerticesFrameByFrame) {
    TMS3D ms3d = BuildMS3D(3, 1, 0);
    for (size_t v = 0; v < ms3d.Vertices.size(); ++v) { // every vertex on the one joint
        ms3d.Vertices[v].boneId = 0;
        ms3d.VertexExtras[v] = {{-1, -1, -1}, {0, 0, 0}, 0};
    }
    ms3d.Vertices[1].position[1] = 1;
    TMS3DBone joint;
    StringToName("root", joint.name);
    joint.RotationKeys = {{0, {0, 0, 0}}, {1, {0, Pi / 2, 0}}};
    joint.numRotationKeys = 2;
    ms3d.Joints.push_back(joint);
    ms3d.JointExtras = {{{0, 0, 0}}};
    ms3d.Animation.framesPerSecond = 4;
    WriteBytes(dir.File("turn.ms3d"), MS3DFileBytes(ms3d));

    TMD3 md3;
    const TImportResult result = ImportInto(dir.File("turn.ms3d"), md3);
    ASSERT_TRUE(result.Ok()) << result.Error;
    ASSERT_EQ(md3.Header.numFrames, 5u);
    EXPECT_EQ(NameToString(md3.Header.Surfaces[0].name), "group0");
    EXPECT_EQ(NameToString(md3.Header.Surfaces[0].Shaders[0].name), "textures/test");
    // Vertex 2 at MilkShape's (2, 0, 0) turns a quarter about y to (0, 0, -2): the game's
    // (0, 2, 0).
    const TSurface& s = md3.Header.Surfaces[0];
    ExpectVertex(s.Vertices[2], 2, 0, 0, "rest");
    ExpectVertex(s.Vertices[4 * s.numVerts + 2], 0, 2, 0, "turned");
}

} // namespace
} // namespace quillon::test
