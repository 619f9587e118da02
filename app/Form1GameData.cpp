// The main window's glue to the game data: every step of texture resolution runs on a
// TResolveInput built from the window's state, and the Surfaces tab then shows what the step
// resolved (script and shader found, stages, connector marks, skin entry, texture preview).
#include "Form1.h"

#include "ArchiveCommands.h"
#include "MainMenu.h"
#include "SettingsBar.h"
#include "SkeletalCommands.h"
#include "SurfacesTab.h"
#include "ViewTab.h"
#include "core/CasePath.h"
#include "gamedata/ModelCheck.h"
#include "gamedata/SurfaceDetails.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace quillon {

TModelRef TForm1::ModelRef() {
    return {State.ModelKind, &ProgramInstances.MD3, &ProgramInstances.MDM};
}

TResolveInput TForm1::ResolveInput() {
    TResolveInput input;
    input.Model = ModelRef();
    input.Source = State.ModelSource;
    input.ModelFolder = State.ModelFolder;
    input.ArchivePath = State.ArchivePath;
    input.SelectedFolder = State.SelectedFolder;
    // Each kind's load dialog keeps its last choice; loads from archives forget the MD3 one.
    if (State.ModelKind == TModelKind::MD3 && !OpenDialog.FileName.empty())
        input.ModelFileFolder = FolderPart(OpenDialog.FileName);
    else if (IsSkeletal(State.ModelKind))
        input.ModelFileFolder = Skeletal->ChosenFileFolder(State.ModelKind);
    input.Gamma = State.Settings.Gamma;
    return input;
}

void TForm1::Resolve(const std::function<void(const TResolveInput&)>& step) {
    // Also when an archive error ends the step early, the tab shows what was resolved so far.
    struct TShowAfter {
        TForm1& Form;
        ~TShowAfter() { Form.ShowResolved(); }
    } showAfter{*this};
    step(ResolveInput());
}

void TForm1::ShowResolved() {
    tabSurfaces->SetResolvedItems(Resolver.ShaderFileItems, Resolver.ShaderNameFoundItems);
    ShowSurfaceDetails(tabSurfaces->CurrentSurface());
    if (pcTabs->currentWidget() == tabView)
        DrawView();
}

void TForm1::ShowSurfaceDetails(int surface) {
    const TSurfaceDetails details =
        SurfaceDetails(ModelRef(), ProgramInstances.Shaders, Resolver.Skin,
                       Resolver.ShaderFileItems, Resolver.ShaderNameFoundItems, surface);
    tabSurfaces->ShowSurface(details);
    if (details.Stage.PreviewVisible)
        PreviewStage(surface, 0);
}

void TForm1::ShowStageDetails(int surface, int stage) {
    const TStageDetails details =
        StageDetails(ModelRef(), ProgramInstances.Shaders, surface, stage);
    tabSurfaces->ShowStage(details);
    if (details.PreviewVisible)
        PreviewStage(surface, stage);
}

void TForm1::PreviewStage(int surface, int stage) {
    const TShaders& shaders = ProgramInstances.Shaders;
    const int index = SurfaceShaderIndex(ModelRef(), surface);
    if (!TexturePreviewHook || !shaders.Has(index) || stage < 0 ||
        static_cast<size_t>(stage) >= shaders.Shaders[index].Stages.size())
        return;
    const TShaderTexture& texture = shaders.Shaders[index].Stages[stage];
    const bool showAlpha = texture.HasAlpha && State.Settings.AlphaTexturePreview;
    if (const auto image =
            TexturePreviewHook(texture.TextureHandle, showAlpha, tabSurfaces->img3DView->size()))
        tabSurfaces->ShowPreview(QPixmap::fromImage(*image));
}

void TForm1::RefreshTexturePreview() {
    ShowStageDetails(tabSurfaces->CurrentSurface(), tabSurfaces->CurrentStage());
}

void TForm1::UpdateSkinsShadersTextures() {
    Resolve([this](const TResolveInput& input) { Resolver.Update(input); });
}

