// The game-data findings on a generated game: an archive with shader scripts and images, and a
// model whose surfaces each resolve (or fail to) in one way.
#include "gamedata/GameDataCheck.h"
#include "gamedata/ModelCheck.h"

#include "GameDataBuilder.h"
#include "core/MD3.h"
#include "skeletal/MDM.h"
#include "support/MD3Builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace quillon {
namespace {

using test::TempDir;
using test::TGAImage;
namespace fs = std::filesystem;

const TModelLimits& Q3 = LimitsFor(TCheckTarget::Q3);

class GameDataCheckTest : public ::testing::Test {
protected:
    GameDataCheckTest() : Resolver(Shaders, Textures) {
        Resolver.Folders = TAppFolders::Below(Dir.File("app"));
        Resolver.Folders.CreateTempFolders();
        fs::create_directories(Dir.File("game/etmain"));
        test::WriteZip(Dir.File("game/etmain/pak0.pk3"),
                       {{"scripts/models.shader", "models/x/body\n{\n{\nmap models/x/body.tga\n}\n"
                                                  "{\nmap $lightmap\n}\n}\n"
                                                  "models/x/glow\n{\n{\nmap models/x/gone.tga\n}\n"
                                                  "{\nmap models/x/gone.tga\n}\n}\n"
                                                  "models/x/hidden\n{\nsurfaceparm nodraw\n}\n"},
                        {"models/x/body.tga", TGAImage(4, 4, 24)},
                        {"models/x/head.tga", TGAImage(8, 8, 24)}});
        Model = test::BuildGridMD3(3, 3, 1);
        Name(0, "body", "models/x/body");
        for (const char* name : {"head", "glow", "lost", "hidden"})
            AddSurface(name);
        Name(1, "head", "models/x/head.tga");
        Name(2, "glow", "models/x/glow");
        Name(3, "lost", "models/x/nothing");
        Name(4, "hidden", "models/x/hidden");
        Input.Model = {TModelKind::MD3, &Model, nullptr};
        Input.Source = TModelSource::File;
        Input.ModelFolder = Dir.File("model/");
        Input.ModelFileFolder = Input.ModelFolder;
        fs::create_directories(Input.ModelFolder);
    }

    void AddSurface(const char* name) {
        Model.Header.Surfaces.push_back(test::GridSurface(name, 2, 2, 1));
        Model.Header.numSurfaces++;
    }
    void Name(int s, const char* surface, const char* shader) {
        StringToName(surface, Model.Header.Surfaces[s].name);
        Model.SetShaderName(s, shader);
    }
    void Apply() { ASSERT_TRUE(Resolver.ApplyGameFolder(Dir.File("game"), Input)); }
    std::vector<TFinding> Check() {
        return CheckModel(Input, nullptr, nullptr, Resolver, TCheckTarget::Q3);
    }

