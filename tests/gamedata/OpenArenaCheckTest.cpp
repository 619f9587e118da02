// Every player model of OpenArena's players archive checked with the archive as the game data.
// The findings are printed for the record (what the check says about real, shipped models) and
// the facts that hold for all of them are asserted.
#include "gamedata/PlayerSetCheck.h"

#include "core/CasePath.h"
#include "gamedata/ImageHeaderTextures.h"
#include "gamedata/PK3Archive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <set>

namespace quillon {
namespace {

namespace fs = std::filesystem;

const std::string PlayersArchive = "/usr/share/games/openarena/baseoa/pak2-players.pk3";

TEST(OpenArenaCheck, EveryPlayerModel) {
    if (!fs::exists(PlayersArchive))
        GTEST_SKIP() << "OpenArena data not installed (./test.sh installs it)";
    const std::string work = std::string(QUILLON_GAMEDATA_WORK_DIR) + "/openarena-check";
    fs::remove_all(work);
    fs::create_directories(work + "/game/etmain");
    fs::create_symlink(PlayersArchive, work + "/game/etmain/pak0.pk3");

    TShaders shaders;
    TImageHeaderTextures textures;
    TSurfaceResolver resolver(shaders, textures);
    resolver.Folders = TAppFolders::Below(work + "/app");
    resolver.Folders.CreateTempFolders();
    ASSERT_TRUE(resolver.ApplyGameFolder(work + "/game", {}));
    TGameDataCheck game(resolver);
    ASSERT_TRUE(game.HasGameData());

    TPK3Archive archive;
    archive.Open(PlayersArchive);
    std::set<std::string> folders;
    for (const TPK3Member& member : archive.FindAll("models/players/*/*.md3"))
        folders.insert(member.Folder);
    ASSERT_GE(folders.size(), 12u);

    std::map<std::string, int> byCode;
    for (const std::string& folder : folders) {
        archive.Extract(folder + "*", work + "/models");
        const std::string path = work + "/models/" + folder;
        ASSERT_TRUE(IsPlayerSetFolder(path)) << folder;
        TPlayerSet set;
        ASSERT_FALSE(LoadPlayerSet(path, set)) << folder;
        const auto findings = CheckPlayerSet(set, LimitsFor(TCheckTarget::Q3), &game);
        std::cout << folder << ": " << FindingSummary(findings) << "\n";
        for (const TFinding& f : findings) {
            std::cout << "  " << f.File << ": " << SeverityName(f.Severity) << " [" << f.Code
                      << "] " << FindingText(f) << "\n";
            byCode[f.Code]++;
            // Shipped models load and play in the game: nothing the loaders refuse, every part
            // hangs on its tags, every animation fits, and every frame box holds its frame.
            for (const char* refused :
                 {"incomplete", "frames", "tags", "surfaces", "verts-per-surface",
                  "triangles-per-surface", "animation-file", "animation-range", "bounds-mismatch",
                  "radius-mismatch", "triangle-index"})
                EXPECT_NE(f.Code, refused) << folder << f.File;
            if (f.Code == "tag-missing") {
                EXPECT_EQ(f.Severity, TSeverity::Note) << folder << f.File;
            }
        }
    }
    std::cout << "by code:";
    for (const auto& [code, count] : byCode)
        std::cout << " " << code << " " << count;
    std::cout << "\n";
}

} // namespace
} // namespace quillon
