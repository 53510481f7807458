#include "contact_time.h"

#include "lanes.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kNoContact = std::numeric_limits<double>::quiet_NaN();

/// ContactTime of the pairs (a0, b0) and (a1, b1), one in each lane.
void ContactTimesOfTwo(const Body& a0, const Body& b0, const Body& a1, const Body& b1,
                       double* time) {
    const Lanes contact2(kContactDistanceSquared);
    const Lanes zero(0.0);
    Lanes d0 = Lanes::Load(&b0.x) - Lanes::Load(&a0.x);  // (dx, dy) of the first pair
    Lanes d1 = Lanes::Load(&b1.x) - Lanes::Load(&a1.x);
    Lanes w0 = Lanes::Load(&a0.vx) - Lanes::Load(&b0.vx);  // (wx, wy) of the first pair
    Lanes w1 = Lanes::Load(&a1.vx) - Lanes::Load(&b1.vx);
    Lanes dx = Lows(d0, d1);
    Lanes dy = Highs(d0, d1);
    Lanes wx = Lows(w0, w1);
    Lanes wy = Highs(w0, w1);
    // From here on, ContactTime line by line.
    Lanes closing = wx * dx + wy * dy;
    Lanes cross = dy * wx - dx * wy;
    Lanes w2 = wx * wx + wy * wy;
    Lanes approach2 = cross * cross / w2;
    Lanes w = Sqrt(w2);
    Lanes s = closing / w - Sqrt(contact2 - approach2);
    Lanes d2 = dx * dx + dy * dy;
    auto none = NotGreater(closing, zero) | Greater(approach2, contact2) |
                (Less(s, zero) & Greater(d2, contact2));
    Select(none, Lanes(kNoContact), s / w).Store(time);
}

}  // namespace

// The arithmetic is that of the game's physics model, in its order.
double ContactTime(const Body& a, const Body& b) {
    double dx = b.x - a.x;
    double dy = b.y - a.y;
    double wx = a.vx - b.vx;
    double wy = a.vy - b.vy;
    double closing = wx * dx + wy * dy;
    if (!(closing > 0)) return kNoContact;
    double cross = dy * wx - dx * wy;
    double w2 = wx * wx + wy * wy;
    double approach2 = cross * cross / w2;  // squared distance of closest approach
    if (approach2 > kContactDistanceSquared) return kNoContact;
    double w = std::sqrt(w2);
    double s = closing / w - std::sqrt(kContactDistanceSquared - approach2);
    // Already overlapping along the path: only a real overlap rewinds time.
    if (s < 0 && dx * dx + dy * dy > kContactDistanceSquared) return kNoContact;
    return s / w;
}

void ContactTimes(const MotionTable& table, const std::uint8_t* first, const std::uint8_t* second,
                  int count, double* time) {
    const auto& body = table.body;
    for (int n = 0; n < count; n += 2) {
        ContactTimesOfTwo(body[first[n]], body[second[n]], body[first[n + 1]], body[second[n + 1]],
                          time + n);
    }
}
