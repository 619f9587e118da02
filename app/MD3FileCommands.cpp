#include "MD3FileCommands.h"

#include "CommandFrame.h"
#include "MainMenu.h"
#include "ModelWindow.h"
#include "core/CasePath.h"
#include "gamedata/DefaultSkin.h"

namespace quillon {

TMD3FileCommands::TMD3FileCommands(IModelWindow& window, QObject* parent)
    : QObject(parent), Window(window) {
    SaveAsDialog.Kind = TFileDialog::TKind::Save;
    SaveAsDialog.OverwritePrompt = true;
}

void TMD3FileCommands::Connect(TMainMenu& menu) {
    ConnectCommand(Window, menu, menu.actionFileLoad, this, [this] { LoadMD3(std::nullopt); });
}

void TMD3FileCommands::LoadMD3(const std::optional<std::string>& chosenPath) {
    Window.SetStatus("");
    TCommandFrame frame(Window);
    frame.Busy();
    Window.EmptyModels();
    TFileDialog& dialog = Window.ModelOpenDialog();
    dialog.FileName.clear();
    if (chosenPath)
        dialog.FileName = *chosenPath;
    else if (!Window.Dialogs().Execute(dialog))
        return;
    const std::string path = dialog.FileName;
    TMD3& md3 = Window.Instances().MD3;
    if (!md3.LoadFromFile(path)) {
        Window.ReportLoadFailure(path, md3.LastError());
        return;
    }
    frame.ShowHourglass();
    Window.ApplyTabSet(TModelKind::MD3);
    Window.RepaintNow();
    Window.SetCurrentModel(TModelKind::MD3, TModelSource::File, FolderPart(path));
    Window.FillPanels();
    Window.ApplyMenuState(TModelKind::MD3);
    Window.SetModelNameField(path);
    Window.SetModelCaption(FilePart(path));
    Window.FinishLoad("MD3 loaded", "Save as MD3", DefaultSkinBeside(path));
}

void TMD3FileCommands::SaveAs() {
    TCommandFrame frame(Window);
    frame.Busy();
    Window.SetStatus("");
    if (Window.ModelKind() != TModelKind::MD3)
        return;
    SaveAsDialog.DefaultExt = ".MD3";
    SaveAsDialog.Filter = "Quake 3 model (.MD3)|*.MD3";
    SaveAsDialog.Title = "Save a model";
    if (!Window.Dialogs().Execute(SaveAsDialog))
        return;
    const std::string name = FilePart(SaveAsDialog.FileName);
    if (Window.Instances().MD3.SaveToFile(SaveAsDialog.FileName)) {
        Window.SetModelCaption(name);
        Window.SetStatus("Model saved to file: " + name);
    } else {
        Window.SetStatus("The model could not be written to file: " + name);
    }
}

} // namespace quillon
