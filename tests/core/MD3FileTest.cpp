#include "support/MD3Builder.h"

#include "core/FileError.h"
#include "core/MD3.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quillon;
using namespace quillon::test;

namespace {

void ExpectEmpty(const TMD3& md3) {
    EXPECT_EQ(md3.Header.numFrames, 0u);
    EXPECT_EQ(md3.Header.numTags, 0u);
    EXPECT_EQ(md3.Header.numSurfaces, 0u);
    EXPECT_TRUE(md3.Header.Frames.empty());
    EXPECT_TRUE(md3.Header.Tags.empty());
    EXPECT_TRUE(md3.Header.Surfaces.empty());
}

void ExpectSameModel(const TMD3& a, const TMD3& b) {
    EXPECT_EQ(0, std::memcmp(static_cast<const THeaderRecord*>(&a.Header),
                             static_cast<const THeaderRecord*>(&b.Header), 8 + 64 + 4 * 5));
    ASSERT_EQ(a.Header.Frames.size(), b.Header.Frames.size());
    EXPECT_EQ(0, std::memcmp(a.Header.Frames.data(), b.Header.Frames.data(),
                             a.Header.Frames.size() * sizeof(TMD3Frame)));
    ASSERT_EQ(a.Header.Tags.size(), b.Header.Tags.size());
    EXPECT_EQ(0, std::memcmp(a.Header.Tags.data(), b.Header.Tags.data(),
                             a.Header.Tags.size() * sizeof(TMD3Tag)));
    ASSERT_EQ(a.Header.Surfaces.size(), b.Header.Surfaces.size());
    for (size_t s = 0; s < a.Header.Surfaces.size(); ++s) {
        const TSurface& x = a.Header.Surfaces[s];
        const TSurface& y = b.Header.Surfaces[s];
        EXPECT_EQ(NameToString(x.name), NameToString(y.name));
        EXPECT_EQ(x.numVerts, y.numVerts);
        ASSERT_EQ(x.Vertices.size(), y.Vertices.size());
        EXPECT_EQ(0, std::memcmp(x.Vertices.data(), y.Vertices.data(),
                                 x.Vertices.size() * sizeof(TMD3Vertex)));
        ASSERT_EQ(x.Triangles.size(), y.Triangles.size());
        EXPECT_EQ(0, std::memcmp(x.Triangles.data(), y.Triangles.data(),
                                 x.Triangles.size() * sizeof(TMD3Triangle)));
        ASSERT_EQ(x.TexCoords.size(), y.TexCoords.size());
        for (size_t k = 0; k < x.TexCoords.size(); ++k) {
            EXPECT_EQ(x.TexCoords[k].s, y.TexCoords[k].s);
            EXPECT_NEAR(x.TexCoords[k].t, y.TexCoords[k].t, 1e-7f);
        }
        ASSERT_EQ(x.Shaders.size(), y.Shaders.size());
    }
}

uint32_t OfsSurfaces(const std::vector<char>& bytes) {
    uint32_t offset;
    std::memcpy(&offset, bytes.data() + 100, 4);
    return offset;
}

class MD3File : public ::testing::Test {
protected:
    TempDir dir;
};

} // namespace

TEST_F(MD3File, SaveLoadSaveIsByteIdentical) {
    TMD3 model = BuildMD3({.frames = 3, .tags = 2, .surfaces = 3});
    ASSERT_TRUE(model.SaveToFile(dir.File("a.md3")));
    TMD3 loaded;
    ASSERT_TRUE(loaded.LoadFromFile(dir.File("a.md3")));
    ExpectSameModel(model, loaded);
    ASSERT_TRUE(loaded.SaveToFile(dir.File("b.md3")));
    TMD3 again;
    ASSERT_TRUE(again.LoadFromFile(dir.File("b.md3")));
    ASSERT_TRUE(again.SaveToFile(dir.File("c.md3")));
    EXPECT_EQ(ReadBytes(dir.File("b.md3")), ReadBytes(dir.File("c.md3")));
}

