// The tests' way into the main window: its state, its parts and its resolver, which the window
// keeps to itself. A copy of the window's pointers, taken when the accessor is made; the
// members are named as the window names them.
#pragma once

#include "app/Form1.h"

namespace quillon::test {

class TFormAccess {
public:
    explicit TFormAccess(TForm1& form);

    TWindowState& State;
    TSurfaceResolver& Resolver;
    TFileDialog& OpenDialog;
    TMainMenu* Menu;
    TSettingsBar* SettingsBar;
    QGroupBox* gbModel;
    QTabWidget* pcTabs;
    TGeneralTab* tabGeneral;
    TAnimationTab* tabAnimation;
    TTagsTab* tabTags;
    TSurfacesTab* tabSurfaces;
    TBonesTab* tabBones;
    TViewTab* tabView;
    TPlaybackControls* Playback;
};

} // namespace quillon::test
