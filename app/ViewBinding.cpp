#include "ViewBinding.h"

#include "Form1.h"
#include "SettingsBar.h"
#include "SurfacesTab.h"
#include "ViewTab.h"
#include "render/GLView.h"
#include "render/OGL.h"
#include "render/SkyBox.h"
#include "render/TexturePreview.h"
#include "render/ViewNavigation.h"
#include "render/ViewRenderer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTabWidget>
#include <QWheelEvent>

#include <cmath>

namespace quillon {

TViewBinding::TViewBinding(TOGL& context, TForm1& form)
    : Context(context), Form(form), View(new TGLView) {
    for (const std::string& folder : Form.State.TextureSearchFolders)
        Context.Textures.AddSearchFolder(folder);
    Context.Camera.Reset();
    Context.Camera.FreeMove = false;
    Context.OnContextReady = [this] { ContextReady(); };
    View->PaintHandler = [this] { Draw(); };
    View->MouseMoveHandler = [this](QMouseEvent* event) {
        const auto modifiers = event->modifiers();
        const TMouseButtons buttons{
            event->buttons().testFlag(Qt::LeftButton), event->buttons().testFlag(Qt::RightButton),
            modifiers.testFlag(Qt::ShiftModifier), modifiers.testFlag(Qt::ControlModifier)};
        PullViewState();
        TViewNavigation(View3D, Context.Camera)
            .MouseMove(buttons, static_cast<int>(event->position().x()),
                       static_cast<int>(event->position().y()), Options());
        PushViewState();
    };
    View->DoubleClickHandler = [this](QMouseEvent*) {
        ResetAndFit();
        Form.DrawView();
    };
    View->WheelHandler = [this](QWheelEvent* event) {
        const int delta = event->angleDelta().y();
        PullViewState();
        const bool changed =
            delta != 0 && TViewNavigation(View3D, Context.Camera).Wheel(delta < 0, true, Options());
        PushViewState();
        if (changed) {
            event->accept();
            Form.DrawView();
        } else {
            event->ignore();
        }
    };
    Form.AttachView(View);
    Form.ResetViewHook = [this] { ResetAndFit(); };
    Form.TexturePreviewHook = [this](int surface, int stage) {
        ShowTexturePreview(surface, stage);
    };
    Context.CreateContext(View);
}

void TViewBinding::ContextReady() {
    PullViewState();
    View3D.TextureUnitCount = Context.TextureUnits;
    Context.Camera.Position = {0, 0, static_cast<float>(View3D.CameraDistance)};
    Context.Camera.MoveForward(0.00001f);
    // Without its images the sky box stays hidden; the view is drawn without it.
    (void)Context.SkyBox->Load("sky");
}

void TViewBinding::PullViewState() {
    const TViewState& v = Form.State.View;
    View3D.CameraDistance = static_cast<int>(std::lround(v.CameraDistance));
    View3D.ModelRotation = v.ModelRotation;
    View3D.PanOffset = v.Pan;
    View3D.PivotOffset = v.PivotOffset;
}

void TViewBinding::PushViewState() {
    TViewState& v = Form.State.View;
    v.CameraDistance = static_cast<float>(View3D.CameraDistance);
    v.ModelRotation = View3D.ModelRotation;
    v.Pan = View3D.PanOffset;
    v.PivotOffset = View3D.PivotOffset;
}

TViewOptions TViewBinding::Options() const {
    const TWindowState& state = Form.State;
    TViewOptions options;
    options.ModelKind = static_cast<int>(state.ModelKind);
    options.CurrentFrame = state.CurrentFrame;
    options.ViewTabActive = Form.pcTabs->currentWidget() == Form.tabView;
    options.Busy = state.Busy;
    options.ShowTags = state.Settings.ShowTags;
    options.ShowSkeleton = state.Settings.ShowSkeleton;
    options.ShowNormals = Form.SettingsBar->cbShowNormals->isChecked();
    options.Lighting = state.Settings.Lighting;
    options.CenterModel = state.Settings.CenterModel;
    options.LockView = Form.tabView->cbLockView->isChecked();
    options.PivotIndex = Form.tabView->cbTagPivots->currentIndex();
    options.SkyColorTop = state.Settings.ColorTop;
    options.SkyColorBottom = state.Settings.ColorBottom;
    return options;
}

void TViewBinding::Draw() {
    // With the sky images missing the gradient stays: an uncleared background is no use.
    Context.SkyBox->SetShown(Form.State.Settings.SkyBoxEnabled &&
                             Context.SkyBox->DisplayList() != 0);
    PullViewState();
    TScene scene;
    scene.MD3 = &Form.Instances.MD3;
    scene.Shaders = &Form.Instances.Shaders;
    TViewRenderer(Context, View3D).DrawView(scene, Options());
    PushViewState();
}

void TViewBinding::ResetAndFit() {
    PullViewState();
    const TViewOptions options = Options();
    std::optional<TBounds> bounds;
    if (options.ModelKind == 1)
        bounds = TViewNavigation::MD3Bounds(Form.Instances.MD3);
    TViewNavigation(View3D, Context.Camera).ResetAndFit(options, Context.IsActive(), bounds);
    PushViewState();
}

void TViewBinding::ShowTexturePreview(int surface, int stage) {
    const TShaders& shaders = Form.Instances.Shaders;
    const int index = SurfaceShaderIndex(Form.ModelRef(), surface);
    if (!shaders.Has(index) || stage < 0 ||
        static_cast<size_t>(stage) >= shaders.Shaders[index].Stages.size())
        return;
    const TShaderTexture& texture = shaders.Shaders[index].Stages[stage];
    const bool showAlpha = texture.HasAlpha && Form.State.Settings.AlphaTexturePreview;
    const auto image = quillon::ShowTexturePreview(Context, texture.TextureHandle, showAlpha,
                                                   Form.tabSurfaces->img3DView->size());
    if (image)
        Form.tabSurfaces->ShowPreview(QPixmap::fromImage(*image));
}

} // namespace quillon
