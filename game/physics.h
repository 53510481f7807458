#pragma once

#include "board.h"

#include <cstdint>

/// Simulated time of one physics step, seconds. Ten steps make one 50 ms tick of real time.
inline constexpr double kStepSeconds = 0.005;
/// Collision passes allowed within one step; time left over when they run out is dropped.
inline constexpr int kPassLimit = 1000;

/// Advances `table` by one step of 0.005 s: moves the pieces, resolves the contacts of the step
/// in time order, applies friction, and takes off every piece whose centre left the board
/// (adding 1 to `fallCount` for each; the counter is never reset here).
/// Returns false, changing nothing at all, when no alive piece was moving.
/// Allocates nothing and touches nothing but its two arguments.
bool StepPhysics(PieceTable& table, std::int32_t& fallCount);
