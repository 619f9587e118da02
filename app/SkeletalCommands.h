// The window's side of skeletal models (File and Edit menus): loading an MDM mesh with its MDX
// animation and animation script, or an MDS model converted into the pair; replacing the
// animation, its bones, its frames or the mesh's tags; the default bone names, scaling the
// weights, the LOD calculation, baking the playback range into an MD3 file, and saving the pair.
// A read that fails or is refused says in the status bar which file and why, and a replacement
// that does not fit the model changes nothing. None of these commands marks the model changed.
#pragma once

#include "Dialogs.h"
#include "gamedata/ModelKind.h"
#include "gamedata/ModelSource.h"

#include <QObject>

#include <optional>
#include <string>

namespace quillon {

class IModelWindow;
class TArchiveCommands;
class TBonesTab;
class TLodGroup;
class TMainMenu;
class TPlaybackControls;

class TSkeletalCommands : public QObject {
    Q_OBJECT
public:
    // The MDM reader's limit questions are asked through the window's dialogs from now on.
    TSkeletalCommands(IModelWindow& window, TArchiveCommands& archive, TBonesTab& bones,
                      TLodGroup& lod, TPlaybackControls& playback, QObject* parent);
    void Connect(TMainMenu& menu);

    // With paths, those files stand for the dialogs' choices (as the command line and "Load From
    // File..." give them).
    void LoadMDMMDX(const std::optional<std::string>& meshPath,
                    const std::optional<std::string>& animationPath);
    // The mesh, then the animation, chosen in the game archive's browser.
    void LoadMDMMDXFromGame();
    void LoadMDS(const std::optional<std::string>& path);
    void LoadMDX(const std::optional<std::string>& path);
    void LoadMDXBones(const std::optional<std::string>& path);
    void LoadMDXFrames(const std::optional<std::string>& path);
    void LoadMDMTags(const std::optional<std::string>& path);
    void DefaultBoneNames();
    void ScaleWeights();
    void CalculateLOD();
    void ExportFramesToMD3();
    // The skeletal branch of "&Save As...": the MDM file, then the MDX file.
    void SaveAs();

    // The folder of the file last chosen in the load dialog of `kind` (the MDM dialog for a
    // skeletal model, the MDS dialog for one converted from MDS), where texture resolution looks
    // for a stage's image; empty when none was chosen.
    std::string ChosenFileFolder(TModelKind kind) const;

private:
    // A file from `dialog` (its name cleared first), or `chosen` when given; none on Cancel.
    std::optional<std::string> Choose(TFileDialog& dialog,
                                      const std::optional<std::string>& chosen = std::nullopt);
    // Reads the script beside the animation into the animation name list; the text of a
    // script that could not be read completely, empty otherwise.
    std::string ReadScript(const std::string& animationPath);
    // The window in the state of `kind` after a load: tab set, menu state, kind and source.
    void ShowSkeletal(TModelKind kind, const std::string& folder,
                      TModelSource source = TModelSource::File);
    // The end of a successful MDM/MDX load: panels, name field and caption, no skin, the
    // animation controls and the view reset, textures, status and Save hints.
    void ShowLoadedPair(const std::string& nameField, const std::string& caption,
                        const std::string& scriptProblem);
    // The replacing commands run only while a skeletal model is shown.
    bool IsSkeletalShown() const;
    void ClearAnimationNames();

    IModelWindow& Window;
    TArchiveCommands& Archive;
    TBonesTab& Bones;
    TLodGroup& LOD;
    TPlaybackControls& Playback;
    TFileDialog MeshDialog;
    TFileDialog AnimationDialog;
    TFileDialog MDSDialog;
    TFileDialog SaveDialog;
};

} // namespace quillon
