// What the context object draws into: the window's 3D view panel, or an offscreen framebuffer
// when pictures are made without a window. TOGL only needs to make the surface's context
// current, to show a finished frame and to look up GL entry points; the surface tells it when
// its context is ready and when it is resized or destroyed.
#pragma once

namespace quillon {

class TOGL;

class IGLSurface {
public:
    using TProcAddress = void (*)();

    virtual ~IGLSurface() = default;

    // The surface reports to `owner` (null: to nobody) from now on.
    virtual void Attach(TOGL* owner) = 0;
    // True once the surface's context exists.
    virtual bool HasContext() const = 0;
    // The framebuffer the frames go to is bound afterwards.
    virtual bool MakeCurrent() = 0;
    virtual void DoneCurrent() = 0;
    // Shows the frame just drawn; an offscreen surface keeps it for reading.
    virtual void ShowFrame() = 0;
    virtual TProcAddress ProcAddress(const char* name) const = 0;
    // The size in device pixels.
    virtual int PixelWidth() const = 0;
    virtual int PixelHeight() const = 0;
};

} // namespace quillon
