#include "GLView.h"

#include "OGL.h"

#include <QMouseEvent>
#include <QOpenGLContext>
#include <QWheelEvent>

namespace quillon {

TGLView::TGLView(QWidget* parent) : QOpenGLWidget(parent) {
    setFormat(RequestedFormat());
    // Frames are drawn outside paintGL; the framebuffer must keep them until Qt composes it.
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    setMouseTracking(true);
}

TGLView::~TGLView() {
    // The window may destroy the panel before the context object lets go of it.
    if (Owner)
        Owner->SurfaceDestroyed();
}

bool TGLView::HasContext() const {
    return GLReady && context() != nullptr && context()->isValid();
}

bool TGLView::MakeCurrent() {
    if (!context())
        return false;
    makeCurrent();
    return QOpenGLContext::currentContext() == context();
}

IGLSurface::TProcAddress TGLView::ProcAddress(const char* name) const {
    return context() ? context()->getProcAddress(name) : nullptr;
}

int TGLView::PixelWidth() const {
    return static_cast<int>(width() * devicePixelRatio());
}

int TGLView::PixelHeight() const {
    return static_cast<int>(height() * devicePixelRatio());
}

QSurfaceFormat TGLView::RequestedFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(0);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(0);
    format.setSwapInterval(1);
    return format;
}

void TGLView::ShowFrame() {
    if (Painting)
        return; // Qt composes the framebuffer right after paintGL anyway
    FrameFresh = true;
    update();
}

void TGLView::initializeGL() {
    GLReady = true;
    if (Owner)
        Owner->ContextReady();
}

void TGLView::resizeGL(int width, int height) {
    if (Owner)
        Owner->Resize(static_cast<int>(width * devicePixelRatio()),
                      static_cast<int>(height * devicePixelRatio()));
    FrameFresh = false; // the framebuffer was recreated empty
    if (ResizeHandler)
        ResizeHandler();
}

void TGLView::paintGL() {
    if (FrameFresh) {
        FrameFresh = false;
        return;
    }
    Painting = true;
    if (PaintHandler)
        PaintHandler();
    Painting = false;
}

void TGLView::mouseMoveEvent(QMouseEvent* event) {
    if (MouseMoveHandler)
        MouseMoveHandler(event);
}

void TGLView::mousePressEvent(QMouseEvent* event) {
    if (MousePressHandler)
        MousePressHandler(event);
}

void TGLView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (DoubleClickHandler)
        DoubleClickHandler(event);
}

void TGLView::wheelEvent(QWheelEvent* event) {
    if (WheelHandler)
        WheelHandler(event);
    else
        event->ignore();
}

} // namespace quillon
