#include "SkeletalBuilder.h"
#include "support/MD3Builder.h"

#include "core/FileError.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace quillon::test {
namespace {

// Saves `mesh` and returns the file's bytes.
std::vector<char> SavedBytes(TMDM& mesh, const TempDir& dir) {
    const std::string path = dir.File("saved.mdm");
    EXPECT_TRUE(mesh.SaveToFile(path));
    return ReadBytes(path);
}

TMDM Load(const std::vector<char>& bytes, const TempDir& dir, bool* ok = nullptr) {
    const std::string path = dir.File("in.mdm");
    WriteBytes(path, bytes);
    TMDM mesh;
    const bool loaded = mesh.LoadFromFile(path);
    if (ok)
        *ok = loaded;
    else
        EXPECT_TRUE(loaded);
    return mesh;
}

TEST(MDMFile, WriterLayoutIsCompactWithRecomputedOffsets) {
    TempDir dir;
    TMDM mesh = BuildMDM({});
    const std::vector<char> saved = SavedBytes(mesh, dir);
    EXPECT_EQ(saved, MDMFileBytes(BuildMDM({}), false));
    EXPECT_EQ(saved.size(), TMDM::HeaderSize() + mesh.SurfacesSize() + mesh.TagsSize());
    EXPECT_EQ(mesh.Header.ofsSurfaces, 100);
    EXPECT_EQ(mesh.Header.ofsEnd, int32_t(saved.size()));
    EXPECT_EQ(mesh.Surfaces[1].ofsHeader, -int32_t(100 + mesh.SurfaceSize(0)));
    EXPECT_EQ(mesh.Surfaces[0].ofsTriangles, 176 + int32_t(mesh.VertexDataSize(0)));
}

TEST(MDMFile, GappedFileReadsAndBecomesCompact) {
    TempDir dir;
    const TMDM original = BuildMDM({3, 5, 3, 4, 2, 3, 6});
    TMDM loaded = Load(MDMFileBytes(original, true), dir);
    ASSERT_EQ(loaded.Surfaces.size(), 3u);
    EXPECT_EQ(loaded.Surfaces[2].Vertices[4].Weights[2].offset.z,
              original.Surfaces[2].Vertices[4].Weights[2].offset.z);
    EXPECT_EQ(loaded.Tags[2].BoneRefs, original.Tags[2].BoneRefs);
    // Tag offset fields are carried as read, never recomputed.
    EXPECT_EQ(loaded.Tags[1].ofsEnd, 1001);
    EXPECT_EQ(SavedBytes(loaded, dir), MDMFileBytes(original, false));
    EXPECT_EQ(loaded.LODTable[1].numVerts, 5);
    EXPECT_EQ(loaded.LODTable[1].minLod, 5);
}

TEST(MDMFile, EmptyPartsRoundTrip) {
    TempDir dir;
    for (const MDMShape& shape : {MDMShape{0, 0, 0, 0, 0, 0, 1}, MDMShape{1, 3, 0, 1, 0, 0, 1},
                                  MDMShape{2, 0, 0, 0, 0, 4, 2}}) {
        TMDM mesh = BuildMDM(shape);
        const std::vector<char> bytes = SavedBytes(mesh, dir);
        TMDM again = Load(bytes, dir);
        EXPECT_EQ(again.Surfaces.size(), size_t(shape.surfaces));
        EXPECT_EQ(again.Tags.size(), size_t(shape.tags));
        EXPECT_EQ(SavedBytes(again, dir), bytes);
    }
    // A vertex without weights takes its 24 bytes only.
    TMDM noWeights = BuildMDM({1, 3, 0, 1, 0, 0, 1});
    EXPECT_EQ(noWeights.VertexDataSize(0), 3u * 24);
}

TEST(MDMFile, RefusedFilesLeaveTheMeshEmpty) {
    TempDir dir;
    const std::vector<char> good = MDMFileBytes(BuildMDM({}), false);
    int asked = 0;
    auto tryLoad = [&](std::vector<char> bytes) {
        WriteBytes(dir.File("bad.mdm"), bytes);
        TMDM mesh = BuildMDM({});
        mesh.AskLimit = [&](const std::string&) { return ++asked, true; };
        const bool ok = mesh.LoadFromFile(dir.File("bad.mdm"));
        EXPECT_TRUE(mesh.Surfaces.empty());
        EXPECT_TRUE(mesh.Tags.empty());
        return ok;
    };
    std::vector<char> wrongIdent = good;
    wrongIdent[3] = 'X';
    EXPECT_FALSE(tryLoad(wrongIdent));
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(tryLoad({good.begin(), good.begin() + 99}));
    for (size_t cut : {size_t(150), size_t(300), good.size() - 1})
        EXPECT_FALSE(tryLoad({good.begin(), good.begin() + cut})) << cut;
    // Counts far beyond the file are refused before anything is sized.
    std::vector<char> hugeWeights = good;
    const uint32_t huge = 0x7FFFFFFF;
    std::memcpy(hugeWeights.data() + 100 + 176 + 20, &huge, 4);
    EXPECT_FALSE(tryLoad(hugeWeights));
    std::vector<char> hugeSurfaces = good;
    std::memcpy(hugeSurfaces.data() + 80, &huge, 4);
    EXPECT_FALSE(tryLoad(hugeSurfaces));
    std::vector<char> negativeOffset = good;
    const int32_t minus = -5000;
    std::memcpy(negativeOffset.data() + 100 + 156, &minus, 4);
    EXPECT_FALSE(tryLoad(negativeOffset));
    EXPECT_THROW((void)TMDM().LoadFromFile(dir.File("missing.mdm")), FileError);
}

TEST(MDMFile, LimitQuestions) {
    TempDir dir;
    std::vector<std::string> asked;
    auto loadWith = [&](const TMDM& model, bool answer) {
        WriteBytes(dir.File("big.mdm"), MDMFileBytes(model, false));
        TMDM mesh;
        mesh.AskLimit = [&](const std::string& text) { return asked.push_back(text), answer; };
        const bool ok = mesh.LoadFromFile(dir.File("big.mdm"));
        return std::make_pair(ok, std::move(mesh));
    };
    auto [refused, empty] = loadWith(BuildMDM({40, 1, 1, 1, 1, 0, 1}), false);
    EXPECT_FALSE(refused);
    EXPECT_TRUE(empty.Surfaces.empty());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "MAX_SURFACES limit exceeded: 40 > 32\r\nContinue loading?..");

