// Checks an MD3 model against what the engines of a target accept, from the model alone: the
// counts the loaders refuse, names that do not fit their fields, triangles and vertices that
// cannot show or are wasted, normals never written, coordinates at the edge of the 16-bit range,
// and frame boxes and spheres that do not hold the vertices. The game data (shaders, images,
// skins) are checked in gamedata/.
#pragma once

#include "CheckLimits.h"
#include "Finding.h"
#include "MD3.h"

#include <vector>

namespace quillon {

// A model whose counts do not match its arrays gets one error ("incomplete") and nothing else.
std::vector<TFinding> CheckMD3(const TMD3& model, const TModelLimits& limits);

} // namespace quillon
