#include "LodGroup.h"

#include "Widgets.h"
#include "core/MD3.h"
#include "skeletal/MDM.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

#include <algorithm>

namespace quillon {

TLodGroup::TLodGroup(TMDM& mesh, std::function<bool()> skeletalShown, QWidget* parent)
    : QGroupBox("LOD", parent), cbLODEnabled(CheckBox("cbLODEnabled", "Enabled", this)),
      seLODSurfaceNr(new QSpinBox(this)), tLODSurfacename(new QLabel(this)),
      tbLODMinimum(new QSlider(Qt::Horizontal, this)), tLODpresence(new QLabel(this)), Mesh(mesh),
      SkeletalShown(std::move(skeletalShown)) {
    setObjectName("gbLOD");
    seLODSurfaceNr->setObjectName("seLODSurfaceNr");
    // Chosen with the arrows only: a typed number would name surfaces that do not exist.
    seLODSurfaceNr->findChild<QLineEdit*>()->setReadOnly(true);
    tLODSurfacename->setObjectName("tLODSurfacename");
    tbLODMinimum->setObjectName("tbLODMinimum");
    tbLODMinimum->setMinimum(1);
    tLODpresence->setObjectName("tLODpresence");
    auto* layout = new QGridLayout(this);
    layout->addWidget(cbLODEnabled, 0, 0, 1, 2);
    layout->addWidget(new QLabel("Surface #", this), 1, 0);
    layout->addWidget(seLODSurfaceNr, 1, 1);
    layout->addWidget(tLODSurfacename, 2, 0, 1, 2);
    layout->addWidget(new QLabel("Minimum", this), 3, 0);
    layout->addWidget(tbLODMinimum, 3, 1);
    layout->addWidget(tLODpresence, 4, 0, 1, 2);
    layout->setRowStretch(5, 1);
    connect(seLODSurfaceNr, &QSpinBox::valueChanged, this, &TLodGroup::SurfaceChanged);
    connect(tbLODMinimum, &QSlider::valueChanged, this, &TLodGroup::MinimumChanged);
    Reset();
}

void TLodGroup::Reset() {
    cbLODEnabled->setChecked(false);
    seLODSurfaceNr->setRange(-1, -1);
    seLODSurfaceNr->setValue(-1);
    SurfaceChanged();
}

void TLodGroup::Refresh() {
    tLODpresence->setText(Mesh.HasCollapseMap() ? LodPresent : LodAbsent);
    cbLODEnabled->setChecked(false);
    if (!Mesh.Surfaces.empty()) {
        const QSignalBlocker quiet(seLODSurfaceNr);
        seLODSurfaceNr->setRange(0, static_cast<int>(Mesh.Surfaces.size()) - 1);
        seLODSurfaceNr->setValue(0);
    }
    if (Mesh.HasCollapseMap())
        for (size_t s = 0; s < Mesh.Surfaces.size() && s < Mesh.LODTable.size(); ++s)
            Mesh.LODTable[s] = {static_cast<int32_t>(Mesh.Surfaces[s].Vertices.size()),
                                Mesh.Surfaces[s].minLod};
    SurfaceChanged();
}

void TLodGroup::ShowCalculated() {
    tLODpresence->setText(LodCalculated);
    SurfaceChanged();
}

bool TLodGroup::PreviewEnabled() const {
    return cbLODEnabled->isChecked();
}

int TLodGroup::SelectedSurface() const {
    const int surface = seLODSurfaceNr->value();
    if (!SkeletalShown() || !Mesh.HasSurface(surface) ||
        static_cast<size_t>(surface) >= Mesh.LODTable.size())
        return -1;
    return surface;
}

void TLodGroup::SurfaceChanged() {
    tLODSurfacename->clear();
    const int surface = SelectedSurface();
    if (surface < 0)
        return;
    tLODSurfacename->setText(QString::fromStdString(NameToString(Mesh.Surfaces[surface].name)));
    const TMDMLodEntry& entry = Mesh.LODTable[surface];
    const QSignalBlocker quiet(tbLODMinimum);
    tbLODMinimum->setRange(1, std::max(1, entry.numVerts));
    tbLODMinimum->setValue(entry.minLod);
    ShowHint(surface);
}

void TLodGroup::MinimumChanged() {
    tbLODMinimum->setToolTip({});
    const int surface = SelectedSurface();
    if (surface < 0)
        return;
    Mesh.LODTable[surface].minLod = tbLODMinimum->value();
    Mesh.Surfaces[surface].minLod = tbLODMinimum->value();
    ShowHint(surface);
}

void TLodGroup::ShowHint(int surface) {
    const TMDMLodEntry& entry = Mesh.LODTable[surface];
    tbLODMinimum->setToolTip(QString("%1 of %2 vertices").arg(entry.minLod).arg(entry.numVerts));
}

} // namespace quillon