    asked.clear();
    auto [accepted, big] = loadWith(BuildMDM({1, 7000, 1, 9000, 1, 0, 1}), true);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(big.Surfaces[0].Vertices.size(), 7000u);
    EXPECT_EQ(asked, (std::vector<std::string>{
                         "MAX_VERTICES limit exceeded: 7000 > 6000\r\nContinue loading?..",
                         "MAX_TRIANGLES limit exceeded: 9000 > 8192\r\nContinue loading?.."}));

    // Without anyone to ask, the answer is No.
    WriteBytes(dir.File("tags.mdm"), MDMFileBytes(BuildMDM({1, 1, 1, 1, 1, 129, 1}), false));
    EXPECT_FALSE(TMDM().LoadFromFile(dir.File("tags.mdm")));
}

TEST(MDMFile, SurfacesPastTheLodTableLoadWithoutEntries) {
    TempDir dir;
    WriteBytes(dir.File("many.mdm"), MDMFileBytes(BuildMDM({34, 2, 1, 1, 1, 0, 1}), false));
    TMDM mesh;
    mesh.AskLimit = [](const std::string&) { return true; };
    ASSERT_TRUE(mesh.LoadFromFile(dir.File("many.mdm")));
    EXPECT_EQ(mesh.Surfaces.size(), 34u);
    EXPECT_EQ(mesh.LODTable[31].numVerts, 2);
}

TEST(MDMFile, LoadTagsFromFileReplacesOnlyTags) {
    TempDir dir;
    TMDM other = BuildMDM({0, 0, 0, 0, 0, 5, 1});
    StringToName("other_tag", other.Tags[4].name);
    WriteBytes(dir.File("other.mdm"), MDMFileBytes(other, true));
    TMDM mesh = BuildMDM({});
    ASSERT_TRUE(mesh.LoadTagsFromFile(dir.File("other.mdm")));
    EXPECT_EQ(mesh.Header.numTags, 5u);
    EXPECT_EQ(NameToString(mesh.Tags[4].name), "other_tag");
    EXPECT_EQ(mesh.Surfaces.size(), 2u);
    EXPECT_EQ(NameToString(mesh.Header.name), "models/test/mesh");

    // A truncated or refused tag file leaves the current tags alone.
    std::vector<char> cut = MDMFileBytes(other, false);
    cut.resize(cut.size() - 2);
    WriteBytes(dir.File("cut.mdm"), cut);
    EXPECT_FALSE(mesh.LoadTagsFromFile(dir.File("cut.mdm")));
    EXPECT_EQ(mesh.Tags.size(), 5u);
    WriteBytes(dir.File("many.mdm"), MDMFileBytes(BuildMDM({0, 0, 0, 0, 0, 130, 1}), false));
    EXPECT_FALSE(mesh.LoadTagsFromFile(dir.File("many.mdm")));
    EXPECT_EQ(mesh.Tags.size(), 5u);
}

TEST(MDMFile, SetSurfaceShaderAndCollapseMap) {
    TMDM mesh = BuildMDM({});
    std::memset(mesh.Surfaces[0].shader, 'x', 64);
    mesh.SetSurfaceShader(0, "textures/a.tga");
    EXPECT_EQ(NameToString(mesh.Surfaces[0].shader, 63), "textures/a.tga");
    EXPECT_EQ(mesh.Surfaces[0].shader[62], 0);
    EXPECT_EQ(mesh.Surfaces[0].shader[63], 'x');
    mesh.SetSurfaceShader(0, std::string(80, 'y'));
    EXPECT_EQ(NameToString(mesh.Surfaces[0].shader, 63), std::string(63, 'y'));
    const std::string before = NameToString(mesh.Surfaces[1].shader);
    mesh.SetSurfaceShader(-1, "no");
    mesh.SetSurfaceShader(2, "no");
    EXPECT_EQ(NameToString(mesh.Surfaces[1].shader), before);

    EXPECT_TRUE(mesh.HasCollapseMap());
    for (TMDMSurface& s : mesh.Surfaces)
        std::fill(s.CollapseMap.begin(), s.CollapseMap.end(), 0);
    EXPECT_FALSE(mesh.HasCollapseMap());
}

TEST(MDMFile, InconsistentMeshIsNotSaved) {
    TempDir dir;
    TMDM mesh = BuildMDM({});
    mesh.Surfaces[1].Vertices[0].numWeights = 9;
    EXPECT_FALSE(mesh.SaveToFile(dir.File("bad.mdm")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("bad.mdm")));
}

} // namespace
} // namespace quillon::test
