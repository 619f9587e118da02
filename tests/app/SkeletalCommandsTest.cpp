// The skeletal commands through the window with scripted dialogs: loading the pair, MDS and the
// replacing commands (status texts, caption, panels, tab set, menu state), refusals that change
// nothing, the bake against the library's bake, Save As round trips, the LOD group and the
// command line.
#include "WindowFixture.h"
#include "app/BonesTab.h"
#include "app/FrameSlider.h"
#include "app/LodGroup.h"
#include "app/MainMenu.h"
#include "app/PlaybackControls.h"
#include "app/SurfacesTab.h"
#include "app/ViewTab.h"

#include "GameDataBuilder.h"
#include "SkeletalBuilder.h"
#include "lod/LodCalculation.h"
#include "skeletal/Bake.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>

using namespace quillon;
using namespace quillon::test;

namespace {

constexpr int Bones = 4;
constexpr int AnimationFrames = 6;

// A mesh of two surfaces and two tags on a chain of four bones, its animation and a script
// naming two ranges, written into the window's application folder.
struct SkeletalFiles {
    std::string Mesh, Animation;

    SkeletalFiles(TWindowFixture& w, const std::string& name = "mesh", int bones = Bones,
                  int frames = AnimationFrames) {
        TMDM mesh = BuildMDM({});
        Mesh = w.Home.File(name + ".mdm");
        Animation = w.Home.File(name + ".mdx");
        WriteBytes(Mesh, MDMFileBytes(mesh, false));
        TMDX animation = BuildMDX(frames, bones);
        QVERIFY(animation.SaveToFile(Animation));
        std::ofstream(w.Home.File(name + ".aninc"))
            << "first 0 3 3 15 0 0 0\nsecond\t3 2 2 10 0 0 0 // two frames\n";
    }
};

void LoadPair(TWindowFixture& w, const SkeletalFiles& files) {
    w.Dialogs.Files.push_back({files.Mesh});
    w.Dialogs.Files.push_back({files.Animation});
    w.Trigger("actionFileLoadMDMMDX");
}

QString Status(const TWindowFixture& w) {
    return w.Form->StatusText();
}

bool Enabled(const TWindowFixture& w, const char* action) {
    return w.Form->findChild<QAction*>(action)->isEnabled();
}

QStringList VisibleTabs(const TWindowFixture& w) {
    QStringList tabs;
    const QTabWidget* t = w.Inside().pcTabs;
    for (int i = 0; i < t->count(); ++i)
        if (t->isTabVisible(i))
            tabs << t->tabText(i);
    return tabs;
}

QStringList Items(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

std::vector<char> Bytes(const std::string& path) {
    return ReadBytes(path);
}

// The triangles the LOD preview draws of a surface: those whose corners stay apart.
int ReducedTriangles(const TMDM& mesh, int surface, int vertices) {
    int count = 0;
    for (const TMDMTriangle& t : mesh.Surfaces[surface].Triangles) {
        const int32_t a = Map(mesh, surface, t.indexes[0], vertices),
                      b = Map(mesh, surface, t.indexes[1], vertices),
                      c = Map(mesh, surface, t.indexes[2], vertices);
        count += a != b && b != c && a != c;
    }
    return count;
}

} // namespace

class SkeletalCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void LoadingThePairShowsTheSkeletalWindow() {
        TWindowFixture w;
        const SkeletalFiles files(w);
        LoadPair(w, files);
        QCOMPARE(Status(w), QString("MDM/MDX loaded"));
        const TFormAccess inside = w.Inside();
        QCOMPARE(inside.State.ModelKind, TModelKind::Skeletal);
        QCOMPARE(inside.State.ModelSource, TModelSource::File);
        QCOMPARE(inside.State.ModelFolder, w.Home.Path + "/");
        QCOMPARE(inside.gbModel->title(), QString("mesh.mdm"));
        QCOMPARE(VisibleTabs(w), QStringList({"Surfaces", "Bones", "View"}));
        QVERIFY(Enabled(w, "actionFileLoadMDX") && Enabled(w, "actionModelMDMMDXCalculateLOD"));
        QVERIFY(!Enabled(w, "actionModelMD3FlipX") && !Enabled(w, "actionFileAddframe"));
        QCOMPARE(inside.Menu->actionFileSaveAs->statusTip(), QString("Save as MDM/MDX"));
        QCOMPARE(w.Dialogs.FileDialogsShown[0].Title, std::string("Select a playermodel to load"));
        QCOMPARE(w.Dialogs.FileDialogsShown[1].Title,
                 std::string("Select a playermodel-animation to load"));

