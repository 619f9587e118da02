#include "ViewNavigation.h"

#include "core/MD3.h"
#include "skeletal/Pose.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace quillon {

void TBounds::Add(TVector p) {
    Min = {std::min(Min.x, p.x), std::min(Min.y, p.y), std::min(Min.z, p.z)};
    Max = {std::max(Max.x, p.x), std::max(Max.y, p.y), std::max(Max.z, p.z)};
    Empty = false;
}

void TViewNavigation::MouseMove(const TMouseButtons& buttons, int x, int y,
                                const TViewOptions& options) {
    if (!Enabled(options))
        return;
    State.MouseDX = (x - State.LastMouseX) * 2 * Camera.HorizontalFactor;
    State.MouseDY = (y - State.LastMouseY) * 2 * Camera.VerticalFactor;
    const float dx = State.MouseDX, dy = State.MouseDY;
    if (buttons.Left && buttons.Shift) {
        const TVector side = VectorSub(Camera.SideOffset(-dx), Camera.Position);
        const TVector up = VectorSub(Camera.UpOffset(-dy), Camera.Position);
        State.PanOffset = VectorAdd(State.PanOffset, VectorAdd(side, up));
    } else if (buttons.Left && buttons.Ctrl) {
        Camera.Orbit({dy, dx, 0});
    } else if (buttons.Left) {
        State.ModelRotation = VectorAdd(State.ModelRotation, {dy, dx, 0});
        Camera.Target = VectorZero();
    } else if (buttons.Right) {
        State.ModelRotation = VectorAdd(State.ModelRotation, {0, dx, -dy});
        Camera.Target = VectorZero();
    }
    State.LastMouseX = x;
    State.LastMouseY = y;
}

bool TViewNavigation::Wheel(bool towardsUser, bool pointerInPanel, const TViewOptions& options) {
    if (!pointerInPanel || !Enabled(options))
        return false;
    if (towardsUser && State.CameraDistance < FarthestDistance)
        State.CameraDistance += WheelStep;
    else if (!towardsUser && State.CameraDistance >= NearestDistance)
        State.CameraDistance -= WheelStep;
    else
        return false;
    PlaceCameraAtDistance();
    return true;
}

void TViewNavigation::PlaceCameraAtDistance() {
    Camera.Position = {0, 0, static_cast<float>(State.CameraDistance)};
}

int TViewNavigation::FitDistance(float size) {
    const double distance = std::tan(60.0 * M_PI / 180.0 / 2.0) * 2.0 * size;
    // Rounded to the nearest, halves to even (the default rounding mode).
    return static_cast<int>(std::clamp(std::nearbyint(distance), 0.0, double(INT_MAX)));
}

std::optional<TBounds> TViewNavigation::MD3Bounds(const TMD3& model) {
    if (model.Header.numFrames < 1)
        return std::nullopt;
    TBounds bounds;
    for (const TSurface& surface : model.Header.Surfaces) {
        const size_t count = std::min<size_t>(surface.numVerts, surface.Vertices.size());
        for (size_t v = 0; v < count; ++v)
            bounds.Add(TMD3::VertexPosition(surface.Vertices[v]));
    }
    if (bounds.Empty)
        return std::nullopt;
    return bounds;
}

std::optional<TBounds> TViewNavigation::SkeletalBounds(TMDM& mesh, const TMDX& animation) {
    if (!PoseSkeleton(mesh, animation, 0))
        return std::nullopt;
    TBounds bounds;
    for (int s = 0; s < static_cast<int>(mesh.Surfaces.size()); ++s) {
        PoseSurface(mesh, s);
        for (const TVector& p : mesh.PosedPositions)
            bounds.Add(p);
    }
    if (bounds.Empty)
        return std::nullopt;
    return bounds;
}

void TViewNavigation::ResetAndFit(const TViewOptions& options, bool contextActive,
                                  const std::optional<TBounds>& bounds) {
    if (options.LockView)
        return;
    State.ModelRotation = {90, 0, 0};
    State.PanOffset = VectorZero();
    State.PivotOffset = VectorZero();
    if (contextActive)
        Camera.Target = VectorZero();
    // A model without vertices has no box to fit: its extents would be the sentinels' span.
    if (!bounds || bounds->Empty)
        return;
    const TVector e = VectorSub(bounds->Max, bounds->Min);
    float size = e.x;
    if (e.y > size)
        size = e.y;
    if (e.z > size)
        size = e.z;
    const TVector centre = VectorAdd(bounds->Min, VectorScale(e, 0.5f));
    State.PivotOffset = VectorNegate(centre);
    State.ModelRotation = VectorZero();
    State.PanOffset = VectorZero();
    State.CameraDistance = FitDistance(size);
    PlaceCameraAtDistance();
}

} // namespace quillon
