#include "Form1.h"

#include "AnimationTab.h"
#include "ArchiveLock.h"
#include "BonesTab.h"
#include "GeneralTab.h"
#include "HelpTab.h"
#include "MD3EditCommands.h"
#include "MainMenu.h"
#include "PlaybackControls.h"
#include "SettingsBar.h"
#include "SurfacesTab.h"
#include "TagsTab.h"
#include "ViewTab.h"
#include "core/CasePath.h"
#include "core/FileError.h"
#include "gamedata/AppFolders.h"
#include "gamedata/GameFolder.h"
#include "gamedata/ImageHeaderTextures.h"
#include "gamedata/SurfaceDetails.h"
#include "render/ViewRenderer.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <filesystem>

namespace quillon {

namespace {
const char* const MissingTexturesMessage =
    "This application is not installed correctly.\r\nCopy the .exe and the subdirectory "
    "\"textures\" into its own directory";
const char* const GameInUseMessage =
    "The game-files are already in use by another application.\r\nThis tool will halt..";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

std::string LowerExtension(const std::string& path) {
    std::string extension = ExtensionOf(path);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

// The frame every command runs in: whatever way it leaves, the busy flag is cleared, the view
// drawn and the normal cursor restored.
class TCommandFrame {
public:
    explicit TCommandFrame(TForm1& form) : Form(form) {}
    ~TCommandFrame() {
        Form.State.Busy = false;
        Form.DrawView();
        if (Hourglass)
            QApplication::restoreOverrideCursor();
    }
    void Busy() { Form.State.Busy = true; }
    void ShowHourglass() {
        if (!Hourglass)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        Hourglass = true;
    }

private:
    TForm1& Form;
    bool Hourglass = false;
};
} // namespace

TForm1::TForm1(TProgramInstances& instances, IDialogs& dialogs, const std::string& executablePath,
               ITextureSource* textures, QWidget* parent)
    : QMainWindow(parent), Instances(instances), Dialogs(dialogs),
      OwnTextures(textures ? nullptr : std::make_unique<TImageHeaderTextures>()),
      Resolver(instances.Shaders, textures ? *textures : *OwnTextures) {
    setWindowTitle("Quillon v1.4.0");
    BuildDialogs();
    BuildWindow();
    ConnectCommands();
    ConnectViewSwitches();
    ConnectTabs();
    StartUp(executablePath);
}

TForm1::~TForm1() = default;

void TForm1::BuildDialogs() {
    OpenDialog.Title = "Select a model to load";
    OpenDialog.Filter = "Quake 3 model  (.MD3)|*.MD3";
    OpenDialog.DefaultExt = ".MD3";
    OpenDialogMD3s.Kind = TFileDialog::TKind::OpenMany;
    OpenDialogMD3s.Title = "Select multiple models sequence";
    OpenDialogMD3s.Filter = "Quake 3 models  (.MD3)|*.MD3";
    SaveAsDialog.Kind = TFileDialog::TKind::Save;
    SaveAsDialog.OverwritePrompt = true;
    SkinDialog.Title = "Select a skin to load";
    SkinDialog.Filter = "Quake 3 model Skins  (*.skin)|*.skin";
    SkinDialog.DefaultExt = ".skin";
    ShaderDialog.Title = "Select a shader-file";
    ShaderDialog.Filter = "Shader-file  (.shader)|*.shader";
    ShaderDialog.DefaultExt = ".shader";
}

void TForm1::BuildWindow() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    SettingsBar = new TSettingsBar(central);
    layout->addWidget(SettingsBar);

