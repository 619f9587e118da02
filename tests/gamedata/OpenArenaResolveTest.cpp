// Every OpenArena player model resolved with its default skin against the real archives: the
// players archive stands in for the game archive and the 0.8.5 patch for a map archive.
#include "core/CasePath.h"
#include "core/MD3.h"
#include "gamedata/ImageHeaderTextures.h"
#include "gamedata/SurfaceResolver.h"
#include "support/MD3Builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <set>

namespace quillon {
namespace {

namespace fs = std::filesystem;

const std::string BaseOA = "/usr/share/games/openarena/baseoa/";

bool ExistsIn(TPK3Archive& archive, const std::string& name) {
    TPK3Member member;
    const std::string stem = WithoutExtension(name);
    for (const std::string& candidate : {name, stem + ".tga", stem + ".jpg", stem + ".bmp"})
        if (archive.FindFirst(candidate, member))
            return true;
    return false;
}

TEST(OpenArenaResolve, EveryPlayerSurfaceWhoseSkinNamesAnExistingImageGetsIt) {
    if (!fs::exists(BaseOA + "pak2-players.pk3") || !fs::exists(BaseOA + "pak6-patch085.pk3"))
        GTEST_SKIP() << "OpenArena data not installed (./test.sh installs it)";
    const std::string work = std::string(QUILLON_GAMEDATA_WORK_DIR) + "/openarena-game";
    fs::remove_all(work);
    fs::create_directories(work + "/game/etmain");
    fs::create_symlink(BaseOA + "pak2-players.pk3", work + "/game/etmain/pak0.pk3");

    TShaders shaders;
    TImageHeaderTextures textures;
    TSurfaceResolver resolver(shaders, textures);
    resolver.Folders = TAppFolders::Below(work + "/app");
    resolver.Folders.CreateTempFolders();
    TResolveInput input;
    input.ArchivePath = BaseOA + "pak6-patch085.pk3";
    ASSERT_TRUE(resolver.ApplyGameFolder(work + "/game", input));
    EXPECT_GT(resolver.Scripts.GameShaderCount, 0);

    TPK3Archive game, map;
    game.Open(resolver.Game.GameArchive());
    map.Open(input.ArchivePath);
    std::set<std::string> folders;
    for (const TPK3Member& member : game.FindAll("*.md3"))
        if (member.Folder.rfind("models/players/", 0) == 0 &&
            std::count(member.Folder.begin(), member.Folder.end(), '/') == 3)
            folders.insert(member.Folder);

    int surfaces = 0, loaded = 0, expected = 0;
    for (const std::string& folder : folders) {
        for (const std::string part : {"head", "upper", "lower"}) {
            const std::string md3Path = folder + part + ".md3";
            if (!game.ExtractExact(md3Path, resolver.Folders.TmpFolder))
                continue;
            TMD3 model;
            ASSERT_TRUE(model.LoadFromFile(resolver.Folders.TmpFolder + md3Path)) << md3Path;
            const std::string skinPath = folder + part + "_default.skin";
            // Models without a default skin are resolved with none.
            if (!game.ExtractExact(skinPath, resolver.Folders.TmpFolder) ||
                !resolver.Skin.Load(resolver.Folders.TmpFolder + skinPath))
                resolver.Skin.Clear();
            input.Model = {TModelKind::MD3, &model, nullptr};
            input.Source = TModelSource::GameArchive;
            input.SelectedFolder = folder;
            resolver.Update(input);
            for (const TSurfaceSlot& slot : SurfaceSlots(input.Model)) {
                if (!slot.ShaderIndex)
                    continue;
                ++surfaces;
                const int index = *slot.ShaderIndex;
                const bool hasImage = shaders.Has(index) &&
                                      !shaders.Shaders[index].Stages.empty() &&
                                      shaders.Shaders[index].Stages[0].TextureHandle != 0;
                loaded += hasImage;
                const TSkinRec* entry = resolver.Skin.Find(slot.Name);
                const bool exists =
                    entry && !ExtensionOf(entry->ShaderName).empty() &&
                    (ExistsIn(game, entry->ShaderName) || ExistsIn(map, entry->ShaderName));
                expected += exists;
                if (!hasImage)
                    std::cout << "unresolved: " << md3Path << " " << slot.Name << " -> "
                              << (entry ? entry->ShaderName : slot.ShaderName)
                              << (exists ? " (image exists)" : "") << "\n";
                EXPECT_TRUE(hasImage || !exists) << md3Path << " " << slot.Name;
            }
        }
    }
    std::cout << "OpenArena players: " << folders.size() << " models, " << surfaces << " surfaces, "
              << loaded << " with a loaded image, " << expected
              << " whose skin names an existing image\n";
    EXPECT_GT(folders.size(), 5u);
    EXPECT_GE(loaded, expected);
}

} // namespace
} // namespace quillon
