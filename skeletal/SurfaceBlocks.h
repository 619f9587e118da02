// The blocks an MDM or MDS surface header points to, read the same way for both formats (only
// the vertex record differs): the vertices, each followed by its weights, the triangles, the
// collapse map and the bone references, each at its signed offset from the surface start.
#pragma once

#include "core/FileReader.h"

#include <cstdint>
#include <string>

namespace quillon {

// Fills the arrays of `surface`, whose header record is read already; each vertex is read as a
// `VertexRecord` and then its weights. Returns why a block could not be read, naming it after
// `which` ("surface 2"), or an empty text.
template <class VertexRecord, class Surface>
std::string ReadSurfaceBlocks(TFileReader& in, uint64_t start, Surface& surface,
                              const std::string& which) {
    const auto at = [start](int32_t offset) { return int64_t(start) + offset; };
    // Checked as a whole first, so a hostile count never sizes the vertex array.
    if (!in.SeekSigned(at(surface.ofsVerts)) || !in.Fits(surface.numVerts, sizeof(VertexRecord)))
        return in.Refusal(which + " vertices");
    surface.Vertices.resize(surface.numVerts);
    for (size_t v = 0; v < surface.Vertices.size(); ++v) {
        auto& vertex = surface.Vertices[v];
        if (!in.ReadRecord(static_cast<VertexRecord&>(vertex)))
            return in.Refusal(which + " vertex " + std::to_string(v));
        if (!in.ReadArray(vertex.Weights, vertex.numWeights))
            return in.Refusal(which + " vertex " + std::to_string(v) + " weights");
    }
    if (!in.SeekSigned(at(surface.ofsTriangles)) ||
        !in.ReadArray(surface.Triangles, surface.numTriangles))
        return in.Refusal(which + " triangles");
    if (!in.SeekSigned(at(surface.ofsCollapseMap)) ||
        !in.ReadArray(surface.CollapseMap, surface.numVerts))
        return in.Refusal(which + " collapse map");
    if (!in.SeekSigned(at(surface.ofsBoneRefs)) ||
        !in.ReadArray(surface.BoneRefs, surface.numBoneRefs))
        return in.Refusal(which + " bone refs");
    return {};
}

} // namespace quillon
