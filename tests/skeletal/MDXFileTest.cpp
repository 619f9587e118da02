#include "SkeletalBuilder.h"
#include "support/MD3Builder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quillon::test {
namespace {

std::string Save(TMDX mdx, const TempDir& dir, const std::string& name) {
    const std::string path = dir.File(name);
    EXPECT_TRUE(mdx.SaveToFile(path));
    return path;
}

// memcmp of two arrays that may both be empty, when their data pointers may be null.
bool SameBytes(const void* a, const void* b, size_t bytes) {
    return bytes == 0 || std::memcmp(a, b, bytes) == 0;
}

void ExpectSameAnimation(const TMDX& a, const TMDX& b) {
    ASSERT_EQ(a.Frames.size(), b.Frames.size());
    ASSERT_EQ(a.Bones.size(), b.Bones.size());
    for (size_t f = 0; f < a.Frames.size(); ++f) {
        EXPECT_EQ(a.Frames[f].radius, b.Frames[f].radius);
        EXPECT_EQ(a.Frames[f].parentOffset, b.Frames[f].parentOffset);
        EXPECT_TRUE(SameBytes(a.Frames[f].BoneFrames.data(), b.Frames[f].BoneFrames.data(),
                              a.Bones.size() * sizeof(TMDXBoneFrame)));
    }
    EXPECT_TRUE(SameBytes(a.Bones.data(), b.Bones.data(), a.Bones.size() * sizeof(TMDXBoneInfo)));
}

TEST(MDXFile, RoundTripWithRecomputedOffsets) {
    TempDir dir;
    for (auto [frames, bones] : {std::pair{3, 5}, {0, 4}, {2, 0}, {0, 0}}) {
        const TMDX original = BuildMDX(frames, bones);
        const std::string path = Save(original, dir, "a.mdx");
        EXPECT_EQ(ReadBytes(path).size(), 96u + frames * (52u + 12 * bones) + 80u * bones);
        TMDX loaded;
        ASSERT_TRUE(loaded.LoadFromFile(path));
        EXPECT_EQ(loaded.Header.ofsFrames, 96);
        EXPECT_EQ(loaded.Header.ofsBones, int32_t(96 + loaded.FramesSize()));
        EXPECT_EQ(loaded.Header.torsoParent, original.Header.torsoParent);
        ExpectSameAnimation(loaded, original);
    }
}

TEST(MDXFile, BrokenFilesAreRefusedAndLeaveItEmpty) {
    TempDir dir;
    const std::vector<char> good = ReadBytes(Save(BuildMDX(3, 5), dir, "good.mdx"));
    auto loads = [&](const std::vector<char>& bytes) {
        WriteBytes(dir.File("bad.mdx"), bytes);
        TMDX mdx = BuildMDX(1, 1);
        const bool ok = mdx.LoadFromFile(dir.File("bad.mdx"));
        EXPECT_TRUE(mdx.Frames.empty() && mdx.Bones.empty());
        return ok;
    };
    std::vector<char> ident = good;
    ident[0] = 'N';
    EXPECT_FALSE(loads(ident));
    for (size_t cut : {size_t(95), size_t(120), good.size() - 1})
        EXPECT_FALSE(loads({good.begin(), good.begin() + cut}));
    std::vector<char> hugeFrames = good;
    const uint32_t huge = 0xFFFFFFFF;
    std::memcpy(hugeFrames.data() + 72, &huge, 4);
    EXPECT_FALSE(loads(hugeFrames));
    std::vector<char> hugeBones = good;
    std::memcpy(hugeBones.data() + 76, &huge, 4);
    EXPECT_FALSE(loads(hugeBones));
}

TEST(MDXFile, ReplacingBonesOrFramesNeedsTheSameBoneCount) {
    TempDir dir;
    TMDX other = BuildMDX(7, 4);
    StringToName("renamed", other.Bones[3].name);
    other.Frames[6].radius = 99;
    const std::string same = Save(other, dir, "same.mdx");
    const std::string fewer = Save(BuildMDX(2, 3), dir, "fewer.mdx");

    TMDX mdx = BuildMDX(2, 4);
    EXPECT_FALSE(mdx.LoadBonesFromFile(fewer));
    EXPECT_FALSE(mdx.LoadFramesFromFile(fewer));
    EXPECT_EQ(mdx.Bones.size(), 4u);
    EXPECT_EQ(mdx.Frames.size(), 2u);

    ASSERT_TRUE(mdx.LoadBonesFromFile(same));
    EXPECT_EQ(NameToString(mdx.Bones[3].name), "renamed");
    EXPECT_EQ(mdx.Header.numFrames, 2u);

    ASSERT_TRUE(mdx.LoadFramesFromFile(same));
    EXPECT_EQ(mdx.Header.numFrames, 7u);
    EXPECT_EQ(mdx.Frames[6].radius, 99);
    EXPECT_EQ(mdx.Frames[6].BoneFrames.size(), 4u);
    EXPECT_TRUE(mdx.SaveToFile(dir.File("after.mdx")));
}

} // namespace
} // namespace quillon::test
