#pragma once

#include "motion_table.h"

/// When a trial can stop early. The computer's trials only need to know which pieces end on the
/// board; once no piece can still leave the board or touch another, the rest of the motion can
/// change no alive flag, and a trial can count the pieces at once.

/// Farthest a moving piece, now at `speed` board units per second, can still slide if it strikes
/// nothing, in board units, including a margin far above rounding (so never 0).
double RemainingTravelBound(double speed);

/// True if, from `table` on, no alive piece can ever leave the board nor touch another: every
/// moving piece stays inside the board and apart from every other piece by more than the
/// contact distance however far the two still slide. Stepping on would then change no alive
/// flag (positions and velocities would still change).
bool OutcomeIsSettled(const MotionTable& table);