void TForm1::UpdateEmbedSkin() {
    Menu->actionModelSkinpermanent->setEnabled(Resolver.CanEmbedSkin(ModelRef()));
}

bool TForm1::LoadSkin(const std::string& path, bool updateNow) {
    const bool loaded = Resolver.LoadSkin(path, false, ResolveInput());
    UpdateEmbedSkin();
    if (!loaded)
        return false;
    tabSurfaces->leSkinFile->setText(QString::fromStdString(FilePart(path)));
    tabSurfaces->leSkin->clear();
    if (updateNow)
        UpdateSkinsShadersTextures();
    return true;
}

void TForm1::ClearSkin() {
    tabSurfaces->leSkinFile->clear();
    tabSurfaces->leSkin->clear();
    Menu->actionModelSkinpermanent->setEnabled(false);
    if (!Resolver.Skin.Empty())
        Resolve([this](const TResolveInput& input) { Resolver.ClearSkin(input); });
}

void TForm1::UseSkin(const TSkin& skin, const std::string& name) {
    Resolver.Skin = skin;
    UpdateEmbedSkin();
    tabSurfaces->leSkinFile->setText(QString::fromStdString(name));
    tabSurfaces->leSkin->clear();
}

bool TForm1::HasSkin() const {
    return !Resolver.Skin.Empty();
}

bool TForm1::EmbedSkin() {
    return Resolver.EmbedSkin(ModelRef());
}

const std::vector<std::string>& TForm1::ShaderList() const {
    return State.Settings.ShaderList;
}

void TForm1::SetShaderList(const std::vector<std::string>& paths) {
    State.Settings.ShaderList = paths;
    RebuildShaderList();
}

void TForm1::ReleaseMapShaderList() {
    Resolver.Scripts.ReleaseMapArchive();
}

void TForm1::RebuildShaderList() {
    const std::vector<std::string>& paths = State.Settings.ShaderList;
    tabSurfaces->SetShaderList(paths);
    Resolve([&](const TResolveInput& input) { Resolver.RebuildShaderList(paths, input); });
}

void TForm1::ApplyGameFolder() {
    Resolve([this](const TResolveInput& input) {
        Resolver.ApplyGameFolder(State.Settings.GameDir, input);
    });
    if (Resolver.Game.IsSet())
        SettingsBar->leGameDir->setText(QString::fromStdString(Resolver.Game.Path()));
    TArchiveCommands::EnableGameCommands(*Menu, Resolver.Game.IsSet());
}

std::string TForm1::GameArchive() const {
    return Resolver.Game.IsSet() ? Resolver.Game.GameArchive() : std::string();
}

void TForm1::SetArchiveChoice(const std::string& archivePath, const std::string& selectedFolder) {
    State.ArchivePath = archivePath;
    State.SelectedFolder = selectedFolder;
}

void TForm1::RegisterMapArchiveShaderFiles() {
    Resolver.RegisterMapArchiveShaderFiles();
}

void TForm1::ReloadTextures() {
    Resolver.ReloadTextures(State.Settings.Gamma);
    if (pcTabs->currentWidget() == tabSurfaces)
        RefreshTexturePreview();
    DrawView();
}

std::vector<TFinding> TForm1::CheckModel() {
    if (State.ModelKind == TModelKind::None)
        return {};
    const bool skeletal = IsSkeletal(State.ModelKind);
    const TANINC* script =
        skeletal && !ProgramInstances.ANINC.Entries.empty() ? &ProgramInstances.ANINC : nullptr;
    return quillon::CheckModel(ResolveInput(), skeletal ? &ProgramInstances.MDX : nullptr, script,
                               Resolver, TCheckTarget::ET);
}

std::vector<TSurfaceMaterial> TForm1::SurfaceMaterials() {
    return quillon::SurfaceMaterials(ModelRef(), ProgramInstances.Shaders, Resolver.Skin);
}

} // namespace quillon
