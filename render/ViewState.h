// What the window tells the 3D view: the view state that the mouse navigation and the fit change
// (camera distance, model rotation, pan and pivot offsets), and the switches and colours that a
// frame is drawn with. The window owns both; the view only reads the options.
#pragma once

#include "core/VectorMath.h"
#include "gamedata/ModelKind.h"

#include <cstdint>

namespace quillon {

struct TView3DState {
    int CameraDistance = 500;
    TVector ModelRotation; // degrees about X, then Y, then Z
    TVector PanOffset;     // applied before the rotation
    TVector PivotOffset;   // applied after it: centres the model or a tag
    int LastMouseX = 0;
    int LastMouseY = 0;
    float MouseDX = 0;
    float MouseDY = 0;
    int TextureUnitCount = 0; // copied from the context once it exists
};

inline constexpr uint32_t DefaultGradientTop = 13339492;    // red 100, green 139, blue 203
inline constexpr uint32_t DefaultGradientBottom = 15780518; // red 166, green 202, blue 240

struct TViewOptions {
    TModelKind ModelKind = TModelKind::None;
    int CurrentFrame = 0;
    bool ViewTabActive = true;
    bool Busy = false; // a command is rebuilding the model: draw nothing
    bool ShowTags = true;
    bool ShowSkeleton = true;
    bool ShowNormals = false;
    bool Lighting = true;
    bool CenterModel = true;
    bool LockView = false;
    bool LODEnabled = false;
    int PivotIndex = -1; // selected entry of the pivot list; the last entry is "origin"
    // The user's choice; the sky box is shown only when its images loaded as well.
    bool SkyBoxEnabled = true;
    uint32_t SkyColorTop = DefaultGradientTop;
    uint32_t SkyColorBottom = DefaultGradientBottom;
};

} // namespace quillon
