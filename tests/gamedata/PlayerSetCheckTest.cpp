// animation.cfg reading and the player-model findings, on player folders written by the test:
// three grid parts with the tags the game needs, an animation.cfg whose ranges fit them exactly,
// and a default skin for every part.
#include "gamedata/PlayerSetCheck.h"
#include "gamedata/AnimationConfig.h"

#include "GameDataBuilder.h"
#include "support/MD3Builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace quillon {
namespace {

using test::TempDir;
using test::WriteText;
namespace fs = std::filesystem;

const TModelLimits& Q3 = LimitsFor(TCheckTarget::Q3);

// Six deaths of 2 frames (0-11), seven torso animations of 2 (12-25), twelve legs animations of
// 2 written from 26 on: the legs start 14 frames later than the torso, so in lower.md3 they are
// frames 12-35. lower.md3 needs 36 frames and upper.md3 26.
std::string ConfigText() {
    std::string text = "// animation config file\nsex m\nfootsteps boot\n\n";
    for (int i = 0; i < 25; ++i) {
        const int first = i < 13 ? 2 * i : 26 + 2 * (i - 13);
        text +=
            std::to_string(first) + "\t2\t0\t15\t\t// " + TAnimationConfig::AnimationName(i) + "\n";
    }
    return text;
}

TMD3 Part(int frames, std::vector<std::string> tags) {
    TMD3 model = test::BuildGridMD3(3, 3, frames, static_cast<int>(tags.size()));
    for (uint32_t f = 0; f < model.Header.numFrames; ++f)
        for (size_t t = 0; t < tags.size(); ++t)
            StringToName(tags[t], model.Header.Tags[f * tags.size() + t].name);
    return model;
}

class PlayerSetTest : public ::testing::Test {
protected:
    PlayerSetTest() {
        Folder = Dir.File("x");
        fs::create_directories(Folder);
        Save("lower", Part(36, {"tag_torso"}));
        Save("upper", Part(26, {"tag_torso", "tag_head", "tag_weapon"}));
        Save("head", Part(1, {"tag_head"}));
        WriteText(Folder + "/animation.cfg", ConfigText());
        for (const char* part : {"lower", "upper", "head"})
            WriteText(Folder + "/" + part + "_default.skin", "grid,models/players/x/skin.tga\n");
    }
    void Save(const std::string& part, TMD3 model) {
        ASSERT_TRUE(model.SaveToFile(Folder + "/" + part + ".md3"));
    }
    std::vector<TFinding> Check(const std::string& onlySkin = {}) {
        TPlayerSet set;
        EXPECT_TRUE(IsPlayerSetFolder(Folder));
        EXPECT_FALSE(LoadPlayerSet(Folder, set));
        return CheckPlayerSet(set, Q3, nullptr, onlySkin);
    }
    TempDir Dir;
    std::string Folder;
};

std::vector<std::string> Lines(const std::vector<TFinding>& findings) {
    std::vector<std::string> lines;
    for (const TFinding& f : findings)
        lines.push_back(f.Code + " " + f.File + (f.Skin.empty() ? "" : " " + f.Skin));
    return lines;
}

TEST(AnimationConfig, KeywordsAndAnimationsAreRead) {
    TAnimationConfig config;
    config.Parse("sex f\r\nheadoffset 0 1.5 -2\nfixedtorso\nfootsteps mech // boots\n"
                 "teleport yes\n0 29 0 15 // BOTH_DEATH1\n28\t-3 1 30\n");
    EXPECT_EQ(config.Sex, "f");
    EXPECT_EQ(config.Footsteps, "mech");
    EXPECT_EQ(config.HeadOffset, (std::array<float, 3>{0, 1.5f, -2}));
    EXPECT_TRUE(config.FixedTorso);
    EXPECT_FALSE(config.FixedLegs);
    EXPECT_EQ(config.UnknownWords, (std::vector<std::string>{"teleport", "yes"}));
    ASSERT_EQ(config.Animations.size(), 2u);
    EXPECT_EQ(config.Animations[1].NumFrames, -3);
    EXPECT_EQ(config.Animations[1].FramesPerSecond, 30);
    EXPECT_TRUE(config.Error.empty());

    config.Parse("0 29 0 15\n28 1 x 30\n");
    EXPECT_EQ(config.Animations.size(), 1u);
    EXPECT_EQ(config.Error, "\"x\" where animation 2 needs a whole number");
    config.Parse("0 29 0\n");
    EXPECT_FALSE(config.Error.empty());
}

TEST(AnimationConfig, LegsFramesCountWithoutTheTorsosOwn) {
    TAnimationConfig config;
    config.Parse(ConfigText());
    ASSERT_EQ(config.Animations.size(), 25u);
    EXPECT_EQ(TAnimationConfig::AnimationName(13), std::string("LEGS_WALKCR"));
    EXPECT_EQ(TAnimationConfig::PartOf(5), TPlayerPart::Both);
    EXPECT_EQ(TAnimationConfig::PartOf(12), TPlayerPart::Torso);
    EXPECT_EQ(TAnimationConfig::PartOf(24), TPlayerPart::Legs);
    EXPECT_EQ(TAnimationConfig::PartOf(25), TPlayerPart::Torso);
    EXPECT_EQ(config.FirstFrameInPart(12), 24);
    EXPECT_EQ(config.FirstFrameInPart(13), 12);
    EXPECT_EQ(config.FirstFrameInPart(24), 34);
}

TEST_F(PlayerSetTest, TheWrittenSetHasNothingToReport) {
    EXPECT_TRUE(Check().empty());
}

TEST_F(PlayerSetTest, MissingTags) {
    Save("upper", Part(26, {"tag_torso", "tag_head"}));
    Save("head", Part(1, {"tag_face"}));
    const auto findings = Check();
    ASSERT_EQ(Lines(findings),
              (std::vector<std::string>{"tag-missing upper.md3", "tag-missing head.md3"}));
    // The game needs the torso's tag_weapon; the head's own tag_head is a convention only.
    EXPECT_EQ(findings[0].Severity, TSeverity::Error);
    EXPECT_EQ(findings[1].Severity, TSeverity::Note);
}

TEST_F(PlayerSetTest, AnimationRangesBeyondTheParts) {
    Save("lower", Part(35, {"tag_torso"}));
    const auto findings = Check();
    ASSERT_EQ(Lines(findings), (std::vector<std::string>{"animation-range animation.cfg"}));
    EXPECT_EQ(findings[0].Message, "LEGS_TURN plays frames 34 to 35 of lower.md3, which has 35 "
                                   "frames");
    EXPECT_EQ(findings[0].Where.Frame, 34);

    Save("lower", Part(36, {"tag_torso"}));
    Save("upper", Part(25, {"tag_torso", "tag_head", "tag_weapon"}));
    EXPECT_EQ(Lines(Check()), (std::vector<std::string>{"animation-range animation.cfg"}));
}

TEST_F(PlayerSetTest, AnimationFileMissingShortOrOdd) {
    fs::remove(Folder + "/animation.cfg");
    EXPECT_EQ(Lines(Check()), (std::vector<std::string>{"animation-file animation.cfg"}));
    std::string text = ConfigText();
    text.resize(text.rfind("\n", text.size() - 2) + 1); // 24 animations
    WriteText(Folder + "/animation.cfg", text);
    EXPECT_EQ(Lines(Check()), (std::vector<std::string>{"animation-file animation.cfg"}));
    WriteText(Folder + "/animation.cfg", "headbob yes\n" + ConfigText());
    const auto findings = Check();
    ASSERT_EQ(findings.size(), 2u); // "headbob" and "yes" are both unknown words
    EXPECT_EQ(findings[0].Severity, TSeverity::Note);
}

TEST_F(PlayerSetTest, SkinsOfOneNameForEveryPart) {
    WriteText(Folder + "/lower_red.skin", "grid,models/players/x/red.tga\n");
    WriteText(Folder + "/UPPER_RED.skin", "grid,models/players/x/red.tga\nbelt,x.tga\n");
    EXPECT_EQ(Lines(Check()),
              (std::vector<std::string>{"skin-missing head_red.skin red",
                                        "skin-surface-unknown UPPER_RED.skin red"}));
    EXPECT_EQ(Lines(Check("default")), (std::vector<std::string>{}));
    EXPECT_EQ(Lines(Check("blue")), (std::vector<std::string>{"skin-missing lower_blue.skin blue",
                                                              "skin-missing upper_blue.skin blue",
                                                              "skin-missing head_blue.skin blue"}));
    for (const char* part : {"lower", "upper", "head"})
        fs::remove(Folder + "/" + part + "_default.skin");
    const auto lines = Lines(Check());
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "skin-missing "), 1);
}

TEST_F(PlayerSetTest, APartThatIsNoModel) {
    WriteText(Folder + "/Head.MD3", "IDP2 and then some");
    fs::remove(Folder + "/head.md3");
    ASSERT_TRUE(IsPlayerSetFolder(Folder));
    TPlayerSet set;
    EXPECT_EQ(LoadPlayerSet(Folder, set), Folder + "/Head.MD3");
    fs::remove(Folder + "/Head.MD3");
    EXPECT_FALSE(IsPlayerSetFolder(Folder));
}

} // namespace
} // namespace quillon
