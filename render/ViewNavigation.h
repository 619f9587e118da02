// Mouse navigation of the 3D view and the reset-and-fit. Dragging with the left button turns
// the model (with Shift it pans, with Ctrl the camera orbits), the right button turns it about
// the view axis, the wheel moves the camera in steps of 5, and the fit centres the frame-0
// bounding box and backs the camera off until the model fills the 60-degree view. Nothing moves
// while "Lock View" is ticked or another tab is showing. The handlers change the view state only;
// the caller redraws.
#pragma once

#include "Camera.h"
#include "ViewState.h"

#include <optional>

namespace quillon {

class TMD3;
class TMDM;
class TMDX;

struct TBounds {
    TVector Min{3.4e38f, 3.4e38f, 3.4e38f};
    TVector Max{-3.4e38f, -3.4e38f, -3.4e38f};
    bool Empty = true;
    void Add(TVector p);
};

struct TMouseButtons {
    bool Left = false;
    bool Right = false;
    bool Shift = false;
    bool Ctrl = false;
};

class TViewNavigation {
public:
    static constexpr int FarthestDistance = 5000;
    static constexpr int NearestDistance = 11; // a step from here would reach 6
    static constexpr int WheelStep = 5;

    TViewNavigation(TView3DState& state, TCamera& camera) : State(state), Camera(camera) {}

    void MouseMove(const TMouseButtons& buttons, int x, int y, const TViewOptions& options);
    // True when the turn changed the distance (the caller then redraws and accepts the event).
    bool Wheel(bool towardsUser, bool pointerInPanel, const TViewOptions& options);
    // The reset, then the fit to `bounds` when a model is loaded (bounds present).
    void ResetAndFit(const TViewOptions& options, bool contextActive,
                     const std::optional<TBounds>& bounds);

    // Frame-0 bounds of an MD3 model; none without frames or vertices.
    static std::optional<TBounds> MD3Bounds(const TMD3& model);
    // Bounds of a skeletal mesh posed in frame 0, surface by surface (the mesh keeps the last
    // surface posed); none without frames or vertices.
    static std::optional<TBounds> SkeletalBounds(TMDM& mesh, const TMDX& animation);
    static int FitDistance(float size);

private:
    bool Enabled(const TViewOptions& options) const {
        return options.ViewTabActive && !options.LockView;
    }
    void PlaceCameraAtDistance();

    TView3DState& State;
    TCamera& Camera;
};

} // namespace quillon
