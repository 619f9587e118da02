#include "CheckLimits.h"

namespace quillon {

namespace {

// Where the numbers come from:
// - 1000 vertices and 2000 triangles per surface: the renderers draw one surface at a time from
//   a shared buffer of 1000 vertices and 6000 indices (three per triangle), and their MD3
//   loaders refuse a surface that would not fit. The skeletal game's buffer is the same size.
// - 32 surfaces, 1024 frames, 16 tags: the MD3 loaders' own maxima; a model over any of them is
//   refused. A skin file keeps at most 32 surface lines; the ones after are dropped.
// - 64-byte names: every name field is a C string of the engines' 64-byte path length, so it
//   holds 63 characters and the terminating zero.
// - 512 units: MD3 vertices are 16-bit integers in 1/64 units, so a coordinate outside +-512
//   cannot be stored.
// - MDM: 32 surfaces, 128 tags, 6000 vertices and 8192 triangles per surface, the skeletal
//   game's limits, which the MDM reader also asks about (skeletal/MDM.h).
constexpr TModelLimits Table[] = {
    {"q3", 1000, 2000, 32, 1024, 16, 64, 32, 512.0f, false, 32, 128, 6000, 8192},
    {"et", 1000, 2000, 32, 1024, 16, 64, 32, 512.0f, true, 32, 128, 6000, 8192},
};

} // namespace

const TModelLimits& LimitsFor(TCheckTarget target) {
    return Table[target == TCheckTarget::ET ? 1 : 0];
}

std::optional<TCheckTarget> ParseCheckTarget(std::string_view name) {
    for (TCheckTarget target : {TCheckTarget::Q3, TCheckTarget::ET})
        if (name == LimitsFor(target).Name)
            return target;
    return std::nullopt;
}

} // namespace quillon
