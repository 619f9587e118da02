#include "gamedata/SurfaceResolver.h"
#include "GameDataBuilder.h"
#include "core/MD3.h"
#include "gamedata/SurfaceDetails.h"
#include "support/MD3Builder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillon {
namespace {

using test::TempDir;
using test::TGAImage;
using test::WriteText;
using test::WriteZip;
namespace fs = std::filesystem;

// A game folder whose archive holds scripts and images, an application folder, and a two-surface
// MD3 model whose surfaces are "body" (shader "models/x/body") and "head" (shader
// "models/x/head.tga").
class ResolverTest : public ::testing::Test {
protected:
    ResolverTest() : Resolver(Shaders, Textures) {
        Resolver.Folders = TAppFolders::Below(Dir.File("app"));
        Resolver.Folders.CreateTempFolders();
        fs::create_directories(Dir.File("game/etmain/scripts"));
        Model = test::BuildMD3({1, 0, 2, 3, 1, 1});
        StringToName("body", Model.Header.Surfaces[0].name);
        StringToName("models/x/body", Model.Header.Surfaces[0].Shaders[0].name);
        StringToName("Head", Model.Header.Surfaces[1].name);
        StringToName("models/x/head.tga", Model.Header.Surfaces[1].Shaders[0].name);
        Input.Model = {TModelKind::MD3, &Model, nullptr};
        Input.Source = TModelSource::GameArchive;
        Input.SelectedFolder = "models/x/";
    }

    void WriteGameArchive(std::vector<test::ZipEntry> entries) {
        entries.push_back(
            {"scripts/base.shader", "textures/base/wall\n{\n{\nmap wall.tga\n}\n}\n"});
        WriteZip(Dir.File("game/etmain/pak0.pk3"), entries);
    }

    void Apply() { ASSERT_TRUE(Resolver.ApplyGameFolder(Dir.File("game"), Input)); }

    int Index(int surface) const { return Model.Header.Surfaces[surface].Shaders[0].shaderIndex; }
    const TShaderObj& ShaderOf(int surface) const { return Shaders.Shaders.at(Index(surface)); }

