// The main window. It owns the window state, builds the Settings bar, the model area with its
// tabs, the status bar and the main menu, keeps tabs and menus in step with the kind of model
// loaded, runs start-up and closing, and ties the surfaces of the model to the game data. The
// commands live in groups of their own (MD3 files, any file, texturing, MD3 editing, view
// pictures) and reach the window
// through IModelWindow; every command runs through RunCommand, so a file that cannot be opened
// ends it cleanly (busy flag cleared, view drawn, cursor restored) and is reported in a box.
//
// Its implementation is split by seam: Form1.cpp (the parts and the shared operations),
// Form1StartUp.cpp (start-up, settings and closing), Form1GameData.cpp (texture resolution and
// the Surfaces tab's details).
#pragma once

#include "ModelWindow.h"
#include "WindowState.h"
#include "gamedata/SurfaceResolver.h"
#include "render/ViewState.h"

#include <QImage>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QGroupBox;
class QLabel;
class QTabWidget;

namespace quillon {

class TAnimationTab;
class TArchiveCommands;
class TAnyFileCommands;
class TBonesTab;
class TCheckCommands;
class TExportCommands;
class TGeneralTab;
class THelpTab;
class TMainMenu;
class TMD3EditCommands;
class TMD3FileCommands;
class TPlaybackControls;
class TPlayerCommands;
struct TPlayerChoice;
class TSettingsBar;
class TSkeletalCommands;
class TSurfacesTab;
class TTagsTab;
class TTexturingCommands;
class TViewCommands;
class TViewTab;

namespace test {
class TFormAccess;
}

class TForm1 : public QMainWindow, public IModelWindow {
    Q_OBJECT
public:
    // Runs the start-up: settings, installation check, temporary folders, initial state. Images
    // are loaded through `textures` (the program's texture manager); without one they are only
    // measured, as the tests need.
    TForm1(TProgramInstances& instances, IDialogs& dialogs, const std::string& executablePath,
           ITextureSource* textures = nullptr, QWidget* parent = nullptr);
    ~TForm1() override;

    // The exit code that start-up asked the program to end with (0: none was asked).
    int QuitCode() const { return StartupQuitCode; }
    // Opens the files named on the command line, each as "Load From File..." would by its
    // extension; true when every one was loaded.
    bool OpenFromCommandLine(const std::vector<std::string>& paths);
    // Opens a whole player as "Load Player From File..." or "... From Game..." would, with the
    // skin, animations and weapon chosen; false (the status says why) when it cannot.
    bool OpenPlayer(const TPlayerChoice& choice);
    // What the first showing does, for pictures made without showing the window: the game
    // folder of the settings applied (never asked for) and the View tab chosen. A non-empty
    // `gameDir` stands for the settings' game folder in this run; false when it is no game
    // folder.
    bool StartWithoutWindow(const std::string& gameDir);
    void SetCurrentFrame(int frame) { State.CurrentFrame = frame; }
    QString StatusText() const;

    // --- the 3D view's side ---
    // Puts the 3D view widget into the View tab's panel.
    void AttachView(QWidget* view);
    const std::vector<std::string>& TextureSearchFolders() const;
    // The view state the mouse, the wheel and the fit change; the window owns it.
    TView3DState& ViewState();
    // How a frame is drawn now: the model kind, the frame, the view flags and colours.
    TViewOptions ViewOptions() const;
    // Set by the 3D view: reset and fit in place of the plain reset.
    std::function<void()> ResetViewHook;
    // Set by the 3D view: the Surfaces tab's preview image of a texture (for texture 0 the
    // panel's grey in `emptySize`); none when the texture cannot be read back.
    std::function<std::optional<QImage>(uint32_t texture, bool showAlpha, QSize emptySize)>
        TexturePreviewHook;
    // Set by the 3D view: the screenshot's picture.
    std::function<std::optional<TViewImage>()> ScreenshotHook;

