// The pictures and the look of the 3D view through the window: screenshots (numbering, file
// layout, mask, a failed write), the gamma menu, Color Convert and the colour swatches, "Show
// Alpha in Preview" and "Center Model". The view is bound to an offscreen surface, drawn by
// Mesa through EGL, so no display is needed.
#include "GameDataBuilder.h"
#include "WindowFixture.h"
#include "app/MainMenu.h"
#include "app/SurfacesTab.h"
#include "app/ViewBinding.h"
#include "app/ViewTab.h"
#include "render/OGL.h"
#include "render/OffscreenSurface.h"

#include <GL/gl.h>
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

using namespace quillon;
using namespace quillon::test;
namespace fs = std::filesystem;

namespace {

using TRgba = std::array<uint8_t, 4>;

// An uncompressed TGA of one colour, rows bottom first.
void WriteSolidTga(const std::string& path, int side, TRgba colour, bool alpha) {
    std::vector<char> bytes(18, 0);
    bytes[2] = 2;
    bytes[12] = char(side);
    bytes[14] = char(side);
    bytes[16] = char(alpha ? 32 : 24);
    for (int i = 0; i < side * side; ++i) {
        bytes.insert(bytes.end(), {char(colour[2]), char(colour[1]), char(colour[0])});
        if (alpha)
            bytes.push_back(char(colour[3]));
    }
    WriteBytes(path, bytes);
}

// A window whose 3D view draws into a 400 × 300 offscreen surface, started on a small game
// folder as the program starts without showing the window, with a grid model whose one surface
// takes its image from "grid.tga" beside the model.
struct TViewFixture {
    explicit TViewFixture(TRgba colour = {100, 50, 25, 255}, bool alpha = false) {
        fs::create_directories(Game.File("etmain"));
        WriteZip(Game.File("etmain/pak0.pk3"), {{"scripts/other.shader", "other/shader\n{\n}\n"}});
        Window = std::make_unique<TWindowFixture>(true, "[Game]\nGameDir=" + Game.Path + "\n",
                                                  &Context.Textures);
        View = std::make_unique<TViewBinding>(Context, *Window->Form, Surface);
        Started = Window->Form->StartWithoutWindow("");
        WriteSolidTga(Window->Home.File("grid.tga"), 4, colour, alpha);
        Window->LoadThroughCommand(Window->WriteModel("grid.md3", BuildGridMD3(11, 11, 1)));
    }
    ~TViewFixture() {
        View.reset();
        Window.reset();
        Context.DestroyContext();
    }
    TWindowFixture& W() { return *Window; }
    std::string Status() const { return Window->Form->StatusText().toStdString(); }
    void Screenshot() { Window->Inside().tabView->bPrtScr->click(); }
    // The first texel of the grid's stage texture.
    TRgba StageTexel() {
        const TShaders& shaders = Window->Instances.Shaders;
        const int index = Window->Instances.MD3.Header.Surfaces[0].Shaders[0].shaderIndex;
        Context.EnsureCurrent();
        glBindTexture(GL_TEXTURE_2D, shaders.Shaders[index].Stages[0].TextureHandle);
        std::vector<uint8_t> texels(4 * 4 * 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        return {texels[0], texels[1], texels[2], texels[3]};
    }

    TempDir Game;
    TOGL Context;
    TOffscreenSurface Surface{400, 300};
    bool Started = false;
    std::unique_ptr<TWindowFixture> Window;
    std::unique_ptr<TViewBinding> View;
};

QRgb SwatchCentre(const QAction* item) {
    const QImage image = item->icon().pixmap(16, 16).toImage();
    return image.pixel(image.width() / 2, image.height() / 2);
}

std::vector<std::string> Screenshots(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().starts_with("screenshot"))
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

class ViewCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void ScreenshotIsANumberedTgaWithTheMaskAsAlpha() {
        TViewFixture v;
        QVERIFY2(v.Context.IsActive(), v.Surface.Error().c_str());
        QVERIFY(v.Started);
        QCOMPARE(v.W().Inside().tabView->bPrtScr->toolTip(),
                 QString("Make a screenshot image of the 3D-view"));
        v.Screenshot();
        QCOMPARE(v.Status(), std::string("Screenshot saved into file: screenshot0.tga"));
        const std::vector<char> bytes = ReadBytes(v.W().Home.File("screenshot0.tga"));
        QCOMPARE(bytes.size(), size_t(18 + 400 * 300 * 4));
        const std::vector<uint8_t> header(bytes.begin() + 12, bytes.begin() + 18);
        QCOMPARE(header, (std::vector<uint8_t>{144, 1, 44, 1, 32, 3}));
        QCOMPARE(uint8_t(bytes[2]), uint8_t(2));
        auto pixel = [&](int x, int y) { // y from the bottom, as stored
            const size_t at = 18 + (size_t(y) * 400 + x) * 4;
            return TRgba{uint8_t(bytes[at]), uint8_t(bytes[at + 1]), uint8_t(bytes[at + 2]),
                         uint8_t(bytes[at + 3])};
        };
        // The model fills the middle; the corners are cleared black without alpha.
        QCOMPARE(pixel(200, 150)[3], uint8_t(255));
        QCOMPARE(pixel(1, 1), (TRgba{0, 0, 0, 0}));

