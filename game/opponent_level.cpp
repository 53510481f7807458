#include "opponent_level.h"

#include "opponent.h"

LevelPlay PlayOf(OpponentLevel level) {
    switch (level) {
        case OpponentLevel::Easy:
            // Few shots, each foreseen as it will be flicked, but flicked with an unsteady hand.
            return {.candidateCount = 5,
                    .trialsAtFlickSpeed = true,
                    .aimSpread = 20,
                    .spreadPerPieceAhead = 0,
                    .sureMargin = 0};
        case OpponentLevel::Hard:
            // Every shot foreseen exactly, the choice kept to shots that survive a stray of 6
            // degrees, flicked with a steady hand that eases off as its lead grows. Measured with
            // the tournament: exact foresight and an exact flick win every battle they begin.
            return {.candidateCount = kCandidateCount,
                    .trialsAtFlickSpeed = true,
                    .aimSpread = 2,
                    .spreadPerPieceAhead = 8,
                    .sureMargin = 6};
        case OpponentLevel::Normal:
            break;
    }
    // The opponent the game always had: 50 shots tried at drawn speeds, flicked exactly as
    // chosen, so that most of its forecasts are of a flick it never makes.
    return {.candidateCount = kCandidateCount,
            .trialsAtFlickSpeed = false,
            .aimSpread = 0,
            .spreadPerPieceAhead = 0,
            .sureMargin = 0};
}

std::optional<OpponentLevel> LevelFromStored(std::int32_t stored) {
    if (stored < 0 || stored > static_cast<std::int32_t>(OpponentLevel::Hard)) return std::nullopt;
    return static_cast<OpponentLevel>(stored);
}

std::int32_t StoredLevel(OpponentLevel level) {
    return static_cast<std::int32_t>(level);
}
