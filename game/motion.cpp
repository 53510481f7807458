#include "motion.h"

#include "lanes.h"
#include "physics.h"

#include <cmath>
#include <limits>

// The arithmetic below is written in exactly the order of the game's physics model: both
// machines of a network game and the opponent's trials must get the same bits. Only work whose
// result is known in advance is skipped (see ContactFinder).

MotionTable LoadMotion(const PieceTable& table) {
    MotionTable m;
    for (int k = 0; k < kPieceCount; ++k) {
        m.body[k] = {table[k].x, table[k].y, table[k].vx, table[k].vy};
        m.alive[k] = table[k].alive;
    }
    return m;
}

void StoreMotion(const MotionTable& m, PieceTable& table) {
    for (int k = 0; k < kPieceCount; ++k) {
        const Body& b = m.body[k];
        table[k].x = b.x;
        table[k].y = b.y;
        table[k].vx = b.vx;
        table[k].vy = b.vy;
        table[k].alive = m.alive[k];
    }
}

bool Motion::Step(std::int32_t& fallCount) {
    if (!IsMoving()) return false;
    ResolvePasses();
    ApplyEdgeAndFriction(fallCount);
    return true;
}

bool Motion::IsMoving() const {
    for (int k = 0; k < kPieceCount; ++k) {
        if (table_.IsMoving(k)) return true;
    }
    return false;
}

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

/// True if adding a zero leaves the coordinate's bits as they are: so for every number but -0,
/// to which +0 adds up as +0, and NaN, whose bits an addition may change.
bool IsUnchangedByZero(double coordinate) {
    return !std::isnan(coordinate) && !(coordinate == 0 && std::signbit(coordinate));
}

}  // namespace

void Motion::NoteMovers() {
    const MotionTable& t = table_;
    moverCount_ = 0;
    moverMask_ = 0;
    for (int k = 0; k < kPieceCount; ++k) {
        const Body& b = t.body[k];
        bool isStill = !t.IsMoving(k) && IsUnchangedByZero(b.x) && IsUnchangedByZero(b.y);
        if (!t.alive[k] || isStill) continue;
        movers_[moverCount_++] = static_cast<std::uint8_t>(k);
        moverMask_ |= 1u << k;
    }
}

/// Runs the collision passes of one step: each finds the first contact within the time left,
/// moves every piece to it (back to it, for an overlap) and resolves that one pair.
void Motion::ResolvePasses() {
    double remaining = kStepSeconds;
    for (int pass = 1; pass <= kPassLimit; ++pass) {
        Contact first = finder_.FindFirst(table_, remaining);
        // Only an earlier rewind of absurd length (a pair barely overlapping while closing in
        // at almost no speed) can leave an infinite time here: moving by it would give the
        // pieces at rest NaN coordinates. Like the pass limit, drop the rest of the step.
        if (!std::isfinite(first.time)) return;
        MoveAll(first.time);
        finder_.Moved(first.time);
        if (first.i < 0) return;  // no contact: all of the remaining time has been spent
        finder_.Struck(first.i, first.j, Strike(first.i, first.j));
        remaining = remaining - first.time;
        if (remaining == 0) return;
    }
}

/// Moves every alive piece by a finite `time`. A piece at rest moves by 0 x time, which leaves
/// it as it is, so only the movers are moved.
void Motion::MoveAll(double time) {
    Lanes lanes(time);
    for (int n = 0; n < moverCount_; ++n) {
        Body& b = table_.body[movers_[n]];
        (Lanes::Load(&b.x) + Lanes::Load(&b.vx) * lanes).Store(&b.x);  // x += vx t, y += vy t
    }
}

/// Exchanges 0.6 of the closing speed along the line of centres; momentum is conserved.
/// Returns the impulse exchanged.
double Motion::Strike(int i, int j) {
    Body& a = table_.body[i];
    Body& b = table_.body[j];
    Lanes d = Lanes::Load(&b.x) - Lanes::Load(&a.x);
    double distance = std::sqrt(Sum(d * d));
    // Two centres on one spot have no line between them, and 0 / 0 would make every velocity
    // it touched NaN: they exchange nothing. Only an absurdly long rewind brings them there.
    if (!(distance > 0 && distance < kInfinity)) return 0;
    Lanes length(distance);
    Lanes n = d / length;
    double closingSpeed = Sum((Lanes::Load(&a.vx) - Lanes::Load(&b.vx)) * n);
    double impulse = kImpulseFactor * closingSpeed;
    Lanes change = Lanes(impulse) * n;
    (Lanes::Load(&b.vx) + change).Store(&b.vx);
    (Lanes::Load(&a.vx) - change).Store(&a.vx);
    if (~moverMask_ >> i & 1 || ~moverMask_ >> j & 1) NoteMovers();  // a resting piece struck
    return impulse;
}

void Motion::ApplyEdgeAndFriction(std::int32_t& fallCount) {
    MotionTable& t = table_;
    for (int k = 0; k < kPieceCount; ++k) {
        if (!t.alive[k]) continue;
        Body& b = t.body[k];
        if (b.x < 0 || b.x > 1 || b.y < 0 || b.y > 1) {
            t.alive[k] = 0;
            ++fallCount;
            finder_.Forget();
            NoteMovers();
            continue;
        }
        double q = b.vx * b.vx + b.vy * b.vy;
        if (q < kStopSpeedSquared) {
            b.vx = b.vy = 0;
        } else {
            double factor = 1 - kFrictionPerStep / std::sqrt(q);
            b.vx *= factor;
            b.vy *= factor;
        }
    }
}
