// quillon-cli check: exit codes, the JSON list, and --fix writing a repaired copy that is read
// back and checked again, never touching the input unless -o names it.
#include "GameDataBuilder.h"
#include "SkeletalBuilder.h"
#include "support/MD3Builder.h"

#include "core/MD3.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace quillon::test {
namespace {

namespace fs = std::filesystem;

struct CliResult {
    int exit = -1;
    std::string out;
};

class CheckCli : public ::testing::Test {
protected:
    CheckCli() {
        TMD3 sound = BuildGridMD3(4, 3, 2);
        EXPECT_TRUE(sound.SaveToFile(dir.File("sound.md3")));
        TMD3 broken = BuildGridMD3(40, 40, 2); // 1600 vertices, 3042 triangles
        broken.Header.Frames[1].radius = 1;
        EXPECT_TRUE(broken.SaveToFile(dir.File("broken.md3")));
        WriteText(dir.File("not.md3"), "IDP2, not a model");
    }

    CliResult Run(const std::string& arguments) {
        const std::string command = "QUILLON_HOME=" + dir.File("home") + " " + QUILLON_CLI_PATH +
                                    " check " + arguments + " 2>/dev/null";
        CliResult result;
        FILE* pipe = popen(command.c_str(), "r");
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            result.out.append(buffer, n);
        const int status = pclose(pipe);
        result.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return result;
    }
    int Exit(const std::string& arguments) { return Run(arguments).exit; }

    TempDir dir;
};

TEST_F(CheckCli, ExitCodes) {
    EXPECT_EQ(Exit(dir.File("sound.md3")), 0);
    EXPECT_EQ(Exit(dir.File("broken.md3")), 1);
    EXPECT_EQ(Exit(dir.File("sound.md3") + " " + dir.File("broken.md3")), 1);
    EXPECT_EQ(Exit(dir.File("not.md3")), 3);
    EXPECT_EQ(Exit(dir.File("missing.md3")), 3);
    EXPECT_EQ(Exit(dir.File("sound.md3") + " " + dir.File("not.md3")), 3);
    EXPECT_EQ(Exit(dir.Path), 3); // a folder without the three parts
    EXPECT_EQ(Exit(""), 2);
    EXPECT_EQ(Exit("--target q2 " + dir.File("sound.md3")), 2);
    EXPECT_EQ(Exit("--fix " + dir.File("broken.md3")), 2);
    EXPECT_EQ(Exit("-o x.md3 " + dir.File("broken.md3")), 2);
    EXPECT_EQ(Exit("--fix --no-fix wobble -o x.md3 " + dir.File("broken.md3")), 2);
    EXPECT_EQ(Exit("--fix -o x.md3 " + dir.File("sound.md3") + " " + dir.File("broken.md3")), 2);
    EXPECT_EQ(Exit("--game " + dir.File("nowhere") + " " + dir.File("sound.md3")), 2);
    EXPECT_EQ(Exit("--skin " + dir.File("missing.skin") + " " + dir.File("sound.md3")), 3);
}

TEST_F(CheckCli, JsonListsEveryFindingWithItsPlace) {
    const CliResult result = Run("--json " + dir.File("broken.md3"));
    EXPECT_EQ(result.exit, 1);
    const auto list = nlohmann::json::parse(result.out);
    ASSERT_TRUE(list.is_array());
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]["code"], "verts-per-surface");
    EXPECT_EQ(list[0]["severity"], "error");
    EXPECT_EQ(list[0]["surface"], 0);
    EXPECT_EQ(list[0]["surfaceName"], "grid");
    EXPECT_EQ(list[0]["file"], dir.File("broken.md3"));
    EXPECT_TRUE(list[0]["frame"].is_null());
    EXPECT_EQ(list[0]["fixable"], true);
    EXPECT_EQ(list[1]["code"], "triangles-per-surface");
    EXPECT_EQ(list[2]["code"], "radius-mismatch");
    EXPECT_EQ(list[2]["frame"], 1);
    EXPECT_EQ(nlohmann::json::parse(Run("--json " + dir.File("sound.md3")).out).size(), 0u);
}

