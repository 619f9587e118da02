#include "GLView.h"

#include "OGL.h"

#include <QMouseEvent>
#include <QWheelEvent>

namespace quillon {

TGLView::TGLView(QWidget* parent) : QOpenGLWidget(parent) {
    setFormat(RequestedFormat());
    // Frames are drawn outside paintGL; the framebuffer must keep them until Qt composes it.
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    setMouseTracking(true);
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
