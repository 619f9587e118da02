// The animation group of the View tab: start, end and current frame sliders with their number
// labels (double-click to type a frame), the named animations of a skeletal model, Play, Loop
// and the rate field driving the playback timer. Every tick advances the window's current
// frame while Play is ticked and asks for a redraw in any case, so the view refreshes at the
// timer rate.
#pragma once

#include <QGroupBox>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QSpinBox;
class QTimer;

namespace quillon {

class IDialogs;
class TClickableLabel;
class TFrameSlider;

struct TAnimationRange {
    std::string Name;
    int FirstFrame = 0;
    int NumFrames = 0;
    int Rate = 20;
};

class TPlaybackControls : public QGroupBox {
    Q_OBJECT
public:
    TPlaybackControls(int& currentFrame, IDialogs& dialogs, QWidget* parent = nullptr);

    // For a model with `frameCount` frames: the whole range, frame 0, enabled only when there
    // is something to play.
    void Reset(int frameCount);
    void Tick();
    void SetAnimations(const std::vector<TAnimationRange>& animations);
    void ChooseAnimation(int index);

    int StartFrame() const;
    int EndFrame() const;
    int TimerInterval() const;

    TFrameSlider* tbStartFrame;
    TFrameSlider* tbEndFrame;
    TFrameSlider* tbCurrentFrame;
    TClickableLabel* lStartFrame;
    TClickableLabel* lEndFrame;
    TClickableLabel* lCurrentFrame;
    QComboBox* cbAnimName;
    QCheckBox* cbPlay;
    QCheckBox* cbLoop;
    QSpinBox* eFPS;
    QTimer* TimerFPS;

signals:
    void redrawRequested();
    void playClicked();

private:
    void BuildLayout();
    void Connect();
    void StartMoved(int value);
    void EndMoved(int value);
    void CurrentMoved(int value);
    void RateChanged(int rate);
    void PromptFrame(const char* title, TFrameSlider* slider);
    void ShowCurrentFrame();

    int& CurrentFrame;
    IDialogs& Dialogs;
    std::vector<TAnimationRange> Animations;
    bool ChoosingAnimation = false;
};

} // namespace quillon
