// The context, the texture manager and the drawing of a frame, read back from the panel under
// Mesa's software renderer.
#include "GLTestView.h"
#include "support/MD3Builder.h"

#include "render/GLView.h"
#include "render/SkyBox.h"
#include "render/TexturePreview.h"

#include <GL/gl.h>
#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace quillon;
using namespace quillon::test;
namespace fs = std::filesystem;

namespace {

constexpr TPixel SkyTop{100, 139, 203};
constexpr TPixel SkyBottom{166, 202, 240};

class GL : public ::testing::Test {
protected:
    void SetUp() override {
        if (!GLAvailable())
            GTEST_SKIP() << "no GL context (run under xvfb-run)";
        gl = World().Context;
    }
    void TearDown() override {
        if (gl) {
            gl->Textures.ReleaseAll();
            gl->SkyBox->SetShown(false);
        }
    }
    // One opaque or alpha-tested stage with the texture loaded from `path`.
    TShaders OneStage(const std::string& path, uint8_t alphaFunc = 0) {
        TShaders shaders;
        shaders.AddPlainTexture(path, 0);
        TShaderTexture& stage = shaders.Shaders[0].Stages[0];
        stage.TextureHandle = gl->Textures.LoadTexture(path, 1.0f);
        stage.HasAlpha = gl->Textures.TextureHasAlpha(stage.TextureHandle);
        stage.AlphaFunc = alphaFunc;
        if (alphaFunc != 0) { // as the update defaults a script stage with an alpha image
            stage.BlendSrc = BlendSrcAlpha;
            stage.BlendDst = BlendOneMinusSrcAlpha;
        }
        return shaders;
    }
    void Draw(TMD3& model, TShaders* shaders, TView3DState state, const TViewOptions& options) {
        TScene scene;
        scene.MD3 = &model;
        scene.Shaders = shaders;
        TViewRenderer(*gl, state).DrawView(scene, options);
    }

    TOGL* gl = nullptr;
    TempDir dir;
};

} // namespace

TEST_F(GL, ContextIsSetUpOnceWithCompatibilityState) {
    EXPECT_TRUE(World().Errors.empty());
    EXPECT_GE(gl->TextureUnits, 1);
    EXPECT_TRUE(gl->HasExtension("GL_ARB_multitexture"));
    EXPECT_NEAR(gl->FieldOfView, 53.130104, 1e-5);
    ASSERT_EQ(gl->Fonts.Fonts().size(), 2u);
    EXPECT_NE(gl->Fonts.Fonts()[0]->Base, 0u);
    gl->CreateContext(World().View); // a second creation while active changes nothing
    EXPECT_EQ(gl->Fonts.Fonts().size(), 2u);
    EXPECT_EQ(gl->ViewportWidth, 160);
    EXPECT_EQ(TOGL::ContextErrorText(-5), "The render-context could not be made current.");
}

TEST_F(GL, ResizeRecomputesTheProjectionOnlyForANewSize) {
    gl->EnsureCurrent();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity(); // a marker: an untouched projection stays the identity
    glMatrixMode(GL_MODELVIEW);
    gl->Resize(160, 120);
    float m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_EQ(m[0], 1.0f);
    gl->Resize(320, 120);
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    const float wide = m[0];
    gl->Resize(160, 120);
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(wide * 2, m[0], 1e-5); // half the aspect ratio, twice the x scale
}

TEST_F(GL, SearchOrderTriesTgaInEveryFolderBeforeOtherTypes) {
    const std::string bg = dir.Path + "/textures/BG/", textures = dir.Path + "/textures/";
    fs::create_directories(bg + "models/players/x");
    fs::create_directories(textures + "models/players/x");
    WriteSolidJpeg(bg + "models/players/x/body.jpg", 8, {1, 2, 3});
    WriteTga(textures + "models/players/x/body.tga", 1, 1, {{9, 9, 9, 255}}, false);
    TObjTexture manager;
    manager.AddSearchFolder(bg);
    manager.AddSearchFolder(textures);
    manager.AddSearchFolder(dir.Path);
    std::string name = "models/players/x/body";
    ASSERT_TRUE(manager.ResolvePath(name));
    EXPECT_EQ(name, textures + "models/players/x/body.tga");

    std::string mixedCase = "Models\\Players\\X\\BODY.jpg";
    ASSERT_TRUE(manager.ResolvePath(mixedCase));
    EXPECT_EQ(mixedCase, bg + "models/players/x/body.jpg");

    std::string missing = "models/players/x/head";
    EXPECT_FALSE(manager.ResolvePath(missing));
    EXPECT_EQ(missing, "models/players/x/head");

    TImageInfo info;
    ASSERT_TRUE(manager.ImageSize("models/players/x/body.jpg", info));
    EXPECT_EQ(info.extension, ".JPG");
    EXPECT_EQ(info.width, 8);
}

