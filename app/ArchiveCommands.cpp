#include "ArchiveCommands.h"

#include "CommandFrame.h"
#include "MainMenu.h"
#include "ModelWindow.h"
#include "core/CasePath.h"
#include "gamedata/ArchiveTree.h"
#include "gamedata/DefaultSkin.h"
#include "gamedata/PK3Archive.h"

#include <QAction>

#include <algorithm>

namespace quillon {

namespace {
// The archive's member written below `folder`; false when the archive has no such member or its
// name would lead outside the folder.
bool ExtractMember(const std::string& archivePath, const std::string& member,
                   const std::string& folder) {
    TPK3Archive archive;
    archive.Open(archivePath);
    return archive.ExtractExact(member, folder);
}

// The model member's default skin written below `folder`; empty when the archive has none.
std::string ExtractDefaultSkin(const std::string& archivePath, const std::string& modelMember,
                               const std::string& folder) {
    TPK3Archive archive;
    archive.Open(archivePath);
    const std::string skin = DefaultSkinMember(archive, modelMember);
    return !skin.empty() && archive.ExtractExact(skin, folder) ? folder + skin : std::string();
}
} // namespace

std::string TArchiveCommands::NameField(const char* tag, std::string member) {
    std::replace(member.begin(), member.end(), '/', '\\');
    return std::string(tag) + "\\\\" + member;
}

TArchiveCommands::TArchiveCommands(IModelWindow& window, QObject* parent)
    : QObject(parent), Window(window) {}

void TArchiveCommands::Connect(TMainMenu& menu) {
    ConnectCommand(Window, menu, menu.actionFileLoadfrompk3, this, [this] { LoadMD3FromGame(); });
    ConnectCommand(Window, menu, menu.actionFileLoadfrommappk3, this,
                   [this] { LoadMD3FromMapArchive(); });
    ConnectCommand(Window, menu, menu.actionFileSelectSkinfrompk3, this,
                   [this] { SelectSkinFromGame(); });
    EnableGameCommands(menu, !Window.GameArchive().empty());
}

void TArchiveCommands::EnableGameCommands(TMainMenu& menu, bool gameKnown) {
    for (QAction* action : {menu.actionFileLoadfrompk3, menu.actionFileSelectSkinfrompk3,
                            menu.actionFileLoadPlayerFromGame})
        action->setEnabled(gameKnown && menu.IsAvailable(action));
}

std::optional<std::string> TArchiveCommands::Browse(int mode) {
    TArchiveBrowse browse;
    browse.Mode = mode;
    browse.GameArchive = Window.GameArchive();
    browse.MapArchiveFolder = FolderPart(browse.GameArchive);
    const TArchiveChoice choice = Window.Dialogs().BrowseArchive(browse);
    BrowsedArchive = choice.ArchivePath;
    BrowsedFolder = choice.SelectedFolder;
    if (!choice.Ok || choice.MemberPath.empty())
        return std::nullopt;
    return choice.MemberPath;
}

std::optional<std::string> TArchiveCommands::ExtractFromGame(const std::string& member) {
    const std::string folder = Window.ExtractionFolders().TmpFolder;
    if (!ExtractMember(Window.GameArchive(), member, folder))
        return std::nullopt;
    return folder + member;
}

void TArchiveCommands::LoadMD3FromGame() {
    LoadMD3FromArchive(false);
}

void TArchiveCommands::LoadMD3FromMapArchive() {
    LoadMD3FromArchive(true);
}

void TArchiveCommands::LoadMD3FromArchive(bool mapArchive) {
    Window.SetStatus("");
    TCommandFrame frame(Window);
    frame.Busy();
    Window.ModelOpenDialog().FileName.clear();
    const std::optional<std::string> member =
        Window.GameArchive().empty() ? std::nullopt
                                     : Browse(mapArchive ? BrowseMapMD3 : BrowseGameMD3);
    if (!member || (mapArchive && BrowsedArchive.empty())) {
        Window.EmptyModels();
        Window.SetArchiveChoice("", BrowsedFolder);
        return;
    }
    frame.ShowHourglass();
    // Extracted before the current model is emptied, so a damaged archive leaves it usable.
    const std::string archive = mapArchive ? BrowsedArchive : Window.GameArchive();
    const std::string folder =
        mapArchive ? Window.ExtractionFolders().MapTmpFolder : Window.ExtractionFolders().TmpFolder;
    if (mapArchive) {
        TPK3Archive scripts;
        scripts.Open(archive);
        scripts.Extract("scripts/*.shader", folder);
    }
    const bool extracted = ExtractMember(archive, *member, folder);
    Window.EmptyModels();
    Window.SetArchiveChoice(BrowsedArchive, BrowsedFolder);
    if (mapArchive)
        Window.RegisterMapArchiveShaderFiles();
    Window.ApplyTabSet(TModelKind::MD3);
    Window.ApplyMenuState(TModelKind::MD3);
    Window.RepaintNow();
    const TModelSource source = mapArchive ? TModelSource::MapArchive : TModelSource::GameArchive;
    Window.SetCurrentModel(TModelKind::MD3, source, "");
    TMD3& md3 = Window.Instances().MD3;
    const std::string path = folder + *member;
    if (!extracted || !md3.LoadFromFile(path)) {
        Window.ReportLoadFailure(path,
                                 extracted ? md3.LastError() : "not extracted from " + archive);
        return;
    }
    Window.FillPanels();
    Window.SetModelNameField(NameField(mapArchive ? "MAP:" : "GAME:", *member));
    Window.SetModelCaption(FilePart(*member));
    Window.FinishLoad("MD3 loaded", "Save as MD3", ExtractDefaultSkin(archive, *member, folder));
}

void TArchiveCommands::SelectSkinFromGame() {
    if (Window.GameArchive().empty())
        return;
    const std::optional<std::string> member = Browse(BrowseGameSkin);
    Window.SetArchiveChoice(BrowsedArchive, BrowsedFolder);
    if (!member)
        return;
    TCommandFrame frame(Window);
    frame.ShowHourglass();
    Window.RepaintNow();
    // A skin that was not extracted is not loaded: an older copy may lie in the folder.
    if (const std::optional<std::string> path = ExtractFromGame(*member))
        Window.LoadSkin(*path, true);
}

} // namespace quillon
