#include "TagsTab.h"

#include "PanelText.h"
#include "Widgets.h"
#include "core/MD3.h"
#include "skeletal/MDM.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace quillon {

TTagsTab::TTagsTab(QWidget* parent)
    : QWidget(parent), leNumTags(ReadOnlyField("leNumTags", this)),
      cbTagNames(ListBox("cbTagNames", this)), cbTagFrames(ListBox("cbTagFrames", this)),
      cbTagOrigins(ListBox("cbTagOrigins", this)), cbTagAxes(ListBox("cbTagAxes", this)),
      gbAddTags(new QGroupBox("Adding Tags", this)) {
    setObjectName("tabTags");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow("Tags", leNumTags);
    form->addRow("Tag", cbTagNames);
    form->addRow("Frame", cbTagFrames);
    form->addRow("Origin", cbTagOrigins);
    form->addRow("Axes", cbTagAxes);
    layout->addLayout(form);
    BuildAddTags();
    layout->addWidget(gbAddTags);
    layout->addStretch();
    cbTagFrames->setEnabled(false);
    connect(cbTagNames, &QComboBox::currentIndexChanged, this, &TTagsTab::SelectTagEntry);
    connect(cbTagFrames, &QComboBox::currentIndexChanged, this, &TTagsTab::SelectTagEntry);
}

void TTagsTab::BuildAddTags() {
    gbAddTags->setObjectName("gbAddTags");
    leTagName = EditField("leTagName", gbAddTags, "tag_");
    leTagOriginX = EditField("leTagOriginX", gbAddTags);
    leTagOriginY = EditField("leTagOriginY", gbAddTags);
    leTagOriginZ = EditField("leTagOriginZ", gbAddTags);
    bTagAddManually = new QPushButton("Add", gbAddTags);
    bTagAddManually->setObjectName("bTagAddManually");
    leTagFilename = ReadOnlyField("leTagFilename", gbAddTags);
    bTagFilename = new QPushButton("Select .tag", gbAddTags);
    bTagFilename->setObjectName("bTagFilename");
    auto* grid = new QGridLayout(gbAddTags);
    grid->addWidget(new QLabel("Name", gbAddTags), 0, 0);
    grid->addWidget(leTagName, 0, 1, 1, 3);
    grid->addWidget(new QLabel("Origin", gbAddTags), 1, 0);
    grid->addWidget(leTagOriginX, 1, 1);
    grid->addWidget(leTagOriginY, 1, 2);
    grid->addWidget(leTagOriginZ, 1, 3);
    grid->addWidget(bTagAddManually, 2, 3);
    grid->addWidget(new QLabel("Tag file", gbAddTags), 3, 0);
    grid->addWidget(leTagFilename, 3, 1, 1, 2);
    grid->addWidget(bTagFilename, 3, 3);
    connect(bTagAddManually, &QPushButton::clicked, this, &TTagsTab::addTagClicked);
}

void TTagsTab::Fill(const TMD3& md3) {
    Clear();
    const THeader& h = md3.Header;
    NumTags = static_cast<int>(h.numTags);
    leNumTags->setText(QString::number(h.numTags));
    const QSignalBlocker names(cbTagNames);
    const QSignalBlocker frames(cbTagFrames);
    for (uint32_t t = 0; t < h.numTags && t < h.Tags.size(); ++t)
        cbTagNames->addItem(QString::fromStdString(NameToString(h.Tags[t].name)));
    for (uint32_t f = 0; f < h.numFrames; ++f)
        cbTagFrames->addItem(QString::number(f));
    for (const TMD3Tag& tag : h.Tags) {
        cbTagOrigins->addItem(VectorText(tag.origin));
        cbTagAxes->addItem(AxesText(tag.axis));
    }
    cbTagFrames->setEnabled(h.numTags > 0 && h.numFrames > 1);
    cbTagNames->setCurrentIndex(cbTagNames->count() > 0 ? 0 : -1);
    cbTagFrames->setCurrentIndex(cbTagFrames->count() > 0 ? 0 : -1);
    SelectTagEntry();
}

void TTagsTab::Fill(const TMDM& mesh) {
    Clear();
    NumTags = static_cast<int>(mesh.Tags.size());
    leNumTags->setText(QString::number(mesh.Header.numTags));
    const QSignalBlocker names(cbTagNames);
    const QSignalBlocker frames(cbTagFrames);
    for (const TMDMTag& tag : mesh.Tags) {
        cbTagNames->addItem(QString::fromStdString(NameToString(tag.name)));
        cbTagOrigins->addItem(VectorText(tag.offset));
        cbTagAxes->addItem(AxesText(tag.axis));
    }
    cbTagFrames->addItem("0");
    cbTagNames->setCurrentIndex(NumTags > 0 ? 0 : -1);
    cbTagFrames->setCurrentIndex(0);
    SelectTagEntry();
}

void TTagsTab::Clear() {
    NumTags = 0;
    leNumTags->clear();
    for (QComboBox* list : {cbTagNames, cbTagFrames, cbTagOrigins, cbTagAxes})
        list->clear();
    cbTagFrames->setEnabled(false);
}

TTypedTag TTagsTab::TypedTag() const {
    return {leTagName->text().toStdString(), leTagOriginX->text().toStdString(),
            leTagOriginY->text().toStdString(), leTagOriginZ->text().toStdString()};
}

void TTagsTab::ClearTagInput() {
    for (QLineEdit* field : {leTagName, leTagOriginX, leTagOriginY, leTagOriginZ})
        field->clear();
}

void TTagsTab::SelectTagEntry() {
    const int tag = cbTagNames->currentIndex();
    const int frame = cbTagFrames->currentIndex();
    const int entry = (tag >= 0 && frame >= 0) ? frame * NumTags + tag : -1;
    cbTagOrigins->setCurrentIndex(entry < cbTagOrigins->count() ? entry : -1);
    cbTagAxes->setCurrentIndex(entry < cbTagAxes->count() ? entry : -1);
}

} // namespace quillon
