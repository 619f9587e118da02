#include "support/MD3Builder.h"

#include "gamedata/ScriptText.h"
#include "gamedata/ShaderScript.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

std::vector<TShaderTexture> Parse(const std::string& script, const std::string& name) {
    return ParseShaderStages(SplitLines(script), name, name).Stages;
}

TEST(ShaderNameScan, NamesAtDepthZeroOnlyWithBracesOnTheirOwnLines) {
    const auto names = ScanShaderNames(SplitLines("// header comment\n"
                                                  "textures/a/b  // trailing comment\n"
                                                  "{\n"
                                                  "  {\n    map x.tga\n  }\n"
                                                  "}\n"
                                                  "\n"
                                                  "textures/same/line {\n"
                                                  "}\n"
                                                  "Models/Mixed/Case\r\n"
                                                  "{\r\n}\r\n"
                                                  "textures/a/b\n{\n}\n"));
    EXPECT_EQ(names,
              (std::vector<std::string>{"textures/a/b", "Models/Mixed/Case", "textures/a/b"}));
}

TEST(ShaderNameScan, BothBracesOnOneLineHideTheNamesThatFollow) {
    const auto names = ScanShaderNames(SplitLines("first\n{\n{ map x.tga }\n}\nsecond\n{\n}\n"));
    EXPECT_EQ(names, std::vector<std::string>{"first"});
}

TEST(ShaderParse, HeaderMustStandAloneAndOnlyTheFirstMatchCounts) {
    EXPECT_TRUE(Parse("textures/a/b {\n{\nmap a.tga\n}\n}\n", "textures/a/b").empty());
    const auto stages = Parse("Textures/A/B\n{\n{\nmap first.tga\n}\n}\n"
                              "textures/a/b\n{\n{\nmap second.tga\n}\n}\n",
                              "textures/a/b");
    ASSERT_EQ(stages.size(), 1u);
    EXPECT_EQ(stages[0].MapName, "first.tga");
}

TEST(ShaderParse, BaseNameWithBackslashesFindsTheHeader) {
    const auto stages = ParseShaderStages(SplitLines("models/x/body\n{\n{\nmap b.tga\n}\n}\n"),
                                          "models/x/body.tga", "models\\x\\body")
                            .Stages;
    ASSERT_EQ(stages.size(), 1u);
    EXPECT_EQ(stages[0].MapName, "b.tga");
}

TEST(ShaderParse, TwoStagesWithDefaultsLeftForLoading) {
    const auto stages = Parse("textures/a\n{\n{\nmap textures/a.tga\n}\n{\nmap $lightmap\n"
                              "blendfunc filter\n}\n}\n",
                              "textures/a");
    ASSERT_EQ(stages.size(), 2u);
    EXPECT_EQ(stages[0].MapName, "textures/a.tga");
    EXPECT_EQ(stages[0].BlendSrc, 0);
    EXPECT_EQ(stages[0].BlendDst, 0);
    EXPECT_EQ(stages[0].CullMode, CullBack);
    EXPECT_EQ(stages[1].MapName, "$lightmap");
    EXPECT_EQ(stages[1].LightMap, 1);
    EXPECT_EQ(stages[1].BlendSrc, BlendDstColor);
    EXPECT_EQ(stages[1].BlendDst, BlendZero);
}

TEST(ShaderParse, ShaderLevelCullSkyAndOffsetReachEveryStage) {
    for (const auto& [line, cull] :
         std::vector<std::pair<std::string, uint8_t>>{{"cull none", CullNone},
                                                      {"cull twosided", CullNone},
                                                      {"cull front", CullFront},
                                                      {"cull back", CullBack},
                                                      {"", CullBack}}) {
        const auto stages = Parse("s\n{\n" + line +
                                      "\nsurfaceparm sky\npolygonOffset\n"
                                      "{\nmap a.tga\n}\n{\nmap b.tga\n}\n}\n",
                                  "s");
        ASSERT_EQ(stages.size(), 2u) << line;
        for (const TShaderTexture& stage : stages) {
            EXPECT_EQ(stage.CullMode, cull) << line;
            EXPECT_EQ(stage.Sky, 1);
            EXPECT_EQ(stage.PolygonOffset, 1);
        }
    }
}

