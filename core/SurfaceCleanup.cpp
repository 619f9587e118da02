// Identical vertices are found by hashing each vertex's texture coordinate and every frame's
// record, then comparing only the vertices that share a hash. Removing vertices keeps the order
// of those that stay, so a cleaned surface differs from the original only where it had to.
#include "SurfaceCleanup.h"

#include <algorithm>
#include <cstring>

namespace quillon {

namespace {

bool InRange(int32_t index, uint32_t count) {
    return index >= 0 && static_cast<uint32_t>(index) < count;
}

bool HasArea(const TMD3Vertex& a, const TMD3Vertex& b, const TMD3Vertex& c) {
    const int64_t ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const int64_t vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    return uy * vz - uz * vy != 0 || uz * vx - ux * vz != 0 || ux * vy - uy * vx != 0;
}

bool SameRecord(const TMD3Vertex& a, const TMD3Vertex& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.normal == b.normal;
}

uint64_t Mix(uint64_t hash, uint64_t word) {
    hash ^= word + 0x9E3779B97F4A7C15ull + (hash << 6) + (hash >> 2);
    return hash * 0xFF51AFD7ED558CCDull;
}

// The texture coordinate and every frame's record, one 8-byte word each.
uint64_t VertexHash(const TSurface& surface, uint32_t frames, uint32_t vertex) {
    uint64_t word = 0;
    std::memcpy(&word, &surface.TexCoords[vertex], sizeof word);
    uint64_t hash = Mix(0, word);
    for (uint32_t f = 0; f < frames; ++f) {
        std::memcpy(&word, &surface.Vertices[size_t{f} * surface.numVerts + vertex], sizeof word);
        hash = Mix(hash, word);
    }
    return hash;
}

bool Identical(const TSurface& surface, uint32_t frames, uint32_t a, uint32_t b) {
    if (std::memcmp(&surface.TexCoords[a], &surface.TexCoords[b], sizeof(TMD3TexCoord)) != 0)
        return false;
    for (uint32_t f = 0; f < frames; ++f) {
        const size_t base = size_t{f} * surface.numVerts;
        if (!SameRecord(surface.Vertices[base + a], surface.Vertices[base + b]))
            return false;
    }
    return true;
}

// Removes the vertices not kept and renumbers the triangles' indices that point at kept ones;
// indices out of range stay out of range.
uint32_t KeepVertices(TSurface& surface, uint32_t frames, const std::vector<bool>& keep) {
    const uint32_t count = surface.numVerts;
    std::vector<int32_t> newIndex(count, -1);
    uint32_t kept = 0;
    for (uint32_t k = 0; k < count; ++k)
        if (keep[k])
            newIndex[k] = static_cast<int32_t>(kept++);
    if (kept == count)
        return 0;

    std::vector<TMD3TexCoord> texCoords;
    std::vector<TMD3Vertex> vertices;
    texCoords.reserve(kept);
    vertices.reserve(size_t{kept} * frames);
    for (uint32_t k = 0; k < count; ++k)
        if (keep[k])
            texCoords.push_back(surface.TexCoords[k]);
    for (uint32_t f = 0; f < frames; ++f)
        for (uint32_t k = 0; k < count; ++k)
            if (keep[k])
                vertices.push_back(surface.Vertices[size_t{f} * count + k]);
    for (TMD3Triangle& triangle : surface.Triangles)
        for (int32_t& index : triangle.indexes)
            if (InRange(index, count) && newIndex[index] >= 0)
                index = newIndex[index];
            else if (InRange(index, count))
                index = static_cast<int32_t>(kept); // a removed vertex: no longer in range
    surface.TexCoords = std::move(texCoords);
    surface.Vertices = std::move(vertices);
    surface.numVerts = kept;
    return count - kept;
}

} // namespace

TTriangleFault TriangleFault(const TSurface& surface, const TMD3Triangle& triangle,
                             uint32_t frames) {
    const auto [a, b, c] = triangle.indexes;
    for (int32_t index : triangle.indexes)
        if (!InRange(index, surface.numVerts))
            return TTriangleFault::IndexOutOfRange;
    if (a == b || b == c || a == c)
        return TTriangleFault::RepeatedIndex;
    for (uint32_t f = 0; f < frames; ++f) {
        const TMD3Vertex* v = &surface.Vertices[size_t{f} * surface.numVerts];
        if (HasArea(v[a], v[b], v[c]))
            return TTriangleFault::None;
    }
    return frames == 0 ? TTriangleFault::None : TTriangleFault::ZeroArea;
}

std::vector<bool> UsedVertices(const TSurface& surface) {
    std::vector<bool> used(surface.numVerts, false);
    for (const TMD3Triangle& triangle : surface.Triangles) {
        if (!std::all_of(std::begin(triangle.indexes), std::end(triangle.indexes),
                         [&](int32_t index) { return InRange(index, surface.numVerts); }))
            continue;
        for (int32_t index : triangle.indexes)
            used[index] = true;
    }
    return used;
}

std::vector<uint32_t> FirstIdenticalVertices(const TSurface& surface, uint32_t frames) {
    std::vector<std::pair<uint64_t, uint32_t>> byHash(surface.numVerts);
    for (uint32_t k = 0; k < surface.numVerts; ++k)
        byHash[k] = {VertexHash(surface, frames, k), k};
    std::sort(byHash.begin(), byHash.end());
    std::vector<uint32_t> first(surface.numVerts);
    for (size_t start = 0, end; start < byHash.size(); start = end) {
        for (end = start; end < byHash.size() && byHash[end].first == byHash[start].first;)
            ++end;
        // Within a run of one hash the indices ascend: each vertex looks for an earlier one.
        for (size_t i = start; i < end; ++i) {
            const uint32_t k = byHash[i].second;
            first[k] = k;
            for (size_t j = start; j < i; ++j) {
                const uint32_t earlier = byHash[j].second;
                if (first[earlier] == earlier && Identical(surface, frames, earlier, k)) {
                    first[k] = earlier;
                    break;
                }
            }
        }
    }
    return first;
}

uint32_t DropFaultyTriangles(TSurface& surface, uint32_t frames) {
    const auto removed = std::erase_if(surface.Triangles, [&](const TMD3Triangle& triangle) {
        return TriangleFault(surface, triangle, frames) != TTriangleFault::None;
    });
    surface.numTriangles = static_cast<uint32_t>(surface.Triangles.size());
    return static_cast<uint32_t>(removed);
}

uint32_t WeldIdenticalVertices(TSurface& surface, uint32_t frames) {
    const std::vector<uint32_t> first = FirstIdenticalVertices(surface, frames);
    for (TMD3Triangle& triangle : surface.Triangles)
        for (int32_t& index : triangle.indexes)
            if (InRange(index, surface.numVerts))
                index = static_cast<int32_t>(first[index]);
    std::vector<bool> keep(surface.numVerts);
    for (uint32_t k = 0; k < surface.numVerts; ++k)
        keep[k] = first[k] == k;
    return KeepVertices(surface, frames, keep);
}

uint32_t DropUnusedVertices(TSurface& surface, uint32_t frames) {
    return KeepVertices(surface, frames, UsedVertices(surface));
}

} // namespace quillon
