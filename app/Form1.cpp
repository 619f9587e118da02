#include "Form1.h"

#include "AnimationTab.h"
#include "AnyFileCommands.h"
#include "ArchiveCommands.h"
#include "BonesTab.h"
#include "CheckCommands.h"
#include "CommandFrame.h"
#include "ExportCommands.h"
#include "FrameSlider.h"
#include "GeneralTab.h"
#include "HelpTab.h"
#include "LodGroup.h"
#include "MD3EditCommands.h"
#include "MD3FileCommands.h"
#include "MainMenu.h"
#include "PlaybackControls.h"
#include "PlayerCommands.h"
#include "PlayerGroup.h"
#include "SettingsBar.h"
#include "SkeletalCommands.h"
#include "SurfacesTab.h"
#include "TagsTab.h"
#include "TexturingCommands.h"
#include "ViewCommands.h"
#include "ViewTab.h"
#include "core/CasePath.h"
#include "core/FileError.h"
#include "core/Version.h"
#include "gamedata/ImageHeaderTextures.h"
#include "gamedata/ScriptText.h"
#include "render/SkeletalDrawer.h"
#include "render/ViewRenderer.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace quillon {

namespace {
bool HasExtension(const std::string& path, std::string_view extension) {
    return EqualsIgnoringCase(ExtensionOf(path), extension);
}
} // namespace

TForm1::TForm1(TProgramInstances& instances, IDialogs& dialogs, const std::string& executablePath,
               ITextureSource* textures, QWidget* parent)
    : QMainWindow(parent), ProgramInstances(instances), UserDialogs(dialogs),
      OwnTextures(textures ? nullptr : std::make_unique<TImageHeaderTextures>()),
      Textures(textures ? *textures : *OwnTextures), Resolver(instances.Shaders, Textures) {
    setWindowTitle(QString("%1 v%2").arg(ProgramName, ProgramVersion));
    OpenDialog.Title = "Select a model to load";
    OpenDialog.Filter = "Quake 3 model  (.MD3)|*.MD3";
    OpenDialog.DefaultExt = ".MD3";
    BuildWindow();
    ConnectCommands();
    ConnectViewSwitches();
    StartUp(executablePath);
}

TForm1::~TForm1() = default;

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
    tabView = new TViewTab(
        State.CurrentFrame, UserDialogs, ProgramInstances.MDM,
        [this] { return IsSkeletal(State.ModelKind); }, pcTabs);
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
    CheckSummary = new QLabel(statusBar());
    CheckSummary->setObjectName("CheckSummary");
    statusBar()->addPermanentWidget(CheckSummary);
    statusBar()->setFocusPolicy(Qt::StrongFocus);
    statusBar()->setSizeGripEnabled(true);

    Menu = new TMainMenu(menuBar());
    MD3Files = new TMD3FileCommands(*this, this);

    Texturing = new TTexturingCommands(*this, this);
    MD3Edits = new TMD3EditCommands(*this, *tabTags, this);
    ViewCommands = new TViewCommands(*this, *tabView, this);
    ArchiveCommands = new TArchiveCommands(*this, this);
    Skeletal =
        new TSkeletalCommands(*this, *ArchiveCommands, *tabBones, *tabView->gbLOD, *Playback, this);
    AnyFiles = new TAnyFileCommands(*this, *Skeletal, this);
    Exports = new TExportCommands(*this, this);
    Checks = new TCheckCommands(*this, this);
    PlayerCommands = new TPlayerCommands(*this, *tabAnimation->gbPlayer, *Playback, this);
    resize(1100, 800);
}

