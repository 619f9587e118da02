// The Texturing menu: load and clear a skin, embed the skin into the model, add a shader script
// to the user's shader list and clear the list; and a shader name typed on the Surfaces tab. Each
// asks what it needs and leaves the resolution of the surfaces to the window.
#pragma once

#include "Dialogs.h"

#include <QObject>

#include <string>

namespace quillon {

class IModelWindow;
class TMainMenu;

class TTexturingCommands : public QObject {
    Q_OBJECT
public:
    TTexturingCommands(IModelWindow& window, QObject* parent);
    void Connect(TMainMenu& menu);

    void SelectSkin();
    void ClearSkin();
    void EmbedSkin();
    void AddToShaderList();
    void ClearShaderList();
    // The first shader name of the surface becomes `name`; the model is marked changed.
    void ChangeShaderName(int surface, const std::string& name);

private:
    IModelWindow& Window;
    TFileDialog SkinDialog;
    TFileDialog ShaderDialog;
};

} // namespace quillon
