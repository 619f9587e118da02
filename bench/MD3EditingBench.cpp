// Weld and smooth of one surface with 4000 vertices and 100 frames. Vertices lie on a jittered
// lattice so that about half of them have a neighbour within the tolerance, as along the seams
// of a real model. Compared pairwise, every vertex with every later one, this is about 8 million
// comparisons per frame.
#include "core/MD3.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace quillon;

namespace {

TMD3 SeamedSurface() {
    constexpr int Verts = 4000, Frames = 100;
    TMD3 md3;
    THeader& h = md3.Header;
    h.numFrames = Frames;
    h.numSurfaces = 1;
    h.Frames.resize(Frames);
    TSurface surface;
    surface.numFrames = Frames;
    surface.numVerts = Verts;
    surface.TexCoords.resize(Verts);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> jitter(0, 12), normal(0, 65535);
    for (int f = 0; f < Frames; ++f)
        for (int k = 0; k < Verts; ++k) {
            const int cell = k / 2; // pairs share a lattice point, give or take the jitter
            surface.Vertices.push_back({int16_t((cell % 40) * 64 + jitter(random) + f),
                                        int16_t((cell / 40 % 10) * 64 + jitter(random)),
                                        int16_t((cell / 400) * 64 + jitter(random)),
                                        int16_t(normal(random))});
        }
    h.Surfaces.push_back(std::move(surface));
    return md3;
}

void BM_WeldVertices(benchmark::State& state) {
    const TMD3 original = SeamedSurface();
    for (auto _ : state) {
        state.PauseTiming();
        TMD3 md3 = original;
        state.ResumeTiming();
        benchmark::DoNotOptimize(md3.WeldVertices(0, 0.15f));
    }
}
BENCHMARK(BM_WeldVertices)->Unit(benchmark::kMillisecond);

void BM_SmoothSurface(benchmark::State& state) {
    const TMD3 original = SeamedSurface();
    for (auto _ : state) {
        state.PauseTiming();
        TMD3 md3 = original;
        state.ResumeTiming();
        benchmark::DoNotOptimize(md3.SmoothSurface(0));
    }
}
BENCHMARK(BM_SmoothSurface)->Unit(benchmark::kMillisecond);

} // namespace
