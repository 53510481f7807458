#include "physics.h"

#include <algorithm>

#include <array>
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

/// Keeps the first contact of this pass if `time` is no later (ties go to the later pair).
void Consider(Contact& first, const PieceTable& table, int i, int j) {
    double time;
    if (TimeToContact(table[i], table[j], time) && time <= first.time) first = {i, j, time};
}

/// Pieces left touching at a tiny closing speed can make every one of the 1000 passes of a
/// step find a pair again while the pieces creep by a few bits per pass. Rescanning all 120
/// pairs for each of those passes is what makes such a step expensive. So once the passes
/// creep, the scanner notes which pairs are so far apart that no contact of theirs can come
/// inside the time left, even after the pieces have crept a little further and their
/// velocities have changed a little, and skips them. Once the pieces may have crept too far,
/// the strikes may have changed the velocities too much, or the time left has grown, all pairs
/// are noted afresh. The margins are far above the rounding error of TimeToContact, so the pair
/// found is always the one a scan of every pair would find.
class ContactScanner {
public:
    /// First contact within `limit`. `isCreeping` tells that the last pass moved the pieces by
    /// a tiny time, which is when noting the near pairs pays off.
    Contact FindFirst(const PieceTable& table, double limit, bool isCreeping) {
        bool isStale = !isValid || limit > limitBound || creep > kCreepBudget ||
                       velocityChange > kVelocitySlack;
        if (isStale && !isCreeping) {
            isValid = false;
            return ScanAll(table, limit);
        }
        if (isStale) NoteAll(table, limit);
        Contact first;
        first.time = limit;
        for (int n = 0; n < nearCount; ++n)
            Consider(first, table, near[n].i, near[n].j);
        return first;
    }

    /// Accounts for the pieces moving by `time` after a scan.
    void Moved(double time) { creep += speedBound * std::fabs(time); }

    /// Accounts for a strike of the given impulse: it changes the relative velocity of any
    /// pair by at most 2 x sqrt(2) x |impulse| in |vx| + |vy|.
    void Struck(double impulse) { velocityChange += 3 * std::fabs(impulse); }

private:
    static constexpr double kCreepBudget = 4e-4;    // board units any piece may creep
    static constexpr double kVelocitySlack = 1e-2;  // board units per second
    static constexpr double kLimitSlack = 1e-3;     // seconds the time left may grow
    static constexpr double kDistanceSlack = 1e-3;  // board units, covers creep and rounding

    struct Pair {
        int i;
        int j;
    };

    static double L1Speed(const Piece& piece) { return std::fabs(piece.vx) + std::fabs(piece.vy); }

    /// Scans every pair but those of two resting pieces, which cannot be closing in.
    static Contact ScanAll(const PieceTable& table, double limit) {
        std::array<bool, kPieceCount> isMoving{};
        for (int k = 0; k < kPieceCount; ++k) {
            isMoving[k] = table[k].alive && (table[k].vx != 0 || table[k].vy != 0);
        }
        Contact first;
        first.time = limit;
        for (int i = 0; i < kPieceCount; ++i) {
            if (!table[i].alive) continue;
            for (int j = i + 1; j < kPieceCount; ++j) {
                if (table[j].alive && (isMoving[i] || isMoving[j])) Consider(first, table, i, j);
            }
        }
        return first;
    }

    void NoteAll(const PieceTable& table, double limit) {
        limitBound = limit + kLimitSlack;
        speedBound = kVelocitySlack;
        for (const Piece& piece : table) {
            if (piece.alive) speedBound = std::max(speedBound, L1Speed(piece) + kVelocitySlack);
        }
        nearCount = 0;
        for (int i = 0; i < kPieceCount; ++i) {
            if (!table[i].alive) continue;
            for (int j = i + 1; j < kPieceCount; ++j) {
                if (table[j].alive && IsNear(table[i], table[j])) near[nearCount++] = {i, j};
            }
        }
        isValid = true;
        creep = 0;
        velocityChange = 0;
    }

    /// A pair is near unless its gap exceeds what its relative speed (at most |wx| + |wy|,
    /// plus what strikes may add) can close within limitBound, with room for creeping.
    bool IsNear(const Piece& a, const Piece& b) const {
        double dx = b.x - a.x;
        double dy = b.y - a.y;
        double speed = std::fabs(a.vx - b.vx) + std::fabs(a.vy - b.vy) + kVelocitySlack;
        double safe = kContactDistance + speed * limitBound * 1.0001 + kDistanceSlack;
        return !(dx * dx + dy * dy > safe * safe);
    }

    std::array<Pair, kPieceCount*(kPieceCount - 1) / 2> near{};
    int nearCount = 0;
    bool isValid = false;
    double limitBound = 0;
    double speedBound = 0;
    double creep = 0;
    double velocityChange = 0;
};

void MoveAll(PieceTable& table, double time) {
    for (Piece& piece : table) {
        if (!piece.alive) continue;
        piece.x += piece.vx * time;
        piece.y += piece.vy * time;
    }
}

/// Exchanges 0.6 of the closing speed along the line of centres; momentum is conserved.
/// Returns the impulse exchanged.
double Strike(Piece& a, Piece& b) {
    double dx = b.x - a.x;
    double dy = b.y - a.y;
    double length = std::sqrt(dx * dx + dy * dy);
    double nx = dx / length;
    double ny = dy / length;
    double closingSpeed = (a.vx - b.vx) * nx + (a.vy - b.vy) * ny;
    double impulse = kImpulseFactor * closingSpeed;
    b.vx += impulse * nx;
    b.vy += impulse * ny;
    a.vx -= impulse * nx;
    a.vy -= impulse * ny;
    return impulse;
}

/// Runs the collision passes of one step: each finds the first contact within the time left,
/// moves every piece to it (back to it, for an overlap) and resolves that one pair.
void ResolvePasses(PieceTable& table) {
    constexpr double kTinyTime = 1e-5;  // seconds; far below any pass of ordinary motion
    ContactScanner scanner;
    double remaining = kStepSeconds;
    bool isCreeping = false;
    for (int pass = 1; pass <= kPassLimit; ++pass) {
        Contact first = scanner.FindFirst(table, remaining, isCreeping);
        isCreeping = std::fabs(first.time) < kTinyTime;
        MoveAll(table, first.time);
        scanner.Moved(first.time);
        if (first.i < 0) return;  // no contact: all of the remaining time has been spent
        scanner.Struck(Strike(table[first.i], table[first.j]));
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
