#include "TimingView.h"

#include "render/GLView.h"
#include "render/OGL.h"

#include <GL/gl.h>
#include <QApplication>

#include <chrono>
#include <vector>

namespace quillon {

bool OpenTimingView(TOGL& gl, TGLView& view, int width, int height) {
    view.resize(width, height);
    gl.CreateContext(&view);
    view.show();
    for (int i = 0; i < 200 && !gl.IsActive(); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return gl.IsActive();
}

uint32_t CheckerTexture(uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> pixels(64 * 64 * 4);
    for (int i = 0; i < 64 * 64; ++i) {
        const bool dark = ((i % 64) / 8 + (i / 64) / 8) % 2 != 0;
        pixels[i * 4] = dark ? r / 2 : r;
        pixels[i * 4 + 1] = dark ? g / 2 : g;
        pixels[i * 4 + 2] = dark ? b / 2 : b;
        pixels[i * 4 + 3] = 255;
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return name;
}

double TimeFrames(TViewRenderer& renderer, TView3DState& state, const TScene& scene,
                  const TViewOptions& options, int frames) {
    renderer.DrawView(scene, options);
    glFinish();
    const auto start = std::chrono::steady_clock::now();
    for (int f = 0; f < frames; ++f) {
        state.ModelRotation.y = static_cast<float>(f);
        renderer.DrawView(scene, options);
        glFinish();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return frames / seconds;
}

} // namespace quillon
