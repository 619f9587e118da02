// Whole players in the window: loaded from a folder on disk and from a game of the baseq3 layout
// whose players lie in a later archive, their lists, a weapon attached, the clip played; and the
// default skin that every MD3 load now applies unless "Default Skin on Load" is off.
#include "GameDataBuilder.h"
#include "PlayerBuilder.h"
#include "WindowFixture.h"
#include "app/AnimationTab.h"
#include "app/MainMenu.h"
#include "app/PlaybackControls.h"
#include "app/PlayerGroup.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <filesystem>

using namespace quillon;
using namespace quillon::test;
namespace fs = std::filesystem;

namespace {

// The deaths on frame 0, the torso's own on its frame 1, the legs' own written after it (frame
// 2, which is lower.md3's frame 1) except LEGS_IDLE, which stands on lower.md3's frame 0.
std::string Config() {
    std::string text = "sex m\n";
    for (int i = 0; i < 25; ++i)
        text += std::to_string(i < 6 ? 0 : i < 13 ? 1 : i == 22 ? 1 : 2) + " 1 1 10\n";
    return text;
}

void WritePlayer(const std::string& folder) {
    WriteSet(folder);
    WriteText(folder + "/animation.cfg", Config());
    for (const char* part : {"lower", "upper", "head"}) {
        WriteText(folder + "/" + part + "_default.skin", "x,default.tga\n");
        WriteText(folder + "/" + part + "_blue.skin", "x,blue.tga\n");
    }
}

std::string FileText(const std::string& path) {
    const std::vector<char> bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

float HeadHeight(const TMD3& joined) {
    return TMD3::VertexPosition(joined.Header.Surfaces.at(2).Vertices.at(0)).z;
}

} // namespace

class PlayerTest : public QObject {
    Q_OBJECT
private slots:
    void PlayerFromFileWithItsListsAndAWeapon() {
        TWindowFixture w;
        const std::string folder = w.Home.File("players/x");
        WritePlayer(folder);
        w.Dialogs.Files.push_back({folder + "/upper.md3"});
        w.Trigger("actionFileLoadPlayer");
        const TFormAccess inside = w.Inside();
        QCOMPARE(w.Form->StatusText(), QString("Player loaded, skin default applied"));
        QCOMPARE(inside.State.ModelKind, TModelKind::MD3);
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 3u);
        TPlayerGroup* group = inside.tabAnimation->gbPlayer;
        QVERIFY(!group->isHidden());
        QCOMPARE(group->cbPlayerSkin->count(), 2);
        QCOMPARE(group->cbLegs->currentText(), QString("LEGS_IDLE"));
        QCOMPARE(group->cbTorso->currentText(), QString("TORSO_STAND"));
        QCOMPARE(inside.Playback->cbAnimName->currentText(), QString("LEGS_IDLE+TORSO_STAND"));
        QCOMPARE(inside.Resolver.Skin.Entries.size(), 3u);
        // LEGS_IDLE: the legs' frame 0, the torso 10 up and its frame 1 moves the head along x.
        QCOMPARE(HeadHeight(w.Instances.MD3), 16.0f);

        group->cbLegs->setCurrentText("LEGS_RUN");
        QCOMPARE(HeadHeight(w.Instances.MD3), 26.0f);
        group->cbPlayerSkin->setCurrentText("blue");
        QCOMPARE(inside.Resolver.Skin.Entries.front().ShaderName, std::string("blue.tga"));

        WriteSet(w.Home.File("gun"), "w_gun");
        w.Dialogs.Files.push_back({w.Home.File("gun/Head.md3")});
        w.Trigger("actionFileAttachWeapon");
        QCOMPARE(w.Form->StatusText(), QString("Weapon attached: Head.md3"));
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 4u);
        QCOMPARE(group->lWeapon->text(), QString("Head.md3"));

        // A single part loads as before and leaves the player behind.
        w.LoadThroughCommand(folder + "/lower.md3");
        QVERIFY(group->isHidden());
        QVERIFY(!w.Instances.Player.IsLoaded());
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 1u);
        w.Trigger("actionFileAttachWeapon");
        QCOMPARE(w.Form->StatusText(), QString("Attach Weapon: load a player first"));
    }

    void APlayerThatCannotBeReadSaysWhy() {
        TWindowFixture w;
        WriteSet(w.Home.File("players/x"));
        WriteText(w.Home.File("players/x/Head.md3"), "IDP3");
        w.Dialogs.Files.push_back({w.Home.File("players/x/lower.md3")});
        w.Trigger("actionFileLoadPlayer");
        QVERIFY(w.Form->StatusText().startsWith("lower.md3: Head.md3: "));
        QVERIFY(!w.Instances.Player.IsLoaded());
    }

    void PlayerFromAGameWhosePlayersLieInALaterArchive() {
        TempDir game;
        fs::create_directories(game.File("baseq3"));
        WriteZip(game.File("baseq3/pak0.pk3"), {{"scripts/x.shader", "x\n{\n}\n"}});
        TempDir source;
        WritePlayer(source.File("x"));
        std::vector<ZipEntry> players;
        for (const auto& entry : fs::directory_iterator(source.File("x")))
            players.push_back({"models/players/X/" + entry.path().filename().string(),
                               FileText(entry.path().string())});
        WriteZip(game.File("baseq3/pak1.pk3"), players);

        TWindowFixture w(true, "[Game]\nGameDir=" + game.Path + "\n");
        w.Form->show();
        QVERIFY(w.Form->findChild<QAction*>("actionFileLoadPlayerFromGame")->isEnabled());
        w.Dialogs.Members.push_back(std::string("models/players/X/"));
        w.Trigger("actionFileLoadPlayerFromGame");
        QCOMPARE(w.Dialogs.LastTree,
                 (std::vector<std::string>{"players", "  models/players/", "    X/"}));
        QCOMPARE(w.Form->StatusText(), QString("Player loaded, skin default applied"));
        const TFormAccess inside = w.Inside();
        QCOMPARE(inside.State.ModelSource, TModelSource::GameArchive);
        QCOMPARE(inside.State.SelectedFolder, std::string("models/players/X/"));
        QCOMPARE(w.Instances.MD3.Header.numSurfaces, 3u);
    }

    void DefaultSkinOnLoadUnlessTurnedOff() {
        TWindowFixture w;
        const std::string path = w.WriteModel("m.md3", BuildMD3({}));
        WriteText(w.Home.File("M_Default.skin"), "surface0,red.tga\n");
        w.LoadThroughCommand(path);
        QCOMPARE(w.Form->StatusText(), QString("MD3 loaded, skin M_Default.skin applied"));
        QVERIFY(!w.Inside().Resolver.Skin.Empty());

        w.Form->findChild<QAction*>("actionTexturingDefaultSkin")->setChecked(false);
        w.LoadThroughCommand(path);
        QCOMPARE(w.Form->StatusText(), QString("MD3 loaded"));
        QVERIFY(w.Inside().Resolver.Skin.Empty());
        QVERIFY(!w.Inside().State.Settings.DefaultSkinOnLoad);
    }
};

QTEST_MAIN(PlayerTest)
#include "PlayerTest.moc"
