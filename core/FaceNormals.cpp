#include "FaceNormals.h"

#include <cmath>
#include <unordered_map>

namespace quillon {

namespace {

constexpr double MinUpwardCosine = 0.5; // cos 60 degrees

bool IsDrawable(const TMD3Triangle& triangle, uint32_t count) {
    for (int32_t index : triangle.indexes)
        if (index < 0 || static_cast<uint32_t>(index) >= count)
            return false;
    return true;
}

uint64_t PositionKey(const TMD3Vertex& v) {
    return (uint64_t{static_cast<uint16_t>(v.x)} << 32) |
           (uint64_t{static_cast<uint16_t>(v.y)} << 16) | static_cast<uint16_t>(v.z);
}

struct TDirection {
    double x = 0, y = 0, z = 0;
};

// The triangles around each vertex, in one array: those of vertex k are
// Triangles[Start[k]] .. Triangles[Start[k + 1] - 1].
struct TVertexTriangles {
    std::vector<uint32_t> Start, Triangles;

    explicit TVertexTriangles(const TSurface& surface) : Start(surface.numVerts + 1, 0) {
        for (const TMD3Triangle& t : surface.Triangles)
            if (IsDrawable(t, surface.numVerts))
                for (int32_t index : t.indexes)
                    ++Start[index + 1];
        for (uint32_t k = 0; k < surface.numVerts; ++k)
            Start[k + 1] += Start[k];
        Triangles.resize(Start.back());
        std::vector<uint32_t> next(Start.begin(), Start.end() - 1);
        for (uint32_t t = 0; t < surface.Triangles.size(); ++t)
            if (IsDrawable(surface.Triangles[t], surface.numVerts))
                for (int32_t index : surface.Triangles[t].indexes)
                    Triangles[next[index]++] = t;
    }
};

void AddFace(TDirection& sum, const TMD3Vertex* v, const TMD3Triangle& t) {
    const TMD3Vertex &a = v[t.indexes[0]], &b = v[t.indexes[1]], &c = v[t.indexes[2]];
    const double ux = c.x - a.x, uy = c.y - a.y, uz = c.z - a.z;
    const double wx = b.x - a.x, wy = b.y - a.y, wz = b.z - a.z;
    sum.x += uy * wz - uz * wy;
    sum.y += uz * wx - ux * wz;
    sum.z += ux * wy - uy * wx;
}

// Calls found(frame, vertex, outward direction) for every missing normal.
template <class F> void FindMissing(const TSurface& surface, uint32_t frames, F found) {
    const TVertexTriangles around(surface);
    for (uint32_t f = 0; f < frames; ++f) {
        const TMD3Vertex* v = &surface.Vertices[size_t{f} * surface.numVerts];
        std::unordered_map<uint64_t, std::vector<uint32_t>> samePosition;
        for (uint32_t k = 0; k < surface.numVerts; ++k)
            if (v[k].normal == 0 && around.Start[k + 1] > around.Start[k])
                samePosition[PositionKey(v[k])];
        if (samePosition.empty())
            continue;
        for (uint32_t k = 0; k < surface.numVerts; ++k) {
            auto it = samePosition.find(PositionKey(v[k]));
            if (it != samePosition.end())
                it->second.push_back(k);
        }
        for (uint32_t k = 0; k < surface.numVerts; ++k) {
            if (v[k].normal != 0 || around.Start[k + 1] == around.Start[k])
                continue;
            TDirection sum;
            for (uint32_t other : samePosition[PositionKey(v[k])])
                for (uint32_t i = around.Start[other]; i < around.Start[other + 1]; ++i)
                    AddFace(sum, v, surface.Triangles[around.Triangles[i]]);
            const double length = std::sqrt(sum.x * sum.x + sum.y * sum.y + sum.z * sum.z);
            if (length > 0 && sum.z / length < MinUpwardCosine)
                found(f, k,
                      TVector{float(sum.x / length), float(sum.y / length), float(sum.z / length)});
        }
    }
}

} // namespace

std::vector<TMissingNormal> MissingNormals(const TSurface& surface, uint32_t frames) {
    std::vector<TMissingNormal> missing;
    FindMissing(surface, frames, [&](uint32_t f, uint32_t k, TVector) {
        missing.push_back({f, k});
    });
    return missing;
}

uint32_t RenormaliseMissingNormals(TSurface& surface, uint32_t frames) {
    std::vector<std::pair<size_t, int16_t>> changes;
    FindMissing(surface, frames, [&](uint32_t f, uint32_t k, TVector direction) {
        changes.emplace_back(size_t{f} * surface.numVerts + k, TMD3::EncodeNormal(direction));
    });
    for (const auto& [at, code] : changes)
        surface.Vertices[at].normal = code;
    return static_cast<uint32_t>(changes.size());
}

} // namespace quillon
