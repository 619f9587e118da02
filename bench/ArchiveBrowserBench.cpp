// The archive browser's tree: a generated archive of 20,000 members of which 2,000 match
// "*.MD3", and OpenArena's players archive, beside the anchor of libzip listing every name of
// the same archive. Then what the window does from the choice of an OpenArena player part to its
// first textured frame: extract the part, load it, resolve its shaders and decode its images.
#include "GameDataBuilder.h"
#include "core/MD3.h"
#include "gamedata/ArchiveTree.h"
#include "gamedata/ImageHeaderTextures.h"
#include "gamedata/SurfaceResolver.h"
#include "images/ImageFile.h"

#include <benchmark/benchmark.h>
#include <zip.h>

#include <cstring>
#include <filesystem>

using namespace quillon;

namespace {

namespace fs = std::filesystem;

const std::string PlayersArchive = "/usr/share/games/openarena/baseoa/pak2-players.pk3";

// 200 folders of 100 members each, every tenth a model; written once per run.
std::string LargeArchive() {
    const std::string path = (fs::temp_directory_path() / "quillon-bench-large.pk3").string();
    if (fs::exists(path))
        return path;
    std::vector<test::ZipEntry> entries;
    for (int folder = 0; folder < 200; ++folder)
        for (int member = 0; member < 100; ++member) {
            const std::string name = "models/mapobjects/set" + std::to_string(folder) + "/item" +
                                     std::to_string(member) + (member % 10 ? ".tga" : ".md3");
            entries.push_back({name, "x"});
        }
    test::WriteZip(path, entries);
    return path;
}

void BrowseTree(benchmark::State& state, const std::string& path) {
    if (!fs::exists(path))
        return state.SkipWithError("archive not found");
    size_t nodes = 0;
    for (auto _ : state) {
        TPK3Archive archive;
        const TArchiveTree tree = BuildArchiveTree(archive, path, "*.MD3", "pak0.pk3");
        nodes = tree.TopLevel.size();
        benchmark::DoNotOptimize(nodes);
    }
    state.counters["topNodes"] = double(nodes);
}

// The anchor: every name of the archive as libzip lists it, nothing matched or built.
void ListNames(benchmark::State& state, const std::string& path) {
    if (!fs::exists(path))
        return state.SkipWithError("archive not found");
    for (auto _ : state) {
        int error = 0;
        zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &error);
        const zip_int64_t count = zip_get_num_entries(zip, 0);
        size_t length = 0;
        for (zip_int64_t i = 0; i < count; ++i)
            length += std::strlen(zip_get_name(zip, zip_uint64_t(i), 0));
        benchmark::DoNotOptimize(length);
        zip_discard(zip);
    }
}

void BM_BrowseTreeLarge(benchmark::State& state) {
    BrowseTree(state, LargeArchive());
}
BENCHMARK(BM_BrowseTreeLarge)->Unit(benchmark::kMillisecond);

void BM_ListNamesLarge(benchmark::State& state) {
    ListNames(state, LargeArchive());
}
BENCHMARK(BM_ListNamesLarge)->Unit(benchmark::kMillisecond);

void BM_BrowseTreeOpenArenaPlayers(benchmark::State& state) {
    BrowseTree(state, PlayersArchive);
}
BENCHMARK(BM_BrowseTreeOpenArenaPlayers)->Unit(benchmark::kMillisecond);

void BM_ListNamesOpenArenaPlayers(benchmark::State& state) {
    ListNames(state, PlayersArchive);
}
BENCHMARK(BM_ListNamesOpenArenaPlayers)->Unit(benchmark::kMillisecond);

// Extraction, load, resolution and the decoding of every stage image of one player part (the
// GL upload aside), with the game's shader scripts collected once beforehand, as at start-up.
void BM_PlayerPartToTexturedFrame(benchmark::State& state) {
    if (!fs::exists(PlayersArchive))
        return state.SkipWithError("OpenArena data not installed");
    const std::string work = (fs::temp_directory_path() / "quillon-browser-bench").string();
    fs::create_directories(work + "/game/etmain");
    if (!fs::exists(work + "/game/etmain/pak0.pk3"))
        fs::create_symlink(PlayersArchive, work + "/game/etmain/pak0.pk3");
    TShaders shaders;
    TImageHeaderTextures textures;
    TSurfaceResolver resolver{shaders, textures};
    resolver.Folders = TAppFolders::Below(work + "/app");
    resolver.Folders.CreateTempFolders();
    TResolveInput input;
    resolver.ApplyGameFolder(work + "/game", input);
    const std::string member = "models/players/sergei/upper.md3";
    input.Source = TModelSource::GameArchive;
    input.SelectedFolder = "models/players/sergei/";
    for (auto _ : state) {
        TPK3Archive archive;
        archive.Open(resolver.Game.GameArchive());
        TMD3 part;
        if (!archive.ExtractExact(member, resolver.Folders.TmpFolder) ||
            !part.LoadFromFile(resolver.Folders.TmpFolder + member))
            return state.SkipWithError(("cannot read " + member).c_str());
        input.Model = {TModelKind::MD3, &part, nullptr};
        resolver.Update(input);
        for (const TShaderObj& shader : shaders.Shaders)
            for (const TShaderTexture& stage : shader.Stages) {
                TRgbaImage image;
                if (!stage.FileName.empty())
                    benchmark::DoNotOptimize(DecodeImageFile(stage.FileName, image));
            }
    }
}
BENCHMARK(BM_PlayerPartToTexturedFrame)->Unit(benchmark::kMillisecond);

} // namespace
