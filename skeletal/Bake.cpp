// The bake copies each MDX frame's bounds as they are (they are not recomputed from the posed
// vertices), places the bones of every frame of the range once, poses each surface from them, and
// stores positions in 1/64 units rounded half to even. A coordinate that does not fit the int16
// field fails the bake instead of wrapping around, which would silently tear the model apart.
#include "Bake.h"

#include "Pose.h"

#include "core/Assert.h"

#include <cmath>
#include <cstring>

namespace quillon {

namespace {

constexpr char ExportFrameName[16] = {'Q', ' ', 'E', 'x', 'p', 'o', 'r', 't',
                                      0,   ' ', ' ', ' ', ' ', ' ', ' ', ' '};

// The MD3 field value of a coordinate, or false when it does not fit.
bool ToMD3Coordinate(float units, int16_t& out) {
    const float scaled = units * 64.0f;
    if (!std::isfinite(scaled))
        return false;
    const float rounded = std::nearbyint(scaled);
    if (rounded < -32768.0f || rounded > 32767.0f)
        return false;
    out = int16_t(rounded);
    return true;
}

void CopyName64(const char (&from)[64], char (&to)[64]) {
    std::memcpy(to, from, 64);
}

void FillHeader(const TMDM& mesh, uint32_t count, THeader& h) {
    h.ident = MD3Ident;
    h.version = 15;
    const TName64 name = TMD3::PadName64(NameToString(mesh.Header.name));
    std::memcpy(h.name, name.data(), name.size());
    h.flags = 0;
    h.numFrames = count;
    h.numTags = uint32_t(mesh.Tags.size());
    h.numSurfaces = uint32_t(mesh.Surfaces.size());
    h.numSkins = 0;
}

void BakeFrames(const TMDX& animation, int start, uint32_t count, THeader& h) {
    h.Frames.resize(count);
    for (uint32_t f = 0; f < count; ++f) {
        const TMDXFrame& from = animation.Frames[start + f];
        TMD3Frame& to = h.Frames[f];
        to.mins = from.mins;
        to.maxs = from.maxs;
        to.localOrigin = from.localOrigin;
        to.radius = from.radius;
        std::memcpy(to.name, ExportFrameName, sizeof(to.name));
    }
}

void StoreTags(const TMDM& mesh, uint32_t f, THeader& h) {
    const size_t numTags = mesh.Tags.size();
    QUILLON_ASSERT(mesh.TagPositions.size() == numTags && (f + 1) * numTags <= h.Tags.size());
    for (size_t t = 0; t < numTags; ++t) {
        TMD3Tag& tag = h.Tags[f * numTags + t];
        CopyName64(mesh.Tags[t].name, tag.name);
        tag.origin = mesh.TagPositions[t];
        for (int a = 0; a < 3; ++a)
            tag.axis[a] = mesh.TagAxes[t][a];
    }
}

// Everything of a baked surface but its vertices.
void FillSurface(const TMDMSurface& from, uint32_t count, TSurface& to) {
    to.ident = MD3Ident;
    CopyName64(from.name, to.name);
    to.flags = 0;
    to.numFrames = count;
    to.numShaders = 1;
    to.Shaders.assign(1, TMD3Shader{});
    CopyName64(from.shader, to.Shaders[0].name);
    to.numVerts = uint32_t(from.Vertices.size());
    to.numTriangles = uint32_t(from.Triangles.size());
    to.Triangles.resize(from.Triangles.size());
    for (size_t i = 0; i < from.Triangles.size(); ++i)
        std::memcpy(to.Triangles[i].indexes, from.Triangles[i].indexes, sizeof(int32_t) * 3);
    // TMD3 holds t as 1 - t of the file in memory.
    to.TexCoords.resize(from.Vertices.size());
    for (size_t v = 0; v < from.Vertices.size(); ++v)
        to.TexCoords[v] = {from.Vertices[v].texCoords[0], 1.0f - from.Vertices[v].texCoords[1]};
    to.Vertices.resize(count * from.Vertices.size());
}

// Stores the posed surface as MD3 vertices; the index of the first vertex that does not fit.
std::optional<size_t> StoreVertices(const TMDM& mesh, TMD3Vertex* out) {
    for (size_t v = 0; v < mesh.PosedPositions.size(); ++v) {
        const TVector p = mesh.PosedPositions[v];
        if (!ToMD3Coordinate(p.x, out[v].x) || !ToMD3Coordinate(p.y, out[v].y) ||
            !ToMD3Coordinate(p.z, out[v].z))
            return v;
        out[v].normal = TMD3::EncodeNormal(mesh.PosedNormals[v]);
    }
    return std::nullopt;
}

struct TBakeFailure {
    size_t surface;
    int frame;
    size_t vertex;
};

std::string FailureText(const TMDM& mesh, const TBakeFailure& failure) {
    return "frame " + std::to_string(failure.frame) + ", surface " +
           std::to_string(failure.surface) + " \"" +
           NameToString(mesh.Surfaces[failure.surface].name) + "\", vertex " +
           std::to_string(failure.vertex) +
           ": the posed position lies outside the MD3 range of -512 to 512 units";
}

// Frame by frame, so that the bones of a frame are placed once for the tags and all surfaces.
// The failure reported is still the one a surface-by-surface bake meets first: that of the
// lowest surface that fails, at its first failing frame. Once a surface has failed, only the
// surfaces before it are baked on.
std::optional<TBakeFailure> BakeVertices(TMDM& mesh, const TMDX& animation, int start,
                                         uint32_t count, THeader& h) {
    std::optional<TBakeFailure> failure;
    size_t surfacesLeft = mesh.Surfaces.size();
    for (uint32_t f = 0; f < count && !(failure && surfacesLeft == 0); ++f) {
        PoseSkeleton(mesh, animation, start + int(f));
        StoreTags(mesh, f, h);
        for (size_t s = 0; s < surfacesLeft; ++s) {
            PoseSurface(mesh, int(s));
            const size_t numVerts = mesh.PosedPositions.size();
            // Frame-major: frame f of the surface starts at f * numVerts.
            QUILLON_ASSERT(h.Surfaces[s].Vertices.size() == count * numVerts);
            if (auto v = StoreVertices(mesh, h.Surfaces[s].Vertices.data() + f * numVerts)) {
                failure = TBakeFailure{s, start + int(f), *v};
                surfacesLeft = s;
            }
        }
    }
    return failure;
}

// The size of the MD3 file the bake would produce, to refuse one the format cannot hold.
uint64_t BakedFileSize(const TMDM& mesh, uint64_t count) {
    uint64_t size =
        TMD3::HeaderSize() + count * (sizeof(TMD3Frame) + mesh.Tags.size() * sizeof(TMD3Tag));
    for (const TMDMSurface& s : mesh.Surfaces)
        size += TMD3::SurfaceHeaderSize() + sizeof(TMD3Shader) +
                s.Triangles.size() * sizeof(TMD3Triangle) +
                s.Vertices.size() * (sizeof(TMD3TexCoord) + count * sizeof(TMD3Vertex));
    return size;
}

} // namespace

std::string FramesRangeText(int start, int end) {
    return "Frames:" + std::to_string(start) + " to " + std::to_string(end);
}

std::optional<std::string> BakeToMD3(TMDM& mesh, const TMDX& animation, int start, int end,
                                     TMD3& md3) {
    md3.Clear();
    const int64_t numFrames =
        std::min<int64_t>(animation.Header.numFrames, animation.Frames.size());
    if (end < start)
        return "the end frame " + std::to_string(end) + " comes before the start frame " +
               std::to_string(start);
    if (start < 0 || end >= numFrames)
        return FramesRangeText(start, end) + " is not within the animation's " +
               std::to_string(numFrames) + " frames";
    const auto count = uint32_t(end - start + 1);
    if (BakedFileSize(mesh, count) > UINT32_MAX)
        return FramesRangeText(start, end) + " would make an MD3 file larger than 4 GB";
    THeader& h = md3.Header;
    FillHeader(mesh, count, h);
    BakeFrames(animation, start, count, h);
    h.Tags.resize(count * mesh.Tags.size());
    h.Surfaces.resize(mesh.Surfaces.size());
    for (size_t s = 0; s < mesh.Surfaces.size(); ++s)
        FillSurface(mesh.Surfaces[s], count, h.Surfaces[s]);
    if (const auto failure = BakeVertices(mesh, animation, start, count, h)) {
        md3.Clear();
        return FailureText(mesh, *failure);
    }
    QUILLON_ASSERT(md3.CountMismatch().empty());
    return std::nullopt;
}

} // namespace quillon
