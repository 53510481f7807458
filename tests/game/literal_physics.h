#pragma once

#include "game/board.h"

#include <cstdint>

/// The physics step written out literally, pass by pass, with no shortcut: the reference that
/// the game's step must match bit for bit. Sets `hitPassLimit` when the 1000 passes ran out.
bool LiteralStepPhysics(PieceTable& table, std::int32_t& fallCount, bool& hitPassLimit);
