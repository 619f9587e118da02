// "Load From File...", "Load .MAP From File..." and files named on the command line: every branch
// of the any-file dialog by its filter entry and by extension, the entry kept for the next use,
// what a failed load keeps, and the map conversion's limits in message boxes.
#include "WindowFixture.h"
#include "app/AnyFileCommands.h"
#include "app/GeneralTab.h"
#include "app/MainMenu.h"
#include "app/SurfacesTab.h"
#include "mapimport/MapBuilder.h"

#include <QAction>
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
    TextureSpec spec;
    spec.name = texture;
    return WorldMap({BoxBrush({-32, -32, -32}, {32, 32, 32}, {spec})});
}

} // namespace

class AnyFileTest : public QObject {
    Q_OBJECT
private slots:
    void DialogOffersTheThirteenEntriesWithoutTitle() {
        TWindowFixture w;
        LoadAny(w, w.WriteModel("m.md3", BuildMD3({})));
        const TFileDialog& shown = w.Dialogs.FileDialogsShown.back();
        QCOMPARE(shown.Title, std::string());
        QCOMPARE(shown.DefaultExt, std::string());
        QCOMPARE(shown.FilterIndex, 1);
        const std::vector<std::string> parts = Split(shown.Filter, '|');
        QCOMPARE(parts.size(), size_t(26));
        const std::vector<std::string> expected = {"All Supported Models",
                                                   "*.MD3;*.MDM;*.MDX;*.MDS;*.MAP;*.MS3D",
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
                                                   "*.shader"};
        QCOMPARE(parts, expected);
        QCOMPARE(w.Inside().Menu->actionFileLoadAnyFromFile->shortcut(),
                 QKeySequence("Ctrl+Alt+L"));
        QVERIFY(!w.Inside().Menu->actionFileLoadMS3D->isEnabled());
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

    void Ms3dUnderAllSupportedOnlyShowsTheFile() {
        TWindowFixture w;
        LoadAny(w, w.WriteModel("m.md3", BuildMD3({})));
        const std::string ms3d = WriteFile(w, "model.ms3d", "MS3D000000");
        LoadAny(w, ms3d, TAnyEntry::AllSupported);
        QCOMPARE(Status(w), std::string());
        QCOMPARE(w.Inside().tabGeneral->leName->text().toStdString(), ms3d);
        QCOMPARE(Caption(w), std::string("model.ms3d"));
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::MD3); // nothing was replaced
        LoadAny(w, ms3d);
        QCOMPARE(w.Dialogs.FileDialogsShown.back().FilterIndex, 1);
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

        for (int entry : {TAnyEntry::MS3D, TAnyEntry::Tags, TAnyEntry::ShaderFile}) {
            LoadAny(w, WriteFile(w, "x.tag", "TAG3"), entry);
            QCOMPARE(Status(w), std::string("not yet supported.."));
            QVERIFY(w.Inside().Resolver.Skin.Empty());
            QCOMPARE(Caption(w), std::string("m.skin"));
        }
        LoadAny(w, w.Home.File("none.skin"), TAnyEntry::Skin);
        QCOMPARE(Status(w), std::string("none.skin: the file does not exist"));
    }

    void SkeletalEntriesLoadNothingYet() {
        TWindowFixture w;
        LoadAny(w, w.WriteModel("m.md3", BuildMD3({})));
        for (int entry : {TAnyEntry::MDM, TAnyEntry::MDX, TAnyEntry::MDXBones, TAnyEntry::MDXFrames,
                          TAnyEntry::MDXTags, TAnyEntry::MDS}) {
            LoadAny(w, WriteFile(w, "x.mdm", "MDMW"), entry);
            QCOMPARE(Status(w),
                     std::string("Skeletal models cannot be opened in this window yet.."));
            QCOMPARE(w.Inside().State.ModelKind, TModelKind::MD3);
        }
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
        std::vector<BrushSpec> brushes;
        for (int i = 0; i < 33; ++i) {
            TextureSpec texture;
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

        BrushSpec fiveCorners = BoxBrush({0, 0, 0}, {64, 64, 64});
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
