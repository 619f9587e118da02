#include "PlaybackControls.h"

#include "ClickableLabel.h"
#include "Dialogs.h"
#include "FormatNumbers.h"
#include "FrameSlider.h"
#include "PlaybackRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>

namespace quillon {

namespace {
constexpr int InitialRate = 20;
constexpr int MaximumRate = 125;

QLabel* Caption(const char* text, QWidget* parent) {
    return new QLabel(QString::fromUtf8(text), parent);
}
} // namespace

TPlaybackControls::TPlaybackControls(int& currentFrame, IDialogs& dialogs, QWidget* parent)
    : QGroupBox(QStringLiteral("Animation"), parent), tbStartFrame(new TFrameSlider(this)),
      tbEndFrame(new TFrameSlider(this)), tbCurrentFrame(new TFrameSlider(this)),
      lStartFrame(new TClickableLabel(QStringLiteral("0"), this)),
      lEndFrame(new TClickableLabel(QStringLiteral("0"), this)),
      lCurrentFrame(new TClickableLabel(QStringLiteral("0"), this)),
      cbAnimName(new QComboBox(this)), cbPlay(new QCheckBox(QStringLiteral("Play"), this)),
      cbLoop(new QCheckBox(QStringLiteral("Loop"), this)), eFPS(new QSpinBox(this)),
      TimerFPS(new QTimer(this)), CurrentFrame(currentFrame), Dialogs(dialogs) {
    setObjectName("gbAnimation");
    tbStartFrame->setObjectName("tbStartFrame");
    tbEndFrame->setObjectName("tbEndFrame");
    tbCurrentFrame->setObjectName("tbCurrentFrame");
    lStartFrame->setObjectName("lStartFrame");
    lEndFrame->setObjectName("lEndFrame");
    lCurrentFrame->setObjectName("lCurrentFrame");
    cbAnimName->setObjectName("cbAnimName");
    cbPlay->setObjectName("cbPlay");
    cbLoop->setObjectName("cbLoop");
    eFPS->setObjectName("eFPS");
    TimerFPS->setObjectName("TimerFPS");

    cbPlay->setChecked(true);
    cbLoop->setChecked(true);
    eFPS->setRange(0, MaximumRate);
    eFPS->setValue(InitialRate);
    for (QLabel* label : {lStartFrame, lEndFrame, lCurrentFrame}) {
        label->setToolTip(QStringLiteral("Double-click to type a frame number"));
        label->setMinimumWidth(32);
    }
    BuildLayout();
    Connect();
    TimerFPS->start(TimerIntervalForRate(InitialRate));
    Reset(0);
}

void TPlaybackControls::BuildLayout() {
    auto* grid = new QGridLayout(this);
    grid->addWidget(Caption("Start Frame", this), 0, 0);
    grid->addWidget(tbStartFrame, 0, 1);
    grid->addWidget(lStartFrame, 0, 2);
    grid->addWidget(Caption("End Frame", this), 1, 0);
    grid->addWidget(tbEndFrame, 1, 1);
    grid->addWidget(lEndFrame, 1, 2);
    grid->addWidget(Caption("Current Frame", this), 2, 0);
    grid->addWidget(tbCurrentFrame, 2, 1);
    grid->addWidget(lCurrentFrame, 2, 2);
    grid->addWidget(Caption("Animation", this), 3, 0);
    grid->addWidget(cbAnimName, 3, 1, 1, 2);
    auto* row = new QHBoxLayout;
    row->addWidget(cbPlay);
    row->addWidget(cbLoop);
    row->addStretch();
    row->addWidget(Caption("Rate", this));
    row->addWidget(eFPS);
    row->addWidget(Caption("fps", this));
    grid->addLayout(row, 4, 0, 1, 3);
    grid->setColumnStretch(1, 1);
}

void TPlaybackControls::Connect() {
    connect(tbStartFrame, &QSlider::valueChanged, this, &TPlaybackControls::StartMoved);
    connect(tbEndFrame, &QSlider::valueChanged, this, &TPlaybackControls::EndMoved);
    connect(tbCurrentFrame, &QSlider::valueChanged, this, &TPlaybackControls::CurrentMoved);
    connect(eFPS, &QSpinBox::valueChanged, this, &TPlaybackControls::RateChanged);
    connect(TimerFPS, &QTimer::timeout, this, &TPlaybackControls::Tick);
    connect(cbPlay, &QCheckBox::clicked, this, &TPlaybackControls::playClicked);
    connect(lStartFrame, &TClickableLabel::doubleClicked, this,
            [this] { PromptFrame("Start Frame", tbStartFrame); });
    connect(lEndFrame, &TClickableLabel::doubleClicked, this,
            [this] { PromptFrame("End Frame", tbEndFrame); });
    connect(lCurrentFrame, &TClickableLabel::doubleClicked, this,
            [this] { PromptFrame("Current Frame", tbCurrentFrame); });
}

void TPlaybackControls::Reset(int frameCount) {
    const int last = frameCount > 0 ? frameCount - 1 : 0;
    setEnabled(frameCount > 1);
    for (TFrameSlider* slider : {tbStartFrame, tbEndFrame, tbCurrentFrame}) {
        const QSignalBlocker blocker(slider);
        slider->setRange(0, last);
    }
    CurrentFrame = 0;
    {
        const QSignalBlocker blocker(tbCurrentFrame);
        tbCurrentFrame->setValue(0);
    }
    tbStartFrame->setValue(0);
    tbEndFrame->setValue(last);
    StartMoved(0);
    EndMoved(last);
    ShowCurrentFrame();
}

void TPlaybackControls::Tick() {
    if (cbPlay->isChecked()) {
        CurrentFrame =
            NextPlaybackFrame(CurrentFrame, StartFrame(), EndFrame(), cbLoop->isChecked());
        ShowCurrentFrame();
    }
    emit redrawRequested();
}

void TPlaybackControls::SetAnimations(const std::vector<TAnimationRange>& animations) {
    Animations = animations;
    cbAnimName->clear();
    for (const TAnimationRange& animation : Animations)
        cbAnimName->addItem(QString::fromStdString(animation.Name));
    cbAnimName->setCurrentIndex(-1);
}

void TPlaybackControls::ChooseAnimation(int index) {
    if (index < 0 || static_cast<size_t>(index) >= Animations.size())
        return;
    const TAnimationRange& animation = Animations[index];
    ChoosingAnimation = true;
    tbStartFrame->setValue(animation.FirstFrame);
    tbEndFrame->setValue(animation.FirstFrame + animation.NumFrames - 1);
    ChoosingAnimation = false;
    eFPS->setValue(animation.Rate);
    CurrentFrame = StartFrame();
    ShowCurrentFrame();
}

int TPlaybackControls::StartFrame() const {
    return tbStartFrame->value();
}

int TPlaybackControls::EndFrame() const {
    return tbEndFrame->value();
}

int TPlaybackControls::TimerInterval() const {
    return TimerFPS->interval();
}

void TPlaybackControls::StartMoved(int value) {
    lStartFrame->setNum(value);
    tbCurrentFrame->SetSelection(value, tbCurrentFrame->SelectionEnd());
    if (!ChoosingAnimation)
        cbAnimName->setCurrentIndex(-1);
}

void TPlaybackControls::EndMoved(int value) {
    lEndFrame->setNum(value);
    tbCurrentFrame->SetSelection(tbCurrentFrame->SelectionStart(), value);
    if (!ChoosingAnimation)
        cbAnimName->setCurrentIndex(-1);
}

void TPlaybackControls::CurrentMoved(int value) {
    if (cbPlay->isChecked())
        return;
    CurrentFrame = value;
    lCurrentFrame->setNum(value);
    emit redrawRequested();
}

void TPlaybackControls::RateChanged(int rate) {
    if (rate <= 0) {
        Dialogs.ShowError("The playback rate must be a whole number from 1 to " +
                          std::to_string(MaximumRate) + " frames per second.");
        return;
    }
    TimerFPS->setInterval(TimerIntervalForRate(rate));
}

void TPlaybackControls::PromptFrame(const char* title, TFrameSlider* slider) {
    const auto text =
        Dialogs.InputQuery(title, "Enter the Frame #", std::to_string(slider->value()));
    if (!text)
        return;
    const auto frame = ParseInt(*text);
    if (!frame || *frame < slider->minimum() || *frame > slider->maximum())
        return;
    if (slider == tbCurrentFrame) {
        CurrentFrame = *frame;
        ShowCurrentFrame();
        emit redrawRequested();
    } else {
        slider->setValue(*frame);
    }
}

void TPlaybackControls::ShowCurrentFrame() {
    const QSignalBlocker blocker(tbCurrentFrame);
    tbCurrentFrame->setValue(CurrentFrame);
    lCurrentFrame->setNum(CurrentFrame);
}

} // namespace quillon
