// The main window driven as a user would: start-up, the tab sets and menu states per model
// kind, loading and saving MD3 files through their commands, Clear, Help, the view switches
// and the settings written on closing.
#include "WindowFixture.h"
#include "app/AnimationTab.h"
#include "app/GeneralTab.h"
#include "app/LodGroup.h"
#include "app/MainMenu.h"
#include "app/Settings.h"
#include "app/SettingsBar.h"
#include "app/SurfacesTab.h"
#include "app/TagsTab.h"
#include "app/ViewTab.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <filesystem>

using namespace quillon;
using namespace quillon::test;

namespace {
QStringList VisibleTabs(TForm1& form) {
    const TFormAccess inside(form);
    QStringList tabs;
    for (int i = 0; i < inside.pcTabs->count(); ++i)
        if (inside.pcTabs->isTabVisible(i))
            tabs << inside.pcTabs->tabText(i);
    return tabs;
}

bool Enabled(const TForm1& form, const char* action) {
    return form.findChild<QAction*>(action)->isEnabled();
}

const char* const MD3OnlyItems[] = {
    "actionFileAddframe",   "actionModelDeleteframe",    "actionModelMD3Scale",
    "menuModelTagsInvertX", "menuModelTagsSwapYZ",       "actionModelMD3TagAsOrigin",
    "actionModelMD3FlipX",  "actionModelMD3FlipNormals", "actionModelMD3SmoothSurface"};
} // namespace

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void StartsWithCaptionViewTabAndNoneMenuState() {
        TWindowFixture w;
        TForm1& form = *w.Form;
        const TFormAccess inside(form);
        QCOMPARE(form.windowTitle(), QString("Quillon v1.4.0"));
        QCOMPARE(form.QuitCode(), 0);
        QCOMPARE(inside.gbModel->title(), QString("Model"));
        QCOMPARE(VisibleTabs(form), QStringList{"View"});
        QVERIFY(!inside.tabView->gbLOD->isEnabled());
        QVERIFY(!Enabled(form, "actionModelClear"));
        for (const char* item : MD3OnlyItems)
            QVERIFY2(!Enabled(form, item), item);
        QVERIFY(Enabled(form, "actionFileLoad"));
        QVERIFY(Enabled(form, "actionFileLoadMS3D")); // converts into the MD3 model
        QVERIFY(!inside.tabTags->bTagFilename->isEnabled());
        QVERIFY(std::filesystem::is_directory(w.Home.File("tmp/tmpmap")));
        QCOMPARE(inside.State.TextureSearchFolders.front(), w.Home.Path + "/textures/BG/");
        QVERIFY(w.Dialogs.Messages.empty());
        // Shortcuts as the menu table gives them.
        QCOMPARE(inside.Menu->actionFileLoad->shortcut(), QKeySequence("Ctrl+Alt+3"));
        QCOMPARE(inside.Menu->menuModelTagsSwapXZ->shortcut(), QKeySequence("Ctrl+F6"));
        QCOMPARE(inside.Menu->actionModelMD3FixCracksGaps->text(),
                 QString("Fix Cracks && Gaps for Current Surface..."));
    }

    void InstalledWindowKeepsItsFilesInTheUserFolders() {
        TempDir prefix;
        const std::filesystem::path bin = prefix.File("usr/bin");
        const std::string data = (bin / QUILLON_DATA_FROM_BIN).lexically_normal().string();
        std::filesystem::create_directories(data + "/textures");
        const QByteArray home = qgetenv("QUILLON_HOME"), config = qgetenv("XDG_CONFIG_HOME"),
                         cache = qgetenv("XDG_CACHE_HOME");
        qunsetenv("QUILLON_HOME");
        qputenv("XDG_CONFIG_HOME", prefix.File("config").c_str());
        qputenv("XDG_CACHE_HOME", prefix.File("cache").c_str());
        {
            TScriptedDialogs dialogs;
            TProgramInstances instances;
            TForm1 form(instances, dialogs, (bin / "quillon").string());
            QCOMPARE(form.QuitCode(), 0);
            QCOMPARE(TFormAccess(form).State.TextureSearchFolders.front(), data + "/textures/BG/");
            QVERIFY(std::filesystem::is_directory(prefix.File("cache/quillon/tmp/tmpmap")));
            form.close();
        }
        qputenv("QUILLON_HOME", home);
        qputenv("XDG_CONFIG_HOME", config);
        qputenv("XDG_CACHE_HOME", cache);
        // The settings folder did not exist before the first closing.
        QVERIFY(std::filesystem::exists(prefix.File("config/quillon/quillon.ini")));
        QVERIFY(!std::filesystem::exists(data + "/tmp"));
    }

    void MissingTexturesFolderAsksToQuit() {
        TWindowFixture w(false);
        QCOMPARE(w.Form->QuitCode(), 1);
        QCOMPARE(w.Dialogs.Messages.size(), size_t(1));
        QCOMPARE(w.Dialogs.Messages[0],
                 std::string("This application is not installed correctly.\r\nCopy the .exe "
                             "and the subdirectory \"textures\" into its own directory"));
    }

    void ReadOnlyGameArchiveIsNotInUse() {
        TempDir game;
        std::filesystem::create_directories(game.File("etmain"));
        WriteBytes(game.File("etmain/pak0.pk3"), {'P', 'K'});
        std::filesystem::permissions(game.File("etmain/pak0.pk3"),
                                     std::filesystem::perms::owner_read);
        TWindowFixture w(true, "[Game]\nGameDir=" + game.Path + "/\n");
        QCOMPARE(w.Form->QuitCode(), 0);
        QVERIFY(w.Dialogs.Messages.empty());
        QCOMPARE(w.Inside().SettingsBar->leGameDir->text(),
                 QString::fromStdString(game.Path + "/"));
    }

    void FirstShowWithoutGameFolderAsksThenShowsHelpAlone() {
        TWindowFixture w;
        w.Form->show();
        QCOMPARE(w.Dialogs.FoldersAsked, 1);
        QCOMPARE(VisibleTabs(*w.Form), QStringList{"Help"});
        w.Trigger("actionHelp");
        QCOMPARE(VisibleTabs(*w.Form), QStringList{"View"});
        w.Trigger("actionHelp");
        QCOMPARE(VisibleTabs(*w.Form), QStringList{"Help"});
    }

    void LoadingAnMD3FillsPanelsTabsAndMenus() {
        TWindowFixture w;
        MD3Shape shape;
        shape.frames = 3;
        shape.tags = 2;
        const std::string path = w.WriteModel("tank.md3", BuildMD3(shape));
        w.LoadThroughCommand(path);
        TForm1& form = *w.Form;
        const TFormAccess inside(form);
        QCOMPARE(form.StatusText(), QString("MD3 loaded"));
        QCOMPARE(inside.gbModel->title(), QString("tank.md3"));
        QCOMPARE(inside.tabGeneral->leName->text(), QString::fromStdString(path));
        QCOMPARE(inside.tabGeneral->leIdent->text(), QString("IDP3"));
        QCOMPARE(inside.tabGeneral->leFlags->text(), QString("00000000h"));
        QCOMPARE(inside.State.ModelKind, TModelKind::MD3);
        QCOMPARE(inside.State.ModelSource, TModelSource::File);
        QCOMPARE(inside.State.ModelFolder, w.Home.Path + "/");
        QCOMPARE(VisibleTabs(form),
                 (QStringList{"General", "Animation", "Tags", "Surfaces", "View"}));
        for (const char* item : MD3OnlyItems)
            QVERIFY2(Enabled(form, item), item);
        QVERIFY(!Enabled(form, "actionFileLoadMDX"));
        QVERIFY(!Enabled(form, "actionModelMDMMDXRenameBones"));
        QVERIFY(inside.tabTags->gbAddTags->isEnabled());
        QCOMPARE(inside.Menu->actionFileSaveAs->statusTip(), QString("Save as MD3"));
        QCOMPARE(inside.tabAnimation->cbFrameNames->itemText(2), QString("2: frame2"));
        QCOMPARE(inside.tabAnimation->cbFrameMins->itemText(1), QString("-2  -2  -3"));
        QCOMPARE(inside.tabTags->cbTagAxes->itemText(0),
                 QString("(1  0  0)    (0  1  0)    (0  0  1)"));
        QVERIFY(inside.tabTags->cbTagFrames->isEnabled());
        QCOMPARE(inside.tabSurfaces->leNumSurfaces->text(), QString("2"));
        QCOMPARE(inside.tabSurfaces->leNumVerts->text(), QString("4"));
        QComboBox* pivots = inside.tabView->cbTagPivots;
        QCOMPARE(pivots->count(), 3);
        QCOMPARE(pivots->itemText(1), QString("tag_1"));
        QCOMPARE(pivots->currentText(), QString("origin"));
        QCOMPARE(w.Dialogs.FileDialogsShown.back().Title, std::string("Select a model to load"));
        QCOMPARE(w.Dialogs.FileDialogsShown.back().Filter,
                 std::string("Quake 3 model  (.MD3)|*.MD3"));
        QVERIFY(!inside.State.Busy);
    }

    void PerFrameListsAndTagListsFollowEachOther() {
        TWindowFixture w;
        MD3Shape shape;
        shape.frames = 3;
        shape.tags = 2;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3(shape)));
        TAnimationTab& animation = *w.Inside().tabAnimation;
        animation.cbFrameRadius->setCurrentIndex(2);
        for (QComboBox* list : {animation.cbFrameNames, animation.cbFrameMins,
                                animation.cbFrameMaxs, animation.cbFrameOrigins})
            QCOMPARE(list->currentIndex(), 2);
        TTagsTab& tags = *w.Inside().tabTags;
        tags.cbTagNames->setCurrentIndex(1);
        tags.cbTagFrames->setCurrentIndex(2);
        QCOMPARE(tags.cbTagOrigins->currentIndex(), 2 * 2 + 1);
        QCOMPARE(tags.cbTagOrigins->currentText(), QString("1  2  1.5"));
        QCOMPARE(tags.cbTagAxes->currentIndex(), 5);
    }

    void CancelledOrFailedLoadEmptiesTheModelButKeepsTheState() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3({})));
        w.Trigger("actionFileLoad"); // no answer queued: cancelled
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 0u);
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::MD3);
        QCOMPARE(w.Form->StatusText(), QString());
        QVERIFY(!w.Inside().State.Busy);

        // A file that is no MD3 names itself and the reader's reason in the status bar.
        WriteBytes(w.Home.File("junk.md3"), {'n', 'o', 'p', 'e'});
        w.LoadThroughCommand(w.Home.File("junk.md3"));
        QCOMPARE(w.Form->StatusText(),
                 QString::fromStdString("junk.md3: " + w.Instances.MD3.LastError()));
        QVERIFY(w.Dialogs.Errors.empty());
    }

    void FileThatCannotBeOpenedIsReportedAndCleansUp() {
        TWindowFixture w;
        w.LoadThroughCommand(w.Home.File("missing.md3"));
        QCOMPARE(w.Dialogs.Errors.size(), size_t(1));
        QVERIFY(QString::fromStdString(w.Dialogs.Errors[0]).contains("missing.md3"));
        QVERIFY(!w.Inside().State.Busy);
    }

    void SaveAsWritesTheModelAndRenamesTheCaption() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3({})));
        w.Form->MarkChanged();
        const std::string target = w.Home.File("saved.md3");
        w.Dialogs.Files.push_back({target});
        w.Trigger("actionFileSaveAs");
        QCOMPARE(w.Form->StatusText(), QString("Model saved to file: saved.md3"));
        QCOMPARE(w.Inside().gbModel->title(), QString("saved.md3"));
        const TFileDialog& dialog = w.Dialogs.FileDialogsShown.back();
        QCOMPARE(dialog.Title, std::string("Save a model"));
        QCOMPARE(dialog.Filter, std::string("Quake 3 model (.MD3)|*.MD3"));
        QCOMPARE(dialog.DefaultExt, std::string(".MD3"));
        QVERIFY(dialog.OverwritePrompt);
        TMD3 back;
        QVERIFY(back.LoadFromFile(target));
        QCOMPARE(back.Header.numFrames, w.Instances.MD3.Header.numFrames);

        w.Trigger("actionFileSaveAs"); // cancelled
        QCOMPARE(w.Form->StatusText(), QString());
    }

    void ClearLeavesOnlyTheViewTab() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3({})));
        w.Trigger("actionModelClear");
        TForm1& form = *w.Form;
        const TFormAccess inside(form);
        QCOMPARE(form.StatusText(), QString("Environment cleared.."));
        QCOMPARE(VisibleTabs(form), QStringList{"View"});
        QCOMPARE(inside.State.ModelKind, TModelKind::None);
        QCOMPARE(inside.State.ModelSource, TModelSource::None);
        QCOMPARE(w.Instances.MD3.Header.numFrames, 0u);
        QVERIFY(!Enabled(form, "actionModelClear"));
        for (const char* item : MD3OnlyItems)
            QVERIFY2(!Enabled(form, item), item);
        QCOMPARE(inside.Menu->actionFileSaveAs->statusTip(), QString());
        QCOMPARE(inside.tabAnimation->cbFrameNames->count(), 0);
        QCOMPARE(inside.tabView->cbTagPivots->count(), 1);
    }

    void CommandLineFileOpensLikeTheLoadCommand() {
        TWindowFixture w;
        QVERIFY(w.Form->OpenFromCommandLine({w.WriteModel("cli.MD3", BuildMD3({}))}));
        QCOMPARE(w.Form->StatusText(), QString("MD3 loaded"));
        QCOMPARE(w.Inside().gbModel->title(), QString("cli.MD3"));
        QVERIFY(w.Dialogs.FileDialogsShown.empty());
    }

    void ViewSwitchesMirrorTheirTwinsAndReachTheSettingsFile() {
        TWindowFixture w(true, "[Texturing]\nGamma=1.7\n[View]\nShowTags=0\n[SkyBox]\nEnabled=0\n"
                               "[ShaderList]\na=x.shader\nb=\nc=y.shader\n");
        TForm1& form = *w.Form;
        const TFormAccess inside(form);
        for (QAction* item : inside.Menu->GammaItems->actions())
            QVERIFY(!item->isChecked());
        QVERIFY(!inside.Menu->actionViewShowtags->isChecked());
        QVERIFY(!inside.SettingsBar->cbShowTags->isChecked());
        QVERIFY(inside.Menu->menuViewSkycolors->isEnabled());
        QCOMPARE(inside.tabSurfaces->cbShaderList->count(), 2);

        inside.SettingsBar->cbShowTags->click();
        QVERIFY(inside.Menu->actionViewShowtags->isChecked());
        inside.Menu->actionViewLighting->trigger();
        QVERIFY(!inside.SettingsBar->cbLightingEnabled->isChecked());
        inside.Menu->menuViewShowskybox->trigger();
        QVERIFY(!inside.Menu->menuViewSkycolors->isEnabled());
        form.findChild<QAction*>("menuViewGammaSW2_5")->trigger();
        inside.SettingsBar->cbCleanUp->click();
        QVERIFY(!inside.Menu->actionSettingsCleanup->isChecked());
        w.Dialogs.Colors.push_back(0x123456);
        inside.Menu->menuViewSkycolortop->trigger();
        form.close();

        const TSettings saved = TSettings::Read(w.SettingsPath());
        QVERIFY(saved.ShowTags);
        QVERIFY(!saved.Lighting);
        QVERIFY(saved.SkyBoxEnabled);
        QCOMPARE(saved.Gamma, 2.5f);
        QCOMPARE(saved.ColorTop, 0x123456u);
        QCOMPARE(saved.ShaderList, (std::vector<std::string>{"x.shader", "y.shader"}));
        QVERIFY(QString::fromStdString(ReadText(w.SettingsPath())).contains("Cleanup=0"));
    }

    void ShaderNameTypedIntoTheSurfacesTabRenamesAndMarks() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3({})));
        TSurfacesTab& surfaces = *w.Inside().tabSurfaces;
        surfaces.cbNamesSurfaces->setCurrentIndex(1);
        surfaces.cbNamesShaders->setEditText("textures/new/skin");
        emit surfaces.cbNamesShaders->lineEdit()->returnPressed();
        QCOMPARE(NameToString(w.Instances.MD3.Header.Surfaces[1].Shaders[0].name),
                 std::string("textures/new/skin"));
        QCOMPARE(w.Inside().gbModel->title(), QString("m.md3*"));
    }

    void PivotChoiceResetsRotationUnlessLockedAndTakesTheTagOfFrameZero() {
        TWindowFixture w;
        MD3Shape shape;
        shape.tags = 2;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3(shape)));
        TForm1& form = *w.Form;
        const TFormAccess inside(form);
        QComboBox* pivots = inside.tabView->cbTagPivots;
        inside.State.View.ModelRotation = {10, 20, 30};
        inside.tabView->cbLockView->setChecked(true);
        emit pivots->activated(0);
        QCOMPARE(inside.State.View.ModelRotation, (TVector{10, 20, 30}));
        inside.tabView->cbLockView->setChecked(false);
        emit pivots->activated(0);
        QCOMPARE(inside.State.View.ModelRotation, TVector{});

        // Center Model keeps the fitted pivot; without it the chosen tag of frame 0 is the pivot.
        inside.State.View.PivotOffset = {1, 2, 3};
        pivots->setCurrentIndex(1);
        emit pivots->activated(1);
        QCOMPARE(inside.State.View.PivotOffset, (TVector{1, 2, 3}));
        inside.SettingsBar->cbCenterModel->click();
        inside.State.CurrentFrame = 1;
        emit pivots->activated(1);
        QCOMPARE(inside.State.View.PivotOffset,
                 VectorNegate(w.Instances.MD3.Header.Tags[1].origin));
        pivots->setCurrentIndex(2);
        emit pivots->activated(2);
        QCOMPARE(inside.State.View.PivotOffset, TVector{});
    }

private:
    static std::string ReadText(const std::string& path) {
        const std::vector<char> bytes = ReadBytes(path);
        return std::string(bytes.begin(), bytes.end());
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
