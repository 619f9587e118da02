// Texture resolution through the window: a game folder whose archive holds a script and images,
// an MD3 loaded from disk, and what the Surfaces tab shows for it; the skin commands with Embed
// Skin, the shader list commands and the settings they reach, gamma reloads and archive errors.
#include "GameDataBuilder.h"
#include "WindowFixture.h"
#include "app/MainMenu.h"
#include "app/Settings.h"
#include "app/SettingsBar.h"
#include "app/SurfacesTab.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>

using namespace quillon;
using namespace quillon::test;

namespace {
const char* const BodyShader = "models/players/tank/body";
const char* const HeadImage = "models/players/tank/head.tga";
const char* const GameScript = "GAME:\\\\scripts\\models.shader";

// An installation folder whose game archive defines the body shader (an added glow and an
// alpha-tested image) and holds the head's plain image and a spare image for skins.
class TGame {
public:
    TGame() {
        std::filesystem::create_directories(Dir.File("etmain"));
        WriteZip(Archive(),
                 {{"scripts/models.shader",
                   std::string(BodyShader) + "\n{\n{\nmap models/players/tank/glow.tga\nblendfunc "
                                             "add\n}\n{\nmap models/players/tank/body.tga\n"
                                             "alphaFunc GE128\n}\n}\n"},
                  {"models/players/tank/body.tga", TGAImage(64, 32, 32)},
                  {"models/players/tank/glow.tga", TGAImage(16, 16, 24)},
                  {HeadImage, TGAImage(8, 8, 24)},
                  {"models/players/tank/alt.tga", TGAImage(4, 2, 24)}});
    }
    std::string Settings(const std::string& more = "") const {
        return "[Game]\nGameDir=" + Dir.Path + "\n" + more;
    }
    std::string Archive() const { return Dir.File("etmain/pak0.pk3"); }

    TempDir Dir;
};

// Surfaces "body" (asking for the body shader) and "head" (asking for the head image).
TMD3 TankModel() {
    TMD3 model = BuildMD3({});
    StringToName("body", model.Header.Surfaces[0].name);
    StringToName(BodyShader, model.Header.Surfaces[0].Shaders[0].name);
    StringToName("head", model.Header.Surfaces[1].name);
    StringToName(HeadImage, model.Header.Surfaces[1].Shaders[0].name);
    return model;
}

// The window shown (which applies the game folder) with the tank model loaded from disk.
void ShowAndLoadTank(TWindowFixture& w) {
    w.Form->show();
    w.LoadThroughCommand(w.WriteModel("tank.md3", TankModel()));
}

QStringList Items(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

QStringList VisibleMarks(const TSurfacesTab& tab) {
    QStringList marks;
    for (const auto& [name, mark] : tab.Marks)
        if (mark->isVisibleTo(&tab))
            marks << QString::fromStdString(name);
    return marks;
}

std::string ShaderName(const TWindowFixture& w, int surface) {
    return NameToString(w.Instances.MD3.Header.Surfaces[surface].Shaders[0].name);
}

bool Enabled(const TWindowFixture& w, const char* action) {
    return w.Form->findChild<QAction*>(action)->isEnabled();
}
} // namespace

class TexturingTest : public QObject {
    Q_OBJECT
private slots:
    void ScriptShaderAndPlainImageShowOnTheSurfacesTab() {
        TGame game;
        TWindowFixture w(true, game.Settings());
        ShowAndLoadTank(w);
        TSurfacesTab& tab = *w.Inside().tabSurfaces;
        QCOMPARE(w.Form->StatusText(), QString("MD3 loaded"));
        QCOMPARE(w.Inside().SettingsBar->leGameDir->text(),
                 QString::fromStdString(game.Dir.Path + "/"));
        QCOMPARE(Items(tab.cbShaderFile), (QStringList{GameScript, ""}));
        QCOMPARE(Items(tab.cbShaderNameFound), (QStringList{BodyShader, ""}));

        // The first surface: a game script's shader with two stages, the first one shown.
        QCOMPARE(tab.CurrentSurface(), 0);
        QCOMPARE(tab.cbShaderFile->currentIndex(), 0);
        QCOMPARE(tab.cbShaderNameFound->currentText(), QString(BodyShader));
        QCOMPARE(Items(tab.cbNamesShaders), QStringList{BodyShader});
        QCOMPARE(Items(tab.cbShaderTextures),
                 (QStringList{"models/players/tank/glow.tga", "models/players/tank/body.tga"}));
        QCOMPARE(tab.lNumTextures->text(), QString("2"));
        QCOMPARE(tab.leNumVerts->text(), QString("4"));
        QCOMPARE(tab.leSurfaceFlags->text(), QString("00000000h"));
        QCOMPARE(tab.leTextureDimensions->text(), QString("16x16"));
        QVERIFY(!tab.cbHasAlpha->isChecked());
        QVERIFY(tab.pShaderProps->isVisibleTo(&tab));
        QVERIFY(!tab.cbAlphaFunc->isChecked());
        QVERIFY(tab.img3DView->isVisibleTo(&tab));
        QCOMPARE(VisibleMarks(tab), (QStringList{"shapeShaderFile", "shapeShaderFileIn",
                                                 "shapeShaderFileOut", "shapeShaderTexture"}));
        const TShaderTexture& body = w.Instances.Shaders.Shaders.at(0).Stages.at(1);
        QCOMPARE(body.FileName, w.Home.File("tmp/models/players/tank/body.tga"));
        QVERIFY(std::filesystem::exists(body.FileName));

        tab.cbShaderTextures->setCurrentIndex(1);
        QCOMPARE(tab.leTextureDimensions->text(), QString("64x32"));
        QVERIFY(tab.cbHasAlpha->isChecked());
        QVERIFY(tab.cbAlphaFunc->isChecked());

        // The second surface: a plain image of the game archive, without script properties.
        tab.cbNamesSurfaces->setCurrentIndex(1);
        QCOMPARE(tab.cbShaderFile->currentIndex(), 1);
        QCOMPARE(tab.cbShaderNameFound->currentText(), QString());
        QCOMPARE(Items(tab.cbShaderTextures), QStringList{HeadImage});
        QCOMPARE(tab.leTextureDimensions->text(), QString("8x8"));
        QVERIFY(!tab.pShaderProps->isVisibleTo(&tab));
        QCOMPARE(VisibleMarks(tab), QStringList{"shapeTextureFile"});
        QVERIFY(w.Dialogs.Errors.empty());
    }

