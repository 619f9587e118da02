// The archive commands through the window: a generated game folder whose pak0.pk3 lists one
// player folder in two separate runs, a root member, a skin and images; a map archive with its
// own shader script; damaged archives and a game folder nobody may write to.
#include "GameDataBuilder.h"
#include "SkeletalBuilder.h"
#include "WindowFixture.h"
#include "app/GeneralTab.h"
#include "app/MainMenu.h"
#include "app/PlaybackControls.h"
#include "app/SurfacesTab.h"
#include "gamedata/ArchiveTree.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <fstream>

using namespace quillon;
using namespace quillon::test;

namespace {
const char* const BodyMember = "models/players/a/body.md3";
const char* const BodyImage = "models/players/a/body.tga";
const char* const SkinImage = "models/players/a/red.tga";

std::string ModelBytes(const std::string& shader) {
    TMD3 model = BuildMD3({});
    for (TSurface& surface : model.Header.Surfaces)
        StringToName(shader, surface.Shaders[0].name);
    const std::vector<char> bytes = MD3FileBytes(model, false);
    return {bytes.begin(), bytes.end()};
}

std::vector<std::string> FilesBelow(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

class TGame {
public:
    TGame() {
        std::filesystem::create_directories(Dir.File("etmain"));
        // The update of skins, shaders and textures runs only when the game has shader scripts.
        WriteZip(Archive(),
                 {{"root.md3", ModelBytes(BodyImage)},
                  {"scripts/other.shader", "textures/other/wall\n{\n}\n"},
                  {BodyMember, ModelBytes(BodyImage)},
                  {"models/players/a/body.skin",
                   "surface0,models/players/a/red.tga\nsurface1,models/players/a/red.tga\n"},
                  {BodyImage, TGAImage(8, 8, 24)},
                  {SkinImage, TGAImage(4, 4, 24)},
                  {"models/players/b/head.md3", ModelBytes("")},
                  {"models/players/a/lower.md3", ModelBytes("")},
                  {"models/players/m/body.mdm", "not read by the browser"},
                  {"animations/human/body.mdx", "not read by the browser"}});
    }
    std::string Settings() const { return "[Game]\nGameDir=" + Dir.Path + "\n"; }
    std::string Archive() const { return Dir.File("etmain/pak0.pk3"); }

    TempDir Dir;
};

// A map archive whose script names the box's image, which only the archive holds.
std::string WriteMapArchive(const TempDir& dir) {
    const std::string path = dir.File("etmain/map.pk3");
    WriteZip(path, {{"scripts/box.shader",
                     "models/mapobjects/box/box\n{\n{\nmap models/mapobjects/box/wood.tga\n}\n}\n"},
                    {"models/mapobjects/box/box.md3", ModelBytes("models/mapobjects/box/box")},
                    {"models/mapobjects/box/wood.tga", TGAImage(16, 8, 24)}});
    return path;
}

// A game archive holding a skeletal mesh, its animation and the animation's script.
std::string WriteSkeletalGame(const TempDir& dir) {
    std::filesystem::create_directories(dir.File("etmain"));
    const std::vector<char> mesh = MDMFileBytes(BuildMDM({}), false);
    TMDX animation = BuildMDX(4, 4);
    const std::string animationFile = dir.File("body.mdx");
    if (!animation.SaveToFile(animationFile))
        return {};
    std::ifstream in(animationFile, std::ios::binary);
    const std::string animationBytes{std::istreambuf_iterator<char>(in), {}};
    WriteZip(dir.File("etmain/pak0.pk3"),
             {{"models/players/m/body.mdm", std::string(mesh.begin(), mesh.end())},
              {"models/players/m/broken.mdm", "MDMW"},
              {"animations/human/body.mdx", animationBytes},
              {"animations/human/body.aninc", "walk 0 2 2 15 0 0 0\nrun 2 2 2 10 0 0 0\n"}});
    return "[Game]\nGameDir=" + dir.Path + "\n";
}

bool Loaded(const RecordingTextures& textures, const std::string& path) {
    for (const auto& [handle, file] : textures.Loaded)
        if (file == path)
            return true;
    return false;
}

bool Enabled(const TWindowFixture& w, const char* action) {
    return w.Form->findChild<QAction*>(action)->isEnabled();
}
} // namespace

class ArchiveTest : public QObject {
    Q_OBJECT
private slots:
    void BrowserListsEachModeInDirectoryOrder() {
        TGame game;
        TWindowFixture w(true, game.Settings());
        w.Form->show();
        w.Trigger("actionFileLoadfrompk3"); // nothing chosen: cancelled
        QCOMPARE(w.Dialogs.LastCaption,
                 std::string("Select an MD3-model from the game (pak0.PK3)"));
        // Folder "a" listed in two runs shows twice; the root member sits beside the root.
        QCOMPARE(w.Dialogs.LastTree,
                 (std::vector<std::string>{"pak0.pk3", "  models/players/a/", "    body.md3",
                                           "  models/players/b/", "    head.md3",
                                           "  models/players/a/", "    lower.md3", "root.md3"}));
        QCOMPARE(w.Dialogs.BrowsesShown.back().GameArchive, game.Archive());
        QCOMPARE(w.Instances.MD3.Header.Surfaces.size(), size_t(0));

        w.Trigger("actionFileSelectSkinfrompk3");
        QCOMPARE(w.Dialogs.LastCaption, std::string("Select a skin from the game (pak0.PK3)"));
        QCOMPARE(w.Dialogs.LastTree,
                 (std::vector<std::string>{"pak0.pk3", "  models/players/a/", "    body.skin"}));
    }

