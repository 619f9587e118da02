#include "ViewTab.h"

#include "LodGroup.h"
#include "PlaybackControls.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillon {

TViewTab::TViewTab(int& currentFrame, IDialogs& dialogs, TMDM& mesh,
                   std::function<bool()> skeletalShown, QWidget* parent)
    : QWidget(parent), gbOGL(new QWidget(this)), OGLLayout(new QVBoxLayout(gbOGL)),
      Playback(new TPlaybackControls(currentFrame, dialogs, this)),
      gbLOD(new TLodGroup(mesh, std::move(skeletalShown), this)) {
    setObjectName("tabView");
    gbOGL->setObjectName("gbOGL");
    gbOGL->setMinimumSize(320, 240);
    gbOGL->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    OGLLayout->setContentsMargins(0, 0, 0, 0);
    auto* controls = new QHBoxLayout;
    controls->addWidget(Playback, 3);
    controls->addWidget(BuildOptions(), 1);
    controls->addWidget(gbLOD, 1);
    gbLOD->setEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gbOGL, 1);
    layout->addLayout(controls);
}

QWidget* TViewTab::BuildOptions() {
    auto* box = new QGroupBox("Options", this);
    box->setObjectName("gbViewOptions");
    cbTagPivots = ListBox("cbTagPivots", box);
    cbLockView = CheckBox("cbLockView", "Lock View", box);
    bPrtScr = new QPushButton("PrtScr", box);
    bPrtScr->setObjectName("bPrtScr");
    bPrtScr->setEnabled(false);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(new QLabel("Pivot Point", box));
    layout->addWidget(cbTagPivots);
    layout->addWidget(cbLockView);
    layout->addWidget(bPrtScr);
    layout->addStretch();
    SetPivots({});
    return box;
}

void TViewTab::SetPivots(const std::vector<std::string>& tagNames) {
    cbTagPivots->clear();
    for (const std::string& name : tagNames)
        cbTagPivots->addItem(QString::fromStdString(name));
    cbTagPivots->addItem(PivotOriginEntry);
    cbTagPivots->setCurrentIndex(cbTagPivots->count() - 1);
}

bool TViewTab::IsViewLocked() const {
    return cbLockView->isChecked();
}

int TViewTab::ChosenPivot() const {
    return cbTagPivots->currentIndex();
}

std::string TViewTab::ChosenPivotName() const {
    return cbTagPivots->currentText().toStdString();
}

} // namespace quillon
