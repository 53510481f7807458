#include "tests/game/literal_opponent.h"

#include "game/random.h"
#include "tests/game/literal_physics.h"

#include <cmath>
#include <numbers>

namespace {

int Alive(const PieceTable& t, std::uint8_t side) {
    int count = 0;
    for (const Piece& p : t)
        count += p.alive && p.side == side;
    return count;
}

bool LiteralBetter(const ShotCandidate& c, const ShotCandidate& best, std::uint8_t targetSide,
                   CountsBefore counts) {
    auto lost = [&](const ShotCandidate& s, bool targets) {
        bool red = (targetSide == kRed) == targets;
        return red ? counts.red - s.redLeft : counts.white - s.whiteLeft;
    };
    auto left = [&](const ShotCandidate& s) {
        return targetSide == kRed ? s.redLeft : s.whiteLeft;
    };
    auto good = [&](const ShotCandidate& s) {
        return lost(s, true) > 0 && (lost(s, false) <= 0 || left(s) == 0);
    };
    auto value = [&](const ShotCandidate& s) {
        return lost(s, true) * lost(s, true) - lost(s, false) * lost(s, false);
    };
    if (good(c) != good(best)) return good(c);
    return value(c) > value(best);
}

}  // namespace

void LiteralTryShot(ShotCandidate& c, const PieceTable& table, LiteralChoiceStats* stats) {
    PieceTable t = table;
    Velocity v = FlickVelocity(c.aim, c.trialSpeed);
    t[c.shooter].vx = v.vx;
    t[c.shooter].vy = v.vy;
    std::int32_t falls = 0;
    bool hitLimit = false;
    while (LiteralStepPhysics(t, falls, hitLimit)) {
        if (stats) {
            ++stats->steps;
            stats->passLimitSteps += hitLimit;
        }
    }
    c.redLeft = Alive(t, kRed);
    c.whiteLeft = Alive(t, kWhite);
}

std::int32_t LiteralChooseShot(OpponentState& state, PieceTable& table, std::uint8_t targetSide,
                               CountsBefore counts, LiteralChoiceStats* stats) {
    state.targetCount = state.shooterCount = 0;
    for (std::int32_t k = 0; k < 16; ++k) {
        if (!table[k].alive) continue;
        if (table[k].side == targetSide) {
            state.targets[state.targetCount++] = k;
        } else {
            state.shooters[state.shooterCount++] = k;
        }
    }
    if (state.targetCount == 0 || state.shooterCount == 0) return -1;
    for (ShotCandidate& c : state.candidates) {
        c.shooter = state.shooters[Rand() % state.shooterCount];
        std::int32_t target = state.targets[Rand() % state.targetCount];
        double dx = table[target].x - table[c.shooter].x;
        double dy = table[target].y - table[c.shooter].y;
        double distance = std::sqrt(dx * dx + dy * dy);
        double base = distance == 0 ? 0 : std::acos(dy / distance) * 180 / std::numbers::pi;
        double aim = base - 15 + 0.3 * (Rand() % 100);
        aim = aim - 15 + 0.3 * (Rand() % 100);
        aim = aim - 15 + 0.3 * (Rand() % 100);
        c.aim = dx > 0 ? -aim : aim;
        c.trialSpeed = (Rand() % 100) * 10 / 100.0;
        LiteralTryShot(c, table, stats);
    }
    const ShotCandidate* best = &state.candidates[0];
    for (const ShotCandidate& c : state.candidates) {
        if (LiteralBetter(c, *best, targetSide, counts)) best = &c;
    }
    table[best->shooter].selected = 1;
    table[best->shooter].aim = best->aim;
    return best->shooter;
}
