// The screenshot of the 3D view: the model alone, drawn as the view shows it but over black and
// without background, read back from the view's framebuffer with its coverage as alpha. The
// coverage comes from the depth buffer: a pixel the model drew is nearer than the cleared far
// plane. So a black part of the model stays opaque, and a hole that an alpha test cuts stays
// clear, which a mask read from the colours could not tell apart.
#pragma once

#include "ViewImage.h"
#include "ViewRenderer.h"

#include <optional>

namespace quillon {

class TScreenshot {
public:
    TScreenshot(TOGL& context, TView3DState& state) : Context(context), State(state) {}

    // The picture of the viewport; none when the view cannot draw now (another tab showing, no
    // context, a command busy). The frame left in the view is the screenshot's: redraw after.
    std::optional<TViewImage> Take(const TScene& scene, const TViewOptions& options);
    // The frame as DrawView draws it, background included, fully opaque.
    std::optional<TViewImage> TakeView(const TScene& scene, const TViewOptions& options);

private:
    bool CanDraw(const TViewOptions& options);
    void DrawModelAlone(const TScene& scene, const TViewOptions& options);
    std::vector<uint8_t> ReadColours() const;
    std::vector<uint8_t> ReadCoverage() const;
    TViewImage Combine(const std::vector<uint8_t>& colour, const std::vector<uint8_t>& mask) const;

    TOGL& Context;
    TView3DState& State;
};

} // namespace quillon
