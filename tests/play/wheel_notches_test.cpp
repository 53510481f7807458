#include "screens/wheel_notches.h"

#include <gtest/gtest.h>

namespace {

TEST(WheelNotches, OrdinaryNotchesPassThroughUnchanged) {
    // An ordinary wheel's event is a notch as it comes, forward or back, however large.
    WheelNotches notches;
    EXPECT_EQ(notches.Add(120, 0), 120);
    EXPECT_EQ(notches.Add(-120, 1), -120);
    EXPECT_EQ(notches.Add(240, 2), 240);
    EXPECT_EQ(notches.Add(-32768, 3), -32768);
}

TEST(WheelNotches, SmallStepsAddUpToANotch) {
    // Eight steps of 15 make one notch of 120 at the eighth; uneven steps make a notch of
    // their sum once it reaches 120, and the next notch starts from nothing.
    WheelNotches notches;
    for (int step = 1; step < 8; ++step)
        EXPECT_EQ(notches.Add(15, step), 0);
    EXPECT_EQ(notches.Add(15, 8), 120);
    EXPECT_EQ(notches.Add(50, 9), 0);
    EXPECT_EQ(notches.Add(50, 10), 0);
    EXPECT_EQ(notches.Add(50, 11), 150);
    EXPECT_EQ(notches.Add(-60, 12), 0);
    EXPECT_EQ(notches.Add(-60, 13), -120);
}

TEST(WheelNotches, TurningBackStartsAfresh) {
    // A step against the gathered direction drops what was gathered.
    WheelNotches notches;
    EXPECT_EQ(notches.Add(100, 0), 0);
    EXPECT_EQ(notches.Add(-30, 1), 0);
    EXPECT_EQ(notches.Add(-80, 2), 0);
    EXPECT_EQ(notches.Add(-10, 3), -120);
}

TEST(WheelNotches, ARestForgetsAPartNotch) {
    // After more than 100 ms without a step the part gathered is forgotten; at exactly
    // 100 ms it is kept.
    WheelNotches notches;
    EXPECT_EQ(notches.Add(100, 0), 0);
    EXPECT_EQ(notches.Add(10, 100), 0);
    EXPECT_EQ(notches.Add(10, 200), 120);
    EXPECT_EQ(notches.Add(100, 300), 0);
    EXPECT_EQ(notches.Add(100, 401), 0);
    EXPECT_EQ(notches.Add(20, 402), 120);
}

TEST(WheelNotches, ZeroStepsAndClearGatherNothing) {
    // A zero step changes nothing; Clear drops a part notch.
    WheelNotches notches;
    EXPECT_EQ(notches.Add(0, 0), 0);
    EXPECT_EQ(notches.Add(110, 1), 0);
    EXPECT_EQ(notches.Add(0, 2), 0);
    notches.Clear();
    EXPECT_EQ(notches.Add(10, 3), 0);
    EXPECT_EQ(notches.Add(110, 4), 120);
}

}  // namespace
