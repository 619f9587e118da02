// The collapse map of one 6000-vertex-class surface, closed (a geodesic sphere of 5762
// vertices, the largest below the MDM limit) and open (a 60 x 100 vertex height-field grid),
// in milliseconds per surface. With meshoptimizer installed, its simplifier runs on the same
// meshes (down to 10% of the triangles) so the two figures stand side by side.
#include "lod/CollapseMap.h"
#include "tests/lod/TestMeshes.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

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

// The arithmetic the cost itself needs and nothing else, as a floor under CollapseMap/OpenGrid:
// as many vertex costings as that reduction does (6000 at the start, then 5.3 per collapse),
// each of a vertex with 6 triangles and 6 neighbours taken from the grid at random places:
// the 6 x 8 table of (1 - cos) / 2 between the triangles' normals, 6 edge lengths, the
// nearest-side curvature of 6 two-sided edges and the cheapest edge. No adjacency lists, no
// edits, no removal order.
void CostArithmeticFloor(benchmark::State& state) {
    constexpr size_t Costings = 37670, Faces = 6, Stride = 8;
    const test::TestMesh& mesh = Grid();
    std::vector<TVector> normals;
    for (const TTriData& t : mesh.triangles)
        normals.push_back(TriangleNormal(mesh.positions[size_t(t.v[0])],
                                         mesh.positions[size_t(t.v[1])],
                                         mesh.positions[size_t(t.v[2])]));
    std::mt19937 random(1);
    std::vector<uint32_t> faces(Costings * Faces), vertices(Costings * (Faces + 1));
    for (uint32_t& f : faces)
        f = random() % normals.size();
    for (uint32_t& v : vertices)
        v = random() % mesh.positions.size();
    const auto lower = [](float a, float b) { return a < b ? a : b; };
    const auto higher = [](float a, float b) { return a > b ? a : b; };
    for (auto _ : state) {
        float total = 0;
        for (size_t c = 0; c < Costings; ++c) {
            alignas(16) float xs[Stride]{}, ys[Stride]{}, zs[Stride]{}, angles[Faces * Stride];
            for (size_t i = 0; i < Faces; ++i) {
                const TVector n = normals[faces[c * Faces + i]];
                xs[i] = n.x;
                ys[i] = n.y;
                zs[i] = n.z;
            }
            for (size_t i = 0; i < Faces; ++i)
                for (size_t j = 0; j < Stride; ++j)
                    angles[i * Stride + j] =
                        (1.0f - (xs[i] * xs[j] + ys[i] * ys[j] + zs[i] * zs[j])) / 2.0f;
            const uint32_t* ends = &vertices[c * (Faces + 1)];
            const TVector from = mesh.positions[ends[0]];
            float cheapest = 1e6f;
            for (size_t e = 0; e < Faces; ++e) {
                const TVector to = mesh.positions[ends[e + 1]];
                const float dx = to.x - from.x, dy = to.y - from.y, dz = to.z - from.z;
                const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
                const float* first = angles + e * Stride;
                const float* second = angles + (e + 1) % Faces * Stride;
                float curvature = 0;
                for (size_t f = 0; f < Faces; ++f)
                    curvature = higher(curvature, lower(lower(1.0f, first[f]), second[f]));
                cheapest = lower(cheapest, length * curvature);
            }
            total += cheapest;
        }
        benchmark::DoNotOptimize(total);
    }
}

BENCHMARK(CostArithmeticFloor)->Unit(benchmark::kMillisecond);

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
