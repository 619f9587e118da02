// What the render timing programs share: a shown view with its GL context, a checker texture,
// and the timed loop that draws frames through DrawView as the window does, turning the model a
// degree per frame.
#pragma once

#include "render/ViewRenderer.h"

#include <cstdint>

namespace quillon {

class TGLView;

// Shows the view at the given size and waits for its context; false when none could be made.
bool OpenTimingView(TOGL& gl, TGLView& view, int width, int height);

// A 64 × 64 checker of the colour and its half, uploaded without mipmaps.
uint32_t CheckerTexture(uint8_t r, uint8_t g, uint8_t b);

// Draws one warm-up frame, then `frames` frames each finished with glFinish; frames per second.
double TimeFrames(TViewRenderer& renderer, TView3DState& state, const TScene& scene,
                  const TViewOptions& options, int frames);

} // namespace quillon
