// Mouse, wheel and fit rules of the 3D view, without GL.
#include "render/ViewNavigation.h"
#include "support/MD3Builder.h"

#include "core/MD3.h"
#include "skeletal/MDM.h"
#include "skeletal/MDX.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quillon;

namespace {

TMD3 OneFrameModel(std::initializer_list<TVector> points) {
    TMD3 model;
    model.Header.numFrames = 1;
    TSurface surface;
    surface.numFrames = 1;
    for (TVector p : points)
        surface.Vertices.push_back({int16_t(p.x * 64), int16_t(p.y * 64), int16_t(p.z * 64), 0});
    surface.numVerts = static_cast<uint32_t>(surface.Vertices.size());
    model.Header.Surfaces.push_back(surface);
    return model;
}

struct Navigation : ::testing::Test {
    TView3DState state;
    TCamera camera;
    TViewNavigation nav{state, camera};
    TViewOptions options;
};

} // namespace

TEST_F(Navigation, FitOfExtent64GivesDistance74AndCentresTheBox) {
    const TMD3 model = OneFrameModel({{-40, 0, 0}, {-8, 10, 20}, {-30, -6, 64}});
    nav.ResetAndFit(options, true, TViewNavigation::MD3Bounds(model));
    EXPECT_EQ(state.CameraDistance, 74);
    EXPECT_EQ(camera.Position, (TVector{0, 0, 74}));
    EXPECT_EQ(camera.Target, VectorZero());
    EXPECT_EQ(state.PivotOffset, (TVector{24, -2, -32})); // centre x is negative
    EXPECT_EQ(state.ModelRotation, VectorZero());
}

TEST_F(Navigation, ResetWithoutModelOrVerticesKeepsTheDistance) {
    TMD3 empty;
    nav.ResetAndFit(options, false, TViewNavigation::MD3Bounds(empty));
    EXPECT_EQ(state.ModelRotation, (TVector{90, 0, 0}));
    EXPECT_EQ(state.CameraDistance, 500);
    EXPECT_EQ(camera.Target, (TVector{0, 1, 1})); // the context was not active

    TMD3 noVertices;
    noVertices.Header.numFrames = 1;
    EXPECT_FALSE(TViewNavigation::MD3Bounds(noVertices));
}

TEST_F(Navigation, SkeletalFitUsesEverySurfacePosedInFrameZero) {
    // One root bone turned by a yaw of 90 degrees in frame 0: offset (1, 0, 0) poses to (0, 1, 0).
    TMDX animation;
    animation.Bones.resize(1);
    animation.Frames.resize(2);
    animation.Frames[0].BoneFrames.resize(1);
    animation.Frames[0].BoneFrames[0].angles[1] = 16384;
    animation.Frames[1].BoneFrames.resize(1);
    animation.Header.numFrames = 2;
    animation.Header.numBones = 1;
    TMDM mesh;
    for (TVector offset : {TVector{1, 0, 0}, TVector{0, 0, 30}}) {
        TMDMSurface surface;
        TMDMVertex vertex;
        vertex.Weights.push_back({0, 1.0f, offset});
        surface.Vertices.push_back(vertex);
        mesh.Surfaces.push_back(surface);
    }
    const auto bounds = TViewNavigation::SkeletalBounds(mesh, animation);
    ASSERT_TRUE(bounds);
    EXPECT_NEAR(bounds->Min.y, 0, 1e-5);
    EXPECT_NEAR(bounds->Max.y, 1, 1e-5);
    EXPECT_NEAR(bounds->Min.z, -30, 1e-5); // posing turns the file's z around
    EXPECT_NEAR(bounds->Max.z, 0, 1e-5);
    nav.ResetAndFit(options, true, bounds);
    EXPECT_EQ(state.CameraDistance, 35);
    EXPECT_NEAR(state.PivotOffset.z, 15, 1e-5);

    animation.Frames.clear();
    animation.Header.numFrames = 0;
    EXPECT_FALSE(TViewNavigation::SkeletalBounds(mesh, animation));
    TMDM noSurfaces;
    animation.Frames.resize(1);
    animation.Frames[0].BoneFrames.resize(1);
    animation.Header.numFrames = 1;
    EXPECT_FALSE(TViewNavigation::SkeletalBounds(noSurfaces, animation));
}

