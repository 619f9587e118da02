// Drawing of skeletal models read back from the panel: the posed surfaces through the texture
// passes, the skeleton, tag and normal overlays, the pivot and the LOD preview.
#include "GLTestView.h"
#include "support/MD3Builder.h"

#include "render/SkeletalDrawer.h"
#include "skeletal/MDM.h"
#include "skeletal/MDX.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

using namespace quillon;
using namespace quillon::test;

namespace {

constexpr TPixel White{255, 255, 255};
constexpr TPixel Orange{255, 128, 0};
constexpr TPixel BoneYellow{255, 230, 0};

// A square of side 40 facing the camera, hanging on bone 0 of a chain of three bones along +x
// (10 units apart). Posing mirrors y and z, so the offsets and the normal are stored mirrored;
// t runs top to bottom as the game's files hold it. Tag 0 sits on bone 2.
struct SkeletalSquare {
    TMDM Mesh;
    TMDX Animation;

    SkeletalSquare() {
        TMDMSurface surface;
        StringToName("square", surface.name);
        surface.shaderIndex = 0;
        const float h = 20;
        const TVector corners[4] = {{-h, -h, 0}, {h, -h, 0}, {h, h, 0}, {-h, h, 0}};
        const float st[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
        for (int v = 0; v < 4; ++v) {
            TMDMVertex vertex;
            vertex.normal = {0, 0, -1};
            vertex.texCoords[0] = st[v][0];
            vertex.texCoords[1] = st[v][1];
            vertex.numWeights = 1;
            vertex.Weights.push_back({0, 1.0f, {corners[v].x, -corners[v].y, 0}});
            surface.Vertices.push_back(vertex);
        }
        surface.Triangles = {{{3, 2, 1}}, {{3, 1, 0}}}; // clockwise seen from the camera
        surface.CollapseMap = {0, 0, 0, 0};
        surface.numVerts = 4;
        surface.numTriangles = 2;
        Mesh.Surfaces.push_back(surface);
        Mesh.Header.numSurfaces = 1;
        Mesh.LODTable[0] = {4, 4};
        TMDMTag tag;
        StringToName("tag_end", tag.name);
        tag.boneIndex = 2;
        tag.axis[0] = {1, 0, 0};
        tag.axis[1] = {0, 1, 0};
        tag.axis[2] = {0, 0, 1};
        Mesh.Tags.push_back(tag);
        Mesh.Header.numTags = 1;

        for (int b = 0; b < 3; ++b) {
            TMDXBoneInfo bone;
            bone.parent = b - 1;
            bone.parentDist = b == 0 ? 0 : 10;
            Animation.Bones.push_back(bone);
        }
        Animation.Frames.resize(2);
        for (TMDXFrame& frame : Animation.Frames)
            frame.BoneFrames.resize(3);
        Animation.Header.numFrames = 2;
        Animation.Header.numBones = 3;
    }
};

// The triangles a drawing sends, counted in GL's feedback mode.
int CountTriangles(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint values = glRenderMode(GL_RENDER);
    int triangles = 0;
    for (GLint i = 0; i < values;) {
        const auto token = static_cast<GLint>(buffer[i]);
        if (token == GL_POLYGON_TOKEN) {
            ++triangles;
            i += 2 + static_cast<GLint>(buffer[i + 1]) * 3;
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            i += 1 + 2 * 3;
        } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN ||
                   token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN) {
            i += 1 + 3;
        } else {
            i += 2; // pass-through token and its value
        }
    }
    return triangles;
}

// Whether some pixel within 3 of (x, y) is near `colour`: lines may fall on either side.
bool AreaHas(int x, int y, const TPixel& colour, int tolerance = 12) {
    for (int row = y - 3; row <= y + 3; ++row)
        for (int column = x - 3; column <= x + 3; ++column)
            if (Near(ReadPixel(column, row), colour, tolerance))
                return true;
    return false;
}

class SkeletalGL : public ::testing::Test {
protected:
    void SetUp() override {
        if (!GLAvailable())
            GTEST_SKIP() << "no GL context (run under xvfb-run)";
        gl = World().Context;
        options = PlainOptions();
        options.ModelKind = TModelKind::Skeletal;
        options.ShowSkeleton = false;
    }
    void TearDown() override {
        if (gl)
            gl->Textures.ReleaseAll();
    }
    void Draw(TShaders* shaders = nullptr, TView3DState state = HeadOnState()) {
        TScene scene;
        scene.MDM = &model.Mesh;
        scene.MDX = &model.Animation;
        scene.Shaders = shaders;
        TViewRenderer(*gl, state).DrawView(scene, options);
    }
    void DrawInFrame(const std::function<void(TViewRenderer&)>& draw) {
        TView3DState state = HeadOnState();
        TViewRenderer renderer(*gl, state);
        gl->EnsureCurrent();
        gl->ApplyProjection();
        renderer.BeginFrameState();
        renderer.PlaceCameraAndModel(false);
        draw(renderer);
        glPopMatrix();
    }

