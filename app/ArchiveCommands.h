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

    // Shows the browser; the member path of a usable choice, none otherwise. The browser's
    // archive and folder are kept until the next browse (BrowsedArchive, BrowsedFolder).
    std::optional<std::string> Browse(int mode);
    // The game archive's member extracted into the temporary folder: its path there, none when
    // the archive has no such member.
    std::optional<std::string> ExtractFromGame(const std::string& member);
    const std::string& SelectedFolder() const { return BrowsedFolder; }
    // How the name field shows a member: the archive's tag ("GAME:", "MAP:"), two separators,
    // then the member path with the game's separator.
    static std::string NameField(const char* tag, std::string member);

private:
    void LoadMD3FromArchive(bool mapArchive);
    // The map archive chosen by the last browse; empty for the game archive.
    std::string BrowsedArchive;
    std::string BrowsedFolder;

    IModelWindow& Window;
};

} // namespace quillon
