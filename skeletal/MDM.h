// The MDM skinned mesh: surfaces whose vertices hang on bones by weights, tags attached to bones,
// and per-surface level-of-detail data. The records match the file byte for byte so that reading
// and writing move whole blocks; the arrays each record owns follow it in memory.
// Posing (Pose.h) leaves its results in the mesh object, so drawing, LOD and baking share them.
#pragma once

#include "core/LastError.h"
#include "core/VectorMath.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

class TFileReader;

struct TMDMHeaderRecord {
    char ident[4] = {'M', 'D', 'M', 'W'};
    int32_t version = 0;
    char name[64] = {};
    float lodScale = 1;
    float lodBias = 0;
    uint32_t numSurfaces = 0;
    int32_t ofsSurfaces = 0;
    uint32_t numTags = 0;
    int32_t ofsTags = 0;
    int32_t ofsEnd = 0;
};

// The surface header; offsets are relative to the surface's first byte.
struct TMDMSurfaceRecord {
    int32_t ident = 0;
    char name[64] = {};
    char shader[64] = {};
    int32_t shaderIndex = 0;
    int32_t minLod = 0;
    int32_t ofsHeader = 0;
    uint32_t numVerts = 0;
    int32_t ofsVerts = 0;
    uint32_t numTriangles = 0;
    int32_t ofsTriangles = 0;
    int32_t ofsCollapseMap = 0;
    uint32_t numBoneRefs = 0;
    int32_t ofsBoneRefs = 0;
    int32_t ofsEnd = 0;
};

struct TMDMWeight {
    int32_t boneIndex = 0;
    float boneWeight = 0;
    TVector offset; // position in the bone's space
};

struct TMDMVertexRecord {
    TVector normal; // in bone space
    float texCoords[2] = {};
    uint32_t numWeights = 0;
};

struct TMDMVertex : TMDMVertexRecord {
    std::vector<TMDMWeight> Weights;
};

struct TMDMTriangle {
    int32_t indexes[3] = {};
};

struct TMDMSurface : TMDMSurfaceRecord {
    std::vector<TMDMVertex> Vertices;
    std::vector<TMDMTriangle> Triangles;
    std::vector<int32_t> CollapseMap; // vertex i collapses to CollapseMap[i]
    std::vector<int32_t> BoneRefs;
};

struct TMDMTagRecord {
    char name[64] = {};
    TVector axis[3]; // in bone space
    int32_t boneIndex = 0;
    TVector offset;
    uint32_t numBoneRefs = 0;
    int32_t ofsBoneRefs = 0; // kept as read, never recomputed
    int32_t ofsEnd = 0;      // kept as read, never recomputed
};

struct TMDMTag : TMDMTagRecord {
    std::vector<int32_t> BoneRefs;
};

static_assert(sizeof(TMDMHeaderRecord) == 100);
static_assert(sizeof(TMDMSurfaceRecord) == 176);
static_assert(sizeof(TMDMWeight) == 20);
static_assert(sizeof(TMDMVertexRecord) == 24);
static_assert(sizeof(TMDMTriangle) == 12);
static_assert(sizeof(TMDMTagRecord) == 128);

// One entry per surface index: the surface's total vertex count and its current LOD minimum.
struct TMDMLodEntry {
    int32_t numVerts = 0;
    int32_t minLod = 0;
};

inline constexpr uint32_t MDMMaxSurfaces = 32;
inline constexpr uint32_t MDMMaxTags = 128;
inline constexpr uint32_t MDMMaxVertices = 6000;
inline constexpr uint32_t MDMMaxTriangles = 8192;
inline constexpr size_t MDMLodTableSize = 32;

// Asked when a count in a file exceeds a limit; true continues loading, false refuses the file.
using LimitQuestion = std::function<bool(const std::string& text)>;

// The text of a limit question: "MAX_SURFACES limit exceeded: 40 > 32\r\nContinue loading?..".
std::string LimitQuestionText(std::string_view message, uint64_t found, uint64_t limit);

class TMDM : public TLastError {
public:
    // Releases surfaces and tags; the other header fields and the posing results stay.
    void Clear();
    // False for a file that is not a complete MDM or whose limit question was answered No; the
    // surfaces and tags are then left empty. Throws FileError when the file cannot be opened.
    // LastError says why a load or save failed.
    [[nodiscard]] bool LoadFromFile(const std::string& path);
    // Recomputes every offset and writes the mesh; the target is replaced only when every byte
    // was written. False for a mesh whose counts disagree with its arrays or on a failed write;
    // throws FileError when the file cannot be created.
    [[nodiscard]] bool SaveToFile(const std::string& path);
    // Replaces the tags by those of another MDM file; on false the tags are unchanged.
    [[nodiscard]] bool LoadTagsFromFile(const std::string& path);
    // Empty when every count matches its array; otherwise which one does not, for the user.
    std::string CountMismatch() const;

    // Copies at most 63 characters into the surface's shader field and zeroes bytes up to the
    // 63rd; the 64th byte stays. Does nothing for an index outside the surfaces.
    void SetSurfaceShader(int surface, std::string_view text);
    // True when some collapse-map entry of some surface is non-zero.
    bool HasCollapseMap() const;
    // True when every array holds as many records as its count says; the writer and the check
    // refuse a mesh for which it is false.
    bool IsConsistent() const { return CountMismatch().empty(); }

    bool HasSurface(int surface) const {
        return surface >= 0 && static_cast<size_t>(surface) < Surfaces.size();
    }

    // Block sizes in bytes as the writer lays them out; 0 for a surface index out of range.
    static constexpr uint64_t HeaderSize() { return sizeof(TMDMHeaderRecord); }
    static constexpr uint64_t SurfaceHeaderSize() { return sizeof(TMDMSurfaceRecord); }
    uint64_t VertexDataSize(int surface) const;
    uint64_t TrianglesSize(int surface) const;
    uint64_t CollapseMapSize(int surface) const;
    uint64_t BoneRefsSize(int surface) const;
    uint64_t SurfaceSize(int surface) const;
    uint64_t SurfacesSize() const;
    uint64_t TagsSize() const;

    // Answers the limit questions; when empty every question is answered No.
    LimitQuestion AskLimit;

    // Posing results (see Pose.h), replaced by each call.
    std::vector<TVector> BonePositions;
    std::vector<TMatrix> BoneRotations;
    std::vector<TMatrix> BoneInverseRotations;
    std::vector<TVector> PosedPositions;
    std::vector<TVector> PosedNormals;
    std::vector<TVector> TagPositions;
    std::vector<std::array<TVector, 3>> TagAxes;

    // Surfaces from the 33rd on (loaded only after a Yes) have no entry.
    std::array<TMDMLodEntry, MDMLodTableSize> LODTable{};

    TMDMHeaderRecord Header;
    std::vector<TMDMSurface> Surfaces;
    std::vector<TMDMTag> Tags;

private:
    bool ReadFrom(TFileReader& in);
    bool ReadSurface(TFileReader& in, uint64_t start, TMDMSurface& surface, size_t index);
    // True when `found` is within `limit` or the user chose to go on; `field` names the count
    // in the reason for a refusal.
    bool Ask(std::string_view message, const std::string& field, uint64_t found, uint64_t limit);
    void RecomputeOffsets();
    // Reads `count` tags stored one after the other at the reader's position.
    bool ReadTags(TFileReader& in, uint64_t count, std::vector<TMDMTag>& tags);
};

} // namespace quillon
