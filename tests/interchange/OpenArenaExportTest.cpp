// Every OpenArena player MD3 (Debian's openarena-081-players, installed by ./test.sh) exported
// with its default skin, its surfaces resolved against the real archive as the window resolves
// them; each file passes the Khronos validator. Skips when the game data is absent.
#include "GltfReading.h"

#include "core/CasePath.h"
#include "gamedata/ImageHeaderTextures.h"
#include "gamedata/SurfaceResolver.h"
#include "interchange/GltfExport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <set>

namespace quillon::test {
namespace {

namespace fs = std::filesystem;

const std::string Players = "/usr/share/games/openarena/baseoa/pak2-players.pk3";

TEST(OpenArenaExport, EveryPlayerModelExportsWithItsDefaultSkinAndValidates) {
    if (!fs::exists(Players))
        GTEST_SKIP() << "OpenArena data not installed (./test.sh installs it)";
    const std::string work = std::string(QUILLON_EXPORT_WORK_DIR) + "/openarena-export";
    fs::remove_all(work);
    fs::create_directories(work + "/game/etmain");
    fs::create_symlink(Players, work + "/game/etmain/pak0.pk3");

    TShaders shaders;
    TImageHeaderTextures textures;
    TSurfaceResolver resolver(shaders, textures);
    resolver.Folders = TAppFolders::Below(work + "/app");
    resolver.Folders.CreateTempFolders();
    TResolveInput input;
    ASSERT_TRUE(resolver.ApplyGameFolder(work + "/game", input));

    TPK3Archive game;
    game.Open(resolver.Game.GameArchive());
    std::set<std::string> folders;
    for (const TPK3Member& member : game.FindAll("*.md3"))
        if (member.Folder.rfind("models/players/", 0) == 0 &&
            std::count(member.Folder.begin(), member.Folder.end(), '/') == 3)
            folders.insert(member.Folder);

    int exported = 0, textured = 0;
    for (const std::string& folder : folders)
        for (const std::string part : {"head", "upper", "lower"}) {
            const std::string md3Path = folder + part + ".md3";
            if (!game.ExtractExact(md3Path, resolver.Folders.TmpFolder))
                continue;
            TMD3 md3;
            ASSERT_TRUE(md3.LoadFromFile(resolver.Folders.TmpFolder + md3Path)) << md3Path;
            const std::string skinPath = folder + part + "_default.skin";
            // Models without a default skin are exported with none.
            if (!game.ExtractExact(skinPath, resolver.Folders.TmpFolder) ||
                !resolver.Skin.Load(resolver.Folders.TmpFolder + skinPath))
                resolver.Skin.Clear();
            input.Model = {TModelKind::MD3, &md3, nullptr};
            input.Source = TModelSource::GameArchive;
            input.SelectedFolder = folder;
            resolver.Update(input);

            TExportModel model;
            model.MD3 = &md3;
            model.Name = md3Path;
            model.Materials = SurfaceMaterials(input.Model, shaders, resolver.Skin);
            const std::string out =
                work + "/" + FilePart(folder.substr(0, folder.size() - 1)) + "_" + part + ".glb";
            const TExportResult result = ExportGltf(model, {}, out);
            ASSERT_TRUE(result.Ok()) << md3Path << ": " << result.Error;
            for (const std::string& warning : result.Summary.Warnings)
                std::cout << md3Path << ": " << warning << "\n";
            ExpectValidGltf(out);
            EXPECT_EQ(result.Summary.MorphTargets, int(md3.Header.numFrames) - 1) << md3Path;
            ++exported;
            textured += result.Summary.TexturesEmbedded > 0;
        }
    std::cout << "OpenArena players: " << exported << " models exported, " << textured
              << " with textures\n";
    EXPECT_GT(exported, 15);
    EXPECT_GT(textured, exported / 2);
}

} // namespace
} // namespace quillon::test