    gbModel = new QGroupBox("Model", central);
    gbModel->setObjectName("gbModel");
    pcTabs = new QTabWidget(gbModel);
    pcTabs->setObjectName("pcTabs");
    tabGeneral = new TGeneralTab(pcTabs);
    tabAnimation = new TAnimationTab(pcTabs);
    tabTags = new TTagsTab(pcTabs);
    tabSurfaces = new TSurfacesTab(pcTabs);
    tabBones = new TBonesTab(pcTabs);
    tabView = new TViewTab(State.CurrentFrame, Dialogs, pcTabs);
    tabHelp = new THelpTab(pcTabs);
    pcTabs->addTab(tabGeneral, "General");
    pcTabs->addTab(tabAnimation, "Animation");
    pcTabs->addTab(tabTags, "Tags");
    pcTabs->addTab(tabSurfaces, "Surfaces");
    pcTabs->addTab(tabBones, "Bones");
    pcTabs->addTab(tabView, "View");
    pcTabs->addTab(tabHelp, "Help");
    Playback = tabView->Playback;
    auto* modelLayout = new QVBoxLayout(gbModel);
    modelLayout->addWidget(pcTabs);
    layout->addWidget(gbModel, 1);
    setCentralWidget(central);

    StatusBarText = new QLabel(statusBar());
    StatusBarText->setObjectName("StatusBarText");
    statusBar()->setObjectName("StatusBar");
    statusBar()->addWidget(StatusBarText, 1);
    statusBar()->setFocusPolicy(Qt::StrongFocus);
    statusBar()->setSizeGripEnabled(true);

