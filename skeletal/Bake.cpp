// The bake copies each MDX frame's bounds as they are (they are not recomputed from the posed
// vertices), poses every frame of the range once for the tags and once per surface, and stores
// positions in 1/64 units rounded half to even. A coordinate that does not fit the int16 field
// fails the bake instead of wrapping around, which would silently tear the model apart.
#include "Bake.h"

#include "Pose.h"

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

void BakeTags(TMDM& mesh, const TMDX& animation, int start, uint32_t count, THeader& h) {
    const size_t numTags = mesh.Tags.size();
    h.Tags.resize(count * numTags);
    for (uint32_t f = 0; f < count; ++f) {
        // Posing places the tags whatever the surface, so a mesh without surfaces has tags too.
        Pose(mesh, animation, start + int(f), 0);
        for (size_t t = 0; t < numTags; ++t) {
            TMD3Tag& tag = h.Tags[f * numTags + t];
            CopyName64(mesh.Tags[t].name, tag.name);
            tag.origin = mesh.TagPositions[t];
            for (int a = 0; a < 3; ++a)
                tag.axis[a] = mesh.TagAxes[t][a];
        }
    }
}

std::optional<std::string> BakeSurface(TMDM& mesh, const TMDX& animation, int start, uint32_t count,
                                       int s, TSurface& to) {
    const TMDMSurface& from = mesh.Surfaces[s];
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

    const size_t numVerts = from.Vertices.size();
    to.Vertices.resize(count * numVerts);
    for (uint32_t f = 0; f < count; ++f) {
        Pose(mesh, animation, start + int(f), s);
        for (size_t v = 0; v < numVerts; ++v) {
            const TVector p = mesh.PosedPositions[v];
            TMD3Vertex& out = to.Vertices[f * numVerts + v];
            if (!ToMD3Coordinate(p.x, out.x) || !ToMD3Coordinate(p.y, out.y) ||
                !ToMD3Coordinate(p.z, out.z))
                return "frame " + std::to_string(start + int(f)) + ", surface " +
                       std::to_string(s) + " \"" + NameToString(from.name) + "\", vertex " +
                       std::to_string(v) +
                       ": the posed position lies outside the MD3 range of -512 to 512 units";
            out.normal = TMD3::EncodeNormal(mesh.PosedNormals[v]);
        }
    }
    return std::nullopt;
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
    BakeTags(mesh, animation, start, count, h);
    h.Surfaces.resize(mesh.Surfaces.size());
    for (size_t s = 0; s < mesh.Surfaces.size(); ++s)
        if (auto error = BakeSurface(mesh, animation, start, count, int(s), h.Surfaces[s])) {
            md3.Clear();
            return error;
        }
    return std::nullopt;
}

} // namespace quillon
