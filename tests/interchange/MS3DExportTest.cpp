// MilkShape models exported as glTF: one mesh per group with the group's material texture, in
// MilkShape's own Y-up axes.
#include "GltfReading.h"
#include "SkeletalBuilder.h"
#include "support/MD3Builder.h"

#include "interchange/GltfExport.h"
#include "interchange/MS3DExport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillon::test {
namespace {

TEST(MS3DExport, GroupsBecomeMeshesWithTheirTextures) {
    TempDir dir;
    std::filesystem::create_directories(dir.File("Textures"));
    std::vector<char> tga(18 + 3, 1); // one 24-bit pixel
    std::fill(tga.begin(), tga.begin() + 18, 0);
    tga[2] = 2;
    tga[12] = 1;
    tga[14] = 1;
    tga[16] = 24;
    WriteBytes(dir.File("Textures/TEST.tga"), tga); // the model names textures/test.tga

    TMS3D ms3d = BuildMS3D(6, 2, 2);
    ms3d.Vertices[1].position[1] = 2; // off the x axis, so the triangles have an area
    ms3d.Triangles[0].vertexNormals[0][2] = 1;
    TExportModel model;
    model.MS3D = &ms3d;
    model.Materials = MS3DMaterials(ms3d, dir.Path + "/");
    ASSERT_EQ(model.Materials[0].ImagePath, dir.File("Textures/TEST.tga"));
    TExportOptions options;
    options.Scale = 3;
    const TExportResult result = ExportGltf(model, options, dir.File("m.glb"));
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_EQ(result.Summary.Meshes, 2);
    EXPECT_EQ(result.Summary.TexturesEmbedded, 1);
    ASSERT_EQ(result.Summary.Warnings.size(), 1u);
    EXPECT_EQ(result.Summary.Warnings[0],
              "2 joints and their key frames are not exported; the "
              "model is written in the pose its vertices are stored in");
    ExpectValidGltf(dir.File("m.glb"));

    const tinygltf::Model gltf = LoadGltf(dir.File("m.glb"));
    const int node = NodeNamed(gltf, "group1");
    const tinygltf::Primitive& primitive = gltf.meshes[gltf.nodes[node].mesh].primitives[0];
    EXPECT_EQ(gltf.materials[primitive.material].name, "material1");
    const std::vector<float> positions = AccessorFloats(gltf, primitive.attributes.at("POSITION"));
    const std::vector<int> indices = AccessorInts(gltf, primitive.indices);
    ASSERT_EQ(indices.size(), ms3d.Triangles.size() * 3);
    // Positions as stored, scaled, and the triangles in their own order.
    for (size_t k = 0; k < 3; ++k) {
        const TMS3DFloats p =
            UnpackFloats(ms3d.Vertices[ms3d.Triangles[1].vertexIndices[k]].position);
        const TVec3d exported = Vec3At(positions, size_t(indices[3 + k]));
        for (int c = 0; c < 3; ++c)
            EXPECT_FLOAT_EQ(float(exported[c]), p[c] * 3);
    }
}

TEST(MS3DExport, TrianglesNamingMissingVerticesAreRefused) {
    TMS3D ms3d = BuildMS3D(4, 1, 0);
    ms3d.Triangles[1].vertexIndices[2] = 40;
    TExportModel model;
    model.MS3D = &ms3d;
    TempDir dir;
    const TExportResult result = ExportGltf(model, {}, dir.File("x.glb"));
    EXPECT_EQ(result.Error, "triangle 1 names vertex 40 of 4");
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.glb")));
}

} // namespace
} // namespace quillon::test