    Menu = new TMainMenu(menuBar());
    MD3Edits = new TMD3EditCommands(*this);
    resize(1100, 800);
}

void TForm1::Connect(QAction* action, void (TForm1::*command)()) {
    connect(action, &QAction::triggered, this,
            [this, command] { RunCommand([&] { (this->*command)(); }); });
    Menu->MarkAvailable(action);
}

void TForm1::ConnectCommands() {
    Connect(Menu->actionFileLoad, &TForm1::actionFileLoad);
    Connect(Menu->actionFileSaveAs, &TForm1::actionFileSaveAs);
    Connect(Menu->actionFileExit, &TForm1::actionFileExit);
    Connect(Menu->actionModelClear, &TForm1::actionModelClear);
    Connect(Menu->actionHelp, &TForm1::actionHelp);
    Connect(Menu->actionSettingsGamedir, &TForm1::actionSettingsGamedir);
    Connect(Menu->actionFileSelectSkin, &TForm1::actionFileSelectSkin);
    Connect(Menu->actionFileClearSkin, &TForm1::actionFileClearSkin);
    Connect(Menu->actionModelSkinpermanent, &TForm1::actionModelSkinpermanent);
    Connect(Menu->actionFileAddtoshaderlist, &TForm1::actionFileAddtoshaderlist);
    Connect(Menu->actionFileClearshaderlist, &TForm1::actionFileClearshaderlist);
    const std::pair<QPushButton*, QAction*> buttons[] = {
        {SettingsBar->bSetGameDir, Menu->actionSettingsGamedir},
        {tabSurfaces->bSelectSkin, Menu->actionFileSelectSkin},
        {tabSurfaces->bClearSkin, Menu->actionFileClearSkin},
        {tabSurfaces->bSelectShaderFile, Menu->actionFileAddtoshaderlist},
        {tabSurfaces->bClearShaderList, Menu->actionFileClearshaderlist}};
    for (const auto& [button, action] : buttons)
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
    connect(tabHelp, &THelpTab::clicked, this, [this] {
        if (IsHelpShowing())
            actionHelp();
    });
    connect(tabSurfaces, &TSurfacesTab::shaderNameEntered, this,
            [this](int surface, const QString& name) {
                RunCommand([&] { ChangeShaderName(surface, name); });
            });
    connect(tabSurfaces, &TSurfacesTab::surfaceChosen, this, &TForm1::ShowSurfaceDetails);
    connect(tabSurfaces, &TSurfacesTab::stageChosen, this, &TForm1::ShowStageDetails);
    connect(tabView->cbTagPivots, &QComboBox::activated, this, &TForm1::ChoosePivot);
    connect(Playback, &TPlaybackControls::redrawRequested, this, &TForm1::DrawView);
    connect(Playback, &TPlaybackControls::playClicked, this, [this] {
        statusBar()->setFocus();
        if (pcTabs->currentWidget() == tabView)
            DrawView();
    });
    connect(Playback->cbAnimName, &QComboBox::activated, this, [this](int index) {
        if (State.ModelKind == TModelKind::Skeletal)
            Playback->ChooseAnimation(index);
    });
    MD3Edits->Connect();
}

void TForm1::ConnectViewSwitches() {
    struct TSwitch {
        QAction* Item;
        QCheckBox* Twin;
        bool TSettings::*Flag;
    };
    const TSwitch switches[] = {
        {Menu->actionViewShowalphapreview, SettingsBar->cbAlphaPreview,
         &TSettings::AlphaTexturePreview},
        {Menu->actionViewShowskeleton, SettingsBar->cbShowSkeleton, &TSettings::ShowSkeleton},
        {Menu->actionViewShowtags, SettingsBar->cbShowTags, &TSettings::ShowTags},
        {Menu->actionViewLighting, SettingsBar->cbLightingEnabled, &TSettings::Lighting},
        {Menu->actionViewCenterModel, SettingsBar->cbCenterModel, &TSettings::CenterModel},
    };
    for (const TSwitch& s : switches) {
        connect(s.Item, &QAction::toggled, this, [this, s](bool on) {
            s.Twin->setChecked(on);
            State.Settings.*s.Flag = on;
            DrawView();
        });
        connect(s.Twin, &QCheckBox::toggled, s.Item, &QAction::setChecked);
        Menu->MarkAvailable(s.Item);
    }
    connect(SettingsBar->cbShowNormals, &QCheckBox::toggled, this, &TForm1::DrawView);
    connect(Menu->menuViewShowskybox, &QAction::toggled, this, [this](bool on) {
        State.Settings.SkyBoxEnabled = on;
        Menu->menuViewSkycolors->setEnabled(!on);
        DrawView();
    });
    Menu->MarkAvailable(Menu->menuViewShowskybox);
    connect(Menu->menuViewSkycolortop, &QAction::triggered, this,
            [this] { SelectSkyColor(State.Settings.ColorTop); });
    connect(Menu->menuViewSkycolorbottom, &QAction::triggered, this,
            [this] { SelectSkyColor(State.Settings.ColorBottom); });
    Menu->MarkAvailable(Menu->menuViewSkycolortop);
    Menu->MarkAvailable(Menu->menuViewSkycolorbottom);
    connect(Menu->GammaItems, &QActionGroup::triggered, this, &TForm1::ChooseGamma);
    for (QAction* item : Menu->GammaItems->actions())
        Menu->MarkAvailable(item);
    // The menu item and the check box mirror each other; the flag is only stored.
    connect(Menu->actionSettingsCleanup, &QAction::toggled, SettingsBar->cbCleanUp,
            &QCheckBox::setChecked);
    connect(SettingsBar->cbCleanUp, &QCheckBox::toggled, this, [this](bool on) {
        Menu->actionSettingsCleanup->setChecked(on);
        State.Settings.Cleanup = on;
    });
}

void TForm1::ConnectTabs() {
    connect(pcTabs, &QTabWidget::currentChanged, this, &TForm1::TabChanged);
}

// --- start-up and closing ---

void TForm1::StartUp(const std::string& executablePath) {
    QLocale::setDefault(QLocale::c());
    const TAppFolders folders = TAppFolders::ForExecutable(executablePath);
    State.ApplicationFolder = folders.AppFolder;
    State.TemporaryFolder = folders.TmpFolder;
    Resolver.Folders = folders;
    Resolver.Status = [this](const std::string& text) { SetStatus(text); };
    State.SettingsPath =
        folders.AppFolder + std::filesystem::path(executablePath).stem().string() + ".ini";
    if (!IsInstalledCorrectly()) {
        Dialogs.ShowMessage(MissingTexturesMessage);
        RequestQuit(1);
    }

    State.Settings = TSettings::Read(State.SettingsPath);
    ApplySettingsToControls();
    if (IsGameArchiveInUse()) {
        Dialogs.ShowMessage(GameInUseMessage);
        RequestQuit(1);
        return;
    }

    State.ColorConvert = 0;
    try {
        folders.CreateTempFolders();
    } catch (const FileError& error) {
        Dialogs.ShowError(error.what());
    }
    State.ModelKind = TModelKind::None;
    RebuildShaderList();
    State.CurrentFrame = 0;
    State.View = TViewState{};

    ApplyTabSet(TModelKind::None);
    tabTags->gbAddTags->show();
    tabTags->bTagFilename->setEnabled(false);
    ApplyMenuState(TModelKind::None);
    Menu->menuViewSkycolors->setEnabled(!State.Settings.SkyBoxEnabled);

    State.TextureSearchFolders = {State.ApplicationFolder + "textures/BG/",
                                  State.ApplicationFolder + "textures/", State.ApplicationFolder,
                                  State.TemporaryFolder};
    ResetView();
}

bool TForm1::IsInstalledCorrectly() const {
    return IsFolder(State.ApplicationFolder + "textures");
}

bool TForm1::IsGameArchiveInUse() const {
    if (State.Settings.GameDir.empty())
        return false;
    const std::string archive =
        FindFileIgnoringCase(WithTrailingSlash(State.Settings.GameDir) + "etmain/pak0.pk3");
    return !archive.empty() && IsHeldByAnotherProcess(archive);
}

void TForm1::RequestQuit(int code) {
    StartupQuitCode = code;
}

void TForm1::ApplySettingsToControls() {
    const TSettings& s = State.Settings;
    SettingsBar->leGameDir->setText(Q(s.GameDir));
    Menu->CheckGamma(s.Gamma);
    Menu->actionViewShowalphapreview->setChecked(s.AlphaTexturePreview);
    Menu->actionViewShowskeleton->setChecked(s.ShowSkeleton);
    Menu->actionViewShowtags->setChecked(s.ShowTags);
    Menu->actionViewLighting->setChecked(s.Lighting);
    Menu->actionViewCenterModel->setChecked(s.CenterModel);
    Menu->menuViewShowskybox->setChecked(s.SkyBoxEnabled);
    // toggled() only fires on a change: bring the twins and the flags in step either way.
    SettingsBar->cbAlphaPreview->setChecked(s.AlphaTexturePreview);
    SettingsBar->cbShowSkeleton->setChecked(s.ShowSkeleton);
    SettingsBar->cbShowTags->setChecked(s.ShowTags);
    SettingsBar->cbLightingEnabled->setChecked(s.Lighting);
    SettingsBar->cbCenterModel->setChecked(s.CenterModel);
    State.Settings = s;
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!Shown) {
        Shown = true;
        RunCommand([this] { FirstShow(); });
    }
}

