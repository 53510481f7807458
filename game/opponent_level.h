#pragma once

#include <cstdint>
#include <optional>

/// The computer's strengths. Normal is the opponent the game always had; Easy and Hard differ
/// from it only in how many shots they try, at what speed, and how exactly they flick.
enum class OpponentLevel : std::uint8_t {
    Easy = 0,
    Normal = 1,
    Hard = 2,
};

/// How a level plays.
struct LevelPlay {
    int candidateCount;       ///< trial shots per choice, at most kCandidateCount
    bool trialsAtFlickSpeed;  ///< trials at the speed the computer really flicks (else drawn)
    double aimSpread;         ///< degrees the real flick may stray from the chosen aim, either way
    /// Degrees added to the spread per piece the computer leads by (taken off per piece it
    /// trails by); only when it has a spread at all.
    double spreadPerPieceAhead;
    /// Degrees to either side at which the good shots are tried again, to prefer one that
    /// survives a stray flick; 0 takes the best shot as it is.
    double sureMargin;
};

/// The play of `level`.
LevelPlay PlayOf(OpponentLevel level);

/// The level a stored number stands for (0 Easy, 1 Normal, 2 Hard); nothing for any other.
std::optional<OpponentLevel> LevelFromStored(std::int32_t stored);

/// The number a level is stored as.
std::int32_t StoredLevel(OpponentLevel level);
