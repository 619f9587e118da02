// The screenshot of the 3D view: two frames of the model alone, without background, read back
// from the view's framebuffer. The mask pass draws the model unlit, without normals or texture
// coordinates, over black and reads it as luminance with the colour scaled by 10: every pixel
// the model covers saturates to 255 and the cleared black stays 0. The colour pass draws the
// model as the view shows it, over black. Each pixel takes blue, green and red from the colour
// pass and the mask as alpha, so the model can be laid over any background.
#pragma once

#include "ViewImage.h"
#include "ViewRenderer.h"

#include <optional>

namespace quillon {

class TScreenshot {
public:
    TScreenshot(TOGL& context, TView3DState& state) : Context(context), State(state) {}

    // The picture of the viewport; none when the view cannot draw now (another tab showing, no
    // context, a command busy). The frame left in the view is the colour pass: redraw after.
    std::optional<TViewImage> Take(const TScene& scene, const TViewOptions& options);
    // The frame as DrawView draws it, background included, fully opaque.
    std::optional<TViewImage> TakeView(const TScene& scene, const TViewOptions& options);

private:
    bool CanDraw(const TViewOptions& options);
    void DrawPass(const TScene& scene, const TViewOptions& options);
    // The viewport read as `format` with `channels` bytes per pixel, bottom row first.
    std::vector<uint8_t> Read(unsigned format, int channels) const;
    TViewImage Combine(const std::vector<uint8_t>& colour, const std::vector<uint8_t>& mask) const;

    TOGL& Context;
    TView3DState& State;
};

} // namespace quillon
