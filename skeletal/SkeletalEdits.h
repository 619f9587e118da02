// Edits of a skeletal model that the window offers: the standard biped bone names, and scaling
// every bone weight (which grows or shrinks the posed mesh about the origin).
#pragma once

#include "MDM.h"
#include "MDX.h"

#include <array>
#include <string_view>

namespace quillon {

inline constexpr size_t DefaultBoneCount = 53;
const std::array<std::string_view, DefaultBoneCount>& DefaultBoneNames();

// Renames the bones to the default names; does nothing (false) unless there are exactly 53.
[[nodiscard]] bool SetDefaultBoneNames(TMDX& animation);

// Multiplies every bone weight by the number in `factorText` ("." as decimal separator).
// Does nothing (false) for text that is not a number, or for exactly 1.
[[nodiscard]] bool ScaleWeights(TMDM& mesh, std::string_view factorText);

} // namespace quillon