    void WithoutGameFolderNothingResolvesButTheNamesShow() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("tank.md3", TankModel()));
        TSurfacesTab& tab = *w.Inside().tabSurfaces;
        QCOMPARE(w.Instances.MD3.Header.Surfaces[0].Shaders[0].shaderIndex, -1);
        QCOMPARE(tab.cbShaderFile->count(), 0);
        QCOMPARE(Items(tab.cbNamesShaders), QStringList{BodyShader});
        QCOMPARE(tab.cbShaderTextures->count(), 0);
        QVERIFY(!tab.img3DView->isVisibleTo(&tab));
        QVERIFY(!tab.leTextureDimensions->isVisibleTo(&tab));
        QVERIFY(VisibleMarks(tab).isEmpty());
    }

    void SkinFromFileResolvesAndEmbedWritesTheResolvedName() {
        TGame game;
        TWindowFixture w(true, game.Settings());
        ShowAndLoadTank(w);
        TSurfacesTab& tab = *w.Inside().tabSurfaces;
        QVERIFY(!Enabled(w, "actionModelSkinpermanent"));
        const std::string skin = w.Home.File("tank.skin");
        WriteText(skin, "Body,\"Models/Players/Tank/Alt.tga\"\ntag_head,\n");
        w.Dialogs.Files.push_back({skin});
        tab.bSelectSkin->click();
        QCOMPARE(w.Dialogs.FileDialogsShown.back().Title, std::string("Select a skin to load"));
        QCOMPARE(w.Dialogs.FileDialogsShown.back().Filter,
                 std::string("Quake 3 model Skins  (*.skin)|*.skin"));
        QCOMPARE(tab.leSkinFile->text(), QString("tank.skin"));
        QCOMPARE(tab.leSkin->text(), QString("models/players/tank/alt.tga"));
        QCOMPARE(tab.leTextureDimensions->text(), QString("4x2"));
        QCOMPARE(VisibleMarks(tab), (QStringList{"shapeSkinFile", "shapeSkinTexture"}));
        QVERIFY(Enabled(w, "actionModelSkinpermanent"));
        QCOMPARE(w.Inside().Menu->actionModelSkinpermanent->shortcut(), QKeySequence("Ctrl+E"));

        // Anything but Yes leaves the model alone.
        w.Dialogs.Answers.push_back(TAnswer::No);
        w.Trigger("actionModelSkinpermanent");
        QCOMPARE(ShaderName(w, 0), std::string(BodyShader));
        QCOMPARE(
            w.Dialogs.Questions,
            std::vector<std::string>{
                "Confirmation|Copy the shaders/textures from the currently loaded skin-file?.."});
        w.Dialogs.Answers.push_back(TAnswer::Yes);
        w.Trigger("actionModelSkinpermanent");
        QCOMPARE(ShaderName(w, 0), std::string("models/players/tank/alt.tga"));
        QCOMPARE(ShaderName(w, 1), std::string(HeadImage)); // no skin entry: its name stays
        QCOMPARE(w.Inside().gbModel->title(), QString("tank.md3*"));
        QCOMPARE(tab.leSkinFile->text(), QString("tank.skin"));

        // Without the skin the embedded name resolves by itself.
        w.Trigger("actionFileClearSkin");
        QVERIFY(!Enabled(w, "actionModelSkinpermanent"));
        QCOMPARE(tab.leSkinFile->text(), QString());
        QCOMPARE(tab.leTextureDimensions->text(), QString("4x2"));
        QCOMPARE(VisibleMarks(tab), QStringList{"shapeTextureFile"});
    }

    void SkinThatDoesNotExistEmptiesTheSkinWithoutUpdating() {
        TGame game;
        TWindowFixture w(true, game.Settings());
        ShowAndLoadTank(w);
        const std::string skin = w.Home.File("tank.skin");
        WriteText(skin, "body,models/players/tank/alt.tga\n");
        QVERIFY(w.Form->LoadSkin(skin, true));
        QVERIFY(Enabled(w, "actionModelSkinpermanent"));
        QVERIFY(!w.Form->LoadSkin(w.Home.File("missing.skin"), true));
        QVERIFY(w.Inside().Resolver.Skin.Empty());
        QVERIFY(!Enabled(w, "actionModelSkinpermanent"));
        // The fields keep their text and the surfaces what the last update found.
        QCOMPARE(w.Inside().tabSurfaces->leSkinFile->text(), QString("tank.skin"));
        QCOMPARE(w.Inside().tabSurfaces->leTextureDimensions->text(), QString("4x2"));
    }

    void ShaderListAddAndClearReachTheSettingsFile() {
        TGame game;
        const std::string script = game.Dir.File("mine.shader");
        WriteText(script,
                  std::string(BodyShader) + "\n{\n{\nmap models/players/tank/glow.tga\n}\n}\n");
        {
            TWindowFixture w(true, game.Settings());
            ShowAndLoadTank(w);
            TSurfacesTab& tab = *w.Inside().tabSurfaces;
            QCOMPARE(tab.bSelectShaderFile->toolTip(), QString("Add Shaderfile To List"));
            QCOMPARE(tab.bClearShaderList->toolTip(), QString("Clear ShaderList"));
            w.Dialogs.Files.push_back({script});
            tab.bSelectShaderFile->click();
            QCOMPARE(w.Dialogs.FileDialogsShown.back().Title, std::string("Select a shader-file"));
            QCOMPARE(tab.cbShaderList->currentText(), QString::fromStdString(script));
            QCOMPARE(tab.cbShaderFile->itemText(0), QString("SHADERLIST:\\\\mine.shader"));
            QCOMPARE(Items(tab.cbShaderTextures), QStringList{"models/players/tank/glow.tga"});
            QCOMPARE(VisibleMarks(tab),
                     (QStringList{"shapeShaderFileIn", "shapeShaderFileOut", "shapeShaderTexture",
                                  "shapeShaderlist", "shapeShaderlistIn", "shapeShaderlistOut",
                                  "shapeShaderlistShader"}));
            w.Form->close();
            QCOMPARE(TSettings::Read(w.SettingsPath()).ShaderList,
                     std::vector<std::string>{script});
        }
        TWindowFixture w(true, game.Settings("[ShaderList]\nShaderList0=" + script + "\n"));
        ShowAndLoadTank(w);
        TSurfacesTab& tab = *w.Inside().tabSurfaces;
        QCOMPARE(tab.cbShaderFile->itemText(0), QString("SHADERLIST:\\\\mine.shader"));
        w.Trigger("actionFileClearshaderlist");
        QCOMPARE(tab.cbShaderList->count(), 0);
        QCOMPARE(tab.cbShaderFile->itemText(0), QString(GameScript));
        w.Form->close();
        QVERIFY(TSettings::Read(w.SettingsPath()).ShaderList.empty());
    }

    void ImagesAreLoadedWithTheGammaAndReloadedWhenItChanges() {
        TGame game;
        RecordingTextures textures;
        TWindowFixture w(true, game.Settings("[Texturing]\nGamma=1.5\n"), &textures);
        ShowAndLoadTank(w);
        QCOMPARE(textures.Gammas, (std::vector<float>{1.5f, 1.5f, 1.5f}));
        w.Form->findChild<QAction*>("menuViewGammaSW3")->trigger();
        QCOMPARE(textures.Released.size(), size_t(3));
        QCOMPARE(textures.Gammas.back(), 3.0f);
        QCOMPARE(textures.Gammas.size(), size_t(6));
    }

    void ArchiveThatCannotBeOpenedEndsTheLoadWithTheErrorReport() {
        TGame game;
        TWindowFixture w(true, game.Settings());
        w.Form->show();
        std::filesystem::remove(game.Archive());
        w.LoadThroughCommand(w.WriteModel("tank.md3", TankModel()));
        QCOMPARE(w.Dialogs.Errors.size(), size_t(1));
        QVERIFY(!w.Inside().State.Busy);
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::MD3);
    }
};

QTEST_MAIN(TexturingTest)
#include "TexturingTest.moc"