void TForm1::ConnectCommands() {
    ConnectWindowCommands();
    MD3Files->Connect(*Menu);
    AnyFiles->Connect(*Menu);
    Texturing->Connect(*Menu);
    MD3Edits->Connect(*Menu);
    ViewCommands->Connect(*Menu);
    Skeletal->Connect(*Menu);
    ArchiveCommands->Connect(*Menu);
    Exports->Connect(*Menu);
    Checks->Connect(*Menu);
    PlayerCommands->Connect(*Menu);
    const std::pair<QPushButton*, QAction*> buttons[] = {
        {SettingsBar->bSetGameDir, Menu->actionSettingsGamedir},
        {tabSurfaces->bSelectSkin, Menu->actionFileSelectSkin},
        {tabSurfaces->bSelectSkinfrompk3, Menu->actionFileSelectSkinfrompk3},
        {tabSurfaces->bClearSkin, Menu->actionFileClearSkin},
        {tabSurfaces->bSelectShaderFile, Menu->actionFileAddtoshaderlist},
        {tabSurfaces->bClearShaderList, Menu->actionFileClearshaderlist}};
    for (const auto& [button, action] : buttons)
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
    connect(tabHelp, &THelpTab::clicked, this, [this] {
        if (IsHelpShowing())
            ToggleHelp();
    });
    connect(tabSurfaces, &TSurfacesTab::shaderNameEntered, this,
            [this](int surface, const QString& name) {
                RunCommand([&] { Texturing->ChangeShaderName(surface, name.toStdString()); });
            });
    connect(tabSurfaces, &TSurfacesTab::surfaceChosen, this, &TForm1::ShowSurfaceDetails);
    connect(tabSurfaces, &TSurfacesTab::stageChosen, this, &TForm1::ShowStageDetails);
    connect(tabView->cbTagPivots, &QComboBox::activated, this, &TForm1::ChoosePivot);
    connect(pcTabs, &QTabWidget::currentChanged, this, &TForm1::TabChanged);
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
}

void TForm1::ConnectWindowCommands() {
    ConnectCommand(*this, *Menu, Menu->actionFileExit, this, [this] { close(); });
    ConnectCommand(*this, *Menu, Menu->actionModelClear, this, [this] { ClearModel(); });
    ConnectCommand(*this, *Menu, Menu->actionFileSaveAs, this, [this] {
        if (IsSkeletal(State.ModelKind))
            Skeletal->SaveAs();
        else
            MD3Files->SaveAs();
    });
    ConnectCommand(*this, *Menu, Menu->actionHelp, this, [this] { ToggleHelp(); });
    ConnectCommand(*this, *Menu, Menu->actionSettingsGamedir, this, [this] { ChooseGameFolder(); });
}

bool TForm1::OpenFromCommandLine(const std::vector<std::string>& paths) {
    bool all = true;
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::string& path = paths[i];
        const bool mesh = HasExtension(path, ".mdm");
        // A mesh takes the animation named after it; the skeletal loads report their own
        // failures in the status bar.
        const bool withAnimation =
            mesh && i + 1 < paths.size() && HasExtension(paths[i + 1], ".mdx");
        const std::optional<std::string> animation =
            withAnimation ? std::optional(paths[++i]) : std::nullopt;
        bool loaded = false;
        RunCommand([&] {
            if (mesh) {
                Skeletal->LoadMDMMDX(path, animation);
                loaded = IsSkeletal(State.ModelKind);
            } else if (HasExtension(path, ".mds")) {
                Skeletal->LoadMDS(path);
                loaded = State.ModelKind == TModelKind::MDS;
            } else {
                loaded = AnyFiles->LoadAnyFromFile(path);
            }
        });
        all = all && loaded;
    }
    return all;
}

// --- the window's own commands ---

void TForm1::ClearModel() {
    SetStatus("");
    State.ModelKind = TModelKind::None;
    State.ModelSource = TModelSource::None;
    ProgramInstances.MD3.Clear();
    ProgramInstances.MDM.Clear();
    ProgramInstances.MDX.Clear();
    ForgetPlayer();
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

void TForm1::ToggleHelp() {
    if (IsHelpShowing()) {
        ApplyTabSet(State.ModelKind);
        pcTabs->setCurrentWidget(tabView);
    } else {
        ShowHelp();
    }
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

// --- what commands share ---

int TForm1::ChosenSurface() const {
    return tabSurfaces->CurrentSurface();
}

int TForm1::ChosenPivot() const {
    return tabView->ChosenPivot();
}

std::string TForm1::ChosenPivotName() const {
    return tabView->ChosenPivotName();
}

void TForm1::RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        UserDialogs.ShowError(error.what());
    }
}

