#include "framework/canvas.h"

#include "framework/scene.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectCanvas(CanvasPoint point, double u, double v) {
    EXPECT_EQ(point.u, u);
    EXPECT_EQ(point.v, v);
}

TEST(ClientToCanvas, ExactlyThreeToTwoMapsCornersToDesignRectangle) {
    // A 3:2 view shows exactly the design rectangle: top-left (0, 1), bottom-right (1.5, 0).
    ExpectCanvas(ClientToCanvas(0, 0, 300, 200), 0, 1);
    ExpectCanvas(ClientToCanvas(300, 200, 300, 200), 1.5, 0);
    ExpectCanvas(ClientToCanvas(150, 100, 300, 200), 0.75, 0.5);
}

TEST(ClientToCanvas, WideViewExtendsLeftAndRight) {
    // 400 x 200: a quarter of a unit on each side, v as for 3:2.
    ExpectCanvas(ClientToCanvas(0, 0, 400, 200), -0.25, 1);
    ExpectCanvas(ClientToCanvas(400, 200, 400, 200), 1.75, 0);
}

TEST(ClientToCanvas, TallViewExtendsAboveAndBelow) {
    // 300 x 300: a quarter of a unit above and below, u from 0 to 1.5.
    ExpectCanvas(ClientToCanvas(0, 0, 300, 300), 0, 1.25);
    ExpectCanvas(ClientToCanvas(300, 300, 300, 300), 1.5, -0.25);
}

TEST(ClientToCanvas, UsesTheCurrentClientSize) {
    // Without a size given, the view's current size is used.
    std::int32_t savedWidth = ClientWidth, savedHeight = ClientHeight;
    ClientWidth = 400;
    ClientHeight = 200;
    ExpectCanvas(ClientToCanvas(400, 0), 1.75, 1);
    ClientWidth = savedWidth;
    ClientHeight = savedHeight;
}

TEST(ClientToCanvas, MinimisedViewGivesFinitePoints) {
    // A view of 0 x 0 (minimised) or a negative size never yields infinities or NaN.
    for (auto [w, h] : {std::pair{0, 0}, std::pair{0, 200}, std::pair{300, 0}, std::pair{-5, -5}}) {
        CanvasPoint point = ClientToCanvas(10, 10, w, h);
        EXPECT_TRUE(std::isfinite(point.u)) << w << " x " << h;
        EXPECT_TRUE(std::isfinite(point.v)) << w << " x " << h;
    }
}

}  // namespace
