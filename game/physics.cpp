#include "physics.h"

#include "motion.h"

// One step of a table that is stepped only now and then (the live board: at most ten steps per
// tick). A table stepped many times in a row is better kept in one Motion, as the opponent does.
bool StepPhysics(PieceTable& table, std::int32_t& fallCount) {
    Motion motion(LoadMotion(table));
    if (!motion.Step(fallCount)) return false;
    StoreMotion(motion.Table(), table);
    return true;
}

void StopAllPieces(PieceTable& table) {
    for (Piece& piece : table)
        piece.vx = piece.vy = 0;
}
