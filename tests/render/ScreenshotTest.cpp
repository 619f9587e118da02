// Pictures of the view without a window: the offscreen surface, the screenshot's two passes,
// its TGA file and the PNG and TGA files of the view. Runs on Qt's offscreen platform with
// Mesa's surfaceless EGL, so no X server is needed.
#include "GLTestView.h"
#include "support/MD3Builder.h"

#include "core/FileError.h"
#include "render/OffscreenSurface.h"
#include "render/Screenshot.h"
#include "render/ScreenshotFile.h"
#include "render/ViewImageFile.h"

#include <GL/gl.h>
#include <QGuiApplication>
#include <QImage>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <sys/resource.h>

using namespace quillon;
using namespace quillon::test;
namespace fs = std::filesystem;

namespace {

class Offscreen : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "render_offscreen_tests";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);
    }
    void SetUp() override { Bind(400, 300); }
    void TearDown() override { gl.DestroyContext(); }

    void Bind(int width, int height) {
        gl.DestroyContext();
        surface = std::make_unique<TOffscreenSurface>(width, height);
        gl.ErrorHandler = [](int code) { ADD_FAILURE() << "context error " << code; };
        gl.CreateContext(surface.get());
        ASSERT_TRUE(surface->Create()) << surface->Error();
        ASSERT_TRUE(gl.IsActive());
        gl.Camera.Place({0, 0, 100}, {0, 0, 0}, {0, 1, 0}, 0.1f, 0.5f);
        state = TView3DState{};
        state.CameraDistance = 100;
        state.TextureUnitCount = gl.TextureUnits;
    }
    // A stage of one colour on the square.
    void Paint(std::array<uint8_t, 4> colour) {
        PaintImage(std::vector<std::array<uint8_t, 4>>(4, colour), false);
    }
    // A stage of a 2 × 2 image (rows bottom first), alpha-tested when it has alpha.
    void PaintImage(const std::vector<std::array<uint8_t, 4>>& pixels, bool alpha) {
        const std::string path = dir.File(alpha ? "alpha.tga" : "paint.tga");
        WriteTga(path, 2, 2, pixels, alpha);
        shaders = TShaders();
        shaders.AddPlainTexture(path, 0);
        TShaderTexture& stage = shaders.Shaders[0].Stages[0];
        stage.TextureHandle = gl.Textures.LoadTexture(path, 1.0f);
        stage.HasAlpha = gl.Textures.TextureHasAlpha(stage.TextureHandle);
        if (alpha) {
            stage.AlphaFunc = 3; // "GE128"
            stage.BlendSrc = BlendSrcAlpha;
            stage.BlendDst = BlendOneMinusSrcAlpha;
        }
    }
    TScene Scene() {
        TScene scene;
        scene.MD3 = &model;
        scene.Shaders = &shaders;
        return scene;
    }
    static TViewOptions Options() {
        TViewOptions options;
        options.ModelKind = TModelKind::MD3;
        options.Lighting = false;
        options.ShowTags = false;
        return options;
    }
    // Blue, green, red and alpha at x from the left, y from the top.
    static std::array<int, 4> At(const TViewImage& image, int x, int y) {
        const uint8_t* p = &image.Bgra[(size_t(image.Height - 1 - y) * image.Width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }

    TOGL gl;
    std::unique_ptr<TOffscreenSurface> surface;
    TView3DState state;
    TMD3 model = SquareModel(40);
    TShaders shaders;
    TempDir dir;
};

TEST_F(Offscreen, ViewIsDrawnWithItsBackgroundAndFitsAnOddWidth) {
    EXPECT_EQ(gl.ViewportWidth, 400);
    EXPECT_GE(gl.TextureUnits, 1);
    Paint({200, 40, 90, 255});
    const auto view = TScreenshot(gl, state).TakeView(Scene(), Options());
    ASSERT_TRUE(view);
    EXPECT_FALSE(view->HasAlpha);
    EXPECT_EQ(At(*view, 200, 150), (std::array<int, 4>{90, 40, 200, 255}));
    EXPECT_EQ(At(*view, 1, 1), (std::array<int, 4>{203, 139, 100, 255})); // gradient top
    EXPECT_EQ(At(*view, 1, 298)[0], 240);                                 // gradient bottom

    // 401 × 3 bytes is no multiple of four: the rows must still be read whole.
    Bind(401, 301);
    Paint({200, 40, 90, 255});
    const auto odd = TScreenshot(gl, state).TakeView(Scene(), Options());
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->Bgra.size(), size_t(401) * 301 * 4);
    EXPECT_EQ(At(*odd, 400, 300)[0], 240);
    EXPECT_EQ(At(*odd, 200, 150)[2], 200);
}

