// Ties the 3D view to the main window: puts the GL panel into the View tab, creates the context
// on it, loads the sky box once the context exists, draws frames from the window's state and
// turns the panel's mouse input into view navigation. The window's view state is kept in step
// with the view's own after every change.
#pragma once

#include "render/ViewState.h"

namespace quillon {

class TForm1;
class TGLView;
class TOGL;

class TViewBinding {
public:
    TViewBinding(TOGL& context, TForm1& form);

    // The frame as the window's state describes it; the panel's paint handler.
    void Draw();
    // Reset and fit (nothing while Lock View is ticked).
    void ResetAndFit();
    // The Surfaces tab's preview of a stage's texture (the panel grey for a stage without one).
    void ShowTexturePreview(int surface, int stage);

private:
    TViewOptions Options() const;
    void PullViewState();
    void PushViewState();
    void ContextReady();

    TOGL& Context;
    TForm1& Form;
    TGLView* View;
    TView3DState View3D;
};

} // namespace quillon
