// Times the drawing of a player-sized skeletal model (53 bones, 3 surfaces of 2000 vertices with
// 3 weights each, about 11 500 triangles, one textured stage per surface) through the same
// DrawView the window uses, and prints frames per second. To show what bounds the figure it also
// times the same frame baked into an MD3 (the drawing without the posing), the overlays
// (skeleton, tags and normals, which pose every surface once more) and the posing alone.
// Usage: quillon-skeletal-render-timing [FRAMES] [UNITS]
#include "TimingView.h"

#include "gamedata/Shaders.h"
#include "render/GLView.h"
#include "render/OGL.h"
#include "skeletal/Bake.h"
#include "skeletal/Pose.h"

#include <QApplication>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

using namespace quillon;

namespace {

constexpr int Bones = 53, Surfaces = 3, Sides = 40, Rings = 50, Weights = 3, Frames = 100;
constexpr float BoneSpacing = 3;

// A chain of bones along +x whose rotations sway a few degrees from frame to frame.
TMDX Animation() {
    TMDX animation;
    animation.Bones.resize(Bones);
    for (int b = 0; b < Bones; ++b) {
        animation.Bones[b].parent = b - 1;
        animation.Bones[b].parentDist = b > 0 ? BoneSpacing : 0;
    }
    animation.Frames.resize(Frames);
    for (int f = 0; f < Frames; ++f) {
        animation.Frames[f].BoneFrames.resize(Bones);
        for (int b = 0; b < Bones; ++b) {
            const float sway = 3 * std::sin(f / 5.0f + b / 4.0f);
            animation.Frames[f].BoneFrames[b].angles[1] = int16_t(sway / MDXAngleUnit);
        }
    }
    animation.Header.numBones = Bones;
    animation.Header.numFrames = Frames;
    return animation;
}

// Three tubes along the chain, each ring hanging on the three bones nearest to it. Weight
// offsets and normals are stored with y and z mirrored, as posing expects.
TMDM Mesh() {
    TMDM mesh;
    const float length = BoneSpacing * (Bones - 1);
    for (int s = 0; s < Surfaces; ++s) {
        TMDMSurface surface;
        surface.shaderIndex = 0;
        for (int r = 0; r < Rings; ++r) {
            const float x = length * r / (Rings - 1);
            const int nearest = std::min(std::max(int(x / BoneSpacing), 1), Bones - 2);
            for (int k = 0; k < Sides; ++k) {
                const float angle = 6.2831853f * k / Sides;
                const TVector p{x, 12.0f * (s - 1) + 4 * std::cos(angle), 4 * std::sin(angle)};
                TMDMVertex vertex;
                vertex.normal = {0, -std::cos(angle), -std::sin(angle)};
                vertex.texCoords[0] = float(k) / Sides;
                vertex.texCoords[1] = float(r) / Rings;
                for (int w = 0; w < Weights; ++w) {
                    const int bone = nearest - 1 + w;
                    const TVector d{p.x - BoneSpacing * bone, p.y, p.z};
                    vertex.Weights.push_back({bone, 1.0f / Weights, {d.x, -d.y, -d.z}});
                }
                vertex.numWeights = Weights;
                surface.Vertices.push_back(vertex);
            }
        }
        for (int r = 0; r + 1 < Rings; ++r)
            for (int k = 0; k < Sides - 1; ++k) {
                const int a = r * Sides + k, b = a + Sides;
                surface.Triangles.push_back({{a, b + 1, b}});
                surface.Triangles.push_back({{a, a + 1, b + 1}});
            }
        surface.numVerts = uint32_t(surface.Vertices.size());
        surface.numTriangles = uint32_t(surface.Triangles.size());
        mesh.Surfaces.push_back(surface);
    }
    mesh.Header.numSurfaces = Surfaces;
    mesh.Tags.resize(4);
    for (int t = 0; t < 4; ++t)
        mesh.Tags[t].boneIndex = t * 10;
    mesh.Header.numTags = 4;
    return mesh;
}

TShaders OneSkinStage() {
    TShaders shaders;
    shaders.Shaders.resize(1);
    TShaderTexture stage;
    stage.TextureHandle = CheckerTexture(220, 180, 120);
    stage.BlendSrc = BlendOne;
    stage.BlendDst = BlendZero;
    shaders.Shaders[0].Stages.push_back(stage);
    return shaders;
}

// Microseconds to pose every surface of one frame, averaged over the animation.
double PosingMicroseconds(TMDM& mesh, const TMDX& animation) {
    const auto start = std::chrono::steady_clock::now();
    for (int f = 0; f < Frames; ++f) {
        PoseSkeleton(mesh, animation, f);
        for (int s = 0; s < Surfaces; ++s)
            PoseSurface(mesh, s);
    }
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
               .count() /
           Frames;
}

} // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::stoi(argv[1]) : 60;
    QApplication app(argc, argv);
    TOGL gl;
    TGLView view;
    if (!OpenTimingView(gl, view, 640, 480)) {
        std::fprintf(stderr, "no GL context\n");
        return 3;
    }
    const int units = argc > 2 ? std::stoi(argv[2]) : gl.TextureUnits;

    TMDM mesh = Mesh();
    const TMDX animation = Animation();
    TShaders shaders = OneSkinStage();
    TMD3 baked;
    if (auto error = BakeToMD3(mesh, animation, 0, 0, baked)) {
        std::fprintf(stderr, "%s\n", error->c_str());
        return 1;
    }
    for (TSurface& surface : baked.Header.Surfaces)
        surface.Shaders[0].shaderIndex = 0;

    TView3DState state;
    state.CameraDistance = 200;
    state.TextureUnitCount = units;
    state.PivotOffset = {-78, 0, 0};
    gl.Camera.Place({0, 0, 200}, {0, 0, 0}, {0, 1, 0}, 0.1f, 0.5f);
    TScene scene;
    scene.MDM = &mesh;
    scene.MDX = &animation;
    scene.Shaders = &shaders;
    TViewOptions options;
    options.ModelKind = TModelKind::Skeletal;
    options.ShowTags = options.ShowSkeleton = false;
    TViewRenderer renderer(gl, state);

    const double skeletal = TimeFrames(renderer, state, scene, options, frames);
    options.ShowTags = options.ShowSkeleton = options.ShowNormals = true;
    const double overlays = TimeFrames(renderer, state, scene, options, frames);
    options.ShowTags = options.ShowSkeleton = options.ShowNormals = false;
    TScene bakedScene;
    bakedScene.MD3 = &baked;
    bakedScene.Shaders = &shaders;
    options.ModelKind = TModelKind::MD3;
    const double md3 = TimeFrames(renderer, state, bakedScene, options, frames);

    size_t triangles = 0;
    for (const TMDMSurface& surface : mesh.Surfaces)
        triangles += surface.Triangles.size();
    std::printf("%d bones, %d surfaces, %d vertices, %zu triangles, 1 stage, %d texture units\n",
                Bones, Surfaces, Surfaces * Sides * Rings, triangles, units);
    std::printf("DrawSkeletal: %.2f frames per second\n", skeletal);
    std::printf("DrawSkeletal with skeleton, tags and normals: %.2f frames per second\n", overlays);
    std::printf("the same frame baked, DrawMD3: %.2f frames per second\n", md3);
    std::printf("posing all surfaces of a frame: %.0f microseconds\n",
                PosingMicroseconds(mesh, animation));
    return 0;
}
