// The MDX skeletal animation: the bone hierarchy and, per frame, a bounding volume and one
// compressed rotation per bone. Records match the file byte for byte; each frame owns its bone
// records. A parent always has a lower index than its children, which posing relies on.
#pragma once

#include "core/LastError.h"
#include "core/VectorMath.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

class TFileReader;

struct TMDXHeaderRecord {
    char ident[4] = {'M', 'D', 'X', 'W'};
    int32_t version = 0;
    char name[64] = {};
    uint32_t numFrames = 0;
    uint32_t numBones = 0;
    int32_t ofsFrames = 0;
    int32_t ofsBones = 0;
    int32_t torsoParent = 0;
    int32_t ofsEnd = 0;
};

struct TMDXFrameRecord {
    TVector mins;
    TVector maxs;
    TVector localOrigin;
    float radius = 0;
    TVector parentOffset;
};

// Angles in units of 360/65536 degrees: angles = pitch, yaw, roll (and one unused);
// ofsAngles = pitch, yaw of the direction from the parent to this bone.
struct TMDXBoneFrame {
    int16_t angles[4] = {};
    int16_t ofsAngles[2] = {};
};

struct TMDXFrame : TMDXFrameRecord {
    std::vector<TMDXBoneFrame> BoneFrames; // one per bone, in bone order
};

struct TMDXBoneInfo {
    char name[64] = {};
    int32_t parent = -1;
    float torsoWeight = 0;
    float parentDist = 0;
    int32_t flags = 0;
};

static_assert(sizeof(TMDXHeaderRecord) == 96);
static_assert(sizeof(TMDXFrameRecord) == 52);
static_assert(sizeof(TMDXBoneFrame) == 12);
static_assert(sizeof(TMDXBoneInfo) == 80);

// Degrees per angle unit.
inline constexpr float MDXAngleUnit = 360.0f / 65536.0f;

class TMDX : public TLastError {
public:
    void Clear();
    // False for a file that is not a complete MDX; the animation is then left empty. Throws
    // FileError when the file cannot be opened. LastError says why a load or save failed.
    [[nodiscard]] bool LoadFromFile(const std::string& path);
    // Recomputes the offsets and writes the animation; the target is replaced only when every
    // byte was written. False for an animation whose counts disagree with its arrays.
    [[nodiscard]] bool SaveToFile(const std::string& path);
    // Replace only the bone infos, or only the frames, by those of another MDX file. Both refuse
    // (false, nothing changed) a file whose bone count differs from the current one.
    [[nodiscard]] bool LoadBonesFromFile(const std::string& path);
    [[nodiscard]] bool LoadFramesFromFile(const std::string& path);
    // Empty when every count matches its array; otherwise which one does not, for the user.
    std::string CountMismatch() const;

    static constexpr uint64_t HeaderSize() { return sizeof(TMDXHeaderRecord); }
    uint64_t FrameSize() const;
    uint64_t FramesSize() const;
    uint64_t BonesSize() const;
    // True when every array holds as many records as its count says; the writer and the check
    // refuse an animation for which it is false.
    bool IsConsistent() const { return CountMismatch().empty(); }

    TMDXHeaderRecord Header;
    std::vector<TMDXFrame> Frames;
    std::vector<TMDXBoneInfo> Bones;

private:
    bool ReadHeader(TFileReader& in, TMDXHeaderRecord& header);
    // Refuses a file whose bone count differs from this animation's.
    bool SameBoneCount(const TMDXHeaderRecord& other);
    bool ReadFrames(TFileReader& in, const TMDXHeaderRecord& header,
                    std::vector<TMDXFrame>& frames);
    bool ReadBones(TFileReader& in, const TMDXHeaderRecord& header,
                   std::vector<TMDXBoneInfo>& bones);
};

} // namespace quillon
