// Logical units to device pixels at whole and fractional densities: sizes round as Qt rounds a
// window's, a point inside the view always lands on a pixel inside it, and a point outside (a
// captured drag past the edge) stays outside.

#include "app/view_pixels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(ViewPixels, DeviceSizeRoundsEachSideToTheNearestPixel) {
    struct Case {
        QSize logical;
        double ratio;
        QSize device;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Case& c : {Case{{750, 500}, 2, {1500, 1000}}, Case{{601, 401}, 1.25, {751, 501}},
                          Case{{601, 401}, 1.5, {902, 602}}, Case{{0, 0}, 2, {0, 0}},
                          Case{{900, 600}, 0, {900, 600}}, Case{{900, 600}, nan, {900, 600}}}) {
        EXPECT_EQ(DeviceSize(c.logical, c.ratio), c.device) << c.ratio;
    }
}

TEST(ViewPixels, TheSurfaceHoldsAViewFillingAnyScreen) {
    // A laptop's doubled panel beside a wider plain monitor: each side from the screen that is
    // largest that way. Without a screen the fallback holds.
    const QSize fallback(1920, 1080);
    EXPECT_EQ(LargestDeviceSize({}, fallback), fallback);
    EXPECT_EQ(LargestDeviceSize({{{1280, 800}, 2}, {{3440, 1440}, 1}}, fallback),
              QSize(3440, 1600));
    EXPECT_EQ(LargestDeviceSize({{{1920, 1080}, 1}, {{1707, 960}, 1.5}}, fallback),
              QSize(2561, 1440));
    EXPECT_EQ(LargestDeviceSize({{{800, 600}, 0}}, fallback), QSize(800, 600));
}

TEST(ViewPixels, APointLandsOnThePixelUnderIt) {
    struct Case {
        QPointF at;
        double ratio;
        QPoint pixel;
    };
    const QSize view(601, 401);  // 751 x 501 device pixels at 1.25, 902 x 602 at 1.5
    for (const Case& c : {
             Case{{10, 20}, 1, {10, 20}},
             Case{{10.5, 20.5}, 2, {21, 41}},
             Case{{3, 3}, 1.25, {3, 3}},              // 3.75
             Case{{4, 4}, 1.25, {5, 5}},              // exactly 5
             Case{{600.9, 400.9}, 1.25, {750, 500}},  // 751.1 would be outside: the last pixel
             Case{{600.9, 400.9}, 1.5, {901, 601}},
             Case{{0, 0}, 1.5, {0, 0}},
             Case{{-0.1, -3}, 1.5, {-1, -5}},     // left of and above the view: outside
             Case{{601, 401}, 1.25, {751, 501}},  // the far edges: just outside
             Case{{700, 450}, 1.5, {1050, 675}},
         }) {
        EXPECT_EQ(DevicePixel(c.at, view, c.ratio), c.pixel) << c.at.x() << " at " << c.ratio;
    }
    // Whatever the window system reports, the pixel is a plain number.
    QPoint far = DevicePixel({1e300, -1e300}, view, 2);
    EXPECT_GE(far.x(), 902);
    EXPECT_LT(far.y(), 0);
}

TEST(ViewPixels, AFrameLiesInTheBottomLeftCornerWithItsChangedPartsCovered) {
    // A doubled view of 750 x 500 shows a 1500 x 1000 frame over all of it; a frame of a
    // smaller view sits at the bottom. A changed part covers the logical pixels it touches.
    EXPECT_EQ(FrameArea({1500, 1000}, {750, 500}, 2), QRectF(0, 0, 750, 500));
    EXPECT_EQ(FrameArea({1000, 600}, {750, 500}, 2), QRectF(0, 200, 500, 300));
    EXPECT_EQ(LogicalCover({10, 20, 30, 40}, {1500, 1000}, {750, 500}, 2), QRect(5, 10, 15, 20));
    EXPECT_EQ(LogicalCover({11, 21, 2, 2}, {1500, 1000}, {750, 500}, 2), QRect(5, 10, 2, 2));
    EXPECT_EQ(LogicalCover({0, 0, 4, 4}, {1000, 600}, {750, 500}, 2), QRect(0, 200, 2, 2));
    EXPECT_EQ(LogicalCover({1, 2, 3, 3}, {751, 501}, {601, 401}, 1.25), QRect(0, 1, 4, 3));
    // At a fractional ratio the frame starts on a whole device pixel, and only the logical
    // pixels it covers wholly are its own.
    EXPECT_EQ(FrameArea({1500, 1001}, {1000, 667}, 1.5), QRectF(0, 0, 1000, 1001 / 1.5));
    EXPECT_EQ(WholePixelsWithin(FrameArea({751, 501}, {601, 401}, 1.25)), QRect(0, 0, 600, 400));
    EXPECT_EQ(WholePixelsWithin(QRectF(0, 0, 750, 500)), QRect(0, 0, 750, 500));
    EXPECT_TRUE(WholePixelsWithin(QRectF(0, 500, 0, 0)).isEmpty());  // no frame yet
    EXPECT_TRUE(WholePixelsWithin(QRectF(0.2, 0.2, 0.7, 5)).isEmpty());
}

}  // namespace