TEST_F(MD3File, WriterLayoutAndOffsets) {
    TMD3 model = BuildMD3({.frames = 2,
                           .tags = 1,
                           .surfaces = 2,
                           .vertsPerSurface = 3,
                           .trianglesPerSurface = 1,
                           .shadersPerSurface = 2});
    ASSERT_TRUE(model.SaveToFile(dir.File("a.md3")));
    const THeader& h = model.Header;
    EXPECT_EQ(h.ofsFrames, 108u);
    EXPECT_EQ(h.ofsTags, 108u + 2 * 56);
    EXPECT_EQ(h.ofsSurfaces, h.ofsTags + 2 * 112);
    const uint32_t surfaceSize = 108 + 2 * 68 + 12 + 3 * 8 + 3 * 2 * 8;
    EXPECT_EQ(h.Surfaces[0].ofsEnd, surfaceSize);
    EXPECT_EQ(h.Surfaces[1].ofsXyzNormals, 108u + 2 * 68 + 12 + 3 * 8);
    EXPECT_EQ(h.ofsEnd, h.ofsSurfaces + 2 * surfaceSize);
    EXPECT_EQ(ReadBytes(dir.File("a.md3")).size(), h.ofsEnd);
    EXPECT_EQ(model.SurfaceSize(5), 0u);
    EXPECT_EQ(model.VerticesSize(-1), 0u);
}

TEST_F(MD3File, TexCoordTIsFlippedInMemoryOnly) {
    TMD3 model = BuildMD3({.frames = 1, .tags = 0, .surfaces = 1});
    const float t = model.Header.Surfaces[0].TexCoords[1].t;
    ASSERT_TRUE(model.SaveToFile(dir.File("a.md3")));
    EXPECT_EQ(model.Header.Surfaces[0].TexCoords[1].t, t); // the model is unchanged by saving
    const std::vector<char> bytes = ReadBytes(dir.File("a.md3"));
    TMD3TexCoord stored;
    std::memcpy(&stored,
                bytes.data() + model.Header.ofsSurfaces + model.Header.Surfaces[0].ofsSt +
                    sizeof(TMD3TexCoord),
                sizeof stored);
    EXPECT_FLOAT_EQ(stored.t, 1 - t);
}

TEST_F(MD3File, BlocksInAnotherOrderLoadAndSaveInWriterOrder) {
    TMD3 model = BuildMD3({.frames = 3, .tags = 2, .surfaces = 2});
    WriteBytes(dir.File("odd.md3"), MD3FileBytes(model, true));
    TMD3 loaded;
    ASSERT_TRUE(loaded.LoadFromFile(dir.File("odd.md3")));
    ExpectSameModel(model, loaded);
    ASSERT_TRUE(loaded.SaveToFile(dir.File("even.md3")));
    EXPECT_EQ(loaded.Header.ofsFrames, 108u);
    EXPECT_EQ(ReadBytes(dir.File("even.md3")).size(), loaded.Header.ofsEnd);
}

TEST_F(MD3File, VersionIsKeptAndIdentChecked) {
    TMD3 model = BuildMD3({});
    model.Header.version = 10;
    ASSERT_TRUE(model.SaveToFile(dir.File("v10.md3")));
    TMD3 loaded;
    ASSERT_TRUE(loaded.LoadFromFile(dir.File("v10.md3")));
    EXPECT_EQ(loaded.Header.version, 10u);

    std::vector<char> bytes = ReadBytes(dir.File("v10.md3"));
    bytes[3] = '2'; // IDP2
    WriteBytes(dir.File("idp2.md3"), bytes);
    EXPECT_FALSE(loaded.LoadFromFile(dir.File("idp2.md3")));
    ExpectEmpty(loaded);
}

TEST_F(MD3File, NoTagsAndNoSurfaces) {
    TMD3 model = BuildMD3({.frames = 2, .tags = 0, .surfaces = 0});
    ASSERT_TRUE(model.SaveToFile(dir.File("bare.md3")));
    EXPECT_EQ(model.Header.ofsTags, model.Header.ofsSurfaces);
    EXPECT_EQ(model.Header.ofsEnd, model.Header.ofsSurfaces);
    EXPECT_EQ(ReadBytes(dir.File("bare.md3")).size(), 108u + 2 * 56);
    TMD3 loaded;
    ASSERT_TRUE(loaded.LoadFromFile(dir.File("bare.md3")));
    EXPECT_EQ(loaded.Header.numFrames, 2u);
}

TEST_F(MD3File, EveryTruncationIsRefusedAndLeavesAnEmptyModel) {
    const std::vector<char> bytes = MD3FileBytes(BuildMD3({.frames = 2, .tags = 1}), false);
    TMD3 loaded;
    for (size_t size = 0; size < bytes.size(); size += 7) {
        WriteBytes(dir.File("cut.md3"), std::vector<char>(bytes.begin(), bytes.begin() + size));
        EXPECT_FALSE(loaded.LoadFromFile(dir.File("cut.md3"))) << size;
        ExpectEmpty(loaded);
    }
}

