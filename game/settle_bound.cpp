#include "settle_bound.h"

#include "physics.h"

#include <array>
#include <cmath>

// How far a piece can still slide
// -------------------------------
// In a step in which a piece touches nothing, the step's one collision pass moves it by
// v x 0.005 s; at the end of the step, if its speed a is at least 0.008 (q = a^2 >= 0.000064),
// its velocity is multiplied by 1 - 0.008 / a, which takes exactly 0.008 off the speed and
// keeps the direction; otherwise it stops. So from speed s the steps run at speeds
// s, s - d, s - 2d, ... (d = 0.008) down to a last one below d, and the piece slides
//     0.005 x (s + (s - d) + (s - 2d) + ...)  <=  0.005 x (s + d)^2 / (2d)  =  (s + d)^2 / 3.2:
// a sum of n terms with the last one non-negative is n s - d n (n - 1) / 2, which is largest,
// (s + d/2)^2 / (2d), at n = s/d + 1/2.
//
// Rounding. The computed friction factor and product leave the new speed within
// 2 eps s + 3 eps d of s - d (eps = 2^-53), below 5e-14 for any speed under 100; the bound takes
// the drop per step as d' = d (1 - 1e-6), 8e-9 less, and the speed as s (1 + 1e-9) against the
// 2 eps relative error of s = sqrt(vx^2 + vy^2). Each step's move rounds twice per axis, by at
// most 2.2e-16 each time, over at most s/d' + 1 steps: under 1e-11 for speeds under 100. The
// absolute margin added, 1e-5 board units, is far above all of that; it is also far above the
// 1.5e-8 by which the contact search can misjudge a distance (see ContactFinder), so a pair kept
// apart by this margin is never taken for a contact.
//
// Why nothing can change once OutcomeIsSettled holds
// --------------------------------------------------
// Suppose some later pass took a pair, and look at the first one that does. Every step before
// it touched nothing, so each piece went straight and slowed as above, and stayed within its
// RemainingTravelBound R of where it was; so did the positions that this pass extrapolates for
// the rest of its step, which are those of the step's own contact-free motion. A pass is the
// first of its step here (a pass that takes no pair ends the step), so it looks at the same
// velocities the contact-free motion has. But any two pieces with one moving were more than
// 0.098 + R_i + R_j apart and so stay more than the contact distance plus the margin apart,
// and two resting pieces stay at rest and never close in: the pass takes no pair. Likewise every
// centre stays within its R of a point more than R inside the board, so none falls off. Hence
// every later step is contact-free and the alive flags never change.

namespace {

constexpr double kMargin = 1e-5;  // board units
constexpr double kSpeedDrop = kFrictionPerStep * (1 - 1e-6);

}  // namespace

double RemainingTravelBound(double speed) {
    double s = speed * (1 + 1e-9);
    return (s + kSpeedDrop) * (s + kSpeedDrop) / (2 * kSpeedDrop) * kStepSeconds + kMargin;
}

bool OutcomeIsSettled(const MotionTable& t) {
    std::array<double, kPieceCount> reach{};
    for (int k = 0; k < kPieceCount; ++k) {
        if (!t.IsMoving(k)) continue;
        const Body& b = t.body[k];
        reach[k] = RemainingTravelBound(std::sqrt(b.vx * b.vx + b.vy * b.vy));
        double r = reach[k];
        // Written so that a NaN anywhere answers "not settled".
        if (!(b.x - r > 0 && b.x + r < 1 && b.y - r > 0 && b.y + r < 1)) return false;
    }
    for (int i = 0; i < kPieceCount; ++i) {
        if (!t.alive[i]) continue;
        for (int j = i + 1; j < kPieceCount; ++j) {
            if (!t.alive[j] || reach[i] + reach[j] == 0) continue;
            double dx = t.body[j].x - t.body[i].x;
            double dy = t.body[j].y - t.body[i].y;
            double apart = kContactDistance + reach[i] + reach[j];
            if (!(dx * dx + dy * dy > apart * apart)) return false;
        }
    }
    return true;
}
