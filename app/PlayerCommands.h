// The commands of whole players: "Load Player From File..." (any part of a player folder),
// "Load Player From Game..." (a player folder of the game's archives, copied into the temporary
// folder) and "Attach Weapon..." (an MD3 held by the torso's tag_weapon), and the player group's
// skin, legs and torso lists. The window shows the parts joined as one MD3 model whose frames
// play the chosen legs and torso animations together, so the single-part commands, the view,
// the playback and the export work on it unchanged.
#pragma once

#include <QObject>

#include "gamedata/ModelSource.h"

#include <memory>
#include <optional>
#include <string>

namespace quillon {

class IModelWindow;
class TMainMenu;
class TPlaybackControls;
class TPlayerGroup;
struct TFileDialog;

// A player named on the command line: a folder on disk, or a folder of the game's archives; the
// skin name and the animation names may be empty for the defaults, the weapon for none.
struct TPlayerChoice {
    std::string Folder;
    std::string Skin;
    std::string Legs;
    std::string Torso;
    std::string Weapon;
};

class TPlayerCommands : public QObject {
    Q_OBJECT
public:
    TPlayerCommands(IModelWindow& window, TPlayerGroup& group, TPlaybackControls& playback,
                    QObject* parent);
    ~TPlayerCommands() override;
    void Connect(TMainMenu& menu);

    // A chosen path stands for the dialog's answer.
    void LoadPlayerFromFile(const std::optional<std::string>& chosenPath);
    void LoadPlayerFromGame(const std::optional<std::string>& chosenFolder);
    void AttachWeapon(const std::optional<std::string>& chosenPath);
    // Shows the player again for the group's choice of skin, legs and torso.
    void ShowChoice();
    // Loads the player and shows the choice; false (the status says why) when it cannot.
    bool Open(const TPlayerChoice& choice);

private:
    // After a load: the tabs, the lists and the joined model; the status names the skin.
    void ShowPlayer(TModelSource source, const std::string& folder, const std::string& name);
    void Join();

    IModelWindow& Window;
    TPlayerGroup& Group;
    TPlaybackControls& Playback;
    std::unique_ptr<TFileDialog> PlayerDialog, WeaponDialog;
};

} // namespace quillon