    TOGL* gl = nullptr;
    TViewOptions options;
    SkeletalSquare model;
    TempDir dir;
};

} // namespace

TEST_F(SkeletalGL, TextureIsDrawnWithTFlippedOnEveryUnitCount) {
    const std::string path = dir.File("rows.tga");
    // Bottom rows green, top rows red: upright, the square shows red above green.
    WriteTga(path, 1, 4, {{0, 200, 0, 255}, {0, 200, 0, 255}, {200, 0, 0, 255}, {200, 0, 0, 255}},
             false);
    TShaders shaders;
    shaders.AddPlainTexture(path, 0);
    shaders.Shaders[0].Stages[0].TextureHandle = gl->Textures.LoadTexture(path, 1.0f);
    for (int units : {gl->TextureUnits, 2, 1}) {
        TView3DState state = HeadOnState();
        state.TextureUnitCount = units;
        Draw(&shaders, state);
        EXPECT_TRUE(Near(ReadPixel(80, 48), {200, 0, 0}, 6)) << units << " units";
        EXPECT_TRUE(Near(ReadPixel(80, 72), {0, 200, 0}, 6)) << units << " units";
    }
}

TEST_F(SkeletalGL, SkeletonIsOrangeWithLargeRootAndSmallBonePoints) {
    options.ShowSkeleton = true;
    Draw();
    // Bones at x = 0, 10, 20 units: 12 pixels apart from the centre.
    EXPECT_TRUE(AreaHas(86, 60, Orange));
    EXPECT_TRUE(AreaHas(98, 60, Orange));
    EXPECT_TRUE(Near(ReadPixel(80, 56), BoneYellow, 12)); // inside the root's 10-pixel point
    EXPECT_TRUE(Near(ReadPixel(92, 59), BoneYellow, 12));
    EXPECT_FALSE(Near(ReadPixel(92, 56), BoneYellow, 40)); // beyond a 4-pixel point
    EXPECT_TRUE(Near(ReadPixel(92, 56), White));           // the square behind it

    options.ShowSkeleton = false;
    Draw();
    EXPECT_TRUE(Near(ReadPixel(86, 60), White));
}

TEST_F(SkeletalGL, TagAxesAndNormalsAreDrawnOverTheModel) {
    options.ShowTags = true;
    Draw();
    // Tag on bone 2 at x = 20: its red x axis runs right from pixel 104, its green y axis up.
    EXPECT_TRUE(AreaHas(110, 60, {255, 0, 0}));
    EXPECT_TRUE(AreaHas(104, 52, {0, 255, 0}));
    EXPECT_FALSE(AreaHas(110, 52, {0, 255, 0}));

    options.ShowTags = false;
    options.ShowNormals = true;
    for (TMDMVertex& vertex : model.Mesh.Surfaces[0].Vertices)
        vertex.normal = {1, 0, 0}; // in the square's plane: the lines lie flat, pointing right
    Draw();
    // The first triangle's centre is (6.7, 6.7): its normal line starts at pixel (88, 52).
    EXPECT_TRUE(AreaHas(90, 52, {77, 179, 26}, 20));
}

TEST_F(SkeletalGL, PivotCentresTheChosenTagAndOriginLeavesTheModel) {
    options.CenterModel = false;
    options.PivotIndex = 0;
    Draw();
    // The tag at x = 20 moves to the centre: the square spans pixels 32 to 80.
    EXPECT_TRUE(Near(ReadPixel(40, 60), White));
    EXPECT_FALSE(Near(ReadPixel(100, 60), White, 20));

    options.PivotIndex = 1; // "origin"
    Draw();
    EXPECT_TRUE(Near(ReadPixel(100, 60), White));
    EXPECT_FALSE(Near(ReadPixel(40, 60), White, 20));
}

