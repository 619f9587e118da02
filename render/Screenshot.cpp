#include "Screenshot.h"

#include "OGL.h"

#include <GL/gl.h>

namespace quillon {

namespace {

void ScaleColour(float scale) {
    glPixelTransferf(GL_RED_SCALE, scale);
    glPixelTransferf(GL_GREEN_SCALE, scale);
    glPixelTransferf(GL_BLUE_SCALE, scale);
}

} // namespace

bool TScreenshot::CanDraw(const TViewOptions& options) {
    return options.ViewTabActive && !options.Busy && Context.IsActive() &&
           Context.ViewportWidth > 0 && Context.ViewportHeight > 0 && Context.MakeCurrent();
}

void TScreenshot::DrawPass(const TScene& scene, const TViewOptions& options) {
    TViewRenderer renderer(Context, State);
    renderer.BeginFrameState();
    if (options.MaskPass)
        glColor3f(0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderer.PlaceCameraAndModel(options.Lighting);
    const TVector pivot = State.PivotOffset;
    glTranslatef(pivot.x, pivot.y, pivot.z);
    renderer.DrawModel(scene, options);
    glPopMatrix();
    glFlush();
    Context.Present();
}

std::vector<uint8_t> TScreenshot::Read(unsigned format, int channels) const {
    const int width = Context.ViewportWidth, height = Context.ViewportHeight;
    std::vector<uint8_t> pixels(size_t(width) * height * channels);
    // Rows of an odd width are not a multiple of four bytes long.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, format, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
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
    TViewOptions maskPass = options;
    maskPass.Lighting = false;
    maskPass.MaskPass = true;
    DrawPass(scene, maskPass);
    ScaleColour(10);
    const std::vector<uint8_t> mask = Read(GL_LUMINANCE, 1);
    ScaleColour(1);

    TViewOptions colourPass = options;
    colourPass.MaskPass = false;
    DrawPass(scene, colourPass);
    return Combine(Read(GL_RGB, 3), mask);
}

std::optional<TViewImage> TScreenshot::TakeView(const TScene& scene, const TViewOptions& options) {
    if (!CanDraw(options))
        return std::nullopt;
    TViewRenderer(Context, State).DrawView(scene, options);
    Context.MakeCurrent();
    return Combine(Read(GL_RGB, 3), {});
}

} // namespace quillon
