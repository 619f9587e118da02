// Ties the 3D view to the main window: puts the GL panel into the View tab, creates the context
// on it, loads the sky box once the context exists, draws frames from the window's view state
// and options, and turns the panel's mouse input into view navigation on that same state. Bound
// to an offscreen surface instead, it draws the same frames for pictures made without a window.
//
// A reset and fit asked for before the panel has its context and its size (a model opened from
// the command line before the window is shown and laid out) waits until the panel is sized, so
// the camera is placed once, in the context that draws it, and not moved again by its set-up.
#pragma once

#include "render/ViewImage.h"
#include "render/ViewState.h"

#include <optional>

namespace quillon {

class TForm1;
class TGLView;
class TOffscreenSurface;
class TOGL;
struct TScene;

class TViewBinding {
public:
    // On a new panel in the window's View tab.
    TViewBinding(TOGL& context, TForm1& form);
    // On `surface`, whose context is created here; Context.IsActive() tells whether it was.
    TViewBinding(TOGL& context, TForm1& form, TOffscreenSurface& surface);

    // The frame as the window's state describes it; the panel's paint handler.
    void Draw();
    // Reset and fit (nothing while Lock View is ticked).
    void ResetAndFit();
    // The screenshot's picture (`withMask`: the model over black with its mask as alpha) or the
    // frame as drawn with `options`; none when the view cannot draw.
    std::optional<TViewImage> Picture(const TViewOptions& options, bool withMask);

private:
    void ConnectForm();
    void ConnectPanel();
    void ContextReady();
    void Resized();
    // The models of the frame, with the sky box shown as `options` ask when its images loaded.
    TScene Scene(const TViewOptions& options);

    TOGL& Context;
    TForm1& Form;
    TGLView* View = nullptr;
    bool FitPending = false;
};

} // namespace quillon
