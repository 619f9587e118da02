// The Animation tab's player group, shown while a whole player is loaded: the skin names found
// for the player, and the "Legs" and "Torso" lists of animation.cfg's animations.
#pragma once

#include <QGroupBox>

#include <string>

class QComboBox;
class QLabel;

namespace quillon {

class TPlayerModel;

class TPlayerGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TPlayerGroup(QWidget* parent = nullptr);

    // Fills the lists from the player and chooses its skin, the legs' and the torso's idle
    // animations (the first where there are none); shows the group. No signal is sent.
    void Fill(const TPlayerModel& player);
    void Clear();
    void ShowWeapon(const std::string& file);

    std::string ChosenSkin() const;
    int ChosenLegs() const;
    int ChosenTorso() const;

    QComboBox* cbPlayerSkin;
    QComboBox* cbLegs;
    QComboBox* cbTorso;
    QLabel* lWeapon;

signals:
    // The user chose another skin, legs or torso animation.
    void choiceChanged();
};

} // namespace quillon
