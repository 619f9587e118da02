// Draws an MD3 model the way the view does and writes the frame as a PNG, for looking at models
// and their skins without the window. Each SURFACE=IMAGE argument gives a surface its image
// (an image without alpha is opaque; with alpha it is alpha-tested as a skin would be).
// Usage: quillon-render-snapshot MODEL.md3 OUT.png [--frame N] [--lighting] [SURFACE=IMAGE...]
#include "render/GLView.h"
#include "render/OGL.h"
#include "render/ViewNavigation.h"
#include "render/ViewRenderer.h"

#include "core/MD3.h"
#include "gamedata/Shaders.h"

#include <QApplication>

#include <iostream>
#include <map>
#include <string>

using namespace quillon;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: quillon-render-snapshot MODEL.md3 OUT.png [--frame N] [--lighting] "
                     "[SURFACE=IMAGE...]\n";
        return 2;
    }
    QApplication app(argc, argv);
    TMD3 model;
    if (!model.LoadFromFile(argv[1])) {
        std::cerr << argv[1] << ": not an MD3 file\n";
        return 1;
    }
    TViewOptions options;
    options.ModelKind = TModelKind::MD3;
    options.ShowTags = true;
    options.Lighting = false;
    std::map<std::string, std::string> images;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--lighting")
            options.Lighting = true;
        else if (arg == "--frame" && i + 1 < argc)
            options.CurrentFrame = std::stoi(argv[++i]);
        else if (const size_t eq = arg.find('='); eq != std::string::npos)
            images[arg.substr(0, eq)] = arg.substr(eq + 1);
    }

    TOGL gl;
    TGLView view;
    view.resize(480, 480);
    gl.CreateContext(&view);
    view.show();
    for (int i = 0; i < 200 && !gl.IsActive(); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!gl.IsActive()) {
        std::cerr << "no GL context\n";
        return 3;
    }

    TShaders shaders;
    for (TSurface& surface : model.Header.Surfaces) {
        if (surface.Shaders.empty())
            continue;
        surface.Shaders[0].shaderIndex = -1;
        const auto image = images.find(NameToString(surface.name));
        if (image == images.end())
            continue;
        const int index = shaders.AddPlainTexture(image->second, 0);
        TShaderTexture& stage = shaders.Shaders[index].Stages[0];
        stage.TextureHandle = gl.Textures.LoadTexture(image->second, 1.0f);
        stage.HasAlpha = gl.Textures.TextureHasAlpha(stage.TextureHandle);
        if (stage.HasAlpha) {
            stage.AlphaFunc = 3;
            stage.BlendSrc = BlendSrcAlpha;
            stage.BlendDst = BlendOneMinusSrcAlpha;
        }
        surface.Shaders[0].shaderIndex = index;
    }

    TView3DState state;
    state.TextureUnitCount = gl.TextureUnits;
    TViewNavigation(state, gl.Camera).ResetAndFit(options, true, TViewNavigation::MD3Bounds(model));
    // Models stand on the z axis; turn them upright and face the camera as the game shows them.
    state.ModelRotation = {-90, 0, -90};
    gl.Camera.Target = VectorZero();
    TScene scene;
    scene.MD3 = &model;
    scene.Shaders = &shaders;
    TViewRenderer(gl, state).DrawView(scene, options);
    const QImage frame = view.grabFramebuffer();
    if (!frame.save(argv[2])) {
        std::cerr << argv[2] << ": cannot write\n";
        return 3;
    }
    return 0;
}
