#include "MDM.h"

#include "SurfaceBlocks.h"

#include "core/Assert.h"
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

bool TMDM::Ask(std::string_view message, const std::string& field, uint64_t found, uint64_t limit) {
    if (found <= limit || (AskLimit && AskLimit(LimitQuestionText(message, found, limit))))
        return true;
    return Fail(field + " " + std::to_string(found) + " above the limit of " +
                std::to_string(limit) + ", refused by the user");
}

bool TMDM::LoadFromFile(const std::string& path) {
    ClearError();
    TFileReader in(path);
    const bool ok = ReadFrom(in);
    if (!ok)
        Clear();
    QUILLON_ASSERT(!ok || CountMismatch().empty());
    return ok;
}

namespace {

bool IsMDM(const TMDMHeaderRecord& header) {
    return std::memcmp(header.ident, "MDMW", 4) == 0;
}

std::string WrongIdent(const TMDMHeaderRecord& header) {
    return TFileReader::WrongIdent(std::string_view(header.ident, 4), "MDMW");
}

} // namespace

bool TMDM::ReadFrom(TFileReader& in) {
    if (!in.ReadRecord(Header))
        return Fail(in.Refusal("header"));
    if (!IsMDM(Header))
        return Fail(WrongIdent(Header));
    if (!Ask("MAX_SURFACES limit exceeded: ", "numSurfaces", Header.numSurfaces, MDMMaxSurfaces) ||
        !Ask("MAX_TAGS limit exceeded: ", "numTags", Header.numTags, MDMMaxTags))
        return false;
    // Every surface needs at least its header: this bounds the allocation by the file size.
    if (!in.FitsInFile(Header.numSurfaces, SurfaceHeaderSize()))
        return Fail(in.Refusal(std::to_string(Header.numSurfaces) + " surface headers"));
    Surfaces.resize(Header.numSurfaces);
    // Surface offsets are signed in the file, so a start may step backwards.
    int64_t start = Header.ofsSurfaces;
    for (size_t s = 0; s < Surfaces.size(); ++s) {
        if (!in.SeekSigned(start))
            return Fail(in.Refusal("surface " + std::to_string(s)));
        if (!ReadSurface(in, uint64_t(start), Surfaces[s], s))
            return false;
        start += Surfaces[s].ofsEnd;
    }
    if (Header.ofsTags < 0 && Header.numTags == 0)
        return true;
    if (!in.SeekSigned(Header.ofsTags))
        return Fail(in.Refusal("tags"));
    return ReadTags(in, Header.numTags, Tags);
}

bool TMDM::ReadSurface(TFileReader& in, uint64_t start, TMDMSurface& surface, size_t index) {
    const std::string which = "surface " + std::to_string(index);
    in.Seek(start);
    if (!in.ReadRecord(static_cast<TMDMSurfaceRecord&>(surface)))
        return Fail(in.Refusal(which + " header"));
    if (!Ask("MAX_VERTICES limit exceeded: ", which + " numVerts", surface.numVerts,
             MDMMaxVertices) ||
        !Ask("MAX_TRIANGLES limit exceeded: ", which + " numTriangles", surface.numTriangles,
             MDMMaxTriangles))
        return false;
    if (index < LODTable.size())
        LODTable[index] = {int32_t(surface.numVerts), int32_t(surface.numVerts)};
    const std::string failure = ReadSurfaceBlocks<TMDMVertexRecord>(in, start, surface, which);
    return failure.empty() || Fail(failure);
}

bool TMDM::ReadTags(TFileReader& in, uint64_t count, std::vector<TMDMTag>& tags) {
    tags.clear();
    if (!in.Fits(count, sizeof(TMDMTagRecord)))
        return Fail(in.Refusal(std::to_string(count) + " tags"));
    tags.resize(count);
    for (size_t t = 0; t < tags.size(); ++t) {
        if (!in.ReadRecord(static_cast<TMDMTagRecord&>(tags[t])))
            return Fail(in.Refusal("tag " + std::to_string(t)));
        if (!in.ReadArray(tags[t].BoneRefs, tags[t].numBoneRefs))
            return Fail(in.Refusal("tag " + std::to_string(t) + " bone refs"));
    }
    return true;
}

bool TMDM::LoadTagsFromFile(const std::string& path) {
    ClearError();
    TFileReader in(path);
    TMDMHeaderRecord other;
    if (!in.ReadRecord(other))
        return Fail(in.Refusal("header"));
    if (!IsMDM(other))
        return Fail(WrongIdent(other));
    if (!Ask("MAX_TAGS limit exceeded: ", "numTags", other.numTags, MDMMaxTags))
        return false;
    if (!in.SeekSigned(other.ofsTags))
        return Fail(in.Refusal("tags"));
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

std::string TMDM::CountMismatch() const {
    std::string found = Mismatch("surfaces", Surfaces.size(), "numSurfaces", Header.numSurfaces);
    if (found.empty())
        found = Mismatch("tags", Tags.size(), "numTags", Header.numTags);
    for (size_t i = 0; found.empty() && i < Surfaces.size(); ++i) {
        const TMDMSurface& s = Surfaces[i];
        const std::string which = "surface " + std::to_string(i);
        found = Mismatch(which + " vertices", s.Vertices.size(), "numVerts", s.numVerts);
        if (found.empty())
            found =
                Mismatch(which + " triangles", s.Triangles.size(), "numTriangles", s.numTriangles);
        if (found.empty())
            found = Mismatch(which + " collapse map", s.CollapseMap.size(), "numVerts", s.numVerts);
        if (found.empty())
            found = Mismatch(which + " bone refs", s.BoneRefs.size(), "numBoneRefs", s.numBoneRefs);
        for (size_t v = 0; found.empty() && v < s.Vertices.size(); ++v)
            if (const TMDMVertex& vertex = s.Vertices[v];
                vertex.Weights.size() != vertex.numWeights)
                found = Mismatch(which + " vertex " + std::to_string(v) + " weights",
                                 vertex.Weights.size(), "numWeights", vertex.numWeights);
    }
    for (size_t t = 0; found.empty() && t < Tags.size(); ++t)
        found = Mismatch("tag " + std::to_string(t) + " bone refs", Tags[t].BoneRefs.size(),
                         "numBoneRefs", Tags[t].numBoneRefs);
    return found;
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
    ClearError();
    // A mesh whose counts disagree with its arrays would write garbage or read out of bounds.
    if (const std::string mismatch = CountMismatch(); !mismatch.empty())
        return Fail("counts disagree with the data: " + mismatch);
    if (const uint64_t size = HeaderSize() + SurfacesSize() + TagsSize(); size > INT32_MAX)
        return Fail("the mesh needs " + std::to_string(size) +
                    " bytes, more than the signed 32-bit offsets of an MDM file reach");
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
    return out.Commit() || Fail(out.Failure());
}

} // namespace quillon
