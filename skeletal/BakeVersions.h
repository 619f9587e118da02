// For the bake's own code and its tests only: the bake with its lane code in the version compiled
// for a given instruction set, so that tests can check the versions this processor is not given.
#pragma once

#include "Bake.h"

#include "core/InstructionSet.h"

namespace quillon {

// BakeToMD3 (Bake.h) with `set`, which this processor must have; every version gives the same
// model and error text.
std::optional<std::string> BakeToMD3(const TMDM& mesh, const TMDX& animation, int start, int end,
                                     TMD3& md3, unsigned threads, TInstructionSet set);

} // namespace quillon
