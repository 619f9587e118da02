// The collapse map of one 6000-vertex-class surface, closed (a geodesic sphere of 5762
// vertices, the largest below the MDM limit) and open (a 60 x 100 vertex height-field grid),
// in milliseconds per surface. With meshoptimizer installed, its simplifier runs on the same
// meshes (down to 10% of the triangles) so the two figures stand side by side.
#include "lod/CollapseMap.h"
#include "tests/lod/TestMeshes.h"

#include <benchmark/benchmark.h>

#include <cmath>

#ifdef QUILLON_HAVE_MESHOPTIMIZER
#include <meshoptimizer.h>
#endif

using namespace quillon;

namespace {

const test::TestMesh& Sphere() {
    static const test::TestMesh mesh = test::GeodesicSphere(24);
    return mesh;
}

const test::TestMesh& Grid() {
    static const test::TestMesh mesh = test::GridMesh(59, 99, [](int x, int y) {
        return 0.3f * std::sin(0.7f * float(x)) * std::cos(0.45f * float(y));
    });
    return mesh;
}

void CollapseMap(benchmark::State& state, const test::TestMesh& mesh) {
    TCollapseMap map;
    for (auto _ : state)
        benchmark::DoNotOptimize(map.BuildCollapseMap(mesh.positions, mesh.triangles, 0));
    state.counters["vertices"] = double(mesh.positions.size());
}

BENCHMARK_CAPTURE(CollapseMap, ClosedSphere, Sphere())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CollapseMap, OpenGrid, Grid())->Unit(benchmark::kMillisecond);

#ifdef QUILLON_HAVE_MESHOPTIMIZER
void MeshoptSimplify(benchmark::State& state, const test::TestMesh& mesh) {
    std::vector<unsigned int> indices;
    for (const TTriData& t : mesh.triangles)
        for (int32_t v : t.v)
            indices.push_back(unsigned(v));
    std::vector<unsigned int> result(indices.size());
    for (auto _ : state) {
        float error = 0;
        benchmark::DoNotOptimize(meshopt_simplify(
            result.data(), indices.data(), indices.size(), &mesh.positions[0].x,
            mesh.positions.size(), sizeof(TVector), indices.size() / 10, 1.0f, 0, &error));
    }
    state.counters["vertices"] = double(mesh.positions.size());
}

BENCHMARK_CAPTURE(MeshoptSimplify, ClosedSphere, Sphere())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MeshoptSimplify, OpenGrid, Grid())->Unit(benchmark::kMillisecond);
#endif

} // namespace
