// A MilkShape 3D binary model read completely into memory, block after block in file order:
// vertices, triangles, groups, materials, animation settings, joints with key frames, comments
// and the extra data. Nothing converts it yet; the reader exists so that a conversion can.
#pragma once

#include "core/LastError.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace quillon {

#pragma pack(push, 1)
struct TMS3DHeader {
    char id[10] = {};
    int32_t version = 0;
};

struct TMS3DVertex {
    uint8_t flags = 0;
    float position[3] = {};
    int8_t boneId = 0;
    uint8_t referenceCount = 0;
};

struct TMS3DTriangle {
    uint16_t flags = 0;
    uint16_t vertexIndices[3] = {};
    float vertexNormals[3][3] = {};
    float s[3] = {};
    float t[3] = {};
    uint8_t smoothingGroup = 0;
    uint8_t groupIndex = 0;
};

struct TMS3DGroupRecord {
    uint8_t flags = 0;
    char name[32] = {};
    uint16_t numTriangles = 0;
};

struct TMS3DMaterial {
    char name[32] = {};
    float ambient[4] = {};
    float diffuse[4] = {};
    float specular[4] = {};
    float emissive[4] = {};
    float shininess = 0;
    float transparency = 0;
    uint8_t mode = 0;
    char texture[128] = {};
    char alphaMap[128] = {};
};

struct TMS3DAnimation {
    float framesPerSecond = 0;
    float currentTime = 0;
    int32_t totalFrames = 0;
};

struct TMS3DBoneRecord {
    uint8_t flags = 0;
    char name[32] = {};
    char parentName[32] = {};
    float rotation[3] = {};
    float position[3] = {};
    uint16_t numRotationKeys = 0;
    uint16_t numPositionKeys = 0;
};

struct TMS3DKeyFrame {
    float time = 0;
    float value[3] = {};
};

struct TMS3DVertexExtra {
    int8_t boneIds[3] = {};
    uint8_t weights[3] = {};
    int32_t extra = 0;
};

struct TMS3DJointExtra {
    float color[3] = {};
};

struct TMS3DModelExtra {
    float jointSize = 0;
    int32_t transparencyMode = 0;
    float alphaRef = 0;
};
#pragma pack(pop)

// The records keep the file's byte layout, so a float triple in one may sit at any address: it
// is copied out through this, never read through a float pointer.
using TMS3DFloats = std::array<float, 3>;
inline TMS3DFloats UnpackFloats(const void* field) {
    TMS3DFloats floats;
    std::memcpy(floats.data(), field, sizeof floats);
    return floats;
}

static_assert(sizeof(TMS3DHeader) == 14);
static_assert(sizeof(TMS3DVertex) == 15);
static_assert(sizeof(TMS3DTriangle) == 70);
static_assert(sizeof(TMS3DGroupRecord) == 35);
static_assert(sizeof(TMS3DMaterial) == 361);
static_assert(sizeof(TMS3DAnimation) == 12);
static_assert(sizeof(TMS3DBoneRecord) == 93);
static_assert(sizeof(TMS3DKeyFrame) == 16);
static_assert(sizeof(TMS3DVertexExtra) == 10);
static_assert(sizeof(TMS3DJointExtra) == 12);
static_assert(sizeof(TMS3DModelExtra) == 12);

struct TMS3DGroup : TMS3DGroupRecord {
    std::vector<uint16_t> TriangleIndices;
    int8_t materialIndex = -1;
};

struct TMS3DBone : TMS3DBoneRecord {
    std::vector<TMS3DKeyFrame> RotationKeys;
    std::vector<TMS3DKeyFrame> PositionKeys;
};

struct TMS3DComment {
    int32_t index = 0;
    std::string text;
};

class TFileReader;

class TMS3D : public TLastError {
public:
    void Clear();
    // True when every block up to the joints was read completely and the file either ends
    // there or continues with complete later sections (comments, vertex extras, joint extras,
    // model extras, in that order); a section the file leaves out keeps its version 0 and its
    // list empty. On false the model is left empty and LastError says which block was not
    // complete. Throws FileError when the file cannot be opened.
    [[nodiscard]] bool LoadFromFile(const std::string& path);

    TMS3DHeader Header;
    std::vector<TMS3DVertex> Vertices;
    std::vector<TMS3DTriangle> Triangles;
    std::vector<TMS3DGroup> Groups;
    std::vector<TMS3DMaterial> Materials;
    TMS3DAnimation Animation;
    std::vector<TMS3DBone> Joints;
    int32_t commentVersion = 0;
    std::vector<TMS3DComment> GroupComments;
    std::vector<TMS3DComment> MaterialComments;
    std::vector<TMS3DComment> JointComments;
    std::vector<TMS3DComment> ModelComments;
    int32_t vertexExtraVersion = 0;
    std::vector<TMS3DVertexExtra> VertexExtras;
    int32_t jointExtraVersion = 0;
    std::vector<TMS3DJointExtra> JointExtras;
    int32_t modelExtraVersion = 0;
    TMS3DModelExtra ModelExtra;

private:
    bool ReadFrom(TFileReader& in);
    bool ReadGroups(TFileReader& in);
    bool ReadJoints(TFileReader& in);
    bool ReadComments(TFileReader& in, const std::string& what, std::vector<TMS3DComment>& out);
    bool ReadLaterSections(TFileReader& in);
    // Read a record or `count` records, or record why `what` could not be read.
    template <class T> bool Read(TFileReader& in, const std::string& what, T& record);
    template <class T>
    bool ReadArray(TFileReader& in, const std::string& what, std::vector<T>& out, uint64_t count);
    // A count of type Count, then that many records.
    template <class Count, class T>
    bool ReadCounted(TFileReader& in, const std::string& what, std::vector<T>& out);
};

} // namespace quillon
