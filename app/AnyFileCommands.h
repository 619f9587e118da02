// "Load From File..." opens any supported file through one dialog and hands it to the loader of
// its type, chosen by the dialog's filter entry or, under "All Supported Models", by the file's
// extension (which then becomes the entry for later uses). Unlike the other load commands it
// empties no model before its dialog: each loader replaces only its own model, and a file that
// fails to load leaves the model shown as it was. The skeletal entries run the skeletal load
// commands on the chosen file. "Load .MAP From File..." reads a level file and converts its
// brushes into the MD3 model. MilkShape and glTF models are imported into the MD3 model, as
// "Load MS3D From File..." does for MilkShape models. The command line opens files as "Load From
// File" does by their extension.
#pragma once

#include "Dialogs.h"

#include <QObject>

#include <optional>
#include <string>

namespace quillon {

class IModelWindow;
class TMainMenu;
class TMD3;
class TSkeletalCommands;

class TAnyFileCommands : public QObject {
    Q_OBJECT
public:
    TAnyFileCommands(IModelWindow& window, TSkeletalCommands& skeletal, QObject* parent);
    void Connect(TMainMenu& menu);

    // With a path, that file stands for the dialog's choice under "All Supported Models". True
    // when a model or a skin was loaded (for the skeletal entries: when a skeletal model is
    // shown afterwards).
    bool LoadAnyFromFile(const std::optional<std::string>& chosenPath);
    // True when the map was read and converted.
    bool LoadMap(const std::optional<std::string>& chosenPath);
    // True when the MilkShape model was read and converted into the MD3 model.
    bool LoadMS3D(const std::optional<std::string>& chosenPath);

    // The dialog's filter entries, counted from 1 as the dialog counts them.
    enum TEntry : int {
        AllSupported = 1,
        MD3,
        MDM,
        MDX,
        MDXBones,
        MDXFrames,
        MDXTags,
        MDS,
        Map,
        MS3D,
        Skin,
        Tags,
        ShaderFile,
        Gltf
    };

private:
    // What a branch did: whether the file was taken, and the status text to end with.
    struct TOutcome {
        bool Loaded = false;
        std::string Message;
    };
    TOutcome RunBranch(int entry, const std::string& path);
    TOutcome LoadMD3(const std::string& path);
    // Runs the skeletal load command of `entry`, which reports in the status bar itself.
    bool LoadSkeletal(int entry, const std::string& path);
    TOutcome LoadMapAsMD3(const std::string& path);
    TOutcome LoadSkin(const std::string& path);
    // A glTF or MilkShape model imported into the MD3 model; `done` is the status on success.
    TOutcome LoadImported(const std::string& path, const char* done);
    // Reads and converts the map into `model`; a crossed limit is shown in a message box.
    TOutcome ReadAndConvertMap(const std::string& path, TMD3& model);
    void ShowMD3(const std::string& path);
    void ShowLoadedFile(const std::string& path);

    IModelWindow& Window;
    TSkeletalCommands& Skeletal;
    TFileDialog AnyFileDialog;
    TFileDialog MapDialog;
    TFileDialog MS3DDialog;
};

} // namespace quillon