TEST_F(GL, LoadedTexturesAreListedOnceAndReleasedExactly) {
    const std::string a = dir.File("a.tga"), b = dir.File("b.tga");
    WriteTga(a, 2, 2, std::vector<std::array<uint8_t, 4>>(4, {10, 20, 30, 40}), true);
    WriteTga(b, 2, 2, std::vector<std::array<uint8_t, 4>>(4, {10, 20, 30, 255}), false);
    TObjTexture& t = gl->Textures;
    const uint32_t ta = t.LoadTexture(a, 1.0f);
    ASSERT_NE(ta, 0u);
    EXPECT_EQ(t.LoadTexture(a, 2.0f), ta);
    const uint32_t tb = t.LoadTexture(b, 1.0f);
    ASSERT_EQ(t.Loaded().size(), 2u);
    EXPECT_TRUE(t.TextureHasAlpha(ta));
    EXPECT_FALSE(t.TextureHasAlpha(tb));
    EXPECT_EQ(t.Loaded()[0].Width, 2);
    t.ReleaseTexture(0);
    EXPECT_EQ(t.Loaded().size(), 2u);
    t.ReleaseTexture(ta);
    ASSERT_EQ(t.Loaded().size(), 1u);
    EXPECT_EQ(t.Loaded()[0].Texture, tb);
    EXPECT_FALSE(glIsTexture(ta));
    EXPECT_EQ(t.LoadTexture(dir.File("none.tga"), 1.0f), 0u);
    WriteTga(dir.File("raw.raw"), 1, 1, {{0, 0, 0, 0}}, false);
    EXPECT_EQ(t.LoadTexture(dir.File("raw.raw"), 1.0f), 0u);
    EXPECT_EQ(t.Loaded().size(), 1u);
}

TEST_F(GL, BmpAndJpegLoadWithoutAlphaAndGammaBrightensTheUpload) {
    QImage bmp(4, 4, QImage::Format_RGB888);
    bmp.fill(QColor(51, 76, 102));
    ASSERT_TRUE(bmp.save(QString::fromStdString(dir.File("c.bmp")), "BMP"));
    TObjTexture& t = gl->Textures;
    const uint32_t texture = t.LoadTexture(dir.File("c.bmp"), 2.0f);
    ASSERT_NE(texture, 0u);
    EXPECT_FALSE(t.TextureHasAlpha(texture));
    EXPECT_EQ(t.Gamma(), 1.0f);
    glBindTexture(GL_TEXTURE_2D, texture);
    uint8_t rgb[4 * 4 * 3];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    EXPECT_EQ((TPixel{rgb[0], rgb[1], rgb[2]}), (TPixel{102, 152, 204}));

    WriteSolidJpeg(dir.File("d.jpg"), 8, {200, 10, 10});
    const uint32_t jpeg = t.LoadTexture(dir.File("d.jpg"), 1.0f);
    ASSERT_NE(jpeg, 0u);
    EXPECT_FALSE(t.TextureHasAlpha(jpeg));
    std::ofstream(dir.File("broken.bmp")) << "BM not really";
    EXPECT_EQ(t.LoadTexture(dir.File("broken.bmp"), 1.0f), 0u);
}

