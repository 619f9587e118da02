#include "AnyFileCommands.h"

#include "CommandFrame.h"
#include "MainMenu.h"
#include "ModelWindow.h"
#include "SkeletalCommands.h"
#include "core/CasePath.h"
#include "gamedata/DefaultSkin.h"
#include "interchange/ModelImport.h"
#include "mapimport/LevelMap.h"

#include <algorithm>
#include <cctype>

namespace quillon {

namespace {

const char* const AnyFileFilter =
    "All Supported Models|*.MD3;*.MDM;*.MDX;*.MDS;*.MAP;*.MS3D;*.GLTF;*.GLB"
    "|Quake3 Model  (.MD3)|*.MD3"
    "|Vask Player Model  (.MDM)|*.MDM"
    "|Vask Player Animation  (.MDX)|*.MDX"
    "|Vask Player Animation Bones  (.MDX)|*.MDX"
    "|Vask Player Animation Frames  (.MDX)|*.MDX"
    "|Vask Player Animation Tags  (.MDX)|*.MDX"
    "|Vask Model  (.MDS)|*.MDS"
    "|Quake Map  (.MAP)|*.MAP"
    "|MilkShape Model  (.MS3D)|*.MS3D"
    "|Model Skin  (*.skin)|*.skin"
    "|Model Tags  (*.tag)|*.tag"
    "|Shader-file  (.shader)|*.shader"
    "|glTF 2.0 Model  (.gltf, .glb)|*.GLTF;*.GLB";

const char* const NotYetSupported = "not yet supported..";

// A long list of skipped brushes would not fit on the screen.
constexpr size_t WarningsShown = 10;

std::string UpperExtension(const std::string& path) {
    std::string extension = ExtensionOf(path);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension;
}

// The entry an extension stands for under "All Supported Models"; other extensions keep it.
int EntryForExtension(const std::string& path) {
    static const std::pair<const char*, int> Entries[] = {
        {".MD3", TAnyFileCommands::MD3},   {".MDM", TAnyFileCommands::MDM},
        {".MDX", TAnyFileCommands::MDX},   {".MDS", TAnyFileCommands::MDS},
        {".MAP", TAnyFileCommands::Map},   {".MS3D", TAnyFileCommands::MS3D},
        {".GLTF", TAnyFileCommands::Gltf}, {".GLB", TAnyFileCommands::Gltf}};
    const std::string extension = UpperExtension(path);
    for (const auto& [text, entry] : Entries)
        if (extension == text)
            return entry;
    return TAnyFileCommands::AllSupported;
}

std::string WarningsText(const std::vector<std::string>& warnings) {
    std::string text;
    for (size_t i = 0; i < warnings.size() && i < WarningsShown; ++i)
        text += (i > 0 ? "\r\n" : "") + warnings[i];
    if (warnings.size() > WarningsShown)
        text += "\r\n... and " + std::to_string(warnings.size() - WarningsShown) + " more";
    return text;
}

} // namespace

TAnyFileCommands::TAnyFileCommands(IModelWindow& window, TSkeletalCommands& skeletal,
                                   QObject* parent)
    : QObject(parent), Window(window), Skeletal(skeletal) {
    AnyFileDialog.Filter = AnyFileFilter;
    MapDialog.Title = "Select a map to load";
    MapDialog.Filter = "Quake Map (.map)|*.map";
    MapDialog.DefaultExt = ".MAP";
    MS3DDialog.Title = "Select a MilkShape model to load";
    MS3DDialog.Filter = "MilkShape Model (.ms3d)|*.ms3d";
    MS3DDialog.DefaultExt = ".MS3D";
}

void TAnyFileCommands::Connect(TMainMenu& menu) {
    ConnectCommand(Window, menu, menu.actionFileLoadAnyFromFile, this,
                   [this] { LoadAnyFromFile(std::nullopt); });
    ConnectCommand(Window, menu, menu.actionFileImportMapAsMD3, this,
                   [this] { LoadMap(std::nullopt); });
    ConnectCommand(Window, menu, menu.actionFileLoadMS3D, this, [this] { LoadMS3D(std::nullopt); });
}

bool TAnyFileCommands::LoadAnyFromFile(const std::optional<std::string>& chosenPath) {
    Window.SetStatus("");
    TOutcome outcome;
    {
        TCommandFrame frame(Window);
        frame.Busy();
        Window.ResetModelControls();
        Window.ClearArchivePath();
        AnyFileDialog.FileName.clear();
        if (chosenPath) {
            AnyFileDialog.FileName = *chosenPath;
            AnyFileDialog.FilterIndex = AllSupported;
        } else if (!Window.Dialogs().Execute(AnyFileDialog)) {
            return false;
        }
        const std::string path = AnyFileDialog.FileName;
        frame.ShowHourglass();
        Window.ClearSkin();
        Window.RepaintNow();
        if (AnyFileDialog.FilterIndex == AllSupported)
            AnyFileDialog.FilterIndex = EntryForExtension(path);
        const int entry = AnyFileDialog.FilterIndex;
        if (entry >= MDM && entry <= MDS)
            return LoadSkeletal(entry, path);
        outcome = RunBranch(entry, path);
    }
    Window.SetStatus(outcome.Message);
    if (outcome.Loaded)
        Window.ShowFindingCount();
    return outcome.Loaded;
}

TAnyFileCommands::TOutcome TAnyFileCommands::RunBranch(int entry, const std::string& path) {
    TOutcome outcome;
    switch (entry) {
    case MD3:
        outcome = LoadMD3(path);
        break;
    case Map:
        outcome = LoadMapAsMD3(path);
        break;
    case Skin:
        outcome = LoadSkin(path);
        break;
    case MS3D:
        outcome = LoadImported(path, "MS3D loaded and converted to MD3");
        break;
    case Gltf:
        outcome = LoadImported(path, "glTF loaded and converted to MD3");
        break;
    case AllSupported:
        // Not a model this command opens: only the file is shown.
        ShowLoadedFile(path);
        return {};
    default: // tag files and shader files
        return {false, NotYetSupported};
    }
    if (outcome.Loaded)
        ShowLoadedFile(path);
    return outcome;
}

TAnyFileCommands::TOutcome TAnyFileCommands::LoadMD3(const std::string& path) {
    Window.ReleaseMapShaderList();
    // Read beside the model shown, so a file that fails leaves that model intact.
    TMD3 loaded;
    if (!loaded.LoadFromFile(path)) {
        const std::string& reason = loaded.LastError();
        return {false,
                FilePart(path) + ": " + (reason.empty() ? "not a complete MD3 file" : reason)};
    }
    Window.Instances().MD3 = std::move(loaded);
    ShowMD3(path);
    return {true, Window.ApplyDefaultSkin(DefaultSkinBeside(path), "MD3 loaded")};
}

bool TAnyFileCommands::LoadSkeletal(int entry, const std::string& path) {
    switch (entry) {
    case MDM:
        // A mesh is posed by an animation: its dialog follows, as for "Load MDM/MDX From File".
        Skeletal.LoadMDMMDX(path, std::nullopt);
        break;
    case MDX:
        Skeletal.LoadMDX(path);
        break;
    case MDXBones:
        Skeletal.LoadMDXBones(path);
        break;
    case MDXFrames:
        Skeletal.LoadMDXFrames(path);
        break;
    case MDXTags:
        Skeletal.LoadMDMTags(path);
        break;
    default:
        Skeletal.LoadMDS(path);
        break;
    }
    return IsSkeletal(Window.ModelKind());
}

TAnyFileCommands::TOutcome TAnyFileCommands::LoadMapAsMD3(const std::string& path) {
    Window.ReleaseMapShaderList();
    TMD3 converted;
    TOutcome outcome = ReadAndConvertMap(path, converted);
    if (outcome.Loaded) {
        Window.Instances().MD3 = std::move(converted);
        ShowMD3(path);
    }
    return outcome;
}

TAnyFileCommands::TOutcome TAnyFileCommands::ReadAndConvertMap(const std::string& path,
                                                               TMD3& model) {
    TLevelMap& map = Window.Instances().LevelMap;
    if (!map.LoadMap(path, Window.TextureSource()))
        return {false, FilePart(path) + ": the file does not exist"};
    std::string limit;
    if (!map.ConvertToMD3(model, limit)) {
        Window.Dialogs().ShowMessage(limit);
        return {};
    }
    if (!map.Warnings.empty())
        Window.Dialogs().ShowMessage(WarningsText(map.Warnings));
    return {true, "MAP loaded and converted to MD3"};
}

TAnyFileCommands::TOutcome TAnyFileCommands::LoadImported(const std::string& path,
                                                          const char* done) {
    Window.ReleaseMapShaderList();
    // Converted beside the model shown, so a file that fails leaves that model intact.
    TMD3 converted;
    const TImportResult result = ImportModel(path, {}, converted);
    if (!result.Ok())
        return {false, FilePart(path) + ": " + result.Error};
    if (!result.Summary.Warnings.empty())
        Window.Dialogs().ShowMessage(WarningsText(result.Summary.Warnings));
    Window.Instances().MD3 = std::move(converted);
    ShowMD3(path);
    return {true, done};
}

bool TAnyFileCommands::LoadMS3D(const std::optional<std::string>& chosenPath) {
    Window.SetStatus("");
    TOutcome outcome;
    {
        TCommandFrame frame(Window);
        frame.Busy();
        MS3DDialog.FileName.clear();
        if (chosenPath)
            MS3DDialog.FileName = *chosenPath;
        else if (!Window.Dialogs().Execute(MS3DDialog))
            return false;
        const std::string path = MS3DDialog.FileName;
        frame.ShowHourglass();
        Window.ResetModelControls();
        Window.ClearArchivePath();
        Window.ClearSkin();
        outcome = LoadImported(path, "MS3D loaded and converted to MD3");
        if (outcome.Loaded)
            ShowLoadedFile(path);
    }
    Window.SetStatus(outcome.Message);
    return outcome.Loaded;
}

TAnyFileCommands::TOutcome TAnyFileCommands::LoadSkin(const std::string& path) {
    Window.ReleaseMapShaderList();
    Window.RepaintNow();
    if (!Window.LoadSkin(path, false))
        return {false, FilePart(path) + ": the file does not exist"};
    return {true, "Skin loaded"};
}

void TAnyFileCommands::ShowMD3(const std::string& path) {
    // Stage images are looked for beside the file last chosen for an MD3 model.
    Window.ModelOpenDialog().FileName = path;
    Window.SetCurrentModel(TModelKind::MD3, TModelSource::File, FolderPart(path));
    Window.ApplyTabSet(TModelKind::MD3);
    Window.ApplyMenuState(TModelKind::MD3);
    Window.FillPanels();
}

void TAnyFileCommands::ShowLoadedFile(const std::string& path) {
    Window.SetCurrentModel(Window.ModelKind(), Window.ModelSource(), FolderPart(path));
    Window.SetModelNameField(path);
    Window.SetModelCaption(FilePart(path));
    Window.ResetAnimationControls();
    Window.ResetView();
    Window.UpdateSkinsShadersTextures();
}

bool TAnyFileCommands::LoadMap(const std::optional<std::string>& chosenPath) {
    Window.SetStatus("");
    TCommandFrame frame(Window);
    frame.Busy();
    Window.SetCurrentModel(TModelKind::None, TModelSource::File, "");
    Window.EmptyModels();
    MapDialog.FileName.clear();
    if (chosenPath)
        MapDialog.FileName = *chosenPath;
    else if (!Window.Dialogs().Execute(MapDialog))
        return false;
    const std::string path = MapDialog.FileName;
    const TOutcome outcome = ReadAndConvertMap(path, Window.Instances().MD3);
    if (!outcome.Loaded) {
        // The models were emptied: nothing is left for the MD3 tabs and menus to work on.
        Window.ApplyTabSet(TModelKind::None);
        Window.ApplyMenuState(TModelKind::None);
        Window.SetStatus(outcome.Message);
        return false;
    }
    frame.ShowHourglass();
    Window.ApplyTabSet(TModelKind::MD3);
    Window.RepaintNow();
    Window.ModelOpenDialog().FileName = path;
    Window.SetCurrentModel(TModelKind::MD3, TModelSource::File, FolderPart(path));
    Window.FillPanels();
    Window.ApplyMenuState(TModelKind::MD3);
    Window.SetModelNameField(path);
    Window.SetModelCaption(FilePart(path));
    Window.FinishLoad(outcome.Message, "Save as MD3");
    return true;
}

} // namespace quillon
