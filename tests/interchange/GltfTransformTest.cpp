// The geometry between the game's axes and glTF's: the change of axes, and transforms split into
// translation, rotation and scale and put back together.
#include "interchange/GltfTransform.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quillon;

namespace {

void ExpectNear(const TAffine& a, const TAffine& b, double tolerance) {
    for (int row = 0; row < 3; ++row) {
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(a.Linear[row][c], b.Linear[row][c], tolerance) << row << "," << c;
        EXPECT_NEAR(a.Translation[row], b.Translation[row], tolerance) << row;
    }
}

TAffine Rotation(double yaw, double pitch, double roll) {
    TMat3d m{};
    const TMatrix r = MatrixMultiply(
        MatrixMultiply(RotationX(float(roll)), RotationY(float(pitch))), RotationZ(float(yaw)));
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] = r[i * 4 + j];
    return {m, {1.5, -2, 0.25}};
}

} // namespace

TEST(GltfTransform, ZUpBecomesYUpWithoutMirroring) {
    EXPECT_EQ(ToGltfAxes({1, 2, 3}), (TVec3d{1, 3, -2}));
    EXPECT_EQ(Determinant(GltfAxes()), 1);
    EXPECT_EQ(Multiply(GltfAxes(), TVec3d{1, 2, 3}), ToGltfAxes({1, 2, 3}));
}

TEST(GltfTransform, RotationsSurviveTheQuaternionRoundTrip) {
    // Angles that reach every branch of the quaternion extraction, half turns included.
    for (double yaw : {0.0, 45.0, 179.0, 180.0, -90.0})
        for (double pitch : {0.0, 30.0, 180.0, -120.0})
            for (double roll : {0.0, 90.0, 180.0}) {
                const TAffine a = Rotation(yaw, pitch, roll);
                const TTrs trs = ToTrs(a);
                EXPECT_EQ(trs.Scale, (TVec3d{1, 1, 1}));
                const TQuat& q = trs.Rotation;
                EXPECT_NEAR(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3], 1, 1e-12);
                ExpectNear(FromTrs(trs), a, 1e-6);
            }
}

TEST(GltfTransform, MirroringAndScalingMapsKeepTheirScale) {
    TAffine a = Rotation(30, 10, 5);
    for (int row = 0; row < 3; ++row) {
        a.Linear[row][0] *= -2; // a mirror on x, twice as long
        a.Linear[row][2] *= 0.5;
    }
    const TTrs trs = ToTrs(a);
    EXPECT_NEAR(trs.Scale[0], -2, 1e-6);
    EXPECT_NEAR(trs.Scale[1], 1, 1e-6);
    EXPECT_NEAR(trs.Scale[2], 0.5, 1e-6);
    ExpectNear(FromTrs(trs), a, 1e-6);
}

TEST(GltfTransform, InverseAndColumnMajorOrder) {
    const TAffine a = Rotation(12, 34, 56);
    ExpectNear(Compose(a, Inverse(a)), TAffine{}, 1e-6);
    const std::array<float, 16> m = ColumnMajor(a);
    EXPECT_FLOAT_EQ(m[12], 1.5f); // the translation is the last column
    EXPECT_FLOAT_EQ(m[1], float(a.Linear[1][0]));
    EXPECT_EQ(m[15], 1.0f);
    ExpectNear(FromColumnMajor(m), a, 1e-6);
}
