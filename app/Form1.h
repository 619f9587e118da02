// The main window. It owns the window state, builds the Settings bar, the model area with its
// tabs, the status bar and the main menu, keeps tabs and menus in step with the kind of model
// loaded, runs start-up and closing, and carries the window's own commands. Every command runs
// through RunCommand, so a file that cannot be opened ends it cleanly (busy flag cleared, view
// drawn, cursor restored) and is reported in a message box.
#pragma once

#include "Dialogs.h"
#include "ProgramInstances.h"
#include "WindowState.h"
#include "gamedata/SurfaceResolver.h"

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
class TBonesTab;
class TGeneralTab;
class THelpTab;
class TMainMenu;
class TMD3EditCommands;
class TPlaybackControls;
class TSettingsBar;
class TSurfacesTab;
class TTagsTab;
class TViewTab;

class TForm1 : public QMainWindow {
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
    // Opens a file named on the command line as its load command would open it.
    void OpenFromCommandLine(const std::string& path);
    // Puts the 3D view widget into the View tab's panel.
    void AttachView(QWidget* view);
    // Set by the 3D view: reset and fit in place of the plain reset.
    std::function<void()> ResetViewHook;
    // Set by the 3D view: the texture preview of a surface's stage.
    std::function<void(int surface, int stage)> TexturePreviewHook;

    // --- commands ---
    void actionFileLoad();
    void actionFileSaveAs();
    void actionFileExit();
    void actionModelClear();
    void actionHelp();
    void actionSettingsGamedir();
    void actionFileSelectSkin();
    void actionFileClearSkin();
    void actionModelSkinpermanent();
    void actionFileAddtoshaderlist();
    void actionFileClearshaderlist();

    // --- operations the commands share ---
    void FillPanels();
    void ClearPanels();
    void ApplyTabSet(TModelKind kind);
    void ApplyMenuState(TModelKind kind);
    void ShowHelp();
    bool IsHelpShowing() const;
    void ResetAnimationControls();
    // Back to the initial camera, unless Lock View is ticked.
    void ResetView();
    void DrawView();
    void MarkChanged();
    void SetStatus(const std::string& text);
    QString StatusText() const;
    void SetSaveHints(const QString& hint);
    // Runs a command with the general error report around it.
    void RunCommand(const std::function<void()>& command);

    // --- seams to texture resolution and the 3D view ---
    void UpdateSkinsShadersTextures();
    void ClearSkin();
    void ReleaseMapShaderList();
    void RebuildShaderList();
    void ApplyGameFolder();
    void RecomputePivotOffset();
    void RefreshTexturePreview();
    void ReloadTextures();
    void LoadSkin(const std::string& path);
    void ShowSurfaceDetails(int surface);
    void ShowStageDetails(int surface, int stage);
    // The current model and where it came from, as texture resolution needs them.
    TModelRef ModelRef();
    TResolveInput ResolveInput();

    TProgramInstances& Instances;
    IDialogs& Dialogs;

private:
    std::unique_ptr<ITextureSource> OwnTextures; // when no texture manager was given
public:
    // The game folder, the shader script lists, the skin and what the last update resolved.
    TSurfaceResolver Resolver;
    TWindowState State;
    // The MD3 open dialog, shared by the load and the frame-adding commands.
    TFileDialog OpenDialog;
    TFileDialog OpenDialogMD3s;
    TFileDialog SaveAsDialog;
    TFileDialog SkinDialog;
    TFileDialog ShaderDialog;

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
    TMD3EditCommands* MD3Edits;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildWindow();
    void BuildDialogs();
    void ConnectCommands();
    void ConnectViewSwitches();
    void ConnectTabs();
    void Connect(QAction* action, void (TForm1::*command)());
    void StartUp(const std::string& executablePath);
    bool IsInstalledCorrectly() const;
    bool IsGameArchiveInUse() const;
    void RequestQuit(int code);
    void ApplySettingsToControls();
    void FirstShow();
    void WriteSettings();
    // The load command; with a path, that file stands for the dialog's choice.
    void LoadMD3(const std::optional<std::string>& chosenPath);
    void ChangeShaderName(int surface, const QString& name);
    // Runs a step of texture resolution; the Surfaces tab then shows what it resolved.
    void Resolve(const std::function<void(const TResolveInput&)>& step);
    void ShowResolved();
    void UpdateEmbedSkin();
    void ChoosePivot(int index);
    void TabChanged(int index);
    void SetTabVisible(QWidget* tab, bool visible);
    void SelectSkyColor(uint32_t& color);
    void ChooseGamma(QAction* item);

    int StartupQuitCode = 0;
    bool Shown = false;
    QWidget* ViewWidget = nullptr;
};

} // namespace quillon
