#include "MDM.h"

#include "core/FileReader.h"
#include "core/FileWriter.h"

#include <algorithm>
#include <cstring>

namespace quillon {

std::string LimitQuestionText(std::string_view message, uint64_t found, uint64_t limit) {
    return std::string(message) + std::to_string(found) + " > " + std::to_string(limit) +
           "\r\nContinue loading?..";
}

void TMDM::Clear() {
    Surfaces.clear();
    Header.numSurfaces = 0;
    Tags.clear();
    Header.numTags = 0;
}

bool TMDM::Ask(std::string_view message, uint64_t found, uint64_t limit) const {
    if (found <= limit)
        return true;
    return AskLimit && AskLimit(LimitQuestionText(message, found, limit));
}

bool TMDM::LoadFromFile(const std::string& path) {
    TFileReader in(path);
    const bool ok = ReadFrom(in);
    if (!ok)
        Clear();
    return ok;
}

bool TMDM::ReadFrom(TFileReader& in) {
    if (!in.ReadRecord(Header) || std::memcmp(Header.ident, "MDMW", 4) != 0)
        return false;
    if (!Ask("MAX_SURFACES limit exceeded: ", Header.numSurfaces, MDMMaxSurfaces) ||
        !Ask("MAX_TAGS limit exceeded: ", Header.numTags, MDMMaxTags))
        return false;
    // Every surface needs at least its header: this bounds the allocation by the file size.
    if (!TFileReader::CountFits(Header.numSurfaces, SurfaceHeaderSize(), in.Size()))
        return false;
    Surfaces.resize(Header.numSurfaces);
    // Surface offsets are signed in the file, so a start may step backwards.
    int64_t start = Header.ofsSurfaces;
    for (size_t s = 0; s < Surfaces.size(); ++s) {
        if (start < 0 || !ReadSurface(in, uint64_t(start), Surfaces[s], s))
            return false;
        start += Surfaces[s].ofsEnd;
    }
    if (Header.ofsTags < 0)
        return Header.numTags == 0;
    in.Seek(uint64_t(Header.ofsTags));
    return ReadTags(in, Header.numTags, Tags);
}

namespace {

// Positions a reader at a surface-relative offset; false when it lies before the file start.
bool SeekRelative(TFileReader& in, uint64_t start, int32_t offset) {
    const int64_t at = int64_t(start) + offset;
    if (at < 0)
        return false;
    in.Seek(uint64_t(at));
    return true;
}

} // namespace

bool TMDM::ReadSurface(TFileReader& in, uint64_t start, TMDMSurface& surface, size_t index) {
    in.Seek(start);
    if (!in.ReadRecord(static_cast<TMDMSurfaceRecord&>(surface)))
        return false;
    if (!Ask("MAX_VERTICES limit exceeded: ", surface.numVerts, MDMMaxVertices) ||
        !Ask("MAX_TRIANGLES limit exceeded: ", surface.numTriangles, MDMMaxTriangles))
        return false;
    if (index < LODTable.size())
        LODTable[index] = {int32_t(surface.numVerts), int32_t(surface.numVerts)};
    if (!SeekRelative(in, start, surface.ofsVerts) ||
        !in.Fits(surface.numVerts, sizeof(TMDMVertexRecord)))
        return false;
    surface.Vertices.resize(surface.numVerts);
    for (TMDMVertex& v : surface.Vertices)
        if (!in.ReadRecord(static_cast<TMDMVertexRecord&>(v)) ||
            !in.ReadArray(v.Weights, v.numWeights))
            return false;
    return SeekRelative(in, start, surface.ofsTriangles) &&
           in.ReadArray(surface.Triangles, surface.numTriangles) &&
           SeekRelative(in, start, surface.ofsCollapseMap) &&
           in.ReadArray(surface.CollapseMap, surface.numVerts) &&
           SeekRelative(in, start, surface.ofsBoneRefs) &&
           in.ReadArray(surface.BoneRefs, surface.numBoneRefs);
}

bool TMDM::ReadTags(TFileReader& in, uint64_t count, std::vector<TMDMTag>& tags) {
    tags.clear();
    if (!in.Fits(count, sizeof(TMDMTagRecord)))
        return false;
    tags.resize(count);
    for (TMDMTag& tag : tags)
        if (!in.ReadRecord(static_cast<TMDMTagRecord&>(tag)) ||
            !in.ReadArray(tag.BoneRefs, tag.numBoneRefs))
            return false;
    return true;
}

bool TMDM::LoadTagsFromFile(const std::string& path) {
    TFileReader in(path);
    TMDMHeaderRecord other;
    if (!in.ReadRecord(other) || std::memcmp(other.ident, "MDMW", 4) != 0)
        return false;
    if (!Ask("MAX_TAGS limit exceeded: ", other.numTags, MDMMaxTags) || other.ofsTags < 0)
        return false;
    in.Seek(uint64_t(other.ofsTags));
    std::vector<TMDMTag> tags;
    if (!ReadTags(in, other.numTags, tags))
        return false;
    Tags = std::move(tags);
    Header.numTags = other.numTags;
    return true;
}

void TMDM::SetSurfaceShader(int surface, std::string_view text) {
    if (!HasSurface(surface))
        return;
    char* field = Surfaces[surface].shader;
    const size_t n = std::min<size_t>(text.size(), 63);
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, 63 - n);
}

