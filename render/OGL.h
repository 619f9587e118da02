// The OpenGL context object: one instance for the whole program. It binds to the 3D view panel
// (TGLView, whose context Qt creates when the panel is first shown), sets the fixed GL state once,
// owns the projection, the camera, the texture manager, the fonts, the sky box and the frustum,
// and presents finished frames. Every drawing operation is gated on IsActive.
#pragma once

#include "Camera.h"
#include "GLFonts.h"
#include "ObjTexture.h"
#include "core/Frustum.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>

namespace quillon {

class TGLView;
class TSkyBox;

class TOGL {
public:
    TOGL();
    ~TOGL();
    TOGL(const TOGL&) = delete;
    TOGL& operator=(const TOGL&) = delete;

    bool IsActive();
    // Binds to the panel. Qt creates the panel's context when the panel is first shown; the state
    // set-up runs then (ContextReady), or at once when the context already exists. A second call
    // while active does nothing.
    void CreateContext(TGLView* view);
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

    // Run by the view when Qt has created its context.
    void ContextReady();

    // The text of a context error code, as the error message shows it.
    static std::string ContextErrorText(int code);
    // Shows context errors; by default a message box followed by a request to quit.
    std::function<void(int code)> ErrorHandler;
    // Run once after the state set-up, when the context is usable (the window loads the sky box
    // and applies the lighting there).
    std::function<void()> OnContextReady;

    TCamera Camera;
    QPointer<TGLView> View; // the panel may be destroyed by its window first
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
