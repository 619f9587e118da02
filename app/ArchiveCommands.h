// The commands that take a model or a skin out of the game's archives: "Load MD3 From &Game...",
// "Load MD3 From &PK3..." (a map archive the user picks) and Skin "From &Game...". Members are
// extracted into the temporary folders and read from there; nothing is written into the game
// folder. An archive that cannot be read ends the command with its reason and leaves the
// current model as it was.
#pragma once

#include <QObject>

#include <optional>
#include <string>

namespace quillon {

class IModelWindow;
class TMainMenu;

class TArchiveCommands : public QObject {
    Q_OBJECT
public:
    TArchiveCommands(IModelWindow& window, QObject* parent);
    void Connect(TMainMenu& menu);
    // The game's items can only be chosen while a game folder is known.
    static void EnableGameCommands(TMainMenu& menu, bool gameKnown);

    void LoadMD3FromGame();
    void LoadMD3FromMapArchive();
    void SelectSkinFromGame();

private:
    void LoadMD3FromArchive(bool mapArchive);
    // Shows the browser; the member path of a usable choice, none otherwise.
    std::optional<std::string> Browse(int mode);
    // The map archive chosen by the last browse; empty for the game archive.
    std::string BrowsedArchive;
    std::string BrowsedFolder;

    IModelWindow& Window;
};

} // namespace quillon
