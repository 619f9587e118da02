#include "OGL.h"

#include "GLSurface.h"
#include "SkyBox.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <QCoreApplication>
#include <QMessageBox>

#include <cmath>
#include <cstring>

namespace quillon {

namespace {

// The vertical field of view for a visible height at a distance, with the single-precision
// steps that give the familiar 53.130104 for 5000 at 5000.
double FieldOfViewFor(float height, float distance) {
    const float radians = static_cast<float>(2.0 * std::atan((height / 2.0) / distance));
    return static_cast<float>(radians * 57.29578f);
}

void DefaultErrorReport(int code) {
    QMessageBox::critical(nullptr, "OpenGL Error",
                          QString::fromStdString(TOGL::ContextErrorText(code)));
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [code] { QCoreApplication::exit(code); }, Qt::QueuedConnection);
}

} // namespace

TOGL::TOGL()
    : ViewportWidth(Width), ViewportHeight(Height), FieldOfView(FieldOfViewFor(5000, 5000)),
      SkyBox(std::make_unique<TSkyBox>(*this)) {
    ErrorHandler = DefaultErrorReport;
    Textures.MakeCurrent = [this] { return EnsureCurrent(); };
}

TOGL::~TOGL() {
    DestroyContext();
    SkyBox.reset();
}

std::string TOGL::ContextErrorText(int code) {
    switch (code) {
    case -1:
        return "The device-context could not be determined";
    case -2:
        return "The pixel-format could not be determined.";
    case -3:
        return "The pixel-format could not be set.";
    case -4:
        return "The render-context could not be made.";
    case -5:
        return "The render-context could not be made current.";
    default:
        return "OpenGL Error";
    }
}

void TOGL::ReportError(int code) {
    if (ErrorHandler)
        ErrorHandler(code);
}

bool TOGL::IsActive() {
    Active = Surface && Surface->HasContext();
    return Active;
}

void TOGL::CreateContext(IGLSurface* surface) {
    if (IsActive() || surface == nullptr)
        return;
    Surface = surface;
    surface->Attach(this);
    Width = surface->PixelWidth();
    Height = surface->PixelHeight();
    if (surface->HasContext())
        ContextReady();
}

void TOGL::ContextReady() {
    if (!Surface)
        return;
    if (!Surface->HasContext()) {
        ReportError(-4);
        return;
    }
    if (!MakeCurrent())
        return;
    LoadEntryPoints();
    SetupState();
    if (OnContextReady)
        OnContextReady();
}

void TOGL::DestroyContext() {
    if (IsActive() && EnsureCurrent()) {
        SkyBox->Release();
        Textures.ReleaseAll();
        Fonts.Clear();
        Surface->DoneCurrent();
    }
    if (Surface)
        Surface->Attach(nullptr);
    SurfaceDestroyed();
}

void TOGL::SurfaceDestroyed() {
    Surface = nullptr;
    Active = false;
    ActiveTextureFn = nullptr;
    MultiTexCoordFn = nullptr;
}

bool TOGL::EnsureCurrent() {
    return Surface && Surface->HasContext() && Surface->MakeCurrent();
}

bool TOGL::MakeCurrent() {
    if (EnsureCurrent())
        return true;
    ReportError(-5);
    return false;
}

bool TOGL::Present() {
    if (!IsActive())
        return false;
    Surface->ShowFrame();
    return true;
}

bool TOGL::HasExtension(const std::string& name) const {
    const auto* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return list != nullptr && std::strstr(list, name.c_str()) != nullptr;
}

