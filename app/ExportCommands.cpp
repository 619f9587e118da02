#include "ExportCommands.h"

#include "CommandFrame.h"
#include "MainMenu.h"
#include "ModelWindow.h"
#include "core/CasePath.h"
#include "interchange/GltfExport.h"

namespace quillon {

namespace {
// The chosen file, with the extension of the chosen filter when the name has neither.
std::string WithGltfExtension(const TFileDialog& dialog) {
    bool binary = true;
    if (GltfFormatOfPath(dialog.FileName, binary))
        return dialog.FileName;
    return dialog.FileName + (dialog.FilterIndex == 2 ? ".gltf" : ".glb");
}
} // namespace

TExportCommands::TExportCommands(IModelWindow& window, QObject* parent)
    : QObject(parent), Window(window) {
    SaveDialog.Kind = TFileDialog::TKind::Save;
    SaveDialog.Title = "Export glTF";
    SaveDialog.Filter = "glTF binary (.glb)|*.glb|glTF (.gltf)|*.gltf";
    SaveDialog.DefaultExt = ".glb";
    SaveDialog.OverwritePrompt = true;
}

void TExportCommands::Connect(TMainMenu& menu) {
    ConnectCommand(Window, menu, menu.actionFileExportGltf, this, [this] { ExportGltf(); });
}

void TExportCommands::ExportGltf() {
    const TModelKind kind = Window.ModelKind();
    if (kind == TModelKind::None)
        return;
    SaveDialog.FileName.clear();
    if (!Window.Dialogs().Execute(SaveDialog))
        return;
    const std::string path = WithGltfExtension(SaveDialog);
    TCommandFrame frame(Window);
    frame.ShowHourglass();
    TProgramInstances& models = Window.Instances();
    TExportModel model;
    if (IsSkeletal(kind)) {
        model.MDM = &models.MDM;
        model.MDX = &models.MDX;
        if (!models.ANINC.Entries.empty())
            model.Script = &models.ANINC;
    } else {
        model.MD3 = &models.MD3;
    }
    model.Name = WithoutExtension(FilePart(path));
    model.Materials = Window.SurfaceMaterials();
    // The window does all its work on its one thread, baking included.
    TExportOptions options;
    options.Threads = 1;
    const TExportResult result = quillon::ExportGltf(model, options, path);
    if (!result.Ok()) {
        Window.SetStatus("The model could not be exported to file: " + FilePart(path));
        return Window.Dialogs().ShowMessage(result.Error);
    }
    Window.SetStatus("Model exported to file: " + FilePart(path));
}

} // namespace quillon
