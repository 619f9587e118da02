// What kind of model the program holds: an MD3 model, or a skeletal model (an MDM mesh with its
// MDX animation), which is either read as such or converted from an MDS file. Texture resolution,
// drawing, the window and the command line all speak of the current model through this.
#pragma once

#include <cstdint>

namespace quillon {

enum class TModelKind : uint8_t { None, MD3, Skeletal, MDS };

// Both skeletal kinds are drawn, resolved and edited as an MDM mesh with an MDX animation.
constexpr bool IsSkeletal(TModelKind kind) {
    return kind == TModelKind::Skeletal || kind == TModelKind::MDS;
}

} // namespace quillon
