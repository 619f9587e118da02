// Checks a skeletal model against what the skeletal game accepts: the MDM mesh's limits and
// names, triangles and vertices that cannot show or are wasted, normals of no length, weights
// that do not add up or name bones the animation lacks, surfaces whose bone lists leave out
// bones their weights use (the game places only the listed bones and their parents), collapse
// maps pointing past the vertices; the MDX animation's bone order and frames; and the animation
// script's ranges against the frame count.
#pragma once

#include "AnimationScript.h"
#include "MDM.h"
#include "MDX.h"

#include "core/CheckLimits.h"
#include "core/Finding.h"

#include <vector>

namespace quillon {

// `animation` may be null (the bone indices are then only checked for being negative). The
// MD3 engine family reads no MDM: for such a target one note says so and the skeletal game's
// limits are used.
std::vector<TFinding> CheckMDM(const TMDM& mesh, const TMDX* animation, const TModelLimits& limits);

// `script` may be null.
std::vector<TFinding> CheckMDX(const TMDX& animation, const TANINC* script,
                               const TModelLimits& limits);

} // namespace quillon