void TForm1::FirstShow() {
    if (!State.Settings.GameDir.empty()) {
        ApplyGameFolder();
        ApplyTabSet(State.ModelKind);
        pcTabs->setCurrentWidget(tabView);
    } else {
        actionSettingsGamedir();
        ShowHelp();
    }
    DrawView();
}

void TForm1::closeEvent(QCloseEvent* event) {
    WriteSettings();
    QMainWindow::closeEvent(event);
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        !QCoreApplication::closingDown())
        DrawView();
}

void TForm1::WriteSettings() {
    State.Settings.Cleanup = Menu->actionSettingsCleanup->isChecked();
    try {
        if (!State.Settings.Write(State.SettingsPath))
            Dialogs.ShowError("The settings could not be written to " + State.SettingsPath);
    } catch (const FileError& error) {
        Dialogs.ShowError(error.what());
    }
}

// --- shared operations ---

void TForm1::RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        Dialogs.ShowError(error.what());
    }
}

void TForm1::FillPanels() {
    const TMD3& md3 = Instances.MD3;
    tabGeneral->Fill(md3);
    tabAnimation->Fill(md3);
    tabTags->Fill(md3);
    tabSurfaces->Fill(md3);
    std::vector<std::string> tagNames;
    for (uint32_t t = 0; t < md3.Header.numTags && t < md3.Header.Tags.size(); ++t)
        tagNames.push_back(NameToString(md3.Header.Tags[t].name));
    tabView->SetPivots(tagNames);
}

void TForm1::ClearPanels() {
    tabGeneral->Clear();
    tabAnimation->Clear();
    tabTags->Clear();
    tabSurfaces->Clear();
    tabBones->Clear();
    tabView->SetPivots({});
}

void TForm1::SetTabVisible(QWidget* tab, bool visible) {
    pcTabs->setTabVisible(pcTabs->indexOf(tab), visible);
}