    void ModelFromTheGameLoadsTexturedFromTheTemporaryFolder() {
        TGame game;
        RecordingTextures textures;
        TWindowFixture w(true, game.Settings(), &textures);
        w.Form->show();
        const std::vector<std::string> gameFiles = FilesBelow(game.Dir.Path);
        w.Dialogs.Members.push_back(std::string(BodyMember));
        w.Trigger("actionFileLoadfrompk3");
        QVERIFY(w.Dialogs.Errors.empty());
        const TFormAccess inside = w.Inside();
        QCOMPARE(inside.State.ModelKind, TModelKind::MD3);
        QCOMPARE(inside.State.ModelSource, TModelSource::GameArchive);
        QCOMPARE(inside.State.SelectedFolder, std::string("models/players/a/"));
        QVERIFY(inside.State.ModelFolder.empty());
        QVERIFY(!inside.State.Busy);
        QCOMPARE(w.Form->StatusText(), QString("MD3 loaded"));
        QCOMPARE(inside.tabGeneral->leName->text(),
                 QString("GAME:\\\\models\\players\\a\\body.md3"));
        QCOMPARE(inside.gbModel->title(), QString("body.md3"));
        QVERIFY(std::filesystem::exists(w.Home.File(std::string("tmp/") + BodyMember)));
        QVERIFY(Loaded(textures, w.Home.File(std::string("tmp/") + BodyImage)));
        QCOMPARE(FilesBelow(game.Dir.Path), gameFiles);

        // The skin from the game replaces the images of its surfaces.
        w.Dialogs.Members.push_back(std::string("models/players/a/body.skin"));
        inside.tabSurfaces->bSelectSkinfrompk3->click();
        QCOMPARE(inside.tabSurfaces->leSkinFile->text(), QString("body.skin"));
        QVERIFY(Loaded(textures, w.Home.File(std::string("tmp/") + SkinImage)));
        QCOMPARE(FilesBelow(game.Dir.Path), gameFiles);
    }

