// Three of OpenArena's players in the window as the program shows them (needs a display with GL:
// run under xvfb-run), each from the installed game with a weapon in its hand, running and
// attacking. The window's pictures are kept beside the test for a look
// (player-<name>.png); the test asserts that each player fills the view upright.
#include "WindowFixture.h"
#include "app/PlayerCommands.h"
#include "app/ViewBinding.h"
#include "gamedata/PK3Archive.h"
#include "render/GLView.h"
#include "render/OGL.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <filesystem>

using namespace quillon;
using namespace quillon::test;
namespace fs = std::filesystem;

namespace {

const std::string Installation = "/usr/share/games/openarena";

// The part of the view's picture that differs from the background, whose gradient runs from top
// to bottom: each row's first pixel gives that row's background.
QRect ModelArea(const QImage& image) {
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(0, y))
                area |= QRect(x, y, 1, 1);
    return area;
}

} // namespace

class PlayerViewTest : public QObject {
    Q_OBJECT
private slots:
    void ThreePlayersWithAWeaponStandInTheView() {
        if (!fs::exists(Installation + "/baseoa/pak6-patch085.pk3"))
            QSKIP("OpenArena data not installed (./test.sh installs it)");
        TOGL context;
        TWindowFixture window(true, "[Game]\nGameDir=" + Installation + "\n[View]\nShowTags=0\n",
                              &context.Textures);
        TViewBinding binding(context, *window.Form);
        window.Form->resize(1100, 800);
        window.Form->show();
        for (int i = 0; i < 200 && !(context.IsActive() && context.ViewportWidth > 0); ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        if (!context.IsActive())
            QSKIP("no GL context on this display");
        TPK3Archive patch;
        patch.Open(Installation + "/baseoa/pak6-patch085.pk3");
        const std::string torch = "models/mapobjects/cosmoflash/torch1.md3";
        QVERIFY(patch.ExtractExact(torch, window.Home.Path));

        for (const char* name : {"sergei", "major", "skelebot"}) {
            const bool opened =
                window.Form->OpenPlayer({std::string("models/players/") + name, "", "LEGS_RUN",
                                         "TORSO_ATTACK", window.Home.File(torch)});
            QVERIFY2(opened, window.Form->StatusText().toUtf8().constData());
            window.Form->DrawView();
            QApplication::processEvents(QEventLoop::AllEvents, 50);
            auto* panel = window.Form->findChild<TGLView*>();
            QVERIFY(panel);
            const QImage view = panel->grabFramebuffer();
            // The window's own grab leaves the GL panel empty: the panel's frame goes on top.
            QImage shot = window.Form->grab().toImage();
            QPainter(&shot).drawImage(panel->mapTo(window.Form.get(), QPoint(0, 0)), view);
            shot.save(QString::fromStdString(std::string(QUILLON_SCREENSHOT_DIR) + "/player-" +
                                             name + ".png"));
            const QRect area = ModelArea(view);
            QVERIFY2(area.height() > area.width(), name);
            QVERIFY2(area.height() > view.height() / 3, name);
        }
    }
};

QTEST_MAIN(PlayerViewTest)
#include "PlayerViewTest.moc"
