#include "MD3.h"

#include "FileReader.h"
#include "FileWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quillon {

namespace {
constexpr long double TwoPiL = 6.283185307179586477L;

int64_t RoundHalfEven(float value) {
    return std::llrint(value);
}
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

namespace {

// One angle of a normal in 255ths of a turn, wrapped to a byte, as the exact formula rounds it:
// the angle in long double, rounded to single precision, then half to even. The approximate
// angle (within 3e-8 radians, about a millionth of a step) gives the same byte for every angle
// that is not within a thousandth of a step of a half step, and is many times faster: the exact
// value lies within a millionth of a step of it, and rounding that to single precision moves it
// by less than four millionths. Those few, and any value that is not a plain number, are
// evaluated the exact way.
template <class ExactSteps> uint16_t AngleByte(double fastAngle, ExactSteps exactSteps) {
    const double steps = fastAngle * (double(RadToDegF) / 360.0 * 255.0);
    if (std::fabs(steps) < 256.0) {
        const double shifted = steps + 256.5; // positive, so truncation rounds to nearest
        const auto whole = static_cast<int64_t>(shifted);
        const double fraction = shifted - static_cast<double>(whole);
        if (fraction > 1e-3 && fraction < 1.0 - 1e-3)
            return static_cast<uint16_t>((whole - 256) & 255);
    }
    return static_cast<uint16_t>(RoundHalfEven(static_cast<float>(exactSteps())) & 255);
}

} // namespace

int16_t TMD3::EncodeNormal(TVector v) {
    if (VectorEquals(v, AxisPosZ(), 0.001f))
        return 0;
    if (VectorEquals(v, AxisNegZ(), 0.001f))
        return 128;
    const TVector u = VectorNormalize(v);
    const long double k = RadToDegF;
    const uint16_t lat =
        AngleByte(ArcTan2Approx(u.y, u.x), [&] { return ArcTan2(u.y, u.x) * k / 360.0L * 255.0L; });
    // A normalised z may exceed 1 by a rounding step; 1 - z^2 must not go negative. The square
    // of a float is exact in double, so the sine keeps its precision near the poles.
    const double fastSine = std::sqrt(std::max(0.0, 1.0 - double(u.z) * u.z));
    const uint16_t lng = AngleByte(ArcTan2Approx(fastSine, u.z), [&] {
        const long double sine =
            std::sqrt(std::max(0.0L, 1.0L - static_cast<long double>(u.z) * u.z));
        return ArcTan2(sine, u.z) * k / 360.0L * 255.0L;
    });
    return static_cast<int16_t>((lat << 8) + lng);
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

bool TMD3::CountsMatchArrays() const {
    const THeader& h = Header;
    if (h.Frames.size() != h.numFrames || h.Tags.size() != uint64_t{h.numFrames} * h.numTags ||
        h.Surfaces.size() != h.numSurfaces)
        return false;
    return std::all_of(h.Surfaces.begin(), h.Surfaces.end(), [&](const TSurface& s) {
        return s.Shaders.size() == s.numShaders && s.Triangles.size() == s.numTriangles &&
               s.TexCoords.size() == s.numVerts &&
               s.Vertices.size() == uint64_t{s.numVerts} * h.numFrames;
    });
}

bool TMD3::SaveToFile(const std::string& path) {
    // A model whose counts disagree with its arrays would write garbage or read out of bounds.
    if (!CountsMatchArrays())
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
