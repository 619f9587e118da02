#include "mapimport/TextureProjection.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quillon {
namespace {

TMapPlane PlaneWithNormal(TVector normal, float rotation = 0) {
    TMapPlane plane;
    plane.normal = normal;
    plane.rotation = rotation;
    ComputeTextureAxes(plane);
    return plane;
}

TEST(TextureProjection, AxisAlignedPlanesTakeFixedAxes) {
    struct Case {
        TVector normal, s, t;
        TDominantAxis axis;
        int sign;
    };
    const Case cases[] = {
        {AxisPosZ(), AxisNegX(), AxisPosY(), TDominantAxis::Z, 1},
        {AxisNegZ(), AxisNegX(), AxisPosY(), TDominantAxis::Z, -1},
        {AxisPosX(), AxisNegY(), AxisNegZ(), TDominantAxis::X, 1},
        {AxisNegX(), AxisNegY(), AxisNegZ(), TDominantAxis::X, -1},
        {AxisPosY(), AxisNegX(), AxisNegZ(), TDominantAxis::Y, 1},
        {AxisNegY(), AxisNegX(), AxisNegZ(), TDominantAxis::Y, -1},
        // Nearly axial normals snap to the axis.
        {VectorMake(3e-7f, 0, 0.9995f), AxisNegX(), AxisPosY(), TDominantAxis::Z, 1},
    };
    for (const Case& c : cases) {
        const TMapPlane plane = PlaneWithNormal(c.normal);
        EXPECT_EQ(plane.dominantAxis, c.axis);
        EXPECT_EQ(plane.dominantSign, c.sign);
        EXPECT_EQ(plane.axisS, c.s) << c.normal.x << " " << c.normal.y << " " << c.normal.z;
        EXPECT_EQ(plane.axisT, c.t);
    }
}

TEST(TextureProjection, SlantedPlanesGetAxesInThePlane) {
    for (TVector n : {VectorNormalize({0.3f, 0.5f, 0.81f}), VectorNormalize({-0.9f, 0.4f, 0.2f}),
                      VectorNormalize({0.1f, -0.7f, 0.5f})}) {
        const TMapPlane plane = PlaneWithNormal(n);
        EXPECT_NEAR(VectorDot(plane.axisS, n), 0, 1e-5f);
        EXPECT_NEAR(VectorDot(plane.axisT, n), 0, 1e-5f);
        EXPECT_NEAR(VectorDot(plane.axisS, plane.axisT), 0, 1e-5f);
        EXPECT_NEAR(VectorLength(plane.axisS), 1, 1e-5f);
    }
}

TEST(TextureProjection, ScaleShiftAndTheFixedImageSize) {
    TMapPlane plane = PlaneWithNormal(AxisPosZ());
    plane.scaleS = 0.5f;
    plane.scaleT = 2;
    plane.shiftS = 32;
    plane.shiftT = -64;
    const TMapTexture texture{"/images/wall.tga", 256, 256};
    const TTexCoord st = ProjectTexture(plane, &texture, {-64, 128, 5});
    // s = (p . (-1, 0, 0)) / 256 / 0.5 + 32 / 256; t = (p . (0, 1, 0)) / 256 / 2 - 64 / 256
    EXPECT_FLOAT_EQ(st.s, 0.5f + 0.125f);
    EXPECT_FLOAT_EQ(st.t, 0.25f - 0.25f);

    const TMapTexture unnamed{"", 256, 256};
    EXPECT_EQ(ProjectTexture(plane, &unnamed, {-64, 128, 5}).s, 0);
    EXPECT_EQ(ProjectTexture(plane, nullptr, {-64, 128, 5}).t, 0);
}

// p turned by `degrees` about the given axis, right-handed.
TVector Turned(TVector p, TDominantAxis axis, float degrees) {
    const float c = std::cos(degrees * 3.14159265f / 180),
                s = std::sin(degrees * 3.14159265f / 180);
    auto turn = [&](float& a, float& b) {
        const float ra = a * c - b * s, rb = a * s + b * c;
        a = ra;
        b = rb;
    };
    switch (axis) {
    case TDominantAxis::X:
        turn(p.y, p.z);
        break;
    case TDominantAxis::Y:
        turn(p.x, p.z);
        break;
    case TDominantAxis::Z:
        turn(p.x, p.y);
        break;
    }
    return p;
}

TEST(TextureProjection, RotationTurnsCornersOppositeWaysOnZAndOnXOrY) {
    const TMapTexture texture{"wall", 256, 256};
    const TVector p{10, 20, 30};
    struct Case {
        TVector normal;
        TDominantAxis axis;
        float turn; // how a rotation of 90 turns the corner before the projection
    };
    for (const Case& c :
         {Case{AxisPosZ(), TDominantAxis::Z, -90}, Case{AxisPosX(), TDominantAxis::X, 90},
          Case{AxisNegY(), TDominantAxis::Y, 90}}) {
        const TMapPlane rotated = PlaneWithNormal(c.normal, 90);
        const TMapPlane plain = PlaneWithNormal(c.normal, 0);
        const TTexCoord a = ProjectTexture(rotated, &texture, p);
        const TTexCoord b = ProjectTexture(plain, &texture, Turned(p, c.axis, c.turn));
        EXPECT_NEAR(a.s, b.s, 1e-5f);
        EXPECT_NEAR(a.t, b.t, 1e-5f);
        // The wrong direction gives different coordinates for this corner.
        const TTexCoord wrong = ProjectTexture(plain, &texture, Turned(p, c.axis, -c.turn));
        EXPECT_GT(std::fabs(a.s - wrong.s) + std::fabs(a.t - wrong.t), 0.01f);
    }
    EXPECT_EQ(PlaneWithNormal(AxisPosZ(), 90).rotation, -90);
    EXPECT_EQ(PlaneWithNormal(AxisPosX(), 90).rotation, 90);
}

} // namespace
} // namespace quillon