        v.Screenshot();
        QCOMPARE(v.Status(), std::string("Screenshot saved into file: screenshot1.tga"));
        fs::remove(v.W().Home.File("screenshot0.tga"));
        v.Screenshot();
        QCOMPARE(v.Status(), std::string("Screenshot saved into file: screenshot0.tga"));
        v.Screenshot();
        QCOMPARE(
            Screenshots(v.W().Home.Path),
            (std::vector<std::string>{"screenshot0.tga", "screenshot1.tga", "screenshot2.tga"}));
    }

    void FailedScreenshotSaysSoAndLeavesNoFile() {
        TViewFixture v;
        // A file-size limit fails the write part way, as a full disk would.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 1000;
        setrlimit(RLIMIT_FSIZE, &small);
        v.Screenshot();
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(v.Status().starts_with(
            "The screenshot could not be saved into file: screenshot0.tga ("));
        QVERIFY(Screenshots(v.W().Home.Path).empty());
    }

    void GammaBrightensTheStageTexturesAndOneRestoresThem() {
        TViewFixture v({100, 50, 25, 255});
        QCOMPARE(v.StageTexel(), (TRgba{100, 50, 25, 255}));
        v.W().Trigger("menuViewGammaSW2");
        QCOMPARE(v.Status(), std::string("Software Gamma set to: 2"));
        QCOMPARE(v.StageTexel(), (TRgba{200, 100, 50, 255}));
        QVERIFY(v.W().Inside().Menu->findChild<QAction*>("menuViewGammaSW2")->isChecked());
        v.W().Trigger("menuViewGammaSW1_5");
        QCOMPARE(v.Status(), std::string("Software Gamma set to: 1.5"));
        v.W().Trigger("menuViewGammaSW1");
        QCOMPARE(v.Status(), std::string("Software Gamma set to: 1"));
        QCOMPARE(v.StageTexel(), (TRgba{100, 50, 25, 255}));
    }

    void ShowAlphaInPreviewRedrawsThePreview() {
        TViewFixture v({200, 0, 0, 0}, true); // red, fully transparent
        QLabel* preview = v.W().Inside().tabSurfaces->img3DView;
        auto centre = [&] {
            const QImage image = preview->pixmap().toImage();
            return image.pixel(image.width() / 2, image.height() / 2);
        };
        const QRgb withAlpha = centre();
        QVERIFY(qRed(withAlpha) != 200 || qBlue(withAlpha) != 0);
        v.W().Trigger("actionViewShowalphapreview");
        QCOMPARE(qRed(centre()), 200);
        QCOMPARE(qBlue(centre()), 0);
        v.W().Trigger("actionViewShowalphapreview");
        QCOMPARE(centre(), withAlpha);
    }

    void CenterModelFitsTheViewWhenTicked() {
        TViewFixture v;
        TView3DState& view = v.W().Inside().State.View;
        view.ModelRotation = {10, 20, 30};
        v.W().Trigger("actionViewCenterModel"); // off: the view stays
        QCOMPARE(view.ModelRotation, (TVector{10, 20, 30}));
        v.W().Trigger("actionViewCenterModel"); // on: reset and fit
        QCOMPARE(view.ModelRotation, TVector{});
        QCOMPARE(view.PivotOffset, (TVector{-5, -5, 0}));
    }

    void ColorConvertShowsThreeDecimalsAndItsSwatch() {
        TWindowFixture w;
        QAction* item = w.Inside().Menu->menuToolsColorconvertRadiant;
        QCOMPARE(item->text(), QString("0 0 0"));
        QCOMPARE(SwatchCentre(item), qRgb(0, 0, 0));
        w.Dialogs.Colors = {0x0000FFu, 100u | (139u << 8) | (203u << 16), std::nullopt, 0u};
        w.Trigger("menuToolsColorconvertRadiant");
        QCOMPARE(item->text(), QString("1.000 0.000 0.000"));
        QCOMPARE(SwatchCentre(item), qRgb(255, 0, 0));
        w.Trigger("menuToolsColorconvertRadiant");
        QCOMPARE(item->text(), QString("0.392 0.545 0.796"));
        QCOMPARE(w.Dialogs.ColorsOffered, (std::vector<uint32_t>{0, 0x0000FF}));
        w.Trigger("menuToolsColorconvertRadiant"); // cancelled
        QCOMPARE(item->text(), QString("0.392 0.545 0.796"));
        w.Trigger("menuToolsColorconvertRadiant");
        QCOMPARE(item->text(), QString("0.000 0.000 0.000"));
    }

    void SkyColorItemsShowTheirColours() {
        TWindowFixture w(true, "[SkyBox]\nEnabled=0\nColorTop=255\n");
        const TFormAccess inside = w.Inside();
        QCOMPARE(SwatchCentre(inside.Menu->menuViewSkycolortop), qRgb(255, 0, 0));
        QCOMPARE(SwatchCentre(inside.Menu->menuViewSkycolorbottom), qRgb(166, 202, 240));
        w.Dialogs.Colors = {0x00FF00u};
        w.Trigger("menuViewSkycolorbottom");
        QCOMPARE(SwatchCentre(inside.Menu->menuViewSkycolorbottom), qRgb(0, 255, 0));
    }
};

QTEST_MAIN(ViewCommandsTest)
#include "ViewCommandsTest.moc"
