#include "physics.h"

#include <array>
#include <bit>
#include <cmath>

// The arithmetic below is written in exactly the order of the game's physics model: both
// machines of a network game and the opponent's trials must get the same bits. Only work whose
// result is known in advance is skipped (see ResolvePasses).

namespace {

constexpr double kImpulseFactor = 0.6;
constexpr double kFrictionPerStep = 0.008;
constexpr double kStopSpeedSquared = 0.000064;

struct Contact {
    int i = -1;
    int j = -1;
    double time = 0;  ///< seconds from now; negative when the pair already overlaps
};

bool IsMoving(const PieceTable& table) {
    for (const Piece& piece : table) {
        if (piece.alive && (piece.vx != 0 || piece.vy != 0)) return true;
    }
    return false;
}

/// Time until pieces a and b touch, or false if they are not closing in or will pass clear.
bool TimeToContact(const Piece& a, const Piece& b, double& time) {
    double dx = b.x - a.x;
    double dy = b.y - a.y;
    double wx = a.vx - b.vx;
    double wy = a.vy - b.vy;
    double closing = wx * dx + wy * dy;
    if (!(closing > 0)) return false;
    double cross = dy * wx - dx * wy;
    double w2 = wx * wx + wy * wy;
    double approach2 = cross * cross / w2;  // squared distance of closest approach
    if (approach2 > kContactDistanceSquared) return false;
    double w = std::sqrt(w2);
    double s = closing / w - std::sqrt(kContactDistanceSquared - approach2);
    // Already overlapping along the path: only a real overlap rewinds time.
    if (s < 0 && dx * dx + dy * dy > kContactDistanceSquared) return false;
    time = s / w;
    return true;
}

/// Earliest contact no later than `limit`; equal times go to the pair met last in the scan.
Contact FindFirstContact(const PieceTable& table, double limit) {
    Contact first;
    first.time = limit;
    for (int i = 0; i < kPieceCount; ++i) {
        if (!table[i].alive) continue;
        for (int j = i + 1; j < kPieceCount; ++j) {
            double time;
            if (!table[j].alive || !TimeToContact(table[i], table[j], time)) continue;
            if (time <= first.time) first = {i, j, time};
        }
    }
    return first;
}

/// Sets `target` and reports whether any bit of it changed.
bool Assign(double& target, double value) {
    bool changed = std::bit_cast<std::uint64_t>(target) != std::bit_cast<std::uint64_t>(value);
    target = value;
    return changed;
}

bool MoveAll(PieceTable& table, double time) {
    bool changed = false;
    for (Piece& piece : table) {
        if (!piece.alive) continue;
        changed |= Assign(piece.x, piece.x + piece.vx * time);
        changed |= Assign(piece.y, piece.y + piece.vy * time);
    }
    return changed;
}

/// Exchanges 0.6 of the closing speed along the line of centres; momentum is conserved.
bool Strike(Piece& a, Piece& b) {
    double dx = b.x - a.x;
    double dy = b.y - a.y;
    double length = std::sqrt(dx * dx + dy * dy);
    double nx = dx / length;
    double ny = dy / length;
    double closingSpeed = (a.vx - b.vx) * nx + (a.vy - b.vy) * ny;
    double impulse = kImpulseFactor * closingSpeed;
    bool changed = Assign(b.vx, b.vx + impulse * nx);
    changed |= Assign(b.vy, b.vy + impulse * ny);
    changed |= Assign(a.vx, a.vx - impulse * nx);
    changed |= Assign(a.vy, a.vy - impulse * ny);
    return changed;
}

/// Runs the collision passes of one step. A pass that changes no bit of the table (two pieces
/// left touching with a closing speed too small to alter either velocity) would be repeated
/// exactly by every following pass, with only the remaining time changing; those passes are
/// counted and their time is subtracted without scanning the table again.
void ResolvePasses(PieceTable& table) {
    double remaining = kStepSeconds;
    bool repeating = false;
    Contact repeated;
    for (int pass = 1; pass <= kPassLimit; ++pass) {
        if (repeating && repeated.time <= remaining) {
            remaining = remaining - repeated.time;
            if (remaining == 0) return;
            continue;
        }
        Contact first = FindFirstContact(table, remaining);
        bool changed = MoveAll(table, first.time);
        if (first.i < 0) return;  // no contact: all of the remaining time has been spent
        changed |= Strike(table[first.i], table[first.j]);
        repeating = !changed;
        repeated = first;
        remaining = remaining - first.time;
        if (remaining == 0) return;
    }
}

void ApplyEdgeAndFriction(PieceTable& table, std::int32_t& fallCount) {
    for (Piece& piece : table) {
        if (!piece.alive) continue;
        if (piece.x < 0 || piece.x > 1 || piece.y < 0 || piece.y > 1) {
            piece.alive = 0;
            ++fallCount;
            continue;
        }
        double q = piece.vx * piece.vx + piece.vy * piece.vy;
        if (q < kStopSpeedSquared) {
            piece.vx = piece.vy = 0;
        } else {
            double factor = 1 - kFrictionPerStep / std::sqrt(q);
            piece.vx *= factor;
            piece.vy *= factor;
        }
    }
}

}  // namespace

bool StepPhysics(PieceTable& table, std::int32_t& fallCount) {
    if (!IsMoving(table)) return false;
    ResolvePasses(table);
    ApplyEdgeAndFriction(table, fallCount);
    return true;
}
