// The animations of an export: one over every exported frame, and for a skeletal model with an
// animation script one per named range of the script, cut to the exported frames.
#pragma once

#include "ExportSettings.h"
#include "skeletal/AnimationScript.h"

#include <string>
#include <vector>

namespace quillon {

// A script range that lies wholly outside the exported frames, or whose frame count is not
// positive, is left out with a warning; one that lies partly outside is cut, with a warning.
// A script range plays at its own rate when the script gives one, else at `framesPerSecond`.
std::vector<TAnimationClip> AnimationClips(const std::string& name, const TFrameRange& frames,
                                           double framesPerSecond, const TANINC* script,
                                           std::vector<std::string>& warnings);

} // namespace quillon
