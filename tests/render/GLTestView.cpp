#include "GLTestView.h"

#include "images/JpegCodec.h"
#include "render/GLView.h"

#include <GL/gl.h>
#include <QApplication>
#include <gtest/gtest.h>

#include <fstream>

namespace quillon::test {

namespace {

int argc = 1;
char name[] = "render_gl_tests";
char* argv[] = {name, nullptr};
QApplication* app = nullptr;
GLWorld* world = nullptr;

// Tears the world down in the program's order (context, panel, application) before the
// statics go, so nothing outlives the application it belongs to.
class GLEnvironment : public ::testing::Environment {
public:
    void TearDown() override {
        if (!world)
            return;
        world->Context->DestroyContext();
        delete world->View;
        delete world->Context;
        delete world;
        world = nullptr;
        delete app;
        app = nullptr;
    }
};

const bool registered = (::testing::AddGlobalTestEnvironment(new GLEnvironment), true);

} // namespace

GLWorld& World() {
    if (!world) {
        app = new QApplication(argc, argv);
        auto* w = new GLWorld;
        w->Context = new TOGL;
        w->Context->ErrorHandler = [w](int code) { w->Errors.push_back(code); };
        w->View = new TGLView;
        w->View->resize(160, 120);
        w->Context->CreateContext(w->View);
        w->View->show();
        for (int i = 0; i < 200 && !w->Context->IsActive(); ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        world = w;
    }
    return *world;
}

bool GLAvailable() {
    return World().Context->IsActive();
}

TPixel ReadPixel(int x, int y) {
    TOGL& gl = *World().Context;
    gl.EnsureCurrent();
    uint8_t rgb[3] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, gl.ViewportHeight - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

bool Near(const TPixel& a, const TPixel& b, int tolerance) {
    for (int k = 0; k < 3; ++k)
        if (std::abs(a[k] - b[k]) > tolerance)
            return false;
    return true;
}

TMD3 SquareModel(float size, TVector normal, int shaderIndex) {
    TMD3 model;
    model.Header.numFrames = 1;
    model.Header.numSurfaces = 1;
    TSurface surface;
    StringToName("square", surface.name);
    surface.numFrames = 1;
    surface.numVerts = 4;
    surface.numTriangles = 2;
    surface.numShaders = 1;
    TMD3Shader shader;
    StringToName("square", shader.name);
    shader.shaderIndex = shaderIndex;
    surface.Shaders.push_back(shader);
    const float h = size / 2;
    const TVector corners[4] = {{-h, -h, 0}, {h, -h, 0}, {h, h, 0}, {-h, h, 0}};
    const TMD3TexCoord st[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int v = 0; v < 4; ++v) {
        surface.Vertices.push_back({int16_t(corners[v].x * 64), int16_t(corners[v].y * 64),
                                    int16_t(corners[v].z * 64), TMD3::EncodeNormal(normal)});
        surface.TexCoords.push_back(st[v]);
    }
    // Clockwise seen from +z: the view's front faces.
    surface.Triangles.push_back({{3, 2, 1}});
    surface.Triangles.push_back({{3, 1, 0}});
    model.Header.Surfaces.push_back(surface);
    return model;
}

void WriteTga(const std::string& path, int width, int height,
              const std::vector<std::array<uint8_t, 4>>& pixels, bool withAlpha) {
    std::vector<uint8_t> bytes(18, 0);
    bytes[2] = 2;
    bytes[12] = width & 0xFF;
    bytes[13] = width >> 8;
    bytes[14] = height & 0xFF;
    bytes[15] = height >> 8;
    bytes[16] = withAlpha ? 32 : 24;
    for (const auto& p : pixels) {
        bytes.insert(bytes.end(), {p[2], p[1], p[0]});
        if (withAlpha)
            bytes.push_back(p[3]);
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void WriteSolidJpeg(const std::string& path, int size, std::array<uint8_t, 3> colour) {
    std::vector<uint8_t> rgb;
    for (int i = 0; i < size * size; ++i)
        rgb.insert(rgb.end(), colour.begin(), colour.end());
    const auto bytes = EncodeJpeg(rgb, size, size, 95);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TView3DState HeadOnState() {
    TView3DState state;
    state.CameraDistance = 100;
    state.TextureUnitCount = World().Context->TextureUnits;
    TCamera& camera = World().Context->Camera;
    camera.Place({0, 0, 100}, {0, 0, 0}, {0, 1, 0}, 0.1f, 0.5f);
    return state;
}

TViewOptions PlainOptions() {
    TViewOptions options;
    options.ModelKind = TModelKind::MD3;
    options.Lighting = false;
    options.ShowTags = false;
    options.CenterModel = true;
    return options;
}

} // namespace quillon::test
