// MD3 load and save of a large model (20 surfaces x 1000 vertices x 200 frames, about 32 MB),
// in bytes per second. Compare with `cat FILE > /dev/null` of the same file.
#include "core/MD3.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace quillon;

namespace {

TMD3 LargeModel() {
    constexpr int Surfaces = 20, Verts = 1000, Frames = 200, Triangles = 1900;
    TMD3 md3;
    THeader& h = md3.Header;
    h.numFrames = Frames;
    h.numTags = 2;
    h.numSurfaces = Surfaces;
    h.Frames.resize(Frames);
    h.Tags.resize(Frames * 2);
    for (int s = 0; s < Surfaces; ++s) {
        TSurface surface;
        surface.numFrames = Frames;
        surface.numShaders = 1;
        surface.numVerts = Verts;
        surface.numTriangles = Triangles;
        surface.Shaders.resize(1);
        for (int t = 0; t < Triangles; ++t)
            surface.Triangles.push_back({{t % Verts, (t + 1) % Verts, (t + 7) % Verts}});
        surface.TexCoords.resize(Verts, {0.25f, 0.75f});
        surface.Vertices.resize(size_t(Verts) * Frames);
        for (size_t k = 0; k < surface.Vertices.size(); ++k)
            surface.Vertices[k] = {int16_t(k), int16_t(k * 3), int16_t(k * 5), int16_t(k * 7)};
        h.Surfaces.push_back(std::move(surface));
    }
    return md3;
}

std::string BenchFile() {
    return (std::filesystem::temp_directory_path() / "quillon-bench-large.md3").string();
}

void BM_MD3Save(benchmark::State& state) {
    TMD3 md3 = LargeModel();
    const std::string path = BenchFile();
    for (auto _ : state)
        if (!md3.SaveToFile(path))
            state.SkipWithError("save failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * md3.Header.ofsEnd);
}
BENCHMARK(BM_MD3Save)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MD3Load(benchmark::State& state) {
    const std::string path = BenchFile();
    TMD3 source = LargeModel();
    if (!source.SaveToFile(path))
        return state.SkipWithError(source.LastError().c_str());
    TMD3 md3;
    for (auto _ : state)
        if (!md3.LoadFromFile(path))
            state.SkipWithError("load failed");
    state.SetBytesProcessed(int64_t(state.iterations()) * source.Header.ofsEnd);
    if (!std::getenv("QUILLON_BENCH_KEEP"))
        std::remove(path.c_str());
}
BENCHMARK(BM_MD3Load)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
