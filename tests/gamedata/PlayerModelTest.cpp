// The player model on sets written by the test: three one-triangle parts whose tags and vertices
// are chosen so the joined positions can be worked out by hand, and animation.cfg files with the
// game's odd corners (comments, tabs, short lists, ranges beyond a part's frames).
#include "gamedata/PlayerModel.h"
#include "gamedata/PlayerJoin.h"

#include "GameDataBuilder.h"
#include "PlayerBuilder.h"
#include "support/MD3Builder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillon {
namespace {

using test::Part;
using test::Tag;
using test::TempDir;
using test::WriteSet;
using test::WriteText;
namespace fs = std::filesystem;

TVector JoinedVertex(const TMD3& joined, int surface, int frame) {
    const TSurface& s = joined.Header.Surfaces.at(surface);
    return TMD3::VertexPosition(s.Vertices.at(size_t(frame) * s.numVerts));
}

void ExpectNear(TVector actual, TVector expected) {
    EXPECT_TRUE(VectorEquals(actual, expected, 1.0f / 64))
        << actual.x << " " << actual.y << " " << actual.z << " instead of " << expected.x << " "
        << expected.y << " " << expected.z;
}

class PlayerModelTest : public ::testing::Test {
protected:
    PlayerModelTest() {
        Folder = Dir.File("players/x");
        WriteSet(Folder);
    }
    TempDir Dir;
    std::string Folder;
};

TEST_F(PlayerModelTest, PartsAreJoinedByTheirTagsAtEachPartsFrame) {
    TPlayerModel player;
    ASSERT_TRUE(player.LoadFolder(Folder + "/upper.md3")) << player.LastError();
    TMD3 weapon = Part("w_gun", {{1, 0, 0}}, {});
    ASSERT_TRUE(weapon.SaveToFile(Dir.File("gun.md3")));
    ASSERT_TRUE(player.AttachWeapon(Dir.File("gun.md3")));

    const TMD3 joined = player.Joined({{0, 0}, {1, 0}, {1, 1}});
    ASSERT_EQ(joined.Header.numFrames, 3u);
    ASSERT_EQ(joined.Header.numSurfaces, 4u);
    EXPECT_TRUE(joined.CountsMatchArrays());
    // Legs frame 0: the torso 10 up, unturned; its head 5 above it, the gun 3 along x.
    ExpectNear(JoinedVertex(joined, 0, 0), {1, 0, 0});
    ExpectNear(JoinedVertex(joined, 1, 0), {1, 0, 10});
    ExpectNear(JoinedVertex(joined, 2, 0), {0, 0, 16});
    ExpectNear(JoinedVertex(joined, 3, 0), {4, 0, 10});
    // Legs frame 1 turns everything above the legs a quarter about z (x becomes y), 20 up.
    ExpectNear(JoinedVertex(joined, 1, 1), {0, 1, 20});
    ExpectNear(JoinedVertex(joined, 2, 1), {0, 0, 26});
    ExpectNear(JoinedVertex(joined, 3, 1), {0, 4, 20});
    // The torso's frame 1 moves its tag_head 2 along its own x, which the legs turned to y.
    ExpectNear(JoinedVertex(joined, 2, 2), {0, 2, 26});

    ASSERT_EQ(joined.Header.numTags, 3u);
    const TMD3Tag& head = joined.Header.Tags[2 * 3 + 1];
    EXPECT_EQ(NameToString(head.name), "tag_head");
    ExpectNear(head.origin, {0, 2, 25});
    ExpectNear(head.axis[0], {0, 1, 0});
    const TMD3Frame& box = joined.Header.Frames[1];
    ExpectNear(box.maxs, {1, 4, 26});
    EXPECT_EQ(player.Messages(), (std::vector<std::string>{"animation.cfg is missing: each part "
                                                           "plays all its frames"}));
}

TEST_F(PlayerModelTest, ReposeRewritesTheOneFrameModel) {
    TPlayerModel player;
    ASSERT_TRUE(player.LoadFolder(Folder));
    TMD3 joined = player.Joined({{0, 0}});
    joined.Header.Surfaces[2].Shaders[0].shaderIndex = 7;
    player.Repose(joined, {1, 1});
    ExpectNear(JoinedVertex(joined, 2, 0), {0, 2, 26});
    EXPECT_EQ(joined.Header.Surfaces[2].Shaders[0].shaderIndex, 7);
}

TEST_F(PlayerModelTest, AMissingTagLeavesThePartOnItsParentAndSaysSo) {
    TMD3 upper = Part("u_torso", {{1, 0, 0}}, {{Tag("tag_weapon", {3, 0, 0})}});
    ASSERT_TRUE(upper.SaveToFile(Folder + "/upper.md3"));
    TPlayerModel player;
    ASSERT_TRUE(player.LoadFolder(Folder));
    const TMD3 joined = player.Joined({{1, 5}}); // the torso's frame 5 is clamped to its frame 0
    ExpectNear(JoinedVertex(joined, 2, 0), {0, 0, 21});
    ASSERT_EQ(player.Messages().size(), 2u);
    EXPECT_EQ(player.Messages()[1], "upper.md3 has no tag_head: head placed at its origin");
}

TEST_F(PlayerModelTest, SurfacesOfTheSameNameAreToldApartAndKeepTheirSkins) {
    WriteSet(Folder, "u_torso");
    WriteText(Folder + "/upper_default.skin", "u_torso,models/players/x/body.tga\n");
    WriteText(Folder + "/head_default.skin", "tag_head,\nU_TORSO,models/players/x/face.tga\n");
    WriteText(Folder + "/lower_red.skin", "l_legs,models/players/x/red.tga\n");
    TPlayerModel player;
    ASSERT_TRUE(player.LoadFolder(Folder));
    EXPECT_EQ(player.SkinNames(), (std::vector<std::string>{"default", "red"}));
    EXPECT_EQ(player.SkinName(), "default");
    EXPECT_EQ(player.Messages(),
              (std::vector<std::string>{"animation.cfg is missing: each part plays all its frames",
                                        "lower_default.skin is missing: that part keeps its own "
                                        "shaders"}));

    const TMD3 joined = player.Joined({});
    EXPECT_EQ(NameToString(joined.Header.Surfaces[2].name), "head/u_torso");
    const TSkin skin = player.JoinedSkin();
    ASSERT_NE(skin.Find("head/u_torso"), nullptr);
    EXPECT_EQ(skin.Find("head/u_torso")->ShaderName, "models/players/x/face.tga");
    EXPECT_EQ(skin.Find("u_torso")->ShaderName, "models/players/x/body.tga");

    EXPECT_TRUE(player.ChooseSkin("RED"));
    EXPECT_EQ(player.JoinedSkin().Entries.size(), 1u);
    EXPECT_FALSE(player.ChooseSkin("blue"));
    EXPECT_EQ(player.SkinName(), "red");
}

TEST_F(PlayerModelTest, FoldersWithoutThePartsOrWithABrokenPart) {
    TPlayerModel player;
    EXPECT_FALSE(player.LoadFolder(Dir.File("players")));
    EXPECT_NE(player.LastError().find("needs lower.md3, upper.md3 and head.md3"),
              std::string::npos);
    WriteText(Folder + "/Head.md3", "IDP3");
    EXPECT_FALSE(player.LoadFolder(Folder));
    EXPECT_EQ(player.LastError().rfind("Head.md3: ", 0), 0u) << player.LastError();
    EXPECT_FALSE(player.IsLoaded());
}

TEST_F(PlayerModelTest, ALaterArchiveReplacesAnEarlierOnesMembers) {
    std::vector<test::ZipEntry> first, second;
    for (const char* part : {"lower", "upper", "Head"}) {
        const std::vector<char> bytes = test::ReadBytes(Folder + "/" + part + ".md3");
        first.push_back({std::string("models/players/X/") + part + ".md3",
                         std::string(bytes.begin(), bytes.end())});
    }
    first.push_back({"models/players/X/head_default.skin", "h_head,old.tga\n"});
    second.push_back({"models/players/x/head_default.skin", "h_head,new.tga\n"});
    test::WriteZip(Dir.File("pak0.pk3"), first);
    test::WriteZip(Dir.File("pak1.pk3"), second);

    TPlayerModel player;
    ASSERT_TRUE(player.LoadFromArchives({Dir.File("pak0.pk3"), Dir.File("pak1.pk3")},
                                        "models/players/x", Dir.File("tmp")))
        << player.LastError();
    EXPECT_EQ(player.JoinedSkin().Find("h_head")->ShaderName, "new.tga");
    EXPECT_FALSE(
        player.LoadFromArchives({Dir.File("pak1.pk3")}, "models/players/y/", Dir.File("tmp")));
    EXPECT_EQ(player.LastError(), "no archive of the game holds models/players/y/");
}

// Six deaths of 2 frames (0-11), seven torso animations of 2 (12-25), twelve legs animations of
// 2 written from 26: in lower.md3 the legs' own start at frame 12.
std::string ConfigText(int animations) {
    std::string text = "// animation config file\r\nsex\tf\nheadoffset 0 0 -2\n";
    for (int i = 0; i < animations; ++i) {
        const int first = i < 13 ? 2 * i : 26 + 2 * (i - 13);
        const int loop = i == 15 ? 1 : 0;   // LEGS_RUN loops its last frame
        const int count = i == 16 ? -2 : 2; // LEGS_BACK plays backwards
        text += std::to_string(first) + "\t" + std::to_string(count) + " " + std::to_string(loop) +
                "  " + std::to_string(i == 7 ? 0 : 20) + " // " +
                TAnimationConfig::AnimationName(i) + "\n";
    }
    return text;
}

TEST(PlayerAnimation, RangesInEachPartsOwnFramesAsTheGameCountsThem) {
    TAnimationConfig config;
    config.Parse(ConfigText(25));
    std::vector<std::string> messages;
    const auto legs = PartRanges(config, TPlayerPart::Legs, 36, "lower.md3", messages);
    const auto torso = PartRanges(config, TPlayerPart::Torso, 26, "upper.md3", messages);
    ASSERT_EQ(legs.size(), 6u + 12u);
    ASSERT_EQ(torso.size(), 6u + 7u + 6u);
    EXPECT_TRUE(messages.empty()) << messages[0];
    EXPECT_EQ(legs[6].Name, "LEGS_WALKCR");
    EXPECT_EQ(legs[6].First, 12);
    EXPECT_EQ(legs[0].First, torso[0].First); // the deaths play on both at the same frames
    const TPlayerRange& attack = torso[TPlayerModel::FindRange(torso, "torso_attack")];
    EXPECT_EQ(attack.First, 14);
    EXPECT_EQ(attack.Fps, 1); // 0 fps is 1, as the game makes it
    // The team gestures a 25-line file leaves out play the torso's gesture.
    EXPECT_EQ(torso.back().Name, "TORSO_NEGATIVE");
    EXPECT_EQ(torso.back().First, torso[6].First);

    const TPlayerRange& run = legs[TPlayerModel::FindRange(legs, "LEGS_RUN")];
    EXPECT_EQ(run.First, 16);
    // 20 fps: 0.05 s a frame; after the range the last frame loops.
    EXPECT_EQ(FrameAt(run, 0.0), 16);
    EXPECT_EQ(FrameAt(run, 0.06), 17);
    EXPECT_EQ(FrameAt(run, 10.0), 17);
    const TPlayerRange& back = legs[TPlayerModel::FindRange(legs, "LEGS_BACK")];
    EXPECT_EQ(FrameAt(back, 0.0), 19);
    EXPECT_EQ(FrameAt(back, 0.06), 18);
    EXPECT_EQ(FrameAt(back, 9.0), 18); // held
    EXPECT_EQ(FrameAt(back, -1.0), 19);
}

TEST_F(PlayerModelTest, AClipPlaysLegsAndTorsoTogetherAtTheFasterRate) {
    std::string config = ConfigText(25);
    WriteText(Folder + "/animation.cfg", config);
    TMD3 lower = Part("l_legs", std::vector<TVector>(36, {1, 0, 0}), {});
    TMD3 upper = Part("u_torso", std::vector<TVector>(26, {1, 0, 0}), {});
    ASSERT_TRUE(lower.SaveToFile(Folder + "/lower.md3"));
    ASSERT_TRUE(upper.SaveToFile(Folder + "/upper.md3"));
    TPlayerModel player;
    ASSERT_TRUE(player.LoadFolder(Folder));
    // LEGS_BACK: 2 frames backwards at 20 fps; TORSO_ATTACK: 2 frames at 1 fps (written 0).
    const TPlayerClip clip =
        player.Clip(TPlayerModel::FindRange(player.LegsRanges(), "LEGS_BACK"),
                    TPlayerModel::FindRange(player.TorsoRanges(), "TORSO_ATTACK"));
    EXPECT_EQ(clip.Name, "LEGS_BACK+TORSO_ATTACK");
    EXPECT_EQ(clip.FramesPerSecond, 20);
    ASSERT_EQ(clip.Poses.size(), 40u);
    EXPECT_EQ(clip.Poses[0].LegsFrame, 19);
    EXPECT_EQ(clip.Poses[1].LegsFrame, 18);
    EXPECT_EQ(clip.Poses[39].LegsFrame, 18);
    EXPECT_EQ(clip.Poses[19].TorsoFrame, 14);
    EXPECT_EQ(clip.Poses[20].TorsoFrame, 15);

    // A huge rate beside a long range slows down rather than making millions of poses.
    const std::string walk = "26\t2 0  20 // LEGS_WALKCR";
    config.replace(config.find(walk), walk.size(), "26\t2 0  2000000000 // LEGS_WALKCR");
    WriteText(Folder + "/animation.cfg", config);
    ASSERT_TRUE(player.LoadFolder(Folder));
    const TPlayerClip slowed = player.Clip(6, 7); // LEGS_WALKCR with TORSO_ATTACK (2 s)
    EXPECT_EQ(slowed.Poses.size(), size_t(TPlayerClip::MostClipPoses));
    EXPECT_EQ(slowed.FramesPerSecond, TPlayerClip::MostClipPoses / 2);
}

TEST(PlayerAnimation, RangesBeyondThePartAreClampedAndShortFilesPlayAllFrames) {
    TAnimationConfig config;
    config.Parse(ConfigText(31) + "\n999 5 0 10\n"); // words after the last animation: ignored
    std::vector<std::string> messages;
    const auto legs = PartRanges(config, TPlayerPart::Legs, 35, "lower.md3", messages);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              "LEGS_TURN plays frames 34 to 35 of lower.md3, which has 35 frames: clamped");
    EXPECT_EQ(legs.back().First, 34);
    EXPECT_EQ(legs.back().Count, 1);
    messages.clear();
    const auto empty = PartRanges(config, TPlayerPart::Torso, 0, "upper.md3", messages);
    for (const TPlayerRange& range : empty)
        EXPECT_EQ(range.Last(), 0);

    config.Parse(ConfigText(24));
    const auto all = PartRanges(config, TPlayerPart::Torso, 26, "upper.md3", messages);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].Name, "all frames");
    EXPECT_EQ(all[0].Count, 26);
}

} // namespace
} // namespace quillon
