#include "MainMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <array>

namespace quillon {

namespace {
struct TGammaItem {
    const char* Name;
    const char* Caption;
    float Value;
};

constexpr std::array<TGammaItem, 9> GammaTable = {{
    {"menuViewGammaSW1", "1.0 (default)", 1.0f},
    {"menuViewGammaSW1_5", "1.5", 1.5f},
    {"menuViewGammaSW2", "2.0", 2.0f},
    {"menuViewGammaSW2_5", "2.5", 2.5f},
    {"menuViewGammaSW3", "3.0", 3.0f},
    {"menuViewGammaSW3_5", "3.5", 3.5f},
    {"menuViewGammaSW4", "4.0", 4.0f},
    {"menuViewGammaSW4_5", "4.5", 4.5f},
    {"menuViewGammaSW5", "5.0", 5.0f},
}};
} // namespace

TMainMenu::TMainMenu(QMenuBar* bar) : QObject(bar) {
    Build(bar);
    ApplyModelKind(TModelKind::None);
}

QAction* TMainMenu::Add(QMenu* menu, const char* name, const char* caption, const char* shortcut) {
    auto* action = new QAction(QString::fromUtf8(caption), this);
    action->setObjectName(name);
    if (*shortcut)
        action->setShortcut(QKeySequence(QString::fromUtf8(shortcut)));
    if (menu)
        menu->addAction(action);
    Unavailable.insert(action);
    action->setEnabled(false);
    return action;
}

QAction* TMainMenu::AddCheck(QMenu* menu, const char* name, const char* caption) {
    QAction* action = Add(menu, name, caption);
    action->setCheckable(true);
    return action;
}

void TMainMenu::Build(QMenuBar* bar) {
    QMenu* file = bar->addMenu("&File");
    actionFileLoadAnyFromFile =
        Add(file, "actionFileLoadAnyFromFile", "Load From File...", "Ctrl+Alt+L");
    file->addSeparator();
    actionFileLoadfrompk3 = Add(file, "actionFileLoadfrompk3", "Load MD3 From &Game...", "Ctrl+3");
    actionFileLoadfrommappk3 = Add(file, "actionFileLoadfrommappk3", "Load MD3 From &PK3...");
    actionFileLoad = Add(file, "actionFileLoad", "&Load MD3 From File...", "Ctrl+Alt+3");
    actionFileImportMapAsMD3 =
        Add(file, "actionFileImportMapAsMD3", "Load .MAP From File...", "Ctrl+Alt+M");
    file->addSeparator();
    actionFileLoadPlayer = Add(file, "actionFileLoadPlayer", "Load Player From File...");
    actionFileLoadPlayerFromGame =
        Add(file, "actionFileLoadPlayerFromGame", "Load Player From Game...");
    actionFileAttachWeapon = Add(file, "actionFileAttachWeapon", "Attach Weapon...");
    file->addSeparator();
    actionFileLoadfromgameMDMMDX =
        Add(file, "actionFileLoadfromgameMDMMDX", "Load MDM/MDX From Game...", "Ctrl+X");
    actionFileLoadMDMMDX =
        Add(file, "actionFileLoadMDMMDX", "Load MDM/MDX From File...", "Ctrl+Alt+X");
    actionFileLoadMDX = Add(file, "actionFileLoadMDX", "Load MDX From File...");
    actionFileLoadMDXbones = Add(file, "actionFileLoadMDXbones", "Load MDX Bones From File...");
    actionFileLoadMDXframes = Add(file, "actionFileLoadMDXframes", "Load MDX Frames From File...");
    actionFileLoadMDMtags = Add(file, "actionFileLoadMDMtags", "Load MDM Tags From File...");
    actionFileLoadMDS = Add(file, "actionFileLoadMDS", "Load MDS From File...", "Ctrl+Alt+S");
    actionFileLoadMS3D = Add(file, "actionFileLoadMS3D", "Load MS3D From File...");
    menuFileLoadFromGame = Add(file, "menuFileLoadFromGame", "Load From Game");
    menuFileLoadFromPK3 = Add(file, "menuFileLoadFromPK3", "Load From PK3");
    menuFileLoadFromGame->setVisible(false);
    menuFileLoadFromPK3->setVisible(false);
    file->addSeparator();
    actionFileSaveAs = Add(file, "actionFileSaveAs", "&Save As...", "Ctrl+S");
    actionModelMDMMDXframesToMD3 =
        Add(file, "actionModelMDMMDXframesToMD3", "Export Frames-range To MD3");
    actionFileExportGltf = Add(file, "actionFileExportGltf", "Export glTF...");
    file->addSeparator();
    actionFileExit = Add(file, "actionFileExit", "E&xit");

    QMenu* texturing = bar->addMenu("&Texturing");
    QMenu* skin = texturing->addMenu("Skin");
    actionFileSelectSkinfrompk3 =
        Add(skin, "actionFileSelectSkinfrompk3", "From &Game...", "Ctrl+T");
    actionFileSelectSkin = Add(skin, "actionFileSelectSkin", "From &File...", "Ctrl+Alt+T");
    actionModelSkinpermanent =
        Add(skin, "actionModelSkinpermanent", "Embed Skin Into Model", "Ctrl+E");
    actionFileClearSkin = Add(skin, "actionFileClearSkin", "&Clear");
    actionTexturingDefaultSkin =
        AddCheck(texturing, "actionTexturingDefaultSkin", "Default Skin on Load");
    actionTexturingDefaultSkin->setChecked(true);
    QMenu* shaderList = texturing->addMenu("Shaderlist");
    actionFileAddtoshaderlist = Add(shaderList, "actionFileAddtoshaderlist", "Add File...");
    actionFileClearshaderlist = Add(shaderList, "actionFileClearshaderlist", "Clear");

    BuildEdit(bar->addMenu("&Edit"));
    BuildView(bar->addMenu("&View"));

    QMenu* tools = bar->addMenu("T&ools");
    QMenu* colorConvert = tools->addMenu("Color Convert");
    menuToolsColorconvertRadiant = Add(colorConvert, "menuToolsColorconvertRadiant", "0 0 0");
    actionToolsCheckModel = Add(tools, "actionToolsCheckModel", "Check Model...");

    QMenu* settings = bar->addMenu("&Settings");
    actionSettingsGamedir = Add(settings, "actionSettingsGamedir", "Select &Game Path...");
    actionSettingsCleanup = AddCheck(settings, "actionSettingsCleanup", "Clean-up");
    actionSettingsCleanup->setChecked(true);

    QMenu* help = bar->addMenu("&Help");
    actionHelp = Add(help, "actionHelp", "&Help", "F1");
}

void TMainMenu::BuildEdit(QMenu* edit) {
    actionModelClear = Add(edit, "actionModelClear", "Clear");
    edit->addSeparator();
    QMenu* animation = edit->addMenu("Animation");
    actionFileAddframe = Add(animation, "actionFileAddframe", "Add Frame[0] From...", "Ctrl+Alt+A");
    actionFileAddframesequence =
        Add(animation, "actionFileAddframesequence", "Add frames[0] From Sequence...");
    actionFileAddframes = Add(animation, "actionFileAddframes", "Add All Frames From...");
    actionModelDeleteframe =
        Add(animation, "actionModelDeleteframe", "Delete Current Frame...", "Ctrl+Alt+D");
    menuModelCopyFrames = Add(animation, "menuModelCopyFrames", "Copy &Frames...");
    QMenu* tags = edit->addMenu("Tags");
    menuModelTagsInvertX = Add(tags, "menuModelTagsInvertX", "Invert X Axis", "F5");
    menuModelTagsInvertY = Add(tags, "menuModelTagsInvertY", "Invert Y Axis", "F6");
    menuModelTagsInvertZ = Add(tags, "menuModelTagsInvertZ", "Invert Z Axis", "F7");
    menuModelTagsSwapXY = Add(tags, "menuModelTagsSwapXY", "Swap XY Axis", "Ctrl+F5");
    menuModelTagsSwapXZ = Add(tags, "menuModelTagsSwapXZ", "Swap XZ Axis", "Ctrl+F6");
    menuModelTagsSwapYZ = Add(tags, "menuModelTagsSwapYZ", "Swap YZ Axis", "Ctrl+F7");
    tags->addSeparator();
    actionModelMD3TagAsOrigin = Add(tags, "actionModelMD3TagAsOrigin", "Use Current Tag As Origin");
    tags->addSeparator();
    menuModelTagsAddFromFile = Add(tags, "menuModelTagsAddFromFile", "Add From &File...");
    menuModelTagsAddManually = Add(tags, "menuModelTagsAddManually", "Add &Manually...");
    QMenu* surfaces = edit->addMenu("Surfaces");
    menuModelSurfacesChangeSurfaceName =
        Add(surfaces, "menuModelSurfacesChangeSurfaceName", "Change S&urface-name...");
    menuModelSurfacesChangeShaderName =
        Add(surfaces, "menuModelSurfacesChangeShaderName", "Change S&hader-name...");
    QMenu* bones = edit->addMenu("Bones");
    actionModelMDMMDXRenameBones = Add(bones, "actionModelMDMMDXRenameBones", "Default Bone-names");
    edit->addSeparator();
    actionModelMDMMDXCalculateLOD = Add(edit, "actionModelMDMMDXCalculateLOD", "Calculate LOD");
    actionModelMDMMDXScaleBones = Add(edit, "actionModelMDMMDXScaleBones", "Scale Weights...");
    edit->addSeparator();
    actionModelMD3Scale = Add(edit, "actionModelMD3Scale", "Scale...");
    actionModelMD3FixCracksGaps =
        Add(edit, "actionModelMD3FixCracksGaps", "Fix Cracks && Gaps for Current Surface...");
    actionModelMD3SmoothSurface =
        Add(edit, "actionModelMD3SmoothSurface", "Smooth Current Surface");
    edit->addSeparator();
    actionModelMD3FlipX = Add(edit, "actionModelMD3FlipX", "Flip X-coordinates");
    actionModelMD3FlipY = Add(edit, "actionModelMD3FlipY", "Flip Y-coordinates");
    actionModelMD3FlipZ = Add(edit, "actionModelMD3FlipZ", "Flip Z-coordinates");
    actionModelMD3FlipNormals = Add(edit, "actionModelMD3FlipNormals", "Flip Normals");
}

void TMainMenu::BuildView(QMenu* view) {
    actionViewLighting = AddCheck(view, "actionViewLighting", "&Lighting");
    menuViewShowskybox = AddCheck(view, "menuViewShowskybox", "Show SkyBox");
    view->addSeparator();
    actionViewCenterModel = AddCheck(view, "actionViewCenterModel", "Center Model");
    actionViewShowtags = AddCheck(view, "actionViewShowtags", "Show Tags");
    actionViewShowskeleton = AddCheck(view, "actionViewShowskeleton", "Show Skeleton");
    actionViewShowalphapreview =
        AddCheck(view, "actionViewShowalphapreview", "Show Alpha in Preview");
    view->addSeparator();
    menuViewSkycolors = view->addMenu("Sky Colors");
    menuViewSkycolors->setObjectName("menuViewSkycolors");
    menuViewSkycolortop = Add(menuViewSkycolors, "menuViewSkycolortop", "Top");
    menuViewSkycolorbottom = Add(menuViewSkycolors, "menuViewSkycolorbottom", "Bottom");
    QMenu* gamma = view->addMenu("Gamma");
    GammaItems = new QActionGroup(this);
    GammaItems->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const TGammaItem& item : GammaTable) {
        QAction* action = AddCheck(gamma, item.Name, item.Caption);
        action->setData(item.Value);
        GammaItems->addAction(action);
    }
}