TEST_F(Offscreen, ScreenshotHasTheModelsColourAndItsCoverageAsAlpha) {
    Paint({200, 40, 90, 255});
    TViewOptions options = Options();
    options.Lighting = true;
    const auto shot = TScreenshot(gl, state).Take(Scene(), options);
    ASSERT_TRUE(shot);
    EXPECT_TRUE(shot->HasAlpha);
    ASSERT_EQ(shot->Bgra.size(), size_t(400) * 300 * 4);
    EXPECT_EQ(At(*shot, 200, 150)[3], 255);
    EXPECT_EQ(At(*shot, 5, 5), (std::array<int, 4>{0, 0, 0, 0})); // no background in either pass
    size_t covered = 0;
    for (size_t i = 3; i < shot->Bgra.size(); i += 4)
        covered += shot->Bgra[i] == 255;
    // The view is 100 units high at distance 100 (53.13 degrees), so the 40-unit square covers
    // 120 of the 300 rows and as many columns.
    EXPECT_NEAR(double(covered), 120.0 * 120.0, 120.0 * 4);

    options.Lighting = false;
    const auto unlit = TScreenshot(gl, state).Take(Scene(), options);
    EXPECT_EQ(At(*unlit, 200, 150), (std::array<int, 4>{90, 40, 200, 255}));

    options.ViewTabActive = false;
    EXPECT_FALSE(TScreenshot(gl, state).Take(Scene(), options));
    options.ViewTabActive = true;
    options.Busy = true;
    EXPECT_FALSE(TScreenshot(gl, state).TakeView(Scene(), options));
}

TEST_F(Offscreen, BlackStaysOpaqueAndAlphaTestedHolesStayClear) {
    Paint({0, 0, 0, 255});
    const auto black = TScreenshot(gl, state).Take(Scene(), Options());
    ASSERT_TRUE(black);
    EXPECT_EQ(At(*black, 200, 150), (std::array<int, 4>{0, 0, 0, 255}));

    // The left column of texels is cut away by the alpha test.
    PaintImage({{250, 250, 250, 0}, {250, 250, 250, 255}, {250, 250, 250, 0}, {250, 250, 250, 255}},
               true);
    const auto holes = TScreenshot(gl, state).Take(Scene(), Options());
    ASSERT_TRUE(holes);
    EXPECT_EQ(At(*holes, 150, 150)[3], 0); // the square spans x 140 to 260
    EXPECT_EQ(At(*holes, 250, 150)[3], 255);
    EXPECT_GT(At(*holes, 250, 150)[2], 100); // blended over black where the texels meet
}

TEST_F(Offscreen, GammaBrightensAStageTextureAndOneRestoresIt) {
    const std::string path = dir.File("stage.tga");
    WriteTga(path, 1, 1, {{100, 50, 25, 255}}, false);
    for (const auto& [gamma, expected] :
         {std::pair{2.0f, TPixel{200, 100, 50}}, std::pair{1.0f, TPixel{100, 50, 25}}}) {
        const uint32_t texture = gl.Textures.LoadTexture(path, gamma);
        ASSERT_NE(texture, 0u);
        uint8_t rgb[3] = {};
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        EXPECT_EQ((TPixel{rgb[0], rgb[1], rgb[2]}), expected) << gamma;
        gl.Textures.ReleaseTexture(texture);
    }
}

TEST_F(Offscreen, SurfaceLargerThanGLAllowsIsRefusedWithTheReason) {
    TOffscreenSurface huge(1 << 20, 10);
    EXPECT_FALSE(huge.Create());
    EXPECT_NE(huge.Error().find("1048576x10"), std::string::npos) << huge.Error();
    EXPECT_FALSE(huge.HasContext());
    EXPECT_FALSE(huge.MakeCurrent());
}