TEST(ShaderParse, AlphaFuncCarriesIntoLaterStages) {
    const auto stages = Parse("s\n{\n{\nmap a.tga\nalphaFunc GE128\n}\n{\nmap b.tga\n}\n}\n", "s");
    ASSERT_EQ(stages.size(), 2u);
    EXPECT_EQ(stages[0].AlphaFunc, AlphaGE128);
    EXPECT_EQ(stages[1].AlphaFunc, AlphaGE128);
}

TEST(ShaderParse, EditorAlphaFuncWordsOverrideInOrder) {
    EXPECT_EQ(Parse("s\n{\nqer_alphafunc less 0.5\n{\nmap a\n}\n}\n", "s")[0].AlphaFunc,
              AlphaLT128);
    EXPECT_EQ(Parse("s\n{\nqer_alphafunc gequal 0.5\n{\nmap a\n}\n}\n", "s")[0].AlphaFunc,
              AlphaGE128);
    EXPECT_EQ(Parse("s\n{\nqer_alphafunc greater 0\n{\nmap a\n}\n}\n", "s")[0].AlphaFunc, AlphaGT0);
}

TEST(ShaderParse, ImplicitMapsComeBeforeTheScriptsStages) {
    auto stages = Parse("textures/x/y\n{\nimplicitMap -\n{\nmap b.tga\n}\n}\n", "textures/x/y");
    ASSERT_EQ(stages.size(), 2u);
    EXPECT_EQ(stages[0].MapName, "textures/x/y");
    EXPECT_EQ(stages[0].BlendSrc, BlendDstColor);
    EXPECT_EQ(stages[1].MapName, "b.tga");

    stages = Parse("s\n{\nimplicitmask textures/m.tga\n}\n", "s");
    ASSERT_EQ(stages.size(), 1u);
    EXPECT_EQ(stages[0].MapName, "textures/m.tga");
    EXPECT_EQ(stages[0].BlendSrc, BlendSrcAlpha);
    EXPECT_EQ(stages[0].BlendDst, BlendOneMinusSrcAlpha);
    EXPECT_EQ(stages[0].AlphaFunc, AlphaGT0);
}

TEST(ShaderParse, BlendFuncWordsAndKeywords) {
    auto blend = [](const std::string& line) {
        const auto stages = Parse("s\n{\n{\nmap a.tga\n" + line + "\n}\n}\n", "s");
        return std::make_pair(stages.at(0).BlendSrc, stages.at(0).BlendDst);
    };
    EXPECT_EQ(blend("blendfunc add"), std::make_pair(BlendOne, BlendOne));
    EXPECT_EQ(blend("blendFunc GL_ONE GL_ONE"), std::make_pair(BlendOne, BlendOne));
    EXPECT_EQ(blend("blendfunc blend"), std::make_pair(BlendSrcAlpha, BlendOneMinusSrcAlpha));
    EXPECT_EQ(blend("blendfunc gl_src_color gl_one"), std::make_pair(0, BlendOne));
    EXPECT_EQ(blend("blendfunc\tgl_dst_color\tgl_one_minus_src_alpha"),
              std::make_pair(BlendDstColor, BlendOneMinusSrcAlpha));
    EXPECT_EQ(blend("blendfunc gl_zero"), std::make_pair(BlendDstColor, BlendZero));
}