    TempDir Dir;
    TShaders Shaders;
    test::RecordingTextures Textures;
    TSurfaceResolver Resolver;
    TMD3 Model;
    TResolveInput Input;
};

TEST_F(ResolverTest, GameShaderStagesAreExtractedAndLoadedWithDefaultBlending) {
    WriteGameArchive({{"scripts/models.shader", "models/x/body\n{\n{\nmap models/x/body.tga\n}\n{\n"
                                                "map models/x/glow.tga\n}\n}\n"},
                      {"models/x/body.jpg", test::JPEGHeader(64, 32)},
                      {"models/x/glow.tga", TGAImage(4, 2, 32)},
                      {"models/x/head.tga", TGAImage(8, 8, 24)}});
    Apply();
    EXPECT_EQ(Resolver.Scripts.GameFileCount, 2);
    EXPECT_EQ(Resolver.Scripts.GameShaderCount, 2);

    const TShaderObj& body = ShaderOf(0);
    // "body" inside the model's folder is itself the shader's name.
    EXPECT_EQ(body.Flags,
              uint32_t(SourceSurfaceName | SourceScript | SourceGame | SourceMapOrGame));
    ASSERT_EQ(body.Stages.size(), 2u);
    // Only the .jpg exists: it is extracted and loaded in place of the .tga.
    EXPECT_EQ(body.Stages[0].FileName, Resolver.Folders.TmpFolder + "models/x/body.jpg");
    EXPECT_TRUE(fs::exists(body.Stages[0].FileName));
    EXPECT_NE(body.Stages[0].TextureHandle, 0u);
    EXPECT_EQ(body.Stages[0].Width, 64);
    EXPECT_EQ(body.Stages[0].Height, 32);
    EXPECT_EQ(body.Stages[0].BlendSrc, BlendDstColor);
    EXPECT_EQ(body.Stages[0].BlendDst, BlendZero);
    EXPECT_EQ(body.Stages[1].HasAlpha, 1);
    EXPECT_EQ(body.Stages[1].BlendSrc, BlendSrcAlpha);
    EXPECT_EQ(body.Stages[1].BlendDst, BlendOneMinusSrcAlpha);

    // No shader named after head.tga: a plain texture from the game archive.
    EXPECT_EQ(ShaderOf(1).Flags, uint32_t(SourceImage | SourceGame | SourceMapOrGame));
    EXPECT_EQ(ShaderOf(1).Stages.at(0).MapName, "models/x/head.tga");
    EXPECT_NE(ShaderOf(1).Stages.at(0).TextureHandle, 0u);

    EXPECT_EQ(Resolver.ShaderFileItems,
              (std::vector<std::string>{"GAME:\\\\scripts\\models.shader", ""}));
    EXPECT_EQ(Resolver.ShaderNameFoundItems, (std::vector<std::string>{"models/x/body", ""}));

    // A second update releases the images of the first.
    const size_t loaded = Textures.Loaded.size();
    Resolver.Update(Input);
    EXPECT_EQ(Textures.Released.size(), loaded);
}

TEST_F(ResolverTest, SkinImageResolvesToPlainTextureAndEmbedsItsName) {
    WriteGameArchive({{"models/x/skin.tga", TGAImage(2, 2, 24)}});
    WriteText(Dir.File("m.skin"),
              "tag_head,\nBODY, \"Models/X/Skin.tga\"\nbody,second.tga\nnocomma\n");
    Apply();
    ASSERT_TRUE(Resolver.LoadSkin(Dir.File("m.skin"), true, Input));
    ASSERT_EQ(Resolver.Skin.Entries.size(), 2u);
    EXPECT_EQ(Resolver.Skin.Entries[0].ShaderName, "models/x/skin.tga");
    EXPECT_EQ(ShaderOf(0).Flags & 0x14u, 0x14u);
    EXPECT_EQ(Resolver.Skin.Entries[0].ResolvedName, "models/x/skin.tga");

    ASSERT_TRUE(Resolver.EmbedSkin(Input.Model));
    EXPECT_EQ(NameToString(Model.Header.Surfaces[0].Shaders[0].name), "models/x/skin.tga");
    EXPECT_EQ(NameToString(Model.Header.Surfaces[1].Shaders[0].name), "models/x/head.tga");

    const TSurfaceDetails details =
        SurfaceDetails(Input.Model, Shaders, Resolver.Skin, Resolver.ShaderFileItems,
                       Resolver.ShaderNameFoundItems, 0);
    EXPECT_EQ(details.Skin, "models/x/skin.tga");
    EXPECT_EQ(details.StageNames, std::vector<std::string>{"models/x/skin.tga"});
    EXPECT_EQ(details.Stage.Dimensions, "2x2");
    EXPECT_FALSE(details.Stage.PropsVisible);
    EXPECT_TRUE(details.Marks.count("shapeSkinFile"));
    EXPECT_TRUE(details.Marks.count("shapeSkinTexture"));

    EXPECT_FALSE(Resolver.LoadSkin(Dir.File("missing.skin"), true, Input));
    EXPECT_EQ(Resolver.Skin.LastError(), "no such file");
    EXPECT_TRUE(Resolver.Skin.Empty());
}

TEST_F(ResolverTest, SurfaceWithoutNameShowsTheSkinEntryTheUpdateUsed) {
    WriteGameArchive({{"models/x/skin.tga", TGAImage(2, 2, 24)}});
    StringToName("", Model.Header.Surfaces[0].name);
    WriteText(Dir.File("m.skin"), ", models/x/skin.tga\n");
    Apply();
    ASSERT_TRUE(Resolver.LoadSkin(Dir.File("m.skin"), true, Input));
    EXPECT_EQ(ShaderOf(0).Flags & SourceSkin, uint32_t(SourceSkin));
    const auto details = [&](int surface) {
        return SurfaceDetails(Input.Model, Shaders, Resolver.Skin, Resolver.ShaderFileItems,
                              Resolver.ShaderNameFoundItems, surface);
    };
    EXPECT_EQ(details(0).Skin, "models/x/skin.tga");
    EXPECT_EQ(details(1).Skin, "");  // "Head" has no entry
    EXPECT_EQ(details(-1).Skin, ""); // no surface chosen
    EXPECT_EQ(details(2).Skin, "");
}

TEST_F(ResolverTest, ClearingAnEmptySkinRunsNoUpdate) {
    WriteGameArchive({{"models/x/head.tga", TGAImage(2, 2, 24)}});
    Apply();
    const size_t loads = Textures.Gammas.size();
    Resolver.ClearSkin(Input);
    EXPECT_EQ(Textures.Gammas.size(), loads);
}

TEST_F(ResolverTest, ShaderListWinsOverGameAndFolderScriptsHideArchiveScripts) {
    WriteGameArchive({{"scripts/models.shader", "models/x/body\n{\n{\nmap archive.tga\n}\n}\n"}});
    WriteText(Dir.File("game/etmain/scripts/models.shader"),
              "models/x/body\n{\n{\nmap folder.tga\n}\n}\n");
    Apply();
    EXPECT_EQ(ShaderOf(0).Stages.at(0).MapName, "folder.tga");
    EXPECT_EQ(Resolver.ShaderFileItems.at(0), Dir.File("game/etmain/scripts/") + "models.shader");

    WriteText(Dir.File("list/mine.shader"), "MODELS/X/BODY\n{\ncull none\n{\nmap mine.tga\n}\n}\n");
    Resolver.RebuildShaderList(
        {Dir.File("list/mine.shader"), Dir.File("list/mine.shader"), Dir.File("list/gone.shader")},
        Input);
    EXPECT_EQ(Resolver.Scripts.ListScripts.size(), 1u);
    EXPECT_EQ(ShaderOf(0).Flags, uint32_t(SourceSurfaceName | SourceScript | SourceShaderList));
    EXPECT_EQ(ShaderOf(0).Stages.at(0).MapName, "mine.tga");
    EXPECT_EQ(Resolver.ShaderFileItems.at(0), "SHADERLIST:\\\\mine.shader");
    const TStageDetails stage = StageDetails(Input.Model, Shaders, 0, 0);
    EXPECT_TRUE(stage.PropsVisible);
    EXPECT_EQ(stage.Cull, "none");
}

TEST_F(ResolverTest, SurfaceNameInsideTheModelFolderNamesTheShader) {
    WriteGameArchive({{"scripts/models.shader", "models/x/head\n{\n{\nmap h.tga\n}\n}\n"},
                      {"models/x/head.tga", TGAImage(2, 2, 24)}});
    Apply();
    EXPECT_EQ(ShaderOf(1).Flags,
              uint32_t(SourceSurfaceName | SourceScript | SourceGame | SourceMapOrGame));
    EXPECT_EQ(ShaderOf(1).Stages.at(0).MapName, "h.tga");
    EXPECT_TRUE(ConnectorMarks(ShaderOf(1).Flags).count("shapeSurfaceShader"));
}

TEST_F(ResolverTest, BackslashesEndTheFolderPartBeforeTheExtensionIsTaken) {
    // "x.v2" is a folder: the name has no extension, so the whole name is the shader asked for.
    StringToName("models\\x.v2\\skin", Model.Header.Surfaces[1].Shaders[0].name);
    WriteGameArchive({{"scripts/models.shader", "models/x.v2/skin\n{\n{\nmap s.tga\n}\n}\n"}});
    Apply();
    EXPECT_TRUE(ShaderOf(1).Flags & SourceScript);
    EXPECT_EQ(ShaderOf(1).Stages.at(0).MapName, "s.tga");
}

TEST_F(ResolverTest, ModelFolderOnDiskComesBeforeTheArchivesAndIsCaseBlind) {
    WriteGameArchive({{"models/x/head.tga", TGAImage(2, 2, 24)}});
    WriteText(Dir.File("disk/HEAD.TGA"), TGAImage(16, 16, 32));
    Input.Source = TModelSource::File;
    Input.ModelFolder = Dir.File("disk/");
    Input.ModelFileFolder = Dir.File("disk/");
    Apply();
    EXPECT_EQ(ShaderOf(1).Flags, uint32_t(SourceImage));
    EXPECT_EQ(ShaderOf(1).Stages.at(0).MapName, "HEAD.TGA");
    EXPECT_EQ(ShaderOf(1).Stages.at(0).FileName, Dir.File("disk/HEAD.TGA"));
    EXPECT_EQ(ShaderOf(1).Stages.at(0).Width, 16);

    // Loaded from an archive, the folder of the earlier file is forgotten.
    Input.Source = TModelSource::GameArchive;
    Input.ModelFolder.clear();
    Input.ModelFileFolder.clear();
    Resolver.Update(Input);
    EXPECT_EQ(ShaderOf(1).Stages.at(0).FileName, Resolver.Folders.TmpFolder + "models/x/head.tga");
}

TEST_F(ResolverTest, MapArchiveScriptsAndImagesComeBeforeTheGame) {
    WriteGameArchive({{"models/x/head.tga", TGAImage(2, 2, 24)},
                      {"scripts/models.shader", "models/x/body\n{\n{\nmap game.tga\n}\n}\n"}});
    WriteZip(Dir.File("map.pk3"),
             {{"scripts/map.shader", "models/x/body\n{\n{\nmap models/x/m.tga\n}\n}\n"},
              {"models/x/m.tga", TGAImage(4, 4, 24)},
              {"models/x/head.tga", TGAImage(4, 4, 24)}});
    Apply();
    TPK3Archive map;
    map.Open(Dir.File("map.pk3"));
    map.Extract("scripts/*.shader", Resolver.Folders.MapTmpFolder);
    map.Close();
    Resolver.RegisterMapArchiveShaderFiles();
    Input.Source = TModelSource::MapArchive;
    Input.ArchivePath = Dir.File("map.pk3");
    Resolver.Update(Input);
    EXPECT_EQ(ShaderOf(0).Flags, uint32_t(SourceSurfaceName | SourceScript | SourceMapOrGame));
    EXPECT_EQ(Resolver.ShaderFileItems.at(0), "MAP:\\\\scripts\\map.shader");
    EXPECT_EQ(ShaderOf(0).Stages.at(0).FileName, Resolver.Folders.MapTmpFolder + "models/x/m.tga");
    EXPECT_EQ(ShaderOf(1).Flags, uint32_t(SourceImage | SourceMapOrGame));
}

TEST_F(ResolverTest, NoGameFolderLeavesEverySurfaceWithoutShader) {
    Resolver.Update(Input);
    EXPECT_EQ(Index(0), -1);
    EXPECT_EQ(Index(1), -1);
    EXPECT_TRUE(Shaders.Shaders.empty());
    EXPECT_FALSE(Resolver.ApplyGameFolder(Dir.File("nothing"), Input));
}

TEST_F(ResolverTest, GammaReloadReplacesEveryLoadedImage) {
    WriteGameArchive({{"models/x/head.tga", TGAImage(2, 2, 24)}});
    Apply();
    const uint32_t before = ShaderOf(1).Stages.at(0).TextureHandle;
    Resolver.ReloadTextures(1.5f);
    EXPECT_NE(ShaderOf(1).Stages.at(0).TextureHandle, before);
    EXPECT_EQ(Textures.Gammas.back(), 1.5f);
    EXPECT_EQ(Textures.Released.back(), before);
}

TEST(GameFolder, ChosenBaseFolderSelectsItsParentAndNeedsTheArchive) {
    TempDir dir;
    fs::create_directories(dir.File("g/etmain"));
    EXPECT_EQ(TGameFolder::FromChosenPath(dir.File("g/etmain")), dir.File("g/"));
    TGameFolder game;
    EXPECT_FALSE(game.Apply(dir.File("g")));
    WriteText(dir.File("g/etmain/pak0.pk3"), "");
    EXPECT_TRUE(game.Apply(dir.File("g")));
    EXPECT_EQ(game.Path(), dir.File("g/"));
    EXPECT_FALSE(game.Apply(dir.File("other")));
    EXPECT_EQ(game.Path(), dir.File("g/"));
}

TEST(ConnectorMarks, FollowTheSourceFlags) {
    EXPECT_EQ(ConnectorMarks(0), TConnectorMarks{});
    EXPECT_EQ(ConnectorMarks(0x43), (TConnectorMarks{"shapeShaderFile", "shapeShaderFileIn",
                                                     "shapeShaderFileOut", "shapeShaderTexture"}));
    EXPECT_EQ(ConnectorMarks(0x45), TConnectorMarks{"shapeTextureFile"});
    EXPECT_EQ(ConnectorMarks(0x32),
              (TConnectorMarks{"shapeSkinFile", "shapeSkinShaderlist", "shapeShaderlistIn",
                               "shapeShaderlistOut", "shapeShaderlistShader", "shapeShaderFileIn",
                               "shapeShaderFileOut", "shapeShaderTexture"}));
}

} // namespace
} // namespace quillon
