#include "OffscreenSurface.h"

#include "OGL.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

namespace quillon {

namespace {

// The framebuffer entry points of GL 3.0, which every context Mesa makes has.
struct TFramebufferFunctions {
    PFNGLGENFRAMEBUFFERSPROC GenFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC BindFramebuffer;
    PFNGLGENRENDERBUFFERSPROC GenRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC DeleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC BindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus;

    bool Complete() const {
        return GenFramebuffers && DeleteFramebuffers && BindFramebuffer && GenRenderbuffers &&
               DeleteRenderbuffers && BindRenderbuffer && RenderbufferStorage &&
               FramebufferRenderbuffer && CheckFramebufferStatus;
    }
};

template <class F> F Lookup(const char* name) {
    return reinterpret_cast<F>(eglGetProcAddress(name));
}

TFramebufferFunctions FramebufferFunctions() {
    return {Lookup<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers"),
            Lookup<PFNGLDELETEFRAMEBUFFERSPROC>("glDeleteFramebuffers"),
            Lookup<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer"),
            Lookup<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers"),
            Lookup<PFNGLDELETERENDERBUFFERSPROC>("glDeleteRenderbuffers"),
            Lookup<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer"),
            Lookup<PFNGLRENDERBUFFERSTORAGEPROC>("glRenderbufferStorage"),
            Lookup<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer"),
            Lookup<PFNGLCHECKFRAMEBUFFERSTATUSPROC>("glCheckFramebufferStatus")};
}

EGLDisplay OpenDisplay() {
    const auto platformDisplay =
        Lookup<PFNEGLGETPLATFORMDISPLAYEXTPROC>("eglGetPlatformDisplayEXT");
    if (platformDisplay) {
        EGLDisplay display =
            platformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
            return display;
    }
    EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
        return display;
    return EGL_NO_DISPLAY;
}

} // namespace

TOffscreenSurface::~TOffscreenSurface() {
    if (Owner)
        Owner->SurfaceDestroyed();
    Release();
}

bool TOffscreenSurface::Fail(const std::string& reason) {
    Failure = reason;
    Release();
    return false;
}

bool TOffscreenSurface::Create() {
    if (!CreateContext() || !CreateFramebuffer())
        return false;
    // The order a window's panel reports in: the context first, then its size.
    if (Owner) {
        Owner->ContextReady();
        Owner->Resize(Width, Height);
    }
    return true;
}

bool TOffscreenSurface::CreateContext() {
    Display = OpenDisplay();
    if (Display == EGL_NO_DISPLAY)
        return Fail("no EGL display (Mesa's libEGL is needed)");
    if (!eglBindAPI(EGL_OPENGL_API))
        return Fail("EGL offers no desktop OpenGL");
    const EGLint configWanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!eglChooseConfig(Display, configWanted, &config, 1, &configs) || configs == 0)
        config = nullptr; // EGL_KHR_no_config_context: the framebuffer object decides the format
    // The drawing uses the fixed-function pipeline, so the context must be a compatibility one.
    const EGLint contextWanted[] = {EGL_CONTEXT_MAJOR_VERSION,
                                    2,
                                    EGL_CONTEXT_MINOR_VERSION,
                                    1,
                                    EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                    EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                    EGL_NONE};
    Context = eglCreateContext(Display, config, EGL_NO_CONTEXT, contextWanted);
    if (Context == EGL_NO_CONTEXT)
        return Fail("no OpenGL 2.1 compatibility context from EGL");
    if (!eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, Context))
        return Fail("the EGL context cannot be made current without a surface");
    return true;
}

bool TOffscreenSurface::CreateFramebuffer() {
    const TFramebufferFunctions fb = FramebufferFunctions();
    if (!fb.Complete())
        return Fail("the OpenGL context has no framebuffer objects");
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    if (Width < 1 || Height < 1 || Width > largest || Height > largest)
        return Fail("a picture of " + std::to_string(Width) + "x" + std::to_string(Height) +
                    " is more than the OpenGL context can draw (at most " +
                    std::to_string(largest) + " on each side)");
    BindFramebuffer = fb.BindFramebuffer;
    fb.GenFramebuffers(1, &Framebuffer);
    fb.BindFramebuffer(GL_FRAMEBUFFER, Framebuffer);
    fb.GenRenderbuffers(2, Renderbuffers);
    const GLenum formats[2] = {GL_RGBA8, GL_DEPTH_COMPONENT24};
    const GLenum attachments[2] = {GL_COLOR_ATTACHMENT0, GL_DEPTH_ATTACHMENT};
    for (int i = 0; i < 2; ++i) {
        fb.BindRenderbuffer(GL_RENDERBUFFER, Renderbuffers[i]);
        fb.RenderbufferStorage(GL_RENDERBUFFER, formats[i], Width, Height);
        fb.FramebufferRenderbuffer(GL_FRAMEBUFFER, attachments[i], GL_RENDERBUFFER,
                                   Renderbuffers[i]);
    }
    if (fb.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        return Fail("no framebuffer of " + std::to_string(Width) + "x" + std::to_string(Height) +
                    " could be made (out of memory?)");
    return true;
}

void TOffscreenSurface::Release() {
    if (Context && eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, Context)) {
        const TFramebufferFunctions fb = FramebufferFunctions();
        if (Framebuffer != 0 && fb.Complete()) {
            fb.DeleteFramebuffers(1, &Framebuffer);
            fb.DeleteRenderbuffers(2, Renderbuffers);
        }
        eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(Display, Context);
    }
    Framebuffer = 0;
    Context = nullptr;
    // The display is shared by everyone in the process who asks for it; it stays initialised.
    Display = nullptr;
}

bool TOffscreenSurface::MakeCurrent() {
    if (Framebuffer == 0 || !eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, Context))
        return false;
    BindFramebuffer(GL_FRAMEBUFFER, Framebuffer);
    return true;
}

void TOffscreenSurface::DoneCurrent() {
    if (Display)
        eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

IGLSurface::TProcAddress TOffscreenSurface::ProcAddress(const char* name) const {
    return eglGetProcAddress(name);
}

} // namespace quillon
