// The OpenGL context object: one instance for the whole program. It binds to a surface: the 3D
// view panel (TGLView, whose context Qt creates when the panel is first shown) or an offscreen
// framebuffer (TOffscreenSurface, for pictures without a window). It sets the fixed GL state once,
// owns the projection, the camera, the texture manager, the fonts, the sky box and the frustum,
// and presents finished frames. Every drawing operation is gated on IsActive.
#pragma once

#include "Camera.h"
#include "GLFonts.h"
#include "ObjTexture.h"
#include "core/Frustum.h"

#include <functional>
#include <memory>
#include <string>

namespace quillon {

class IGLSurface;
class TSkyBox;

class TOGL {
public:
    TOGL();
    ~TOGL();
    TOGL(const TOGL&) = delete;
    TOGL& operator=(const TOGL&) = delete;

    bool IsActive();
    // Binds to the surface. The panel's context is created when the panel is first shown; the
    // state set-up runs then (ContextReady), or at once when the context already exists. A second
    // call while active does nothing.
    void CreateContext(IGLSurface* surface);
    void DestroyContext();
    bool MakeCurrent();
    // Makes the context current without reporting; Qt's own composition switches contexts
    // between our calls, so every entry from outside a frame needs this.
    bool EnsureCurrent();
    bool Present();
    bool HasExtension(const std::string& name) const;
    void SetVSync(bool on);
    int QueryTextureUnits();
    void Resize(int width, int height);
    void ApplyProjection();
    void Enter2D();
    void PushMatrices();
    void PopMatrices();
    // Colours hold red in bits 0-7, green in 8-15, blue in 16-23.
    void DrawGradient(int left, int top, int right, int bottom, uint32_t topColour,
                      uint32_t bottomColour);
    // Reads the current modelview and projection matrices into the frustum.
    void UpdateFrustum();

    // Selects a texture unit; without the multitexture extension only unit 0 exists.
    void SelectUnit(int unit) const;
    // Texture coordinates for one unit; glTexCoord2f when there is no multitexture.
    void TexCoord(int unit, float s, float t) const;
    bool HasMultitexture() const { return ActiveTextureFn != nullptr; }

    // Run by the surface when its context has been created.
    void ContextReady();
    // Run by the surface when it goes away before the context object lets go of it.
    void SurfaceDestroyed();

    // The text of a context error code, as the error message shows it.
    static std::string ContextErrorText(int code);
    // Shows context errors; by default a message box followed by a request to quit.
    std::function<void(int code)> ErrorHandler;
    // Run once after the state set-up, when the context is usable (the window loads the sky box
    // and applies the lighting there).
    std::function<void()> OnContextReady;

    TCamera Camera;
    IGLSurface* Surface = nullptr;
    int Width = 0, Height = 0;
    bool Active = false;
    int ViewportWidth = 0, ViewportHeight = 0;
    double NearPlane = 1.0;
    double FarPlane = 5000.0;
    double FieldOfView;
    bool OverlayMode = false;
    int SwapInterval = 1;
    int TextureUnits = -1;
    TFrustum Frustum;
    TObjTexture Textures;
    TGLFonts Fonts;
    std::unique_ptr<TSkyBox> SkyBox;

private:
    void ReportError(int code);
    void LoadEntryPoints();
    void SetupState();

    using ActiveTextureProc = void (*)(unsigned);
    using MultiTexCoordProc = void (*)(unsigned, float, float);
    ActiveTextureProc ActiveTextureFn = nullptr;
    MultiTexCoordProc MultiTexCoordFn = nullptr;
    bool StateReady = false;
};

} // namespace quillon