TEST_F(GL, OpaqueStageShowsItsTextureOverTheGradient) {
    const std::string path = dir.File("solid.tga");
    WriteTga(path, 4, 4, std::vector<std::array<uint8_t, 4>>(16, {200, 40, 90, 255}), false);
    TShaders shaders = OneStage(path);
    TMD3 model = SquareModel(40);
    // Many units, two units (base and stage share one submission) and a single unit must all
    // give the same picture.
    for (int units : {gl->TextureUnits, 2, 1}) {
        TView3DState state = HeadOnState();
        state.TextureUnitCount = units;
        Draw(model, &shaders, state, PlainOptions());
        EXPECT_TRUE(Near(ReadPixel(80, 60), {200, 40, 90})) << units << " units";
        EXPECT_TRUE(Near(ReadPixel(2, 1), SkyTop, 4));
        EXPECT_TRUE(Near(ReadPixel(2, 118), SkyBottom, 4));
    }
}

TEST_F(GL, StageWithoutTextureAndMissingShaderDrawWhite) {
    TShaders shaders;
    shaders.AddPlainTexture("nowhere.tga", 0);
    TMD3 model = SquareModel(40, {0, 0, 1}, 0);
    Draw(model, &shaders, HeadOnState(), PlainOptions());
    EXPECT_TRUE(Near(ReadPixel(80, 60), {255, 255, 255}));
    TMD3 outside = SquareModel(40, {0, 0, 1}, 7);
    Draw(outside, &shaders, HeadOnState(), PlainOptions());
    EXPECT_TRUE(Near(ReadPixel(80, 60), {255, 255, 255}));
}

TEST_F(GL, AlphaTestedStageLeavesTransparentTexelsShowingTheBackground) {
    const std::string path = dir.File("holes.tga");
    WriteTga(path, 4, 1, {{250, 0, 0, 0}, {250, 0, 0, 0}, {0, 250, 0, 255}, {0, 250, 0, 255}},
             true);
    TShaders shaders = OneStage(path, 3);
    TMD3 model = SquareModel(40);
    Draw(model, &shaders, HeadOnState(), PlainOptions());
    const TPixel hole = ReadPixel(66, 60);
    EXPECT_FALSE(Near(hole, {250, 0, 0}, 40));
    EXPECT_GT(hole[2], 150); // the sky's blue
    EXPECT_TRUE(Near(ReadPixel(94, 60), {0, 250, 0}, 4));
}

TEST_F(GL, LightingShadesASurfaceTurnedAwayFromTheLights) {
    TMD3 model = SquareModel(40, {0, 0, -1});
    TViewOptions options = PlainOptions();
    Draw(model, nullptr, HeadOnState(), options);
    EXPECT_TRUE(Near(ReadPixel(80, 60), {255, 255, 255}));
    options.Lighting = true;
    Draw(model, nullptr, HeadOnState(), options);
    const TPixel lit = ReadPixel(80, 60);
    EXPECT_LT(lit[0], 100);
    EXPECT_EQ(lit[0], lit[2]);
}

TEST_F(GL, FramesAndIndicesOutsideTheModelDrawNothing) {
    TMD3 model = SquareModel(40);
    TViewOptions options = PlainOptions();
    options.CurrentFrame = 1;
    Draw(model, nullptr, HeadOnState(), options);
    EXPECT_FALSE(Near(ReadPixel(80, 60), {255, 255, 255}, 20));

    options.CurrentFrame = 0;
    model.Header.Surfaces[0].Triangles[0].indexes[1] = 99;
    model.Header.Surfaces[0].Triangles[1].indexes[2] = -1;
    Draw(model, nullptr, HeadOnState(), options);
    EXPECT_FALSE(Near(ReadPixel(80, 60), {255, 255, 255}, 20));
}

TEST_F(GL, TagAxesStayVisibleThroughTheModel) {
    TMD3 model = SquareModel(40);
    model.Header.numTags = 1;
    TMD3Tag tag;
    tag.origin = {0, 0, -5}; // behind the square
    tag.axis[0] = {1, 0, 0};
    tag.axis[1] = {0, 1, 0};
    tag.axis[2] = {0, 0, 1};
    model.Header.Tags.push_back(tag);
    TViewOptions options = PlainOptions();
    options.ShowTags = true;
    Draw(model, nullptr, HeadOnState(), options);
    bool red = false;
    for (int y = 57; y <= 63; ++y)
        red = red || Near(ReadPixel(86, y), {255, 0, 0}, 10);
    EXPECT_TRUE(red);
}

