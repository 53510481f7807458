#pragma once

#include "board.h"
#include "opponent_level.h"
#include "random.h"

#include <array>
#include <cstdint>

/// The computer opponent: it draws 50 random shots, plays each one to rest on a private copy of
/// the table, and keeps the one whose outcome it likes best. It plays the army opposite the
/// `targetSide` (the person's army, Red, in the game against the computer).

inline constexpr int kCandidateCount = 50;

/// Speed of every flick the computer makes, board units per second.
inline constexpr double kComputerFlickSpeed = 2.5;

/// First states of the generators of their own that Easy and Hard draw from.
inline constexpr std::uint32_t kEasyFirstState = 0x2B1D5EEDu;
inline constexpr std::uint32_t kHardFirstState = 0x6A8E17C3u;

/// One trial shot and how it ended.
struct ShotCandidate {
    std::int32_t shooter = 0;    ///< index of the computer's piece to flick
    double aim = 0;              ///< degrees, as a piece's aim
    double trialSpeed = 0;       ///< 0.0 to 9.9 board units per second
    std::int32_t redLeft = 0;    ///< Red pieces alive when the trial came to rest
    std::int32_t whiteLeft = 0;  ///< White pieces alive when the trial came to rest
};

/// The opponent's working lists; fully rewritten by every choice, kept to avoid allocation.
struct OpponentState {
    std::array<ShotCandidate, kCandidateCount> candidates{};
    std::array<std::int32_t, kArmySize * 2> targets{};
    std::array<std::int32_t, kArmySize * 2> shooters{};
    int targetCount = 0;
    int shooterCount = 0;
    int candidateCount = kCandidateCount;  ///< candidates the last choice tried, from the first
    /// Easy's and Hard's draws, so that they never take a number from the game's generator,
    /// from which Normal draws as it always has.
    RandomStream easyDraws{kEasyFirstState};
    RandomStream hardDraws{kHardFirstState};
};

/// Counts from the last judged move, which the opponent measures its trials against.
struct CountsBefore {
    std::int32_t red = 0;
    std::int32_t white = 0;
};

/// Chooses the computer's shot on `table` at `level`: marks the chosen piece selected, gives it
/// the aim to flick at (degrees) and returns its index. Positions and velocities are never
/// changed. Returns -1, drawing nothing, when either army has no alive piece, so that there is
/// nothing to choose (the caller tells the player "Something goes wrong").
std::int32_t ChooseShot(OpponentState& state, PieceTable& table, std::uint8_t targetSide,
                        CountsBefore counts, OpponentLevel level = OpponentLevel::Normal);

/// Plays `candidate` on a copy of `table` and fills in its Red left and White left, the pieces
/// that would be alive once everything has come to rest. The trial stops as soon as no piece
/// can fall off any more (see OutcomeIsSettled), at the latest when everything is at rest.
void TryShot(ShotCandidate& candidate, const PieceTable& table);

/// True if `candidate` is to replace `best`. A good shot knocks off at least one target piece
/// and either loses none of the computer's own or leaves the target army empty; good beats
/// poor, and within a kind (targets lost)^2 - (own lost)^2 must be strictly larger.
bool BetterShot(const ShotCandidate& candidate, const ShotCandidate& best, std::uint8_t targetSide,
                CountsBefore counts);