void TForm1::SetStatus(const std::string& text) {
    StatusBarText->setText(QString::fromStdString(text));
}

void TForm1::FinishLoad(const std::string& status, const std::string& saveHint,
                        const std::string& defaultSkin) {
    ClearSkin();
    const std::string shown = ApplyDefaultSkin(defaultSkin, status);
    ResetAnimationControls();
    ResetView();
    UpdateSkinsShadersTextures();
    SetStatus(shown);
    SetSaveHints(saveHint);
    ShowFindingCount();
}

void TForm1::ShowFindingCount() {
    // A damaged archive stops the count, never the load.
    try {
        CheckSummary->setText(QString::fromStdString(FindingSummary(CheckModel())));
    } catch (const FileError& error) {
        CheckSummary->setText(QString::fromStdString(std::string("not checked: ") + error.what()));
    }
}

void TForm1::ShowPlace(int surface, int frame) {
    if (surface >= 0 && surface < tabSurfaces->cbNamesSurfaces->count()) {
        pcTabs->setCurrentWidget(tabSurfaces);
        tabSurfaces->cbNamesSurfaces->setCurrentIndex(surface);
    }
    if (frame >= 0 && frame <= Playback->tbCurrentFrame->maximum() &&
        !Playback->cbPlay->isChecked())
        Playback->tbCurrentFrame->setValue(frame);
}

QString TForm1::StatusText() const {
    return StatusBarText->text();
}

void TForm1::RepaintNow() {
    repaint();
}

void TForm1::ResetModelControls() {
    tabView->gbLOD->Reset();
    Playback->SetAnimations({});
    ForgetPlayer();
}

void TForm1::ForgetPlayer() {
    ProgramInstances.Player.Clear();
    tabAnimation->gbPlayer->Clear();
}

bool TForm1::OpenPlayer(const TPlayerChoice& choice) {
    bool opened = false;
    RunCommand([&] { opened = PlayerCommands->Open(choice); });
    return opened;
}

void TForm1::EmptyModels() {
    ResetModelControls();
    ProgramInstances.MD3.Clear();
    ProgramInstances.MDM.Clear();
    ProgramInstances.MDX.Clear();
    ClearPanels();
    ReleaseMapShaderList();
    State.ArchivePath.clear();
}

void TForm1::SetCurrentModel(TModelKind kind, TModelSource source, const std::string& folder) {
    State.ModelKind = kind;
    State.ModelSource = source;
    State.ModelFolder = folder;
}

void TForm1::SetModelNameField(const std::string& text) {
    tabGeneral->leName->setText(QString::fromStdString(text));
}

void TForm1::SetModelCaption(const std::string& text) {
    gbModel->setTitle(QString::fromStdString(text));
}

void TForm1::MarkChanged() {
    gbModel->setTitle(gbModel->title() + "*");
}

void TForm1::SetSaveHints(const std::string& hint) {
    const QString text = QString::fromStdString(hint);
    Menu->actionFileSaveAs->setStatusTip(text);
    Menu->actionFileSaveAs->setToolTip(text);
}

void TForm1::FillPanels() {
    if (IsSkeletal(State.ModelKind))
        return FillSkeletalPanels();
    const TMD3& md3 = ProgramInstances.MD3;
    tabGeneral->Fill(md3);
    tabAnimation->Fill(md3);
    tabTags->Fill(md3);
    tabSurfaces->Fill(md3);
    std::vector<std::string> tagNames;
    for (uint32_t t = 0; t < md3.Header.numTags && t < md3.Header.Tags.size(); ++t)
        tagNames.push_back(NameToString(md3.Header.Tags[t].name));
    tabView->SetPivots(tagNames);
}

void TForm1::FillSkeletalPanels() {
    const TMDM& mesh = ProgramInstances.MDM;
    tabGeneral->Fill(mesh);
    tabTags->Fill(mesh);
    tabSurfaces->Fill(mesh);
    tabBones->Fill(ProgramInstances.MDX);
    std::vector<std::string> tagNames;
    for (const TMDMTag& tag : mesh.Tags)
        tagNames.push_back(NameToString(tag.name));
    tabView->SetPivots(tagNames);
    tabView->gbLOD->Refresh();
}

