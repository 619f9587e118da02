#include "ViewRenderer.h"

#include "Lighting.h"
#include "MD3Drawer.h"
#include "OGL.h"
#include "SkeletalDrawer.h"
#include "SkyBox.h"
#include "SurfacePasses.h"
#include "core/MD3.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace quillon {

bool TViewRenderer::CanDraw(const TViewOptions& options) {
    return options.ViewTabActive && Context.IsActive() && !options.Busy;
}

void TViewRenderer::BeginFrameState() {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
}

void TViewRenderer::PlaceCameraAndModel(bool lightingOn) {
    const TCamera& camera = Context.Camera;
    glLoadIdentity();
    gluLookAt(camera.Position.x, camera.Position.y, camera.Position.z, camera.Target.x,
              camera.Target.y, camera.Target.z, camera.Up.x, camera.Up.y, camera.Up.z);
    Context.UpdateFrustum();
    glPushMatrix();
    glPushMatrix();
    glLoadIdentity();
    SetupLighting(lightingOn);
    glPopMatrix();
    const GLfloat nearViewer[4] = {0, 0, 2000, 1};
    glLightfv(GL_LIGHT1, GL_POSITION, nearViewer);
    const TVector pan = State.PanOffset, rotation = State.ModelRotation;
    glTranslatef(pan.x, pan.y, pan.z);
    glRotatef(rotation.x, 1, 0, 0);
    glRotatef(rotation.y, 0, 1, 0);
    glRotatef(rotation.z, 0, 0, 1);
}

void TViewRenderer::DrawView(const TScene& scene, const TViewOptions& options) {
    if (!CanDraw(options) || !Context.MakeCurrent())
        return;
    BeginFrameState();
    const bool sky = Context.SkyBox->IsShown();
    if (!sky) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Context.DrawGradient(0, 0, Context.ViewportWidth, Context.ViewportHeight,
                             options.SkyColorTop, options.SkyColorBottom);
        Context.ApplyProjection();
    } else {
        glClear(GL_DEPTH_BUFFER_BIT);
    }
    PlaceCameraAndModel(options.Lighting);
    UpdatePivot(scene, options);
    const TVector pivot = State.PivotOffset;
    glTranslatef(pivot.x, pivot.y, pivot.z);
    DrawModel(scene, options);
    glPopMatrix();
    if (sky)
        Context.SkyBox->Draw(Context.Camera);
    glFlush();
    Context.Present();
}

void TViewRenderer::DrawModel(const TScene& scene, const TViewOptions& options) {
    if (options.ModelKind == TModelKind::MD3 && scene.MD3) {
        DrawMD3(*scene.MD3, scene.Shaders, options);
    } else if (IsSkeletal(options.ModelKind) && scene.MDM && scene.MDX) {
        DrawSkeletal(*scene.MDM, *scene.MDX, scene.Shaders, options);
    }
}

void TViewRenderer::DrawMD3(const TMD3& model, TShaders* shaders, const TViewOptions& options) {
    if (!CanDraw(options))
        return;
    TSurfacePasses passes(Context, State.TextureUnitCount);
    TMD3Drawer(passes).Draw(model, shaders, options);
}

void TViewRenderer::DrawSkeletal(TMDM& mesh, const TMDX& animation, TShaders* shaders,
                                 const TViewOptions& options) {
    if (!CanDraw(options))
        return;
    TSurfacePasses passes(Context, State.TextureUnitCount);
    TSkeletalDrawer(passes).Draw(mesh, animation, shaders, options);
}

void TViewRenderer::ResetUnits() {
    TSurfacePasses(Context, State.TextureUnitCount).ResetUnits();
}

TVector TViewRenderer::TagPivot(const TMD3& model, int pivotIndex, int frame) {
    const uint32_t tags = model.Header.numTags;
    if (pivotIndex < 0 || static_cast<uint32_t>(pivotIndex) >= tags ||
        !TMD3Drawer::TagFrameValid(model, frame))
        return VectorZero();
    return VectorNegate(model.Header.Tags[size_t(tags) * frame + pivotIndex].origin);
}

void TViewRenderer::UpdatePivot(const TScene& scene, const TViewOptions& options) {
    if (options.CenterModel)
        return; // the fit has centred the model's bounding box
    if (options.ModelKind == TModelKind::MD3 && scene.MD3)
        State.PivotOffset = TagPivot(*scene.MD3, options.PivotIndex, options.CurrentFrame);
    else if (IsSkeletal(options.ModelKind) && scene.MDM && scene.MDX)
        State.PivotOffset = TSkeletalDrawer::Pivot(*scene.MDM, *scene.MDX, options.PivotIndex,
                                                   options.CurrentFrame);
}

} // namespace quillon
