// "Load From File...", "Load .MAP From File..." and files named on the command line: every branch
// of the any-file dialog by its filter entry and by extension, the entry kept for the next use,
// what a failed load keeps, the map conversion's limits in message boxes, and the import of
// MilkShape and glTF models.
#include "SkeletalBuilder.h"
#include "WindowFixture.h"
#include "app/AnyFileCommands.h"
#include "app/GeneralTab.h"
#include "app/MainMenu.h"
#include "app/PlaybackControls.h"
#include "app/SurfacesTab.h"
#include "interchange/GltfExport.h"
#include "mapimport/MapBuilder.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

using namespace quillon;
using namespace quillon::test;

namespace {

using TAnyEntry = TAnyFileCommands;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text)
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    return parts;
}

// Loads `path` through "Load From File..." with the filter entry `entry` (0: as the dialog is).
void LoadAny(TWindowFixture& w, const std::string& path, int entry = 0) {
    w.Dialogs.Files.push_back({path});
    if (entry != 0)
        w.Dialogs.FilterChoices.push_back(entry);
    w.Trigger("actionFileLoadAnyFromFile");
}

std::string Status(const TWindowFixture& w) {
    return w.Form->StatusText().toStdString();
}

std::string Caption(const TWindowFixture& w) {
    return w.Inside().gbModel->title().toStdString();
}

std::string WriteFile(TWindowFixture& w, const std::string& name, const std::string& text) {
    WriteBytes(w.Home.File(name), {text.begin(), text.end()});
    return w.Home.File(name);
}

// One box of `texture` on every side.
std::string BoxMap(const std::string& texture = "base/wall") {
    TextureLayout layout;
    layout.name = texture;
    return WorldMap({BoxBrush({-32, -32, -32}, {32, 32, 32}, {layout})});
}

} // namespace

class AnyFileTest : public QObject {
    Q_OBJECT
private slots:
    void DialogOffersTheFourteenEntriesWithoutTitle() {
        TWindowFixture w;
        LoadAny(w, w.WriteModel("m.md3", BuildMD3({})));
        const TFileDialog& shown = w.Dialogs.FileDialogsShown.back();
        QCOMPARE(shown.Title, std::string());
        QCOMPARE(shown.DefaultExt, std::string());
        QCOMPARE(shown.FilterIndex, 1);
        const std::vector<std::string> parts = Split(shown.Filter, '|');
        QCOMPARE(parts.size(), size_t(28));
        const std::vector<std::string> expected = {
            "All Supported Models",
            "*.MD3;*.MDM;*.MDX;*.MDS;*.MAP;*.MS3D;*.GLTF;*.GLB",
            "Quake3 Model  (.MD3)",
            "*.MD3",
            "Vask Player Model  (.MDM)",
            "*.MDM",
            "Vask Player Animation  (.MDX)",
            "*.MDX",
            "Vask Player Animation Bones  (.MDX)",
            "*.MDX",
            "Vask Player Animation Frames  (.MDX)",
            "*.MDX",
            "Vask Player Animation Tags  (.MDX)",
            "*.MDX",
            "Vask Model  (.MDS)",
            "*.MDS",
            "Quake Map  (.MAP)",
            "*.MAP",
            "MilkShape Model  (.MS3D)",
            "*.MS3D",
            "Model Skin  (*.skin)",
            "*.skin",
            "Model Tags  (*.tag)",
            "*.tag",
            "Shader-file  (.shader)",
            "*.shader",
            "glTF 2.0 Model  (.gltf, .glb)",
            "*.GLTF;*.GLB"};
        QCOMPARE(parts, expected);
        QCOMPARE(w.Inside().Menu->actionFileLoadAnyFromFile->shortcut(),
                 QKeySequence("Ctrl+Alt+L"));
        QVERIFY(w.Inside().Menu->actionFileLoadMS3D->isEnabled());
    }

    void ExtensionChoosesTheBranchAndStaysTheEntry() {
        TWindowFixture w;
        const std::string path = w.WriteModel("sub.MD3", BuildMD3({}));
        LoadAny(w, path);
        QCOMPARE(Status(w), std::string("MD3 loaded"));
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::MD3);
        QCOMPARE(w.Inside().State.ModelSource, TModelSource::File);
        QCOMPARE(w.Inside().State.ModelFolder, w.Home.Path + "/");
        QCOMPARE(w.Inside().tabGeneral->leName->text().toStdString(), path);
        QCOMPARE(Caption(w), std::string("sub.MD3"));
        QVERIFY(w.Inside().pcTabs->isTabVisible(0));
        QVERIFY(w.Inside().Menu->actionModelMD3FlipX->isEnabled());

