// For code that picks its lane code's version itself (the bake) and for tests only: the posing of
// a surface in the version compiled for a given instruction set, so that tests can check the
// versions this processor is not given.
#pragma once

#include "Pose.h"

#include "core/InstructionSet.h"

namespace quillon {

// PoseSurface (Pose.h) with `set`, which this processor must have; every version gives the same
// values bit for bit.
void PoseSurface(const TMDM& mesh, int surface, TPoseResults& results, TInstructionSet set);
void PoseSurface(const TPackedSurface& surface, TPoseResults& results, TInstructionSet set);
void PoseSurface(const TPackedSurface& surface, TPoseResults& first, TPoseResults& second,
                 TInstructionSet set);

} // namespace quillon