TEST_F(GL, BusyOrAnotherTabLeavesThePreviousFrame) {
    TMD3 model = SquareModel(40);
    Draw(model, nullptr, HeadOnState(), PlainOptions());
    TViewOptions options = PlainOptions();
    options.Busy = true;
    TMD3 empty;
    Draw(empty, nullptr, HeadOnState(), options);
    EXPECT_TRUE(Near(ReadPixel(80, 60), {255, 255, 255}));
}

TEST_F(GL, TagPivotCentresTheChosenTag) {
    TMD3 model = SquareModel(40);
    model.Header.numTags = 1;
    TMD3Tag tag;
    tag.origin = {20, 0, 0};
    model.Header.Tags.push_back(tag);
    EXPECT_EQ(TViewRenderer::TagPivot(model, 0, 0), (TVector{-20, 0, 0}));
    EXPECT_EQ(TViewRenderer::TagPivot(model, 1, 0), VectorZero()); // "origin"
    EXPECT_EQ(TViewRenderer::TagPivot(model, 0, 3), VectorZero());
    TViewOptions options = PlainOptions();
    options.CenterModel = false;
    options.PivotIndex = 0;
    Draw(model, nullptr, HeadOnState(), options);
    EXPECT_TRUE(Near(ReadPixel(60, 60), {255, 255, 255})); // the square's right half
    EXPECT_FALSE(Near(ReadPixel(100, 60), {255, 255, 255}, 20));
}

TEST_F(GL, SkyBoxLoadsSixImagesAndFillsTheBackground) {
    const std::string bg = dir.Path + "/textures/BG/";
    fs::create_directories(bg);
    gl->Textures.AddSearchFolder(bg);
    for (int f = 0; f < TSkyBox::FaceCount; ++f)
        if (f != TSkyBox::Top)
            WriteSolidJpeg(bg + "sky" + TSkyBox::FaceSuffix(TSkyBox::Face(f)) + ".jpg", 8,
                           {30, 160, 60});
    EXPECT_FALSE(gl->SkyBox->Load("sky"));
    EXPECT_EQ(gl->SkyBox->DisplayList(), 0u);
    EXPECT_TRUE(gl->Textures.Loaded().empty());
    WriteSolidJpeg(bg + "skyTop.jpg", 8, {30, 160, 60});
    ASSERT_TRUE(gl->SkyBox->Load("sky"));
    EXPECT_NE(gl->SkyBox->DisplayList(), 0u);
    EXPECT_EQ(gl->SkyBox->Faces()[TSkyBox::Front].Name, "skyFront");
    gl->SkyBox->SetShown(true);
    TMD3 model = SquareModel(40);
    Draw(model, nullptr, HeadOnState(), PlainOptions());
    EXPECT_TRUE(Near(ReadPixel(5, 5), {30, 160, 60}, 6));
    EXPECT_TRUE(Near(ReadPixel(80, 60), {255, 255, 255}));
    gl->SkyBox->Release();
    EXPECT_TRUE(gl->Textures.Loaded().empty());
}

TEST_F(GL, TexturePreviewComposesAlphaOverThePanelGrey) {
    const std::string path = dir.File("p.tga");
    WriteTga(path, 2, 2, {{255, 0, 0, 0}, {255, 0, 0, 0}, {0, 0, 255, 255}, {0, 0, 255, 255}},
             true);
    const uint32_t texture = gl->Textures.LoadTexture(path, 1.0f);
    auto alpha = ShowTexturePreview(*gl, texture, true);
    ASSERT_TRUE(alpha);
    ASSERT_EQ(alpha->size(), QSize(2, 2));
    EXPECT_EQ(alpha->pixel(0, 1), qRgb(224, 223, 227)); // bottom row: transparent
    EXPECT_EQ(alpha->pixel(0, 0), qRgb(0, 0, 255));     // top row
    auto plain = ShowTexturePreview(*gl, texture, false);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->pixel(0, 1), qRgb(255, 0, 0));
    auto none = ShowTexturePreview(*gl, 0, true);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->pixel(0, 0), qRgb(224, 223, 227));
}