    // --- IModelWindow ---
    TProgramInstances& Instances() override { return ProgramInstances; }
    IDialogs& Dialogs() override { return UserDialogs; }
    ITextureSource& TextureSource() override { return Textures; }
    const std::string& ScreenshotFolder() const override { return State.ScreenshotFolder; }
    TModelKind ModelKind() const override { return State.ModelKind; }
    TModelSource ModelSource() const override { return State.ModelSource; }
    int CurrentFrame() const override { return State.CurrentFrame; }
    const std::string& ModelFolder() const override { return State.ModelFolder; }
    int ChosenSurface() const override;
    int ChosenPivot() const override;
    std::string ChosenPivotName() const override;
    TFileDialog& ModelOpenDialog() override { return OpenDialog; }
    void RunCommand(const std::function<void()>& command) override;
    void SetBusy(bool busy) override { State.Busy = busy; }
    void SetStatus(const std::string& text) override;
    void DrawView() override;
    void RepaintNow() override;
    void EmptyModels() override;
    void ResetModelControls() override;
    void ReleaseMapShaderList() override;
    void ClearArchivePath() override { State.ArchivePath.clear(); }
    void SetCurrentModel(TModelKind kind, TModelSource source, const std::string& folder) override;
    void ApplyTabSet(TModelKind kind) override;
    void ApplyMenuState(TModelKind kind) override;
    void SetModelNameField(const std::string& text) override;
    void SetModelCaption(const std::string& text) override;
    void SetSaveHints(const std::string& hint) override;
    void FinishLoad(const std::string& status, const std::string& saveHint,
                    const std::string& defaultSkin = {}) override;
    void FillPanels() override;
    void ResetAnimationControls() override;
    void ResetView() override;
    void MarkChanged() override;
    void UpdateSkinsShadersTextures() override;
    bool LoadSkin(const std::string& path, bool updateNow) override;
    void ClearSkin() override;
    void UseSkin(const TSkin& skin, const std::string& name) override;
    bool HasSkin() const override;
    bool DefaultSkinOnLoad() const override { return State.Settings.DefaultSkinOnLoad; }
    bool EmbedSkin() override;
    const std::vector<std::string>& ShaderList() const override;
    void SetShaderList(const std::vector<std::string>& paths) override;
    std::optional<TViewImage> TakeScreenshot() override;
    std::string GameArchive() const override;
    std::vector<std::string> GameArchives() const override { return Resolver.Game.Archives(); }
    const TAppFolders& ExtractionFolders() const override { return Resolver.Folders; }
    void SetArchiveChoice(const std::string& archivePath,
                          const std::string& selectedFolder) override;
    void RegisterMapArchiveShaderFiles() override;
    std::vector<TFinding> CheckModel() override;
    void ShowFindingCount() override;
    std::vector<TSurfaceMaterial> SurfaceMaterials() override;
    void ShowPlace(int surface, int frame) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class test::TFormAccess;

    // --- the parts and their wiring (Form1.cpp) ---
    void BuildWindow();
    void ConnectCommands();
    void ConnectWindowCommands();
    void ClearPanels();
    void FillSkeletalPanels();
    void ShowHelp();
    bool IsHelpShowing() const;
    void SetTabVisible(QWidget* tab, bool visible);
    void TabChanged(int index);
    void ChoosePivot(int index);
    void RecomputePivotOffset();
    void ClearModel();
    // The whole player and its group: gone once another model is loaded or the model cleared.
    void ForgetPlayer();
    void ToggleHelp();

    // --- start-up, settings and closing (Form1StartUp.cpp) ---
    void StartUp(const std::string& executablePath);
    bool IsInstalledCorrectly() const;
    bool IsGameArchiveInUse() const;
    void RequestQuit(int code);
    void ApplySettingsToControls();
    void ConnectViewSwitches();
    void SelectSkyColor(uint32_t& color);
    void ChooseGamma(QAction* item);
    void ChooseGameFolder();
    void FirstShow();
    void OpenOnGameFolder();
    void ShowSkyColorSwatches();
    void WriteSettings();

    // --- texture resolution and the Surfaces tab (Form1GameData.cpp) ---
    // The current model and where it came from, as texture resolution needs them.
    TModelRef ModelRef();
    TResolveInput ResolveInput();
    // Runs a step of texture resolution; the Surfaces tab then shows what it resolved.
    void Resolve(const std::function<void(const TResolveInput&)>& step);
    void ShowResolved();
    void ShowSurfaceDetails(int surface);
    void ShowStageDetails(int surface, int stage);
    void PreviewStage(int surface, int stage);
    void RefreshTexturePreview();
    void UpdateEmbedSkin();
    void RebuildShaderList();
    void ApplyGameFolder();
    void ReloadTextures();

    TProgramInstances& ProgramInstances;
    IDialogs& UserDialogs;
    std::unique_ptr<ITextureSource> OwnTextures; // when no texture manager was given
    ITextureSource& Textures;
    // The game folder, the shader script lists, the skin and what the last update resolved.
    TSurfaceResolver Resolver;
    TWindowState State;
    TFileDialog OpenDialog;

    TMainMenu* Menu;
    TSettingsBar* SettingsBar;
    QGroupBox* gbModel;
    QTabWidget* pcTabs;
    TGeneralTab* tabGeneral;
    TAnimationTab* tabAnimation;
    TTagsTab* tabTags;
    TSurfacesTab* tabSurfaces;
    TBonesTab* tabBones;
    TViewTab* tabView;
    THelpTab* tabHelp;
    TPlaybackControls* Playback;
    QLabel* StatusBarText;
    // The model check's finding count after the last load, at the right of the status bar.
    QLabel* CheckSummary;
    QWidget* ViewWidget = nullptr;

    TMD3FileCommands* MD3Files;
    TAnyFileCommands* AnyFiles;
    TTexturingCommands* Texturing;
    TMD3EditCommands* MD3Edits;
    TViewCommands* ViewCommands;
    TSkeletalCommands* Skeletal;
    TArchiveCommands* ArchiveCommands;
    TExportCommands* Exports;
    TCheckCommands* Checks;
    TPlayerCommands* PlayerCommands;

    int StartupQuitCode = 0;
    bool Shown = false;
};

} // namespace quillon
