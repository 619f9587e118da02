#include "SkeletalEdits.h"

#include "core/MD3.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace quillon {

const std::array<std::string_view, DefaultBoneCount>& DefaultBoneNames() {
    static const std::array<std::string_view, DefaultBoneCount> names = {
        "Bip01 Pelvis",     "Bip01 Spine",      "Bip01 Spine1",     "Bip01 Spine2",
        "Bip01 Spine3",     "Bip01 Neck",       "Bip01 Head",       "Bip01 L Clavicle",
        "Bip01 L UpperArm", "Bip01 L Forearm",  "Bip01 L Hand",     "Bip01 L Finger0",
        "Bip01 L Finger01", "Bip01 L Finger02", "Bip01 L Finger1",  "Bip01 L Finger11",
        "Bip01 L Finger12", "Bip01 L Finger2",  "Bip01 L Finger21", "Bip01 L Finger22",
        "Bip01 L Finger3",  "Bip01 L Finger31", "Bip01 L Finger32", "Bip01 L Finger4",
        "Bip01 L Finger41", "Bip01 L Finger42", "Bip01 R Clavicle", "Bip01 R UpperArm",
        "Bip01 R Forearm",  "Bip01 R Hand",     "Bip01 R Finger0",  "Bip01 R Finger01",
        "Bip01 R Finger02", "Bip01 R Finger1",  "Bip01 R Finger11", "Bip01 R Finger12",
        "Bip01 R Finger2",  "Bip01 R Finger21", "Bip01 R Finger22", "Bip01 R Finger3",
        "Bip01 R Finger31", "Bip01 R Finger32", "Bip01 R Finger4",  "Bip01 R Finger41",
        "Bip01 R Finger42", "Bip01 L Thigh",    "Bip01 L Calf",     "Bip01 L Foot",
        "Bip01 L Toe0",     "Bip01 R Thigh",    "Bip01 R Calf",     "Bip01 R Foot",
        "Bip01 R Toe0"};
    return names;
}

bool SetDefaultBoneNames(TMDX& animation) {
    if (animation.Header.numBones != DefaultBoneCount || animation.Bones.size() != DefaultBoneCount)
        return false;
    for (size_t i = 0; i < DefaultBoneCount; ++i) {
        const TName64 name = TMD3::PadName64(DefaultBoneNames()[i]);
        std::memcpy(animation.Bones[i].name, name.data(), name.size());
    }
    return true;
}

bool ScaleWeights(TMDM& mesh, std::string_view factorText) {
    float factor = 0;
    const char* end = factorText.data() + factorText.size();
    const auto result = std::from_chars(factorText.data(), end, factor);
    if (factorText.empty() || result.ec != std::errc() || result.ptr != end ||
        !std::isfinite(factor) || factor == 1.0f)
        return false;
    for (TMDMSurface& surface : mesh.Surfaces)
        for (TMDMVertex& vertex : surface.Vertices)
            for (TMDMWeight& weight : vertex.Weights)
                weight.boneWeight *= factor;
    return true;
}

} // namespace quillon
