// Game folders of the MD3 engine family beside the etmain layout: which folder is the base, the
// order its archives are read in, and that a later archive's member wins in the look-ups.
#include "gamedata/GameFolder.h"
#include "gamedata/SurfaceResolver.h"

#include "GameDataBuilder.h"
#include "support/MD3Builder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillon {
namespace {

using test::TempDir;
using test::WriteZip;
namespace fs = std::filesystem;

std::vector<std::string> Names(const std::vector<std::string>& paths) {
    std::vector<std::string> names;
    for (const std::string& path : paths)
        names.push_back(fs::path(path).filename().string());
    return names;
}

TEST(GameFolderFamily, TheBaseFolderIsFoundBelowOrChosenItself) {
    TempDir dir;
    fs::create_directories(dir.File("q3/baseq3"));
    fs::create_directories(dir.File("q3/missionpack"));
    WriteZip(dir.File("q3/missionpack/pak0.pk3"), {{"a", "x"}});
    WriteZip(dir.File("q3/baseq3/PAK10.pk3"), {{"a", "x"}});
    WriteZip(dir.File("q3/baseq3/pak2.pk3"), {{"a", "x"}});
    WriteZip(dir.File("q3/baseq3/pak1.PK3"), {{"a", "x"}});
    WriteZip(dir.File("q3/baseq3/maps.pk3"), {{"a", "x"}});

    TGameFolder game;
    ASSERT_TRUE(game.Apply(dir.File("q3")));
    EXPECT_EQ(game.BaseFolder(), dir.File("q3/baseq3/"));
    EXPECT_EQ(game.ScriptsFolder(), dir.File("q3/baseq3/scripts/"));
    // Names compared as text ignoring case, as the game sorts them: pak10 before pak2.
    EXPECT_EQ(Names(game.Archives()),
              (std::vector<std::string>{"pak1.PK3", "PAK10.pk3", "pak2.pk3"}));
    ASSERT_TRUE(game.Apply(dir.File("q3/missionpack")));
    EXPECT_EQ(game.BaseFolder(), dir.File("q3/missionpack/"));
    EXPECT_EQ(game.Path(), dir.File("q3/missionpack/"));

    fs::create_directories(dir.File("empty/baseq3"));
    EXPECT_FALSE(TGameFolder::IsValid(dir.File("empty")));
    EXPECT_FALSE(game.Apply(dir.File("empty")));
    EXPECT_EQ(game.BaseFolder(), dir.File("q3/missionpack/"));
}

TEST(GameFolderFamily, TheEtmainLayoutReadsItsOneArchive) {
    TempDir dir;
    fs::create_directories(dir.File("et/etmain"));
    WriteZip(dir.File("et/etmain/pak0.pk3"), {{"a", "x"}});
    WriteZip(dir.File("et/etmain/pak1.pk3"), {{"a", "x"}});
    TGameFolder game;
    ASSERT_TRUE(game.Apply(dir.File("et")));
    EXPECT_EQ(Names(game.Archives()), (std::vector<std::string>{"pak0.pk3"}));
    EXPECT_EQ(game.GameArchive(), dir.File("et/etmain/pak0.pk3"));
}

TEST(GameFolderFamily, ALaterArchiveOverridesScriptsAndImages) {
    TempDir dir;
    fs::create_directories(dir.File("oa/baseoa"));
    const std::string shader = "models/x/body\n{\n{\nmap models/x/";
    WriteZip(dir.File("oa/baseoa/pak0.pk3"), {{"scripts/x.shader", shader + "old.tga\n}\n}\n"},
                                              {"models/x/old.tga", test::TGAImage(2, 2, 24)},
                                              {"models/x/head.tga", test::TGAImage(2, 2, 24)}});
    WriteZip(dir.File("oa/baseoa/pak1.pk3"), {{"scripts/x.shader", shader + "new.tga\n}\n}\n"},
                                              {"models/x/new.tga", test::TGAImage(4, 4, 24)},
                                              {"models/x/head.tga", test::TGAImage(8, 8, 32)}});
    TShaders shaders;
    test::RecordingTextures textures;
    TSurfaceResolver resolver(shaders, textures);
    resolver.Folders = TAppFolders::Below(dir.File("app"));
    resolver.Folders.CreateTempFolders();
    TMD3 model = test::BuildMD3({1, 0, 2, 3, 1, 1});
    StringToName("models/x/body", model.Header.Surfaces[0].Shaders[0].name);
    StringToName("models/x/head.tga", model.Header.Surfaces[1].Shaders[0].name);
    TResolveInput input;
    input.Model = {TModelKind::MD3, &model, nullptr};
    input.Source = TModelSource::GameArchive;
    ASSERT_TRUE(resolver.ApplyGameFolder(dir.File("oa"), input));

    const auto image = [&](int surface) {
        const TShaderObj& shader =
            shaders.Shaders.at(model.Header.Surfaces[surface].Shaders[0].shaderIndex);
        return textures.Loaded.at(shader.Stages.at(0).TextureHandle);
    };
    EXPECT_EQ(fs::path(image(0)).filename(), "new.tga");
    TImageInfo info;
    ASSERT_TRUE(textures.ImageSize(image(1), info));
    EXPECT_EQ(info.width, 8);
}

} // namespace
} // namespace quillon
