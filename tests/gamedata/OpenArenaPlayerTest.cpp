// Every player of Debian's OpenArena, read from the installed game as the window's "Load Player
// From Game..." reads it: the installation folder chosen as it is, the player folder copied out
// of the game's archives, joined, dressed in its default skin and resolved against the game.
#include "gamedata/ImageHeaderTextures.h"
#include "gamedata/PlayerJoin.h"
#include "gamedata/PlayerModel.h"
#include "gamedata/SurfaceResolver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <set>

namespace quillon {
namespace {

namespace fs = std::filesystem;

const std::string Installation = "/usr/share/games/openarena";

std::set<std::string> PlayerFolders(const TGameFolder& game) {
    std::set<std::string> folders;
    for (const std::string& path : game.Archives()) {
        TPK3Archive archive;
        archive.Open(path);
        for (const TPK3Member& member : archive.FindAll("models/players/*/upper.md3"))
            folders.insert(member.Folder);
    }
    return folders;
}

// The mean height of each part's vertices in frame 0 of the joined model.
std::map<std::string, float> PartHeights(const TPlayerModel& player, const TMD3& joined) {
    const auto names = JoinedSurfaceNames(player.Set(), nullptr);
    std::map<std::string, std::pair<double, int>> sums;
    for (size_t s = 0; s < names.size(); ++s) {
        const TSurface& surface = joined.Header.Surfaces[s];
        for (uint32_t v = 0; v < surface.numVerts; ++v) {
            sums[names[s].Part].first += TMD3::VertexPosition(surface.Vertices[v]).z;
            sums[names[s].Part].second += 1;
        }
    }
    std::map<std::string, float> heights;
    for (const auto& [part, sum] : sums)
        heights[part] = static_cast<float>(sum.first / sum.second);
    return heights;
}

TEST(OpenArenaPlayers, EveryPlayerLoadsJoinedWithItsDefaultSkinAndTextures) {
    if (!fs::exists(Installation + "/baseoa/pak2-players.pk3"))
        GTEST_SKIP() << "OpenArena data not installed (./test.sh installs it)";
    const std::string work = std::string(QUILLON_GAMEDATA_WORK_DIR) + "/openarena-players";
    fs::remove_all(work);
    TShaders shaders;
    TImageHeaderTextures textures;
    TSurfaceResolver resolver(shaders, textures);
    resolver.Folders = TAppFolders::Below(work + "/app");
    resolver.Folders.CreateTempFolders();
    ASSERT_TRUE(resolver.ApplyGameFolder(Installation, {}));
    EXPECT_EQ(resolver.Game.BaseFolder(), Installation + "/baseoa/");
    ASSERT_GE(resolver.Game.Archives().size(), 2u);

    const std::set<std::string> folders = PlayerFolders(resolver.Game);
    ASSERT_GE(folders.size(), 12u);
    std::set<std::string> untextured;
    for (const std::string& folder : folders) {
        TPlayerModel player;
        ASSERT_TRUE(player.LoadFromArchives(resolver.Game.Archives(), folder, work + "/players"))
            << folder << ": " << player.LastError();
        EXPECT_EQ(player.SkinName(), "default") << folder;
        const int run = TPlayerModel::FindRange(player.LegsRanges(), "LEGS_RUN");
        const int attack = TPlayerModel::FindRange(player.TorsoRanges(), "TORSO_ATTACK");
        ASSERT_GE(run, 0) << folder;
        ASSERT_GE(attack, 0) << folder;
        TMD3 joined = player.Joined({player.PoseAt(run, attack, 0.2)});
        for (const std::string& message : player.Messages())
            std::cout << folder << ": " << message << "\n";

        // Upright, the head on the torso on the legs.
        const std::map<std::string, float> heights = PartHeights(player, joined);
        EXPECT_LT(heights.at("lower"), heights.at("upper")) << folder;
        EXPECT_LT(heights.at("upper"), heights.at("head")) << folder;

        resolver.Skin = player.JoinedSkin();
        TResolveInput input;
        input.Model = {TModelKind::MD3, &joined, nullptr};
        input.Source = TModelSource::GameArchive;
        input.SelectedFolder = folder;
        resolver.Update(input);
        for (const TSurface& surface : joined.Header.Surfaces) {
            const int index = surface.Shaders.empty() ? -1 : surface.Shaders[0].shaderIndex;
            if (!shaders.Has(index) || shaders.Shaders[index].Stages.empty() ||
                shaders.Shaders[index].Stages[0].TextureHandle == 0)
                untextured.insert(folder + NameToString(surface.name));
        }
    }
    // Tony's belt and vest have no line in any of his skins and name a shader of their author's
    // disk ("\projects\oatony\Material.010"): the game draws them with its default shader too.
    EXPECT_EQ(untextured,
              (std::set<std::string>{"models/players/tony/l_belt", "models/players/tony/u_vest"}));
}

} // namespace
} // namespace quillon
