// Reading and converting the generated level of a few thousand brushes (boxes, rotated boxes,
// pyramids, bevelled boxes, wedges) whose textures lie in a folder, as quillon-cli map2md3 runs.
#include "mapimport/FolderTextureSource.h"
#include "mapimport/LevelMap.h"
#include "tests/mapimport/MapBuilder.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

using namespace quillon;

namespace {

namespace fs = std::filesystem;

struct Fixture {
    test::GeneratedLevel Level = test::GenerateLevel();
    std::string Work = (fs::temp_directory_path() / "quillon-map-bench").string();
    std::string MapPath = Work + "/level.map";
    TFolderTextureSource Textures{{Work}};

    // The level and an empty image per texture name: only the files' presence is looked at.
    Fixture() {
        fs::create_directories(Work + "/gen");
        std::ofstream(MapPath, std::ios::binary) << Level.text;
        for (size_t t = 0; t < Level.textures; ++t)
            std::ofstream(Work + "/gen/tex" + std::to_string(t) + ".tga");
    }
};

const Fixture& Shared() {
    static const Fixture fixture;
    return fixture;
}

void SetBrushRate(benchmark::State& state, const Fixture& f) {
    state.counters["brushes/s"] =
        benchmark::Counter(double(f.Level.brushes), benchmark::Counter::kIsIterationInvariantRate);
}

void LoadGeneratedMap(benchmark::State& state) {
    const Fixture& f = Shared();
    TLevelMap map;
    for (auto _ : state) {
        if (!map.LoadMap(f.MapPath, f.Textures))
            return state.SkipWithError(map.LastError().c_str());
        benchmark::DoNotOptimize(map.Faces.data());
    }
    SetBrushRate(state, f);
    state.counters["faces"] = double(map.Faces.size());
}
BENCHMARK(LoadGeneratedMap)->Unit(benchmark::kMillisecond);

void ConvertGeneratedMap(benchmark::State& state) {
    const Fixture& f = Shared();
    TLevelMap map;
    if (!map.LoadMap(f.MapPath, f.Textures))
        return state.SkipWithError(map.LastError().c_str());
    TMD3 model;
    std::string message;
    for (auto _ : state)
        if (!map.ConvertToMD3(model, message))
            return state.SkipWithError(message.c_str());
    SetBrushRate(state, f);
}
BENCHMARK(ConvertGeneratedMap)->Unit(benchmark::kMillisecond);

void LoadAndConvertGeneratedMap(benchmark::State& state) {
    const Fixture& f = Shared();
    TLevelMap map;
    TMD3 model;
    std::string message;
    for (auto _ : state)
        if (!map.LoadMap(f.MapPath, f.Textures) || !map.ConvertToMD3(model, message))
            return state.SkipWithError(message.c_str());
    SetBrushRate(state, f);
}
BENCHMARK(LoadAndConvertGeneratedMap)->Unit(benchmark::kMillisecond);

} // namespace
