#include "game/portable_trig.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

using Function = double (*)(double);
using LongFunction = long double (*)(long double);

/// How far a result lies from the true value, in ulps of a double in the true value's binade.
double ErrorInUlps(double got, long double truth) {
    int exponent = 0;
    std::frexp(truth, &exponent);
    long double ulp = std::ldexp(1.0L, std::max(exponent - 53, -1074));
    return static_cast<double>(std::fabs(static_cast<long double>(got) - truth) / ulp);
}

/// Distance in representable doubles (same sign assumed, or both near zero).
std::int64_t BitDistance(double a, double b) {
    std::int64_t d = std::bit_cast<std::int64_t>(a) - std::bit_cast<std::int64_t>(b);
    return d < 0 ? -d : d;
}

struct Accuracy {
    double worstUlps = 0;
    double worstAt = 0;
    std::int64_t worstBitsFromLibm = 0;
    double worstLibmAt = 0;
};

/// Checks one function on every angle against the C library (within one ulp) and the
/// long double reference (below one ulp of the true value).
Accuracy Measure(Function ours, Function libm, LongFunction reference,
                 const std::vector<double>& radians) {
    Accuracy a;
    for (double x : radians) {
        double got = ours(x);
        double ulps = ErrorInUlps(got, reference(x));
        if (ulps > a.worstUlps) {
            a.worstUlps = ulps;
            a.worstAt = x;
        }
        std::int64_t bits = BitDistance(got, libm(x));
        if (bits > a.worstBitsFromLibm) {
            a.worstBitsFromLibm = bits;
            a.worstLibmAt = x;
        }
    }
    return a;
}

std::vector<double> AimSweepAndRandomAims() {
    std::vector<double> radians;
    for (int k = -1440 * 64; k <= 1440 * 64; ++k)
        radians.push_back(k / 64.0 * std::numbers::pi / 180);
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> game(-1440, 1440);
    std::uniform_real_distribution<double> wide(-1e6, 1e6);
    for (int k = 0; k < 200000; ++k) {
        radians.push_back(game(random) * std::numbers::pi / 180);
        radians.push_back(wide(random) * std::numbers::pi / 180);
    }
    std::uniform_real_distribution<double> limit(-kPortableTrigAccurateLimit,
                                                 kPortableTrigAccurateLimit);
    for (int k = 0; k < 50000; ++k)
        radians.push_back(limit(random));
    return radians;
}

/// The doubles around multiples of pi/2, where the reduction cancels most bits, up to the
/// limit of the accurate range, and the limit itself.
std::vector<double> NearHalfTurns() {
    std::vector<double> radians{kPortableTrigAccurateLimit, -kPortableTrigAccurateLimit,
                                1e6 * std::numbers::pi / 180, std::numbers::pi / 4,
                                std::nextafter(std::numbers::pi / 4, 1.0)};
    const long double halfPi = std::numbers::pi_v<long double> / 2;
    for (long n = 1; n <= 667544; n += n < 4000 ? 1 : 97) {
        double x = static_cast<double>(n * halfPi);
        for (double y : {x, std::nextafter(x, 0.0), std::nextafter(x, kInfinity)}) {
            radians.push_back(y);
            radians.push_back(-y);
        }
    }
    return radians;
}

struct FunctionCase {
    const char* name;
    Function ours;
    Function libm;
    LongFunction reference;
};

const FunctionCase kFunctions[] = {
    {"sin", PortableSin, [](double x) { return std::sin(x); },
     [](long double x) { return sinl(x); }},
    {"cos", PortableCos, [](double x) { return std::cos(x); },
     [](long double x) { return cosl(x); }},
};

}  // namespace

// Below one ulp of the true value and within one ulp of the C library, over every aim a flick
// can take and beyond, including the angles where argument reduction is hardest.
TEST(PortableTrig, WithinOneUlpOverTheAccurateRange) {
    for (const auto& set : {AimSweepAndRandomAims(), NearHalfTurns()}) {
        for (const FunctionCase& f : kFunctions) {
            Accuracy a = Measure(f.ours, f.libm, f.reference, set);
            std::printf("%s over %zu angles: worst %.4f ulp at %a, %lld ulp from libm at %a\n",
                        f.name, set.size(), a.worstUlps, a.worstAt,
                        static_cast<long long>(a.worstBitsFromLibm), a.worstLibmAt);
            EXPECT_LT(a.worstUlps, 1.0) << f.name << " at " << a.worstAt;
            EXPECT_LE(a.worstBitsFromLibm, 1) << f.name << " at " << a.worstLibmAt;
        }
    }
}

// Exact values the flicks rely on: aim 0 must give sin = +0 (so vx = -0.0) and cos = 1; the
// sign of a zero angle is kept; tiny angles give themselves; half turns leave the exact gap
// between pi and its double.
TEST(PortableTrig, ExactValuesAndSignsOfZero) {
    const double tiny = std::numeric_limits<double>::denorm_min();
    struct Case {
        double x, sin, cos;
    } cases[] = {
        {0.0, 0.0, 1.0},
        {-0.0, -0.0, 1.0},
        {tiny, tiny, 1.0},
        {-tiny, -tiny, 1.0},
        {1e-300, 1e-300, 1.0},
        {0x1p-30, 0x1p-30, 1.0},
        {-0x1p-30, -0x1p-30, 1.0},
        // pi rounded to a double lies below pi by 0x1.1a62633145c07p-53 (correctly rounded)
        {std::numbers::pi / 2, 1.0, 0x1.1a62633145c07p-54},
        {-std::numbers::pi, -0x1.1a62633145c07p-53, -1.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(PortableSin(c.x)),
                  std::bit_cast<std::uint64_t>(c.sin))
            << "sin " << c.x;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(PortableCos(c.x)),
                  std::bit_cast<std::uint64_t>(c.cos))
            << "cos " << c.x;
    }
}

// Outside the accurate range the value is meaningless but must stay a usable velocity factor;
// NaN and infinities give NaN.
TEST(PortableTrig, BeyondTheRangeFiniteAndBounded) {
    const double max = std::numeric_limits<double>::max();
    for (double x : {std::nextafter(kPortableTrigAccurateLimit, kInfinity), 1e7, 0x1p52 + 1, 1e22,
                     1e300, max, -max, -3e15}) {
        for (const FunctionCase& f : kFunctions) {
            double y = f.ours(x);
            EXPECT_TRUE(y >= -1 && y <= 1) << f.name << " " << x << " gave " << y;
            EXPECT_EQ(std::bit_cast<std::uint64_t>(y), std::bit_cast<std::uint64_t>(f.ours(x)));
        }
    }
    for (double x : {std::numeric_limits<double>::quiet_NaN(), kInfinity, -kInfinity}) {
        EXPECT_TRUE(std::isnan(PortableSin(x))) << x;
        EXPECT_TRUE(std::isnan(PortableCos(x))) << x;
    }
}