        QCOMPARE(inside.tabBones->Count(), Bones);
        QCOMPARE(Items(inside.tabSurfaces->cbNamesSurfaces), QStringList({"surface0", "surface1"}));
        QCOMPARE(inside.tabSurfaces->leNumVerts->text(), QString("4"));
        QCOMPARE(Items(inside.tabView->cbTagPivots), QStringList({"tag_0", "tag_1", "origin"}));
        QCOMPARE(inside.tabView->cbTagPivots->currentIndex(), 2);
        const TLodGroup* lod = inside.tabView->gbLOD;
        QVERIFY(lod->isEnabled());
        QCOMPARE(lod->tLODpresence->text(), QString("present"));
        QCOMPARE(lod->seLODSurfaceNr->maximum(), 1);
        QCOMPARE(lod->tLODSurfacename->text(), QString("surface0"));
        QCOMPARE(lod->tbLODMinimum->toolTip(), QString("2 of 4 vertices"));

        // The script's names play their ranges.
        TPlaybackControls* playback = inside.Playback;
        QCOMPARE(Items(playback->cbAnimName), QStringList({"first", "second"}));
        playback->cbAnimName->setCurrentIndex(1);
        emit playback->cbAnimName->activated(1);
        QCOMPARE(playback->StartFrame(), 3);
        QCOMPARE(playback->EndFrame(), 4);
        QCOMPARE(inside.State.CurrentFrame, 3);
    }

    void ImagesBesideTheMeshTextureItsSurfaces() {
        // A game whose scripts know none of the mesh's shaders.
        TempDir game;
        std::filesystem::create_directories(game.File("etmain"));
        WriteZip(game.File("etmain/pak0.pk3"), {{"scripts/other.shader", "other\n{\n}\n"}});
        TWindowFixture w(true, "[Game]\nGameDir=" + game.Path + "\n");
        w.Form->show(); // applies the game folder
        const SkeletalFiles files(w);
        std::ofstream(w.Home.File("skin0.tga"), std::ios::binary) << TGAImage(4, 4, 24);
        LoadPair(w, files);
        const TMDMSurface& surface = w.Instances.MDM.Surfaces[0];
        QVERIFY(w.Instances.Shaders.Has(surface.shaderIndex));
        const TShaderTexture& stage = w.Instances.Shaders.Shaders[surface.shaderIndex].Stages[0];
        QCOMPARE(stage.FileName, w.Home.File("skin0.tga"));
        QCOMPARE(stage.Width, 4);
    }

    void FailedCancelledAndRefusedLoadsEndQuietly() {
        TWindowFixture w;
        const SkeletalFiles files(w);
        const std::string broken = w.Home.File("broken.mdm");
        std::ofstream(broken) << "MDMW but nothing else";
        w.Dialogs.Files.push_back({broken});
        w.Trigger("actionFileLoadMDMMDX");
        QVERIFY(Status(w).startsWith("broken.mdm: "));
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::None);