    void ChoicesThatAreNoMemberLoadNothing() {
        TGame game;
        TWindowFixture w(true, game.Settings());
        w.Form->show();
        w.Dialogs.Members.push_back(std::string("root.md3")); // beside the root: no parent
        w.Trigger("actionFileLoadfrompk3");
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::None);
        QVERIFY(!w.Inside().State.Busy);
        QVERIFY(w.Dialogs.Errors.empty());
    }

    void SkeletalPairFromTheGameKeepsTheMeshFolder() {
        TempDir game;
        const std::string settings = WriteSkeletalGame(game);
        QVERIFY(!settings.empty());
        TWindowFixture w(true, settings);
        w.Form->show();
        w.Dialogs.Members.push_back(std::string("models/players/m/body.mdm"));
        w.Dialogs.Members.push_back(std::string("animations/human/body.mdx"));
        w.Trigger("actionFileLoadfromgameMDMMDX");
        QCOMPARE(w.Dialogs.BrowsesShown.size(), size_t(2));
        QCOMPARE(w.Dialogs.BrowsesShown[0].Mode, int(BrowseGameMDM));
        QCOMPARE(w.Dialogs.BrowsesShown[1].Mode, int(BrowseGameMDX));
        const TFormAccess inside = w.Inside();
        QCOMPARE(w.Form->StatusText(), QString("MDM/MDX loaded"));
        QCOMPARE(inside.State.ModelKind, TModelKind::Skeletal);
        QCOMPARE(inside.State.ModelSource, TModelSource::GameArchive);
        QCOMPARE(inside.State.SelectedFolder, std::string("models/players/m/"));
        QVERIFY(inside.State.ModelFolder.empty());
        QCOMPARE(inside.tabGeneral->leName->text(),
                 QString("GAME:\\\\models\\players\\m\\body.mdm"));
        QCOMPARE(inside.gbModel->title(), QString("body.mdm"));
        QCOMPARE(w.Instances.MDX.Header.numFrames, uint32_t(4));
        QCOMPARE(inside.Playback->cbAnimName->count(), 2);

        // A mesh the reader refuses ends the command before the animation is asked for.
        w.Dialogs.Members.push_back(std::string("models/players/m/broken.mdm"));
        w.Trigger("actionFileLoadfromgameMDMMDX");
        QCOMPARE(w.Dialogs.BrowsesShown.size(), size_t(3));
        QVERIFY(w.Form->StatusText().startsWith("broken.mdm"));
        QCOMPARE(w.Instances.MDM.Surfaces.size(), size_t(0));
        QVERIFY(!w.Inside().State.Busy);
    }

    void GameCommandsNeedAGameFolder() {
        TWindowFixture w;
        QVERIFY(!Enabled(w, "actionFileLoadfrompk3"));
        QVERIFY(!Enabled(w, "actionFileSelectSkinfrompk3"));
        QVERIFY(Enabled(w, "actionFileLoadfrommappk3"));
        w.Trigger("actionFileLoadfrommappk3");
        QVERIFY(w.Dialogs.BrowsesShown.empty());

        TGame game;
        w.Dialogs.Folders.push_back(game.Dir.File("etmain"));
        w.Trigger("actionSettingsGamedir");
        QVERIFY(Enabled(w, "actionFileLoadfrompk3"));
        QVERIFY(Enabled(w, "actionFileSelectSkinfrompk3"));
    }

