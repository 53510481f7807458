#include "graphics/projection.h"

#include <cmath>
#include <numbers>

FrameProjection ComputeProjection(std::int32_t width, std::int32_t height) {
    FrameProjection p;
    p.width = width < 1 ? 1 : width;
    p.height = height < 1 ? 1 : height;
    p.aspect = static_cast<double>(p.width) / static_cast<double>(p.height);
    if (p.aspect >= 1.5) {
        const double d = (p.aspect - 1.5) * 0.5;
        p.canvasLeft = -d;
        p.canvasRight = 1.5 + d;
        p.fieldOfView = 47;
    } else {
        const double d = (1.5 / p.aspect - 1) * 0.5;
        p.canvasBottom = -d;
        p.canvasTop = 1 + d;
        // 23.5 degrees is 0.41015237421866746 radians: half of 47.
        p.fieldOfView =
            std::atan(std::tan(0.41015237421866746) * (1.5 / p.aspect)) / std::numbers::pi * 360;
    }
    return p;
}
