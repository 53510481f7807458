#include "screens/wheel_notches.h"

#include <cstdlib>

std::int32_t WheelNotches::Add(std::int32_t delta, std::int64_t nowMs) {
    if (delta == 0) return 0;
    bool turnedBack = (gathered_ > 0) != (delta > 0);
    if (gathered_ != 0 && (turnedBack || nowMs - lastMs_ > kNotchGatherMs)) gathered_ = 0;
    gathered_ += delta;
    lastMs_ = nowMs;
    if (std::abs(gathered_) < kWheelNotch) return 0;
    std::int32_t notch = gathered_;
    gathered_ = 0;
    return notch;
}

void WheelNotches::Clear() {
    gathered_ = 0;
}