    void ModelFromAMapArchiveUsesItsScripts() {
        TGame game;
        RecordingTextures textures;
        TWindowFixture w(true, game.Settings(), &textures);
        w.Form->show();
        const std::string map = WriteMapArchive(game.Dir);
        w.Dialogs.Files.push_back({map});
        w.Dialogs.Members.push_back(std::string("models/mapobjects/box/box.md3"));
        w.Trigger("actionFileLoadfrommappk3");
        QVERIFY(w.Dialogs.Errors.empty());
        QCOMPARE(w.Dialogs.FileDialogsShown.back().Title, std::string("Select a map.pk3"));
        QCOMPARE(w.Dialogs.FileDialogsShown.back().InitialDir, game.Dir.File("etmain") + "/");
        QCOMPARE(w.Dialogs.LastCaption, std::string("Select a .PK3"));
        QCOMPARE(w.Dialogs.LastTree.front(), std::string("map.pk3"));
        const TFormAccess inside = w.Inside();
        QCOMPARE(inside.State.ModelSource, TModelSource::MapArchive);
        QCOMPARE(inside.State.ArchivePath, map);
        QCOMPARE(inside.tabGeneral->leName->text(),
                 QString("MAP:\\\\models\\mapobjects\\box\\box.md3"));
        QVERIFY(std::filesystem::exists(w.Home.File("tmp/tmpmap/scripts/box.shader")));
        QVERIFY(Loaded(textures, w.Home.File("tmp/tmpmap/models/mapobjects/box/wood.tga")));

        // Any other load ends the map archive's part in texture look-up.
        w.LoadThroughCommand(w.WriteModel("plain.md3", BuildMD3({})));
        QVERIFY(inside.State.ArchivePath.empty());
    }

    void CancelledOrEmptyMapArchiveLeavesNoModel() {
        TGame game;
        TWindowFixture w(true, game.Settings());
        w.Form->show();
        w.LoadThroughCommand(w.WriteModel("plain.md3", BuildMD3({})));
        w.Trigger("actionFileLoadfrommappk3"); // the archive choice cancelled
        QCOMPARE(w.Instances.MD3.Header.Surfaces.size(), size_t(0));

        const std::string empty = game.Dir.File("empty.pk3");
        WriteZip(empty, {{"readme.txt", "no models"}});
        w.Dialogs.Files.push_back({empty});
        w.Dialogs.Members.push_back(std::string("readme.txt"));
        w.Trigger("actionFileLoadfrommappk3");
        QCOMPARE(w.Dialogs.LastTree, std::vector<std::string>{"empty.pk3"});
        QVERIFY(w.Dialogs.Members.empty());
        QVERIFY(w.Dialogs.Errors.empty());
        QVERIFY(!w.Inside().State.Busy);
    }

    void DamagedArchiveIsReportedAndTheModelStays() {
        TGame game;
        TWindowFixture w(true, game.Settings());
        w.Form->show();
        w.LoadThroughCommand(w.WriteModel("plain.md3", BuildMD3({})));
        const size_t surfaces = w.Instances.MD3.Header.Surfaces.size();
        const std::string damaged = game.Dir.File("damaged.pk3");
        std::ofstream(damaged) << "PK\x03\x04 not really an archive";
        w.Dialogs.Files.push_back({damaged});
        w.Trigger("actionFileLoadfrommappk3");
        QCOMPARE(w.Dialogs.Errors.size(), size_t(1));
        QVERIFY(w.Dialogs.Errors[0].find(damaged) != std::string::npos);
        QCOMPARE(w.Inside().State.ModelKind, TModelKind::MD3);
        QCOMPARE(w.Instances.MD3.Header.Surfaces.size(), surfaces);
        QVERIFY(!w.Inside().State.Busy);
    }

    void ReadOnlyGameFolderWorks() {
        TGame game;
        TWindowFixture w(true, game.Settings());
        w.Form->show();
        namespace fs = std::filesystem;
        const auto readOnly =
            fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        for (const std::string& path : {game.Archive(), game.Dir.File("etmain"), game.Dir.Path})
            fs::permissions(path, readOnly, fs::perm_options::remove);
        w.Dialogs.Members.push_back(std::string(BodyMember));
        w.Trigger("actionFileLoadfrompk3");
        for (const std::string& path : {game.Dir.Path, game.Dir.File("etmain")})
            fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
        QVERIFY(w.Dialogs.Errors.empty());
        QCOMPARE(w.Form->StatusText(), QString("MD3 loaded"));
    }
};

QTEST_MAIN(ArchiveTest)
#include "ArchiveTest.moc"
