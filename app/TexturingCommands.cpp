#include "TexturingCommands.h"

#include "CommandFrame.h"
#include "MainMenu.h"
#include "ModelWindow.h"

namespace quillon {

TTexturingCommands::TTexturingCommands(IModelWindow& window, QObject* parent)
    : QObject(parent), Window(window) {
    SkinDialog.Title = "Select a skin to load";
    SkinDialog.Filter = "Quake 3 model Skins  (*.skin)|*.skin";
    SkinDialog.DefaultExt = ".skin";
    ShaderDialog.Title = "Select a shader-file";
    ShaderDialog.Filter = "Shader-file  (.shader)|*.shader";
    ShaderDialog.DefaultExt = ".shader";
}

void TTexturingCommands::Connect(TMainMenu& menu) {
    ConnectCommand(Window, menu, menu.actionFileSelectSkin, this, [this] { SelectSkin(); });
    ConnectCommand(Window, menu, menu.actionFileClearSkin, this, [this] { ClearSkin(); });
    ConnectCommand(Window, menu, menu.actionModelSkinpermanent, this, [this] { EmbedSkin(); });
    ConnectCommand(Window, menu, menu.actionFileAddtoshaderlist, this,
                   [this] { AddToShaderList(); });
    ConnectCommand(Window, menu, menu.actionFileClearshaderlist, this,
                   [this] { ClearShaderList(); });
}

void TTexturingCommands::SelectSkin() {
    if (!Window.Dialogs().Execute(SkinDialog))
        return;
    TCommandFrame frame(Window);
    frame.ShowHourglass();
    Window.RepaintNow();
    (void)Window.LoadSkin(SkinDialog.FileName, true);
}

void TTexturingCommands::ClearSkin() {
    Window.ClearSkin();
}

void TTexturingCommands::EmbedSkin() {
    if (!Window.HasSkin())
        return;
    if (Window.Dialogs().AskYesNoCancel(
            "Confirmation", "Copy the shaders/textures from the currently loaded skin-file?..") !=
        TAnswer::Yes)
        return;
    if (!Window.EmbedSkin())
        return;
    Window.FillPanels();
    Window.MarkChanged();
}

void TTexturingCommands::AddToShaderList() {
    if (!Window.Dialogs().Execute(ShaderDialog))
        return;
    std::vector<std::string> paths = Window.ShaderList();
    paths.push_back(ShaderDialog.FileName);
    Window.SetShaderList(paths);
}

void TTexturingCommands::ClearShaderList() {
    Window.SetShaderList({});
}

void TTexturingCommands::ChangeShaderName(int surface, const std::string& name) {
    TProgramInstances& models = Window.Instances();
    const TModelKind kind = Window.ModelKind();
    if (kind == TModelKind::MD3)
        models.MD3.SetShaderName(surface, name);
    else if (IsSkeletal(kind))
        models.MDM.SetSurfaceShader(surface, name);
    else
        return;
    Window.MarkChanged();
    Window.UpdateSkinsShadersTextures();
}

} // namespace quillon
