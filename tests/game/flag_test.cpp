#include "game/flag.h"

#include "game/random.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double MaxOffPoleSpeedComponent(const FlagCloth& flag) {
    double largest = 0;
    for (int n = kFlagColumns; n < kFlagPointCount; ++n) {
        for (double v : flag.points[n].velocity)
            largest = std::max(largest, std::fabs(v));
    }
    return largest;
}

}  // namespace

// The derived constants: the row stiffness is one step above the double nearest 5.7.
TEST(Flag, DerivedConstants) {
    const FlagShear& shear = FlagShearConstants();
    EXPECT_NEAR(shear.restLength, 0.0755255644, 1e-10);
    EXPECT_NEAR(shear.stiffness, 5.6192307692, 1e-10);
    EXPECT_EQ(shear.stiffness, (std::nextafter(5.7, 6.0) + 72.0 / 13) / 2);
}

// After InitFlag: a flat grid, row 0 still, every other point with a small random velocity.
TEST(Flag, InitLaysTheClothFlatWithSmallMotion) {
    FlagCloth flag;
    SetRandState(1);
    InitFlag(flag);
    EXPECT_EQ(RandState() != 1, true);
    for (int j = 0; j < kFlagColumns; ++j) {
        EXPECT_EQ(flag.at(0, j).velocity, (std::array<double, 3>{0, 0, 0}));
    }
    EXPECT_EQ(flag.at(19, 12).position[0], 1.0);
    EXPECT_DOUBLE_EQ(flag.at(19, 12).position[1], 0.65);
    double largest = MaxOffPoleSpeedComponent(flag);
    EXPECT_GT(largest, 0);
    EXPECT_LE(largest, 1.0 / 38);
    for (const FlagPoint& p : flag.points)
        EXPECT_EQ(p.normal[2], 1);
}

// Row 0 never moves, whatever the wind; the cloth stays finite.
TEST(Flag, PoleEdgeNeverMoves) {
    FlagCloth flag;
    InitFlag(flag);
    ResetFlag(flag, 0, 0.3, 0.85, 0.0008, 0.0001, 0.0003);
    FlagCloth start = flag;
    for (int step = 0; step < 2000; ++step)
        StepFlag(flag);
    for (int j = 0; j < kFlagColumns; ++j) {
        EXPECT_EQ(flag.at(0, j).position, start.at(0, j).position);
        EXPECT_EQ(flag.at(0, j).velocity, (std::array<double, 3>{0, 0, 0}));
    }
    for (const FlagPoint& p : flag.points) {
        for (int a = 0; a < 3; ++a)
            ASSERT_TRUE(std::isfinite(p.position[a]));
        EXPECT_GE(p.normal[2], 0);
        EXPECT_NEAR(std::hypot(p.normal[0], p.normal[1], p.normal[2]), 1, 1e-12);
    }
}

// Resetting to the stored angle does not turn the cloth, moves point 0 to the origin, stills
// the motion (before fresh perturbation) and keeps every z.
TEST(Flag, ResetWithTheStoredAngleOnlyMoves) {
    FlagCloth flag;
    InitFlag(flag);
    ResetFlag(flag, 0, 0, 0.05, 0.012, 0.004, 0.00002);
    for (int step = 0; step < 50; ++step)
        StepFlag(flag);
    FlagCloth waved = flag;
    ResetFlag(flag, 0.25, 0.5, 0.05, 0.012, 0.004, 0.00002);
    EXPECT_EQ(flag.points[0].position[0], 0.25);
    EXPECT_EQ(flag.points[0].position[1], 0.5);
    for (int n = 0; n < kFlagPointCount; ++n) {
        const auto& now = flag.points[n].position;
        const auto& then = waved.points[n].position;
        EXPECT_NEAR(now[0] - 0.25, then[0] - waved.points[0].position[0], 1e-15);
        EXPECT_NEAR(now[1] - 0.5, then[1] - waved.points[0].position[1], 1e-15);
        EXPECT_EQ(now[2], then[2]);
    }
    EXPECT_LE(MaxOffPoleSpeedComponent(flag), 1.0 / 38);  // rand() = 0 gives exactly 1/38
    EXPECT_EQ(flag.angle, 0.05);
}

// A turn by delta rotates every offset from point 0 by delta, clockwise for a positive delta.
TEST(Flag, ResetTurnsByTheAngleDifference) {
    FlagCloth flag;
    InitFlag(flag);
    FlagCloth before = flag;
    ResetFlag(flag, 0, 0, 0.5, 0, 0, 0);
    const auto& far = flag.at(19, 0).position;
    EXPECT_NEAR(far[0], std::cos(0.5), 1e-12);
    EXPECT_NEAR(far[1], -std::sin(0.5), 1e-12);
    EXPECT_EQ(far[2], before.at(19, 0).position[2]);
    ResetFlag(flag, 0, 0, 0.5, 0, 0, 0);  // the same angle again turns nothing more
    EXPECT_NEAR(flag.at(19, 0).position[0], std::cos(0.5), 1e-12);
}

// Without wind the cloth only sags: its free end goes down, never up, on average.
TEST(Flag, WithoutWindTheClothSags) {
    FlagCloth flag;
    InitFlag(flag);
    ResetFlag(flag, 0, 0, 0, 0, 0, 0);
    double startY = flag.at(19, 6).position[1];
    for (int step = 0; step < 600; ++step)
        StepFlag(flag);
    EXPECT_LT(flag.at(19, 6).position[1], startY - 0.05);
    for (const FlagPoint& p : flag.points)
        ASSERT_TRUE(std::isfinite(p.position[1]));
}

// Each step draws two numbers per moving point, r1 then r2.
TEST(Flag, StepDrawsTwoNumbersPerMovingPoint) {
    FlagCloth flag;
    InitFlag(flag);
    SetRandState(77);
    StepFlag(flag);
    std::uint32_t expected = 77;
    for (int n = 0; n < 2 * (kFlagPointCount - kFlagColumns); ++n) {
        expected = expected * 214013u + 2531011u;
    }
    EXPECT_EQ(RandState(), expected);
}

// The copies for a scene are the positions and normals in point order as 32-bit floats.
TEST(Flag, CopiesArePointOrderFloats) {
    FlagCloth flag;
    InitFlag(flag);
    StepFlag(flag);
    std::array<float, kFlagPointCount * 3> positions{};
    std::array<float, kFlagPointCount * 3> normals{};
    CopyFlagPositions(flag, positions.data());
    CopyFlagNormals(flag, normals.data());
    for (int n = 0; n < kFlagPointCount; ++n) {
        for (int a = 0; a < 3; ++a) {
            EXPECT_EQ(positions[n * 3 + a], static_cast<float>(flag.points[n].position[a]));
            EXPECT_EQ(normals[n * 3 + a], static_cast<float>(flag.points[n].normal[a]));
        }
    }
}

// A cloth crushed onto one point has no surface direction: the normals keep their last value
// instead of turning into NaN, which the wind would spread through the whole cloth.
TEST(Flag, CollapsedClothKeepsFiniteNormals) {
    FlagCloth flag;
    InitFlag(flag);
    for (FlagPoint& p : flag.points)
        p.position = {0.25, 0.5, 0};
    ComputeFlagNormals(flag);
    StepFlag(flag);
    for (const FlagPoint& p : flag.points) {
        for (int a = 0; a < 3; ++a) {
            ASSERT_TRUE(std::isfinite(p.normal[a]));
            ASSERT_TRUE(std::isfinite(p.position[a]));
        }
    }
}
