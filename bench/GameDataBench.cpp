// Collecting the game's shader scripts and one update of a three-part player model, against
// OpenArena's players archive standing in for the game archive. Skipped without the game data.
#include "core/MD3.h"
#include "gamedata/ImageHeaderTextures.h"
#include "gamedata/SurfaceResolver.h"

#include <benchmark/benchmark.h>

#include <filesystem>

using namespace quillon;

namespace {

namespace fs = std::filesystem;

const std::string PlayersArchive = "/usr/share/games/openarena/baseoa/pak2-players.pk3";

// A game folder in the system's temporary folder whose etmain/pak0.pk3 links to the archive.
std::string GameFolder() {
    const std::string work = (fs::temp_directory_path() / "quillon-gamedata-bench").string();
    fs::create_directories(work + "/game/etmain");
    if (!fs::exists(work + "/game/etmain/pak0.pk3"))
        fs::create_symlink(PlayersArchive, work + "/game/etmain/pak0.pk3");
    return work;
}

struct Fixture {
    TShaders Shaders;
    TImageHeaderTextures Textures;
    TSurfaceResolver Resolver{Shaders, Textures};
    std::string Work = GameFolder();
    Fixture() {
        Resolver.Folders = TAppFolders::Below(Work + "/app");
        Resolver.Folders.CreateTempFolders();
    }
};

void CollectGameShaderFiles(benchmark::State& state) {
    if (!fs::exists(PlayersArchive))
        return state.SkipWithError("OpenArena data not installed");
    Fixture f;
    TResolveInput none;
    for (auto _ : state)
        f.Resolver.ApplyGameFolder(f.Work + "/game", none);
}
BENCHMARK(CollectGameShaderFiles)->Unit(benchmark::kMillisecond);

void UpdatePlayerModel(benchmark::State& state) {
    if (!fs::exists(PlayersArchive))
        return state.SkipWithError("OpenArena data not installed");
    Fixture f;
    TResolveInput input;
    f.Resolver.ApplyGameFolder(f.Work + "/game", input);
    TPK3Archive game;
    game.Open(f.Resolver.Game.GameArchive());
    TPK3Member head;
    if (!game.FindFirst("models/players/*/head.md3", head))
        return state.SkipWithError("no player model in the archive");
    const std::string folder = head.Folder;
    TMD3 parts[3];
    const char* names[3] = {"head", "upper", "lower"};
    for (int i = 0; i < 3; ++i) {
        const std::string member = folder + names[i] + ".md3";
        if (!game.ExtractExact(member, f.Resolver.Folders.TmpFolder) ||
            !parts[i].LoadFromFile(f.Resolver.Folders.TmpFolder + member))
            return state.SkipWithError(("cannot read " + member).c_str());
    }
    input.Source = TModelSource::GameArchive;
    input.SelectedFolder = folder;
    for (auto _ : state) {
        for (TMD3& part : parts) {
            input.Model = {TModelKind::MD3, &part, nullptr};
            f.Resolver.Update(input);
        }
    }
}
BENCHMARK(UpdatePlayerModel)->Unit(benchmark::kMillisecond);

} // namespace
