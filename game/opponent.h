#pragma once

#include "board.h"

#include <array>
#include <cstdint>

/// The computer opponent: it draws 50 random shots, plays each one to rest on a private copy of
/// the table, and keeps the one whose outcome it likes best. It plays the army opposite the
/// `targetSide` (the person's army, Red, in the game against the computer).

inline constexpr int kCandidateCount = 50;

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
};

/// Counts from the last judged move, which the opponent measures its trials against.
struct CountsBefore {
    std::int32_t red = 0;
    std::int32_t white = 0;
};

/// Chooses the computer's shot on `table`: marks the chosen piece selected, gives it the chosen
/// aim and returns its index. Positions and velocities are never changed. Returns -1 when
/// either army has no alive piece, so that there is nothing to choose (the caller tells the
/// player "Something goes wrong").
std::int32_t ChooseShot(OpponentState& state, PieceTable& table, std::uint8_t targetSide,
                        CountsBefore counts);

/// Plays `candidate` on a copy of `table` and fills in its Red left and White left, the pieces
/// that would be alive once everything has come to rest. The trial stops as soon as no piece
/// can fall off any more (see OutcomeIsSettled), at the latest when everything is at rest.
void TryShot(ShotCandidate& candidate, const PieceTable& table);

/// True if `candidate` is to replace `best`. A good shot knocks off at least one target piece
/// and either loses none of the computer's own or leaves the target army empty; good beats
/// poor, and within a kind (targets lost)^2 - (own lost)^2 must be strictly larger.
bool BetterShot(const ShotCandidate& candidate, const ShotCandidate& best, std::uint8_t targetSide,
                CountsBefore counts);
