// The fixed two-light set-up of the view: a light high above and one behind the viewer's left,
// both white, with a little ambient light and separate specular colour so highlights stay white
// on dark textures. Called with an identity modelview, so the positions are in eye space.
#pragma once

namespace quillon {

void SetupLighting(bool lightingOn);

} // namespace quillon
