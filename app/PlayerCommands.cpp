#include "PlayerCommands.h"

#include "CommandFrame.h"
#include "MainMenu.h"
#include "ModelWindow.h"
#include "PlaybackControls.h"
#include "PlayerGroup.h"
#include "core/CasePath.h"
#include "gamedata/ArchiveTree.h"

#include <QComboBox>
#include <QSignalBlocker>

#include <algorithm>
#include <filesystem>

namespace quillon {

namespace {

std::unique_ptr<TFileDialog> ModelDialog(const char* title) {
    auto dialog = std::make_unique<TFileDialog>();
    dialog->Title = title;
    dialog->Filter = "Quake 3 model  (.MD3)|*.MD3";
    dialog->DefaultExt = ".MD3";
    return dialog;
}

// Chooses the list's entry of that name (letter case ignored) without a signal; false when there
// is none. An empty name keeps the choice.
bool ChooseByName(QComboBox* list, const std::string& name) {
    if (name.empty())
        return true;
    const int index = list->findText(QString::fromStdString(name), Qt::MatchFixedString);
    if (index < 0)
        return false;
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(index);
    return true;
}

} // namespace

TPlayerCommands::TPlayerCommands(IModelWindow& window, TPlayerGroup& group,
                                 TPlaybackControls& playback, QObject* parent)
    : QObject(parent), Window(window), Group(group), Playback(playback),
      PlayerDialog(ModelDialog("Select a part of a player (lower, upper or head)")),
      WeaponDialog(ModelDialog("Select a weapon model")) {}

TPlayerCommands::~TPlayerCommands() = default;

void TPlayerCommands::Connect(TMainMenu& menu) {
    ConnectCommand(Window, menu, menu.actionFileLoadPlayer, this,
                   [this] { LoadPlayerFromFile(std::nullopt); });
    ConnectCommand(Window, menu, menu.actionFileLoadPlayerFromGame, this,
                   [this] { LoadPlayerFromGame(std::nullopt); });
    ConnectCommand(Window, menu, menu.actionFileAttachWeapon, this,
                   [this] { AttachWeapon(std::nullopt); });
    connect(&Group, &TPlayerGroup::choiceChanged, this,
            [this] { Window.RunCommand([this] { ShowChoice(); }); });
}

void TPlayerCommands::LoadPlayerFromFile(const std::optional<std::string>& chosenPath) {
    Window.SetStatus("");
    TCommandFrame frame(Window);
    frame.Busy();
    PlayerDialog->FileName = chosenPath.value_or("");
    if (!chosenPath && !Window.Dialogs().Execute(*PlayerDialog))
        return;
    frame.ShowHourglass();
    Window.EmptyModels();
    TPlayerModel& player = Window.Instances().Player;
    if (!player.LoadFolder(PlayerDialog->FileName)) {
        Window.ReportLoadFailure(PlayerDialog->FileName, player.LastError());
        return;
    }
    // Stage images are looked for beside the player's parts, as beside an MD3.
    Window.ModelOpenDialog().FileName = player.Set().PartFiles[PartLower];
    const std::string& folder = player.Set().Folder;
    ShowPlayer(TModelSource::File, folder, folder);
}

void TPlayerCommands::LoadPlayerFromGame(const std::optional<std::string>& chosenFolder) {
    Window.SetStatus("");
    TCommandFrame frame(Window);
    frame.Busy();
    const std::vector<std::string> archives = Window.GameArchives();
    std::string folder = chosenFolder.value_or("");
    if (!chosenFolder) {
        TArchiveBrowse browse;
        browse.Mode = BrowseGamePlayers;
        browse.GameArchive = Window.GameArchive();
        browse.GameArchives = archives;
        const TArchiveChoice choice = Window.Dialogs().BrowseArchive(browse);
        if (!choice.Ok)
            return;
        folder = choice.MemberPath;
    }
    if (archives.empty() || folder.empty())
        return;
    frame.ShowHourglass();
    Window.EmptyModels();
    Window.ModelOpenDialog().FileName.clear();
    TPlayerModel& player = Window.Instances().Player;
    if (!player.LoadFromArchives(archives, folder, Window.ExtractionFolders().TmpFolder)) {
        Window.ReportLoadFailure(folder, player.LastError());
        return;
    }
    folder = WithTrailingSlash(folder);
    Window.SetArchiveChoice("", folder);
    std::string name = folder;
    std::replace(name.begin(), name.end(), '/', '\\');
    ShowPlayer(TModelSource::GameArchive, "", "GAME:\\\\" + name);
}

void TPlayerCommands::AttachWeapon(const std::optional<std::string>& chosenPath) {
    Window.SetStatus("");
    TPlayerModel& player = Window.Instances().Player;
    if (!player.IsLoaded()) {
        Window.SetStatus("Attach Weapon: load a player first");
        return;
    }
    TCommandFrame frame(Window);
    WeaponDialog->FileName = chosenPath.value_or("");
    if (!chosenPath && !Window.Dialogs().Execute(*WeaponDialog))
        return;
    frame.Busy();
    if (!player.AttachWeapon(WeaponDialog->FileName)) {
        Window.SetStatus(player.LastError());
        return;
    }
    Group.ShowWeapon(player.WeaponFile());
    Join();
    Window.SetStatus("Weapon attached: " + FilePart(player.WeaponFile()));
}

void TPlayerCommands::ShowChoice() {
    if (!Window.Instances().Player.IsLoaded())
        return;
    TCommandFrame frame(Window);
    frame.Busy();
    Join();
}

bool TPlayerCommands::Open(const TPlayerChoice& choice) {
    std::error_code error;
    if (std::filesystem::exists(choice.Folder, error) || Window.GameArchives().empty())
        LoadPlayerFromFile(choice.Folder);
    else
        LoadPlayerFromGame(choice.Folder);
    TPlayerModel& player = Window.Instances().Player;
    if (!player.IsLoaded())
        return false;
    const std::pair<QComboBox*, std::string> lists[] = {{Group.cbPlayerSkin, choice.Skin},
                                                        {Group.cbLegs, choice.Legs},
                                                        {Group.cbTorso, choice.Torso}};
    for (const auto& [list, name] : lists)
        if (!ChooseByName(list, name)) {
            Window.SetStatus("the player has no skin or animation named " + name);
            return false;
        }
    if (!choice.Weapon.empty()) {
        AttachWeapon(choice.Weapon);
        return player.HasWeapon();
    }
    ShowChoice();
    return true;
}

void TPlayerCommands::ShowPlayer(TModelSource source, const std::string& folder,
                                 const std::string& name) {
    TPlayerModel& player = Window.Instances().Player;
    Window.ApplyTabSet(TModelKind::MD3);
    Window.ApplyMenuState(TModelKind::MD3);
    Window.RepaintNow();
    Window.SetCurrentModel(TModelKind::MD3, source, folder);
    Window.SetModelNameField(name);
    const std::string& playerFolder = player.Set().Folder;
    Window.SetModelCaption("player " + FilePart(playerFolder.substr(0, playerFolder.size() - 1)));
    Window.SetSaveHints("Save as MD3 (the parts joined)");
    Group.Fill(player);
    Join();
    Window.ResetView();
    Window.SetStatus("Player loaded" +
                     (player.SkinName().empty() ? "" : ", skin " + player.SkinName() + " applied"));
}

void TPlayerCommands::Join() {
    TPlayerModel& player = Window.Instances().Player;
    if (const std::string skin = Group.ChosenSkin(); !skin.empty())
        player.ChooseSkin(skin);
    const TPlayerClip clip = player.Clip(Group.ChosenLegs(), Group.ChosenTorso());
    Window.Instances().MD3 = player.Joined(clip.Poses);
    Window.UseSkin(player.JoinedSkin(), player.SkinName());
    Window.FillPanels();
    Window.ResetAnimationControls();
    Playback.SetAnimations(
        {{clip.Name, 0, static_cast<int>(clip.Poses.size()), clip.FramesPerSecond}});
    Playback.cbAnimName->setCurrentIndex(0); // the window then chooses its range and rate
    Window.UpdateSkinsShadersTextures();
}

} // namespace quillon
