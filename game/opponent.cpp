#include "opponent.h"

#include "physics.h"
#include "random.h"

#include <cmath>
#include <functional>
#include <numbers>
#include <system_error>
#include <thread>

namespace {

void BuildLists(OpponentState& state, const PieceTable& table, std::uint8_t targetSide) {
    state.targetCount = state.shooterCount = 0;
    for (std::int32_t k = 0; k < kPieceCount; ++k) {
        if (!table[k].alive) continue;
        if (table[k].side == targetSide) {
            state.targets[state.targetCount++] = k;
        } else {
            state.shooters[state.shooterCount++] = k;
        }
    }
}

/// Direction in degrees (0 to 180) that points the shooter straight at the target, up to sign.
double BaseAim(const Piece& shooter, const Piece& target) {
    double dx = target.x - shooter.x;
    double dy = target.y - shooter.y;
    double distance = std::sqrt(dx * dx + dy * dy);
    // Two alive pieces never share a centre in play; if they ever do, aim straight ahead
    // rather than feed a NaN to the physics, which would then never come to rest.
    if (distance == 0) return 0;
    return std::acos(dy / distance) * 180 / std::numbers::pi;
}

/// Draws one candidate; the draws come in a fixed order so that a run can be repeated.
void DrawCandidate(ShotCandidate& candidate, const OpponentState& state, const PieceTable& table) {
    candidate.shooter = state.shooters[Rand() % state.shooterCount];
    std::int32_t target = state.targets[Rand() % state.targetCount];
    const Piece& shooter = table[candidate.shooter];
    double base = BaseAim(shooter, table[target]);
    int scatter1 = Rand() % 100;
    int scatter2 = Rand() % 100;
    int scatter3 = Rand() % 100;
    double aim = base - 15 + 0.3 * scatter1 - 15 + 0.3 * scatter2 - 15 + 0.3 * scatter3;
    if (table[target].x - shooter.x > 0) aim = -aim;
    candidate.aim = aim;
    candidate.trialSpeed = (Rand() % 100) * 10 / 100.0;
}

/// (targets lost, own lost) of a candidate against the counts of the last judged move.
struct Losses {
    std::int32_t targets;
    std::int32_t own;
};

Losses LossesOf(const ShotCandidate& c, std::uint8_t targetSide, CountsBefore counts) {
    Losses red{counts.red - c.redLeft, counts.white - c.whiteLeft};
    return targetSide == kRed ? red : Losses{red.own, red.targets};
}

bool IsGood(Losses losses, std::int32_t targetsLeft) {
    return losses.targets > 0 && (losses.own <= 0 || targetsLeft == 0);
}

void TryEveryOther(OpponentState& state, const PieceTable& table, int first) {
    for (int k = first; k < kCandidateCount; k += 2)
        TryShot(state.candidates[k], table);
}

/// Plays every candidate to rest. The trials are independent of one another, so half of them
/// run on a second thread: the choice is the same, and it comes twice as fast on two cores.
void TryAllShots(OpponentState& state, const PieceTable& table) {
    std::thread helper;
    try {
        helper = std::thread(TryEveryOther, std::ref(state), std::cref(table), 1);
    } catch (const std::system_error&) {
        TryEveryOther(state, table, 1);  // no thread to be had: play them all here
    }
    TryEveryOther(state, table, 0);
    if (helper.joinable()) helper.join();
}

}  // namespace

void TryShot(ShotCandidate& candidate, const PieceTable& table) {
    PieceTable trial = table;
    Velocity v = FlickVelocity(candidate.aim, candidate.trialSpeed);
    trial[candidate.shooter].vx = v.vx;
    trial[candidate.shooter].vy = v.vy;
    std::int32_t fallCount = 0;
    while (StepPhysics(trial, fallCount)) {
    }
    candidate.redLeft = CountAlive(trial, kRed);
    candidate.whiteLeft = CountAlive(trial, kWhite);
}

bool BetterShot(const ShotCandidate& candidate, const ShotCandidate& best, std::uint8_t targetSide,
                CountsBefore counts) {
    auto targetsLeft = [targetSide](const ShotCandidate& c) {
        return targetSide == kRed ? c.redLeft : c.whiteLeft;
    };
    Losses mine = LossesOf(candidate, targetSide, counts);
    Losses theirs = LossesOf(best, targetSide, counts);
    bool good = IsGood(mine, targetsLeft(candidate));
    bool bestGood = IsGood(theirs, targetsLeft(best));
    if (good != bestGood) return good;
    return mine.targets * mine.targets - mine.own * mine.own >
           theirs.targets * theirs.targets - theirs.own * theirs.own;
}

std::int32_t ChooseShot(OpponentState& state, PieceTable& table, std::uint8_t targetSide,
                        CountsBefore counts) {
    BuildLists(state, table, targetSide);
    if (state.targetCount == 0 || state.shooterCount == 0) return -1;
    // Trials draw nothing, so drawing every candidate first keeps the order of the draws.
    for (ShotCandidate& candidate : state.candidates)
        DrawCandidate(candidate, state, table);
    TryAllShots(state, table);
    const ShotCandidate* best = &state.candidates[0];
    for (int k = 1; k < kCandidateCount; ++k) {
        if (BetterShot(state.candidates[k], *best, targetSide, counts)) best = &state.candidates[k];
    }
    Piece& chosen = table[best->shooter];
    chosen.selected = 1;
    chosen.aim = best->aim;
    return best->shooter;
}
