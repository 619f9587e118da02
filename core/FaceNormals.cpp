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

double Length(const TDirection& d) {
    return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
}

// Calls found(frame, vertex, outward direction) for every missing normal. A vertex is judged by
// its own faces only: at a hard edge, the vertex of the top face rightly points up while the one
// of the side face at the same place does not. Missing normals at one place (a seam) get the
// direction of all their faces together, so the seam does not show.
template <class F> void FindMissing(const TSurface& surface, uint32_t frames, F found) {
    const TVertexTriangles around(surface);
    for (uint32_t f = 0; f < frames; ++f) {
        const TMD3Vertex* v = surface.Vertices.data() + size_t{f} * surface.numVerts;
        std::vector<std::pair<uint32_t, TDirection>> missing;
        for (uint32_t k = 0; k < surface.numVerts; ++k) {
            if (v[k].normal != 0)
                continue;
            TDirection own;
            for (uint32_t i = around.Start[k]; i < around.Start[k + 1]; ++i)
                AddFace(own, v, surface.Triangles[around.Triangles[i]]);
            const double length = Length(own);
            if (length > 0 && own.z / length < MinUpwardCosine)
                missing.emplace_back(k, own);
        }
        std::unordered_map<uint64_t, TDirection> byPosition;
        for (const auto& [k, own] : missing) {
            TDirection& sum = byPosition[PositionKey(v[k])];
            sum = {sum.x + own.x, sum.y + own.y, sum.z + own.z};
        }
        for (const auto& [k, own] : missing) {
            const TDirection& sum = byPosition[PositionKey(v[k])];
            const TDirection& d = Length(sum) > 0 ? sum : own;
            const double length = Length(d);
            found(f, k, TVector{float(d.x / length), float(d.y / length), float(d.z / length)});
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
