#include "app/view_pixels.h"

#include <algorithm>
#include <cmath>

namespace {

// One axis of DevicePixel.
int DeviceCoordinate(double at, int logicalSize, double ratio) {
    const int deviceSize = static_cast<int>(std::max(0L, std::lround(logicalSize * ratio)));
    const double scaled = std::floor(at * ratio);
    // Far outside any window (a wild position from the window system): keep it a plain int.
    constexpr double kLimit = 1 << 28;
    const int pixel = static_cast<int>(std::clamp(scaled, -kLimit, kLimit));
    if (at < 0) return pixel;  // the floor of a negative position is already below 0
    if (at >= logicalSize) return std::max(pixel, deviceSize);
    return std::clamp(pixel, 0, std::max(deviceSize - 1, 0));
}

}  // namespace

double UsableRatio(double ratio) {
    return ratio > 0 && std::isfinite(ratio) ? ratio : 1.0;
}

QSize DeviceSize(QSize logical, double ratio) {
    ratio = UsableRatio(ratio);
    auto side = [ratio](int length) {
        return static_cast<int>(std::max(0L, std::lround(length * ratio)));
    };
    return {side(logical.width()), side(logical.height())};
}

QSize LargestDeviceSize(const std::vector<ScreenPixels>& screens, QSize fallback) {
    if (screens.empty()) return fallback;
    QSize largest(0, 0);
    for (const ScreenPixels& screen : screens)
        largest = largest.expandedTo(DeviceSize(screen.logical, screen.ratio));
    return largest;
}

QPoint DevicePixel(QPointF at, QSize logicalSize, double ratio) {
    ratio = UsableRatio(ratio);
    return {DeviceCoordinate(at.x(), logicalSize.width(), ratio),
            DeviceCoordinate(at.y(), logicalSize.height(), ratio)};
}

QRectF FrameArea(QSize frameSize, QSize logicalSize, double ratio) {
    ratio = UsableRatio(ratio);
    const double width = frameSize.width() / ratio;
    const double height = frameSize.height() / ratio;
    // The frame's rows start on a whole device pixel: at a fractional ratio the view's bottom
    // edge may fall inside one (667 units at 1.5 are 1000.5 pixels), and a frame placed against
    // it would be shifted by half a pixel and resampled instead of shown one to one.
    const double top = (DeviceSize(logicalSize, ratio).height() - frameSize.height()) / ratio;
    return {0, top, width, height};
}

QRect WholePixelsWithin(const QRectF& area) {
    const QPoint topLeft(static_cast<int>(std::ceil(area.left())),
                         static_cast<int>(std::ceil(area.top())));
    const QPoint beyond(static_cast<int>(std::floor(area.right())),
                        static_cast<int>(std::floor(area.bottom())));
    if (beyond.x() <= topLeft.x() || beyond.y() <= topLeft.y()) return {};
    return {topLeft, beyond - QPoint(1, 1)};
}

QRect LogicalCover(QRect changed, QSize frameSize, QSize logicalSize, double ratio) {
    ratio = UsableRatio(ratio);
    const QRectF area = FrameArea(frameSize, logicalSize, ratio);
    const QRectF part(area.left() + changed.x() / ratio, area.top() + changed.y() / ratio,
                      changed.width() / ratio, changed.height() / ratio);
    return part.toAlignedRect();
}
