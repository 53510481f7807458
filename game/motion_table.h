#pragma once

#include "board.h"

#include <array>
#include <cstdint>

/// Position and velocity of one piece, x beside y, so that the physics can treat each pair as
/// two lanes (see Lanes).
struct Body {
    double x = 0;
    double y = 0;
    double vx = 0;
    double vy = 0;
};

/// What the physics reads and writes of a table's sixteen pieces: their bodies and alive flags.
/// Loading and storing copy the bits unchanged.
struct MotionTable {
    std::array<Body, kPieceCount> body{};
    std::array<std::uint8_t, kPieceCount> alive{};

    /// True if piece k is on the board and has a non-zero velocity component.
    bool IsMoving(int k) const { return alive[k] && (body[k].vx != 0 || body[k].vy != 0); }
};

/// The motion fields of `table`.
MotionTable LoadMotion(const PieceTable& table);

/// Writes the motion fields back into `table`; aim, side and selected are left as they are.
void StoreMotion(const MotionTable& motion, PieceTable& table);
