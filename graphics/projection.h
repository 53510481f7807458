#pragma once

#include <cstdint>

/// How a frame of a given pixel size shows the canvas and the board. The 3:2 design rectangle
/// (u 0 to 1.5, v 0 to 1) is fitted in whole and the canvas widened on two sides.
struct FrameProjection {
    std::int32_t width = -1;   ///< viewport pixels; -1 before the first frame
    std::int32_t height = -1;  ///< viewport pixels
    double aspect = 1.5;       ///< width / height
    double canvasLeft = 0;
    double canvasRight = 1.5;
    double canvasBottom = 0;
    double canvasTop = 1;
    double fieldOfView = 47;  ///< vertical field of view of the board, degrees
};

/// The projection for a frame of width x height pixels; sizes below 1 count as 1. A window at
/// least as wide as 3:2 sees 47 degrees vertically; a narrower one sees more, so that the board
/// keeps the horizontal extent of a 3:2 window.
FrameProjection ComputeProjection(std::int32_t width, std::int32_t height);
