#include "ViewBinding.h"

#include "Form1.h"
#include "render/GLView.h"
#include "render/OGL.h"
#include "render/OffscreenSurface.h"
#include "render/Screenshot.h"
#include "render/SkyBox.h"
#include "render/TexturePreview.h"
#include "render/ViewNavigation.h"
#include "render/ViewRenderer.h"

#include <QMouseEvent>
#include <QWheelEvent>

namespace quillon {

TViewBinding::TViewBinding(TOGL& context, TForm1& form)
    : Context(context), Form(form), View(new TGLView) {
    ConnectForm();
    ConnectPanel();
    Context.CreateContext(View);
}

TViewBinding::TViewBinding(TOGL& context, TForm1& form, TOffscreenSurface& surface)
    : Context(context), Form(form) {
    ConnectForm();
    Context.CreateContext(&surface);
    if (!surface.Create())
        Context.DestroyContext();
}

void TViewBinding::ConnectForm() {
    for (const std::string& folder : Form.TextureSearchFolders())
        Context.Textures.AddSearchFolder(folder);
    Context.Camera.Reset();
    Context.Camera.FreeMove = false;
    Context.OnContextReady = [this] { ContextReady(); };
    Form.ResetViewHook = [this] { ResetAndFit(); };
    Form.TexturePreviewHook = [this](uint32_t texture, bool showAlpha, QSize emptySize) {
        return ShowTexturePreview(Context, texture, showAlpha, emptySize);
    };
    Form.ScreenshotHook = [this] {
        auto picture = Picture(Form.ViewOptions(), true);
        Draw(); // the frame the window shows again
        return picture;
    };
}

void TViewBinding::ConnectPanel() {
    View->PaintHandler = [this] { Draw(); };
    View->ResizeHandler = [this] { Resized(); };
    View->MouseMoveHandler = [this](QMouseEvent* event) {
        const auto modifiers = event->modifiers();
        const TMouseButtons buttons{
            event->buttons().testFlag(Qt::LeftButton), event->buttons().testFlag(Qt::RightButton),
            modifiers.testFlag(Qt::ShiftModifier), modifiers.testFlag(Qt::ControlModifier)};
        TViewNavigation(Form.ViewState(), Context.Camera)
            .MouseMove(buttons, static_cast<int>(event->position().x()),
                       static_cast<int>(event->position().y()), Form.ViewOptions());
    };
    View->DoubleClickHandler = [this](QMouseEvent*) {
        ResetAndFit();
        Form.DrawView();
    };
    View->WheelHandler = [this](QWheelEvent* event) {
        const int delta = event->angleDelta().y();
        const bool changed = delta != 0 && TViewNavigation(Form.ViewState(), Context.Camera)
                                               .Wheel(delta < 0, true, Form.ViewOptions());
        if (changed) {
            event->accept();
            Form.DrawView();
        } else {
            event->ignore();
        }
    };
    Form.AttachView(View);
}

void TViewBinding::ContextReady() {
    TView3DState& state = Form.ViewState();
    state.TextureUnitCount = Context.TextureUnits;
    Context.Camera.Position = {0, 0, static_cast<float>(state.CameraDistance)};
    Context.Camera.MoveForward(0.00001f);
    // Without its images the sky box stays hidden; the view is drawn without it.
    (void)Context.SkyBox->Load("sky");
}

void TViewBinding::Resized() {
    if (!FitPending)
        return;
    ResetAndFit();
    Form.DrawView();
}

TScene TViewBinding::Scene(const TViewOptions& options) {
    // With the sky images missing the gradient stays: an uncleared background is no use.
    Context.SkyBox->SetShown(options.SkyBoxEnabled && Context.SkyBox->DisplayList() != 0);
    TScene scene;
    TProgramInstances& models = Form.Instances();
    scene.MD3 = &models.MD3;
    scene.MDM = &models.MDM;
    scene.MDX = &models.MDX;
    scene.Shaders = &models.Shaders;
    return scene;
}

void TViewBinding::Draw() {
    const TViewOptions options = Form.ViewOptions();
    TViewRenderer(Context, Form.ViewState()).DrawView(Scene(options), options);
}

std::optional<TViewImage> TViewBinding::Picture(const TViewOptions& options, bool withMask) {
    TScreenshot screenshot(Context, Form.ViewState());
    const TScene scene = Scene(options);
    return withMask ? screenshot.Take(scene, options) : screenshot.TakeView(scene, options);
}

void TViewBinding::ResetAndFit() {
    FitPending = !Context.IsActive() || Context.ViewportWidth == 0;
    if (FitPending)
        return;
    const TViewOptions options = Form.ViewOptions();
    std::optional<TBounds> bounds;
    TProgramInstances& models = Form.Instances();
    if (options.ModelKind == TModelKind::MD3)
        bounds = TViewNavigation::MD3Bounds(models.MD3);
    else if (IsSkeletal(options.ModelKind))
        bounds = TViewNavigation::SkeletalBounds(models.MDM, models.MDX);
    TViewNavigation(Form.ViewState(), Context.Camera).ResetAndFit(options, true, bounds);
}

} // namespace quillon
