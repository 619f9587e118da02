#include "core/VectorMath.h"
#include "core/Frustum.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quillon;

namespace {
void ExpectNear(TVector actual, TVector expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}
} // namespace

TEST(VectorMath, EqualsIsStrictPerAxis) {
    EXPECT_FALSE(VectorEquals({0, 0, 1}, {0, 0.001f, 1}, 0.001f));
    EXPECT_TRUE(VectorEquals({0, 0, 1}, {0, 0.001f, 1}, 0.0011f));
    // Each axis within tolerance although the distance is not.
    EXPECT_TRUE(VectorEquals({0, 0, 0}, {0.0009f, 0.0009f, 0.0009f}, 0.001f));
}

TEST(VectorMath, AverageOfListAndOfNothing) {
    const TVector pair[] = {{0, 0, 0}, {2, 4, 6}};
    ExpectNear(VectorAverage(pair), {1, 2, 3});
    ExpectNear(VectorAverage({}), {0, 0, 0});
}

TEST(VectorMath, CrossDotAndNormals) {
    EXPECT_EQ(VectorCross(AxisPosX(), AxisPosY()), AxisPosZ());
    EXPECT_FLOAT_EQ(VectorDot({1, 2, 3}, {4, 5, 6}), 32);
    EXPECT_FLOAT_EQ(PlaneConstant({0, 0, 1}, {5, 5, 7}), -7);
    ExpectNear(TriangleNormal({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), {0, 0, 1}, 1e-3f);
}

TEST(VectorMath, NormalizeLeavesZeroAndGivesUnitLength) {
    EXPECT_EQ(VectorNormalize(VectorZero()), VectorZero());
    EXPECT_NEAR(VectorLength(VectorNormalize({3, -4, 12})), 1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(VectorLength({3, 4, 0}), 5);
}

TEST(VectorMath, RowVectorRotations) {
    ExpectNear(VectorTransform(AxisPosX(), RotationZ(90)), {0, -1, 0});
    ExpectNear(VectorTransform(AxisPosY(), RotationX(90)), {0, 0, -1});
    ExpectNear(VectorTransform(AxisPosZ(), RotationY(90)), {-1, 0, 0});
    ExpectNear(RotateAbout({2, 0, 0}, {1, 0, 0}, {0, 0, 90}), {0, -1, 0});
}

TEST(VectorMath, TranslationLivesInRowThree) {
    const TMatrix m = MatrixMake(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 30, 1);
    ExpectNear(VectorTransform({1, 2, 3}, m), {11, 22, 33});
}

TEST(VectorMath, MultiplyMayReuseAnInput) {
    TMatrix a = RotationZ(30);
    a = MatrixMultiply(a, RotationZ(60));
    ExpectNear(VectorTransform(AxisPosX(), a), {0, -1, 0});
}

TEST(VectorMath, DeterminantAndInverse) {
    TMatrix m = MatrixMake(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 1, 2, 3, 1);
    EXPECT_FLOAT_EQ(MatrixDeterminant(m), 24);
    const TMatrix original = m;
    MatrixInvert(m);
    const TMatrix product = MatrixMultiply(original, m);
    for (int k = 0; k < 16; ++k)
        EXPECT_NEAR(product[k], IdentityMatrix()[k], 1e-6f) << k;
}

TEST(VectorMath, NearlySingularInverseIsIdentity) {
    TMatrix m = MatrixMake(5.0e-5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    MatrixInvert(m);
    EXPECT_EQ(m, IdentityMatrix());
}

TEST(VectorMath, AdjointOfGeneralMatrix) {
    TMatrix m = MatrixMake(1, 2, 0, 1, 0, 1, 3, 0, 2, 0, 1, 1, 0, 1, 0, 2);
    const TMatrix original = m;
    const float det = MatrixDeterminant(m);
    MatrixAdjoint(m);
    const TMatrix product = MatrixMultiply(original, m); // = det * I
    for (int k = 0; k < 16; ++k)
        EXPECT_NEAR(product[k], (k % 5 == 0) ? det : 0.0f, 1e-4f) << k;
}

TEST(VectorMath, IntersectPlanes) {
    TVector p{9, 9, 9};
    EXPECT_TRUE(IntersectPlanes({{1, 0, 0}, 1}, {{0, 1, 0}, 2}, {{0, 0, 1}, 3}, p));
    ExpectNear(p, {1, 2, 3});
    TVector unchanged{9, 9, 9};
    EXPECT_FALSE(IntersectPlanes({{1, 0, 0}, 1}, {{1, 0, 0}, 2}, {{0, 0, 1}, 3}, unchanged));
    EXPECT_EQ(unchanged, VectorMake(9, 9, 9));
}

TEST(VectorMath, AnglesAndColours) {
    const TSinCos sc = SinCosDeg(30);
    EXPECT_FLOAT_EQ(sc.sin, 0.5f);
    EXPECT_NEAR(FieldOfViewDeg(2, 1), 90.0f, 1e-4f);
    const TRGB rgb = ColorToRGB(0x00FF8000);
    EXPECT_FLOAT_EQ(rgb.red, 0);
    EXPECT_FLOAT_EQ(rgb.green, 128 / 255.0f);
    EXPECT_FLOAT_EQ(rgb.blue, 1);
}

TEST(Frustum, PlanesFromIdentityMatrices) {
    float identity[16];
    for (int k = 0; k < 16; ++k)
        identity[k] = IdentityMatrix()[k];
    TFrustum frustum;
    frustum.Update(identity, identity);
    // The unit cube: left is x >= -1, i.e. normal (1,0,0), d 1.
    EXPECT_EQ(frustum.Plane(TFrustum::Left).normal, VectorMake(1, 0, 0));
    EXPECT_FLOAT_EQ(frustum.Plane(TFrustum::Left).d, 1);
    EXPECT_EQ(frustum.Plane(TFrustum::Far).normal, VectorMake(0, 0, -1));
    EXPECT_EQ(frustum.Plane(TFrustum::Top).normal, VectorMake(0, -1, 0));
}