        w.Dialogs.Files.push_back({files.Mesh}); // the animation dialog is cancelled
        w.Trigger("actionFileLoadMDMMDX");
        QCOMPARE(Status(w), QString());
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::None);

        // Too many surfaces: the limit question, answered No, then Yes.
        TMDM wide = BuildMDM({33, 3, 1, 1, 1, 0, 4});
        const std::string widePath = w.Home.File("wide.mdm");
        WriteBytes(widePath, MDMFileBytes(wide, false));
        w.Dialogs.Files.push_back({widePath});
        w.Dialogs.Answers = {TAnswer::No};
        w.Trigger("actionFileLoadMDMMDX");
        QCOMPARE(w.Dialogs.Questions.back(),
                 std::string("Confirmation|MAX_SURFACES limit exceeded: 33 > 32\r\n"
                             "Continue loading?.."));
        QVERIFY(Status(w).startsWith("wide.mdm: "));
        w.Dialogs.Files = {{widePath}, {files.Animation}};
        w.Dialogs.Answers = {TAnswer::Yes};
        w.Trigger("actionFileLoadMDMMDX");
        QCOMPARE(Status(w), QString("MDM/MDX loaded"));
        QCOMPARE(w.Instances.MDM.Surfaces.size(), size_t(33));
    }

    void ABadScriptKeepsItsEarlierNamesAndSaysWhy() {
        TWindowFixture w;
        const SkeletalFiles files(w);
        std::ofstream(w.Home.File("mesh.aninc")) << "walk 0 3 3 15 0 0 0\nrun x 2 2 10 0 0 0\n";
        LoadPair(w, files);
        QCOMPARE(Status(w),
                 QString("MDM/MDX loaded (mesh.aninc: line 2: 'x' is not a valid integer value)"));
        QCOMPARE(Items(w.Inside().Playback->cbAnimName), QStringList({"walk"}));
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::Skeletal);
    }

    void ReplacingCommandsRefuseWhatDoesNotFit() {
        TWindowFixture w;
        const SkeletalFiles files(w);
        const SkeletalFiles fiveBones(w, "five", 5, 8);
        // Without a skeletal model the commands are off.
        QVERIFY(!Enabled(w, "actionFileLoadMDXbones"));
        LoadPair(w, files);

        w.Dialogs.Files.push_back({fiveBones.Animation});
        w.Trigger("actionFileLoadMDXbones");
        QCOMPARE(Status(w),
                 QString("five.mdx: numBones 5 differs from the 4 bones of the current animation: "
                         "nothing changed"));
        w.Dialogs.Files.push_back({fiveBones.Animation});
        w.Trigger("actionFileLoadMDXframes");
        QCOMPARE(Status(w),
                 QString("five.mdx: numBones 5 differs from the 4 bones of the current animation: "
                         "nothing changed"));
        QCOMPARE(w.Instances.MDX.Header.numFrames, uint32_t(AnimationFrames));

        const SkeletalFiles longer(w, "longer", Bones, 9);
        w.Dialogs.Files.push_back({longer.Animation});
        w.Trigger("actionFileLoadMDXframes");
        QCOMPARE(Status(w), QString("MDX frames loaded"));
        QCOMPARE(w.Instances.MDX.Header.numFrames, 9u);
        QCOMPARE(w.Inside().Playback->tbEndFrame->maximum(), 8);
        QCOMPARE(w.Inside().Playback->cbAnimName->count(), 0);

        w.Dialogs.Files.push_back({longer.Animation});
        w.Trigger("actionFileLoadMDXbones");
        QCOMPARE(Status(w), QString("MDX bones loaded"));

        // Tags of a mesh built on more bones than the animation has.
        TMDM other = BuildMDM({1, 3, 1, 1, 1, 6, 6});
        const std::string otherPath = w.Home.File("other.mdm");
        WriteBytes(otherPath, MDMFileBytes(other, false));
        w.Dialogs.Files.push_back({otherPath});
        w.Trigger("actionFileLoadMDMtags");
        QCOMPARE(Status(w),
                 QString("other.mdm: tag_4 hangs on bone 4, the animation has 4 bones: nothing "
                         "changed"));
        QCOMPARE(w.Instances.MDM.Tags.size(), size_t(2));
        TMDM fitting = BuildMDM({1, 3, 1, 1, 1, 3, 4});
        WriteBytes(otherPath, MDMFileBytes(fitting, false));
        w.Dialogs.Files.push_back({otherPath});
        w.Trigger("actionFileLoadMDMtags");
        QCOMPARE(Status(w), QString("MDX tags loaded"));
        QCOMPARE(Items(w.Inside().tabView->cbTagPivots),
                 QStringList({"tag_0", "tag_1", "tag_2", "origin"}));

        // A file that is no animation leaves the animation as it was.
        w.Dialogs.Files.push_back({otherPath});
        w.Trigger("actionFileLoadMDX");
        QVERIFY(Status(w).endsWith(": nothing changed"));
        QCOMPARE(w.Instances.MDX.Header.numFrames, 9u);
        w.Dialogs.Files.push_back({fiveBones.Animation});
        w.Trigger("actionFileLoadMDX");
        QCOMPARE(Status(w), QString("MDX loaded"));
        QCOMPARE(w.Inside().tabBones->Count(), 5);
        QCOMPARE(Items(w.Inside().Playback->cbAnimName), QStringList({"first", "second"}));
    }

    void MdsLoadsAsKindThreeAndAnAnimationOverItMakesKindTwo() {
        TWindowFixture w;
        const std::string path = w.Home.File("old.mds");
        WriteBytes(path, MDSFileBytes(BuildMDS(5, 6, {2})));
        w.Dialogs.Files.push_back({path});
        w.Trigger("actionFileLoadMDS");
        QCOMPARE(Status(w), QString("MDS loaded and converted to MDM/MDX"));
        QCOMPARE(w.Dialogs.FileDialogsShown.back().Title, std::string("Select a model to load"));
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::MDS);
        QCOMPARE(w.Inside().gbModel->title(), QString("old.mds"));
        QCOMPARE(w.Inside().tabBones->Count(), 5);
        QCOMPARE(w.Inside().Playback->cbAnimName->count(), 0);
        QCOMPARE(VisibleTabs(w), QStringList({"Surfaces", "Bones", "View"}));

        const SkeletalFiles files(w, "anim", 5, 4);
        w.Dialogs.Files.push_back({files.Animation});
        w.Trigger("actionFileLoadMDX");
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::Skeletal);

        const std::string garbage = w.Home.File("garbage.mds");
        std::ofstream(garbage) << "MDSW";
        w.Dialogs.Files.push_back({garbage});
        w.Trigger("actionFileLoadMDS");
        QVERIFY(Status(w).startsWith("garbage.mds: "));
    }

    void DefaultBoneNamesNeedFiftyThreeBones() {
        TWindowFixture w;
        const SkeletalFiles small(w, "small", 52, 2);
        LoadPair(w, small);
        w.Trigger("actionModelMDMMDXRenameBones");
        QCOMPARE(NameToString(w.Instances.MDX.Bones[0].name), std::string("bone0"));
        const SkeletalFiles biped(w, "biped", 53, 2);
        LoadPair(w, biped);
        w.Trigger("actionModelMDMMDXRenameBones");
        QCOMPARE(NameToString(w.Instances.MDX.Bones[52].name), std::string("Bip01 R Toe0"));
        QCOMPARE(w.Inside().tabBones->tvBones->topLevelItem(0)->text(0), QString("Bip01 Pelvis"));
    }

    void ScaleWeightsTakesANumberOtherThanOne() {
        TWindowFixture w;
        LoadPair(w, SkeletalFiles(w));
        const float weight = w.Instances.MDM.Surfaces[0].Vertices[0].Weights[0].boneWeight;
        w.Dialogs.Inputs = {std::string("1.0"), std::string("2,5"), std::nullopt,
                            std::string("2.5")};
        for (int i = 0; i < 4; ++i)
            w.Trigger("actionModelMDMMDXScaleBones");
        QCOMPARE(w.Dialogs.InputTitles.back(), std::string("Enter the scaling factor"));
        QCOMPARE(w.Dialogs.InputPrompts.back(), std::string("Scaling Factor"));
        QCOMPARE(w.Instances.MDM.Surfaces[0].Vertices[0].Weights[0].boneWeight, weight * 2.5f);
        QCOMPARE(w.Inside().gbModel->title(), QString("mesh.mdm"));
    }

    void ExportBakesTheRangeAsTheLibraryDoes() {
        TWindowFixture w;
        const SkeletalFiles files(w);
        LoadPair(w, files);
        TPlaybackControls* playback = w.Inside().Playback;
        playback->tbStartFrame->setValue(1);
        playback->tbEndFrame->setValue(3);
        const std::string out = w.Home.File("baked.md3");

        w.Dialogs.Answers = {TAnswer::No};
        w.Trigger("actionModelMDMMDXframesToMD3");
        QCOMPARE(w.Dialogs.Questions.back(),
                 std::string("Confirmation|Are You sure You want to export the selected "
                             "frames-range to MD3?.. Frames:1 to 3"));
        QVERIFY(!std::filesystem::exists(out));

        w.Dialogs.Answers = {TAnswer::Yes};
        w.Dialogs.Files.push_back({out});
        w.Trigger("actionModelMDMMDXframesToMD3");
        QCOMPARE(Status(w), QString("Frames:1 to 3 exported to file: baked.md3"));
        QCOMPARE(w.Inside().gbModel->title(), QString("baked.md3"));
        QCOMPARE(w.Dialogs.FileDialogsShown.back().Title, std::string("Save a model"));
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::Skeletal);

        TMDM mesh;
        TMDX animation;
        QVERIFY(mesh.LoadFromFile(files.Mesh) && animation.LoadFromFile(files.Animation));
        TMD3 expected;
        QVERIFY(!BakeToMD3(mesh, animation, 1, 3, expected));
        const std::string reference = w.Home.File("reference.md3");
        QVERIFY(expected.SaveToFile(reference));
        QVERIFY(Bytes(out) == Bytes(reference));
    }

    void ABakeThatFailsWritesNothing() {
        TWindowFixture w;
        TMDM far = BuildMDM({});
        for (TMDMVertex& vertex : far.Surfaces[1].Vertices)
            vertex.Weights[0].offset.x = 60000; // far beyond the MD3 vertex range
        const SkeletalFiles files(w);
        WriteBytes(files.Mesh, MDMFileBytes(far, false));
        LoadPair(w, files);
        w.Dialogs.Answers = {TAnswer::Yes};
        w.Dialogs.Files.push_back({w.Home.File("never.md3")});
        w.Trigger("actionModelMDMMDXframesToMD3");
        QVERIFY(!Status(w).isEmpty());
        QVERIFY(!std::filesystem::exists(w.Home.File("never.md3")));
        QCOMPARE(w.Dialogs.Files.size(), size_t(1)); // no save dialog was shown
        QCOMPARE(w.Inside().gbModel->title(), QString("mesh.mdm"));
    }

    void SaveAsWritesAPairThatReloadsIdentically() {
        TWindowFixture w;
        const SkeletalFiles files(w);
        LoadPair(w, files);
        const std::string mesh = w.Home.File("saved.mdm"), animation = w.Home.File("saved.mdx");
        w.Dialogs.Files = {{mesh}, {animation}};
        w.Trigger("actionFileSaveAs");
        QCOMPARE(Status(w), QString("Model saved to files: saved.mdm & saved.mdx"));
        QCOMPARE(w.Inside().gbModel->title(), QString("saved.mdm"));
        QCOMPARE(w.Dialogs.FileDialogsShown[2].Title, std::string("Save a playermodel"));
        QCOMPARE(w.Dialogs.FileDialogsShown[2].DefaultExt, std::string(".MDM"));
        QCOMPARE(w.Dialogs.FileDialogsShown[3].Title, std::string("Save a playermodel animation"));

        w.Dialogs.Files = {{mesh}, {animation}};
        w.Trigger("actionFileLoadMDMMDX");
        const std::string again = w.Home.File("again.mdm"), againX = w.Home.File("again.mdx");
        w.Dialogs.Files = {{again}, {againX}};
        w.Trigger("actionFileSaveAs");
        QVERIFY(Bytes(again) == Bytes(mesh));
        QVERIFY(Bytes(againX) == Bytes(animation));

        // The animation's dialog cancelled: the pair is not complete.
        w.Dialogs.Files = {{w.Home.File("half.mdm")}};
        w.Trigger("actionFileSaveAs");
        QCOMPARE(Status(w), QString());
    }

    void CalculateLodFallsBackToFrameZeroAndThePreviewDrawsFewerTriangles() {
        TWindowFixture w;
        // A strip of four triangles over six vertices, all on the root bone, which frame 0
        // leaves unturned; no LOD data yet.
        TMDM grid = BuildMDM({1, 6, 1, 4, 1, 0, Bones});
        grid.Surfaces[0].CollapseMap.assign(6, 0);
        grid.Surfaces[0].Triangles = {{{0, 1, 2}}, {{1, 3, 2}}, {{2, 3, 4}}, {{3, 5, 4}}};
        for (int v = 0; v < 6; ++v)
            grid.Surfaces[0].Vertices[v].Weights[0] = {
                0, 1.0f, {float(v % 2) * 10, float(v / 2) * 10, 0}};
        const SkeletalFiles files(w);
        WriteBytes(files.Mesh, MDMFileBytes(grid, false));
        LoadPair(w, files);
        TLodGroup* lod = w.Inside().tabView->gbLOD;
        QCOMPARE(lod->tLODpresence->text(), QString("absent"));
        QCOMPARE(lod->tbLODMinimum->toolTip(), QString("6 of 6 vertices"));

        w.Trigger("actionModelMDMMDXCalculateLOD");
        QVERIFY(Status(w).contains("frame 4274"));
        QCOMPARE(lod->tLODpresence->text(), QString("calculated"));
        const TMDM& mesh = w.Instances.MDM;
        QCOMPARE(mesh.Header.lodScale, 1.0f);
        QCOMPARE(lod->tbLODMinimum->maximum(), 6);

        lod->tbLODMinimum->setValue(3);
        QCOMPARE(mesh.Surfaces[0].minLod, 3);
        QCOMPARE(mesh.LODTable[0].minLod, 3);
        QCOMPARE(lod->tbLODMinimum->toolTip(), QString("3 of 6 vertices"));
        lod->cbLODEnabled->setChecked(true);
        QVERIFY(w.Form->ViewOptions().LODEnabled);
        QVERIFY(ReducedTriangles(mesh, 0, 3) < ReducedTriangles(mesh, 0, 6));
        QCOMPARE(ReducedTriangles(mesh, 0, 6), 4);
        QCOMPARE(w.Inside().gbModel->title(), QString("mesh.mdm"));

        // An MD3 model: the command and the group are off, the selector back at -1.
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3({})));
        QVERIFY(!Enabled(w, "actionModelMDMMDXCalculateLOD"));
        QCOMPARE(lod->seLODSurfaceNr->value(), -1);
        QVERIFY(!lod->cbLODEnabled->isChecked());
        QCOMPARE(lod->tLODSurfacename->text(), QString());
    }

    void ClearDuringPlaybackAndTheCommandLine() {
        TWindowFixture w;
        const SkeletalFiles files(w);
        w.Form->OpenFromCommandLine({files.Mesh, files.Animation});
        QCOMPARE(Status(w), QString("MDM/MDX loaded"));
        QCOMPARE(Items(w.Inside().Playback->cbAnimName), QStringList({"first", "second"}));
        QVERIFY(w.Dialogs.FileDialogsShown.empty());
        w.Inside().Playback->Tick();
        w.Trigger("actionModelClear");
        w.Inside().Playback->Tick();
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::None);
        QCOMPARE(w.Inside().tabBones->Count(), 0);

        const std::string mds = w.Home.File("cli.mds");
        WriteBytes(mds, MDSFileBytes(BuildMDS(3, 4, {})));
        w.Form->OpenFromCommandLine({mds});
        QCOMPARE(Status(w), QString("MDS loaded and converted to MDM/MDX"));
    }
};

QTEST_MAIN(SkeletalCommandsTest)
#include "SkeletalCommandsTest.moc"
