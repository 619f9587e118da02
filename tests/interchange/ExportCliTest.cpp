// quillon-cli export: the summary, the exit codes of the other verbs, nothing written on a
// failure, every model kind it reads, and the game data resolved through --game and --skin.
#include "GameDataBuilder.h"
#include "GltfReading.h"
#include "SkeletalBuilder.h"
#include "support/CliRun.h"
#include "support/MD3Builder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillon::test {
namespace {

namespace fs = std::filesystem;

TRun Cli(const std::string& home, const std::string& arguments) {
    return RunCommand("QUILLON_HOME='" + home + "' " + QUILLON_CLI_PATH + " export " + arguments +
                      " 2>/dev/null");
}

class ExportCli : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.File("home"));
        ASSERT_TRUE(BuildMD3({3, 1, 2, 4, 2, 1}).SaveToFile(dir.File("m.md3")));
        const TMDX mdx = BuildMDX(8, 5);
        ASSERT_TRUE(TMDX(mdx).SaveToFile(dir.File("a.mdx")));
        ASSERT_TRUE(BuildBoundMDM({2, 10, 2, 6, 2, 1, 5}, mdx, 0).SaveToFile(dir.File("a.mdm")));
        WriteText(dir.File("a.aninc"), "idle 0 4 0 10 0 0 0\n");
        WriteBytes(dir.File("old.mds"), MDSFileBytes(BuildMDS(3, 6, {2})));
        WriteBytes(dir.File("broken.md3"), {'I', 'D', 'P', '3', 0});
    }
    TRun Export(const std::string& arguments) { return Cli(dir.File("home"), arguments); }

    TempDir dir;
};

TEST_F(ExportCli, EveryKindExportsWithASummary) {
    TRun run = Export(dir.File("m.md3") + " -o " + dir.File("m.glb") + " --fps 30");
    ASSERT_EQ(run.Code, 0) << run.Output;
    EXPECT_TRUE(Says(run, "wrote " + dir.File("m.glb"))) << run.Output;
    EXPECT_TRUE(Says(run, "meshes: 2")) << run.Output;
    EXPECT_TRUE(Says(run, "vertices: 8")) << run.Output;
    EXPECT_TRUE(Says(run, "morph targets: 2")) << run.Output;
    EXPECT_TRUE(Says(run, "animations: 1")) << run.Output;
    EXPECT_TRUE(Says(run, "textures embedded: 0")) << run.Output;
    ExpectValidGltf(dir.File("m.glb"));

    run = Export(dir.File("a.mdm") + " " + dir.File("a.mdx") + " -o " + dir.File("a.gltf"));
    ASSERT_EQ(run.Code, 0) << run.Output;
    EXPECT_TRUE(Says(run, "skeletal: skin")) << run.Output;
    EXPECT_TRUE(Says(run, "joints: 5")) << run.Output;
    EXPECT_TRUE(Says(run, "animations: 2")) << run.Output; // all frames and "idle"
    ExpectValidGltf(dir.File("a.gltf"));

    run = Export(dir.File("a.mdm") + " " + dir.File("a.mdx") + " -o " + dir.File("b.glb") +
                 " --skeletal morph --frames 2-5");
    ASSERT_EQ(run.Code, 0) << run.Output;
    EXPECT_TRUE(Says(run, "skeletal: morph targets")) << run.Output;
    EXPECT_TRUE(Says(run, "morph targets: 3")) << run.Output;
    ExpectValidGltf(dir.File("b.glb"));
    // The frames are baked on several threads; the file does not depend on how many.
    for (const char* threads : {"1", "3"}) {
        fs::create_directories(dir.File(threads));
        const std::string out = dir.File(std::string(threads) + "/b.glb");
        ASSERT_EQ(Export(dir.File("a.mdm") + " " + dir.File("a.mdx") + " -o " + out +
                         " --skeletal morph --frames 2-5 --threads " + threads)
                      .Code,
                  0);
        EXPECT_EQ(ReadBytes(out), ReadBytes(dir.File("b.glb"))) << threads << " threads";
    }

    run = Export(dir.File("old.mds") + " -o " + dir.File("old.glb"));
    ASSERT_EQ(run.Code, 0) << run.Output;
    ExpectValidGltf(dir.File("old.glb"));
}