TEST_F(Navigation, WheelStepsStopAtTheLimits) {
    state.CameraDistance = 4999;
    EXPECT_TRUE(nav.Wheel(true, true, options));
    EXPECT_EQ(state.CameraDistance, 5004);
    EXPECT_EQ(camera.Position.z, 5004);
    state.CameraDistance = 5000;
    EXPECT_FALSE(nav.Wheel(true, true, options));
    EXPECT_EQ(state.CameraDistance, 5000);
    state.CameraDistance = 11;
    EXPECT_TRUE(nav.Wheel(false, true, options));
    EXPECT_EQ(state.CameraDistance, 6);
    state.CameraDistance = 10;
    EXPECT_FALSE(nav.Wheel(false, true, options));
    EXPECT_FALSE(nav.Wheel(true, false, options)); // pointer outside the panel
    EXPECT_EQ(state.CameraDistance, 10);
}

TEST_F(Navigation, LockViewAndOtherTabsFreezeEverything) {
    const TMD3 model = OneFrameModel({{0, 0, 0}, {64, 0, 0}});
    options.LockView = true;
    nav.MouseMove({.Left = true}, 50, 50, options);
    EXPECT_FALSE(nav.Wheel(true, true, options));
    nav.ResetAndFit(options, true, TViewNavigation::MD3Bounds(model));
    EXPECT_EQ(state.LastMouseX, 0);
    EXPECT_EQ(state.ModelRotation, VectorZero());
    EXPECT_EQ(state.CameraDistance, 500);
    options.LockView = false;
    options.ViewTabActive = false;
    nav.MouseMove({.Left = true}, 50, 50, options);
    EXPECT_EQ(state.LastMouseX, 0);
}

TEST_F(Navigation, DragsMeasureFromTheLastRecordedPosition) {
    nav.MouseMove({}, 10, 20, options); // no button: only recorded
    EXPECT_EQ(state.ModelRotation, VectorZero());
    nav.MouseMove({.Left = true}, 15, 22, options);
    EXPECT_FLOAT_EQ(state.ModelRotation.x, 2.0f); // 2 px × 2 × 0.5
    EXPECT_FLOAT_EQ(state.ModelRotation.y, 1.0f); // 5 px × 2 × 0.1
    EXPECT_EQ(camera.Target, VectorZero());
    nav.MouseMove({.Right = true}, 20, 23, options);
    EXPECT_FLOAT_EQ(state.ModelRotation.y, 2.0f);
    EXPECT_FLOAT_EQ(state.ModelRotation.z, -1.0f);
}

TEST_F(Navigation, ShiftDragPansAcrossTheView) {
    camera.Place({0, 0, 100}, {0, 0, 0}, {0, 1, 0}, 0.1f, 0.5f);
    nav.MouseMove({.Left = true, .Shift = true}, 10, 0, options);
    // Up × view direction (0, 0, -1) is -x, so a move to the right pans along +x.
    EXPECT_NEAR(state.PanOffset.x, 2.0f, 1e-5);
    EXPECT_NEAR(state.PanOffset.y, 0.0f, 1e-5);
    EXPECT_EQ(state.ModelRotation, VectorZero());
}

TEST(Camera, ResetMoveAndOrbit) {
    TCamera camera;
    EXPECT_EQ(camera.Position, (TVector{0, 1, 0}));
    EXPECT_EQ(camera.Target, (TVector{0, 1, 1}));
    camera.Place({0, 0, 500}, {0, 10, 490}, {0, 1, 0}, 0.1f, 0.5f);
    camera.FreeMove = false;
    camera.MoveForward(10);
    EXPECT_NEAR(camera.Position.y, 0.0f, 1e-5); // only the horizontal part moves
    EXPECT_NEAR(VectorLength(VectorSub(camera.Target, camera.Position)), 1.0f, 1e-4);
    camera.Place({0, 0, 10}, {0, 0, 0}, {0, 1, 0}, 0.1f, 0.5f);
    camera.Orbit({0, 90, 0});
    EXPECT_NEAR(VectorLength(camera.Position), 10.0f, 1e-4);
    EXPECT_NEAR(std::fabs(camera.Position.x), 10.0f, 1e-4);
}