    TempDir Dir;
    TShaders Shaders;
    test::RecordingTextures Textures;
    TSurfaceResolver Resolver;
    TMD3 Model;
    TResolveInput Input;
};

std::vector<std::pair<std::string, int>> CodesAndSurfaces(const std::vector<TFinding>& findings) {
    std::vector<std::pair<std::string, int>> out;
    for (const TFinding& f : findings)
        out.emplace_back(f.Code, f.Where.Surface);
    return out;
}

TEST_F(GameDataCheckTest, UnresolvedShadersAndMissingImages) {
    Apply();
    fs::remove_all(Resolver.Folders.TmpFolder + "models"); // the window's update extracted them
    const auto findings = Check();
    EXPECT_EQ(CodesAndSurfaces(findings), (std::vector<std::pair<std::string, int>>{
                                              {"image-missing", 2}, {"shader-unresolved", 3}}));
    EXPECT_EQ(findings[0].Message, "the shader \"models/x/glow\" draws the image "
                                   "\"models/x/gone.tga\", which is in none of the game's folders "
                                   "and archives");
    EXPECT_EQ(findings[1].Where.SurfaceName, "lost");
    // Looking images up extracts none of them.
    EXPECT_FALSE(fs::exists(Resolver.Folders.TmpFolder + "models"));
}

TEST_F(GameDataCheckTest, AnImageBesideTheModelOrAStageInTheModelFolderIsFound) {
    test::WriteText(Input.ModelFolder + "nothing.tga", TGAImage(2, 2, 24));
    test::WriteText(Input.ModelFolder + "gone.tga", TGAImage(2, 2, 24));
    Apply();
    EXPECT_TRUE(Check().empty());
}

TEST_F(GameDataCheckTest, TheWindowsModelAndShadersStayAsTheyWere) {
    Apply();
    const int before = Model.Header.Surfaces[0].Shaders[0].shaderIndex;
    const size_t shaders = Shaders.Shaders.size();
    const size_t loaded = Textures.Loaded.size();
    Check();
    EXPECT_EQ(Model.Header.Surfaces[0].Shaders[0].shaderIndex, before);
    EXPECT_EQ(Shaders.Shaders.size(), shaders);
    EXPECT_EQ(Textures.Loaded.size(), loaded);
}

TEST_F(GameDataCheckTest, WithoutGameDataOnlyTheModelIsChecked) {
    EXPECT_TRUE(Check().empty());
}

TEST_F(GameDataCheckTest, SkinLinesAndSurfacesWithoutShader) {
    // A surface with no shader record gets its look from the skin alone.
    Model.Header.Surfaces[4].Shaders.clear();
    Model.Header.Surfaces[4].numShaders = 0;
    test::WriteText(Dir.File("x.skin"), "body,models/x/body\nhead,models/x/head.tga\n"
                                        "glow,models/x/body\nlost,models/x/head.tga\n"
                                        "tag_head,\nwing,models/x/body\n");
    ASSERT_TRUE(Resolver.Skin.Load(Dir.File("x.skin")));
    Apply();
    auto findings = Check();
    EXPECT_EQ(CodesAndSurfaces(findings),
              (std::vector<std::pair<std::string, int>>{{"shaders", 4},
                                                        {"skin-surface-unknown", -1},
                                                        {"skin-surface-missing", 4},
                                                        {"shader-unresolved", 4}}));
    EXPECT_NE(findings[1].Message.find("\"wing\""), std::string::npos);

    test::WriteText(Dir.File("x.skin"), "body,models/x/body\nhead,models/x/head.tga\n"
                                        "glow,models/x/body\nlost,models/x/head.tga\n"
                                        "hidden,models/x/hidden\n");
    ASSERT_TRUE(Resolver.Skin.Load(Dir.File("x.skin")));
    findings = Check();
    EXPECT_EQ(CodesAndSurfaces(findings),
              (std::vector<std::pair<std::string, int>>{{"shaders", 4}}));
}

TEST(SkinCheck, MoreSurfaceLinesThanTheEnginesKeepAndOverlongNames) {
    TSkin skin;
    std::vector<std::string> surfaces;
    for (int s = 0; s < 33; ++s) {
        surfaces.push_back("s" + std::to_string(s));
        skin.Entries.push_back({surfaces.back(), "models/x/s.tga", ""});
    }
    EXPECT_EQ(CheckSkin(surfaces, skin, Q3).size(), 1u);
    EXPECT_EQ(CheckSkin(surfaces, skin, Q3)[0].Code, "surfaces");
    skin.Entries.pop_back();
    surfaces.pop_back();
    EXPECT_TRUE(CheckSkin(surfaces, skin, Q3).empty());
    skin.Entries[0].ShaderName = std::string(64, 'x');
    EXPECT_EQ(CheckSkin(surfaces, skin, Q3)[0].Code, "name-length");
}

TEST_F(GameDataCheckTest, SkeletalSurfacesAreResolvedToo) {
    TMDM mesh;
    mesh.Surfaces.resize(2);
    mesh.Header.numSurfaces = 2;
    StringToName("body", mesh.Surfaces[0].name);
    StringToName("models/x/body", mesh.Surfaces[0].shader);
    StringToName("arm", mesh.Surfaces[1].name);
    StringToName("models/x/arm", mesh.Surfaces[1].shader);
    Input.Model = {TModelKind::Skeletal, nullptr, &mesh};
    Apply();
    TGameDataCheck check(Resolver);
    ASSERT_TRUE(check.HasGameData());
    const auto findings = check.Check(mesh, Input, nullptr);
    EXPECT_EQ(CodesAndSurfaces(findings),
              (std::vector<std::pair<std::string, int>>{{"shader-unresolved", 1}}));
}

} // namespace
} // namespace quillon
