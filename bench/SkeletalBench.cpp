// Posing speed: baking every frame of a player-sized model (53 bones, 3 surfaces of 2000
// vertices with 3 weights each, 1000 frames) and posing one surface for one frame. The rate
// reported is weights posed per second; the bake places the bones of each frame once for the
// tags and every surface.
#include "skeletal/Bake.h"
#include "skeletal/Pose.h"

#include <benchmark/benchmark.h>

namespace {

using namespace quillon;

constexpr int Bones = 53, Surfaces = 3, Vertices = 2000, Weights = 3, Frames = 1000;

TMDM PlayerMesh() {
    TMDM mesh;
    mesh.Surfaces.resize(Surfaces);
    for (int s = 0; s < Surfaces; ++s) {
        TMDMSurface& surface = mesh.Surfaces[s];
        surface.Vertices.resize(Vertices);
        for (int v = 0; v < Vertices; ++v) {
            TMDMVertex& vertex = surface.Vertices[v];
            vertex.normal = {0, 0, 1};
            for (int w = 0; w < Weights; ++w)
                vertex.Weights.push_back(
                    {(v * 7 + w * 13 + s) % Bones, 1.0f / Weights, {0.01f * (v % 50), 1, 2}});
            vertex.numWeights = Weights;
        }
        surface.numVerts = Vertices;
        for (int t = 0; t + 2 < Vertices; t += 3)
            surface.Triangles.push_back({{t, t + 1, t + 2}});
        surface.numTriangles = uint32_t(surface.Triangles.size());
    }
    mesh.Header.numSurfaces = Surfaces;
    mesh.Tags.resize(4);
    for (int t = 0; t < 4; ++t)
        mesh.Tags[t].boneIndex = t * 10;
    mesh.Header.numTags = 4;
    return mesh;
}

TMDX PlayerAnimation() {
    TMDX mdx;
    mdx.Bones.resize(Bones);
    for (int b = 0; b < Bones; ++b) {
        mdx.Bones[b].parent = b == 0 ? -1 : (b - 1) / 2;
        mdx.Bones[b].parentDist = 3;
    }
    mdx.Frames.resize(Frames);
    for (int f = 0; f < Frames; ++f) {
        mdx.Frames[f].BoneFrames.resize(Bones);
        for (int b = 0; b < Bones; ++b) {
            TMDXBoneFrame& bone = mdx.Frames[f].BoneFrames[b];
            bone.angles[0] = int16_t(f * 13 + b * 100);
            bone.angles[1] = int16_t(f * 7 - b * 50);
            bone.angles[2] = int16_t(b * 30);
            bone.ofsAngles[0] = int16_t(b * 200);
            bone.ofsAngles[1] = int16_t(b * 90);
        }
    }
    mdx.Header.numBones = Bones;
    mdx.Header.numFrames = Frames;
    return mdx;
}

// The argument is the number of threads; the rate is per second of wall time.
void BM_BakeAllFrames(benchmark::State& state) {
    const TMDM mesh = PlayerMesh();
    const TMDX animation = PlayerAnimation();
    TMD3 md3;
    for (auto _ : state) {
        auto error = BakeToMD3(mesh, animation, 0, Frames - 1, md3, unsigned(state.range(0)));
        benchmark::DoNotOptimize(error);
    }
    state.counters["weights/s"] =
        benchmark::Counter(double(state.iterations()) * Frames * Surfaces * Vertices * Weights,
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BakeAllFrames)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_PoseOneSurface(benchmark::State& state) {
    TMDM mesh = PlayerMesh();
    const TMDX animation = PlayerAnimation();
    int frame = 0;
    for (auto _ : state) {
        Pose(mesh, animation, frame, 0);
        frame = (frame + 1) % Frames;
        benchmark::DoNotOptimize(mesh.PosedPositions.data());
    }
    state.counters["weights/s"] = benchmark::Counter(
        double(state.iterations()) * Vertices * Weights, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PoseOneSurface)->Unit(benchmark::kMicrosecond);

} // namespace
