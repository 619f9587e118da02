// The main menu: every item with its caption and shortcut, and which items are enabled for
// each kind of model. Commands that this program does not offer yet are marked unavailable and
// stay disabled whatever the model kind says, until their command is connected.
#pragma once

#include "gamedata/ModelKind.h"

#include <QObject>
#include <QSet>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;

namespace quillon {

class TMainMenu : public QObject {
    Q_OBJECT
public:
    explicit TMainMenu(QMenuBar* bar);

    void ApplyModelKind(TModelKind kind);
    // Connecting a command makes its item available; an available item follows the model kind.
    void MarkAvailable(QAction* action);
    bool IsAvailable(QAction* action) const { return !Unavailable.contains(action); }
    // The gamma item whose value is exactly `gamma`; none when no item matches.
    void CheckGamma(float gamma);
    float GammaOf(const QAction* action) const;

    // File
    QAction* actionFileLoadAnyFromFile;
    QAction* actionFileLoadfrompk3;
    QAction* actionFileLoadfrommappk3;
    QAction* actionFileLoad;
    QAction* actionFileImportMapAsMD3;
    QAction* actionFileLoadPlayer;
    QAction* actionFileLoadPlayerFromGame;
    QAction* actionFileAttachWeapon;
    QAction* actionFileLoadfromgameMDMMDX;
    QAction* actionFileLoadMDMMDX;
    QAction* actionFileLoadMDX;
    QAction* actionFileLoadMDXbones;
    QAction* actionFileLoadMDXframes;
    QAction* actionFileLoadMDMtags;
    QAction* actionFileLoadMDS;
    QAction* actionFileLoadMS3D;
    QAction* menuFileLoadFromGame;
    QAction* menuFileLoadFromPK3;
    QAction* actionFileSaveAs;
    QAction* actionModelMDMMDXframesToMD3;
    QAction* actionFileExportGltf;
    QAction* actionFileExit;
    // Texturing
    QAction* actionFileSelectSkinfrompk3;
    QAction* actionFileSelectSkin;
    QAction* actionModelSkinpermanent;
    QAction* actionFileClearSkin;
    QAction* actionTexturingDefaultSkin;
    QAction* actionFileAddtoshaderlist;
    QAction* actionFileClearshaderlist;
    // Edit
    QAction* actionModelClear;
    QAction* actionFileAddframe;
    QAction* actionFileAddframesequence;
    QAction* actionFileAddframes;
    QAction* actionModelDeleteframe;
    QAction* menuModelCopyFrames;
    QAction* menuModelTagsInvertX;
    QAction* menuModelTagsInvertY;
    QAction* menuModelTagsInvertZ;
    QAction* menuModelTagsSwapXY;
    QAction* menuModelTagsSwapXZ;
    QAction* menuModelTagsSwapYZ;
    QAction* actionModelMD3TagAsOrigin;
    QAction* menuModelTagsAddFromFile;
    QAction* menuModelTagsAddManually;
    QAction* menuModelSurfacesChangeSurfaceName;
    QAction* menuModelSurfacesChangeShaderName;
    QAction* actionModelMDMMDXRenameBones;
    QAction* actionModelMDMMDXCalculateLOD;
    QAction* actionModelMDMMDXScaleBones;
    QAction* actionModelMD3Scale;
    QAction* actionModelMD3FixCracksGaps;
    QAction* actionModelMD3SmoothSurface;
    QAction* actionModelMD3FlipX;
    QAction* actionModelMD3FlipY;
    QAction* actionModelMD3FlipZ;
    QAction* actionModelMD3FlipNormals;
    // View
    QAction* actionViewLighting;
    QAction* menuViewShowskybox;
    QAction* actionViewCenterModel;
    QAction* actionViewShowtags;
    QAction* actionViewShowskeleton;
    QAction* actionViewShowalphapreview;
    QMenu* menuViewSkycolors;
    QAction* menuViewSkycolortop;
    QAction* menuViewSkycolorbottom;
    QActionGroup* GammaItems;
    // Tools
    QAction* menuToolsColorconvertRadiant;
    QAction* actionToolsCheckModel;
    // Settings
    QAction* actionSettingsGamedir;
    QAction* actionSettingsCleanup;
    // Help
    QAction* actionHelp;

private:
    QAction* Add(QMenu* menu, const char* name, const char* caption, const char* shortcut = "");
    QAction* AddCheck(QMenu* menu, const char* name, const char* caption);
    void Build(QMenuBar* bar);
    void BuildEdit(QMenu* edit);
    void BuildView(QMenu* view);

    void SetEnabled(QAction* action, bool on);

    QSet<QAction*> Unavailable;
    TModelKind CurrentKind = TModelKind::None;
};

} // namespace quillon
