// Checking every player model of OpenArena's players archive: the three parts read, checked as
// MD3s and as a player set, and every part under every skin resolved against the archive as the
// game data. The aim is the whole set in under a second. Skipped without the game data.
#include "gamedata/ImageHeaderTextures.h"
#include "gamedata/PK3Archive.h"
#include "gamedata/PlayerSetCheck.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <set>

using namespace quillon;

namespace {

namespace fs = std::filesystem;

const std::string PlayersArchive = "/usr/share/games/openarena/baseoa/pak2-players.pk3";

// The player folders unpacked once into the system's temporary folder, and a game folder whose
// etmain/pak0.pk3 links to the archive.
struct OpenArenaPlayers {
    std::string Work = (fs::temp_directory_path() / "quillon-check-bench").string();
    std::vector<std::string> Folders;

    OpenArenaPlayers() {
        fs::create_directories(Work + "/game/etmain");
        if (!fs::exists(Work + "/game/etmain/pak0.pk3"))
            fs::create_symlink(PlayersArchive, Work + "/game/etmain/pak0.pk3");
        TPK3Archive archive;
        archive.Open(PlayersArchive);
        std::set<std::string> folders;
        for (const TPK3Member& member : archive.FindAll("models/players/*/*.md3"))
            folders.insert(member.Folder);
        for (const std::string& folder : folders) {
            archive.Extract(folder + "*", Work + "/models");
            Folders.push_back(Work + "/models/" + folder);
        }
    }
};

void CheckAllPlayers(benchmark::State& state, bool withGameData) {
    if (!fs::exists(PlayersArchive))
        return state.SkipWithError("OpenArena data not installed");
    static const OpenArenaPlayers players;
    TShaders shaders;
    TImageHeaderTextures textures;
    TSurfaceResolver resolver(shaders, textures);
    resolver.Folders = TAppFolders::Below(players.Work + "/app");
    resolver.Folders.CreateTempFolders();
    resolver.ApplyGameFolder(players.Work + "/game", {});
    TGameDataCheck game(resolver);
    size_t findings = 0;
    for (auto _ : state) {
        findings = 0;
        for (const std::string& folder : players.Folders) {
            TPlayerSet set;
            LoadPlayerSet(folder, set);
            findings +=
                CheckPlayerSet(set, LimitsFor(TCheckTarget::Q3), withGameData ? &game : nullptr)
                    .size();
        }
    }
    state.counters["sets"] = static_cast<double>(players.Folders.size());
    state.counters["findings"] = static_cast<double>(findings);
}

void CheckOpenArenaPlayers(benchmark::State& state) {
    CheckAllPlayers(state, true);
}
BENCHMARK(CheckOpenArenaPlayers)->Unit(benchmark::kMillisecond);

void CheckOpenArenaPlayersModelOnly(benchmark::State& state) {
    CheckAllPlayers(state, false);
}
BENCHMARK(CheckOpenArenaPlayersModelOnly)->Unit(benchmark::kMillisecond);

} // namespace
