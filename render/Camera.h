// The view camera: an eye point, the point it looks at and an up direction, plus the factors
// that turn mouse movement into view movement. The camera lives in the view's own frame (y up);
// the model is turned into it by the model rotation of the view state.
#pragma once

#include "core/VectorMath.h"

namespace quillon {

class TCamera {
public:
    TCamera() { Reset(); }

    void Reset();
    void Place(TVector position, TVector target, TVector up, float horizontalFactor,
               float verticalFactor);
    // Unit vector from the position to the target; zero when they coincide.
    TVector ViewDirection() const;
    // Moves along the view direction (only its horizontal part unless free move is on) and keeps
    // the target one unit ahead.
    void MoveForward(float distance);
    TVector SideOffset(float amount) const;
    TVector UpOffset(float amount) const;
    // Turns the position about the target by angles in degrees about X, then Y, then Z.
    void Orbit(TVector angles);

    TVector Position;
    TVector Target;
    TVector Up;
    float HorizontalFactor = 0.1f;
    float VerticalFactor = 0.5f;
    bool FreeMove = true;
};

} // namespace quillon
