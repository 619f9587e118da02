// The check of the model the window shows, in one call: the model's own findings (an MD3, or an
// MDM with its MDX animation and animation script), its skin's, and, when the resolver knows the
// game's data, its shaders and images. The window runs it after every load for the finding count
// and for "Check Model..."; the command line runs it for single files.
#pragma once

#include "SurfaceResolver.h"

#include "core/CheckLimits.h"
#include "core/Finding.h"
#include "skeletal/AnimationScript.h"
#include "skeletal/MDX.h"

#include <vector>

namespace quillon {

// `input` is the window's resolve input (the model and where it came from); `animation` and
// `script` belong to a skeletal model and may be null. Nothing the window holds is changed.
// No model gives no findings. An archive that cannot be read raises FileError.
std::vector<TFinding> CheckModel(const TResolveInput& input, const TMDX* animation,
                                 const TANINC* script, const TSurfaceResolver& resolver,
                                 TCheckTarget target);

} // namespace quillon
