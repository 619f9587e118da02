#include "TexturePreview.h"

#include "OGL.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

namespace quillon {

namespace {

int Over(int background, int value, float alpha) {
    return static_cast<int>(std::lround(background * (1 - alpha) + value * alpha));
}

} // namespace

std::optional<QImage> ShowTexturePreview(TOGL& context, uint32_t texture, bool showAlpha,
                                         QSize emptySize) {
    if (texture == 0) {
        QImage empty(emptySize, QImage::Format_RGB32);
        empty.fill(PreviewBackground);
        return empty;
    }
    if (!context.IsActive() || !context.EnsureCurrent())
        return std::nullopt;
    while (glGetError() != GL_NO_ERROR) {
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    const int channels = showAlpha ? 4 : 3;
    std::vector<uint8_t> pixels;
    bool ok = width > 0 && height > 0;
    if (ok) {
        pixels.resize(size_t(width) * height * channels);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, showAlpha ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE,
                      pixels.data());
        ok = glGetError() == GL_NO_ERROR;
    }
    glDisable(GL_TEXTURE_2D);
    if (!ok)
        return std::nullopt;
    QImage image(width, height, QImage::Format_RGB32);
    for (int r = 0; r < height; ++r) {
        // Texture rows run bottom up; the preview shows the image the right way up.
        const uint8_t* in = &pixels[size_t(r) * width * channels];
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(height - 1 - r));
        for (int x = 0; x < width; ++x, in += channels) {
            if (showAlpha) {
                const float a = in[3] / 255.0f;
                out[x] = qRgb(Over(qRed(PreviewBackground), in[0], a),
                              Over(qGreen(PreviewBackground), in[1], a),
                              Over(qBlue(PreviewBackground), in[2], a));
            } else {
                out[x] = qRgb(in[0], in[1], in[2]);
            }
        }
    }
    return image;
}

} // namespace quillon
