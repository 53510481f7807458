#include "framework/canvas.h"

#include "framework/scene.h"

#include <algorithm>

namespace {

struct CanvasBounds {
    double uMin, uMax, vMin, vMax;
};

CanvasBounds BoundsFor(double width, double height) {
    double aspect = width / height;
    if (aspect < 1.5) {
        // Taller than 3:2: the canvas grows above and below the design rectangle.
        double e = (1.5 * height / width - 1) * 0.5;
        return {0, 1.5, -e, 1 + e};
    }
    double d = (aspect - 1.5) * 0.5;
    return {-d, 1.5 + d, 0, 1};
}

}  // namespace

CanvasPoint ClientToCanvas(std::int32_t x, std::int32_t y, std::int32_t width,
                           std::int32_t height) {
    // A minimised view reports 0 x 0; like the renderer, take it as one pixel rather than
    // divide by zero.
    double w = std::max(width, std::int32_t{1});
    double h = std::max(height, std::int32_t{1});
    CanvasBounds b = BoundsFor(w, h);
    return {b.uMin + x * (b.uMax - b.uMin) / w, b.vMin + (h - y) * (b.vMax - b.vMin) / h};
}

CanvasPoint ClientToCanvas(std::int32_t x, std::int32_t y) {
    return ClientToCanvas(x, y, ClientWidth, ClientHeight);
}