TEST_F(Offscreen, SurfaceGoingFirstLeavesTheContextObjectInactive) {
    surface.reset();
    EXPECT_FALSE(gl.IsActive());
    EXPECT_FALSE(gl.EnsureCurrent());
    EXPECT_FALSE(TScreenshot(gl, state).TakeView(Scene(), Options()));
    gl.DestroyContext();
    Bind(8, 8); // and it binds again
    EXPECT_EQ(gl.ViewportHeight, 8);
}

TEST(ScreenshotFile, NumbersFillTheFirstGap) {
    TempDir dir;
    const std::string folder = dir.Path + "/";
    EXPECT_EQ(FreeScreenshotName(folder), "screenshot0.tga");
    WriteBytes(folder + "screenshot1.tga", {'x'});
    EXPECT_EQ(FreeScreenshotName(folder), "screenshot0.tga");
    WriteBytes(folder + "screenshot0.tga", {'x'});
    EXPECT_EQ(FreeScreenshotName(folder), "screenshot2.tga");
}

TViewImage Picture(int width, int height, bool alpha) {
    TViewImage image{width, height, alpha, {}};
    for (int i = 0; i < width * height; ++i)
        image.Bgra.insert(image.Bgra.end(), {uint8_t(i), 20, 30, uint8_t(alpha ? i % 7 : 255)});
    return image;
}

TEST(ScreenshotFile, TgaHeaderAndPixelsAsStored) {
    TempDir dir;
    const TViewImage image = Picture(400, 300, true);
    ASSERT_TRUE(WriteTga32(dir.File("s.tga"), image));
    const std::vector<char> bytes = ReadBytes(dir.File("s.tga"));
    ASSERT_EQ(bytes.size(), 18u + 480000u);
    const std::vector<uint8_t> header(bytes.begin(), bytes.begin() + 18);
    EXPECT_EQ(header,
              (std::vector<uint8_t>{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 144, 1, 44, 1, 32, 3}));
    EXPECT_TRUE(std::equal(image.Bgra.begin(), image.Bgra.end(),
                           reinterpret_cast<const uint8_t*>(bytes.data()) + 18));

    EXPECT_FALSE(WriteTga32(dir.File("wide.tga"), TViewImage{70000, 1, true, {}}));
    EXPECT_FALSE(fs::exists(dir.File("wide.tga")));
    EXPECT_THROW((void)WriteTga32(dir.File("missing/s.tga"), image), FileError);
}

TEST(ScreenshotFile, FailedWriteLeavesNoFile) {
    TempDir dir;
    // A file-size limit makes the writes fail part way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool written = WriteTga32(dir.File("s.tga"), Picture(400, 300, true));
    const bool png = SaveViewImage(dir.File("s.png"), Picture(400, 300, false));
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(written);
    EXPECT_FALSE(png);
    EXPECT_TRUE(fs::is_empty(dir.Path));
}

TEST(ViewImageFile, PngKeepsRowsColoursAndAlpha) {
    TempDir dir;
    for (bool alpha : {false, true}) {
        const TViewImage image = Picture(5, 3, alpha);
        const std::string path = dir.File(alpha ? "a.PNG" : "o.png");
        ASSERT_TRUE(SaveViewImage(path, image));
        const QImage back(QString::fromStdString(path));
        ASSERT_EQ(back.width(), 5);
        EXPECT_EQ(back.hasAlphaChannel(), alpha);
        // The first stored row is the bottom one.
        const QRgb bottomLeft = back.pixel(0, 2), topRight = back.pixel(4, 0);
        EXPECT_EQ(qBlue(bottomLeft), 0);
        EXPECT_EQ(qRed(bottomLeft), 30);
        EXPECT_EQ(qBlue(topRight), 14);
        EXPECT_EQ(qAlpha(topRight), alpha ? 0 : 255);
    }
    EXPECT_TRUE(ViewImageFormatKnown("x/Y.TGA"));
    EXPECT_FALSE(ViewImageFormatKnown("x.png/y"));
    EXPECT_FALSE(SaveViewImage(dir.File("x.bmp"), Picture(1, 1, false)));
    EXPECT_FALSE(fs::exists(dir.File("x.bmp")));
}

} // namespace
