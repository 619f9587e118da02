// "Load From File..." opens any supported file through one dialog and hands it to the loader of
// its type, chosen by the dialog's filter entry or, under "All Supported Models", by the file's
// extension (which then becomes the entry for later uses). Unlike the other load commands it
// empties no model before its dialog: each loader replaces only its own model, and a file that
// fails to load leaves the model shown as it was. "Load .MAP From File..." reads a level file
// and converts its brushes into the MD3 model. The command line opens files as "Load From File"
// does by their extension.
#pragma once

#include "Dialogs.h"

#include <QObject>

#include <optional>
#include <string>

namespace quillon {

class IModelWindow;
class TMainMenu;
class TMD3;

class TAnyFileCommands : public QObject {
    Q_OBJECT
public:
    TAnyFileCommands(IModelWindow& window, QObject* parent);
    void Connect(TMainMenu& menu);

    // With a path, that file stands for the dialog's choice under "All Supported Models". True
    // when a model or a skin was loaded.
    bool LoadAnyFromFile(const std::optional<std::string>& chosenPath);
    // True when the map was read and converted.
    bool LoadMap(const std::optional<std::string>& chosenPath);

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
        ShaderFile
    };

private:
    // What a branch did: whether the file was taken, and the status text to end with.
    struct TOutcome {
        bool Loaded = false;
        std::string Message;
    };
    TOutcome RunBranch(int entry, const std::string& path);
    TOutcome LoadMD3(const std::string& path);
    TOutcome LoadSkeletal();
    TOutcome LoadMapAsMD3(const std::string& path);
    TOutcome LoadSkin(const std::string& path);
    // Reads and converts the map into `model`; a crossed limit is shown in a message box.
    TOutcome ReadAndConvertMap(const std::string& path, TMD3& model);
    void ShowMD3(const std::string& path);
    void ShowLoadedFile(const std::string& path);

    IModelWindow& Window;
    TFileDialog AnyFileDialog;
    TFileDialog MapDialog;
};

} // namespace quillon