void TOGL::LoadEntryPoints() {
    ActiveTextureFn = nullptr;
    MultiTexCoordFn = nullptr;
    if (!HasExtension("GL_ARB_multitexture"))
        return;
    auto find = [&](const char* name, const char* alternative) {
        IGLSurface::TProcAddress fn = Surface->ProcAddress(name);
        return fn ? fn : Surface->ProcAddress(alternative);
    };
    ActiveTextureFn =
        reinterpret_cast<ActiveTextureProc>(find("glActiveTextureARB", "glActiveTexture"));
    MultiTexCoordFn =
        reinterpret_cast<MultiTexCoordProc>(find("glMultiTexCoord2fARB", "glMultiTexCoord2f"));
    if (!ActiveTextureFn || !MultiTexCoordFn) {
        ActiveTextureFn = nullptr;
        MultiTexCoordFn = nullptr;
    }
}

void TOGL::SetVSync(bool on) {
    // Qt draws the panel into a framebuffer object and composes it into the window, so the
    // swap interval is the one the surface format asked for; there is no swap of our own to
    // time, and the GLX swap-control call would retime Qt's composition instead.
    SwapInterval = on ? 1 : 0;
}

int TOGL::QueryTextureUnits() {
    if (!IsActive())
        return -1;
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
    TextureUnits = units;
    return TextureUnits;
}

void TOGL::SelectUnit(int unit) const {
    if (ActiveTextureFn)
        ActiveTextureFn(GL_TEXTURE0_ARB + unit);
}

void TOGL::TexCoord(int unit, float s, float t) const {
    if (MultiTexCoordFn)
        MultiTexCoordFn(GL_TEXTURE0_ARB + unit, s, t);
    else if (unit == 0)
        glTexCoord2f(s, t);
}

void TOGL::SetupState() {
    SetVSync(SwapInterval != 0);
    QueryTextureUnits();
    ApplyProjection();
    glDisable(GL_FOG);
    Fonts.AddFont(false, 14, "Courier New");
    Fonts.AddFont(false, 12, "Arial");
    glDepthFunc(GL_LESS);
    glDepthRange(0, 1);
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT, GL_FILL);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glClearDepth(1);
    glClearColor(0, 0, 0, 0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    // The panel's framebuffer object has a single colour attachment: choosing the front and
    // back buffers would be an error there, and one clear covers it.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glDisable(GL_NORMALIZE);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_DITHER);
    glDisable(GL_BLEND);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    Present();
}

void TOGL::Resize(int width, int height) {
    if (width == ViewportWidth && height == ViewportHeight)
        return;
    ViewportWidth = Width = width;
    ViewportHeight = Height = height;
    if (IsActive() && EnsureCurrent())
        ApplyProjection();
}

void TOGL::ApplyProjection() {
    if (!IsActive())
        return;
    glViewport(0, 0, ViewportWidth, ViewportHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double aspect = ViewportHeight > 0 ? double(ViewportWidth) / ViewportHeight : 1.0;
    gluPerspective(FieldOfView, aspect, NearPlane, FarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    OverlayMode = false;
}

void TOGL::Enter2D() {
    if (!IsActive())
        return;
    glViewport(0, 0, ViewportWidth, ViewportHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, ViewportWidth, 0, ViewportHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    OverlayMode = true;
}

void TOGL::PushMatrices() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
}

void TOGL::PopMatrices() {
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
}

namespace {

void ColourOf(uint32_t colour) {
    glColor3f((colour & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f,
              ((colour >> 16) & 0xFF) / 255.0f);
}

} // namespace

void TOGL::DrawGradient(int left, int top, int right, int bottom, uint32_t topColour,
                        uint32_t bottomColour) {
    if (!IsActive())
        return;
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    PushMatrices();
    if (!OverlayMode)
        Enter2D();
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT, GL_FILL);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const int h = ViewportHeight;
    glBegin(GL_QUADS);
    ColourOf(bottomColour);
    glVertex2i(left, h - bottom);
    ColourOf(topColour);
    glVertex2i(left, h - top);
    glVertex2i(right, h - top);
    ColourOf(bottomColour);
    glVertex2i(right, h - bottom);
    glEnd();
    PopMatrices();
}

void TOGL::UpdateFrustum() {
    float modelview[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    Frustum.Update(modelview, projection);
}

} // namespace quillon
