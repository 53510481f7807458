#pragma once

// Threads: none of its own; pure functions.

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>

#include <vector>

// On a high-density screen Qt measures the view in logical units, while the screen has
// `ratio` device pixels to each of them (2 on a doubled desktop, and fractional ratios such as
// 1.25 or 1.5 exist). The screens and the renderer work in device pixels, so that the game is
// drawn at the screen's own resolution and a click lands on the pixel drawn under it. These
// functions make that one translation, in one way, for every user of the view.

/// A usable ratio: a ratio that is not above 0 (or not a number) counts as 1.
double UsableRatio(double ratio);

/// The view's size in device pixels: each side times the ratio, to the nearest pixel (as Qt
/// rounds a window's device size), never below 0.
QSize DeviceSize(QSize logical, double ratio);

/// A screen as the drawing surface needs to know it: its logical size and its ratio.
struct ScreenPixels {
    QSize logical;
    double ratio = 1;
};

/// The smallest surface that holds a frame of a view filling any of `screens`: the largest
/// device width and the largest device height among them (they may come from two screens).
/// `fallback` when there is no screen.
QSize LargestDeviceSize(const std::vector<ScreenPixels>& screens, QSize fallback);

/// The device pixel under logical point `at` of a view of `logicalSize`: the pixel whose square
/// holds the point (rounded down). A point inside the view always gives a pixel inside its
/// DeviceSize, even where rounding the size left the last partial pixel out; a point outside
/// (a drag beyond the edge while the mouse is captured) stays outside on the same side.
QPoint DevicePixel(QPointF at, QSize logicalSize, double ratio);

/// Where a frame of `frameSize` device pixels lies in a view of `logicalSize`: in its
/// bottom-left corner (the frame's bottom row on the view's last whole device row, see
/// DeviceSize), in logical units.
QRectF FrameArea(QSize frameSize, QSize logicalSize, double ratio);

/// The whole logical pixels inside `area` (an empty rectangle when there is none).
QRect WholePixelsWithin(const QRectF& area);

/// The part `changed` (device pixels of the frame, top-left origin) of a frame in a view of
/// `logicalSize`, as whole logical pixels that cover it.
QRect LogicalCover(QRect changed, QSize frameSize, QSize logicalSize, double ratio);
