// quillon-cli player and export --player on a generated player: what the description says, the
// exit codes, and the joined glTF scene (a mesh per part, the tags as nodes, one animation per
// legs and torso pair) read back where the hand-worked positions can be checked.
#include "GameDataBuilder.h"
#include "GltfReading.h"
#include "PlayerBuilder.h"
#include "support/CliRun.h"
#include "support/MD3Builder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>

namespace quillon::test {
namespace {

namespace fs = std::filesystem;

TRun Cli(const std::string& arguments) {
    return RunCommand(std::string(QUILLON_CLI_PATH) + " " + arguments + " 2>&1");
}

// The deaths on frame 0 of both parts, the torso's own on its frame 1, the legs' own written
// after it (frame 2, which is lower.md3's frame 1), except LEGS_WALK on lower.md3's frame 0.
std::string Config() {
    std::string text = "sex m\n";
    for (int i = 0; i < 25; ++i) {
        const int first = i < 6 ? 0 : i < 13 ? 1 : i == 14 ? 1 : 2;
        text += std::to_string(first) + " 1 1 10\n";
    }
    return text;
}

class PlayerCli : public ::testing::Test {
protected:
    void SetUp() override {
        Folder = Dir.File("players/x");
        WriteSet(Folder);
        WriteText(Folder + "/animation.cfg", Config());
        for (const char* part : {"lower", "upper", "head"})
            WriteText(Folder + "/" + part + "_red.skin", "x,y.tga\n");
    }
    TempDir Dir;
    std::string Folder;
};

TEST_F(PlayerCli, DescribesPartsSkinsAnimationsAndFindings) {
    TRun run = Cli("player " + Folder);
    ASSERT_EQ(run.Code, 0) << run.Output;
    EXPECT_NE(run.Output.find("upper: " + Folder +
                              "/upper.md3, 2 frames, surfaces u_torso, tags "
                              "tag_head, tag_weapon\n"),
              std::string::npos)
        << run.Output;
    EXPECT_NE(run.Output.find("skins: red (chosen: red)\n"), std::string::npos) << run.Output;
    EXPECT_NE(run.Output.find("  LEGS_WALK: frames 0-0, looping 1, 10 fps\n"), std::string::npos)
        << run.Output;
    EXPECT_NE(run.Output.find("[skin-surface-unknown]"), std::string::npos) << run.Output;

    run = Cli("player " + Folder + "/head.md3 --json");
    ASSERT_EQ(run.Code, 0) << run.Output;
    const nlohmann::json json = nlohmann::json::parse(run.Output);
    EXPECT_EQ(json["legs"][6]["name"], "LEGS_WALKCR");
    EXPECT_EQ(json["legs"][6]["first"], 1);
    EXPECT_EQ(json["parts"][2]["file"], Folder + "/Head.md3");

    EXPECT_EQ(Cli("player " + Dir.File("players")).Code, 1);
    EXPECT_EQ(Cli("player models/players/x --game " + Dir.File("nogame")).Code, 2);
}

TEST_F(PlayerCli, ExportsThePartsJoinedWithOneAnimationPerPair) {
    WriteSet(Dir.File("gun"), "w_gun");
    const std::string out = Dir.File("x.glb");
    TRun run = Cli("export --player " + Folder +
                   " --legs LEGS_WALK --legs LEGS_RUN --torso "
                   "TORSO_STAND --weapon " +
                   Dir.File("gun/Head.md3") + " -o " + out);
    ASSERT_EQ(run.Code, 0) << run.Output;
    EXPECT_NE(run.Output.find("meshes: 4\n"), std::string::npos) << run.Output;
    EXPECT_NE(run.Output.find("animations: 2\n"), std::string::npos) << run.Output;
    ExpectValidGltf(out);
    const tinygltf::Model model = LoadGltf(out);
    ASSERT_EQ(model.animations.size(), 2u);
    EXPECT_EQ(model.animations[0].name, "LEGS_WALK+TORSO_STAND");
    EXPECT_EQ(model.animations[1].name, "LEGS_RUN+TORSO_STAND");
    // LEGS_RUN is lower.md3's frame 1: the torso 20 up and turned, its head 6 above that; glTF's
    // y is the game's z.
    const int head = NodeNamed(model, "h_head");
    ASSERT_GE(head, 0);
    const std::vector<TVec3d> positions = EvaluatePositions(model, 1, head, 0);
    EXPECT_NEAR(positions.at(0)[1], 26, 1.0 / 64);
    const int tag = NodeNamed(model, "tag_weapon");
    ASSERT_GE(tag, 0);
    EXPECT_NEAR(NodeWorldAt(model, 0, tag, 0).Translation[0], 3, 1.0 / 64);

    EXPECT_EQ(Cli("export --player " + Folder + " --legs LEGS_FLY -o " + out).Code, 2);
    EXPECT_EQ(Cli("export --player " + Folder + " " + Folder + "/lower.md3 -o " + out).Code, 2);
}

} // namespace
} // namespace quillon::test
