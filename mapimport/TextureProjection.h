// Texture coordinates of brush faces. Each plane gets two axes S and T chosen from its normal's
// dominant axis; a corner is rotated by the plane's texture rotation in the plane of the two other
// axes, projected on S and T, scaled and shifted. Every texture is projected as if it were
// 256 x 256 pixels, whatever the image's real size.
#pragma once

#include "MapRecords.h"

namespace quillon {

// Sets the plane's dominant axis, its sign and the axes S and T. For a z-dominant plane the
// rotation is negated here, once.
void ComputeTextureAxes(TMapPlane& plane);

struct TTexCoord {
    float s = 0, t = 0;
};

// `texture` is the plane's texture entry, or null when it has none.
TTexCoord ProjectTexture(const TMapPlane& plane, const TMapTexture* texture, TVector corner);

} // namespace quillon