bool TMDM::HasCollapseMap() const {
    for (const TMDMSurface& s : Surfaces)
        if (std::any_of(s.CollapseMap.begin(), s.CollapseMap.end(), [](int32_t e) { return e; }))
            return true;
    return false;
}

uint64_t TMDM::VertexDataSize(int s) const {
    if (!HasSurface(s))
        return 0;
    uint64_t size = 0;
    for (const TMDMVertex& v : Surfaces[s].Vertices)
        size += sizeof(TMDMVertexRecord) + uint64_t{v.numWeights} * sizeof(TMDMWeight);
    return size;
}

uint64_t TMDM::TrianglesSize(int s) const {
    return HasSurface(s) ? uint64_t{Surfaces[s].numTriangles} * sizeof(TMDMTriangle) : 0;
}

uint64_t TMDM::CollapseMapSize(int s) const {
    return HasSurface(s) ? uint64_t{Surfaces[s].numVerts} * sizeof(int32_t) : 0;
}

uint64_t TMDM::BoneRefsSize(int s) const {
    return HasSurface(s) ? uint64_t{Surfaces[s].numBoneRefs} * sizeof(int32_t) : 0;
}

uint64_t TMDM::SurfaceSize(int s) const {
    if (!HasSurface(s))
        return 0;
    return SurfaceHeaderSize() + VertexDataSize(s) + TrianglesSize(s) + CollapseMapSize(s) +
           BoneRefsSize(s);
}

uint64_t TMDM::SurfacesSize() const {
    uint64_t total = 0;
    for (int s = 0; HasSurface(s); ++s)
        total += SurfaceSize(s);
    return total;
}

uint64_t TMDM::TagsSize() const {
    uint64_t total = 0;
    for (const TMDMTag& tag : Tags)
        total += sizeof(TMDMTagRecord) + uint64_t{tag.numBoneRefs} * sizeof(int32_t);
    return total;
}

bool TMDM::IsConsistent() const {
    if (Surfaces.size() != Header.numSurfaces || Tags.size() != Header.numTags)
        return false;
    for (const TMDMSurface& s : Surfaces) {
        if (s.Vertices.size() != s.numVerts || s.Triangles.size() != s.numTriangles ||
            s.CollapseMap.size() != s.numVerts || s.BoneRefs.size() != s.numBoneRefs)
            return false;
        for (const TMDMVertex& v : s.Vertices)
            if (v.Weights.size() != v.numWeights)
                return false;
    }
    for (const TMDMTag& tag : Tags)
        if (tag.BoneRefs.size() != tag.numBoneRefs)
            return false;
    // Offsets are int32 in the file.
    return HeaderSize() + SurfacesSize() + TagsSize() <= uint64_t(INT32_MAX);
}

void TMDM::RecomputeOffsets() {
    Header.ofsSurfaces = int32_t(HeaderSize());
    Header.ofsTags = int32_t(HeaderSize() + SurfacesSize());
    Header.ofsEnd = int32_t(Header.ofsTags + TagsSize());
    uint64_t before = 0;
    for (int s = 0; HasSurface(s); ++s) {
        TMDMSurface& surface = Surfaces[s];
        surface.ofsHeader = -int32_t(HeaderSize() + before);
        surface.ofsVerts = int32_t(SurfaceHeaderSize());
        surface.ofsTriangles = int32_t(surface.ofsVerts + VertexDataSize(s));
        surface.ofsCollapseMap = int32_t(surface.ofsTriangles + TrianglesSize(s));
        surface.ofsBoneRefs = int32_t(surface.ofsCollapseMap + CollapseMapSize(s));
        surface.ofsEnd = int32_t(surface.ofsBoneRefs + BoneRefsSize(s));
        before += SurfaceSize(s);
    }
}

bool TMDM::SaveToFile(const std::string& path) {
    // A mesh whose counts disagree with its arrays would write garbage or read out of bounds.
    if (!IsConsistent())
        return false;
    TFileWriter out(path);
    RecomputeOffsets();
    out.WriteRecord(Header);
    for (const TMDMSurface& surface : Surfaces) {
        out.WriteRecord(static_cast<const TMDMSurfaceRecord&>(surface));
        for (const TMDMVertex& v : surface.Vertices) {
            out.WriteRecord(static_cast<const TMDMVertexRecord&>(v));
            out.WriteArray(v.Weights);
        }
        out.WriteArray(surface.Triangles);
        out.WriteArray(surface.CollapseMap);
        out.WriteArray(surface.BoneRefs);
    }
    for (const TMDMTag& tag : Tags) {
        out.WriteRecord(static_cast<const TMDMTagRecord&>(tag));
        out.WriteArray(tag.BoneRefs);
    }
    return out.Commit();
}

} // namespace quillon
