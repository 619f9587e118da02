// One frame of the 3D view: the background (the sky colours' gradient, or the sky box drawn
// last), the camera and the two lights, the model transform of the view state, the pivot, the
// current model and the overlays, then the frame is presented. The window calls DrawView for
// everything that changes what is visible.
#pragma once

#include "ViewState.h"

namespace quillon {

class TOGL;
class TMD3;
class TMDM;
class TMDX;
class TShaders;

// The models a frame may show; any pointer may be null. A skeletal model (kinds 2 and 3) needs
// both its mesh and its animation; drawing poses the mesh, hence not const.
struct TScene {
    TMD3* MD3 = nullptr;
    TMDM* MDM = nullptr;
    const TMDX* MDX = nullptr;
    TShaders* Shaders = nullptr;
};

class TViewRenderer {
public:
    TViewRenderer(TOGL& context, TView3DState& state) : Context(context), State(state) {}

    void DrawView(const TScene& scene, const TViewOptions& options);
    // The model alone in the current transform, as the frame and the screenshot draw it.
    void DrawModel(const TScene& scene, const TViewOptions& options);
    void DrawMD3(const TMD3& model, TShaders* shaders, const TViewOptions& options);
    void DrawSkeletal(TMDM& mesh, const TMDX& animation, TShaders* shaders,
                      const TViewOptions& options);
    void ResetUnits();
    // The pivot offset the frame uses when "Center Model" is off.
    static TVector TagPivot(const TMD3& model, int pivotIndex, int frame);
    // Sets the state the frame starts from (also used by the screenshot's passes).
    void BeginFrameState();
    // Camera, lights and the model transform; leaves the model matrix pushed.
    void PlaceCameraAndModel(bool lightingOn);

private:
    bool CanDraw(const TViewOptions& options);
    void UpdatePivot(const TScene& scene, const TViewOptions& options);

    TOGL& Context;
    TView3DState& State;
};

} // namespace quillon
