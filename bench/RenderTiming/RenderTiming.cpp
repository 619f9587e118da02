// Times the drawing of a 20 000-triangle MD3 surface whose shader has three textured stages,
// through the same DrawView the window uses, and prints frames per second. Immediate mode with
// one glBegin/glEnd per triangle is what the view does; the figure shows what that costs.
// Usage: quillon-render-timing [FRAMES] [UNITS]
#include "TimingView.h"

#include "core/MD3.h"
#include "gamedata/Shaders.h"
#include "render/GLView.h"
#include "render/OGL.h"

#include <QApplication>

#include <cmath>
#include <cstdio>
#include <string>

using namespace quillon;

namespace {

// A wavy sheet of (side - 1)² × 2 triangles with texture coordinates across it.
TMD3 Sheet(int side) {
    TMD3 model;
    model.Header.numFrames = 1;
    TSurface s;
    StringToName("sheet", s.name);
    s.numFrames = 1;
    s.numShaders = 1;
    s.Shaders.resize(1);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const float px = (x - side / 2.0f) * 0.8f, py = (y - side / 2.0f) * 0.8f;
            const float pz = 4 * std::sin(px * 0.1f) * std::cos(py * 0.1f);
            s.Vertices.push_back({int16_t(px * 64), int16_t(py * 64), int16_t(pz * 64),
                                  TMD3::EncodeNormal({0, 0, 1})});
            s.TexCoords.push_back({float(x) / (side - 1), float(y) / (side - 1)});
        }
    for (int y = 0; y + 1 < side; ++y)
        for (int x = 0; x + 1 < side; ++x) {
            const int a = y * side + x, b = a + 1, c = a + side, d = c + 1;
            s.Triangles.push_back({{c, d, b}});
            s.Triangles.push_back({{c, b, a}});
        }
    s.numVerts = static_cast<uint32_t>(s.Vertices.size());
    s.numTriangles = static_cast<uint32_t>(s.Triangles.size());
    model.Header.Surfaces.push_back(s);
    return model;
}

} // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::stoi(argv[1]) : 30;
    QApplication app(argc, argv);
    TOGL gl;
    TGLView view;
    if (!OpenTimingView(gl, view, 640, 480)) {
        std::fprintf(stderr, "no GL context\n");
        return 3;
    }
    const int units = argc > 2 ? std::stoi(argv[2]) : gl.TextureUnits;

    TMD3 model = Sheet(101); // 100 × 100 × 2 = 20 000 triangles
    TShaders shaders;
    shaders.Shaders.resize(1);
    const uint8_t colours[3][3] = {{220, 180, 120}, {255, 255, 255}, {200, 220, 255}};
    for (const auto& c : colours) {
        TShaderTexture stage;
        stage.TextureHandle = CheckerTexture(c[0], c[1], c[2]);
        stage.BlendSrc = BlendDstColor;
        stage.BlendDst = BlendZero;
        shaders.Shaders[0].Stages.push_back(stage);
    }

    TView3DState state;
    state.CameraDistance = 120;
    state.TextureUnitCount = units;
    gl.Camera.Place({0, 0, 120}, {0, 0, 0}, {0, 1, 0}, 0.1f, 0.5f);
    TViewOptions options;
    options.ModelKind = TModelKind::MD3;
    TScene scene;
    scene.MD3 = &model;
    scene.Shaders = &shaders;
    TViewRenderer renderer(gl, state);
    const double rate = TimeFrames(renderer, state, scene, options, frames);
    std::printf("%u triangles, 3 stages, %d texture units: %.2f frames per second (%d frames)\n",
                model.Header.Surfaces[0].numTriangles, units, rate, frames);
    return 0;
}
