// quillon-cli import: an exported MD3 and a MilkShape model become MD3 files with a summary;
// usage mistakes, unreadable files and models over the limits exit as the other verbs do and
// write nothing.
#include "SkeletalBuilder.h"
#include "support/CliRun.h"
#include "support/MD3Builder.h"

#include "interchange/GltfExport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillon::test {
namespace {

namespace fs = std::filesystem;

TRun Import(const std::string& arguments) {
    return RunCommand(std::string(QUILLON_CLI_PATH) + " import " + arguments + " 2>&1");
}

class ImportCli : public ::testing::Test {
protected:
    void SetUp() override {
        const TMD3 md3 = BuildGridMD3(4, 3, 5, 2);
        TExportModel model;
        model.MD3 = &md3;
        ASSERT_TRUE(ExportGltf(model, {}, dir.File("grid.glb")).Ok());
        WriteBytes(dir.File("m.ms3d"), MS3DFileBytes(BuildMS3D(6, 2, 2)));
        WriteBytes(dir.File("broken.glb"), {'g', 'l', 'T', 'F', 2, 0, 0, 0});
    }
    TempDir dir;
};

TEST_F(ImportCli, GltfAndMilkShapeBecomeMD3FilesWithASummary) {
    TRun run = Import(dir.File("grid.glb") + " -o " + dir.File("grid.md3"));
    ASSERT_EQ(run.Code, 0) << run.Output;
    EXPECT_TRUE(Says(run, "surfaces: 1")) << run.Output;
    EXPECT_TRUE(Says(run, "vertices: 12")) << run.Output;
    EXPECT_TRUE(Says(run, "frames: 5")) << run.Output;
    EXPECT_TRUE(Says(run, "tags: 2")) << run.Output;
    EXPECT_TRUE(Says(run, "animation \"all frames\": frames 0 to 4 at 15 frames per second"))
        << run.Output;
    // Exported without materials, the surface comes back without a shader.
    EXPECT_TRUE(Says(run, "warnings: 1")) << run.Output;
    EXPECT_TRUE(Says(run, "warning: surface \"grid\" has no shader name")) << run.Output;
    TMD3 md3;
    ASSERT_TRUE(md3.LoadFromFile(dir.File("grid.md3")));
    EXPECT_EQ(md3.Header.numFrames, 5u);

    run = Import(dir.File("m.ms3d") + " -o " + dir.File("m.md3") + " --shader-from material");
    ASSERT_EQ(run.Code, 0) << run.Output;
    EXPECT_TRUE(Says(run, "surfaces: 2")) << run.Output;
    ASSERT_TRUE(md3.LoadFromFile(dir.File("m.md3")));
    EXPECT_EQ(NameToString(md3.Header.Surfaces[1].Shaders[0].name), "material1");
}

TEST_F(ImportCli, FailuresExitAsTheOtherVerbsAndWriteNothing) {
    TRun run = Import(dir.File("grid.glb") + " -o " + dir.File("out.obj"));
    EXPECT_EQ(run.Code, 2) << run.Output;
    run = Import(dir.File("grid.glb") + " -o " + dir.File("out.md3") + " --animation walk");
    EXPECT_EQ(run.Code, 2) << run.Output;
    EXPECT_TRUE(Says(run, dir.File("grid.glb") +
                              ": the file has no animation named \"walk\" (it has \"all frames\")"))
        << run.Output;
    run = Import(dir.File("grid.glb") + " -o " + dir.File("out.md3") +
                 " --animation a --all-animations");
    EXPECT_EQ(run.Code, 2) << run.Output;
    run = Import(dir.File("broken.glb") + " -o " + dir.File("out.md3"));
    EXPECT_EQ(run.Code, 1) << run.Output;
    run = Import(dir.File("grid.glb") + " -o " + dir.File("out.md3") + " --scale 200");
    EXPECT_EQ(run.Code, 1) << run.Output;
    run = Import(dir.File("missing.glb") + " -o " + dir.File("out.md3"));
    EXPECT_EQ(run.Code, 3) << run.Output;
    EXPECT_FALSE(fs::exists(dir.File("out.md3")));
}

} // namespace
} // namespace quillon::test
