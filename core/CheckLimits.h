// What the game engines accept, per target: the MD3 engine family ("q3") and the skeletal game
// that also reads MDM/MDX models ("et"). Every number a check compares against lives in the
// table in CheckLimits.cpp, with where it comes from.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

enum class TCheckTarget { Q3, ET };

struct TModelLimits {
    const char* Name; // as the command line spells the target
    // MD3
    uint32_t VertsPerSurface;
    uint32_t TrianglesPerSurface;
    uint32_t Surfaces;
    uint32_t Frames;
    uint32_t Tags;
    uint32_t NameBytes; // a name field holds at most NameBytes - 1 characters and its zero
    uint32_t SkinSurfaces;
    float CoordinateRange; // model units either side of the origin
    // MDM/MDX
    bool ReadsSkeletal;
    uint32_t MDMSurfaces;
    uint32_t MDMTags;
    uint32_t MDMVertsPerSurface;
    uint32_t MDMTrianglesPerSurface;
};

const TModelLimits& LimitsFor(TCheckTarget target);
// "q3" or "et"; nothing for any other text.
std::optional<TCheckTarget> ParseCheckTarget(std::string_view name);

} // namespace quillon
