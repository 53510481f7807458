#pragma once

#include <cstdint>

/// A point of the canvas: u from 0 (left) to 1.5 (right) of the 3:2 design rectangle, v from 0
/// (bottom) to 1 (top); beyond those on the sides the view adds to the rectangle.
struct CanvasPoint {
    double u;
    double v;
};

/// Canvas point of view pixel (x, y) (origin top-left) in a view of width x height pixels.
/// The design rectangle is fitted into the view as large as it fits and centred. A size below
/// 1 pixel (a minimised window) counts as 1, so the result is always finite.
CanvasPoint ClientToCanvas(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

/// The same for the view's current size (ClientWidth, ClientHeight). User-interface thread.
CanvasPoint ClientToCanvas(std::int32_t x, std::int32_t y);
