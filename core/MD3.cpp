#include "MD3.h"

#include "Assert.h"
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
    ClearError();
    TFileReader in(path);
    const bool ok = ReadFrom(in);
    if (!ok)
        Clear();
    QUILLON_ASSERT(!ok || CountMismatch().empty());
    return ok;
}

bool TMD3::ReadFrom(TFileReader& in) {
    if (!in.ReadRecord(static_cast<THeaderRecord&>(Header)))
        return Fail(in.Refusal("header"));
    if (!HasValidIdent())
        return Fail(TFileReader::WrongIdent(
            std::string_view(reinterpret_cast<const char*>(&Header.ident), 4), "IDP3"));
    in.Seek(Header.ofsFrames);
    if (!in.ReadArray(Header.Frames, Header.numFrames))
        return Fail(in.Refusal(std::to_string(Header.numFrames) + " frames"));
    if (Header.numTags > 0) {
        in.Seek(Header.ofsTags);
        const uint64_t tags = uint64_t{Header.numFrames} * Header.numTags;
        if (!in.ReadArray(Header.Tags, tags))
            return Fail(in.Refusal(std::to_string(tags) + " tags"));
    }
    // Every surface needs at least its header, so this bounds the allocation by the file size.
    if (!in.FitsInFile(Header.numSurfaces, SurfaceHeaderSize()))
        return Fail(in.Refusal(std::to_string(Header.numSurfaces) + " surface headers"));
    Header.Surfaces.resize(Header.numSurfaces);
    uint64_t start = Header.ofsSurfaces;
    for (size_t s = 0; s < Header.Surfaces.size(); ++s) {
        TSurface& surface = Header.Surfaces[s];
        const std::string which = "surface " + std::to_string(s);
        in.Seek(start);
        if (!in.ReadRecord(static_cast<TSurfaceRecord&>(surface)))
            return Fail(in.Refusal(which + " header"));
        in.Seek(start + surface.ofsShaders);
        if (!in.ReadArray(surface.Shaders, surface.numShaders))
            return Fail(in.Refusal(which + " shaders"));
        in.Seek(start + surface.ofsTriangles);
        if (!in.ReadArray(surface.Triangles, surface.numTriangles))
            return Fail(in.Refusal(which + " triangles"));
        in.Seek(start + surface.ofsSt);
        if (!in.ReadArray(surface.TexCoords, surface.numVerts))
            return Fail(in.Refusal(which + " texture coordinates"));
        for (TMD3TexCoord& tc : surface.TexCoords)
            tc.t = static_cast<float>(1.0L - tc.t);
        in.Seek(start + surface.ofsXyzNormals);
        if (!in.ReadArray(surface.Vertices, uint64_t{surface.numVerts} * Header.numFrames))
            return Fail(in.Refusal(which + " vertices"));
        start += surface.ofsEnd;
    }
    return true;
}

std::string TMD3::CountMismatch() const {
    const THeader& h = Header;
    std::string found = Mismatch("frames", h.Frames.size(), "numFrames", h.numFrames);
    if (found.empty())
        found = Mismatch("tags", h.Tags.size(), "numFrames x numTags",
                         uint64_t{h.numFrames} * h.numTags);
    if (found.empty())
        found = Mismatch("surfaces", h.Surfaces.size(), "numSurfaces", h.numSurfaces);
    for (size_t i = 0; found.empty() && i < h.Surfaces.size(); ++i) {
        const TSurface& s = h.Surfaces[i];
        const std::string which = "surface " + std::to_string(i);
        found = Mismatch(which + " shaders", s.Shaders.size(), "numShaders", s.numShaders);
        if (found.empty())
            found =
                Mismatch(which + " triangles", s.Triangles.size(), "numTriangles", s.numTriangles);
        if (found.empty())
            found = Mismatch(which + " texture coordinates", s.TexCoords.size(), "numVerts",
                             s.numVerts);
        if (found.empty())
            found = Mismatch(which + " vertices", s.Vertices.size(), "numVerts x numFrames",
                             uint64_t{s.numVerts} * h.numFrames);
    }
    return found;
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
    ClearError();
    // A model whose counts disagree with its arrays would write garbage or read out of bounds.
    if (const std::string mismatch = CountMismatch(); !mismatch.empty())
        return Fail("counts disagree with the data: " + mismatch);
    if (const uint64_t size = HeaderSize() + FramesSize() + TagsSize() + SurfacesSize();
        size > UINT32_MAX)
        return Fail("the model needs " + std::to_string(size) +
                    " bytes, more than the 32-bit offsets of an MD3 file reach");

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
    return out.Commit() || Fail(out.Failure());
}

} // namespace quillon