void TForm1::ApplyTabSet(TModelKind kind) {
    const bool md3 = kind == TModelKind::MD3;
    const bool skeletal = kind == TModelKind::Skeletal || kind == TModelKind::MDS;
    SetTabVisible(tabView, true);
    SetTabVisible(tabGeneral, md3);
    SetTabVisible(tabAnimation, md3);
    SetTabVisible(tabTags, md3);
    SetTabVisible(tabSurfaces, md3 || skeletal);
    SetTabVisible(tabBones, skeletal);
    SetTabVisible(tabHelp, false);
    tabView->gbLOD->setEnabled(skeletal);
    if (!pcTabs->isTabVisible(pcTabs->currentIndex()))
        pcTabs->setCurrentWidget(tabView);
}

void TForm1::ApplyMenuState(TModelKind kind) {
    Menu->ApplyModelKind(kind);
    UpdateEmbedSkin();
    tabTags->gbAddTags->setEnabled(kind == TModelKind::MD3);
}

void TForm1::ShowHelp() {
    SetTabVisible(tabHelp, true);
    pcTabs->setCurrentWidget(tabHelp);
    for (QWidget* tab : {(QWidget*)tabGeneral, (QWidget*)tabAnimation, (QWidget*)tabTags,
                         (QWidget*)tabSurfaces, (QWidget*)tabBones, (QWidget*)tabView})
        SetTabVisible(tab, false);
}

bool TForm1::IsHelpShowing() const {
    return pcTabs->isTabVisible(pcTabs->indexOf(tabHelp));
}

void TForm1::ResetAnimationControls() {
    int frames = 0;
    if (State.ModelKind == TModelKind::MD3)
        frames = static_cast<int>(Instances.MD3.Header.numFrames);
    else if (State.ModelKind == TModelKind::Skeletal || State.ModelKind == TModelKind::MDS)
        frames = static_cast<int>(Instances.MDX.Header.numFrames);
    Playback->Reset(frames);
}

void TForm1::ResetView() {
    if (tabView->cbLockView->isChecked())
        return;
    if (ResetViewHook) {
        ResetViewHook();
        return;
    }
    State.View = TViewState{};
}

void TForm1::DrawView() {
    if (State.Busy || !ViewWidget)
        return;
    ViewWidget->update();
}

void TForm1::AttachView(QWidget* view) {
    ViewWidget = view;
    tabView->OGLLayout->addWidget(view);
}

void TForm1::MarkChanged() {
    gbModel->setTitle(gbModel->title() + "*");
}

void TForm1::SetStatus(const std::string& text) {
    StatusBarText->setText(Q(text));
}

QString TForm1::StatusText() const {
    return StatusBarText->text();
}

void TForm1::SetSaveHints(const QString& hint) {
    Menu->actionFileSaveAs->setStatusTip(hint);
    Menu->actionFileSaveAs->setToolTip(hint);
}

// --- texture resolution and the 3D view ---

TModelRef TForm1::ModelRef() {
    return {static_cast<int>(State.ModelKind), &Instances.MD3, &Instances.MDM};
}

TResolveInput TForm1::ResolveInput() {
    TResolveInput input;
    input.Model = ModelRef();
    input.Source = static_cast<int>(State.ModelSource);
    input.ModelFolder = State.ModelFolder;
    input.ArchivePath = State.ArchivePath;
    // The MD3 dialog is the only model dialog; its choice is forgotten by loads from archives.
    if (State.ModelKind == TModelKind::MD3 && !OpenDialog.FileName.empty())
        input.ModelFileFolder = FolderPart(OpenDialog.FileName);
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
        SurfaceDetails(ModelRef(), Instances.Shaders, Resolver.Skin, Resolver.ShaderFileItems,
                       Resolver.ShaderNameFoundItems, surface);
    tabSurfaces->ShowSurface(details);
    if (details.Stage.PreviewVisible && TexturePreviewHook)
        TexturePreviewHook(surface, 0);
}

