#include "contact_finder.h"

#include "contact_time.h"

#include <algorithm>

#include <bit>
#include <cmath>

// Why a pair left off the near list is never the first contact
// ------------------------------------------------------------
// When the list is noted, each moving piece k gets a speed bound B_k = S_k + b_k, where S_k is
// |vx| + |vy| (never less than its speed) and b_k the change of |vx| + |vy| that strikes may
// still give it; a resting piece gets B_k = 0 and b_k = 0. Friction only shortens a velocity,
// so until a strike uses up b_k, piece k moves no faster than B_k. A pair (i, j) with at least
// one moving piece goes on the list when its distance d0 is at most
//     0.098 + (B_i + B_j) x timeBudget + kMargin,
// where timeBudget covers the time left in the step plus some steps to come. Two resting pieces
// never go on it: they keep a zero relative velocity, so they are never closing in.
//
// Later, after the pieces have moved for m seconds in all (forward or back), with r seconds left
// in the step and m + r <= timeBudget, a pair left off is still farther apart than
//     d0 - (B_i + B_j) m > 0.098 + (B_i + B_j) r + kMargin.
// Along the straight paths that the pass extrapolates for the r seconds left, the two centres
// then stay more than kMargin beyond the contact distance: they do not overlap, and the true
// distance along their relative path until they touch is more than |w| r + kMargin. The
// rounding of that distance as the pass computes it is dominated by the square root of
// 0.009604 - p², which can lose up to the square root of p²'s absolute error, about
// sqrt(2e-16) = 1.5e-8 board units when the pair only grazes; everything else is below 1e-15.
// kMargin = 1e-5 is more than 600 times that, so the computed time is above r and the pass
// could not have taken the pair. Once m + r would pass timeBudget, a strike uses up a budget
// b_k, a resting piece is struck, or a piece falls off, the list is noted afresh.

namespace {

constexpr double kMargin = 1e-5;  // board units
// A strike changes |vx| + |vy| of either piece by at most sqrt(2) x |impulse| (the impulse acts
// along a unit vector); 1.5 leaves room for the rounding of that unit vector.
constexpr double kStrikeBound = 1.5;
// Velocity change allowed per piece before the list is noted again: a share of its own speed
// plus a little, so that the list survives the many tiny strikes of pieces left touching.
constexpr double kVelocityShare = 0.25;
constexpr double kVelocitySlack = 0.01;  // board units per second
// Time the list covers beyond the current step: enough for the fastest piece to cover
// kReachAllowance, and at most kMaxExtraTime, so that slow pieces keep one list for some steps.
constexpr double kReachAllowance = 0.03;  // board units
constexpr double kMaxExtraTime = 0.03;    // seconds

double Manhattan(double vx, double vy) {
    return std::fabs(vx) + std::fabs(vy);
}

}  // namespace

Contact ContactFinder::FindFirst(const MotionTable& table, double remaining) {
    if (!isNoted_ || !(moved_ + remaining <= timeBudget_)) Note(table, remaining);
    ContactTimes(table, nearI_.data(), nearJ_.data(), nearCount_, times_.data());
    // In index order, a time no later than the best so far wins: ties go to the later pair.
    double best = remaining;
    int bestIndex = -1;
    for (int n = 0; n < nearCount_; ++n) {
        if (times_[n] <= best) {
            best = times_[n];
            bestIndex = n;
        }
    }
    Contact first;
    first.time = best;
    if (bestIndex >= 0) {
        first.i = nearI_[bestIndex];
        first.j = nearJ_[bestIndex];
    }
    return first;
}

void ContactFinder::Struck(int i, int j, double impulse) {
    double change = kStrikeBound * std::fabs(impulse);
    velocityChange_[i] += change;
    velocityChange_[j] += change;
    // Written so that a NaN impulse counts as too much.
    if (!(velocityChange_[i] <= velocityBudget_[i] && velocityChange_[j] <= velocityBudget_[j]))
        isNoted_ = false;
}

void ContactFinder::Note(const MotionTable& t, double remaining) {
    std::array<double, kPieceCount> bound{};
    double fastest = 0;
    for (int k = 0; k < kPieceCount; ++k) {
        bool isMoving = t.IsMoving(k);
        double speed = Manhattan(t.body[k].vx, t.body[k].vy);
        velocityBudget_[k] = isMoving ? kVelocityShare * speed + kVelocitySlack : 0;
        velocityChange_[k] = 0;
        bound[k] = isMoving ? speed + velocityBudget_[k] : 0;
        fastest = std::max(fastest, bound[k]);
    }
    double extra = fastest > 0 ? std::min(kMaxExtraTime, kReachAllowance / fastest) : 0;
    timeBudget_ = remaining + extra;
    moved_ = 0;
    // Index order, and only pairs with a moving piece: for each alive i, the alive j > i, all
    // of them when i moves, else the moving ones.
    unsigned alive = 0;
    unsigned moving = 0;
    for (int k = 0; k < kPieceCount; ++k) {
        alive |= (t.alive[k] ? 1u : 0u) << k;
        moving |= (t.IsMoving(k) ? 1u : 0u) << k;
    }
    nearCount_ = 0;
    for (int i = 0; i < kPieceCount; ++i) {
        if (!(alive >> i & 1)) continue;
        unsigned partners = alive & ~((2u << i) - 1) & (moving >> i & 1 ? ~0u : moving);
        for (; partners != 0; partners &= partners - 1) {
            int j = std::countr_zero(partners);
            double reach = kContactDistance + (bound[i] + bound[j]) * timeBudget_ + kMargin;
            double dx = t.body[j].x - t.body[i].x;
            double dy = t.body[j].y - t.body[i].y;
            nearI_[nearCount_] = static_cast<std::uint8_t>(i);
            nearJ_[nearCount_] = static_cast<std::uint8_t>(j);
            nearCount_ += dx * dx + dy * dy <= reach * reach;
        }
    }
    nearI_[nearCount_] = 0;  // the pair after the last, for ContactTimes
    nearJ_[nearCount_] = 1;
    isNoted_ = true;
}