TEST_F(SkeletalGL, PivotFollowsTheFrameDrawn) {
    // In frame 1 bone 1 leaves bone 0 at a yaw of 90 degrees, along -y: the tag on bone 2 moves
    // from (20, 0, 0) to (10, -10, 0).
    model.Animation.Frames[1].BoneFrames[1].ofsAngles[1] = 16384;
    const TVector frame0 = TSkeletalDrawer::Pivot(model.Mesh, model.Animation, 0, 0);
    const TVector frame1 = TSkeletalDrawer::Pivot(model.Mesh, model.Animation, 0, 1);
    EXPECT_NEAR(frame0.x, -20, 1e-4);
    EXPECT_NEAR(frame1.x, -10, 1e-4);
    EXPECT_NEAR(frame1.y, 10, 1e-4);
    EXPECT_EQ(TSkeletalDrawer::Pivot(model.Mesh, model.Animation, 0, 2), VectorZero());
    EXPECT_EQ(TSkeletalDrawer::Pivot(model.Mesh, model.Animation, 1, 0), VectorZero());
    EXPECT_EQ(TSkeletalDrawer::Pivot(model.Mesh, model.Animation, -1, 0), VectorZero());
}

TEST_F(SkeletalGL, LodPreviewDrawsTheReducedSurfaceWithoutOverlays) {
    // Vertex 3 merges into 0, vertex 2 into 1: with three vertices one triangle is left, with
    // two none.
    model.Mesh.Surfaces[0].CollapseMap = {0, 0, 1, 0};
    options.LODEnabled = true;
    options.ShowSkeleton = true;
    options.ShowTags = true;
    Draw();
    EXPECT_TRUE(Near(ReadPixel(70, 50), White)); // full: both triangles, front faces kept
    EXPECT_TRUE(Near(ReadPixel(95, 70), White));
    EXPECT_FALSE(Near(ReadPixel(80, 56), BoneYellow, 40)); // no skeleton
    EXPECT_FALSE(AreaHas(108, 60, {255, 0, 0}));           // no tags

    model.Mesh.LODTable[0].minLod = 3;
    Draw();
    EXPECT_TRUE(Near(ReadPixel(95, 70), White)); // the lower right half remains
    EXPECT_FALSE(Near(ReadPixel(65, 50), White, 20));

    auto count = [&](int n) {
        int triangles = 0;
        DrawInFrame([&](TViewRenderer&) {
            triangles = CountTriangles(
                [&] { TSkeletalDrawer::DrawReduced(model.Mesh, model.Animation, 0, 0, n); });
        });
        return triangles;
    };
    EXPECT_EQ(count(4), 2);
    EXPECT_EQ(count(3), 1);
    EXPECT_EQ(count(2), 0);
    EXPECT_EQ(count(0), 0);
}

TEST_F(SkeletalGL, FullDrawingSendsEveryTriangleOncePerBatch) {
    int triangles = 0;
    options.ShowSkeleton = true;
    DrawInFrame([&](TViewRenderer& renderer) {
        triangles = CountTriangles(
            [&] { renderer.DrawSkeletal(model.Mesh, model.Animation, nullptr, options); });
    });
    EXPECT_EQ(triangles, 2);
}

TEST_F(SkeletalGL, FramesBonesAndIndicesOutsideTheModelDrawNothing) {
    options.CurrentFrame = 2;
    Draw();
    EXPECT_FALSE(Near(ReadPixel(80, 60), White, 20));

    options.CurrentFrame = 0;
    model.Mesh.Surfaces[0].Triangles[0].indexes[1] = 4;
    model.Mesh.Surfaces[0].Triangles[1].indexes[2] = -1;
    Draw();
    EXPECT_FALSE(Near(ReadPixel(80, 60), White, 20));

    SkeletalSquare boneless;
    boneless.Animation.Bones.clear();
    boneless.Animation.Header.numBones = 0;
    for (TMDXFrame& frame : boneless.Animation.Frames)
        frame.BoneFrames.clear();
    model = boneless;
    options.ShowSkeleton = options.ShowTags = options.ShowNormals = true;
    Draw();
    EXPECT_FALSE(Near(ReadPixel(70, 50), White, 20));

    // Weights and tags naming bones the animation lacks draw without reading outside it.
    SkeletalSquare strayBones;
    for (TMDMVertex& vertex : strayBones.Mesh.Surfaces[0].Vertices)
        vertex.Weights[0].boneIndex = 7;
    strayBones.Mesh.Tags[0].boneIndex = -3;
    model = strayBones;
    for (bool lod : {true, false}) {
        options.LODEnabled = lod;
        Draw();
        EXPECT_FALSE(Near(ReadPixel(70, 50), White, 20)); // every vertex posed to the origin
    }
}
