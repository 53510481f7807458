#pragma once

#include "board.h"

#include <cstdint>

/// Simulated time of one physics step, seconds. Ten steps make one 50 ms tick of real time.
inline constexpr double kStepSeconds = 0.005;
/// Collision passes allowed within one step; time left over when they run out is dropped.
inline constexpr int kPassLimit = 1000;
/// Share of the closing speed exchanged along the line of centres in a strike.
inline constexpr double kImpulseFactor = 0.6;
/// Speed a moving piece loses at the end of every step, board units per second.
inline constexpr double kFrictionPerStep = 0.008;
/// A piece whose squared speed is below this at the end of a step stops dead (speed 0.008).
inline constexpr double kStopSpeedSquared = 0.000064;

/// Steps after which a move still in motion is ended as if at rest. The longest move measured
/// comes to rest in a few hundred steps; this is a net for a table that would never rest, so
/// that neither the live board nor a trial of the computer's can keep the game busy for ever.
inline constexpr int kMoveStepLimit = 20000;

/// Advances `table` by one step of 0.005 s: moves the pieces, resolves the contacts of the step
/// in time order, applies friction, and takes off every piece whose centre left the board
/// (adding 1 to `fallCount` for each; the counter is never reset here).
/// Returns false, changing nothing at all, when no alive piece was moving.
/// Allocates nothing and touches nothing but its two arguments.
bool StepPhysics(PieceTable& table, std::int32_t& fallCount);

/// Stops every piece where it stands (velocity zero): a move that reached kMoveStepLimit.
void StopAllPieces(PieceTable& table);
