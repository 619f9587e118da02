#include "SkeletalCommands.h"

#include "ArchiveCommands.h"
#include "BonesTab.h"
#include "CommandFrame.h"
#include "LodGroup.h"
#include "MainMenu.h"
#include "ModelWindow.h"
#include "PlaybackControls.h"
#include "core/CasePath.h"
#include "gamedata/ArchiveTree.h"
#include "lod/LodCalculation.h"
#include "skeletal/Bake.h"
#include "skeletal/SkeletalEdits.h"

namespace quillon {

namespace {

constexpr const char* MeshFilter = "Vask playermodel (.MDM)|*.MDM";
constexpr const char* AnimationFilter = "Vask playermodel animation (.MDX)|*.MDX";
constexpr const char* NothingChanged = ": nothing changed";

std::string Joined(const std::vector<std::string>& texts, const std::string& separator) {
    std::string joined;
    for (const std::string& text : texts)
        joined += (joined.empty() ? "" : separator) + text;
    return joined;
}

// "The model could not be written to file: name (why)".
std::string WriteFailure(const std::string& what, const std::string& name,
                         const std::string& reason) {
    return "The " + what + " could not be written to file: " + name + " (" + reason + ")";
}

// The status after a load, with what went wrong in the script beside it.
std::string LoadedStatus(const std::string& status, const std::string& scriptProblem) {
    return scriptProblem.empty() ? status : status + " (" + scriptProblem + ")";
}

// The first tag naming a bone the animation lacks, as the status says it; empty when none.
std::string StrayTag(const TMDM& mesh, const TMDX& animation) {
    for (const TMDMTag& tag : mesh.Tags)
        if (tag.boneIndex < 0 || static_cast<size_t>(tag.boneIndex) >= animation.Bones.size())
            return NameToString(tag.name) + " hangs on bone " + std::to_string(tag.boneIndex) +
                   ", the animation has " + std::to_string(animation.Bones.size()) + " bones";
    return {};
}

} // namespace

TSkeletalCommands::TSkeletalCommands(IModelWindow& window, TArchiveCommands& archive,
                                     TBonesTab& bones, TLodGroup& lod, TPlaybackControls& playback,
                                     QObject* parent)
    : QObject(parent), Window(window), Archive(archive), Bones(bones), LOD(lod),
      Playback(playback) {
    MeshDialog.Title = "Select a playermodel to load";
    MeshDialog.Filter = MeshFilter;
    AnimationDialog.Title = "Select a playermodel-animation to load";
    AnimationDialog.Filter = AnimationFilter;
    MDSDialog.Title = "Select a model to load";
    MDSDialog.Filter = "Vask Model  (.MDS)|*.MDS";
    SaveDialog.Kind = TFileDialog::TKind::Save;
    SaveDialog.OverwritePrompt = true;
    Window.Instances().MDM.AskLimit = [&dialogs = Window.Dialogs()](const std::string& text) {
        return dialogs.AskYesNo("Confirmation", text);
    };
}

void TSkeletalCommands::Connect(TMainMenu& menu) {
    ConnectCommand(Window, menu, menu.actionFileLoadMDMMDX, this,
                   [this] { LoadMDMMDX(std::nullopt, std::nullopt); });
    ConnectCommand(Window, menu, menu.actionFileLoadfromgameMDMMDX, this,
                   [this] { LoadMDMMDXFromGame(); });
    ConnectCommand(Window, menu, menu.actionFileLoadMDS, this, [this] { LoadMDS(std::nullopt); });
    const std::pair<QAction*, void (TSkeletalCommands::*)(const std::optional<std::string>&)>
        loads[] = {{menu.actionFileLoadMDX, &TSkeletalCommands::LoadMDX},
                   {menu.actionFileLoadMDXbones, &TSkeletalCommands::LoadMDXBones},
                   {menu.actionFileLoadMDXframes, &TSkeletalCommands::LoadMDXFrames},
                   {menu.actionFileLoadMDMtags, &TSkeletalCommands::LoadMDMTags}};
    for (const auto& [action, load] : loads)
        ConnectCommand(Window, menu, action, this, [this, load] { (this->*load)(std::nullopt); });
    const std::pair<QAction*, void (TSkeletalCommands::*)()> commands[] = {
        {menu.actionModelMDMMDXRenameBones, &TSkeletalCommands::DefaultBoneNames},
        {menu.actionModelMDMMDXScaleBones, &TSkeletalCommands::ScaleWeights},
        {menu.actionModelMDMMDXCalculateLOD, &TSkeletalCommands::CalculateLOD},
        {menu.actionModelMDMMDXframesToMD3, &TSkeletalCommands::ExportFramesToMD3}};
    for (const auto& [action, command] : commands)
        ConnectCommand(Window, menu, action, this, [this, command] { (this->*command)(); });
}

std::optional<std::string> TSkeletalCommands::Choose(TFileDialog& dialog,
                                                     const std::optional<std::string>& chosen) {
    dialog.FileName.clear();
    if (chosen) {
        dialog.FileName = *chosen;
        return chosen;
    }
    if (!Window.Dialogs().Execute(dialog))
        return std::nullopt;
    return dialog.FileName;
}

std::string TSkeletalCommands::ReadScript(const std::string& animationPath) {
    TANINC& script = Window.Instances().ANINC;
    const std::string path = FindFileIgnoringCase(WithoutExtension(animationPath) + ".aninc");
    std::string problem;
    try {
        // A missing script is no problem: the animation simply has no named ranges.
        if (path.empty() || !script.LoadFromFile(path))
            script.Entries.clear();
    } catch (const ConversionError&) {
        problem = FilePart(path) + ": " + script.LastError(); // the entries before it stay
    }
    std::vector<TAnimationRange> ranges;
    for (const TANINCFrame& entry : script.Entries)
        ranges.push_back(
            {entry.name, entry.FirstFrame(), entry.NumFrames(), entry.FramesPerSecond()});
    Playback.SetAnimations(ranges);
    return problem;
}

void TSkeletalCommands::ShowSkeletal(TModelKind kind, const std::string& folder,
                                     TModelSource source) {
    Window.ApplyTabSet(kind);
    Window.ApplyMenuState(kind);
    Window.RepaintNow();
    Window.SetCurrentModel(kind, source, folder);
}

std::string TSkeletalCommands::ChosenFileFolder(TModelKind kind) const {
    const TFileDialog& dialog = kind == TModelKind::MDS ? MDSDialog : MeshDialog;
    return dialog.FileName.empty() ? std::string() : FolderPart(dialog.FileName);
}

bool TSkeletalCommands::IsSkeletalShown() const {
    return IsSkeletal(Window.ModelKind());
}

void TSkeletalCommands::ClearAnimationNames() {
    Window.Instances().ANINC.Entries.clear();
    Playback.SetAnimations({});
}

void TSkeletalCommands::LoadMDMMDX(const std::optional<std::string>& meshPath,
                                   const std::optional<std::string>& animationPath) {
    Window.SetStatus("");
    TCommandFrame frame(Window);
    frame.Busy();
    Window.EmptyModels();
    TProgramInstances& models = Window.Instances();
    const auto mesh = Choose(MeshDialog, meshPath);
    if (!mesh)
        return;
    if (!models.MDM.LoadFromFile(*mesh))
        return Window.ReportLoadFailure(*mesh, models.MDM.LastError());
    const auto animation = Choose(AnimationDialog, animationPath);
    if (!animation)
        return;
    if (!models.MDX.LoadFromFile(*animation))
        return Window.ReportLoadFailure(*animation, models.MDX.LastError());
    const std::string scriptProblem = ReadScript(*animation);
    frame.ShowHourglass();
    ShowSkeletal(TModelKind::Skeletal, FolderPart(*mesh));
    ShowLoadedPair(FilePart(*mesh), FilePart(*mesh), scriptProblem);
}

void TSkeletalCommands::ShowLoadedPair(const std::string& nameField, const std::string& caption,
                                       const std::string& scriptProblem) {
    Window.ModelOpenDialog().FileName.clear();
    Window.FillPanels();
    Window.SetModelNameField(nameField);
    Window.SetModelCaption(caption);
    Window.ClearSkin();
    Window.ResetAnimationControls();
    Window.ResetView();
    Window.UpdateSkinsShadersTextures();
    Window.ReportLoaded(LoadedStatus("MDM/MDX loaded", scriptProblem), "Save as MDM/MDX");
}

void TSkeletalCommands::LoadMDMMDXFromGame() {
    Window.SetStatus("");
    TCommandFrame frame(Window);
    frame.Busy();
    Window.EmptyModels();
    if (Window.GameArchive().empty())
        return;
    const std::optional<std::string> meshMember = Archive.Browse(BrowseGameMDM);
    // The texture look-up searches the mesh's folder, also after the animation was chosen.
    const std::string meshFolder = Archive.SelectedFolder();
    Window.SetArchiveChoice("", meshFolder);
    if (!meshMember)
        return;
    frame.ShowHourglass();
    ShowSkeletal(TModelKind::Skeletal, "", TModelSource::GameArchive);
    TProgramInstances& models = Window.Instances();
    const std::optional<std::string> mesh = Archive.ExtractFromGame(*meshMember);
    if (!mesh)
        return Window.ReportLoadFailure(*meshMember, "not extracted from " + Window.GameArchive());
    if (!models.MDM.LoadFromFile(*mesh))
        return Window.ReportLoadFailure(*mesh, models.MDM.LastError());
    const std::optional<std::string> animationMember = Archive.Browse(BrowseGameMDX);
    Window.SetArchiveChoice("", meshFolder);
    if (!animationMember)
        return;
    const std::optional<std::string> animation = Archive.ExtractFromGame(*animationMember);
    if (!animation)
        return Window.ReportLoadFailure(*animationMember,
                                        "not extracted from " + Window.GameArchive());
    if (!models.MDX.LoadFromFile(*animation))
        return Window.ReportLoadFailure(*animation, models.MDX.LastError());
    // A script left in the temporary folder by an earlier extraction is not this animation's.
    std::string scriptProblem;
    if (Archive.ExtractFromGame(WithoutExtension(*animationMember) + ".aninc"))
        scriptProblem = ReadScript(*animation);
    else
        ClearAnimationNames();
    ShowLoadedPair(TArchiveCommands::NameField("GAME:", *meshMember), FilePart(*meshMember),
                   scriptProblem);
}

void TSkeletalCommands::LoadMDS(const std::optional<std::string>& chosenPath) {
    Window.SetStatus("");
    TCommandFrame frame(Window);
    frame.Busy();
    Window.EmptyModels();
    TProgramInstances& models = Window.Instances();
    const auto path = Choose(MDSDialog, chosenPath);
    if (!path)
        return;
    if (!models.MDS.LoadFromFile(*path) || !models.MDS.ConvertToSkeletal(models.MDM, models.MDX))
        return Window.ReportLoadFailure(*path, models.MDS.LastError());
    frame.ShowHourglass();
    ShowSkeletal(TModelKind::MDS, FolderPart(*path));
    Window.FillPanels();
    Window.SetModelNameField(FilePart(*path));
    Window.SetModelCaption(FilePart(*path));
    Window.ClearSkin();
    Window.ResetAnimationControls();
    Window.ResetView();
    Window.UpdateSkinsShadersTextures();
    Window.ReportLoaded("MDS loaded and converted to MDM/MDX", "Save as MDM/MDX");
}

void TSkeletalCommands::LoadMDX(const std::optional<std::string>& chosenPath) {
    Window.SetStatus("");
    TCommandFrame frame(Window);
    frame.Busy();
    if (!IsSkeletalShown())
        return;
    const auto path = Choose(AnimationDialog, chosenPath);
    if (!path)
        return;
    // Read aside, so that a file that is no animation leaves the current one in place.
    TMDX animation;
    if (!animation.LoadFromFile(*path))
        return Window.ReportLoadFailure(*path, animation.LastError() + NothingChanged);
    Window.Instances().MDX = std::move(animation);
    LOD.Reset();
    const std::string scriptProblem = ReadScript(*path);
    ShowSkeletal(TModelKind::Skeletal, Window.ModelFolder());
    Window.FillPanels();
    Window.ResetAnimationControls();
    Window.ResetView();
    Window.SetStatus(LoadedStatus("MDX loaded", scriptProblem));
}

void TSkeletalCommands::LoadMDXBones(const std::optional<std::string>& chosenPath) {
    Window.SetStatus("");
    TCommandFrame frame(Window);
    frame.Busy();
    if (!IsSkeletalShown())
        return;
    const auto path = Choose(AnimationDialog, chosenPath);
    if (!path)
        return;
    TMDX& animation = Window.Instances().MDX;
    if (!animation.LoadBonesFromFile(*path))
        return Window.ReportLoadFailure(*path, animation.LastError() + NothingChanged);
    ShowSkeletal(TModelKind::Skeletal, Window.ModelFolder());
    Window.FillPanels();
    Window.ResetAnimationControls();
    Window.ResetView();
    Window.SetStatus("MDX bones loaded");
}

void TSkeletalCommands::LoadMDXFrames(const std::optional<std::string>& chosenPath) {
    Window.SetStatus("");
    TCommandFrame frame(Window);
    frame.Busy();
    if (!IsSkeletalShown())
        return;
    const auto path = Choose(AnimationDialog, chosenPath);
    if (!path)
        return;
    TMDX& animation = Window.Instances().MDX;
    if (!animation.LoadFramesFromFile(*path))
        return Window.ReportLoadFailure(*path, animation.LastError() + NothingChanged);
    LOD.Reset();
    ClearAnimationNames(); // the script named ranges of the frames replaced
    ShowSkeletal(TModelKind::Skeletal, Window.ModelFolder());
    Window.FillPanels();
    Window.ResetAnimationControls();
    Window.SetStatus("MDX frames loaded");
}

void TSkeletalCommands::LoadMDMTags(const std::optional<std::string>& chosenPath) {
    Window.SetStatus("");
    TCommandFrame frame(Window);
    frame.Busy();
    if (!IsSkeletalShown())
        return;
    const auto path = Choose(MeshDialog, chosenPath);
    if (!path)
        return;
    TMDM& mesh = Window.Instances().MDM;
    const std::vector<TMDMTag> before = mesh.Tags;
    const uint32_t countBefore = mesh.Header.numTags;
    if (!mesh.LoadTagsFromFile(*path))
        return Window.ReportLoadFailure(*path, mesh.LastError() + NothingChanged);
    // Tags from a mesh with other bones would hang on bones this animation does not have.
    if (const std::string stray = StrayTag(mesh, Window.Instances().MDX); !stray.empty()) {
        mesh.Tags = before;
        mesh.Header.numTags = countBefore;
        return Window.ReportLoadFailure(*path, stray + NothingChanged);
    }
    ShowSkeletal(TModelKind::Skeletal, Window.ModelFolder());
    Window.FillPanels();
    Window.ResetAnimationControls();
    Window.SetStatus("MDX tags loaded");
}

void TSkeletalCommands::DefaultBoneNames() {
    TMDX& animation = Window.Instances().MDX;
    if (!IsSkeletalShown() || Bones.Count() != static_cast<int>(DefaultBoneCount) ||
        !SetDefaultBoneNames(animation))
        return;
    Bones.Fill(animation);
}

void TSkeletalCommands::ScaleWeights() {
    if (!IsSkeletalShown())
        return;
    const auto factor =
        Window.Dialogs().InputQuery("Enter the scaling factor", "Scaling Factor", "1.0");
    if (!factor || !quillon::ScaleWeights(Window.Instances().MDM, *factor))
        return;
    TCommandFrame frame(Window);
    Window.ResetAnimationControls();
    Window.ResetView();
}

void TSkeletalCommands::CalculateLOD() {
    const TModelKind kind = Window.ModelKind();
    if (!IsSkeletal(kind))
        return;
    TCommandFrame frame(Window);
    frame.Busy();
    Window.SetStatus("");
    TProgramInstances& models = Window.Instances();
    if (models.MDM.Surfaces.empty())
        return Window.SetStatus("The mesh has no surfaces: no LOD calculated");
    frame.ShowHourglass();
    const TLodReport report =
        quillon::CalculateLOD(models.CollapseMap, models.MDM, models.MDX,
                              kind == TModelKind::MDS ? LodFrameMDS : LodFrameMDM);
    if (report.Calculated)
        LOD.ShowCalculated();
    Window.SetStatus(Joined(report.Messages, "; "));
}

void TSkeletalCommands::ExportFramesToMD3() {
    TCommandFrame frame(Window);
    frame.Busy();
    Window.SetStatus("");
    const int start = Playback.StartFrame(), end = Playback.EndFrame();
    if (!IsSkeletalShown() || end < start)
        return;
    TProgramInstances& models = Window.Instances();
    if (models.MDM.Surfaces.empty())
        return Window.SetStatus("The mesh has no surfaces: nothing to export");
    const std::string range = FramesRangeText(start, end);
    if (Window.Dialogs().AskYesNoCancel(
            "Confirmation", "Are You sure You want to export the selected frames-range to MD3?.. " +
                                range) != TAnswer::Yes)
        return;
    if (const auto error = BakeToMD3(models.MDM, models.MDX, start, end, models.MD3))
        return Window.SetStatus(*error);
    SaveDialog.DefaultExt = ".MD3";
    SaveDialog.Filter = "Quake 3 model (.MD3)|*.MD3";
    SaveDialog.Title = "Save a model";
    const auto path = Choose(SaveDialog);
    if (!path)
        return;
    const std::string name = FilePart(*path);
    if (!models.MD3.SaveToFile(*path))
        return Window.SetStatus(WriteFailure("model", name, models.MD3.LastError()));
    Window.SetModelCaption(name);
    Window.SetStatus(range + " exported to file: " + name);
}

void TSkeletalCommands::SaveAs() {
    TCommandFrame frame(Window);
    frame.Busy();
    Window.SetStatus("");
    if (!IsSkeletalShown())
        return;
    TProgramInstances& models = Window.Instances();
    SaveDialog.DefaultExt = ".MDM";
    SaveDialog.Filter = MeshFilter;
    SaveDialog.Title = "Save a playermodel";
    const auto meshPath = Choose(SaveDialog);
    if (!meshPath)
        return;
    const std::string meshName = FilePart(*meshPath);
    if (!models.MDM.SaveToFile(*meshPath))
        return Window.SetStatus(WriteFailure("model", meshName, models.MDM.LastError()));
    Window.SetModelCaption(meshName);
    SaveDialog.DefaultExt = ".MDX";
    SaveDialog.Filter = AnimationFilter;
    SaveDialog.Title = "Save a playermodel animation";
    const auto animationPath = Choose(SaveDialog);
    if (!animationPath)
        return;
    const std::string animationName = FilePart(*animationPath);
    if (!models.MDX.SaveToFile(*animationPath))
        return Window.SetStatus(WriteFailure("animation", animationName, models.MDX.LastError()));
    Window.SetStatus("Model saved to files: " + meshName + " & " + animationName);
}

} // namespace quillon