void TForm1::ShowStageDetails(int surface, int stage) {
    const TStageDetails details = StageDetails(ModelRef(), Instances.Shaders, surface, stage);
    tabSurfaces->ShowStage(details);
    if (details.PreviewVisible && TexturePreviewHook)
        TexturePreviewHook(surface, stage);
}

void TForm1::UpdateSkinsShadersTextures() {
    Resolve([this](const TResolveInput& input) { Resolver.Update(input); });
}

void TForm1::UpdateEmbedSkin() {
    Menu->actionModelSkinpermanent->setEnabled(Resolver.CanEmbedSkin(ModelRef()));
}

void TForm1::LoadSkin(const std::string& path) {
    const bool loaded = Resolver.LoadSkin(path, false, ResolveInput());
    UpdateEmbedSkin();
    if (!loaded)
        return;
    tabSurfaces->leSkinFile->setText(Q(FilePart(path)));
    tabSurfaces->leSkin->clear();
    UpdateSkinsShadersTextures();
}

void TForm1::ClearSkin() {
    tabSurfaces->leSkinFile->clear();
    tabSurfaces->leSkin->clear();
    Menu->actionModelSkinpermanent->setEnabled(false);
    if (!Resolver.Skin.Empty())
        Resolve([this](const TResolveInput& input) { Resolver.ClearSkin(input); });
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
        SettingsBar->leGameDir->setText(Q(Resolver.Game.Path()));
}

void TForm1::RecomputePivotOffset() {
    if (State.Settings.CenterModel)
        return; // the fit has centred the model's bounding box
    State.View.PivotOffset =
        State.ModelKind == TModelKind::MD3
            ? TViewRenderer::TagPivot(Instances.MD3, tabView->cbTagPivots->currentIndex(), 0)
            : TVector{};
}

void TForm1::RefreshTexturePreview() {
    ShowStageDetails(tabSurfaces->CurrentSurface(), tabSurfaces->CurrentStage());
}

void TForm1::ReloadTextures() {
    Resolver.ReloadTextures(State.Settings.Gamma);
    if (pcTabs->currentWidget() == tabSurfaces)
        RefreshTexturePreview();
    DrawView();
}

// --- commands ---

void TForm1::actionFileLoad() {
    LoadMD3(std::nullopt);
}

void TForm1::OpenFromCommandLine(const std::string& path) {
    RunCommand([&] {
        if (LowerExtension(path) == ".md3")
            LoadMD3(path);
        else
            SetStatus("Only MD3 models can be opened from the command line: " + FilePart(path));
    });
}

void TForm1::LoadMD3(const std::optional<std::string>& chosenPath) {
    SetStatus("");
    TCommandFrame frame(*this);
    frame.Busy();
    tabView->ResetLOD();
    Playback->SetAnimations({});
    Instances.MD3.Clear();
    Instances.MDM.Clear();
    Instances.MDX.Clear();
    ClearPanels();
    ReleaseMapShaderList();
    State.ArchivePath.clear();
    OpenDialog.FileName.clear();
    if (chosenPath)
        OpenDialog.FileName = *chosenPath;
    else if (!Dialogs.Execute(OpenDialog))
        return;
    const std::string path = OpenDialog.FileName;
    if (!Instances.MD3.LoadFromFile(path))
        return;
    frame.ShowHourglass();
    ApplyTabSet(TModelKind::MD3);
    repaint();
    State.ModelSource = TModelSource::File;
    State.ModelKind = TModelKind::MD3;
    State.ModelFolder = FolderPart(path);
    FillPanels();
    ApplyMenuState(TModelKind::MD3);
    tabGeneral->leName->setText(Q(path));
    gbModel->setTitle(Q(FilePart(path)));
    ClearSkin();
    ResetAnimationControls();
    ResetView();
    UpdateSkinsShadersTextures();
    SetStatus("MD3 loaded");
    SetSaveHints("Save as MD3");
}

