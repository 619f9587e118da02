// Draws a model the way the view does and writes the frame as a PNG, for looking at models and
// their skins without the window. The model is an MD3 file, or an MDM mesh followed by its MDX
// animation. Each SURFACE=IMAGE argument gives a surface its image (an image without alpha is
// opaque; with alpha it is alpha-tested as a skin would be). The model is turned upright to face
// the camera as the game shows it, unless --rotate gives other angles (0,0,0 looks down z).
// Usage: quillon-render-snapshot MODEL.md3|MESH.mdm ANIM.mdx OUT.png [--frame N] [--lighting]
//        [--skeleton] [--tags] [--normals] [--lod] [--pivot N] [--rotate X,Y,Z] [SURFACE=IMAGE...]
#include "render/GLView.h"
#include "render/OGL.h"
#include "render/ViewNavigation.h"
#include "render/ViewRenderer.h"

#include "core/MD3.h"
#include "gamedata/Shaders.h"
#include "skeletal/MDM.h"
#include "skeletal/MDX.h"

#include <QApplication>

#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

using namespace quillon;

namespace {

bool IsMesh(const std::string& path) {
    return QString::fromStdString(path).endsWith(".mdm", Qt::CaseInsensitive);
}

struct TSnapshot {
    std::vector<std::string> Files; // model file(s) then the PNG
    std::map<std::string, std::string> Images;
    TViewOptions Options;
    TVector Rotation{-90, 0, -90};
};

TSnapshot ParseArguments(int argc, char** argv) {
    TSnapshot snapshot;
    snapshot.Options.ShowTags = false;
    snapshot.Options.ShowSkeleton = false;
    snapshot.Options.Lighting = false;
    TViewOptions& options = snapshot.Options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--lighting")
            options.Lighting = true;
        else if (arg == "--skeleton")
            options.ShowSkeleton = true;
        else if (arg == "--tags")
            options.ShowTags = true;
        else if (arg == "--normals")
            options.ShowNormals = true;
        else if (arg == "--lod")
            options.LODEnabled = true;
        else if (arg == "--frame" && hasValue)
            options.CurrentFrame = std::stoi(argv[++i]);
        else if (arg == "--pivot" && hasValue) {
            options.CenterModel = false;
            options.PivotIndex = std::stoi(argv[++i]);
        } else if (arg == "--rotate" && hasValue) {
            TVector& r = snapshot.Rotation;
            if (std::sscanf(argv[++i], "%f,%f,%f", &r.x, &r.y, &r.z) != 3)
                r = {-90, 0, -90};
        } else if (const size_t eq = arg.find('='); eq != std::string::npos)
            snapshot.Images[arg.substr(0, eq)] = arg.substr(eq + 1);
        else
            snapshot.Files.push_back(arg);
    }
    return snapshot;
}

// A shader with one stage showing `image`, added for a surface named in the arguments.
int AddImageShader(TOGL& gl, TShaders& shaders, const std::string& image) {
    const int index = shaders.AddPlainTexture(image, 0);
    TShaderTexture& stage = shaders.Shaders[index].Stages[0];
    stage.TextureHandle = gl.Textures.LoadTexture(image, 1.0f);
    stage.HasAlpha = gl.Textures.TextureHasAlpha(stage.TextureHandle);
    if (stage.HasAlpha) {
        stage.AlphaFunc = 3;
        stage.BlendSrc = BlendSrcAlpha;
        stage.BlendDst = BlendOneMinusSrcAlpha;
    }
    return index;
}

int SurfaceShader(TOGL& gl, TShaders& shaders, const TSnapshot& snapshot, const std::string& name) {
    const auto image = snapshot.Images.find(name);
    return image == snapshot.Images.end() ? -1 : AddImageShader(gl, shaders, image->second);
}

} // namespace

int main(int argc, char** argv) {
    TSnapshot snapshot = ParseArguments(argc, argv);
    const bool skeletal = !snapshot.Files.empty() && IsMesh(snapshot.Files[0]);
    if (snapshot.Files.size() != (skeletal ? 3u : 2u)) {
        std::cerr << "usage: quillon-render-snapshot MODEL.md3|MESH.mdm ANIM.mdx OUT.png "
                     "[--frame N] [--lighting] [--skeleton] [--tags] [--normals] [--lod] "
                     "[--pivot N] [--rotate X,Y,Z] [SURFACE=IMAGE...]\n";
        return 2;
    }
    QApplication app(argc, argv);
    TMD3 model;
    TMDM mesh;
    TMDX animation;
    const std::string& first = snapshot.Files[0];
    if (skeletal ? !mesh.LoadFromFile(first) || !animation.LoadFromFile(snapshot.Files[1])
                 : !model.LoadFromFile(first)) {
        std::cerr << first << ": cannot read the model\n";
        return 1;
    }
    snapshot.Options.ModelKind = skeletal ? TModelKind::Skeletal : TModelKind::MD3;

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
    for (TSurface& surface : model.Header.Surfaces)
        if (!surface.Shaders.empty())
            surface.Shaders[0].shaderIndex =
                SurfaceShader(gl, shaders, snapshot, NameToString(surface.name));
    for (TMDMSurface& surface : mesh.Surfaces)
        surface.shaderIndex = SurfaceShader(gl, shaders, snapshot, NameToString(surface.name));

    TView3DState state;
    state.TextureUnitCount = gl.TextureUnits;
    const auto bounds = skeletal ? TViewNavigation::SkeletalBounds(mesh, animation)
                                 : TViewNavigation::MD3Bounds(model);
    TViewNavigation(state, gl.Camera).ResetAndFit(snapshot.Options, true, bounds);
    state.ModelRotation = snapshot.Rotation;
    gl.Camera.Target = VectorZero();
    TScene scene;
    scene.MD3 = &model;
    scene.MDM = &mesh;
    scene.MDX = &animation;
    scene.Shaders = &shaders;
    TViewRenderer(gl, state).DrawView(scene, snapshot.Options);
    const QImage frame = view.grabFramebuffer();
    const std::string& out = snapshot.Files.back();
    if (!frame.save(QString::fromStdString(out))) {
        std::cerr << out << ": cannot write\n";
        return 3;
    }
    return 0;
}