TEST_F(MD3File, AbsurdCountsAreAShortReadNotAnAllocation) {
    TMD3 model = BuildMD3({.frames = 1, .tags = 1, .surfaces = 1});
    std::vector<char> bytes = MD3FileBytes(model, false);
    auto withField = [&](size_t offset, uint32_t value) {
        std::vector<char> copy = bytes;
        std::memcpy(copy.data() + offset, &value, 4);
        WriteBytes(dir.File("bad.md3"), copy);
        TMD3 loaded;
        EXPECT_FALSE(loaded.LoadFromFile(dir.File("bad.md3"))) << offset;
        ExpectEmpty(loaded);
    };
    withField(76, 0xFFFFFFFF); // numFrames
    withField(80, 0x7FFFFFFF); // numTags
    withField(84, 0xFFFFFFF0); // numSurfaces
    withField(92, 0xFFFFFF00); // ofsFrames
    const size_t surface = OfsSurfaces(bytes);
    withField(surface + 80, 0xFFFFFFFF);  // numVerts
    withField(surface + 84, 0x40000000);  // numTriangles
    withField(surface + 100, 0xFFFFFFF0); // ofsXyzNormals
}

TEST_F(MD3File, SurfacesThatReuseTheSameBytesCannotExhaustMemory) {
    // Many surfaces whose ofsEnd is 0 all point at the same big vertex block.
    TMD3 model = BuildMD3({.frames = 1, .tags = 0, .surfaces = 1, .vertsPerSurface = 2000});
    std::vector<char> bytes = MD3FileBytes(model, false);
    const uint32_t surfaces = 5000, zero = 0;
    std::memcpy(bytes.data() + 84, &surfaces, 4);
    std::memcpy(bytes.data() + OfsSurfaces(bytes) + 104, &zero, 4);
    bytes.resize(bytes.size() + 5000 * 108);
    WriteBytes(dir.File("reuse.md3"), bytes);
    TMD3 loaded;
    EXPECT_FALSE(loaded.LoadFromFile(dir.File("reuse.md3")));
    ExpectEmpty(loaded);
}

TEST_F(MD3File, MissingFileRaisesFileError) {
    TMD3 md3;
    EXPECT_THROW((void)md3.LoadFromFile(dir.File("missing.md3")), FileError);
    EXPECT_THROW((void)md3.LoadFromFile(dir.Path), FileError);
    EXPECT_THROW((void)md3.SaveToFile(dir.File("no/such/folder.md3")), FileError);
}

TEST_F(MD3File, FailedSaveLeavesTheTargetUntouched) {
    const std::vector<char> original{'k', 'e', 'e', 'p'};
    WriteBytes(dir.File("target.md3"), original);
    TMD3 inconsistent = BuildMD3({});
    inconsistent.Header.numFrames = 7; // counts larger than the arrays
    EXPECT_FALSE(inconsistent.SaveToFile(dir.File("target.md3")));
    EXPECT_EQ(ReadBytes(dir.File("target.md3")), original);
}

TEST(MD3Model, ClearKeepsIdentityFields) {
    TMD3 model = BuildMD3({});
    model.Header.numSkins = 3;
    model.Header.flags = 9;
    model.Clear();
    ExpectEmpty(model);
    EXPECT_EQ(model.Header.numSkins, 0u);
    EXPECT_EQ(model.Header.flags, 9u);
    EXPECT_EQ(NameToString(model.Header.name), "models/test/builder");
}

TEST(MD3Model, SetShaderNameAndFlip) {
    TMD3 model = BuildMD3({.surfaces = 2, .shadersPerSurface = 1});
    model.SetShaderName(1, "textures/new");
    EXPECT_EQ(NameToString(model.Header.Surfaces[1].Shaders[0].name), "textures/new");
    model.Header.Surfaces[0].Shaders.clear();
    model.SetShaderName(0, "ignored"); // no shader record: nothing happens
    model.SetShaderName(9, "ignored");
    const float t = model.Header.Surfaces[1].TexCoords[2].t;
    model.FlipTexCoordT(1);
    EXPECT_FLOAT_EQ(model.Header.Surfaces[1].TexCoords[2].t, 1 - t);
}
