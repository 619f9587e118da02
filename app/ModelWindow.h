// What a group of commands may ask of the main window: the central objects and the dialogs, what
// the user has chosen, and the operations every command is made of (fill the panels, apply the
// tab set and menu state, reset the animation controls and the view, update skins, shaders and
// textures, mark the model changed, report in the status bar). Command classes know the window
// only through this interface, so its widgets and its state stay its own.
#pragma once

#include "Dialogs.h"
#include "ProgramInstances.h"
#include "core/Finding.h"
#include "gamedata/AppFolders.h"
#include "gamedata/ModelKind.h"
#include "gamedata/ModelSource.h"
#include "interchange/SurfaceMaterials.h"
#include "render/ViewImage.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

class ITextureSource;
class TSkin;

class IModelWindow {
public:
    virtual ~IModelWindow() = default;

    virtual TProgramInstances& Instances() = 0;
    virtual IDialogs& Dialogs() = 0;
    // Where images are found and loaded (the map import measures its textures through it).
    virtual ITextureSource& TextureSource() = 0;
    // The folder screenshots are saved into, ending in "/".
    virtual const std::string& ScreenshotFolder() const = 0;

    // --- what is loaded and what the user has chosen ---
    virtual TModelKind ModelKind() const = 0;
    virtual TModelSource ModelSource() const = 0;
    virtual int CurrentFrame() const = 0;
    // The folder of the model loaded from disk, with a trailing separator.
    virtual const std::string& ModelFolder() const = 0;
    // The surface chosen on the Surfaces tab; -1 when none.
    virtual int ChosenSurface() const = 0;
    // The entry chosen in the View tab's pivot list (the tags, then "origin"); -1 when none.
    virtual int ChosenPivot() const = 0;
    virtual std::string ChosenPivotName() const = 0;
    // The MD3 open dialog, shared by the load and the frame-adding commands.
    virtual TFileDialog& ModelOpenDialog() = 0;

    // --- the frame every command runs in ---
    // Runs a command with the general error report around it.
    virtual void RunCommand(const std::function<void()>& command) = 0;
    // Nothing is drawn while the window is busy.
    virtual void SetBusy(bool busy) = 0;
    virtual void SetStatus(const std::string& text) = 0;
    // The status after a failed load: the file's name, then the reader's reason.
    void ReportLoadFailure(const std::string& path, const std::string& reason);
    virtual void DrawView() = 0;
    // Shows the window's changes at once, before a long step.
    virtual void RepaintNow() = 0;

    // --- a model replaced ---
    // Before a load: empties the models and everything that shows them (panels, LOD controls,
    // animation names, the map archive's shader list and archive path).
    virtual void EmptyModels() = 0;
    // The LOD controls, the animation names and the player group back to their empty state, the
    // models kept (a whole player's parts are forgotten; its joined model stays).
    virtual void ResetModelControls() = 0;
    virtual void ReleaseMapShaderList() = 0;
    virtual void ClearArchivePath() = 0;
    virtual void SetCurrentModel(TModelKind kind, TModelSource source,
                                 const std::string& folder) = 0;
    virtual void ApplyTabSet(TModelKind kind) = 0;
    virtual void ApplyMenuState(TModelKind kind) = 0;
    // The General tab's name field and the caption of the model area.
    virtual void SetModelNameField(const std::string& text) = 0;
    virtual void SetModelCaption(const std::string& text) = 0;
    // The hint of the Save As command.
    virtual void SetSaveHints(const std::string& hint) = 0;
    // The end every model load shares: no skin but the model's default skin (`defaultSkin`, empty
    // for none; see ApplyDefaultSkin), the animation controls and the view reset, skins, shaders
    // and textures updated; then the load's status text, the model check's finding count beside
    // it, and the hint of the Save As command.
    virtual void FinishLoad(const std::string& status, const std::string& saveHint,
                            const std::string& defaultSkin = {}) = 0;

    // --- a model changed ---
    virtual void FillPanels() = 0;
    virtual void ResetAnimationControls() = 0;
    // Back to the initial camera and fitted to the model, unless Lock View is ticked.
    virtual void ResetView() = 0;
    // Appends one "*" to the caption of the model area.
    virtual void MarkChanged() = 0;

    // --- skins, shaders and textures ---
    virtual void UpdateSkinsShadersTextures() = 0;
    // Replaces the skin by the file's and, with `updateNow`, updates; a missing file leaves no
    // skin and gives false.
    virtual bool LoadSkin(const std::string& path, bool updateNow) = 0;
    virtual void ClearSkin() = 0;
    // Replaces the skin by `skin` (a whole player's joined skin, named `name` in the Surfaces
    // tab), without an update.
    virtual void UseSkin(const TSkin& skin, const std::string& name) = 0;
    virtual bool HasSkin() const = 0;
    // Whether a loaded MD3 is dressed in its default skin ("Default Skin on Load").
    virtual bool DefaultSkinOnLoad() const = 0;
    // After an MD3 load: loads `skinFile` (the model's default skin, empty for none) unless
    // "Default Skin on Load" is off, without an update. The status text of the load: `loaded`,
    // then which skin was applied.
    std::string ApplyDefaultSkin(const std::string& skinFile, const std::string& loaded);
    // Writes the skin's resolved names into the model; false when there was nothing to write.
    virtual bool EmbedSkin() = 0;
    virtual const std::vector<std::string>& ShaderList() const = 0;
    // Keeps the user's shader scripts (also in the settings file) and updates.
    virtual void SetShaderList(const std::vector<std::string>& paths) = 0;

    // --- the game's archives ---
    // The game archive of the game folder; empty while no game folder is known.
    virtual std::string GameArchive() const = 0;
    // Every archive of the game folder in the game's order; empty while none is known.
    virtual std::vector<std::string> GameArchives() const = 0;
    // The temporary folders that archive members are extracted into.
    virtual const TAppFolders& ExtractionFolders() const = 0;
    // What the archive browser left: the current model's map archive (empty for none) and its
    // folder inside its archive. The texture look-up reads both.
    virtual void SetArchiveChoice(const std::string& archivePath,
                                  const std::string& selectedFolder) = 0;
    // Reads the shader scripts extracted from the map archive.
    virtual void RegisterMapArchiveShaderFiles() = 0;

    // --- the model check and the export ---
    // The current model checked against what the skeletal game accepts, with its skin, shaders
    // and images; none while no model is loaded. Raises FileError when an archive is damaged.
    virtual std::vector<TFinding> CheckModel() = 0;
    // The count of CheckModel's findings in the status bar's right-hand label (FinishLoad shows
    // it; loads that end otherwise call it themselves).
    virtual void ShowFindingCount() = 0;
    // Each surface's image and colour as the last update of skins, shaders and textures
    // resolved them.
    virtual std::vector<TSurfaceMaterial> SurfaceMaterials() = 0;
    // Shows a place of the model: `surface` chosen on the Surfaces tab, `frame` made current;
    // either is skipped when -1 or beyond the model.
    virtual void ShowPlace(int surface, int frame) = 0;

    // --- the 3D view ---
    // The screenshot's picture of the view (model colours, its mask as alpha); none when the
    // view cannot draw now. The view shows the screenshot's last pass until it is drawn again.
    virtual std::optional<TViewImage> TakeScreenshot() = 0;
};

} // namespace quillon
