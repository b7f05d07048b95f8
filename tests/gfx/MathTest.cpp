// Degree tables, the 3D projector and MulDiv.
#include "gfx/MulDiv.h"
#include "gfx/Projector3D.h"
#include "gfx/TrigTables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

TEST(MathTest, SineTableByWholeDegrees) {
    InitTrigTables();
    EXPECT_EQ(SinDeg(90), 1.0);
    EXPECT_EQ(SinDeg(0), 0.0);
    EXPECT_EQ(SinDeg(180), 0.0);
    EXPECT_EQ(SinDeg(270), SinDeg(90));
    EXPECT_DOUBLE_EQ(SinDeg(30), 0.5);
    // Never negative: the table only covers 0..179.
    for (int i = 0; i < 360; ++i)
        EXPECT_GE(SinDeg(i), 0.0) << i;
    // Negative indices take the non-negative remainder: -90 is 90, -1 is 179.
    EXPECT_EQ(SinDeg(-90), 1.0);
    EXPECT_EQ(SinDeg(-1), g_sinTable[179]);
    EXPECT_EQ(SinDeg(-180), 0.0);
    EXPECT_EQ(SinDeg(INT32_MIN), g_sinTable[((INT32_MIN % 180) + 180) % 180]);
}

TEST(MathTest, TangentTable) {
    InitTrigTables();
    EXPECT_EQ(TanDeg(0), 0.0);
    EXPECT_NEAR(TanDeg(45), 1.0, 1e-15);
    EXPECT_NEAR(TanDeg(135), -1.0, 1e-15);
    // 90 degrees: the tangent of the double nearest pi/2, large but finite.
    EXPECT_TRUE(std::isfinite(TanDeg(90)));
    EXPECT_GT(TanDeg(90), 1e16);
    EXPECT_EQ(TanDeg(-135), TanDeg(45));
}

TEST(MathTest, ProjectorCameraAtRestLooksDownTheDepthAxis) {
    CProjector3D p;
    Camera3D cam{100, 7, 0.0, 0.0};
    std::array<int, 3> pos;
    p.SphericalToCartesian(cam, pos);
    EXPECT_EQ(pos, (std::array<int, 3>{0, 0, 100}));
    // A point at the origin: d = (0, 0, -100); Z = -100 / 100 = -1, depth 1.
    Point3D origin;
    p.Project(cam, &origin);
    EXPECT_EQ(origin.depth, 1.0);
    EXPECT_EQ(origin.screenX, 0);
    EXPECT_EQ(origin.screenY, 0);
    // (10, 20, 0): X = 10, Y = -20 (m4 = -cos 0), Z = -1: screen (-10, 20).
    Point3D q{10, 20, 0};
    p.Project(cam, &q);
    EXPECT_EQ(q.screenX, -10);
    EXPECT_EQ(q.screenY, 20);
    EXPECT_EQ(q.depth, 1.0);
    EXPECT_EQ(q.unused, 0);
}

TEST(MathTest, ProjectorTurnedCamera) {
    CProjector3D p;
    // Yaw pi/2: the camera sits at (R, 0, trunc(6e-15)) = (200, 0, 0).
    Camera3D cam{200, 0, std::acos(-1.0) / 2, 0.0};
    std::array<int, 3> pos;
    p.SphericalToCartesian(cam, pos);
    EXPECT_EQ(pos, (std::array<int, 3>{200, 0, 0}));
    // Pitch pi/2 lifts it to (0, R, 0) (sin yaw * cos pitch * R truncates to 0).
    Camera3D up{50, 0, 0.0, std::acos(-1.0) / 2};
    p.SphericalToCartesian(up, pos);
    EXPECT_EQ(pos, (std::array<int, 3>{0, 50, 0}));
    // Matrix for yaw a and pitch p, entry by entry: yaw pi/2 gives a = -pi/2.
    const auto m = CProjector3D::RotationFor(cam);
    EXPECT_NEAR(m[0], 0.0, 1e-15);
    EXPECT_EQ(m[1], 0.0);
    EXPECT_EQ(m[2], -1.0);
    EXPECT_EQ(m[4], -1.0);
    // A zero distance divides by zero; the result saturates, it does not trap.
    Camera3D none{0, 0, 0.0, 0.0};
    Point3D r{1, 2, 3};
    p.Project(none, &r);
    SUCCEED();
}

TEST(MathTest, AddAnglesLeavesTheDistance) {
    CProjector3D p;
    Camera3D in{100, 3, 0.25, -0.5};
    Camera3D out{77, 9, 9.0, 9.0};
    p.AddAngles(&out, in, 0.0, 0.0);
    EXPECT_EQ(out.yaw, 0.25);
    EXPECT_EQ(out.pitch, -0.5);
    EXPECT_EQ(out.distance, 77);
    EXPECT_EQ(out.reserved, 9);
    p.AddAngles(&out, in, 1.0, 0.5);
    EXPECT_EQ(out.yaw, 1.25);
    EXPECT_EQ(out.pitch, 0.0);
}

TEST(MathTest, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(1, 1, 2), 1);
    EXPECT_EQ(MulDiv(-1, 1, 2), -1);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(5, 1, 3), 2); // 1.67
    EXPECT_EQ(MulDiv(4, 1, 3), 1); // 1.33
    EXPECT_EQ(MulDiv(4, 1, -3), -1);
    EXPECT_EQ(MulDiv(-5, -1, 3), 2);
    EXPECT_EQ(MulDiv(800, 0x18000, 65536), 1200);
    // The product is 64-bit: 2^31 - 1 times 2 over 2 fits again.
    EXPECT_EQ(MulDiv(INT32_MAX, 2, 2), INT32_MAX);
    // Division by zero and results past 32 bits give -1.
    EXPECT_EQ(MulDiv(7, 3, 0), -1);
    EXPECT_EQ(MulDiv(INT32_MAX, 4, 2), -1);
}