TEST(ShaderParse, MapLinesAndTheirKinds) {
    const auto stages = Parse("s\n{\n"
                              "{\nclampmap textures/c.tga\ntcGen environment\n}\n"
                              "{\nmap textures/l.tga\ntcgen lightmap\n}\n"
                              "{\nvideomap intro.roq\n}\n"
                              "{\nmap $whiteimage\n}\n"
                              "{\nanimmap 10 a.tga b.tga c.tga\n}\n"
                              "{\nanimmap 10 a.tga\n}\n"
                              "{\nanimMap\t8 \tx.tga y.tga\n}\n"
                              "}\n",
                              "s");
    ASSERT_EQ(stages.size(), 7u);
    EXPECT_EQ(stages[0].MapName, "textures/c.tga");
    EXPECT_EQ(stages[0].ClampMap, 1);
    EXPECT_EQ(stages[0].EnvironmentMap, 1);
    EXPECT_EQ(stages[1].MapName, "");
    EXPECT_EQ(stages[2].VideoMap, 1);
    EXPECT_EQ(stages[2].MapName, "");
    EXPECT_EQ(stages[3].WhiteImage, 1);
    EXPECT_EQ(stages[3].MapName, "$whiteimage");
    EXPECT_EQ(stages[4].AnimMap, 1);
    EXPECT_EQ(stages[4].MapName, "a.tga");
    EXPECT_EQ(stages[5].MapName, "");
    EXPECT_EQ(stages[6].MapName, "x.tga");
}

TEST(ShaderParse, ScriptEndingInsideAShaderKeepsTheStageInProgress) {
    auto stages = Parse("s\n{\n{\nmap a.tga\n}\n{\nmap b.tga\n", "s");
    ASSERT_EQ(stages.size(), 2u);
    EXPECT_EQ(stages[1].MapName, "b.tga");
    EXPECT_TRUE(Parse("s\n{\ncull none\n", "s").empty());
    EXPECT_TRUE(Parse("s\n", "s").empty());
}

TEST(ShaderParse, TheOpeningBraceIsLookedForBelowTheHeader) {
    // A header holding a brace of its own is not its shader's opening brace.
    const auto stages = Parse("odd{name\n{\ncull none\n{\nmap x.tga\n}\n}\n", "odd{name");
    ASSERT_EQ(stages.size(), 1u);
    EXPECT_EQ(stages[0].MapName, "x.tga");
    EXPECT_EQ(stages[0].CullMode, CullNone);
}

TEST(ShaderParse, AShaderWithoutStagesSaysWhy) {
    const std::vector<std::string> script = SplitLines("s\ncull none\n");
    EXPECT_EQ(ParseShaderStages(script, "t", "t").Error, "no shader \"t\" in the script");
    EXPECT_EQ(ParseShaderStages(script, "S", "s").Error,
              "shader \"S\" (line 1) has no opening brace below its name");
    EXPECT_EQ(ParseShaderStages(SplitLines("s\n{\n}\n"), "s", "s").Error, "");

    test::TempDir dir;
    const std::string path = dir.File("a.shader");
    test::WriteBytes(path, {'s', '\n', '{', '\n', '}', '\n'});
    TShaders shaders;
    EXPECT_EQ(shaders.ParseShader(path, "t", 0, "t"), 0);
    EXPECT_EQ(shaders.LastError(), path + ": no shader \"t\" in the script");
    EXPECT_EQ(shaders.ParseShader(path, "s", 0, "s"), 1);
    EXPECT_EQ(shaders.LastError(), "");
}

TEST(ShaderParse, OtherKeywordsAreIgnoredAndCommentsDropped) {
    const auto stages = Parse("s\n{\ndeformVertexes wave 1 sin 0 1 0 1\n{\n"
                              "map a.tga // map b.tga\nrgbGen identity\ntcMod scroll 1 1\n}\n}\n",
                              "s");
    ASSERT_EQ(stages.size(), 1u);
    EXPECT_EQ(stages[0].MapName, "a.tga");
}

TEST(ScriptText, TrimRemovesControlCharactersAndSplitHandlesEveryLineEnd) {
    EXPECT_EQ(Trim("\t\x01 a b \r\x1f"), "a b");
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
}

} // namespace
} // namespace quillon