        // The next use starts on "Quake3 Model", where a map is still read as an MD3.
        const std::string map = WriteFile(w, "level.map", BoxMap());
        LoadAny(w, map);
        QCOMPARE(w.Dialogs.FileDialogsShown.back().FilterIndex, 2);
        QVERIFY(Status(w).starts_with("level.map: "));
        QCOMPARE(Caption(w), std::string("sub.MD3"));
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 2u); // the model shown stays
    }

    void MapUnderAllSupportedIsConvertedIntoTheMD3Model() {
        TWindowFixture w;
        const std::string map = WriteFile(w, "level.map", BoxMap());
        LoadAny(w, map, TAnyEntry::AllSupported);
        QCOMPARE(Status(w), std::string("MAP loaded and converted to MD3"));
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 1u);
        QCOMPARE(w.Instances.MD3.Header.Surfaces[0].numVerts, 24u);
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::MD3);
        QCOMPARE(Caption(w), std::string("level.map"));
        // Load From File leaves the Save hints alone.
        QCOMPARE(w.Inside().Menu->actionFileSaveAs->statusTip(), QString());
    }

    void MilkShapeAndGltfModelsAreImportedIntoTheMD3Model() {
        TWindowFixture w;
        LoadAny(w, w.WriteModel("m.md3", BuildMD3({})));
        const std::string junk = WriteFile(w, "junk.ms3d", "MS3D000000");
        LoadAny(w, junk, TAnyEntry::AllSupported);
        QVERIFY(Status(w).starts_with("junk.ms3d: not a valid MilkShape 3D file: "));
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 2u); // the model shown stays

        const std::string ms3d = w.Home.File("model.ms3d");
        WriteBytes(ms3d, MS3DFileBytes(BuildMS3D(6, 2, 2)));
        LoadAny(w, ms3d, TAnyEntry::AllSupported);
        QCOMPARE(Status(w), std::string("MS3D loaded and converted to MD3"));
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 2u);
        QCOMPARE(NameToString(w.Instances.MD3.Header.Surfaces[1].name), std::string("group1"));
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::MD3);
        QCOMPARE(Caption(w), std::string("model.ms3d"));

        const TMD3 md3 = BuildMD3({3, 1, 2, 4, 2, 1});
        TExportModel model;
        model.MD3 = &md3;
        QVERIFY(ExportGltf(model, {}, w.Home.File("model.glb")).Ok());
        LoadAny(w, w.Home.File("model.glb"), TAnyEntry::AllSupported);
        QCOMPARE(Status(w), std::string("glTF loaded and converted to MD3"));
        QCOMPARE(w.Instances.MD3.Header.numFrames, md3.Header.numFrames);
        QCOMPARE(Caption(w), std::string("model.glb"));
        // Exported without materials: the surfaces have no shader, which a message box says.
        QVERIFY(!w.Dialogs.Messages.empty());
        QVERIFY(w.Dialogs.Messages.back().find("has no shader name") != std::string::npos);
        LoadAny(w, w.Home.File("model.glb"));
        QCOMPARE(w.Dialogs.FileDialogsShown.back().FilterIndex, int(TAnyEntry::Gltf));
    }

    void LoadMS3DCommandConvertsTheModel() {
        TWindowFixture w;
        const std::string ms3d = w.Home.File("model.ms3d");
        WriteBytes(ms3d, MS3DFileBytes(BuildMS3D(6, 2, 2)));
        w.Dialogs.Files.push_back({ms3d});
        w.Trigger("actionFileLoadMS3D");
        QCOMPARE(Status(w), std::string("MS3D loaded and converted to MD3"));
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::MD3);
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 2u);
        QCOMPARE(w.Dialogs.FileDialogsShown.back().Filter,
                 std::string("MilkShape Model (.ms3d)|*.ms3d"));
    }

    void UnsupportedEntriesClearTheSkinAndSaySo() {
        TWindowFixture w;
        LoadAny(w, w.WriteModel("m.md3", BuildMD3({})));
        const std::string skin = WriteFile(w, "m.skin", "surface0,textures/a.tga\n");
        LoadAny(w, skin, TAnyEntry::Skin);
        QCOMPARE(Status(w), std::string("Skin loaded"));
        QCOMPARE(w.Inside().tabSurfaces->leSkinFile->text(), QString("m.skin"));
        QCOMPARE(Caption(w), std::string("m.skin"));
        QVERIFY(!w.Inside().Resolver.Skin.Empty());

        for (int entry : {TAnyEntry::Tags, TAnyEntry::ShaderFile}) {
            LoadAny(w, WriteFile(w, "x.tag", "TAG3"), entry);
            QCOMPARE(Status(w), std::string("not yet supported.."));
            QVERIFY(w.Inside().Resolver.Skin.Empty());
            QCOMPARE(Caption(w), std::string("m.skin"));
        }
        LoadAny(w, w.Home.File("none.skin"), TAnyEntry::Skin);
        QCOMPARE(Status(w), std::string("none.skin: the file does not exist"));
    }

    void SkeletalEntriesRunTheSkeletalLoadsOnTheChosenFile() {
        TWindowFixture w;
        const std::string mesh = w.Home.File("m.mdm"), animation = w.Home.File("m.mdx");
        WriteBytes(mesh, MDMFileBytes(BuildMDM({}), false));
        TMDX built = BuildMDX(5, 4);
        QVERIFY(built.SaveToFile(animation));
        WriteFile(w, "m.aninc", "walk 0 3 3 15 0 0 0\n");

        // The replacements need a skeletal model first: nothing happens, nothing is said.
        LoadAny(w, w.WriteModel("a.md3", BuildMD3({})));
        LoadAny(w, animation, TAnyEntry::MDX);
        QCOMPARE(Status(w), std::string());
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::MD3);

        // A mesh asks for its animation next, as "Load MDM/MDX From File..." does.
        w.Dialogs.Files = {{mesh}, {animation}};
        w.Dialogs.FilterChoices = {TAnyEntry::AllSupported};
        w.Trigger("actionFileLoadAnyFromFile");
        QCOMPARE(w.Dialogs.FileDialogsShown.back().Title,
                 std::string("Select a playermodel-animation to load"));
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::Skeletal);
        const size_t shown = w.Dialogs.FileDialogsShown.size();

        const std::pair<int, const char*> replacements[] = {
            {TAnyEntry::MDX, "MDX loaded"},
            {TAnyEntry::MDXBones, "MDX bones loaded"},
            {TAnyEntry::MDXFrames, "MDX frames loaded"},
            {TAnyEntry::MDXTags, "MDX tags loaded"}};
        for (const auto& [entry, status] : replacements) {
            LoadAny(w, entry == TAnyEntry::MDXTags ? mesh : animation, entry);
            QCOMPARE(Status(w), std::string(status));
            QCOMPARE(w.Inside().State.ModelKind, TModelKind::Skeletal);
            if (entry == TAnyEntry::MDX) // the script beside the animation names its ranges
                QCOMPARE(w.Inside().Playback->cbAnimName->count(), 1);
        }
        // The mesh chosen under "All Supported Models" left the dialog on the MDM entry.
        QCOMPARE(w.Dialogs.FileDialogsShown[shown].FilterIndex, int(TAnyEntry::MDM));

        const std::string mds = w.Home.File("m.mds");
        WriteBytes(mds, MDSFileBytes(BuildMDS(2, 4, {1})));
        LoadAny(w, mds, TAnyEntry::AllSupported);
        QCOMPARE(Status(w), std::string("MDS loaded and converted to MDM/MDX"));
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::MDS);
        QVERIFY(w.Form->OpenFromCommandLine({mds}));
    }

    void FailedMD3KeepsTheModelAndNamesTheFile() {
        TWindowFixture w;
        LoadAny(w, w.WriteModel("m.md3", BuildMD3({})));
        LoadAny(w, WriteFile(w, "broken.md3", "IDP3"), TAnyEntry::MD3);
        QVERIFY(Status(w).starts_with("broken.md3: "));
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 2u);
        QCOMPARE(Caption(w), std::string("m.md3"));
        LoadAny(w, w.Home.File("gone.md3"), TAnyEntry::MD3);
        QCOMPARE(w.Dialogs.Errors.size(), size_t(1));
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 2u);
        QVERIFY(!w.Inside().State.Busy);

        w.Dialogs.Files.push_back({}); // cancelled: nothing changes
        w.Trigger("actionFileLoadAnyFromFile");
        QCOMPARE(Status(w), std::string());
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 2u);
    }

    void LoadMapCommandConvertsAndHintsSaving() {
        TWindowFixture w;
        const std::string map = WriteFile(w, "room.map", BoxMap("base/floor"));
        w.Dialogs.Files.push_back({map});
        w.Trigger("actionFileImportMapAsMD3");
        const TFileDialog& shown = w.Dialogs.FileDialogsShown.back();
        QCOMPARE(shown.Title, std::string("Select a map to load"));
        QCOMPARE(shown.Filter, std::string("Quake Map (.map)|*.map"));
        QCOMPARE(shown.DefaultExt, std::string(".MAP"));
        QCOMPARE(Status(w), std::string("MAP loaded and converted to MD3"));
        QCOMPARE(w.Inside().Menu->actionFileSaveAs->statusTip(), QString("Save as MD3"));
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::MD3);
        QCOMPARE(Caption(w), std::string("room.map"));
        QCOMPARE(NameToString(w.Instances.MD3.Header.Surfaces[0].Shaders[0].name),
                 std::string("textures/base/floor"));
        QCOMPARE(w.Inside().Menu->actionFileImportMapAsMD3->shortcut(), QKeySequence("Ctrl+Alt+M"));
    }

    void MapLimitsAreShownInAMessageBoxAndLeaveNoModel() {
        TWindowFixture w;
        std::vector<BrushShape> brushes;
        for (int i = 0; i < 33; ++i) {
            TextureLayout texture;
            texture.name = "gen/t" + std::to_string(i);
            brushes.push_back(BoxBrush({i * 64.0, 0, 0}, {i * 64.0 + 32, 32, 32}, {texture}));
        }
        const std::string many = WriteFile(w, "many.map", WorldMap(brushes));
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3({})));
        w.Dialogs.Files.push_back({many});
        w.Trigger("actionFileImportMapAsMD3");
        QCOMPARE(w.Dialogs.Messages.back(),
                 std::string("MAX_SURFACES limit exceeded: 33 > 32\r\nToo many shaders/textures "
                             "used.."));
        QCOMPARE(Status(w), std::string());
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::None);
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 0u);
        QVERIFY(!w.Inside().Menu->actionModelMD3FlipX->isEnabled());

        BrushShape fiveCorners = BoxBrush({0, 0, 0}, {64, 64, 64});
        fiveCorners.push_back(OutwardPlane({0, 0, 16}, {-1, -1, -1}));
        const std::string bevel = WriteFile(w, "bevel.map", WorldMap({fiveCorners}));
        LoadAny(w, w.WriteModel("m.md3", BuildMD3({})), TAnyEntry::MD3);
        LoadAny(w, bevel, TAnyEntry::Map);
        QVERIFY(w.Dialogs.Messages.back().starts_with(
            "Invalid BRUSH shape for this tool version: FACE_VERTS 5 > 4\r\n"));
        QCOMPARE(Status(w), std::string());
        // Load From File converts beside the model shown: that one stays.
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::MD3);
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 2u);

        w.Dialogs.Files.push_back({w.Home.File("gone.map")});
        w.Trigger("actionFileImportMapAsMD3");
        QCOMPARE(Status(w), std::string("gone.map: the file does not exist"));
    }

    void CommandLineOpensFilesByExtension() {
        TWindowFixture w;
        QVERIFY(w.Form->OpenFromCommandLine({WriteFile(w, "level.map", BoxMap())}));
        QCOMPARE(Status(w), std::string("MAP loaded and converted to MD3"));
        QVERIFY(w.Form->OpenFromCommandLine({w.WriteModel("m.md3", BuildMD3({}))}));
        QCOMPARE(Status(w), std::string("MD3 loaded"));
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 2u);
        QVERIFY(!w.Form->OpenFromCommandLine({WriteFile(w, "x.ms3d", "MS3D000000")}));
        QVERIFY(!w.Form->OpenFromCommandLine({w.Home.File("gone.md3")}));
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 2u);
        QVERIFY(w.Dialogs.FileDialogsShown.empty());
    }
};

QTEST_MAIN(AnyFileTest)
#include "AnyFileTest.moc"
