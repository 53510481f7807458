#include "graphics/shadow.h"

#include <algorithm>

#include <cmath>

namespace {

constexpr double kShadowRadius = 0.04931561996779388;  // 0.049 * 5 / 4.968
constexpr double kSegmentAngle = 0.2991993003418851;   // 2 pi / 21

std::array<double, 2> Clamped(double x, double y) {
    return {std::clamp(x, 0.0, 1.0), std::clamp(y, 0.0, 1.0)};
}

}  // namespace

ShadowPolygon MakeShadowPolygon(double x, double y) {
    // Rim points at height 0.032 seen from the light fall at (5 p + 0.08, 5 q + 0.112) / 4.968.
    const double cx = (5 * x + 0.08) / 4.968;
    const double cy = (5 * y + 0.112) / 4.968;
    ShadowPolygon polygon;
    polygon[0] = Clamped(cx + kShadowRadius, cy);
    double angle = 0;
    for (int k = 1; k <= 20; ++k) {
        angle += kSegmentAngle;  // accumulated, as the piece model's rim is
        polygon[k] =
            Clamped(cx + kShadowRadius * std::cos(angle), cy + kShadowRadius * std::sin(angle));
    }
    polygon[21] = Clamped(cx + kShadowRadius, cy);  // closes at exactly angle 0
    return polygon;
}
