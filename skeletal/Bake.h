// Baking a range of skeletal frames into an MD3 model: the bones of each frame of the range are
// placed once for the tags and all surfaces, and the posed vertices are stored in the MD3's 1/64
// units. Saving the MD3 is left to the caller.
#pragma once

#include "MDM.h"
#include "MDX.h"
#include "core/MD3.h"

#include <optional>
#include <string>

namespace quillon {

// "Frames:<start> to <end>", the range as the user sees it.
std::string FramesRangeText(int start, int end);

// Fills `md3` with frames start..end (inclusive) of `animation` applied to `mesh`. Returns an
// error text when the range is not within the animation or a posed coordinate does not fit the
// MD3 vertex field (the text names the frame, surface and vertex); `md3` is then left empty.
// A mesh without surfaces still gets its frames and tags. The frames are posed on up to
// `threads` threads at once, the calling one among them; the model and any error text are the
// same for every number of threads. The mesh is only read (its posing results are left alone).
std::optional<std::string> BakeToMD3(const TMDM& mesh, const TMDX& animation, int start, int end,
                                     TMD3& md3, unsigned threads = 1);

} // namespace quillon
