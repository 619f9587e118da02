// For code that picks its lane code's version itself (the bake) and for tests only: EncodeNormals
// in the version compiled for a given instruction set, so that tests can check the versions this
// processor is not given.
#pragma once

#include "InstructionSet.h"
#include "VectorMath.h"

#include <cstdint>
#include <span>

namespace quillon {

// EncodeNormals (NormalEncoding.h) with `set`, which this processor must have; every version
// gives the same codes.
void EncodeNormals(std::span<const TVector> normals, std::span<int16_t> codes, TInstructionSet set);

} // namespace quillon