void TMainMenu::SetEnabled(QAction* action, bool on) {
    action->setEnabled(on && IsAvailable(action));
}

void TMainMenu::MarkAvailable(QAction* action) {
    Unavailable.remove(action);
    action->setEnabled(true);
    ApplyModelKind(CurrentKind);
}

void TMainMenu::ApplyModelKind(TModelKind kind) {
    CurrentKind = kind;
    const bool md3 = kind == TModelKind::MD3;
    const bool skeletal = IsSkeletal(kind);
    for (QAction* a : {actionModelClear, actionFileExportGltf, actionToolsCheckModel})
        SetEnabled(a, kind != TModelKind::None);
    for (QAction* a :
         {actionFileAddframe, actionFileAddframes, actionFileAddframesequence,
          actionModelDeleteframe, actionModelMD3Scale, menuModelTagsInvertX, menuModelTagsInvertY,
          menuModelTagsInvertZ, menuModelTagsSwapXY, menuModelTagsSwapXZ, menuModelTagsSwapYZ,
          actionModelMD3TagAsOrigin, actionModelMD3FlipX, actionModelMD3FlipY, actionModelMD3FlipZ,
          actionModelMD3FlipNormals, actionModelMD3FixCracksGaps, actionModelMD3SmoothSurface})
        SetEnabled(a, md3);
    for (QAction* a :
         {actionFileLoadMDX, actionFileLoadMDXbones, actionFileLoadMDXframes, actionFileLoadMDMtags,
          actionModelMDMMDXframesToMD3, actionModelMDMMDXCalculateLOD, actionModelMDMMDXScaleBones})
        SetEnabled(a, skeletal);
    // Before any model the bone command keeps its state; the skin can only be embedded after
    // a skin was loaded, which the skin command itself enables.
    if (kind != TModelKind::None)
        SetEnabled(actionModelMDMMDXRenameBones, skeletal);
    else
        SetEnabled(actionModelSkinpermanent, false);
}

void TMainMenu::CheckGamma(float gamma) {
    for (QAction* action : GammaItems->actions())
        action->setChecked(GammaOf(action) == gamma);
}

float TMainMenu::GammaOf(const QAction* action) const {
    return action->data().toFloat();
}

} // namespace quillon
