#include "Screenshot.h"

#include "OGL.h"

#include <GL/gl.h>

namespace quillon {

bool TScreenshot::CanDraw(const TViewOptions& options) {
    return options.ViewTabActive && !options.Busy && Context.IsActive() &&
           Context.ViewportWidth > 0 && Context.ViewportHeight > 0 && Context.MakeCurrent();
}

void TScreenshot::DrawModelAlone(const TScene& scene, const TViewOptions& options) {
    TViewRenderer renderer(Context, State);
    renderer.BeginFrameState();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderer.PlaceCameraAndModel(options.Lighting);
    const TVector pivot = State.PivotOffset;
    glTranslatef(pivot.x, pivot.y, pivot.z);
    renderer.DrawModel(scene, options);
    glPopMatrix();
    glFlush();
    Context.Present();
}

std::vector<uint8_t> TScreenshot::ReadColours() const {
    const int width = Context.ViewportWidth, height = Context.ViewportHeight;
    std::vector<uint8_t> pixels(size_t(width) * height * 3);
    // Rows of an odd width are not a multiple of four bytes long.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::vector<uint8_t> TScreenshot::ReadCoverage() const {
    const int width = Context.ViewportWidth, height = Context.ViewportHeight;
    // As floats: a far model's depth would round to the cleared value in a byte.
    std::vector<float> depth(size_t(width) * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    std::vector<uint8_t> coverage(depth.size());
    for (size_t i = 0; i < depth.size(); ++i)
        coverage[i] = depth[i] < 1.0f ? 255 : 0;
    return coverage;
}

TViewImage TScreenshot::Combine(const std::vector<uint8_t>& colour,
                                const std::vector<uint8_t>& mask) const {
    TViewImage image{Context.ViewportWidth, Context.ViewportHeight, !mask.empty(), {}};
    const size_t pixels = size_t(image.Width) * image.Height;
    image.Bgra.resize(pixels * 4);
    for (size_t i = 0; i < pixels; ++i) {
        image.Bgra[i * 4] = colour[i * 3 + 2];
        image.Bgra[i * 4 + 1] = colour[i * 3 + 1];
        image.Bgra[i * 4 + 2] = colour[i * 3];
        image.Bgra[i * 4 + 3] = mask.empty() ? 255 : mask[i];
    }
    return image;
}

std::optional<TViewImage> TScreenshot::Take(const TScene& scene, const TViewOptions& options) {
    if (!CanDraw(options))
        return std::nullopt;
    DrawModelAlone(scene, options);
    return Combine(ReadColours(), ReadCoverage());
}

std::optional<TViewImage> TScreenshot::TakeView(const TScene& scene, const TViewOptions& options) {
    if (!CanDraw(options))
        return std::nullopt;
    TViewRenderer(Context, State).DrawView(scene, options);
    Context.MakeCurrent();
    return Combine(ReadColours(), {});
}

} // namespace quillon
