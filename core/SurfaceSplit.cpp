#include "SurfaceSplit.h"

#include <algorithm>

namespace quillon {

namespace {

struct TPiece {
    size_t FirstTriangle = 0, EndTriangle = 0;
};

// Cuts the triangle list into runs that each fit the limits.
std::vector<TPiece> CutIntoPieces(const TSurface& surface, const TSplitLimits& limits) {
    std::vector<TPiece> pieces;
    std::vector<uint32_t> holder(surface.numVerts, UINT32_MAX); // the piece that holds a vertex
    TPiece current;
    uint32_t verts = 0;
    // The distinct vertices of the triangle that the piece does not hold yet.
    auto newVertices = [&](const int32_t(&indexes)[3], uint32_t piece) {
        uint32_t count = 0;
        for (int i = 0; i < 3; ++i)
            if (holder[indexes[i]] != piece &&
                std::find(indexes, indexes + i, indexes[i]) == indexes + i)
                ++count;
        return count;
    };
    for (size_t t = 0; t < surface.Triangles.size(); ++t) {
        const auto& indexes = surface.Triangles[t].indexes;
        uint32_t added = newVertices(indexes, static_cast<uint32_t>(pieces.size()));
        const size_t triangles = t - current.FirstTriangle;
        if (triangles > 0 && (verts + added > limits.Verts || triangles + 1 > limits.Triangles)) {
            current.EndTriangle = t;
            pieces.push_back(current);
            current = {t, t};
            verts = 0;
            added = newVertices(indexes, static_cast<uint32_t>(pieces.size()));
        }
        for (int32_t index : indexes)
            holder[index] = static_cast<uint32_t>(pieces.size());
        verts += added;
    }
    current.EndTriangle = surface.Triangles.size();
    pieces.push_back(current);
    return pieces;
}

TSurface MakePiece(const TSurface& surface, uint32_t frames, const TPiece& piece,
                   const std::string& name) {
    std::vector<uint32_t> used;
    for (size_t t = piece.FirstTriangle; t < piece.EndTriangle; ++t)
        for (int32_t index : surface.Triangles[t].indexes)
            used.push_back(static_cast<uint32_t>(index));
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());

    TSurface out;
    static_cast<TSurfaceRecord&>(out) = surface;
    StringToName(name, out.name);
    out.numFrames = frames;
    out.Shaders = surface.Shaders;
    out.numVerts = static_cast<uint32_t>(used.size());
    out.numTriangles = static_cast<uint32_t>(piece.EndTriangle - piece.FirstTriangle);
    auto newIndex = [&](int32_t old) {
        return static_cast<int32_t>(
            std::lower_bound(used.begin(), used.end(), static_cast<uint32_t>(old)) - used.begin());
    };
    for (size_t t = piece.FirstTriangle; t < piece.EndTriangle; ++t) {
        const auto& in = surface.Triangles[t].indexes;
        out.Triangles.push_back({{newIndex(in[0]), newIndex(in[1]), newIndex(in[2])}});
    }
    for (uint32_t k : used)
        out.TexCoords.push_back(surface.TexCoords[k]);
    out.Vertices.reserve(used.size() * frames);
    for (uint32_t f = 0; f < frames; ++f)
        for (uint32_t k : used)
            out.Vertices.push_back(surface.Vertices[size_t{f} * surface.numVerts + k]);
    return out;
}

} // namespace

bool NeedsSplit(const TSurface& surface, const TSplitLimits& limits) {
    return surface.numVerts > limits.Verts || surface.numTriangles > limits.Triangles;
}

std::string PieceName(const std::string& name, uint32_t number, uint32_t nameBytes) {
    const std::string suffix = "_" + std::to_string(number);
    const size_t room = nameBytes - 1 > suffix.size() ? nameBytes - 1 - suffix.size() : 0;
    return name.substr(0, room) + suffix;
}

std::vector<TSurface> SplitSurface(const TSurface& surface, uint32_t frames,
                                   const TSplitLimits& limits) {
    const std::string name = NameToString(surface.name);
    std::vector<TSurface> out;
    for (const TPiece& piece : CutIntoPieces(surface, limits))
        out.push_back(
            MakePiece(surface, frames, piece,
                      PieceName(name, static_cast<uint32_t>(out.size() + 1), limits.NameBytes)));
    return out;
}

} // namespace quillon
