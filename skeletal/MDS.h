// The older single-file skeletal format (mesh, skeleton and animation together). It is only read
// and converted at once into an MDM mesh and an MDX animation. Bones with non-zero flags stand
// for tags: they are dropped from the skeleton and become MDM tags.
#pragma once

#include "MDM.h"
#include "MDX.h"

#include "core/LastError.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

class TFileReader;

struct TMDSHeaderRecord {
    char ident[4] = {'M', 'D', 'S', 'W'};
    int32_t version = 0;
    char name[64] = {};
    float lodScale = 1;
    float lodBias = 0;
    uint32_t numFrames = 0;
    uint32_t numBones = 0;
    int32_t ofsFrames = 0;
    int32_t ofsBones = 0;
    int32_t torsoParent = 0;
    uint32_t numSurfaces = 0;
    int32_t ofsSurfaces = 0;
    uint32_t numTags = 0;
    int32_t ofsTags = 0;
    int32_t ofsEnd = 0;
};

struct TMDSVertexRecord {
    TVector normal;
    float texCoords[2] = {};
    uint32_t numWeights = 0;
    uint32_t extra[2] = {}; // carried, not used
};

struct TMDSVertex : TMDSVertexRecord {
    std::vector<TMDMWeight> Weights;
};

// The surface header has the MDM layout.
struct TMDSSurface : TMDMSurfaceRecord {
    std::vector<TMDSVertex> Vertices;
    std::vector<TMDMTriangle> Triangles;
    std::vector<int32_t> CollapseMap;
    std::vector<int32_t> BoneRefs;
};

struct TMDSTag {
    char name[64] = {};
    float unused = 0;
    int32_t boneIndex = 0; // the tag bone
};

static_assert(sizeof(TMDSHeaderRecord) == 120);
static_assert(sizeof(TMDSVertexRecord) == 32);
static_assert(sizeof(TMDSTag) == 72);

inline constexpr uint32_t MDSMaxBones = 128;

class TMDS : public TLastError {
public:
    void Clear();
    // False for a file that is not a complete MDS or has more than 128 bones; the model is then
    // left empty. Throws FileError when the file cannot be opened. LastError says why a load or
    // a conversion failed.
    [[nodiscard]] bool LoadFromFile(const std::string& path);
    // Empties both and fills them from this model. False (both left empty) when the model holds
    // more than 128 bones or its counts disagree with its arrays.
    [[nodiscard]] bool ConvertToSkeletal(TMDM& mesh, TMDX& animation);
    // Empty when every count matches its array; otherwise which one does not, for the user.
    std::string CountMismatch() const;

    TMDSHeaderRecord Header;
    std::vector<TMDSSurface> Surfaces;
    std::vector<TMDXFrame> Frames;
    std::vector<TMDXBoneInfo> Bones;
    std::vector<TMDSTag> Tags;

    // Work arrays of the conversion: the reference pose of each MDS bone.
    std::vector<TVector> BonePositions;
    std::vector<TMatrix> BoneRotations;
    std::vector<TMatrix> BoneInverseRotations;

private:
    bool ReadFrom(TFileReader& in);
    bool ReadFrames(TFileReader& in);
};

} // namespace quillon
