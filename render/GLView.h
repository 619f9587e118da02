// The 3D view panel: a Qt OpenGL widget that hosts the context of TOGL. Qt renders the widget
// into a framebuffer object and composes it into the window, so a frame drawn at any time (a
// timer tick, a wheel turn) is shown by asking the widget to repaint; a repaint Qt asks for on
// its own (expose, resize) redraws through the paint handler. Mouse input goes to the handlers
// the window installs.
#pragma once

#include "GLSurface.h"

#include <QOpenGLWidget>

#include <functional>

namespace quillon {

class TOGL;

class TGLView : public QOpenGLWidget, public IGLSurface {
public:
    explicit TGLView(QWidget* parent = nullptr);
    ~TGLView() override;

    // The surface format every view asks for: compatibility profile (the drawing uses the
    // fixed-function pipeline), RGBA without alpha, 24 depth bits, double buffered.
    static QSurfaceFormat RequestedFormat();

    void Attach(TOGL* owner) override { Owner = owner; }
    // Qt creates the context when the panel is first shown.
    bool HasContext() const override;
    bool MakeCurrent() override;
    void DoneCurrent() override { doneCurrent(); }
    bool InPaint() const { return Painting; }
    // Called by TOGL::Present: show the frame just drawn into the framebuffer object.
    void ShowFrame() override;
    TProcAddress ProcAddress(const char* name) const override;
    int PixelWidth() const override;
    int PixelHeight() const override;

    std::function<void()> PaintHandler;
    // Runs after every resize of the panel, once the projection has the new size.
    std::function<void()> ResizeHandler;
    std::function<void(QMouseEvent*)> MouseMoveHandler;
    std::function<void(QMouseEvent*)> MousePressHandler;
    std::function<void(QMouseEvent*)> DoubleClickHandler;
    std::function<void(QWheelEvent*)> WheelHandler;

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    TOGL* Owner = nullptr;
    bool GLReady = false;
    bool Painting = false;
    bool FrameFresh = false; // the framebuffer holds a frame nobody has shown yet
};

} // namespace quillon
