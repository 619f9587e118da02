#include "SkeletalBuilder.h"
#include "support/MD3Builder.h"

#include "core/MD3.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace quillon::test {
namespace {

int Cli(const std::string& arguments) {
    const int status =
        std::system((std::string(QUILLON_CLI_PATH) + " " + arguments + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class SkeletalCli : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(dir.File("m.mdm"), MDMFileBytes(BuildMDM({}), true));
        TMDX mdx = BuildMDX(6, 4);
        ASSERT_TRUE(mdx.SaveToFile(dir.File("a.mdx")));
        WriteBytes(dir.File("old.mds"), MDSFileBytes(BuildMDS(3, 6, {2})));
    }
    TempDir dir;
};

TEST_F(SkeletalCli, BakeConvertAndResave) {
    ASSERT_EQ(Cli("bake " + dir.File("m.mdm") + " " + dir.File("a.mdx") + " --start 2 --end 4 -o " +
                  dir.File("out.md3")),
              0);
    TMD3 md3;
    ASSERT_TRUE(md3.LoadFromFile(dir.File("out.md3")));
    EXPECT_EQ(md3.Header.numFrames, 3u);
    for (const char* threads : {"1", "3"}) {
        const std::string out = dir.File(std::string("t") + threads + ".md3");
        ASSERT_EQ(Cli("bake " + dir.File("m.mdm") + " " + dir.File("a.mdx") +
                      " --start 2 --end 4 --threads " + threads + " -o " + out),
                  0);
        EXPECT_EQ(ReadBytes(out), ReadBytes(dir.File("out.md3"))) << threads << " threads";
    }

    ASSERT_EQ(Cli("mds2mdm " + dir.File("old.mds") + " -o " + dir.File("c.mdm") + " --mdx " +
                  dir.File("c.mdx")),
              0);
    TMDX converted;
    ASSERT_TRUE(converted.LoadFromFile(dir.File("c.mdx")));
    EXPECT_EQ(converted.Header.numBones, 5u);

    ASSERT_EQ(Cli("resave " + dir.File("m.mdm") + " -o " + dir.File("r.mdm")), 0);
    EXPECT_EQ(ReadBytes(dir.File("r.mdm")), MDMFileBytes(BuildMDM({}), false));
    for (const char* file : {"m.mdm", "a.mdx", "old.mds"})
        EXPECT_EQ(Cli("info --json " + dir.File(file)), 0) << file;
}

TEST_F(SkeletalCli, FailuresWriteNothing) {
    EXPECT_EQ(Cli("bake " + dir.File("m.mdm") + " " + dir.File("a.mdx") + " --end 6 -o " +
                  dir.File("x.md3")),
              1);
    EXPECT_EQ(
        Cli("bake " + dir.File("a.mdx") + " " + dir.File("a.mdx") + " -o " + dir.File("x.md3")), 1);
    EXPECT_EQ(Cli("bake " + dir.File("m.mdm") + " " + dir.File("a.mdx") + " --threads 0 -o " +
                  dir.File("x.md3")),
              2);
    EXPECT_EQ(Cli("resave " + dir.File("missing.mdx") + " -o " + dir.File("x.mdx")), 3);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.md3")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.mdx")));
    // The animation cannot be written: the mesh is not left behind either.
    EXPECT_EQ(Cli("mds2mdm " + dir.File("old.mds") + " -o " + dir.File("x.mdm") + " --mdx " +
                  dir.File("no/such/folder/x.mdx")),
              3);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path),
                            std::filesystem::directory_iterator{}),
              3);
    // Over a limit: refused unless --yes.
    WriteBytes(dir.File("big.mdm"), MDMFileBytes(BuildMDM({33, 1, 1, 1, 1, 0, 1}), false));
    EXPECT_EQ(Cli("resave " + dir.File("big.mdm") + " -o " + dir.File("y.mdm")), 1);
    EXPECT_EQ(Cli("resave --yes " + dir.File("big.mdm") + " -o " + dir.File("y.mdm")), 0);
}

} // namespace
} // namespace quillon::test
