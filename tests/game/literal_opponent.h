#pragma once

#include "game/opponent.h"

#include <cstdint>

/// The computer's choice written out literally, one trial after another on one thread, each
/// trial stepped with LiteralStepPhysics to rest: the reference that the game's ChooseShot must
/// match in every candidate and in the choice. Draws from the game's generator like ChooseShot.

/// What the literal choice saw besides the candidates it leaves in `state`.
struct LiteralChoiceStats {
    int passLimitSteps = 0;  ///< steps of all trials that ran out of collision passes
    int steps = 0;           ///< steps of all trials that moved something
};

/// Chooses like ChooseShot (same return value, same marks on `table`), literally.
std::int32_t LiteralChooseShot(OpponentState& state, PieceTable& table, std::uint8_t targetSide,
                               CountsBefore counts, LiteralChoiceStats* stats = nullptr);

/// Plays one candidate to rest with the literal step; fills in Red left and White left.
void LiteralTryShot(ShotCandidate& candidate, const PieceTable& table,
                    LiteralChoiceStats* stats = nullptr);
