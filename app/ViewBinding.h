// Ties the 3D view to the main window: puts the GL panel into the View tab, creates the context
// on it, loads the sky box once the context exists, draws frames from the window's view state
// and options, and turns the panel's mouse input into view navigation on that same state.
//
// A reset and fit asked for before the panel has its context and its size (a model opened from
// the command line, or while the View tab is hidden behind Help) waits until the panel is sized,
// so the camera is placed in the context that draws it.
#pragma once

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

private:
    void ContextReady();
    void Resized();

    TOGL& Context;
    TForm1& Form;
    TGLView* View;
    bool FitPending = false;
};

} // namespace quillon
