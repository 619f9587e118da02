// "Export glTF...": the model the window shows, as the renderer resolved its textures, written
// as glTF 2.0 (binary .glb or .gltf beside its .bin and images) for today's modelling tools and
// engines. An MD3 keeps its frames as morph targets and its tags as nodes; a skeletal model
// becomes a skinned mesh with its animation script's ranges as animations. An export that fails
// says why and writes nothing.
#pragma once

#include "Dialogs.h"

#include <QObject>

namespace quillon {

class IModelWindow;
class TMainMenu;

class TExportCommands : public QObject {
    Q_OBJECT
public:
    TExportCommands(IModelWindow& window, QObject* parent);
    void Connect(TMainMenu& menu);

    void ExportGltf();

private:
    IModelWindow& Window;
    TFileDialog SaveDialog;
};

} // namespace quillon
