#include "Camera.h"

namespace quillon {

void TCamera::Reset() {
    Place({0, 1, 0}, {0, 1, 1}, {0, 1, 0}, 0.1f, 0.5f);
}

void TCamera::Place(TVector position, TVector target, TVector up, float horizontalFactor,
                    float verticalFactor) {
    Position = position;
    Target = target;
    Up = up;
    HorizontalFactor = horizontalFactor;
    VerticalFactor = verticalFactor;
}

TVector TCamera::ViewDirection() const {
    return VectorNormalize(VectorSub(Target, Position));
}

void TCamera::MoveForward(float distance) {
    const TVector d = ViewDirection();
    const TVector step = FreeMove ? d : TVector{d.x, 0, d.z};
    Position = VectorAdd(Position, VectorScale(step, distance));
    Target = VectorAdd(Position, d);
}

TVector TCamera::SideOffset(float amount) const {
    return VectorAdd(Position, VectorScale(VectorCross(Up, ViewDirection()), amount));
}

TVector TCamera::UpOffset(float amount) const {
    const TVector d = ViewDirection();
    return VectorAdd(Position, VectorScale(VectorCross(d, VectorCross(Up, d)), amount));
}

void TCamera::Orbit(TVector angles) {
    Position = VectorAdd(Target, RotateAbout(VectorSub(Position, Target), VectorZero(), angles));
}

} // namespace quillon
