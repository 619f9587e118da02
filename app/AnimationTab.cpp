#include "AnimationTab.h"

#include "PanelText.h"
#include "PlayerGroup.h"
#include "Widgets.h"
#include "core/MD3.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace quillon {

TAnimationTab::TAnimationTab(QWidget* parent)
    : QWidget(parent), leNumFrames(ReadOnlyField("leNumFrames", this)),
      cbFrameNames(ListBox("cbFrameNames", this)), cbFrameMins(ListBox("cbFrameMins", this)),
      cbFrameMaxs(ListBox("cbFrameMaxs", this)), cbFrameOrigins(ListBox("cbFrameOrigins", this)),
      cbFrameRadius(ListBox("cbFrameRadius", this)),
      gbCopyFrames(new QGroupBox("Copy Frames", this)), gbPlayer(new TPlayerGroup(this)) {
    setObjectName("tabAnimation");
    gbCopyFrames->setObjectName("gbCopyFrames");
    gbCopyFrames->hide();
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow("Frames", leNumFrames);
    form->addRow("Frame", cbFrameNames);
    form->addRow("Bounds minimum", cbFrameMins);
    form->addRow("Bounds maximum", cbFrameMaxs);
    form->addRow("Local origin", cbFrameOrigins);
    form->addRow("Radius", cbFrameRadius);
    layout->addWidget(gbPlayer);
    layout->addLayout(form);
    layout->addWidget(gbCopyFrames);
    layout->addStretch();
    for (QComboBox* list : {cbFrameNames, cbFrameMins, cbFrameMaxs, cbFrameOrigins, cbFrameRadius})
        connect(list, &QComboBox::currentIndexChanged, this, &TAnimationTab::SelectFrame);
}

void TAnimationTab::Fill(const TMD3& md3) {
    Clear();
    const THeader& h = md3.Header;
    leNumFrames->setText(QString::number(h.numFrames));
    for (size_t f = 0; f < h.Frames.size(); ++f) {
        const TMD3Frame& frame = h.Frames[f];
        cbFrameNames->addItem(QString::number(f) + ": " +
                              QString::fromStdString(NameToString(frame.name)));
        cbFrameMins->addItem(VectorText(frame.mins));
        cbFrameMaxs->addItem(VectorText(frame.maxs));
        cbFrameOrigins->addItem(VectorText(frame.localOrigin));
        cbFrameRadius->addItem(FloatText(frame.radius));
    }
    SelectFrame(h.Frames.empty() ? -1 : 0);
}

void TAnimationTab::Clear() {
    leNumFrames->clear();
    for (QComboBox* list : {cbFrameNames, cbFrameMins, cbFrameMaxs, cbFrameOrigins, cbFrameRadius})
        list->clear();
}

void TAnimationTab::SelectFrame(int index) {
    for (QComboBox* list :
         {cbFrameNames, cbFrameMins, cbFrameMaxs, cbFrameOrigins, cbFrameRadius}) {
        const QSignalBlocker blocker(list);
        list->setCurrentIndex(index);
    }
}

} // namespace quillon