void TForm1::actionFileSaveAs() {
    TCommandFrame frame(*this);
    frame.Busy();
    std::string message;
    SetStatus("");
    if (State.ModelKind == TModelKind::MD3) {
        SaveAsDialog.DefaultExt = ".MD3";
        SaveAsDialog.Filter = "Quake 3 model (.MD3)|*.MD3";
        SaveAsDialog.Title = "Save a model";
        if (Dialogs.Execute(SaveAsDialog)) {
            const std::string name = FilePart(SaveAsDialog.FileName);
            if (Instances.MD3.SaveToFile(SaveAsDialog.FileName)) {
                gbModel->setTitle(Q(name));
                message = "Model saved to file: " + name;
            } else {
                message = "The model could not be written to file: " + name;
            }
        }
    }
    SetStatus(message);
}

void TForm1::actionFileExit() {
    close();
}

void TForm1::actionModelClear() {
    SetStatus("");
    State.ModelKind = TModelKind::None;
    State.ModelSource = TModelSource::None;
    Instances.MD3.Clear();
    Instances.MDM.Clear();
    Instances.MDX.Clear();
    ClearPanels();
    ApplyMenuState(TModelKind::None);
    ApplyTabSet(TModelKind::None);
    ClearSkin();
    ResetAnimationControls();
    SetSaveHints("");
    gbModel->setTitle("Model");
    SetStatus("Environment cleared..");
    DrawView();
}

void TForm1::actionHelp() {
    if (IsHelpShowing()) {
        ApplyTabSet(State.ModelKind);
        pcTabs->setCurrentWidget(tabView);
    } else {
        ShowHelp();
    }
}

void TForm1::actionSettingsGamedir() {
    const auto chosen = Dialogs.PickFolder("Select the path of the game");
    if (!chosen || chosen->empty())
        return;
    const std::string folder = TGameFolder::FromChosenPath(*chosen);
    if (!TGameFolder::IsValid(folder))
        return;
    State.Settings.GameDir = folder;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ApplyGameFolder();
    QApplication::restoreOverrideCursor();
}

void TForm1::actionFileSelectSkin() {
    if (!Dialogs.Execute(SkinDialog))
        return;
    TCommandFrame frame(*this);
    frame.ShowHourglass();
    repaint();
    LoadSkin(SkinDialog.FileName);
}

void TForm1::actionFileClearSkin() {
    ClearSkin();
}

void TForm1::actionModelSkinpermanent() {
    if (Resolver.Skin.Empty())
        return;
    if (Dialogs.AskYesNoCancel(
            "Confirmation", "Copy the shaders/textures from the currently loaded skin-file?..") !=
        TAnswer::Yes)
        return;
    if (!Resolver.EmbedSkin(ModelRef()))
        return;
    FillPanels();
    MarkChanged();
}

void TForm1::actionFileAddtoshaderlist() {
    if (!Dialogs.Execute(ShaderDialog))
        return;
    State.Settings.ShaderList.push_back(ShaderDialog.FileName);
    RebuildShaderList();
}

void TForm1::actionFileClearshaderlist() {
    State.Settings.ShaderList.clear();
    RebuildShaderList();
}

void TForm1::ChangeShaderName(int surface, const QString& name) {
    if (State.ModelKind == TModelKind::MD3)
        Instances.MD3.SetShaderName(surface, name.toStdString());
    else if (State.ModelKind == TModelKind::Skeletal || State.ModelKind == TModelKind::MDS)
        Instances.MDM.SetSurfaceShader(surface, name.toStdString());
    else
        return;
    MarkChanged();
    UpdateSkinsShadersTextures();
}

void TForm1::ChoosePivot(int) {
    if (tabView->cbLockView->isChecked())
        return;
    State.View.ModelRotation = {};
    State.View.Pan = {};
    RecomputePivotOffset();
    statusBar()->setFocus();
    DrawView();
}

void TForm1::TabChanged(int index) {
    statusBar()->setFocus();
    if (pcTabs->widget(index) == tabView)
        DrawView();
    else if (pcTabs->widget(index) == tabSurfaces)
        RefreshTexturePreview();
}

void TForm1::SelectSkyColor(uint32_t& color) {
    if (const auto chosen = Dialogs.PickColor(color)) {
        color = *chosen;
        DrawView();
    }
}

void TForm1::ChooseGamma(QAction* item) {
    State.Settings.Gamma = Menu->GammaOf(item);
    ReloadTextures();
}

} // namespace quillon
