// Whether a skin follows posing closely enough. For a vertex whose weights all survive (no more
// than four) the distance between glTF's skinning and posing is bounded without visiting the
// frames: the bind position seen from each joint against the weight's own offset, plus how far
// the written joint transforms stray from posing's maps, plus what the renormalisation of the
// weights moves, each scaled by how far the joints travel. A vertex whose bound is not well
// inside the tolerance, or whose weights were trimmed, is evaluated at every frame the way glTF
// defines skinning and compared with posing's weighted sum.
#pragma once

#include "SkinBinding.h"

#include <optional>

namespace quillon {

// The standard a skin is held to: posing's own precision, the MD3 vertex step of 1/64 unit.
inline constexpr double SkinTolerance = 1.0 / 64;

struct TSkinDeviation {
    int Surface = 0; // index in the mesh
    int Vertex = 0;
    int Frame = 0;       // animation frame
    double Distance = 0; // game units
};

// The first vertex found that strays more than `tolerance` game units from posing at some
// exported frame (with its farthest frame); nothing when every vertex stays within it.
std::optional<TSkinDeviation> FindSkinDeviation(const TSkinData& skin, const TExportPlan& plan,
                                                double tolerance = SkinTolerance);

} // namespace quillon
