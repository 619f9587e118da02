#include "MD3.h"

#include "FileReader.h"
#include "FileWriter.h"
#include "NormalEncoding.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quillon {

namespace {
constexpr long double TwoPiL = 6.283185307179586477L;
} // namespace

std::string NameToString(const char* field, size_t size) {
    return std::string(field, strnlen(field, size));
}

void StringToName(std::string_view text, char* field, size_t size) {
    const size_t n = std::min(text.size(), size);
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, size - n);
}

void TMD3::Clear() {
    Header.Frames.clear();
    Header.Tags.clear();
    Header.Surfaces.clear();
    Header.numFrames = 0;
    Header.numTags = 0;
    Header.numSurfaces = 0;
    Header.numSkins = 0;
}

uint64_t TMD3::FramesSize() const {
    return uint64_t{Header.numFrames} * sizeof(TMD3Frame);
}

uint64_t TMD3::TagsSize() const {
    return uint64_t{Header.numFrames} * Header.numTags * sizeof(TMD3Tag);
}

uint64_t TMD3::ShadersSize(int s) const {
    return HasSurface(s) ? uint64_t{Header.Surfaces[s].numShaders} * sizeof(TMD3Shader) : 0;
}

uint64_t TMD3::TrianglesSize(int s) const {
    return HasSurface(s) ? uint64_t{Header.Surfaces[s].numTriangles} * sizeof(TMD3Triangle) : 0;
}

uint64_t TMD3::TexCoordsSize(int s) const {
    return HasSurface(s) ? uint64_t{Header.Surfaces[s].numVerts} * sizeof(TMD3TexCoord) : 0;
}

uint64_t TMD3::VerticesSize(int s) const {
    return HasSurface(s)
               ? uint64_t{Header.Surfaces[s].numVerts} * Header.numFrames * sizeof(TMD3Vertex)
               : 0;
}

uint64_t TMD3::SurfaceSize(int s) const {
    if (!HasSurface(s))
        return 0;
    return SurfaceHeaderSize() + ShadersSize(s) + TrianglesSize(s) + TexCoordsSize(s) +
           VerticesSize(s);
}

uint64_t TMD3::SurfacesSize() const {
    uint64_t total = 0;
    for (int s = 0; HasSurface(s); ++s)
        total += SurfaceSize(s);
    return total;
}

void TMD3::FlipTexCoordT(int s) {
    if (!HasSurface(s))
        return;
    for (TMD3TexCoord& tc : Header.Surfaces[s].TexCoords)
        tc.t = static_cast<float>(1.0L - tc.t);
}

void TMD3::SetShaderName(int s, std::string_view name) {
    if (!HasSurface(s) || Header.Surfaces[s].Shaders.empty())
        return;
    StringToName(name, Header.Surfaces[s].Shaders[0].name);
}

TName64 TMD3::PadName64(std::string_view text) {
    TName64 field{};
    StringToName(text, field.data(), field.size());
    return field;
}

TVector TMD3::VertexPosition(const TMD3Vertex& v) {
    return {v.x * MD3XyzScale, v.y * MD3XyzScale, v.z * MD3XyzScale};
}

int16_t TMD3::EncodeNormal(TVector v) {
    int16_t code;
    EncodeNormals({&v, 1}, {&code, 1});
    return code;
}

TVector TMD3::DecodeNormal(int16_t n) {
    const auto code = static_cast<uint16_t>(n);
    const auto lat = static_cast<float>(((code >> 8) & 255) * TwoPiL / 255.0L);
    const auto lng = static_cast<float>((code & 255) * TwoPiL / 255.0L);
    const long double sinLng = sinl(lng);
    return {static_cast<float>(cosl(lat) * sinLng), static_cast<float>(sinl(lat) * sinLng),
            static_cast<float>(cosl(lng))};
}

bool TMD3::LoadFromFile(const std::string& path) {
    Clear();
    TFileReader in(path);
    const bool ok = ReadFrom(in);
    if (!ok)
        Clear();
    return ok;
}

