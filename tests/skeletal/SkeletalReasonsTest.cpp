// The reasons the skeletal readers give for a refused file: the record, the offset and what
// was wrong, or the count over a limit.
#include "SkeletalBuilder.h"
#include "support/MD3Builder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quillon::test {
namespace {

std::vector<char> WithInt(std::vector<char> bytes, size_t offset, int32_t value) {
    std::memcpy(bytes.data() + offset, &value, 4);
    return bytes;
}

class SkeletalReasons : public ::testing::Test {
protected:
    // Loads `bytes` into a fresh `Model`, expecting a refusal, and returns the reason.
    template <class Model> std::string RefusalOf(const std::vector<char>& bytes, Model model = {}) {
        WriteBytes(dir.File("bad"), bytes);
        EXPECT_FALSE(model.LoadFromFile(dir.File("bad")));
        return model.LastError();
    }
    TempDir dir;
};

TEST_F(SkeletalReasons, MDMTruncatedOffsetsAndIdent) {
    TMDM mesh = BuildMDM({});
    ASSERT_TRUE(mesh.SaveToFile(dir.File("good.mdm")));
    const std::vector<char> good = ReadBytes(dir.File("good.mdm"));
    const uint64_t triangles =
        mesh.Header.ofsSurfaces + mesh.SurfaceSize(0) + mesh.Surfaces[1].ofsTriangles;
    EXPECT_EQ(RefusalOf<TMDM>({good.begin(), good.begin() + triangles + 5}),
              "truncated: surface 1 triangles need 24 bytes at offset " +
                  std::to_string(triangles) + ", 5 remain");
    constexpr size_t OfsVerts = 100 + 148; // of surface 0
    EXPECT_EQ(RefusalOf<TMDM>(WithInt(good, OfsVerts, -5000)),
              "bad offset: surface 0 vertices at offset -4900, before the start of the file");
    std::vector<char> ident = good;
    ident[3] = 'X';
    EXPECT_EQ(RefusalOf<TMDM>(ident), "ident is \"MDMX\", expected \"MDMW\"");
    TMDM yes;
    yes.AskLimit = [](const std::string&) { return true; };
    EXPECT_EQ(RefusalOf(WithInt(good, 80, 0x7FFFFFFF), yes),
              "truncated: 2147483647 surface headers need " +
                  std::to_string(uint64_t{0x7FFFFFFF} * 176) + " bytes, the whole file has " +
                  std::to_string(good.size()));
}

TEST_F(SkeletalReasons, MDMLimitsTheUserRefused) {
    TMDM no;
    no.AskLimit = [](const std::string&) { return false; };
    EXPECT_EQ(RefusalOf(MDMFileBytes(BuildMDM({1, 7000, 1, 1, 1, 0, 1}), false), no),
              "surface 0 numVerts 7000 above the limit of 6000, refused by the user");
    // Without anyone to ask the answer is No, with the same reason.
    EXPECT_EQ(RefusalOf<TMDM>(MDMFileBytes(BuildMDM({40, 1, 1, 1, 1, 0, 1}), false)),
              "numSurfaces 40 above the limit of 32, refused by the user");

    WriteBytes(dir.File("tags.mdm"), MDMFileBytes(BuildMDM({0, 0, 0, 0, 0, 130, 1}), false));
    TMDM mesh = BuildMDM({});
    EXPECT_FALSE(mesh.LoadTagsFromFile(dir.File("tags.mdm")));
    EXPECT_EQ(mesh.LastError(), "numTags 130 above the limit of 128, refused by the user");
    mesh.Surfaces[0].CollapseMap.pop_back();
    EXPECT_FALSE(mesh.SaveToFile(dir.File("out.mdm")));
    EXPECT_EQ(mesh.LastError(),
              "counts disagree with the data: surface 0 collapse map: 3 held, numVerts is 4");
}

TEST_F(SkeletalReasons, MDXFramesAndBoneCounts) {
    const TMDX animation = BuildMDX(3, 5);
    TMDX copy = animation;
    ASSERT_TRUE(copy.SaveToFile(dir.File("good.mdx")));
    const std::vector<char> good = ReadBytes(dir.File("good.mdx"));
    EXPECT_EQ(RefusalOf<TMDX>({good.begin(), good.begin() + 200}),
              "truncated: 3 frames need 336 bytes at offset 96, 104 remain");
    EXPECT_EQ(RefusalOf<TMDX>({good.begin(), good.end() - 1}),
              "truncated: 5 bone infos need 400 bytes at offset 432, 399 remain");

    TMDX fewer = BuildMDX(2, 4);
    EXPECT_FALSE(fewer.LoadBonesFromFile(dir.File("good.mdx")));
    EXPECT_EQ(fewer.LastError(), "numBones 5 differs from the 4 bones of the current animation");
    EXPECT_FALSE(fewer.LoadFramesFromFile(dir.File("good.mdx")));
    EXPECT_EQ(fewer.LastError(), "numBones 5 differs from the 4 bones of the current animation");
    ASSERT_TRUE(fewer.LoadFromFile(dir.File("good.mdx")));
    EXPECT_EQ(fewer.LastError(), "");
}

TEST_F(SkeletalReasons, MDSBoneLimitAndTruncation) {
    EXPECT_EQ(RefusalOf<TMDS>(MDSFileBytes(BuildMDS(1, 129, {}))),
              "numBones 129 above the limit of 128");
    const std::vector<char> good = MDSFileBytes(BuildMDS(2, 4, {}));
    EXPECT_EQ(RefusalOf<TMDS>({good.begin(), good.begin() + 119}),
              "truncated: header needs 120 bytes at offset 0, 119 remain");
    EXPECT_TRUE(RefusalOf<TMDS>({good.begin(), good.end() - 1}).starts_with("truncated: "));

    TMDS mds;
    WriteBytes(dir.File("good.mds"), good);
    ASSERT_TRUE(mds.LoadFromFile(dir.File("good.mds")));
    mds.Frames[1].BoneFrames.pop_back();
    TMDM mesh;
    TMDX animation;
    EXPECT_FALSE(mds.ConvertToSkeletal(mesh, animation));
    EXPECT_EQ(mds.LastError(), "counts disagree with the data: frame 1 bones: 3 held, the number "
                               "of bone infos is 4");
}

TEST_F(SkeletalReasons, MS3DNamesTheBlock) {
    const std::vector<char> good = MS3DFileBytes(BuildMS3D(5, 2, 3));
    EXPECT_EQ(RefusalOf<TMS3D>({good.begin(), good.end() - 1}),
              "truncated: model extra needs 12 bytes at offset " +
                  std::to_string(good.size() - 12) + ", 11 remain");
    std::vector<char> ident = good;
    ident[9] = '1';
    EXPECT_EQ(RefusalOf<TMS3D>(ident), "ident is \"MS3D000001\", expected \"MS3D000000\"");
    // The vertex count of the first block says 65535: more than the file holds.
    std::vector<char> many = good;
    many[14] = char(0xFF);
    many[15] = char(0xFF);
    EXPECT_EQ(RefusalOf<TMS3D>(many), "truncated: 65535 vertices need 983025 bytes at offset 16, " +
                                          std::to_string(good.size() - 16) + " remain");
}

} // namespace
} // namespace quillon::test