void TForm1::ClearPanels() {
    CheckSummary->clear();
    tabGeneral->Clear();
    tabAnimation->Clear();
    tabTags->Clear();
    tabSurfaces->Clear();
    tabBones->Clear();
    tabView->SetPivots({});
    tabView->gbLOD->Reset();
}

void TForm1::SetTabVisible(QWidget* tab, bool visible) {
    pcTabs->setTabVisible(pcTabs->indexOf(tab), visible);
}

void TForm1::ApplyTabSet(TModelKind kind) {
    const bool md3 = kind == TModelKind::MD3;
    const bool skeletal = IsSkeletal(kind);
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

void TForm1::ResetAnimationControls() {
    int frames = 0;
    if (State.ModelKind == TModelKind::MD3)
        frames = static_cast<int>(ProgramInstances.MD3.Header.numFrames);
    else if (IsSkeletal(State.ModelKind))
        frames = static_cast<int>(ProgramInstances.MDX.Header.numFrames);
    Playback->Reset(frames);
}

// --- the 3D view ---

void TForm1::ResetView() {
    // Without a 3D view (as in the tests) there is no camera to place.
    if (tabView->IsViewLocked() || !ResetViewHook)
        return;
    ResetViewHook();
    // A whole player stands up and faces the viewer, as in the game: z up, its front (+x)
    // towards the camera.
    if (ProgramInstances.Player.IsLoaded())
        State.View.ModelRotation = {-90, 0, -90};
}

std::optional<TViewImage> TForm1::TakeScreenshot() {
    if (!ScreenshotHook)
        return std::nullopt;
    return ScreenshotHook();
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

const std::vector<std::string>& TForm1::TextureSearchFolders() const {
    return State.TextureSearchFolders;
}

TView3DState& TForm1::ViewState() {
    return State.View;
}

TViewOptions TForm1::ViewOptions() const {
    const TSettings& settings = State.Settings;
    TViewOptions options;
    options.ModelKind = State.ModelKind;
    options.CurrentFrame = State.CurrentFrame;
    options.ViewTabActive = pcTabs->currentWidget() == tabView;
    options.Busy = State.Busy;
    options.ShowTags = settings.ShowTags;
    options.ShowSkeleton = settings.ShowSkeleton;
    options.ShowNormals = SettingsBar->ShowNormals();
    options.Lighting = settings.Lighting;
    options.CenterModel = settings.CenterModel;
    options.LockView = tabView->IsViewLocked();
    options.PivotIndex = tabView->ChosenPivot();
    options.LODEnabled = tabView->gbLOD->PreviewEnabled();
    options.SkyBoxEnabled = settings.SkyBoxEnabled;
    options.SkyColorTop = settings.ColorTop;
    options.SkyColorBottom = settings.ColorBottom;
    return options;
}

void TForm1::ChoosePivot(int) {
    if (tabView->IsViewLocked())
        return;
    State.View.ModelRotation = {};
    State.View.PanOffset = {};
    RecomputePivotOffset();
    statusBar()->setFocus();
    DrawView();
}

void TForm1::RecomputePivotOffset() {
    if (State.Settings.CenterModel)
        return; // the fit has centred the model's bounding box
    const int pivot = tabView->ChosenPivot();
    if (State.ModelKind == TModelKind::MD3)
        State.View.PivotOffset = TViewRenderer::TagPivot(ProgramInstances.MD3, pivot, 0);
    else if (IsSkeletal(State.ModelKind))
        State.View.PivotOffset = TSkeletalDrawer::Pivot(ProgramInstances.MDM, ProgramInstances.MDX,
                                                        pivot, State.CurrentFrame);
    else
        State.View.PivotOffset = {};
}

void TForm1::TabChanged(int index) {
    statusBar()->setFocus();
    if (pcTabs->widget(index) == tabView)
        DrawView();
    else if (pcTabs->widget(index) == tabSurfaces)
        RefreshTexturePreview();
}

} // namespace quillon
