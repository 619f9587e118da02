#include "PlayerGroup.h"

#include "Widgets.h"
#include "core/CasePath.h"
#include "gamedata/PlayerModel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace quillon {

namespace {

void FillRanges(QComboBox* list, const std::vector<TPlayerRange>& ranges, const char* idle) {
    for (const TPlayerRange& range : ranges)
        list->addItem(QString::fromStdString(range.Name));
    list->setCurrentIndex(std::max(0, TPlayerModel::FindRange(ranges, idle)));
}

} // namespace

TPlayerGroup::TPlayerGroup(QWidget* parent)
    : QGroupBox("Player", parent), cbPlayerSkin(ListBox("cbPlayerSkin", this)),
      cbLegs(ListBox("cbLegs", this)), cbTorso(ListBox("cbTorso", this)),
      lWeapon(new QLabel(this)) {
    setObjectName("gbPlayer");
    lWeapon->setObjectName("lWeapon");
    auto* form = new QFormLayout(this);
    form->addRow("Skin", cbPlayerSkin);
    form->addRow("Legs", cbLegs);
    form->addRow("Torso", cbTorso);
    form->addRow("Weapon", lWeapon);
    for (QComboBox* list : {cbPlayerSkin, cbLegs, cbTorso})
        connect(list, &QComboBox::currentIndexChanged, this, &TPlayerGroup::choiceChanged);
    hide();
}

void TPlayerGroup::Fill(const TPlayerModel& player) {
    const QSignalBlocker blockSkins(cbPlayerSkin), blockLegs(cbLegs), blockTorso(cbTorso);
    Clear();
    for (const std::string& name : player.SkinNames())
        cbPlayerSkin->addItem(QString::fromStdString(name));
    cbPlayerSkin->setCurrentText(QString::fromStdString(player.SkinName()));
    FillRanges(cbLegs, player.LegsRanges(), "LEGS_IDLE");
    FillRanges(cbTorso, player.TorsoRanges(), "TORSO_STAND");
    ShowWeapon(player.WeaponFile());
    show();
}

void TPlayerGroup::Clear() {
    const QSignalBlocker blockSkins(cbPlayerSkin), blockLegs(cbLegs), blockTorso(cbTorso);
    for (QComboBox* list : {cbPlayerSkin, cbLegs, cbTorso})
        list->clear();
    lWeapon->clear();
    hide();
}

void TPlayerGroup::ShowWeapon(const std::string& file) {
    lWeapon->setText(file.empty() ? QString("none") : QString::fromStdString(FilePart(file)));
}

std::string TPlayerGroup::ChosenSkin() const {
    return cbPlayerSkin->currentText().toStdString();
}

int TPlayerGroup::ChosenLegs() const {
    return cbLegs->currentIndex();
}

int TPlayerGroup::ChosenTorso() const {
    return cbTorso->currentIndex();
}

} // namespace quillon
