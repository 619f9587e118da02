// MD3 load and save of a large model (20 surfaces x 1000 vertices x 200 frames, about 32 MB),
// in bytes per second, beside what cat and cp do with the same file in the same run: read it
// through a 128 KB buffer, and copy it to a new file (neither flushes to disk; the save does,
// and BM_CopyAndFsync says what that costs).
#include "core/MD3.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

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

// The saved model's file, written once for the cat and cp anchors.
std::string SavedFile() {
    const std::string path = BenchFile() + ".anchor";
    TMD3 md3 = LargeModel();
    return md3.SaveToFile(path) ? path : std::string();
}

// Copies `from` to `to` (when open) through a 128 KB buffer, as cat and cp do; the bytes read.
uint64_t CopyThroughBuffer(int from, int to) {
    static char buffer[128 << 10];
    uint64_t total = 0;
    for (ssize_t n; (n = ::read(from, buffer, sizeof buffer)) > 0; total += uint64_t(n))
        if (to >= 0 && ::write(to, buffer, size_t(n)) != n)
            return 0;
    return total;
}

void BM_ReadLikeCat(benchmark::State& state) {
    const std::string path = SavedFile();
    uint64_t bytes = 0;
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        bytes += CopyThroughBuffer(fd, -1);
        ::close(fd);
    }
    state.SetBytesProcessed(int64_t(bytes));
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadLikeCat)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole file read in one call into pages fresh from the system, as a process that opens
// the file once must: the floor of BM_MD3Load, which also checks, converts and sizes every
// block. (Memory from the allocator may be pages reused from the last round, which the first
// load of a session never gets; the mapping here is always new.)
void BM_ReadIntoNewMemory(benchmark::State& state) {
    const std::string path = SavedFile();
    const auto size = std::filesystem::file_size(path);
    uint64_t bytes = 0;
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        void* memory =
            ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory != MAP_FAILED && ::read(fd, memory, size) == ssize_t(size))
            bytes += size;
        benchmark::DoNotOptimize(memory);
        ::munmap(memory, size);
        ::close(fd);
    }
    state.SetBytesProcessed(int64_t(bytes));
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadIntoNewMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

// A copy to a fresh file, flushed to disk as the save does when `flush` is set.
void CopyFile(benchmark::State& state, bool flush) {
    const std::string path = SavedFile();
    const std::string copy = path + ".copy";
    uint64_t bytes = 0;
    for (auto _ : state) {
        const int from = ::open(path.c_str(), O_RDONLY);
        const int to = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        bytes += CopyThroughBuffer(from, to);
        if (flush)
            ::fsync(to);
        ::close(to);
        ::close(from);
    }
    state.SetBytesProcessed(int64_t(bytes));
    std::remove(copy.c_str());
    std::remove(path.c_str());
}

void BM_CopyLikeCp(benchmark::State& state) {
    CopyFile(state, false);
}
BENCHMARK(BM_CopyLikeCp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CopyAndFsync(benchmark::State& state) {
    CopyFile(state, true);
}
BENCHMARK(BM_CopyAndFsync)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
