#pragma once

// Threads: user-interface thread only.

#include <cstdint>

/// Amount of one notch of an ordinary mouse wheel, in eighths of a degree.
inline constexpr std::int32_t kWheelNotch = 120;
/// A gathering notch is forgotten when the wheel has rested this long, milliseconds.
inline constexpr std::int64_t kNotchGatherMs = 100;

/// Gathers the small steps of high-resolution wheels and touchpads into whole notches, so that
/// a flick made with them behaves like one made with an ordinary wheel. An ordinary wheel's
/// event (a whole notch or more) passes through unchanged. Smaller steps add up until they
/// make a notch; a change of direction, or a rest longer than kNotchGatherMs, starts afresh,
/// so that a slight touch never completes a notch long after. Zero steps (a sideways scroll)
/// are no turn at all.
class WheelNotches {
public:
    /// Takes one wheel event of `delta` at `nowMs`; returns the amount of the notch it
    /// completes (at least a notch in size, sign = direction), or 0 while none is complete.
    std::int32_t Add(std::int32_t delta, std::int64_t nowMs);
    /// Forgets a partly gathered notch.
    void Clear();

private:
    std::int32_t gathered_ = 0;
    std::int64_t lastMs_ = 0;
};
