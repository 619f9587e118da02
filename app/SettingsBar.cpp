#include "SettingsBar.h"

#include "Widgets.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quillon {

TSettingsBar::TSettingsBar(QWidget* parent)
    : QGroupBox("Settings", parent), cbShowTags(CheckBox("cbShowTags", "Show Tags", this)),
      cbLightingEnabled(CheckBox("cbLightingEnabled", "Lighting", this)),
      cbShowSkeleton(CheckBox("cbShowSkeleton", "Show Skeleton", this)),
      cbAlphaPreview(CheckBox("cbAlphaPreview", "Show Alpha in Preview", this)),
      cbCenterModel(CheckBox("cbCenterModel", "Center Model", this)),
      cbShowNormals(CheckBox("cbShowNormals", "Show Normals", this)),
      cbCleanUp(CheckBox("cbCleanUp", "Clean-up", this)),
      leGameDir(ReadOnlyField("leGameDir", this)), bSetGameDir(new QPushButton("Select...", this)) {
    setObjectName("gbSettings");
    bSetGameDir->setObjectName("bSetGameDir");
    bSetGameDir->setToolTip("Select The GameDir");
    cbCleanUp->setChecked(true);
    auto* layout = new QHBoxLayout(this);
    for (QCheckBox* box : {cbShowTags, cbLightingEnabled, cbShowSkeleton, cbAlphaPreview,
                           cbCenterModel, cbShowNormals, cbCleanUp})
        layout->addWidget(box);
    layout->addSpacing(12);
    layout->addWidget(new QLabel("Game Path", this));
    layout->addWidget(leGameDir, 1);
    layout->addWidget(bSetGameDir);
}

bool TSettingsBar::ShowNormals() const {
    return cbShowNormals->isChecked();
}

} // namespace quillon