TEST_F(CheckCli, FixWritesTheRepairedModelAndLeavesTheInput) {
    const auto original = ReadBytes(dir.File("broken.md3"));
    const CliResult result =
        Run("--fix -o " + dir.File("fixed.md3") + " " + dir.File("broken.md3"));
    EXPECT_EQ(result.exit, 0) << result.out;
    EXPECT_NE(result.out.find("fixed split: surface \"grid\" split into grid_1, grid_2"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find(dir.File("fixed.md3") + ": no problems found"), std::string::npos);
    EXPECT_EQ(ReadBytes(dir.File("broken.md3")), original);
    TMD3 fixed;
    ASSERT_TRUE(fixed.LoadFromFile(dir.File("fixed.md3")));
    EXPECT_EQ(fixed.Header.numSurfaces, 2u);

    // Leaving the split out keeps the surface too big: the recheck fails the build.
    EXPECT_EQ(Exit("--fix --no-fix split,normals -o " + dir.File("half.md3") + " " +
                   dir.File("broken.md3")),
              1);
    const auto json = nlohmann::json::parse(
        Run("--json --fix --no-fix split -o " + dir.File("half.md3") + " " + dir.File("broken.md3"))
            .out);
    ASSERT_EQ(json["fixes"].size(), 1u);
    EXPECT_EQ(json["fixes"][0]["fix"], "bounds");
    EXPECT_EQ(json["after"].size(), 2u);
    EXPECT_EQ(json["before"].size(), 3u);

    // -o naming the input replaces it through the safe save.
    EXPECT_EQ(Exit("--fix -o " + dir.File("broken.md3") + " " + dir.File("broken.md3")), 0);
    EXPECT_NE(ReadBytes(dir.File("broken.md3")), original);
    EXPECT_EQ(Exit(dir.File("broken.md3")), 0);
}

TEST_F(CheckCli, SkeletalModelsWithTheirAnimationAndScript) {
    TMDM mesh = BuildMDM({.boneRefsPerSurface = 4});
    ASSERT_TRUE(mesh.SaveToFile(dir.File("body.mdm")));
    TMDX animation = BuildMDX(5, 4);
    ASSERT_TRUE(animation.SaveToFile(dir.File("body.mdx")));
    EXPECT_EQ(Exit("--target et " + dir.File("body.mdm")), 0);
    WriteText(dir.File("body.aninc"), "walk 2 4 0 15 0 0 0\n");
    EXPECT_EQ(Exit("--target et " + dir.File("body.mdm")), 1);
    EXPECT_EQ(Exit(dir.File("body.mdx")), 1);
    // A weight on bone 3 with an animation of three bones.
    ASSERT_TRUE(BuildMDX(5, 3).SaveToFile(dir.File("three.mdx")));
    fs::remove(dir.File("body.aninc"));
    EXPECT_EQ(Exit("--mdx " + dir.File("three.mdx") + " " + dir.File("body.mdm")), 1);
}

TEST_F(CheckCli, PlayerFoldersWithTheGameData) {
    fs::create_directories(dir.File("game/etmain"));
    WriteZip(dir.File("game/etmain/pak0.pk3"),
             {{"scripts/x.shader", "models/players/x/skin\n{\n{\nmap models/players/x/skin.tga\n"
                                   "}\n}\n"}});
    const std::string folder = dir.File("x");
    fs::create_directories(folder);
    for (const char* part : {"lower", "upper", "head"}) {
        TMD3 model = BuildGridMD3(3, 3, 1, 3);
        const char* tags[] = {"tag_torso", "tag_head", "tag_weapon"};
        for (int t = 0; t < 3; ++t)
            StringToName(tags[t], model.Header.Tags[t].name);
        ASSERT_TRUE(model.SaveToFile(folder + "/" + part + ".md3"));
        WriteText(folder + "/" + part + "_default.skin", "grid,models/players/x/skin\n");
    }
    std::string config;
    for (int i = 0; i < 25; ++i)
        config += "0 1 0 15\n";
    WriteText(folder + "/animation.cfg", config);
    // The shader's image is missing until it lies beside the model.
    const std::string game = " --game " + dir.File("game") + " ";
    EXPECT_EQ(Exit(folder), 0);
    EXPECT_EQ(Exit(game + folder), 1);
    WriteText(folder + "/skin.tga", TGAImage(2, 2, 24));
    EXPECT_EQ(Exit(game + folder), 0);
    EXPECT_EQ(Exit(game + "--skin red " + folder), 1);
}

} // namespace
} // namespace quillon::test
