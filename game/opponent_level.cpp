#include "opponent_level.h"

#include "opponent.h"

LevelPlay PlayOf(OpponentLevel level) {
    switch (level) {
        case OpponentLevel::Easy:
            return {kCandidateCount, false, 0};
        case OpponentLevel::Hard:
            return {kCandidateCount, false, 0};
        case OpponentLevel::Normal:
            break;
    }
    // The design's opponent: 50 shots tried at drawn speeds, flicked exactly as chosen.
    return {kCandidateCount, false, 0};
}

std::optional<OpponentLevel> LevelFromStored(std::int32_t stored) {
    if (stored < 0 || stored > static_cast<std::int32_t>(OpponentLevel::Hard)) return std::nullopt;
    return static_cast<OpponentLevel>(stored);
}

std::int32_t StoredLevel(OpponentLevel level) {
    return static_cast<std::int32_t>(level);
}