bool TMD3::ReadFrom(TFileReader& in) {
    if (!in.ReadRecord(static_cast<THeaderRecord&>(Header)) || !HasValidIdent())
        return false;
    in.Seek(Header.ofsFrames);
    if (!in.ReadArray(Header.Frames, Header.numFrames))
        return false;
    if (Header.numTags > 0) {
        in.Seek(Header.ofsTags);
        if (!in.ReadArray(Header.Tags, uint64_t{Header.numFrames} * Header.numTags))
            return false;
    }
    // Every surface needs at least its header, so this bounds the allocation by the file size.
    if (!TFileReader::CountFits(Header.numSurfaces, SurfaceHeaderSize(), in.Size()))
        return false;
    Header.Surfaces.resize(Header.numSurfaces);
    uint64_t start = Header.ofsSurfaces;
    for (TSurface& surface : Header.Surfaces) {
        in.Seek(start);
        if (!in.ReadRecord(static_cast<TSurfaceRecord&>(surface)))
            return false;
        in.Seek(start + surface.ofsShaders);
        if (!in.ReadArray(surface.Shaders, surface.numShaders))
            return false;
        in.Seek(start + surface.ofsTriangles);
        if (!in.ReadArray(surface.Triangles, surface.numTriangles))
            return false;
        in.Seek(start + surface.ofsSt);
        if (!in.ReadArray(surface.TexCoords, surface.numVerts))
            return false;
        for (TMD3TexCoord& tc : surface.TexCoords)
            tc.t = static_cast<float>(1.0L - tc.t);
        in.Seek(start + surface.ofsXyzNormals);
        if (!in.ReadArray(surface.Vertices, uint64_t{surface.numVerts} * Header.numFrames))
            return false;
        start += surface.ofsEnd;
    }
    return true;
}

void TMD3::RecomputeOffsets() {
    Header.ofsFrames = static_cast<uint32_t>(HeaderSize());
    Header.ofsTags = static_cast<uint32_t>(Header.ofsFrames + FramesSize());
    Header.ofsSurfaces = static_cast<uint32_t>(Header.ofsTags + TagsSize());
    Header.ofsEnd = static_cast<uint32_t>(Header.ofsSurfaces + SurfacesSize());
    for (int s = 0; HasSurface(s); ++s) {
        TSurface& surface = Header.Surfaces[s];
        surface.ofsShaders = static_cast<uint32_t>(SurfaceHeaderSize());
        surface.ofsTriangles = static_cast<uint32_t>(surface.ofsShaders + ShadersSize(s));
        surface.ofsSt = static_cast<uint32_t>(surface.ofsTriangles + TrianglesSize(s));
        surface.ofsXyzNormals = static_cast<uint32_t>(surface.ofsSt + TexCoordsSize(s));
        surface.ofsEnd = static_cast<uint32_t>(surface.ofsXyzNormals + VerticesSize(s));
    }
}

bool TMD3::SaveToFile(const std::string& path) {
    // A model whose counts disagree with its arrays would write garbage or read out of bounds.
    if (Header.Frames.size() != Header.numFrames ||
        Header.Tags.size() != uint64_t{Header.numFrames} * Header.numTags ||
        Header.Surfaces.size() != Header.numSurfaces)
        return false;
    for (const TSurface& s : Header.Surfaces)
        if (s.Shaders.size() != s.numShaders || s.Triangles.size() != s.numTriangles ||
            s.TexCoords.size() != s.numVerts ||
            s.Vertices.size() != uint64_t{s.numVerts} * Header.numFrames)
            return false;
    if (HeaderSize() + FramesSize() + TagsSize() + SurfacesSize() > UINT32_MAX)
        return false;

    TFileWriter out(path);
    RecomputeOffsets();
    out.WriteRecord(static_cast<const THeaderRecord&>(Header));
    out.WriteArray(Header.Frames);
    out.WriteArray(Header.Tags);
    std::vector<TMD3TexCoord> fileTexCoords;
    for (const TSurface& surface : Header.Surfaces) {
        out.WriteRecord(static_cast<const TSurfaceRecord&>(surface));
        out.WriteArray(surface.Shaders);
        out.WriteArray(surface.Triangles);
        // The file convention of t, without touching the model.
        fileTexCoords = surface.TexCoords;
        for (TMD3TexCoord& tc : fileTexCoords)
            tc.t = static_cast<float>(1.0L - tc.t);
        out.WriteArray(fileTexCoords);
        out.WriteArray(surface.Vertices);
    }
    return out.Commit();
}

} // namespace quillon
