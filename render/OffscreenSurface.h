// A surface without a window, for pictures made from scripts: an EGL context of its own on
// Mesa's surfaceless platform (no X server and no display needed; the default EGL display is the
// fallback elsewhere) that draws into a framebuffer object of a fixed size with a 24-bit depth
// buffer. Qt's offscreen platform cannot be used for this: it makes GL contexts only through an
// X display. A finished frame stays in the framebuffer, to be read with glReadPixels.
#pragma once

#include "GLSurface.h"

#include <string>

namespace quillon {

class TOffscreenSurface : public IGLSurface {
public:
    TOffscreenSurface(int width, int height) : Width(width), Height(height) {}
    ~TOffscreenSurface() override;
    TOffscreenSurface(const TOffscreenSurface&) = delete;
    TOffscreenSurface& operator=(const TOffscreenSurface&) = delete;

    // Creates the context and the framebuffer and reports to the owner; false with the reason in
    // Error() when no GL context or framebuffer of this size can be had.
    bool Create();
    const std::string& Error() const { return Failure; }

    void Attach(TOGL* owner) override { Owner = owner; }
    bool HasContext() const override { return Framebuffer != 0; }
    bool MakeCurrent() override;
    void DoneCurrent() override;
    void ShowFrame() override {}
    TProcAddress ProcAddress(const char* name) const override;
    int PixelWidth() const override { return Width; }
    int PixelHeight() const override { return Height; }

private:
    bool Fail(const std::string& reason);
    bool CreateContext();
    bool CreateFramebuffer();
    void Release();

    int Width;
    int Height;
    TOGL* Owner = nullptr;
    void* Display = nullptr; // EGLDisplay
    void* Context = nullptr; // EGLContext
    unsigned Framebuffer = 0;
    void (*BindFramebuffer)(unsigned target, unsigned framebuffer) = nullptr;
    unsigned Renderbuffers[2] = {}; // colour, depth
    std::string Failure;
};

} // namespace quillon