TEST_F(ExportCli, FailuresUseTheExitCodesAndWriteNothing) {
    EXPECT_EQ(Export(dir.File("broken.md3") + " -o " + dir.File("x.glb")).Code, 1);
    EXPECT_EQ(Export(dir.File("m.md3") + " -o " + dir.File("x.obj")).Code, 2);
    EXPECT_EQ(Export(dir.File("m.md3") + " -o " + dir.File("x.glb") + " --frames 2-1").Code, 2);
    EXPECT_EQ(Export(dir.File("m.md3") + " -o " + dir.File("x.glb") + " --frames 1-3").Code, 2);
    EXPECT_EQ(Export(dir.File("m.md3") + " -o " + dir.File("x.glb") + " --frames a").Code, 2);
    EXPECT_EQ(Export(dir.File("m.md3") + " -o " + dir.File("x.glb") + " --frames 0-").Code, 2);
    EXPECT_EQ(Export(dir.File("m.md3") + " -o " + dir.File("x.glb") + " --frames 0-1x").Code, 2);
    EXPECT_EQ(Export(dir.File("m.md3") + " -o " + dir.File("x.glb") + " --frames 1234567890").Code,
              2);
    EXPECT_EQ(Export(dir.File("m.md3") + " -o " + dir.File("x.glb") + " --scale 0").Code, 2);
    EXPECT_EQ(Export(dir.File("m.md3") + " -o " + dir.File("x.glb") + " --skeletal bone").Code, 2);
    EXPECT_EQ(Export(dir.File("m.md3") + " -o " + dir.File("x.glb") + " --threads 0").Code, 2);
    EXPECT_EQ(Export(dir.File("a.mdm") + " -o " + dir.File("x.glb")).Code, 2);
    EXPECT_EQ(Export(dir.File("m.md3") + " -o " + dir.File("x.glb") + " --game " + dir.Path).Code,
              2);
    EXPECT_EQ(Export(dir.File("missing.md3") + " -o " + dir.File("x.glb")).Code, 3);
    EXPECT_EQ(Export(dir.File("m.md3") + " -o " + dir.File("no/such/x.glb")).Code, 3);
    EXPECT_FALSE(fs::exists(dir.File("x.glb")));
    EXPECT_FALSE(fs::exists(dir.File("x.obj")));
}

TEST_F(ExportCli, SurfacesResolveThroughTheGameAndTheSkin) {
    fs::create_directories(dir.File("game/etmain"));
    WriteZip(dir.File("game/etmain/pak0.pk3"),
             {{"scripts/models.shader", "models/t/glow\n{\n{\nmap models/t/glow.tga\n"
                                        "alphaFunc GE128\n}\n}\n"},
              {"models/t/glow.tga", TGAImage(4, 2, 32)},
              {"models/t/plain.tga", TGAImage(2, 2, 24)}});
    WriteText(dir.File("m.skin"), "surface0,models/t/glow\nsurface1,models/t/plain.tga\n");
    const TRun run = Export(dir.File("m.md3") + " -o " + dir.File("g.glb") + " --game " +
                            dir.File("game") + " --skin " + dir.File("m.skin"));
    ASSERT_EQ(run.Code, 0) << run.Output;
    EXPECT_TRUE(Says(run, "textures embedded: 2")) << run.Output;
    EXPECT_TRUE(Says(run, "warnings: 0")) << run.Output;
    ExpectValidGltf(dir.File("g.glb"));
    const tinygltf::Model model = LoadGltf(dir.File("g.glb"));
    ASSERT_EQ(model.materials.size(), 2u);
    EXPECT_EQ(model.materials[0].name, "models/t/glow");
    EXPECT_EQ(model.materials[0].alphaMode, "MASK");
    EXPECT_EQ(model.materials[1].name, "models/t/plain.tga");
    EXPECT_EQ(model.materials[1].alphaMode, "OPAQUE");
}

} // namespace
} // namespace quillon::test
