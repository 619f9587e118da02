// glTF export speed: OpenArena's largest player MD3 with its textures resolved from the game
// archive (TGA images decoded and written as PNG), and a bake-sized skeletal model (53 bones,
// 3 surfaces of 2000 vertices with 3 weights each, 1000 frames) exported as a skin, which
// includes placing the bones of every frame and checking the skin against posing. Each
// iteration writes a .glb to the temporary folder.
#include "SkeletalBuilder.h"

#include "core/CasePath.h"
#include "gamedata/ImageHeaderTextures.h"
#include "gamedata/SurfaceResolver.h"
#include "interchange/GltfExport.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace quillon;
namespace fs = std::filesystem;

const std::string Players = "/usr/share/games/openarena/baseoa/pak2-players.pk3";

// The largest player MD3 of the archive, resolved with its default skin.
struct TResolvedPlayer {
    std::string Work = (fs::temp_directory_path() / "quillon-export-bench").string();
    std::string Name;
    TMD3 Model;
    std::vector<TSurfaceMaterial> Materials;

    bool Load() {
        fs::remove_all(Work);
        fs::create_directories(Work + "/game/etmain");
        fs::create_symlink(Players, Work + "/game/etmain/pak0.pk3");
        TShaders shaders;
        TImageHeaderTextures textures;
        TSurfaceResolver resolver(shaders, textures);
        resolver.Folders = TAppFolders::Below(Work + "/app");
        resolver.Folders.CreateTempFolders();
        TResolveInput input;
        if (!resolver.ApplyGameFolder(Work + "/game", input))
            return false;
        TPK3Archive game;
        game.Open(resolver.Game.GameArchive());
        const std::string tmp = resolver.Folders.TmpFolder;
        if (game.Extract("models/players/*/*.md3", tmp) == 0)
            return false;
        uintmax_t largest = 0;
        for (const auto& entry : fs::recursive_directory_iterator(tmp + "models/players"))
            if (entry.path().extension() == ".md3" && entry.file_size() > largest) {
                largest = entry.file_size();
                Name = entry.path().string().substr(tmp.size());
            }
        if (Name.empty() || !Model.LoadFromFile(tmp + Name))
            return false;
        const std::string skin = WithoutExtension(Name) + "_default.skin";
        if (!game.ExtractExact(skin, resolver.Folders.TmpFolder) ||
            !resolver.Skin.Load(resolver.Folders.TmpFolder + skin))
            resolver.Skin.Clear();
        input.Model = {TModelKind::MD3, &Model, nullptr};
        input.Source = TModelSource::GameArchive;
        input.SelectedFolder = FolderPart(Name);
        resolver.Update(input);
        Materials = SurfaceMaterials(input.Model, shaders, resolver.Skin);
        return true;
    }
};

void BM_ExportPlayerMD3WithTextures(benchmark::State& state) {
    if (!fs::exists(Players)) {
        state.SkipWithError("OpenArena player data not installed (./test.sh installs it)");
        return;
    }
    TResolvedPlayer player;
    if (!player.Load()) {
        state.SkipWithError("the player archive could not be read");
        return;
    }
    TExportModel model;
    model.MD3 = &player.Model;
    model.Materials = player.Materials;
    const std::string out = player.Work + "/player.glb";
    TExportResult result;
    for (auto _ : state)
        result = ExportGltf(model, {}, out);
    state.SetLabel(player.Name + ": " + std::to_string(result.Summary.Vertices) + " vertices, " +
                   std::to_string(result.Summary.MorphTargets) + " morph targets, " +
                   std::to_string(result.Summary.TexturesEmbedded) + " textures, " +
                   std::to_string(fs::file_size(out) >> 10) + " KiB");
}
BENCHMARK(BM_ExportPlayerMD3WithTextures)->Unit(benchmark::kMillisecond);

void BM_ExportSkeletalAsSkin(benchmark::State& state) {
    constexpr int Frames = 1000, Bones = 53;
    const TMDX animation = test::BuildMDX(Frames, Bones);
    const TMDM mesh = test::BuildBoundMDM({3, 2000, 3, 2000, 3, 4, Bones}, animation, 0);
    TExportModel model;
    model.MDM = &mesh;
    model.MDX = &animation;
    const std::string out = (fs::temp_directory_path() / "quillon-export-bench-skin.glb").string();
    TExportResult result;
    for (auto _ : state)
        result = ExportGltf(model, {}, out);
    if (!result.Ok() || result.Summary.SkeletalAsMorph)
        state.SkipWithError("the model did not go out as a skin");
    state.SetLabel(std::to_string(fs::file_size(out) >> 10) + " KiB");
}
BENCHMARK(BM_ExportSkeletalAsSkin)->Unit(benchmark::kMillisecond);

} // namespace
